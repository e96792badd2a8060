#include "link/port/link_port.h"

#include "shell/config/messages.h"

std::atomic<uint8_t> gLinkOpen{0};
int16_t gPollPeriod = 300;
std::atomic<uint8_t> gS88PollRequest{0};

// The serial ports are not driven yet: the configured port is reported as unavailable, so a session
// with track control is not started and nothing pretends that a command station answers.
void openCommandStationLink() { showDialogMessage("Ingestelde COM-poort niet beschikbaar !", 1); }

void closeCommandStationLink() { gLinkOpen = 0; }
