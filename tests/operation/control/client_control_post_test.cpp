// The control post of a synchronised client on the real main window: every command becomes a request
// that reaches a test server on 127.0.0.1 at once, and nothing changes locally.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>
#include <vector>

#include "layout/draw/diagram_area.h"
#include "layout/editor/layout_move.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/socket/net_mode.h"
#include "network/socket/net_sockets.h"
#include "operation/dialogs/untLok.h"
#include "operation/control/control_post.h"
#include "operation/dialogs/untWagons.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "platform/virtual_keys.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/input_routing.h"
#include "shell/window/status_line.h"
#include "shell/window/untSchema.h"

namespace {

using Bytes = std::vector<uint8_t>;

class ClientControlPost : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        qputenv("VESTREL_NET_PORT", QByteArray::number(server.serverPort()));
        program.start();
        frmSchema->Timer1->stop();
        buildSessionLayoutWithTwoTrains();
        ASSERT_EQ(toggleControlPostSession(13), 1);
        ASSERT_EQ(gLocsOnTrackCount, 2);
        frmInstellingen->edtPCNaam->setText("");
        frmInstellingen->edtPCAdres->setText("127.0.0.1");
        // As after OK in the settings dialog: the file holds the server, and the dialog reads it when shown.
        saveNetConfig();
        setNetworkMode(40);
        ASSERT_TRUE(processUntil([&] { return server.hasPendingConnections() && gNetLinkState == 1; }));
        peer.reset(server.nextPendingConnection());
        gNetLinkState = 40;  // as after the full copy
        gNetOutFill = 0;
    }
    void TearDown() override {
        peer.reset();
        gNetOutFill = 0;
        gServerOrientation = 0;
        gSavedLayoutOffset = {};
        qunsetenv("VESTREL_NET_PORT");
    }
    static void key(int vk, int modifiers = 0) {
        routeKeyDown(vk, modifiers);
        routeKeyUp();
    }
    static void click(int x, int y, int button = 1) { routeMouseUp(x, y, button, true, 0); }
    // Everything the server received since the last look (at least n bytes).
    Bytes received(int n) {
        EXPECT_TRUE(processUntil([&] { return peer->bytesAvailable() >= n; }));
        const QByteArray all = unreadSoFar(*frmSchema->ClientSocket1, *peer);
        return Bytes(all.begin(), all.end());
    }
    static LocoRec* loco3() { return gLocsOnTrack[0]; }

    QTcpServer server;
    RunningProgram program;
    std::unique_ptr<QTcpSocket> peer;
};

TEST_F(ClientControlPost, WithCtrlOnlyTheSpeedKeysAct) {
    for (int vk : {int('L'), int('R'), int(vestrel::VK_SPACE), int(vestrel::VK_RIGHT), int(vestrel::VK_RETURN)})
        key(vk, vestrel::kCtrlBit);
    EXPECT_TRUE(received(0).empty());
    EXPECT_EQ(gActiveRow, 0);
    key(vestrel::VK_UP, vestrel::kCtrlBit);
    EXPECT_EQ(received(8), (Bytes{2, 26, 3, 0, 0, 0, 38, 0}));  // locomotive 3, slot 0, step up from 0
    EXPECT_EQ(loco3()->targetStep, 0);                         // the server decides
    EXPECT_EQ(gNetOutFill, 0);
}

TEST_F(ClientControlPost, EnterInTheRemovalModeSendsOneTakeOffRequest) {
    controlPostCommand(1043, 0);
    ASSERT_EQ(gEditMode, kPostRemoveVehicle);
    EXPECT_EQ(gStatusText,
              "Klik op de te verwijderen locomotief of wagon of druk 'enter' om de in de commadopost actieve loc "
              "te verwijderen");
    key(vestrel::VK_RETURN);
    EXPECT_EQ(received(8), (Bytes{2, 41, 3, 0, 0, 0, 0, 0}));
    EXPECT_EQ(gEditMode, 0u);
    EXPECT_EQ(gLocsOnTrackCount, 2);
}

TEST_F(ClientControlPost, SpaceSendsTheEmergencyStopAndStopsNothingHere) {
    loco3()->targetStep = 5;
    key(vestrel::VK_SPACE);
    EXPECT_EQ(received(8), (Bytes{45, 45, 0, 0, 0, 0, 1, 0}));
    EXPECT_EQ(gEmergencyState, 0);
    EXPECT_EQ(loco3()->targetStep, 5);
}

// Requests queued since the last send pass (an edited route line, a wagon) are not thrown away by the
// next command: they go first.
TEST_F(ClientControlPost, RequestsQueuedBeforeACommandGoAlongInFront) {
    ASSERT_EQ(netQueueRecord(40, 3, 39, 0, 4, 120), 1);
    key(vestrel::VK_SPACE);
    EXPECT_EQ(received(16), (Bytes{3, 39, 0, 0, 4, 0, 120, 0, 45, 45, 0, 0, 0, 0, 1, 0}));
}

TEST_F(ClientControlPost, ExitClosesTheClientWithoutASaveQuestion) {
    gLocoDataModified = 1;
    gDirtyFlags = 1;
    controlPostCommand(1008, 0);
    EXPECT_EQ(gEditMode, kPostExit);
    EXPECT_FALSE(frmSchema->isVisible());
    EXPECT_EQ(gActiveDialog, 0);
}

TEST_F(ClientControlPost, ACommandAfterTheWatchdogClosedTheSocketConnectsAgain) {
    netCloseClient();  // what the watchdog does after five seconds without data
    ASSERT_EQ(gNetLinkState, 0);
    ASSERT_FALSE(netClientOpen());
    key(vestrel::VK_RIGHT);
    EXPECT_TRUE(netClientOpen());
    EXPECT_TRUE(processUntil([&] { return server.hasPendingConnections(); }));
    EXPECT_TRUE(processUntil([] { return gNetLinkState == 1; }));
}

TEST_F(ClientControlPost, PlacingAWagonSendsTheBlockAndThePointInTheServersView) {
    auto w = std::make_unique<WagonRec>();
    w->number = 11;
    gCurWagon = gWagons.append(std::move(w));  // off the track: behind the coupled zone
    gSavedLayoutOffset = {10, -20};
    frmWagons->Tag = kWagonsPlacing;
    frmWagons->show();
    const DrawRect area = gDrawArea;
    click(250, 100);  // block 1, its second section
    const Bytes r = received(14);
    ASSERT_EQ(r.size(), 14u);
    const int x = gMousePoint.x + 10, y = gMousePoint.y - 20;
    EXPECT_EQ(r, (Bytes{3, 40, 0, 0, 0, 0, 1, 0, 1, 0, static_cast<uint8_t>(x), static_cast<uint8_t>(x >> 8),
                        static_cast<uint8_t>(y), static_cast<uint8_t>(y >> 8)}));
    EXPECT_EQ(gWagonCounts.coupledEnd, 0);  // nothing placed here
    EXPECT_EQ(gDrawArea.left, area.left);
    EXPECT_EQ(gDrawArea.bottom, area.bottom);
    // A server turned a quarter: (x, y) becomes (y, -x), shifted so that the layout keeps its top-left.
    gServerOrientation = 1;
    const DrawRect b = layoutBounds();
    const int ox = gLayoutOffset.x, oy = gLayoutOffset.y;
    click(250, 100);
    const Bytes turned = received(14);
    ASSERT_EQ(turned.size(), 14u);
    const int tx = gMousePoint.y + b.left - ox - b.top + 10, ty = -gMousePoint.x + b.right + b.top - oy - 20;
    EXPECT_EQ(turned[10] | (turned[11] << 8), tx & 0xFFFF);
    EXPECT_EQ(turned[12] | (turned[13] << 8), ty & 0xFFFF);
    EXPECT_EQ(gDrawArea.left, area.left);
    gNetOutFill = kNetBufferSize - 13;  // a buffer without room for 14 bytes refuses the record whole
    click(250, 100);
    EXPECT_EQ(received(kNetBufferSize - 13).size(), static_cast<size_t>(kNetBufferSize - 13));
    frmWagons->close();
}

TEST_F(ClientControlPost, ClickingAVehicleInTheRemovalModeSendsItsRequest) {
    controlPostCommand(1043, 0);
    click(250, 200);  // locomotive 7 (slot 1)
    EXPECT_EQ(received(8), (Bytes{2, 41, 7, 0, 1, 0, 0, 0}));
    EXPECT_EQ(gEditMode, 0u);
    EXPECT_EQ(gLocsOnTrackCount, 2);
}

TEST_F(ClientControlPost, RowButtonsSendRequestsAndTheRowIsHighlighted) {
    routeControlPostCommand(301, 1);
    EXPECT_EQ(received(8), (Bytes{2, 29, 7, 0, 1, 0, 0, 0}));
    EXPECT_EQ(gLocsOnTrack[1]->running, 0);
    EXPECT_EQ(gActiveRow, 1);
    EXPECT_EQ(gPreviousRow, 1);
}

}  // namespace

namespace {

TEST_F(ClientControlPost, ClickingAWagonToUncoupleOrTakeOffSendsItsSlot) {
    hangWagons(loco3(), 2, 20);
    ASSERT_EQ(gWagonCounts.coupledEnd, 2);
    WagonRec* second = loco3()->frontChain->next;
    ASSERT_TRUE(second);
    // Behind locomotive 3 (head at 150, 100) on block 1.
    float front = 145;
    for (WagonRec* w = loco3()->frontChain; w; w = w->next, front -= 26) {
        w->front.x = front;
        w->rear.x = front - 20;
        w->front.y = w->rear.y = 100;
    }
    const int x = 110, y = 100;  // on the second wagon
    controlPostCommand(1054, 0);
    ASSERT_EQ(gEditMode, kPostUncouple);
    click(x, y);
    EXPECT_EQ(received(8), (Bytes{3, 47, 0, 0, second->slot, 0, 0, 0}));
    EXPECT_EQ(gEditMode, 0u);
    controlPostCommand(1043, 0);
    click(x, y);
    EXPECT_EQ(received(8), (Bytes{3, 41, 0, 0, second->slot, 0, 0, 0}));
    EXPECT_EQ(gWagonCounts.coupledEnd, 2);  // the server decides
    EXPECT_EQ(loco3()->frontChain->next, second);
}

}  // namespace

namespace {

// A left click on a block that no placing waits for tries the wider locomotive test: away from every
// locomotive nothing happens, beside one its panel opens as for a click on it.
TEST_F(ClientControlPost, ALeftClickOnABlockLooksForALocomotiveNearby) {
    click(280, 100);
    EXPECT_TRUE(received(0).empty());
    EXPECT_EQ(gEditMode, 0u);
    click(150 + 3 * 4, 100);  // 12 units from locomotive 3: beyond 2 x, within 4 x the snap tolerance
    EXPECT_EQ(frmLok->Tag, 8);  // the panel took up mode 8: it drives the locomotive
    EXPECT_EQ(gCurLoc, loco3());
    EXPECT_TRUE(received(0).empty());
}

}  // namespace
