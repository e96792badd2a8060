// The command language as the queue writers produce it, byte by byte.
#include <gtest/gtest.h>

#include <vector>

#include "link/buffers/link_buffers.h"
#include "shell/model/settings.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"

namespace {

using Bytes = std::vector<uint8_t>;

class LinkBuffers : public testing::Test {
protected:
    void SetUp() override {
        gCommandQueue.reset();
        gAccessoryQueue.clear();
        gRunWithTrack = 1;
        gRunWithoutTrack = 0;
        gSettings.chboDirectBooster = 0;
        gSettings.radbtnP50X = 0;
        gNetLinkState = 0;
        gNetOutFill = 0;
        gRepaintRequest = 0;
    }
    void TearDown() override { clearTrainTables(); }

    // A locomotive on the track with a linear speed table (entry j = j).
    LocoRec* addLoco(int number, int steps, uint8_t decoderType = 4) {
        auto l = std::make_unique<LocoRec>();
        l->number = static_cast<int16_t>(number);
        l->run.speedSteps = static_cast<int16_t>(steps);
        l->decoderType = decoderType;
        l->mode = kModeManual;
        for (int j = 0; j < kSpeedTableSize; ++j) l->speedTable[j] = static_cast<uint8_t>(j);
        LocoRec* loco = gLocs.append(std::move(l));
        gLocsOnTrack.append(loco);
        return loco;
    }

    static std::vector<Bytes> drain() {
        std::vector<Bytes> out;
        LinkCommand c;
        while (gCommandQueue.take(c, directMode()) == RingTake::Command) out.emplace_back(c.bytes, c.bytes + c.length);
        return out;
    }
    static Bytes one() {
        const auto all = drain();
        EXPECT_EQ(all.size(), 1u);
        return all.empty() ? Bytes{} : all.front();
    }
};

TEST_F(LinkBuffers, SpeedConversionOfTheExtendedForm) {
    struct Case {
        int steps, step, speed;
    };
    const Case cases[] = {{28, 1, 5},  {28, 28, 127}, {28, 0, 0},    {27, 27, 122}, {14, 1, 10},
                          {14, 14, 127}, {126, 1, 2}, {126, 126, 127}, {126, 0, 0},  {14, 0, 0},
                          {14, 15, 0},  {27, 30, 0}};
    for (const Case& c : cases) EXPECT_EQ(extendedSpeedByte(c.step, c.steps), c.speed) << c.steps << "/" << c.step;
}

TEST_F(LinkBuffers, SpeedCommandForms) {
    struct Case {
        const char* what;
        int steps;
        bool p50xOnly;
        char direction;
        uint8_t functions;
        int step;
        Bytes expect;
    };
    const Case cases[] = {
        {"14 steps: short form with F0", 14, false, 'v', 0x10, 5, {0x15, 0x03, 0x00}},
        {"14 steps without F0", 14, false, 'a', 0x0F, 14, {0x0E, 0x03, 0x00}},
        {"14 steps, P50X alone: extended", 14, true, 'v', 0x00, 14, {0x58, 0x80, 0x03, 0x00, 127, 0x60}},
        {"28 steps forward, F0 F1 F3", 28, false, 'v', 0x15, 28, {0x58, 0x80, 0x03, 0x00, 127, 0x75}},
        {"28 steps backward", 28, false, 'a', 0x00, 1, {0x58, 0x80, 0x03, 0x00, 5, 0x40}},
        {"126 steps", 126, false, 'v', 0x08, 126, {0x58, 0x80, 0x03, 0x00, 127, 0x68}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        clearTrainTables();
        gSettings.radbtnP50X = c.p50xOnly;
        LocoRec* l = addLoco(3, c.steps);
        l->direction = c.direction;
        l->run.functionBits1 = c.functions;
        l->targetStep = l->currentStep = static_cast<int16_t>(c.step);
        queueLocoSpeed(l, 1);
        EXPECT_EQ(one(), c.expect);
        EXPECT_EQ(l->run.lastStepSent, c.step);
    }
}

TEST_F(LinkBuffers, ASpeedIsSentOnceUnlessForced) {
    LocoRec* l = addLoco(1234, 28);
    l->targetStep = l->currentStep = 4;
    queueLocoSpeed(l, 0);
    EXPECT_EQ(one(), (Bytes{0x58, 0x80, 0xD2, 0x04, 19, 0x60}));
    queueLocoSpeed(l, 0);
    EXPECT_TRUE(drain().empty());
    queueLocoSpeed(l, 1);
    EXPECT_EQ(drain().size(), 1u);
    gRunWithTrack = 0;  // a session without track control only remembers the step
    l->currentStep = 6;
    queueLocoSpeed(l, 1);
    EXPECT_TRUE(drain().empty());
    EXPECT_EQ(l->run.lastStepSent, 6);
}

TEST_F(LinkBuffers, ASpeedThatDoesNotFitWaitsAndTheNewestOfALocomotiveGoesWhenThereIsRoom) {
    LocoRec* l = addLoco(3, 28);
    LocoRec* other = addLoco(4, 28);
    while (queueCommandByte(0x81)) {
    }
    const int before = gCommandQueue.writePos();
    l->targetStep = l->currentStep = 9;
    queueLocoSpeed(l, 1);
    other->targetStep = other->currentStep = 2;
    queueLocoSpeed(other, 1);
    l->targetStep = l->currentStep = 5;
    queueLocoSpeed(l, 0);
    EXPECT_EQ(gCommandQueue.writePos(), before);
    EXPECT_EQ(heldSpeedCount(), 2);
    EXPECT_EQ(l->run.lastStepSent, 0) << "not sent yet";
    sendHeldSpeeds();  // still no room
    EXPECT_EQ(heldSpeedCount(), 2);
    for (const Bytes& b : drain()) EXPECT_EQ(b, Bytes{0x81});
    sendHeldSpeeds();
    EXPECT_EQ(heldSpeedCount(), 0);
    EXPECT_EQ(drain(), (std::vector<Bytes>{{0x58, 0x80, 0x03, 0x00, 23, 0x60}, {0x58, 0x80, 0x04, 0x00, 10, 0x60}}));
    EXPECT_EQ(l->run.lastStepSent, 5);
    EXPECT_EQ(other->run.lastStepSent, 2);
}

TEST_F(LinkBuffers, TheReverseCodeInTheExtendedFormIsAStopWithTheNewDirection) {
    gSettings.radbtnP50X = 1;
    for (int steps : {14, 27}) {
        SCOPED_TRACE(steps);
        clearTrainTables();
        LocoRec* l = addLoco(7, steps, steps == 14 ? 1 : 2);
        l->direction = 'a';
        l->targetStep = static_cast<int16_t>(steps == 14 ? 15 : 30);  // as a reversal asks for it
        l->flags |= kLocoSendTarget;
        queueLocoSpeed(l, 1);
        EXPECT_EQ(one(), (Bytes{0x58, 0x80, 0x07, 0x00, 0x00, 0x40}));
    }
}

TEST_F(LinkBuffers, StepToSend) {
    struct Case {
        const char* what;
        uint8_t mode, flags;
        int8_t correction;
        int target, current, lastSent, speedValue;
        int sent, currentAfter;
    };
    const Case cases[] = {
        {"running: the current step", kModeManual, 0, 0, 9, 5, 0, 3, 5, 5},
        {"direction change: the target step", kModeManual, kLocoSendTarget, 0, 9, 5, 0, 3, 9, 5},
        {"correction added", kModeManual, 0, 2, 5, 5, 0, 3, 7, 5},
        {"negative correction held at 1", kModeManual, 0, -10, 5, 5, 0, 3, 1, 5},
        {"positive correction not added while stopping", kModeManual, 0, 2, 0, 3, 0, 3, 3, 3},
        {"shunting at standstill: target", kModeShunting, 0, 0, 6, 0, 0, 0, 6, 6},
        {"shunting, force once: last step sent", kModeShunting, kLocoForce | kLocoForceOnce, 0, 9, 2, 4, 7, 4, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        clearTrainTables();
        LocoRec* l = addLoco(3, 28);
        l->mode = c.mode;
        l->flags = c.flags;
        l->run.speedCorrection = c.correction;
        l->targetStep = static_cast<int16_t>(c.target);
        l->currentStep = static_cast<int16_t>(c.current);
        l->run.lastStepSent = static_cast<uint8_t>(c.lastSent);
        l->speedValue = static_cast<int16_t>(c.speedValue);
        queueLocoSpeed(l, 1);
        EXPECT_EQ(l->run.lastStepSent, c.sent);
        EXPECT_EQ(l->currentStep, c.currentAfter);
        EXPECT_EQ(l->flags & kLocoForceOnce, 0);
    }
}

TEST_F(LinkBuffers, SpeedValueNeverReadsPastTheSpeedTable) {
    // The Motorola reverse code 15 of a 14-step locomotive would index entry 135 of 127.
    LocoRec* l = addLoco(3, 14);
    l->mode = kModeShunting;
    l->flags = kLocoForce;
    l->targetStep = 15;
    l->speedTable[126] = 77;
    queueLocoSpeed(l, 1);
    EXPECT_EQ(l->speedValue, 77);
    EXPECT_EQ(one(), (Bytes{0x0F, 0x03, 0x00}));
}

TEST_F(LinkBuffers, FunctionBitsAndCommands) {
    struct Case {
        const char* what;
        bool direct;
        uint8_t decoderType;
        int n;
        uint8_t fb1, fb2, fb3;
        std::vector<Bytes> commands;
    };
    const Case cases[] = {
        {"F1, command-station mode", false, 4, 1, 0x01, 0, 0, {{0x41, 0x03, 0x00}}},
        {"F7, command-station mode: F1..F4 bits", false, 4, 7, 0x00, 0x04, 0, {{0x40, 0x03, 0x00}}},
        {"F4, direct", true, 4, 4, 0x08, 0, 0, {{0x44, 0x03, 0x00}}},
        {"F12, direct", true, 4, 12, 0, 0x80, 0, {{0x4C, 0x03, 0x00}}},
        {"F13, direct", true, 4, 13, 0, 0, 0x01, {{0x4D, 0x03, 0x00}}},
        {"F20, direct", true, 4, 20, 0, 0, 0x80, {{0x54, 0x03, 0x00}}},
        {"F24 travels as 0x5F", true, 4, 24, 0, 0, 0, {{0x5F, 0x03, 0x00}}},
        {"F25", true, 4, 25, 0, 0, 0, {{0x59, 0x03, 0x00}}},
        {"F28", true, 4, 28, 0, 0, 0, {{0x5C, 0x03, 0x00}}},
        {"F0, DCC: speed and function", true, 4, 0, 0x10, 0, 0, {{0x58, 0x80, 0x03, 0x00, 0, 0x70}, {0x40, 0x03, 0x00}}},
        {"F0, Motorola: speed only", true, 0, 0, 0x10, 0, 0, {{0x10, 0x03, 0x00}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        clearTrainTables();
        gSettings.chboDirectBooster = c.direct;
        LocoRec* l = addLoco(3, c.decoderType == 0 ? 14 : 28, c.decoderType);
        setLocoFunction(l, c.n, 1);
        EXPECT_EQ(l->run.functionBits1, c.fb1);
        EXPECT_EQ(l->run.functionBits2, c.fb2);
        EXPECT_EQ(l->run.functionBits3, c.fb3);
        EXPECT_EQ(drain(), c.commands);
    }
}

TEST_F(LinkBuffers, FunctionOffClearsItsBitAndReachesTheDecoderOfTheSameAddress) {
    LocoRec* l = addLoco(3, 28);
    auto d = std::make_unique<FunctionDecoderRec>();
    d->address = 3;
    d->functionState = 0xAB000000u;
    FunctionDecoderRec* dec = gFunctionDecoders.append(std::move(d));
    setLocoFunction(l, 2, 1);
    setLocoFunction(l, 9, 1);
    setLocoFunction(l, 2, 0);
    EXPECT_EQ(l->run.functionBits1, 0x00);
    EXPECT_EQ(l->run.functionBits2, 0x10);
    EXPECT_EQ(dec->functionState, 0xAB001000u);
}

TEST_F(LinkBuffers, AClientOnlyAsksTheServer) {
    LocoRec* l = addLoco(3, 28);
    l->slot = 0;
    gNetLinkState = 40;
    setLocoFunction(l, 5, 1);
    EXPECT_EQ(l->run.functionBits2, 0);
    EXPECT_TRUE(drain().empty());
    ASSERT_EQ(gNetOutFill, 8);
    EXPECT_EQ(Bytes(gNetOutBuffer, gNetOutBuffer + 8), (Bytes{2, 35, 3, 0, 0, 0, 5, 1}));
}

TEST_F(LinkBuffers, DecoderFunctions) {
    auto d = std::make_unique<FunctionDecoderRec>();
    d->address = 300;
    FunctionDecoderRec* dec = gFunctionDecoders.append(std::move(d));
    setDecoderFunction(dec, 3, 1);
    setDecoderFunction(dec, 24, 1);
    EXPECT_EQ(dec->functionState, (1u << 2) | (1u << 27));
    EXPECT_EQ(drain(), (std::vector<Bytes>{{0x43, 0x2C, 0x01}, {0x5F, 0x2C, 0x01}}));
    // Bound to its locomotive on the track, F1..F20 go through the locomotive.
    LocoRec* l = addLoco(300, 28);
    dec->loco = l;
    setDecoderFunction(dec, 5, 1);
    EXPECT_EQ(l->run.functionBits2, 0x01);
    EXPECT_EQ(dec->functionState & 0x100u, 0x100u);  // copied back from the locomotive
}

TEST_F(LinkBuffers, PowerPollAndCvWrite) {
    EXPECT_TRUE(queueTrackPower(true));
    EXPECT_TRUE(queueTrackPower(false));
    EXPECT_TRUE(queueCommandByte(kCmdPoll + 4));
    queueCvWrite(3, 1, 29, 6);
    queueCvWrite(0x123, 2, 1000, 0xFF);
    EXPECT_EQ(drain(), (std::vector<Bytes>{{0x60},
                                           {0x61},
                                           {0x84},
                                           {0xA0, 0x03, 0x00, 0xEC, 0x1C, 0x06},
                                           {0xA0, 0x23, 0x01, 0x7F, 0xE7, 0xFF}}));
}

Bytes accessoryBytes() {
    Bytes out;
    for (int p = gAccessoryQueue.readPos(); p != gAccessoryQueue.writePos(); p = (p + 1) % kAccessoryQueueSize)
        out.push_back(gAccessoryQueue.byteAt(p));
    return out;
}

TEST_F(LinkBuffers, AccessoryEntries) {
    struct Case {
        const char* what;
        bool direct;
        char kind;
        int a, b;
        Bytes entries;
    };
    const Case cases[] = {
        {"green: A 0x21, B 0x22", false, 'G', 5, 0x106, {0x21, 5, 0, 3, 0x22, 0x06, 0x01, 3}},
        {"red, one address", false, 'R', 5, 0, {0x22, 5, 0, 3}},
        {"signal: both red", false, 'S', 7, 8, {0x22, 7, 0, 3, 0x22, 8, 0, 3}},
        {"output: A red, B green", false, 'O', 7, 8, {0x22, 7, 0, 3, 0x21, 8, 0, 3}},
        {"direct: address 1 green is decoder 1 output 1", true, 'G', 1, 0, {0x29, 1, 0, 3}},
        {"direct: address 4 is decoder 1 output 6", true, 'R', 4, 0, {0x2E, 1, 0, 3}},
        {"direct: output, B + 1", true, 'O', 5, 6, {0x28, 2, 0, 3, 0x2B, 2, 0, 3}},
        {"direct: address 2047", true, 'R', 2047, 0, {0x2C, 0x00, 0x02, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        gSettings.chboDirectBooster = c.direct;
        EXPECT_EQ(queueAccessoryCommand(c.kind, c.a, c.b, 3), 1);
        EXPECT_EQ(accessoryBytes(), c.entries);
    }
}

TEST_F(LinkBuffers, AccessoryRefusals) {
    EXPECT_EQ(queueAccessoryCommand('G', 2048, 0, 2), 0);
    EXPECT_EQ(queueAccessoryCommand('G', 1, 2048, 2), 0);
    gRepaintRequest = 1;
    EXPECT_EQ(queueAccessoryCommand('G', 1, 0, 2), 0);
    gRepaintRequest = 0;
    gRunWithTrack = 0;
    EXPECT_EQ(queueAccessoryCommand('G', 1, 0, 2), 0);
    gRunWithoutTrack = 1;
    EXPECT_EQ(queueAccessoryCommand('G', 1, 0, 2), 1);
    EXPECT_TRUE(gAccessoryQueue.writePos() == 4);
}

TEST_F(LinkBuffers, AccessoryRingNormalisesAndNeverOverwrites) {
    // The lone switch-off marker is cleared away in command-station mode, kept in direct mode.
    gAccessoryQueue.setSwitchOffMarker();
    ASSERT_EQ(queueAccessoryCommand('R', 9, 0, 1), 1);
    EXPECT_EQ(gAccessoryQueue.readPos(), 0);
    EXPECT_EQ(accessoryBytes(), (Bytes{0x22, 9, 0, 1}));
    gAccessoryQueue.setSwitchOffMarker();
    gSettings.chboDirectBooster = 1;
    ASSERT_EQ(queueAccessoryCommand('R', 9, 0, 1), 1);
    EXPECT_EQ(gAccessoryQueue.writePos(), 5);
    // Filling up: the pair that does not fit whole is refused whole.
    gAccessoryQueue.clear();
    int queued = 0;
    while (queueAccessoryCommand('O', 5, 6, 1)) ++queued;
    EXPECT_EQ(queued, 49);
    EXPECT_EQ(queueAccessoryCommand('R', 9, 0, 1), 1);
    EXPECT_EQ(queueAccessoryCommand('R', 9, 0, 1), 0);
}

TEST(AccessoryRing, EntriesWrapTheirValueAtTheEnd) {
    AccessoryRing q;
    const AccessoryEntry e{0x21, 0x0102, 7};
    // From 0 the entries are aligned: the 100th ends exactly at 400 and wraps to 0.
    q.setReadPos(0);
    for (int i = 0; i < 99; ++i) ASSERT_TRUE(q.append(&e, 1));
    ASSERT_EQ(q.writePos(), 396);
    AccessoryEntry got;
    int next = 0;
    ASSERT_TRUE(q.readEntry(0, got, next));
    q.setReadPos(next);
    ASSERT_TRUE(q.append(&e, 1));
    EXPECT_EQ(q.writePos(), 0);
    EXPECT_EQ(q.byteAt(396), 0x21);
    EXPECT_EQ(q.byteAt(399), 7);
    // After the lone marker the entries start at 1: the one at 397 keeps its value at 398..399 and
    // puts its pulse time at 0.
    AccessoryRing m;
    m.setSwitchOffMarker();
    m.setReadPos(1);
    for (int i = 0; i < 99; ++i) ASSERT_TRUE(m.append(&e, 1));
    ASSERT_EQ(m.writePos(), 397);
    m.setReadPos(5);
    ASSERT_TRUE(m.append(&e, 1));
    EXPECT_EQ(m.writePos(), 1);
    ASSERT_TRUE(m.readEntry(397, got, next));
    EXPECT_EQ(got.address, 0x0102);
    EXPECT_EQ(got.pulse, 7);
    EXPECT_EQ(next, 1);
}

}  // namespace
