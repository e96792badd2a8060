#include "operation/control/loco_operation.h"

#include "operation/control/dialog_records.h"

#include <algorithm>
#include <mutex>

#include "layout/editor/hit_test.h"
#include "link/buffers/link_buffers.h"
#include "link/port/decoder_programming.h"
#include "link/protocol/track_packets.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/loco_operation_internal.h"
#include "operation/control/control_post.h"
#include "operation/control/dialog_records.h"
#include "operation/dialogs/untLoks.h"
#include "operation/dialogs/untTraject.h"
#include "operation/draw/train_drawing.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/engine/helper_locos.h"
#include "operation/engine/route_aspects.h"
#include "operation/engine/train_reservation.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "steps/model/step_program.h"

bool sentAsRequest(LocoRec* loco, int code, int value) {
    if (gNetLinkState != 40) return false;
    netQueueRecord(40, 2, code, loco->number, loco->slot, value);
    return true;
}

void broadcastLoco(LocoRec* loco, int code, int value) { netQueueRecord(30, 2, code, loco->number, loco->slot, value); }

void clearLocoWait(LocoRec* loco) {
    BlockRec* head = loco->run.head.block;
    if (!head) return;
    head->remainingWait = 0;
    const int row = gLocsOnTrack.indexOf(loco);
    if (row >= 0) showLocoWaitTime(row);
}

int toggleLocoRun(LocoRec* loco) {
    if (!loco) return 0;
    if (sentAsRequest(loco, 29, 0)) return loco->running;
    if (loco->running) {
        loco->running = 0;
        loco->targetStep = 0;
        showLocoSpeed(loco, 0);
        clearLocoWait(loco);
        if (releaseRouteOfTrain(loco, 1)) {
            removeFromRunningFifo(loco);
            updateRoutes();
        }
        if (loco->mode == kModeShunting) queueLocoSpeed(loco, 0);
    } else {
        loco->running = 1;
        if (loco->mode == kModeRoute) updateTrainSchedule(loco);
    }
    showLocoRunning(loco);
    broadcastLoco(loco, 29, loco->running);
    return loco->running;
}

void stopLoco(LocoRec* loco) {
    if (!loco || sentAsRequest(loco, 45, 0)) return;
    loco->targetStep = loco->currentStep = 0;
    showLocoSpeed(loco, 0);
    queueLocoSpeed(loco, 1);
    broadcastLoco(loco, 45, 0);
}

void queueLocoReverse(LocoRec* loco, int cycles) {
    if (!loco) return;
    loco->holdCountdown = static_cast<uint8_t>(cycles);
    loco->targetStep = loco->decoderType == 2 ? 30 : 15;
    queueLocoSpeed(loco, 0);
}

namespace {

void forgetTrainOnElements(LocoRec* loco) {
    for (BlockRec* b : gBlocks) {
        if (b->arrivedTrain != loco && b->assignedTrain != loco) continue;
        b->arrivedTrain = b->assignedTrain = nullptr;
        b->state &= static_cast<uint8_t>(~0x20);
    }
    for (TurnoutRec* t : gTurnouts) {
        if (t->holder != loco) continue;
        t->holder = nullptr;
        t->runState &= static_cast<uint8_t>(~0x20);
    }
    for (TrackRec* t : gTracks)
        if (t->locoOnIt == loco->slot + 1) t->locoOnIt = 0;
}

// The rows below move up one and the freed last row is emptied.
void closeRowGap(int row) {
    const int count = gLocsOnTrackCount;
    if (gActiveRow >= count) gActiveRow = std::max(count - 1, 0);
    for (int r = row; r <= count; ++r) fillControlPostRow(r);
    if (frmLoks) frmLoks->Tag = 0;
}

}  // namespace

int takeLocoOffTrack(LocoRec* loco) {
    if (!loco) return 0;
    // A train the locomotive panel placed but did not put on the track yet is only local: it leaves
    // its block here, without asking the server.
    if (gLocsOnTrack.indexOf(loco) >= 0 && sentAsRequest(loco, 41, 0)) return 0;
    if (loco->targetStep != 0) return 0;
    // A programming sequence on it ends first: the locomotive keeps its own number and decoder type.
    if (loco == gProgLoco) endMmProgramming(true);
    eraseTrain(loco);
    forgetTrainOnElements(loco);
    loco->run.runFlagsB &= static_cast<uint8_t>(~0x08);
    removeFromRunningFifo(loco);
    clearElements(loco->run.head);
    loco->connection = nullptr;
    loco->route = nullptr;
    for (WagonRec* first : {loco->frontChain, loco->rearChain}) {
        for (WagonRec* w = first; w; w = w->next) {
            w->front = w->rear = PositionRec{};
            setWagonKind(w, w->kind, w->number, 2);  // its helpers leave with the train
        }
    }
    loco->running = 0;
    const int row = gLocsOnTrack.indexOf(loco);
    if (row >= 0) {
        {
            std::lock_guard lock(trackPacketMutex());  // the link thread may be copying its packets
            loco->packetCache.reset();
            loco->blockCorrections.clear();
            gLocsOnTrack.removeAt(row);
        }
        broadcastLoco(loco, 41, 0);
        closeRowGap(row);
        if (gRouteDialogLoco == loco) {
            if (frmTraject && frmTraject->isVisible()) frmTraject->close();
            gRouteDialogLoco = nullptr;  // the dialog must not keep a locomotive that may be freed next
        }
        gLocoDataModified = 1;
    }
    return 1;
}

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

void reversePosition(PositionRec& p) {
    p.dx = -p.dx;
    p.dy = -p.dy;
    std::swap(p.sectionA, p.sectionB);
}

void claimPositionOwner(LocoRec* loco, const PositionRec& p) {
    if (p.block) {
        if (!p.block->assignedTrain) p.block->assignedTrain = loco;
    } else if (p.turnout && !p.track) {
        if (!p.turnout->holder) p.turnout->holder = loco;
    }
}

void* markWagonAtPosition(LocoRec* loco, const PositionRec& p) {
    const bool loose = loco && !loco->connection;
    if (p.block) {
        p.block->state |= 0x10;
        if (loose && p.block != loco->run.head.block && p.block->assignedTrain == loco) p.block->assignedTrain = nullptr;
        return p.block;
    }
    if (p.track) {
        p.track->vehicleFlags |= 0x10;
        return p.track;
    }
    if (p.turnout) {
        p.turnout->vehicleFlags |= 0x10;
        if (loose && p.turnout->holder == loco) p.turnout->holder = nullptr;
        return p.turnout;
    }
    return nullptr;
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
    forgetProgrammingRecord(loco, nullptr);
    forgetLocoRecord(loco);  // no dialog keeps a freed locomotive
    if (onTrack(loco->run.head) || gLocsOnTrack.indexOf(loco) >= 0) {
        loco->targetStep = 0;
        takeLocoOffTrack(loco);
    }
    if (WagonRec* w = loco->helperWagon) setWagonKind(w, w->kind, w->number, 2);
    if (const int helper = gHelperLocs.indexOf(loco); helper >= 0) {
        // Released above unless its wagon no longer names it; it must not outlive its record.
        std::lock_guard lock(trackPacketMutex());
        gHelperLocs.removeAt(helper);
    }
    loco->helperWagon = nullptr;
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
    forgetWagonRecord(gWagons[index]);
    if (index < gWagonCounts.loose) --gWagonCounts.loose;
    if (index < gWagonCounts.coupledEnd) --gWagonCounts.coupledEnd;
    gWagons.removeAt(index);
    renumberWagonSlots(index);
    return 1;
}
