#pragma once
// Emergency stop of all trains.

// Stops every train (reasons 1..7) or releases the stop (reason 0).
void emergencyStopAll(int reason);
