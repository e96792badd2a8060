#include "shell/dialogs/untBevestig.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "platform/text_codec.h"
#include "shell/window/form_setup.h"

TfrmBevestig* frmBevestig = nullptr;

namespace {
constexpr int kTextWidth = 280;
constexpr int kMargin = 12;
constexpr int kJa = 6;
constexpr int kNee = 7;
}  // namespace

TfrmBevestig::TfrmBevestig(QWidget* parent) : QDialog(parent) {
    setupForm(this, "frmBevestig", "Bevestig", kTextWidth + 2 * kMargin, 100);
    setModal(true);
    lblTekst = new QLabel(this);
    lblTekst->setObjectName("lblTekst");
    lblTekst->setWordWrap(true);
    lblTekst->move(kMargin, kMargin);
    btnJa = new QPushButton("Ja", this);
    btnJa->setObjectName("btnJa");
    btnNee = new QPushButton("Nee", this);
    btnNee->setObjectName("btnNee");
    connect(btnJa, &QPushButton::clicked, this, [this] { done(kJa); });
    connect(btnNee, &QPushButton::clicked, this, [this] { done(kNee); });
    setTekst(std::string());
}

void TfrmBevestig::setTekst(const std::string& text) {
    tekst_ = text;
    lblTekst->setText(vestrel::fromCp1252(text));
    FormActivate();
}

void TfrmBevestig::FormActivate() {
    lblTekst->setFixedWidth(kTextWidth);
    lblTekst->setFixedHeight(std::max(16, lblTekst->heightForWidth(kTextWidth)));
    const int top = lblTekst->y() + lblTekst->height() + kMargin;
    btnJa->setGeometry(kMargin + kTextWidth / 2 - 85, top, 75, 25);
    btnNee->setGeometry(kMargin + kTextWidth / 2 + 10, top, 75, 25);
    resize(kTextWidth + 2 * kMargin, top + 25 + kMargin);
}

void TfrmBevestig::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
    btnJa->setFocus();
}

void TfrmBevestig::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        btnNee->click();
    else
        QDialog::keyPressEvent(event);
}
