#include "link/dialogs/untComVrij.h"

#include <QFontMetrics>
#include <QLabel>
#include <QStyle>
#include <QPushButton>
#include <QShowEvent>

#include "platform/serial_port.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/window/form_setup.h"

TfrmComVrij* frmComVrij = nullptr;

namespace {
constexpr int kLabelLeft = 16;
constexpr int kLabelTop = 12;

// The width a window needs to show its whole caption in its title bar.
int captionWidth(const QWidget* window) {
    // The title bar holds the caption beside the window's icon and its three buttons.
    const int titleBar = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    QFont font = window->font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(window->windowTitle()) + 4 * titleBar;
}
}  // namespace

TfrmComVrij::TfrmComVrij(QWidget* parent) : QDialog(parent) {
    setupForm(this, "frmComVrij", "Vrije COM-poorten", 120, 100);
    lblComVrij = new QLabel("geen", this);
    lblComVrij->setObjectName("lblComVrij");
    lblComVrij->move(kLabelLeft, kLabelTop);
    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &TfrmComVrij::btnOKClick);
}

void TfrmComVrij::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void TfrmComVrij::FormShow() {
    QString list;
    for (char digit = '1'; digit <= '9'; ++digit) {
        const std::string name = std::string("COM") + digit;
        if (vestrel::serialPortFree(name)) list += QString::fromStdString(name) + "\n";
    }
    lblComVrij->setText(list.isEmpty() ? QString("geen") : list);
    lblComVrij->adjustSize();
    if (frmInstellingen) move(frmInstellingen->x() + 50, frmInstellingen->y() + 130);
    const int buttonTop = 2 * lblComVrij->y() + lblComVrij->height();
    btnOK->setGeometry(kLabelLeft, buttonTop, 75, 25);
    resize(std::max({width(), btnOK->x() + btnOK->width() + kLabelLeft, captionWidth(this)}),
           btnOK->y() + btnOK->height() + lblComVrij->y());
}

void TfrmComVrij::btnOKClick() { close(); }
