#include "link/port/link_port.h"

int16_t gPollPeriod = 300;
std::atomic<uint8_t> gS88PollRequest{0};

// No link is ever opened yet, so there is nothing to close.
void closeCommandStationLink() {}
