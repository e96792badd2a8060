// Moving the whole layout by dragging its outline.
#include "layout/draw/diagram_canvas.h"
#include "layout/editor/edit_input.h"
#include "layout/editor/edit_journal.h"
#include "layout/editor/editor_prompts.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/layout_move.h"
#include "layout/editor/pointer_range.h"
#include "layout/frame/render.h"
#include "layout/model/scale.h"
#include "platform/canvas.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/window/mouse_pointer.h"
#include "shell/window/status_line.h"

DiagramPoint gMoveOrigin;

namespace {

constexpr int kEnter = 13;
constexpr int kEsc = 27;
constexpr uint32_t kOutlineColour = 0xFF0000;  // blue
constexpr uint32_t kWhite = 0xFFFFFF;

DrawRect gOutline;  // where the outline is drawn now

// Not-XOR over a white brush: the inside stays as it is and a second drawing takes the frame away.
void drawOutline() {
    if (!gDiagramCanvas) return;
    vestrel::Canvas& c = *gDiagramCanvas;
    c.Pen = {kOutlineColour, 1, vestrel::PenStyle::Solid, vestrel::PenMode::NotXor};
    c.Brush.Style = vestrel::BrushStyle::Solid;
    c.Brush.Color = kWhite;
    c.Rectangle(gOutline.left, gOutline.top, gOutline.right, gOutline.bottom);
    c.Pen.Mode = vestrel::PenMode::Copy;
}

void startMove() {
    // The view goes back to its origin before the flag is set, so that the step-program boxes go back
    // with it; during the move itself they stay where they are.
    resetDrawingArea();
    gMovingLayout = true;
    showEditorPrompt(
        "Klik of druk 'enter' als de spoorbaanomtrek op de juiste plaats staat  /  Shift(lock) = snap to grid uit");
    gOutline = layoutBounds();
    gMoveOrigin = {gOutline.left, gOutline.top};
    moveMouseToPoint(gMoveOrigin.x, gMoveOrigin.y);
    gLastPointer = gMousePoint;
    drawOutline();
}

bool onCanvas(DiagramPoint p) {
    return p.x >= 0 && p.x <= gCanvasSize.width && p.y >= 0 && p.y <= gCanvasSize.height - 88;
}

void followPointer() {
    stepCursorByKey();
    if (!onCanvas(gMousePoint)) moveMouseToPoint(gLastPointer.x, gLastPointer.y);
    if (gMousePoint == gLastPointer) return;
    drawOutline();
    const int32_t width = gOutline.right - gOutline.left;
    const int32_t height = gOutline.bottom - gOutline.top;
    gOutline = {gMousePoint.x, gMousePoint.y, gMousePoint.x + width, gMousePoint.y + height};
    drawOutline();
    gLastPointer = gMousePoint;
}

int finishMove() {
    gMovingLayout = false;
    redrawSchema(1);
    gEditMode = kEditIdle;
    clearStatusLine();
    gDrawArea = {0, 0, gCanvasSize.width, gCanvasSize.height - 88};
    return -1;
}

}  // namespace

int moveLayoutInteractive() {
    if (!gMovingLayout) {
        startMove();
        return 1;
    }
    followPointer();
    if (gMouseButton == 1 || (!mouseButtonInput() && gPendingKey == kEnter)) {
        const int32_t dx = gMousePoint.x - gMoveOrigin.x;
        const int32_t dy = gMousePoint.y - gMoveOrigin.y;
        moveLayout(dx, dy);
        journalNoteLayoutMove(dx, dy);
        gDirtyFlags |= 2;
        return finishMove();
    }
    if (gMouseButton == 2 || gPendingKey == kEsc || gShiftState > 9) return finishMove();
    return 1;
}
