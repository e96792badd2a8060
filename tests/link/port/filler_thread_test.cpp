// TComb with two ports in direct mode: while the link thread's port changes its format, the other port
// gets a filler burst in its own format.
#include <gtest/gtest.h>

#include <algorithm>

#include "link/link_test_support.h"
#include "link/port/filler_burst.h"
#include "link/port/untComb.h"
#include "link/protocol/dcc_encoder.h"
#include "link/protocol/motorola_encoder.h"
#include "platform/scripted_serial_port.h"
#include "test_support.h"

using namespace linktest;
using vestrel::test::ScriptedSerialPort;

namespace {

using Bytes = std::vector<uint8_t>;

// How many whole copies of a packet a byte string is made of; -1 when it is something else.
int copiesOf(const Bytes& all, const uint8_t* packet, size_t n) {
    if (all.size() % n != 0) return -1;
    for (size_t p = 0; p < all.size(); p += n)
        if (!std::equal(packet, packet + n, all.begin() + static_cast<long>(p))) return -1;
    return static_cast<int>(all.size() / n);
}

TEST(FillerThread, TheOtherPortCarriesTheFillerWhileTheTrackPortChangesFormat) {
    testsupport::ScratchDir dir;
    commandStationSettings(false);
    gSettings.chboDirectBooster = 1;
    gSettings.cboCompoortb = '2';
    ScriptedSerialPort* com[3] = {};
    vestrel::setSerialOpener([&](const std::string& name) -> std::unique_ptr<vestrel::SerialPort> {
        const int n = name[3] - '0';
        if (n < 1 || n > 2) return nullptr;
        auto p = std::make_unique<ScriptedSerialPort>(name);
        com[n] = p.get();
        return p;
    });
    openCommandStationLink();
    ASSERT_TRUE(gLinkOpen);
    ASSERT_TRUE(gCombThread);
    // Idle packets in DCC on port A; a Motorola accessory command then needs port B, which changes to
    // Motorola while port A (DCC) fills in with idle packets.
    gRunWithTrack = 1;
    ASSERT_TRUE(waitUntil([&] { return com[1]->written().size() >= 3 * kDccIdleChars; }));
    EXPECT_EQ(gPortFormat[0], 4);
    const size_t before = com[1]->written().size();
    queueCommandWithValue(0x28 | 3, 1);  // decoder 1 (Motorola), output 3 on
    ASSERT_TRUE(waitUntil([&] { return com[2]->written().size() >= 4 * kMotorolaAccessoryChars38400; }));
    const Bytes a = com[1]->written();
    EXPECT_GE(copiesOf(Bytes(a.begin() + static_cast<long>(before), a.end()), kDccIdlePacket, kDccIdleChars),
              fillerRepeats(4, gFormatSwitchMs.load()));
    uint8_t accessory[32];
    ASSERT_EQ(encodeMotorolaAccessory(1, 0x0B, accessory, false), 9);
    const Bytes b = com[2]->written();
    EXPECT_EQ(copiesOf(Bytes(b.begin(), b.begin() + 36), accessory, 9), 4);
    EXPECT_EQ(gComRequest.load(), 0);
    closeLink();
}

}  // namespace
