#pragma once
// One monotonic millisecond clock for the whole program. Tests replace it to step the cycle tick by tick.
#include <cstdint>
#include <functional>

namespace vestrel {

// Milliseconds since the machine started, wrapping like a 32-bit tick counter.
uint32_t tickCountMs();
// High-resolution counter and its frequency (counts per second), for cycle statistics.
int64_t perfCounter();
int64_t perfFrequency();

// Replace the time source (nullptr restores the steady clock). The function returns milliseconds.
void setClockSource(std::function<uint32_t()> source);

// A clock a test can move by hand.
class ManualClock {
public:
    explicit ManualClock(uint32_t startMs = 0);
    ~ManualClock();
    void advance(uint32_t ms) { now_ += ms; }
    void set(uint32_t ms) { now_ = ms; }
    uint32_t now() const { return now_; }

private:
    uint32_t now_;
};

}  // namespace vestrel
