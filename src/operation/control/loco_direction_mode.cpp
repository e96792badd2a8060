// Reversing a locomotive, its running mode, and its automatic speed correction and force flags.
#include <algorithm>

#include "link/buffers/link_buffers.h"
#include "operation/control/dialog_refresh.h"
#include "operation/control/loco_operation.h"
#include "operation/control/loco_operation_internal.h"
#include "operation/draw/train_drawing.h"
#include "operation/engine/route_aspects.h"
#include "operation/engine/train_placement.h"
#include "operation/engine/train_reservation.h"
#include "operation/model/train_model.h"
#include "shell/model/settings.h"

void reverseTrainPositions(LocoRec* loco) {
    reversePosition(loco->run.head);
    for (WagonRec* first : {loco->frontChain, loco->rearChain}) {
        for (WagonRec* w = first; w; w = w->next) {
            reversePosition(w->front);
            reversePosition(w->rear);
        }
    }
}

namespace {

// Decoders that cannot be told the direction in their speed command get the reverse hold.
bool reversesByHold(const LocoRec& loco) {
    const bool direct = gSettings.chboDirectBooster != 0;
    return loco.decoderType <= 1 || (loco.decoderType == 2 && direct) || (loco.decoderType == 3 && !direct);
}

bool holdsOther(const BlockRec* b, const LocoRec* loco) {
    return b && ((b->arrivedTrain && b->arrivedTrain != loco) || (b->assignedTrain && b->assignedTrain != loco));
}

bool turnoutsSetFor(const ConnectionRec* c) {
    for (int k = 0; k < kConnectionTurnouts && c->turnouts[k]; ++k)
        if (c->turnouts[k]->position != c->positions[k]) return false;
    return true;
}

// After reversing, the train travels on from the to-block of its connection: the first connection
// leaving that block the same way (the other way after a reversing loop) whose turnouts are set.
void takeConnectionBack(LocoRec* loco) {
    ConnectionRec* c = loco->connection;
    if ((loco->run.runFlagsA & 0x02) && !holdsOther(c->from, loco) && !holdsOther(c->to, loco)) {
        if (c->from) c->from->arrivedTrain = nullptr;
        if (c->to) c->to->arrivedTrain = loco;
        if (!loco->run.head.block && (loco->run.head.track || loco->run.head.turnout)) loco->run.head.block = c->to;
    }
    int i = 0;
    while (i < gConnectionCount && gConnections[i]->from != c->to) ++i;
    for (; i < gConnectionCount && gConnections[i]->from == c->to; ++i) {
        ConnectionRec* next = gConnections[i];
        const bool sameWay = next->direction == c->direction;
        if (sameWay != (c->loop != 0) && turnoutsSetFor(next)) {
            loco->connection = next;
            return;
        }
    }
}

// The head-side end of the train: the front of the rear chain's first wagon, else the head.
const PositionRec& headSideEnd(const LocoRec* loco) { return loco->rearChain ? loco->rearChain->front : loco->run.head; }

// From "Rangeer" the train must stand at its end section, heading for it; 0 refused.
int leaveShunting(LocoRec* loco) {
    const bool force = loco->flags & kLocoForce;
    bool stopped = true;
    if (!loco->connection) {
        stopped = isTrainStoppedOnBlock(loco, force ? 0 : 1) != 0;
        if (!stopped && !force) return 0;
    }
    BlockRec* head = loco->run.head.block;
    if (!head || head->assignedTrain != loco) {
        showLocoBlockedReason(loco, 201);
        return 0;
    }
    const PositionRec& end = headSideEnd(loco);
    BlockRec* b = end.block;
    const int section = std::min(end.sectionA, end.sectionB);
    // An end off a block (a wagon over a turnout) or outside its sections has no end section.
    const int kind = b && section >= 0 && section < std::min(b->sections, kMaxSections) ? b->sectionKinds[section] : -1;
    if (kind != (loco->heading == 'H' ? 6 : 1)) {
        showLocoBlockedReason(loco, 202);
        return 0;
    }
    loco->contactRole = static_cast<uint8_t>(kind);
    b->arrivedTrain = loco;
    if (!stopped) showLocoBlockedReason(loco, 204);
    loco->mode = kModeManual;
    loco->targetStep = 0;
    showLocoSpeed(loco, 0);
    queueLocoSpeed(loco, 0);
    return 1;
}

void enterShunting(LocoRec* loco) {
    loco->mode = kModeShunting;
    loco->targetStep = 0;
    showLocoSpeed(loco, 0);
    clearLocoWait(loco);
    releaseRouteOfTrain(loco, 0);
}

}  // namespace

int reverseLoco(LocoRec* loco) {
    if (!loco || sentAsRequest(loco, 31, 0)) return 0;
    if (loco->speedValue != 0 || loco->currentStep != 0 || loco->holdCountdown != 0) return 0;
    loco->direction = loco->direction == 'v' ? 'a' : 'v';
    loco->run.runFlagsA &= static_cast<uint8_t>(~0x01);
    reverseTrainPositions(loco);
    showLocoDirection(loco);
    if (reversesByHold(*loco)) {
        loco->flags |= kLocoSendTarget;
        queueLocoReverse(loco, 10);
        loco->flags &= static_cast<uint8_t>(~kLocoSendTarget);
    } else {
        queueLocoSpeed(loco, 1);
    }
    restoreBackgroundUnderLoco(loco);
    drawLocoSymbol(loco, 1);
    if (loco->connection) takeConnectionBack(loco);
    broadcastLoco(loco, 31, loco->direction);
    return 1;
}

int cycleLocoMode(LocoRec* loco) {
    if (!loco || sentAsRequest(loco, 30, 0)) return 0;
    switch (loco->mode) {
    case kModeShunting:
        if (!leaveShunting(loco)) return 0;
        break;
    case kModeManual: loco->mode = kModeAuto; break;
    case kModeAuto:
        if (loco->route && locateTrainInRoute(loco)) {
            loco->mode = kModeRoute;
            updateTrainSchedule(loco);
        } else {
            if (loco->route) showLocoBlockedReason(loco, 203);
            enterShunting(loco);
        }
        break;
    default: enterShunting(loco); break;
    }
    showLocoMode(loco);
    // The route dialog marks the train's line and locks the route choice only in "Traject".
    refreshRouteDialog(loco);
    broadcastLoco(loco, 30, loco->mode);
    return 1;
}

void toggleLocoAsc(LocoRec* loco) {
    if (!loco || sentAsRequest(loco, 33, 0)) return;
    loco->flags ^= kLocoAutoCorrection;
    broadcastLoco(loco, 33, (loco->flags & kLocoAutoCorrection) ? -1 : 0);
}

void toggleLocoForce(LocoRec* loco) {
    if (!loco || sentAsRequest(loco, 34, 0)) return;
    loco->flags ^= kLocoForce;
    showLocoSpeed(loco, 1);
    broadcastLoco(loco, 34, (loco->flags & kLocoForce) ? -1 : 0);
    // A shunting train starts or stops with it at once: its position follows, as with a new speed.
    loco->run.runFlagsA |= 0x08;
}
