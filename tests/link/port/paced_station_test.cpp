// The link against a command station that answers at the pace of its 2400-baud line, in P50X: what
// its keyboard reports reaches the right locomotive, an XLok never carries a speed above 127, every
// solenoid switched on is switched off, and the last speed set reaches the track however full the
// queue was. The station's bytes are those of the command table, numbered from 0.
#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "link/link_test_support.h"
#include "link/port/untCom.h"
#include "operation/control/loco_operation.h"
#include "operation/model/train_model.h"
#include "platform/pty_pair.h"
#include "test_support.h"

using namespace linktest;
using Bytes = std::vector<uint8_t>;

namespace {

// P50X alone at 2400 baud, 8 data bits, 2 stop bits: every byte, received or sent, takes 11 bit times.
class PacedStation {
public:
    PacedStation() { thread_ = std::thread([this] { run(); }); }
    ~PacedStation() {
        stop_ = true;
        thread_.join();
    }
    vestrel::test::PtyPair& pty() { return pty_; }
    // The answer to the next XEvtLok: records of 5 bytes and the terminator.
    void reportLocos(Bytes answer) {
        std::lock_guard<std::mutex> l(m_);
        locoReport_ = std::move(answer);
    }
    // Every message received that begins with this byte, in order.
    std::vector<Bytes> received(uint8_t first) const {
        std::lock_guard<std::mutex> l(m_);
        std::vector<Bytes> out;
        for (const Bytes& msg : messages_)
            if (msg[0] == first) out.push_back(msg);
        return out;
    }
    bool idle() const { return idle_; }

private:
    static constexpr auto kByteTime = std::chrono::microseconds(11 * 1000000 / 2400);

    bool next(uint8_t& b) {
        while (!stop_) {
            pollfd p{pty_.master(), POLLIN, 0};
            idle_ = true;
            if (::poll(&p, 1, 5) <= 0 || !(p.revents & POLLIN)) continue;
            idle_ = false;
            if (::read(pty_.master(), &b, 1) != 1) continue;
            std::this_thread::sleep_for(kByteTime);
            return true;
        }
        return false;
    }
    void answer(const Bytes& a) {
        for (uint8_t b : a) {
            std::this_thread::sleep_for(kByteTime);
            pty_.send({b});
        }
    }
    void run() {
        uint8_t b;
        while (next(b)) {
            Bytes msg{b};
            const int more = b == 0x80 ? 4 : b == 0x88 ? 3 : b == 0x90 ? 2 : 0;
            for (int i = 0; i < more && next(b); ++i) msg.push_back(b);
            Bytes reply{0x00};
            if (msg[0] == 0xA2) reply = {0x08};  // power on
            if (msg[0] == 0xC9) {
                std::lock_guard<std::mutex> l(m_);
                reply = locoReport_.empty() ? Bytes{0x80} : std::exchange(locoReport_, {});
            }
            {
                std::lock_guard<std::mutex> l(m_);
                messages_.push_back(msg);
            }
            answer(reply);
        }
    }

    vestrel::test::PtyPair pty_;
    mutable std::mutex m_;
    Bytes locoReport_;
    std::vector<Bytes> messages_;
    std::atomic<bool> stop_{false}, idle_{true};
    std::thread thread_;
};

class PacedStationLink : public testing::Test {
protected:
    void SetUp() override {
        commandStationSettings(true);
        station.pty().setAsComPort(1);
        openCommandStationLink();
        ASSERT_TRUE(gLinkOpen);
        gRunWithTrack = 1;
    }
    void TearDown() override {
        closeLink();
        clearTrainTables();
    }
    static LocoRec* addLoco(int number, int steps, uint8_t decoderType, uint8_t mode) {
        auto l = std::make_unique<LocoRec>();
        l->number = static_cast<int16_t>(number);
        l->run.speedSteps = static_cast<int16_t>(steps);
        l->maxStep = static_cast<int16_t>(steps);
        l->decoderType = decoderType;
        l->mode = mode;
        l->running = 1;
        l->direction = 'v';
        for (int j = 0; j < kSpeedTableSize; ++j) l->speedTable[j] = static_cast<uint8_t>(j);
        LocoRec* loco = gLocs.append(std::move(l));
        gLocsOnTrack.append(loco);
        return loco;
    }
    // The XLok messages for one address.
    std::vector<Bytes> xlok(int address) const {
        std::vector<Bytes> out;
        for (const Bytes& m : station.received(0x80))
            if (m.size() == 5 && m[1] == address && m[2] == 0) out.push_back(m);
        return out;
    }

    testsupport::ScratchDir dir;  // com.log goes here
    PacedStation station;
};

}  // namespace

TEST_F(PacedStationLink, TheStationsThrottleReachesTheLocomotiveItNames) {
    LocoRec* three = addLoco(3, 28, 4, kModeShunting);
    LocoRec* five = addLoco(5, 28, 4, kModeShunting);
    // Locomotive 3: speed 0x20, F1, light, backward, step 4. Locomotive 5: step 0, backward.
    station.reportLocos({0x20, 0x01, 0x03, 0x40, 0x05, 0x00, 0x00, 0x05, 0x00, 0x01, 0x80});
    queueCommandByte(static_cast<uint8_t>(kCmdPoll + gFeedbackByteCount / 2));
    EXPECT_TRUE(waitUntil([&] { return five->direction == 'a'; }, 60000));
    EXPECT_EQ(three->targetStep, 4);
    EXPECT_EQ(three->run.functionBits1 & 0x11, 0x11) << "F1 and the light";
    EXPECT_EQ(five->targetStep, 0);
    EXPECT_EQ(five->run.functionBits1, 0);
}

TEST_F(PacedStationLink, ReversingAFourteenStepMotorolaLocomotiveStopsItWithTheNewDirection) {
    LocoRec* seven = addLoco(7, 14, 0, kModeManual);
    ASSERT_EQ(reverseLoco(seven), 1);
    EXPECT_TRUE(waitUntil([&] { return !xlok(7).empty(); }, 60000));
    for (const Bytes& m : xlok(7)) EXPECT_LE(m[3], 127);
    EXPECT_EQ(xlok(7).front(), (Bytes{0x80, 0x07, 0x00, 0x00, 0x40}));
}

TEST_F(PacedStationLink, EveryAccessorySwitchedOnIsSwitchedOff) {
    queueCommandWithValue(kCmdAccessoryRed, 1);
    queueCommandWithValue(kCmdAccessoryRed, 8);
    queueCommandByte(kCmdSolenoidsOff);
    EXPECT_TRUE(waitUntil([&] { return station.received(0x90).size() >= 4; }, 60000));
    queueCommandWithValue(kCmdAccessoryGreen, 300);
    queueCommandByte(kCmdSolenoidsOff);
    EXPECT_TRUE(waitUntil([&] { return station.received(0x90).size() >= 6; }, 60000));
    EXPECT_EQ(station.received(0x90), (std::vector<Bytes>{{0x90, 0x01, 0x40},
                                                          {0x90, 0x08, 0x40},
                                                          {0x90, 0x01, 0x00},
                                                          {0x90, 0x08, 0x00},
                                                          {0x90, 0x2C, 0xC1},
                                                          {0x90, 0x2C, 0x01}}));
}

TEST_F(PacedStationLink, TheLastSpeedOfABurstReachesTheStation) {
    LocoRec* three = addLoco(3, 28, 4, kModeShunting);
    for (int i = 0; i < 28; ++i) stepLocoSpeed(three, 0, 38, 0);
    ASSERT_EQ(three->targetStep, 28);
    for (int i = 0; i < 28; ++i) stepLocoSpeed(three, 0, 40, 0);
    ASSERT_EQ(three->targetStep, 0);
    // The cycle offers what waited each tick, until it has all gone out.
    EXPECT_TRUE(waitUntil([] {
        sendHeldSpeeds();
        return heldSpeedCount() == 0 && gCommandQueue.empty();
    }, 60000));
    EXPECT_TRUE(waitUntil([&] { return !xlok(3).empty() && xlok(3).back()[3] == 0 && station.idle(); }, 60000));
    const std::vector<Bytes> sent = xlok(3);
    EXPECT_EQ(sent.back(), (Bytes{0x80, 0x03, 0x00, 0x00, 0x60}));
    EXPECT_LT(sent.size(), 56u) << "the queue held fewer than all 56";
    EXPECT_EQ(three->run.lastStepSent, 0);
}
