// The fixed files of the fuzz harnesses and the seeds made on them: the layout and its trains, edit
// journals made by the editor on that layout, and requests a client sends the server. Written only on
// request (fuzz_seeds.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "layout/model/layout_file_format.h"  // before Qt, whose keywords name its fields
#include "fuzz_seeds.h"
#include "layout/editor/edit_journal.h"
#include "layout/editor/element_delete.h"
#include "layout/files/layout_file.h"
#include "layout/model/layout_model.h"
#include "operation/fuzz_layout.h"
#include "operation/files/loco_file.h"
#include "operation/session_trains.h"
#include "shell/config/messages.h"

namespace {

// Request records as a client sends them: kind, code, int16 a, b, c.
void request(Bytes& b, int kind, int code, int a, int index, int c = 0) {
    for (int v : {kind, code}) b.push_back(static_cast<uint8_t>(v));
    for (int v : {a, index, c}) {
        b.push_back(static_cast<uint8_t>(v & 0xFF));
        b.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
}

// The fixed trains: locomotive 3 on block 1 with two wagons, locomotive 7 on block 2, locomotive 9 off
// the track.
std::vector<FileTrain> fixedTrains() { return {{3, 280, 100, 1, 4, 2}, {7, 250, 200, 2}, {9, 0, 0, 0}}; }

}  // namespace

// The harnesses of what a client or the server receives need trains standing, one of them with wagons
// (coupling and wagon code): the fixed files, loaded as a harness loads them, put every locomotive of
// the file that stands on a block on the track, with its wagons.
TEST(FuzzFixedFiles, TheFixedLocomotiveFilePutsItsTrainsOnTheFixedLayout) {
    testsupport::ScratchDir dir;
    testsupport::writeBytes("fest.vtl", testsupport::readBytes(VESTREL_FIXTURES "/../../fuzz/fixed/layout.vtl"));
    testsupport::writeBytes("fest.loc", testsupport::readBytes(VESTREL_FIXTURES "/../../fuzz/fixed/locos.loc"));
    clearTrainTables();
    gLayoutFileName = "fest.vtl";
    ASSERT_EQ(loadLayoutFile(), 1);
    showDialogMessage("", 3);
    gLocoFileName = "fest.loc";
    ASSERT_EQ(loadLocoFile(0), 1);
    EXPECT_EQ(lastDialogMessage(), "");
    ASSERT_EQ(gLocsOnTrackCount, 2);
    EXPECT_EQ(gLocsOnTrack[0]->number, 3);
    EXPECT_EQ(gLocsOnTrack[1]->number, 7);
    int wagons = 0;
    for (const WagonRec* w = gLocsOnTrack[0]->frontChain; w && wagons < 10; w = w->next, ++wagons) {
        EXPECT_TRUE(onTrack(w->front) && onTrack(w->rear)) << "wagon " << w->number;
        EXPECT_EQ(w->owner, gLocsOnTrack[0]);
    }
    EXPECT_EQ(wagons, 2);
    clearTrainTables();
    LayoutBuilder();
}

TEST(FuzzFixedFiles, WrittenOnRequest) {
    if (!fuzzseeds::folder()) GTEST_SKIP();
    testsupport::ScratchDir dir;
    buildFuzzLayout();
    fuzzseeds::writeFixed("layout.vtl", writeLayoutImage());
    const Bytes locos = sessionLocoFile(fixedTrains());
    fuzzseeds::writeFixed("locos.loc", locos);
    fuzzseeds::write("loco_file", "fixed_two_trains.loc", locos);

    // Journals: one entry of each action, a far track, and the delete of a double turnout's half.
    deleteEditJournal();
    emptyEditJournal();
    TrackRec far;
    far.points[0] = {10, 50};
    far.points[1] = {INT32_MAX, INT32_MIN};
    far.segments = 1;
    TrackRec* added = gTracks.append(std::make_unique<TrackRec>(far));
    ASSERT_EQ(journalRecordEdit('t', added, static_cast<const TrackRec*>(nullptr), gTrackCount - 1, 0), 1);
    fuzzseeds::write("edit_journal", "far_track.tmp", testsupport::readBytes(kEditJournalFile));
    TurnoutRec* one = turnoutNumbered(1);
    const TurnoutRec before = *one;
    one->legs[2] = {INT32_MIN, INT32_MAX};
    ASSERT_EQ(journalRecordEdit('w', one, &before, 0, 0), 1);
    deleteTurnout(1, 1);
    deleteSignal(0, 1);
    deleteBlock(1, 1);
    fuzzseeds::write("edit_journal", "edits.tmp", testsupport::readBytes(kEditJournalFile));
    deleteEditJournal();

    // Requests: turnout 1, signal 5, output 12 green, locomotive 3 run, reverse, function 2 on, off the
    // track, locomotive 9 deleted, and an emergency stop, in one read and in reads of 5 bytes.
    Bytes requests;
    request(requests, 6, 44, 1, 0);
    request(requests, 6, 37, 1, 0, 7);
    request(requests, 7, 44, 5, 0);
    request(requests, 8, 44, 12, 0);
    request(requests, 2, 29, 3, 0);
    request(requests, 2, 31, 3, 0);
    request(requests, 2, 35, 7, 1, 0x0102);
    request(requests, 2, 41, 7, 1);
    request(requests, 2, 42, 9, 2);
    request(requests, 45, 45, 0, 0, 1);
    // Byte 0 tells the harness how to split the reads: 0 in one read.
    Bytes whole(1 + requests.size(), 0);
    std::copy(requests.begin(), requests.end(), whole.begin() + 1);
    fuzzseeds::write("server_receive", "requests_whole.bin", whole);
    whole[0] = 5;
    fuzzseeds::write("server_receive", "requests_in_fives.bin", whole);
    LayoutBuilder();
}
