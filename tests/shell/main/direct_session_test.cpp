// A session with track control in direct mode on the real main window: COM1 is a pseudo-terminal that
// plays the booster. F10 starts the session stopped; OK on its message switches the booster on, which
// gets 20 Motorola filler packets, then the DCC signal.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "link/buffers/link_buffers.h"
#include "link/link_test_support.h"
#include "link/port/link_port.h"
#include "link/port/untCom.h"
#include "link/protocol/dcc_encoder.h"
#include "link/protocol/motorola_encoder.h"
#include "link/protocol/track_signal_decode.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "platform/pty_pair.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr size_t kNone = static_cast<size_t>(-1);

size_t findBytes(const Bytes& in, const Bytes& what, size_t from = 0) {
    if (from > in.size()) return kNone;
    const auto it = std::search(in.begin() + static_cast<long>(from), in.end(), what.begin(), what.end());
    return it == in.end() ? kNone : static_cast<size_t>(it - in.begin());
}

class DirectSession : public ::testing::Test {
protected:
    void SetUp() override {
        linktest::commandStationSettings(false);
        gSettings.chboDirectBooster = 1;
        ASSERT_TRUE(pty.ok());
        pty.setAsComPort(1);
        program.start();
        frmSchema->Timer1->stop();
        buildSessionLayout();
        gLocoFileName = "test.loc";
        gDirtyFlags = 0;
        gLocoDataModified = 0;
    }
    void TearDown() override { linktest::closeLink(); }

    // Reads the booster's side until `done` holds for what came (or ms passed).
    bool collectUntil(const std::function<bool()>& done, int ms = testsupport::kStateWaitLimitMs) {
        return linktest::waitUntil([&] {
            const Bytes got = pty.receive(65536, 2);
            seen.insert(seen.end(), got.begin(), got.end());
            received += got.size();
            return done();
        }, ms);
    }

    // F10, then OK on the message; what the booster got from the go on.
    void startAndRelease() {
        mnuMetSturingClick();
        ASSERT_EQ(gLinkOpen, 1);
        ASSERT_EQ(gRunWithTrack, 1);
        ASSERT_TRUE(linktest::waitUntil([] { return (gEmergencyState & 0x10) != 0; }))
            << "the session starts with the booster off";
        // What was on its way when the booster went off: the link thread ends that pass with a refresh
        // packet; once it has gone round twice more, the booster's side takes all it wrote.
        ASSERT_TRUE(gComThread);
        waitForTwoPasses();
        const uint64_t written = gComThread->trackBytesWritten();
        ASSERT_TRUE(collectUntil([&] { return received >= written; }));
        EXPECT_EQ(received, written);
        waitForTwoPasses();
        EXPECT_EQ(gComThread->trackBytesWritten(), written) << "nothing more while the booster is off";
        seen.clear();
        ASSERT_TRUE(frmBoodschap->isVisible());
        frmBoodschap->btnOK->click();
        EXPECT_EQ(gEmergencyState, 0);
    }

    // Until the link thread has completed two more passes of its loop.
    void waitForTwoPasses() {
        const uint64_t from = gComThread->passes();
        ASSERT_TRUE(linktest::waitUntil([&] { return gComThread->passes() >= from + 2; }));
    }

    vestrel::test::PtyPair pty;
    RunningProgram program;
    Bytes seen;
    uint64_t received = 0;  // bytes the booster's side has read in all
};

const Bytes kFiller(kMotorolaFiller, kMotorolaFiller + kMotorolaPacketChars);
const Bytes kIdle(kDccIdlePacket, kDccIdlePacket + kDccIdleChars);

Bytes twentyFillers() {
    Bytes b;
    for (int i = 0; i < 20; ++i) b.insert(b.end(), kFiller.begin(), kFiller.end());
    return b;
}

TEST_F(DirectSession, F10AndOkGiveTwentyFillersThenIdlePackets) {
    writeSessionLocoFile("test.loc", {{9, 0, 0, 0}});  // no locomotive on the track
    startAndRelease();
    ASSERT_TRUE(collectUntil([&] { return seen.size() >= 20 * kMotorolaPacketChars + 4 * kDccIdleChars; }));
    ASSERT_EQ(findBytes(seen, twentyFillers()), 0u);
    EXPECT_EQ(findBytes(seen, kFiller, 20 * kMotorolaPacketChars), kNone) << "exactly 20";
    for (size_t p = 20 * kMotorolaPacketChars; p + kDccIdleChars <= seen.size(); p += kDccIdleChars)
        ASSERT_EQ(Bytes(seen.begin() + static_cast<long>(p), seen.begin() + static_cast<long>(p + kDccIdleChars)), kIdle);
}

TEST_F(DirectSession, ADccLocomotiveOnABlockShowsAsItsSpeedPacket) {
    writeSessionLocoFile("test.loc", twoTrains());
    startAndRelease();
    ASSERT_GE(gLocsOnTrackCount, 1);
    const LocoRec* loco = gLocsOnTrack[0];
    ASSERT_GE(loco->decoderType, 3);
    const DccPacket packet = dccSpeedPacket(*loco);
    uint8_t packed[64];
    const int n = encodeDccForUart(packet.bytes, packet.count, packed);
    ASSERT_GT(n, 0);
    const Bytes speed(packed, packed + n);
    // The release queues the locomotives' speeds (stopped) before the go: they may come first; the
    // refresh after the fillers carries the speed packet again.
    ASSERT_TRUE(collectUntil([&] {
        const size_t fill = findBytes(seen, twentyFillers());
        return fill != kNone && findBytes(seen, speed, fill) != kNone;
    }));
    const size_t at = findBytes(seen, speed, findBytes(seen, twentyFillers()) + 20 * kMotorolaPacketChars);
    ASSERT_NE(at, kNone);
    const auto decoded = tracksignal::decodeDccPacket(Bytes(seen.begin() + static_cast<long>(at), seen.begin() + static_cast<long>(at) + n));
    ASSERT_TRUE(decoded.ok) << decoded.error;
    uint8_t check = 0;
    for (int i = 0; i < packet.count; ++i) check ^= packet.bytes[i];
    Bytes expected(packet.bytes, packet.bytes + packet.count);
    expected.push_back(check);
    EXPECT_EQ(decoded.bytes, expected);
    EXPECT_EQ(decoded.bytes[0], loco->number);
}

}  // namespace
