// The drawing demo on the real main window: the demo layout's blocks, turnouts and signals are drawn again
// through the editor and come back as they are on disk, also when the user stops half-way.
//
// It runs on a layout of our own, drawn here with the mouse and keys (two turnouts, one turned round; four
// blocks, one of them with a curve; four signals at both ends and in both directions), and on the shipped
// demo layout when data/demo holds it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "demo_player.h"
#include "layout/dialogs/untSein.h"
#include "layout/dialogs/untSektie.h"
#include "layout/dialogs/untWissel.h"
#include "layout/editor/editor_state.h"
#include "layout/files/layout_file.h"
#include "layout/model/layout_model.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBestandNieuw.h"
#include "shell/dialogs/untDemo.h"
#include "shell/main/demo.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/model/settings.h"
#include "shell/window/image_view.h"
#include "shell/window/untSchema.h"
#include "test_support.h"

inline void PrintTo(const DiagramPoint& p, std::ostream* os) { *os << "(" << p.x << "," << p.y << ")"; }

namespace {

namespace fs = std::filesystem;

const char* const kDemoLayout = "demo\\vestreldemo1.vtl";

// ---- Drawing the fixture as a user does, with the main window's own mouse and key events ----

QWidget* diagram() { return frmSchema->imgSchema; }

void moveTo(QPoint p) {
    QTest::mouseMove(diagram(), p + QPoint(1, 1));
    QTest::mouseMove(diagram(), p);
}
void clickAt(QPoint p) {
    moveTo(p);
    QTest::mouseClick(diagram(), Qt::LeftButton, {}, p);
}
void doubleClickAt(QPoint p) {
    clickAt(p);
    QTest::mouseClick(diagram(), Qt::LeftButton, {}, p);
}
void key(int qtKey) { QTest::keyClick(frmSchema, static_cast<Qt::Key>(qtKey)); }
void endTool() {
    key(Qt::Key_Escape);
    key(Qt::Key_Escape);
}
void confirmed(QDialog* form) {
    ASSERT_TRUE(form->isVisible()) << lastDialogMessage();
    form->findChild<QPushButton*>("btnOK")->click();
    ASSERT_TRUE(processUntil([] { return gEditMode == 5u; })) << lastDialogMessage();
}
// "t" until the element at the pointer stands at that angle.
void turnTo(const int32_t& angle, int target) {
    for (int k = 0; k < 24 && angle != target; ++k) key(Qt::Key_T);
    ASSERT_EQ(angle, target);
}

void drawFixture() {
    // Turnout 1 (left) with its root at (200, 200); turnout 2 (right) turned round, root at (440, 200).
    key(Qt::Key_L);
    clickAt({200, 200});
    confirmed(frmWissel);
    endTool();
    key(Qt::Key_R);
    moveTo({440, 200});
    turnTo(gSelectedTurnout->angle, 180);
    clickAt({440, 200});
    confirmed(frmWissel);
    endTool();
    // Block 1 between the turnouts' straight legs; block 2 from turnout 1's root; block 3 from turnout 2's
    // root with a half circle of four pieces; block 4 on its own.
    key(Qt::Key_B);
    clickAt({232, 200});
    clickAt({296, 200});
    clickAt({352, 200});
    clickAt({408, 200});
    confirmed(frmSektie);
    clickAt({200, 200});
    clickAt({136, 200});
    doubleClickAt({72, 200});
    confirmed(frmSektie);
    clickAt({440, 200});
    clickAt({504, 200});
    moveTo({504, 328});
    key(Qt::Key_C);
    key(Qt::Key_4);
    clickAt({504, 328});
    doubleClickAt({440, 328});
    confirmed(frmSektie);
    clickAt({72, 328});
    clickAt({136, 328});
    clickAt({200, 328});
    doubleClickAt({264, 328});
    confirmed(frmSektie);
    endTool();
    // Signals at block 1's two ends, at block 2's end (running toward -x) and at block 4's end.
    key(Qt::Key_S);
    const struct {
        QPoint at;
        int angle;
    } signalsAt[] = {{{384, 208}, 0}, {{256, 192}, 180}, {{96, 192}, 180}, {{240, 336}, 0}};
    for (const auto& s : signalsAt) {
        moveTo(s.at);
        turnTo(gSelectedSignal->angle, s.angle);
        clickAt(s.at);
        confirmed(frmSein);
    }
    endTool();
    ASSERT_EQ(gBlockCount, 4);
    ASSERT_EQ(gBlocks[2]->sections, 6);
    // Sections of other kinds, with inputs, for the block dialog to fill in.
    gBlocks[0]->sectionKinds[1] = 2;
    gBlocks[0]->sectionInputs[2] = 21;
    gBlocks[2]->sectionKinds[2] = 3;
    gBlocks[2]->sectionInputs[3] = 33;
}

// ---- The models and what was drawn ----

struct Elements {
    std::vector<BlockRec> blocks;
    std::vector<TurnoutRec> turnouts;
    std::vector<SignalRec> signalRecords;
    std::vector<int> signalBlocks;
};

Elements inTables() {
    Elements e;
    for (const BlockRec* b : gBlocks) e.blocks.push_back(*b);
    for (const TurnoutRec* t : gTurnouts) e.turnouts.push_back(*t);
    for (const SignalRec* s : gSignals) {
        e.signalRecords.push_back(*s);
        e.signalBlocks.push_back(s->block ? s->block->number : 0);
    }
    return e;
}

void expectSameElements(const Elements& models, const char* when) {
    SCOPED_TRACE(when);
    const Elements now = inTables();
    ASSERT_EQ(now.blocks.size(), models.blocks.size());
    ASSERT_EQ(now.turnouts.size(), models.turnouts.size());
    ASSERT_EQ(now.signalRecords.size(), models.signalRecords.size());
    for (size_t i = 0; i < models.blocks.size(); ++i) {
        const BlockRec &m = models.blocks[i], &b = now.blocks[i];
        SCOPED_TRACE("block " + std::to_string(m.number));
        EXPECT_EQ(b.number, m.number);
        ASSERT_EQ(b.sections, m.sections);
        for (int k = 0; k <= m.sections; ++k) EXPECT_EQ(b.points[k], m.points[k]) << "point " << k;
        for (int s = 0; s < m.sections; ++s) {
            EXPECT_EQ(b.sectionKinds[s], m.sectionKinds[s]) << "section " << s + 1;
            EXPECT_EQ(b.sectionInputs[s + 1], m.sectionInputs[s + 1]) << "section " << s + 1;
        }
    }
    for (size_t i = 0; i < models.turnouts.size(); ++i) {
        const TurnoutRec &m = models.turnouts[i], &t = now.turnouts[i];
        SCOPED_TRACE("turnout " + std::to_string(m.number));
        EXPECT_EQ(t.subtype, m.subtype);
        EXPECT_EQ(t.number, m.number);
        EXPECT_EQ(t.angle, m.angle);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(t.legs[k], m.legs[k]) << "leg " << k;
    }
    for (size_t i = 0; i < models.signalRecords.size(); ++i) {
        const SignalRec &m = models.signalRecords[i], &s = now.signalRecords[i];
        SCOPED_TRACE("signal " + std::to_string(m.number));
        EXPECT_EQ(s.number, m.number);
        EXPECT_EQ(now.signalBlocks[i], models.signalBlocks[i]);
        EXPECT_EQ(s.direction, m.direction);
        EXPECT_EQ(s.angle, m.angle);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(s.outline[k], m.outline[k]) << "outline point " << k;
    }
}

// The number of explanation lines of chapter 1 in the shipped text.
int chapterOneLines() {
    std::ifstream in(testsupport::fixturePath("../../data/demo/vestreldemo_n.txt"), std::ios::binary);
    std::string line;
    int chapter = 0, lines = -1;  // the title is no explanation line
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '#') ++chapter;
        else if (chapter == 1) ++lines;
    }
    return lines;
}

// The demo's working folder with its layout: the fixture drawn and saved there, or the shipped one; the
// models are the demo layout's elements as on disk.
class DemoLayoutTest : public ::testing::Test {
protected:
    void prepare(bool shipped) {
        if (shipped && !fs::exists(testsupport::fixturePath("../../data/demo/vestreldemo1.vtl")))
            GTEST_SKIP() << "data/demo holds no demo layout";
        userLayout = gLayoutFileName;
        if (!shipped) {
            QApplication::setActiveWindow(frmSchema);
            ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
            for (int k = 0; k < 100 && gRedrawCountdown != 0; ++k) player.tick();
            drawFixture();
            if (HasFatalFailure()) return;
            gLayoutFileName = kDemoLayout;
            ASSERT_EQ(saveLayoutFile(), 1);
        }
        gLayoutFileName = kDemoLayout;
        ASSERT_EQ(loadLayoutFile(), 1);
        models = inTables();
        ASSERT_EQ(models.blocks.size(), 4u);
        ASSERT_EQ(models.turnouts.size(), 2u);
        ASSERT_EQ(models.signalRecords.size(), 4u);
        onDisk = testsupport::readBytes(player.program.dir.file("demo/vestreldemo1.vtl"));
        // The user's own layout, the sample one, is open when the demo starts.
        fs::copy_file(testsupport::fixturePath("../../data/voorbeeld.vtl"), player.program.dir.file(userLayout));
        gLayoutFileName = userLayout;
        ASSERT_EQ(loadLayoutFile(), 1);
        userElements = inTables();
        ASSERT_FALSE(userElements.blocks.empty());
        ASSERT_EQ(gDirtyFlags, 0);
    }

    // Presses "VERDER" until the demo reaches that step; false when it does not within the limit.
    // With a wandering pointer the user's mouse crosses the diagram on its way to "VERDER" every time.
    bool playUntil(int step, bool wanderingPointer = false) {
        for (int k = 0; k < 400 && gDemoStep != step && gDemoStep > 0; ++k) {
            stepsPassed.insert(gDemoStep);
            // The blocks drawn so far are in the table: the one being drawn is the next.
            if (gDemoStep == 24) blocksWithCurve.insert(gBlockCount + 1);
            if (wanderingPointer) moveTo({300 + 7 * (k % 40), 100 + 5 * (k % 50)});
            player.pressVerder();
            if (!lastDialogMessage().empty()) return false;
        }
        return gDemoStep == step;
    }

    // What the end of the demo leaves: the demo layout as on disk (the user's own before the demo loaded
    // it), nothing open, nothing changed.
    void expectCleanEnd(bool demoLayoutLoaded = true) {
        EXPECT_EQ(gDemoStep, 0);
        EXPECT_FALSE(frmDemo->isVisible());
        EXPECT_TRUE(frmSchema->grpCmdpost->isEnabled());
        EXPECT_EQ(gDirtyFlags, 0);
        EXPECT_EQ(gEditOpRunning, 0);
        for (QWidget* form : std::initializer_list<QWidget*>{frmWissel, frmSektie, frmSein, frmBestandNieuw})
            EXPECT_FALSE(form->isVisible()) << form->objectName().toStdString();
        EXPECT_EQ(lastDialogMessage(), "");
        EXPECT_EQ(testsupport::readBytes(player.program.dir.file("demo/vestreldemo1.vtl")), onDisk);
        EXPECT_EQ(gLayoutFileName, demoLayoutLoaded ? kDemoLayout : userLayout);
        expectSameElements(demoLayoutLoaded ? models : userElements, "after the demo");
    }

    DemoPlayer player;
    std::set<int> stepsPassed;
    std::set<int> blocksWithCurve;  // the blocks, in drawing order, whose curve was taken with a click
    Elements models, userElements;
    std::string userLayout;
    std::vector<uint8_t> onDisk;
};

class DrawingDemo : public DemoLayoutTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override { prepare(GetParam()); }
};

TEST_P(DrawingDemo, PlaysToItsEndWithOneLinePerAdvance) {
    EXPECT_EQ(player.playToEnd(1), "");
    EXPECT_EQ(player.linesShown, 1 + chapterOneLines());  // the introduction, then the chapter
    expectCleanEnd();
}

TEST_P(DrawingDemo, TheEditorDrawsEveryModelElementAgain) {
    showDialogMessage("", 3);
    runDemoStep(1);
    ASSERT_TRUE(playUntil(21, true)) << "step " << gDemoStep << ": " << lastDialogMessage();
    expectSameElements(models, "drawn");
    EXPECT_NE(gDirtyFlags, 0);
    // The curves were entered as curves: "c", the number of pieces, a click at the end. The fixture has
    // one in its third block, the shipped layout one in each of its third and fourth (the oval's ends).
    EXPECT_TRUE(stepsPassed.count(23) && stepsPassed.count(24));
    const std::set<int> curved = GetParam() ? std::set<int>{3, 4} : std::set<int>{3};
    EXPECT_EQ(blocksWithCurve, curved);
    player.pressVerder();
    expectCleanEnd();
}

INSTANTIATE_TEST_SUITE_P(Layouts, DrawingDemo, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Shipped" : "Fixture"; });

TEST_P(DrawingDemo, SettingsChangedDuringTheDemoDoNotReachTheConfiguration) {
    const std::string cfg = player.program.dir.file("vestrel.cfg");
    const std::vector<uint8_t> before = testsupport::readBytes(cfg);
    const int shortTrain = gSettings.edtLengteKorte;
    runDemoStep(1);
    ASSERT_TRUE(playUntil(5));
    // As the demos that drive trains change them.
    gSettings.edtLengteKorte = shortTrain + 10;
    gSettings.chboVisuVerbinding = !gSettings.chboVisuVerbinding;
    clickButton(frmDemo, "btnStop");
    EXPECT_EQ(gSettings.edtLengteKorte, shortTrain);
    EXPECT_EQ(testsupport::readBytes(cfg), before);
}

TEST(DrawingDemoWithoutItsLayout, TellsAndLeavesTheUsersOwnLayoutOpen) {
    DemoPlayer player;
    fs::remove(player.program.dir.file("demo/vestreldemo1.vtl"));
    fs::copy_file(testsupport::fixturePath("../../data/voorbeeld.vtl"), player.program.dir.file(gLayoutFileName));
    const std::string userLayout = gLayoutFileName;
    ASSERT_EQ(loadLayoutFile(), 1);
    const Elements user = inTables();
    const std::vector<uint8_t> cfg = testsupport::readBytes(player.program.dir.file("vestrel.cfg"));
    EXPECT_EQ(player.playToEnd(1), "message: Kan bestand 'demo\\vestreldemo1.vtl' niet openen !");
    EXPECT_EQ(gDemoStep, 0);
    EXPECT_EQ(gLayoutFileName, userLayout);
    expectSameElements(user, "the user's layout");
    // The configuration names the user's files again, its settings as they were (the file keeps the tail
    // that the longer demo names gave it: the configuration is written over, never shortened).
    std::vector<uint8_t> after = testsupport::readBytes(player.program.dir.file("vestrel.cfg"));
    ASSERT_GE(after.size(), cfg.size());
    after.resize(cfg.size());
    EXPECT_EQ(after, cfg);
}

// STOP at the step VERDER would perform next: the name dialog open with the name typed (5), a turnout
// turned at the pointer (10), a new block in its dialog (15), a new signal in its dialog (20), a curve
// laid out in a block (24).
class DrawingDemoStop : public DemoLayoutTest, public ::testing::WithParamInterface<std::tuple<bool, int>> {
protected:
    void SetUp() override { prepare(std::get<0>(GetParam())); }
};

TEST_P(DrawingDemoStop, PutsTheWholeLayoutBack) {
    const int at = std::get<1>(GetParam());
    showDialogMessage("", 3);
    runDemoStep(1);
    ASSERT_TRUE(playUntil(at)) << "step " << gDemoStep << ": " << lastDialogMessage();
    clickButton(frmDemo, "btnStop");
    expectCleanEnd(at > 5);
}

INSTANTIATE_TEST_SUITE_P(Layouts, DrawingDemoStop, ::testing::Combine(::testing::Bool(), ::testing::Values(5, 10, 15, 20, 24)),
                         [](const ::testing::TestParamInfo<std::tuple<bool, int>>& info) {
                             return std::string(std::get<0>(info.param) ? "Shipped" : "Fixture") + "AtStep" +
                                    std::to_string(std::get<1>(info.param));
                         });

}  // namespace
