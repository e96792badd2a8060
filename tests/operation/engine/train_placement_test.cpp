// Whole trains set on a block at once: their length against the block, where a train put on the track
// stands, re-placing a standing train, the correction at a contact and the speed correction learnt
// there, and the train that reaches beyond its block.
#include "engine_fixture.h"

#include <cmath>

#include "operation/control/control_post.h"
#include "operation/engine/train_path.h"
#include "operation/engine/train_placement.h"
#include "shell/config/messages.h"
#include "shell/model/input_state.h"

namespace {

class TrainPlacement : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        saved_ = {gCmPerUnit, gUnit20cm, gHalfUnit20cm, gUnit15cm, gUnit5cm, gShortTrainUnits};
        // One layout unit is a centimetre: the locomotive is 20 units long, 10 on each side of its head.
        gCmPerUnit = 1;
        gUnit20cm = 20;
        gHalfUnit20cm = 10;
        gUnit15cm = 15;
        gUnit5cm = 5;
        showDialogMessage("", 3);
    }
    void TearDown() override {
        gCmPerUnit = saved_.cmPerUnit;
        gUnit20cm = saved_.unit20;
        gHalfUnit20cm = saved_.half20;
        gUnit15cm = saved_.unit15;
        gUnit5cm = saved_.unit5;
        gShortTrainUnits = saved_.shortTrain;
        EngineTest::TearDown();
    }
    // Block 1 along y 100 from x 100 over 300 to its 'H' end at 310: a first section of kind 1 (200
    // units) and a stop section of kind 6 (10 units).
    static void buildBlock() {
        LayoutBuilder().block(1, {{100, 100}, {300, 100}, {310, 100}}).kinds({1, 6});
    }
    // Locomotive 3 on block 1 with one wagon of 20 units in each chain.
    static LocoRec* trainWithTwoWagons(char heading) {
        LocoRec* l = putLocoOnBlock(3, 1, 0, {200, 100}, true, heading);
        coupleTestWagon(l, true, 20, 'G');
        coupleTestWagon(l, false, 20, 'P');
        return l;
    }

private:
    struct Saved {
        float cmPerUnit;
        int8_t unit20, half20;
        int16_t unit15, unit5, shortTrain;
    } saved_{};
};

TEST_F(TrainPlacement, TheLengthIsTheLocomotiveAndEveryWagonWithItsGap) {
    buildBlock();
    LocoRec* l = trainWithTwoWagons('H');
    EXPECT_EQ(trainLengthUnits(*l), 20 + 26 + 26);
    gShortTrainUnits = 72;
    gCurTrain = l;
    EXPECT_EQ(checkTrainLength(l), 1);
    gCurTrain = nullptr;
    EXPECT_EQ(l->trainLength, 72);
    EXPECT_EQ(trainLengthKindText(*l), "Korte trein");
    EXPECT_EQ(trainLengthText(*l), "72 cm / 72 pix");
    gShortTrainUnits = 71;
    EXPECT_EQ(trainLengthKindText(*l), "Lange trein");
}

TEST_F(TrainPlacement, ATrainFitsUpToTheUsableLengthLessFifteenCentimetres) {
    buildBlock();  // usable length 210
    LocoRec* l = putLocoOnBlock(3, 1, 0, {200, 100}, true, 'H');
    // 20 + 3 x (52 + 6) = 194 fits, 195 = 210 - 15 (exactly the usable length less 15 cm) fits, 196 not.
    for (int i = 0; i < 3; ++i) coupleTestWagon(l, false, 52);
    EXPECT_EQ(checkTrainLength(l), 1);
    l->frontChain->lengthUnits = 53;
    EXPECT_EQ(checkTrainLength(l), 1);
    EXPECT_EQ(lastDialogMessage(), "");
    l->frontChain->lengthUnits = 54;
    EXPECT_EQ(checkTrainLength(l), 0);
    EXPECT_EQ(lastDialogMessage(), "Trein 3 is te lang voor blok 1   ");
}

TEST_F(TrainPlacement, PutOnTheTrackTheTrainStandsAtItsStopSectionsFromTheEnd) {
    struct Case {
        char heading, direction;
        float rearFront, rearRear, head, frontFront, frontRear;  // x of every end
        float dx;
    } cases[] = {
        // 'H': the stop section of kind 6 is 10 units long.
        {'H', 'v', 300, 280, 270, 260, 240, 1},
        {'H', 'a', 300, 280, 270, 260, 240, -1},
        // 'T': the section of kind 1 is 200 units long; at most 15 count.
        {'T', 'v', 115, 135, 145, 155, 175, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.heading) + c.direction);
        clearTestTrains();
        buildBlock();
        LocoRec* l = trainWithTwoWagons(c.heading);
        l->direction = c.direction;
        ASSERT_EQ(placeTrainOnBlock(l, blockNumbered(1), 0), 1);
        const WagonRec* r = l->rearChain;
        const WagonRec* f = l->frontChain;
        EXPECT_FLOAT_EQ(r->front.x, c.rearFront);
        EXPECT_FLOAT_EQ(r->rear.x, c.rearRear);
        EXPECT_FLOAT_EQ(l->run.head.x, c.head);
        EXPECT_FLOAT_EQ(f->front.x, c.frontFront);
        EXPECT_FLOAT_EQ(f->rear.x, c.frontRear);
        for (const PositionRec* p : {&r->front, &r->rear, static_cast<const PositionRec*>(&l->run.head), &f->front, &f->rear}) {
            EXPECT_FLOAT_EQ(p->y, 100);
            EXPECT_FLOAT_EQ(p->dx, c.dx);
            EXPECT_EQ(p->ix, static_cast<int>(p->x));  // drawn there next
            EXPECT_EQ(p->block, blockNumbered(1));
        }
    }
}

TEST_F(TrainPlacement, PlacedAgainAStandingTrainStaysWhereItStands) {
    for (bool rearWagon : {false, true}) {
        SCOPED_TRACE(rearWagon);
        clearTestTrains();
        buildBlock();
        LocoRec* l = putLocoOnBlock(3, 1, 0, {200, 100}, true, 'H');
        if (rearWagon) coupleTestWagon(l, true, 20);
        coupleTestWagon(l, false, 20);
        ASSERT_EQ(placeTrainOnBlock(l, blockNumbered(1), 0), 1);
        TrainPositionImage before;
        saveTrainPosition(before, l, 0);
        // Re-placed twice (a file loaded twice): nothing creeps.
        for (int i = 0; i < 2; ++i) ASSERT_EQ(placeTrainOnBlock(l, blockNumbered(1), 2), 1);
        TrainPositionImage after;
        saveTrainPosition(after, l, 0);
        ASSERT_EQ(after.size(), before.size());
        for (size_t k = 0; k < before.size(); ++k) EXPECT_NEAR(after[k].x, before[k].x, 0.01f) << k;
    }
}

TEST_F(TrainPlacement, AnEndBetweenTheSectionsSumAndTheRoundedLengthStandsAtTheFarPoint) {
    // Two sections of 1.414 units: 2.83 in all, usable length 3.
    LayoutBuilder().block(1, {{100, 100}, {101, 101}, {102, 102}});
    BlockRec* b = blockNumbered(1);
    ASSERT_EQ(b->totalLength, 3);
    struct Case {
        float d;
        bool towardH;
    } cases[] = {{2.9f, true}, {0.1f, false}};
    for (const Case& c : cases) {
        PositionRec e;
        int angle = 0;
        float length = 0;
        ASSERT_EQ(placeAxleAtDistance(e, b, angle, length, c.d, c.towardH, true), 1);
        EXPECT_FLOAT_EQ(e.x, 100);
        EXPECT_FLOAT_EQ(e.y, 100);
        EXPECT_EQ(e.sectionA, 0);
        EXPECT_EQ(e.sectionB, 1);
    }
    PositionRec e;
    int angle = 0;
    float length = 0;
    EXPECT_EQ(placeAxleAtDistance(e, b, angle, length, 3.5f, true, true), 0);
    EXPECT_EQ(lastDialogMessage(), "Het blok is te kort !");
}

TEST_F(TrainPlacement, LearningTheApproachStopsAtFourEitherWay) {
    LayoutBuilder().block(1, {{100, 100}, {250, 100}, {400, 100}});  // usable 300, a quarter is 75
    BlockRec* b = blockNumbered(1);
    LocoRec* l = putLocoOnBlock(3, 1, 1, {390, 100}, true, 'H');  // 10 units from the 'H' end
    l->speedValue = 10;  // tolerance 5 x 1.2 = 6 units
    int8_t& learnt = l->blockCorrections[0];
    struct Case {
        int wanted;  // where it should have stood
        int result, expected;
    } cases[] = {
        {30, 1, 1}, {30, 1, 2}, {30, 1, 3}, {30, 1, 4}, {30, 1, 4},  // too far: +1 up to 4
        {14, 1, 4},                                                    // within the tolerance
        {-40, 1, 3},                                                   // stopped 50 short
        {-40, 1, 2}, {-40, 1, 1}, {-40, 1, 0}, {-40, 1, -1}, {-40, 1, -2}, {-40, 1, -3}, {-40, 1, -4}, {-40, 1, -4},
        {-70, 0, -4},  // 80 short: more than a quarter of the block, nothing learnt
    };
    for (const Case& c : cases) {
        EXPECT_EQ(correctApproachSpeed(l, b, c.wanted), c.result) << c.wanted;
        EXPECT_EQ(learnt, c.expected) << c.wanted;
    }
    l->speedValue = 0;  // standing: nothing is stored
    EXPECT_EQ(correctApproachSpeed(l, b, 30), 1);
    EXPECT_EQ(learnt, -4);
    l->speedValue = 10;
    l->direction = 'a';  // backward: nothing to learn
    EXPECT_EQ(correctApproachSpeed(l, b, 30), 1);
    EXPECT_EQ(learnt, -4);
}

TEST_F(TrainPlacement, AtAContactTheTrainStandsJustInsideTheSectionThatReported) {
    buildBlock();
    LocoRec* l = trainWithTwoWagons('H');
    ASSERT_EQ(placeTrainOnBlock(l, blockNumbered(1), 0), 1);
    l->contactRole = 6;
    ASSERT_EQ(placeTrainOnBlock(l, blockNumbered(1), 1), 1);
    EXPECT_FLOAT_EQ(l->rearChain->front.x, 301);  // 10 - 1 units from the end
    // A train too long for the block cannot be corrected: it keeps its place and says why.
    TrainPositionImage before;
    saveTrainPosition(before, l, 0);
    l->frontChain->lengthUnits = 200;
    EXPECT_EQ(placeTrainOnBlock(l, blockNumbered(1), 1), 0);
    EXPECT_EQ(lastDialogMessage(), "Loc 3 kon niet gepositioneerd worden. Ga verder met geforceerd rijden in rangeermode.");
    TrainPositionImage after;
    saveTrainPosition(after, l, 0);
    for (size_t k = 0; k < before.size(); ++k) EXPECT_FLOAT_EQ(after[k].x, before[k].x) << k;
}

TEST_F(TrainPlacement, AForcedTrainLongerThanTheBlockReachesOverTheElementsBehindIt) {
    // Behind the block's 'T' end at x 100: a track back to x 70, then turnout 1 back to x 30.
    LayoutBuilder()
        .turnout('l', 1, {{30, 100}, {70, 100}, {70, 130}})
        .track({{70, 100}, {100, 100}})
        .block(1, {{100, 100}, {300, 100}, {310, 100}})
        .kinds({1, 6});
    turnoutNumbered(1)->position = 'G';
    LocoRec* l = putLocoOnBlock(3, 1, 0, {290, 100}, true, 'H');
    for (int i = 0; i < 4; ++i) coupleTestWagon(l, false, 54);  // 20 + 4 x 60 = 260 units, the block 210
    l->mode = kModeShunting;
    l->flags |= kLocoForce;
    l->contactRole = 6;
    ASSERT_EQ(placeTrainOnBlock(l, blockNumbered(1), 1), 1);
    // The head-side end 9 units from the end; the head 4 units further, the wagons behind it.
    EXPECT_FLOAT_EQ(l->run.head.x, 297);
    const WagonRec* last = lastWagonOf(l->frontChain);
    EXPECT_FLOAT_EQ(last->rear.x, 301 - 248);
    EXPECT_EQ(last->rear.turnout, turnoutNumbered(1));
    EXPECT_EQ(last->front.block, blockNumbered(1));
    EXPECT_EQ(turnoutNumbered(1)->holder, l);
    EXPECT_EQ(turnoutNumbered(1)->runState & 0x20, 0x20);
    EXPECT_EQ(gTracks[0]->locoOnIt, l->slot + 1);
    EXPECT_EQ(l->run.runFlagsB & 0x08, 0x08);
    // Once the train fits its block again, it lets go of them.
    l->flags &= static_cast<uint8_t>(~kLocoForce);
    for (WagonRec* w = l->frontChain; w; w = w->next) w->lengthUnits = 4;
    ASSERT_EQ(placeTrainOnBlock(l, blockNumbered(1), 1), 1);
    EXPECT_EQ(turnoutNumbered(1)->holder, nullptr);
    EXPECT_EQ(turnoutNumbered(1)->runState & 0x20, 0);
    EXPECT_EQ(gTracks[0]->locoOnIt, 0);
    EXPECT_EQ(l->run.runFlagsB & 0x08, 0);
}

TEST_F(TrainPlacement, StandingWhollyOnItsBlock) {
    LayoutBuilder().block(1, {{100, 100}, {300, 100}, {310, 100}}).track({{310, 100}, {400, 100}});
    LocoRec* l = putLocoOnBlock(3, 1, 0, {200, 100}, true, 'H');
    coupleTestWagon(l, true, 20);
    coupleTestWagon(l, false, 20);
    ASSERT_EQ(placeTrainOnBlock(l, blockNumbered(1), 0), 1);
    EXPECT_EQ(isTrainStoppedOnBlock(l, 1), 1);
    l->speedValue = 5;
    EXPECT_EQ(isTrainStoppedOnBlock(l, 0), 1);  // without the message the speed does not count
    EXPECT_EQ(isTrainStoppedOnBlock(l, 1), 0);
    EXPECT_EQ(lastDialogMessage(), "De trein staat niet stil of staat niet volledig op een blok !");
    l->speedValue = 0;
    l->rearChain->front.block = nullptr;
    l->rearChain->front.track = gTracks[0];  // the head-side end over the track
    EXPECT_EQ(isTrainStoppedOnBlock(l, 0), 0);
}

// Block 1 and thirty connecting tracks of 10 units each along y 100, track i from x 200 + 10 i to
// 210 + 10 i.
void buildShortTracks() {
    LayoutBuilder b;
    b.block(1, {{100, 100}, {150, 100}});
    for (int i = 0; i < 30; ++i) b.track({{200 + 10 * i, 100}, {210 + 10 * i, 100}});
}

// A vehicle end on the short track under x, travelling toward +x.
void onShortTrack(PositionRec& p, float x) {
    p = PositionRec{};
    p.track = gTracks[static_cast<int>(x - 200) / 10];
    p.x = x;
    p.y = 100;
    p.sectionA = 0;
    p.sectionB = 1;
    p.dx = 1;
}

// Locomotive 3 with its head at x 395 and n wagons of 14 units behind it, every end on its track.
LocoRec* trainOverShortTracks(int n) {
    LocoRec* l = putLocoOnBlock(3, 1, 0, {150, 100}, true, 'H');
    onShortTrack(l->run.head, 395);
    float x = 395 - gHalfUnit20cm;
    for (int i = 0; i < n; ++i) {
        WagonRec* w = coupleTestWagon(l, false, 14);
        onShortTrack(w->front, x);
        onShortTrack(w->rear, x - 14);
        x -= 20;
    }
    return l;
}

TEST_F(TrainPlacement, AStepProgramBringsTheHeadToTheInputAlongTheTrack) {
    buildShortTracks();
    LocoRec* l = trainOverShortTracks(8);  // the tail at x 231: 17 tracks and one beyond each end
    const WagonRec* last = lastWagonOf(l->frontChain);
    gMousePoint = {405, 100};
    ASSERT_EQ(placeTrainOnConnection(l, nullptr, 1), 1);
    EXPECT_FLOAT_EQ(l->run.head.x, 405);
    EXPECT_EQ(l->run.head.track, gTracks[20]);
    EXPECT_FLOAT_EQ(last->rear.x, 241);
    EXPECT_EQ(last->rear.track, gTracks[4]);
    EXPECT_FLOAT_EQ(last->rear.dx, 1);
    // Back again to an input behind the head: the path reaches one segment beyond the tail, less 2.
    gMousePoint = {400, 100};
    ASSERT_EQ(placeTrainOnConnection(l, nullptr, 1), 1);
    EXPECT_FLOAT_EQ(l->run.head.x, 400);
    EXPECT_FLOAT_EQ(last->rear.x, 236);
    gMousePoint = {380, 100};
    ASSERT_EQ(placeTrainOnConnection(l, nullptr, 1), 1);
    EXPECT_FLOAT_EQ(last->rear.x, 222);  // the path ends at x 220
}

TEST_F(TrainPlacement, APathOfMoreThanTwentySegmentsWithItsExtensionsMovesNothing) {
    buildShortTracks();
    LocoRec* l = trainOverShortTracks(9);  // the tail at x 211: 19 tracks, and one beyond each end
    TrainPositionImage before;
    saveTrainPosition(before, l, 0);
    gMousePoint = {405, 100};
    EXPECT_EQ(placeTrainOnConnection(l, nullptr, 1), 0);
    TrainPositionImage after;
    saveTrainPosition(after, l, 0);
    ASSERT_EQ(after.size(), before.size());
    for (size_t k = 0; k < before.size(); ++k) {
        EXPECT_FLOAT_EQ(after[k].x, before[k].x) << k;
        EXPECT_EQ(after[k].track, before[k].track) << k;
    }
}

}  // namespace
