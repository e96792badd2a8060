#include "operation/engine/contact_evaluation.h"

#include <algorithm>
#include <cstdlib>

#include "operation/control/loco_operation.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"

// Until contacts are evaluated no contact explains a train and no train is stopped for one; the start
// pause does not run.
int evaluateSectionContacts(BlockRec*) { return 0; }
int checkWrongWay(BlockRec*) { return 0; }
int startTimedStop(LocoRec*) { return 0; }
void showLocoWaitTime(int) {}

void setTargetSpeed(LocoRec* t, int v) {
    if (!t) return;
    v = std::min(v, speedTableEntry(*t, t->maxStep));
    if (v == t->shownSpeed) return;
    const int s = speedStepForSpeed(t, v);
    if (s != t->targetStep) {
        if (t->targetStep == 0 && t->currentStep == 0) startTimedStop(t);
        t->targetStep = static_cast<int16_t>(s);
        showLocoSpeed(t, 0);
    }
    if (gRunWithoutTrack) t->run.runFlagsA &= static_cast<uint8_t>(~0x01);
}

int speedStepForSpeed(LocoRec* t, int v) {
    if (!t || t->maxStep <= 0) return 0;
    const int maxSpeed = t->run.maxSpeed > 0 ? t->run.maxSpeed : 1;
    int s = static_cast<int>(static_cast<double>(v) * t->run.speedSteps / maxSpeed + 0.5);
    s = std::clamp(s, 0, std::max(t->maxStep - 1, 0));
    int d = speedTableEntry(*t, s);
    if (d == v) return s;
    const int dir = v > d ? 1 : -1;
    for (;;) {
        const int next = s + dir;
        if (next < 0 || next > t->maxStep) return s;
        const int f = speedTableEntry(*t, next);
        if ((dir > 0 && f >= v) || (dir < 0 && f <= v)) {
            const int nearNext = std::abs(f - v), nearPrevious = std::abs(d - v);
            if (nearNext != nearPrevious) return nearNext < nearPrevious ? next : s;
            return std::min(next, s);  // equally near: the lower step
        }
        if (next == 0 || next == t->maxStep) return next;
        s = next;
        d = f;
    }
}
