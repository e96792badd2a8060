// The locomotive file against hand-made files: the current version, older versions, and damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>

#include "layout/model/block_geometry.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "operation/model/length_units.h"
#include "operation/files/loco_file.h"
#include "shell/model/app_state.h"
#include "shell/config/messages.h"
#include "steps/engine/formula_engine.h"
#include "test_support.h"
#include "fuzz_seeds.h"
#include "operation/train_images.h"

namespace {

// The test layout: 3 blocks, 3 tracks, 2 turnouts, 1 signal, 1 turntable (its bridge is track 3),
// 2 connections. Loose wagons must stand on the drawn lines of their elements: block 2 runs along
// y 30 (x 150..700), block 3 from (0, 0) over (6, 6) along y 10 and y 15 (x 200..700), track 2 along
// y 10 (x 300..400).
void buildLayout() {
    for (int i = 1; i <= 3; ++i) {
        auto b = std::make_unique<BlockRec>();
        b->number = static_cast<int16_t>(i);
        gBlocks.append(std::move(b));
    }
    // Block 1 runs along y 20 from x 300 to its 'H' end at x 0; the trains standing on it are placed
    // on it again when loaded.
    gBlocks[0]->points[0] = {300, 20};
    gBlocks[0]->points[1] = {0, 20};
    gBlocks[0]->sections = 1;
    const DiagramPoint block2[] = {{150, 30}, {700, 30}};
    const DiagramPoint block3[] = {{0, 0}, {6, 6}, {200, 10}, {700, 10}, {700, 15}, {200, 15}};
    std::copy(std::begin(block2), std::end(block2), gBlocks[1]->points);
    gBlocks[1]->sections = 1;
    std::copy(std::begin(block3), std::end(block3), gBlocks[2]->points);
    gBlocks[2]->sections = 5;
    for (BlockRec* b : gBlocks) computeBlockGeometry(*b);
    for (int i = 0; i < 3; ++i) gTracks.append(std::make_unique<TrackRec>());
    gTracks[2]->points[0] = {150, 100};  // the bridge, across the turntable's centre
    gTracks[2]->points[1] = {250, 100};
    gTracks[1]->points[0] = {300, 10};
    gTracks[1]->points[1] = {400, 10};
    gTracks[1]->segments = 1;
    for (int i = 1; i <= 2; ++i) {
        auto t = std::make_unique<TurnoutRec>();
        t->number = static_cast<int16_t>(i);
        t->position = 'G';
        gTurnouts.append(std::move(t));
    }
    auto s = std::make_unique<SignalRec>();
    s->aspect = 'R';
    gSignals.append(std::move(s));
    auto tt = std::make_unique<TurntableRec>();
    tt->positions = 12;
    tt->centre[0] = 200;
    tt->centre[1] = 100;
    tt->radius = 50;
    tt->track = gTracks[2];
    gTurntables.append(std::move(tt));
    for (int i = 0; i < 2; ++i) {
        auto c = std::make_unique<ConnectionRec>();
        c->from = gBlocks[i];
        c->to = gBlocks[i + 1];
        gConnections.append(std::move(c));
    }
}

Pos at(float x, float y, int block, int track = 0, int turnout = 0) {
    Pos p;
    p.x = x;
    p.y = y;
    p.dx = 1;
    p.ix = static_cast<int>(x);
    p.iy = static_cast<int>(y);
    p.block = block;
    p.track = track;
    p.turnout = turnout;
    return p;
}

Image wagonAt(int number, const Pos& front, const Pos& rear, bool next) {
    Image w = wagonImage(number);
    putPosition(w, WagonAt::front, front);
    putPosition(w, WagonAt::rear, rear);
    w.i32(WagonAt::next, next ? 1 : 0);
    return w;
}

// A file of the current version, written out part by part: locomotive 7 first, then locomotive 3,
// both on the track; 7 pulls two wagons at its front and one at its rear; two loose wagons and one
// wagon off the track. Each field can be spoiled by a test.
struct FullFile {
    std::string version = "V1.1";
    char zoom = '3';
    int locoCount = 2;
    int steps = 28;
    int connection = 2;
    int headBlock = 2;
    int wagonTurnout = 1;
    int looseCount = 2;
    int total = 6;
    int blockCount = 3;
    int assigned = 1;
    int holder = 1;
    int target = 3;
    size_t cut = 0;  // bytes cut off the end

    Bytes build() const {
        FileBytes f;
        f.text(version).u8(zoom).zeros(3).i32(locoCount);
        Image seven = locoImage(7);
        putPosition(seven, LocoAt::head, at(100, 50, headBlock));
        seven.i32(LocoAt::connection, connection).i32(LocoAt::route, 1).u8(LocoAt::mode, kModeRoute);
        seven.u8(LocoAt::role, 0).u8(LocoAt::accel, 0).u8(LocoAt::flags, 0x03).u8(LocoAt::hold, 5);
        seven.i32(LocoAt::nextTime, 999).u8(LocoAt::fb1, 0x1F).u8(LocoAt::fb2, 1).u8(LocoAt::fb3, 1);
        seven.i16(LocoAt::steps, steps).i32(LocoAt::front, 1).i32(LocoAt::rear, 1);
        seven.text(LocoAt::name, "Loc zeven").text(LocoAt::photo, "br7");
        Image three = locoImage(3);
        putPosition(three, LocoAt::head, at(40, 20, 1));
        three.u8(LocoAt::mode, kModeManual).u8(LocoAt::role, 2).u8(LocoAt::accel, 10);
        f.add(seven).add(three);
        f.zeros(127);  // 7: an empty speed table
        Image table(127);
        for (int j = 1; j < 127; ++j) table.u8(j, 100);
        f.add(table);
        f.add(wagonAt(101, at(90, 50, 2), at(70, 50, 0, 1), true));
        f.add(wagonAt(102, at(66, 50, 0, 0, wagonTurnout), at(50, 50, 0, 0, wagonTurnout), false));
        f.add(wagonAt(103, at(110, 50, 2), at(130, 50, 2), false));
        f.i32(looseCount);
        f.add(wagonAt(201, at(300, 10, 3), at(320, 10, 3), true));
        f.add(wagonAt(202, at(330, 10, 0, 2), at(350, 10, 0, 2), false));
        f.i32(total);
        f.add(wagonImage(301));
        f.i32(blockCount).i32(2).i32(2).i32(0).i32(assigned).i32(0).i32(0);
        f.i32(2).i32(holder).u8('R').i32(0).u8('G');
        f.i32(1).u8('G');
        f.i32(1).u8(target).f32(0.5f).i32(0);
        for (int i = 0; i < kFormulaVars; ++i) f.f32(i * 0.5f);
        f.b.resize(f.b.size() - cut);
        return f.b;
    }
};

class LocoFile : public testing::Test {
protected:
    void SetUp() override {
        setScaleParameters('3', '5', 0);
        gTickPeriod = 0;
        gSpeedFactor = 1;
        gOrientation = 0;
        gLocoFileName = "test.loc";
        gLocoDataModified = 1;
        buildLayout();
        showDialogMessage("", 3);
    }
    void TearDown() override {
        clearTrainTables();
        gConnections.clear();
        gTurntables.clear();
        gSignals.clear();
        gTurnouts.clear();
        gTracks.clear();
        gBlocks.clear();
        std::fill(std::begin(gFormulaVars), std::end(gFormulaVars), 0.0f);
    }
    static int load(const Bytes& file) {
        testsupport::writeBytes("test.loc", file);
        return loadLocoFile(0);
    }
    static bool anythingOnTheTrack() {
        for (const BlockRec* b : gBlocks)
            if (b->assignedTrain || b->arrivedTrain) return true;
        for (const TurnoutRec* t : gTurnouts)
            if (t->holder) return true;
        for (const WagonRec* w : gWagons)
            if (onTrack(w->front) || onTrack(w->rear)) return true;
        for (const LocoRec* l : gLocs)
            if (onTrack(l->run.head) || l->connection) return true;
        return gLocsOnTrackCount != 0 || gWagonCounts.loose != 0;
    }
    testsupport::ScratchDir dir;
};

TEST_F(LocoFile, CurrentVersion) {
    ASSERT_EQ(load(FullFile{}.build()), 1);
    EXPECT_EQ(lastDialogMessage(), "");
    EXPECT_EQ(gLocoDataModified, 0);
    // Locomotives by number, rows too.
    ASSERT_EQ(gLocCount, 2);
    LocoRec* three = gLocs[0];
    LocoRec* seven = gLocs[1];
    EXPECT_EQ(three->number, 3);
    EXPECT_EQ(seven->number, 7);
    EXPECT_EQ(seven->slot, 1);
    ASSERT_EQ(gLocsOnTrackCount, 2);
    EXPECT_EQ(gLocsOnTrack[0], three);
    EXPECT_EQ(gLocsOnTrack[1], seven);
    // Locomotive 7: on block 2 by connection 2; the route index lies beyond the routes.
    EXPECT_EQ(seven->run.head.block, gBlocks[1]);
    EXPECT_FLOAT_EQ(seven->run.head.x, 100);
    EXPECT_EQ(seven->run.head.ix, 100);
    EXPECT_EQ(seven->connection, gConnections[1]);
    EXPECT_EQ(seven->route, nullptr);
    EXPECT_EQ(seven->mode, kModeShunting);
    EXPECT_EQ(seven->contactRole, 6);
    EXPECT_EQ(seven->acceleration, 7);
    EXPECT_EQ(seven->flags, 0x02);
    EXPECT_EQ(seven->holdCountdown, 0);
    EXPECT_EQ(seven->nextStepTime, 0);
    EXPECT_EQ(seven->run.functionBits1 | seven->run.functionBits2 | seven->run.functionBits3, 0);
    EXPECT_EQ(seven->stepDelay, 232);
    EXPECT_EQ(seven->effectiveStepDelay, 232);
    EXPECT_EQ(seven->maxStep, 28);
    EXPECT_EQ(seven->name, "Loc zeven");
    EXPECT_EQ(seven->run.photo, "br7");
    EXPECT_NE(seven->packetCache, nullptr);
    EXPECT_EQ(seven->blockCorrections.size(), 6u);
    // Speed tables: the empty one filled up to the maximum speed, the other one setting it.
    EXPECT_EQ(seven->speedTable[126], 130);
    EXPECT_EQ(seven->speedTable[63], 65);
    EXPECT_EQ(three->speedTable[50], 100);
    EXPECT_EQ(three->run.maxSpeed, 193);
    EXPECT_EQ(three->stepDelay, 137);
    // Wagons: loose zone, the chains, off the track.
    ASSERT_EQ(gWagonTotal, 6);
    EXPECT_EQ(gWagonCounts.loose, 2);
    EXPECT_EQ(gWagonCounts.coupledEnd, 5);
    const int numbers[] = {201, 202, 101, 102, 103, 301};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(gWagons[i]->number, numbers[i]);
        EXPECT_EQ(gWagons[i]->slot, i);
    }
    WagonRec* w1 = gWagons[2];
    EXPECT_EQ(seven->frontChain, w1);
    EXPECT_EQ(seven->rearChain, gWagons[4]);
    EXPECT_EQ(w1->next, gWagons[3]);
    EXPECT_EQ(gWagons[3]->previous, w1);
    EXPECT_EQ(gWagons[3]->owner, seven);
    EXPECT_EQ(w1->rear.track, gTracks[0]);
    EXPECT_EQ(gTracks[0]->locoOnIt, seven->slot + 1);
    EXPECT_EQ(gWagons[3]->front.turnout, gTurnouts[0]);
    EXPECT_EQ(gWagons[0]->next, gWagons[1]);
    EXPECT_EQ(gWagons[1]->previous, gWagons[0]);
    EXPECT_EQ(gWagons[0]->owner, nullptr);
    EXPECT_EQ(gBlocks[2]->state, 0x10);
    EXPECT_EQ(gTracks[1]->vehicleFlags, 0x10);
    EXPECT_EQ(w1->lengthUnits, fromCentimetres(15) - 6);
    EXPECT_FALSE(onTrack(gWagons[5]->front));
    // Run state.
    EXPECT_EQ(gBlocks[0]->assignedTrain, three);
    EXPECT_EQ(gBlocks[0]->arrivedTrain, three);
    EXPECT_EQ(gBlocks[1]->assignedTrain, seven);
    EXPECT_EQ(gBlocks[1]->arrivedTrain, nullptr);
    EXPECT_EQ(gTurnouts[0]->holder, seven);
    EXPECT_EQ(gTurnouts[0]->position, 'R');
    EXPECT_EQ(gTurnouts[1]->holder, nullptr);
    EXPECT_EQ(gSignals[0]->aspect, 'G');
    EXPECT_EQ(gTurntables[0]->currentPosition, 3);
    EXPECT_EQ(gTurntables[0]->secondPosition, 3);
    EXPECT_FLOAT_EQ(gTurntables[0]->currentAngle, 0.5f);
    EXPECT_EQ(gTracks[2]->points[1].x, static_cast<int>(std::lround(200 + 50 * std::cos(0.5f))));
    EXPECT_FLOAT_EQ(gFormulaVars[3], 1.5f);
    EXPECT_FLOAT_EQ(gFormulaVars[49], 24.5f);
}

// A file exactly as this program writes it: loading and saving gives the same bytes.
Bytes canonicalFile(int units) {
    FileBytes f;
    f.header('3').i32(1);
    // The train stands where placing it on block 1 again puts it: heading for x 0, its wagon behind it.
    Pos head = at(40, 20, 1);
    head.dx = -1;
    head.b = 1;
    Image five = locoImage(5);
    putPosition(five, LocoAt::head, head);
    five.i32(LocoAt::connection, 1).u8(LocoAt::running, 1).u8(LocoAt::mode, kModeManual).u8(LocoAt::role, 6);
    five.u8(LocoAt::flags, 0x02).i16(LocoAt::effectiveDelay, 344).i16(LocoAt::delay, 344).i16(LocoAt::maxStep, 28);
    five.i16(LocoAt::maxSpeed, 193).f32(LocoAt::kmTotal, 12.5f).text(LocoAt::photo, "foto5").text(LocoAt::name, "Vijf");
    five.u8(LocoAt::motor, 1).u8(LocoAt::kind, 2).u8(LocoAt::reserved + 2, 9);
    five.i16(LocoAt::trainLength, fromCentimetres(gUnit20cm) + units + 6);
    five.i32(LocoAt::front, 1).i32(LocoAt::cache, 1).i32(LocoAt::corrections, 1).i32(LocoAt::table, 1);
    f.add(five);
    Image table(127);
    for (int j = 1; j < 127; ++j) table.u8(j, 100);
    f.add(table);
    Pos front = at(40.f + gHalfUnit20cm, 20, 1), rear = at(40.f + gHalfUnit20cm + units, 20, 1);
    front.dx = rear.dx = -1;
    front.b = rear.b = 1;
    Image coupled = wagonAt(11, front, rear, false);
    coupled.i32(WagonAt::owner, 1).u8(WagonAt::units, units).u8(WagonAt::slot, 1).text(WagonAt::description, "Open");
    f.add(coupled);
    Image loose = wagonAt(12, at(200, 30, 2), at(230, 30, 2), false);
    loose.u8(WagonAt::units, units).u8(WagonAt::slot, 0).u8(WagonAt::percent, 40);
    f.i32(1).add(loose);
    Image off = wagonImage(13);
    off.u8(WagonAt::units, units).u8(WagonAt::slot, 2);
    f.i32(3).add(off);
    f.i32(3).i32(1).i32(1).i32(0).i32(0).i32(0).i32(0);
    f.i32(2).i32(0).u8('G').i32(0).u8('R');
    f.i32(1).u8('R');
    f.i32(1).u8(1).f32(0.5f).i32(0);
    for (int i = 0; i < kFormulaVars; ++i) f.f32(i == 7 ? 3.0f : 0.0f);
    return f.b;
}

TEST_F(LocoFile, ATurntableWhoseCentreOrSizeDoNotFitItsBridgeKeepsTheBridgeTrack) {
    struct Case {
        const char* what;
        float centreX, centreY, radius;
        uint8_t positions;
    };
    const Case cases[] = {
        {"centre (0,0) away from the bridge", 0, 0, 50, 12},
        {"no radius", 250, 400, 0, 12},
        {"no positions", 250, 400, 50, 0},
        {"centre no number", std::nanf(""), 400, 50, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TurntableRec* t = gTurntables[0];
        t->centre[0] = c.centreX;
        t->centre[1] = c.centreY;
        t->radius = c.radius;
        t->positions = c.positions;
        gTracks[2]->points[0] = {200, 400};
        gTracks[2]->points[1] = {300, 400};
        FullFile file;
        file.target = std::min(3, static_cast<int>(c.positions));
        showDialogMessage("", 3);
        ASSERT_EQ(load(file.build()), 1);
        EXPECT_EQ(lastDialogMessage(), "");
        EXPECT_EQ(gTracks[2]->points[0], (DiagramPoint{200, 400}));
        EXPECT_EQ(gTracks[2]->points[1], (DiagramPoint{300, 400}));
        EXPECT_EQ(t->currentPosition, file.target);
        clearTrainTables();
    }
    // Centred on the bridge, it is turned to the stored angle.
    gTurntables[0]->centre[0] = 250;
    gTurntables[0]->centre[1] = 400;
    gTurntables[0]->radius = 50;
    gTurntables[0]->positions = 12;
    ASSERT_EQ(load(FullFile{}.build()), 1);
    EXPECT_EQ(gTracks[2]->points[1].x, static_cast<int>(std::lround(250 + 50 * std::cos(0.5f))));
    EXPECT_EQ(gTracks[2]->points[1].y, static_cast<int>(std::lround(400 + 50 * std::sin(0.5f))));
}

TEST_F(LocoFile, SavingWritesTheCurrentVersionByteForByte) {
    const Bytes file = canonicalFile(fromCentimetres(15) - 6);
    ASSERT_EQ(load(file), 1);
    ASSERT_EQ(lastDialogMessage(), "");
    gLocoDataModified = 1;
    saveLocoFile();
    EXPECT_EQ(gLocoDataModified, 0);
    EXPECT_EQ(testsupport::readBytes("test.loc"), file);
}

TEST_F(LocoFile, ASaveThatCannotBeWrittenSaysSoAndKeepsTheMark) {
    gLocoFileName = "missing/test.loc";
    gLocoDataModified = 1;
    saveLocoFile();
    EXPECT_EQ(lastDialogMessage(), "Kan bestand 'missing/test.loc' niet openen !");
    EXPECT_EQ(gLocoDataModified, 1);
}

TEST_F(LocoFile, AMissingFileLeavesNoTrainsAndNoMessage) {
    EXPECT_EQ(loadLocoFile(0), 0);
    EXPECT_EQ(gLocCount, 0);
    EXPECT_EQ(lastDialogMessage(), "");
}

TEST_F(LocoFile, ZoomOfTheFile) {
    setScaleParameters('5', '5', 0);
    ASSERT_EQ(load(FullFile{}.build()), 1);  // written at zoom '3': positions grow by 6/4
    EXPECT_FLOAT_EQ(gLocs[1]->run.head.x, 150);
    EXPECT_EQ(gLocs[1]->run.head.ix, 150);
    EXPECT_FLOAT_EQ(gWagons[0]->front.y, 15);
    // Every zoom the program can have loads; anything else is refused without loading.
    FullFile high;
    high.zoom = '7';
    EXPECT_EQ(load(high.build()), 1);
    EXPECT_EQ(gLocCount, 2);
    FullFile bad;
    bad.zoom = '0';
    EXPECT_EQ(load(bad.build()), 0);
    EXPECT_EQ(gLocCount, 0);
}

TEST_F(LocoFile, ARunStateForOtherElementCountsPutsNothingOnTheTrack) {
    FullFile f;
    f.blockCount = 4;
    ASSERT_EQ(load(f.build()), 1);
    EXPECT_EQ(gLocCount, 2);
    EXPECT_EQ(gWagonTotal, 6);
    EXPECT_FALSE(anythingOnTheTrack());
    EXPECT_EQ(lastDialogMessage(), "");
    EXPECT_FLOAT_EQ(gFormulaVars[3], 0.0f);
}

TEST_F(LocoFile, ABlockIsGivenOnlyToItsOwnArrival) {
    FileBytes f;
    f.header().i32(5);
    for (int n = 1; n <= 5; ++n) f.add(locoImage(n));
    f.zeros(5 * 127).i32(0).i32(0);
    f.i32(3).i32(3).i32(5).i32(5).i32(5).i32(0).i32(0);
    f.i32(2).i32(0).u8('G').i32(0).u8('G').i32(1).u8('R').i32(1).u8(1).f32(0).i32(0).zeros(200);
    ASSERT_EQ(load(f.b), 1);
    EXPECT_EQ(gBlocks[0]->assignedTrain, nullptr);
    EXPECT_EQ(gBlocks[0]->arrivedTrain, nullptr);
    EXPECT_EQ(gBlocks[1]->assignedTrain, gLocs[4]);
    EXPECT_EQ(gBlocks[1]->arrivedTrain, gLocs[4]);
}

// Before version 5 the name came first in the 40 bytes at 116 and the photo name last.
Image oldLoco(int number, size_t size) {
    Image im = locoImage(number, 1, size);
    putPosition(im, LocoAt::head, at(30, 12, 1));
    for (size_t k = 116; k < 156; ++k) im.u8(k, 0);
    im.text(116, "Oude loc").text(147, "oud.bmp");
    return im;
}

Image oldWagon(int units, const Pos& p, bool next) {
    Image w(96);
    putPosition(w, WagonAt::front, p);
    putPosition(w, WagonAt::rear, p);
    w.u8(WagonAt::units, units).u8(WagonAt::kind, 'P').i32(WagonAt::next, next ? 1 : 0);
    return w;
}

TEST_F(LocoFile, Version4) {
    FileBytes f;
    f.text("V0.4").i32(1);
    Image l = oldLoco(9, 184);
    l.i32(LocoAt::front, 1).i32(LocoAt::rear, 1);
    f.add(l);  // no speed tables before version 6
    f.add(oldWagon(14, at(60, 12, 1), false)).add(oldWagon(14, at(20, 12, 1), false));
    f.i32(1).add(oldWagon(14, at(3, 3, 3), false));  // loose; no wagon total before version 5
    f.i32(0).i32(1).i32(0).i32(0).i32(0).i32(0);     // blocks, no counts
    f.i32(0).u8('G').i32(0).u8('G').u8('R');         // turnouts, signal; no turntables, no variables
    ASSERT_EQ(load(f.b), 1);
    ASSERT_EQ(lastDialogMessage(), "");
    ASSERT_EQ(gLocCount, 1);
    LocoRec* l9 = gLocs[0];
    EXPECT_EQ(l9->name, "Oude loc");
    EXPECT_EQ(l9->run.photo, "oud.bmp");
    EXPECT_FLOAT_EQ(gWagons[0]->front.x, 4);  // the loose wagon; zoom '2' assumed: x 4/3
    EXPECT_EQ(gWagons[0]->front.ix, 4);
    EXPECT_EQ(l9->speedTable[126], 130);
    ASSERT_NE(l9->frontChain, nullptr);
    ASSERT_NE(l9->rearChain, nullptr);
    EXPECT_EQ(gBlocks[0]->assignedTrain, l9);
    EXPECT_EQ(gWagonCounts.loose, 1);
    EXPECT_EQ(gWagonTotal, 3);
    // Lengths rescaled to the zoom, centimetres taken from the units.
    const int units = static_cast<int>((14 + 6) * 4.0f / 3.0f - 6);
    EXPECT_EQ(l9->frontChain->lengthUnits, units);
    EXPECT_EQ(l9->frontChain->lengthCm, toCentimetresRounded(units + 6));
}

TEST_F(LocoFile, Version0HasNoHeaderNoRearChainAndNoLooseWagons) {
    FileBytes f;
    f.i32(1);
    Image l = oldLoco(9, 184);
    l.i32(LocoAt::front, 1).i32(LocoAt::rear, 1);
    f.add(l).add(oldWagon(14, at(60, 12, 1), false));
    f.i32(0).i32(1).i32(0).i32(0).i32(0).i32(0);
    f.i32(0).u8('G').i32(0).u8('G').u8('R');
    ASSERT_EQ(load(f.b), 1);
    ASSERT_EQ(lastDialogMessage(), "");
    ASSERT_EQ(gLocCount, 1);
    EXPECT_EQ(gLocs[0]->rearChain, nullptr);
    EXPECT_EQ(gWagonTotal, 1);
    EXPECT_EQ(gLocs[0]->run.head.block, gBlocks[0]);
}

TEST_F(LocoFile, Version6SpeedTablesAreRebuiltFromTheMaximumSpeed) {
    FileBytes f;
    f.header('3', "V0.6").i32(1);
    f.add(locoImage(4, 0, 188));
    Image table(126);  // 126 bytes in version 6: offsets from the straight line
    table.u8(1, 10);
    f.add(table);
    f.i32(0).i32(0);
    f.zeros(3 * 8).zeros(2 * 5).zeros(1);
    ASSERT_EQ(load(f.b), 1);
    ASSERT_EQ(gLocCount, 1);
    const auto& t = gLocs[0]->speedTable;
    EXPECT_EQ(t[1], 15);  // step 1: 130 / 28 + 10 + 0.5
    EXPECT_EQ(t[4], 15);
    EXPECT_EQ(t[5], 9);   // step 2: 260 / 28 + 0.5
    EXPECT_EQ(t[126], 130);
}

// One locomotive off the track (current version) with the given maximum speed, speed steps and table.
Bytes oneLocoFile(int maxSpeed, int steps, const Image& table, int spare = 0) {
    FileBytes f;
    f.header('3').i32(1);
    Image four = locoImage(4);
    four.i16(LocoAt::maxSpeed, maxSpeed).i16(LocoAt::steps, steps).i16(LocoAt::delay, 1).i16(LocoAt::spare, spare);
    f.add(four).add(table);
    f.i32(0).i32(0);                                        // no wagons
    f.i32(3).zeros(3 * 8).i32(2).zeros(2 * 5).i32(1).u8('G');  // run state of the test layout
    f.i32(1).u8(1).f32(0).i32(0);
    for (int i = 0; i < kFormulaVars; ++i) f.f32(0);
    return f.b;
}

// An empty table is filled with the straight line up to the maximum speed; that line, loaded again, keeps
// the maximum speed and with it the step delay (its sampled mean lies just below the maximum). A
// calibrated table sets the maximum speed from its mean, the same at every load. A maximum typed in the
// train dialog's "Max" is marked by repeating it in the first two spare bytes after it: it is kept
// whatever the curve; a mark that is not the maximum (the curve was edited since) or that "Max" could
// not have given is no mark, and files without one load as before.
TEST_F(LocoFile, MaximumSpeedAndStepDelaySurviveSaveAndLoad) {
    auto straight = [](int max) {
        Image t(127);
        for (int j = 1; j < 127; ++j) t.u8(j, std::min(255, static_cast<int>(j * max / 126.0f + 0.5f)));
        return t;
    };
    Image calibrated(127);
    for (int j = 1; j < 127; ++j) calibrated.u8(j, 100);
    Image bent(127);
    for (int j = 1; j < 127; ++j) bent.u8(j, j < 64 ? j : 2 * j - 63 > 255 ? 255 : 2 * j - 63);
    const struct {
        const char* what;
        int maxSpeed, steps;
        Image table;
        int loadedMax;
        int spare = 0;
    } cases[] = {
        {"empty, 28 steps", 130, 28, Image(127), 130}, {"empty, 14 steps", 77, 14, Image(127), 77},
        {"empty, 126 steps", 201, 126, Image(127), 201}, {"empty, 27 steps", 255, 27, Image(127), 255},
        {"straight line", 130, 28, straight(130), 130},  {"straight line", 300, 28, straight(300), 300},
        {"calibrated flat", 130, 28, calibrated, 193},   {"calibrated bent", 130, 14, bent, 0},
        {"straight line to 130, 70 typed", 70, 28, straight(130), 70, 70},
        {"straight line to 130, 70 unmarked", 70, 28, straight(130), 129},
        {"calibrated flat, 130 typed", 130, 28, calibrated, 130, 130},
        {"calibrated flat, 255 typed", 255, 28, calibrated, 255, 255},
        {"calibrated flat, stale mark", 130, 28, calibrated, 193, 120},
        {"calibrated flat, 60 never typed", 60, 28, calibrated, 193, 60},
        {"calibrated flat, 256 never typed", 256, 28, calibrated, 193, 256},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(load(oneLocoFile(c.maxSpeed, c.steps, c.table, c.spare)), 1) << c.what;
        ASSERT_EQ(gLocCount, 1);
        const int max = gLocs[0]->run.maxSpeed, delay = gLocs[0]->stepDelay;
        if (c.loadedMax) {
            EXPECT_EQ(max, c.loadedMax) << c.what;
        }
        EXPECT_EQ(delay, 5 * max * 10 / c.steps) << c.what;  // acceleration 7
        gLocoDataModified = 1;
        saveLocoFile();
        const Bytes first = testsupport::readBytes("test.loc");
        for (int round = 0; round < 3; ++round) {
            ASSERT_EQ(loadLocoFile(0), 1);
            EXPECT_EQ(gLocs[0]->run.maxSpeed, max) << c.what << " round " << round;
            EXPECT_EQ(gLocs[0]->stepDelay, delay) << c.what << " round " << round;
            gLocoDataModified = 1;
            saveLocoFile();
            EXPECT_EQ(testsupport::readBytes("test.loc"), first) << c.what << " round " << round;
        }
    }
}

// Positions from a damaged file: a coordinate that is no number loads as 0, one beyond the 32-bit range
// as its end, so that the whole-pixel copies are defined; the file then saves the same at every load.
TEST_F(LocoFile, PositionsBeyondTheRangeLoadAtItsEnds) {
    FileBytes f;
    f.header('3').i32(1);
    Image four = locoImage(4);
    Pos far = at(0, 0, 1, 1);  // on track 1, coming from block 1 (a train on a block is placed on it again)
    far.x = std::nanf("");
    far.y = 1e30f;
    far.dx = -1e38f;
    putPosition(four, LocoAt::head, far);
    f.add(four).add(Image(127));
    f.i32(0).i32(0);
    f.i32(3).zeros(3 * 8).i32(2).zeros(2 * 5).i32(1).u8('G');
    f.i32(1).u8(1).f32(0).i32(0);
    for (int i = 0; i < kFormulaVars; ++i) f.f32(0);
    ASSERT_EQ(load(f.b), 1);
    ASSERT_EQ(gLocCount, 1);
    ASSERT_EQ(gLocsOnTrackCount, 1);
    const PositionRec& head = gLocs[0]->run.head;
    EXPECT_EQ(head.x, 0.0f);
    EXPECT_EQ(head.y, 2147483520.0f);
    EXPECT_EQ(head.dx, -2147483520.0f);
    EXPECT_EQ(head.iy, 2147483520);
    gLocoDataModified = 1;
    saveLocoFile();
    const Bytes first = testsupport::readBytes("test.loc");
    ASSERT_EQ(loadLocoFile(0), 1);
    gLocoDataModified = 1;
    saveLocoFile();
    EXPECT_EQ(testsupport::readBytes("test.loc"), first);
}

// A train standing on its block is placed on it again at every load: from the first save on it stands
// the same, also where the block runs slantwise (float positions off whole units) or far out (floats 4
// apart). A block whose stored section length does not match its points would place it elsewhere at
// every load: there the train leaves the track at once.
TEST_F(LocoFile, ATrainPlacedAgainAtLoadSavesTheSameFromThenOn) {
    constexpr int32_t kFar = 33554432;  // 2^25
    const struct Case {
        const char* what;
        DiagramPoint from, to;  // block 1, toward its 'H' end
        float sectionLength;    // 0: as the points give it
        float x, y;             // the head, on block 1
        bool onTrack;
    } cases[] = {
        {"along x", {300, 20}, {0, 20}, 0, 40, 20, true},
        {"slantwise", {300, 20}, {0, 137}, 0, 103.7f, 96.3f, true},
        {"far out", {kFar + 300, 20}, {kFar, 23}, 0, kFar + 41.f, 21, true},
        {"a section length of 100 for 300", {300, 20}, {0, 20}, 100, 40, 20, false},
    };
    for (const Case& c : cases) {
        gBlocks[0]->points[0] = c.from;
        gBlocks[0]->points[1] = c.to;
        computeBlockGeometry(*gBlocks[0]);
        if (c.sectionLength != 0) gBlocks[0]->sectionLengths[0] = c.sectionLength;
        FileBytes f;
        f.header('3').i32(1);
        Image four = locoImage(4);
        Pos head = at(c.x, c.y, 1);
        head.b = 1;
        putPosition(four, LocoAt::head, head);
        f.add(four).add(Image(127));
        f.i32(0).i32(0);
        f.i32(3).zeros(3 * 8).i32(2).zeros(2 * 5).i32(1).u8('G');
        f.i32(1).u8(1).f32(0).i32(0);
        for (int i = 0; i < kFormulaVars; ++i) f.f32(0);
        ASSERT_EQ(load(f.b), 1) << c.what;
        EXPECT_EQ(gLocsOnTrackCount, c.onTrack ? 1 : 0) << c.what;
        saveLocoFile();
        const Bytes first = testsupport::readBytes("test.loc");
        for (int round = 0; round < 2; ++round) {
            ASSERT_EQ(loadLocoFile(0), 1) << c.what;
            EXPECT_EQ(gLocsOnTrackCount, c.onTrack ? 1 : 0) << c.what << " round " << round;
            saveLocoFile();
            EXPECT_EQ(testsupport::readBytes("test.loc"), first) << c.what << " round " << round;
        }
    }
}

// The locomotive-file fuzz harness's seeds (fuzz_seeds.h): the hand-made files of these tests.
TEST(LocoFileFuzzSeeds, WrittenOnRequest) {
    if (!fuzzseeds::folder()) GTEST_SKIP();
    fuzzseeds::write("loco_file", "full.loc", FullFile{}.build());
    fuzzseeds::write("loco_file", "canonical.loc", canonicalFile(fromCentimetres(15) - 6));
    Image flat(127);
    for (int j = 1; j < 127; ++j) flat.u8(j, 100);
    fuzzseeds::write("loco_file", "one_empty_table.loc", oneLocoFile(130, 28, Image(127)));
    fuzzseeds::write("loco_file", "one_calibrated.loc", oneLocoFile(130, 14, flat));
    FileBytes v6;
    v6.header('3', "V0.6").i32(1);
    v6.add(locoImage(4, 0, 188));
    Image table(126);
    table.u8(1, 10);
    v6.add(table);
    v6.i32(0).i32(0);
    v6.zeros(3 * 8).zeros(2 * 5).zeros(1);
    fuzzseeds::write("loco_file", "version6.loc", v6.b);
}

TEST_F(LocoFile, ADamagedLocomotiveOrWagonPartLeavesNoTrains) {
    struct Case {
        const char* what;
        FullFile file;
    };
    std::vector<Case> cases;
    auto add = [&](const char* what, auto change) {
        FullFile f;
        change(f);
        cases.push_back({what, f});
    };
    add("short read in a locomotive", [](FullFile& f) { f.cut = f.build().size() - 100; });
    add("short read in the speed tables", [](FullFile& f) { f.cut = f.build().size() - (12 + 2 * 192 + 50); });
    add("short read in a wagon", [](FullFile& f) { f.cut = f.build().size() - (12 + 2 * 192 + 254 + 100); });
    add("201 locomotives", [](FullFile& f) { f.locoCount = 201; });
    add("a negative count", [](FullFile& f) { f.locoCount = -1; });
    add("version 12", [](FullFile& f) { f.version = "V1.2"; });
    add("no speed steps", [](FullFile& f) { f.steps = 0; });
    add("201 loose wagons", [](FullFile& f) { f.looseCount = 201; });
    add("a total below the wagons read", [](FullFile& f) { f.total = 4; });
    add("a total of 201", [](FullFile& f) { f.total = 201; });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        showDialogMessage("", 3);
        EXPECT_EQ(load(c.file.build()), 1);
        EXPECT_EQ(lastDialogMessage(),
                  "Er is een fout in het bestand 'test.loc'. De locomotieven moeten opnieuw gemaakt worden.");
        EXPECT_EQ(gLocCount, 0);
        EXPECT_EQ(gWagonTotal, 0);
        EXPECT_FALSE(anythingOnTheTrack());
    }
}

TEST_F(LocoFile, OlderFilesCannotOverfillTheWagonTable) {
    // Version 4 has no wagon total: the chains and the loose count themselves must stay within 200.
    const struct {
        const char* what;
        int coupled, loose;
    } cases[] = {{"201 coupled wagons", 201, 0}, {"3 coupled and 198 loose wagons", 3, 198}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FileBytes f;
        f.text("V0.4").i32(1);
        Image l = oldLoco(9, 184);
        l.i32(LocoAt::front, 1);
        f.add(l);
        for (int i = 0; i < c.coupled; ++i) f.add(oldWagon(14, {}, i + 1 < c.coupled));
        f.i32(c.loose);
        for (int i = 0; i < c.loose; ++i) f.add(oldWagon(14, {}, false));
        f.zeros(3 * 8 + 2 * 5 + 1);
        showDialogMessage("", 3);
        ASSERT_EQ(load(f.b), 1);
        EXPECT_EQ(gLocCount, 0);
        EXPECT_EQ(gWagonTotal, 0);
        EXPECT_EQ(lastDialogMessage(),
                  "Er is een fout in het bestand 'test.loc'. De locomotieven moeten opnieuw gemaakt worden.");
    }
}

TEST_F(LocoFile, ADamagedRunStateKeepsTheTrainsOffTheTrack) {
    struct Case {
        const char* what;
        FullFile file;
    };
    std::vector<Case> cases;
    auto add = [&](const char* what, auto change) {
        FullFile f;
        change(f);
        cases.push_back({what, f});
    };
    add("a connection beyond the layout", [](FullFile& f) { f.connection = 3; });
    add("a negative connection", [](FullFile& f) { f.connection = -1; });
    add("a head block beyond the layout", [](FullFile& f) { f.headBlock = 4; });
    add("a wagon on a turnout beyond the layout", [](FullFile& f) { f.wagonTurnout = 3; });
    add("a block assigned to locomotive 3 of 2", [](FullFile& f) { f.assigned = 3; });
    add("a turnout held by locomotive 3 of 2", [](FullFile& f) { f.holder = 3; });
    add("turntable position 13 of 12", [](FullFile& f) { f.target = 13; });
    add("a short read in the run state", [](FullFile& f) { f.cut = 10; });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        showDialogMessage("", 3);
        EXPECT_EQ(load(c.file.build()), 1);
        EXPECT_EQ(lastDialogMessage(),
                  "Er is een fout in het bestand 'test.loc'. De treinen werden van het spoor genomen.");
        EXPECT_EQ(gLocCount, 2);
        EXPECT_EQ(gWagonTotal, 6);
        EXPECT_EQ(gWagonCounts.coupledEnd, 3);
        EXPECT_FALSE(anythingOnTheTrack());
    }
}

TEST_F(LocoFile, MoreThanTwentyLocomotivesOnTheTrackAreRefused) {
    FileBytes f;
    f.header().i32(21);
    for (int n = 1; n <= 21; ++n) f.add(locoImage(n, 1));
    f.zeros(21 * 127).i32(0).i32(0);
    f.i32(3).zeros(24).i32(2).zeros(10).i32(1).u8('R').i32(1).u8(1).f32(0).i32(0).zeros(200);
    ASSERT_EQ(load(f.b), 1);
    EXPECT_EQ(gLocCount, 21);
    EXPECT_FALSE(anythingOnTheTrack());
    EXPECT_EQ(lastDialogMessage(), "Er is een fout in het bestand 'test.loc'. De treinen werden van het spoor genomen.");
}

}  // namespace
