// Steps in and out of programs, deleting and duplicating programs: the runs of the step table stay
// contiguous and apart, jump targets follow, and peers hear of each change.
#include <gtest/gtest.h>

#include <vector>

#include "layout/editor/editor_state.h"
#include "layout/layout_builder.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "shell/config/messages.h"
#include "steps/editor/step_store.h"
#include "steps/model/step_program.h"

namespace {

using Step = LayoutBuilder::Step;

class StepStore : public ::testing::Test {
protected:
    void SetUp() override {
        showDialogMessage("", 3);
        gNetLinkState = 0;
        gNetOutFill = 0;
    }
    void TearDown() override { gNetLinkState = 0; }
    static StepProgramRec& program(int i) { return *gStepPrograms[i]; }
    static std::vector<int> firsts() {
        std::vector<int> f;
        for (const StepProgramRec* p : gStepPrograms) f.push_back(p->firstStep);
        return f;
    }
    static std::vector<uint8_t> sent() { return {gNetOutBuffer, gNetOutBuffer + gNetOutFill}; }
};

TEST_F(StepStore, AProgramHoldsAtMost255StepsAndTheStoreAtMost500) {
    LayoutBuilder().stepProgram("vol", {}).stepProgram("ander", {{"geen", 0, "geen", 0}});
    for (int k = 0; k < 255; ++k) ASSERT_EQ(insertOrDeleteStep(&program(0), 1, 0), 1);
    EXPECT_EQ(insertOrDeleteStep(&program(0), 1, 0), 0);
    EXPECT_EQ(lastDialogMessage(), "Het maximaal aantal stappen is bereikt");
    EXPECT_EQ(program(0).stepCount, 255);

    for (int k = 0; k < 244; ++k) ASSERT_EQ(insertOrDeleteStep(&program(1), 1, 0), 1);
    ASSERT_EQ(gStepCount, 500);
    showDialogMessage("", 3);
    EXPECT_EQ(insertOrDeleteStep(&program(1), 1, 0), 0);
    EXPECT_EQ(lastDialogMessage(), "Het maximaal aantal stappen is bereikt");
    EXPECT_EQ(gStepCount, 500);
}

TEST_F(StepStore, PositionsOutsideTheProgramAreRefusedSilently) {
    LayoutBuilder().stepProgram("p", {{"geen", 0, "geen", 0}, {"geen", 0, "geen", 0}});
    EXPECT_EQ(insertOrDeleteStep(&program(0), 0, 0), 0);
    EXPECT_EQ(insertOrDeleteStep(&program(0), 4, 0), 0);
    EXPECT_EQ(insertOrDeleteStep(&program(0), 3, 1), 0);
    EXPECT_EQ(insertOrDeleteStep(&program(0), 0, 1), 0);
    EXPECT_EQ(lastDialogMessage(), "");
    EXPECT_EQ(insertOrDeleteStep(&program(0), 3, 0), 1);  // behind the last step
    EXPECT_EQ(gStepCount, 3);
}

TEST_F(StepStore, JumpTargetsFollowAnInsertAndADelete) {
    LayoutBuilder()
        .stepProgram("voor", {{"geen", 0, "stap", 4}})
        .stepProgram("p", {{"geen", 0, "geen", 0}, {"geen", 0, "stap", 2}, {"geen", 0, "geen", 0},
                           {"geen", 0, "geen", 0}, {"geen", 0, "stap", 4}});
    StepProgramRec& p = program(1);
    ASSERT_EQ(insertOrDeleteStep(&p, 3, 0), 1);
    EXPECT_EQ(programStep(p, 6)->actionValue, 5);  // was step 5 jumping to step 4
    EXPECT_EQ(programStep(p, 2)->actionValue, 2);  // a target before the new step stays
    EXPECT_EQ(gSteps[0]->actionValue, 4);          // other programs' jumps stay
    EXPECT_EQ(programStep(p, 3)->actionCode, 0);
    ASSERT_EQ(insertOrDeleteStep(&p, 3, 1), 1);
    EXPECT_EQ(programStep(p, 5)->actionValue, 4);
    EXPECT_EQ(p.stepCount, 5);
}

TEST_F(StepStore, ProgramsBehindTheChangeMoveAndThoseBeforeStay) {
    LayoutBuilder()
        .stepProgram("a", {{"geen", 0, "geen", 0}, {"geen", 0, "geen", 0}})
        .stepProgram("b", {{"geen", 0, "geen", 0}, {"geen", 0, "geen", 0}, {"geen", 0, "geen", 0}})
        .stepProgram("c", {{"geen", 0, "geen", 0}});
    ASSERT_EQ(insertOrDeleteStep(&program(1), 2, 0), 1);
    EXPECT_EQ(firsts(), (std::vector<int>{0, 2, 6}));
    ASSERT_EQ(insertOrDeleteStep(&program(0), 1, 1), 1);
    EXPECT_EQ(firsts(), (std::vector<int>{0, 1, 5}));

    deleteStepProgram(&program(1));  // its four steps go
    ASSERT_EQ(gStepProgramCount, 2);
    EXPECT_EQ(program(1).name, "c");
    EXPECT_EQ(firsts(), (std::vector<int>{0, 1}));
    EXPECT_EQ(gStepCount, 2);
    deleteStepProgram(&program(0));  // deleting the first program's steps moves every program behind it
    EXPECT_EQ(firsts(), (std::vector<int>{0}));
    EXPECT_EQ(gStepCount, 1);
}

TEST_F(StepStore, AStepInsertedIntoAnEmptyProgramBelongsToIt) {
    // The empty program shares its first index with the program whose steps follow.
    LayoutBuilder()
        .stepProgram("a", {{"geen", 0, "geen", 0}})
        .stepProgram("leeg", {})
        .stepProgram("b", {{"ingang=1", 9, "geen", 0}});
    ASSERT_EQ(program(1).firstStep, 1);
    ASSERT_EQ(program(2).firstStep, 1);
    ASSERT_EQ(insertOrDeleteStep(&program(1), 1, 0), 1);
    EXPECT_EQ(firsts(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(programStep(program(2), 1)->conditionValue, 9);  // b keeps its own step
    ASSERT_EQ(insertOrDeleteStep(&program(1), 1, 1), 1);
    EXPECT_EQ(firsts(), (std::vector<int>{0, 1, 1}));
}

TEST_F(StepStore, PeersHearOfEachInsertAndDelete) {
    LayoutBuilder().stepProgram("p", {{"geen", 0, "geen", 0}});
    program(0).number = 3;
    gNetLinkState = 30;
    ASSERT_EQ(insertOrDeleteStep(&program(0), 2, 0), 1);
    ASSERT_EQ(insertOrDeleteStep(&program(0), 1, 1), 1);
    EXPECT_EQ(sent(), (std::vector<uint8_t>{14, 0, 0, 0, 3, 0, 2, 0, 14, 42, 42, 0, 3, 0, 1, 0}));
}

TEST_F(StepStore, DuplicateAppendsACopyAndMakesItTheEditorsProgram) {
    LayoutBuilder().stepProgram("a", {{"geen", 0, "geen", 0}})
        .stepProgram("b", {{"ingang=1", 4, "stap", 2, 3}, {"geen", 0, "teller+", 1}});
    program(1).counter = 9;
    program(1).state = 1;
    ASSERT_EQ(duplicateStepProgram(&program(1)), 1);
    ASSERT_EQ(gStepProgramCount, 3);
    const StepProgramRec& copy = program(2);
    EXPECT_EQ(copy.name, "b");
    EXPECT_EQ(copy.firstStep, 3);
    EXPECT_EQ(copy.stepCount, 2);
    EXPECT_EQ(copy.counter, 0);
    EXPECT_EQ(copy.state, 0);
    EXPECT_EQ(copy.box.left, 10);
    EXPECT_EQ(copy.box.top, 10);
    EXPECT_EQ(gCurStepBox, &copy);
    ASSERT_EQ(gStepCount, 5);
    EXPECT_EQ(gSteps[3]->conditionValue, 4);
    EXPECT_EQ(gSteps[3]->time, 3);
    EXPECT_EQ(gSteps[4]->actionCode, gSteps[2]->actionCode);
    EXPECT_NE(gSteps[4], gSteps[2]);
}

TEST_F(StepStore, DuplicateIsRefusedAtTheLimits) {
    LayoutBuilder builder;
    for (int k = 0; k < 50; ++k) builder.stepProgram("p", {});
    EXPECT_EQ(duplicateStepProgram(&program(0)), 0);
    EXPECT_EQ(lastDialogMessage(), "Maximum wordt overschreden");
    EXPECT_EQ(gStepProgramCount, 50);

    LayoutBuilder().stepProgram("a", {});
    for (int k = 0; k < 250; ++k) ASSERT_EQ(insertOrDeleteStep(&program(0), 1, 0), 1);
    showDialogMessage("", 3);
    EXPECT_EQ(duplicateStepProgram(&program(0)), 0);  // 250 + 250 does not stay below 500
    EXPECT_EQ(lastDialogMessage(), "Maximum wordt overschreden");
    EXPECT_EQ(gStepCount, 250);
}

TEST_F(StepStore, TheHighestContactThatAConditionNames) {
    LayoutBuilder().stepProgram("p", {{"ingang=1", 12, "geen", 0}, {"bezet=1", 300, "geen", 0}})
        .stepProgram("q", {{"ingang=0", 40, "geen", 0}, {"teller>=", 200, "geen", 0}});
    EXPECT_EQ(highestStepConditionContact(), 40);
    LayoutBuilder().stepProgram("p", {{"bezet=1", 300, "geen", 0}});
    EXPECT_EQ(highestStepConditionContact(), 0);
}

}  // namespace
