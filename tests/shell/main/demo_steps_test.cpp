// The step-program demo: its step-program file (data/demo/vestreldemo2.stp), written here through the
// step-program editor as a user writes programs and saved by the program's own writer, and the demo
// played on the real main window with the shipped demo data.
// To write the file again after a change of the editor or of the file format:
//   VESTREL_WRITE_SAMPLE=$PWD/data build/tests/test_shell --gtest_filter='DemoStepPrograms.*'
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "demo_player.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/editor/editor_state.h"
#include "layout/frame/render.h"
#include "platform/canvas.h"
#include "layout/model/display_settings.h"
#include "layout/model/layout_model.h"
#include "link/buffers/link_buffers.h"
#include "operation/dialogs/untTraject.h"
#include "operation/model/route_file.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untDemo.h"
#include "shell/dialogs/untInfo.h"
#include "shell/drawing_window.h"
#include "shell/main/demo.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/window/untSchema.h"
#include "steps/dialogs/untStappen.h"
#include "steps/files/step_file.h"
#include "steps/model/step_codes.h"
#include "steps/model/step_program.h"
#include "test_support.h"

namespace {

using testsupport::readBytes;
using testsupport::writeBytes;
using Bytes = std::vector<uint8_t>;


// Condition and action codes as the editor lists them.
constexpr int kGeen = 0;
constexpr int kIngang1 = 1;
constexpr int kIngang0 = 2;
constexpr int kStapUitgangR = 2;
constexpr int kStapUitgangG = 3;
constexpr int kTellerPlus = 24;

// What the demo layout offers the programs: input 1 lies on station track 19 before its exit signal 34,
// input 2 on station track 27, which the train enters past turnout 9 (toward the unloading track), input 3
// on the right side.
constexpr int kExitSignal = 34;
constexpr int kTurnout = 9;

struct StepLine {
    int condition;
    int conditionValue;
    int action;
    int actionValue;
    int time;
};

struct ProgramPlan {
    const char* name;
    QPoint box;
    std::vector<StepLine> steps;
};

// Programs 1..3 (the file keeps them sorted by name), each on its own input, their boxes between the two
// stations.
const ProgramPlan kPlans[] = {
    {"1 sein", {264, 200}, {
        {kIngang1, 1, kStapUitgangR, kExitSignal, 0},  // a train on input 1: its exit signal to red
        {kGeen, 0, kStapUitgangG, kExitSignal, 5},     // five seconds later green again
        {kIngang0, 1, kGeen, 0, 0},                    // and wait until input 1 is free
    }},
    {"2 wissel", {368, 200}, {
        {kIngang1, 2, kGeen, 0, 0},                    // a train on input 2
        {kGeen, 0, kStapUitgangR, kTurnout, 3},        // three seconds later, behind it, turnout 9 thrown
        {kGeen, 0, kStapUitgangG, kTurnout, 5},        // and five seconds later back
    }},
    {"3 teller", {472, 200}, {
        {kIngang1, 3, kTellerPlus, 1, 0},              // count every train over input 3
        {kIngang0, 3, kGeen, 0, 0},
    }},
};

class DemoStepPrograms : public DrawingWindow {
protected:
    static QTableWidget* grid() { return frmStappen->strgrdStappen; }
    static void pick(QComboBox* list, int index) {
        ASSERT_TRUE(list->isVisible());
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    // Types into a value cell and ends with Enter, as the editor tests do.
    static void typeCell(int row, int column, int value) {
        grid()->setCurrentCell(row, column);
        grid()->edit(grid()->currentIndex());
        auto* editor = grid()->findChild<QLineEdit*>("strgrdStappenEditor");
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, QString::number(value));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // A new program through the step-box tool: the box where it is clicked, the steps in the grid.
    static void writeProgram(const ProgramPlan& plan) {
        key(Qt::Key_P);
        clickAt(plan.box);
        ASSERT_TRUE(frmStappen->isVisible());
        for (size_t k = 0; k < plan.steps.size(); ++k) {
            grid()->setCurrentCell(grid()->rowCount() - 1, 0);
            frmStappen->btnStapInvoegen->click();
        }
        for (int row = 0; row < static_cast<int>(plan.steps.size()); ++row) {
            const StepLine& s = plan.steps[row];
            grid()->setCurrentCell(row, 1);
            pick(frmStappen->cboConditie, s.condition);
            if (s.conditionValue) typeCell(row, 2, s.conditionValue);
            grid()->setCurrentCell(row, 3);
            pick(frmStappen->cboActie, s.action);
            if (s.actionValue) typeCell(row, 4, s.actionValue);
            if (s.time) typeCell(row, 5, s.time);
        }
        QLineEdit* name = frmStappen->cboStappenNaam->lineEdit();
        ASSERT_NE(name, nullptr);
        name->selectAll();
        QTest::keyClicks(name, plan.name);
        frmStappen->btnOpslaan->click();
        ASSERT_FALSE(frmStappen->isVisible()) << lastDialogMessage();
    }
};

// Byte offset of program i's box right edge in the file: the text width of the box depends on the fonts
// of the machine, so it is compared for being beyond the left edge only.
constexpr size_t boxRightOffset(size_t program) { return 10 + 56 * program + 40; }

TEST_F(DemoStepPrograms, TheDemoFolderHoldsTheStepProgramsTheEditorMakes) {
    gLayoutFileName = "vestreldemo2.vtl";
    for (const ProgramPlan& plan : kPlans) {
        writeProgram(plan);
        ASSERT_FALSE(HasFatalFailure()) << plan.name;
    }

    ASSERT_EQ(gStepProgramCount, 3);
    for (int i = 0; i < 3; ++i) {
        const StepProgramRec& p = *gStepPrograms[i];
        EXPECT_EQ(p.name, kPlans[i].name);
        ASSERT_EQ(p.stepCount, kPlans[i].steps.size()) << p.name;
        for (int k = 0; k < p.stepCount; ++k) {
            const StepRec& s = *programStep(p, k + 1);
            const StepLine& want = kPlans[i].steps[k];
            EXPECT_EQ(s.conditionCode, want.condition) << p.name << " step " << k + 1;
            EXPECT_EQ(s.conditionValue, want.conditionValue) << p.name << " step " << k + 1;
            EXPECT_EQ(s.actionCode, want.action) << p.name << " step " << k + 1;
            EXPECT_EQ(s.actionValue, want.actionValue) << p.name << " step " << k + 1;
            EXPECT_EQ(s.time, want.time) << p.name << " step " << k + 1;
        }
    }
    Bytes made = readBytes("vestreldemo2.stp");
    if (const char* out = std::getenv("VESTREL_WRITE_SAMPLE")) writeBytes(std::string(out) + "/demo/vestreldemo2.stp", made);
    Bytes shipped = readBytes(testsupport::shippedDataPath("demo/vestreldemo2.stp"));
    ASSERT_EQ(shipped.size(), made.size()) << "data/demo/vestreldemo2.stp differs from what the editor makes: see the top of this file";
    for (size_t i = 0; i < 3; ++i) {
        const size_t at = boxRightOffset(i);
        const auto i32 = [](const Bytes& b, size_t o) { return b[o] | b[o + 1] << 8 | b[o + 2] << 16 | b[o + 3] << 24; };
        EXPECT_GT(i32(shipped, at), i32(shipped, at - 8)) << "program " << i;
        for (size_t k = at; k < at + 4; ++k) shipped[k] = made[k] = 0;
    }
    EXPECT_EQ(shipped, made) << "data/demo/vestreldemo2.stp differs from what the editor makes: see the top of this file";
}

// The explanation lines of the last chapter of the shipped demo text (after its title).
int chapterSevenLines() {
    const Bytes text = readBytes(testsupport::shippedDataPath("demo/vestreldemo_n.txt"));
    int hashes = 0;
    int lines = -1;  // the title line is no explanation
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n') continue;
        if (text[start] == '#') ++hashes;
        else if (hashes == 7) ++lines;
        start = i + 1;
    }
    if (start < text.size() && hashes == 7) ++lines;
    return lines;
}

std::vector<Bytes> demoFiles(const RunningProgram& program) {
    std::vector<Bytes> files;
    for (const char* name : {"demo/vestreldemo2.vtl", "demo/vestreldemo2.loc", "demo/vestreldemo2.trj",
                             "demo/vestreldemo2.stp"})
        files.push_back(readBytes(program.dir.file(name)));
    // The configuration after the two file names (which name the layout shown: the demo's, after it).
    Bytes cfg = readBytes(program.dir.file("vestrel.cfg"));
    for (int lineFeeds = 0; !cfg.empty() && lineFeeds < 5;) lineFeeds += cfg.front() == '\n', cfg.erase(cfg.begin());
    files.push_back(cfg);
    return files;
}

// Demo 7 played as a user: "VERDER" until the train runs, then the waits while the train goes round
// twice, and "STOP".
TEST(DemoSteps, TheStepProgramDemoFollowsTheTrainRoundAndStopsClean) {
    DemoPlayer player;
    const std::vector<Bytes> filesBefore = demoFiles(player.program);
    const Settings settingsBefore = gSettings;
    ASSERT_EQ(gShowNumbers, 1);  // the working folder's configuration shows them: the demo hides them
    QString shown;
    auto countLine = [&] {
        if (frmDemo->lblTekst->text() == shown) return;
        shown = frmDemo->lblTekst->text();
        ++player.linesShown;
    };
    showDialogMessage("", 3);
    runDemoStep(7);
    countLine();
    while (gDemoStep > 0 && gDemoStep < 305) {
        ASSERT_TRUE(frmDemo->btnVerder->isVisible()) << gDemoStep;
        const int step = gDemoStep;
        player.pressVerder();
        countLine();
        ASSERT_EQ(lastDialogMessage(), "") << "step " << step;
        if (step == 302) {
            const LocoRec* train = gLocsOnTrack[6];
            ASSERT_NE(train, nullptr);
            ASSERT_NE(train->route, nullptr);
            EXPECT_EQ(train->route, gRoutes[1]);
            EXPECT_EQ(train->mode, kModeRoute);
            EXPECT_FALSE(train->running);  // it starts when the inputs follow the vehicles
            EXPECT_FALSE(frmTraject->isVisible());
        }
        if (step == 303) {
            EXPECT_EQ(gShowNumbers, 0);
            ASSERT_TRUE(frmStappen->isVisible());
            EXPECT_EQ(frmStappen->Tag, 18);  // view and run
            EXPECT_EQ(gCurStepBox, gStepPrograms[0]);
            // Beside the main window, as far as the screen allows.
            const QRect area = frmStappen->screen()->availableGeometry();
            EXPECT_GT(frmStappen->x(), frmSchema->x());
            EXPECT_LE(frmStappen->frameGeometry().right(), area.right());
            ASSERT_GE(gStepProgramCount, 3);
            for (int i = 0; i < 3; ++i) EXPECT_EQ(gStepPrograms[i]->state, 1) << "program " << i + 1;
        }
    }
    ASSERT_EQ(gDemoStep, -305);
    EXPECT_TRUE(gLocsOnTrack[6]->running);
    EXPECT_FALSE(frmDemo->btnVerder->isVisible());

    // Each wait ends with the train's head in its block, the editor on that block's program.
    struct Wait { int step; int block; int program; };
    const Wait waits[] = {{305, 19, 0}, {306, 27, 1}, {307, 19, 0}, {308, 27, 1}, {307, 19, 0}};
    bool contactSeen[4] = {};
    bool signalRed = false;     // program 1 held the train at exit signal 34
    bool turnoutThrown = false;  // program 2 threw turnout 9
    for (const Wait& w : waits) {
        ASSERT_EQ(gDemoStep, -w.step);
        for (int i = 0; i < 20000 && gDemoStep == -w.step; ++i) {
            player.tick();
            countLine();
            for (int n = 1; n <= 3; ++n) contactSeen[n] |= gFeedbackImage.contactBit(n) != 0;
            for (const SignalRec* sig : gSignals) signalRed |= sig->number == kExitSignal && sig->aspect == 'S';
            for (const TurnoutRec* t : gTurnouts) turnoutThrown |= t->number == kTurnout && t->position == 'R';
        }
        ASSERT_NE(gDemoStep, -w.step) << "waits for ever at step " << w.step;
        ASSERT_EQ(lastDialogMessage(), "") << "step " << w.step;
        const LocoRec* train = gLocsOnTrack[6];
        ASSERT_TRUE(train && train->run.head.block);
        EXPECT_EQ(train->run.head.block->number, w.block) << "step " << w.step;
        EXPECT_EQ(gCurStepBox, gStepPrograms[w.program]) << "step " << w.step;
        EXPECT_EQ(frmStappen->cboStappenNaam->currentIndex(), w.program) << "step " << w.step;
    }
    for (int n = 1; n <= 3; ++n) EXPECT_TRUE(contactSeen[n]) << "input " << n << " never under a vehicle";
    EXPECT_TRUE(signalRed);
    EXPECT_TRUE(turnoutThrown);
    EXPECT_GE(gStepPrograms[2]->counter, 2);  // program 3 counted the train twice
    EXPECT_EQ(player.linesShown, chapterSevenLines());

    frmDemo->btnStop->click();
    EXPECT_EQ(lastDialogMessage(), "");
    EXPECT_EQ(gDemoStep, 0);
    EXPECT_FALSE(sessionRunning());
    EXPECT_TRUE(frmSchema->grpCmdpost->isEnabled());
    EXPECT_EQ(gDirtyFlags, 0);
    EXPECT_FALSE(frmDemo->isVisible());
    EXPECT_FALSE(frmStappen->isVisible());
    EXPECT_EQ(gShowNumbers, settingsBefore.chboVisuNummer);
    EXPECT_EQ(gSettings.edtLengteKorte, settingsBefore.edtLengteKorte);
    EXPECT_EQ(gShowConnections, settingsBefore.chboVisuVerbinding);
    // The diagram left on the screen is the one the user's settings draw (with the numbers).
    const QImage shownAfter = gDiagramCanvas->image().copy();
    redrawSchema(1);
    EXPECT_TRUE(gDiagramCanvas->image() == shownAfter);
    EXPECT_EQ(demoFiles(player.program), filesBefore);
}

// "Demo" in the start dialog plays the step-program demo; "STOP" leaves the user's layout as it was.
TEST(DemoSteps, TheStartDialogsDemoButtonStartsIt) {
    RunningProgram program;
    const std::filesystem::path data = testsupport::fixturePath("../../data");
    std::filesystem::copy(data / "demo", program.dir.file("demo"), std::filesystem::copy_options::recursive);
    std::filesystem::copy_file(data / "vestrel.cfg", program.dir.file("vestrel.cfg"));
    showDialogMessage("", 3);
    whenModal([](QWidget* modal) { clickButton(modal, "btnDemo"); });
    program.start(false);
    frmSchema->show();
    ASSERT_TRUE(processUntil([] { return !frmInfo->btnOK->isHidden() && !frmInfo->isVisible(); }));
    frmSchema->Timer1->stop();
    EXPECT_EQ(lastDialogMessage(), "");
    EXPECT_EQ(gDemoStep, 302);
    EXPECT_TRUE(frmDemo->isVisible());
    EXPECT_EQ(frmDemo->windowTitle(), "Demo 7: stappenprogramma's");
    EXPECT_EQ(gLayoutFileName, "demo\\vestreldemo2.vtl");
    EXPECT_TRUE(gRunWithoutTrack);
    frmDemo->btnStop->click();
    EXPECT_EQ(gDemoStep, 0);
    EXPECT_FALSE(sessionRunning());
}

// "STOP" at any point gives a clean end: the route dialog and the step-program editor closed with the
// session, the user's settings back.
TEST(DemoSteps, StopAtEachStepEndsClean) {
    for (const int stopAt : {302, 303, 304, -305, -306}) {
        DemoPlayer player;
        const uint8_t numbersBefore = gShowNumbers;
        showDialogMessage("", 3);
    runDemoStep(7);
        for (int i = 0; i < 20000 && gDemoStep != stopAt && gDemoStep != 0; ++i) {
            if (gDemoStep > 0)
                player.pressVerder();
            else
                player.tick();
        }
        ASSERT_EQ(gDemoStep, stopAt);
        frmDemo->btnStop->click();
        EXPECT_EQ(lastDialogMessage(), "") << stopAt;
        EXPECT_EQ(gDemoStep, 0) << stopAt;
        EXPECT_FALSE(sessionRunning()) << stopAt;
        EXPECT_FALSE(frmTraject->isVisible()) << stopAt;
        EXPECT_FALSE(frmStappen->isVisible()) << stopAt;
        EXPECT_FALSE(frmDemo->isVisible()) << stopAt;
        EXPECT_TRUE(frmSchema->grpCmdpost->isEnabled()) << stopAt;
        EXPECT_EQ(gShowNumbers, numbersBefore) << stopAt;
    }
}

}  // namespace
