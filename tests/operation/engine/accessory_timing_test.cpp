// What the running cycle puts into the command queue: accessory commands with their pulse times in both
// modes, the feedback poll, and nothing at all without track control.
#include "engine_fixture.h"

namespace {

class AccessoryTiming : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        gRunWithTrack = 1;
        gRunWithoutTrack = 0;
        gNoFeedbackPoll = 1;  // only the accessory commands
    }
    void TearDown() override {
        gNoFeedbackPoll = 0;
        EngineTest::TearDown();
    }
    static void queueEntry(uint8_t command, uint16_t address, uint8_t pulse) {
        const AccessoryEntry e{command, address, pulse};
        ASSERT_TRUE(gAccessoryQueue.append(&e, 1));
    }
};

TEST_F(AccessoryTiming, CommandStationGreenThenTheLoneSwitchOff) {
    queueEntry(0x21, 0x0105, 3);  // address 261, 300 ms
    tick();
    EXPECT_EQ(drainCommands(), (std::vector<Bytes>{{0x21, 0x05, 0x01}}));
    EXPECT_EQ(gAccessoryState[(261 - 1) / 4 + 1].lastOutput, ((260 * 2) % 8 | 1) + 1);
    EXPECT_EQ(gAccessoryDue, gMsTick + 300);
    tick(290);
    EXPECT_TRUE(drainCommands().empty());
    tick(10);
    EXPECT_EQ(drainCommands(), (std::vector<Bytes>{{0x20}}));
    EXPECT_TRUE(gAccessoryQueue.empty());
    EXPECT_EQ(gAccessoryState[66].lastOutput, 0);
}

TEST_F(AccessoryTiming, CommandStationTwoEntriesAndAnAddressAboveTheDecoders) {
    queueEntry(0x22, 7, 1);
    queueEntry(0x21, 8, 1);
    tick();
    tick(100);
    tick(100);
    EXPECT_EQ(drainCommands(), (std::vector<Bytes>{{0x22, 0x07, 0x00}, {0x21, 0x08, 0x00}, {0x20}}));
    queueEntry(0x21, 2048, 1);
    queueEntry(0x21, 9, 1);
    tick(100);
    EXPECT_TRUE(drainCommands().empty());
    EXPECT_TRUE(gAccessoryQueue.empty());
}

TEST_F(AccessoryTiming, DirectOnThenOffAfterThePulseAndASecondOutputWaits) {
    gSettings.chboDirectBooster = 1;
    gAccessoryState[3].protocol = 1;  // DCC
    queueEntry(0x28 + 1, 3, 1);       // output 1 of decoder 3 for 100 ms
    tick();
    EXPECT_EQ(drainCommands(), (std::vector<Bytes>{{0x29, 0x03, 0x00}}));
    queueEntry(0x28 + 2, 3, 1);  // another output of the same decoder
    tick(50);
    EXPECT_TRUE(drainCommands().empty());
    tick(60);  // the first one's time has passed: off, and it leaves the ring
    EXPECT_EQ(drainCommands(), (std::vector<Bytes>{{0x21, 0x03, 0x00}}));
    tick();
    EXPECT_EQ(drainCommands(), (std::vector<Bytes>{{0x2A, 0x03, 0x00}}));
    tick(110);
    EXPECT_EQ(drainCommands(), (std::vector<Bytes>{{0x22, 0x03, 0x00}}));
    EXPECT_TRUE(gAccessoryQueue.empty());
}

TEST_F(AccessoryTiming, DirectPulseZeroSendsThePendingSwitchOffBeforeTheNextMotorolaCommand) {
    gSettings.chboDirectBooster = 1;
    for (uint8_t protocol : {0, 1}) {
        SCOPED_TRACE(protocol);
        gAccessoryState[4] = AccessoryDecoderRec{};
        gAccessoryState[4].protocol = protocol;
        queueEntry(0x28 + 3, 4, 0);
        tick();
        tick();
        EXPECT_EQ(gAccessoryState[4].lastOutput, 0x80 | 4);
        queueEntry(0x28 + 5, 4, 1);
        tick();
        std::vector<Bytes> expected{{0x2B, 0x04, 0x00}};
        if (protocol == 0) expected.push_back({static_cast<uint8_t>(0x20 | (4 & 6)), 0x04, 0x00});
        expected.push_back({0x2D, 0x04, 0x00});
        EXPECT_EQ(drainCommands(), expected);
        tick(200);
        drainCommands();
    }
}

TEST_F(AccessoryTiming, DirectGroupAboveTheTableEmptiesTheRing) {
    gSettings.chboDirectBooster = 1;
    queueEntry(0x28, 513, 1);
    queueEntry(0x28, 5, 1);
    tick();
    EXPECT_TRUE(drainCommands().empty());
    EXPECT_TRUE(gAccessoryQueue.empty());
}

TEST_F(AccessoryTiming, FeedbackPollAtItsPeriod) {
    gNoFeedbackPoll = 0;
    gFeedbackByteCount = 6;  // three modules
    gPollPeriod = 500;
    tick();
    EXPECT_EQ(drainCommands(), (std::vector<Bytes>{{0x83}}));
    tick(490);
    EXPECT_TRUE(drainCommands().empty());
    tick(10);
    EXPECT_EQ(drainCommands(), (std::vector<Bytes>{{0x83}}));
    gNoFeedbackPoll = 1;  // the guided demo: the period runs on, nothing is asked
    tick(500);
    EXPECT_TRUE(drainCommands().empty());

    gNoFeedbackPoll = 0;
    gSettings.chboDirectBooster = 1;  // direct mode: the S88 thread is asked every 300 ms
    gS88PollRequest = 0;
    tick(500);
    EXPECT_EQ(gS88PollRequest.load(), 1);
    gS88PollRequest = 0;
    tick(290);
    EXPECT_EQ(gS88PollRequest.load(), 0);
    tick(10);
    EXPECT_EQ(gS88PollRequest.load(), 1);
    EXPECT_TRUE(drainCommands().empty());
    gPollPeriod = 300;
    gFeedbackByteCount = 0;
}

TEST_F(AccessoryTiming, NoTrackControlKeepsTheCommandQueueEmpty) {
    gRunWithTrack = 0;
    gRunWithoutTrack = 1;
    gNoFeedbackPoll = 0;
    queueCommandWithValue(0x21, 5);
    tick();
    EXPECT_TRUE(gCommandQueue.empty());
    EXPECT_TRUE(drainCommands().empty());
}

}  // namespace
