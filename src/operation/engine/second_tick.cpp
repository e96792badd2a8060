#include "operation/engine/second_tick.h"

// The model clock and the per-second checks are not kept yet.
void secondTick() {}
void markAlarmSections() {}
