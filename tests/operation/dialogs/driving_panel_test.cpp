// The driving panel on the real main window during a session: its slots follow the control-post rows,
// its buttons, keys, speed bars and function panels act on the row's locomotive.
#include <gtest/gtest.h>

#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "operation/control/control_post.h"
#include "operation/control/loco_operation.h"
#include "operation/control/speed_bar.h"
#include "operation/dialogs/form_geometry.h"
#include "operation/dialogs/untLoks.h"
#include "operation/model/loco_functions.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"

namespace {

class DrivingPanel : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        frmSchema->Timer1->stop();
        buildSessionLayoutWithTwoTrains();
        ASSERT_EQ(toggleControlPostSession(13), 1);
        ASSERT_EQ(gLocsOnTrackCount, 2);
        frmLoks->show();
    }
    // The point of the bar of `row` that asks for `step` (its first pixel row from the top).
    static QPoint pointOfStep(int row, int step) {
        const QRect r = frmLoks->tbarSnelheid[row]->geometry();
        const SpeedBarRect bar{r.left(), r.top(), r.width(), r.height()};
        const int steps = gLocsOnTrack[row]->run.speedSteps;
        for (int y = r.top(); y <= r.bottom(); ++y)
            if (speedBarStepAt(steps, bar, r.left() + 5, y) == step) return {r.left() + 5, y};
        ADD_FAILURE() << "no point for step " << step;
        return {};
    }
    // Running in "Rangeer", where a step from standstill needs no free way ahead.
    static void runAt(LocoRec* loco, int step) {
        loco->mode = kModeShunting;
        loco->running = 1;
        loco->targetStep = static_cast<int16_t>(step);
    }
    RunningProgram program;
};

TEST_F(DrivingPanel, EveryFunctionPanelShowsWholeAndNoControlCoversAnother) {
    EXPECT_EQ(coveredControls(frmLoks, {frmLoks}), "");
    for (int row : {0, 1})
        for (int k = 0; k < kDrivingPanelFunctions; ++k)
            EXPECT_TRUE(frmLoks->rect().contains(frmLoks->pnlF[row][k]->geometry())) << "F" << k;
}

TEST_F(DrivingPanel, SlotsShowTheLocomotivesAndTheFormFitsThem) {
    ASSERT_TRUE(putLocoOnBlock(11, 2, 0, {120, 200}, true, 'H'));
    fillControlPostRow(2);
    frmLoks->close();
    frmLoks->show();
    EXPECT_EQ(frmLoks->width(), 240);
    EXPECT_EQ(frmLoks->btnLok[0]->text(), "3");
    EXPECT_EQ(frmLoks->btnMode[0]->text(), "Manueel");
    EXPECT_EQ(frmLoks->btnRich[0]->text(), "vooruit");
    EXPECT_EQ(frmLoks->btnLok[2]->text(), "11");
    EXPECT_TRUE(frmLoks->pnlF[2][8]->isVisible());
    EXPECT_FALSE(frmLoks->btnLok[3]->isVisible());
    EXPECT_EQ(frmLoks->tbarSnelheid[0]->maximum(), 28);
    EXPECT_EQ(gDrivingPanelControls[60 + 2], frmLoks->tbarSnelheid[2]);
    EXPECT_EQ(gDrivingPanelControls[80 + 9 * 2 + 6], frmLoks->pnlF[2][6]);
    EXPECT_EQ(frmLoks->pnlF[2][6]->objectName(), "pnlF6_3");
}

TEST_F(DrivingPanel, ButtonsAndKeysReachTheControlPost) {
    QTest::mouseClick(frmLoks->btnLok[1], Qt::LeftButton);
    EXPECT_EQ(gActiveRow, 1);
    EXPECT_EQ(gLocsOnTrack[1]->running, 1);
    EXPECT_EQ(frmLoks->btnLok[1]->text(), "7");
    QTest::keyClick(frmLoks, Qt::Key_L);  // 'l' starts or stops the active row's locomotive
    EXPECT_EQ(gLocsOnTrack[1]->running, 0);
    QTest::mouseClick(frmLoks->btnRich[1], Qt::LeftButton);
    EXPECT_EQ(gLocsOnTrack[1]->direction, 'a');
    EXPECT_EQ(frmLoks->btnRich[1]->text(), "achteruit");
}

TEST_F(DrivingPanel, ASlotWithoutLocomotiveIsHiddenAndIgnoresClicks) {
    LocoRec* seven = gLocsOnTrack[1];
    ASSERT_EQ(takeLocoOffTrack(seven), 1);
    EXPECT_FALSE(frmLoks->btnLok[1]->isVisible());
    EXPECT_FALSE(frmLoks->tbarSnelheid[1]->isVisible());
    EXPECT_FALSE(frmLoks->pnlF[1][0]->isVisible());
    gActiveRow = 0;
    frmLoks->btnLok1Click(frmLoks->btnLok[1]);
    frmLoks->pnlF0_1Click(frmLoks->pnlF[1][0]);
    EXPECT_EQ(gActiveRow, 0);
    EXPECT_EQ(seven->running, 0);
    EXPECT_EQ(seven->run.functionBits1, 0);
}

TEST_F(DrivingPanel, ClicksOnTheBarStepTowardThePoint) {
    LocoRec* loco = gLocsOnTrack[0];
    const QRect bar = frmLoks->tbarSnelheid[0]->geometry();
    ASSERT_EQ(bar, QRect(0, 96, 45, 209));
    struct Case {
        const char* what;
        int from, y, to;
    } cases[] = {
        {"10 pixels below the top asks 28: from 5 one step below it, then up", 5, 96 + 10, 28},
        {"the bottom asks 0: from 5 one step above it, then down", 5, 96 + 208, 0},
        {"from standstill only the first step", 0, 96 + 10, 1},
    };
    for (const Case& c : cases) {
        runAt(loco, c.from);
        QTest::mousePress(frmLoks, Qt::LeftButton, {}, QPoint(10, c.y));
        QTest::mouseRelease(frmLoks, Qt::LeftButton, {}, QPoint(10, c.y));
        EXPECT_EQ(loco->targetStep, c.to) << c.what;
    }
    runAt(loco, 5);
    QTest::mousePress(frmLoks, Qt::LeftButton, {}, QPoint(60, 150));  // beside the bar, on the panels' column
    EXPECT_EQ(loco->targetStep, 5);
}

TEST_F(DrivingPanel, ADragDrivesTheBarOnEveryFourthMove) {
    LocoRec* loco = gLocsOnTrack[0];
    runAt(loco, 5);
    gPanelMoveCount = 0;
    QTest::mousePress(frmLoks, Qt::LeftButton, {}, pointOfStep(0, 5));
    EXPECT_EQ(loco->targetStep, 5);
    const QPoint twenty = pointOfStep(0, 20);
    for (int k = 0; k < 3; ++k) QTest::mouseMove(frmLoks, twenty + QPoint(k % 2, 0));
    EXPECT_EQ(loco->targetStep, 5);
    QTest::mouseMove(frmLoks, twenty);
    // The target jumps to 19 and one step up brings it to 20.
    EXPECT_EQ(loco->targetStep, 20);
    QTest::mouseRelease(frmLoks, Qt::LeftButton, {}, twenty);
    EXPECT_EQ(frmLoks->tbarSnelheid[0]->value(), 28 - 20);
}

TEST_F(DrivingPanel, FunctionPanelsFollowTheDecoderType) {
    LocoRec* dcc = gLocsOnTrack[0];
    LocoRec* motorola = gLocsOnTrack[1];
    motorola->decoderType = 2;  // "Motorola nieuw 27stappen"
    ASSERT_EQ(dcc->decoderType, 4);  // "DCC 28 stappen"
    QTest::mouseClick(frmLoks->pnlF[1][6], Qt::LeftButton);
    EXPECT_FALSE(isFunctionOn(locoFunctionWord(*motorola), 6));
    EXPECT_TRUE(frmLoks->pnlF[1][6]->raised());
    QTest::mouseClick(frmLoks->pnlF[1][5], Qt::LeftButton);
    EXPECT_TRUE(isFunctionOn(locoFunctionWord(*motorola), 5));
    EXPECT_FALSE(frmLoks->pnlF[1][5]->raised());
    QTest::mouseClick(frmLoks->pnlF[0][6], Qt::LeftButton);
    EXPECT_TRUE(isFunctionOn(locoFunctionWord(*dcc), 6));
    EXPECT_FALSE(frmLoks->pnlF[0][6]->raised());
    QTest::mouseClick(frmLoks->pnlF[0][6], Qt::LeftButton);
    EXPECT_FALSE(isFunctionOn(locoFunctionWord(*dcc), 6));
    EXPECT_TRUE(frmLoks->pnlF[0][6]->raised());
}

TEST(LocoFunctions, BitsOfTheFunctionWord) {
    const struct {
        int n;
        uint32_t word;
    } cases[] = {{0, 0x10}, {1, 0x01}, {4, 0x08}, {5, 0x100}, {12, 0x8000}, {13, 0x10000}, {20, 0x800000}};
    for (const auto& c : cases) {
        EXPECT_EQ(isFunctionOn(c.word, c.n), 1) << c.n;
        EXPECT_EQ(isFunctionOn(~c.word, c.n), 0) << c.n;
    }
    EXPECT_EQ(isFunctionOn(0xFFFFFFFF, 21), 0);
}

}  // namespace
