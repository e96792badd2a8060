#include "network/net_mode.h"

#include "network/net_state.h"

void loadNetConfig() {}

void setNetworkMode(int mode) { gNetMode = static_cast<uint8_t>(mode); }
