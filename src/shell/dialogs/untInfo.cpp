#include "shell/dialogs/untInfo.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include "shell/window/form_setup.h"

TfrmInfo* frmInfo = nullptr;

namespace {
constexpr int kButtonTop = 140;
constexpr int kButtonWidth = 80;

// The program's icon: a stretch of track under a signal.
QPixmap brandelwynIcon() {
    QPixmap pm(32, 32);
    pm.fill(QColor(0, 96, 0));
    QPainter p(&pm);
    p.setPen(QPen(QColor(192, 192, 192), 2));
    p.drawLine(2, 22, 30, 22);
    p.drawLine(2, 28, 30, 28);
    p.setPen(QPen(QColor(128, 64, 0), 2));
    for (int x = 4; x < 30; x += 6) p.drawLine(x, 20, x, 30);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(24, 4, 24, 18);
    p.setBrush(Qt::red);
    p.setPen(Qt::NoPen);
    p.drawEllipse(21, 3, 7, 7);
    return pm;
}
}  // namespace

TfrmInfo::TfrmInfo(QWidget* parent) : QDialog(parent) {
    setupForm(this, "frmInfo", "Info", 360, 180);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    imgBrandelwynIcon = new QLabel(this);
    imgBrandelwynIcon->setObjectName("imgBrandelwynIcon");
    imgBrandelwynIcon->setPixmap(brandelwynIcon());
    imgBrandelwynIcon->setGeometry(16, 16, 32, 32);
    lblNaam = new QLabel(this);
    lblNaam->setObjectName("lblNaam");
    lblNaam->setGeometry(64, 14, 280, 18);
    QFont bold = lblNaam->font();
    bold.setBold(true);
    lblNaam->setFont(bold);
    lblVersie = new QLabel(this);
    lblVersie->setObjectName("lblVersie");
    lblVersie->setGeometry(64, 36, 280, 16);
    lblTekst1 = new QLabel(
        "Software voor digitale modelspoorbaan voor sturen van locomotieven, wissels, seinen en ontkoppelrails, e.a.",
        this);
    lblTekst1->setObjectName("lblTekst1");
    lblTekst1->setWordWrap(true);
    lblTekst1->setGeometry(16, 64, 328, 60);

    lblNaam->setText("Brandelwyn Modelspoor 2024");
    lblVersie->setText(QString::asprintf("Versie : %ss", kVersionText));

    btnStandAlone = addButton("btnStandAlone", "Stand alone", 16, 1);
    btnDemo = addButton("btnDemo", "Demo", 100, 2);
    btnServer = addButton("btnServer", "Server", 184, 6);
    btnClient = addButton("btnClient", "Client", 268, 7);
    btnStandAlone->setDefault(true);
    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(140, kButtonTop, kButtonWidth, 25);
    btnOK->hide();
    connect(btnOK, &QPushButton::clicked, this, &TfrmInfo::btnOKClick);
}

QPushButton* TfrmInfo::addButton(const char* name, const QString& caption, int x, int modalResult) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setGeometry(x, kButtonTop, kButtonWidth, 25);
    connect(b, &QPushButton::clicked, this, [this, modalResult] {
        btnStandAloneClick();
        done(modalResult);
    });
    return b;
}

void TfrmInfo::btnStandAloneClick() {
    for (QPushButton* b : {btnStandAlone, btnDemo, btnServer, btnClient}) b->hide();
    btnOK->show();
    btnOK->setDefault(true);
}

// OK carries modal result 1 as well, for the case that the form runs modally.
void TfrmInfo::btnOKClick() { done(1); }

void TfrmInfo::showAboutBox() {
    show();
    raise();
    activateWindow();
}

void TfrmInfo::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) {
        QDialog::keyPressEvent(event);
        return;
    }
    if (!btnStandAlone->isHidden())
        btnStandAlone->click();
    else
        btnOK->click();
}
