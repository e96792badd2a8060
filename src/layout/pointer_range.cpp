#include "layout/pointer_range.h"

#include <algorithm>

int gInDrawingArea = 0;

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
