#pragma once
// One pass of the link thread in command-station mode: take a queued command, send it in P50 or
// P50X, read its reply; after a feedback poll read the feedback into the image and ask the command
// station for its power state and for what its own keyboard changed. Everything outside the port,
// the queue and the image goes through the hooks, so the pass runs the same in the program (where the
// hooks reach the GUI thread) and in tests.
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "link/protocol/p50_protocol.h"
#include "platform/serial_port.h"

struct CommandStationHooks {
    std::function<void(int reason)> emergencyStop;
    // F1..F8 of a locomotive on the track or function decoder with that address, -1 for neither.
    std::function<int(uint16_t address)> functionBits;
    // Complete records of an XEvtLok answer, 5 bytes each, without the terminator.
    std::function<void(const std::vector<uint8_t>& records)> locoEvents;
    // The 2n bytes of an XEvtTrn answer.
    std::function<void(const std::vector<uint8_t>& records)> accessoryEvents;
    std::function<void(uint8_t first, uint8_t second)> showFeedback;
    std::function<void()> clearFeedback;
    std::function<void(uint8_t first, uint8_t second)> showReply;
    std::function<void()> selectFormat;
    std::function<void(int code)> logError;
    // Sleeps up to ms; false when the link closes meanwhile.
    std::function<bool(int ms)> sleep;
};

// At most this many records of an XEvtLok answer are kept (the 52-byte link buffer); further ones are
// read and dropped up to the terminator.
constexpr int kMaxLocoEventRecords = 10;

class CommandStationPass {
public:
    // p50x: P50X alone (else P50 with "X" commands); cts: wait while the command station holds CTS low.
    CommandStationPass(bool p50x, bool cts, CommandStationHooks hooks);

    // One pass; false when the queue was empty (the thread then sleeps 10 ms).
    bool run(vestrel::SerialPort& port);

    int unansweredPolls() const { return unansweredPolls_; }
    uint16_t lastTurnout() const { return lastTurnout_; }
    // Reads that gave up before their reply had come whole (read on another thread by tests).
    int overdueReads() const { return overdueReads_.load(std::memory_order_acquire); }

private:
    void waitForCts(vestrel::SerialPort& port);
    void sendWithReply(vestrel::SerialPort& port, const P50Message& m);
    void switchSolenoidsOff(vestrel::SerialPort& port, const LinkCommand& c);
    bool writeAll(vestrel::SerialPort& port, const uint8_t* bytes, int n);
    void discardLateReplies(vestrel::SerialPort& port);
    void markOverdue();
    bool readFeedback(vestrel::SerialPort& port);
    bool readP50XFeedback(vestrel::SerialPort& port);
    bool readP50Feedback(vestrel::SerialPort& port);
    void askAfterPoll(vestrel::SerialPort& port);
    bool queueEmpty();
    void checkPower(vestrel::SerialPort& port);
    void readLocoEvents(vestrel::SerialPort& port);
    void readAccessoryEvents(vestrel::SerialPort& port);

    bool p50x_;
    bool cts_;
    CommandStationHooks hooks_;
    int unansweredPolls_ = 0;
    uint16_t lastTurnout_ = 0;
    bool replyOverdue_ = false;  // a read gave up before its reply had come whole
    std::atomic<int> overdueReads_{0};
    std::vector<uint16_t> switchedOn_;  // P50X: accessory addresses switched on and not yet off
};
