// Motorola register programming on the real main window in direct mode: COM1 is a pseudo-terminal that
// plays the booster, a Motorola locomotive stands on the track, and the programming dialog opens
// through the control post's menu. The main cycle is stepped tick by tick while the link thread sends;
// the test decodes what the booster got.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "link/buffers/link_buffers.h"
#include "link/dialogs/untProg.h"
#include "link/link_test_support.h"
#include "link/port/decoder_programming.h"
#include "link/port/link_port.h"
#include "link/port/untCom.h"
#include "link/protocol/motorola_encoder.h"
#include "link/protocol/track_signal_decode.h"
#include "operation/files/loco_file.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "platform/byte_io.h"
#include "platform/paths.h"
#include "platform/pty_pair.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/main/main_cycle.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"

namespace {

using Bytes = std::vector<uint8_t>;

// One decoded Motorola packet: its address and speed code (1 the direction change).
struct Packet {
    int address = -1;
    int code = -1;
};

int addressOf(const tracksignal::MotorolaSeen& m) {
    for (int a = 0; a <= 255; ++a) {
        uint8_t t[4];
        if (motorolaAddressTrits(a, t) && t[0] == m.trits[0] && t[1] == m.trits[1] && t[2] == m.trits[2] &&
            t[3] == m.trits[3])
            return a;
    }
    return -1;
}

// A run of packets with one address, and whether one of them was a direction change.
struct AddressRun {
    int address;
    bool reversed;
};

class DirectProgramming : public ::testing::Test {
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
        // Locomotive 3 with an old Motorola decoder on block 1.
        writeSessionLocoFile("test.loc", {{3, 150, 100, 1, 0}, {9, 0, 0, 0}});
    }
    void TearDown() override {
        gMmProgState = 0;
        linktest::closeLink();
    }

    void receive() {
        const Bytes got = pty.receive(65536, 1);
        seen.insert(seen.end(), got.begin(), got.end());
        received += got.size();
    }
    // F10, then OK on the message.
    void startAndRelease() {
        mnuMetSturingClick();
        ASSERT_EQ(gLinkOpen, 1);
        ASSERT_TRUE(linktest::waitUntil([] { return (gEmergencyState & 0x10) != 0; }));
        ASSERT_TRUE(frmBoodschap->isVisible());
        frmBoodschap->btnOK->click();
        ASSERT_EQ(gEmergencyState, 0);
    }
    // One main-cycle tick; then the link thread sends what it queued and completes the pass that took
    // the last of it (or one more), while the booster's side is read until it has all the thread wrote.
    // The bytes that came during the tick are counted for its state.
    void tick() {
        const int state = gMmProgState;
        const size_t before = seen.size();
        mainCycleTick();
        linktest::waitUntil([&] {
            receive();
            return gCommandQueue.empty();
        });
        ASSERT_TRUE(gComThread);
        const uint64_t from = gComThread->passes();
        ASSERT_TRUE(linktest::waitUntil([&] {
            receive();
            return gComThread->passes() >= from + 1;
        }));
        const uint64_t written = gComThread->trackBytesWritten();
        ASSERT_TRUE(linktest::waitUntil([&] {
            receive();
            return received >= written;
        }));
        // The stops are queued at states 1 and 401: from the next tick on the track stays silent.
        if (state > 1 && state <= 100) bytesWhileOff += seen.size() - before;
        if (state > 401 && state < 500) bytesWhileOffAgain += seen.size() - before;
    }
    void tickUntilIdle() {
        for (int guard = 0; guard < 400 && gMmProgState != 0; ++guard) tick();
        ASSERT_EQ(gMmProgState, 0);
    }

    // The Motorola packets from `from` to `to` (a packet boundary: whole packets are written), in runs of
    // one address. DCC accessory packets in between (the layout's turnouts and signals) are passed over:
    // a DCC character is never 0x00 or 0xFF.
    std::vector<AddressRun> runs(size_t from, size_t to) const {
        std::vector<AddressRun> out;
        size_t p = from;
        while (p + kMotorolaPacketChars <= to) {
            if (seen[p] != 0x00 && seen[p] != 0xFF) {
                ++p;
                continue;
            }
            const tracksignal::MotorolaSeen m = tracksignal::decodeMotorolaPacket(seen.data() + p);
            EXPECT_TRUE(m.ok) << "at " << p;
            if (!m.ok) return out;
            const int address = addressOf(m);
            const bool reverse = tracksignal::motorolaSpeedCode(m.speedByte) == 1;
            if (out.empty() || out.back().address != address) out.push_back({address, false});
            out.back().reversed = out.back().reversed || reverse;
            p += kMotorolaPacketChars;
        }
        EXPECT_EQ(p, to) << "whole packets";
        return out;
    }

    vestrel::test::PtyPair pty;
    RunningProgram program;
    Bytes seen;
    uint64_t received = 0;  // bytes the booster's side has read in all
    size_t bytesWhileOff = 0;
    size_t bytesWhileOffAgain = 0;
};

TEST_F(DirectProgramming, ARegisterIsWrittenUnderItsNumberAndValueAndTheLocomotiveKeepsItsOwn) {
    startAndRelease();
    ASSERT_EQ(gLocsOnTrackCount, 1);
    LocoRec* loco = gLocsOnTrack[0];
    ASSERT_EQ(loco->decoderType, 0);
    gActiveRow = 0;
    frmSchema->mnuLocProg->trigger();  // command 1047
    ASSERT_TRUE(frmProg->isVisible());
    ASSERT_EQ(gProgLoco, loco);
    ASSERT_TRUE(frmProg->grpMM->isVisible());

    frmProg->btnMMProgMode->click();
    tick();
    ASSERT_EQ(gMmProgState, 2);
    for (int guard = 0; guard < 200 && gMmProgState < 101; ++guard) tick();
    ASSERT_EQ(gMmProgState, 101);
    EXPECT_EQ(bytesWhileOff, 0u) << "the track is off for about 100 ticks";
    const size_t afterGap = seen.size();
    tickUntilIdle();

    const size_t writeStart = seen.size();
    frmProg->edtRegister->setText("1");
    frmProg->edtRegWaarde->setText("5");
    frmProg->btnMMSchrijven->click();
    tickUntilIdle();
    for (int i = 0; i < 10; ++i) tick();  // its own packets again
    const size_t leaveStart = seen.size();

    ASSERT_GT(writeStart, afterGap);
    const std::vector<AddressRun> entered = runs(afterGap, writeStart);
    ASSERT_EQ(entered.size(), 1u);
    EXPECT_EQ(entered[0].address, 3);
    EXPECT_TRUE(entered[0].reversed) << "the direction change that puts the decoder in program mode";
    const std::vector<AddressRun> written = runs(writeStart, leaveStart);
    ASSERT_GE(written.size(), 3u);
    size_t i = written[0].address == 3 ? 1 : 0;  // the refresh before the first command
    ASSERT_EQ(written.size(), i + 3);
    EXPECT_EQ(written[i].address, 1);
    EXPECT_TRUE(written[i].reversed);
    EXPECT_EQ(written[i + 1].address, 5);
    EXPECT_TRUE(written[i + 1].reversed);
    EXPECT_EQ(written[i + 2].address, 3);
    EXPECT_FALSE(written[i + 2].reversed);

    frmProg->btnMMAfsluiten->click();
    tickUntilIdle();
    EXPECT_EQ(bytesWhileOffAgain, 0u);
    EXPECT_EQ(gEmergencyState, 0);
    EXPECT_EQ(loco->number, 3);
    EXPECT_EQ(loco->decoderType, 0);

    ASSERT_EQ(saveLocoFile(), 1);
    Bytes file;
    ASSERT_TRUE(vestrel::readWholeFile(vestrel::resolvePath("test.loc"), file));
    const LocoFileContent c = parseLocoFile(file, 0);
    ASSERT_EQ(c.locos.size(), 2u);
    EXPECT_EQ(c.locos[0].rec->number, 3);
    EXPECT_EQ(c.locos[0].rec->decoderType, 0);
}

}  // namespace
