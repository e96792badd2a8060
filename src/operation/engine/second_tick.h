#pragma once
// The once-per-second work of a session and the alarm marks of the blocks.
#include <cstdint>

// The model clock: hours 0..23, minutes and seconds 0..59.
struct ModelClock {
    int32_t hours = 0;
    int32_t minutes = 0;
    int32_t seconds = 0;
};
extern ModelClock gModelClock;

// Seconds until the FIFO of waiting automatic trains is re-evaluated (0: not counting).
extern uint8_t gFifoRecheckCountdown;

// Called on every session tick; acts once a second has passed.
void secondTick();
// Marks the blocks whose sections report an alarm.
void markAlarmSections();
