// The model clock dialog on the real main window: the time base kept in range while typed, OK storing
// the time base in vestrel.cfg and the clock only when valid, and the departures checked again.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "operation/control/control_post.h"
#include "operation/dialogs/untTijd.h"
#include "operation/engine/second_tick.h"
#include "operation/model/route_file.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "shell/config/config_file.h"
#include "shell/config_fixture.h"
#include "shell/main/session.h"
#include "shell/model/settings.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"
#include "test_support.h"

namespace {

class ClockDialog : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        frmSchema->Timer1->stop();
        gModelClock = {10, 20, 30};
        gTimeBase = 1;
        frmTijd->show();
    }
    void TearDown() override { clearRoutes(); }
    static void type(QLineEdit* field, const char* text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    RunningProgram program;
};

TEST_F(ClockDialog, TheTimeBaseStaysWithinOneToSixtyWhileTyped) {
    EXPECT_EQ(frmTijd->mskedtTijd->displayText(), "10:20:30");
    type(frmTijd->mskedtTijdbasis, "0");
    EXPECT_EQ(frmTijd->mskedtTijdbasis->text(), "1");
    type(frmTijd->mskedtTijdbasis, "75");
    EXPECT_EQ(frmTijd->mskedtTijdbasis->text(), "60");
    type(frmTijd->mskedtTijdbasis, "42");
    EXPECT_EQ(frmTijd->mskedtTijdbasis->text(), "42");
}

TEST_F(ClockDialog, AnInvalidTimeKeepsTheClockButTheTimeBaseIsStored) {
    type(frmTijd->mskedtTijd, "240000");
    type(frmTijd->mskedtTijdbasis, "7");
    QTest::mouseClick(frmTijd->btnOK, Qt::LeftButton);
    EXPECT_FALSE(frmTijd->isVisible());
    EXPECT_EQ(gModelClock.hours, 10);
    EXPECT_EQ(gModelClock.minutes, 20);
    EXPECT_EQ(gModelClock.seconds, 30);
    EXPECT_EQ(gTimeBase, 7);
    CfgFixture cfg;
    cfg.timeBase = 7;
    EXPECT_EQ(testsupport::readBytes(kConfigFileName), cfg.bytes());
}

TEST_F(ClockDialog, AValidTimeSetsTheClockAndCancelChangesNothing) {
    type(frmTijd->mskedtTijd, "090507");
    QTest::mouseClick(frmTijd->btnOK, Qt::LeftButton);
    EXPECT_EQ(gModelClock.hours, 9);
    EXPECT_EQ(gModelClock.minutes, 5);
    EXPECT_EQ(gModelClock.seconds, 7);
    frmTijd->show();
    EXPECT_EQ(frmTijd->mskedtTijd->displayText().remove(' '), "9:05:07");
    type(frmTijd->mskedtTijd, "111111");
    type(frmTijd->mskedtTijdbasis, "5");
    QTest::mouseClick(frmTijd->btnAnnuleren, Qt::LeftButton);
    EXPECT_EQ(gModelClock.hours, 9);
    EXPECT_EQ(gTimeBase, 1);
}

TEST_F(ClockDialog, SettingTheClockToADepartureLetsTheTrainGoOnTheNextSecond) {
    frmTijd->close();
    buildSessionLayoutWithTwoTrains();
    ASSERT_EQ(toggleControlPostSession(13), 1);
    LocoRec* loco = gLocsOnTrack[0];
    auto route = std::make_unique<RouteRec>();
    route->endLine = 1;
    RouteRec* r = gRoutes.append(std::move(route));
    RouteLineRec* line = gRouteLines.append(std::make_unique<RouteLineRec>());
    line->hour = 10;
    line->minute = 30;
    loco->route = r;
    loco->run.currentLine = 0;
    loco->mode = kModeRoute;
    loco->running = 1;
    BlockRec* block = loco->run.head.block;
    ASSERT_TRUE(block);
    frmTijd->show();
    type(frmTijd->mskedtTijd, "102959");
    QTest::mouseClick(frmTijd->btnOK, Qt::LeftButton);
    EXPECT_EQ(block->remainingWait, 1);  // counted down to 0 by the next second, which starts the train
    frmTijd->show();
    type(frmTijd->mskedtTijd, "100000");
    QTest::mouseClick(frmTijd->btnOK, Qt::LeftButton);
    EXPECT_EQ(block->remainingWait, 1800);
}

TEST_F(ClockDialog, TheSpaceBarStopsAllTrainsDuringASession) {
    frmTijd->close();
    buildSessionLayoutWithTwoTrains();
    ASSERT_EQ(toggleControlPostSession(13), 1);
    gLocsOnTrack[0]->running = 1;
    gLocsOnTrack[0]->targetStep = 5;
    frmTijd->show();
    QTest::keyClick(frmTijd->mskedtTijdbasis, Qt::Key_Space);
    EXPECT_EQ(gLocsOnTrack[0]->targetStep, 0);
}

// Opened again while it is open (the clock in the status strip, or the control post's 'x'), it shows the
// clock as it is then.
TEST_F(ClockDialog, OpenedAgainWhileOpenItShowsTheClockAsItIsNow) {
    EXPECT_EQ(frmTijd->mskedtTijd->displayText(), "10:20:30");
    frmSchema->grpStatus->show();
    gModelClock = {11, 5, 0};
    QTest::mouseClick(frmSchema->lblTijd, Qt::LeftButton);
    EXPECT_EQ(frmTijd->mskedtTijd->displayText(), "11:05:00");
    gModelClock = {12, 0, 9};
    controlPostCommand('x', 0);
    EXPECT_EQ(frmTijd->mskedtTijd->displayText(), "12:00:09");
    EXPECT_TRUE(frmTijd->isVisible());
}

}  // namespace
