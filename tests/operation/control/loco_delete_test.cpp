// Deleting a locomotive and freeing wagon slots, as a session stop does for every one of them.
#include <gtest/gtest.h>

#include <memory>

#include "operation/control/loco_operation.h"
#include "operation/model/train_model.h"

namespace {

class LocoDelete : public ::testing::Test {
protected:
    // Locomotives 1, 2, 3 (slots 0..2); 2 pulls wagons 21, 22 in front and 23 behind, 3 pulls 31; one
    // loose wagon 90 and one wagon 99 off the track.
    void SetUp() override {
        gWagons.append(wagon(90));
        for (int n = 1; n <= 3; ++n) {
            auto l = std::make_unique<LocoRec>();
            l->number = static_cast<int16_t>(n);
            l->slot = static_cast<int16_t>(n - 1);
            gLocs.append(std::move(l));
        }
        LocoRec* two = gLocs[1];
        two->frontChain = gWagons.append(wagon(21));
        two->frontChain->next = gWagons.append(wagon(22));
        two->rearChain = gWagons.append(wagon(23));
        gLocs[2]->frontChain = gWagons.append(wagon(31));
        gWagons.append(wagon(99));
        gWagonCounts.loose = 1;
        relinkWagonChains();
        for (int i = 0; i < gWagonTotal; ++i) gWagons[i]->slot = static_cast<uint8_t>(i);
    }
    void TearDown() override { clearTrainTables(); }
    static std::unique_ptr<WagonRec> wagon(int number) {
        auto w = std::make_unique<WagonRec>();
        w->number = number;
        return w;
    }
    static std::vector<int> wagonNumbers() {
        std::vector<int> n;
        for (const WagonRec* w : gWagons) n.push_back(w->number);
        return n;
    }
};

TEST_F(LocoDelete, ItsWagonsStartTheOffTrackZoneUncoupledAndTheOthersMoveUp) {
    ASSERT_EQ(wagonNumbers(), (std::vector<int>{90, 21, 22, 23, 31, 99}));
    EXPECT_EQ(deleteLoco(gLocs[1]), 1);
    ASSERT_EQ(gLocCount, 2);
    EXPECT_EQ(gLocs[1]->number, 3);
    EXPECT_EQ(gLocs[1]->slot, 1);
    EXPECT_EQ(wagonNumbers(), (std::vector<int>{90, 31, 21, 22, 23, 99}));
    EXPECT_EQ(gWagonCounts.loose, 1);
    EXPECT_EQ(gWagonCounts.coupledEnd, 2);
    for (int i = 0; i < gWagonTotal; ++i) EXPECT_EQ(gWagons[i]->slot, i);
    for (int i = 2; i <= 4; ++i) {
        EXPECT_EQ(gWagons[i]->owner, nullptr);
        EXPECT_EQ(gWagons[i]->next, nullptr);
        EXPECT_EQ(gWagons[i]->previous, nullptr);
    }
    EXPECT_EQ(gWagons[1]->owner, gLocs[1]);
}

TEST_F(LocoDelete, FreeingFromTheLastEmptiesTheTableAndItsZones) {
    for (int i = gLocCount - 1; i >= 0; --i) deleteLoco(gLocs[i]);
    EXPECT_EQ(gLocCount, 0);
    EXPECT_EQ(gWagonCounts.coupledEnd, 1);  // only the loose wagon is left on the track
    for (int i = gWagonTotal - 1; i >= 0; --i) EXPECT_EQ(freeWagonSlot(i), 1);
    EXPECT_EQ(gWagonTotal, 0);
    EXPECT_EQ(gWagonCounts.loose, 0);
    EXPECT_EQ(gWagonCounts.coupledEnd, 0);
    EXPECT_EQ(freeWagonSlot(0), 0);
}

}  // namespace
