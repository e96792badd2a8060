// The emergency stop: for every reason what reaches the command queue, the stop state and the message.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <thread>

#include "link/port/decoder_programming.h"
#include "link/buffers/link_buffers.h"
#include "shell/model/settings.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/emergency_stop.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"
#include "shell/config/messages.h"

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kPending = {0x21, 0x05, 0x00};                   // an accessory command waiting
const Bytes kLocoStop = {0x58, 0x80, 0x03, 0x00, 0x00, 0x60};  // locomotive 3 to step 0

const std::string kMsgStop =
    "Het noodstopbevel werd gegeven ! Druk OK om het vrijgavebevel te geven en verder te kunnen werken.";
const std::string kMsgShort =
    "Korsluiting booster werd gedetecteerd ! De korsluitbeveiliging kan afgezet worden via 'instelling'. "
    "Druk OK om de booster terug in te schakelen.";
const std::string kMsgStart =
    "De stuurpost word gestart met spoorbaansturing. De treinen kunnen slechts overgaan naar een volgend blok "
    "indien de juiste terugmeldingen binnengelezen worden ! Druk OK om het vrijgavebevel te geven en de "
    "spanning naar de sporen in te schakelen.";
const std::string kMsgCom = "De COM-poort werkt niet meer ! Sluit de stuurpost af en sla indien gewenst de locs op.";

class EmergencyStop : public testing::Test {
protected:
    void SetUp() override {
        gCommandQueue.reset();
        gRunWithTrack = 1;
        gRunWithoutTrack = 0;
        gSettings.chboDirectBooster = 0;
        gEmergencyState = 0;
        gNetLinkState = 30;  // a server with a synchronised client: broadcasts are kept
        gNetOutFill = 0;
        gMmProgState = 0;
        gMessageShown = 0;
        showDialogMessage("", 3);
        auto l = std::make_unique<LocoRec>();
        l->number = 3;
        l->mode = kModeManual;
        l->running = 1;
        l->targetStep = l->currentStep = 12;
        l->run.lastStepSent = 12;
        loco = gLocs.append(std::move(l));
        gLocsOnTrack.append(loco);
        queueCommandWithValue(kPending[0], 5);
    }
    void TearDown() override {
        clearTrainTables();
        gNetLinkState = 0;
        gEmergencyState = 0;
    }
    static std::vector<Bytes> drain() {
        std::vector<Bytes> out;
        LinkCommand c;
        while (gCommandQueue.take(c, false) == RingTake::Command) out.emplace_back(c.bytes, c.bytes + c.length);
        return out;
    }
    // The stop record ends the buffer; the stopped trains' own records (switched off, speed shown) come first.
    static Bytes netRecord() {
        return gNetOutFill < 8 ? Bytes(gNetOutBuffer, gNetOutBuffer + gNetOutFill)
                               : Bytes(gNetOutBuffer + gNetOutFill - 8, gNetOutBuffer + gNetOutFill);
    }
    void expectTrainStopped() const {
        EXPECT_EQ(loco->running, 0);
        EXPECT_EQ(loco->targetStep, 0);
        EXPECT_EQ(loco->currentStep, 0);
    }
    LocoRec* loco = nullptr;
};

TEST_F(EmergencyStop, EveryReason) {
    struct Case {
        int reason;
        uint8_t stateBefore;
        std::vector<Bytes> queue;
        uint8_t state;
        std::string message;
    };
    const Case cases[] = {
        {0, 1, {kPending, kLocoStop, {0x60}}, 0, ""},
        {1, 0, {kPending, kLocoStop, {0x61}}, 1, kMsgStop},
        {2, 0, {kPending, kLocoStop, {0x61}}, 2, ""},
        {3, 0, {kPending, kLocoStop, {0x61}}, 4, kMsgShort},
        {4, 0, {{0x61}}, 8, kMsgStart},
        {5, 0, {}, 0x11, kMsgCom},
        {6, 0, {}, 0x11, "Voeding van de centrale is uit !"},
        {7, 0, {}, 0x11, "Geen communicatie met centrale !"},
        {9, 1, {}, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        TearDown();
        SetUp();
        gEmergencyState = c.stateBefore;
        emergencyStopAll(c.reason);
        expectTrainStopped();
        EXPECT_EQ(drain(), c.queue);
        EXPECT_EQ(gEmergencyState, c.state);
        EXPECT_EQ(lastDialogMessage(), c.message);
        EXPECT_EQ(netRecord(), (Bytes{45, 45, 0, 0, 0, 0, static_cast<uint8_t>(c.reason), 0}));
    }
}

TEST_F(EmergencyStop, ASessionWithoutTrackControlOnlyStopsTheTrainsAndTellsTheClients) {
    gRunWithTrack = 0;
    gRunWithoutTrack = 1;
    gCommandQueue.reset();
    emergencyStopAll(1);
    expectTrainStopped();
    EXPECT_TRUE(drain().empty());
    EXPECT_EQ(gEmergencyState, 0);
    EXPECT_EQ(lastDialogMessage(), "");
    EXPECT_EQ(netRecord(), (Bytes{45, 45, 0, 0, 0, 0, 11, 0}));
}

TEST_F(EmergencyStop, MessagesThatAreLeftOut) {
    gMmProgState = 201;  // a Motorola programming sequence stops the track itself
    emergencyStopAll(1);
    EXPECT_EQ(gEmergencyState, 1);
    EXPECT_EQ(lastDialogMessage(), "");
    gMessageShown = 1;  // the start message waits for a message already up
    emergencyStopAll(4);
    EXPECT_EQ(gEmergencyState, 8);
    EXPECT_EQ(lastDialogMessage(), "");
}

TEST_F(EmergencyStop, TheStopGetsThroughAFullQueue) {
    while (queueCommandByte(0x81)) {
    }
    emergencyStopAll(1);
    const auto all = drain();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.back(), Bytes{0x61});
}

TEST_F(EmergencyStop, FromAWorkerTheStateHoldsAtOnceAndTheRestFollowsOnTheGuiThread) {
    std::thread worker([] { emergencyStopAll(5); });
    worker.join();
    EXPECT_EQ(gEmergencyState, 0x11);
    EXPECT_EQ(loco->running, 1);  // the trains belong to the GUI thread
    EXPECT_EQ(lastDialogMessage(), "");
    QCoreApplication::processEvents();
    expectTrainStopped();
    EXPECT_TRUE(drain().empty());
    EXPECT_EQ(lastDialogMessage(), kMsgCom);
    EXPECT_EQ(gEmergencyState, 0x11);
}

}  // namespace
