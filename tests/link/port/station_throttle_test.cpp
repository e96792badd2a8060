// What the command station's own throttle reports, through the whole link on a pseudo-terminal, in
// P50 (each P50X command behind an "X") and in P50X: a new direction together with a new step turns
// the locomotive round before it sets off. XLok is 0x80, address low, address high, speed, flags
// (0x40 always, 0x20 forward, 0x10 F0, F1..F4 in bits 0..3); XEvtLok records are speed, F1..F4,
// address low, bit 7 forward with bit 6 F0, step + 1.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "link/link_test_support.h"
#include "link/port/fake_command_station.h"
#include "link/port/untCom.h"
#include "operation/model/train_model.h"
#include "test_support.h"

using namespace linktest;
using vestrel::test::FakeCommandStation;
using Bytes = std::vector<uint8_t>;

namespace {

LocoRec* addLoco(int number, uint8_t mode, char direction) {
    auto l = std::make_unique<LocoRec>();
    l->number = static_cast<int16_t>(number);
    l->run.speedSteps = 28;
    l->maxStep = 28;
    l->decoderType = 4;  // DCC 28 steps: the direction travels in the speed command
    l->mode = mode;
    l->running = 1;
    l->direction = direction;
    for (int j = 0; j < kSpeedTableSize; ++j) l->speedTable[j] = static_cast<uint8_t>(j);
    LocoRec* loco = gLocs.append(std::move(l));
    gLocsOnTrack.append(loco);
    return loco;
}

// The XLok messages the station received for an address, without the "X" of P50.
std::vector<Bytes> xlok(const FakeCommandStation& station, int address) {
    std::vector<Bytes> out;
    for (Bytes m : station.messages()) {
        if (!m.empty() && m[0] == 0x58) m.erase(m.begin());
        if (m.size() == 5 && m[0] == 0x80 && m[1] == address && m[2] == 0) out.push_back(m);
    }
    return out;
}

}  // namespace

TEST(StationThrottle, ANewDirectionWithANewStepTurnsTheLocomotiveBeforeItSetsOff) {
    struct Case {
        const char* what;
        uint8_t mode;
        char direction;  // before the record
        Bytes record;
        char expectedDirection;
        int expectedStep;
    };
    const Case cases[] = {
        {"shunting, forward, told backward at step 4", kModeShunting, 'v', {0x20, 0x01, 0x03, 0x40, 0x05}, 'a', 4},
        {"shunting, backward, told forward at step 3", kModeShunting, 'a', {0x18, 0x00, 0x03, 0x80, 0x04}, 'v', 3},
        {"manual, forward, told backward at step 4", kModeManual, 'v', {0x20, 0x00, 0x03, 0x00, 0x05}, 'a', 4},
    };
    for (bool p50x : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (p50x ? " (P50X)" : " (P50)"));
            testsupport::ScratchDir dir;  // com.log goes here
            commandStationSettings(p50x);
            FakeCommandStation station(p50x);
            station.pty().setAsComPort(1);
            openCommandStationLink();
            ASSERT_TRUE(gLinkOpen);
            gRunWithTrack = 1;
            LocoRec* three = addLoco(3, c.mode, c.direction);
            Bytes answer = c.record;
            answer.push_back(0x80);
            station.setLocoEvents(answer);
            queueCommandByte(static_cast<uint8_t>(kCmdPoll + gFeedbackByteCount / 2));
            EXPECT_TRUE(waitUntil([&] { return three->targetStep == c.expectedStep && three->direction == c.expectedDirection; }));
            EXPECT_EQ(three->direction, c.expectedDirection);
            if (c.mode == kModeShunting) {
                // The step is set at once: the station hears the new direction at speed 0, then the speed.
                EXPECT_TRUE(waitUntil([&] {
                    const std::vector<Bytes> sent = xlok(station, 3);
                    return !sent.empty() && sent.back()[3] != 0;
                }));
                const std::vector<Bytes> sent = xlok(station, 3);
                ASSERT_GE(sent.size(), 2u);
                const uint8_t forward = c.expectedDirection == 'v' ? 0x20 : 0x00;
                EXPECT_EQ(sent.front(), (Bytes{0x80, 0x03, 0x00, 0x00, static_cast<uint8_t>(0x40 | forward)}));
                for (const Bytes& m : sent) EXPECT_EQ(m[4] & 0x20, forward) << "every XLok in the new direction";
            }
            closeLink();
            clearTrainTables();
        }
    }
}
