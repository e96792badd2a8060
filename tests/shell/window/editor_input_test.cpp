// The main window's input driven by real Qt key and mouse events: menu items, keys and clicks reach
// the editor or the control post with their command codes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>
#include <memory>
#include <vector>

#include "layout/draw/diagram_area.h"
#include "layout/editor/editor_dispatch.h"
#include "layout/editor/editor_state.h"
#include "layout/model/layout_model.h"
#include "layout/frame/render.h"
#include "layout/dialogs/untSein.h"
#include "layout/dialogs/untSektie.h"
#include "layout/dialogs/untWissel.h"
#include "operation/dialogs/untTijd.h"
#include "platform/keyboard.h"
#include "shell/model/app_state.h"
#include "shell/window/image_view.h"
#include "shell/window/input_routing.h"
#include "shell/model/input_state.h"
#include "shell/window/status_line.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"
#include "shell/shell_test_support.h"

namespace {

// The window with the focus, as a user would have it.
class MainWindowInput : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        QApplication::setActiveWindow(frmSchema);
        ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
        forgetRoutedCommand();
    }
    void TearDown() override {
        gTracks.clear();
        gBlocks.clear();
        gTurnouts.clear();
        gSignals.clear();
        gSelectedSignal = nullptr;
        gSelectedBlock = nullptr;
        gSelectedTurnout = nullptr;
    }
    static void key(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(frmSchema, static_cast<Qt::Key>(qtKey), modifiers);
    }
    static void clickDiagram(QPoint p, Qt::MouseButton button) { QTest::mouseClick(frmSchema->imgSchema, button, {}, p); }
    RunningProgram program;
};

// A block, a crossing and a left turnout side by side.
void smallLayout() {
    auto block = std::make_unique<BlockRec>();
    block->number = 1;
    block->points[0] = {100, 100};
    block->points[1] = {150, 100};
    block->points[2] = {200, 100};
    block->sections = 2;
    gBlocks.append(std::move(block));
    auto crossing = std::make_unique<TurnoutRec>();
    crossing->subtype = 'x';
    crossing->legs[0] = {300, 100};
    crossing->legs[1] = {340, 100};
    crossing->centre = {320, 100};
    gTurnouts.append(std::move(crossing));
    auto left = std::make_unique<TurnoutRec>();
    left->subtype = 'l';
    left->number = 1;
    left->legs[0] = {300, 200};
    left->legs[1] = {340, 200};
    left->centre = {320, 200};
    gTurnouts.append(std::move(left));
    auto signal = std::make_unique<SignalRec>();
    signal->number = 5;
    signal->block = gBlocks[0];
    signal->direction = 'H';
    signal->outline[0] = {200, 300};
    signal->outline[1] = {220, 300};
    gSignals.append(std::move(signal));
}

enum Route { kBoth, kEditor, kControlPost };

struct MenuCode {
    const char* item;
    Route route;
    int code;
};

// Every menu item that carries a command code, with where it goes.
const MenuCode kMenuCodes[] = {
    {"mnuNieuw", kBoth, 1001},           {"mnuOpenen", kBoth, 1002},          {"mnuOpslaan", kBoth, 1003},
    {"mnuOpslaanAls", kBoth, 1004},      {"mnuVerwijderen", kBoth, 1005},     {"mnuUndo", kEditor, 1017},
    {"mnuRedo", kEditor, 1018},          {"mnuVerplaatsen", kEditor, 1011},   {"mnuVerplaatsenPunt", kEditor, 1016},
    {"mnuBouwstWijzigen", kEditor, 1012}, {"mnuBouwstVerwijderen", kEditor, 1013}, {"mnuSchemaVerpl", kEditor, 1014},
    {"mnuVerbindingen", kEditor, 1015},  {"mnuTrajNieuw", kEditor, 1021},     {"mnuTrajWijzigen", kEditor, 1022},
    {"mnuTrajVerwijderen", kEditor, 1023}, {"mnuLocBeheer", kControlPost, 1041}, {"mnuLocToevoegen", kControlPost, 1042},
    {"mnuLocVerwijderen", kControlPost, 1043}, {"mnuLocSturen1", kControlPost, 1044},
    {"mnuLocSturen2", kControlPost, 1045}, {"mnuLocTraject", kControlPost, 1046}, {"mnuLocProg", kControlPost, 1047},
    {"mnuForceRijden", kControlPost, 1048}, {"mnuWagBeheer", kControlPost, 1051},
    {"mnuWagToevoegen", kControlPost, 1052}, {"mnuWagVerwijderen", kControlPost, 1053},
    {"mnuWagOntkop", kControlPost, 1054}, {"mnuBlok", kControlPost, 1061},  {"mnuWissel", kControlPost, 1071},
    {"mnuSein", kControlPost, 1081},     {"mnuUitgang", kControlPost, 1091}, {"mnuFunctieDec", kControlPost, 1101},
    {"mnuStapWijzig", kControlPost, 1111}, {"mnuStapSimIn", kControlPost, 1112},
};

const MenuCode* menuCodeOf(const QAction* a) {
    for (const MenuCode& c : kMenuCodes)
        if (a->objectName() == c.item) return &c;
    return nullptr;
}

void collectItems(const QList<QAction*>& actions, std::vector<QAction*>& items) {
    for (QAction* a : actions) {
        if (a->isSeparator()) continue;
        if (a->menu())
            collectItems(a->menu()->actions(), items);
        else
            items.push_back(a);
    }
}

TEST_F(MainWindowInput, EveryMenuItemCarriesItsCodeInEditorAndSessionMode) {
    std::vector<QAction*> items;
    collectItems(frmSchema->MainMenu1->actions(), items);
    for (const bool session : {false, true}) {
        gRunWithoutTrack = session ? 1 : 0;
        gActiveRow = 4;
        frmSchema->FormActivate();
        int coded = 0;
        for (QAction* item : items) {
            const MenuCode* c = menuCodeOf(item);
            if (!c) continue;
            ++coded;
            forgetRoutedCommand();
            item->trigger();
            gEditMode = 0;
            gActiveDialog = 0;
            const RoutedCommand& r = lastRoutedCommand();
            // An item of a disabled menu does nothing: editor items during a session, control-post items
            // in the editor.
            const bool reachable = session ? c->route != kEditor : c->route != kControlPost;
            if (!reachable) {
                EXPECT_EQ(r.target, 0) << c->item << (session ? " in a session" : " in the editor");
                continue;
            }
            EXPECT_EQ(r.target, session ? 'C' : 'E') << c->item;
            EXPECT_EQ(r.code, c->code) << c->item;
            if (session) {
                EXPECT_EQ(r.post, 4) << c->item;
            }
        }
        EXPECT_EQ(coded, static_cast<int>(std::size(kMenuCodes)));
    }
    gRunWithoutTrack = 0;
}

TEST_F(MainWindowInput, FunctionKeysOfDisabledItemsDoNothing) {
    key(Qt::Key_F4);  // "Traject" of the locomotive menu, disabled in the editor; its number is 's'
    EXPECT_EQ(lastRoutedCommand().target, 0);
    EXPECT_NE(lastEditorCommand(), 's');
    key(Qt::Key_S);
    EXPECT_EQ(lastEditorCommand(), 's');
}

TEST_F(MainWindowInput, MenuKeysShowTheirPromptsOnTheStatusLine) {
    struct Case {
        int key;
        uint32_t mode;
        const char* prompt;
    } cases[] = {
        {Qt::Key_F5, 9, "Klik op de te verplaatsen bouwsteen  of maak andere keuze  /  Shift(lock) = snap to grid uit"},
        {Qt::Key_F6, 8, "Klik op de te wijzigen bouwsteen  of maak andere keuze  /  Shift(lock) = snap to grid uit"},
        {Qt::Key_F7, 7, "Klik op de te verwijderen bouwsteen  of maak andere keuze  /  Shift(lock) = snap to grid uit"},
    };
    for (const Case& c : cases) {
        key(c.key);
        EXPECT_EQ(lastRoutedCommand().target, 'E');
        EXPECT_EQ(gEditMode, c.mode);
        EXPECT_EQ(gStatusText, c.prompt);
        EXPECT_EQ(gStatusLineShown, 1);
        EXPECT_TRUE(frmSchema->grpStatusTekenpost->isHidden());  // the prompt stands over the status strip
        key(Qt::Key_Escape);  // ends the crosshair and the click mode and clears the line
        EXPECT_EQ(gEditMode, 0u);
        EXPECT_EQ(gStatusLineShown, 0);
    }
}

TEST_F(MainWindowInput, ToolLettersAndKeypadKeys) {
    const int tools[] = {Qt::Key_B, Qt::Key_V, Qt::Key_L, Qt::Key_R, Qt::Key_K, Qt::Key_X, Qt::Key_O, Qt::Key_I};
    for (int tool : tools) {
        key(tool);
        EXPECT_EQ(lastEditorCommand(), 'a' + (tool - Qt::Key_A));
        key(Qt::Key_Escape);  // the element's insertion takes every key until it is cancelled
    }
    key(Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(lastEditorCommand(), '5');
    key(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(lastEditorCommand(), '+');
    key(Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(lastEditorCommand(), '-');
}

TEST_F(MainWindowInput, ToolBarClickSelectsATool) {
    gMousePoint = {42, 26};
    int letter = 0;
    if (hitToolbar(letter) != 'l') GTEST_SKIP() << "the tool bar's hit test is not built yet";
    QTest::mouseClick(frmSchema->ClientArea, Qt::LeftButton, {}, QPoint(42, 26));
    EXPECT_EQ(lastEditorCommand(), 'l');
}

TEST_F(MainWindowInput, UndoAndRedoKeysReleaseWhatTheyTakeAway) {
    smallLayout();
    // A block dialog is open on block 1; the journal takes the block away (here: the test does).
    clickDiagram({150, 101}, Qt::RightButton);
    ASSERT_TRUE(frmSektie->isVisible());
    ASSERT_EQ(gSelectedBlock, gBlocks[0]);
    std::unique_ptr<BlockRec> undone = gBlocks.takeAt(0);
    QApplication::setActiveWindow(frmSchema);
    key(Qt::Key_Z);  // without Ctrl nothing happens
    EXPECT_TRUE(frmSektie->isVisible());
    EXPECT_EQ(gSelectedBlock, undone.get());
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(frmSektie->isVisible());
    EXPECT_EQ(gSelectedBlock, nullptr);
    // Redo with Ctrl+Shift: the turnout dialog loses its turnout the same way.
    clickDiagram({320, 201}, Qt::RightButton);
    ASSERT_TRUE(frmWissel->isVisible());
    gTurnouts.takeAt(1).reset();
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(frmWissel->isVisible());
    EXPECT_EQ(gSelectedTurnout, nullptr);
}

TEST_F(MainWindowInput, RightClicksOpenDialogsButNotForACrossing) {
    smallLayout();
    clickDiagram({320, 101}, Qt::RightButton);
    EXPECT_EQ(lastEditorCommand(), 403);
    EXPECT_EQ(gEditMode, 8u);
    EXPECT_FALSE(frmWissel->isVisible());
    clickDiagram({320, 201}, Qt::RightButton);
    EXPECT_TRUE(frmWissel->isVisible());
    EXPECT_EQ(gSelectedTurnout, gTurnouts[1]);
}

TEST_F(MainWindowInput, DeletingTheElementOfAnOpenDialogClosesIt) {
    smallLayout();
    // The editor opens the signal dialog with no open dialog recorded; until the dialog's activation
    // records it, the editor is free and the signal can be deleted.
    clickDiagram({210, 301}, Qt::RightButton);
    ASSERT_TRUE(frmSein->isVisible());
    ASSERT_EQ(gSelectedSignal, gSignals[0]);
    gActiveDialog = 0;
    QApplication::setActiveWindow(frmSchema);
    key(Qt::Key_F7);
    ASSERT_EQ(gEditMode, 7u);
    clickDiagram({210, 301}, Qt::LeftButton);
    EXPECT_EQ(lastEditorCommand(), 404);
    EXPECT_FALSE(frmSein->isVisible());
    EXPECT_EQ(gSelectedSignal, nullptr);
}

TEST_F(MainWindowInput, PointerOverTheDiagramAndTheIgnoredMovementAfterALeftClick) {
    QTest::mouseMove(frmSchema->imgSchema, QPoint(120, 80));
    EXPECT_NE(gPointerInDiagram, 0);
    EXPECT_EQ(gMousePoint, (DiagramPoint{120, 80}));
    EXPECT_EQ(frmSchema->lblInfo->property("Tag").toInt(), 80 * 65536 + 120);
    QTest::mouseMove(frmSchema->ClientArea, QPoint(30, 20));  // over the bare window
    EXPECT_EQ(gPointerInDiagram, 0);
    clickDiagram({200, 200}, Qt::LeftButton);
    EXPECT_EQ(gMouseButton, -1);
    QTest::mouseMove(frmSchema->imgSchema, QPoint(210, 190));
    EXPECT_EQ(gMousePoint, (DiagramPoint{200, 200}));  // the first movement after the click is ignored
    QTest::mouseMove(frmSchema->imgSchema, QPoint(220, 180));
    EXPECT_EQ(gMousePoint, (DiagramPoint{220, 180}));
}

TEST_F(MainWindowInput, CapsLockAndShiftSwitchSnappingOff) {
    vestrel::setCapsLockForTest(1);
    key(Qt::Key_Q);
    EXPECT_EQ(gShiftState, 1);
    EXPECT_EQ(textColour(frmSchema->lblSnapToGrid), vestrel::clBlue);
    vestrel::setCapsLockForTest(0);
    key(Qt::Key_Q);
    EXPECT_EQ(gShiftState, 0);
    EXPECT_EQ(textColour(frmSchema->lblSnapToGrid), vestrel::clGray);
}

TEST_F(MainWindowInput, PageKeysScrollTheView) {
    const int width = gCanvasSize.width;
    key(Qt::Key_PageUp);
    EXPECT_EQ(gLayoutOffset.y, 0);
    key(Qt::Key_PageDown, Qt::ShiftModifier);
    EXPECT_EQ(gLayoutOffset.x, -(width / 2));
    key(Qt::Key_PageUp, Qt::ShiftModifier);
    EXPECT_EQ(gLayoutOffset.x, 0);
}

TEST_F(MainWindowInput, ControlPostWidgetsDuringASession) {
    gRunWithoutTrack = 1;
    frmSchema->FormActivate();
    QTest::mouseClick(frmSchema->btnLok[2], Qt::LeftButton);
    EXPECT_EQ(lastRoutedCommand().target, 'C');
    EXPECT_EQ(lastRoutedCommand().code, 301);
    EXPECT_EQ(lastRoutedCommand().post, 2);
    QTest::mouseClick(frmSchema->btnRich[19], Qt::LeftButton);
    EXPECT_EQ(lastRoutedCommand().code, 303);
    EXPECT_EQ(lastRoutedCommand().post, 19);
    QTest::mousePress(frmSchema->lblSnelheid[5], Qt::RightButton);
    EXPECT_EQ(gActiveRow, 5);
    EXPECT_EQ(gPendingKey, 40);  // held: the speed goes down on every tick
    QTest::mouseRelease(frmSchema->lblSnelheid[5], Qt::RightButton);
    EXPECT_EQ(gPendingKey, 0);
    QTest::mousePress(frmSchema->lblPauze[1], Qt::LeftButton);
    EXPECT_EQ(gActiveRow, 1);
    EXPECT_EQ(gPendingKey, '+');
    QTest::mouseRelease(frmSchema->lblPauze[1], Qt::LeftButton);
    QTest::mouseClick(frmSchema->btnNstop, Qt::LeftButton);
    EXPECT_EQ(lastRoutedCommand().code, 32);
    EXPECT_EQ(lastRoutedCommand().post, 1);
    clickDiagram({100, 100}, Qt::LeftButton);  // a click on the diagram goes to the control post
    EXPECT_EQ(lastRoutedCommand().target, 'C');
    EXPECT_EQ(lastRoutedCommand().code, 0);
    QTest::mouseClick(frmSchema->lblTijd, Qt::LeftButton);
    EXPECT_TRUE(frmTijd->isVisible());
    gRunWithoutTrack = 0;
}

}  // namespace
