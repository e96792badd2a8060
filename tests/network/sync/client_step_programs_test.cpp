// Two copies of the program on 127.0.0.1: this test program as the client, and a second copy as the
// server, which starts, steps and stops a step program from its open step-program window. After each,
// the client's program, its open window and the program's box equal the server's.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QTest>
#include <sstream>
#include <string>

#include "layout/draw/diagram_canvas.h"
#include "layout/editor/editor_state.h"
#include "layout/frame/render.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/net_test_support.h"
#include "network/socket/net_clients.h"
#include "network/socket/net_mode.h"
#include "operation/session_trains.h"
#include "operation/train_images.h"
#include "platform/canvas.h"
#include "platform/clock.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/main/main_cycle.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"
#include "steps/dialogs/untStappen.h"
#include "steps/files/step_file.h"
#include "steps/model/step_program.h"

namespace {

constexpr uint32_t kTickMs = 30;

// The step file with one program "teller", box (600, 100)-(660, 126): step 1 "geen" / "teller+" 5,
// step 2 "geen" / "geen" after 9 seconds.
Bytes counterStepFile() {
    FileBytes f;
    auto i16 = [&](int v) -> FileBytes& { return f.u8(v & 0xFF).u8((v >> 8) & 0xFF); };
    f.text("V0.6");
    i16(1), i16(2), i16(0);
    f.text("teller").zeros(15);
    f.u8(0).u8(2).u8(0).u8(0).u8(0).u8(0).u8(0);  // number, steps, current step, state, counter, pad
    i16(0), i16(0);                               // first step, wait left
    f.i32(600).i32(100).i32(660).i32(126);        // box
    f.i32(0).i32(0);                              // next second, locomotive
    i16(0), i16(5), i16(0), i16(-1), f.u8(0).u8(24);  // "geen" / "teller+" 5
    i16(0), i16(0), i16(9), i16(-1), f.u8(0).u8(0);   // "geen" / "geen", 9 s
    return f.b;
}

bool activateMain() {
    QApplication::setActiveWindow(frmSchema);
    return processUntil([] { return QApplication::activeWindow() == frmSchema; });
}

// The grid row marked as the current step's (white on blue), -1 for none.
int markedRow() {
    QTableWidget* grid = frmStappen->strgrdStappen;
    const QImage cells = grid->viewport()->grab().toImage();
    for (int row = 0; row < grid->rowCount(); ++row) {
        const QRect r = grid->visualRect(grid->model()->index(row, 0));
        if (cells.pixelColor(r.right() - 2, r.center().y()) == QColor(0, 0, 255)) return row;
    }
    return -1;
}

// The box's pixels, as one number.
unsigned long long boxPixels(const StepProgramRec& p) {
    const QImage& image = std::as_const(*gDiagramCanvas).image();
    unsigned long long h = 1469598103934665603ull;
    for (int y = p.box.top; y < p.box.bottom; ++y)
        for (int x = p.box.left; x < p.box.right; ++x) h = (h ^ image.pixel(x, y)) * 1099511628211ull;
    return h;
}

// The program's run state, then what its open window shows (the four fields, the marked row, the start
// button), then its box.
std::string describeProgram() {
    const StepProgramRec& p = *gStepPrograms[0];
    std::ostringstream out;
    out << "state " << int(p.state) << " step " << int(p.currentStep) << " wait " << p.waitLeft << " counter "
        << int(p.counter) << " | " << frmStappen->edtStap->text().toStdString() << ' '
        << frmStappen->edtStaptijd->text().toStdString() << ' ' << frmStappen->edtTeller->text().toStdString()
        << " '" << frmStappen->edtLoc->text().toStdString() << "' row " << markedRow() << ' '
        << frmStappen->btnStart->text().toStdString() << " | box " << boxPixels(p);
    return out.str();
}

std::string withoutBox(const std::string& description) { return description.substr(0, description.find(" | box")); }

void openStepWindow() { frmSchema->findChild<QAction*>("mnuStapWijzig")->trigger(); }

// ------------------------------------------------------------------ the server copy

// A session without track control with the step program and its window open, and a listening server
// socket. Each line on its standard input is one action, answered with the program's description:
// "start" and "stop" click the window's buttons, "tick" runs one main-cycle tick, "second" one a
// second later, "redraw" draws the whole diagram again, "pass" only sends; "quit" ends.
int serveStepProgram() {
    RunningProgram program;
    program.start();
    frmSchema->Timer1->stop();
    vestrel::ManualClock clock{100000};
    LayoutBuilder().block(1, {{100, 100}, {200, 100}, {300, 100}});
    gLayoutFileName = "test.vtl";
    gLocoFileName = "test.loc";
    writeSessionLocoFile("test.loc", {{3, 150, 100, 1}});
    testsupport::writeBytes("test.stp", counterStepFile());
    if (loadStepProgramFile(0) != 1) return 2;
    gDirtyFlags = 0;
    if (!activateMain()) return 3;
    QTest::keyClick(frmSchema, Qt::Key_F11);
    if (gRunWithoutTrack != 1) return 4;
    frmBoodschap->close();
    setNetworkMode(30);
    if (!frmSchema->ServerSocket1->isListening()) return 5;
    openStepWindow();
    if (!frmStappen->isVisible()) return 6;
    return answerPeerLines([&clock](const std::string& line) {
        if (line == "start") frmStappen->btnStart->click();
        if (line == "stop") frmStappen->btnStop->click();
        if (line == "redraw") redrawSchema(1);
        if (line == "tick" || line == "second") {
            clock.advance(line == "tick" ? kTickMs : 1000);
            mainCycleTick();
        }
        runSendPass();
        for (int i = 0; i < gNetClientCount; ++i)
            while (gNetClients[i]->bytesToWrite() > 0 && gNetClients[i]->waitForBytesWritten(10000)) {
            }
        return describeProgram();
    });
}

const bool kServerRole = testsupport::registerPeerRole("step-server", &serveStepProgram);

// ------------------------------------------------------------------ the client copy, in the test

class ClientStepPrograms : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kServerRole);
        ASSERT_EQ(server.answer(), "ready");
        program.start();
        frmSchema->Timer1->stop();
        frmInstellingen->edtPCNaam->setText("");
        frmInstellingen->edtPCAdres->setText("127.0.0.1");
        setNetworkMode(40);
        ASSERT_TRUE(processUntil([] { return gNetLinkState == 1; }));
        for (int k = 0; k < 1000 && gNetLinkState != 40; ++k) server.ask("pass");
        ASSERT_EQ(gNetLinkState, 40);
        ASSERT_EQ(gStepProgramCount, 1);
        // The window on the program, in view mode, as the control post opens it.
        gCurStepBox = gStepPrograms[0];
        gEditMode = 18;
        frmStappen->Tag = 0;
        frmStappen->show();
        ASSERT_TRUE(frmStappen->isVisible());
    }
    void TearDown() override {
        if (frmStappen && frmStappen->isVisible()) frmStappen->close();
        EXPECT_EQ(server.quit(), 0);
        gRunWithoutTrack = 0;
        gNetOutFill = 0;
    }

    // The action on the server, whose program and window then show `expected`; the client shows the same,
    // box included, once the server's records are in.
    void expectMirrored(const char* action, const std::string& expected) {
        const std::string shown = server.ask(action);
        EXPECT_EQ(withoutBox(shown), expected) << "server after " << action;
        EXPECT_TRUE(processUntil([&] { return describeProgram() == shown; }))
            << "after " << action << "\n client: " << describeProgram() << "\n server: " << shown;
    }

    const int port = useFreeNetPort();  // before the server copy starts: it takes the port from here
    PeerCopy server{"step-server"};
    RunningProgram program;
};

TEST_F(ClientStepPrograms, StartedSteppedAndStoppedTheClientShowsWhatTheServerDoes) {
    expectMirrored("pass", "state 0 step 0 wait 0 counter 0 | 0 0 0 '' row -1 start");
    expectMirrored("start", "state 1 step 0 wait 0 counter 0 | 0 0 0 '' row -1 pause");
    // Step 1 counts 5 up at once; step 2 waits its 9 seconds.
    expectMirrored("tick", "state 1 step 2 wait 9 counter 5 | 2 9 5 '' row 1 pause");
    for (int k = 0; k < 3; ++k) expectMirrored("tick", "state 1 step 2 wait 9 counter 5 | 2 9 5 '' row 1 pause");
    expectMirrored("second", "state 1 step 2 wait 8 counter 5 | 2 8 5 '' row 1 pause");
    expectMirrored("stop", "state 0 step 2 wait 8 counter 5 | 2 8 5 '' row 1 start");
    // The next tick starts the stopped program afresh: step, wait and counter 0, no row marked.
    const std::string reset = "state 0 step 0 wait 0 counter 0 | 0 0 0 '' row -1 start";
    expectMirrored("tick", reset);
    const std::string drawn = server.ask("pass");
    // The box was drawn as a whole redraw draws it.
    EXPECT_EQ(server.ask("redraw"), drawn);
    // Started again, it begins at step 1 with counter 0.
    expectMirrored("start", "state 1 step 0 wait 0 counter 0 | 0 0 0 '' row -1 pause");
    expectMirrored("tick", "state 1 step 2 wait 9 counter 5 | 2 9 5 '' row 1 pause");
}

}  // namespace
