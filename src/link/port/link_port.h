#pragma once
// Opening and closing the command-station link and its ports.
#include <atomic>
#include <cstdint>

// Feedback poll period of command-station mode in ms (set when the link opens).
extern int16_t gPollPeriod;
// Set by the running engine when the S88 modules are due to be read; cleared by the S88 thread.
extern std::atomic<uint8_t> gS88PollRequest;

// 1 while the link is open; the link's worker threads loop while it is set.
extern std::atomic<uint8_t> gLinkOpen;

// Opens the ports of the settings and starts the link's worker threads; on failure the user is told
// why and gLinkOpen stays 0.
void openCommandStationLink();
// Stops the link's worker threads and closes the ports; nothing when no link is open.
void closeCommandStationLink();
