// Reading S88 modules without a command station: the parallel port's clocking through a fake port
// that logs every step with its time, and the COM-port interface against a fake converter on a
// pseudo-terminal.
#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <thread>

#include "link/buffers/link_buffers.h"
#include "link/port/parallel_feedback.h"
#include "link/port/s88_reader.h"
#include "link/port/untS88.h"
#include "link/port/fake_s88_converter.h"
#include "platform/pty_pair.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"

using namespace vestrel;
using vestrel::test::FakeConverter;
using vestrel::test::PtyPair;
using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

namespace {

// A parallel port that logs each write and status read with its time and answers the status reads
// from a list of bits (true: bit 7 low, the contact occupied).
class LoggingParallelPort : public ParallelPort {
public:
    struct Step {
        int write;  // the value written, -1 a status read
        Clock::time_point at;
    };
    explicit LoggingParallelPort(std::deque<bool> occupied) : occupied_(std::move(occupied)) {}
    uint8_t readData() override { return 0; }
    void writeData(uint8_t v) override { log.push_back({v, Clock::now()}); }
    uint8_t readStatus() override {
        log.push_back({-1, Clock::now()});
        bool low = false;
        if (!occupied_.empty()) {
            low = occupied_.front();
            occupied_.pop_front();
        }
        return low ? 0x78 : 0xF8;
    }
    uint8_t readControl() override { return 0; }
    void writeControl(uint8_t) override {}
    std::vector<Step> log;

private:
    std::deque<bool> occupied_;
};

// The contacts of bytes, most significant bit first.
std::deque<bool> contactsOf(const Bytes& bytes) {
    std::deque<bool> bits;
    for (uint8_t b : bytes)
        for (int mask = 0x80; mask; mask >>= 1) bits.push_back((b & mask) != 0);
    return bits;
}

S88Hooks hooks(std::vector<int>& stops) {
    return {[&](int r) { stops.push_back(r); }, [](int ms) {
                std::this_thread::sleep_for(std::chrono::milliseconds(ms));
                return true;
            }};
}

class S88Parallel : public testing::Test {
protected:
    void SetUp() override {
        gSettings.edtLPTAdres = 0x378;
        gEmergencyState = 0;
    }
    void TearDown() override { gParallelPort.reset(); }
    LoggingParallelPort* install(const Bytes& image) {
        auto p = std::make_unique<LoggingParallelPort>(contactsOf(image));
        LoggingParallelPort* raw = p.get();
        gParallelPort = std::move(p);
        return raw;
    }
    std::vector<int> stops;
};

}  // namespace

TEST_F(S88Parallel, ClocksTwoBytesInTenMicrosecondSteps) {
    LoggingParallelPort* port = install({0x81, 0x40});
    S88Reader reader(hooks(stops));
    const uint32_t before = gFeedbackImage.lastRead().number;
    reader.readParallel(2);

    std::vector<int> expected{0x21, 0xA1, 0x09};
    for (int i = 0; i < 16; ++i) expected.insert(expected.end(), {0x01, -1, 0x81});
    std::vector<int> written;
    for (const auto& s : port->log) written.push_back(s.write);
    EXPECT_EQ(written, expected);
    // The waits: after 0x21, after 0xA1, and before each 0x01 and each read.
    for (size_t i = 1; i < port->log.size(); ++i) {
        const int now = port->log[i].write;
        if (now == 0xA1 || now == 0x09 || now == 0x01 || now == -1) {
            EXPECT_GE(port->log[i].at - port->log[i - 1].at, std::chrono::microseconds(10)) << i;
        }
    }
    EXPECT_EQ(gFeedbackImage.lastRead().number, before + 1);
    EXPECT_EQ(gFeedbackImage.lastRead().byteCount, 2);
    EXPECT_EQ(gFeedbackImage.byteAt(0), 0x81);
    EXPECT_EQ(gFeedbackImage.byteAt(1), 0x40);
    EXPECT_EQ(reader.status, kS88Ok);
}

TEST_F(S88Parallel, EveryContactLowMeansNoModules) {
    install({0xFF, 0xFF, 0xFF, 0xFF});
    S88Reader reader(hooks(stops));
    reader.readParallel(4);
    EXPECT_EQ(gFeedbackImage.byteAt(0), 0xFF);
    EXPECT_EQ(gFeedbackImage.byteAt(3), 0xFF);
    EXPECT_EQ(reader.status, kS88NoModules);
    EXPECT_EQ(s88Display(reader.status, 0, true).text, "OK - geen S88");
}

TEST(S88Status, TextsAndColours) {
    struct Row {
        uint8_t status;
        bool parallel;
        const char* text;
        uint32_t back, font;
    };
    const Row rows[] = {
        {kS88Ok, false, "OK (3ms)", 0x00FF00, 0},
        {kS88PortError, false, "NOK", 0x0000FF, 0xFFFFFF},
        {kS88NoModules, false, "OK (3ms) - geen S88", 0x80B0FF, 0},
        {kS88NoInterface, false, "OK (3ms) - geen convertor", 0x80B0FF, 0},
        {kS88DataError, false, "OK (3ms) - datafout", 0x80B0FF, 0},
        {kS88Ok, true, "OK", 0x00FF00, 0},
        {kS88PortError, true, "NOK", 0x0000FF, 0xFFFFFF},
        {kS88NoModules, true, "OK - geen S88", 0x80B0FF, 0},
    };
    for (const Row& r : rows) {
        const S88Display d = s88Display(r.status, 3, r.parallel);
        EXPECT_EQ(d.text, r.text);
        EXPECT_EQ(d.back, r.back) << r.text;
        EXPECT_EQ(d.font, r.font) << r.text;
    }
}

TEST(S88Status, TheWordsOfTheComInterface) {
    EXPECT_EQ(s88ByteOfWord(0x0001), 0x80);
    EXPECT_EQ(s88ByteOfWord(0x4000), 0x01);
    EXPECT_EQ(s88ByteOfWord(0x5555), 0xFF);
    EXPECT_EQ(s88ByteOfWord(0xAAAA), 0x00);
}

namespace {

struct ComRead {
    Bytes image;
    uint8_t status;
    int rounds;
    Bytes received;
    bool published;
};

ComRead readThrough(std::function<Bytes(int)> answer, uint8_t statusBefore = kS88Ok) {
    gEmergencyState = 0;
    FakeConverter converter(2, std::move(answer));
    converter.pty().setAsComPort(5);
    std::unique_ptr<SerialPort> port = openSerialPort("COM5");
    EXPECT_TRUE(port);
    if (!port) return {};
    // A read constant well above the program's 12 ms: the converter thread may be slow on a busy machine.
    port->setTimeouts({1, 0, 100, 0, 100});
    std::vector<int> stops;
    S88Reader reader(hooks(stops));
    reader.status = statusBefore;
    const uint32_t before = gFeedbackImage.lastRead().number;
    reader.readCom(*port, 2);
    EXPECT_GE(reader.converterMs, 1);
    EXPECT_TRUE(stops.empty());
    const Bytes received = converter.receivedSoFar();
    return {{gFeedbackImage.byteAt(0), gFeedbackImage.byteAt(1)},
            reader.status,
            converter.rounds(),
            received,
            gFeedbackImage.lastRead().number != before};
}

}  // namespace

TEST(S88Com, ConsistentAnswersAreConfirmedInTwoRounds) {
    struct Row {
        uint8_t first;
        Bytes words;
        Bytes image;
        uint8_t status;
    };
    const Row rows[] = {
        {0x00, {0x01, 0x00, 0x00, 0x40}, {0x80, 0x01}, kS88Ok},
        {0x00, {0x55, 0x55, 0x55, 0x55}, {0xFF, 0xFF}, kS88NoModules},
        {0x00, {0x54, 0x55, 0x55, 0x55}, {0x7F, 0xFF}, kS88NoModules},  // byte 0 of 0x7F reports nothing
        {0x01, {0x54, 0x55, 0x00, 0x00}, {0xFF, 0x00}, kS88Ok},         // the first contact comes apart
    };
    for (const Row& r : rows) {
        Bytes a{r.first, r.words[0], r.words[1], r.words[2], r.words[3]};
        const ComRead got = readThrough([&](int) { return a; });
        EXPECT_EQ(got.rounds, 2);
        EXPECT_TRUE(got.published);
        EXPECT_EQ(got.image, r.image);
        EXPECT_EQ(got.status, r.status);
        EXPECT_EQ(Bytes(got.received.begin(), got.received.begin() + 5), (Bytes{0xFF, 0xD4, 0xD5, 0xD5, 0xD5}));
    }
}

TEST(S88Com, ANewAnswerEachRoundIsADataError) {
    const ComRead got = readThrough([](int round) { return Bytes{0, static_cast<uint8_t>(round), 0, 0, 0}; });
    EXPECT_EQ(got.rounds, 10);
    EXPECT_FALSE(got.published);
    EXPECT_EQ(got.status, kS88DataError);
}

TEST(S88Com, AShortAnswerIsNeverConfirmed) {
    // Three of the four bytes, the same each round: nothing unwritten reaches the image.
    const ComRead got = readThrough([](int) { return Bytes{0, 0x01, 0x00, 0x00}; });
    EXPECT_EQ(got.rounds, 10);
    EXPECT_FALSE(got.published);
    EXPECT_EQ(got.status, kS88DataError);
}

TEST(S88Com, SilenceMeansNoInterface) {
    const ComRead got = readThrough([](int) { return Bytes{}; });
    EXPECT_EQ(got.received, (Bytes{0xFF, 0xD4, 0xD5, 0xD5, 0xD5, 0xFF}));
    EXPECT_EQ(got.status, kS88NoInterface);
    EXPECT_FALSE(got.published);
}

TEST(S88Com, ALostPortStopsTheTrains) {
    gEmergencyState = 0;
    PtyPair pty;
    pty.setAsComPort(6);
    std::unique_ptr<SerialPort> port = openSerialPort("COM6");
    ASSERT_TRUE(port);
    pty.closeMaster();
    std::vector<int> stops;
    S88Reader reader(hooks(stops));
    reader.readCom(*port, 2);
    EXPECT_EQ(stops, std::vector<int>{5});
    EXPECT_EQ(reader.status, kS88PortError);
    EXPECT_EQ(s88Display(reader.status, 0, false).text, "NOK");
}
