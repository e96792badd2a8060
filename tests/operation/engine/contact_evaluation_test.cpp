// Contacts turned into train events: the section scans with and without track control, a train
// entering a block (speed, turnouts set ahead), reaching its station or stop section (block waits),
// a repeated contact, the reversing loop, a train that took the wrong way; then wanted speeds turned
// into steps, the ramp delay and the start pause.
#include "engine_fixture.h"

#include "operation/engine/contact_evaluation.h"
#include "operation/engine/route_aspects.h"
#include "operation/model/route_file.h"
#include "operation/model/speed_curve.h"

namespace {

// Block 2 has six sections of kinds 1..6 (section 0 at its 'T' end, x 400); block 1 leads into it
// from the left, and block 2 leads on through turnout 1 ('R') to block 3. Block 4 is the wrong way
// out of block 1 (turnout 2 'R').
class ContactEvaluation : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        gUnit15cm = 20;
        gUnit40cm = 40;
        gShortTrainUnits = 30;
        gNetLinkState = 30;
        clearRunningFifo();
        clearRoutes();
        LayoutBuilder()
            .block(1, {{100, 100}, {200, 100}, {300, 100}})
            .block(2, {{400, 100}, {450, 100}, {500, 100}, {550, 100}, {600, 100}, {650, 100}, {700, 100}})
            .kinds({1, 2, 3, 4, 5, 6})
            .block(3, {{800, 200}, {900, 200}, {1000, 200}})
            .block(4, {{400, 300}, {500, 300}, {600, 300}})
            .turnout('r', 1, {{700, 100}, {800, 100}, {800, 200}})
            .turnout('r', 2, {{300, 100}, {400, 100}, {400, 300}})
            .connection(1, 2, 'H', {{2, 'G'}})
            .connection(2, 3, 'H', {{1, 'R'}})
            .connection(1, 4, 'H', {{2, 'R'}})
            .measureBlocks();
        for (BlockRec* b : gBlocks) b->totalLength = 300;
        for (TurnoutRec* t : gTurnouts) t->position = 'G';
        b1 = blockNumbered(1);
        b2 = blockNumbered(2);
        b2->speed = 60;
        train = putLocoOnBlock(3, 1, 1, {280, 100}, true, 'H');
        train->mode = kModeAuto;
        train->kind = 1;
        train->trainLength = 50;
        train->slot = 4;
        train->connection = gConnections[0];
        train->run.runFlagsA |= 0x02;  // departed
        train->shownSpeed = 40;
        train->targetStep = train->currentStep = 9;
        b1->arrivedTrain = train;
        b2->assignedTrain = train;
    }
    void TearDown() override {
        clearRunningFifo();
        clearRoutes();
        gShortTrainUnits = 0;
        EngineTest::TearDown();
    }
    // The head on segment a-b of the block (point indexes), halfway.
    void putHead(BlockRec* b, int a, int bIndex) {
        PositionRec& h = train->run.head;
        h.block = b;
        h.track = nullptr;
        h.turnout = nullptr;
        h.sectionA = a;
        h.sectionB = bIndex;
        h.x = (b->points[a].x + b->points[bIndex].x) / 2.0f;
        h.y = static_cast<float>(b->points[a].y);
    }
    BlockRec* b1 = nullptr;
    BlockRec* b2 = nullptr;
    LocoRec* train = nullptr;
};

TEST_F(ContactEvaluation, TheOccupiedSectionsScannedFromWhereTheTrainArrives) {
    gRunWithTrack = 1;
    gRunWithoutTrack = 0;
    struct Case {
        const char* what;
        char heading, direction;
        bool wagonDetection;
        int length;
        uint16_t occupied;  // bit s: section s (kinds 1..6 from the 'T' end)
        int result, role;
    };
    const Case cases[] = {
        {"nothing occupied", 'H', 'v', false, 50, 0x00, 0, 0},
        {"'H': entered by the kind-1 section", 'H', 'v', false, 50, 0x01, 1, 1},
        {"'H': short-train station passed by a long train", 'H', 'v', false, 50, 0x0F, 1, 1},
        {"'H': short-train station for a short train", 'H', 'v', false, 30, 0x0F, 3, 4},
        {"'H': station", 'H', 'v', false, 50, 0x18, 3, 5},
        {"'H': stop section", 'H', 'v', false, 50, 0x30, 2, 6},
        {"'T': entered by the kind-6 section", 'T', 'v', false, 50, 0x20, 1, 6},
        {"'T': stations of the other end count nothing", 'T', 'v', false, 50, 0x1C, 0, 0},
        {"'T': short-train station for a short train", 'T', 'v', false, 30, 0x1C, 3, 3},
        {"'T': station", 'T', 'v', false, 50, 0x06, 3, 2},
        {"'T': stop section", 'T', 'v', false, 50, 0x03, 2, 1},
        {"backward without wagon detection: by the heading", 'H', 'a', false, 50, 0x07, 1, 1},
        {"wagon detection forward: as without", 'H', 'v', true, 50, 0x30, 2, 6},
        {"wagon detection backward: by the travel end, the farthest wagon's role", 'H', 'a', true, 50, 0x07, 2, 3},
        {"wagon detection backward, nothing further", 'H', 'a', true, 50, 0x01, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gSettings.chboWagondetectie = c.wagonDetection;
        train->direction = c.direction;
        train->trainLength = static_cast<int16_t>(c.length);
        b2->occupiedSections = static_cast<int16_t>(c.occupied);
        const SectionContact k = findSectionContact(*b2, *train, c.heading);
        EXPECT_EQ(k.result, c.result);
        EXPECT_EQ(k.role, c.role);
    }
}

TEST_F(ContactEvaluation, WithoutTrackControlTheLeadingEndStandsInForTheContacts) {
    struct Case {
        const char* what;
        char heading;
        int a, b;  // the leading end's segment (point behind, point ahead)
        int length;
        int result, role;
    };
    const Case cases[] = {
        {"'H' at section 0: entered", 'H', 0, 1, 50, 1, 1},
        {"'H' on the short-train station, long", 'H', 3, 4, 50, 0, 0},
        {"'H' on the short-train station, short", 'H', 3, 4, 30, 3, 4},
        {"'H' on the station", 'H', 4, 5, 50, 3, 5},
        {"'H' on the stop section", 'H', 5, 6, 50, 2, 6},
        {"'T' at the last point: entered", 'T', 6, 5, 50, 1, 6},
        {"'T' on the short-train station, short", 'T', 3, 2, 30, 3, 3},
        {"'T' on the station", 'T', 2, 1, 50, 3, 2},
        {"'T' on the stop section", 'T', 1, 0, 50, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        putHead(b2, c.a, c.b);
        train->trainLength = static_cast<int16_t>(c.length);
        const SectionContact k = findSectionContact(*b2, *train, c.heading);
        EXPECT_EQ(k.result, c.result);
        EXPECT_EQ(k.role, c.role);
    }
    // The first wagon of the rear chain runs ahead of the head.
    putHead(b2, 4, 5);
    hangWagons(train, 1, 20);
    train->rearChain = train->frontChain;
    train->frontChain = nullptr;
    train->rearChain->front = train->run.head;
    train->rearChain->front.sectionA = 5;
    train->rearChain->front.sectionB = 6;
    EXPECT_EQ(findSectionContact(*b2, *train, 'H').result, 2);
    train->rearChain->front.block = b1;
    EXPECT_EQ(findSectionContact(*b2, *train, 'H').result, 0);  // not in this block
    train->rearChain = nullptr;
}

TEST_F(ContactEvaluation, EnteringSetsTheBlockSpeedAndTheTurnoutsAheadOnce) {
    putHead(b2, 0, 1);
    train->run.runFlagsB = 0x01;  // position check armed
    ASSERT_EQ(evaluateSectionContacts(b2), 1);
    EXPECT_EQ(train->contactRole, 1);
    EXPECT_EQ(b2->arrivedTrain, train);
    EXPECT_EQ(b1->arrivedTrain, nullptr);
    EXPECT_EQ(b1->assignedTrain, train);  // given up only at the station or stop section
    EXPECT_EQ(train->targetStep, speedStepForSpeed(train, 60));
    EXPECT_EQ(turnoutNumbered(1)->position, 'R');  // set early for the way on to block 3
    EXPECT_EQ(train->run.runFlagsB & 0x03, 0);
    const std::vector<Bytes> records = netRecordBytes();
    ASSERT_FALSE(records.empty());
    // The contact role: kind 2, code 25, number 3, slot 4, role 1.
    EXPECT_EQ(records.back(), (Bytes{2, 25, 3, 0, 4, 0, 1, 0}));

    // The same contact again changes nothing and reports nothing.
    const int fill = gNetOutFill;
    train->targetStep = 3;
    EXPECT_EQ(evaluateSectionContacts(b2), 1);
    EXPECT_EQ(train->targetStep, 3);
    EXPECT_EQ(gNetOutFill, fill);
}

TEST_F(ContactEvaluation, AnOrangeLightSetsTheOrangeSpeedOnEntering) {
    gSettings.edtSnelhOranje = 40;
    b1->hAspect = 'O';
    b2->waitTime = 5;  // a block with a wait: nothing is set ahead
    train->shownSpeed = 50;
    putHead(b2, 0, 1);
    evaluateSectionContacts(b2);
    EXPECT_EQ(turnoutNumbered(1)->position, 'G');
    EXPECT_EQ(train->targetStep, speedStepForSpeed(train, 40));
    EXPECT_NE(speedStepForSpeed(train, 40), speedStepForSpeed(train, 60));
}

TEST_F(ContactEvaluation, ARouteTrainTakesTheNextLinesSpeedTurnoutsAndWait) {
    // Line 1: block 1 to 2; line 2: block 2 on to 3 through turnout 1 ('R'), at once, 70 km/h, 4 s wait.
    auto r = std::make_unique<RouteRec>();
    r->firstLine = 0;
    for (int c : {0, 1}) {
        auto l = std::make_unique<RouteLineRec>();
        l->connection = c;
        l->speed = c == 0 ? 50 : 70;
        gRouteLines.append(std::move(l));
    }
    r->endLine = 2;
    train->route = gRoutes.append(std::move(r));
    train->mode = kModeRoute;
    train->run.currentLine = 0;
    putHead(b2, 0, 1);
    ASSERT_EQ(evaluateSectionContacts(b2), 1);
    EXPECT_EQ(turnoutNumbered(1)->position, 'R');
    EXPECT_EQ(train->targetStep, speedStepForSpeed(train, 70));

    gRouteLines[1]->wait = 4;
    putHead(b2, 4, 5);
    ASSERT_EQ(evaluateSectionContacts(b2), 1);
    EXPECT_EQ(train->run.currentLine, 1);
    EXPECT_EQ(b2->remainingWait, 4);
    EXPECT_EQ(train->targetStep, 0);
}

TEST_F(ContactEvaluation, AnAutoTrainWaitsAtTheStationAndLeavesWhenTheWaitHasRunOut) {
    struct Case {
        const char* what;
        uint8_t kind;
        bool passengerOnly;
        int wait;
    };
    const Case cases[] = {
        {"any train waits", 2, false, 3},
        {"\"enkel personentrein\": a passenger train waits", 1, true, 3},
        {"\"enkel personentrein\": a goods train runs on", 2, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        b2->waitTime = 3;
        b2->flags = c.passengerOnly ? 0x10 : 0;
        train->kind = c.kind;
        train->contactRole = 1;
        b2->arrivedTrain = train;  // entered already; b1 is still the train's
        putHead(b2, 4, 5);
        ASSERT_EQ(evaluateSectionContacts(b2), 1);
        EXPECT_EQ(train->contactRole, 5);
        EXPECT_EQ(b2->remainingWait, c.wait);
        EXPECT_EQ(b1->assignedTrain, nullptr);
        EXPECT_EQ(train->run.runFlagsA & 0x02, 0);
        EXPECT_NE(train->run.runFlagsA & 0x08, 0);
        if (c.wait == 0) {
            EXPECT_EQ(train->targetStep, speedStepForSpeed(train, 60));  // on to the stop section
            continue;
        }
        EXPECT_EQ(train->targetStep, 0);
        gSecondDue = static_cast<int32_t>(gMsTick);
        for (int s = 1; s <= 3; ++s) {
            EXPECT_EQ(train->targetStep, 0);
            gMsTick += 1000;
            secondTick();
            EXPECT_EQ(b2->remainingWait, 3 - s);
        }
        EXPECT_EQ(train->targetStep, speedStepForSpeed(train, 60));
    }
}

TEST_F(ContactEvaluation, RunningWithoutTrackControlAnAutoTrainStopsAtTheStationOfABlockWithAWait) {
    b1->speed = b2->speed = 20;
    b2->waitTime = 3;
    b2->assignedTrain = nullptr;
    b1->hAspect = 'G';
    train->connection = nullptr;
    train->run.runFlagsA = 0;
    train->targetStep = train->currentStep = 0;
    train->shownSpeed = 0;
    train->stepDelay = train->effectiveStepDelay = 10;  // brakes within a section
    ASSERT_EQ(reevaluateTrain(train), 'G');
    ASSERT_EQ(train->connection, gConnections[0]);
    ASSERT_GT(train->targetStep, 0);
    bool ran = false;
    for (int i = 0; i < 3000 && !(ran && train->currentStep == 0); ++i) {
        tick();
        ran = ran || train->currentStep != 0;
    }
    EXPECT_EQ(train->run.head.block, b2);
    EXPECT_EQ(train->contactRole, 5);  // the station, kind 5 for a train heading 'H'
    EXPECT_EQ(b2->arrivedTrain, train);
    EXPECT_EQ(b2->remainingWait, 3);
    EXPECT_EQ(b1->assignedTrain, nullptr);
    EXPECT_LT(train->run.head.x, 650);  // short of the stop section
}

TEST_F(ContactEvaluation, AnArrivedTrainCountsOnlyANewStopRole) {
    b2->arrivedTrain = train;
    b1->assignedTrain = nullptr;  // given up already
    train->contactRole = 5;
    putHead(b2, 4, 5);
    EXPECT_EQ(evaluateSectionContacts(b2), 0);  // the station again
    putHead(b2, 0, 1);
    EXPECT_EQ(evaluateSectionContacts(b2), 0);  // "entered" once arrived
    putHead(b2, 5, 6);
    EXPECT_EQ(evaluateSectionContacts(b2), 1);
    EXPECT_EQ(train->contactRole, 6);
    EXPECT_EQ(netRecordCount(2, 25), 1);
}

TEST_F(ContactEvaluation, InAReversingLoopTheTrainArrivesHeadingTheOtherWay) {
    gRunWithTrack = 1;
    gRunWithoutTrack = 0;
    for (bool loop : {false, true}) {
        SCOPED_TRACE(loop ? "loop" : "no loop");
        SetUp();
        gRunWithTrack = 1;
        gRunWithoutTrack = 0;
        gConnections[0]->loop = loop;
        b1->assignedTrain = train;
        putHead(b2, 1, 0);
        b2->occupiedSections = 0x01;  // the kind-1 section at the 'T' end
        EXPECT_EQ(evaluateSectionContacts(b2), 1);
        EXPECT_EQ(train->heading, loop ? 'T' : 'H');
        EXPECT_EQ(train->contactRole, 1);
        EXPECT_EQ(netRecordCount(2, 31), loop ? 1 : 0);  // the new heading for the clients
    }
}

TEST_F(ContactEvaluation, NoTrainToHandle) {
    putHead(b2, 0, 1);
    // A train without a connection is only marked changed.
    train->connection = nullptr;
    train->run.runFlagsA = 0;
    EXPECT_EQ(evaluateSectionContacts(b2), 0);
    EXPECT_EQ(train->run.runFlagsA, 0x08);
    train->connection = gConnections[1];  // neither leaves nor enters block 1... it leaves block 2
    EXPECT_EQ(evaluateSectionContacts(blockNumbered(3)), 0);
    // A shunting train standing still, and a network client, evaluate nothing.
    train->connection = gConnections[0];
    train->mode = kModeShunting;
    train->speedValue = 0;
    EXPECT_EQ(evaluateSectionContacts(b2), 0);
    train->mode = kModeAuto;
    gNetMode = 40;
    EXPECT_EQ(evaluateSectionContacts(b2), 0);
    gNetMode = 0;
    EXPECT_EQ(b2->arrivedTrain, nullptr);
}

TEST_F(ContactEvaluation, ATrainThatTookTheWrongWayIsStopped) {
    gRunWithTrack = 1;
    gRunWithoutTrack = 0;
    BlockRec* b4 = blockNumbered(4);
    b4->occupiedSections = 0x01;  // its entry section, newly occupied
    EXPECT_EQ(checkWrongWay(b4), 0);  // the setting is off
    EXPECT_EQ(train->targetStep, 9);

    gSettings.chboVerkeerdeWeg = 1;
    // The train arrived in block 4, running out by its 'T' end right there, set the contact off.
    LocoRec* other = putLocoOnBlock(8, 4, 0, {420, 300}, false, 'T');
    other->shownSpeed = 30;
    b4->arrivedTrain = other;
    EXPECT_EQ(checkWrongWay(b4), 0);
    EXPECT_EQ(train->targetStep, 9);
    // Farther away it could not have.
    other->run.head.x = 470;
    EXPECT_EQ(checkWrongWay(b4), 1);
    EXPECT_EQ(train->targetStep, 0);
    EXPECT_EQ(train->currentStep, 0);
}

TEST_F(ContactEvaluation, SpeedStepsForWantedSpeeds) {
    LocoRec* t = train;
    t->run.maxSpeed = 130;
    struct Case {
        const char* what;
        int speed, step;
    };
    const Case cases[] = {
        {"0", 0, 0},
        {"a table value", 9, 2},        // entry 9 = step 2 (steps x 126 / 28 = 4.5 per step)
        {"nearer the lower", 10, 2},
        {"nearer the upper", 12, 3},     // step 3 = entry 13
        {"past the top", 200, 28},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(speedStepForSpeed(t, c.speed), c.step);
    }
    // Two table values equally near: the lower step, from either side.
    t->speedTable[9] = 10;   // step 2
    t->speedTable[13] = 14;  // step 3
    EXPECT_EQ(speedStepForSpeed(t, 12), 2);  // found from step 3 downward
    t->run.maxSpeed = 260;
    t->speedTable[4] = 10;   // step 1
    t->speedTable[9] = 14;   // step 2
    EXPECT_EQ(speedStepForSpeed(t, 12), 1);  // found from step 1 upward
    // A maximum speed of 0 (from a file) or no steps: step 0, never a step past the top.
    t->run.maxSpeed = 0;
    t->speedTable.fill(0);
    EXPECT_EQ(speedStepForSpeed(t, 50), 0);
    t->run.maxSpeed = 130;
    t->maxStep = 0;
    EXPECT_EQ(speedStepForSpeed(t, 50), 0);
}

TEST_F(ContactEvaluation, TheRampDelayIsAtLeastOneMillisecond) {
    LocoRec* t = train;
    t->run.maxSpeed = 130;
    t->run.speedSteps = 28;
    EXPECT_EQ(calcStepDelay(t, 7), 232);
    t->run.maxSpeed = 0;
    EXPECT_EQ(calcStepDelay(t, 7), 1);
    t->run.maxSpeed = 130;
    t->run.speedSteps = 0;
    EXPECT_EQ(calcStepDelay(t, 7), 1);
}

TEST_F(ContactEvaluation, TheStartPauseNeedsF1) {
    LocoRec* t = train;
    t->targetStep = t->currentStep = 0;
    t->shownSpeed = 0;
    t->run.runFlagsA = 3 << 5;  // three seconds
    t->run.functionBits1 = 0;
    setTargetSpeed(t, 40);
    EXPECT_EQ(t->run.runFlagsA & 0x10, 0);
    EXPECT_EQ(t->currentStep, 0);
    EXPECT_EQ(netRecordCount(2, 36), 0);

    t->targetStep = 0;
    t->shownSpeed = 0;
    t->run.functionBits1 = 0x01;  // F1
    gNetOutFill = 0;
    setTargetSpeed(t, 40);
    EXPECT_NE(t->run.runFlagsA & 0x10, 0);
    EXPECT_EQ(t->currentStep, 1);
    EXPECT_EQ(t->nextStepTime, static_cast<int32_t>(gMsTick + 3000));
    EXPECT_EQ(t->targetStep, speedStepForSpeed(t, 40));
    // Kind 2, code 36, number 3, slot 4, c = the seconds with bit 3 set.
    ASSERT_GE(gNetOutFill, 8);
    EXPECT_EQ(Bytes(gNetOutBuffer, gNetOutBuffer + 8), (Bytes{2, 36, 3, 0, 4, 0, 3 | 0x08, 0}));
    // No pause seconds: no pause.
    t->run.runFlagsA = 0;
    EXPECT_EQ(startTimedStop(t), 0);
}

TEST_F(ContactEvaluation, TheWaitShownIsTheHeadBlocksOnlyWhileTheHeadStandsOnIt) {
    putHead(b2, 2, 3);
    b2->remainingWait = 7;
    showLocoWaitTime(0);
    ASSERT_GE(gNetOutFill, 8);
    EXPECT_EQ(Bytes(gNetOutBuffer + gNetOutFill - 8, gNetOutBuffer + gNetOutFill), (Bytes{2, 28, 3, 0, 4, 0, 7, 0}));
    // On a track the head keeps its block for the running engine, but has no wait.
    TrackRec track;
    train->run.head.track = &track;
    showLocoWaitTime(0);
    EXPECT_EQ(Bytes(gNetOutBuffer + gNetOutFill - 8, gNetOutBuffer + gNetOutFill), (Bytes{2, 28, 3, 0, 4, 0, 0, 0}));
    gSecondDue = static_cast<int32_t>(gMsTick);
    gMsTick += 1000;
    secondTick();
    EXPECT_EQ(b2->remainingWait, 7);
    train->run.head.track = nullptr;
}

}  // namespace
