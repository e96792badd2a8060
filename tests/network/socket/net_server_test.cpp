// The real main window as the server in a session, with QTcpSocket peers on 127.0.0.1.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTcpServer>
#include <QTimer>
#include <memory>
#include <vector>

#include "layout/layout_builder.h"
#include "layout/model/layout_model.h"
#include "network/model/net_queue.h"
#include "network/model/net_records.h"
#include "network/model/net_state.h"
#include "network/net_test_support.h"
#include "network/socket/net_clients.h"
#include "network/socket/net_mode.h"
#include "platform/clock.h"
#include "shell/model/app_state.h"
#include "shell/model/version.h"
#include "shell/shell_test_support.h"
#include "shell/window/status_line.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"

namespace {

using Peers = std::vector<std::unique_ptr<QTcpSocket>>;

class NetServer : public ::testing::Test {
protected:
    void SetUp() override {
        port = useFreeNetPort();
        program.start();
        frmSchema->Timer1->stop();  // the test runs the send passes itself
        gRunWithoutTrack = 1;       // a session without track control
        setNetworkMode(30);
        ASSERT_TRUE(frmSchema->ServerSocket1->isListening());
    }
    void TearDown() override {
        gRunWithoutTrack = 0;
        gNetOutFill = 0;
    }
    // A peer that connected and was entered in the client table.
    QTcpSocket& addPeer() {
        const int before = gNetClientCount;
        peers.push_back(connectPeer(port));
        EXPECT_TRUE(processUntil([&] { return gNetClientCount == before + 1; }));
        return *peers.back();
    }
    // A peer that passed the banner: state 2 on the server.
    QTcpSocket& peerAfterBanner() {
        QTcpSocket& peer = addPeer();
        runSendPass();
        EXPECT_EQ(readAtLeast(peer, kNetBannerSize), bytesOf(netBanner(kVersionText)));
        return peer;
    }
    std::string label() const { return frmSchema->lblNet->text().toStdString(); }
    static bool labelShowsWhole() {
        const QLabel* l = frmSchema->lblNet;
        return l->fontMetrics().horizontalAdvance(l->text()) <= l->contentsRect().width();
    }

    vestrel::ManualClock clock{100000};  // connections wait for their answer by this clock

    RunningProgram program;
    int port = 0;
    Peers peers;
};

TEST_F(NetServer, ListensOnlyWhileASessionRuns) {
    EXPECT_EQ(label(), " SERVER ");
    EXPECT_EQ(textColour(frmSchema->lblNet), vestrel::clGray);
    EXPECT_FALSE(frmSchema->lblNet->isHidden());
    addPeer();
    gRunWithoutTrack = 0;  // the session ends
    setNetworkMode(30);
    EXPECT_FALSE(frmSchema->ServerSocket1->isListening());
    EXPECT_EQ(gNetClientCount, 0);
    // Closing the server closed the client connection too.
    EXPECT_TRUE(processUntil([&] { return peers[0]->state() == QAbstractSocket::UnconnectedState; }));
    gRunWithoutTrack = 1;
    setNetworkMode(30);
    EXPECT_TRUE(frmSchema->ServerSocket1->isListening());
}

TEST_F(NetServer, SendsTheBannerExactly) {
    QTcpSocket& peer = addPeer();
    EXPECT_EQ(gNetClientStates[0], 1);
    EXPECT_EQ(label(), " SERVER 1 ");
    runSendPass();
    const QByteArray expected("Brandelwyn02.06.09\0", 19);
    EXPECT_EQ(readAtLeast(peer, 19), expected);
    EXPECT_EQ(gNetClientStates[0], 2);
    runSendPass();
    EXPECT_EQ(unreadSoFar(*gNetClients[0], peer), QByteArray()) << "one banner only";
}

TEST_F(NetServer, AnEqualAnswerStartsTheCopyAndKeepsTheQueuedBroadcasts) {
    QTcpSocket& peer = peerAfterBanner();
    const uint8_t broadcast[8] = {6, 44, 5, 0, 4, 0, 1, 0};
    std::copy(broadcast, broadcast + 8, gNetOutBuffer);
    gNetOutFill = 8;
    peer.write(QByteArray("Vestrel02.06.09\0", 16));
    EXPECT_TRUE(processUntil([] { return gNetClientStates[0] == 3; }));
    EXPECT_EQ(gNetOutFill, 8);
    EXPECT_TRUE(std::equal(broadcast, broadcast + 8, gNetOutBuffer));
}

// A connection that answers with another version is never served: it is closed at once, and its slot
// is free for the next. Ten of them, then a real client that is served.
TEST_F(NetServer, ConnectionsAnsweringAnotherVersionAreClosedAndFreeTheirSlots) {
    for (int k = 0; k < kMaxNetClients; ++k) addPeer();
    for (int k = 0; k < kMaxNetClients; ++k) {
        runSendPass();  // a banner to the next
        EXPECT_EQ(readAtLeast(*peers[k], kNetBannerSize).size(), kNetBannerSize) << k;
    }
    for (auto& peer : peers) peer->write(QByteArray("Vestrel02.06.08\0", 16));
    EXPECT_TRUE(processUntil([] { return gNetClientCount == 0; })) << gNetClientCount;
    for (int k = 0; k < kMaxNetClients; ++k)
        EXPECT_TRUE(processUntil([&] { return peers[k]->state() == QAbstractSocket::UnconnectedState; })) << k;
    EXPECT_EQ(label(), " SERVER 0 ");

    QTcpSocket& next = addPeer();
    for (int pass = 0; pass < 3 && next.bytesAvailable() < kNetBannerSize; ++pass) runSendPass();
    EXPECT_EQ(readAtLeast(next, kNetBannerSize), bytesOf(netBanner(kVersionText)));
    next.write(QByteArray("Vestrel02.06.09\0", 16));
    EXPECT_TRUE(processUntil([] { return gNetClientStates[0] == 3; }));
    EXPECT_EQ(gNetClientCount, 1);
}

TEST_F(NetServer, AnAnswerInFiveAndElevenBytesIsAccepted) {
    QTcpSocket& peer = peerAfterBanner();
    peer.write(QByteArray("Vestr", 5));
    peer.flush();
    EXPECT_TRUE(processUntil([] { return gNetClientPending[0].size() == 5; }));
    EXPECT_EQ(gNetClientStates[0], 2);
    peer.write(QByteArray("el02.06.09\0", 11));
    EXPECT_TRUE(processUntil([] { return gNetClientStates[0] == 3; }));
}

TEST_F(NetServer, TenClientsGetABannerPerPassAndAnEleventhIsNeverEntered) {
    for (int k = 0; k < kMaxNetClients; ++k) addPeer();
    EXPECT_EQ(label(), " SERVER 10 ");
    EXPECT_TRUE(labelShowsWhole());
    // The eleventh is accepted by the system and closed at once.
    QTcpSocket eleventh;
    bool closed = false;
    QObject::connect(&eleventh, &QTcpSocket::disconnected, [&] { closed = true; });
    QObject::connect(&eleventh, &QTcpSocket::errorOccurred, [&] { closed = true; });
    eleventh.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
    EXPECT_TRUE(processUntil([&] { return closed; }));
    EXPECT_EQ(gNetClientCount, kMaxNetClients);

    for (int pass = 1; pass <= kMaxNetClients; ++pass) {
        runSendPass();
        EXPECT_EQ(readAtLeast(*peers[pass - 1], kNetBannerSize).size(), kNetBannerSize);
        for (int k = pass; k < kMaxNetClients; ++k)
            EXPECT_EQ(unreadSoFar(*gNetClients[k], *peers[k]), QByteArray()) << pass << " " << k;
    }
    EXPECT_EQ(eleventh.bytesAvailable(), 0);
    EXPECT_EQ(label(), " SERVER 10 ");
}

TEST_F(NetServer, ConnectionsThatDoNotAnswerWithinFiveSecondsAreClosedAndFreeTheirSlots) {
    for (int k = 0; k < kMaxNetClients; ++k) addPeer();
    for (int pass = 0; pass < kMaxNetClients; ++pass) runSendPass();  // a banner to each
    clock.advance(kNetAnswerWaitMs - 1);
    runSendPass();
    EXPECT_EQ(gNetClientCount, kMaxNetClients);
    peers[3]->write(QByteArray("Vestrel02.06.09\0", 16));  // one answers in time
    ASSERT_TRUE(processUntil([] { return gNetClientStates[3] == 3; }));
    clock.advance(1);
    runSendPass();
    EXPECT_EQ(gNetClientCount, 1);
    EXPECT_EQ(gNetClients[0]->peerPort(), peers[3]->localPort());
    EXPECT_EQ(label(), " SERVER 1 ");
    for (int k : {0, 9})
        EXPECT_TRUE(processUntil([&] { return peers[k]->state() == QAbstractSocket::UnconnectedState; })) << k;
    // A real client gets in again and is served.
    QTcpSocket& next = addPeer();
    for (int pass = 0; pass < 3 && next.bytesAvailable() < kNetBannerSize; ++pass) runSendPass();
    EXPECT_EQ(readAtLeast(next, kNetBannerSize).left(10), QByteArray("Brandelwyn"));
}

TEST_F(NetServer, ADroppedClientMovesTheNextDownAndTheNextPassTellsTheNumbers) {
    for (int k = 0; k < 3; ++k) addPeer();
    QTcpSocket* third = gNetClients[2];
    for (int k = 0; k < 3; ++k) gNetClientStates[k] = 30;
    runSendPass();
    EXPECT_EQ(gNetLinkState, 30);
    EXPECT_EQ(textColour(frmSchema->lblNet), vestrel::clGreen);

    peers[1]->disconnectFromHost();
    ASSERT_TRUE(processUntil([] { return gNetClientCount == 2; }));
    EXPECT_EQ(gNetClients[1], third);
    EXPECT_EQ(gNetClientStates[1], 30);
    EXPECT_TRUE(gNetClientListChanged);
    EXPECT_EQ(label(), " SERVER 2 ");

    runSendPass();
    EXPECT_EQ(readAtLeast(*peers[0], 8), QByteArray("\x12\x12\0\0\0\0\x01\0", 8));
    EXPECT_EQ(readAtLeast(*peers[2], 8), QByteArray("\x12\x12\0\0\0\0\x02\0", 8));
    EXPECT_FALSE(gNetClientListChanged);
    runSendPass();
    EXPECT_EQ(unreadSoFar(*gNetClients[0], *peers[0]), QByteArray());
    EXPECT_EQ(unreadSoFar(*gNetClients[1], *peers[2]), QByteArray());

    peers[0]->disconnectFromHost();
    peers[2]->disconnectFromHost();
    ASSERT_TRUE(processUntil([] { return gNetClientCount == 0; }));
    EXPECT_EQ(gNetLinkState, 0);
    EXPECT_EQ(textColour(frmSchema->lblNet), vestrel::clGray);
}

TEST_F(NetServer, BroadcastsReachOnlySynchronisedClients) {
    addPeer();
    addPeer();
    gNetClientStates[0] = 30;
    gNetClientStates[1] = 2;
    runSendPass();  // the link state follows the clients
    ASSERT_EQ(gNetLinkState, 30);
    ASSERT_EQ(netQueueRecord(30, 6, 44, 5, 4, 1), 1);
    runSendPass();
    EXPECT_EQ(readAtLeast(*peers[0], 8), QByteArray("\x06\x2c\x05\0\x04\0\x01\0", 8));
    EXPECT_EQ(unreadSoFar(*gNetClients[1], *peers[1]), QByteArray());
    EXPECT_EQ(gNetOutFill, 0);
}

TEST_F(NetServer, ARequestIsPerformedAndItsBroadcastReachesTheClients) {
    LayoutBuilder().turnout('l', 5, {{320, 100}, {300, 100}, {306, 120}});
    const char before = gTurnouts[0]->position;
    QTcpSocket& peer = addPeer();
    gNetClientStates[0] = 30;
    runSendPass();
    ASSERT_EQ(gNetLinkState, 30);
    peer.write(QByteArray("\x06\x2c\x05\0\0\0\0\0", 8));  // throw turnout 5 (index 0)
    ASSERT_TRUE(processUntil([&] { return gTurnouts[0]->position != before; }));
    runSendPass();
    const QByteArray broadcast = readAtLeast(peer, 10);
    ASSERT_EQ(broadcast.size(), 10);
    EXPECT_EQ(broadcast.left(6), QByteArray("\x06\x2c\x05\0\0\0", 6));
    EXPECT_EQ(broadcast[6], gTurnouts[0]->position);
}

TEST(NetServerPort, ARefusedListenIsShownInRedWithThePortAndTheReason) {
    const int port = useFreeNetPort();
    QTcpServer holder;
    ASSERT_TRUE(holder.listen(QHostAddress::Any, static_cast<quint16>(port)));
    RunningProgram program;
    program.start();
    gRunWithoutTrack = 1;
    setNetworkMode(30);
    EXPECT_FALSE(frmSchema->ServerSocket1->isListening());
    EXPECT_EQ(frmSchema->lblNet->text().toStdString(), " SERVER ");
    EXPECT_EQ(textColour(frmSchema->lblNet), vestrel::clRed);
    EXPECT_NE(gStatusText.find("Netwerkpoort " + std::to_string(port) + " niet geopend: "), std::string::npos) << gStatusText;
    EXPECT_GT(gStatusText.size(), std::string("Netwerkpoort " + std::to_string(port) + " niet geopend: ").size());
    gRunWithoutTrack = 0;
}

}  // namespace
