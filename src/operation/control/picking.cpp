#include "operation/control/picking.h"

#include <algorithm>

#include "layout/editor/hit_test.h"
#include "operation/model/train_model.h"

namespace {

constexpr double kLineTolerance = 3;

bool onLine(DiagramPoint a, DiagramPoint b, DiagramPoint p) {
    return pointOnSegment(a.x, a.y, b.x, b.y, p, kLineTolerance) != 0;
}

bool onPolyline(const DiagramPoint* points, int segments, DiagramPoint p) {
    for (int s = 0; s < segments; ++s)
        if (onLine(points[s], points[s + 1], p)) return true;
    return false;
}

// Every leg from the root; a double slip or crossing also its second line.
bool onTurnout(const TurnoutRec& t, DiagramPoint p) {
    const bool fourLegs = t.subtype == 'k' || t.subtype == 'x';
    if (onLine(t.legs[0], t.legs[1], p) || onLine(t.legs[0], t.legs[2], p)) return true;
    return fourLegs && (onLine(t.legs[2], t.legs[3], p) || onLine(t.legs[0], t.legs[3], p) || onLine(t.legs[1], t.legs[3], p));
}

}  // namespace

// The session's anchor picks would find no connecting track and a turnout only near its centre, so a
// loose wagon on a track or a turnout leg is confirmed by the line tests of the element it names.
bool pickConfirmsVehicleEnd(const PositionRec& end) {
    const DiagramPoint p{static_cast<int32_t>(end.x), static_cast<int32_t>(end.y)};
    if (end.block) return onPolyline(end.block->points, std::clamp(end.block->sections, 0, kMaxSections), p);
    if (end.track) return onPolyline(end.track->points, std::clamp(end.track->segments, 0, 3), p);
    if (end.turnout) return onTurnout(*end.turnout, p);
    return false;
}
