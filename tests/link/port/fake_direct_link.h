#pragma once
// A stepped clock and a fake track port for the direct-mode sender: every write is recorded with its
// time and the format the port held, modem lines and short writes are set by the test.
#include <atomic>
#include <cstdint>
#include <vector>

#include "link/port/direct_link.h"
#include "link/port/link_clock.h"

// Counts microseconds; each reading moves it on by `spin` (a busy-wait ends), a sleep by its length
// plus `sleepExtra`.
class SteppedClock final : public LinkClock {
public:
    SteppedClock() { setLinkClock(this); }
    ~SteppedClock() override { setLinkClock(nullptr); }
    int64_t now() override { return t += spin; }
    int64_t frequency() const override { return 1000000; }
    void sleepMs(int ms) override {
        t += ms * 1000 + sleepExtra;
        ++sleeps;
    }
    void sleepUntil(int64_t deadline) override {
        if (deadline > t) t = deadline + lateWake;
    }
    int64_t t = 1000000;
    int64_t spin = 1;
    int64_t sleepExtra = 100;
    int64_t lateWake = 0;  // how late a sleep to a deadline wakes
    int sleeps = 0;
};

class FakeDirectLink final : public DirectLink {
public:
    struct Write {
        int64_t at = 0;  // microseconds of the stepped clock
        bool dcc = false;
        bool accessory = false;
        std::vector<uint8_t> bytes;
    };
    struct Logged {
        int code, commandClass, address, data;
    };

    explicit FakeDirectLink(LinkClock& clock) : clock_(clock) {}

    int write(const uint8_t* bytes, int n) override {
        int accepted = n;
        if (failWrites > 0) {
            --failWrites;
            accepted = n / 2;
        }
        writes.push_back({clock_.now(), dcc, accessory, std::vector<uint8_t>(bytes, bytes + accepted)});
        return accepted;
    }
    void selectFormat(bool d, bool a, bool force) override {
        dcc = d;
        accessory = !d && a;
        if (force) ++forcedSelections;
    }
    void setBoosterPower(bool on) override { booster = on; }
    int shortCircuitLine() override { return dsr; }
    bool alive() override { return portAlive; }
    bool hasSecondPort() override { return false; }
    int formatSwitchMs() override { return 3; }
    void logError(int code, int commandClass, int address, int data) override {
        errors.push_back({code, commandClass, address, data});
    }
    std::atomic<uint16_t>& statusBits() override { return bits; }
    int queuedOut() override { return queued; }

    std::vector<Write> writes;
    int queued = -1;  // what the port says it still holds (-1: it cannot tell)
    std::vector<Logged> errors;
    std::atomic<uint16_t> bits{0};
    bool dcc = false;
    bool accessory = false;
    bool booster = true;
    int dsr = -1;
    bool portAlive = true;
    int failWrites = 0;
    int forcedSelections = 0;

private:
    LinkClock& clock_;
};
