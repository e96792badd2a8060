// Damaged or odd layout files: coordinates anywhere in the 32-bit range, from a file or from an edit-journal
// entry, load as they are and draw at once, showing what lies on the canvas; a stored canvas size outside
// what the program can draw gives the start size and changes nothing else.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <memory>

#include "layout/layout_file_fixture.h"  // before Qt, whose keywords name its fields
#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_colours.h"
#include "layout/draw/element_draw.h"
#include "layout/draw_test_support.h"
#include "layout/editor/edit_journal.h"
#include "layout/files/layout_file.h"
#include "layout/journal_test_support.h"
#include "layout/analysis/connection_analysis.h"
#include "layout/analysis/direction_reference.h"
#include "layout/editor/hit_test.h"
#include "layout/editor/layout_move.h"
#include "layout/editor/turntable_operation.h"
#include "layout/model/scale.h"
#include "operation/control/element_picks.h"
#include "platform/desktop.h"
#include "shell/model/input_state.h"
#include "layout/model/display_settings.h"
#include "platform/canvas.h"
#include "shell/config/messages.h"
#include "test_support.h"
#include "fuzz_seeds.h"

#undef signals
#undef slots

using namespace layoutfixture;

namespace {

constexpr int32_t kMin = INT32_MIN, kMax = INT32_MAX;

TrackRec straightTrack(DiagramPoint a, DiagramPoint b) {
    TrackRec t;
    t.points[0] = a;
    t.points[1] = b;
    t.segments = 1;
    return t;
}

// A track from the canvas to x = 2,000,000,000, one across the whole range, a diagonal through the canvas,
// and every other kind with its points at the extremes.
FileLayout farLayout() {
    FileLayout l;
    l.tracks = {straightTrack({10, 50}, {2000000000, 50}), straightTrack({kMin, 100}, {kMax, 100}),
                straightTrack({kMax, kMax}, {kMin, kMin})};
    BlockRec b = fx::sampleBlock(0, 3);
    b.points[0] = {kMin, kMin};
    b.points[1] = {kMax, kMin};
    b.points[2] = {kMax, kMax};
    b.points[3] = {kMin, kMax};
    l.blocks = {b};
    for (char subtype : {'l', 'k', 'x'}) {
        TurnoutRec t = fx::sampleTurnout(static_cast<int>(l.turnouts.size()), 7, subtype);
        t.legs[0] = {kMax, kMax};
        t.legs[1] = {kMin, kMax};
        t.legs[2] = {kMax, kMin};
        t.legs[3] = {kMin, kMin};
        t.centre = {kMax, kMin};
        l.turnouts.push_back(t);
    }
    SignalRec s = fx::sampleSignal(0);
    for (DiagramPoint& p : s.outline) p = {kMin, kMax};
    l.signals = {{s, 1}};
    OutputRec o = fx::sampleOutput(0);
    for (DiagramPoint& p : o.outline) p = {kMax, kMin};
    l.outputs = {o};
    InputRec i = fx::sampleInput(0);
    i.anchor = {kMin, kMin};
    i.secondPoint = {kMax, kMax};
    l.inputs = {i};
    return l;
}

// The same with a turntable far off the canvas, of a radius beyond every range, on a fourth track.
FileLayout farLayoutWithTurntable() {
    FileLayout l = farLayout();
    TurntableRec t = fx::sampleTurntable(0);
    t.centre[0] = 3e9f;
    t.centre[1] = -3e9f;
    t.radius = 1e30f;
    l.tracks.push_back(straightTrack({kMax, kMin}, {kMin, kMax}));
    l.turntables = {{t, 3}};
    // Angles anywhere in the range too.
    l.tracks[0].segmentAngles[0] = kMax;
    l.turnouts[0].angle = kMin;
    l.signals[0].first.angle = kMax;
    l.outputs[0].angle = kMin;
    l.inputs[0].angle = kMax;
    return l;
}

class FarCoordinates : public ::testing::Test {
protected:
    void SetUp() override {
        gDiagramCanvas = &canvas;
        gShowNumbers = 1;
        gShowSections = 1;
        gLayoutFileName = "ver.vtl";
    }
    void TearDown() override {
        clearLayout();
        gDiagramCanvas = nullptr;
        gLayoutOffset = {};
    }
    void drawAll() {
        journaltest::drawEveryElement();
        for (BlockRec* b : gBlocks) drawBlockSectionMarks(*b, 0, 0);
    }
    // The tracks on the canvas: the first from (10, 50) to the right edge, the second along row 100, the
    // third on the diagonal.
    void expectTheVisibleParts() {
        EXPECT_EQ(drawtest::countColour(canvas, 11, 50, 1023, 50, kWhiteColour), 1013);
        EXPECT_EQ(drawtest::countColour(canvas, 0, 100, 1023, 100, kWhiteColour), 1024);
        int diagonal = 0;
        for (int k = 0; k < 768; ++k) diagonal += canvas.Pixel(k, k) == kWhiteColour;
        EXPECT_EQ(diagonal, 768);
    }
    testsupport::ScratchDir dir;
    vestrel::Canvas canvas{1024, 768, kBackgroundColour};
};

}  // namespace

TEST_F(FarCoordinates, LayoutFilesOfEveryFormKeepThemAndDrawOnlyWhatIsOnTheCanvas) {
    for (int version : {9, 6, 2, 0}) {
        SCOPED_TRACE(version);
        canvas.resize(1024, 768, kBackgroundColour);
        testsupport::writeBytes("ver.vtl", fileBytes(version, farLayout()));
        ASSERT_EQ(loadLayoutFile(), 1) << lastDialogMessage();
        EXPECT_EQ(gTracks[0]->points[1].x, 2000000000);
        EXPECT_EQ(gTracks[1]->points[0].x, kMin);
        drawAll();
        expectTheVisibleParts();
    }
}

TEST_F(FarCoordinates, AJournalEntryReplayedAfterAMoveDrawsAndShiftsWithoutOverflow) {
    TrackRec* added = gTracks.append(std::make_unique<TrackRec>(straightTrack({10, 50}, {2000000000, 50})));
    gTracks.append(std::make_unique<TrackRec>(straightTrack({kMin, 100}, {kMax, 100})));
    gTracks.append(std::make_unique<TrackRec>(straightTrack({kMax, kMax}, {kMin, kMin})));
    emptyEditJournal();
    ASSERT_EQ(journalRecordEdit('t', added, static_cast<const TrackRec*>(nullptr), 0, 0), 1);
    ASSERT_GT(journalUndoRedo(0), 0);
    ASSERT_EQ(gTrackCount, 2);
    gLayoutOffset = {kMax, kMin};  // the layout moved as far as it can
    ASSERT_GT(journalUndoRedo(1), 0);
    ASSERT_EQ(gTrackCount, 3);
    gLayoutOffset = {};
    ASSERT_GT(journalUndoRedo(0), 0);
    ASSERT_GT(journalUndoRedo(1), 0);  // shifted back by the same amount: the stored points again
    EXPECT_EQ(gTracks[0]->points[1].x, 2000000000);
    canvas.resize(1024, 768, kBackgroundColour);
    drawAll();
    expectTheVisibleParts();
}

// Everything else that reads the coordinates: hit tests at the canvas and at the far points, the
// connection analysis, quarter turns of the whole layout and moves across the range and back; the
// sanitizer build shows any overflow, every build a hang.
TEST_F(FarCoordinates, HitTestsAnalysisTurnsAndMovesStayWithinTheRange) {
    testsupport::writeBytes("ver.vtl", fileBytes(9, farLayoutWithTurntable()));
    ASSERT_EQ(loadLayoutFile(), 1) << lastDialogMessage();
    vestrel::setDesktopOpener([](const std::string&) { return true; });
    const DiagramPoint points[] = {{0, 0}, {500, 50}, {kMin, kMin}, {kMax, kMax}, {kMin, kMax}, {kMax, 100}};
    auto hitTests = [&] {
        for (DiagramPoint p : points) {
            gMousePoint = p;
            PickHit hit;
            pickTrackAt(hit);
            pickBlockAt(hit);
            pickTurnoutAt(-1, hit);
            pickSignalAt(-1, hit);
            pickOutputAt(-1, hit);
            pickInputAt(-1, hit);
            pickTurntableAt(hit);
            DiagramPoint q = p;
            findConnectionAt(q, nullptr);
            int end = 0, slot = 0;
            findTurntableTrackAt(q, end, slot, nullptr, false);
        }
    };
    hitTests();
    gMousePoint = {500, 50};
    PickHit hit;
    EXPECT_EQ(pickTrackAt(hit), 401);  // the far track through the canvas
    EXPECT_EQ(hit.index, 0);
    analyseConnections(chooseReferenceBlock());
    for (int orientation : {1, 2, 3, 0}) {
        ASSERT_EQ(rotateLayout(orientation, 1), 1);
        hitTests();
    }
    moveLayout(kMax, kMin);
    hitTests();
    drawAll();
    moveLayout(kMin + 1, kMax);
    moveLayout(0, 1);
    EXPECT_EQ(gTracks[0]->points[1].x, 2000000000);
    EXPECT_EQ(gBlocks[0]->points[0], (DiagramPoint{kMin, kMin}));
    vestrel::setDesktopOpener({});
}

// A turntable whose centre lies far beyond the range (a damaged file): its bridge's ends, as the next
// locomotive-file load sets them, stay inside the range, and the layout saved from then on is the same.
TEST_F(FarCoordinates, AFarTurntableCentreKeepsItsBridgeInsideTheRange) {
    FileLayout l = sampleLayout();
    TurntableRec t = fx::sampleTurntable(0);
    t.centre[0] = 1e29f;
    t.centre[1] = -1e29f;
    t.radius = 50;
    l.turntables = {{t, 1}};
    testsupport::writeBytes("ver.vtl", fileBytes(9, l));
    std::vector<uint8_t> saved[2];
    for (auto& bytes : saved) {
        ASSERT_EQ(loadLayoutFile(), 1) << lastDialogMessage();
        TurntableRec* loaded = gTurntables[0];
        EXPECT_LE(loaded->centre[0], 2147483520.0f - 50);
        EXPECT_GE(loaded->centre[1], 50 - 2147483520.0f);
        turntableBridgeEnds(loaded, loaded->bridgeAngle, loaded->track);  // as a locomotive file sets it
        for (const DiagramPoint& p : {loaded->track->points[0], loaded->track->points[1]}) {
            EXPECT_LT(p.x, kMax);
            EXPECT_GT(p.y, kMin);
        }
        ASSERT_EQ(saveLayoutFile(), 1);
        bytes = testsupport::readBytes("ver.vtl");
    }
    EXPECT_EQ(saved[0], saved[1]);
}

TEST(LayoutFileCanvasSize, ASizeTheProgramCannotDrawGivesTheStartSizeAndLoadsTheRest) {
    struct Case {
        int width, height;
        int expectedWidth, expectedHeight;
    };
    const Case cases[] = {{32767, 32767, 640, 480}, {0, 0, 640, 480},     {-5, 600, 640, 480},
                          {99, 600, 640, 480},      {7681, 600, 640, 480}, {800, 7681, 640, 480},
                          {100, 100, 100, 100},     {7680, 7680, 7680, 7680}};
    testsupport::ScratchDir dir;
    gLayoutFileName = "maat.vtl";
    for (int version : {9, 7, 1}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "version " << version << ", " << c.width << " x " << c.height);
            FileLayout l = sampleLayout();
            l.canvasW = c.width;
            l.canvasH = c.height;
            testsupport::writeBytes("maat.vtl", fileBytes(version, l));
            gCanvasSize = {1000, 1000};
            ASSERT_EQ(loadLayoutFile(), 1) << lastDialogMessage();
            EXPECT_EQ(gCanvasSize.width, c.expectedWidth);
            EXPECT_EQ(gCanvasSize.height, c.expectedHeight);
            EXPECT_EQ(gTrackCount, 2);
            EXPECT_EQ(gBlockCount, 2);
        }
    }
    clearLayout();
}

// The seed corpus of the layout-file fuzz harness: these hand-made files in several forms. Written
// only on request (fuzz_seeds.h).
TEST(LayoutFileFuzzSeeds, WrittenOnRequest) {
    if (!fuzzseeds::folder()) GTEST_SKIP();
    for (int version : {9, 8, 7, 5, 4, 3, 2, 1, 0, -1})
        fuzzseeds::write("layout_file", "sample_v" + std::to_string(version) + ".vtl", fileBytes(version, sampleLayout()));
    fuzzseeds::write("layout_file", "far_v9.vtl", fileBytes(9, farLayout()));
    fuzzseeds::write("layout_file", "far_turntable_v9.vtl", fileBytes(9, farLayoutWithTurntable()));
}
