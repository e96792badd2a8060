#include "platform/precise_sleep.h"

#include <cerrno>
#include <ctime>

namespace vestrel {

void preciseSleepMs(int ms) {
    if (ms <= 0) return;
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    t.tv_sec += ms / 1000;
    t.tv_nsec += static_cast<long>(ms % 1000) * 1000000L;
    if (t.tv_nsec >= 1000000000L) {
        t.tv_nsec -= 1000000000L;
        ++t.tv_sec;
    }
    // An absolute wake-up time: an interrupted sleep resumes towards the same moment.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
    }
}

// The steady clock is CLOCK_MONOTONIC on Linux, so its readings are the sleep's own time base.
void sleepUntilSteadyNs(int64_t deadline) {
    if (deadline <= 0) return;
    timespec t{};
    t.tv_sec = static_cast<time_t>(deadline / 1000000000);
    t.tv_nsec = static_cast<long>(deadline % 1000000000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
    }
}

}  // namespace vestrel
