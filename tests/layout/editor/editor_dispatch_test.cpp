// The editor's command dispatcher: click modes, prompts, the hit order and the file and route commands.
#include <gtest/gtest.h>

#include <memory>

#include "layout/draw/diagram_area.h"
#include "layout/editor/editor_dispatch.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/track_entry.h"
#include "layout/editor_keys.h"
#include "layout/layout_builder.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/config/messages.h"
#include "shell/window/status_line.h"
#include "test_support.h"

namespace {

class EditorDispatch : public ::testing::Test {
protected:
    testsupport::ScratchDir dir;  // deleting and undoing write the edit journal into the working folder
    void SetUp() override {
        gSnapTolerance = 4;
        gEditMode = 0;
        gActiveDialog = 0;
        gDirtyFlags = 0;
        gLayoutFileName = "baan.vtl";
        gDrawArea = {0, 0, 640, 392};
        LayoutBuilder()
            .block(1, {{100, 100}, {150, 100}, {200, 100}})
            .turnout('x', 0, {{300, 100}, {340, 100}, {330, 90}, {310, 110}})
            .turnout('l', 1, {{300, 200}, {340, 200}, {334, 195}});
    }
    static void click(DiagramPoint p, int button) {
        gMousePoint = p;
        gMouseButton = button;
        gPendingKey = 0;
        dispatchEditorCommand(0);
        gMouseButton = 0;
    }
    static void key(int code, int shift = 0) { editorKey(code, shift); }
};

TEST_F(EditorDispatch, MenuCommandsPromptAndSetTheClickMode) {
    struct Case {
        int code;
        uint32_t mode;
        const char* prompt;
    } cases[] = {
        {1011, 9, "Klik op de te verplaatsen bouwsteen  of maak andere keuze  /  Shift(lock) = snap to grid uit"},
        {1012, 8, "Klik op de te wijzigen bouwsteen  of maak andere keuze  /  Shift(lock) = snap to grid uit"},
        {1013, 7, "Klik op de te verwijderen bouwsteen  of maak andere keuze  /  Shift(lock) = snap to grid uit"},
        {1016, 9,
         "Klik op het te verplaatsen punt (blok of verbindingsspoor)  of maak andere keuze  /  Shift(lock) = snap to "
         "grid uit"},
    };
    for (const Case& c : cases) {
        dispatchEditorCommand(c.code);
        EXPECT_EQ(gEditMode, c.mode) << c.code;
        EXPECT_EQ(gStatusText, c.prompt);
        if (c.code == 1011 || c.code == 1016) {
            EXPECT_EQ(gMoveWhole, c.code == 1011 ? 1 : 0);
        }
        key(27);  // the crosshair takes every input until Esc ends it and the click mode
        EXPECT_EQ(gEditMode, 0u);
    }
}

TEST_F(EditorDispatch, RightClickOpensALeftClickMovesButACrossingHasNoDialog) {
    click({320, 101}, 2);  // on the crossing's straight line
    EXPECT_EQ(lastEditorCommand(), 403);
    EXPECT_EQ(gEditMode, 8u);
    EXPECT_EQ(gSelectedTurnout, nullptr);
    click({320, 201}, 2);  // the left turnout
    EXPECT_EQ(gSelectedTurnout, turnoutNumbered(1));
    gEditMode = 0;
    click({150, 101}, 1);  // a left click without a click mode moves the block
    EXPECT_EQ(lastEditorCommand(), 402);
    EXPECT_TRUE(gMovingBlock);
    key(27);  // Esc ends the move
    EXPECT_FALSE(gMovingBlock);
    EXPECT_EQ(gEditMode, 0u);
    gEditMode = 8;
    click({170, 99}, 1);  // a block opens on the section clicked
    EXPECT_EQ(gSelectedBlock, blockNumbered(1));
    EXPECT_EQ(gSelectedSection, 1);
}

TEST_F(EditorDispatch, TurnoutsAreHitBeforeBlocks) {
    LayoutBuilder()
        .block(1, {{100, 100}, {150, 100}, {200, 100}})
        .turnout('r', 2, {{140, 100}, {180, 100}, {170, 110}});
    click({160, 100}, 2);
    EXPECT_EQ(lastEditorCommand(), 403);
    click({120, 100}, 2);
    EXPECT_EQ(lastEditorCommand(), 402);
    click({400, 300}, 2);  // nothing there
    EXPECT_EQ(lastEditorCommand(), 0);
}

TEST_F(EditorDispatch, UndoAndRedoNeedCtrl) {
    // Whatever an undo takes away, no dialog keeps it: the block leaves its table as an undo would take it.
    gSelectedBlock = blockNumbered(1);
    std::unique_ptr<BlockRec> undone = gBlocks.takeAt(0);
    key('z');
    EXPECT_EQ(lastEditorCommand(), 'z');
    EXPECT_EQ(gSelectedBlock, undone.get());  // 'z' alone does nothing
    key('z', 4);
    EXPECT_EQ(gSelectedBlock, nullptr);
    gSelectedTurnout = turnoutNumbered(1);
    gTurnouts.takeAt(1).reset();
    key('z', 5);
    EXPECT_EQ(gSelectedTurnout, nullptr);
}

TEST_F(EditorDispatch, DeletingTheElementADialogEditsReleasesIt) {
    gSelectedBlock = blockNumbered(1);
    gSelectedTurnout = turnoutNumbered(1);
    dispatchEditorCommand(1013);
    click({150, 101}, 1);
    EXPECT_EQ(lastEditorCommand(), 402);
    EXPECT_EQ(gSelectedBlock, nullptr);
    EXPECT_EQ(gSelectedTurnout, turnoutNumbered(1));  // other selections stay
}

TEST_F(EditorDispatch, FileCommands) {
    gLayoutFileName = "demo\\station.vtl";
    gDirtyFlags = 1;
    dispatchEditorCommand(1003);
    EXPECT_EQ(lastDialogMessage(), "Dit demobestand kan slechts opgeslagen worden onder een andere naam !");
    EXPECT_EQ(gEditMode, 0u);
    dispatchEditorCommand(1004);  // save as is allowed
    EXPECT_EQ(gEditMode, 22u);
    gLayoutFileName = "baan.vtl";
    dispatchEditorCommand(1003);
    EXPECT_EQ(gEditMode, 21u);
    struct Case {
        int code;
        uint32_t mode;
    } modes[] = {{1001, 19}, {1002, 20}, {1005, 23}, {1015, 11}};
    for (const Case& c : modes) {
        dispatchEditorCommand(c.code);
        EXPECT_EQ(gEditMode, c.mode) << c.code;
    }
}

TEST_F(EditorDispatch, RouteCommandsNeedTwoBlocks) {
    dispatchEditorCommand(1021);
    EXPECT_EQ(gEditMode, 0u);
    LayoutBuilder().block(1, {{100, 100}, {150, 100}, {200, 100}}).block(2, {{300, 300}, {350, 300}, {400, 300}});
    dispatchEditorCommand(1021);
    EXPECT_EQ(gEditMode, 14u);
    gEditMode = 0;
    dispatchEditorCommand(1022);  // no routes yet
    EXPECT_EQ(gEditMode, 0u);
}

TEST_F(EditorDispatch, TheDirectionDialogTakesEveryCommand) {
    key('q');
    gActiveDialog = 4;
    dispatchEditorCommand(1013);
    EXPECT_EQ(gEditMode, 0u);
    EXPECT_EQ(lastEditorCommand(), 'q');
}

TEST_F(EditorDispatch, TurntableToolStartsATurntable) {
    key('d');
    EXPECT_EQ(gTurntableMode, 1);
    EXPECT_EQ(lastEditorCommand(), 'd');
}

}  // namespace
