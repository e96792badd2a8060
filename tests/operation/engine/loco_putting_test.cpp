// Putting a locomotive on the track at a block for a client (2/40): the server places the train and
// tells every client, which put it on their own track alike; a request the server cannot carry out
// changes nothing.
#include "wagon_fixture.h"

#include <cstring>

#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/sync/client_receive.h"
#include "network/sync/client_tables.h"
#include "network/sync/server_requests.h"
#include "shell/model/app_state.h"

namespace {

class LocoPutting : public WagonFixture {
protected:
    void TearDown() override {
        gRequestingClient = 0;
        gNetCarriedBytes = 0;
        WagonFixture::TearDown();
    }
    // Locomotive 5, off the track, with one wagon of 20 cm in its front chain.
    static LocoRec* offTrackLoco() {
        auto rec = std::make_unique<LocoRec>();
        rec->number = 5;
        LocoRec* l = gLocs.append(std::move(rec));
        l->slot = static_cast<int16_t>(gLocs.indexOf(l));
        WagonRec* w = coupleTestWagon(l, false, 14);
        w->lengthCm = 20;
        return l;
    }
    static int request(const Bytes& r) {
        std::memcpy(gNetInBuffer, r.data(), r.size());
        gRequestingClient = 2;
        const int done = netHandleRequest(static_cast<int>(r.size()));
        gRequestingClient = 0;
        return done;
    }
    static Bytes putOn(const LocoRec* l, char heading, char direction, int blockNumber) {
        return {2, 40, 5, 0, static_cast<uint8_t>(l->slot), 0, static_cast<uint8_t>(heading),
                static_cast<uint8_t>(direction), static_cast<uint8_t>(blockNumber), 0};
    }
};

TEST_F(LocoPutting, TheServerPutsTheTrainOnAFreeBlockAndTellsItsClients) {
    gNetLinkState = 30;
    LocoRec* l = offTrackLoco();
    BlockRec* block = blockNumbered(1);
    struct Row {
        const char* name;
        Bytes record;
    };
    const Row refused[] = {
        {"block 2 does not stand at index 0", putOn(l, 'H', 'v', 2)},
        {"no such heading", putOn(l, 'X', 'v', 1)},
        {"no such direction", putOn(l, 'H', 'x', 1)},
    };
    for (const Row& r : refused) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(request(r.record), 0);
        EXPECT_EQ(gLocsOnTrackCount, 0);
        EXPECT_EQ(gNetOutFill, 0);
    }
    ASSERT_EQ(request(putOn(l, 'H', 'v', 1)), 1);
    ASSERT_EQ(gLocsOnTrackCount, 1);
    EXPECT_EQ(gLocsOnTrack[0], l);
    EXPECT_EQ(l->run.head.block, block);
    EXPECT_EQ(block->arrivedTrain, l);
    EXPECT_EQ(block->assignedTrain, l);
    EXPECT_EQ(l->mode, kModeShunting);
    EXPECT_EQ(l->contactRole, 6);
    EXPECT_NE(l->packetCache, nullptr);
    EXPECT_EQ(l->frontChain->front.block, block);
    ASSERT_GE(gNetOutFill, 10);
    EXPECT_EQ(Bytes(gNetOutBuffer, gNetOutBuffer + 10), putOn(l, 'H', 'v', 1));
    expectZonesTrue();
    // On the track already: nothing more.
    gNetOutFill = 0;
    EXPECT_EQ(request(putOn(l, 'T', 'v', 1)), 0);
    EXPECT_EQ(l->heading, 'H');
}

TEST_F(LocoPutting, AClientPutsTheTrainWhereTheServerDid) {
    gNetLinkState = 40;
    netSetServerOffset(gLayoutOffset.x, gLayoutOffset.y);
    netSetServerOrientation(gCoordOrientation);
    LocoRec* l = offTrackLoco();
    const Bytes record = putOn(l, 'H', 'v', 1);
    std::memcpy(gNetInBuffer, record.data(), record.size());
    ASSERT_EQ(netClientReceive(static_cast<int>(record.size())), 1);
    ASSERT_EQ(gLocsOnTrackCount, 1);
    EXPECT_EQ(l->run.head.block, blockNumbered(1));
    EXPECT_EQ(gNetLinkState, 40);
    EXPECT_EQ(gNetOutFill, 0) << "nothing goes back";
    expectZonesTrue();
}

}  // namespace
