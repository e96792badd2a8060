#include "operation/control/loco_operation.h"

#include <mutex>

#include "link/buffers/link_buffers.h"
#include "link/protocol/track_packets.h"
#include "operation/model/train_model.h"
#include "steps/model/step_program.h"

// Until the control post is built these keep only the locomotive's own state right.
int toggleLocoRun(LocoRec* loco) {
    if (!loco) return 0;
    loco->running = loco->running ? 0 : 1;
    if (!loco->running) loco->targetStep = 0;
    return loco->running;
}

void showLocoSpeed(LocoRec* loco, int what) {
    if (!loco || what == 1) return;
    loco->shownSpeed = static_cast<int16_t>(loco->targetStep ? speedTableEntry(*loco, loco->targetStep) : 0);
}

void fillControlPostRow(int) {}

void stopLoco(LocoRec* loco) {
    if (!loco) return;
    loco->targetStep = loco->currentStep = 0;
    showLocoSpeed(loco, 0);
    queueLocoSpeed(loco, 1);
}

void queueLocoReverse(LocoRec* loco, int cycles) {
    if (!loco) return;
    loco->holdCountdown = static_cast<uint8_t>(cycles);
    loco->targetStep = loco->decoderType == 2 ? 30 : 15;
    queueLocoSpeed(loco, 0);
}

int takeLocoOffTrack(LocoRec* loco) {
    if (!loco || loco->targetStep != 0) return 0;
    for (BlockRec* b : gBlocks)
        if (b->arrivedTrain == loco || b->assignedTrain == loco) b->arrivedTrain = b->assignedTrain = nullptr;
    for (TurnoutRec* t : gTurnouts)
        if (t->holder == loco) t->holder = nullptr;
    for (TrackRec* t : gTracks)
        if (t->locoOnIt == loco->slot + 1) t->locoOnIt = 0;
    clearElements(loco->run.head);
    loco->connection = nullptr;
    loco->route = nullptr;
    for (WagonRec* first : {loco->frontChain, loco->rearChain})
        for (WagonRec* w = first; w; w = w->next) w->front = w->rear = PositionRec{};
    loco->running = 0;
    const int row = gLocsOnTrack.indexOf(loco);
    if (row >= 0) {
        std::lock_guard lock(trackPacketMutex());  // the link thread may be copying its packets
        loco->packetCache.reset();
        loco->blockCorrections.clear();
        gLocsOnTrack.removeAt(row);
    }
    return 1;
}

// Until the control post is built these change nothing and answer "not done".
void setLocoSpeedStep(LocoRec*, int) {}
int cycleLocoMode(LocoRec*) { return 0; }
int reverseLoco(LocoRec*) { return 0; }
void toggleLocoForce(LocoRec*) {}

int deleteLoco(LocoRec* loco) {
    if (!loco) return 0;
    forgetStepProgramLoco(loco);  // no step program keeps a freed locomotive
    return 0;
}
