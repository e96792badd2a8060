#include "network/model/net_state.h"

uint8_t gNetMode = 0;
uint8_t gNetLinkState = 0;
uint8_t gClientWatchdog = 0;
uint8_t gNetOwnClientNumber = 0;
