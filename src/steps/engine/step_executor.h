#pragma once
// Running the step programs.

// One pass over the running step programs, once per main-cycle tick.
void runStepPrograms();
