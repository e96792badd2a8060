// Moving the whole layout by dragging its outline.
#include <gtest/gtest.h>

#include "layout/draw_test_support.h"
#include "layout/journal_test_support.h"
#include "layout/draw/diagram_area.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/layout_move.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/window/status_line.h"
#include "layout/small_layout.h"
#include "test_support.h"

namespace {

// The outline's frame: blue with the not-XOR pen on the silver background.
constexpr uint32_t kFrame = ~(0xFF0000u ^ kBackgroundColour) & 0xFFFFFF;

class MoveLayoutInteractive : public drawtest::DiagramCanvasTest {
protected:
    void SetUp() override {
        DiagramCanvasTest::SetUp();
        gCanvasSize = {640, 480};
        gGridStep = 8;
        deleteEditJournal();
        smalllayout::addTrack({{100, 60}, {160, 60}});
        smalllayout::addInput({200, 120}, 0, 41);  // its second point (210, 120) is the right edge
    }
    static int key(int code) {
        gMouseButton = 0;
        gPendingKey = static_cast<uint8_t>(code);
        const int answer = moveLayoutInteractive();
        gPendingKey = 0;
        return answer;
    }
    static int click(int button) {
        gMouseButton = button;
        const int answer = moveLayoutInteractive();
        gMouseButton = 0;
        return answer;
    }
    testsupport::ScratchDir dir;
};

TEST_F(MoveLayoutInteractive, TheOutlineFollowsTheKeysAndAClickMovesTheLayoutThere) {
    gLayoutOffset = {-40, 0};  // the view is scrolled: the move starts from the layout's origin
    moveLayout(-40, 0);
    ASSERT_EQ(moveLayoutInteractive(), 1);
    EXPECT_TRUE(gMovingLayout);
    EXPECT_EQ(gLayoutOffset.x, 0);
    EXPECT_EQ(gTracks[0]->points[0], (DiagramPoint{100, 60}));
    EXPECT_EQ(gMoveOrigin, (DiagramPoint{100, 60}));
    EXPECT_EQ(gMousePoint, gMoveOrigin);
    EXPECT_EQ(gStatusText,
              "Klik of druk 'enter' als de spoorbaanomtrek op de juiste plaats staat  /  Shift(lock) = snap to grid uit");
    EXPECT_EQ(canvas.Pixel(190, 60), kFrame);
    EXPECT_EQ(canvas.Pixel(190, 80), kBackgroundColour);  // the white brush leaves the inside as it is

    EXPECT_EQ(key(40), 1);
    EXPECT_EQ(key(40), 1);
    EXPECT_EQ(key(39), 1);
    EXPECT_EQ(gMousePoint, (DiagramPoint{108, 76}));
    EXPECT_EQ(canvas.Pixel(190, 60), kBackgroundColour);  // the old frame is gone
    EXPECT_EQ(canvas.Pixel(190, 76), kFrame);
    EXPECT_EQ(canvas.Pixel(217, 100), kFrame);  // same size: right edge 210 + 8, the last column left out

    gEditMode = kEditClickMoves;  // whatever was pending
    EXPECT_EQ(click(1), -1);
    EXPECT_FALSE(gMovingLayout);
    EXPECT_EQ(gTracks[0]->points[0], (DiagramPoint{108, 76}));
    EXPECT_EQ(gInputs[0]->anchor, (DiagramPoint{208, 136}));
    EXPECT_EQ(gDirtyFlags & 2, 2);
    EXPECT_EQ(gEditMode, kEditIdle);
    EXPECT_EQ(gStatusLineShown, 0);
    EXPECT_EQ(gDrawArea, (DrawRect{0, 0, 640, 392}));
}

TEST_F(MoveLayoutInteractive, EditsJournalledBeforeTheMoveComeBackWhereTheLayoutNowIs) {
    const InputRec old = *gInputs[0];
    gInputs[0]->number = 42;
    journalRecordEdit('w', gInputs[0], &old, 0, 0);
    moveLayoutInteractive();
    key(39);
    key(13);
    ASSERT_GT(journalUndoRedo(0), 0);
    EXPECT_EQ(gInputs[0]->number, 41);
    EXPECT_EQ(gInputs[0]->anchor, (DiagramPoint{208, 120}));
}

TEST_F(MoveLayoutInteractive, ClickingAtOnceMovesNothingButMarksTheLayoutChanged) {
    gInputs.clear();  // drawing an input sends its state: only the track stays, which sends nothing
    gNetLinkState = 30;
    gDirtyFlags = 0;
    moveLayoutInteractive();
    gNetOutFill = 0;  // what starting the move sent
    EXPECT_EQ(click(1), -1);
    EXPECT_EQ(gTracks[0]->points[0], (DiagramPoint{100, 60}));
    EXPECT_EQ(gNetOutFill, 0);
    EXPECT_EQ(gDirtyFlags, 2);
}

TEST_F(MoveLayoutInteractive, CancellingLeavesTheLayoutWhereItWas) {
    for (int cancel : {27, -2, 16}) {
        SCOPED_TRACE(cancel);
        gDirtyFlags = 0;
        moveLayoutInteractive();
        key(39);
        if (cancel == -2) {
            EXPECT_EQ(click(2), -1);
        } else if (cancel == 16) {
            gShiftState = 16;  // the finish request
            EXPECT_EQ(key(0), -1);
            gShiftState = 0;
        } else {
            EXPECT_EQ(key(cancel), -1);
        }
        EXPECT_FALSE(gMovingLayout);
        EXPECT_EQ(gTracks[0]->points[0], (DiagramPoint{100, 60}));
        EXPECT_EQ(gDirtyFlags, 0);
    }
}

TEST_F(MoveLayoutInteractive, ThePointerStaysOnTheCanvasAboveTheStatusStrip) {
    moveLayoutInteractive();
    gMousePoint = {300, 400};  // below the drawing area
    EXPECT_EQ(moveLayoutInteractive(), 1);
    EXPECT_EQ(gMousePoint, gMoveOrigin);
    gMousePoint = {640, 392};  // the far corner is still on it
    moveLayoutInteractive();
    EXPECT_EQ(gMousePoint, (DiagramPoint{640, 392}));
}

}  // namespace
