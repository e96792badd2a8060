// Entering connecting tracks, blocks and turntables point by point, and moving them.
#include <gtest/gtest.h>

#include "layout/entry_fixture.h"
#include "layout/model/block_geometry.h"
#include "layout/editor/curve_entry.h"
#include "layout/editor/edit_journal.h"
#include "layout/editor/entry_handoff.h"
#include "layout/editor/track_entry.h"

namespace {

using TrackEntry = EntryTest;

TEST_F(TrackEntry, ATrackOfFourPointsCommitsByItselfAndTheNextTrackFollows) {
    key('v');
    EXPECT_TRUE(gInsertingTrack);
    EXPECT_EQ(gMousePoint, gCanvasCentre);  // the pointer starts in the middle of the canvas
    for (DiagramPoint p : {DiagramPoint{100, 100}, {160, 100}, {200, 140}, {200, 200}}) click(p);
    ASSERT_EQ(gTrackCount, 1);
    const TrackRec& t = *gTracks[0];
    EXPECT_EQ(t.segments, 3);
    EXPECT_EQ(t.points[3], (DiagramPoint{200, 200}));
    EXPECT_EQ(t.segmentAngles[0], 0);
    EXPECT_EQ(t.segmentAngles[1], 45);
    EXPECT_EQ(t.segmentAngles[2], 90);
    EXPECT_EQ(gDirtyFlags & 1, 1);
    EXPECT_EQ(gEditMode, 5u);  // the next input begins another track
    click({300, 300});
    EXPECT_TRUE(gInsertingTrack);
    key(27);
    EXPECT_FALSE(gInsertingTrack);
    EXPECT_EQ(gEditMode, 0u);
    EXPECT_EQ(gTrackCount, 1);
}

TEST_F(TrackEntry, ADoubleClickEndsATrackAndAShortSegmentIsIgnored) {
    key('v');
    click({100, 100});
    click({103, 100});  // 3 units, less than the 5 of 3 cm: not taken
    click({140, 100});
    click({140, 100});  // the second click of a double click
    ASSERT_EQ(gTrackCount, 1);
    EXPECT_EQ(gTracks[0]->segments, 1);
    EXPECT_EQ(gTracks[0]->points[0], (DiagramPoint{100, 100}));
    EXPECT_EQ(gTracks[0]->points[1], (DiagramPoint{140, 100}));
    EXPECT_EQ(gTracks[0]->points[2], (DiagramPoint{}));
}

TEST_F(TrackEntry, ATrackFromAFreeBlockEndToATurnoutLegCommitsAtTheSecondClick) {
    LayoutBuilder().block(1, {{100, 100}, {150, 100}, {200, 100}}).turnout('l', 1, {{260, 101}, {292, 101}, {290, 93}});
    key('v');
    click({201, 99});   // snaps onto the block's end: the track starts there
    click({258, 103});  // and ends on the turnout's root
    ASSERT_EQ(gTrackCount, 1);
    EXPECT_EQ(gTracks[0]->points[0], (DiagramPoint{200, 100}));
    EXPECT_EQ(gTracks[0]->points[1], (DiagramPoint{260, 101}));
    EXPECT_EQ(gTracks[0]->segments, 1);
}

TEST_F(TrackEntry, APointWhereTwoElementsEndIsTaken) {
    LayoutBuilder().track({{100, 100}, {200, 100}}).block(1, {{200, 100}, {250, 100}, {300, 100}});
    key('v');
    click({200, 100});
    EXPECT_EQ(lastDialogMessage(), "Dit punt is reeds bezet !");
    EXPECT_EQ(gEditMode, 2u);
    click({250, 250});  // nothing happens until the message is closed
    EXPECT_EQ(gEditMode, 2u);
    closeMessage();
    click({250, 250});
    click({300, 250});
    click({300, 250});
    EXPECT_EQ(gTrackCount, 2);
}

// The end of the new track meets a track that leaves its first point upwards (-90): the new track must
// arrive within 60 degrees of straight on, that is at 30..150 degrees.
TEST_F(TrackEntry, AJoinSixtyOneDegreesOffIsRefusedAndSixtyAccepted) {
    LayoutBuilder().track({{300, 100}, {300, 200}});
    key('v');
    click({213, 52});   // 29 degrees to (300, 100)
    click({300, 100});
    EXPECT_EQ(lastDialogMessage(), "De hoek tussen beide bouwstenen is te klein !");
    EXPECT_EQ(gTrackCount, 1);
    closeMessage();
    move({300, 100});  // the entry goes on at point 1
    key(8);            // Backspace: point 0 again
    click({213, 50});  // 30 degrees
    click({300, 100});
    ASSERT_EQ(gTrackCount, 2);
    EXPECT_EQ(gTracks[1]->segmentAngles[0], 30);
}

TEST_F(TrackEntry, ABlockOfOneSectionIsRefusedAndEntryGoesOn) {
    key('b');
    click({100, 200});
    click({200, 200});
    click({200, 200});
    EXPECT_EQ(lastDialogMessage(), "Blokken moeten bestaan uit minstens 2 secties (lijnstukken) !");
    EXPECT_EQ(gEditMode, 2u);
    EXPECT_EQ(gBlockCount, 0);
    closeMessage();
    click({200, 200});
    click({260, 200});
    click({260, 200});
    EXPECT_EQ(gEditMode, 3u);  // with the block dialog
    ASSERT_NE(gSelectedBlock, nullptr);
    const BlockRec& b = *gSelectedBlock;
    EXPECT_EQ(b.sections, 2);
    EXPECT_EQ(b.number, 1);
    EXPECT_EQ(b.speed, 100);
    EXPECT_EQ(b.allowedDirection, 'B');
    EXPECT_EQ(b.allowedTrains, 0x8F);
    EXPECT_EQ(b.outwardSlope, 4);
    EXPECT_EQ(b.returnSlope, 4);
    EXPECT_EQ(b.sectionKinds[0], 1);
    EXPECT_EQ(b.sectionKinds[1], 6);
    EXPECT_EQ(b.sectionInputs[1], 1);
    EXPECT_EQ(b.sectionInputs[2], 2);
    EXPECT_FLOAT_EQ(b.sectionLengths[0], 100);
    EXPECT_FLOAT_EQ(b.sectionLengths[1], 60);
    EXPECT_FLOAT_EQ(b.sectionDirections[1][0], 1);
    EXPECT_EQ(b.totalLength, 160);
    ASSERT_EQ(storeNewBlock(), &b);
    EXPECT_EQ(gBlockCount, 1);
    EXPECT_EQ(b.hAspect, 'G');
    EXPECT_EQ(gEditMode, 5u);  // the next block follows
}

TEST_F(TrackEntry, NewBlocksAreNumberedOnAndTakeTheDirectionOfTheBlockTheyJoin) {
    LayoutBuilder().block(7, {{100, 100}, {150, 100}, {200, 100}}).inputs({5, 6});
    gBlocks[0]->allowedDirection = 'H';
    key('b');
    click({200, 100});  // starts on block 7's end
    click({260, 100});
    click({320, 100});
    click({320, 100});
    ASSERT_NE(gSelectedBlock, nullptr);
    EXPECT_EQ(gSelectedBlock->number, 8);
    EXPECT_EQ(gSelectedBlock->allowedDirection, 'H');
    EXPECT_EQ(gSelectedBlock->sectionInputs[1], 1);
    EXPECT_EQ(gSelectedBlock->sectionInputs[2], 2);
}

class CurveEntry : public EntryTest {
protected:
    // A block from (100, 200) heading right; its point 2 follows the pointer.
    void SetUp() override {
        EntryTest::SetUp();
        gCurvePieces = 4;
        key('b');
        click({100, 200});
        click({200, 200});
    }
    const BlockRec& block() const { return *gSelectedBlock; }
};

TEST_F(CurveEntry, AShortChordOrATurnOfMoreThanSixtyDegreesIsNotLaidOut) {
    key('c');
    EXPECT_EQ(gEditMode, 31u);
    move({240, 200});  // a chord of 40 units, shorter than 50 cm (84)
    EXPECT_EQ(block().points[3], (DiagramPoint{}));
    click({240, 200});  // nothing to take
    EXPECT_EQ(gEditMode, 31u);
    move({100, 200});  // backwards: the first piece would turn 113 degrees
    EXPECT_EQ(block().points[3], (DiagramPoint{}));
    key(27);  // back to straight entry
    EXPECT_EQ(gEditMode, 1u);
    EXPECT_EQ(block().sections, 2);
}

// A chord of 100 units straight down from (200, 200): a half circle about (200, 250) bulging right, in
// four pieces of 45 degrees. Each point is the one before turned about the chord's middle and rounded, so
// the rounding adds up: (249.99, 250) is taken as 249.
TEST_F(CurveEntry, AHalfCircleOnTheChordInEqualPieces) {
    key('c');
    move({200, 300});
    EXPECT_EQ(block().points[2], (DiagramPoint{235, 215}));
    EXPECT_EQ(block().points[3], (DiagramPoint{249, 250}));
    EXPECT_EQ(block().points[4], (DiagramPoint{235, 285}));
    EXPECT_EQ(block().points[5], (DiagramPoint{200, 299}));
    EXPECT_EQ(block().sectionAngles[1], 23);
    key('3');  // three pieces of 60 degrees
    EXPECT_EQ(block().points[5], (DiagramPoint{}));
    EXPECT_EQ(block().points[4], (DiagramPoint{200, 300}));
    key(13);  // taken: its last point is fixed and the next one follows
    EXPECT_EQ(gEditMode, 1u);
    EXPECT_EQ(block().sections, 5);
    click({200, 300});
    EXPECT_EQ(gEditMode, 3u);
    EXPECT_EQ(block().sections, 4);
    EXPECT_EQ(block().sectionKinds[3], 6);
}

// Without a segment before it a bend goes to the side the space bar chose; a half circle that would leave
// the diagram is not laid out.
TEST_F(TrackEntry, ABendStaysOnTheDiagram) {
    gCurveSide = 1;
    key('b');
    click({100, 30});
    key('c');
    move({200, 30});  // bending up, above the top of the diagram
    EXPECT_EQ(gSelectedBlock->points[2], (DiagramPoint{}));
    key(' ');  // bending down
    EXPECT_NE(gSelectedBlock->points[4], (DiagramPoint{}));
    EXPECT_GT(gSelectedBlock->points[2].y, 30);
}

// A bend near the end of a block has room for its last point only up to point 15.
TEST_F(TrackEntry, ABendEndsAtTheBlocksLastPoint) {
    key('b');
    for (int k = 0; k < 14; ++k) click({20 + 20 * k, 200});
    ASSERT_EQ(gSelectedBlock->sections, 14);
    key('c');
    move({260, 300});
    key(13);
    EXPECT_EQ(gSelectedBlock->sections, 15);
    EXPECT_EQ(gEditMode, 3u);  // the last point ends the block by itself
    for (int s = 0; s < 13; ++s) EXPECT_EQ(gSelectedBlock->sectionAngles[s], 0) << s;
}

TEST_F(TrackEntry, MovingPointZeroOfABlockTurnsItAroundAndCancellingRestoresIt) {
    LayoutBuilder()
        .block(1, {{100, 100}, {150, 100}, {200, 100}})
        .inputs({3, 4})
        .block(2, {{300, 300}, {350, 300}, {400, 300}})
        .signal(11, 1, 'H')
        .signal(12, 1, 'T');
    const BlockRec before = *gBlocks[0];
    BlockRec* b = gBlocks[0];
    moveBlock(0, 0);
    EXPECT_TRUE(gMovingBlock);
    EXPECT_EQ(gBlockCount, 1);  // out of its table while it moves
    EXPECT_EQ(b->points[0], (DiagramPoint{200, 100}));
    EXPECT_EQ(b->sectionKinds[0], 1);  // the former last section (6) seen from its other end
    EXPECT_EQ(b->sectionInputs[1], 4);
    EXPECT_EQ(gSignals[0]->direction, 'T');
    EXPECT_EQ(gSignals[1]->direction, 'H');
    EXPECT_EQ(gMousePoint, (DiagramPoint{100, 100}));  // the pointer on the end being moved
    move({80, 120});
    key(27);
    EXPECT_FALSE(gMovingBlock);
    ASSERT_EQ(gBlocks[0], b);
    EXPECT_EQ(gBlockCount, 2);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(b->points[k], before.points[k]);
    EXPECT_EQ(b->sectionKinds[0], 1);
    EXPECT_EQ(b->sectionKinds[1], 6);
    EXPECT_EQ(b->sectionInputs[1], 3);
    EXPECT_EQ(gSignals[0]->direction, 'H');
    EXPECT_EQ(gSignals[1]->direction, 'T');
    EXPECT_EQ(gEditMode, 0u);
}

TEST_F(TrackEntry, AMovedEndIsEnteredAgainAndAnInnerPointKeepsItsAngles) {
    LayoutBuilder().block(1, {{100, 100}, {150, 100}, {200, 100}}).inputs({3, 4});
    BlockRec* b = gBlocks[0];  // out of its table while it moves
    gMoveWhole = 0;
    moveBlock(0, 2);
    click({250, 100});  // the end goes on to (250, 100)
    click({250, 100});
    EXPECT_FALSE(gMovingBlock);
    EXPECT_EQ(b->points[2], (DiagramPoint{250, 100}));
    EXPECT_FLOAT_EQ(b->sectionLengths[1], 100);
    EXPECT_EQ(gDirtyFlags, 1);
    gDirtyFlags = 0;
    moveBlock(0, 1);
    move({150, 140});  // 39 and -22 degrees: 61 apart, not taken
    EXPECT_EQ(b->points[1], (DiagramPoint{150, 100}));
    move({150, 120});
    EXPECT_EQ(b->points[1], (DiagramPoint{150, 120}));
    click({150, 120});
    EXPECT_FALSE(gMovingBlock);
    EXPECT_EQ(b->sectionAngles[0], 22);
    EXPECT_EQ(b->sectionAngles[1], -11);
    EXPECT_EQ(gDirtyFlags, 2);
}

TEST_F(TrackEntry, AWholeTrackMovesWithThePointerAndItsTurntableGoesAlong) {
    LayoutBuilder().turntable(1, {400, 200}, {480, 200}, 12);
    gMoveWhole = 1;
    gMousePoint = {440, 200};
    moveTrack(0, 1);
    move({456, 216});
    key(13);
    EXPECT_FALSE(gMovingTrack);
    EXPECT_EQ(gTracks[0]->points[0], (DiagramPoint{416, 216}));
    EXPECT_EQ(gTracks[0]->points[1], (DiagramPoint{496, 216}));
    EXPECT_FLOAT_EQ(gTurntables[0]->centre[0], 456);
    EXPECT_FLOAT_EQ(gTurntables[0]->centre[1], 216);
    EXPECT_EQ(gTurntableMode, 0);
}

TEST_F(TrackEntry, ATurntableIsEnteredWithItsBridge) {
    key('d');
    click({400, 200});
    click({420, 200});  // shorter than 6 x 3 cm (30 units)
    EXPECT_EQ(gTrackCount, 0);
    click({480, 200});  // the second point ends the bridge
    ASSERT_EQ(gTurntableCount, 1);
    const TurntableRec& t = *gTurntables[0];
    EXPECT_EQ(t.track, gTracks[0]);
    EXPECT_EQ(gTracks[0]->flags & 2, 2);
    EXPECT_EQ(t.number, 1);
    EXPECT_EQ(t.positions, 12);
    EXPECT_EQ(t.currentPosition, 1);
    EXPECT_EQ(t.bridgeSpeed, 50);
    EXPECT_EQ(t.pulseTime, 2);
    EXPECT_FLOAT_EQ(t.radius, 40);
    EXPECT_FLOAT_EQ(t.centre[0], 440);
    EXPECT_FALSE(gInsertingTrack);
    EXPECT_EQ(gTurntableMode, 0);
    EXPECT_EQ(gEditMode, 8u);
}

// The number rule that looks once through the table in its order gives 2 for turntables numbered 2 and 1,
// a second turntable 2.
TEST_F(TrackEntry, ANewTurntableGetsTheLowestFreeNumber) {
    struct Case {
        std::initializer_list<int> numbers;
        int expected;
    } cases[] = {{{}, 1}, {{1, 2}, 3}, {{2, 1}, 3}, {{1, 3}, 2}, {{3}, 1}};
    for (const Case& c : cases) {
        LayoutBuilder builder;
        int x = 100;
        for (int n : c.numbers) {
            builder.turntable(n, {x, 300}, {x + 60, 300}, 6);
            x += 100;
        }
        EXPECT_EQ(freeTurntableNumber(), c.expected);
    }
    LayoutBuilder().turntable(2, {100, 300}, {160, 300}, 6).turntable(1, {200, 300}, {260, 300}, 6);
    key('d');
    click({400, 100});
    click({480, 100});
    ASSERT_EQ(gTurntableCount, 3);
    EXPECT_EQ(gTurntables[2]->number, 3);
}

struct FullTable {
    int key;
    const char* message;
    void (*fill)();
};

template <class Rec, int N>
void fillTable(RecordTable<Rec, N>& table) {
    while (!table.full()) table.append(std::make_unique<Rec>());
}

TEST_F(TrackEntry, EveryTableAtCapacityRefusesTheNextElement) {
    const FullTable cases[] = {
        {'v', "Maximum aantal verbindingssporen bereikt !", [] { fillTable(gTracks); }},
        {'d', "Maximum aantal draaischijven bereikt !", [] { fillTable(gTurntables); }},
        {'b', "Maximum aantal blokken bereikt !", [] { fillTable(gBlocks); }},
        {'l', "Maximum aantal wissels/kruisingen bereikt !", [] { fillTable(gTurnouts); }},
        {'x', "Maximum aantal wissels/kruisingen bereikt !", [] { fillTable(gTurnouts); }},
        {'s', "Maximum aantal seinen bereikt !", [] { fillTable(gSignals); }},
        {'o', "Maximum aantal ontkoppelrails/uitgangen bereikt !", [] { fillTable(gOutputs); }},
        {'i', "Maximum aantal ingangen bereikt !", [] { fillTable(gInputs); }},
        {'p', "Maximum aantal stappenprogramma's bereikt !", [] { fillTable(gStepPrograms); }},
    };
    for (const FullTable& c : cases) {
        LayoutBuilder();
        gStepPrograms.clear();
        c.fill();
        showDialogMessage("", 3);
        key(c.key);
        EXPECT_EQ(lastDialogMessage(), c.message) << char(c.key);
        EXPECT_EQ(gEditMode, 0u) << char(c.key);
        EXPECT_EQ(gEditOpRunning, 0) << char(c.key);
        EXPECT_EQ(gTurntableMode, 0) << char(c.key);
        key('q');  // no operation takes the next key
        EXPECT_EQ(lastEditorCommand(), 'q') << char(c.key);
    }
}

}  // namespace

namespace {

TEST_F(TrackEntry, InsertsAndMovesAreJournalled) {
    emptyEditJournal();
    key('v');
    click({100, 100});
    click({200, 100});
    click({200, 100});
    key(27);
    key(27);
    ASSERT_EQ(gTrackCount, 1);
    gMoveWhole = 1;
    gMousePoint = {152, 104};  // on the grid, as a whole move takes the pointer
    moveTrack(0, 1);
    move({168, 120});
    key(13);
    ASSERT_EQ(gTracks[0]->points[0], (DiagramPoint{116, 116}));
    key('b');
    click({100, 300});
    click({160, 300});
    click({220, 300});
    click({220, 300});
    ASSERT_NE(storeNewBlock(), nullptr);
    key(27);
    key(27);
    ASSERT_EQ(gBlockCount, 1);

    EXPECT_GT(journalUndoRedo(0), 0);  // the block
    EXPECT_EQ(gBlockCount, 0);
    EXPECT_GT(journalUndoRedo(0), 0);  // the move
    EXPECT_EQ(gTracks[0]->points[0], (DiagramPoint{100, 100}));
    EXPECT_GT(journalUndoRedo(0), 0);  // the track
    EXPECT_EQ(gTrackCount, 0);
    EXPECT_EQ(journalUndoRedo(0), 0);
    EXPECT_GT(journalUndoRedo(1), 0);
    EXPECT_GT(journalUndoRedo(1), 0);
    ASSERT_EQ(gTrackCount, 1);
    EXPECT_EQ(gTracks[0]->points[1], (DiagramPoint{216, 116}));
    EXPECT_GT(journalUndoRedo(1), 0);
    ASSERT_EQ(gBlockCount, 1);
    EXPECT_EQ(gBlocks[0]->sectionInputs[2], 2);
}

}  // namespace
