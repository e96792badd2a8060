#pragma once
// The Motorola decoder programming sequence.

// One step of the sequence per main-cycle tick of a session (also during an emergency stop).
void runMmProgrammingStep();
