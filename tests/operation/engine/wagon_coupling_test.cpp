// Coupling, uncoupling and taking wagons off the track, and finding them under the mouse point. After
// every change the three zones of gWagons (loose, coupled, off the track), the counts, the slots and
// the links must still agree.
#include "wagon_fixture.h"

#include <string>

#include "layout/model/scale.h"
#include "operation/control/loco_operation.h"
#include "operation/engine/train_placement.h"
#include "operation/engine/wagon_coupling.h"
#include "shell/config/messages.h"
#include "shell/model/input_state.h"

namespace {

class WagonCoupling : public WagonFixture {};

TEST_F(WagonCoupling, UncouplingCutsEachChainOnItsOwnSide) {
    struct Row {
        const char* name;
        int front, rear;
        bool inFront;
        int at;  // index in the chain from its first wagon (the rear chain's outermost)
        int frontLeft, rearLeft;
    };
    const Row rows[] = {
        {"first front wagon empties the front chain", 3, 1, true, 0, 0, 1},
        {"middle front wagon keeps the ones before it", 3, 0, true, 1, 1, 0},
        {"outermost rear wagon frees only it", 1, 3, false, 0, 1, 2},
        {"innermost rear wagon frees the whole rear chain", 0, 3, false, 2, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        clearTestTrains();
        LocoRec* l = train(r.front, r.rear);
        checkTrainLength(l);
        const int before = l->trainLength;
        blockNumbered(1)->state &= static_cast<uint8_t>(~0x10);
        WagonRec* cutAt = nth(r.inFront ? l->frontChain : l->rearChain, r.at);
        const int cutCount = r.front + r.rear - r.frontLeft - r.rearLeft;

        ASSERT_EQ(uncoupleWagons(l, cutAt), 1);
        EXPECT_EQ(chainLength(l->frontChain), r.frontLeft);
        EXPECT_EQ(chainLength(l->rearChain), r.rearLeft);
        EXPECT_EQ(gWagonCounts.loose, cutCount);
        // The cut-off wagons form one loose run in chain order, marked on their block.
        EXPECT_EQ(gWagons[0]->previous, nullptr);
        EXPECT_EQ(chainLength(gWagons[0]), cutCount);
        EXPECT_EQ(r.inFront ? gWagons[0] : lastWagonOf(gWagons[0]), cutAt);
        EXPECT_TRUE(blockMarked());
        EXPECT_EQ(l->trainLength, std::max(before - 26 * cutCount, 20));
        expectZonesTrue();
    }
}

TEST_F(WagonCoupling, UncouplingRefusesAWagonOfAnotherTrainAndKeepsTheLengthFloor) {
    LocoRec* l = train(3, 0);
    LocoRec* other = train(1, 0, 4);
    WagonRec* foreign = other->frontChain;
    EXPECT_EQ(uncoupleWagons(l, foreign), 0);
    EXPECT_EQ(uncoupleWagons(l, nullptr), 0);
    EXPECT_EQ(chainLength(l->frontChain), 3);
    EXPECT_EQ(gWagonCounts.loose, 0);
    expectZonesTrue();

    l->trainLength = 40;  // less than the wagons: the floor is the locomotive's 20 cm
    ASSERT_EQ(uncoupleWagons(l, l->frontChain), 1);
    EXPECT_EQ(l->trainLength, 20);
    expectZonesTrue();
}

TEST_F(WagonCoupling, TakingALooseWagonOffClearsTheMarkOnlyWhenNoOtherLooseWagonStandsThere) {
    LocoRec* l = train(2, 0);
    ASSERT_EQ(uncoupleWagons(l, l->frontChain), 1);
    ASSERT_EQ(gWagonCounts.loose, 2);
    WagonRec* first = gWagons[0];
    WagonRec* second = gWagons[1];
    ASSERT_TRUE(blockMarked());

    ASSERT_EQ(takeWagonOffTrack(first, 1), 1);
    EXPECT_TRUE(blockMarked()) << "the other loose wagon still stands on the block";
    EXPECT_EQ(second->previous, nullptr);
    EXPECT_EQ(gWagons.indexOf(first), gWagonCounts.coupledEnd);
    expectZonesTrue();

    ASSERT_EQ(takeWagonOffTrack(second, 1), 1);
    EXPECT_FALSE(blockMarked());
    EXPECT_EQ(gWagonCounts.loose, 0);
    expectZonesTrue();
}

TEST_F(WagonCoupling, TakingACoupledWagonOffLeavesTheWagonsBeyondItAsALooseRun) {
    gNetLinkState = 30;
    LocoRec* l = train(4, 0);
    WagonRec* taken = nth(l->frontChain, 1);
    ASSERT_EQ(gWagons.indexOf(taken), 1);

    ASSERT_EQ(takeWagonOffTrack(taken, 0), 1);
    EXPECT_EQ(chainLength(l->frontChain), 1);
    EXPECT_EQ(gWagonCounts.loose, 2);
    EXPECT_EQ(chainLength(gWagons[0]), 2) << "the two wagons beyond stay linked";
    EXPECT_EQ(gWagons.indexOf(taken), gWagonCounts.coupledEnd);
    EXPECT_TRUE(blockMarked());
    expectZonesTrue();
    // Uncoupled at slot 1, then taken off from the loose slot 0.
    const std::vector<Bytes> expected = {
        {3, 47, 0, 0, 1, 0, 0, 0},
        {3, 41, 0, 0, 0, 0, 0, 0},
    };
    EXPECT_EQ(netRecordBytes(), expected);
}

TEST_F(WagonCoupling, TakingAWagonThatIsNotOnTheTrackChangesNothing) {
    gNetLinkState = 30;
    LocoRec* l = train(2, 0);
    WagonRec* off = offTrackWagon();
    WagonRec* later = offTrackWagon();
    EXPECT_EQ(takeWagonOffTrack(off, 1), 0);
    EXPECT_EQ(gWagons.indexOf(off), 2);
    EXPECT_EQ(gWagons.indexOf(later), 3);
    EXPECT_EQ(gWagonCounts.loose, 0);
    EXPECT_EQ(gWagonCounts.coupledEnd, 2);
    EXPECT_EQ(chainLength(l->frontChain), 2);
    EXPECT_EQ(gNetOutFill, 0);
    expectZonesTrue();
}

TEST_F(WagonCoupling, CouplingAWagonAtEachPlaceOfTheSequence) {
    // Places: rear chain from its outermost wagon (0, 1), the locomotive (2), front chain (3, 4), the end (5).
    struct Row {
        int n;
        int rearIndex, frontIndex;  // where the wagon ends up (-1 not in that chain)
    };
    const Row rows[] = {{0, 0, -1}, {1, 1, -1}, {2, 2, -1}, {3, -1, 0}, {4, -1, 1}, {5, -1, 2}};
    for (const Row& r : rows) {
        SCOPED_TRACE("place " + std::to_string(r.n));
        clearTestTrains();
        LocoRec* l = train(2, 2);
        gLocsOnTrack.clear();  // standing off the track: no placement
        WagonRec* w = offTrackWagon();
        const PositionRec headSide = l->rearChain->front;
        ASSERT_EQ(coupleWagon(l, w, r.n), 1);
        EXPECT_EQ(w->owner, l);
        if (r.rearIndex >= 0) { EXPECT_EQ(nth(l->rearChain, r.rearIndex), w); }
        if (r.frontIndex >= 0) { EXPECT_EQ(nth(l->frontChain, r.frontIndex), w); }
        if (r.n == 0) { EXPECT_EQ(w->front.x, headSide.x); }
        EXPECT_EQ(chainLength(l->frontChain) + chainLength(l->rearChain), 5);
        expectZonesTrue();
    }
}

TEST_F(WagonCoupling, CouplingBeyondTheSequenceCouplesNothing) {
    LocoRec* l = train(1, 1);
    gLocsOnTrack.clear();
    WagonRec* w = offTrackWagon();
    for (int n : {4, 7, -1}) {
        EXPECT_EQ(coupleWagon(l, w, n), 0) << n;
        EXPECT_EQ(w->owner, nullptr);
        EXPECT_EQ(chainLength(l->frontChain) + chainLength(l->rearChain), 2);
        expectZonesTrue();
    }
    // A wagon already in a train is not coupled again.
    EXPECT_EQ(coupleWagon(l, l->frontChain, 0), 0);
    expectZonesTrue();
}

TEST_F(WagonCoupling, UnlinkingPutsTheWagonFirstInTheOffTrackZone) {
    LocoRec* l = train(3, 1);
    gLocsOnTrack.clear();
    WagonRec* extra = offTrackWagon();
    for (WagonRec* w : {l->frontChain, nth(l->frontChain, 1), l->rearChain}) {
        unlinkWagon(w, l, 1);
        EXPECT_EQ(gWagons.indexOf(w), gWagonCounts.coupledEnd);
        EXPECT_FALSE(onTrack(w->front));
        expectZonesTrue();
    }
    EXPECT_EQ(chainLength(l->frontChain), 1);
    EXPECT_EQ(l->rearChain, nullptr);
    EXPECT_EQ(gWagons.indexOf(extra), gWagonTotal - 1);
}

TEST_F(WagonCoupling, PickingAWagonAtItsToleranceEdges) {
    // A loose wagon from x 150 to 130 and locomotive 3's front wagon from x 290 to 270, all at y 100.
    LocoRec* l = train(1, 0);
    LocoRec* other = train(1, 0, 4);
    ASSERT_EQ(uncoupleWagons(other, other->frontChain), 1);
    WagonRec* loose = gWagons[0];
    standAt(loose, 150, 130);
    WagonRec* coupled = l->frontChain;
    struct Row {
        int mode;
        int x, offset;
        WagonRec* expected;
    };
    const Row rows[] = {
        {1, 140, 3, loose},   {1, 140, 4, nullptr}, {1, 280, 3, coupled}, {1, 280, 4, nullptr},
        {2, 140, 0, nullptr}, {2, 280, 3, coupled}, {2, 280, 4, nullptr}, {4, 280, 4, coupled},
        {4, 280, 5, nullptr}, {3, 280, 2, coupled}, {3, 280, 3, nullptr}, {3, 140, 0, nullptr},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("mode " + std::to_string(r.mode) + " at " + std::to_string(r.x) + " offset " +
                     std::to_string(r.offset));
        gMousePoint = {r.x, 100 + r.offset};
        WagonHit hit;
        hit.loco = l;
        EXPECT_EQ(pickWagonAt(hit, r.mode), r.expected ? 411 : 0);
        if (!r.expected) continue;
        EXPECT_EQ(hit.wagon, r.expected);
        EXPECT_EQ(hit.first, r.expected);
        EXPECT_EQ(hit.loco, r.expected == loose ? nullptr : l);
    }
    expectZonesTrue();
}

TEST_F(WagonCoupling, PickingATrainAnswersAWagonOrAGap) {
    LocoRec* l = train(2, 0);  // head at 300; wagons 290-270 and 264-244
    struct Row {
        int x;
        WagonRec* wagon;
        bool hit;
    };
    const Row rows[] = {{295, nullptr, true}, {280, l->frontChain, true}, {250, nth(l->frontChain, 1), true}, {200, nullptr, false}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.x);
        gMousePoint = {r.x, 101};
        WagonHit hit;
        ASSERT_EQ(pickTrainWagonAt(hit), r.hit ? 411 : 0);
        if (!r.hit) continue;
        EXPECT_EQ(hit.loco, l);
        EXPECT_EQ(hit.row, 0);
        EXPECT_EQ(hit.wagon, r.wagon);
    }
}

TEST_F(WagonCoupling, ATrainMovingForwardCouplesTheRunItReaches) {
    gNetLinkState = 30;
    struct Row {
        const char* name;
        bool facingTrain;  // the run's first wagon's front end is the one nearest the locomotive
        float nearEnd;     // x of the run's end nearest the head at 300 (catch distance 10)
        int expected;
    };
    const Row rows[] = {
        {"met at its last wagon's rear end", false, 305, 1},
        {"met at its first wagon's front end: coupled reversed", true, 305, 1},
        {"at the catch distance", false, 310, 1},
        {"beyond the catch distance", false, 311, 0},
        {"behind the head", false, 299, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        clearTestTrains();
        gNetOutFill = 0;
        LocoRec* l = train(1, 0);
        const float x = r.nearEnd;
        const std::vector<WagonRec*> run =
            r.facingTrain ? looseRun({{x, x + 4}, {x + 10, x + 14}, {x + 20, x + 24}})
                          : looseRun({{x + 24, x + 20}, {x + 14, x + 10}, {x + 4, x}});
        checkTrainLength(l);
        const int length = l->trainLength;

        ASSERT_EQ(coupleTrain(l), r.expected);
        expectZonesTrue();
        if (!r.expected) {
            EXPECT_EQ(gWagonCounts.loose, 3);
            EXPECT_EQ(gNetOutFill, 0);
            continue;
        }
        EXPECT_EQ(gWagonCounts.loose, 0);
        EXPECT_FALSE(blockMarked());
        EXPECT_EQ(l->trainLength, length + 3 * 10);
        EXPECT_NE(l->run.runFlagsA & 0x08, 0);
        // The rear chain runs from its outermost wagon to the locomotive.
        const std::vector<WagonRec*> expectedChain =
            r.facingTrain ? std::vector<WagonRec*>{run[2], run[1], run[0]} : run;
        EXPECT_EQ(l->rearChain, expectedChain[0]);
        EXPECT_EQ(nth(l->rearChain, 1), expectedChain[1]);
        EXPECT_EQ(nth(l->rearChain, 2), expectedChain[2]);
        EXPECT_EQ(nth(l->rearChain, 3), nullptr);
        EXPECT_GT(l->rearChain->front.x, l->rearChain->rear.x) << "each wagon's front faces away";
        // Reversed flag, slot of the run's first wagon, locomotive number and slot, 0.
        const Bytes record = {3, 46, static_cast<uint8_t>(r.facingTrain), 0, 0, 0, 3, 0, 0, 0, 0, 0};
        EXPECT_EQ(Bytes(gNetOutBuffer, gNetOutBuffer + gNetOutFill), record);
    }
}

TEST_F(WagonCoupling, ATrainMovingBackCouplesBehindItsFrontChain) {
    LocoRec* l = train(1, 0);  // its wagon from x 290 to 270
    l->direction = 'a';
    reversePosition(l->run.head);
    reversePosition(l->frontChain->front);
    reversePosition(l->frontChain->rear);
    const std::vector<WagonRec*> run = looseRun({{265, 261}, {255, 251}, {245, 241}});

    ASSERT_EQ(coupleTrain(l), 1);
    expectZonesTrue();
    EXPECT_EQ(nth(l->frontChain, 1), run[0]);
    EXPECT_EQ(nth(l->frontChain, 3), run[2]);
    // The run stood in the other section order: its ends now travel the train's way.
    EXPECT_EQ(run[0]->front.dx, -1);
    EXPECT_EQ(run[0]->front.sectionA, l->frontChain->rear.sectionA);
}

TEST_F(WagonCoupling, MoreThanTwentyWagonsAreRefusedAndTheLocomotiveStops) {
    showDialogMessage("", 3);
    LocoRec* l = putLocoOnBlock(3, 1, 0, {300, 100}, true, 'H');
    hangWagons(l, 18, 4);
    looseRun({{329, 325}, {319, 315}, {309, 305}});
    l->currentStep = l->targetStep = 10;

    EXPECT_EQ(coupleTrain(l), 0);
    EXPECT_EQ(lastDialogMessage(), "Koppeling niet mogelijk: max. aantal wagons overschreden");
    EXPECT_EQ(l->targetStep, 0);
    EXPECT_EQ(l->rearChain, nullptr);
    EXPECT_EQ(gWagonCounts.loose, 3);
    EXPECT_TRUE(blockMarked());
    expectZonesTrue();
    showDialogMessage("", 3);
}

TEST_F(WagonCoupling, PointBeyondFollowsTheDirection) {
    PositionRec end, candidate;
    end.x = end.y = 10;
    candidate.x = candidate.y = 12;
    EXPECT_TRUE(pointBeyondWagon(candidate, end, 1, 0));
    EXPECT_FALSE(pointBeyondWagon(candidate, end, -1, 0));
    EXPECT_TRUE(pointBeyondWagon(candidate, end, 0, 1));
    EXPECT_FALSE(pointBeyondWagon(candidate, end, 0, -1));
    EXPECT_FALSE(pointBeyondWagon(candidate, end, 0, 0));
}

}  // namespace
