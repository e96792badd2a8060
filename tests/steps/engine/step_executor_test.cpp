// The executor, tick by tick on the replaceable millisecond clock (gMsTick): waits, conditions, the logic
// steps' condition stack, jumps, the pause after an action and the faults of runs that end early.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "layout/layout_builder.h"
#include "link/buffers/link_buffers.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/accessory_operation.h"
#include "operation/control/loco_operation.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"
#include "steps/engine/step_executor.h"
#include "steps/model/step_program.h"

namespace {

using Step = LayoutBuilder::Step;

class Executor : public ::testing::Test {
protected:
    void SetUp() override {
        gMsTick = 100000;
        gStepSkipTicks = 0;
        gNetLinkState = 0;
        gNetOutFill = 0;
        for (int c = 1; c <= 16; ++c) gFeedbackImage.setContact(c, false);
    }
    void TearDown() override {
        gNetLinkState = 0;
        clearTrainTables();
    }
    // Starts every program and runs one tick (which takes each to its step 1).
    void start() {
        for (StepProgramRec* p : gStepPrograms) p->state = 1;
        tick();
    }
    // One main-cycle tick 30 ms after the last.
    void tick(int n = 1) {
        for (int k = 0; k < n; ++k) {
            gMsTick += 30;
            runStepPrograms();
        }
    }
    // Ticks until the clock has advanced by ms.
    void runFor(int ms) { tick((ms + 29) / 30); }
    static StepProgramRec& program(int i = 0) { return *gStepPrograms[i]; }
    LocoRec* loco(int number) {
        auto l = std::make_unique<LocoRec>();
        l->number = static_cast<int16_t>(number);
        return gLocs.append(std::move(l));
    }
};

TEST_F(Executor, NoConditionWithATimeWaitsThatManySeconds) {
    LayoutBuilder().stepProgram("p", {{"geen", 0, "teller+", 1, 5}, {"teller>=", 99, "geen", 0}});
    start();
    EXPECT_EQ(program().currentStep, 1);
    EXPECT_EQ(program().waitLeft, 5);
    runFor(4980);
    EXPECT_EQ(program().counter, 0);
    EXPECT_EQ(program().waitLeft, 1);
    runFor(60);
    EXPECT_EQ(program().counter, 1);
    EXPECT_EQ(program().currentStep, 2);
}

TEST_F(Executor, TheWaitCountsOnAcrossTheClocksWrap) {
    LayoutBuilder().stepProgram("p", {{"geen", 0, "teller+", 1, 5}, {"teller>=", 99, "geen", 0}});
    gMsTick = 0x7FFFF000u;  // the next second passes the largest signed value, then the clock wraps
    start();
    runFor(4980);
    EXPECT_EQ(program().waitLeft, 1);
    gMsTick = 0xFFFFF000u;
    LayoutBuilder().stepProgram("p", {{"geen", 0, "teller+", 1, 5}, {"teller>=", 99, "geen", 0}});
    start();
    runFor(5010);
    EXPECT_EQ(program().counter, 1);
}

TEST_F(Executor, NoConditionWithoutTimePerformsAtOnce) {
    LayoutBuilder().stepProgram("p", {{"geen", 0, "teller+", 1}, {"teller>=", 99, "geen", 0}});
    start();
    EXPECT_EQ(program().counter, 1);
    EXPECT_EQ(program().currentStep, 2);
    EXPECT_EQ(gStepSkipTicks, 3);
}

TEST_F(Executor, AContactWithATimePerformsWhenItIsSetOrWhenTheTimeIsUp) {
    LayoutBuilder().stepProgram("p", {{"ingang=1", 5, "teller+", 1, 10}, {"teller>=", 99, "geen", 0}});
    start();
    runFor(3000);
    EXPECT_EQ(program().counter, 0);
    gFeedbackImage.setContact(5, true);
    tick();
    EXPECT_EQ(program().counter, 1);

    LayoutBuilder().stepProgram("p", {{"ingang=1", 5, "teller+", 1, 10}, {"teller>=", 99, "geen", 0}});
    gFeedbackImage.setContact(5, false);
    gStepSkipTicks = 0;
    start();
    runFor(9990);
    EXPECT_EQ(program().counter, 0);
    runFor(60);
    EXPECT_EQ(program().counter, 1);
}

TEST_F(Executor, Jumps) {
    struct Row {
        const char* what;
        Step jump;
        bool contact;
        int waitMs;      // how long to run after the start
        int stepAfter;   // current step then
    };
    const Row rows[] = {
        {"condition holds: jump", {"ingang=1", 5, "stap", 4}, true, 0, 4},
        {"condition fails without time: go on", {"ingang=1", 5, "stap", 4}, false, 0, 2},
        {"condition fails with time: wait", {"ingang=1", 5, "stap", 4, 2}, false, 1000, 1},
        {"condition fails with time: go on when it is up", {"ingang=1", 5, "stap", 4, 2}, false, 2100, 2},
        {"no condition with time: jump when it is up", {"geen", 0, "stap", 4, 2}, false, 2100, 4},
        {"jump to 0: the next step", {"geen", 0, "stap", 0}, false, 0, 2},
        {"jump beyond the program: step 1", {"geen", 0, "stap", 9}, false, 0, 1},
    };
    for (const Row& r : rows) {
        LayoutBuilder().stepProgram("p", {r.jump, {"teller>=", 99, "geen", 0}, {"teller>=", 99, "geen", 0},
                                          {"teller>=", 99, "geen", 0}});
        gFeedbackImage.setContact(5, r.contact);
        gStepSkipTicks = 0;
        start();
        runFor(r.waitMs);
        EXPECT_EQ(program().currentStep, r.stepAfter) << r.what;
    }
}

TEST_F(Executor, LogicStepsGateTheActionStep) {
    // Contact 5 and block 3's arrived train; the action step's own condition is not used.
    for (int caseNo = 0; caseNo < 4; ++caseNo) {
        const bool contact = caseNo & 1;
        const bool arrived = caseNo & 2;
        LayoutBuilder()
            .block(3, {{0, 0}, {50, 0}, {100, 0}})
            .turnout('l', 7, {{200, 0}, {240, 0}, {236, 10}})
            .stepProgram("p", {{"ingang=1", 5, "(", 0}, {"bezet=1", 3, "A)", 0}, {"ingang=1", 6, "uitgang=G", 7},
                               {"teller>=", 99, "geen", 0}});
        gTurnouts[0]->position = 'R';  // no output 7: "uitgang=G" 7 throws turnout 7 back to 'G'
        gLocs.clear();
        gStepSkipTicks = 0;
        gFeedbackImage.setContact(5, contact);
        gBlocks[0]->arrivedTrain = arrived ? loco(33) : nullptr;
        start();
        const bool performed = contact && arrived;
        EXPECT_EQ(program().currentStep, performed ? 4 : 1) << caseNo;
        EXPECT_EQ(gTurnouts[0]->position, performed ? 'G' : 'R') << caseNo;
        EXPECT_EQ(gStepSkipTicks, performed ? 3 : 0) << caseNo;
        // A true block condition binds its train, whatever the outcome of the run.
        EXPECT_EQ(program().boundLoco, gBlocks[0]->arrivedTrain) << caseNo;
        gBlocks[0]->arrivedTrain = nullptr;
    }
}

TEST_F(Executor, AndOrAtLevelZeroStartFromFalse) {
    const struct {
        const char* logic;
        bool contact;
        bool performed;
    } rows[] = {{"A", true, false}, {"A", false, false}, {"O", true, true}, {"O", false, false}};
    for (const auto& r : rows) {
        LayoutBuilder().stepProgram("p", {{"ingang=1", 5, r.logic, 0}, {"geen", 0, "teller+", 1},
                                          {"teller>=", 99, "geen", 0}});
        gFeedbackImage.setContact(5, r.contact);
        gStepSkipTicks = 0;
        start();
        EXPECT_EQ(program().counter, r.performed ? 1 : 0) << r.logic << " " << r.contact;
    }
}

TEST_F(Executor, NestedLevels) {
    // (1 O (2 A 3)) : contact 1 or (contacts 2 and 3).
    for (int bits = 0; bits < 8; ++bits) {
        LayoutBuilder().stepProgram("p", {{"ingang=1", 1, "(", 0}, {"ingang=1", 2, "O(", 0}, {"ingang=1", 3, "A)", 0},
                                          {"geen", 0, ")", 0}, {"geen", 0, "teller+", 1},
                                          {"teller>=", 99, "geen", 0}});
        for (int c = 1; c <= 3; ++c) gFeedbackImage.setContact(c, bits & (1 << (c - 1)));
        gStepSkipTicks = 0;
        start();
        const bool expected = (bits & 1) || ((bits & 2) && (bits & 4));
        EXPECT_EQ(program().counter, expected ? 1 : 0) << bits;
    }
}

TEST_F(Executor, AfterAnActionNoProgramIsLookedAtForThreeTicks) {
    LayoutBuilder()
        .stepProgram("a", {{"geen", 0, "teller+", 1}, {"teller>=", 99, "geen", 0}})
        .stepProgram("b", {{"ingang=1", 8, "teller+", 1}, {"teller>=", 99, "geen", 0}});
    start();
    ASSERT_EQ(program(0).counter, 1);
    gFeedbackImage.setContact(8, true);
    tick(3);
    EXPECT_EQ(program(1).counter, 0);
    tick();
    EXPECT_EQ(program(1).counter, 1);
}

TEST_F(Executor, TheCounterWrapsAndTheProgramLoops) {
    LayoutBuilder().stepProgram("p", {{"geen", 0, "teller+", 200}, {"teller>=", 144, "geen", 0, 0}});
    start();
    EXPECT_EQ(program().counter, 200);
    tick(4);  // step 2 holds (200 is at least 144); after the last step comes step 1
    EXPECT_EQ(program().currentStep, 1);
    tick(4);
    EXPECT_EQ(program().counter, 144);
}

TEST_F(Executor, StoppedAndPausedPrograms) {
    LayoutBuilder().stepProgram("p", {{"geen", 0, "teller+", 1}, {"geen", 0, "geen", 0, 9}});
    auto* l = loco(5);
    start();
    program().boundLoco = l;
    ASSERT_EQ(program().currentStep, 2);
    program().state = 2;  // paused: keeps its step, counter and wait; the wait does not count
    tick(4);
    runFor(5000);
    EXPECT_EQ(program().currentStep, 2);
    EXPECT_EQ(program().waitLeft, 9);
    EXPECT_EQ(program().counter, 1);
    EXPECT_EQ(msBetween(static_cast<uint32_t>(program().nextSecond), gMsTick), 1000);
    program().state = 0;  // stopped: everything starts afresh
    tick();
    EXPECT_EQ(program().currentStep, 0);
    EXPECT_EQ(program().counter, 0);
    EXPECT_EQ(program().waitLeft, 0);
    EXPECT_EQ(program().boundLoco, nullptr);
}

TEST_F(Executor, ARunWithoutActionStepPerformsNothingAndStartsAgain) {
    LayoutBuilder().stepProgram("p", {{"geen", 0, "teller+", 1}, {"geen", 0, "(", 0}, {"geen", 0, "A", 0}});
    start();
    ASSERT_EQ(program().currentStep, 2);
    tick(4);
    EXPECT_EQ(program().currentStep, 1);
    EXPECT_EQ(program().counter, 1);
    tick(4);
    EXPECT_EQ(program().counter, 2);
}

TEST_F(Executor, AProgramWithoutStepsDoesNothing) {
    LayoutBuilder().stepProgram("leeg", {}).stepProgram("p", {{"geen", 0, "teller+", 1}});
    start();
    tick(8);
    EXPECT_EQ(program(0).currentStep, 0);
    EXPECT_EQ(program(1).counter, 3);
}

TEST_F(Executor, ACurrentStepBeyondTheProgramRestartsAtStepOne) {
    LayoutBuilder().stepProgram("p", {{"teller>=", 99, "geen", 0}, {"geen", 0, "geen", 0}});
    start();
    program().currentStep = 200;  // a step deleted while running, or a wrong value from a peer
    tick();
    EXPECT_EQ(program().currentStep, 1);
}

TEST_F(Executor, TargetsAreResolvedAtTheStartAndCheckedWhenUsed) {
    LayoutBuilder()
        .block(3, {{0, 0}, {50, 0}, {100, 0}})
        .turnout('l', 12, {{200, 0}, {240, 0}, {236, 10}})
        .output(24, {300, 300})  // address 12, red
        .stepProgram("p", {{"bezet=0", 3, "teller+", 1}, {"uitgang=G", 12, "teller+", 1},
                           {"uitgang=R", 40, "teller+", 1}, {"teller>=", 99, "geen", 0}});
    gTurnouts[0]->position = 'R';
    gOutputs.clear();  // turnout 12 then names the condition's object
    start();
    EXPECT_EQ(gSteps[0]->resolvedTarget, 0);
    EXPECT_EQ(gSteps[1]->resolvedTarget, kTurnoutTargetBase);
    EXPECT_EQ(gSteps[2]->resolvedTarget, -1);
    EXPECT_EQ(program().counter, 1);
    tick(4);
    EXPECT_EQ(program().counter, 1);  // turnout 12 lies in 'R'
    gTurnouts[0]->position = 'G';
    tick();
    EXPECT_EQ(program().counter, 2);
    tick(4);
    EXPECT_EQ(program().currentStep, 3);  // nothing named 40: false

    program().currentStep = 1;
    gBlocks.clear();  // the block went: its index names nothing
    tick(8);
    EXPECT_EQ(program().currentStep, 1);
    EXPECT_EQ(program().counter, 2);
}

TEST_F(Executor, AContactConditionBindsTheTrainAssignedToItsBlock) {
    LayoutBuilder()
        .block(1, {{0, 0}, {50, 0}, {100, 0}}).inputs({0, 6})
        .stepProgram("p", {{"ingang=1", 6, "geen", 0}, {"loc.=1", 21, "teller+", 1}, {"teller>=", 99, "geen", 0}});
    LocoRec* l = loco(21);
    gBlocks[0]->assignedTrain = l;
    gFeedbackImage.setContact(6, true);
    start();
    EXPECT_EQ(program().boundLoco, l);
    tick(4);
    EXPECT_EQ(program().counter, 1);
}

TEST_F(Executor, ActionsThatNeedALocomotiveAreSkippedWithoutOne) {
    LayoutBuilder().stepProgram("p", {{"geen", 0, "richting", 0}, {"geen", 0, "snelheid", 50},
                                      {"teller>=", 99, "geen", 0}});
    start();
    EXPECT_EQ(program().currentStep, 2);
    EXPECT_EQ(gStepSkipTicks, 0);  // no pause after a skipped action
    tick();
    EXPECT_EQ(program().currentStep, 3);
}

TEST_F(Executor, TheBoundLocomotiveOfAProgramIsForgottenWhenItIsDeleted) {
    LayoutBuilder().stepProgram("p", {{"teller>=", 99, "geen", 0}});
    LocoRec* l = loco(3);
    gLocsOnTrack.append(l);
    program().boundLoco = l;
    deleteLoco(l);
    EXPECT_EQ(program().boundLoco, nullptr);
    program().boundLoco = l;
    clearTrainTables();
    EXPECT_EQ(program().boundLoco, nullptr);
}

TEST_F(Executor, ActionsOnTheLocomotiveOnTheTrackAndTheCounter) {
    LayoutBuilder().stepProgram("p", {{"geen", 0, "loc", 7}, {"geen", 0, "teller=", 250}, {"geen", 0, "teller-", 251},
                                      {"loc.=1", 7, "teller+", 3}, {"teller>=", 99, "geen", 0}});
    LocoRec* l = loco(7);
    gLocsOnTrack.append(l);
    start();
    EXPECT_EQ(program().boundLoco, l);
    tick(12);
    EXPECT_EQ(program().counter, 2);  // 250 - 251 + 3, modulo 256
}

TEST_F(Executor, PeersHearOfEachStepSecondCounterAndStop) {
    LayoutBuilder().stepProgram("a", {}).stepProgram("p", {{"geen", 0, "teller+", 5, 2}, {"teller>=", 99, "geen", 0, 4}});
    program(1).state = 1;
    tick();
    gNetLinkState = 30;
    runFor(1030);
    runFor(1000);
    // Kind 14, code, a = code, b = program 1, c: the seconds left 1 and 0, the counter 5, the next step's
    // wait 4 and the step 2.
    using Bytes = std::vector<uint8_t>;
    EXPECT_EQ(Bytes(gNetOutBuffer, gNetOutBuffer + gNetOutFill),
              (Bytes{14, 19, 19, 0, 1, 0, 1, 0, 14, 19, 19, 0, 1, 0, 0, 0, 14, 20, 20, 0, 1, 0, 5, 0,
                     14, 19, 19, 0, 1, 0, 4, 0, 14, 15, 15, 0, 1, 0, 2, 0}));
    // Stopped, the program starts afresh: the peers hear its state, then its step, wait and counter 0,
    // once.
    gNetOutFill = 0;
    setStepProgramState(&program(1), 2);
    tick(4);
    EXPECT_EQ(Bytes(gNetOutBuffer, gNetOutBuffer + gNetOutFill),
              (Bytes{14, 44, 44, 0, 1, 0, 0, 0, 14, 44, 44, 0, 1, 0, 0, 0, 14, 15, 15, 0, 1, 0, 0, 0,
                     14, 19, 19, 0, 1, 0, 0, 0, 14, 20, 20, 0, 1, 0, 0, 0}));
    EXPECT_EQ(program(1).currentStep, 0);
}

}  // namespace
