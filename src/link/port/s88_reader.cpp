#include "link/port/s88_reader.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "link/buffers/link_buffers.h"
#include "link/port/parallel_feedback.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kStep = std::chrono::microseconds(10);          // the parallel port's clock step
constexpr auto kPulse = std::chrono::microseconds(200);        // RTS and DTR pulses of the COM interface
constexpr int kRounds = 10;
constexpr int kMaxDiscard = 140;

void busyWaitUntil(Clock::time_point t) {
    while (Clock::now() < t) {
    }
}

// Steps of the parallel port's clock: each wait ends a step after the previous port access ended.
class StepClock {
public:
    void wait() const { busyWaitUntil(last_ + kStep); }
    void mark() { last_ = Clock::now(); }

private:
    Clock::time_point last_ = Clock::now();
};

}  // namespace

uint8_t s88ByteOfWord(uint16_t word) {
    uint8_t b = 0;
    for (int k = 0; k < 8; ++k)
        if (word & (1u << (2 * k))) b |= static_cast<uint8_t>(0x80 >> k);
    return b;
}

S88Reader::S88Reader(S88Hooks hooks) : hooks_(std::move(hooks)) {}

void S88Reader::readParallel(int n) {
    n = std::clamp(n, 0, kFeedbackImageSize);
    const uint16_t data = static_cast<uint16_t>(gSettings.edtLPTAdres);
    const uint16_t statusRegister = static_cast<uint16_t>(data + 1);
    StepClock clock;
    auto write = [&](uint8_t v) {
        portWriteByte(data, v);
        clock.mark();
    };
    write(0x21);  // load the modules' shift registers
    clock.wait();
    write(0xA1);
    clock.wait();
    write(0x09);
    status = kS88NoModules;
    for (int i = 0; i < n; ++i) {
        uint8_t byte = 0;
        for (int mask = 0x80; mask != 0; mask >>= 1) {
            clock.wait();
            write(0x01);
            clock.wait();
            const bool occupied = !(portReadByte(statusRegister) & 0x80);
            clock.mark();
            if (occupied) byte |= static_cast<uint8_t>(mask);
            write(0x81);
        }
        gFeedbackImage.storeByte(i, byte);
        if (byte != 0xFF) status = kS88Ok;
    }
    gFeedbackImage.publish(n);
}

void S88Reader::readCom(vestrel::SerialPort& port, int n) {
    n = std::clamp(n, 0, kFeedbackImageSize);
    if (gEmergencyState == 0 && !port.alive()) {
        hooks_.emergencyStop(5);
        status = kS88PortError;
        return;
    }
    std::vector<uint8_t> request(static_cast<size_t>(2 * n), 0xD5);
    if (!request.empty()) request[0] = 0xD4;
    std::vector<uint8_t> answer(static_cast<size_t>(2 * n)), previous;
    bool confirmed = false;
    bool firstContact = false;
    const uint8_t wake = 0xFF;
    for (int round = 0; round < kRounds && !confirmed; ++round) {
        const Clock::time_point t0 = Clock::now();
        port.setRts(true);
        const Clock::time_point t1 = Clock::now();
        port.write(&wake, 1);
        busyWaitUntil(t1 + kPulse);
        port.setRts(false);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
        converterMs = static_cast<uint8_t>(std::clamp<long long>(ms, 1, 255));

        port.write(request.data(), static_cast<int>(request.size()));
        if (!hooks_.sleep(20)) return;
        uint8_t first = 0;
        if (port.read(&first, 1) != 1) {
            port.write(&wake, 1);
            status = kS88NoInterface;
            break;
        }
        firstContact = (first & 0x01) != 0;
        const int got = answer.empty() ? 0 : port.read(answer.data(), static_cast<int>(answer.size()));
        if (got != static_cast<int>(answer.size())) {
            previous.clear();  // a short answer is never confirmed, nor compared with the next
            continue;
        }
        confirmed = !previous.empty() && previous == answer;
        previous = answer;
    }
    if (confirmed) {
        status = kS88NoModules;
        for (int i = 0; i < n; ++i) {
            uint8_t b = s88ByteOfWord(static_cast<uint16_t>(answer[2 * i] | (answer[2 * i + 1] << 8)));
            if (b != 0xFF && !(i == 0 && b == 0x7F)) status = kS88Ok;
            if (i == 0 && firstContact) b |= 0x80;
            gFeedbackImage.storeByte(i, b);
        }
        gFeedbackImage.publish(n);
    } else if (status == kS88Ok) {
        status = kS88DataError;
    }
    uint8_t scrap[kMaxDiscard];
    const int waiting = std::min(port.bytesWaiting(), kMaxDiscard);
    if (waiting > 0) port.read(scrap, waiting);
    port.setDtr(false);
    busyWaitUntil(Clock::now() + kPulse);
    port.setDtr(true);
}
