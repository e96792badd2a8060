// The train position record (kind 2 code 24) of the send pass, against hand-written bytes.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "layout/model/layout_model.h"
#include "network/model/net_queue.h"
#include "network/sync/server_copy.h"
#include "operation/model/train_model.h"
#include "shell/shell_test_support.h"

using Bytes = std::vector<uint8_t>;

namespace {

class TrainPositions : public ::testing::Test {
protected:
    void SetUp() override {
        gNetOutFill = 0;
        for (int k = 0; k < 2; ++k) gBlocks.append(std::make_unique<BlockRec>());
        gTracks.append(std::make_unique<TrackRec>());
        for (int k = 0; k < 3; ++k) gTurnouts.append(std::make_unique<TurnoutRec>());
    }
    void TearDown() override {
        gNetOutFill = 0;
        clearTrainTables();
        clearElementTables();
    }
    // A locomotive on the track with that many wagons in its rear chain; moved when flagged.
    static LocoRec* train(int number, int wagons, bool moved = true) {
        auto l = std::make_unique<LocoRec>();
        l->number = static_cast<int16_t>(number);
        LocoRec* loco = gLocs.append(std::move(l));
        loco->run.head.block = gBlocks[0];
        if (moved) loco->run.runFlagsA = 0x08;
        WagonRec* last = nullptr;
        for (int k = 0; k < wagons; ++k) {
            WagonRec* w = gWagons.append(std::make_unique<WagonRec>());
            (last ? last->next : loco->rearChain) = w;
            last = w;
        }
        gLocsOnTrack.append(loco);
        return loco;
    }
    static Bytes queued() { return queuedNetBytes(); }
};

TEST_F(TrainPositions, HeadThenEveryWagonOfTheRearChainThenOfTheFrontChain) {
    train(7, 0, false);  // did not move: nothing
    LocoRec* loco = train(12, 1);
    loco->run.head = {100.5f, -2.0f, 1.0f, 0.0f, 3, 4, 100, -2, gBlocks[1], nullptr, nullptr};
    loco->rearChain->front = {1.0f, 2.0f, 0.0f, -1.0f, 1, 2, 1, 2, nullptr, gTracks[0], nullptr};
    loco->rearChain->rear = {4.0f, 8.0f, 0.0f, -1.0f, 1, 2, 4, 8, nullptr, nullptr, gTurnouts[2]};
    auto w = std::make_unique<WagonRec>();
    loco->frontChain = gWagons.append(std::move(w));  // off the track: zeros

    EXPECT_EQ(netQueueTrainChanges(), 34 + 2 * 56);
    const Bytes expected = {
        2, 24, 12, 0, 1, 0,                                   // kind, code, number, slot
        0, 0, 0xC9, 0x42, 0, 0, 0, 0xC0, 0, 0, 0x80, 0x3F,    // head x 100.5, y -2, dx 1
        0, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0,                   // dy 0, sections 3 and 4
        2, 0, 0, 0,                                           // block index 1 + 1, no track, no turnout
        0, 0, 0x80, 0x3F, 0, 0, 0, 0x40, 0, 0, 0, 0, 0, 0, 0x80, 0xBF,  // rear wagon's front
        1, 0, 0, 0, 2, 0, 0, 0, 0, 1, 0, 0,                             // on track index 0
        0, 0, 0x80, 0x40, 0, 0, 0, 0x41, 0, 0, 0, 0, 0, 0, 0x80, 0xBF,  // its rear
        1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 3, 0,                             // on turnout index 2
    };
    Bytes frontWagon(56, 0);
    Bytes all = expected;
    all.insert(all.end(), frontWagon.begin(), frontWagon.end());
    EXPECT_EQ(queued(), all);
    EXPECT_EQ(loco->run.runFlagsA & 0x08, 0);
    netQueueTrainChanges();
    EXPECT_EQ(gNetOutFill, 34 + 2 * 56);  // sent once
}

TEST_F(TrainPositions, ATrainTooLongForAnyBufferDoesNotHoldUpTheOthers) {
    LocoRec* longTrain = train(1, 36);  // 34 + 36 x 56 = 2050 bytes
    LocoRec* shortTrain = train(2, 35);  // 34 + 35 x 56 = 1994 bytes
    EXPECT_EQ(netQueueTrainChanges(), 1994);
    EXPECT_EQ(gNetOutBuffer[2], 2);  // the short train's number
    EXPECT_EQ(shortTrain->run.runFlagsA & 0x08, 0);
    EXPECT_EQ(longTrain->run.runFlagsA & 0x08, 0x08);
}

TEST_F(TrainPositions, ATrainThatDoesNotFitNowWaitsForTheNextPass) {
    LocoRec* first = train(1, 20);   // 1154 bytes
    LocoRec* second = train(2, 20);  // does not fit behind it
    LocoRec* third = train(3, 0);    // would fit, but the pass stops at the second
    EXPECT_EQ(netQueueTrainChanges(), 1154);
    EXPECT_EQ(first->run.runFlagsA & 0x08, 0);
    EXPECT_EQ(second->run.runFlagsA & 0x08, 0x08);
    EXPECT_EQ(third->run.runFlagsA & 0x08, 0x08);
    gNetOutFill = 0;
    EXPECT_EQ(netQueueTrainChanges(), 1154 + 34);
}

}  // namespace
