#pragma once
// The once-per-second work of a session and the alarm marks of the blocks.
#include <cstdint>
#include <string>

struct LocoRec;

// The model clock: hours 0..23, minutes and seconds 0..59.
struct ModelClock {
    int32_t hours = 0;
    int32_t minutes = 0;
    int32_t seconds = 0;
};
extern ModelClock gModelClock;

// gMsTick at which the next second is due.
extern int32_t gSecondDue;
// Toggled every second: halted trains and forced-red signals blink with it.
extern uint8_t gBlinkPhase;
// Seconds until the FIFO of waiting automatic trains is re-evaluated (0: not counting).
extern uint8_t gFifoRecheckCountdown;

// Called on every session tick; acts once a second has passed.
void secondTick();
// Sets and clears the alarm mark (state 0x04) of the blocks whose train is halted or failed its
// position check, together with the other block of the train's connection.
void markAlarmSections();

// The clock as the main window shows it ("%2d:%2.2d:%2.2d").
std::string modelClockText();
// The kilometre counters as the locomotive panel and the train dialog show them: total and heading 'H'
// whole, the day's with two decimals.
struct LocoKmTexts {
    std::string total, headingH, day;
};
LocoKmTexts locoKmTexts(const LocoRec& loco);
