// The running engine on the real main window with a stepped clock: F11 starts a session without track
// control with a train from a locomotive file on block 1; the up-arrow key ramps it, it runs section by
// section and in "Manueel" without a connection halts at the end of its block; forced "Rangeer" takes
// it on over a track and a turnout into block 2.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include "layout/model/scale.h"
#include "link/buffers/link_buffers.h"
#include "link/model/accessory_ring.h"
#include "operation/control/loco_operation.h"
#include "operation/engine/route_aspects.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "platform/clock.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"

namespace {

class EngineWindow : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        frmSchema->Timer1->stop();
        // Block 1, a track, turnout 1 (straight on) and block 2 in one line.
        LayoutBuilder()
            .block(1, {{100, 100}, {200, 100}, {300, 100}})
            .track({{300, 100}, {400, 100}})
            .turnout('l', 1, {{400, 100}, {440, 100}, {440, 130}})
            .block(2, {{440, 100}, {520, 100}, {600, 100}})
            .measureBlocks();
        gLocoFileName = "test.loc";
        writeSessionLocoFile("test.loc", {{3, 150, 100, 1}});
        gDirtyFlags = 0;
        activate();
    }
    static void activate() {
        QApplication::setActiveWindow(frmSchema);
        ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
    }
    static void key(Qt::Key k) { QTest::keyClick(frmSchema, k); }
    void tick() {
        clock.advance(30);
        frmSchema->Timer1Timer();
    }
    vestrel::ManualClock clock{100000};
    RunningProgram program;
};

TEST_F(EngineWindow, ATrainRampsRunsAndHaltsThenShuntsOnIntoTheNextBlock) {
    key(Qt::Key_F11);
    ASSERT_EQ(gRunWithoutTrack, 1);
    frmBoodschap->close();
    activate();
    for (int i = 0; i < 12; ++i) tick();  // the tick period is learned, and with it the speed factor
    ASSERT_EQ(gTickPeriod, 30u);
    LocoRec* l = gLocsOnTrack[0];
    ASSERT_NE(l, nullptr);
    ASSERT_EQ(l->mode, kModeManual);
    key(Qt::Key_L);
    ASSERT_EQ(l->running, 1);

    l->targetStep = 20;
    int ramped = 0, sections = 0, previousSection = l->run.head.sectionA;
    for (int i = 0; i < 5000 && !(l->run.runFlagsA & 0x01); ++i) {
        const int before = l->currentStep;
        tick();
        EXPECT_LE(l->currentStep, before + 1);  // one step per stage at this step delay
        ramped = std::max<int>(ramped, l->currentStep);
        if (l->run.head.sectionA != previousSection) ++sections;
        previousSection = l->run.head.sectionA;
    }
    EXPECT_GT(ramped, 5);
    EXPECT_EQ(sections, 1);  // from section 1 into section 2 of block 1
    EXPECT_EQ(l->run.runFlagsA & 0x01, 0x01);
    EXPECT_EQ(l->targetStep, 0);
    EXPECT_EQ(l->run.head.block, blockNumbered(1));
    EXPECT_FLOAT_EQ(l->run.head.x, 300);

    // Forced shunting: on over the track and the turnout, which it holds while on it.
    for (int i = 0; i < 2000 && l->currentStep != 0; ++i) tick();
    l->mode = kModeShunting;
    ASSERT_EQ(l->mode, kModeShunting);
    l->flags |= kLocoForce;
    l->targetStep = 20; queueLocoSpeed(l, 0);
    bool held = false;
    for (int i = 0; i < 5000 && l->run.head.block != blockNumbered(2); ++i) {
        tick();
        if (l->run.head.turnout == turnoutNumbered(1)) held = held || turnoutNumbered(1)->holder == l;
    }
    EXPECT_TRUE(held);
    EXPECT_EQ(l->run.head.block, blockNumbered(2));
    EXPECT_EQ(turnoutNumbered(1)->holder, nullptr);  // released behind the train
    EXPECT_EQ(blockNumbered(2)->assignedTrain, l);
}

// Two trains from the locomotive file on blocks 1 and 2, joined through turnout 1; signal 5 guards block
// 1's 'H' end. The automatic train on block 1 waits for block 2 behind a red signal; once block 2 is
// free it gets green, the turnout is thrown, block 2 is reserved and the train runs into it.
TEST(EngineWindowAspects, AWaitingTrainGoesWhenItsBlockIsFree) {
    RunningProgram program;
    program.start();
    frmSchema->Timer1->stop();
    LayoutBuilder()
        .block(1, {{100, 100}, {200, 100}, {300, 100}})
        .turnout('l', 1, {{300, 100}, {340, 100}, {340, 130}})
        .block(2, {{340, 100}, {440, 100}, {540, 100}})
        .signal(5, 1, 'H', {300, 90})
        .connection(1, 2, 'H', {{1, 'G'}})
        .measureBlocks();
    for (BlockRec* b : gBlocks) b->totalLength = 200;
    gLocoFileName = "test.loc";
    writeSessionLocoFile("test.loc", {{3, 150, 100, 1}, {7, 400, 100, 2}});
    gDirtyFlags = 0;
    QApplication::setActiveWindow(frmSchema);
    ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
    QTest::keyClick(frmSchema, Qt::Key_F11);
    ASSERT_EQ(gRunWithoutTrack, 1);
    frmBoodschap->close();
    vestrel::ManualClock clock{100000};
    auto tick = [&] {
        clock.advance(30);
        frmSchema->Timer1Timer();
    };
    for (int i = 0; i < 12; ++i) tick();
    LocoRec* train = findLocoByNumber(3);
    LocoRec* other = findLocoByNumber(7);
    ASSERT_TRUE(train && other);
    train->mode = kModeAuto;
    train->kind = 1;
    turnoutNumbered(1)->position = 'R';  // thrown the other way meanwhile

    gBlockedReason = 0;
    QTest::keyClick(frmSchema, Qt::Key_L);  // switched on, the train asks to go
    EXPECT_EQ(train->running, 1);
    EXPECT_EQ(gBlockedReason & 0x20, 0x20);
    EXPECT_EQ(signalNumbered(5)->aspect, 'R');
    EXPECT_EQ(runningFifoCount(), 1);
    EXPECT_EQ(runningFifoAt(0), train);
    EXPECT_EQ(turnoutNumbered(1)->position, 'R');

    ASSERT_EQ(takeLocoOffTrack(other), 1);
    const int queued = gAccessoryQueue.writePos();
    EXPECT_EQ(reevaluateTrain(train), 'G');  // asked again, as the up-arrow key does
    EXPECT_EQ(signalNumbered(5)->aspect, 'G');
    EXPECT_EQ(turnoutNumbered(1)->position, 'G');
    EXPECT_NE(gAccessoryQueue.writePos(), queued);  // the turnout's and the signal's commands
    EXPECT_EQ(turnoutNumbered(1)->holder, train);
    EXPECT_EQ(blockNumbered(2)->assignedTrain, train);
    EXPECT_EQ(blockNumbered(2)->state & 0x01, 0x01);
    EXPECT_EQ(runningFifoCount(), 0);
    EXPECT_GT(train->targetStep, 0);
    for (int i = 0; i < 5000 && train->run.head.block != blockNumbered(2); ++i) tick();
    EXPECT_EQ(train->run.head.block, blockNumbered(2));
}

}  // namespace
