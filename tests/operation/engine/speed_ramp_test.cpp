// The speed ramp of the running cycle: steps per stage, stage times, the "Rangeer" skip, reaching 0,
// the backwards tick, and the guards against a zero step delay and against running past the target.
#include "engine_fixture.h"

#include "operation/engine/speed_correction.h"
#include "operation/engine/train_placement.h"

namespace {

class SpeedRamp : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        LayoutBuilder().block(1, {{100, 100}, {300, 100}, {500, 100}}).block(2, {{600, 100}, {700, 100}, {800, 100}})
            .measureBlocks();
        loco = putLocoOnBlock(3, 1, 0, {150, 100}, true, 'H');
        loco->nextStepTime = 0;
    }
    LocoRec* loco = nullptr;
};

TEST_F(SpeedRamp, StepsPerStageAndStageTimes) {
    struct Case {
        int delay, target;
        int step1;
        int32_t due1;  // gMsTick 1000
        int step2;
        int32_t due2;  // one ms after due1
    };
    // n = 120 / d + 1 steps per stage of n x d ms, then half a stage more, and above speed steps / 5 the
    // upper-range extra n x d x (current - 5) x 126 / 28 / 50.
    const Case cases[] = {
        {200, 10, 1, 1000 + 200 + 100, 2, 1300 + 200 + 100},
        {40, 10, 4, 1000 + 160 + 80, 8, 1240 + 160 + 80 + 160 * 3 * 126 / 28 / 50},
        {40, 6, 4, 1240, 6, 1240 + 160 + 80 + 160 * 1 * 126 / 28 / 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.delay);
        loco->currentStep = 0;
        loco->targetStep = static_cast<int16_t>(c.target);
        loco->effectiveStepDelay = static_cast<int16_t>(c.delay);
        loco->nextStepTime = 0;
        gMsTick = 1000;
        rampLocoSpeed(loco);
        EXPECT_EQ(loco->currentStep, c.step1);
        EXPECT_EQ(loco->nextStepTime, c.due1);
        gMsTick = static_cast<uint32_t>(c.due1);
        rampLocoSpeed(loco);  // not strictly past the due time yet
        EXPECT_EQ(loco->currentStep, c.step1);
        gMsTick = static_cast<uint32_t>(c.due1 + 1);
        rampLocoSpeed(loco);
        EXPECT_EQ(loco->currentStep, c.step2);
        EXPECT_EQ(loco->nextStepTime, c.due2);
        EXPECT_EQ(loco->speedValue, speedTableEntry(*loco, c.step2));
    }
}

TEST_F(SpeedRamp, ShuntingAtStandstillIsNotRampedUnlessForced) {
    loco->mode = kModeShunting;
    loco->targetStep = 5;
    tick();
    EXPECT_EQ(loco->currentStep, 0);
    loco->flags |= kLocoForce;
    tick();
    EXPECT_GT(loco->currentStep, 0);
}

TEST_F(SpeedRamp, ReachingZeroStopsAtOnceAndReleasesTheRouteOnce) {
    ConnectionRec c;
    c.from = blockNumbered(1);
    c.to = blockNumbered(2);
    c.to->assignedTrain = c.to->arrivedTrain = loco;
    c.from->state = c.to->state = 0x01;  // reserved
    loco->connection = &c;
    loco->currentStep = 1;
    loco->speedValue = 4;
    loco->targetStep = 0;
    tick();
    EXPECT_EQ(loco->currentStep, 0);
    EXPECT_EQ(loco->speedValue, 0);
    EXPECT_EQ(c.to->assignedTrain, nullptr);
    EXPECT_EQ(c.from->state & 0x01, 0);
    EXPECT_EQ(c.to->state & 0x01, 0);
    // Standing at the target: no second release takes block 2 from a train that reserved it since.
    LocoRec* other = putLocoOnBlock(4, 2, 0, {650, 100}, true, 'H');
    c.to->assignedTrain = other;
    c.to->state = 0x01;
    tick(500);
    EXPECT_EQ(c.to->assignedTrain, other);
    EXPECT_EQ(c.to->state & 0x01, 0x01);
    loco->connection = nullptr;
}

TEST_F(SpeedRamp, ABackwardsTickMakesEveryDueTimeNow) {
    loco->nextStepTime = 50000;
    gFeedbackPollDue = gAccessoryDue = 50000;
    gPreviousTickTime = 20000;
    gMsTick = 5000;
    runTrainsCycle();
    EXPECT_EQ(gFeedbackPollDue, 5000u);
    EXPECT_EQ(gAccessoryDue, 5000u);
    EXPECT_EQ(gPreviousTickTime, 5000u);
    EXPECT_EQ(loco->nextStepTime, 5000);
}

TEST_F(SpeedRamp, AZeroStepDelayStillRamps) {
    loco->run.maxSpeed = 0;  // a locomotive file with maximum speed 0
    loco->effectiveStepDelay = static_cast<int16_t>(calcStepDelay(loco, 7));
    ASSERT_EQ(loco->effectiveStepDelay, 1);
    loco->effectiveStepDelay = 0;  // as a braking limit truncated to 0 leaves it
    loco->targetStep = 10;
    gMsTick = 1000;
    rampLocoSpeed(loco);
    EXPECT_EQ(loco->currentStep, 10);  // 121 steps of 1 ms at most: the whole way at once
    EXPECT_GT(loco->nextStepTime, 1000);
}

TEST_F(SpeedRamp, DeceleratingStopsAtANonZeroTarget) {
    ConnectionRec c;
    c.from = blockNumbered(1);
    c.to = blockNumbered(2);
    c.to->assignedTrain = loco;
    loco->connection = &c;
    loco->effectiveStepDelay = 40;  // 4 steps per stage
    loco->currentStep = 3;
    loco->targetStep = 1;
    gMsTick = 1000;
    rampLocoSpeed(loco);
    EXPECT_EQ(loco->currentStep, 1);
    EXPECT_NE(loco->speedValue, 0);
    EXPECT_EQ(c.to->assignedTrain, loco);  // the route is kept
    loco->connection = nullptr;
}

TEST_F(SpeedRamp, HoldCountdownThenStopInRouteMode) {
    loco->holdCountdown = 2;
    loco->targetStep = 15;
    loco->mode = kModeRoute;
    tick();
    EXPECT_EQ(loco->holdCountdown, 1);
    EXPECT_EQ(loco->targetStep, 15);
    tick();
    EXPECT_EQ(loco->holdCountdown, 0);
    EXPECT_EQ(loco->targetStep, 0);
    EXPECT_EQ(loco->currentStep, 0);  // set to 1 and ramped down in the same cycle
}

TEST_F(SpeedRamp, BrakingLimit) {
    BlockRec* b = blockNumbered(1);
    b->sectionKinds[0] = 1;
    b->sectionKinds[1] = 6;  // the stop section at the 'H' end: 200 units
    loco->contactRole = 6;
    loco->effectiveStepDelay = 1000;
    // No steps to brake from: nothing changes (the mean over steps 1..0 is no number).
    loco->currentStep = 0;
    loco->nextStepTime = 777;
    limitBrakingDelay(loco);
    EXPECT_EQ(loco->effectiveStepDelay, 1000);
    EXPECT_EQ(loco->nextStepTime, 777);
    // 200 units at zoom '1' are 200 x 4.751 x 87 / 4 x 0.00001 km, less 12 m: 0.19466 km available;
    // from step 28 with 1 s per step the ramp needs the mean table value x 2 x 1000 x 28 / 7.2e6 km.
    loco->currentStep = 28;
    double sum = 0;
    for (int i = 1; i <= 28; ++i) sum += speedTableEntry(*loco, i);
    const double needed = sum / 28 * 2 * 1000 * 28 / 7200000.0;
    const double available = 200 * 4.751 * 87 / 4 * 0.00001 - 0.012;
    ASSERT_GT(needed, available);
    limitBrakingDelay(loco);
    EXPECT_EQ(loco->effectiveStepDelay, static_cast<int>(1000 * available / needed));
    EXPECT_EQ(loco->nextStepTime, 0);
}

}  // namespace
