#pragma once
// Opening and closing the command-station link and its ports.
#include <atomic>
#include <cstdint>

// Feedback poll period of command-station mode in ms (set when the link opens).
extern int16_t gPollPeriod;
// Set by the running engine when the S88 modules are due to be read; cleared by the S88 thread.
extern std::atomic<uint8_t> gS88PollRequest;

// Stops the link's worker threads and closes the ports; nothing when no link is open.
void closeCommandStationLink();
