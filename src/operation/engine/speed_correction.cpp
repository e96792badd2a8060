#include "operation/engine/speed_correction.h"

#include <algorithm>

#include "layout/model/geometry.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "link/buffers/link_buffers.h"
#include "operation/engine/train_reservation.h"
#include "operation/model/length_units.h"
#include "operation/model/train_model.h"

namespace {

// A short section entered with a turn of 10 degrees or more: a bend the train slows down for.
bool sharpBend(float length, int previousAngle, int angle) {
    const int turn = normalizeAngle(angle - previousAngle);
    return toCentimetres(length) < scaleLength(60) && (turn >= 10 || turn <= -10);
}

char travelEnd(const LocoRec& t) {
    return (t.heading == 'H') == (t.direction == 'v') ? 'H' : 'T';
}

}  // namespace

void updateSpeedCorrection(LocoRec* t, BlockRec* b, int previousAngle, int angle, float length) {
    if (!t || !b) return;
    const bool automatic = (t->flags & kLocoAutoCorrection) != 0;
    if (length >= 0) {
        t->lastAngle = static_cast<int16_t>(angle);
        if (automatic && t->connection && t->connection->to != b) return;
    }
    // Real, not integer: a 14-step decoder would otherwise never be corrected.
    const double k = (t->run.speedSteps + 1) / 28.0;
    const bool bend = sharpBend(length, previousAngle, angle);
    int c = 0;
    if (automatic && !t->blockCorrections.empty()) {
        const size_t entry = 2 * static_cast<size_t>(b->ownIndex) + (t->heading == 'H' ? 0 : 1);
        if (t->direction == 'v' && entry < t->blockCorrections.size()) c = t->blockCorrections[entry];
        if (c != 0) {
            const int adjust = bend ? 0 : -2;
            if (c > 0) c = std::max(static_cast<int>((c + adjust) * k), 0);
            else c = std::min(static_cast<int>((c + adjust + 2) * k), 0);
        }
    } else {
        const int slope = travelEnd(*t) == 'H' ? b->outwardSlope : b->returnSlope;
        c = static_cast<int>((slope - 4) * k);
        if (b->bendCorrection != 0 && bend) c = static_cast<int>(b->bendCorrection * k + c);
    }
    if (c == t->run.speedCorrection) return;
    t->run.speedCorrection = static_cast<int8_t>(c);
    queueLocoSpeed(t, 0);
}

void limitBrakingDelay(LocoRec* t) {
    if (!t) return;
    BlockRec* b = currentSectionOfTrain(t);
    if (!b) return;
    const int sections = std::clamp<int>(b->sections, 0, kMaxSections);
    double s = 0;
    if (t->heading == 'H' && t->contactRole == 6)
        for (int i = sections - 1; i >= 0 && b->sectionKinds[i] == 6; --i) s += b->sectionLengths[i];
    else if (t->heading == 'T' && t->contactRole == 1)
        for (int i = 0; i < sections && b->sectionKinds[i] == 1; ++i) s += b->sectionLengths[i];
    // At step 0 there is nothing to brake (and no speed steps to average).
    const int current = t->currentStep;
    if (s == 0 || current <= 0) return;
    const double available = std::max(unitsToScaleKm(s) - 0.012, 0.004);
    double sum = 0;
    for (int i = 1; i <= current; ++i) sum += speedTableEntry(*t, i);
    const double mean = sum / current;
    const double needed = mean * 2 * t->effectiveStepDelay * current / 7200000.0;
    if (needed > available) {
        t->effectiveStepDelay = static_cast<int16_t>(t->effectiveStepDelay * available / needed);
        t->nextStepTime = 0;
    }
}
