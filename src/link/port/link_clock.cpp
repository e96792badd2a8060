#include "link/port/link_clock.h"

#include <chrono>

#include "platform/precise_sleep.h"
#include "shell/model/settings.h"

std::atomic<uint8_t> gSleepMs{0};
std::atomic<uint8_t> gSleepPrecise{0};

namespace {

class SteadyLinkClock final : public LinkClock {
public:
    int64_t now() override {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    int64_t frequency() const override { return 1000000000; }
    void sleepMs(int ms) override { vestrel::preciseSleepMs(ms); }
    void sleepUntil(int64_t deadline) override { vestrel::sleepUntilSteadyNs(deadline); }
};

SteadyLinkClock gSteadyClock;
std::atomic<LinkClock*> gClock{&gSteadyClock};

}  // namespace

LinkClock& linkClock() { return *gClock.load(std::memory_order_acquire); }

void setLinkClock(LinkClock* clock) { gClock.store(clock ? clock : &gSteadyClock, std::memory_order_release); }

int64_t dccTransmitTicks(int64_t frequency, int characters, bool dcc19200) {
    const int64_t cells = int64_t{characters} * 10, baud = dcc19200 ? 19200 : 16457;
    return (frequency * cells + baud - 1) / baud;
}

void waitUntilTicks(int64_t& reference, int64_t ticks, int characters) {
    LinkClock& clock = linkClock();
    const int64_t f = clock.frequency();
    const int64_t wait = ticks + (characters > 0 ? dccTransmitTicks(f, characters, gSettings.chboDCC19200 != 0) : 0);
    const int64_t ticksPerMs = f / 1000;
    const int64_t deadline = reference + wait;
    int64_t now = clock.now();
    // Once sleeps have proved precise, one sleep to the deadline; before that, short sleeps and a busy
    // wait for the last millisecond.
    if (gSleepPrecise.load(std::memory_order_relaxed) >= 3 && now < deadline) {
        clock.sleepUntil(deadline);
        now = clock.now();
    }
    while (now < deadline) {
        const int64_t remainingMs = (deadline - now) / ticksPerMs;
        if (gSleepPrecise.load(std::memory_order_relaxed) >= 3 && remainingMs > 1)
            clock.sleepMs(static_cast<int>(remainingMs - 1));
        now = clock.now();
    }
    // A wait that ended a little late (the thread was not scheduled at once) still counts from its
    // deadline, so that the lateness does not add up packet by packet; one that ended much later starts
    // afresh.
    reference = now - deadline < ticksPerMs ? deadline : now;
}
