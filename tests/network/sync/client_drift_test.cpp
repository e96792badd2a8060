// Two copies of the program on 127.0.0.1: this test program as the client, and a second copy of it as
// the server, driven key by key at its control post. Both step their main cycles in lockstep; after
// the keys, the client's trains stand where the server's do.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <map>
#include <poll.h>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>

#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/net_test_support.h"
#include "network/socket/net_clients.h"
#include "network/socket/net_mode.h"
#include "operation/control/loco_operation.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "platform/clock.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/main/main_cycle.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"

namespace {

constexpr uint32_t kTickMs = 30;

// Head positions by locomotive number.
using Heads = std::map<int, std::pair<float, float>>;

Heads headsOnTrack() {
    Heads heads;
    for (const LocoRec* l : gLocsOnTrack) heads[l->number] = {l->run.head.x, l->run.head.y};
    return heads;
}

bool activateMain() {
    QApplication::setActiveWindow(frmSchema);
    return processUntil([] { return QApplication::activeWindow() == frmSchema; });
}

// The keys of a sequence, one character each: '>' next row, 'u' and 'd' the arrows up and down, 'r',
// 'l' and 'm' those letters, 'A' Ctrl+A (forced running); '.' is one tick between keys.
void pressControlPostKey(char k) {
    switch (k) {
    case '>': QTest::keyClick(frmSchema, Qt::Key_Right); break;
    case 'u': QTest::keyClick(frmSchema, Qt::Key_Up); break;
    case 'd': QTest::keyClick(frmSchema, Qt::Key_Down); break;
    case 'r': QTest::keyClick(frmSchema, Qt::Key_R); break;
    case 'l': QTest::keyClick(frmSchema, Qt::Key_L); break;
    case 'm': QTest::keyClick(frmSchema, Qt::Key_M); break;
    case 'A': QTest::keyClick(frmSchema, Qt::Key_A, Qt::ControlModifier); break;
    default: ADD_FAILURE() << "no key " << k;
    }
}

// ------------------------------------------------------------------ the server copy

void say(const std::string& line) {
    std::printf("@%s\n", line.c_str());
    std::fflush(stdout);
}

// Locomotive 3 in "Manueel" on block 1, which leads to block 2 over a track, and locomotive 7 in
// "Rangeer" at the end of block 3 on its own, in a session
// without track control whose server socket listens. Then it answers the test's lines on its standard
// input: "key c" presses a key, "tick" runs one main-cycle tick and answers with every byte it has
// sent its client so far and its trains' heads, "quit" ends.
int serveKeys() {
    RunningProgram program;
    program.start();
    frmSchema->Timer1->stop();
    vestrel::ManualClock clock{100000};
    LayoutBuilder()
        .block(1, {{100, 100}, {200, 100}, {300, 100}})
        .track({{300, 100}, {400, 100}})
        .block(2, {{400, 100}, {500, 100}, {600, 100}})
        .connection(1, 2, 'H')
        .block(3, {{100, 200}, {200, 200}, {300, 200}})
        .measureBlocks();
    gLocoFileName = "test.loc";
    writeSessionLocoFile("test.loc", {{3, 150, 100, 1}, {7, 298, 200, 3}});
    gDirtyFlags = 0;
    if (!activateMain()) return 3;
    QTest::keyClick(frmSchema, Qt::Key_F11);
    if (gRunWithoutTrack != 1 || gLocsOnTrackCount != 2) return 4;
    frmBoodschap->close();
    gLocsOnTrack[1]->mode = kModeShunting;
    fillControlPostRow(1);
    setNetworkMode(30);
    if (!frmSchema->ServerSocket1->isListening() || !activateMain()) return 5;

    qint64 sent = 0;
    std::set<QTcpSocket*> counted;
    auto countClients = [&] {
        for (int i = 0; i < gNetClientCount; ++i)
            if (gNetClients[i] && counted.insert(gNetClients[i]).second)
                QObject::connect(gNetClients[i], &QTcpSocket::bytesWritten, [&sent](qint64 n) { sent += n; });
    };
    say("ready");
    std::string input;
    while (true) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        pollfd in{STDIN_FILENO, POLLIN, 0};
        if (::poll(&in, 1, 5) <= 0) continue;
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) return 0;
        input.append(buffer, static_cast<size_t>(n));
        size_t end;
        while ((end = input.find('\n')) != std::string::npos) {
            const std::string line = input.substr(0, end);
            input.erase(0, end + 1);
            if (line == "quit") return 0;
            if (line.rfind("key ", 0) == 0 && line.size() == 5) {
                activateMain();
                pressControlPostKey(line[4]);
                say("ok");
            } else if (line == "tick") {
                countClients();
                clock.advance(kTickMs);
                mainCycleTick();
                for (int i = 0; i < gNetClientCount; ++i)
                    while (gNetClients[i]->bytesToWrite() > 0 && gNetClients[i]->waitForBytesWritten(10000)) {
                    }
                std::ostringstream out;
                out << "tick " << sent;
                for (const auto& [number, xy] : headsOnTrack()) out << ' ' << number << ' ' << xy.first << ' ' << xy.second;
                say(out.str());
            }
        }
    }
}

const bool kServerRole = testsupport::registerPeerRole("key-server", &serveKeys);

// ------------------------------------------------------------------ the client copy, in the test

struct KeyCase {
    const char* name;
    const char* keys;
};

class ClientDrift : public ::testing::TestWithParam<KeyCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(kServerRole);
        useFreeNetPort();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VESTREL_TEST_PEER", "key-server");
        server.setProcessEnvironment(env);
        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server.start(QCoreApplication::applicationFilePath(), {});
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
        ASSERT_EQ(headsOnTrack().size(), 2u);
    }
    void TearDown() override {
        if (server.state() != QProcess::NotRunning) {
            server.write("quit\n");
            if (!server.waitForFinished(20000)) server.kill();
        }
        EXPECT_EQ(server.exitCode(), 0);
        gRunWithoutTrack = 0;
        gNetOutFill = 0;
    }

    // The server's next line ("@" marks its own; the rest is other output of the copy).
    std::string answer() {
        while (true) {
            if (!processUntil([&] { return server.canReadLine() || server.state() == QProcess::NotRunning; }) ||
                !server.canReadLine())
                return "no answer";
            const std::string line = server.readLine().trimmed().toStdString();
            if (!line.empty() && line[0] == '@') return line.substr(1);
        }
    }
    void key(char k) {
        server.write(QByteArray("key ") + k + '\n');
        ASSERT_EQ(answer(), "ok");
    }
    // One tick of the server, then, with all it sent in, one tick of the client. Gives the server's heads.
    Heads tick() {
        server.write("tick\n");
        std::istringstream in(answer());
        std::string word;
        qint64 sent = -1;
        in >> word >> sent;
        EXPECT_EQ(word, "tick");
        Heads heads;
        int number;
        float x, y;
        while (in >> number >> x >> y) heads[number] = {x, y};
        EXPECT_TRUE(processUntil([&] { return received >= sent; })) << received << " of " << sent;
        clock.advance(kTickMs);
        mainCycleTick();
        return heads;
    }

    QProcess server;
    RunningProgram program;
    vestrel::ManualClock clock{100000};
    qint64 received = 0;
};

// Within three ticks of the last key, and on every tick after, each train of the client stands within
// a unit of the server's, until both have stood still a while.
TEST_P(ClientDrift, TheClientsTrainsStandWhereTheServersDo) {
    int sinceKey = 0;
    auto compare = [&](const Heads& server) {
        if (sinceKey++ < 3) return;
        const Heads client = headsOnTrack();
        ASSERT_EQ(client.size(), server.size());
        for (const auto& [number, xy] : server) {
            ASSERT_EQ(client.count(number), 1u) << "locomotive " << number;
            const auto [x, y] = client.at(number);
            EXPECT_LE(std::abs(x - xy.first) + std::abs(y - xy.second), 1.0f)
                << "locomotive " << number << " after " << sinceKey << " ticks: client (" << x << ", " << y
                << "), server (" << xy.first << ", " << xy.second << ")";
        }
    };
    for (const char* k = GetParam().keys; *k; ++k) {
        if (*k == '.') {
            compare(tick());
            continue;
        }
        key(*k);
        sinceKey = 0;
    }
    Heads last;
    int still = 0;
    for (int k = 0; k < 3000 && still < 10 && !HasFailure(); ++k) {
        const Heads now = tick();
        still = now == last ? still + 1 : 0;
        last = now;
        compare(now);
    }
    EXPECT_EQ(still, 10) << "the server's trains never came to a stand";
}

INSTANTIATE_TEST_SUITE_P(
    KeySequences, ClientDrift,
    ::testing::Values(
        // Locomotive 7 ('>' selects its row) at the end of its block, in "Rangeer".
        KeyCase{"ReversedUpFiveForcedUp", ">lruuuuuAu"},
        KeyCase{"UpWithoutForcedRunning", ">luuuuu.........."},
        KeyCase{"ForcedRunningAfterUp", ">luuu......A"},
        KeyCase{"ForcedRunningAfterUpWhileReversed", ">lruuu......A"},
        KeyCase{"ForcedUpAndDownAgain", ">lAruuuu..........dddd"},
        KeyCase{"ForcedRunningSwitchedOffWhileRunning", ">lAruuu..........A"},
        KeyCase{"UpWhenNoLongerForcedBrakes", ">lAruuuuuu..........Au"},
        KeyCase{"ForcedRunReversedAtTheOtherEnd", ">lAruuuuu" "......................................" "dddddr"
                                                  "uuu"},
        // Locomotive 3 in "Manueel".
        KeyCase{"ManualRunning", "luuuuu"},
        KeyCase{"ManualRunningStoppedAndReversed", "luuuuu..........dddddrlluu"}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

}  // namespace
