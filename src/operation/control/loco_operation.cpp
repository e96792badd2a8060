#include "operation/control/loco_operation.h"

#include <mutex>
#include <utility>

#include "layout/editor/hit_test.h"
#include "link/buffers/link_buffers.h"
#include "link/protocol/track_packets.h"
#include "network/model/net_queue.h"
#include "operation/engine/helper_locos.h"
#include "operation/model/train_model.h"
#include "shell/model/input_state.h"
#include "steps/model/step_program.h"

// Until the control post is built these keep only the locomotive's own state right.
int toggleLocoRun(LocoRec* loco) {
    if (!loco) return 0;
    loco->running = loco->running ? 0 : 1;
    if (!loco->running) loco->targetStep = 0;
    return loco->running;
}


void stopLoco(LocoRec* loco) {
    if (!loco) return;
    loco->targetStep = loco->currentStep = 0;
    showLocoSpeed(loco, 0);
    queueLocoSpeed(loco, 1);
}

int reverseLoco(LocoRec* loco) {
    if (!loco || loco->speedValue != 0 || loco->currentStep != 0 || loco->holdCountdown != 0) return 0;
    loco->direction = loco->direction == 'v' ? 'a' : 'v';
    loco->run.runFlagsA &= static_cast<uint8_t>(~0x01);
    auto reverse = [](PositionRec& p) {
        p.dx = -p.dx;
        p.dy = -p.dy;
        std::swap(p.sectionA, p.sectionB);
    };
    reverse(loco->run.head);
    for (WagonRec* first : {loco->frontChain, loco->rearChain})
        for (WagonRec* w = first; w; w = w->next) {
            reverse(w->front);
            reverse(w->rear);
        }
    queueLocoSpeed(loco, 1);
    return 1;
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

// The speed, wait, mode, direction and force operations are not built yet: each changes nothing.
void stepLocoSpeed(LocoRec*, int, int, int) {}
void adjustLocoWaitTime(LocoRec*, int) {}
void setLocoSpeedStep(LocoRec*, int) {}
int cycleLocoMode(LocoRec*) { return 0; }
void toggleLocoForce(LocoRec*) {}

int pickLocoAt(int tolerance, LocoRec*& loco, int& row) {
    for (int i = 0; i < gLocsOnTrack.count(); ++i) {
        LocoRec* l = gLocsOnTrack[i];
        DiagramPoint p = gMousePoint;
        const DiagramPoint head{static_cast<int32_t>(l->run.head.x), static_cast<int32_t>(l->run.head.y)};
        if (pointNear(p, head, tolerance, false)) {
            loco = l;
            row = i;
            return 410;
        }
    }
    return 0;
}

namespace {

void renumberWagonSlots(int from) {
    for (int i = from; i < gWagons.count(); ++i) gWagons[i]->slot = static_cast<uint8_t>(i);
}

// The locomotive's wagons in chain order, front chain first; the chains are emptied.
int detachOwnWagons(LocoRec* loco, WagonRec** out, int capacity) {
    int n = 0;
    for (WagonRec* first : {loco->frontChain, loco->rearChain})
        for (WagonRec* w = first; w && n < capacity; w = w->next) out[n++] = w;
    loco->frontChain = loco->rearChain = nullptr;
    return n;
}

}  // namespace

int deleteLoco(LocoRec* loco) {
    const int index = gLocs.indexOf(loco);
    if (index < 0) return 0;
    forgetStepProgramLoco(loco);  // no step program keeps a freed locomotive
    if (onTrack(loco->run.head) || gLocsOnTrack.indexOf(loco) >= 0) {
        loco->targetStep = 0;
        takeLocoOffTrack(loco);
    }
    const int helper = gHelperLocs.indexOf(loco);
    if (helper >= 0) {
        if (WagonRec* w = loco->helperWagon) setWagonKind(w, w->kind, w->number, 2);
        loco->helperWagon = nullptr;
        gHelperLocs.removeAt(helper);
    }
    const int number = loco->number;
    const int slot = loco->slot;
    WagonRec* own[kMaxWagons];
    const int ownCount = detachOwnWagons(loco, own, kMaxWagons);
    gLocs.removeAt(index);
    for (int i = index; i < gLocs.count(); ++i) gLocs[i]->slot = static_cast<int16_t>(i);
    relinkWagonChains();
    for (int k = 0; k < ownCount; ++k) {
        WagonRec* w = own[k];
        w->next = w->previous = nullptr;
        w->owner = nullptr;
        const int at = gWagons.indexOf(w);
        if (at >= 0) gWagons.move(at, gWagonCounts.coupledEnd + k);
    }
    renumberWagonSlots(0);
    netQueueRecord(30, 2, 42, number, slot, 0);
    return 1;
}

int freeWagonSlot(int index) {
    if (index < 0 || index >= gWagons.count()) return 0;
    if (index < gWagonCounts.loose) --gWagonCounts.loose;
    if (index < gWagonCounts.coupledEnd) --gWagonCounts.coupledEnd;
    gWagons.removeAt(index);
    renumberWagonSlots(index);
    return 1;
}
