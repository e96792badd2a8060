// Deleting elements: compaction, links to the freed record, the block's signals, double turnouts,
// turntables and what undo makes of each.
#include <gtest/gtest.h>

#include <memory>

// Before the Qt headers of the canvas, whose "signals" keyword would take the image's field name.
#include "layout/model/layout_file_format.h"

#include "layout/draw_test_support.h"
#include "layout/journal_test_support.h"
#include "layout/editor/element_delete.h"
#include "layout/files/layout_file.h"
#include "layout/model/double_turnouts.h"
#include "layout/layout_builder.h"
#include "shell/model/app_state.h"
#include "layout/small_layout.h"
#include "test_support.h"

using namespace journaltest;

namespace {

class ElementDelete : public ::testing::Test {
protected:
    void SetUp() override {
        LayoutBuilder();
        deleteEditJournal();
    }
    testsupport::ScratchDir dir;
};

TEST_F(ElementDelete, TablesCloseUpInOrderAndTheLastEntryOnlyLowersTheCount) {
    for (int k = 1; k <= 4; ++k) smalllayout::addInput({40 * k, 100}, 0, static_cast<int16_t>(k));
    InputRec* second = gInputs[1];
    deleteInput(3, 0);
    ASSERT_EQ(gInputCount, 3);
    EXPECT_EQ(gInputs[1], second);
    deleteInput(0, 0);
    ASSERT_EQ(gInputCount, 2);
    EXPECT_EQ(gInputs[0]->number, 2);
    EXPECT_EQ(gInputs[1]->number, 3);
    EXPECT_TRUE(everyOwnIndexTrue());
    deleteInput(2, 0);
    deleteInput(-1, 0);
    EXPECT_EQ(gInputCount, 2);
}

TEST_F(ElementDelete, EachKindSetsItsDirtyBitEndsTheClickModeAndIsJournalled) {
    struct Case {
        const char* name;
        void (*remove)(int, int);
        const int& count;
        uint8_t dirtyBit;
    };
    const Case cases[] = {
        {"track", deleteTrack, gTrackCount, 1},   {"block", deleteBlock, gBlockCount, 1},
        {"turnout", deleteTurnout, gTurnoutCount, 1}, {"signal", deleteSignal, gSignalCount, 2},
        {"output", deleteOutput, gOutputCount, 2}, {"input", deleteInput, gInputCount, 2},
    };
    smalllayout::buildEveryKind();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gDirtyFlags = 0;
        gEditMode = 7;
        const int count = c.count;
        const int32_t end = gJournalEnd;
        c.remove(c.count - 1, 1);
        EXPECT_EQ(c.count, count - 1);
        EXPECT_EQ(gDirtyFlags, c.dirtyBit);
        EXPECT_EQ(gEditMode, 0u);
        EXPECT_GT(gJournalEnd, end);
    }
}

class ElementDeleteOnCanvas : public drawtest::DiagramCanvasTest {
protected:
    void SetUp() override {
        DiagramCanvasTest::SetUp();
        deleteEditJournal();
    }
    testsupport::ScratchDir dir;
};

TEST_F(ElementDeleteOnCanvas, TheElementIsErasedFromTheDiagramAndTheBackBuffer) {
    LayoutBuilder().track({{40, 60}, {100, 60}, {140, 100}});
    smalllayout::addInput({300, 150}, 0, 13);
    vestrel::Canvas back{640, 480, kBackgroundColour};
    gBackBuffer = &back;
    drawEveryElement();
    ASSERT_GT(drawtest::countDrawn(canvas), 0);
    ASSERT_GT(drawtest::countDrawn(back), 0);
    deleteInput(0, 1);
    deleteTrack(0, 1);
    EXPECT_EQ(drawtest::countDrawn(canvas), 0);
    EXPECT_EQ(drawtest::countDrawn(back), 0);
    gBackBuffer = nullptr;
}

TEST_F(ElementDelete, ABlockTakesItsSignalsAlongAndUndoLinksThemToTheRestoredBlock) {
    LayoutBuilder()
        .block(1, {{20, 40}, {80, 40}, {140, 40}})
        .block(2, {{20, 100}, {80, 100}, {140, 100}})
        .block(3, {{20, 160}, {80, 160}, {140, 160}})
        .signal(11, 2, 'H')
        .signal(12, 1, 'H')
        .signal(13, 2, 'T');
    for (BlockRec* b : gBlocks) updateBlockIncompleteFlag(b);  // as loading and undo compute it
    const std::vector<uint8_t> before = writeLayoutImage();
    deleteBlock(1, 1);
    ASSERT_EQ(gSignalCount, 1);
    EXPECT_EQ(gSignals[0]->number, 12);
    EXPECT_EQ(gBlocks[1]->number, 3);
    const std::vector<uint8_t> after = writeLayoutImage();

    // The block first, then its signals, each linked to the block record that now stands at index 1.
    ASSERT_GT(journalUndoRedo(0), 0);
    EXPECT_EQ(gBlockCount, 3);
    EXPECT_EQ(gSignalCount, 1);
    EXPECT_EQ(walkJournal(0), 2);
    ASSERT_EQ(gSignalCount, 3);
    EXPECT_EQ(signalNumbered(11)->block, gBlocks[1]);
    EXPECT_EQ(signalNumbered(13)->block, gBlocks[1]);
    EXPECT_EQ(signalNumbered(12)->block, gBlocks[0]);
    EXPECT_EQ(writeLayoutImage(), before);

    EXPECT_EQ(walkJournal(1), 3);
    EXPECT_EQ(writeLayoutImage(), after);
    EXPECT_TRUE(everyOwnIndexTrue());
}

TEST_F(ElementDelete, WithoutTheJournalABlocksSignalsStayWithoutABlock) {
    LayoutBuilder().block(1, {{20, 40}, {80, 40}, {140, 40}}).block(2, {{20, 100}, {80, 100}}).signal(11, 1, 'H');
    deleteBlock(0, 0);
    ASSERT_EQ(gSignalCount, 1);
    EXPECT_EQ(gSignals[0]->block, nullptr);
    EXPECT_EQ(gJournalEnd, 0);
}

TEST_F(ElementDelete, ConnectionsAndTurntablesKeepNoLinkToAFreedRecord) {
    LayoutBuilder()
        .block(1, {{20, 40}, {80, 40}})
        .block(2, {{200, 40}, {260, 40}})
        .turnout('l', 5, {{100, 40}, {132, 40}, {130, 32}})
        .turntable(1, {400, 300}, {480, 300}, 12);
    auto c = std::make_unique<ConnectionRec>();
    c->from = gBlocks[0];
    c->to = gBlocks[1];
    c->direction = 'H';
    c->turnouts[0] = gTurnouts[0];
    c->positions[0] = 'G';
    gConnections.append(std::move(c));

    deleteTurnout(0, 1);
    EXPECT_EQ(gConnections[0]->turnouts[0], nullptr);
    deleteBlock(1, 1);
    EXPECT_EQ(gConnections[0]->to, nullptr);
    EXPECT_EQ(gConnections[0]->from, gBlocks[0]);
    deleteTrack(0, 1);  // the bridge
    EXPECT_EQ(gTurntables[0]->track, nullptr);

    // A connection that lost a block is left out of the file, as is a turntable without its bridge.
    LayoutFileImage image;
    ASSERT_TRUE(readLayoutImage(writeLayoutImage(), image));
    EXPECT_TRUE(image.connections.empty());
    EXPECT_TRUE(image.turntables.empty());
}

TEST_F(ElementDelete, DoubleTurnoutsAreLinkedAgainAfterTheTableClosesUp) {
    LayoutBuilder()
        .turnout('l', 5, {{40, 40}, {72, 40}, {70, 32}})
        .turnout('l', 12, {{140, 40}, {172, 40}, {170, 32}})
        .turnout('r', 3012, {{200, 40}, {232, 40}, {230, 48}});
    gTurnouts[2]->partner = 2;  // index + 1 of turnout 12
    drawEveryElement();
    const std::vector<uint8_t> before = writeLayoutImage();

    deleteTurnout(0, 1);
    EXPECT_EQ(gTurnouts[1]->partner, 1);
    ASSERT_GT(journalUndoRedo(0), 0);
    EXPECT_EQ(gTurnouts[2]->partner, 2);
    EXPECT_EQ(writeLayoutImage(), before);

    deleteTurnout(1, 1);  // the half that is linked to loses its link
    EXPECT_EQ(gTurnouts[1]->partner, 0);
}

// Turnouts 7, 8 and their double-turnout halves 3007, 3008: deleting 8 leaves 3008 unlinked behind the
// linked 3007, which keeps its link through undo, redo, a save and a load.
TEST_F(ElementDelete, DeletingOneHalfKeepsTheOtherPairsLink) {
    LayoutBuilder()
        .turnout('l', 7, {{40, 40}, {72, 40}, {70, 32}})
        .turnout('l', 8, {{140, 40}, {172, 40}, {170, 32}})
        .turnout('r', 3007, {{200, 40}, {232, 40}, {230, 48}})
        .turnout('r', 3008, {{300, 40}, {332, 40}, {330, 48}});
    gTurnouts[2]->partner = 1;
    gTurnouts[3]->partner = 2;
    drawEveryElement();
    TurnoutRec* seven = turnoutNumbered(7);
    auto linkOf3007 = [] { return turnoutNumbered(3007)->partner; };
    auto linked = [&] {
        return linkOf3007() != 0 && gTurnouts[linkOf3007() - 1] == seven && findTurnoutPartner(seven, 0) != 0 &&
               gTurnouts[findTurnoutPartner(seven, 0) - 1] == turnoutNumbered(3007);
    };

    deleteTurnout(1, 1);
    ASSERT_EQ(gTurnoutCount, 3);
    EXPECT_TRUE(linked());
    EXPECT_EQ(turnoutNumbered(3008)->partner, 0);
    ASSERT_GT(journalUndoRedo(0), 0);
    EXPECT_EQ(gTurnouts[1]->number, 8);
    EXPECT_TRUE(linked());
    ASSERT_GT(journalUndoRedo(1), 0);
    EXPECT_TRUE(linked());

    gLayoutFileName = "paar.vtl";
    ASSERT_EQ(saveLayoutFile(), 1);
    clearLayout();
    ASSERT_EQ(loadLayoutFile(), 1);
    ASSERT_EQ(gTurnoutCount, 3);
    seven = turnoutNumbered(7);
    EXPECT_TRUE(linked());
    EXPECT_EQ(turnoutNumbered(3008)->partner, 0);
}

TEST_F(ElementDelete, TurntableWithItsBridgeEmptiesTheJournal) {
    LayoutBuilder()
        .track({{40, 60}, {100, 60}})
        .turntable(1, {400, 300}, {480, 300}, 12)
        .track({{40, 120}, {100, 120}})
        .track({{40, 180}, {100, 180}});
    // The track at index 2 is changed; deleting the bridge (index 1) moves the last track into slot 2.
    const TrackRec old = *gTracks[2];
    gTracks[2]->points[1] = {120, 140};
    ASSERT_EQ(journalRecordEdit('w', gTracks[2], &old, 2, 2), 1);
    TrackRec* last = gTracks[3];
    const TrackRec lastBefore = *last;
    gDirtyFlags = 0;

    deleteTurntable(0, 1);
    EXPECT_EQ(gTurntableCount, 0);
    ASSERT_EQ(gTrackCount, 3);
    EXPECT_EQ(gTracks[2], last);
    EXPECT_EQ(gDirtyFlags, 1);
    EXPECT_EQ(gJournalEnd, 0);
    EXPECT_EQ(journalUndoRedo(0), 0);  // the old record is not written over the track now in slot 2
    EXPECT_EQ(last->points[1], lastBefore.points[1]);
}

TEST_F(ElementDelete, TurntableWithoutTheFlagLeavesItsBridgeAndTheOthersRenumbered) {
    LayoutBuilder().turntable(1, {100, 300}, {180, 300}, 12).turntable(2, {400, 300}, {480, 300}, 12);
    deleteTurntable(0, 0);
    EXPECT_EQ(gTrackCount, 2);
    ASSERT_EQ(gTurntableCount, 1);
    EXPECT_EQ(gTurntables[0]->number, 2);
    EXPECT_EQ(gTurntables[0]->ownIndex, 0);
    deleteTurntable(1, 1);
    EXPECT_EQ(gTurntableCount, 1);
}

}  // namespace
