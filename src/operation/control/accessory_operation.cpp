#include "operation/control/accessory_operation.h"

#include "layout/draw/element_draw.h"
#include "layout/model/layout_model.h"
#include "link/buffers/link_buffers.h"
#include "network/model/net_state.h"
#include "network/model/net_queue.h"
#include "operation/control/control_post.h"
#include "operation/control/loco_operation.h"
#include "operation/engine/route_aspects.h"
#include "operation/engine/train_reservation.h"
#include "operation/engine/wagon_coupling.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "steps/model/step_program.h"

namespace {

bool synchronisedClient() { return gNetLinkState == 40; }

TurnoutRec* partnerOf(const TurnoutRec* t) { return t->partner ? gTurnouts[t->partner - 1] : nullptr; }

bool turnoutsFreeAndSet(const ConnectionRec* c, const LocoRec* loco) {
    for (int k = 0; k < kConnectionTurnouts && c->turnouts[k]; ++k) {
        const TurnoutRec* t = c->turnouts[k];
        if ((t->holder && t->holder != loco) || t->position != c->positions[k]) return false;
    }
    return true;
}

void setHolder(ConnectionRec* c, LocoRec* holder) {
    for (int k = 0; k < kConnectionTurnouts && c->turnouts[k]; ++k) c->turnouts[k]->holder = holder;
}

// The train holding the turnout takes another connection from its block that the new position opens;
// false when there is none (or the train is already too far).
bool rerouteTrain(LocoRec* loco, TurnoutRec* turnout) {
    ConnectionRec* old = loco->connection;
    if (!old || (turnout->runState & 0x20)) return false;
    if (loco->run.head.block == old->to || (loco->rearChain && loco->rearChain->front.block == old->to)) return false;
    const char way = loco->direction == 'v' ? loco->heading : (loco->heading == 'H' ? 'T' : 'H');
    for (ConnectionRec* c : gConnections) {
        if (c->from != old->from || c->direction != way || !c->to || c->to->assignedTrain) continue;
        if (!routeAspect(c, loco, 1) || !turnoutsFreeAndSet(c, loco)) continue;
        if (old->to && old->to->assignedTrain == loco) old->to->assignedTrain = nullptr;
        c->to->assignedTrain = loco;
        setHolder(old, nullptr);
        setHolder(c, loco);
        setRouteReserved(old, loco, 1, 0);
        setRouteReserved(c, loco, 1, 1);
        loco->connection = c;
        return true;
    }
    return false;
}

// In the editor the other half of a double turnout follows: the same position, or the opposite one
// when the pair is inverted (read from the partner below number 3001, else from this turnout).
void partnerFollows(TurnoutRec* t) {
    TurnoutRec* p = partnerOf(t);
    if (!p) return;
    const bool inverted = ((t->number < 3001 ? p->options : t->options) & 1) != 0;
    p->position = inverted ? (t->position == 'G' ? 'R' : 'G') : t->position;
    drawTurnout(*p, 0, 1);
}

}  // namespace

void toggleTurnout(TurnoutRec* t) {
    if (!t || t->subtype == 'x') return;
    if (synchronisedClient()) {
        netQueueRecord(40, 6, 44, t->number, t->ownIndex, 0);
        return;
    }
    t->position = t->position == 'G' ? 'R' : 'G';
    if (sessionRunning() && t->holder && !rerouteTrain(t->holder, t)) {
        t->position = t->position == 'G' ? 'R' : 'G';
        return;
    }
    drawTurnout(*t, 0, 1);
    if (sessionRunning())
        updateRoutes();
    else
        partnerFollows(t);
}

void toggleTurnoutManual(TurnoutRec* t) {
    if (!t || t->subtype == 'x') return;
    if (synchronisedClient()) {
        netQueueRecord(40, 6, 30, t->number, t->ownIndex, 0);
        return;
    }
    t->options ^= 2;
    drawTurnout(*t, 0, 1);
    if (TurnoutRec* p = partnerOf(t)) {
        p->options = static_cast<uint8_t>((p->options & ~2) | (t->options & 2));
        drawTurnout(*p, 0, 1);
    }
}

void toggleSignalForcedRed(SignalRec* s) {
    if (!s) return;
    if (synchronisedClient()) {
        netQueueRecord(40, 7, 44, s->number, s->ownIndex, 0);
        return;
    }
    BlockRec* b = s->block;  // a signal without block (files allow it) changes alone
    char* blockAspect = b ? (s->direction == 'H' ? &b->hAspect : &b->tAspect) : nullptr;
    LocoRec* train = b ? b->arrivedTrain : nullptr;
    if (s->aspect == 'S') {
        s->aspect = 'R';
        if (blockAspect) *blockAspect = 'R';
        const bool toward = train && ((train->direction == 'v') == (train->heading == s->direction));
        if (toward)
            reevaluateTrain(train);
        else
            updateRoutes();
    } else {
        s->aspect = 'S';
        if (blockAspect) *blockAspect = 'S';
        if (train) {
            const char seen = sectionAspectForTrain(train, currentSectionOfTrain(train));
            if (seen == 'R' || seen == 'S') {
                train->targetStep = 0;
                showLocoSpeed(train, 0);
            }
            if (releaseRouteOfTrain(train, 1)) {
                removeFromRunningFifo(train);
                updateRoutes();
            }
        }
    }
    drawSignal(*s, 0, 1);
}

void operateOutput(OutputRec* o) {
    if (!o) return;
    const int address = o->key / 2;
    if (synchronisedClient()) {
        netQueueRecord(40, 8, 44, address, o->ownIndex, 0);
        return;
    }
    if (o->runFlags & 4) return;
    o->state = (o->key & 1) ? 'G' : 'R';
    queueAccessoryCommand(o->state, address, 0, o->pulseTime);
    drawOutput(*o, 0, 1);
    o->runFlags |= 2;
    for (OutputRec* other : gOutputs) {
        if (other == o || other->key != (o->key ^ 1)) continue;
        other->state = o->state;
        drawOutput(*other, 0, 1);
    }
    if (gEditMode == kPostUncouple) {
        // The uncoupling rail works on the wagon standing over its third outline point.
        gMousePoint = o->outline[2];
        WagonHit hit;
        if (pickWagonAt(hit, 2)) uncoupleWagons(hit.loco, hit.wagon);
    }
}

void setStepProgramState(StepProgramRec* p, int state) {
    if (!p) return;
    if (synchronisedClient()) {
        netQueueRecord(40, 14, 44, 44, p->number, state);
        return;
    }
    p->state = static_cast<uint8_t>(state == 0 ? 1 : state == 1 ? 2 : 0);
    drawStepBox(*p, 0, 1);
}
