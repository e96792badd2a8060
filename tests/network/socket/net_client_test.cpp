// The real main window as a client, against a QTcpServer of the test on 127.0.0.1.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTcpServer>
#include <QTimer>
#include <memory>

#include "network/model/net_queue.h"
#include "network/model/net_records.h"
#include "network/model/net_state.h"
#include "network/net_test_support.h"
#include "network/socket/net_mode.h"
#include "network/socket/net_sockets.h"
#include "network/sync/client_receive.h"
#include "network/sync/client_tick.h"
#include "layout/model/layout_model.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"

namespace {

class NetClient : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        qputenv("VESTREL_NET_PORT", QByteArray::number(server.serverPort()));
        program.start();
        frmSchema->Timer1->stop();
        frmInstellingen->edtPCNaam->setText("");
        frmInstellingen->edtPCAdres->setText("127.0.0.1");
        setNetworkMode(40);
        ASSERT_TRUE(processUntil([&] { return server.hasPendingConnections() && gNetLinkState == 1; }));
        peer.reset(server.nextPendingConnection());
    }
    void TearDown() override {
        peer.reset();
        gRunWithoutTrack = 0;
        gNetOutFill = 0;
    }
    void sendBanner(const char* version) {
        peer->write(bytesOf(netBanner(version)));
        peer->flush();
    }

    QTcpServer server;
    RunningProgram program;
    std::unique_ptr<QTcpSocket> peer;
};

TEST_F(NetClient, ConnectsToTheConfiguredAddress) {
    EXPECT_EQ(frmSchema->lblNet->text().toStdString(), " CLIENT ");
    EXPECT_EQ(textColour(frmSchema->lblNet), vestrel::clGray);
    EXPECT_EQ(gRunWithoutTrack, 1);
    EXPECT_EQ(gNetMode, 40);
    EXPECT_EQ(peer->peerAddress(), QHostAddress(QHostAddress::LocalHost));
}

TEST_F(NetClient, AnswersTheBannerAndEmptiesItsModel) {
    auto loco = std::make_unique<LocoRec>();
    loco->number = 5;
    gLocs.append(std::move(loco));
    sendBanner("02.06.09");
    EXPECT_EQ(readAtLeast(*peer, 16), QByteArray("Vestrel02.06.09\0", 16));
    EXPECT_EQ(gNetLinkState, 2);
    EXPECT_EQ(gLocCount, 0);
    EXPECT_EQ(textColour(frmSchema->lblNet), vestrel::clGreen);
}

TEST_F(NetClient, TakesABannerInTwoWrites) {
    const QByteArray banner = bytesOf(netBanner("02.06.09"));
    peer->write(banner.left(7));
    peer->flush();
    EXPECT_TRUE(processUntil([] { return gNetCarriedBytes == 7; }));
    EXPECT_EQ(gNetLinkState, 1);
    EXPECT_EQ(peer->bytesAvailable(), 0);
    peer->write(banner.mid(7));
    EXPECT_EQ(readAtLeast(*peer, 16), QByteArray("Vestrel02.06.09\0", 16));
    EXPECT_EQ(gNetLinkState, 2);
}

TEST_F(NetClient, AnotherVersionIsShownAndTheClientStaysConnected) {
    sendBanner("02.06.10");
    EXPECT_EQ(readAtLeast(*peer, 16), QByteArray("Vestrel02.06.09\0", 16));
    EXPECT_EQ(lastDialogMessage(), "De versies server-client zijn verschillend !");
    EXPECT_EQ(gNetLinkState, 1);
}

TEST_F(NetClient, SendsRequestsOnlyWhileSynchronised) {
    sendBanner("02.06.09");
    readAtLeast(*peer, 16);
    // After the handshake, before the copy: nothing may go to the server.
    const uint8_t request[8] = {45, 45, 0, 0, 0, 0, 1, 0};
    std::copy(request, request + 8, gNetOutBuffer);
    gNetOutFill = 8;
    netClientSendPass();
    EXPECT_EQ(unreadSoFar(*frmSchema->ClientSocket1, *peer), QByteArray());
    gNetLinkState = 40;
    netClientSendPass();
    EXPECT_EQ(readAtLeast(*peer, 8), QByteArray("\x2d\x2d\0\0\0\0\x01\0", 8));
    EXPECT_EQ(gNetOutFill, 0);
}

TEST_F(NetClient, ALostServerStopsTheTrainsAndDropsTheQueuedRequests) {
    gNetLinkState = 40;
    gNetOutFill = 8;
    peer->disconnectFromHost();
    ASSERT_TRUE(processUntil([] { return gNetLinkState == 0; }));
    EXPECT_EQ(gNetOutFill, 0);
    EXPECT_EQ(textColour(frmSchema->lblNet), vestrel::clGray);
}

TEST_F(NetClient, ClosingTheSocketRunsTheDisconnect) {
    gNetLinkState = 40;
    gNetOutFill = 8;
    netCloseClient();  // as the watchdog does after five seconds without data
    EXPECT_EQ(gNetLinkState, 0);
    EXPECT_EQ(gNetOutFill, 0);
    EXPECT_TRUE(processUntil([&] { return peer->state() == QAbstractSocket::UnconnectedState; }));
}

TEST_F(NetClient, StandAloneClosesTheClientSocket) {
    setNetworkMode(0);
    EXPECT_EQ(frmSchema->ClientSocket1->state(), QAbstractSocket::UnconnectedState);
    EXPECT_TRUE(processUntil([&] { return peer->state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_TRUE(frmSchema->lblNet->isHidden());
}

TEST(NetConfigDialog, TheSettingsDialogReadsAndWritesTheFile) {
    RunningProgram program;
    program.start(false);
    testsupport::writeBytes(program.dir.file("vestrelnet.cfg"),
                            {'Z', 'o', 'l', 'd', 'e', 'r', 0, '1', '2', '7', '.', '0', '.', '0', '.', '1', 0});
    loadNetConfig();
    EXPECT_EQ(frmInstellingen->edtPCNaam->text().toStdString(), "Zolder");
    EXPECT_EQ(frmInstellingen->edtPCAdres->text().toStdString(), "127.0.0.1");
    frmInstellingen->edtPCNaam->setText("Kelder");
    frmInstellingen->edtPCAdres->clear();
    saveNetConfig();
    EXPECT_EQ(testsupport::readBytes(program.dir.file("vestrelnet.cfg")),
              (std::vector<uint8_t>{'K', 'e', 'l', 'd', 'e', 'r', 0, 0, '2', '7', '.', '0', '.', '0', '.', '1', 0}));
}

TEST(NetClientRefused, ARefusedConnectionColoursTheLabelLightOrange) {
    const int port = useFreeNetPort();  // nobody listens there
    (void)port;
    RunningProgram program;
    program.start();
    frmInstellingen->edtPCAdres->setText("127.0.0.1");
    setNetworkMode(40);
    EXPECT_TRUE(processUntil([] { return textColour(frmSchema->lblNet) == vestrel::rgb(255, 176, 128); }));
    EXPECT_EQ(frmSchema->ClientSocket1->state(), QAbstractSocket::UnconnectedState);
    EXPECT_EQ(gNetLinkState, 0);
    gRunWithoutTrack = 0;
}

}  // namespace

namespace {

QByteArray record(std::initializer_list<int> bytes) {
    QByteArray r;
    for (int b : bytes) r.append(static_cast<char>(b));
    return r;
}

}  // namespace

// A new locomotive file on the server: the client takes its name, connects again and waits for a
// new copy.
TEST_F(NetClient, ANewLocomotiveFileOnTheServerMakesTheClientReconnect) {
    sendBanner("02.06.09");
    readAtLeast(*peer, 16);
    ASSERT_EQ(gNetLinkState, 2);
    QByteArray reconnect = record({54, 54, 0, 0, 0, 0});
    QByteArray name("nieuw.loc");
    name.resize(26, '\0');
    peer->write(reconnect + name);
    peer->flush();
    ASSERT_TRUE(processUntil([&] { return server.hasPendingConnections(); }));
    EXPECT_EQ(gLocoFileName, "nieuw.loc");
    EXPECT_EQ(gNetLinkState, 1);
    EXPECT_TRUE(processUntil([&] { return peer->state() == QAbstractSocket::UnconnectedState; }));
}

// A synchronised client throws its own turnout when the server's broadcast arrives, and shows its
// client number.
TEST_F(NetClient, ATurnoutThrownOnTheServerIsThrownOnTheClient) {
    sendBanner("02.06.09");
    readAtLeast(*peer, 16);  // the banner empties the model; the copy's turnouts come after it
    auto t = std::make_unique<TurnoutRec>();
    t->number = 4;
    t->subtype = 'l';
    t->position = 'G';
    gTurnouts.append(std::make_unique<TurnoutRec>());
    TurnoutRec* turnout = gTurnouts.append(std::move(t));
    gNetLinkState = 40;
    peer->write(record({18, 18, 0, 0, 0, 0, 2, 0}) + record({6, 44, 4, 0, 1, 0, 'R', 0xFF, 0, 0}) +
                record({6, 44, 4, 0, 0, 0, 'R', 0, 0, 0}));  // index 0 is another turnout: passed over
    peer->flush();
    EXPECT_TRUE(processUntil([&] { return turnout->position == 'R'; }));
    EXPECT_EQ(turnout->options & 2, 2);
    EXPECT_EQ(gTurnouts[0]->position, 0);
    EXPECT_EQ(frmSchema->lblNet->text().toStdString(), " CLIENT 2 ");
    const QLabel* label = frmSchema->lblNet;
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width()) << "shown whole";
    clearElementTables();
}
