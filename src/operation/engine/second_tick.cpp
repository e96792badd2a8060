#include "operation/engine/second_tick.h"

ModelClock gModelClock;

// The model clock and the per-second checks are not kept yet.
void secondTick() {}
void markAlarmSections() {}
