#pragma once
// The running engine: one step of every train per main-cycle tick.

void runTrainsCycle();
