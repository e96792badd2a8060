#pragma once
// Opening and closing the command-station link and its ports.

// Stops the link's worker threads and closes the ports; nothing when no link is open.
void closeCommandStationLink();
