// The speed steps and the wait time of a locomotive at the control post.
#include <algorithm>

#include "link/buffers/link_buffers.h"
#include "operation/control/loco_operation.h"
#include "operation/control/loco_operation_internal.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/engine/route_aspects.h"
#include "operation/engine/train_reservation.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"

namespace {

constexpr int kMaxWait = 3600;

// Every vehicle end of the train (the head, both ends of every coupled wagon) claims its element.
void claimTrain(LocoRec* loco) {
    claimPositionOwner(loco, loco->run.head);
    for (WagonRec* first : {loco->frontChain, loco->rearChain}) {
        for (WagonRec* w = first; w; w = w->next) {
            claimPositionOwner(loco, w->front);
            claimPositionOwner(loco, w->rear);
        }
    }
}

// A forced shunting start: the train leaves its connection and holds what it stands on.
void forcedShuntingStart(LocoRec* loco) {
    ConnectionRec* c = loco->connection;
    releaseRouteOfTrain(loco, 0);
    if (c && c->from && c->from->assignedTrain == loco) c->from->assignedTrain = c->from->arrivedTrain = nullptr;
    loco->connection = nullptr;
    claimTrain(loco);
    startTimedStop(loco);
}

// A start from target 0 outside "Rangeer" goes through the departure checks.
void stepUpRunning(LocoRec* loco, int previous) {
    if (previous == 0 && reevaluateTrain(loco) == 'G') loco->targetStep = 1;
    if (loco->targetStep != 0 && loco->currentStep == 0) {
        startTimedStop(loco);
        loco->run.runFlagsB &= static_cast<uint8_t>(~0x03);
    }
}

// "Rangeer": a locomotive that is switched off does not start, nor one that still rolls from a stop
// while force is off; otherwise the step is sent at once.
void stepUpShunting(LocoRec* loco, int previous) {
    const bool force = loco->flags & kLocoForce;
    if (!loco->running || (previous == 0 && loco->speedValue != 0 && !force)) {
        loco->targetStep = 0;
        return;
    }
    queueLocoSpeed(loco, 0);
    if (force && loco->targetStep == 1 && loco->connection) forcedShuntingStart(loco);
}

}  // namespace

void stepLocoSpeed(LocoRec* loco, int, int key, int showReason) {
    if (!loco) return;
    if (gShiftState & 4) loco->flags = static_cast<uint8_t>((loco->flags & ~kLocoForceOnce) | ((loco->flags & kLocoForce) << 1));
    loco->targetStep = static_cast<int16_t>(std::min<int>(loco->targetStep, loco->maxStep));
    const bool up = key == 38 || (key != 40 && gMouseButton == 1);
    const bool down = !up && (key == 40 || gMouseButton == 2);
    const int request = (up ? 38 : 40) + ((loco->flags & kLocoForceOnce) ? 128 : 0) + 256 * loco->targetStep;
    if (sentAsRequest(loco, 26, request)) {
        loco->flags &= static_cast<uint8_t>(~kLocoForceOnce);
        return;
    }
    gBlockedReason = 0;
    if (up && loco->targetStep < loco->maxStep) {
        const int previous = loco->targetStep++;
        if (loco->mode != kModeShunting)
            stepUpRunning(loco, previous);
        else
            stepUpShunting(loco, previous);
    } else if (down && loco->targetStep > 0) {
        --loco->targetStep;
        if (loco->mode == kModeShunting) queueLocoSpeed(loco, 0);
    }
    loco->flags &= static_cast<uint8_t>(~kLocoForceOnce);
    showLocoSpeed(loco, 0);
    if (showReason && gBlockedReason != 0 && loco->shownSpeed == 0 && up) showLocoBlockedReason(loco, 0);
}

void setLocoSpeedStep(LocoRec* loco, int n) {
    if (!loco || sentAsRequest(loco, 26, 256 * n + 1)) return;
    const int row = gLocsOnTrack.indexOf(loco);
    if (n > loco->targetStep) {
        if (loco->targetStep != 0) loco->targetStep = static_cast<int16_t>(n - 1);
        stepLocoSpeed(loco, row, 38, 0);
        if (loco->targetStep != 0 && loco->targetStep != n) {
            loco->targetStep = static_cast<int16_t>(n - 1);
            stepLocoSpeed(loco, row, 38, 0);
        }
    } else if (n < loco->targetStep) {
        loco->targetStep = static_cast<int16_t>(n + 1);
        stepLocoSpeed(loco, row, 40, 0);
    }
}

void adjustLocoWaitTime(LocoRec* loco, int key) {
    if (!loco || sentAsRequest(loco, 28, key)) return;
    if (!loco->running || (loco->mode != kModeAuto && loco->mode != kModeRoute) || loco->currentStep != 0) return;
    BlockRec* head = loco->run.head.block;
    if (!head) return;
    const bool up = key == '+' || (key != '-' && gMouseButton == 1);
    if (up) {
        head->remainingWait = std::min(head->remainingWait + 1, kMaxWait);
    } else if (head->remainingWait > 0) {
        if (--head->remainingWait == 0) reevaluateTrain(loco);
    }
    const int row = gLocsOnTrack.indexOf(loco);
    if (row >= 0) showLocoWaitTime(row);
}
