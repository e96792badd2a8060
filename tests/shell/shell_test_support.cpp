#include "shell_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTcpSocket>
#include <QTimer>

#include "config_fixture.h"
#include "network/model/net_queue.h"
#include "layout/draw/diagram_area.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "network/model/net_state.h"
#include "operation/control/control_post.h"
#include "platform/keyboard.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/config/messages.h"
#include "shell/main/program_entry.h"
#include "shell/window/status_line.h"
#include "shell/dialogs/untInfo.h"
#include "shell/window/untSchema.h"

bool processUntil(const std::function<bool()>& cond) {
    QElapsedTimer safety;
    safety.start();
    while (!cond()) {
        if (safety.elapsed() > testsupport::kStateWaitLimitMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

QByteArray unreadSoFar(QTcpSocket& programSide, QTcpSocket& peer) {
    static const QByteArray marker("\xFE<marker>\xFE");
    programSide.write(marker);
    QByteArray got;
    EXPECT_TRUE(processUntil([&] {
        got += peer.readAll();
        return got.endsWith(marker);
    })) << "the marker did not come";
    got.chop(marker.size());
    return got;
}

void whenModal(std::function<void(QWidget*)> action) {
    // Owned by the application, so a watch for a window that never came is freed at the end.
    auto* poll = new QTimer(QCoreApplication::instance());
    poll->setInterval(2);
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        poll->stop();
        poll->deleteLater();
        action(modal);
    });
    poll->start();
}

void pressKey(QWidget* w, int qtKey) {
    QWidget* target = w->focusWidget() ? w->focusWidget() : w;
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

void clickButton(QWidget* w, const char* name) { w->findChild<QPushButton*>(name)->click(); }

void resetShellState() {
    resetConfigState();
    gRunWithTrack = 0;
    gRunWithoutTrack = 0;
    gEmergencyState = 0;
    gActiveRow = 0;
    gPendingKey = 0;
    gEditMode = 0;
    gActiveDialog = 0;
    gDemoStep = 0;
    gLocoDataModified = 0;
    gDirtyFlags = 0;
    gNetLinkState = 0;
    gNoFeedbackPoll = 0;
    gStatusText.clear();
    gStatusLineShown = 0;
    gMessageShown = 0;
    gEditOpRunning = 0;
    // What a stepped main cycle learned: a locomotive made later would take up its speed factor.
    gTickPeriod = 0;
    gSpeedFactor = 0;
    gCanvasSize = {640, 480};
    gCanvasCentre = {320, 240};
    // The tick period the main cycle learns, and the running speed that follows from it: the vehicle
    // positions a locomotive file holds depend on them.
    gTickPeriod = 0;
    gSpeedFactor = 0;
    vestrel::setCapsLockForTest(0);
}

RunningProgram::RunningProgram() { resetShellState(); }

void RunningProgram::start(bool show) {
    createForms();
    if (!show) return;
    // No main-cycle tick before the test's own: the start takes longer than a cycle on a busy machine,
    // and a tick before the cycle time is known disables the control-post menu (and its F10, F11).
    frmSchema->Timer1->stop();
    whenModal([](QWidget* modal) { pressKey(modal, Qt::Key_Escape); });
    frmSchema->show();
    processUntil([] { return !frmInfo->btnOK->isHidden() && !frmInfo->isVisible(); });
    frmSchema->Timer1->start();
}

RunningProgram::~RunningProgram() {
    destroyForms();
    resetShellState();
}

void leaveField(QWidget* field) {
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(field, &out);
}

std::vector<uint8_t> queuedNetBytes() { return std::vector<uint8_t>(gNetOutBuffer, gNetOutBuffer + gNetOutFill); }

QImage mainWindowOnScreen() {
    return frmSchema->screen()->grabWindow(frmSchema->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

void expectShownAsPaintedWhole(const QImage& shown, const std::string& name) {
    frmSchema->update();
    for (QWidget* w : frmSchema->findChildren<QWidget*>()) w->update();
    QApplication::processEvents();
    const QImage whole = mainWindowOnScreen();
    ASSERT_FALSE(whole.isNull());
    if (shown != whole) {
        shown.save(QString::fromStdString(testsupport::artefactPath(name + "_shown.png")));
        whole.save(QString::fromStdString(testsupport::artefactPath(name + "_full.png")));
    }
    EXPECT_TRUE(shown == whole) << name;
}
