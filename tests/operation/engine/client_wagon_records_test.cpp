// A synchronised client follows the server's wagon and helper records, written here by hand: each runs
// the same operation as on the server, and afterwards the zones, counts, slots and links still agree.
#include "wagon_fixture.h"

#include <cstring>

#include "layout/model/scale.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/sync/client_receive.h"
#include "network/sync/client_tables.h"
#include "operation/engine/helper_locos.h"
#include "shell/config/messages.h"

namespace {

class ClientWagonRecords : public WagonFixture {
protected:
    void SetUp() override {
        WagonFixture::SetUp();
        gNetLinkState = 40;
        gNetOwnClientNumber = 3;
        netSetServerOffset(gLayoutOffset.x, gLayoutOffset.y);
        netSetServerOrientation(gCoordOrientation);
    }
    void TearDown() override {
        gNetLinkState = 0;
        gNetCarriedBytes = 0;
        gNetOwnClientNumber = 0;
        WagonFixture::TearDown();
    }
    static int receive(const Bytes& r) {
        std::memcpy(gNetInBuffer, r.data(), r.size());
        return netClientReceive(static_cast<int>(r.size()));
    }
    static uint8_t slotOf(const WagonRec* w) { return static_cast<uint8_t>(gWagons.indexOf(w)); }
    static LocoRec* spareLoco(int number) {
        auto rec = std::make_unique<LocoRec>();
        rec->number = static_cast<int16_t>(number);
        LocoRec* l = gLocs.append(std::move(rec));
        l->slot = static_cast<int16_t>(gLocs.indexOf(l));
        return l;
    }
};

TEST_F(ClientWagonRecords, UncouplingTakingOffAndCouplingFollowTheServer) {
    LocoRec* l = train(3, 0);
    WagonRec* second = nth(l->frontChain, 1);
    // 3/47 at the second wagon: it and the third become a loose run.
    ASSERT_EQ(receive({3, 47, 0, 0, slotOf(second), 0, 0, 0}), 1);
    EXPECT_EQ(chainLength(l->frontChain), 1);
    EXPECT_EQ(gWagonCounts.loose, 2);
    EXPECT_EQ(gWagons[0], second);
    expectZonesTrue();

    // 3/41 takes the run's last wagon off the track.
    WagonRec* third = second->next;
    ASSERT_EQ(receive({3, 41, 0, 0, slotOf(third), 0, 0, 0}), 1);
    EXPECT_FALSE(onTrack(third->front));
    EXPECT_EQ(gWagonCounts.loose, 1);
    expectZonesTrue();

    // 3/46 couples the loose run to locomotive 3 (index 0) met from its first wagon's front; the train
    // runs 'a', so the run joins the front chain's far end. A wrong locomotive number changes nothing.
    l->direction = 'a';
    const uint8_t s = slotOf(second), index = static_cast<uint8_t>(gLocs.indexOf(l));
    ASSERT_EQ(receive({3, 46, 0, 0, s, 0, 4, 0, index, 0, 0, 0}), 1);
    EXPECT_EQ(gWagonCounts.loose, 1);
    ASSERT_EQ(receive({3, 46, 1, 0, s, 0, 3, 0, index, 0, 0, 0}), 1);
    EXPECT_EQ(gWagonCounts.loose, 0);
    EXPECT_EQ(second->owner, l);
    EXPECT_EQ(chainLength(l->frontChain), 2);
    expectZonesTrue();
    EXPECT_EQ(gNetOutFill, 0) << "a client sends nothing back";
}

TEST_F(ClientWagonRecords, LengthAndPlacementAsTheServerDidThem) {
    WagonRec* w = offTrackWagon();
    const uint8_t s = slotOf(w);
    ASSERT_EQ(receive({3, 39, 24, 0, s, 0, 30, 0}), 1);
    EXPECT_EQ(w->lengthUnits, 24);
    EXPECT_EQ(w->lengthCm, 30);

    // 3/40: block 1 at index 0, segment 0, the server's click at (300, 100).
    w->lengthCm = 20;
    ASSERT_EQ(receive({3, 40, 0, 0, s, 0, 1, 0, 0, 0, 0x2C, 0x01, 100, 0}), 1);
    EXPECT_EQ(gWagonCounts.loose, 1);
    EXPECT_NEAR(w->front.x, 300, 0.01);
    EXPECT_TRUE(blockMarked());
    expectZonesTrue();
    // Block number 2 does not stand at index 0: nothing happens.
    WagonRec* other = offTrackWagon();
    ASSERT_EQ(receive({3, 40, 0, 0, slotOf(other), 0, 2, 0, 0, 0, 0x90, 0x01, 100, 0}), 1);
    EXPECT_FALSE(onTrack(other->front));
    EXPECT_EQ(gNetOutFill, 0);
}

TEST_F(ClientWagonRecords, HelperLinksAndRefusalsForThisClientOnly) {
    LocoRec* main = train(1, 0);
    LocoRec* helper = spareLoco(11);
    WagonRec* w = main->frontChain;
    const uint8_t hs = static_cast<uint8_t>(helper->slot), ws = slotOf(w);
    ASSERT_EQ(receive({2, 51, 11, 0, hs, 0, ws, 0, 12, 0, 1, 0}), 1);
    EXPECT_EQ(helper->helperWagon, w);
    EXPECT_EQ(gHelperLocs.indexOf(helper), 0);
    EXPECT_EQ(main->maxStep, 12);

    struct Row {
        const char* name;
        uint8_t client;
        const char* shown;
    };
    const Row rows[] = {
        {"for this client", 3, "Loc 11 is reeds hulploc van hoofdloc 3"},
        {"for another client", 2, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        showDialogMessage("", 3);
        ASSERT_EQ(receive({3, 18, hs, 0, ws, 0, 1, r.client}), 1);
        EXPECT_EQ(lastDialogMessage(), r.shown);
    }

    ASSERT_EQ(receive({2, 51, 11, 0, hs, 0, ws, 0, 28, 0, 0, 0}), 1);
    EXPECT_EQ(helper->helperWagon, nullptr);
    EXPECT_EQ(gHelperLocCount, 0);
    EXPECT_EQ(main->maxStep, 28);
}

TEST_F(ClientWagonRecords, ALocomotiveStoppedTakenOffAndDeletedOnTheServer) {
    LocoRec* l = train(2, 0);
    ASSERT_EQ(gLocs.indexOf(l), 0);
    for (const uint8_t client : {2, 0, 3}) {
        showDialogMessage("", 3);
        ASSERT_EQ(receive({2, 18, 3, 0, 0, 0, 1, client}), 1);
        EXPECT_EQ(lastDialogMessage().rfind("Loc 3 ", 0) == 0, client != 2) << int(client);
    }
    ASSERT_EQ(receive({2, 41, 3, 0, 0, 0, 0, 0}), 1);
    EXPECT_EQ(gLocsOnTrackCount, 0);
    EXPECT_FALSE(onTrack(l->frontChain->front));
    expectZonesTrue();
    ASSERT_EQ(receive({2, 42, 3, 0, 0, 0, 0, 0}), 1);
    EXPECT_EQ(gLocCount, 0);
    EXPECT_EQ(gWagonTotal, 2);
    expectZonesTrue();
}

}  // namespace
