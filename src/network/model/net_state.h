#pragma once
#include <cstdint>

extern uint8_t gNetMode;       // configured mode: 0 stand-alone, 30 server, 40 client
extern uint8_t gNetLinkState;  // live link state; 40 = synchronised client
