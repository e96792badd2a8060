#include "operation/engine/second_tick.h"

ModelClock gModelClock;
uint8_t gFifoRecheckCountdown = 0;

// The model clock and the per-second checks are not kept yet.
void secondTick() {}
void markAlarmSections() {}
