#include "operation/model/speed_curve.h"

#include <algorithm>

#include "operation/model/train_model.h"

SpeedLineHook gSpeedLineHook = nullptr;

namespace {
void referenceLine(const LocoRec* loco, int erase) {
    if (gSpeedLineHook) gSpeedLineHook(loco, erase);
}

bool validSteps(int n) { return n == 14 || n == 27 || n == 28 || n == 126; }

uint8_t straightLineEntry(int j, int maxSpeed) {
    return static_cast<uint8_t>(std::clamp(static_cast<int>(j * maxSpeed / 126.0f + 0.5f), 0, 255));
}

// The table this program fills in for an empty one: the straight line up to the maximum speed.
bool isStraightLine(const LocoRec& loco) {
    for (int j = 1; j < kSpeedTableSize; ++j)
        if (loco.speedTable[j] != straightLineEntry(j, loco.run.maxSpeed)) return false;
    return true;
}
}  // namespace

void normaliseSpeedCurve(LocoRec* loco) {
    if (!loco) return;
    auto& table = loco->speedTable;
    table[0] = 0;
    const int n = loco->run.speedSteps;
    if (!validSteps(n)) return;
    const int pitch = 252 / n;
    int sum = 0;
    for (int s = 1; s <= n; ++s) sum += table[pitch * s / 2];
    if (sum == 0) {
        referenceLine(loco, 1);
        for (int j = 1; j < kSpeedTableSize; ++j) table[j] = straightLineEntry(j, loco->run.maxSpeed);
        referenceLine(loco, 0);
    } else {
        // The straight line is what an empty table was filled with: its sampled mean falls just below
        // the maximum it came from, and deriving from it would lower the maximum at every load.
        if (isStraightLine(*loco) || hasTypedMaxSpeed(*loco)) return;
        const int m = 2 * sum / (n + 1);
        if (m == loco->run.maxSpeed) return;
        referenceLine(loco, 1);
        loco->run.maxSpeed = static_cast<int16_t>(m);
        referenceLine(loco, 0);
    }
    loco->stepDelay = static_cast<int16_t>(calcStepDelay(loco, loco->acceleration));
}

void markTypedMaxSpeed(LocoRec* loco) {
    if (!loco) return;
    const auto v = static_cast<uint16_t>(loco->run.maxSpeed);
    loco->run.spare[0] = static_cast<uint8_t>(v & 0xFF);
    loco->run.spare[1] = static_cast<uint8_t>(v >> 8);
}

void dropTypedMaxSpeed(LocoRec* loco) {
    if (!loco) return;
    loco->run.spare[0] = 0;
    loco->run.spare[1] = 0;
}

bool hasTypedMaxSpeed(const LocoRec& loco) {
    const int mark = loco.run.spare[0] | (loco.run.spare[1] << 8);
    return mark == loco.run.maxSpeed && mark >= kLowestTypedMaxSpeed && mark <= kHighestTypedMaxSpeed;
}

int fillSpeedCurveStep(LocoRec* loco, int step, uint8_t value) {
    const int n = loco ? loco->run.speedSteps : 0;
    if (!validSteps(n) || step < 1 || step > n) return 0;
    const int last = step * 126 / n;
    for (int j = (step - 1) * 126 / n + 1; j <= last; ++j) loco->speedTable[j] = value;
    return last + 1;
}

int calcStepDelay(const LocoRec* loco, int acceleration) {
    // The ramp divides by the delay: a maximum speed of 0 or no speed steps still gives 1 ms.
    if (!loco || loco->run.speedSteps <= 0) return 1;
    return std::max(1, (12 - acceleration) * loco->run.maxSpeed * 10 / loco->run.speedSteps);
}
