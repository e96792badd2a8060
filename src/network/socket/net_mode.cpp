#include "network/socket/net_mode.h"

#include "network/model/net_state.h"

void loadNetConfig() {}

void setNetworkMode(int mode) { gNetMode = static_cast<uint8_t>(mode); }
