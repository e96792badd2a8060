#include "layout/editor/polyline_entry.h"

#include <algorithm>

#include "layout/editor/angle_guides.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/entry_aids.h"
#include "layout/editor/entry_state.h"
#include "layout/model/geometry.h"
#include "layout/editor/hit_test.h"
#include "layout/editor/measure_readouts.h"
#include "layout/editor/pointer_range.h"
#include "layout/model/scale.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/config/messages.h"

namespace {

constexpr int kBackspace = 8;
constexpr int kEnter = 13;
constexpr int kEscape = 27;

char gJoinLetter = 0;       // allowed direction of the last block joined

int minimumLength(const Polyline& line) {
    if (line.block) return 3 * gUnit3cm;
    return gTurntableMode ? 6 * gUnit3cm : gUnit3cm;
}

bool pointerInside() { return isInDrawingArea(gMousePoint.x, gMousePoint.y) == kInDrawingArea; }

void startPoint(const Polyline& line, int n) {
    if (n == 0) gJoinLetter = 0;
    gPlacementAngle = polylineReference(line, n);
    if (n == 0)
        setAngleGuides(0, 0, kNoDirection, 60);
    else
        setAngleGuides(line.points[n - 1].x, line.points[n - 1].y, gPlacementAngle, 60);
}

// Point n goes with the pointer, drawn back onto the nearer angle guide.
void followPointer(const Polyline& line, int n) {
    DiagramPoint* p = line.points;
    setRubberBands(p, n - 1);
    moveEntryCrosshair();
    p[n] = applyAngleGuide(gMousePoint);
    if (n == 0) return;
    setRubberBands(p, n);
    const int direction = angleOfSegment(p[n - 1].x, p[n - 1].y, p[n].x, p[n].y);
    showSegmentMeasures(p, n, {p[n - 1], p[n]}, nullptr, gPlacementAngle, direction);
}

bool isEntryInput() {
    switch (gPendingKey) {
    case kBackspace:
    case 'u':
    case kEnter:
    case kEscape: return true;
    default: return gMouseButton > 0 || gShiftState > 9;
    }
}

// Both ends must meet what they join at most 60 degrees off the straight line.
bool joinAnglesFit(const Polyline& line, int n) {
    const DiagramPoint* p = line.points;
    return checkJoinAngle(line.record, p[0], normalizeAngle(line.angles[0] + 180)) &&
           checkJoinAngle(line.record, p[n], line.angles[n - 1]);
}

void commitPolyline(const Polyline& line, int n, PolylineCommit commit) {
    *line.last = n;
    if (!joinAnglesFit(line, n) || !commit(line.record, gJoinLetter)) gEditMode = kEditRefused;
}

// Point n on a free element end, a taken point, or free space.
void joinAt(const Polyline& line, int& n) {
    DiagramPoint* p = line.points;
    DiagramPoint q = p[n];
    const ConnectionHit hit = findConnectionAt(q, line.record);
    if (hit.several) {
        showDialogMessage("Dit punt is reeds bezet !", 1);
        gEditMode = kEditRefused;
        return;
    }
    if (hit.kind == 'b') gJoinLetter = hit.letter;
    if (!(q == p[n])) {  // snapped onto the end
        setRubberBands(p, n - 1);
        p[n] = q;
        if (n > 0) setRubberBands(p, n);
    }
    if (hit.kind == 0)
        gEditMode = gTurntableMode && n >= 1 ? kEditCommitted : kEditRestart;
    else
        gEditMode = n == 0 ? kEditRestart : kEditCommitted;
    if (n > 0) gPlacementAngle = line.angles[n - 1] = angleOfSegment(p[n - 1].x, p[n - 1].y, p[n].x, p[n].y);
    if (gEditMode == kEditRestart) {
        if (n + 1 < line.maxPoints)
            ++n;
        else
            gEditMode = kEditCommitted;
    }
}

void placePoint(const Polyline& line, int& n, PolylineCommit commit) {
    DiagramPoint* p = line.points;
    if (n >= 2 && p[n] == p[n - 1]) {  // the second click of a double click ends the polyline
        setRubberBands(p, n - 1);
        p[n] = {};
        --n;
        gEditMode = kEditCommitted;
    } else if (n >= 1 && segmentLength(p[n - 1], p[n]) < minimumLength(line)) {
        return;
    } else {
        joinAt(line, n);
    }
    if (gEditMode == kEditCommitted) commitPolyline(line, n, commit);
}

void removePoint(const Polyline& line, int& n) {
    setRubberBands(line.points, n - 1);
    line.points[n] = {};
    --n;
    gEditMode = kEditRestart;
}

int finishCall(const Polyline& line, int n) {
    for (int k = n + 1; k < line.maxPoints; ++k) line.points[k] = {};
    *line.last = n;
    return static_cast<int>(gEditMode);
}

}  // namespace

Polyline polylineOf(TrackRec& t) { return {&t, t.points, t.segmentAngles, &t.segments, 4, false}; }
Polyline polylineOf(BlockRec& b) { return {&b, b.points, b.sectionAngles, &b.sections, kMaxSections + 1, true}; }

int polylineReference(const Polyline& line, int n) {
    if (n <= 0) return kNoDirection;
    if (n >= 2) return line.angles[n - 2];
    DiagramPoint first = line.points[0];
    const ConnectionHit hit = findConnectionAt(first, line.record);
    return hit.one() ? hit.angle : kNoDirection;
}

int enterPolyline(const Polyline& line, PolylineCommit commit) {
    int n = std::clamp<int>(*line.last, 0, line.maxPoints - 1);
    const bool start = gEditMode == kEditRestart;
    if (start) startPoint(line, n);
    stepCursorByKey();
    if (start || !(gMousePoint == gLastPointer)) followPointer(line, n);
    if (start) {
        gEditMode = kEditFollow;
        return finishCall(line, n);
    }
    if (!isEntryInput()) return finishCall(line, n);
    gEditMode = kEditFollow;
    const bool inside = pointerInside();
    const bool pointInside = isInDrawingArea(line.points[n].x, line.points[n].y) == kInDrawingArea;
    const bool left = gMouseButton == 1;
    if ((left && !inside) || gMouseButton == 2 || gPendingKey == kEscape || gShiftState > 9) {
        gEditMode = kEditCancelled;
    } else if ((left || gPendingKey == kEnter) && inside && pointInside) {
        placePoint(line, n, commit);
    } else if ((gPendingKey == kBackspace || gPendingKey == 'u') && n > 0) {
        removePoint(line, n);
    }
    if (gEditMode == kEditCancelled) {
        setRubberBands(line.points, 0);
        eraseEntryCrosshair();
    }
    return finishCall(line, n);
}
