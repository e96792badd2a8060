#include "link/decoder_programming.h"

int16_t gMmProgState = 0;
