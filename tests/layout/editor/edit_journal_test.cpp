// The edit journal: undo and redo of every edit of every element kind, its byte layout, its damaged and
// out-of-range entries, and replay after the layout was moved.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "layout/files/layout_file.h"
#include "layout/journal_test_support.h"
#include "layout/editor/element_delete.h"
#include "layout/editor/element_kind_info.h"
#include "layout/model/layout_file_format.h"
#include "layout/editor/layout_move.h"
#include "layout/model/scale.h"
#include "layout/layout_builder.h"
#include "layout/small_layout.h"
#include "test_support.h"

using namespace journaltest;

namespace {

class EditJournal : public ::testing::Test {
protected:
    void SetUp() override {
        LayoutBuilder();
        deleteEditJournal();
        gLayoutOffset = {};
    }
    // A fresh layout with one element of every kind, drawn, and an empty journal.
    void buildEveryKind() {
        LayoutBuilder();
        smalllayout::buildEveryKind();
        drawEveryElement();
        emptyEditJournal();
    }
    long journalLength() const { return static_cast<long>(std::filesystem::file_size(dir.file(kEditJournalFile))); }

    testsupport::ScratchDir dir;
};

// The three edits as the editor makes them, on the table of one kind.
// A copy of the first element, shifted, becomes the second one.
template <class Rec, int N>
void insertCopyOf(RecordTable<Rec, N>& table) {
    Rec* rec = table.insert(1, std::make_unique<Rec>(*table[0]));
    const ElementKindInfo& k = *elementKindInfo(journalKindOf(rec));
    k.offsetRecord(1, 24, 40);
    k.draw(1, 0);
    ASSERT_EQ(journalRecordEdit('t', rec, static_cast<const Rec*>(nullptr), 1, 0), 1);
}

template <class Rec, int N>
void changeLast(RecordTable<Rec, N>& table) {
    const int index = table.count() - 1;
    Rec* rec = table[index];
    const Rec old = *rec;
    const ElementKindInfo& k = *elementKindInfo(journalKindOf(rec));
    k.draw(index, 1);
    k.offsetRecord(index, 16, 8);
    k.draw(index, 0);
    ASSERT_EQ(journalRecordEdit('w', rec, &old, index, index), 1);
}

struct EditCase {
    const char* name;
    void (*edit)();
    int entries;  // journal entries the edit writes
};

const EditCase kEditCases[] = {
    {"insert track", [] { insertCopyOf(gTracks); }, 1},
    {"insert block", [] { insertCopyOf(gBlocks); }, 1},
    {"insert turnout", [] { insertCopyOf(gTurnouts); }, 1},
    {"insert signal", [] { insertCopyOf(gSignals); }, 1},
    {"insert output", [] { insertCopyOf(gOutputs); }, 1},
    {"insert input", [] { insertCopyOf(gInputs); }, 1},
    {"delete track", [] { deleteTrack(0, 1); }, 1},
    {"delete block and its signal", [] { deleteBlock(0, 1); }, 2},
    {"delete turnout", [] { deleteTurnout(0, 1); }, 1},
    {"delete signal", [] { deleteSignal(0, 1); }, 1},
    {"delete output", [] { deleteOutput(0, 1); }, 1},
    {"delete input", [] { deleteInput(0, 1); }, 1},
    {"change track", [] { changeLast(gTracks); }, 1},
    {"change block", [] { changeLast(gBlocks); }, 1},
    {"change crossing", [] { changeLast(gTurnouts); }, 1},
    {"change signal", [] { changeLast(gSignals); }, 1},
    {"change output", [] { changeLast(gOutputs); }, 1},
    {"change input", [] { changeLast(gInputs); }, 1},
};

TEST_F(EditJournal, UndoAndRedoGiveBackTheLayoutBeforeAndAfterEveryEdit) {
    for (const EditCase& c : kEditCases) {
        SCOPED_TRACE(c.name);
        buildEveryKind();
        for (BlockRec* b : gBlocks) updateBlockIncompleteFlag(b);  // as loading and undo compute it
        const std::vector<uint8_t> before = writeLayoutImage();
        c.edit();
        const std::vector<uint8_t> after = writeLayoutImage();
        ASSERT_NE(after, before);

        EXPECT_EQ(walkJournal(0), c.entries);
        EXPECT_EQ(writeLayoutImage(), before);
        EXPECT_TRUE(everyOwnIndexTrue());
        EXPECT_EQ(gJournalEnd, 0);

        EXPECT_EQ(walkJournal(1), c.entries);
        EXPECT_EQ(writeLayoutImage(), after);
        EXPECT_TRUE(everyOwnIndexTrue());
        EXPECT_EQ(gJournalEnd, journalLength());
    }
}

}  // namespace

namespace {

// The input record of the layout table, field by field.
std::vector<uint8_t> inputImage(int number, int ownIndex, DiagramPoint anchor, DiagramPoint second, int angle) {
    return Bytes()
        .i16(number).i16(ownIndex).u8(0).zeros(3)
        .point(anchor.x, anchor.y).point(second.x, second.y).i32(angle)
        .zeros(3).u8(0)
        .data();
}

TEST_F(EditJournal, ChangeEntryHoldsBothRecordsBetweenHeaderAndTrailer) {
    smalllayout::addInput({150, 320}, 0, 41);
    InputRec* input = smalllayout::addInput({200, 320}, 90, 42);  // second point (200, 310)
    gLayoutOffset = {-16, -300000};
    const InputRec old = *input;
    input->number = 43;
    input->anchor = {230, 330};
    input->secondPoint = {230, 320};
    ASSERT_EQ(journalRecordEdit('w', input, &old, 1, 1), 1);

    const std::vector<uint8_t> expected = Bytes()
                                              .append(entryHeader('w', 'i', 1, 1, -16, -300000))
                                              .append(inputImage(43, 1, {230, 330}, {230, 320}, 90))
                                              .append(inputImage(42, 1, {200, 320}, {200, 310}, 90))
                                              .append(entryHeader('w', 'i', 1, 1, -16, -300000))
                                              .data();
    ASSERT_EQ(expected.size(), 2u * 32 + 40);
    EXPECT_EQ(testsupport::readBytes(dir.file("temp.tmp")), expected);
    EXPECT_EQ(gJournalEnd, 104);
}

TEST_F(EditJournal, DeleteEntryNamesTheSignalsBlockByTableIndex) {
    LayoutBuilder().block(1, {{20, 40}, {80, 40}, {140, 40}}).block(2, {{20, 100}, {80, 100}, {140, 100}});
    auto s = std::make_unique<SignalRec>();
    s->block = gBlocks[1];
    s->number = 7;
    s->direction = 'H';
    s->aspect = 'R';
    const DiagramPoint outline[4] = {{140, 96}, {144, 92}, {144, 101}, {152, 96}};
    std::copy(std::begin(outline), std::end(outline), s->outline);
    s->angle = 0;
    s->pulseTime = 2;
    s->orangeNumber = 300;
    gSignals.append(std::move(s));
    gLayoutOffset = {-8, 0};
    deleteSignal(0, 1);

    Bytes image;
    image.i32(1).i16(7).i16(0).u8('H').u8('R').zeros(2);
    for (const DiagramPoint& p : outline) image.point(p.x, p.y);
    image.i32(0).u8(2).zeros(2).u8(0).i16(300).zeros(2);
    ASSERT_EQ(image.data().size(), 56u);
    const std::vector<uint8_t> expected =
        Bytes().append(entryHeader('v', 's', 0, 0, -8, 0)).append(image.data()).append(entryHeader('v', 's', 0, 0, -8, 0)).data();
    EXPECT_EQ(testsupport::readBytes(dir.file("temp.tmp")), expected);
}

TEST_F(EditJournal, InsertIsUndoneAndRedoneAtTheSameIndex) {
    smalllayout::addOutput({100, 100}, 0, 3);
    smalllayout::addOutput({200, 100}, 0, 5);
    OutputRec* added = gOutputs.insert(1, std::make_unique<OutputRec>(*gOutputs[0]));
    added->key = 9;
    ASSERT_EQ(journalRecordEdit('t', added, static_cast<const OutputRec*>(nullptr), 1, 0), 1);

    EXPECT_EQ(journalUndoRedo(0), 48 + 40);
    ASSERT_EQ(gOutputCount, 2);
    EXPECT_EQ(gOutputs[1]->key, 5);
    EXPECT_EQ(journalUndoRedo(0), 0);  // the start of the journal

    EXPECT_EQ(journalUndoRedo(1), 48 + 40);
    ASSERT_EQ(gOutputCount, 3);
    EXPECT_EQ(gOutputs[1]->key, 9);
    EXPECT_EQ(gOutputs[1]->ownIndex, 1);
    EXPECT_EQ(gOutputs[2]->ownIndex, 2);
    EXPECT_EQ(journalUndoRedo(1), 0);  // the end of the journal
}

TEST_F(EditJournal, ANewEditDiscardsTheEntriesThatCouldBeRedone) {
    for (int k = 1; k <= 3; ++k) {
        InputRec* i = smalllayout::addInput({40 * k, 100}, 0, static_cast<int16_t>(k));
        journalRecordEdit('t', i, static_cast<const InputRec*>(nullptr), k - 1, 0);
    }
    EXPECT_EQ(journalUndoRedo(0), 72);
    EXPECT_EQ(journalUndoRedo(0), 72);
    InputRec* other = smalllayout::addInput({300, 100}, 0, 9);
    journalRecordEdit('t', other, static_cast<const InputRec*>(nullptr), 1, 0);

    EXPECT_EQ(gJournalEnd, 2 * 72);
    EXPECT_EQ(journalLength(), 2 * 72);
    EXPECT_EQ(journalUndoRedo(1), 0);
    ASSERT_EQ(gInputCount, 2);
    EXPECT_EQ(gInputs[1]->number, 9);
}

TEST_F(EditJournal, ChangeThatMovedAnElementInItsTableIsUndoneByMovingItBack) {
    for (int k = 0; k < 7; ++k) smalllayout::addTurnout('l', {40 + 50 * k, 100}, 0, static_cast<int16_t>(10 + k));
    drawEveryElement();
    const std::vector<uint8_t> before = writeLayoutImage();
    // As the turnout dialog does when a number change moves a turnout: from index 5 to index 2.
    const TurnoutRec old = *gTurnouts[5];
    gTurnouts.insert(2, gTurnouts.takeAt(5));
    gTurnouts[2]->number = 99;
    ASSERT_EQ(journalRecordEdit('w', gTurnouts[2], &old, 2, 5), 1);
    const std::vector<uint8_t> after = writeLayoutImage();

    EXPECT_EQ(journalUndoRedo(0), 2 * 60 + 40);
    EXPECT_EQ(gTurnouts[5]->number, 15);
    EXPECT_EQ(gTurnouts[2]->number, 12);
    EXPECT_EQ(writeLayoutImage(), before);
    EXPECT_TRUE(everyOwnIndexTrue());

    EXPECT_EQ(journalUndoRedo(1), 2 * 60 + 40);
    EXPECT_EQ(gTurnouts[2]->number, 99);
    EXPECT_EQ(writeLayoutImage(), after);
    EXPECT_TRUE(everyOwnIndexTrue());
}

TEST_F(EditJournal, RecordsComeBackWhereTheScrolledLayoutNowIs) {
    smalllayout::addBlock({{40, 200}, {100, 200}, {160, 200}}, 7);
    TurnoutRec* turnout = smalllayout::addTurnout('r', {300, 100}, 0, 11);
    const BlockRec oldBlock = *gBlocks[0];
    gBlocks[0]->points[1] = {100, 180};
    journalRecordEdit('w', gBlocks[0], &oldBlock, 0, 0);
    const TurnoutRec oldTurnout = *turnout;
    turnout->position = 'R';
    journalRecordEdit('w', turnout, &oldTurnout, 0, 0);

    gLayoutOffset = {-40, -24};  // the view scrolls
    moveLayout(-40, -24);
    ASSERT_GT(journalUndoRedo(0), 0);
    ASSERT_GT(journalUndoRedo(0), 0);

    EXPECT_EQ(gBlocks[0]->points[0], (DiagramPoint{0, 176}));
    EXPECT_EQ(gBlocks[0]->points[1], (DiagramPoint{60, 176}));
    EXPECT_EQ(gBlocks[0]->points[2], (DiagramPoint{120, 176}));
    EXPECT_EQ(gBlocks[0]->points[3], (DiagramPoint{0, 0}));  // beyond the sections nothing moves
    EXPECT_EQ(turnout->position, 'G');
    EXPECT_EQ(turnout->legs[0], (DiagramPoint{260, 76}));
    EXPECT_EQ(turnout->centre, (DiagramPoint{276, 76}));
    EXPECT_EQ(turnout->legs[3], (DiagramPoint{0, 0}));  // a plain turnout grows no phantom leg

    gLayoutOffset = {};  // scrolled back: redo lands on the stored coordinates
    moveLayout(40, 24);
    ASSERT_GT(journalUndoRedo(1), 0);
    EXPECT_EQ(gBlocks[0]->points[1], (DiagramPoint{100, 180}));
}

TEST_F(EditJournal, RecordsComeBackWhereTheLayoutWasMovedTo) {
    smalllayout::addInput({150, 320}, 0, 41);
    const InputRec old = *gInputs[0];
    gInputs[0]->number = 42;
    journalRecordEdit('w', gInputs[0], &old, 0, 0);
    // The whole layout dragged to another place: the coordinates themselves change, not the view's offset.
    moveLayout(100, -20);
    journalNoteLayoutMove(100, -20);

    ASSERT_GT(journalUndoRedo(0), 0);
    EXPECT_EQ(gInputs[0]->number, 41);
    EXPECT_EQ(gInputs[0]->anchor, (DiagramPoint{250, 300}));
}

TEST_F(EditJournal, TurningTheLayoutEmptiesTheJournal) {
    setScaleParameters('3', '5', 0);
    smalllayout::addInput({150, 320}, 0, 41);
    smalllayout::addInput({400, 100}, 0, 42);
    const InputRec old = *gInputs[0];
    gInputs[0]->number = 43;
    journalRecordEdit('w', gInputs[0], &old, 0, 0);
    ASSERT_EQ(rotateLayout(1, 1), 1);
    const InputRec turned = *gInputs[0];

    EXPECT_EQ(gJournalEnd, 0);
    EXPECT_EQ(journalUndoRedo(0), 0);  // the unturned old record is not written over the turned one
    EXPECT_EQ(gInputs[0]->anchor, turned.anchor);
    EXPECT_EQ(gInputs[0]->number, 43);
}

// Entry bytes with a real record image, for the damaged-entry cases.
std::vector<uint8_t> trackEntry(char action, int index, int second) {
    vestrel::ByteWriter image;
    const ElementKindInfo& k = *elementKindInfo('v');
    k.writeImage(image, gTracks[0], index);
    if (action == 'w') k.writeImage(image, gTracks[0], second);
    const auto header = entryHeader(action, 'v', index, second, 0, 0);
    return Bytes().append(header).append(image.data()).append(header).data();
}

TEST_F(EditJournal, EntriesOutsideTheirTableOrDamagedChangeNothing) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        int direction;
    };
    buildEveryKind();
    const int count = gTrackCount;
    std::vector<Case> cases = {
        {"undo an insertion beyond the table", trackEntry('t', count, 0), 0},
        {"redo an insertion beyond the table", trackEntry('t', count + 1, 0), 1},
        {"undo a deletion beyond the table", trackEntry('v', count + 1, 0), 0},
        {"redo a deletion at the count", trackEntry('v', count, 0), 1},
        {"negative index", trackEntry('t', -1, 0), 0},
        {"change with its old index outside", trackEntry('w', 0, count), 0},
        {"turntable kind", Bytes().append(entryHeader('t', 'd', 0, 0, 0, 0)).zeros(300).append(entryHeader('t', 'd', 0, 0, 0, 0)).data(), 0},
        {"unknown action", Bytes().append(entryHeader('x', 'v', 0, 0, 0, 0)).zeros(52).append(entryHeader('x', 'v', 0, 0, 0, 0)).data(), 0},
    };
    std::vector<uint8_t> damaged = trackEntry('t', 0, 0);
    damaged[damaged.size() - 20] = '?';  // the trailer's magic
    cases.push_back({"damaged trailer", damaged, 0});
    damaged = trackEntry('t', 0, 0);
    damaged[6] = 1;  // the header says index 1, the trailer 0
    cases.push_back({"header and trailer differ", damaged, 1});
    damaged = trackEntry('t', 0, 0);
    damaged.erase(damaged.begin() + 30);
    cases.push_back({"an entry cut short", damaged, 1});
    std::vector<uint8_t> blockLength = trackEntry('v', 0, 0);
    blockLength[5] = blockLength[blockLength.size() - 15] = 'b';  // a block entry is longer than the file
    cases.push_back({"a kind whose record does not fit", blockLength, 0});

    const std::vector<uint8_t> before = writeLayoutImage();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::writeBytes(dir.file("temp.tmp"), c.bytes);
        gJournalEnd = c.direction == 0 ? static_cast<int32_t>(c.bytes.size()) : 0;
        const int32_t end = gJournalEnd;
        EXPECT_EQ(journalUndoRedo(c.direction), 0);
        EXPECT_EQ(gJournalEnd, end);
        EXPECT_EQ(writeLayoutImage(), before);
    }
}

TEST_F(EditJournal, JournalOfAnEarlierRunIsNeverRedone) {
    InputRec* input = smalllayout::addInput({150, 320}, 0, 41);
    journalRecordEdit('t', input, static_cast<const InputRec*>(nullptr), 0, 0);
    const std::vector<uint8_t> leftBehind = testsupport::readBytes(dir.file("temp.tmp"));
    gInputs.clear();
    deleteEditJournal();
    testsupport::writeBytes(dir.file("temp.tmp"), leftBehind);  // the program ended without deleting it

    EXPECT_EQ(journalUndoRedo(1), 0);
    EXPECT_EQ(gInputCount, 0);
}

TEST_F(EditJournal, EmptyingAndDeleting) {
    InputRec* input = smalllayout::addInput({150, 320}, 0, 41);
    journalRecordEdit('t', input, static_cast<const InputRec*>(nullptr), 0, 0);
    EXPECT_EQ(journalUndoRedo(2), 1);
    EXPECT_EQ(gJournalEnd, 0);
    EXPECT_EQ(journalLength(), 0);
    EXPECT_EQ(journalUndoRedo(0), 0);

    deleteEditJournal();
    EXPECT_FALSE(std::filesystem::exists(dir.file("temp.tmp")));
    EXPECT_EQ(journalTruncate(0), 0);  // no file to cut
    EXPECT_EQ(journalUndoRedo(0), 0);
}

TEST_F(EditJournal, NothingIsWrittenForAMissingRecordOrAKindThatIsNotJournalled) {
    const InputRec input;
    EXPECT_EQ(journalRecordEdit('t', 'i', nullptr, nullptr, 0, 0), 0);
    EXPECT_EQ(journalRecordEdit('t', 'd', &input, nullptr, 0, 0), 0);
    EXPECT_EQ(journalRecordEdit('w', 'i', &input, nullptr, 0, 0), 0);  // a change needs the record before it
    EXPECT_FALSE(std::filesystem::exists(dir.file("temp.tmp")));
    EXPECT_EQ(elementRecordSize('d'), 0);
    EXPECT_EQ(elementRecordSize('b'), 464);
}

// A record comes back from the journal as a loaded one would: its run-time bytes cleared, a block's
// slopes in range, and a link that names no double turnout dropped before it is drawn (which marks a
// linked half). Saved and loaded again, the layout then saves the same bytes.
TEST_F(EditJournal, ARecordComesBackAsALoadedOneWould) {
    buildEveryKind();
    gLayoutFileName = "terug.vtl";
    ASSERT_EQ(saveLayoutFile(), 1);  // the others as loaded
    ASSERT_EQ(loadLayoutFile(), 1);
    drawEveryElement();
    TurnoutRec odd = *gTurnouts[0];
    odd.partner = 3;  // turnout 11 is no upper half
    odd.runState = 0x55;
    odd.vehicleFlags = 0x0F;
    BlockRec bent = *gBlocks[0];
    bent.outwardSlope = 100;
    bent.state = 0x3F;
    gTurnouts.insert(1, std::make_unique<TurnoutRec>(odd));
    gBlocks.insert(1, std::make_unique<BlockRec>(bent));
    ASSERT_EQ(journalRecordEdit('t', gTurnouts[1], static_cast<const TurnoutRec*>(nullptr), 1, 0), 1);
    ASSERT_EQ(journalRecordEdit('t', gBlocks[1], static_cast<const BlockRec*>(nullptr), 1, 0), 1);
    EXPECT_EQ(walkJournal(0), 2);
    EXPECT_EQ(walkJournal(1), 2);
    EXPECT_EQ(gTurnouts[1]->partner, 0);
    EXPECT_EQ(gTurnouts[1]->runState & 0x80, 0);
    EXPECT_EQ(gTurnouts[1]->vehicleFlags, 0);
    EXPECT_EQ(gBlocks[1]->outwardSlope, 4);
    EXPECT_EQ(gBlocks[1]->state & 0x3F, 0);

    drawEveryElement();
    const std::vector<uint8_t> replayed = writeLayoutImage();
    ASSERT_EQ(saveLayoutFile(), 1);
    ASSERT_EQ(loadLayoutFile(), 1);
    drawEveryElement();
    EXPECT_EQ(writeLayoutImage(), replayed);
}

}  // namespace
