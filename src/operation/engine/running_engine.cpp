#include "operation/engine/running_engine.h"

#include <algorithm>

#include "layout/model/layout_model.h"
#include "link/buffers/link_buffers.h"
#include "network/model/net_queue.h"
#include "operation/control/accessory_operation.h"
#include "operation/control/loco_operation.h"
#include "operation/draw/train_drawing.h"
#include "operation/engine/accessory_scheduler.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/engine/feedback_cycle.h"
#include "operation/engine/route_aspects.h"
#include "operation/engine/train_collision.h"
#include "operation/engine/train_movement.h"
#include "operation/engine/train_reservation.h"
#include "shell/main/main_cycle.h"
#include "shell/model/app_state.h"
#include "layout/model/geometry.h"

uint8_t gVehicleWalkState = 255;
WagonRec* gVehicleWalkWagon = nullptr;

bool countDownDirectionHold(LocoRec* l) {
    if (l->holdCountdown == 0) return true;
    if (--l->holdCountdown != 0) return false;
    l->targetStep = 0;
    showLocoSpeed(l, 0);
    queueLocoSpeed(l, 0);
    if (l->mode == kModeRoute) {
        l->currentStep = 1;
        l->nextStepTime = static_cast<int32_t>(gMsTick - 1);
    }
    return true;
}

namespace {

constexpr uint8_t kHalted = 0x01;
constexpr uint8_t kMoved = 0x04;
constexpr uint8_t kChanged = 0x08;  // its position goes to the clients
constexpr uint8_t kStartPause = 0x10;

// A tick that went back in time makes every due time due now.
void resetDueTimes() {
    if (msBetween(gMsTick, gPreviousTickTime) >= 0) return;
    gPreviousTickTime = gMsTick;
    gFeedbackPollDue = gMsTick;
    gAccessoryDue = gMsTick;
    for (LocoRec* l : gLocsOnTrack) l->nextStepTime = static_cast<int32_t>(gMsTick);
}

// The hold after a direction change sent over the speed channel, then the start pause. True while the
// locomotive is to be left alone this cycle.
bool holdOrPause(LocoRec* l) {
    if (l->holdCountdown != 0 && !countDownDirectionHold(l)) return true;
    if (l->run.runFlagsA & kStartPause) {
        if (msBetween(gMsTick, static_cast<uint32_t>(l->nextStepTime)) < 0) return true;
        l->run.runFlagsA &= static_cast<uint8_t>(~kStartPause);
    }
    return false;
}

// The train came to a stand: its route is released when it stands in its from-block, and the trains
// waiting for what it held are looked at again.
void cameToStand(LocoRec* l) {
    if (releaseRouteOfTrain(l, 1) || l->mode == kModeRoute) {
        if (l->mode == kModeRoute) {
            checkRouteDirection(l, nullptr);
            chooseConnection(l);
            applyTrainAspect(l);
        }
        reevaluateFifo(l);
        updateRoutes();
    }
}

void runLocomotive(LocoRec* l) {
    if (holdOrPause(l)) return;
    // A halt sets the target step to 0; without track control a new target lets the train go on (with
    // track control only a green or orange aspect does).
    if (gRunWithoutTrack && (l->run.runFlagsA & kHalted) && l->targetStep != 0) {
        l->run.runFlagsA &= static_cast<uint8_t>(~kHalted);
        netQueueLocoState(*l);  // the clients' copies go on as well
    }
    checkStandingCollision(l);
    if (l->mode == kModeShunting && l->speedValue == 0 && !(l->flags & kLocoForce)) return;
    rampLocoSpeed(l);
    l->run.runFlagsA &= static_cast<uint8_t>(~kMoved);
    if (l->currentStep == 0 || (l->run.runFlagsA & kHalted)) return;
    updateTrainPosition(l);
    const PositionRec& head = l->run.head;
    if (truncatedInt(head.x) != head.ix || truncatedInt(head.y) != head.iy)
        l->run.runFlagsA |= kMoved;
}

// Keeps the two halves of each double turnout together (linked pairs stand at the end of gTurnouts,
// unless a deleted half left its unlinked partner among them).
void keepDoubleTurnoutsTogether() {
    constexpr uint8_t kUserChanged = 0x80;
    for (int i = gTurnoutCount - 1; i >= 0; --i) {
        TurnoutRec* a = gTurnouts[i];
        if (a->partner == 0) continue;
        if (a->partner <= 200 && a->partner <= gTurnoutCount) {
            TurnoutRec* b = gTurnouts[a->partner - 1];
            const bool inverted = a->options & 0x01;
            if ((a->position == b->position) == inverted) {
                TurnoutRec* first = (a->runState & kUserChanged) ? b : a;
                TurnoutRec* second = first == a ? b : a;
                if (!first->holder) toggleTurnout(first);
                else if (!second->holder) toggleTurnout(second);
            }
        }
        a->runState &= static_cast<uint8_t>(~kUserChanged);
    }
}

// Helper locomotives take over their train's heading, direction and speed.
void followWithHelpers() {
    for (LocoRec* h : gHelperLocs) {
        if (!h->helperWagon || !h->helperWagon->owner) continue;
        LocoRec* m = h->helperWagon->owner;
        h->heading = m->heading;
        if (h->direction != m->direction) {
            h->direction = m->direction;
            const bool direct = directMode();
            const int type = h->decoderType;
            if (type <= 1 || (type == 2 && direct) || (type == 3 && !direct)) queueLocoReverse(h, 10);
            else queueLocoSpeed(h, 1);
        }
        if (holdOrPause(h)) continue;
        const int v = speedTableEntry(*m, m->currentStep);
        if (v == h->shownSpeed) continue;
        setTargetSpeed(h, v);
        h->shownSpeed = static_cast<int16_t>(v);
        queueLocoSpeed(h, 0);
    }
}

}  // namespace

int rampStage(LocoRec* l) {
    if (l->currentStep == l->targetStep || msBetween(gMsTick, static_cast<uint32_t>(l->nextStepTime)) <= 0) return -1;
    // A step delay of 0 (maximum speed 0 on file, a braking limit truncated to 0) would divide by zero.
    const int d = std::max<int>(l->effectiveStepDelay, 1);
    const int n = 120 / d + 1;
    const int stage = n * d;
    uint32_t next = static_cast<uint32_t>(l->nextStepTime) + stage;
    if (msBetween(next, gMsTick) < 0) next = gMsTick + stage;
    if (l->currentStep < l->targetStep) {
        l->currentStep = static_cast<int16_t>(std::min<int>(l->currentStep + n, l->targetStep));
        next += stage / 2;
        const int steps = l->run.speedSteps;
        const int q = steps / 5;
        if (steps > 0 && l->currentStep > q) next += stage * (l->currentStep - q) * 126 / steps / 50;
        l->nextStepTime = static_cast<int32_t>(next);
        return 0;
    }
    // Toward a non-zero target the ramp stops at the target: a train asked for step 1 keeps going.
    l->currentStep = static_cast<int16_t>(std::max<int>(l->currentStep - n, l->targetStep));
    l->nextStepTime = static_cast<int32_t>(next);
    if (l->currentStep > 0) return 0;
    l->currentStep = 0;
    l->speedValue = 0;
    return 1;
}

void rampLocoSpeed(LocoRec* l) {
    const int stage = rampStage(l);
    if (stage < 0) return;
    if (stage == 1) cameToStand(l);
    queueLocoSpeed(l, 0);
    // The clients ramp on their own clock: the position after each stage keeps them with the train.
    l->run.runFlagsA |= kChanged;
}

void runTrainsCycle() {
    sendHeldSpeeds();
    resetDueTimes();
    for (LocoRec* l : gLocsOnTrack) runLocomotive(l);
    redrawAllTrains();
    requestFeedback();
    processFeedbackImage();
    runAccessoryScheduler();
    keepDoubleTurnoutsTogether();
    followWithHelpers();
}

WagonRec* nextVehicleOfTrain(LocoRec* loco) {
    while (loco) {
        switch (gVehicleWalkState) {
        case 0: gVehicleWalkWagon = loco->frontChain; break;
        case 1:
        case 3: gVehicleWalkWagon = gVehicleWalkWagon ? gVehicleWalkWagon->next : nullptr; break;
        case 2: gVehicleWalkWagon = loco->rearChain; break;
        default: gVehicleWalkState = 255; return nullptr;
        }
        if (gVehicleWalkWagon) {
            if (gVehicleWalkState == 0 || gVehicleWalkState == 2) ++gVehicleWalkState;
            return gVehicleWalkWagon;
        }
        // An empty chain or its end: on to the next state.
        gVehicleWalkState = gVehicleWalkState < 2 ? 2 : 255;
    }
    return nullptr;
}
