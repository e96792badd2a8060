// Both sides of the handshake on the bytes alone: the client's check of the server's banner and the
// server's check of the client's answer, whole and in pieces.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "layout/layout_builder.h"
#include "layout/model/layout_model.h"
#include "network/model/net_queue.h"
#include "network/model/net_records.h"
#include "network/model/net_state.h"
#include "network/socket/net_clients.h"
#include "network/sync/client_receive.h"
#include "network/sync/server_receive.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "steps/model/step_program.h"

using Bytes = std::vector<uint8_t>;

namespace {

const std::string kMismatch = "De versies server-client zijn verschillend !";

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Bytes as one read puts them behind the carried-over ones.
int receiveAtClient(const Bytes& bytes) {
    std::memcpy(gNetInBuffer + gNetCarriedBytes, bytes.data(), bytes.size());
    return netClientReceive(gNetCarriedBytes + static_cast<int>(bytes.size()));
}

int receiveAtServer(const Bytes& bytes) {
    std::memcpy(gNetInBuffer, bytes.data(), bytes.size());
    return netServerReceive(0, static_cast<int>(bytes.size()));
}

class Handshake : public ::testing::Test {
protected:
    void SetUp() override {
        gNetLinkState = 1;
        gNetCarriedBytes = 0;
        gNetOutFill = 0;
        netForgetClients();
    }
    void TearDown() override {
        gNetLinkState = 0;
        gNetCarriedBytes = 0;
        gNetOutFill = 0;
        netForgetClients();
        clearTrainTables();
    }
    // The server's table with one client waiting for its answer.
    static void oneClientWaiting() {
        netAddClient(nullptr);
        gNetClientStates[0] = 2;
    }
};

TEST_F(Handshake, ClientRefusesABannerWhoseVersionDiffersInAnyCharacter) {
    for (int k = 0; k < 8; ++k) {
        SCOPED_TRACE(k);
        gNetLinkState = 1;
        std::string version = "02.06.09";
        version[k] = version[k] == '9' ? '8' : '9';
        showDialogMessage("", 3);
        EXPECT_EQ(receiveAtClient(netBanner(version.c_str())), 1);
        EXPECT_EQ(gNetLinkState, 1);
        EXPECT_EQ(lastDialogMessage(), kMismatch);
        EXPECT_EQ(gNetCarriedBytes, 0);
    }
}

TEST_F(Handshake, ClientWithAnEqualVersionEmptiesItsModelBeforeTheCopy) {
    LayoutBuilder().block(1, {{100, 100}, {200, 100}, {300, 100}}).turnout('l', 1, {{320, 100}, {300, 100}, {306, 120}});
    auto loco = std::make_unique<LocoRec>();
    loco->number = 12;
    loco->targetStep = 9;
    LocoRec* onTrack = gLocs.append(std::move(loco));
    onTrack->run.head.block = gBlocks[0];
    gBlocks[0]->assignedTrain = onTrack;
    gLocsOnTrack.append(onTrack);
    gWagons.append(std::make_unique<WagonRec>());
    gWagonCounts = {1, 1};
    gFunctionDecoders.append(std::make_unique<FunctionDecoderRec>());
    gStepPrograms.append(std::make_unique<StepProgramRec>());
    gNetOutFill = 16;  // requests queued before the handshake are not sent to the new server

    EXPECT_EQ(receiveAtClient(netBanner("02.06.09")), 1);

    EXPECT_EQ(gNetLinkState, 2);
    EXPECT_EQ(gNetOutFill, 0);
    EXPECT_EQ(gLocsOnTrackCount, 0);
    EXPECT_EQ(gLocCount, 0);
    EXPECT_EQ(gWagonTotal, 0);
    EXPECT_EQ(gWagonCounts.loose, 0);
    EXPECT_EQ(gWagonCounts.coupledEnd, 0);
    EXPECT_EQ(gFunctionDecoderCount, 0);
    EXPECT_EQ(gStepProgramCount, 0);
    EXPECT_EQ(gBlockCount, 0);
    EXPECT_EQ(gTurnoutCount, 0);
}

TEST_F(Handshake, ClientCollectsABannerSplitOverReads) {
    const Bytes banner = netBanner("02.06.09");
    for (int split : {1, 5, 10, 18}) {
        SCOPED_TRACE(split);
        gNetLinkState = 1;
        EXPECT_EQ(receiveAtClient(Bytes(banner.begin(), banner.begin() + split)), 255);
        EXPECT_EQ(gNetCarriedBytes, split);
        EXPECT_EQ(gNetLinkState, 1);
        EXPECT_EQ(receiveAtClient(Bytes(banner.begin() + split, banner.end())), 1);
        EXPECT_EQ(gNetLinkState, 2);
        EXPECT_EQ(gNetCarriedBytes, 0);
    }
}

TEST_F(Handshake, ClientIgnoresDataThatIsNoBanner) {
    for (const Bytes& bytes : {text("Brandelwyx02.06.09"), text("Bx"), Bytes{0, 1, 2, 3, 4, 5, 6, 7}}) {
        gNetLinkState = 1;
        EXPECT_EQ(receiveAtClient(bytes), 0);
        EXPECT_EQ(gNetCarriedBytes, 0);
        EXPECT_EQ(gNetLinkState, 1);
    }
}

TEST_F(Handshake, ServerComparesTheAnswerAsText) {
    struct Row {
        const char* what;
        Bytes answer;
        int state;
    };
    const Row rows[] = {
        {"equal", netAnswer("02.06.09"), 3},
        {"other version", netAnswer("02.06.08"), 0},
        {"other program word", text(std::string("Vestrol02.06.09\0", 16)), 0},
        {"a shorter text", text(std::string("Vestrel\0", 8)), 0},
        {"no zero in sixteen bytes", text("Vestrel02.06.09X"), 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        netForgetClients();
        oneClientWaiting();
        receiveAtServer(r.answer);
        EXPECT_EQ(gNetClientStates[0], r.state);
    }
}

TEST_F(Handshake, ServerTakesAnAnswerInPiecesAndKeepsItsOutgoingBuffer) {
    const Bytes answer = netAnswer("02.06.09");
    for (int split : {1, 5, 15}) {
        SCOPED_TRACE(split);
        netForgetClients();
        oneClientWaiting();
        gNetOutFill = 8;  // a broadcast for the synchronised clients
        std::memcpy(gNetOutBuffer, "\x06\x2c\x05\x00\x04\x00\x01\x00", 8);
        EXPECT_EQ(receiveAtServer(Bytes(answer.begin(), answer.begin() + split)), 1);
        EXPECT_EQ(gNetClientStates[0], 2);
        EXPECT_EQ(receiveAtServer(Bytes(answer.begin() + split, answer.end())), 1);
        EXPECT_EQ(gNetClientStates[0], 3);
        EXPECT_EQ(gNetOutFill, 8);
        EXPECT_EQ(Bytes(gNetOutBuffer, gNetOutBuffer + 8), (Bytes{6, 44, 5, 0, 4, 0, 1, 0}));
    }
}

TEST_F(Handshake, ServerIgnoresDataOfClientsOutsideTheHandshake) {
    oneClientWaiting();
    for (uint8_t state : {0, 1, 3, 21}) {
        gNetClientStates[0] = state;
        EXPECT_EQ(receiveAtServer(netAnswer("02.06.09")), 0);
        EXPECT_EQ(gNetClientStates[0], state);
    }
}

}  // namespace
