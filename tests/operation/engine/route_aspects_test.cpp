// Block-end aspects and what trains make of them: the connection evaluation with its reasons, the first
// set connection deciding a block end, orange, the orange-light speed, the reason codes, the FIFO of
// waiting trains and route progress.
#include "engine_fixture.h"

#include <algorithm>

#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/engine/route_aspects.h"
#include "operation/engine/train_reservation.h"
#include "operation/model/route_file.h"
#include "shell/config/messages.h"

namespace {

// One more connection on the layout standing (a LayoutBuilder would start a new layout).
void addConnection(int from, int to, char direction) {
    auto c = std::make_unique<ConnectionRec>();
    c->from = blockNumbered(from);
    c->to = blockNumbered(to);
    c->direction = direction;
    gConnections.append(std::move(c));
}

class RouteAspects : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        gUnit15cm = 20;
        clearRunningFifo();
        clearRoutes();
        // Block 1 leads through turnout 1 to block 2 ('G') or block 3 ('R'); block 2 leads back.
        LayoutBuilder()
            .block(1, {{100, 100}, {200, 100}, {300, 100}})
            .block(2, {{400, 100}, {500, 100}, {600, 100}})
            .block(3, {{400, 200}, {500, 200}, {600, 200}})
            .turnout('r', 1, {{300, 100}, {400, 100}, {400, 200}})
            .signal(5, 1, 'H')
            .connection(1, 2, 'H', {{1, 'G'}})
            .connection(1, 3, 'H', {{1, 'R'}})
            .connection(2, 1, 'T', {{1, 'G'}})
            .measureBlocks();
        for (BlockRec* b : gBlocks) b->totalLength = 300;
        train = putLocoOnBlock(3, 1, 1, {280, 100}, true, 'H');
        train->mode = kModeAuto;
        train->kind = 1;
        train->trainLength = 50;
        train->run.maxSpeed = 130;
        gBlockedReason = 0;
    }
    void TearDown() override {
        clearRunningFifo();
        clearRoutes();
        showDialogMessage("", 3);
        EngineTest::TearDown();
    }
    ConnectionRec* connection(int i) { return gConnections[i]; }
    LocoRec* train = nullptr;
};

TEST_F(RouteAspects, EachTestOfTheConnectionWithItsReason) {
    struct Case {
        const char* what;
        void (*set)(LocoRec* t);
        int evalOnly;
        char aspect;
        uint8_t reason;
    };
    const Case cases[] = {
        {"free", [](LocoRec*) {}, 0, 'G', 0},
        {"forced red", [](LocoRec*) { blockNumbered(1)->hAspect = 'S'; }, 0, 'S', 0x01},
        {"manual turnout wrong",
         [](LocoRec*) {
             turnoutNumbered(1)->options = 2;
             turnoutNumbered(1)->position = 'R';
         },
         0, 'R', 0x40},
        {"direction", [](LocoRec*) { blockNumbered(2)->allowedDirection = 'T'; }, 0, 'R', 0x02},
        {"too long", [](LocoRec* t) { t->trainLength = 281; }, 0, 'R', 0x04},
        {"too long, forced forward",
         [](LocoRec* t) {
             t->trainLength = 281;
             t->flags |= kLocoForce;
         },
         0, 'G', 0},
        {"kind", [](LocoRec*) { blockNumbered(2)->allowedTrains = 0x82; }, 0, 'R', 0x08},
        {"no catenary",
         [](LocoRec* t) {
             t->motor = 2;
             blockNumbered(2)->allowedTrains = 0x0F;
         },
         0, 'R', 0x08},
        {"occupied", [](LocoRec*) { blockNumbered(2)->occupiedSections = 1; }, 0, 'R', 0x20},
        {"assigned to another", [](LocoRec*) { blockNumbered(2)->assignedTrain = findLocoByNumber(9); }, 0, 'R', 0x20},
        {"assigned to another, evaluated only",
         [](LocoRec*) { blockNumbered(2)->assignedTrain = findLocoByNumber(9); }, 1, 'G', 0},
        {"turnout held", [](LocoRec*) { turnoutNumbered(1)->holder = findLocoByNumber(9); }, 0, 'R', 0x10},
    };
    LocoRec* other = putLocoOnBlock(9, 3, 0, {450, 200}, true, 'H');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BlockRec* b2 = blockNumbered(2);
        blockNumbered(1)->hAspect = 'G';
        b2->allowedDirection = 'B';
        b2->allowedTrains = 0x8F;
        b2->occupiedSections = 0;
        b2->assignedTrain = nullptr;
        TurnoutRec* t = turnoutNumbered(1);
        t->options = 0;
        t->position = 'G';
        t->holder = nullptr;
        train->trainLength = 50;
        train->flags = 0;
        train->motor = 0;
        c.set(train);
        gBlockedReason = 0;
        const int green = routeAspect(connection(0), train, c.evalOnly);
        EXPECT_EQ(green, c.aspect == 'G');
        EXPECT_EQ(gBlockedReason, c.reason);
        if (!c.evalOnly) {
            EXPECT_EQ(blockNumbered(1)->hAspect, c.aspect);
        }
    }
    (void)other;
}

TEST_F(RouteAspects, TheFirstSetConnectionDecidesABlockEnd) {
    blockNumbered(3)->occupiedSections = 1;  // block 3 reports a vehicle nobody is assigned to
    turnoutNumbered(1)->position = 'R';      // only the connection to block 3 is set
    updateRoutes();
    EXPECT_EQ(blockNumbered(1)->hAspect, 'R');
    EXPECT_EQ(signalNumbered(5)->aspect, 'R');
    turnoutNumbered(1)->position = 'G';
    updateRoutes();
    EXPECT_EQ(blockNumbered(1)->hAspect, 'G');
    EXPECT_EQ(signalNumbered(5)->aspect, 'G');
    // A forced red end stays.
    blockNumbered(1)->hAspect = 'S';
    updateRoutes();
    EXPECT_EQ(blockNumbered(1)->hAspect, 'S');
}

TEST_F(RouteAspects, GreenTurnsOrangeBeforeARedEndThroughAReversingLoop) {
    for (bool loop : {false, true}) {
        SCOPED_TRACE(loop);
        connection(0)->loop = loop ? 1 : 0;
        BlockRec* b1 = blockNumbered(1);
        BlockRec* b2 = blockNumbered(2);
        b1->orangeEnds = 0x01;
        b2->hAspect = 'G';  // block 2's 'H' end: the next end straight on
        b2->tAspect = 'R';  // its 'T' end: the next end through a reversing loop
        connection(2)->from = nullptr;  // block 2 keeps the ends set here
        updateRoutes();
        EXPECT_EQ(b1->hAspect, loop ? 'O' : 'G');
        connection(2)->from = b2;
    }
}

TEST_F(RouteAspects, OrangeLightSlowsTheArrivedTrain) {
    gSettings.edtSnelhOranje = 40;
    SignalRec* s = signalNumbered(5);
    s->orangeNumber = 6;
    BlockRec* b1 = blockNumbered(1);
    b1->orangeEnds = 0x01;
    b1->arrivedTrain = train;
    train->targetStep = train->currentStep = 23;
    train->shownSpeed = static_cast<int16_t>(speedTableEntry(*train, 23));
    train->contactRole = 6;
    blockNumbered(2)->assignedTrain = putLocoOnBlock(9, 2, 0, {450, 100}, true, 'H');  // next end red
    connection(2)->from = nullptr;  // block 2 keeps no aspect of its own
    blockNumbered(2)->hAspect = 'R';
    blockNumbered(2)->assignedTrain = nullptr;
    updateRoutes();
    EXPECT_EQ(s->aspect, 'O');
    EXPECT_EQ(train->targetStep, speedStepForSpeed(train, 40));
    EXPECT_EQ(speedTableEntry(*train, train->targetStep), 40);
}

TEST_F(RouteAspects, ReasonCodesOfTheTrainsOwnBlock) {
    BlockRec* b1 = blockNumbered(1);
    train->contactRole = 6;
    struct Case {
        const char* what;
        void (*set)(LocoRec*);
        char aspect;
        uint8_t reason;
    };
    const Case cases[] = {
        {"not running", [](LocoRec* t) { t->running = 0; }, 'S', 128},
        {"waiting", [](LocoRec*) { blockNumbered(1)->remainingWait = 5; }, 'S', 129},
        {"route train without line", [](LocoRec* t) { t->mode = kModeRoute; }, 'S', 130},
        {"forced red", [](LocoRec*) { blockNumbered(1)->hAspect = 'S'; }, 'S', 131},
        {"departed", [](LocoRec* t) { t->run.runFlagsA |= 0x02; }, 'T', 0},
        {"not yet at the stop section", [](LocoRec* t) { t->contactRole = 5; }, 'X', 0},
        {"green", [](LocoRec*) {}, 'G', 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        train->running = 1;
        train->mode = kModeAuto;
        train->contactRole = 6;
        train->run.runFlagsA = 0;
        train->run.currentLine = -1;
        b1->remainingWait = 0;
        b1->hAspect = 'G';
        c.set(train);
        gBlockedReason = 0;
        EXPECT_EQ(sectionAspectForTrain(train, b1), c.aspect);
        EXPECT_EQ(gBlockedReason, c.reason);
    }
    // "Manueel" without a connection whose turnouts are set.
    train->mode = kModeManual;
    train->heading = 'T';  // the connections leave block 1 by its 'H' end only
    train->contactRole = 1;
    b1->tAspect = 'G';
    gBlockedReason = 0;
    chooseConnection(train);
    EXPECT_EQ(gBlockedReason, 132);
    EXPECT_EQ(b1->tAspect, 'R');
}

TEST_F(RouteAspects, AGreenTrainReservesItsWayAndARedOneWaitsInTheFifo) {
    train->contactRole = 6;
    train->targetStep = 0;
    blockNumbered(1)->speed = 80;
    EXPECT_EQ(reevaluateTrain(train), 'G');
    EXPECT_EQ(train->connection, connection(0));
    EXPECT_EQ(blockNumbered(2)->assignedTrain, train);
    EXPECT_EQ(turnoutNumbered(1)->holder, train);
    EXPECT_EQ(blockNumbered(1)->state & 0x01, 0x01);
    EXPECT_EQ(blockNumbered(2)->state & 0x01, 0x01);
    EXPECT_EQ(train->targetStep, speedStepForSpeed(train, 80));
    EXPECT_EQ(runningFifoCount(), 0);

    LocoRec* second = putLocoOnBlock(4, 3, 1, {580, 200}, true, 'H');
    second->mode = kModeAuto;
    second->kind = 1;
    second->contactRole = 6;
    addConnection(3, 2, 'H');
    gBlockedReason = 0;
    EXPECT_EQ(reevaluateTrain(second), 'R');  // block 2 is the first train's
    EXPECT_EQ(gBlockedReason, 0x20);
    EXPECT_EQ(runningFifoCount(), 1);
    EXPECT_EQ(runningFifoAt(0), second);
    addToRunningFifo(second);
    EXPECT_EQ(runningFifoCount(), 1);  // no duplicates
    // The first train releases its way: the waiting one goes.
    train->targetStep = train->currentStep = 0;
    ASSERT_EQ(releaseRouteOfTrain(train, 1), 1);
    EXPECT_EQ(reevaluateFifo(nullptr), 1);
    EXPECT_EQ(runningFifoCount(), 0);
    EXPECT_EQ(blockNumbered(2)->assignedTrain, second);
}

TEST_F(RouteAspects, ATrainAlreadyStoppedAtARedEndTellsTheClientsItsState) {
    LocoRec* second = putLocoOnBlock(4, 3, 1, {580, 200}, true, 'H');
    second->mode = kModeAuto;
    second->kind = 1;
    second->contactRole = 6;
    second->targetStep = 0;
    addConnection(3, 2, 'H');
    blockNumbered(2)->assignedTrain = train;  // block 2 is taken: red
    gNetLinkState = 30;
    gNetOutFill = 0;
    EXPECT_EQ(reevaluateTrain(second), 'R');
    // Kind 2 code 26: number, index in gLocs, target step, then the step delay and the run flag.
    const int index = gLocs.indexOf(second);
    const uint8_t head[8] = {2, 26, 4, 0, static_cast<uint8_t>(index), 0, 0, 0};
    bool found = false;
    for (int at = 0; at + 12 <= gNetOutFill && !found; ++at) found = std::equal(head, head + 8, gNetOutBuffer + at);
    EXPECT_TRUE(found);
    gNetLinkState = 0;
    gNetOutFill = 0;
}

TEST_F(RouteAspects, TheFifoNeverGrowsPastTheTrainsOnTheTrack) {
    LocoRec* a = putLocoOnBlock(4, 2, 0, {450, 100}, true, 'H');
    LocoRec* b = putLocoOnBlock(5, 3, 0, {450, 200}, true, 'H');
    for (LocoRec* l : {train, a, b}) l->mode = kModeAuto;
    addToRunningFifo(train);
    addToRunningFifo(a);
    train->mode = kModeManual;
    addToRunningFifo(train);
    EXPECT_EQ(runningFifoCount(), 2);
    // Taken off the track while it waited: the FIFO holds as many trains as the track.
    gLocsOnTrack.removeAt(gLocsOnTrack.indexOf(b));
    gLocsOnTrack.removeAt(gLocsOnTrack.indexOf(train));
    gLocsOnTrack.append(train);
    showDialogMessage("", 3);
    addToRunningFifo(b);
    EXPECT_EQ(runningFifoCount(), 2);
    EXPECT_EQ(lastDialogMessage(), "Fout met fifowijzer !");
    removeFromRunningFifo(train);
    EXPECT_EQ(runningFifoCount(), 1);
    EXPECT_EQ(runningFifoAt(0), a);
}

class RouteProgress : public RouteAspects {
protected:
    // A route of the lines given as connection indexes; the train follows it from its first line.
    RouteRec* route(std::initializer_list<int> connections) {
        auto r = std::make_unique<RouteRec>();
        r->firstLine = gRouteLineCount;
        for (int c : connections) {
            auto l = std::make_unique<RouteLineRec>();
            l->connection = c;
            gRouteLines.append(std::move(l));
        }
        r->endLine = gRouteLineCount;
        RouteRec* stored = gRoutes.append(std::move(r));
        train->mode = kModeRoute;
        train->route = stored;
        train->run.currentLine = stored->firstLine;
        train->contactRole = 6;
        return stored;
    }
};

TEST_F(RouteProgress, ATrainStandingTheWrongWayIsReversed) {
    connection(0)->direction = 'T';  // the route leaves block 1 by its 'T' end
    route({0, 2});
    connection(2)->to = blockNumbered(1);
    EXPECT_EQ(checkRouteDirection(train, nullptr), 1);
    EXPECT_EQ(train->direction, 'a');
}

TEST_F(RouteProgress, ADepartureBeforeTheModelClockWaitsUntilTheNextDay) {
    RouteRec* r = route({0, 2});
    gRouteLines[r->firstLine]->hour = 9;
    gRouteLines[r->firstLine]->minute = 30;
    gModelClock = {10, 0, 15};
    gTimeBase = 1;
    updateTrainSchedule(train);
    EXPECT_EQ(blockNumbered(1)->remainingWait, 86400 - 1800 - 15);
    gTimeBase = 4;
    updateTrainSchedule(nullptr, r);
    EXPECT_EQ(blockNumbered(1)->remainingWait, (86400 - 1800 - 15) / 4);
    gTimeBase = 1;
}

TEST_F(RouteProgress, ALastLineNotLeadingBackLeavesTheTrainWithoutLine) {
    addConnection(2, 3, 'H');  // connection 3: block 2 to block 3, not back to block 1
    route({0, 3});
    train->run.currentLine = 1;  // at the last line
    train->run.head.block = blockNumbered(2);
    blockNumbered(2)->assignedTrain = train;
    chooseConnection(train);
    EXPECT_EQ(train->run.currentLine, -1);
    gBlockedReason = 0;
    EXPECT_EQ(applyTrainAspect(train), 'S');
    EXPECT_EQ(gBlockedReason, 130);
}

TEST_F(RouteProgress, AStaleRouteLineCountsAsNone) {
    route({0, 2});
    train->run.currentLine = 7;  // outside the route (a locomotive file from another route table)
    gBlockedReason = 0;
    EXPECT_EQ(sectionAspectForTrain(train, blockNumbered(1)), 'S');
    EXPECT_EQ(gBlockedReason, 130);
    EXPECT_EQ(checkRouteDirection(train, nullptr), 0);
    blockNumbered(1)->remainingWait = 0;
    updateTrainSchedule(train);
    EXPECT_EQ(blockNumbered(1)->remainingWait, 0);
}

}  // namespace
