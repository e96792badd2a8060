// Placing and moving turnouts, crossings, signals, outputs, inputs and step-program boxes.
#include <gtest/gtest.h>

#include "layout/entry_fixture.h"
#include "layout/editor/entry_handoff.h"
#include "layout/editor/entry_state.h"
#include "layout/model/geometry.h"
#include "layout/editor/point_commit.h"
#include "layout/editor/point_entry.h"

namespace {

using PointEntry = EntryTest;

struct SignalCase {
    const char* what;
    DiagramPoint anchor;
    int angle;
    int answer;
    char letter;
    int signalAngle;
};

// A block from (100, 100) to (220, 100), a stop section at each end: kind 1 first, kind 6 last.
TEST_F(PointEntry, SignalsMatchTheEndSectionOfTheirDirection) {
    LayoutBuilder().block(1, {{100, 100}, {160, 100}, {220, 100}});
    const SignalCase cases[] = {
        {"along the block at its last section", {175, 104}, 0, 1, 'H', 0},
        {"turned a little, it is set straight", {175, 104}, 30, 1, 'H', 0},
        {"against the block at its first section", {130, 92}, 180, 2, 'T', 180},
        {"along the block at its first section", {130, 92}, 0, 0, 0, 0},
        {"against the block at its last section", {175, 104}, 100, 0, 0, 0},
        {"too far from the block", {175, 140}, 0, 0, 0, 0},
    };
    for (const SignalCase& c : cases) {
        SignalRec s;
        s.angle = c.angle;
        s.outline[0] = c.anchor;
        int angle = -1;
        char letter = 0;
        EXPECT_EQ(matchSignalToBlock(s, *gBlocks[0], angle, letter), c.answer) << c.what;
        if (c.answer > 0) {
            EXPECT_EQ(letter, c.letter) << c.what;
            EXPECT_EQ(angle, c.signalAngle) << c.what;
        }
    }
}

TEST_F(PointEntry, ASignalIsNumberedAndStoredAtItsBlockEndAndASecondOneIsRefused) {
    LayoutBuilder().block(1, {{100, 100}, {160, 100}, {220, 100}}).turnout('l', 1, {{300, 300}, {332, 300}, {330, 292}});
    key('s');
    key('t');  // turned by 15 degrees: stored along the block all the same
    click({175, 104});
    EXPECT_EQ(gEditMode, 3u);  // with the signal dialog
    EXPECT_EQ(gSignalBlock, gBlocks[0]);
    ASSERT_NE(gSelectedSignal, nullptr);
    EXPECT_EQ(gSelectedSignal->number, 2);  // number 1 is the turnout's
    EXPECT_EQ(gSelectedSignal->pulseTime, 2);
    SignalRec* stored = storeNewSignal();
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->block, gBlocks[0]);
    EXPECT_EQ(stored->direction, 'H');
    EXPECT_EQ(stored->angle, 0);
    EXPECT_EQ(stored->outline[3], (DiagramPoint{187, 104}));
    EXPECT_EQ(gSignalCount, 1);
    EXPECT_EQ(gDirtyFlags, 2);
    EXPECT_EQ(gEditMode, 5u);  // the next signal follows
    click({190, 108});
    EXPECT_EQ(lastDialogMessage(), "Er is reeds een sein in deze richting voor dit blok !");
    EXPECT_EQ(gEditMode, 2u);
    closeMessage();
    click({400, 300});
    EXPECT_EQ(lastDialogMessage(),
              "Het sein is te ver verwijderd van een eindsectie of de richting van het sein komt niet overeen met deze "
              "van de eindsectie !");
    EXPECT_EQ(gSignalCount, 1);
}

TEST_F(PointEntry, ACrossingIsStoredAtOnceWithoutNumberAndTheNextOneFollows) {
    key('x');
    click({300, 200});
    ASSERT_EQ(gTurnoutCount, 1);
    const TurnoutRec& x = *gTurnouts[0];
    EXPECT_EQ(x.subtype, 'x');
    EXPECT_EQ(x.number, 0);
    EXPECT_EQ(x.legs[0], (DiagramPoint{300, 200}));
    EXPECT_EQ(x.legs[3], (DiagramPoint{302, 208}));
    EXPECT_EQ(gDirtyFlags & 1, 1);
    EXPECT_EQ(gEditMode, 5u);
    move({340, 240});
    EXPECT_TRUE(gInsertingTurnout);
    EXPECT_EQ(gEditMode, 1u);
    ASSERT_NE(gSelectedTurnout, gTurnouts[0]);
    EXPECT_EQ(gSelectedTurnout->legs[0], (DiagramPoint{340, 240}));
    EXPECT_EQ(gTurnoutCount, 1);
}

// The turnout is laid out on the element end one of its legs found, with that leg on it.
TEST_F(PointEntry, ATurnoutSnapsTheLegThatFindsAnEndOntoIt) {
    LayoutBuilder().track({{300, 100}, {400, 100}});
    key('r');
    click({269, 101});  // its straight exit (leg 1) lands near the track's start
    EXPECT_EQ(gEditMode, 3u);
    EXPECT_EQ(gMovePointIndex, 1);
    EXPECT_EQ(gJoinPoint, (DiagramPoint{300, 100}));
    ASSERT_NE(gSelectedTurnout, nullptr);
    EXPECT_EQ(gSelectedTurnout->number, 1);
    EXPECT_EQ(gSelectedTurnout->pulseTime, 2);
    TurnoutRec* t = storeNewTurnout();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->legs[0], (DiagramPoint{268, 100}));
    EXPECT_EQ(t->legs[1], (DiagramPoint{300, 100}));
    EXPECT_EQ(t->legs[2], (DiagramPoint{298, 108}));
    EXPECT_EQ(t->legs[3], (DiagramPoint{}));
    EXPECT_EQ(t->centre, (DiagramPoint{284, 100}));
    EXPECT_EQ(t->position, 'G');
}

TEST_F(PointEntry, OutputsTakeAFreeKeyAndInputsTheNextNumber) {
    LayoutBuilder().turnout('l', 1, {{300, 300}, {332, 300}, {330, 292}});
    auto input = std::make_unique<InputRec>();
    input->number = 7;
    gInputs.append(std::move(input));
    key('o');
    click({100, 100});
    ASSERT_NE(gSelectedOutput, nullptr);
    EXPECT_EQ(gSelectedOutput->key, 4);  // address 1 is the turnout's: address 2, red button
    EXPECT_EQ(gSelectedOutput->pulseTime, 5);
    EXPECT_EQ(gSelectedOutput->state, 0);
    ASSERT_NE(storeNewOutput(), nullptr);
    EXPECT_EQ(gOutputs[0]->outline[3], (DiagramPoint{110, 100}));
    key(27);
    key(27);
    key('i');
    click({100, 200});
    ASSERT_NE(gSelectedInput, nullptr);
    EXPECT_EQ(gSelectedInput->number, 8);
    ASSERT_NE(storeNewInput(), nullptr);
    EXPECT_EQ(gInputs[1]->secondPoint, (DiagramPoint{110, 200}));
}

TEST_F(PointEntry, StepBoxesAreNamedOnFromTheHighestProgramNumber) {
    for (const char* name : {"program 7", "program X", "programma 9", "pendel"}) {
        auto p = std::make_unique<StepProgramRec>();
        p->name = name;
        gStepPrograms.append(std::move(p));
    }
    key('p');
    click({560, 40});
    ASSERT_NE(gCurStepBox, nullptr);
    EXPECT_EQ(gCurStepBox->name, "program 8");
    EXPECT_EQ(gCurStepBox->box.left, 560);
    EXPECT_EQ(gCurStepBox->box.top, 40);
    EXPECT_EQ(gEditMode, 3u);
    ASSERT_NE(storeNewStepProgram(), nullptr);
    EXPECT_EQ(gStepProgramCount, 5);
    EXPECT_EQ(gEditMode, 5u);
    click({560, 100});
    EXPECT_EQ(gCurStepBox->name, "program 9");
}

TEST_F(PointEntry, AMovedTurnoutComesBackWhenCancelledAndIsJournalledWhenPlaced) {
    LayoutBuilder().turnout('l', 1, {{300, 300}, {332, 300}, {330, 292}});
    gTurnouts[0]->centre = {316, 300};
    const TurnoutRec before = *gTurnouts[0];
    moveTurnout(0);
    EXPECT_TRUE(gMovingTurnout);
    EXPECT_EQ(gMousePoint, (DiagramPoint{300, 300}));  // the pointer on its root
    move({340, 320});
    EXPECT_EQ(gTurnouts[0]->legs[0], (DiagramPoint{340, 320}));
    key(27);
    EXPECT_FALSE(gMovingTurnout);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(gTurnouts[0]->legs[k], before.legs[k]);
    EXPECT_EQ(gDirtyFlags, 0);
    moveTurnout(0);
    click({340, 320});
    EXPECT_FALSE(gMovingTurnout);
    EXPECT_EQ(gTurnouts[0]->legs[1], (DiagramPoint{372, 320}));
    EXPECT_EQ(gDirtyFlags, 1);
    EXPECT_EQ(gEditMode, 0u);
}

TEST_F(PointEntry, AMovedSignalWaitsForItsDialog) {
    LayoutBuilder().block(1, {{100, 100}, {160, 100}, {220, 100}}).signal(5, 1, 'H');
    layoutSignal(*gSignals[0], {175, 104});
    moveSignal(0);
    click({190, 108});
    EXPECT_EQ(gEditMode, 3u);  // its own end is no obstacle
    EXPECT_EQ(gSignalDirection, 'H');
    move({200, 108});
    EXPECT_TRUE(gMovingSignal);
    gEditMode = 5;  // the dialog's OK
    move({210, 108});
    EXPECT_FALSE(gMovingSignal);
    EXPECT_EQ(gEditMode, 0u);
}

}  // namespace
