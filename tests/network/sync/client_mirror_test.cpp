// Two copies of the program on 127.0.0.1: this test program as the client, a second copy of it as the
// server. A table of dialog and control-post actions, each done on the server or on the client; after
// each, the client's locomotives, decoders and control-post rows equal the server's field by field, and
// the client's open locomotive panel shows what the server's tables hold. One server and one connection
// serve the whole table.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "layout/layout_builder.h"
#include "link/buffers/link_buffers.h"
#include "network/socket/net_mode.h"
#include "network/two_copies.h"
#include "operation/control/control_post.h"
#include "operation/control/loco_operation.h"
#include "operation/dialogs/untCurve.h"
#include "operation/dialogs/untFunctieDec.h"
#include "operation/dialogs/untLok.h"
#include "operation/dialogs/untTrein.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/model/speed_curve.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/model/app_state.h"
#include "shell/window/untSchema.h"

namespace {

constexpr int kDecoderAddress = 80;

using State = std::map<std::string, std::string>;

std::string join(std::initializer_list<std::string> parts) {
    std::string s;
    for (const std::string& p : parts) s += p + ",";
    return s;
}
std::string num(int v) { return std::to_string(v); }

// What both copies hold: every locomotive by slot, the order on the track, every control-post row and
// every function decoder. The same text on both sides is the same state.
State modelState() {
    State s;
    for (const LocoRec* l : gLocs)
        s["loco" + num(l->slot)] =
            join({num(l->number), num(l->run.functionBits1), num(l->run.functionBits2), num(l->run.functionBits3),
                  num(l->run.runFlagsA & 0xE0), num(l->run.runFlagsA & 0x10), num(l->running), num(l->mode),
                  std::string(1, l->direction), num(l->flags & (kLocoAutoCorrection | kLocoForce)), num(l->run.maxSpeed),
                  num(l->stepDelay)});
    std::string track;
    for (const LocoRec* l : gLocsOnTrack) track += num(l->number) + " ";
    s["on track"] = track;
    for (int row = 0; row < kControlPosts; ++row)
        s["row" + num(row)] = join({frmSchema->btnLok[row]->text().toStdString(), frmSchema->btnMode[row]->text().toStdString(),
                                    frmSchema->btnRich[row]->text().toStdString(),
                                    frmSchema->lblSnelheid[row]->text().toStdString(),
                                    frmSchema->lblPauze[row]->text().toStdString()});
    for (const FunctionDecoderRec* d : gFunctionDecoders)
        s["decoder" + num(d->slot)] = join({num(d->address), num(d->loco ? d->loco->number : 0)});
    return s;
}

std::string stateLine(const State& s) {
    std::string line;
    for (const auto& [k, v] : s) line += k + "=" + v + ";";
    return line;
}

State parseState(const std::string& line) {
    State s;
    std::istringstream in(line);
    std::string item;
    while (std::getline(in, item, ';')) {
        const size_t eq = item.find('=');
        if (eq != std::string::npos) s[item.substr(0, eq)] = item.substr(eq + 1);
    }
    return s;
}

LocoRec* loco(int number) { return findLocoByNumber(number); }

// The actions of the table, on whichever copy runs them, as their dialogs and the control post do:
//   fn N f on      locomotive N's function f (the panel's function buttons)
//   wait N w       the wait left of N's block becomes w and is shown (as the contact evaluation does)
//   pause N d      digit d typed into the locomotive panel's start pause of N
//   timed N        N's start pause begins (N standing with F1 on)
//   accel N a      the locomotive panel's acceleration bar of N set to a (1..10)
//   renumber N M   the train dialog renumbers N to M
//   curve N v      the speed-curve dialog of N closes with every step at v km/h
//   couple A N     the decoder dialog couples decoder A to locomotive N (0 none)
//   post N k       control-post key k ('l', 'm', 'r') in N's row
//   asc N, force N the panel's "ASC" and "Force"
void act(const std::string& line) {
    std::istringstream in(line);
    std::string what;
    int n = 0, v = 0, w = 0;
    in >> what >> n;
    if (what == "fn") {
        in >> v >> w;
        setLocoFunction(loco(n), v, w);
    } else if (what == "wait") {
        in >> v;
        LocoRec* l = loco(n);
        l->run.head.block->remainingWait = v;
        showLocoWaitTime(gLocsOnTrack.indexOf(l));
    } else if (what == "pause") {
        in >> v;
        LocoRec* shown = gCurLoc;
        gCurLoc = loco(n);
        frmLok->edtStartpauzetijd->setText(QString::number(v));
        frmLok->edtStartpauzetijdChange();
        gCurLoc = shown;
    } else if (what == "timed") {
        startTimedStop(loco(n));
    } else if (what == "accel") {
        in >> v;
        LocoRec* shown = gCurLoc;
        gCurLoc = loco(n);
        frmLok->tbarVersnelling->setValue(10 - v);
        frmLok->tbarVersnellingChange();
        gCurLoc = shown;
    } else if (what == "renumber") {
        in >> v;
        gCurTrain = loco(n);
        frmTrein->edtLocNummer->setText(QString::number(v));
        frmTrein->btnLocWijzigenClick();
    } else if (what == "curve") {
        in >> v;
        LocoRec* l = loco(n);
        openSpeedCurveDialog(l, 0, 0);
        for (int j = 1; j < kSpeedTableSize; ++j) l->speedTable[j] = static_cast<uint8_t>(v);
        normaliseSpeedCurve(l);
        gChangeFlags |= 0x08;  // the curve was edited
        frmCurve->btnOKClick();
    } else if (what == "couple") {
        in >> v;
        for (FunctionDecoderRec* d : gFunctionDecoders)
            if (d->address == n) gCurFunctionDecoder = d;
        frmFunctieDec->show();
        frmFunctieDec->FormActivate();
        frmFunctieDec->cboLoc->setCurrentIndex(v ? loco(v)->slot + 1 : 0);
        frmFunctieDec->cboLocChange();
        frmFunctieDec->close();
    } else if (what == "post") {
        char key = 0;
        in >> key;
        gPendingKey = static_cast<uint8_t>(key);
        controlPostCommand(0, gLocsOnTrack.indexOf(loco(n)));
        gPendingKey = 0;
    } else if (what == "asc") {
        toggleLocoAsc(loco(n));
    } else if (what == "force") {
        toggleLocoForce(loco(n));
    } else {
        ADD_FAILURE() << "no action " << line;
    }
}

// ------------------------------------------------------------------ the server copy

// Locomotives 3 (block 1) and 5 (block 3) in "Manueel", a function decoder at address 80, in a
// session without track control whose server socket listens. Its lines: "do <action>", "tick" (one
// main-cycle tick), "state", "quit" (serveTestLines).
int serveActions() {
    RunningProgram program;
    vestrel::ManualClock clock{100000};
    if (!startServerSession(program, {{3, 150, 100, 1}, {5, 200, 200, 3}})) return 4;
    frmFunctieDec->addDecoder(kDecoderAddress, false);
    setNetworkMode(30);
    if (!frmSchema->ServerSocket1->isListening()) return 5;

    return serveTestLines(clock, [] { return std::string(); }, [](const std::string& line) {
        if (line.rfind("do ", 0) == 0) {
            act(line.substr(3));
            sayToTest("ok");
        } else if (line == "state") {
            sayToTest(stateLine(modelState()));
        }
    });
}

const bool kServerRole = testsupport::registerPeerRole("action-server", &serveActions);

// ------------------------------------------------------------------ the client copy, in the test

const char* const kModeWords[] = {"Rangeer", "Manueel", "Auto", "Traject"};

// The client's locomotive panel, driving locomotive `number`, against the server's record of it (the
// fields of modelState): its buttons name the running state, the mode and the direction, and its ASC,
// Force and function panels are lowered exactly when those are on.
void expectPanelShows(const State& server, int number) {
    std::string record;
    for (const auto& [k, v] : server)
        if (k.rfind("loco", 0) == 0 && v.rfind(num(number) + ",", 0) == 0) record = v;
    ASSERT_FALSE(record.empty()) << "locomotive " << number << " on the server";
    std::vector<std::string> f;
    std::istringstream in(record);
    for (std::string x; std::getline(in, x, ',');) f.push_back(x);
    const int bits1 = std::stoi(f[1]), running = std::stoi(f[6]), mode = std::stoi(f[7]), flags = std::stoi(f[9]);
    ASSERT_TRUE(frmLok->isVisible());
    EXPECT_EQ(frmLok->btnLok0->text().toStdString(), running ? "Aan" : "Uit");
    EXPECT_EQ(frmLok->btnMode0->text().toStdString(), kModeWords[mode]);
    EXPECT_EQ(frmLok->btnRich0->text().toStdString(), f[8] == "v" ? "voorwaarts" : "achterwaarts");
    const auto lowered = [](const QLabel* p) { return p->frameShadow() == QFrame::Sunken; };
    EXPECT_EQ(lowered(frmLok->pnlSnelhcorrauto), (flags & kLocoAutoCorrection) != 0);
    EXPECT_EQ(lowered(frmLok->pnlForceRijden), (flags & kLocoForce) != 0);
    // F0 is bit 4 of the first function byte, F1..F4 its bits 0..3.
    EXPECT_EQ(lowered(frmLok->pnlF[0]), (bits1 & 0x10) != 0);
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(lowered(frmLok->pnlF[n]), (bits1 & (1 << (n - 1))) != 0) << "F" << n;
}

class ClientMirror : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kServerRole);
        copies.start("action-server");
    }
    void TearDown() override {
        if (frmLok && frmLok->isVisible()) frmLok->close();
        copies.stop();
    }

    // Ticks both until the client's state is the server's (a generous number of rounds); the server's.
    State settle() {
        State serverState, clientState;
        for (int round = 0; round < 40; ++round) {
            copies.tick();
            serverState = parseState(copies.ask("state"));
            clientState = modelState();
            if (round >= 3 && clientState == serverState) return serverState;
        }
        for (const auto& [k, v] : serverState) {
            const auto at = clientState.find(k);
            EXPECT_EQ(at == clientState.end() ? "(none)" : at->second, v) << k << " on the client";
        }
        for (const auto& [k, v] : clientState) {
            if (!serverState.count(k)) ADD_FAILURE() << k << " only on the client: " << v;
        }
        return serverState;
    }
    void openPanel(int number) {
        gCurLoc = loco(number);
        gEditMode = kPostVehicleDialog;
        frmLok->show();
        ASSERT_TRUE(processUntil([] { return frmLok->isVisible(); }));
    }

    TwoCopies copies;
};

struct Row {
    const char* action;  // "S ..." on the server, "C ..." on the client
    std::function<void(const State& server)> check;  // on the client, with the server's state
};

LocoRec& onClient(int number) {
    LocoRec* l = loco(number);
    if (!l) throw std::runtime_error("no locomotive " + std::to_string(number) + " on the client");
    return *l;
}

const FunctionDecoderRec& clientDecoder() { return *gFunctionDecoders[0]; }

TEST_F(ClientMirror, EachActionLeavesTheClientAsTheServer) {
    // Locomotive 5's panel stays open on the client throughout.
    openPanel(5);
    const std::vector<Row> rows = {
        // Empty rows are blank on both sides.
        {"", [](const State& s) { EXPECT_EQ(s.at("row5"), ",,,,,"); }},
        // Functions: F0 is bit 4 of the first byte, F1 bit 0, F5 bit 0 of the second.
        {"S fn 5 1 1", [](const State&) { EXPECT_EQ(onClient(5).run.functionBits1, 0x01); }},
        {"S fn 5 0 1", [](const State&) { EXPECT_EQ(onClient(5).run.functionBits1, 0x11); }},
        {"S fn 5 5 1", [](const State&) { EXPECT_EQ(onClient(5).run.functionBits2, 0x01); }},
        {"C fn 5 3 1", [](const State&) { EXPECT_EQ(onClient(5).run.functionBits1, 0x15); }},
        {"S fn 5 0 0", [](const State&) { EXPECT_EQ(onClient(5).run.functionBits1, 0x05); }},
        // The wait left of a train's block, shown in its row.
        {"S wait 3 42", [](const State&) { EXPECT_EQ(frmSchema->lblPauze[0]->text(), "42"); }},
        // Start pause: seconds in bits 5..7 of run flags A; the pause itself (0x10) starts with bit 3.
        {"S pause 5 5", [](const State&) { EXPECT_EQ(onClient(5).run.runFlagsA & 0xE0, 5 << 5); }},
        // Maximum speed 200 from the curve: step delay (12 - 7) x 200 x 10 / 28 = 357.
        {"S curve 5 104",
         [](const State&) {
             EXPECT_EQ(onClient(5).run.maxSpeed, 200);
             EXPECT_EQ(onClient(5).stepDelay, 357);
         }},
        // Acceleration 3 at that maximum: step delay (12 - 3) x 200 x 10 / 28 = 642.
        {"S accel 5 3",
         [](const State&) {
             EXPECT_EQ(onClient(5).acceleration, 3);
             EXPECT_EQ(onClient(5).stepDelay, 642);
         }},
        // Decoder coupling, both ways: the dialog names the locomotive by its slot + 1.
        {"S couple 80 5", [](const State&) { EXPECT_EQ(clientDecoder().loco, loco(5)); }},
        {"S couple 80 0", [](const State&) { EXPECT_EQ(clientDecoder().loco, nullptr); }},
        {"C couple 80 3", [](const State& s) { EXPECT_EQ(s.at("decoder0"), "80,3,"); }},
        {"C couple 80 0", [](const State& s) { EXPECT_EQ(s.at("decoder0"), "80,0,"); }},
        // The panel on the client after running, mode, direction, ASC and force.
        {"S post 5 l", [](const State& s) { expectPanelShows(s, 5); }},
        {"S post 5 m", [](const State& s) { expectPanelShows(s, 5); }},
        {"S post 5 l", [](const State& s) { expectPanelShows(s, 5); }},
        {"S post 5 r", [](const State& s) { expectPanelShows(s, 5); }},
        {"S asc 5", [](const State& s) { expectPanelShows(s, 5); }},
        {"S force 5", [](const State& s) { expectPanelShows(s, 5); }},
        {"S force 5", [](const State& s) { expectPanelShows(s, 5); }},
        {"C post 5 r", [](const State& s) { expectPanelShows(s, 5); }},
        // Renumbering across the sort order: 3 becomes 7 and goes behind 5, in gLocs and on the track.
        {"S renumber 3 7",
         [](const State& s) {
             EXPECT_EQ(s.at("on track"), "5 7 ");
             EXPECT_EQ(onClient(7).slot, 1);
             EXPECT_EQ(frmSchema->btnLok[0]->text(), "5");
         }},
        // Later records name the new slots, both ways.
        {"S post 5 l", [](const State& s) { EXPECT_EQ(s.at("row0").substr(0, 2), "5,"); }},
        {"C post 5 l", [](const State&) { EXPECT_EQ(onClient(5).running, 0); }},
        {"C post 7 l", [](const State&) { EXPECT_EQ(onClient(7).running, 1); }},
        {"S fn 7 2 1", [](const State&) { EXPECT_EQ(onClient(7).run.functionBits1, 0x02); }},
        {"C couple 80 7", [](const State& s) { EXPECT_EQ(s.at("decoder0"), "80,7,"); }},
        // Last, as it holds locomotive 5 for its five seconds: F1 is on, so the pause begins.
        {"S timed 5",
         [](const State&) {
             EXPECT_EQ(onClient(5).run.runFlagsA & 0xF0, (5 << 5) | 0x10);
             EXPECT_EQ(onClient(5).currentStep, 1);
         }},
    };
    for (const Row& row : rows) {
        const std::string action = row.action;
        SCOPED_TRACE(action.empty() ? "after the copy" : action);
        if (!action.empty() && action[0] == 'S') {
            ASSERT_EQ(copies.ask("do " + action.substr(2)), "ok");
        } else if (!action.empty()) {
            act(action.substr(2));
        }
        const State server = settle();
        row.check(server);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
