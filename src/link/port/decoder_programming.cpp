#include "link/port/decoder_programming.h"

int16_t gMmProgState = 0;

// No programming sequence can be started yet.
void runMmProgrammingStep() {}

LocoRec* mmProgrammedLoco() { return nullptr; }
