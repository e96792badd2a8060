#pragma once
// The counter and the sleep that time the direct track signal. The link thread uses the steady clock and
// a precise sleep; tests put a stepped clock in its place.
#include <algorithm>
#include <atomic>
#include <cstdint>

class LinkClock {
public:
    virtual ~LinkClock() = default;
    virtual int64_t now() = 0;              // counter ticks
    virtual int64_t frequency() const = 0;  // ticks per second
    virtual void sleepMs(int ms) = 0;
    // Sleeps until now() reaches deadline (whole milliseconds, rounded up, unless the clock can do
    // better).
    virtual void sleepUntil(int64_t deadline) {
        const int64_t perMs = std::max<int64_t>(frequency() / 1000, 1);
        for (int64_t left = deadline - now(); left > 0; left = deadline - now())
            sleepMs(static_cast<int>((left + perMs - 1) / perMs));
    }
};

// The clock of the link threads; setLinkClock(nullptr) restores the steady clock.
LinkClock& linkClock();
void setLinkClock(LinkClock* clock);

// Measured duration of a 1 ms sleep in whole ms, and how many measurements in a row have proved it to last
// at most 2 ms (0..3): the waits sleep only at 3 and busy-wait otherwise.
extern std::atomic<uint8_t> gSleepMs;
extern std::atomic<uint8_t> gSleepPrecise;

// Counter ticks that a number of DCC characters take on the line: 1645.7 characters a second at 16457
// baud, 1920 at 19200 (dcc19200), 10 bit cells each; rounded up, so the sender never outpaces the line.
int64_t dccTransmitTicks(int64_t frequency, int characters, bool dcc19200);

// Waits until `ticks` have passed since `reference`, plus the transmit time of `characters` DCC characters,
// then moves the reference on to that moment (to the present when the wait ended over 1 ms late).
void waitUntilTicks(int64_t& reference, int64_t ticks, int characters = 0);
