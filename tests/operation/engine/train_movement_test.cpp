// Trains moving over blocks, tracks and turnouts: the hand-over to the next element, halting where the
// way is not the train's, the heading turn, a shunting train taking and releasing what it runs over,
// and wagons keeping their length and their distance.
#include "engine_fixture.h"

#include <cmath>

#include "operation/engine/train_movement.h"
#include "operation/engine/train_placement.h"

namespace {

class TrainMovement : public EngineTest {
protected:
    // Runs cycles until the train is halted or has stood still (at most `limit` cycles); each cycle calls
    // check().
    template <class Check>
    void runUntilHalted(LocoRec* l, int limit, Check check) {
        for (int i = 0; i < limit && !(l->run.runFlagsA & 0x01) && (l->currentStep != 0 || l->targetStep != 0); ++i) {
            tick();
            check();
        }
    }
    void runUntilHalted(LocoRec* l, int limit) {
        runUntilHalted(l, limit, [] {});
    }
    // A train running at `speed` pixels per cycle at step 1 (entry 4 of its table).
    static void setSpeed(LocoRec* l, int speed) {
        l->speedTable[126 / 28] = static_cast<uint8_t>(speed);
        l->targetStep = l->currentStep = 1;
        l->speedValue = static_cast<int16_t>(speed);
        l->run.lastStepSent = 1;
    }
    static void shunt(LocoRec* l) {
        l->mode = kModeShunting;
        l->flags |= kLocoForce;
    }
};

// Block 1 (x 99..501) -> track with a right-angle bend -> turnout 1 ('r', root at the track's end) -> block 2
// down to y 459. Every coordinate is a multiple of 3 and the trains run 3 pixels per cycle, so that ends
// land exactly on every point.
void buildBendLayout() {
    LayoutBuilder()
        .block(1, {{99, 99}, {300, 99}, {501, 99}})
        .track({{501, 99}, {600, 99}, {600, 201}})
        .turnout('r', 1, {{600, 201}, {600, 261}, {630, 261}})
        .block(2, {{600, 261}, {600, 360}, {600, 459}})
        .measureBlocks();
}

TEST_F(TrainMovement, DoubleSlipEnteredAtPointThreeLeavesByItsPosition) {
    for (char position : {'G', 'R'}) {
        SCOPED_TRACE(position);
        clearTestTrains();
        LayoutBuilder()
            .block(1, {{0, 300}, {50, 300}, {90, 300}})
            .track({{0, 150}, {100, 150}})
            .turnout('k', 1, {{100, 50}, {200, 150}, {200, 50}, {100, 150}});
        turnoutNumbered(1)->position = position;
        LocoRec* l = putLocoOnBlock(3, 1, 0, {10, 300}, true, 'H');
        shunt(l);
        setSpeed(l, 3);
        PositionRec& head = l->run.head;
        head.track = gTracks[0];
        head.sectionA = 0;
        head.sectionB = 1;
        head.x = 100;
        head.y = 150;
        int angle = kNoAngle;
        float length = 0;
        ASSERT_EQ(findPieceAtPosition(head, kEndLeading | kEndTrailing, l, angle, length), 1);
        EXPECT_EQ(head.turnout, turnoutNumbered(1));
        EXPECT_EQ(head.track, nullptr);
        EXPECT_EQ(head.block, blockNumbered(1));  // the head keeps the block it came from
        EXPECT_EQ(head.sectionA, 3);
        EXPECT_EQ(head.sectionB, position == 'G' ? 2 : 1);
        EXPECT_EQ(turnoutNumbered(1)->holder, l);  // taken by the shunting train's leading end
        EXPECT_EQ(gTracks[0]->locoOnIt, 0);        // its trailing end left the track
    }
}

TEST_F(TrainMovement, APlainTurnoutsUnusedLegIsNoWayOn) {
    LayoutBuilder()
        .block(1, {{100, 300}, {150, 300}, {200, 300}})
        .track({{40, 40}, {2, 2}})
        .turnout('l', 1, {{300, 100}, {340, 100}, {338, 110}});  // leg 3 unused at 0,0
    LocoRec* l = putLocoOnBlock(3, 1, 0, {120, 300}, true, 'H');
    shunt(l);
    setSpeed(l, 3);
    PositionRec& head = l->run.head;
    head.track = gTracks[0];
    head.sectionA = 0;
    head.sectionB = 1;
    head.x = head.y = 2;
    int angle = kNoAngle;
    float length = 0;
    EXPECT_EQ(findPieceAtPosition(head, kEndLeading | kEndTrailing, l, angle, length), 0);
    EXPECT_EQ(head.turnout, nullptr);
    EXPECT_EQ(l->run.runFlagsA & 0x01, 0x01);
}

TEST_F(TrainMovement, HaltsBeforeABlockAssignedToAnotherTrain) {
    LayoutBuilder().block(1, {{100, 100}, {300, 100}, {500, 100}}).block(2, {{500, 100}, {600, 100}, {700, 100}})
        .measureBlocks();
    ConnectionRec c;
    c.from = blockNumbered(1);
    c.to = blockNumbered(2);
    c.direction = 'H';
    LocoRec* other = putLocoOnBlock(4, 2, 1, {680, 100}, true, 'H');
    other->targetStep = other->currentStep = 0;
    LocoRec* l = putLocoOnBlock(3, 1, 1, {470, 100}, true, 'H');
    l->connection = &c;
    setSpeed(l, 3);
    runUntilHalted(l, 50);
    EXPECT_EQ(l->run.runFlagsA & 0x01, 0x01);
    EXPECT_EQ(l->targetStep, 0);
    EXPECT_EQ(l->effectiveStepDelay, calcStepDelay(l, 7));
    EXPECT_EQ(l->run.head.block, blockNumbered(1));
    EXPECT_FLOAT_EQ(l->run.head.x, 500);
    EXPECT_EQ(blockNumbered(2)->assignedTrain, other);
    l->connection = nullptr;
}

TEST_F(TrainMovement, EnteringABlockAtItsLastPointTurnsTheHeadingOnce) {
    LayoutBuilder()
        .block(1, {{99, 99}, {300, 99}, {501, 99}})
        .track({{501, 99}, {600, 99}, {600, 201}})
        .block(2, {{900, 201}, {750, 201}, {600, 201}})
        .kinds({0, 0})  // no stop section: the train runs on to the block's end
        .measureBlocks();
    ConnectionRec c;
    c.from = blockNumbered(1);
    c.to = blockNumbered(2);
    c.direction = 'H';
    c.to->assignedTrain = nullptr;
    LocoRec* l = putLocoOnBlock(3, 1, 1, {450, 99}, true, 'H');
    c.to->assignedTrain = l;
    l->connection = &c;
    setSpeed(l, 3);
    gNetLinkState = 30;
    runUntilHalted(l, 400);
    int turns = 0;
    for (const NetRecord& r : netRecords()) turns += r.kind == 2 && r.code == 31;
    EXPECT_EQ(turns, 1);
    EXPECT_EQ(l->heading, 'T');
    EXPECT_EQ(l->run.head.block, blockNumbered(2));
    EXPECT_EQ(l->run.runFlagsA & 0x03, 0x03);  // departed, then halted at the far end of block 2
    EXPECT_FLOAT_EQ(l->run.head.x, 900);
    EXPECT_EQ(gTracks[0]->locoOnIt, 0);  // the head alone is also its trailing end
    l->connection = nullptr;
}

TEST_F(TrainMovement, ShuntingTrainTakesAndReleasesAndWagonsKeepTheirLength) {
    buildBendLayout();
    gHalfUnit20cm = 6;
    LocoRec* l = putLocoOnBlock(3, 1, 1, {402, 99}, true, 'H');
    hangWagons(l, 3, 21);
    shunt(l);
    setSpeed(l, 3);
    TurnoutRec* t = turnoutNumbered(1);
    bool held = false;
    bool releasedBehind = false;
    auto distance = [](const PositionRec& a, const PositionRec& b) { return std::hypot(a.x - b.x, a.y - b.y); };
    auto sameSegment = [](const PositionRec& a, const PositionRec& b) {
        const bool sameElement = a.track || b.track ? a.track == b.track
                                 : a.turnout || b.turnout ? a.turnout == b.turnout
                                                          : a.block == b.block;
        return sameElement && a.sectionA == b.sectionA && a.sectionB == b.sectionB;
    };
    auto check = [&] {
        bool onTurnout = l->run.head.turnout == t;
        const PositionRec* previous = &l->run.head;
        int gap = gHalfUnit20cm;
        for (WagonRec* w = l->frontChain; w; w = w->next) {
            onTurnout = onTurnout || w->front.turnout == t || w->rear.turnout == t;
            if (sameSegment(*previous, w->front)) {
                EXPECT_NEAR(distance(*previous, w->front), gap, 1e-3);
            }
            if (sameSegment(w->front, w->rear)) {
                EXPECT_NEAR(distance(w->front, w->rear), w->lengthUnits, 1e-3);
            }
            previous = &w->rear;
            gap = 6;
        }
        if (onTurnout) {
            held = held || t->holder == l;
            EXPECT_EQ(t->holder, l);
        }
        if (held && !onTurnout && !releasedBehind) {
            EXPECT_EQ(t->holder, nullptr);
            EXPECT_EQ(gFifoRecheckCountdown, 3);
            releasedBehind = true;
        }
    };
    runUntilHalted(l, 400, check);
    EXPECT_TRUE(held);
    EXPECT_TRUE(releasedBehind);
    EXPECT_EQ(blockNumbered(1)->assignedTrain, nullptr);  // left behind
    EXPECT_EQ(blockNumbered(2)->assignedTrain, l);        // taken ahead
    // Halted at the end of block 2, the whole train stands in its last section, every distance exact.
    EXPECT_FLOAT_EQ(l->run.head.y, 459);
    float y = 459 - 6;
    for (WagonRec* w = l->frontChain; w; w = w->next) {
        EXPECT_EQ(w->front.block, blockNumbered(2));
        EXPECT_FLOAT_EQ(w->front.y, y);
        EXPECT_FLOAT_EQ(w->rear.y, y - 21);
        y -= 21 + 6;
    }
}

TEST_F(TrainMovement, ShuntingTrainHaltsBeforeAHeldTurnout) {
    buildBendLayout();
    LocoRec* other = putLocoOnBlock(4, 2, 1, {600, 420}, true, 'H');
    turnoutNumbered(1)->holder = other;
    LocoRec* l = putLocoOnBlock(3, 1, 1, {450, 99}, true, 'H');
    shunt(l);
    setSpeed(l, 3);
    runUntilHalted(l, 400);
    EXPECT_EQ(l->run.runFlagsA & 0x01, 0x01);
    EXPECT_EQ(l->targetStep, 0);
    EXPECT_EQ(l->run.head.track, gTracks[0]);
    EXPECT_FLOAT_EQ(l->run.head.y, 201);
    EXPECT_EQ(turnoutNumbered(1)->holder, other);
    // Released, and the shunting train is given a speed again: it runs on.
    turnoutNumbered(1)->holder = nullptr;
    setSpeed(l, 3);
    tick();
    EXPECT_EQ(l->run.runFlagsA & 0x01, 0);
    EXPECT_EQ(l->run.head.turnout, turnoutNumbered(1));
    EXPECT_EQ(turnoutNumbered(1)->holder, l);
}

}  // namespace
