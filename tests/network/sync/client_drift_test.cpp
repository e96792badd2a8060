// Two copies of the program on 127.0.0.1: this test program as the client, and a second copy of it as
// the server, driven key by key at its control post. Both step their main cycles in lockstep; after
// the keys, the client's trains stand where the server's do.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <map>
#include <sstream>
#include <string>

#include "network/socket/net_mode.h"
#include "network/two_copies.h"
#include "operation/control/loco_operation.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/model/app_state.h"
#include "shell/window/untSchema.h"

namespace {

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

// Locomotive 3 in "Manueel" on block 1, which leads to block 2 over a track, and locomotive 7 in
// "Rangeer" at the end of block 3 on its own, in a session
// without track control whose server socket listens. Then it answers the test's lines on its standard
// input: "key c" presses a key, "tick" runs one main-cycle tick and answers with every byte it has
// sent its client so far and its trains' heads, "quit" ends.
int serveKeys() {
    RunningProgram program;
    vestrel::ManualClock clock{100000};
    if (!startServerSession(program, {{3, 150, 100, 1}, {7, 298, 200, 3}})) return 4;
    gLocsOnTrack[1]->mode = kModeShunting;
    fillControlPostRow(1);
    setNetworkMode(30);
    if (!frmSchema->ServerSocket1->isListening() || !activateMain()) return 5;
    const auto heads = [] {
        std::ostringstream out;
        for (const auto& [number, xy] : headsOnTrack()) out << ' ' << number << ' ' << xy.first << ' ' << xy.second;
        return out.str();
    };
    return serveTestLines(clock, heads, [](const std::string& line) {
        if (line.rfind("key ", 0) == 0 && line.size() == 5) {
            activateMain();
            pressControlPostKey(line[4]);
            sayToTest("ok");
        }
    });
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
        copies.start("key-server");
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(headsOnTrack().size(), 2u);
    }
    void TearDown() override { copies.stop(); }

    void key(char k) { ASSERT_EQ(copies.ask(std::string("key ") + k), "ok"); }
    // One tick of each copy. Gives the server's heads.
    Heads tick() {
        std::istringstream in(copies.tick());
        Heads heads;
        int number;
        float x, y;
        while (in >> number >> x >> y) heads[number] = {x, y};
        return heads;
    }

    TwoCopies copies;
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
