#include "shell/dialogs/untBoodschap.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "layout/editor/edit_operations.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/control_post.h"
#include "operation/control/emergency_stop.h"
#include "platform/text_codec.h"
#include "shell/model/app_state.h"
#include "shell/window/form_setup.h"
#include "shell/config/messages.h"
#include "shell/window/mouse_pointer.h"

TfrmBoodschap* frmBoodschap = nullptr;

namespace {
constexpr int kTextWidth = 330;
constexpr int kMargin = 12;
}  // namespace

TfrmBoodschap::TfrmBoodschap(QWidget* parent) : TFormDialog(parent) {
    setupForm(this, "frmBoodschap", "Boodschap", kTextWidth + 2 * kMargin, 110);
    lblTekst = new QLabel(this);
    lblTekst->setObjectName("lblTekst");
    lblTekst->setWordWrap(true);
    lblTekst->move(kMargin, kMargin);
    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &TfrmBoodschap::btnOKClick);
    btnOK->installEventFilter(this);
    fitToText();
}

void TfrmBoodschap::setTekst(const std::string& text) {
    tekst_ = text;
    lblTekst->setText(vestrel::fromCp1252(text));
    fitToText();
}

void TfrmBoodschap::fitToText() {
    lblTekst->setFixedWidth(kTextWidth);
    lblTekst->setFixedHeight(std::max(16, lblTekst->heightForWidth(kTextWidth)));
    const int buttonTop = lblTekst->y() + lblTekst->height() + kMargin;
    btnOK->setGeometry((kTextWidth + 2 * kMargin - 75) / 2, buttonTop, 75, 25);
    resize(kTextWidth + 2 * kMargin, buttonTop + 25 + kMargin);
}

void TfrmBoodschap::showMessage() {
    show();
    raise();
    activateWindow();
}

void TfrmBoodschap::FormActivate() {
    // The window system may deliver the activation after the user already closed the message; a
    // closed message must not count as shown, or the main window would ignore the pointer from then on.
    if (!isVisible()) return;
    lblTekst->setFixedWidth(kTextWidth);
    showMousePointer();
    gMessageShown = 1;
}

void TfrmBoodschap::btnOKClick() {
    // A synchronised client asks the server to release the stop; the server's release closes this window.
    if (gEmergencyState != 0 && gNetLinkState == 40) {
        netQueueRecord(40, 45, 45, 0, 0, 0);
        return;
    }
    close();
}

bool TfrmBoodschap::FormKeyDown(int key) {
    if (key == Qt::Key_Space && sessionRunning() && gEmergencyState == 0) {
        emergencyStopAll(1);
        return true;
    }
    if (key == Qt::Key_Escape) {
        btnOK->click();
        return true;
    }
    return false;
}

// Closing the message acknowledges it: an element placement in progress starts again at the pointer,
// otherwise a standing emergency stop is released.
void TfrmBoodschap::FormClose() {
    if (!restartPlacementAfterMessage() && gEmergencyState != 0) emergencyStopAll(0);
    gNoFeedbackPoll = 0;
    gMessageShown = 0;
}

void TfrmBoodschap::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TfrmBoodschap::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TfrmBoodschap::closeEvent(QCloseEvent* event) {
    if (isVisible()) FormClose();
    QDialog::closeEvent(event);
}

void TfrmBoodschap::keyPressEvent(QKeyEvent* event) {
    if (!FormKeyDown(event->key())) QDialog::keyPressEvent(event);
}

bool TfrmBoodschap::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && FormKeyDown(static_cast<QKeyEvent*>(event)->key())) return true;
    return QDialog::eventFilter(watched, event);
}
