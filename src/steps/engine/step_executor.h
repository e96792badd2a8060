#pragma once
// Running the step programs: once per main-cycle tick every running program looks at its current step,
// waits until the step's condition holds or its time runs out, performs the action and moves on.
#include <cstdint>

struct StepProgramRec;
struct StepRec;

// Ticks on which the executor does nothing at all; 3 after every action performed.
extern uint8_t gStepSkipTicks;

// A resolved target of conditions 3 and 4 is an output index, 1024 + a turnout index or 2048 + a signal index.
constexpr int kTurnoutTargetBase = 1024;
constexpr int kSignalTargetBase = 2048;

// One pass over the step programs, once per main-cycle tick.
void runStepPrograms();
// Caches the table index of the object the step's condition names (-1 none), see the condition table.
void resolveStepConditionTarget(StepRec* step);
// Starts the wait of the current run: wait left := the time of its action step, next second in 1000 ms.
void startStepWait(StepProgramRec* program);
