// Pointing with the crosshair: starting, the arrow keys, choosing the spot and cancelling; and the
// delete command of the editor from the pick to undo.
#include <gtest/gtest.h>

#include "layout/draw_test_support.h"
#include "layout/journal_test_support.h"
#include "layout/draw/diagram_area.h"
#include "layout/editor/editor_dispatch.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/pick_point.h"
#include "layout/layout_builder.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/window/status_line.h"
#include "test_support.h"

namespace {

class PickPoint : public drawtest::DiagramCanvasTest {
protected:
    void SetUp() override {
        DiagramCanvasTest::SetUp();
        gCanvasSize = {640, 480};
        gCanvasCentre = {320, 240};
        gGridStep = 8;
        gEditMode = kEditClickDeletes;
        deleteEditJournal();
    }
    // One input to the running pick: a key, or a click of a button at a point.
    static int key(int code, int shift = 0) {
        gMouseButton = 0;
        gPendingKey = static_cast<uint8_t>(code);
        gShiftState = shift;
        const int answer = pickPoint();
        gPendingKey = 0;
        gShiftState = 0;
        return answer;
    }
    static int click(DiagramPoint p, int button) {
        gMousePoint = p;
        gMouseButton = button;
        const int answer = pickPoint();
        gMouseButton = 0;
        return answer;
    }
    // The crosshair's vertical line crosses the row y = 5 at its x.
    bool crosshairAt(int x) const { return canvas.Pixel(x, 5) != kBackgroundColour; }

    testsupport::ScratchDir dir;
};

TEST_F(PickPoint, NothingWithoutAClickMode) {
    gEditMode = kEditIdle;
    EXPECT_EQ(pickPoint(), 0);
    EXPECT_FALSE(gPickingPoint);
    EXPECT_EQ(drawtest::countDrawn(canvas), 0);
    // A click mode that goes away under a running pick takes the crosshair along.
    gEditMode = kEditClickOpens;
    ASSERT_EQ(pickPoint(), 1);
    gEditMode = kEditIdle;
    EXPECT_EQ(pickPoint(), 0);
    EXPECT_FALSE(gPickingPoint);
    EXPECT_EQ(drawtest::countDrawn(canvas), 0);
}

TEST_F(PickPoint, StartsAtTheCentreAndTheArrowKeysMoveTheCrosshair) {
    gDrawArea = {100, 100, 200, 200};  // what an earlier operation left
    ASSERT_EQ(pickPoint(), 1);
    EXPECT_TRUE(gPickingPoint);
    EXPECT_EQ(gMousePoint, (DiagramPoint{320, 240}));
    EXPECT_EQ(gDrawArea, (DrawRect{0, 0, 640, 392}));
    EXPECT_TRUE(crosshairAt(320));

    EXPECT_EQ(key(39), 1);  // right by the grid step
    EXPECT_EQ(key(40, 1), 1);  // down by one pixel with Shift
    EXPECT_EQ(gMousePoint, (DiagramPoint{328, 241}));
    EXPECT_FALSE(crosshairAt(320));
    EXPECT_TRUE(crosshairAt(328));
    EXPECT_EQ(key('q'), 1);  // any other input leaves it running

    EXPECT_EQ(click({328, 241}, 1), 2);
    EXPECT_FALSE(gPickingPoint);
    EXPECT_EQ(gEditMode, kEditClickDeletes);  // the dispatcher acts by it
    EXPECT_EQ(drawtest::countDrawn(canvas), 0);
}

TEST_F(PickPoint, EnterChoosesTheSpotAlsoOutsideTheDrawingArea) {
    pickPoint();
    gMousePoint = {320, 450};
    EXPECT_EQ(key(13), 2);
    EXPECT_FALSE(gPickingPoint);
}

TEST_F(PickPoint, CancellingEndsTheClickMode) {
    struct Case {
        const char* name;
        int (*input)();
    };
    const Case cases[] = {
        {"right button", [] { return click({320, 240}, 2); }},
        {"Esc", [] { return key(27); }},
        {"finish request", [] { return key(0, 16); }},
        {"left click outside the drawing area", [] { return click({320, 420}, 1); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gEditMode = kEditClickMoves;
        setStatusLine("prompt", 1);
        ASSERT_EQ(pickPoint(), 1);
        EXPECT_EQ(c.input(), -1);
        EXPECT_EQ(gEditMode, kEditIdle);
        EXPECT_FALSE(gPickingPoint);
        EXPECT_EQ(gStatusLineShown, 0);
        EXPECT_EQ(drawtest::countDrawn(canvas), 0);
    }
}

TEST_F(PickPoint, DeletingABlockThroughTheEditorAndUndoingIt) {
    LayoutBuilder()
        .block(1, {{100, 100}, {150, 100}, {200, 100}})
        .block(2, {{100, 300}, {150, 300}, {200, 300}})
        .signal(11, 1, 'H')
        .signal(12, 1, 'T');
    gEditMode = kEditIdle;
    dispatchEditorCommand(1013);
    ASSERT_TRUE(gPickingPoint);
    gMousePoint = {150, 101};
    gMouseButton = 1;
    dispatchEditorCommand(0);
    gMouseButton = 0;
    ASSERT_EQ(gBlockCount, 1);
    EXPECT_EQ(gSignalCount, 0);

    gPendingKey = 'z';
    gShiftState = 4;  // Ctrl
    for (int k = 0; k < 3; ++k) dispatchEditorCommand(0);
    gPendingKey = 0;
    gShiftState = 0;
    ASSERT_EQ(gBlockCount, 2);
    ASSERT_EQ(gSignalCount, 2);
    EXPECT_EQ(gSignals[0]->block, gBlocks[0]);
    EXPECT_EQ(gSignals[1]->block, gBlocks[0]);
    EXPECT_TRUE(journaltest::everyOwnIndexTrue());
}

}  // namespace
