#pragma once
// Sleeping on a worker thread with the finest timing the system offers.
#include <cstdint>

namespace vestrel {

// Sleeps ms milliseconds on the monotonic clock (continues after a signal). Never call it on the GUI thread.
void preciseSleepMs(int ms);
// Sleeps until the steady clock (std::chrono::steady_clock, in nanoseconds since its epoch) reads
// `deadline`; returns at once when it has passed.
void sleepUntilSteadyNs(int64_t deadline);

}  // namespace vestrel
