#include "layout/editor/pick_point.h"

#include "layout/draw/diagram_area.h"
#include "layout/editor/drawing_aids.h"
#include "layout/editor/edit_input.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/pointer_range.h"
#include "operation/control/element_picks.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/window/mouse_pointer.h"
#include "shell/window/status_line.h"

bool gPickingPoint = false;

namespace {

constexpr int kEnter = 13;
constexpr int kEsc = 27;

bool clickModePending() {
    return gEditMode == kEditClickDeletes || gEditMode == kEditClickOpens || gEditMode == kEditClickMoves;
}

void startPicking() {
    gPickingPoint = true;
    gDrawArea = {0, 0, gCanvasSize.width, gCanvasSize.height - 88};
    moveMouseToPoint(gCanvasCentre.x, gCanvasCentre.y);
    hideMousePointer();
    gLastPointer = gMousePoint;
    drawCrosshair(gLastPointer.x, gLastPointer.y);
}

void followPointer() {
    stepCursorByKey();
    if (gMousePoint == gLastPointer) return;
    drawCrosshair(gLastPointer.x, gLastPointer.y);
    clampCursor();
    gLastPointer = gMousePoint;
    drawCrosshair(gLastPointer.x, gLastPointer.y);
}

// A step-program box answers only the right button: on a box that button picks it rather than cancel.
bool rightClickOnStepBox(bool inside) {
    PickHit hit;
    return inside && mouseButtonInput() && gMouseButton == 2 && pickStepBoxAt(-1, hit) != 0;
}

// inside: where the input happened, before the pointer was kept in its range.
int answerInput(bool inside) {
    if (rightClickOnStepBox(inside)) return 2;
    if ((mouseButtonInput() && !inside) || gMouseButton == 2 || gPendingKey == kEsc || gShiftState > 9) {
        gEditMode = kEditIdle;
        return -1;
    }
    if ((inside && gMouseButton == 1) || (!mouseButtonInput() && gPendingKey == kEnter)) return 2;
    return 1;
}

void finishPicking() {
    drawCrosshair(gLastPointer.x, gLastPointer.y);
    gPickingPoint = false;
    clearStatusLine();
    showMousePointer();
}

}  // namespace

int pickPoint() {
    if (!clickModePending()) {
        // The click mode went away under a running pick: leave no crosshair and no flag behind.
        if (gPickingPoint) finishPicking();
        return 0;
    }
    if (!gPickingPoint) {
        startPicking();
        return 1;
    }
    const bool inside = isInDrawingArea(gMousePoint.x, gMousePoint.y) == kInDrawingArea;
    followPointer();
    const int answer = answerInput(inside);
    if (answer != 1) finishPicking();
    return answer;
}
