#pragma once
// Opening and closing the command-station link and its ports.
#include <atomic>
#include <cstdint>

// 1 while the link is open; the link's worker threads loop while it is set.
extern std::atomic<uint8_t> gLinkOpen;

// Opens the ports of the settings and starts the link's worker threads; on failure the user is told
// why and gLinkOpen stays 0.
void openCommandStationLink();
// Stops the link's worker threads and closes the ports; nothing when no link is open.
void closeCommandStationLink();
