#include "network/two_copies.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <set>
#include <sstream>

#include "layout/layout_builder.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/net_test_support.h"
#include "network/socket/net_clients.h"
#include "network/socket/net_mode.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/main/main_cycle.h"
#include "shell/model/app_state.h"
#include "shell/window/untSchema.h"

namespace {
constexpr uint32_t kTickMs = 30;
}

bool startServerSession(RunningProgram& program, const std::vector<FileTrain>& trains) {
    program.start();
    frmSchema->Timer1->stop();
    LayoutBuilder()
        .block(1, {{100, 100}, {200, 100}, {300, 100}})
        .track({{300, 100}, {400, 100}})
        .block(2, {{400, 100}, {500, 100}, {600, 100}})
        .connection(1, 2, 'H')
        .block(3, {{100, 200}, {200, 200}, {300, 200}})
        .measureBlocks();
    gLocoFileName = "test.loc";
    writeSessionLocoFile("test.loc", trains);
    gDirtyFlags = 0;
    QApplication::setActiveWindow(frmSchema);
    if (!processUntil([] { return QApplication::activeWindow() == frmSchema; })) return false;
    QTest::keyClick(frmSchema, Qt::Key_F11);
    if (gRunWithoutTrack != 1 || gLocsOnTrackCount != static_cast<int>(trains.size())) return false;
    frmBoodschap->close();
    return true;
}

int serveTestLines(vestrel::ManualClock& clock, const std::function<std::string()>& tickExtra,
                   const std::function<void(const std::string& line)>& handle) {
    qint64 sent = 0;
    std::set<QTcpSocket*> counted;
    return answerPeerLines([&](const std::string& line) -> std::string {
        if (line != "tick") {
            handle(line);  // which says its own answer
            return {};
        }
        for (int i = 0; i < gNetClientCount; ++i)
            if (gNetClients[i] && counted.insert(gNetClients[i]).second)
                QObject::connect(gNetClients[i], &QTcpSocket::bytesWritten, [&sent](qint64 k) { sent += k; });
        clock.advance(kTickMs);
        mainCycleTick();
        for (int i = 0; i < gNetClientCount; ++i)
            while (gNetClients[i]->bytesToWrite() > 0 && gNetClients[i]->waitForBytesWritten(10000)) {
            }
        return "tick " + std::to_string(sent) + tickExtra();
    });
}

void TwoCopies::start(const char* role) {
    useFreeNetPort();
    server.emplace(role);
    ASSERT_EQ(answer(), "ready");

    program.start();
    frmSchema->Timer1->stop();
    // Counts what the client's own read takes from the socket, to know when a tick's bytes are in.
    QTcpSocket* socket = frmSchema->ClientSocket1;
    QObject::disconnect(socket, &QTcpSocket::readyRead, frmSchema, &TfrmSchema::ClientSocket1Read);
    QObject::connect(socket, &QTcpSocket::readyRead, frmSchema, [this, socket] {
        const qint64 before = socket->bytesAvailable();
        frmSchema->ClientSocket1Read();
        received += before - socket->bytesAvailable();
    });
    frmInstellingen->edtPCNaam->setText("");
    frmInstellingen->edtPCAdres->setText("127.0.0.1");
    setNetworkMode(40);
    ASSERT_TRUE(processUntil([] { return gNetLinkState == 1; }));
    for (int k = 0; k < 1000 && gNetLinkState != 40; ++k) tick();
    ASSERT_EQ(gNetLinkState, 40);
    // The server counts a client as listening from its next link-state pass, every third tick.
    for (int k = 0; k < 3; ++k) tick();
}

void TwoCopies::stop() {
    if (server) {
        EXPECT_EQ(server->quit(), 0);
    }
    gRunWithoutTrack = 0;
    gNetOutFill = 0;
}

std::string TwoCopies::answer() { return server ? server->answer() : "no answer"; }

std::string TwoCopies::ask(const std::string& line) { return server ? server->ask(line) : "no answer"; }

std::string TwoCopies::tick() {
    std::istringstream in(ask("tick"));
    std::string word;
    qint64 sent = -1;
    in >> word >> sent;
    EXPECT_EQ(word, "tick");
    EXPECT_TRUE(processUntil([&] { return received >= sent; })) << received << " of " << sent;
    clock.advance(kTickMs);
    mainCycleTick();
    std::string rest;
    std::getline(in, rest);
    return rest;
}
