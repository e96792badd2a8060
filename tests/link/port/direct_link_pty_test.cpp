// The direct track signal on a real port: a pseudo-terminal as COM1 in direct mode, the link thread
// running the sender, and the test reading the booster's side.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "link/link_test_support.h"
#include "link/port/untCom.h"
#include "link/protocol/dcc_encoder.h"
#include "link/protocol/motorola_encoder.h"
#include "link/protocol/track_packets.h"
#include "link/protocol/track_signal_decode.h"
#include "operation/control/emergency_stop.h"
#include "operation/model/train_model.h"
#include "platform/pty_pair.h"
#include "test_support.h"

using namespace linktest;
using tracksignal::Bytes;
using vestrel::test::PtyPair;

namespace {

const Bytes kIdle(kDccIdlePacket, kDccIdlePacket + kDccIdleChars);
const Bytes kFiller(kMotorolaFiller, kMotorolaFiller + kMotorolaPacketChars);
constexpr size_t kNone = static_cast<size_t>(-1);

class DirectLinkOnAPty : public testing::Test {
protected:
    void SetUp() override {
        commandStationSettings(false);
        gSettings.chboDirectBooster = 1;
        gCommandQueue.reset();
        ASSERT_TRUE(pty.ok());
        pty.setAsComPort(1);
    }
    void TearDown() override {
        closeLink();
        clearTrainTables();
    }

    // Reads the booster's side until it holds at least n more bytes.
    bool collect(size_t n) {
        const size_t want = seen.size() + n;
        return waitUntil([&] {
            const Bytes got = pty.receive(65536, 2);
            seen.insert(seen.end(), got.begin(), got.end());
            return seen.size() >= want;
        });
    }
    static size_t find(const Bytes& in, const Bytes& what, size_t from = 0) {
        if (from > in.size()) return kNone;
        const auto it = std::search(in.begin() + static_cast<long>(from), in.end(), what.begin(), what.end());
        return it == in.end() ? kNone : static_cast<size_t>(it - in.begin());
    }

    testsupport::ScratchDir dir;  // com.log
    PtyPair pty;
    Bytes seen;
};

TEST_F(DirectLinkOnAPty, IdlePacketsThenAfterStopAndGoTwentyFillers) {
    gRunWithTrack = 1;
    openCommandStationLink();
    ASSERT_TRUE(gLinkOpen);
    ASSERT_TRUE(collect(20 * kDccIdleChars));
    const size_t first = find(seen, kIdle);
    ASSERT_NE(first, kNone);
    for (size_t p = first; p + kDccIdleChars <= seen.size(); p += kDccIdleChars)
        ASSERT_EQ(Bytes(seen.begin() + static_cast<long>(p), seen.begin() + static_cast<long>(p + kDccIdleChars)), kIdle);

    emergencyStopAll(1);  // what F10 does
    ASSERT_TRUE(waitUntil([] { return (gEmergencyState & 0x10) != 0; }));
    collect(1);  // what was on its way
    seen.clear();
    emergencyStopAll(0);  // OK on the message: go
    ASSERT_TRUE(collect(20 * kMotorolaPacketChars + 3 * kDccIdleChars));
    const size_t fill = find(seen, kFiller);
    ASSERT_NE(fill, kNone);
    for (int i = 0; i < 20; ++i) {
        const size_t p = fill + static_cast<size_t>(i) * kMotorolaPacketChars;
        ASSERT_EQ(Bytes(seen.begin() + static_cast<long>(p), seen.begin() + static_cast<long>(p + kMotorolaPacketChars)), kFiller)
            << "filler " << i;
    }
    EXPECT_EQ(find(seen, kIdle, fill + 20 * kMotorolaPacketChars), fill + 20 * kMotorolaPacketChars);
}

TEST_F(DirectLinkOnAPty, ADccLocomotiveOnTheTrackIsRefreshed) {
    auto l = std::make_unique<LocoRec>();
    l->number = 3;
    l->decoderType = 4;
    l->run.speedSteps = 28;
    l->run.lastStepSent = 6;
    l->direction = 'v';
    l->packetCache = std::make_unique<PacketCache>();
    LocoRec* loco = gLocs.append(std::move(l));
    gLocsOnTrack.append(loco);
    buildLocoTrackPackets(loco);
    gRunWithTrack = 1;
    openCommandStationLink();
    ASSERT_TRUE(gLinkOpen);
    ASSERT_TRUE(collect(400));
    uint8_t packed[64];
    const uint8_t speed[2] = {0x03, 0x74};
    const int n = encodeDccForUart(speed, 2, packed);
    ASSERT_GT(n, 0);
    const size_t at = find(seen, Bytes(packed, packed + n));
    ASSERT_NE(at, kNone);
    const auto decoded = tracksignal::decodeDccPacket(Bytes(seen.begin() + static_cast<long>(at), seen.begin() + static_cast<long>(at) + n));
    EXPECT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.bytes, (Bytes{0x03, 0x74, 0x77}));
    EXPECT_EQ(find(seen, kIdle), kNone);  // a locomotive's packets take the idle packet's place
}

}  // namespace
