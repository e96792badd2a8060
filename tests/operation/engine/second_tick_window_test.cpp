// The per-second step on the real main window with a stepped clock: the clock and the cycle statistics
// in the status strip, and the wait labels of the control post.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "operation/engine/contact_evaluation.h"
#include "operation/engine/second_tick.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "platform/clock.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/main/main_cycle.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"

namespace {

TEST(SecondTickWindow, TheClockTheCycleStatisticsAndTheWaitLabels) {
    RunningProgram program;
    program.start();
    frmSchema->Timer1->stop();
    buildSessionLayoutWithTwoTrains();
    QApplication::setActiveWindow(frmSchema);
    ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
    QTest::keyClick(frmSchema, Qt::Key_F11);
    ASSERT_EQ(gRunWithoutTrack, 1);
    frmBoodschap->close();
    vestrel::ManualClock clock{100000};
    frmSchema->Timer1Timer();  // the first second is due at once

    gTimeBase = 60;
    gModelClock = {9, 5, 0};
    clock.advance(999);
    frmSchema->Timer1Timer();
    EXPECT_EQ(gModelClock.minutes, 5);
    clock.advance(1);
    frmSchema->Timer1Timer();
    EXPECT_EQ(frmSchema->lblTijd->text(), " 9:06:00");
    const QRegularExpression statistics(QString::fromUtf8("^\\d+ms\\(CPU:\\d+-\\d+-\\d+\u00B5s\\)$"));
    EXPECT_TRUE(statistics.match(frmSchema->lblKlokinterval->text()).hasMatch()) << frmSchema->lblKlokinterval->text().toStdString();
    gTimeBase = 1;

    // The wait left of the train's head block: yellow on the selected post.
    ASSERT_EQ(gLocsOnTrack.count(), 2);
    gLocsOnTrack[0]->run.head.block->remainingWait = 12;
    gActiveRow = 0;
    showLocoWaitTime(0);
    showLocoWaitTime(1);
    EXPECT_EQ(frmSchema->lblPauze[0]->text(), "12");
    EXPECT_EQ(backColour(frmSchema->lblPauze[0]), vestrel::clYellow);
    EXPECT_EQ(textColour(frmSchema->lblPauze[0]), vestrel::clBlack);
    EXPECT_EQ(frmSchema->lblPauze[1]->text(), "0");
    EXPECT_EQ(backColour(frmSchema->lblPauze[1]), vestrel::clBtnFace);
    clock.advance(1000);
    frmSchema->Timer1Timer();
    EXPECT_EQ(frmSchema->lblPauze[0]->text(), "11");
}

}  // namespace
