#pragma once
// Decoder programming.
#include <cstdint>

extern int16_t gMmProgState;  // state of the Motorola programming sequence, 0 idle
