#include "layout/editor/polyline_drag.h"

#include <cstdlib>

#include "layout/draw/diagram_area.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/entry_aids.h"
#include "layout/editor/entry_state.h"
#include "layout/model/geometry.h"
#include "layout/editor/hit_test.h"
#include "layout/editor/layout_move.h"
#include "layout/editor/measure_readouts.h"
#include "layout/editor/pointer_range.h"
#include "shell/model/app_state.h"
#include "shell/window/input_routing.h"
#include "shell/model/input_state.h"
#include "shell/window/mouse_pointer.h"

namespace {

constexpr int kEnter = 13;
constexpr int kEscape = 27;

// Accepting and cancelling a drag; answers whether the input decided it.
bool decided() {
    const bool inside = isInDrawingArea(gMousePoint.x, gMousePoint.y) == kInDrawingArea;
    const bool left = gMouseButton == 1;
    if ((left && !inside) || gMouseButton == 2 || gPendingKey == kEscape || gShiftState > 9) {
        gEditMode = kEditCancelled;
        setRubberBands(nullptr, 0);
        eraseEntryCrosshair();
        return true;
    }
    if ((left || gPendingKey == kEnter) && inside) {
        gEditMode = kEditCommitted;
        return true;
    }
    return false;
}

int lastOf(const Polyline& line) { return *line.last; }

// The direction the segment after point k should keep near: the segment after k + 1, or at the last point
// the way into the element joined there.
int referenceAfter(const Polyline& line, int k) {
    const int last = lastOf(line);
    if (k + 1 < last) return line.angles[k + 1];
    DiagramPoint end = line.points[last];
    const ConnectionHit hit = findConnectionAt(end, line.record);
    return hit.one() && hit.angle != kNoDirection ? normalizeAngle(hit.angle + 180) : kNoDirection;
}

bool near(int direction, int reference) {
    return reference == kNoDirection || compareAngles(direction, reference, 60) == 0;
}

bool apart(DiagramPoint q, DiagramPoint a, DiagramPoint b, int minimum) {
    return (std::abs(q.x - a.x) >= minimum && std::abs(q.x - b.x) >= minimum) ||
           (std::abs(q.y - a.y) >= minimum && std::abs(q.y - b.y) >= minimum);
}

void movePointTo(const Polyline& line, int k, DiagramPoint q) {
    DiagramPoint* p = line.points;
    const int before = angleOfSegment(p[k - 1].x, p[k - 1].y, q.x, q.y);
    const int after = angleOfSegment(q.x, q.y, p[k + 1].x, p[k + 1].y);
    const int minimum = line.block ? 3 * gGridStep : gGridStep;
    if (compareAngles(before, after, 60) != 0 || !near(before, gPlacementAngle) ||
        !near(after, gPlacementAngleAfter) || !apart(q, p[k - 1], p[k + 1], minimum))
        return;
    setRubberBands(p, k - 1);
    p[k] = q;
    line.angles[k - 1] = before;
    line.angles[k] = after;
    setRubberBands(p, lastOf(line));
    const SegmentEnds second{p[k], p[k + 1]};
    showSegmentMeasures(p, lastOf(line), {p[k - 1], p[k]}, &second, before, after);
}

// The pointer may go only where the whole polyline stays on the drawing area.
void limitRangeToPolyline(const Polyline& line) {
    const DiagramPoint* p = line.points;
    DrawRect box{p[0].x, p[0].y, p[0].x, p[0].y};
    polylineBounds(p, lastOf(line), box);
    const DiagramPoint m = gMousePoint;
    gDrawArea = {m.x - box.left, m.y - box.top, gCanvasSize.width - (box.right - m.x),
                 gCanvasSize.height - 88 - (box.bottom - m.y)};
}

}  // namespace

int dragPolylinePoint(const Polyline& line, int k) {
    if (k < 1 || k >= lastOf(line)) return static_cast<int>(gEditMode = kEditCancelled);
    const bool start = gEditMode == kEditRestart;
    if (start) {
        gPlacementAngle = polylineReference(line, k);
        gPlacementAngleAfter = referenceAfter(line, k);
    }
    stepCursorByKey();
    if (start || !(gMousePoint == gLastPointer)) {
        moveEntryCrosshair();
        movePointTo(line, k, gMousePoint);
    }
    gEditMode = kEditFollow;
    if (!start) decided();
    return static_cast<int>(gEditMode);
}

int dragPolyline(const Polyline& line) {
    const bool start = gEditMode == kEditRestart;
    if (start) {
        if (gShiftState != 1) {
            followDiagramGrid();
            snapPointToGrid(gMousePoint.x, gMousePoint.y);
            moveMouseToPoint(gMousePoint.x, gMousePoint.y);
        }
        limitRangeToPolyline(line);
    }
    stepCursorByKey();
    if (start || !(gMousePoint == gLastPointer)) {
        const DiagramPoint before = gLastPointer;
        moveEntryCrosshair();
        if (!start) {
            setRubberBands(line.points, 0);
            offsetPoints(line.points, lastOf(line), gLastPointer.x - before.x, gLastPointer.y - before.y);
            setRubberBands(line.points, lastOf(line));
        }
    }
    gEditMode = kEditFollow;
    if (!start) decided();
    return static_cast<int>(gEditMode);
}
