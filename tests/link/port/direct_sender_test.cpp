// The direct-mode sender on a fake track port with a stepped clock: what goes out pass by pass, and when.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>
#include <thread>

#include "link/protocol/track_signal_decode.h"
#include "fake_direct_link.h"
#include "layout/model/layout_model.h"
#include "link/buffers/link_buffers.h"
#include "link/protocol/dcc_encoder.h"
#include "link/protocol/motorola_encoder.h"
#include "link/protocol/track_packets.h"
#include "link/port/direct_sender.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"

namespace {

using tracksignal::Bytes;

const Bytes kIdle(kDccIdlePacket, kDccIdlePacket + kDccIdleChars);
const Bytes kFiller(kMotorolaFiller, kMotorolaFiller + kMotorolaPacketChars);

class DirectSenderTest : public testing::Test {
protected:
    void SetUp() override {
        gCommandQueue.reset();
        gAccessoryQueue.clear();
        gSettings.chboDirectBooster = 1;
        gSettings.chboKortsluitbeveiliging = 0;
        gSettings.chboMMWisselSeinCont = 0;
        gSettings.chboMolaTussentijd = 0;
        gSettings.chboDCC19200 = 0;
        gSettings.chboMolaWisselSein115200 = 0;
        gEmergencyState = 0;
        gRunWithTrack = 1;
        gSleepPrecise = 0;
        for (AccessoryDecoderRec& d : gAccessoryState) d = {};
    }
    void TearDown() override { clearTrainTables(); }

    LocoRec* addLoco(int number, int decoderType, int step = 0, char direction = 'v') {
        auto l = std::make_unique<LocoRec>();
        l->number = static_cast<int16_t>(number);
        l->decoderType = static_cast<uint8_t>(decoderType);
        l->run.speedSteps = static_cast<int16_t>(kDecoderTypeSteps[decoderType]);
        l->run.lastStepSent = static_cast<uint8_t>(step);
        l->direction = direction;
        l->packetCache = std::make_unique<PacketCache>();
        LocoRec* loco = gLocs.append(std::move(l));
        gLocsOnTrack.append(loco);
        buildLocoTrackPackets(loco);
        return loco;
    }

    // The writes of the next pass.
    std::vector<FakeDirectLink::Write> pass() {
        const size_t before = link.writes.size();
        sender.pass();
        return {link.writes.begin() + static_cast<long>(before), link.writes.end()};
    }

    SteppedClock clock;
    FakeDirectLink link{clock};
    DirectSender sender{link};
};

TEST_F(DirectSenderTest, WithoutLocomotivesOnlyIdlePacketsAtTheLinesPace) {
    for (int i = 0; i < 10; ++i) {
        const auto w = pass();
        ASSERT_EQ(w.size(), 1u);
        EXPECT_EQ(w[0].bytes, kIdle);
        EXPECT_TRUE(w[0].dcc);
    }
    EXPECT_EQ(link.bits.load() & 0x200, 0x200);
    // 13 characters of 10 bit cells at 16457 baud take 7899.4 us: the packets follow at that pace,
    // each written while the line still sends the one before (one packet ahead).
    const int64_t first = link.writes[0].at;
    for (size_t i = 1; i < link.writes.size(); ++i) {
        const int64_t at = link.writes[i].at - first;
        EXPECT_LE(at, static_cast<int64_t>(i) * 78994 / 10) << i;
        EXPECT_GE(at, static_cast<int64_t>(i - 1) * 78994 / 10) << i;
    }
}

// Paced at the line's exact rate: at 19200 baud 1920 characters a second. A wake-up up to a packet late
// loses nothing: the next packet was already waiting in the port.
TEST_F(DirectSenderTest, TheLineStaysFullAtItsExactRateThoughWakeUpsComeLate) {
    for (const int baud : {16457, 19200}) {
        gSettings.chboDCC19200 = baud == 19200;
        for (const int64_t late : {0, 2000}) {
            SteppedClock c;
            c.lateWake = late;
            FakeDirectLink l{c};
            DirectSender s{l};
            for (int i = 0; i < 400; ++i) s.pass();
            const double perPacket = 130.0 * 1000000 / baud;
            const double span = static_cast<double>(s.lineFreeAt() - l.writes[0].at);
            // the line never waits: it has sent everything written by 400 packets' time after the first
            EXPECT_NEAR(span, 400 * perPacket, 400.0 * 1 + 2) << baud << " " << late;
            for (size_t i = 1; i < l.writes.size(); ++i)
                ASSERT_LE(static_cast<double>(l.writes[i].at - l.writes[0].at), i * perPacket + 1) << baud << " " << late;
        }
    }
}

// A port that holds more than the clock says (a line slower than the clock) holds the sender back.
TEST_F(DirectSenderTest, ThePortsOwnCountOfWaitingCharactersHoldsTheSenderBack) {
    pass();
    link.queued = 3 * kDccIdleChars;
    const int64_t before = link.writes.back().at;
    pass();
    pass();
    const int64_t perPacket = (130 * 1000000 + 16456) / 16457;
    EXPECT_GE(link.writes.back().at - before, 2 * perPacket);
}

TEST_F(DirectSenderTest, DccAndMotorolaRefreshAlternate) {
    addLoco(3, 1, 5);
    LocoRec* dcc = addLoco(5, 4, 6);
    std::vector<bool> formats;
    for (int i = 0; i < 8; ++i) {
        const auto w = pass();
        ASSERT_FALSE(w.empty());
        for (const auto& x : w) EXPECT_EQ(x.dcc, w[0].dcc);
        formats.push_back(w[0].dcc);
        if (w[0].dcc && w[0].bytes != kIdle) {
            ASSERT_EQ(w.size(), 2u);
            EXPECT_EQ(tracksignal::decodeDccPacket(w[0].bytes).bytes, (Bytes{0x05, 0x74, 0x71}));
            EXPECT_EQ(tracksignal::decodeDccPacket(w[1].bytes).bytes, (Bytes{0x05, 0x80, 0x85}));
        } else if (!w[0].dcc) {
            ASSERT_EQ(w.size(), 2u);  // a Motorola packet goes out twice
            EXPECT_EQ(w[0].bytes, w[1].bytes);
            EXPECT_EQ(tracksignal::decodeMotorolaPacket(w[0].bytes.data()).trits[1], 1);  // address 3 = L H L L
        }
    }
    for (size_t i = 1; i < formats.size(); ++i) EXPECT_NE(formats[i], formats[i - 1]) << "pass " << i;
    (void)dcc;
}

TEST_F(DirectSenderTest, FunctionRoundsCarryF1ToF4InTurn) {
    LocoRec* l = addLoco(3, 1, 4);
    l->run.functionBits1 = 0x05;  // F1 and F3 on
    buildLocoTrackPackets(l);
    const uint8_t speedCode = gMotorolaSpeedCodes[4] | 0x88;
    const uint8_t expected[8] = {speedCode,
                                 static_cast<uint8_t>(gMotorolaSpeedCodes[4] | 0x0A | 0x80),
                                 speedCode,
                                 static_cast<uint8_t>(gMotorolaSpeedCodes[4] | 0x20),
                                 speedCode,
                                 static_cast<uint8_t>(gMotorolaSpeedCodes[4] | 0x28 | 0x80),
                                 speedCode,
                                 static_cast<uint8_t>(gMotorolaSpeedCodes[4] | 0x2A)};
    for (int i = 0; i < 8; ++i) {
        const auto w = pass();
        ASSERT_EQ(w.size(), 2u);
        EXPECT_EQ(tracksignal::decodeMotorolaPacket(w[0].bytes.data()).speedByte, expected[i]) << "pass " << i;
    }
}

TEST_F(DirectSenderTest, StopSwitchesTheBoosterOffAndGoSendsTwentyFillers) {
    gEmergencyState = 1;
    queueTrackPower(false);
    pass();
    EXPECT_FALSE(link.booster);
    EXPECT_EQ(gEmergencyState.load(), 0x11);

    gEmergencyState = 0;
    queueTrackPower(true);
    const auto w = pass();
    EXPECT_TRUE(link.booster);
    ASSERT_GE(w.size(), 21u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(w[i].bytes, kFiller) << i;
        EXPECT_FALSE(w[i].dcc);
        if (i > 0) {
            EXPECT_NEAR(static_cast<double>(w[i].at - w[i - 1].at), 5000.0, 5.0);  // 1/200 s
        }
    }
    EXPECT_EQ(w[20].bytes, kIdle);
    EXPECT_GE(w[20].at - w[19].at, 5000);
}

TEST_F(DirectSenderTest, AStopTakenWhileNoStopIsInForceIsDropped) {
    queueTrackPower(false);
    pass();
    EXPECT_TRUE(link.booster);
    EXPECT_EQ(gEmergencyState.load(), 0);
}

TEST_F(DirectSenderTest, ThirtyFirstBadShortCircuitReadingStopsEverything) {
    gSettings.chboKortsluitbeveiliging = 1;  // DSR low is bad
    link.dsr = 0;
    for (int i = 0; i < 30; ++i) pass();
    EXPECT_EQ(gEmergencyState.load(), 0);
    link.dsr = 1;
    pass();  // a good reading starts the count again
    link.dsr = 0;
    for (int i = 0; i < 30; ++i) pass();
    EXPECT_EQ(gEmergencyState.load(), 0);
    pass();
    // booster short circuit (4); the same pass takes the queued stop: booster off, power bit 0x10
    EXPECT_EQ(gEmergencyState.load(), 0x14);
    EXPECT_FALSE(link.booster);

    gEmergencyState = 0;
    link.booster = true;
    gSettings.chboKortsluitbeveiliging = 2;  // "+V": DSR high is bad
    link.dsr = 1;
    for (int i = 0; i < 31; ++i) pass();
    EXPECT_EQ(gEmergencyState.load(), 0x14);
}

TEST_F(DirectSenderTest, MotorolaCommandGoesOutFourTimesWithTheRepeatGaps) {
    LocoRec* l = addLoco(3, 1, 0);
    pass();  // a refresh first: the Motorola packet then follows a DCC-free pass
    l->run.lastStepSent = 7;
    queueCommandWithValue(7, 3);
    const auto w = pass();
    ASSERT_EQ(w.size(), 4u);  // the speed command; no refresh in this pass
    EXPECT_EQ(tracksignal::decodeMotorolaPacket(w[0].bytes.data()).speedByte, gMotorolaSpeedCodes[7] | 0x08);
    const int64_t g1 = 1000000 / 200, g2 = 1000000 / 166;
    EXPECT_NEAR(static_cast<double>(w[1].at - w[0].at), g1, 3.0);
    EXPECT_NEAR(static_cast<double>(w[2].at - w[1].at), g2, 3.0);
    EXPECT_NEAR(static_cast<double>(w[3].at - w[2].at), g1, 3.0);
    EXPECT_EQ(link.bits.load() & 0x3000, 0x3000);
}

TEST_F(DirectSenderTest, DccCommandTwiceThenOneAndAHalfMillisecondsBeforeMotorola) {
    addLoco(3, 1, 0);
    LocoRec* d = addLoco(5, 4, 0);
    d->run.lastStepSent = 6;
    queueCommandWithValue(6, 5);
    pass();  // pass 1: the DCC speed command (twice), no refresh
    const auto& all = link.writes;
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(tracksignal::decodeDccPacket(all[0].bytes).bytes, (Bytes{0x05, 0x74, 0x71}));
    EXPECT_EQ(all[1].bytes, all[0].bytes);
    // pass 2: phase set, but the current locomotive is Motorola: idle; pass 3: its Motorola refresh
    pass();
    const auto w = pass();
    ASSERT_FALSE(w[0].dcc);
    // after the line has sent both command packets and the idle packet
    const int64_t dccTime = static_cast<int64_t>(2 * all[0].bytes.size() + kDccIdleChars) * 10 * 1000000 / 16457;
    EXPECT_GE(w[0].at - all[0].at, dccTime + 1500);
}

TEST_F(DirectSenderTest, IncompleteCommandIsLoggedAndTakenAgain) {
    LocoRec* d = addLoco(5, 4, 0);
    d->run.lastStepSent = 6;
    queueCommandWithValue(6, 5);
    link.failWrites = 1;
    pass();
    ASSERT_EQ(link.errors.size(), 1u);
    EXPECT_EQ(link.errors[0].code, 2);
    EXPECT_EQ(link.errors[0].address, 5);
    EXPECT_FALSE(gCommandQueue.empty());
    const size_t before = link.writes.size();
    pass();
    EXPECT_TRUE(gCommandQueue.empty());
    EXPECT_EQ(tracksignal::decodeDccPacket(link.writes[before].bytes).bytes, (Bytes{0x05, 0x74, 0x71}));
}

TEST_F(DirectSenderTest, CommandRunningPastTheWritePositionIsLoggedAndDropped) {
    // 0x20 queued as the one-byte "solenoids off" of command-station mode reads, in direct mode, as an
    // output command with a 16-bit value that is not there.
    gSettings.chboDirectBooster = 0;
    queueCommandByte(0x20);
    gSettings.chboDirectBooster = 1;
    pass();
    ASSERT_EQ(link.errors.size(), 1u);
    EXPECT_EQ(link.errors[0].code, 1);
    EXPECT_EQ(link.errors[0].commandClass, 0x20);
    EXPECT_TRUE(gCommandQueue.empty());
}

TEST_F(DirectSenderTest, IncompleteRefreshIsLoggedWithCode3) {
    link.failWrites = 1;
    pass();
    ASSERT_EQ(link.errors.size(), 1u);
    EXPECT_EQ(link.errors[0].code, 3);
}

TEST_F(DirectSenderTest, SwitchedOnOutputsAreRepeated) {
    gAccessoryState[1].protocol = 1;  // DCC
    gAccessoryState[1].lastOutput = 1;
    gAccessoryState[2].protocol = 0;  // Motorola
    gAccessoryState[2].lastOutput = 3;
    gAccessoryState[3].protocol = 1;
    gAccessoryState[3].lastOutput = 0x80 | 1;  // switch-off pending: not repeated
    const AccessoryEntry e[3] = {{0x28, 1, 5}, {0x2A, 2, 5}, {0x28, 3, 5}};
    ASSERT_TRUE(gAccessoryQueue.append(e, 3));
    auto w = pass();
    ASSERT_EQ(w.size(), 2u);  // idle, then the DCC decoder; Motorola only with "MM wissel/sein continu"
    EXPECT_EQ(tracksignal::decodeDccPacket(w[1].bytes).bytes, (Bytes{0x81, 0xF8, 0x79}));
    gSettings.chboMMWisselSeinCont = 1;
    w = pass();
    ASSERT_EQ(w.size(), 4u);
    EXPECT_TRUE(w[2].accessory || !w[2].dcc);
    uint8_t expected[16];
    ASSERT_EQ(encodeMotorolaAccessory(2, 8 | 2, expected, false), 9);
    EXPECT_EQ(w[2].bytes, Bytes(expected, expected + 9));
    EXPECT_EQ(w[3].bytes, w[2].bytes);
}

TEST_F(DirectSenderTest, CvWriteOnTheMainAndInServiceMode) {
    queueCvWrite(65, 1, 21, 75);
    auto w = pass();
    ASSERT_EQ(w.size(), 7u);  // and the refresh of the pass
    EXPECT_EQ(w[0].bytes, kIdle);
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(tracksignal::decodeDccPacket(w[i].bytes).bytes, (Bytes{0x41, 0xEC, 0x14, 0x4B, 0xF2}));
    EXPECT_EQ(w[5].bytes, kIdle);
    EXPECT_EQ(link.bits.load() & 0x100, 0x100);

    queueCvWrite(3, 2, 1, 3);
    w = pass();
    ASSERT_EQ(w.size(), 47u);
    const Bytes reset(kDccResetPacket, kDccResetPacket + kDccResetChars);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(w[i].bytes, reset);
    int preamble = 0;
    for (int i = 20; i < 26; ++i) {
        const auto seen = tracksignal::decodeDccPacket(w[i].bytes);
        EXPECT_EQ(seen.bytes, (Bytes{0x7C, 0x00, 0x03, 0x7F}));
        preamble = seen.preamble;
    }
    EXPECT_GE(preamble, 25);
    for (int i = 26; i < 46; ++i) EXPECT_EQ(w[i].bytes, reset);
}

// "DCC-commando niet uitvoerbaar !" raised on the link thread reaches the user through the GUI thread.
TEST_F(DirectSenderTest, UnpackableCommandIsReportedOnTheGuiThread) {
    LocoRec* l = addLoco(835, 4, 0);
    l->run.lastStepSent = 12;  // C3 43 77 fits no choice of characters
    queueCommandWithValue(12, 835);
    showDialogMessage("", 3);
    std::thread worker([this] { sender.pass(); });
    worker.join();
    EXPECT_EQ(lastDialogMessage(), "");
    QCoreApplication::processEvents();
    EXPECT_EQ(lastDialogMessage(), kMsgDccNotPackable);
    EXPECT_TRUE(gCommandQueue.empty());
}

TEST_F(DirectSenderTest, SleepMeasurementAndThePortLost) {
    clock.sleepExtra = 100;  // a 1 ms sleep lasts 1.1 ms
    for (int i = 0; i < 400 && gSleepPrecise.load() < 3; ++i) pass();
    EXPECT_EQ(gSleepPrecise.load(), 3);
    EXPECT_EQ(gSleepMs.load(), 1);
    clock.sleepExtra = 2500;  // now 3.5 ms
    for (int i = 0; i < 200 && gSleepPrecise.load() != 0; ++i) pass();
    EXPECT_EQ(gSleepPrecise.load(), 0);
    EXPECT_EQ(gSleepMs.load(), 4);
    link.portAlive = false;
    for (int i = 0; i < 200 && gEmergencyState.load() == 0; ++i) pass();
    EXPECT_EQ(gEmergencyState.load(), 0x11);  // reason 5
}

// The GUI thread rebuilds a locomotive's packets while the sender refreshes it: every packet on the
// track is one of the two whole packets, never a mixture.
TEST_F(DirectSenderTest, RefreshNeverSendsAHalfRewrittenPacket) {
    LocoRec* l = addLoco(1000, 5, 10);
    std::atomic<bool> stop{false};
    std::thread gui([&] {
        for (int i = 0; !stop; ++i) {
            l->run.lastStepSent = static_cast<uint8_t>(i & 1 ? 10 : 117);
            buildLocoTrackPackets(l);
        }
    });
    for (int i = 0; i < 10000; ++i) sender.pass();
    stop = true;
    gui.join();
    for (const auto& w : link.writes) {
        if (w.bytes == kIdle) continue;
        const auto seen = tracksignal::decodeDccPacket(w.bytes);
        ASSERT_TRUE(seen.ok) << seen.error;
        if (seen.bytes.size() == 5) {
            EXPECT_TRUE(seen.bytes[3] == (0x80 | 11) || seen.bytes[3] == (0x80 | 118));
        }
    }
}

}  // namespace
