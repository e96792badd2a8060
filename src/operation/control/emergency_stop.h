#pragma once
// The emergency stop of all trains.
//
// Reasons: 0 release, 1 emergency stop (space, stop button, step program, network), 2 silent stop,
// 3 booster short circuit, 4 start of a session with track control, 5 COM port failed, 6 central
// unit's power off, 7 no communication; any other reason empties the command queue and leaves the
// state at 0.
//
// The link's worker threads call it too: there the stop state takes effect at once (the workers stop
// sending), and everything else (trains, network, queue, message) is handed to the GUI thread.
#include <cstdint>

void emergencyStopAll(int reason);

// The gEmergencyState value a reason 1..7 puts in force (0 for the others).
uint8_t emergencyStateFor(int reason);
