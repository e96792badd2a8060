// The smaller steps of the running cycle: double turnouts kept together, helper locomotives following
// their train, the decoder-activity markers, and the two helpers of the engine.
#include "engine_fixture.h"

#include "layout/draw/diagram_canvas.h"
#include "layout/files/layout_file.h"
#include "operation/engine/route_aspects.h"
#include "layout/draw/element_colours.h"
#include "operation/model/vehicle_positions.h"
#include "platform/canvas.h"

namespace {

class EngineSteps : public EngineTest {};

TEST_F(EngineSteps, DoubleTurnoutsAreKeptTogether) {
    struct Case {
        char linked, partner;   // positions of the linked member (n + 3000) and of member n
        bool inverted, userChangedLinked;
        bool linkedHeld, partnerHeld;
        char linkedAfter, partnerAfter;
    };
    const Case cases[] = {
        {'R', 'G', false, false, false, false, 'G', 'G'},  // the linked member follows its partner
        {'R', 'G', false, true, false, false, 'R', 'R'},   // the user changed it: the partner follows
        {'R', 'G', false, false, true, false, 'R', 'R'},   // held: the other one is thrown instead
        {'R', 'G', false, false, true, true, 'R', 'G'},    // both held: nothing
        {'G', 'G', true, false, false, false, 'R', 'G'},   // inverted: opposite positions belong together
        {'R', 'G', true, false, false, false, 'R', 'G'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.linked << c.partner << c.inverted << c.userChangedLinked << c.linkedHeld
                                        << c.partnerHeld);
        LayoutBuilder()
            .block(1, {{100, 300}, {200, 300}, {300, 300}})
            .turnout('l', 5, {{100, 100}, {140, 100}, {138, 110}})
            .turnout('r', 3005, {{200, 100}, {240, 100}, {238, 90}});
        LocoRec* holder = putLocoOnBlock(3, 1, 0, {150, 300}, true, 'H');
        TurnoutRec* partner = turnoutNumbered(5);
        TurnoutRec* linked = turnoutNumbered(3005);
        linked->partner = 1;
        linked->options = c.inverted ? 1 : 0;
        linked->position = c.linked;
        partner->position = c.partner;
        if (c.userChangedLinked) linked->runState |= 0x80;
        if (c.linkedHeld) linked->holder = holder;
        if (c.partnerHeld) partner->holder = holder;
        tick();
        EXPECT_EQ(linked->position, c.linkedAfter);
        EXPECT_EQ(partner->position, c.partnerAfter);
        EXPECT_EQ(linked->runState & 0x80, 0);
        clearTestTrains();
    }
}

TEST_F(EngineSteps, HelperLocomotivesFollowTheirTrain) {
    LayoutBuilder().block(1, {{100, 100}, {300, 100}, {500, 100}}).measureBlocks();
    LocoRec* main = putLocoOnBlock(3, 1, 1, {400, 100}, true, 'T');
    main->direction = 'a';
    main->currentStep = main->targetStep = 10;
    hangWagons(main, 1, 20);
    auto helperRec = std::make_unique<LocoRec>();
    helperRec->number = 7;
    helperRec->direction = 'v';
    helperRec->heading = 'H';
    helperRec->run.speedSteps = 28;
    helperRec->maxStep = 28;
    for (int i = 0; i < kSpeedTableSize; ++i) helperRec->speedTable[i] = static_cast<uint8_t>(i);
    LocoRec* helper = gLocs.append(std::move(helperRec));
    gHelperLocs.append(helper);
    helper->helperWagon = main->frontChain;
    helper->helperWagon->kind = 'H';
    for (uint8_t type : {4, 0}) {
        SCOPED_TRACE(type);
        helper->decoderType = type;
        helper->direction = 'v';
        helper->shownSpeed = 0;
        helper->holdCountdown = 0;
        tick();
        EXPECT_EQ(helper->heading, 'T');
        EXPECT_EQ(helper->direction, 'a');
        if (type == 4) {
            EXPECT_EQ(helper->shownSpeed, speedTableEntry(*main, 10));
        } else {  // the direction change goes over the speed channel: the speed is held meanwhile
            EXPECT_EQ(helper->holdCountdown, 9);
            EXPECT_EQ(helper->shownSpeed, 0);
        }
    }
    gHelperLocs.clear();
}

TEST_F(EngineSteps, ActivityMarkerAtTheTurnoutWhileItsDecoderOutputIsOn) {
    vestrel::Canvas canvas{640, 480, kBackgroundColour};
    gDiagramCanvas = &canvas;
    gRunWithTrack = 1;
    gRunWithoutTrack = 0;
    gNoFeedbackPoll = 1;
    LayoutBuilder().turnout('l', 5, {{300, 300}, {340, 300}, {338, 310}});
    TurnoutRec* t = turnoutNumbered(5);
    t->runState = 0x02;  // its command was queued
    const AccessoryEntry e{0x21, 5, 2};
    ASSERT_TRUE(gAccessoryQueue.append(&e, 1));
    tick();
    EXPECT_EQ(t->runState & 0x06, 0x04);
    EXPECT_EQ(canvas.Pixel(320 - 4, 300 - 4), 0xFF0000u);
    gDiagramCanvas = nullptr;
    gNoFeedbackPoll = 0;
}

TEST_F(EngineSteps, VehiclesOfATrainFrontChainFirst) {
    LayoutBuilder().block(1, {{100, 100}, {300, 100}, {500, 100}}).measureBlocks();
    LocoRec* l = putLocoOnBlock(3, 1, 1, {450, 100}, true, 'H');
    hangWagons(l, 2, 20);
    WagonRec* front1 = l->frontChain;
    WagonRec* front2 = front1->next;
    gVehicleWalkState = 0;
    EXPECT_EQ(nextVehicleOfTrain(l), front1);
    EXPECT_EQ(nextVehicleOfTrain(l), front2);
    EXPECT_EQ(nextVehicleOfTrain(l), nullptr);
    // Only a rear chain: its wagons come first.
    l->rearChain = front2;
    l->frontChain = nullptr;
    front1->next = nullptr;
    gVehicleWalkState = 0;
    EXPECT_EQ(nextVehicleOfTrain(l), front2);
    EXPECT_EQ(nextVehicleOfTrain(l), nullptr);
    EXPECT_EQ(nextVehicleOfTrain(l), nullptr);
    l->rearChain = nullptr;
    l->frontChain = front1;
}

TEST_F(EngineSteps, SortByAddressKeepsEqualNumbersInOrder) {
    LayoutBuilder().block(1, {{100, 100}, {300, 100}, {500, 100}});
    LocoRec* a = putLocoOnBlock(5, 1, 0, {150, 100}, true, 'H');
    LocoRec* b = putLocoOnBlock(3, 1, 0, {160, 100}, true, 'H');
    LocoRec* c = putLocoOnBlock(5, 1, 0, {170, 100}, true, 'H');
    LocoRec* d = putLocoOnBlock(1, 1, 0, {180, 100}, true, 'H');
    sortByAddress(gLocsOnTrack);
    EXPECT_EQ(std::vector<LocoRec*>(gLocsOnTrack.begin(), gLocsOnTrack.end()), (std::vector<LocoRec*>{d, b, a, c}));
    sortByAddress(gLocs);
    EXPECT_EQ(gLocs[2], a);
    EXPECT_EQ(a->slot, 2);
    EXPECT_EQ(c->slot, 3);
}

TEST_F(EngineSteps, ClearingTheLayoutTakesItsTrainsAlong) {
    LayoutBuilder().block(1, {{100, 100}, {300, 100}, {500, 100}}).measureBlocks();
    LocoRec* l = putLocoOnBlock(3, 1, 1, {450, 100}, true, 'H');
    hangWagons(l, 2, 20);
    l->mode = kModeAuto;
    addToRunningFifo(l);
    clearLayout();
    EXPECT_EQ(gLocsOnTrackCount, 0);
    EXPECT_EQ(gLocCount, 0);
    EXPECT_EQ(gWagonTotal, 0);
    EXPECT_EQ(runningFifoCount(), 0);
    updateAllVehiclePositions();  // nothing left that names a freed block
}

}  // namespace
