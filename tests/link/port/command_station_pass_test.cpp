// The link thread's command-station pass against a fake command station on a pseudo-terminal (and a
// scripted port for what a pseudo-terminal lacks): bytes on the wire, feedback, the power check, the
// keyboard events and every way the link fails.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

#include "link/buffers/link_buffers.h"
#include "link/port/command_station_pass.h"
#include "link/port/fake_command_station.h"
#include "platform/scripted_serial_port.h"
#include "shell/model/app_state.h"

using namespace vestrel;
using vestrel::test::FakeCommandStation;
using vestrel::test::ScriptedSerialPort;
using Bytes = std::vector<uint8_t>;

namespace {

// What the pass asked of the rest of the program.
struct Calls {
    std::vector<int> stops;
    std::vector<Bytes> locoEvents, accessoryEvents;
    std::vector<std::pair<uint8_t, uint8_t>> feedback, replies;
    int cleared = 0, sleeps = 0, logged = 0;
};

CommandStationHooks hooksFor(Calls& calls) {
    CommandStationHooks h;
    h.emergencyStop = [&](int r) { calls.stops.push_back(r); };
    h.functionBits = [](uint16_t a) { return a == 5 ? 0x21 : -1; };
    h.locoEvents = [&](const Bytes& r) { calls.locoEvents.push_back(r); };
    h.accessoryEvents = [&](const Bytes& r) { calls.accessoryEvents.push_back(r); };
    h.showFeedback = [&](uint8_t a, uint8_t b) { calls.feedback.push_back({a, b}); };
    h.clearFeedback = [&] { ++calls.cleared; };
    h.showReply = [&](uint8_t a, uint8_t b) { calls.replies.push_back({a, b}); };
    h.selectFormat = [] {};
    h.logError = [&](int) { ++calls.logged; };
    h.sleep = [&](int) {
        ++calls.sleeps;
        return true;
    };
    return h;
}

void queue(const Bytes& b) { ASSERT_TRUE(gCommandQueue.append(b.data(), static_cast<int>(b.size()), false)); }

// A fake command station on COM1 and the pass on the other end.
class Rig {
public:
    explicit Rig(bool p50x, int readConstantMs = 100) : station(p50x), pass(p50x, false, hooksFor(calls)) {
        gCommandQueue.reset();
        gEmergencyState = 0;
        gFeedbackByteCount = 4;
        station.pty().setAsComPort(1);
        port = openSerialPort("COM1");
        if (port) port->setTimeouts({0, 0, readConstantMs, 0, 100});
    }
    ~Rig() { gCommandQueue.reset(); }
    // Queues the command and runs one pass for it.
    void send(const Bytes& b) {
        queue(b);
        pass.run(*port);
    }

    FakeCommandStation station;
    Calls calls;
    CommandStationPass pass;
    std::unique_ptr<SerialPort> port;
};

}  // namespace

TEST(CommandStationPass, WireTableInBothModes) {
    struct Row {
        Bytes queued;
        std::vector<Bytes> p50, p50x;  // messages the station received
    };
    const Row rows[] = {
        {{0x58, 0x80, 0x05, 0x00, 0x2E, 0x60}, {{0x58, 0x80, 0x05, 0x00, 0x2E, 0x60}}, {{0x80, 0x05, 0x00, 0x2E, 0x60}}},
        {{0x21, 0x2C, 0x01}, {}, {{0x90, 0x2C, 0xC1}}},
        {{0x20}, {{0x20}}, {{0x90, 0x2C, 0x01}}},
        {{0x60}, {{0x60}}, {{0xA7}}},
        {{0x81}, {{0x81}, {0x58, 0xA2}, {0x58, 0xC9}, {0x58, 0xCA}}, {{0xCB}, {0xA2}, {0xC9}, {0xCA}}},
        {{0x61}, {{0x61}}, {{0xA6}}},
    };
    for (bool p50x : {false, true}) {
        Rig rig(p50x);
        ASSERT_TRUE(rig.port);
        rig.station.setModule(1, 0x12, 0x34);
        std::vector<Bytes> expected;
        for (const Row& r : rows) {
            rig.send(r.queued);
            const auto& add = p50x ? r.p50x : r.p50;
            expected.insert(expected.end(), add.begin(), add.end());
        }
        EXPECT_EQ(rig.station.messagesSoFar(), expected) << (p50x ? "P50X" : "P50");
        EXPECT_TRUE(rig.calls.stops.empty());
        EXPECT_EQ(gEmergencyState & 0x10, 0x10) << "the stop command marks the track power off";
    }
}

TEST(CommandStationPass, FeedbackIsPublishedWholeInP50AndP50X) {
    // A read waits up to a second here: a busy machine may be slow to let the station answer, and an
    // answer that is there ends the wait at once.
    for (bool pieces : {false, true}) {
        Rig rig(false, 1000);
        rig.station.setPieces(pieces);
        rig.station.setModule(1, 0x81, 0x02);
        rig.station.setModule(2, 0x00, 0x40);
        const uint32_t before = gFeedbackImage.lastRead().number;
        rig.send({0x82});
        EXPECT_EQ(gFeedbackImage.lastRead().number, before + 1);
        EXPECT_EQ(gFeedbackImage.lastRead().byteCount, 4);
        EXPECT_EQ((Bytes{gFeedbackImage.byteAt(0), gFeedbackImage.byteAt(1), gFeedbackImage.byteAt(2), gFeedbackImage.byteAt(3)}),
                  (Bytes{0x81, 0x02, 0x00, 0x40}));
        ASSERT_FALSE(rig.calls.feedback.empty());
        EXPECT_EQ(rig.calls.feedback.back(), std::make_pair(uint8_t{0x00}, uint8_t{0x40}));
    }
    Rig rig(true, 1000);
    rig.station.setSensorAnswer({2, 0x55, 0xAA, 36, 0x01, 0x01, 0});  // module 36 is beyond the image
    const uint32_t before = gFeedbackImage.lastRead().number;
    rig.send({0x82});
    EXPECT_EQ(gFeedbackImage.lastRead().number, before + 1);
    EXPECT_EQ(gFeedbackImage.byteAt(2), 0x55);
    EXPECT_EQ(gFeedbackImage.byteAt(3), 0xAA);
    ASSERT_FALSE(rig.calls.feedback.empty());
    EXPECT_EQ(rig.calls.feedback.back(), std::make_pair(uint8_t{0x55}, uint8_t{0xAA}));
}

TEST(CommandStationPass, SilenceStopsTheTrainsAtTheEleventhPoll) {
    Rig rig(true, 10);
    rig.station.setSilent(true);
    for (int poll = 1; poll <= 10; ++poll) rig.send({0x81});
    EXPECT_TRUE(rig.calls.stops.empty());
    rig.send({0x81});
    EXPECT_EQ(rig.calls.stops, std::vector<int>{7});
    EXPECT_EQ(rig.pass.unansweredPolls(), 0) << "the count starts again";
}

TEST(CommandStationPass, AReplyThatComesAfterItsReadGaveUpIsNotTakenForTheNextOne) {
    // The station answers the speed command only once the pass has given up waiting for it. The poll
    // and the power check that follow still read their own answers. (The late byte comes at once after
    // the read gave up; the read time-out is long enough for a busy machine to deliver it meanwhile.)
    for (bool p50x : {false, true}) {
        SCOPED_TRACE(p50x ? "P50X" : "P50");
        Rig rig(p50x, 1000);
        rig.station.setModule(1, 0x12, 0x34);
        rig.station.setModule(2, 0x00, 0x00);
        rig.station.holdNextAnswerUntil([&rig] { return rig.pass.overdueReads() > 0; });
        rig.send({0x58, 0x80, 0x05, 0x00, 0x2E, 0x60});
        rig.send({0x82});
        EXPECT_TRUE(rig.calls.stops.empty()) << "the power check took a foreign byte";
        EXPECT_EQ(gFeedbackImage.byteAt(0), 0x12);
        EXPECT_EQ(gFeedbackImage.byteAt(1), 0x34);
    }
}

TEST(CommandStationPass, PowerOffReportedByTheCommandStation) {
    Rig rig(true);
    rig.station.setPower(false);
    rig.send({0x81});
    EXPECT_EQ(rig.calls.stops, std::vector<int>{6});
    Rig on(false);
    on.send({0x81});
    EXPECT_TRUE(on.calls.stops.empty());
}

TEST(CommandStationPass, ALostPortStopsTheTrains) {
    Rig rig(false);
    rig.station.closeMaster();
    rig.send({0x60});
    EXPECT_EQ(rig.calls.stops, std::vector<int>{5});
    EXPECT_EQ(rig.calls.cleared, 1);
    gEmergencyState = 0x11;  // already stopped: not again
    rig.send({0x60});
    EXPECT_EQ(rig.calls.stops.size(), 1u);
}

TEST(CommandStationPass, CtsHeldLowStopsTheTrainsAfterAHundredChecks) {
    gCommandQueue.reset();
    gEmergencyState = 0;
    ScriptedSerialPort port;
    Calls calls;
    CommandStationPass pass(false, true, hooksFor(calls));
    port.setCts(LineState::Clear);
    queue({0x60});  // the go command does not wait
    pass.run(port);
    EXPECT_EQ(calls.sleeps, 0);
    queue({0x81});
    pass.run(port);
    EXPECT_EQ(calls.sleeps, 100);
    EXPECT_EQ(calls.stops, std::vector<int>{7});
    EXPECT_EQ(port.written(), (Bytes{0x60, 0x81})) << "it sends after the wait";
    // Unreadable lines (a pseudo-terminal) do not wait.
    port.setCts(LineState::Unreadable);
    calls = {};
    queue({0x20});
    pass.run(port);
    EXPECT_EQ(calls.sleeps, 0);
    gCommandQueue.reset();
}

TEST(CommandStationPass, AShortWriteSendsTheRestOfTheSameMessage) {
    gCommandQueue.reset();
    gEmergencyState = 0;
    ScriptedSerialPort port;
    Calls calls;
    CommandStationPass pass(false, false, hooksFor(calls));
    port.limitWrites(4);
    port.feed({0x00});  // the reply
    queue({0x58, 0x80, 0x05, 0x00, 0x2E, 0x60});
    queue({0x60});
    pass.run(port);
    pass.run(port);
    EXPECT_EQ(port.written(), (Bytes{0x58, 0x80, 0x05, 0x00, 0x2E, 0x60, 0x60}));
    EXPECT_EQ(port.writeSizes(), (std::vector<int>{4, 2, 1}));
    // A write that sends nothing loses the command; the queue goes on with the next whole one.
    port.failWrites(true);
    queue({0x1A, 0x05, 0x00});
    pass.run(port);
    port.failWrites(false);
    queue({0x61});
    pass.run(port);
    EXPECT_EQ(port.written().back(), 0x61);
    EXPECT_EQ(port.written().size(), 8u);
    gCommandQueue.reset();
}

TEST(CommandStationPass, LocomotiveEventsKeepWithinTheLinkBuffer) {
    Rig rig(true);
    Bytes raw;
    for (int i = 0; i < 255; ++i) raw.insert(raw.end(), {0x10, 0x01, static_cast<uint8_t>(i), 0x80, 0x03});
    raw.push_back(0x80);
    rig.station.setLocoEvents(raw);
    rig.station.setAccessoryEvents({2, 7, 0x80, 9, 0x00});
    rig.send({0x81});
    ASSERT_EQ(rig.calls.locoEvents.size(), 1u);
    EXPECT_EQ(rig.calls.locoEvents[0].size(), 5u * kMaxLocoEventRecords);
    EXPECT_EQ(Bytes(rig.calls.locoEvents[0].begin(), rig.calls.locoEvents[0].begin() + 5), (Bytes{0x10, 0x01, 0x00, 0x80, 0x03}));
    // Drained to the terminator: the accessory query that follows reads its own answer.
    ASSERT_EQ(rig.calls.accessoryEvents.size(), 1u);
    EXPECT_EQ(rig.calls.accessoryEvents[0], (Bytes{7, 0x80, 9, 0x00}));
}

TEST(CommandStationPass, AllAccessoryEventsAreRead) {
    Rig rig(false);
    Bytes raw{255};
    for (int i = 0; i < 255; ++i) raw.insert(raw.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(i & 0x80)});
    rig.station.setAccessoryEvents(raw);
    rig.station.setLocoEvents({0x80});
    rig.send({0x81});
    ASSERT_EQ(rig.calls.accessoryEvents.size(), 1u);
    EXPECT_EQ(rig.calls.accessoryEvents[0], Bytes(raw.begin() + 1, raw.end()));
    EXPECT_TRUE(rig.calls.locoEvents.empty()) << "an empty list applies nothing";
    // An answer cut short is not applied.
    rig.station.setAccessoryEvents({3, 1, 0x80});
    rig.send({0x81});
    EXPECT_EQ(rig.calls.accessoryEvents.size(), 1u);
}

TEST(CommandStationPass, FunctionsInP50XCarryF1ToF8) {
    Rig rig(true);
    rig.send({0x41, 0x05, 0x00});
    rig.send({0x41, 0x06, 0x00});  // neither a locomotive nor a decoder: dropped
    rig.send({0x60});
    EXPECT_EQ(rig.station.messagesSoFar(), (std::vector<Bytes>{{0x88, 0x05, 0x00, 0x21}, {0xA7}}));
}

TEST(CommandStationPassThread, TheGuiSideQueuesAndReadsWhileThePassRuns) {
    // The pass on a thread of its own, as TCom runs it, while this thread writes the queue and reads
    // the feedback image as the GUI thread does (built into the ThreadSanitizer program as well).
    gCommandQueue.reset();
    gEmergencyState = 0;
    gFeedbackByteCount = 4;
    FakeCommandStation station(true);
    station.setModule(1, 0x81, 0x00);
    station.pty().setAsComPort(2);
    std::unique_ptr<SerialPort> port = openSerialPort("COM2");
    ASSERT_TRUE(port);
    port->setTimeouts({0, 0, 30, 0, 100});
    std::mutex m;
    std::vector<int> stops;
    CommandStationHooks hooks;
    hooks.emergencyStop = [&](int r) {
        std::lock_guard<std::mutex> l(m);
        stops.push_back(r);
    };
    hooks.functionBits = [](uint16_t) { return 0; };
    hooks.locoEvents = hooks.accessoryEvents = [](const Bytes&) {};
    hooks.showFeedback = hooks.showReply = [](uint8_t, uint8_t) {};
    hooks.clearFeedback = hooks.selectFormat = [] {};
    hooks.logError = [](int) {};
    std::atomic<bool> stop{false};
    hooks.sleep = [&](int ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return !stop;
    };
    CommandStationPass pass(true, false, hooks);
    std::thread link([&] {
        while (!stop)
            if (!pass.run(*port)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    const uint32_t before = gFeedbackImage.lastRead().number;
    int queued = 0;
    for (int i = 0; i < 20; ++i) {
        const uint8_t speed[6] = {0x58, 0x80, static_cast<uint8_t>(i), 0x00, 0x10, 0x60};
        const uint8_t poll = 0x81;
        queued += gCommandQueue.append(speed, 6, false) ? 1 : 0;
        queued += gCommandQueue.append(&poll, 1, false) ? 1 : 0;
        (void)gFeedbackImage.byteAt(0);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    // Bounded: every command queued is sent (at most one read constant each).
    for (int i = 0; i < 20000 && !gCommandQueue.empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    stop = true;
    link.join();
    EXPECT_TRUE(gCommandQueue.empty());
    EXPECT_GT(gFeedbackImage.lastRead().number, before);
    EXPECT_EQ(gFeedbackImage.byteAt(0), 0x81);
    EXPECT_GE(station.count(0x80) + station.count(0xCB), queued > 0 ? 1 : 0);
    std::lock_guard<std::mutex> l(m);
    EXPECT_TRUE(stops.empty());
    gCommandQueue.reset();
}
