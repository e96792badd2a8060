// Locomotive and accessory operation at the control post during a session without track control:
// the requests of a synchronised client (byte fixtures, nothing changed), the server's broadcasts, the
// reason texts, and the edge cases of each operation.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "operation/control/element_picks.h"
#include "layout/model/layout_model.h"
#include "layout/model/turntable_state.h"
#include "link/buffers/link_buffers.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/accessory_operation.h"
#include "operation/control/loco_operation.h"
#include "operation/engine/route_aspects.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "shell/config/messages.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"
#include "steps/model/step_program.h"

namespace {

class Operation : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        frmSchema->Timer1->stop();
        buildSessionLayoutWithTwoTrains();
        ASSERT_EQ(toggleControlPostSession(13), 1);
        ASSERT_EQ(gLocsOnTrackCount, 2);
        three = gLocsOnTrack[0];
        seven = gLocsOnTrack[1];
        gNetOutFill = 0;
    }
    void TearDown() override { gNetLinkState = 0; }
    static Bytes sent() { return queuedNetBytes(); }
    static bool sentRecord(const Bytes& record) {
        const Bytes all = sent();
        return std::search(all.begin(), all.end(), record.begin(), record.end()) != all.end();
    }
    LocoRec* three = nullptr;
    LocoRec* seven = nullptr;
    RunningProgram program;
};

TEST_F(Operation, ASynchronisedClientOnlyRequests) {
    gNetLinkState = 40;
    three->targetStep = 5;
    three->flags = kLocoForce;
    TurnoutRec* turnout = gTurnouts[0];
    SignalRec* signal = gSignals[0];
    OutputRec* output = gOutputs[0];
    StepProgramRec* program = gStepPrograms[0];
    struct Case {
        std::function<void()> op;
        Bytes record;
    } cases[] = {
        {[&] { cycleLocoMode(three); }, {2, 0x1E, 3, 0, 0, 0, 0, 0}},
        {[&] {
             gShiftState = 4;
             stepLocoSpeed(three, 0, 38, 1);
             gShiftState = 0;
         },
         {2, 0x1A, 3, 0, 0, 0, 38 + 128, 5}},
        {[&] { setLocoSpeedStep(three, 7); }, {2, 0x1A, 3, 0, 0, 0, 1, 7}},
        {[&] { adjustLocoWaitTime(three, '+'); }, {2, 0x1C, 3, 0, 0, 0, '+', 0}},
        {[&] { toggleLocoRun(three); }, {2, 0x1D, 3, 0, 0, 0, 0, 0}},
        {[&] { reverseLoco(three); }, {2, 0x1F, 3, 0, 0, 0, 0, 0}},
        {[&] { toggleLocoAsc(three); }, {2, 0x21, 3, 0, 0, 0, 0, 0}},
        {[&] { toggleLocoForce(three); }, {2, 0x22, 3, 0, 0, 0, 0, 0}},
        {[&] { takeLocoOffTrack(three); }, {2, 0x29, 3, 0, 0, 0, 0, 0}},
        {[&] { toggleTurnout(turnout); }, {6, 0x2C, 1, 0, 0, 0, 0, 0}},
        {[&] { toggleSignalForcedRed(signal); }, {7, 0x2C, 5, 0, 0, 0, 0, 0}},
        {[&] { operateOutput(output); }, {8, 0x2C, 12, 0, 0, 0, 0, 0}},
        {[&] { turnTurntable(gTurntables[0], 3, 2); }, {0x0A, 0x2C, 1, 0, 0, 0, 3, 2}},
        {[&] { setStepProgramState(program, 1); }, {0x0E, 0x2C, 0x2C, 0, 0, 0, 1, 0}},
    };
    for (const Case& c : cases) {
        gNetOutFill = 0;
        c.op();
        EXPECT_EQ(sent(), c.record);
    }
    EXPECT_EQ(three->mode, kModeManual);
    EXPECT_EQ(three->targetStep, 5);
    EXPECT_EQ(three->flags, kLocoForce);
    EXPECT_EQ(three->running, 0);
    EXPECT_EQ(three->direction, 'v');
    EXPECT_EQ(gLocsOnTrackCount, 2);
    EXPECT_EQ(turnout->position, 'G');
    EXPECT_EQ(signal->aspect, 'G');
    EXPECT_EQ(output->state, 0);
    EXPECT_EQ(program->state, 0);
}

TEST_F(Operation, TheServerBroadcastsWhatItDid) {
    gNetLinkState = 30;
    toggleLocoAsc(three);
    EXPECT_EQ(sent(), (Bytes{2, 0x21, 3, 0, 0, 0, 0xFF, 0xFF}));
    gNetOutFill = 0;
    toggleLocoAsc(three);
    EXPECT_EQ(sent(), (Bytes{2, 0x21, 3, 0, 0, 0, 0, 0}));
    gNetOutFill = 0;
    toggleLocoForce(three);
    EXPECT_EQ(sent(), (Bytes{2, 0x22, 3, 0, 0, 0, 0xFF, 0xFF}));
    gNetOutFill = 0;
    three->targetStep = 2;
    showLocoSpeed(three, 0);  // the locomotive state record
    EXPECT_EQ(sent(), (Bytes{2, 0x1A, 3, 0, 0, 0, 2, 0, static_cast<uint8_t>(three->effectiveStepDelay),
                             static_cast<uint8_t>(three->effectiveStepDelay >> 8), 0, 0}));
    three->targetStep = 0;
    gNetOutFill = 0;
    ASSERT_EQ(takeLocoOffTrack(three), 1);
    EXPECT_TRUE(sentRecord({2, 0x29, 3, 0, 0, 0, 0, 0}));
    gNetOutFill = 0;
    deleteLoco(three);
    EXPECT_TRUE(sentRecord({2, 0x2A, 3, 0, 0, 0, 0, 0}));
}

TEST_F(Operation, ReasonTexts) {
    EXPECT_EQ(blockedReasonText(5, 0x21),
              "Loc 5 kan niet doorrijden om volgende reden:\n- wisselstand niet juist\n- volgend blok is bezet of S88 "
              "geeft bezetmelding");
    EXPECT_EQ(blockedReasonText(5, 0x40), "Loc 5 kan niet doorrijden om volgende reden:\n- wissel staat in manueel en "
                                          "stand niet juist");
    EXPECT_EQ(blockedReasonText(5, 130),
              "Loc 5 kan niet doorrijden om volgende reden:\n- loc staat op het einde van zijn traject");
    EXPECT_EQ(blockedReasonText(5, 201), "Loc 5 : blok is reeds voorbehouden door een andere loc !");
    EXPECT_EQ(blockedReasonText(5, 210),
              "Controle 'verkeerde weg' (zie instellingen) : loc gestopt omdat de vrijgavesectie geactiveerd werd "
              "terwijl de loc te ver verwijderd is van deze sectie");
    EXPECT_EQ(blockedReasonText(5, 211),
              "Loc 5 kon niet gepositioneerd worden. Ga verder met geforceerd rijden in rangeermode.");
}

TEST_F(Operation, AClientsRequestIsAnsweredWithRecord18AndShownThere) {
    gNetLinkState = 30;
    showDialogMessage("", 3);
    gRequestingClient = 2;
    showLocoBlockedReason(seven, 130);
    gRequestingClient = 0;
    EXPECT_EQ(sent(), (Bytes{2, 0x12, 7, 0, 1, 0, 130, 2}));
    EXPECT_EQ(lastDialogMessage(), "");
    gNetOutFill = 0;
    showLocoBlockedReason(seven, 210);  // sent to every client, and shown here
    EXPECT_EQ(sent(), (Bytes{2, 0x12, 7, 0, 1, 0, 210, 0}));
    EXPECT_EQ(lastDialogMessage().substr(0, 20), "Controle 'verkeerde ");
}

TEST_F(Operation, SpeedStepsAtTheEdges) {
    three->running = 1;
    three->targetStep = three->maxStep;
    frmSchema->lblSnelheid[0]->setText("x");
    stepLocoSpeed(three, 0, 38, 0);
    EXPECT_EQ(three->targetStep, three->maxStep);
    EXPECT_EQ(frmSchema->lblSnelheid[0]->text().toStdString(), std::to_string(three->speedTable[126]));
    // The reverse hold's target lies above 28 steps; the shown speed is the table's last entry.
    three->decoderType = 2;
    queueLocoReverse(three, 10);
    EXPECT_EQ(three->targetStep, 30);
    showLocoSpeed(three, 0);
    EXPECT_EQ(three->shownSpeed, three->speedTable[126]);
    // A shunting locomotive that moves steps up and sends its speed.
    seven->mode = kModeShunting;
    seven->running = 1;
    seven->targetStep = 2;
    seven->speedValue = 20;
    stepLocoSpeed(seven, 1, 38, 0);
    EXPECT_EQ(seven->targetStep, 3);
    seven->targetStep = 0;
    seven->speedValue = 20;
    stepLocoSpeed(seven, 1, 38, 0);  // still rolling from a stop, no force: it does not start
    EXPECT_EQ(seven->targetStep, 0);
}

TEST_F(Operation, TakeOffWaitsForStepZeroAndTheRowsMoveUp) {
    gActiveRow = 1;
    three->targetStep = 3;
    EXPECT_EQ(takeLocoOffTrack(three), 0);
    EXPECT_EQ(gLocsOnTrackCount, 2);
    three->targetStep = 0;
    EXPECT_EQ(takeLocoOffTrack(three), 1);
    ASSERT_EQ(gLocsOnTrackCount, 1);
    EXPECT_EQ(gActiveRow, 0);
    EXPECT_EQ(frmSchema->btnLok[0]->text().toStdString(), "7");
    EXPECT_FALSE(frmSchema->btnLok[1]->isEnabled());
    EXPECT_TRUE(frmSchema->btnLok[1]->text().isEmpty());
    EXPECT_EQ(blockNumbered(1)->assignedTrain, nullptr);
    EXPECT_EQ(gLocoDataModified, 1);
}

TEST_F(Operation, ReversingWaitsForTheHoldAndTheWaitStaysWithinAnHour) {
    seven->holdCountdown = 4;
    EXPECT_EQ(reverseLoco(seven), 0);
    EXPECT_EQ(seven->direction, 'v');
    seven->holdCountdown = 0;
    EXPECT_EQ(reverseLoco(seven), 1);
    EXPECT_EQ(seven->direction, 'a');
    EXPECT_EQ(frmSchema->btnRich[1]->text().toStdString(), "a");
    BlockRec* head = seven->run.head.block;
    seven->running = 1;
    seven->mode = kModeAuto;
    head->remainingWait = 3600;
    adjustLocoWaitTime(seven, '+');
    EXPECT_EQ(head->remainingWait, 3600);
    head->remainingWait = 1;
    adjustLocoWaitTime(seven, '-');
    EXPECT_EQ(head->remainingWait, 0);
}

TEST_F(Operation, FromShuntingTheTrainMustStandAtItsEndSection) {
    for (LocoRec* l : {three, seven}) {
        l->mode = kModeShunting;
        l->flags = kLocoForce;
    }
    // A wagon of locomotive 3 reaches over the turnout: the stopped test fails, force goes on with
    // reason 204.
    WagonRec* over = gWagons.append(std::make_unique<WagonRec>());
    over->owner = three;
    over->front = three->run.head;
    over->rear.turnout = gTurnouts[0];
    three->frontChain = over;
    three->heading = 'H';  // its head stands in section 1, kind 1
    EXPECT_EQ(cycleLocoMode(three), 0);
    EXPECT_EQ(gBlockedReason, 202);
    three->heading = 'T';
    EXPECT_EQ(cycleLocoMode(three), 1);
    EXPECT_EQ(three->mode, kModeManual);
    EXPECT_EQ(three->contactRole, 1);
    EXPECT_EQ(blockNumbered(1)->arrivedTrain, three);
    EXPECT_EQ(lastDialogMessage(), "Trein 3 is langer dan het blok en is dus niet blokbeveiligd.");
    EXPECT_EQ(frmSchema->btnMode[0]->text().toStdString(), "M");
    // The head-side end off a block (a wagon over the turnout), or outside its block's sections.
    WagonRec* w = gWagons.append(std::make_unique<WagonRec>());
    w->front.turnout = gTurnouts[0];
    seven->rearChain = w;
    EXPECT_EQ(cycleLocoMode(seven), 0);
    EXPECT_EQ(gBlockedReason, 202);
    seven->rearChain = nullptr;
    seven->run.head.sectionA = seven->run.head.sectionB = 40;
    EXPECT_EQ(cycleLocoMode(seven), 0);
    EXPECT_EQ(gBlockedReason, 202);
    EXPECT_EQ(seven->mode, kModeShunting);
    // The rest of the cycle.
    EXPECT_EQ(cycleLocoMode(three), 1);
    EXPECT_EQ(three->mode, kModeAuto);
    EXPECT_EQ(cycleLocoMode(three), 1);
    EXPECT_EQ(three->mode, kModeShunting);
}

// Decoded from the accessory queue: command byte and address of each entry.
std::vector<std::pair<int, int>> accessoryCommands() {
    std::vector<std::pair<int, int>> out;
    int pos = gAccessoryQueue.readPos();
    AccessoryEntry e;
    int next = 0;
    while (pos != gAccessoryQueue.writePos() && gAccessoryQueue.readEntry(pos, e, next)) {
        out.emplace_back(e.command, e.address);
        pos = next;
    }
    gAccessoryQueue.clear();
    return out;
}

TEST_F(Operation, TurntableDecoderCommands) {
    TurntableRec* t = gTurntables[0];
    t->decoderSystem = 1;
    t->startAddress = 100;
    t->currentPosition = 1;
    t->positionOfConnection[0] = 1;
    t->positionOfConnection[3] = 2;
    t->positionOfConnection[5] = 3;
    gAccessoryQueue.clear();
    const int G = kCmdAccessoryGreen, R = kCmdAccessoryRed;
    using Cmds = std::vector<std::pair<int, int>>;
    turnTurntable(t, 13, 1);  // the far end of the current position
    EXPECT_EQ(accessoryCommands(), (Cmds{{G, 103}, {G, 101}}));
    turnTurntable(t, 4, 1);  // position 2
    EXPECT_EQ(accessoryCommands(), (Cmds{{G, 103}, {G, 104}}));
    EXPECT_EQ(t->secondPosition, 4);
    turnTurntable(t, 6, 2);  // position 3
    EXPECT_EQ(accessoryCommands(), (Cmds{{R, 103}, {R, 105}}));
    turnTurntable(t, 2, 1);  // a position not in use
    EXPECT_TRUE(accessoryCommands().empty());
    for (int track : {0, 25, 300}) {  // outside 1..2n: nothing at all
        turnTurntable(t, track, 1);
        EXPECT_TRUE(accessoryCommands().empty()) << track;
        EXPECT_EQ(t->secondPosition, 6);
    }
    t->currentPosition = 0;
    turnTurntable(t, 1, 15);
    EXPECT_TRUE(accessoryCommands().empty());
    t->currentPosition = 1;
    gShiftState = 4;
    turnTurntable(t, 1, 16);
    gShiftState = 0;
    EXPECT_TRUE(accessoryCommands().empty());
    t->startAddress = 0;
    turnTurntable(t, 1, 12);
    EXPECT_TRUE(accessoryCommands().empty());
}

TEST_F(Operation, TheTurntableRingIsTestedFromRMinusTheTolerance) {
    const TurntableRec* t = gTurntables[0];
    const int r = static_cast<int>(t->radius + 0.5);
    PickHit hit;
    gMousePoint = {static_cast<int32_t>(t->centre[0]) + r - gSnapTolerance, static_cast<int32_t>(t->centre[1])};
    ASSERT_EQ(pickTurntableAt(hit), 407);
    EXPECT_NE(hit.track, 0);
    gMousePoint.x -= 1;
    ASSERT_EQ(pickTurntableAt(hit), 407);
    EXPECT_EQ(hit.track, 0);
}

TEST_F(Operation, AnOutputSetsItsPartnerButton) {
    LayoutBuilder().output(24, {500, 220}).output(25, {500, 200});
    operateOutput(gOutputs[1]);
    EXPECT_EQ(gOutputs[1]->state, 'G');
    EXPECT_EQ(gOutputs[0]->state, 'G');
    EXPECT_EQ(gOutputs[1]->runFlags & 2, 2);
    gOutputs[0]->runFlags |= 4;  // blocked
    gOutputs[0]->state = 0;
    operateOutput(gOutputs[0]);
    EXPECT_EQ(gOutputs[0]->state, 0);
}

TEST_F(Operation, TurnoutsSignalsAndPrograms) {
    TurnoutRec* t = gTurnouts[0];
    toggleTurnout(t);
    EXPECT_EQ(t->position, 'R');
    // A train holding it that already stands on its connection's to-block keeps it.
    ConnectionRec c;
    c.from = blockNumbered(2);
    c.to = blockNumbered(1);
    three->connection = &c;
    t->holder = three;
    toggleTurnout(t);
    EXPECT_EQ(t->position, 'R');
    three->connection = nullptr;
    t->holder = nullptr;
    StepProgramRec* p = gStepPrograms[0];
    for (int expected : {1, 2, 0}) {
        setStepProgramState(p, p->state);
        EXPECT_EQ(p->state, expected);
    }
    // A signal without block is forced red and released alone.
    LayoutBuilder().signal(7, 0, 'H', {50, 50});
    SignalRec* loose = gSignals[0];
    toggleSignalForcedRed(loose);
    EXPECT_EQ(loose->aspect, 'S');
    toggleSignalForcedRed(loose);
    EXPECT_EQ(loose->aspect, 'R');
}

}  // namespace
