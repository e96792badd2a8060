// A client's window after the server's full copy: whether the window repaints between the reads (it
// changes size to the server's canvas) or the next tick comes first, it shows what a full redraw of the
// copied layout and trains shows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <vector>

#include "layout/draw/diagram_canvas.h"
#include "layout/frame/render.h"
#include "layout/model/scale.h"
#include "network/model/net_queue.h"
#include "network/model/net_records.h"
#include "network/model/net_state.h"
#include "network/socket/net_clients.h"
#include "network/sync/client_receive.h"
#include "network/sync/server_copy.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "platform/canvas.h"
#include "platform/clock.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/model/app_state.h"
#include "shell/model/version.h"
#include "shell/shell_test_support.h"
#include "shell/window/image_view.h"
#include "shell/window/untSchema.h"

namespace {

using Bytes = std::vector<uint8_t>;

class ClientCopyPicture : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        frmSchema->Timer1->stop();
        buildSessionLayoutWithTwoTrains();
        QApplication::setActiveWindow(frmSchema);
        ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
        QTest::keyClick(frmSchema, Qt::Key_F11);
        ASSERT_EQ(gRunWithoutTrack, 1);
        ASSERT_EQ(gLocsOnTrackCount, 2);
        frmBoodschap->close();
        for (int i = 0; i < 12; ++i) tick();  // the cycle time learnt, so the speed factor stays
        reads = serverReads();
    }
    void TearDown() override {
        gNetLinkState = 0;
        gNetCarriedBytes = 0;
        gNetOutFill = 0;
    }

    // What the server sends a new client: its banner, then the copy, one send pass per read.
    static std::vector<Bytes> serverReads() {
        std::vector<Bytes> out{netBanner(kVersionText)};
        netForgetClients();
        netAddClient(nullptr);
        gNetClientStates[0] = 3;
        for (int pass = 0; pass < 100 && gNetClientStates[0] != 30; ++pass) {
            gNetOutFill = 0;
            const int n = netBuildSnapshot(0);
            out.emplace_back(gNetOutBuffer, gNetOutBuffer + n);
        }
        gNetOutFill = 0;
        netForgetClients();
        return out;
    }
    // This program as the client receiving them; the event loop runs between reads where asked.
    void receiveAsClient(bool eventsBetweenReads) {
        receive(reads, eventsBetweenReads);
        ASSERT_EQ(gNetLinkState, 40);
        ASSERT_EQ(gLocsOnTrackCount, 2);
    }
    static void receive(const std::vector<Bytes>& what, bool eventsBetweenReads) {
        gNetLinkState = 1;
        gNetCarriedBytes = 0;
        for (const Bytes& r : what) {
            std::memcpy(gNetInBuffer + gNetCarriedBytes, r.data(), r.size());
            ASSERT_NE(netClientReceive(gNetCarriedBytes + static_cast<int>(r.size())), 0);
            if (eventsBetweenReads) QApplication::processEvents();
        }
    }
    void tick() {
        clock.advance(30);
        frmSchema->Timer1Timer();
        QApplication::processEvents();
    }
    // The window shows what a full redraw of the present state, painted whole, shows.
    static void expectSame(const QImage& shown, const char* name) {
        redrawSchema(1);
        expectShownAsPaintedWhole(shown, name);
    }

    vestrel::ManualClock clock{100000};
    RunningProgram program;
    std::vector<Bytes> reads;
};

TEST_F(ClientCopyPicture, ARepaintBetweenTheReadsShowsTheCopiedLayout) {
    // The client's window was smaller: the end of the copy gives it the server's size, which repaints it.
    const QSize before = frmSchema->size();
    frmSchema->setClientSize(frmSchema->ClientArea->width() - 120, frmSchema->ClientArea->height() - 60);
    QApplication::processEvents();
    receiveAsClient(true);
    ASSERT_TRUE(processUntil([before] { return frmSchema->size() == before; }));
    QApplication::processEvents();
    expectSame(mainWindowOnScreen(), "client_copy_repainted");
}

// Growing the window (new images of the canvas size) is not part of the read that ends the copy; the
// first drawing into the diagram gives the window its size first.
TEST_F(ClientCopyPicture, TheWindowGrowsAfterTheReadAndBeforeAnythingIsDrawn) {
    const QSize server = frmSchema->ClientArea->size();
    const QSize small(server.width() - 120, server.height() - 60);
    frmSchema->setClientSize(small.width(), small.height());
    QApplication::processEvents();
    receiveAsClient(false);
    EXPECT_EQ(frmSchema->ClientArea->size(), small);
    vestrel::Canvas* canvases[2];
    ASSERT_GE(diagramCanvases(true, canvases), 1);
    EXPECT_EQ(frmSchema->ClientArea->size(), server);
    EXPECT_EQ(frmSchema->ClientArea->Canvas.width(), server.width());
}

TEST_F(ClientCopyPicture, TheNextTickDrawsTheCopiedLayoutBeforeAnyRepaint) {
    receiveAsClient(false);
    clock.advance(30);
    frmSchema->Timer1Timer();
    // The diagram as the tick left it, before the window repaints anything, and the back buffer, which
    // also holds the turntable below the diagram's edge (the server had drawn its bridge there before).
    const QImage diagram = gDiagramCanvas->image().copy();
    const QImage back = gBackBuffer->image().copy();
    redrawSchema(1);
    EXPECT_TRUE(gDiagramCanvas->image() == diagram);
    EXPECT_TRUE(gBackBuffer->image() == back);
    QApplication::processEvents();
    expectSame(mainWindowOnScreen(), "client_copy_ticked");
    for (int i = 0; i < 5; ++i) tick();
    expectSame(mainWindowOnScreen(), "client_copy_ticks_later");
}

// The client's cycle is slower than the server's, so its speed factor is smaller: the copied trains
// take this program's directions (the unit vector over its speed factor), which put their direction
// dots where the server's are, and the picture is a full redraw of that state.
TEST_F(ClientCopyPicture, AClientWithAnotherCycleTimeShowsTheDirectionsOfTheServer) {
    std::vector<std::pair<float, float>> serverUnits;
    for (const LocoRec* l : gLocsOnTrack)
        serverUnits.emplace_back(l->run.head.dx * gSpeedFactor, l->run.head.dy * gSpeedFactor);
    const float serverFactor = gSpeedFactor;
    gTickPeriod = 45;
    updateSpeedFactor();
    ASSERT_LT(gSpeedFactor, serverFactor * 0.8f);
    receiveAsClient(false);
    tick();
    for (int k = 0; k < 2; ++k) {
        const PositionRec& head = gLocsOnTrack[k]->run.head;
        EXPECT_NEAR(head.dx * gSpeedFactor, serverUnits[static_cast<size_t>(k)].first, 1e-5) << k;
        EXPECT_NEAR(head.dy * gSpeedFactor, serverUnits[static_cast<size_t>(k)].second, 1e-5) << k;
    }
    expectSame(mainWindowOnScreen(), "client_copy_other_cycle");

    // So do the server's later position records of a train.
    LocoRec* l = gLocsOnTrack[0];
    l->run.head.dx = serverUnits[0].first / serverFactor;
    l->run.runFlagsA |= 0x08;
    gNetOutFill = 0;
    const int n = netQueueTrainChanges();
    ASSERT_GT(n, 0);
    std::memcpy(gNetInBuffer, gNetOutBuffer, static_cast<size_t>(n));
    gNetOutFill = 0;
    gNetCarriedBytes = 0;
    ASSERT_NE(netClientReceive(n), 0);
    EXPECT_NEAR(l->run.head.dx * gSpeedFactor, serverUnits[0].first, 1e-5);
}

// The server's banner again (it sends a new copy) before the client ticked: the trains leave the
// copied layout, which stays on the window until the new copy ends.
TEST_F(ClientCopyPicture, ANewCopyBeforeTheTickLeavesTheLastLayoutWithoutItsTrains) {
    receiveAsClient(false);
    redrawSchema(1);  // the copy drawn at once
    receive({reads.front()}, false);
    const QImage expected = gDiagramCanvas->image().copy();
    ASSERT_EQ(gLocsOnTrackCount, 0);

    receiveAsClient(false);
    receive({reads.front()}, false);
    clock.advance(30);
    frmSchema->Timer1Timer();
    EXPECT_TRUE(gDiagramCanvas->image() == expected);
}

}  // namespace

