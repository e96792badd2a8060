#pragma once
// Decoder programming.
#include <cstdint>

extern int16_t gMmProgState;  // state of the Motorola programming sequence, 0 idle

// One step of the Motorola programming sequence per main-cycle tick of a session (also during an
// emergency stop).
void runMmProgrammingStep();

struct LocoRec;
// The locomotive the Motorola programming sequence works on (the only one the sender refreshes while it
// runs), or none.
LocoRec* mmProgrammedLoco();
