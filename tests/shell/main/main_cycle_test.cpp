// The main cycle stepped tick by tick on the real main window with a hand-moved clock: learning the
// tick period, the unstable clock, wrapped clock readings, ticks during a modal question, deferred
// redraws and the press countdown.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <vector>

#include "shell/diagram_window.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/editor/editor_state.h"
#include "layout/model/layout_model.h"
#include "layout/frame/render.h"
#include "network/model/net_state.h"
#include "platform/canvas.h"
#include "platform/clock.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/main/main_cycle.h"
#include "shell/config/messages.h"

namespace {

class MainCycle : public DiagramWindowTest {
protected:
    void SetUp() override {
        DiagramWindowTest::SetUp();
        gTickPeriod = 0;
        gClockRelearnCount = 0;
        gClockSampleCount = 0;
        gClockSampleSum = 0;
        gRedrawCountdown = 0;
        gPreviousTickTime = clock.now();
    }
    // One tick after `ms` milliseconds.
    void tickAfter(uint32_t ms) {
        clock.advance(ms);
        frmSchema->Timer1Timer();
    }
    void ticks(std::initializer_list<uint32_t> intervals) {
        for (uint32_t ms : intervals) tickAfter(ms);
    }
    void ticks(int count, uint32_t ms) {
        for (int i = 0; i < count; ++i) tickAfter(ms);
    }
    bool controlPostMenuEnabled() { return frmSchema->mnuStuurpost->menuAction()->isEnabled(); }

    vestrel::ManualClock clock{5000};
};

TEST_F(MainCycle, TenSteadyIntervalsLearnThePeriodAndEnableTheControlPost) {
    const uint32_t intervals[] = {30, 31, 29, 30, 32, 28, 30, 31, 29};  // each within 3 ms of the mean
    for (uint32_t ms : intervals) {
        tickAfter(ms);
        EXPECT_EQ(gTickPeriod, 0u);
        EXPECT_FALSE(controlPostMenuEnabled());
    }
    tickAfter(30);
    EXPECT_EQ(gTickPeriod, 30u);
    EXPECT_TRUE(controlPostMenuEnabled());
    EXPECT_EQ(gMsTick, clock.now());
    EXPECT_EQ(gPreviousTickTime, clock.now());
}

TEST_F(MainCycle, NoControlPostForAClientOrDuringADemo) {
    for (auto setUp : {+[] { gNetMode = 40; }, +[] { gDemoStep = 3; }}) {
        gTickPeriod = 0;
        gClockRelearnCount = 0;
        setUp();
        ticks(10, 30);
        EXPECT_EQ(gTickPeriod, 30u);
        EXPECT_FALSE(controlPostMenuEnabled());
        gNetMode = 0;
        gDemoStep = 0;
    }
}

TEST_F(MainCycle, ALateTickRestartsTheWindowAndKeepsThePeriod) {
    ticks(10, 30);
    ASSERT_EQ(gTickPeriod, 30u);
    ticks(5, 33);
    tickAfter(40);  // 40 > mean 34 + 3
    EXPECT_EQ(gTickPeriod, 30u);
    ticks(9, 33);
    EXPECT_EQ(gTickPeriod, 30u);  // the five before the late tick no longer count
    tickAfter(33);
    EXPECT_EQ(gTickPeriod, 33u);
    EXPECT_TRUE(controlPostMenuEnabled());
}

TEST_F(MainCycle, TheSixthChangeReportsAnUnstableClockAndEndsLearning) {
    const uint32_t periods[] = {30, 40, 30, 40, 30};
    for (uint32_t ms : periods) ticks(10, ms);
    EXPECT_EQ(gTickPeriod, 30u);
    EXPECT_EQ(gClockRelearnCount, 5);
    EXPECT_NE(lastDialogMessage().rfind("Clock niet stabiel", 0), 0u);
    ticks(10, 40);
    EXPECT_EQ(lastDialogMessage(), "Clock niet stabiel : 30 - 40");
    EXPECT_EQ(gTickPeriod, 30u);
    showDialogMessage("", 3);
    ticks(10, 50);
    ticks(10, 20);
    EXPECT_EQ(gTickPeriod, 30u);
    EXPECT_EQ(lastDialogMessage(), "");  // reported once
    EXPECT_TRUE(controlPostMenuEnabled());
}

TEST_F(MainCycle, ATimerAlternatingBetweenTwoNeighbouringMillisecondsIsSteady) {
    ticks(10, 30);
    ASSERT_EQ(gTickPeriod, 30u);
    // Windows of ten whose means come out 29 and 30 in turn, many times over.
    for (int round = 0; round < 8; ++round) {
        ticks(10, 29);
        ticks(10, 30);
    }
    EXPECT_EQ(gClockRelearnCount, 1) << "the first learning alone";
    EXPECT_NE(lastDialogMessage().rfind("Clock niet stabiel", 0), 0u);
    EXPECT_EQ(gTickPeriod, 30u);
    ticks(10, 32);  // two milliseconds away: a change, taken at once
    EXPECT_EQ(gTickPeriod, 32u);
    EXPECT_EQ(gClockRelearnCount, 2);
}

TEST_F(MainCycle, AChangedCycleTimeSettingLearnsAgain) {
    ticks(10, 30);
    ASSERT_TRUE(controlPostMenuEnabled());
    gTickPeriod = 0;  // the settings dialog does this when "cyclustijd 46ms" changes
    tickAfter(45);
    EXPECT_FALSE(controlPostMenuEnabled());
    ticks(9, 45);
    EXPECT_EQ(gTickPeriod, 45u);
    EXPECT_TRUE(controlPostMenuEnabled());
}

TEST_F(MainCycle, AWrappingMillisecondCounterKeepsItsIntervals) {
    // Across the sign change of a signed counter and across the wrap of the unsigned one.
    for (uint32_t start : {0x7FFFFF00u, 0xFFFFFF00u}) {
        SCOPED_TRACE(start);
        clock.set(start);
        gTickPeriod = 0;
        gClockRelearnCount = 0;
        gClockSampleCount = 0;
        gClockSampleSum = 0;
        gPreviousTickTime = start;
        ticks(9, 30);  // the counter wraps at the ninth
        EXPECT_EQ(gTickPeriod, 0u);
        tickAfter(30);
        EXPECT_EQ(gTickPeriod, 30u);
    }
    EXPECT_EQ(msBetween(14, 0xFFFFFFF0u), 30);
    EXPECT_EQ(msBetween(0x80000010u, 0x7FFFFFF0u), 32);
    EXPECT_EQ(msBetween(100, 130), -30);
}

TEST_F(MainCycle, ATickDuringAModalQuestionDoesNotRunAgain) {
    tickAfter(30);
    const uint32_t before = gMsTick;
    uint32_t seenInQuestion = 0;
    {
        // As inside a tick whose callee asks a question: the timer fires in the question's event loop.
        const CycleTickGuard tickInProgress;
        ASSERT_TRUE(tickInProgress.entered());
        clock.advance(30);
        whenModal([&](QWidget* question) {
            frmSchema->Timer1Timer();
            seenInQuestion = gMsTick;
            clickButton(question, "btnNee");
        });
        EXPECT_EQ(showDialogMessage("Bent u zeker ?", 2), 0);
    }
    EXPECT_EQ(seenInQuestion, before);
    frmSchema->Timer1Timer();
    EXPECT_EQ(gMsTick, before + 30);
}

TEST_F(MainCycle, TheDeferredRedrawResetsTheDrawingArea) {
    gLayoutOffset = {-16, -8};
    gMousePoint = {300, 300};
    vestrel::Canvas* oldBackBuffer = gBackBuffer;
    gRedrawCountdown = 5;
    tickAfter(30);
    EXPECT_EQ(gRedrawCountdown, 4);
    EXPECT_EQ(gBackBuffer, oldBackBuffer);
    tickAfter(30);  // from 4 to 3: the redraw
    EXPECT_EQ(gRedrawCountdown, 2);
    EXPECT_EQ(gMousePoint, (DiagramPoint{50, 50}));
    EXPECT_EQ(gLayoutOffset.x, 0);
    EXPECT_EQ(gLayoutOffset.y, 0);
    EXPECT_NE(gBackBuffer, oldBackBuffer);
    EXPECT_EQ(gBackBuffer->Pixel(8, 8), 0x808080u);  // the grid of the redrawn background
    ticks(2, 30);
    EXPECT_EQ(gRedrawCountdown, 0);
    tickAfter(30);
    EXPECT_EQ(gRedrawCountdown, 0);
}

TEST_F(MainCycle, ARepaintRequestCountsUpToThePaint) {
    redrawSchema(1);
    gDiagramCanvas->SetPixel(300, 200, 0xFF);
    gRepaintRequest = -3;
    ticks(2, 30);
    EXPECT_EQ(gRepaintRequest, -1);
    tickAfter(30);
    EXPECT_EQ(gRepaintRequest, 0);
    EXPECT_EQ(gDiagramCanvas->Pixel(300, 200), 0xFFu);  // the repaint leaves the diagram's picture
}

TEST_F(MainCycle, ThePressCountdownStopsAtOne) {
    gMoveWhole = 20;
    ticks(18, 30);
    EXPECT_EQ(gMoveWhole, 2);
    ticks(5, 30);
    EXPECT_EQ(gMoveWhole, 1);
    gMoveWhole = 0;
    tickAfter(30);
    EXPECT_EQ(gMoveWhole, 0);
}

TEST(CycleStatistics, MinimumMaximumAndTheSmoothedMeanOf101Ticks) {
    gCycleTimes = {};
    gCycleTimeSum = 0;
    gCycleTimeCount = 0;
    gCycleTimeLastMean = 0;
    for (int i = 0; i < 100; ++i) recordCycleTime(i % 2 ? 300 : 100);
    EXPECT_EQ(gCycleTimes.minimum, 100);
    EXPECT_EQ(gCycleTimes.maximum, 300);
    EXPECT_EQ(gCycleTimes.mean, 0);
    recordCycleTime(200);  // the 101st: mean 20200 / 101 = 200, smoothed with the 0 before
    EXPECT_EQ(gCycleTimes.mean, 100);
    EXPECT_EQ(gCycleTimeCount, 0);
    for (int i = 0; i < 101; ++i) recordCycleTime(400);
    EXPECT_EQ(gCycleTimes.mean, 300);  // (400 + 200) / 2
    gTickPeriod = 30;
    EXPECT_EQ(cycleStatisticsText(), "30ms(CPU:100-300-400\xB5s)");
    showCycleStatistics();
    EXPECT_EQ(gCycleTimes.minimum, 100000);
    EXPECT_EQ(gCycleTimes.maximum, 0);
}

}  // namespace
