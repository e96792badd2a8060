// What the command station's keyboard reports, as the model takes it: locomotive speed, direction and
// F0..F4; turnouts, signals and outputs that disagree.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "layout/layout_builder.h"
#include "link/port/command_station_events.h"
#include "network/model/net_state.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"

namespace {

class CommandStationEvents : public testing::Test {
protected:
    void SetUp() override {
        gRunWithTrack = 0;
        gNetLinkState = 0;
    }
    void TearDown() override { clearTrainTables(); }

    LocoRec* addLoco(int number) {
        auto l = std::make_unique<LocoRec>();
        l->number = static_cast<int16_t>(number);
        l->run.speedSteps = 28;
        l->mode = kModeManual;
        l->running = 1;
        l->direction = 'v';
        LocoRec* loco = gLocs.append(std::move(l));
        gLocsOnTrack.append(loco);
        return loco;
    }
};

}  // namespace

TEST_F(CommandStationEvents, ALocomotiveRecordGivesStepDirectionAndFunctions) {
    LocoRec* l = addLoco(5);
    // byte 0: speed; byte 1: F1..F4; byte 2: address low; byte 3: bit 7 forward, bit 6 F0, bits 0..5
    // address high; byte 4: step + 1.
    const uint8_t backwardF0F2[5] = {0x30, 0x02, 5, 0x40, 11};
    LocoEvent e = readLocoEvent(backwardF0F2);
    EXPECT_EQ(e.loco, l);
    EXPECT_EQ(e.step, 10);
    EXPECT_TRUE(e.reverse);
    EXPECT_EQ(e.functions, 0x12);

    const uint8_t sameStepForward[5] = {0, 0, 5, 0x80, 1};
    l->run.lastStepSent = 0;
    e = readLocoEvent(sameStepForward);
    EXPECT_EQ(e.step, -1) << "step 0 was sent last";
    EXPECT_FALSE(e.reverse);

    l->run.speedCorrection = 2;  // taken back out of what the command station reports
    e = readLocoEvent(backwardF0F2);
    EXPECT_EQ(e.step, 8);
    l->targetStep = 3;  // still ramping: the speed is left alone
    EXPECT_EQ(readLocoEvent(backwardF0F2).step, -1);
}

TEST_F(CommandStationEvents, RecordsThatNameNoLocomotiveEndTheList) {
    addLoco(44);
    addLoco(300);
    const uint8_t loco300[5] = {0x10, 0, 44, 0x81, 5};  // address 300 = 0x012C
    EXPECT_EQ(readLocoEvent(loco300).loco, nullptr) << "300 must not drive 44";
    const uint8_t terminator[5] = {0x80, 0, 44, 0, 0};
    EXPECT_EQ(readLocoEvent(terminator).loco, nullptr);
    const uint8_t unknown[5] = {0, 0, 7, 0, 0};
    EXPECT_EQ(readLocoEvent(unknown).loco, nullptr);
}

TEST_F(CommandStationEvents, FunctionsFollowTheCommandStation) {
    LocoRec* l = addLoco(5);
    l->decoderType = 4;
    l->run.functionBits1 = 0x01;  // F1 on
    applyLocoEvents({0, 0x0C, 5, 0xC0, 0, 0, 0x01, 9, 0x80, 0});
    EXPECT_EQ(l->run.functionBits1, 0x1C) << "F1 off, F3, F4 and F0 on";
}

TEST_F(CommandStationEvents, AccessoryRecordsFindWhatDisagrees) {
    LayoutBuilder()
        .block(1, {{100, 100}, {200, 100}, {300, 100}})
        .turnout('l', 7, {{400, 100}, {300, 100}, {306, 120}})
        .signal(9, 1, 'H')
        .output(12, 'G', {500, 500})
        .output(12, 'R', {520, 500});
    TurnoutRec* t = turnoutNumbered(7);
    SignalRec* s = signalNumbered(9);
    t->position = 'G';
    EXPECT_EQ(readAccessoryEvent(7, 0x80).turnout, nullptr);
    EXPECT_EQ(readAccessoryEvent(7, 0x00).turnout, t);
    s->aspect = 'G';
    EXPECT_EQ(readAccessoryEvent(9, 0x00).signal, s) << "red from the keyboard forces red";
    EXPECT_EQ(readAccessoryEvent(9, 0x80).signal, nullptr);
    s->aspect = 'S';
    EXPECT_EQ(readAccessoryEvent(9, 0x80).signal, s);
    gOutputs[0]->state = 'R';
    EXPECT_EQ(readAccessoryEvent(12, 0x80).output, gOutputs[0]);
    gOutputs[1]->state = 'R';
    EXPECT_EQ(readAccessoryEvent(12, 0x00).output, nullptr);
    const AccessoryEvent none = readAccessoryEvent(13, 0x80);
    EXPECT_FALSE(none.turnout || none.signal || none.output);
}

TEST_F(CommandStationEvents, FunctionBitsOfALocomotiveOrADecoder) {
    LocoRec* l = addLoco(5);
    l->run.functionBits1 = 0x1A;  // F0, F2, F4
    l->run.functionBits2 = 0x31;  // F5, F9, F10
    EXPECT_EQ(functionBitsForAddress(5), 0x1A);
    EXPECT_EQ(functionBitsForAddress(6), -1);
    auto d = std::make_unique<FunctionDecoderRec>();
    d->address = 6;
    d->functionState = 0x0F05;  // F1, F3, F5..F8
    gFunctionDecoders.append(std::move(d));
    EXPECT_EQ(functionBitsForAddress(6), 0xF5);
}
