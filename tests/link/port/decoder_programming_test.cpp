// Decoder programming on the real main window: the Motorola program-mode sequence stepped tick by tick
// by the main cycle, and the programming dialog's checks. A session with track control in direct mode
// whose commands are read back from the command queue (no link thread takes them).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <vector>

#include "link/buffers/link_buffers.h"
#include "link/dialogs/untProg.h"
#include "link/port/decoder_programming.h"
#include "link/protocol/motorola_encoder.h"
#include "link/protocol/track_packets.h"
#include "link/protocol/track_signal_decode.h"
#include "operation/control/loco_operation.h"
#include "operation/dialogs/untFunctieDec.h"
#include "operation/control/control_post.h"
#include "operation/files/function_decoder_file.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "shell/config/help.h"
#include "shell/config/messages.h"
#include "shell/main/main_cycle.h"
#include "shell/main/session.h"
#include "shell/main/session_steps.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A speed command as queued: its address and its speed step (15 the direction change).
struct Speed {
    int address, step;
    bool operator==(const Speed&) const = default;
};

class Programming : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        frmSchema->Timer1->stop();
        buildSessionLayout();
        gLocoFileName = "test.loc";
        // Locomotive 3 Motorola (new format, 14 steps) on block 1, 7 DCC on block 2.
        writeSessionLocoFile("test.loc", {{3, 150, 100, 1, 1}, {7, 250, 200, 2, 4}, {9, 0, 0, 0}});
        gDirtyFlags = 0;
        ASSERT_EQ(toggleControlPostSession(13), 1);
        ASSERT_EQ(toggleControlPostSession(12), 0);  // on with track control
        gSettings.chboDirectBooster = 1;
        ASSERT_EQ(gLocsOnTrackCount, 2);
        ASSERT_EQ(motorola()->number, 3);
        ASSERT_EQ(motorola()->decoderType, 1);
        gEmergencyState = 0;
        drain();
    }
    void TearDown() override {
        gMmProgState = 0;
        gCurFunctionDecoder = nullptr;
        gRunWithTrack = gRunWithoutTrack = 0;
        gEmergencyState = 0;
        clearTrainTables();
        clearFunctionDecoders();
        gCommandQueue.reset();
    }

    static LocoRec* motorola() { return gLocsOnTrack[0]; }
    static LocoRec* dcc() { return gLocsOnTrack[1]; }

    // What the queue holds, taken out.
    void drain() {
        LinkCommand c;
        while (gCommandQueue.take(c, true) == RingTake::Command) {
            const Bytes b(c.bytes, c.bytes + c.length);
            commands.push_back(b);
            if (c.length == 3 && b[0] < 0x20) speeds.push_back({b[1] | (b[2] << 8), b[0] & 0x0F});
        }
    }
    void tick() {
        mainCycleTick();
        drain();
    }
    // Ticks while the state stays `state`; the number of ticks until it changed.
    int ticksAt(int state, int limit = 200) {
        int n = 0;
        while (gMmProgState == state && n < limit) {
            tick();
            ++n;
        }
        return n;
    }
    // Ticks until the state is `state` (each tick adds one, except while a hold is waited for).
    void tickTo(int state) {
        for (int guard = 0; gMmProgState != state && guard < 200; ++guard) {
            const int before = gMmProgState;
            tick();
            if (before == 102 || before == 202 || before == 302) continue;
            ASSERT_EQ(gMmProgState, before + 1);
        }
        ASSERT_EQ(gMmProgState, state);
    }
    bool queued(uint8_t first) const {
        for (const Bytes& b : commands)
            if (b[0] == first) return true;
        return false;
    }
    void clearSeen() {
        commands.clear();
        speeds.clear();
    }
    void openFor(LocoRec* loco, FunctionDecoderRec* decoder = nullptr) {
        gProgLoco = loco;
        gProgFunctionDecoder = decoder;
        frmProg->Tag = 0;
        frmProg->show();
        frmProg->FormActivate();
    }
    // The address carried by the locomotive's cached Motorola packet, or -1.
    static int cachedAddress(const LocoRec* l) {
        const tracksignal::MotorolaSeen m = tracksignal::decodeMotorolaPacket(l->packetCache->data());
        for (int a = 0; a <= 255 && m.ok; ++a) {
            uint8_t t[4];
            if (motorolaAddressTrits(a, t) && t[0] == m.trits[0] && t[1] == m.trits[1] && t[2] == m.trits[2] &&
                t[3] == m.trits[3])
                return a;
        }
        return -1;
    }

    RunningProgram program;
    std::vector<Bytes> commands;
    std::vector<Speed> speeds;
};

TEST_F(Programming, EnterWriteAndLeaveWalkTheirStatesTickByTick) {
    LocoRec* l = motorola();
    openFor(l);
    ASSERT_TRUE(frmProg->grpMM->isVisible());

    // Enter program mode: 1 -> 150.
    frmProg->btnMMProgMode->click();
    tick();
    EXPECT_EQ(gMmProgState, 2);
    EXPECT_EQ(gEmergencyState, 2) << "power off without message";
    EXPECT_TRUE(queued(kCmdStop));
    EXPECT_EQ(l->decoderType, 0);
    EXPECT_EQ(l->number, 3);
    EXPECT_EQ(gMmSavedAddress, 3);
    EXPECT_EQ(gMmSavedDecoderType, 1);
    EXPECT_EQ(l->mode, kModeShunting) << "Manueel cycled to Rangeer";
    EXPECT_FALSE(frmProg->isEnabled());
    tickTo(50);
    l->mode = kModeAuto;  // left during programming: undone on the next tick
    tickTo(51);
    EXPECT_EQ(l->mode, kModeShunting);
    tickTo(101);
    clearSeen();
    tick();
    EXPECT_EQ(gMmProgState, 102);
    EXPECT_EQ(gEmergencyState, 0) << "power on";
    EXPECT_TRUE(queued(kCmdGo));
    EXPECT_EQ(l->holdCountdown, 30);
    ASSERT_FALSE(speeds.empty());
    EXPECT_EQ(speeds.back(), (Speed{3, 15})) << "a direction change under its own address";
    EXPECT_EQ(ticksAt(102), 30) << "waits while the hold runs";
    EXPECT_EQ(gMmProgState, 103);
    tickTo(150);
    tick();
    EXPECT_EQ(gMmProgState, 0);
    EXPECT_EQ(l->number, 3);
    EXPECT_EQ(l->decoderType, 1);
    EXPECT_EQ(cachedAddress(l), 3);
    EXPECT_TRUE(frmProg->isEnabled());

    // Write register 1 with 5: 201 -> 400.
    clearSeen();
    frmProg->edtRegister->setText("1");
    frmProg->edtRegWaarde->setText("5");
    frmProg->btnMMSchrijven->click();
    EXPECT_EQ(gMmProgState, 201);
    tick();
    EXPECT_EQ(gMmProgState, 202);
    EXPECT_EQ(l->number, 1);
    EXPECT_EQ(l->decoderType, 0);
    EXPECT_EQ(l->holdCountdown, 10);
    EXPECT_FALSE(frmProg->isEnabled());
    EXPECT_EQ(ticksAt(202), 10);
    tickTo(301);
    tick();
    EXPECT_EQ(l->number, 5);
    EXPECT_EQ(l->holdCountdown, 10);
    EXPECT_EQ(ticksAt(302), 10);
    tickTo(400);
    tick();
    EXPECT_EQ(gMmProgState, 0);
    EXPECT_EQ(l->number, 3);
    EXPECT_EQ(l->decoderType, 1);
    EXPECT_EQ(cachedAddress(l), 3);
    EXPECT_TRUE(frmProg->isEnabled());
    const std::vector<Speed> reverses = [&] {
        std::vector<Speed> r;
        for (const Speed& s : speeds)
            if (s.step == 15) r.push_back(s);
        return r;
    }();
    EXPECT_EQ(reverses, (std::vector<Speed>{{1, 15}, {5, 15}}));
    EXPECT_FALSE(queued(kCmdStop)) << "the write keeps the power on";

    // Leave program mode: 401 -> 500.
    clearSeen();
    frmProg->btnMMAfsluiten->click();
    tick();
    EXPECT_EQ(gMmProgState, 402);
    EXPECT_EQ(gEmergencyState, 2);
    EXPECT_TRUE(queued(kCmdStop));
    EXPECT_FALSE(frmProg->isEnabled());
    tickTo(500);
    tick();
    EXPECT_EQ(gMmProgState, 0);
    EXPECT_EQ(gEmergencyState, 0);
    EXPECT_TRUE(queued(kCmdGo));
    EXPECT_TRUE(frmProg->isEnabled());
    EXPECT_EQ(l->number, 3);
}

TEST_F(Programming, AMotorolaFunctionDecoderIsProgrammedThroughTheFirstLocomotive) {
    auto d = std::make_unique<FunctionDecoderRec>();
    d->address = 60;
    d->protocol = 0;
    FunctionDecoderRec* decoder = gFunctionDecoders.append(std::move(d));
    openFor(nullptr, decoder);
    EXPECT_EQ(frmProg->windowTitle(), "Programmeren functiedecod.");
    EXPECT_EQ(frmProg->cboNummer->currentText(), "60");
    EXPECT_TRUE(frmProg->grpMM->isVisible());
    EXPECT_FALSE(frmProg->grpDCC->isVisible());

    frmProg->btnMMProgMode->click();
    EXPECT_EQ(gProgLoco, motorola());
    tick();
    EXPECT_EQ(motorola()->number, 60) << "the locomotive drives under the decoder's address";
    EXPECT_EQ(motorola()->decoderType, 0);
    EXPECT_EQ(cachedAddress(motorola()), 60);
    tickTo(101);
    clearSeen();
    tick();
    ASSERT_FALSE(speeds.empty());
    EXPECT_EQ(speeds.back(), (Speed{60, 15}));
    ticksAt(102);
    tickTo(150);
    tick();
    EXPECT_EQ(gMmProgState, 0);
    EXPECT_EQ(motorola()->number, 3);
    EXPECT_EQ(motorola()->decoderType, 1);
    EXPECT_EQ(cachedAddress(motorola()), 3);

    // Without a locomotive on the track there is nothing to drive the decoder's address.
    for (LocoRec* l : {dcc(), motorola()}) {
        l->targetStep = 0;
        ASSERT_EQ(takeLocoOffTrack(l), 1);
    }
    frmProg->btnMMProgMode->click();
    EXPECT_EQ(lastDialogMessage(), "Programmatie van een MM-functiedecoder kan slechts als er een loc op het spoor staat");
    EXPECT_EQ(gMmProgState, 0);
}

TEST_F(Programming, RefusedRegistersAndConfigurationValuesShowTheirMessageAndStartNothing) {
    openFor(motorola());
    struct Case {
        const char* a;
        const char* b;
    };
    for (const Case& c : {Case{"0", "5"}, Case{"256", "5"}, Case{"1", "256"}, Case{"", "5"}, Case{"1", "x"}}) {
        showDialogMessage("", 3);
        frmProg->edtRegister->setText(c.a);
        frmProg->edtRegWaarde->setText(c.b);
        frmProg->btnMMSchrijven->click();
        EXPECT_EQ(lastDialogMessage(), "Registernummer: 1-255; registerwaarde: 0-255") << c.a << " " << c.b;
        EXPECT_EQ(gMmProgState, 0);
    }
    for (const Case& c : {Case{"0", "5"}, Case{"1025", "5"}, Case{"300", "256"}, Case{"abc", "5"}, Case{"300", ""}}) {
        showDialogMessage("", 3);
        writeCvFromDialog(3, 1, c.a, c.b);
        EXPECT_EQ(lastDialogMessage(), "CV-nummer: 1-1024; CV-waarde: 0-255") << c.a << " " << c.b;
    }
    drain();
    EXPECT_TRUE(commands.empty());

    writeCvFromDialog(3, 1, "300", "5");
    drain();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], (Bytes{0xA0, 0x03, 0x00, 0xED, 0x2B, 0x05}));

    // "Schrijven alle op spoor" for the DCC locomotive: service mode.
    clearSeen();
    openFor(dcc());
    EXPECT_TRUE(frmProg->grpDCC->isVisible());
    frmProg->edtCVNr->setText("1");
    frmProg->edtCVWaarde->setText("4");
    frmProg->btnSchrijvenAlle->click();
    frmProg->btnSchrijvenAdres->click();
    drain();
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0], (Bytes{0xA0, 0x07, 0x00, 0x7C, 0x00, 0x04}));
    EXPECT_EQ(commands[1], (Bytes{0xA0, 0x07, 0x00, 0xEC, 0x00, 0x04}));
}

TEST_F(Programming, AConfigurationWriteOutsideADirectSessionWithTrackControlDoesNothing) {
    showDialogMessage("", 3);
    gSettings.chboDirectBooster = 0;
    writeCvFromDialog(3, 1, "300", "5");
    writeCvFromDialog(3, 1, "0", "5");
    gSettings.chboDirectBooster = 1;
    ASSERT_EQ(toggleControlPostSession(13), 0);  // back to a session without track control
    writeCvFromDialog(3, 1, "300", "5");
    drain();
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(lastDialogMessage(), "");
}

// A sequence that ends early gives the locomotive its own number and type back with its packets, lets
// the track power on again and enables the dialog: nothing stores a register as a locomotive number.
TEST_F(Programming, ASequenceEndingEarlyRestoresTheLocomotive) {
    LocoRec* l = motorola();
    openFor(l);
    frmProg->btnMMProgMode->click();
    tickTo(40);
    ASSERT_EQ(gEmergencyState, 2);
    {
        std::lock_guard lock(trackPacketMutex());
        l->packetCache.reset();  // no packets any more
    }
    tick();
    EXPECT_EQ(gMmProgState, 0);
    EXPECT_EQ(l->decoderType, 1);
    EXPECT_EQ(l->number, 3);
    EXPECT_EQ(gEmergencyState, 0) << "the sequence's silent stop is released";
    EXPECT_TRUE(frmProg->isEnabled());

    // Taken off the track in the middle of a register write, while it carries the register number.
    l->packetCache = std::make_unique<PacketCache>();
    frmProg->edtRegister->setText("12");
    frmProg->edtRegWaarde->setText("7");
    frmProg->btnMMSchrijven->click();
    tickTo(250);
    ASSERT_EQ(l->number, 12);
    ASSERT_EQ(takeLocoOffTrack(l), 1);
    EXPECT_EQ(gMmProgState, 0);
    EXPECT_EQ(l->number, 3);
    EXPECT_EQ(l->decoderType, 1);
    EXPECT_TRUE(frmProg->isEnabled());
}

TEST_F(Programming, FreeingTheProgrammedRecordsEndsTheSequenceAndClearsThem) {
    LocoRec* l = motorola();
    openFor(l);
    frmProg->edtRegister->setText("12");
    frmProg->edtRegWaarde->setText("7");
    frmProg->btnMMSchrijven->click();
    tickTo(250);
    ASSERT_EQ(l->number, 12);
    ASSERT_EQ(deleteLoco(l), 1);
    EXPECT_EQ(gProgLoco, nullptr);
    EXPECT_EQ(gMmProgState, 0);
    EXPECT_EQ(mmProgrammedLoco(), nullptr);
    tick();  // nothing left to step

    auto d = std::make_unique<FunctionDecoderRec>();
    d->protocol = 0;
    gProgFunctionDecoder = gFunctionDecoders.append(std::move(d));
    clearFunctionDecoders();
    EXPECT_EQ(gProgFunctionDecoder, nullptr);
    gProgLoco = dcc();
    clearTrainTables();
    EXPECT_EQ(gProgLoco, nullptr);
}

TEST_F(Programming, StoppingTheSessionEndsTheSequenceAndClearsWhatItWorkedOn) {
    LocoRec* l = motorola();
    openFor(l);
    frmProg->edtRegister->setText("12");
    frmProg->edtRegWaarde->setText("7");
    frmProg->btnMMSchrijven->click();
    tickTo(250);
    ASSERT_EQ(l->number, 12);
    gLocoDataModified = 0;
    ASSERT_EQ(stopSession(12), 1);
    EXPECT_EQ(gMmProgState, 0);
    EXPECT_EQ(gProgLoco, nullptr);
    EXPECT_EQ(gProgFunctionDecoder, nullptr);
    tick();
}

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

TEST_F(Programming, TheDialogListsChoosesStopsClosesAndHelps) {
    openFor(motorola());
    EXPECT_EQ(frmProg->windowTitle(), "Programmeren locomotief");
    ASSERT_EQ(frmProg->cboNummer->count(), 2);
    EXPECT_EQ(frmProg->cboNummer->itemText(0), "3");
    EXPECT_EQ(frmProg->cboNummer->itemText(1), "7");
    EXPECT_EQ(frmProg->cboNummer->currentText(), "3");
    EXPECT_EQ(frmProg->Tag, 3);
    frmProg->cboNummer->setCurrentIndex(1);
    EXPECT_EQ(gProgLoco, dcc());
    EXPECT_TRUE(frmProg->grpDCC->isVisible());
    EXPECT_FALSE(frmProg->grpMM->isVisible());
    frmProg->cboNummer->setEditText("3");
    EXPECT_EQ(gProgLoco, motorola());
    EXPECT_TRUE(frmProg->grpMM->isVisible());

    frmProg->FormKeyDown(32);
    EXPECT_EQ(gEmergencyState, 1);
    gEmergencyState = 0;

    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    frmProg->btnHelp->click();
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened[0].toString().toStdString(), helpTopicUrl(21));

    frmProg->btnAfsluiten->click();
    EXPECT_FALSE(frmProg->isVisible());
    EXPECT_EQ(frmProg->Tag, 0);
}

TEST_F(Programming, TheFunctionDecoderDialogOpensProgrammingForItsDecoder) {
    auto d = std::make_unique<FunctionDecoderRec>();
    d->address = 61;
    d->protocol = 1;
    gCurFunctionDecoder = gFunctionDecoders.append(std::move(d));
    gProgLoco = motorola();
    frmFunctieDec->btnCVProg->click();
    EXPECT_TRUE(frmProg->isVisible());
    EXPECT_EQ(gProgLoco, nullptr);
    EXPECT_EQ(gProgFunctionDecoder, gCurFunctionDecoder);
    EXPECT_EQ(frmProg->cboNummer->currentText(), "61");
    EXPECT_TRUE(frmProg->grpDCC->isVisible());
    gCurFunctionDecoder = nullptr;
}

}  // namespace

#include "decoder_programming_test.moc"
