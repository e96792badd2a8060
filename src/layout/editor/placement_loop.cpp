#include "layout/editor/placement_loop.h"

#include "layout/draw/diagram_canvas.h"
#include "layout/editor/drawing_aids.h"
#include "layout/editor/edit_input.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/pointer_range.h"
#include "platform/canvas.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/window/mouse_pointer.h"

namespace {

DrawRect gElementBox;
DrawRect gElementArea;

void restoreArea() {
    if (!gDiagramCanvas || !gBackBuffer) return;
    const vestrel::Rect r{gElementArea.left, gElementArea.top, gElementArea.right, gElementArea.bottom};
    gDiagramCanvas->CopyRect(r, *gBackBuffer, r);
}

// The element was laid out at the pointer: the pointer may go only where the element's box stays on the
// drawing area, 88 pixels above the bottom of the canvas.
void takeLayout(const DiagramPoint* points, int pointCount) {
    pointsBoundsInArea(points, pointCount, gElementBox);
    const DiagramPoint p = gMousePoint;
    gDrawArea = {p.x - gElementBox.left, p.y - gElementBox.top, gCanvasSize.width - (gElementBox.right - p.x),
                 gCanvasSize.height - 88 - (gElementBox.bottom - p.y)};
    gElementArea = {gElementBox.left - 8, gElementBox.top - 8, gElementBox.right + 11, gElementBox.bottom + 9};
    if (isInDrawingArea(p.x, p.y) == kInDrawingArea)
        hideMousePointer();
    else
        showMousePointer();
}

void shiftRect(DrawRect& r, int32_t dx, int32_t dy) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
}

void followPointer(DiagramPoint* points, int pointCount) {
    clampCursor();
    const int32_t dx = gMousePoint.x - gLastPointer.x;
    const int32_t dy = gMousePoint.y - gLastPointer.y;
    shiftRect(gElementBox, dx, dy);
    shiftRect(gElementArea, dx, dy);
    for (int k = 0; k < pointCount; ++k) {
        if (points[k].x == 0 && points[k].y == 0) continue;
        points[k].x += dx;
        points[k].y += dy;
    }
}

bool isPlacementInput() {
    switch (gPendingKey) {
    case ' ':
    case 't':
    case 'w':
    case 13:
    case 27: return true;
    default: return mouseButtonInput() || gShiftState > 9;
    }
}

uint32_t answerInput(void* element, int32_t& angle, PlacedElementCommit commit) {
    const bool inside = isInDrawingArea(gMousePoint.x, gMousePoint.y) == kInDrawingArea;
    const bool left = gMouseButton == 1, right = gMouseButton == 2, middle = gMouseButton == 3;
    if ((left && !inside) || right || gPendingKey == 27 || gShiftState > 9) return kEditCancelled;
    if (!inside) return kEditFollow;
    if (gPendingKey == 't' || gPendingKey == 'w' || middle) {
        angle = turnedAngle(angle, gPendingKey == 'w' ? -1 : 1, gShiftState == 1);
        return kEditRestart;
    }
    if (left || gPendingKey == 13) {
        gEditMode = kEditFollow;
        if (!commit(element)) return kEditRefused;
        return gEditMode == kEditNew ? kEditNew : kEditCommitted;
    }
    return kEditFollow;  // the space bar does nothing here
}

}  // namespace

int32_t turnedAngle(int32_t angle, int step, bool fine) {
    angle = fine ? angle + step : (angle / 15 + step) * 15;
    if (angle > 180) angle -= 360;
    if (angle < -179) angle += 360;
    return angle;
}

const DrawRect& placedElementArea() { return gElementArea; }

int placeElementLoop(void* element, DiagramPoint* points, int pointCount, int32_t& angle, PlacedElementDraw draw,
                     PlacedElementCommit commit) {
    if (gEditMode != kEditCancelled) {
        stepCursorByKey();
        const bool restart = gEditMode == kEditRestart;
        if (restart || !(gMousePoint == gLastPointer)) {
            drawCrosshair(gLastPointer.x, gLastPointer.y);
            restoreArea();
            if (restart)
                takeLayout(points, pointCount);
            else
                followPointer(points, pointCount);
            drawCrosshair(gMousePoint.x, gMousePoint.y);
            draw(element);
            gLastPointer = gMousePoint;
        }
        if (restart) return static_cast<int>(gEditMode = kEditFollow);
        if (isPlacementInput()) {
            gEditMode = kEditFollow;
            gEditMode = answerInput(element, angle, commit);
        }
    }
    if (gEditMode == kEditCancelled) {
        drawCrosshair(gLastPointer.x, gLastPointer.y);
        restoreArea();
    }
    return static_cast<int>(gEditMode);
}
