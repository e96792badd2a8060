// The train tables: run-table slot numbers, slots that follow the table index, the wagon zones.
#include <gtest/gtest.h>

#include "operation/model/train_model.h"

namespace {

TEST(TrainModel, RunTableSlots) {
    struct Case {
        int slot;
        RunRange range;
        int index;
    };
    const Case cases[] = {{0, RunRange::Connections, 0},       {499, RunRange::Connections, 499},
                          {500, RunRange::LocsOnTrack, 0},     {519, RunRange::LocsOnTrack, 19},
                          {520, RunRange::HelperLocs, 0},      {524, RunRange::HelperLocs, 4},
                          {525, RunRange::Wagons, 0},          {724, RunRange::Wagons, 199},
                          {725, RunRange::Locs, 0},            {924, RunRange::Locs, 199},
                          {925, RunRange::FunctionDecoders, 0}, {1124, RunRange::FunctionDecoders, 199},
                          {1125, RunRange::None, -1},          {-1, RunRange::None, -1}};
    for (const Case& c : cases) {
        const RunTableSlot s = runTableSlot(c.slot);
        EXPECT_EQ(s.range, c.range) << c.slot;
        EXPECT_EQ(s.index, c.index) << c.slot;
        if (c.range != RunRange::None) {
            EXPECT_EQ(runTableSlotNumber(c.range, c.index), c.slot);
        }
    }
    EXPECT_EQ(runTableSlotNumber(RunRange::HelperLocs, 5), -1);
}

class Trains : public testing::Test {
protected:
    void TearDown() override { clearTrainTables(); }
    static LocoRec* loco(int number) {
        auto l = std::make_unique<LocoRec>();
        l->number = static_cast<int16_t>(number);
        return gLocs.append(std::move(l));
    }
    static WagonRec* wagon(int number) {
        auto w = std::make_unique<WagonRec>();
        w->number = number;
        return gWagons.append(std::move(w));
    }
};

TEST_F(Trains, SlotsFollowTheIndexAfterSortAndDelete) {
    loco(30);
    loco(10);
    loco(20);
    gLocs.stableSort([](const LocoRec& a, const LocoRec& b) { return a.number < b.number; });
    for (int i = 0; i < gLocCount; ++i) EXPECT_EQ(gLocs[i]->slot, i);
    EXPECT_EQ(gLocs[0]->number, 10);
    gLocs.removeAt(0);
    EXPECT_EQ(gLocs[0]->number, 20);
    EXPECT_EQ(gLocs[0]->slot, 0);
    EXPECT_EQ(findLocoByNumber(30), gLocs[1]);
    EXPECT_EQ(findLocoByNumber(10), nullptr);
}

TEST_F(Trains, RelinkingPlacesTheChainsAfterTheLooseWagons) {
    // gWagons before: loose L, then the wagons in any order.
    WagonRec* loose = wagon(1);
    WagonRec* off = wagon(2);
    WagonRec* r1 = wagon(3);
    WagonRec* f2 = wagon(4);
    WagonRec* f1 = wagon(5);
    gWagonCounts.loose = 1;
    LocoRec* b = loco(20);
    LocoRec* a = loco(10);
    gLocs.stableSort([](const LocoRec& x, const LocoRec& y) { return x.number < y.number; });
    a->frontChain = f1;
    f1->next = f2;
    b->rearChain = r1;
    relinkWagonChains();
    EXPECT_EQ(gWagonCounts.coupledEnd, 4);
    const WagonRec* order[] = {loose, f1, f2, r1, off};
    for (int i = 0; i < gWagonTotal; ++i) {
        EXPECT_EQ(gWagons[i], order[i]) << i;
        EXPECT_EQ(gWagons[i]->slot, i);
    }
    EXPECT_EQ(f1->owner, a);
    EXPECT_EQ(f1->previous, nullptr);
    EXPECT_EQ(f2->previous, f1);
    EXPECT_EQ(r1->owner, b);
}

TEST_F(Trains, ABrokenChainStopsTheRelink) {
    WagonRec* w = wagon(1);
    w->next = w;  // a cycle
    loco(5)->frontChain = w;
    relinkWagonChains();
    EXPECT_EQ(gWagonCounts.coupledEnd, 1);
}

TEST_F(Trains, SpeedTableEntriesStayInsideTheTable) {
    LocoRec* l = loco(1);
    for (int j = 0; j < kSpeedTableSize; ++j) l->speedTable[j] = static_cast<uint8_t>(j);
    l->run.speedSteps = 28;
    EXPECT_EQ(speedTableEntry(*l, 28), 126);
    EXPECT_EQ(speedTableEntry(*l, 1), 4);
    EXPECT_EQ(speedTableEntry(*l, 30), 126);
    l->run.speedSteps = 0;
    EXPECT_EQ(speedTableEntry(*l, 3), 0);
}

TEST_F(Trains, ContactRoleRepair) {
    LocoRec* l = loco(1);
    const struct {
        int role;
        char heading;
        int expect;
    } cases[] = {{0, 'H', 6}, {7, 'H', 6}, {0, 'T', 1}, {7, 'T', 1}, {3, 'T', 3}, {6, 'H', 6}};
    for (const auto& c : cases) {
        l->contactRole = static_cast<uint8_t>(c.role);
        l->heading = c.heading;
        repairContactRole(*l);
        EXPECT_EQ(l->contactRole, c.expect) << c.role << c.heading;
    }
}

}  // namespace
