// The synchronised client's tick: the server's trains ramp and move between its position records, a
// fresh position holds the train for one tick, and nothing received can divide by zero.
#include "operation/engine/engine_fixture.h"

#include "network/sync/client_tick.h"

namespace {

class ClientTick : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        LayoutBuilder().block(1, {{100, 100}, {300, 100}, {500, 100}}).measureBlocks();
        loco = putLocoOnBlock(3, 1, 0, {150, 100}, true, 'H');
        loco->mode = kModeManual;
        loco->nextStepTime = static_cast<int32_t>(gMsTick);
        gNetLinkState = 40;
    }
    void clientTick(int ms = 30) {
        gMsTick += ms;
        runTrainsCycleClient();
        gPreviousTickTime = gMsTick;
    }
    LocoRec* loco = nullptr;
};

TEST_F(ClientTick, TheTrainRampsAndMovesOnFromItsLastPosition) {
    loco->targetStep = 10;
    loco->effectiveStepDelay = 200;
    clientTick();
    EXPECT_EQ(loco->currentStep, 1);
    const float x = loco->run.head.x;
    for (int k = 0; k < 10; ++k) clientTick();
    EXPECT_GT(loco->run.head.x, x);
    EXPECT_EQ(gNetOutFill, 0);  // a client tells its server nothing of it
}

TEST_F(ClientTick, AFreshPositionHoldsTheTrainForOneTick) {
    loco->targetStep = 10;
    loco->currentStep = 10;
    loco->speedValue = 10;
    loco->run.runFlagsA |= 0x08;
    const float x = loco->run.head.x;
    clientTick();
    EXPECT_EQ(loco->run.head.x, x);
    EXPECT_EQ(loco->run.runFlagsA & 0x08, 0);
    clientTick();
    EXPECT_NE(loco->run.head.x, x);
}

TEST_F(ClientTick, AShuntingLocomotiveAtStandstillIsNotRampedUnlessForced) {
    loco->mode = kModeShunting;
    loco->targetStep = 5;
    clientTick();
    EXPECT_EQ(loco->currentStep, 0);
    loco->flags |= kLocoForce;
    clientTick();
    EXPECT_GT(loco->currentStep, 0);
}

TEST_F(ClientTick, TheEndOfTheDirectionHoldStopsTheTrain) {
    loco->targetStep = 15;
    loco->holdCountdown = 2;
    clientTick();
    EXPECT_EQ(loco->targetStep, 15);
    clientTick();
    EXPECT_EQ(loco->holdCountdown, 0);
    EXPECT_EQ(loco->targetStep, 0);
}

// A step delay of 0 and 0 speed steps come from the server as they are: the ramp counts the delay as
// 1 ms and skips the upper-range extra instead of dividing by zero.
TEST_F(ClientTick, AZeroStepDelayAndZeroSpeedStepsNeverDivide) {
    loco->targetStep = 100;
    loco->effectiveStepDelay = 0;
    loco->run.speedSteps = 0;
    clientTick();
    EXPECT_EQ(loco->currentStep, 100);  // 120 / 1 + 1 steps in one stage
    EXPECT_EQ(loco->nextStepTime, 10000 + 121 + 60);  // one stage of 121 x 1 ms after the last due time
    loco->effectiveStepDelay = -5;
    loco->targetStep = 0;
    clientTick(1000);
    EXPECT_EQ(loco->currentStep, 0);
    EXPECT_EQ(loco->speedValue, 0);
}

TEST_F(ClientTick, ATickThatWentBackRestartsTheStepTimes) {
    loco->targetStep = 10;
    loco->effectiveStepDelay = 200;
    loco->nextStepTime = static_cast<int32_t>(gMsTick + 100000);
    gPreviousTickTime = gMsTick + 5000;
    clientTick(1);
    EXPECT_EQ(loco->currentStep, 0);  // due now, so not yet strictly past it
    clientTick(1);
    EXPECT_EQ(loco->currentStep, 1);
}

}  // namespace
