#include "layout/editor/pointer_range.h"

#include <algorithm>

#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/window/mouse_pointer.h"

int gInDrawingArea = 0;
DiagramPoint gLastPointer;

int isInDrawingArea(int32_t x, int32_t y) {
    const DrawRect& a = gDrawArea;
    gInDrawingArea = (a.left < x && x < a.right && a.top < y && y < a.bottom) ? kInDrawingArea : 0;
    return gInDrawingArea;
}

int pointsBoundsInArea(const DiagramPoint* points, int count, DrawRect& box) {
    if (count > 16 || count < 1) return 0;
    box = {points[0].x, points[0].y, points[0].x, points[0].y};
    for (int k = 1; k < count; ++k) {
        const DiagramPoint p = points[k];
        if (p.x != 0) box.left = std::min(box.left, p.x);
        if (p.y != 0) box.top = std::min(box.top, p.y);
        box.right = std::max(box.right, p.x);
        box.bottom = std::max(box.bottom, p.y);
    }
    return (box.left >= 0 && box.top >= 0 && box.right <= gCanvasSize.width && box.bottom <= gCanvasSize.height - 88)
               ? 1
               : 0;
}

void clampCursor() {
    if (isInDrawingArea(gMousePoint.x, gMousePoint.y) == kInDrawingArea) {
        hideMousePointer();
        return;
    }
    showMousePointer();
    const DrawRect& a = gDrawArea;
    moveMouseToPoint(std::clamp(gLastPointer.x, a.left, std::max(a.left, a.right)),
                     std::clamp(gLastPointer.y, a.top, std::max(a.top, a.bottom)));
}

void stepCursorByKey() {
    const int step = gShiftState == 1 ? 1 : gGridStep;
    int dx = 0, dy = 0;
    switch (gPendingKey) {
    case 37: dx = -step; break;
    case 38: dy = -step; break;
    case 39: dx = step; break;
    case 40: dy = step; break;
    default: return;
    }
    moveMouseToPoint(gMousePoint.x + dx, gMousePoint.y + dy);
}
