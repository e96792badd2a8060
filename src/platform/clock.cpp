#include "platform/clock.h"

#include <chrono>

namespace vestrel {
namespace {
std::function<uint32_t()>& source() {
    static std::function<uint32_t()> s;
    return s;
}
const auto gStart = std::chrono::steady_clock::now();
}  // namespace

// The monotonic clock counts from the machine's start, as a system tick does: a program that has just
// started does not sit at a tick below one second, which the once-a-second step reads as a restart.
uint32_t tickCountMs() {
    if (source()) return source()();
    const auto d = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

int64_t perfCounter() {
    if (source()) return static_cast<int64_t>(source()()) * 1000;  // microseconds follow the test clock
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - gStart).count();
}

int64_t perfFrequency() { return 1000000; }

void setClockSource(std::function<uint32_t()> s) { source() = std::move(s); }

ManualClock::ManualClock(uint32_t startMs) : now_(startMs) {
    setClockSource([this] { return now_; });
}

ManualClock::~ManualClock() { setClockSource(nullptr); }

}  // namespace vestrel
