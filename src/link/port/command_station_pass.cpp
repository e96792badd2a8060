#include "link/port/command_station_pass.h"

#include <algorithm>

#include "link/buffers/link_buffers.h"
#include "link/protocol/p50_protocol.h"
#include "shell/model/app_state.h"

using vestrel::LineState;
using vestrel::SerialPort;

namespace {

constexpr int kCtsChecks = 100;
constexpr int kPollsBeforeSilence = 10;  // the 11th unanswered poll stops the trains
constexpr int kMaxDiscard = 50;
constexpr int kMaxSensorBytes = 50;
constexpr int kMaxDrainedRecords = 255;
constexpr int kMaxLateRounds = 5;

bool isPoll(uint8_t b) { return (b & 0xE0) == 0x80; }

// Reads and drops what is waiting, up to n bytes.
void discardWaiting(SerialPort& port, int n) {
    uint8_t scrap[kMaxDiscard];
    const int waiting = std::min({port.bytesWaiting(), n, kMaxDiscard});
    if (waiting > 0) port.read(scrap, waiting);
}

}  // namespace

CommandStationPass::CommandStationPass(bool p50x, bool cts, CommandStationHooks hooks)
    : p50x_(p50x), cts_(cts), hooks_(std::move(hooks)) {}

bool CommandStationPass::queueEmpty() {
    LinkCommand c;
    return gCommandQueue.peek(c, false) == RingTake::Empty;
}

void CommandStationPass::waitForCts(SerialPort& port) {
    LinkCommand next;
    if (gCommandQueue.peek(next, false) == RingTake::Command && next.bytes[0] == kCmdGo) return;
    for (int check = 0; port.cts() == LineState::Clear; ++check) {
        if (check == kCtsChecks) {
            hooks_.emergencyStop(7);
            return;
        }
        if (!hooks_.sleep(10)) return;
    }
}

// A reply that came after its read gave up would be taken for the answer to the next command, and
// every later answer would be read one reply behind: after such a read, what still arrives is read
// and dropped until a whole read time-out passes in silence (bounded, should the line never rest).
void CommandStationPass::discardLateReplies(SerialPort& port) {
    replyOverdue_ = false;
    uint8_t scrap[kMaxDiscard];
    for (int round = 0; round < kMaxLateRounds && port.read(scrap, kMaxDiscard) > 0; ++round) {
    }
}

void CommandStationPass::markOverdue() {
    replyOverdue_ = true;
    overdueReads_.fetch_add(1, std::memory_order_release);
}

// A short write goes on with the rest of the same message; a write that sends nothing ends it.
bool CommandStationPass::writeAll(SerialPort& port, const uint8_t* bytes, int n) {
    if (replyOverdue_) discardLateReplies(port);
    int sent = 0;
    while (sent < n) {
        const int w = port.write(bytes + sent, n - sent);
        if (w <= 0) break;
        sent += w;
    }
    return sent == n;
}

bool CommandStationPass::run(SerialPort& port) {
    if (gEmergencyState == 0 && !port.alive()) {
        hooks_.clearFeedback();
        hooks_.emergencyStop(5);
    }
    hooks_.selectFormat();
    if (cts_) waitForCts(port);

    LinkCommand c;
    const RingTake t = gCommandQueue.take(c, false);
    if (t == RingTake::Overrun) {
        gCommandQueue.skipAll();
        hooks_.logError(1);
        return false;
    }
    if (t == RingTake::Empty) return false;

    const uint8_t first = c.bytes[0];
    if (isPoll(first)) discardWaiting(port, kMaxDiscard);
    if (first == kCmdStop) gEmergencyState.fetch_or(0x10);

    if (p50x_ && first == kCmdSolenoidsOff) {
        switchSolenoidsOff(port, c);
        return true;
    }
    const P50Message m = encodeCommand(c, p50x_, lastTurnout_, hooks_.functionBits);
    if (m.length == 0) return true;
    if (p50x_ && (first == kCmdAccessoryGreen || first == kCmdAccessoryRed) &&
        std::find(switchedOn_.begin(), switchedOn_.end(), lastTurnout_) == switchedOn_.end())
        switchedOn_.push_back(lastTurnout_);
    if (!m.poll) {
        sendWithReply(port, m);
        return true;
    }
    writeAll(port, m.bytes, m.length);
    if (readFeedback(port)) {
        unansweredPolls_ = 0;
        askAfterPoll(port);
    } else if (unansweredPolls_ >= kPollsBeforeSilence) {
        hooks_.emergencyStop(7);
        unansweredPolls_ = 0;
    } else {
        ++unansweredPolls_;
    }
    return true;
}

void CommandStationPass::sendWithReply(SerialPort& port, const P50Message& m) {
    writeAll(port, m.bytes, m.length);
    if (m.readsReply) {
        uint8_t reply;
        if (port.read(&reply, 1) != 1) markOverdue();
    }
    hooks_.showReply(m.bytes[0], m.length > 1 ? m.bytes[1] : 0);
}

// An XTrnt switches one address, so every address switched on since the last switch-off gets its own
// off; with none, the last one switched on is switched off again.
void CommandStationPass::switchSolenoidsOff(SerialPort& port, const LinkCommand& c) {
    if (switchedOn_.empty()) switchedOn_.push_back(lastTurnout_);
    for (uint16_t address : switchedOn_) {
        lastTurnout_ = address;
        sendWithReply(port, encodeCommand(c, true, lastTurnout_, hooks_.functionBits));
    }
    switchedOn_.clear();
}

bool CommandStationPass::readFeedback(SerialPort& port) {
    return p50x_ ? readP50XFeedback(port) : readP50Feedback(port);
}

// XEvtSen: records of (module, byte, byte) up to module 0; only the bytes received are walked.
bool CommandStationPass::readP50XFeedback(SerialPort& port) {
    uint8_t bytes[kMaxSensorBytes];
    int n = 0;
    while (n < kMaxSensorBytes) {
        if (port.read(bytes + n, 1) != 1) {
            markOverdue();
            break;
        }
        if (bytes[n++] == 0) break;
        const int want = std::min(2, kMaxSensorBytes - n);
        const int got = port.read(bytes + n, want);
        n += got;
        if (got != want) {
            markOverdue();
            break;
        }
    }
    SensorRecord last{};
    const int modules =
        walkSensorRecords(bytes, n, [](int index, uint8_t v) { gFeedbackImage.storeByte(index, v); }, &last);
    if (modules > 0) {
        gFeedbackImage.publish(gFeedbackByteCount);
        hooks_.showFeedback(last.first, last.second);
    }
    return n > 0;
}

// P50: the image bytes of modules 1..m, in as many pieces as they come.
bool CommandStationPass::readP50Feedback(SerialPort& port) {
    const int want = std::clamp(static_cast<int>(gFeedbackByteCount), 0, kFeedbackImageSize);
    uint8_t bytes[kFeedbackImageSize];
    int n = 0;
    while (n < want) {
        const int got = port.read(bytes + n, want - n);
        if (got <= 0) break;
        n += got;
    }
    if (n < want) markOverdue();
    for (int i = 0; i < n; ++i) gFeedbackImage.storeByte(i, bytes[i]);
    if (n > 0 && n == want) gFeedbackImage.publish(want);
    if (n >= 2) hooks_.showFeedback(bytes[(n - 2) & ~1], bytes[((n - 2) & ~1) + 1]);
    return n > 0;
}

void CommandStationPass::askAfterPoll(SerialPort& port) {
    if (queueEmpty()) checkPower(port);
    if (gEmergencyState == 0 && queueEmpty()) readLocoEvents(port);
    if (gEmergencyState == 0 && queueEmpty()) readAccessoryEvents(port);
}

void CommandStationPass::checkPower(SerialPort& port) {
    const P50Message q = encodeQuery(kXStatus, p50x_);
    writeAll(port, q.bytes, q.length);
    uint8_t status = 0;
    const int got = port.read(&status, 1);
    if (got != 1) markOverdue();
    hooks_.sleep(10);
    discardWaiting(port, kMaxDiscard);
    if (got == 1 && !(status & 0x08)) hooks_.emergencyStop(6);
}

// XEvtLok: records of 5 bytes up to a record whose first byte is 0x80 or more. The records that fit
// the link buffer are kept, the rest is read and dropped; they are applied only when the answer came
// whole.
void CommandStationPass::readLocoEvents(SerialPort& port) {
    const P50Message q = encodeQuery(kXEvtLok, p50x_);
    writeAll(port, q.bytes, q.length);
    std::vector<uint8_t> records;
    uint8_t chunk[5] = {};
    int last = port.read(chunk, 1);
    if (last != 1) markOverdue();
    uint8_t recordStart = chunk[0];
    for (int record = 0; last > 0 && recordStart < 0x80 && record < kMaxDrainedRecords; ++record) {
        // The other 4 bytes of this record and the first byte of the next.
        uint8_t rec[5] = {recordStart};
        last = port.read(chunk, 5);
        if (last != 5) {
            markOverdue();
            break;
        }
        std::copy(chunk, chunk + 4, rec + 1);
        if (record < kMaxLocoEventRecords) records.insert(records.end(), rec, rec + 5);
        recordStart = chunk[4];
    }
    if ((last == 1 || last == 5) && recordStart >= 0x80 && !records.empty()) hooks_.locoEvents(records);
}

// XEvtTrn: a count n, then n records of 2 bytes, all read and applied.
void CommandStationPass::readAccessoryEvents(SerialPort& port) {
    const P50Message q = encodeQuery(kXEvtTrn, p50x_);
    writeAll(port, q.bytes, q.length);
    uint8_t count = 0;
    if (port.read(&count, 1) != 1) {
        markOverdue();
        return;
    }
    if (count == 0) return;
    std::vector<uint8_t> records(2 * static_cast<size_t>(count));
    int n = 0;
    while (n < static_cast<int>(records.size())) {
        const int got = port.read(records.data() + n, static_cast<int>(records.size()) - n);
        if (got <= 0) break;
        n += got;
    }
    if (n == static_cast<int>(records.size())) hooks_.accessoryEvents(records);
    else markOverdue();
}
