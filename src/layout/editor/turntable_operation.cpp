#include "layout/editor/turntable_operation.h"

#include <algorithm>
#include <cmath>

#include "layout/model/geometry.h"
#include "layout/model/layout_model.h"
#include "shell/config/messages.h"

namespace {
int32_t roundHalfAway(float v) { return truncatedInt(v < 0 ? v - 0.5f : v + 0.5f); }
}

void turntableBridgeEnds(TurntableRec* t, float angle, TrackRec* track) {
    if (!t || !track) return;
    const float c = std::cos(angle) * t->radius;
    const float s = std::sin(angle) * t->radius;
    track->points[0] = {roundHalfAway(t->centre[0] - c), roundHalfAway(t->centre[1] - s)};
    track->points[1] = {roundHalfAway(t->centre[0] + c), roundHalfAway(t->centre[1] + s)};
}

bool turntableBridgeFollowsCentre(const TurntableRec& t) {
    if (!t.track || t.positions == 0 || !std::isfinite(t.radius) || t.radius <= 0) return false;
    // The bridge ends are rounded to whole units, which moves their middle by at most half a unit.
    constexpr double kTolerance = 1.0;
    const DiagramPoint* ends = t.track->points;
    const double mx = (static_cast<double>(ends[0].x) + ends[1].x) / 2;
    const double my = (static_cast<double>(ends[0].y) + ends[1].y) / 2;
    return std::fabs(t.centre[0] - mx) <= kTolerance && std::fabs(t.centre[1] - my) <= kTolerance;
}

int layoutTurntableAndTell(TurntableRec& t, const DiagramPoint* first, const DiagramPoint* second) {
    const int fits = layoutTurntable(t, first, second);
    if (!fits) showDialogMessage(turntablePositionLimitText(t), 1);
    return fits;
}

int nextTurntableTrack(const TurntableRec* t, int direction) {
    if (!t || t->currentPosition == 0) return 0;
    const int n = std::clamp<int>(t->positions, 1, kTurntablePositions);
    int s = t->currentPosition - 1;
    if (s >= n) s -= n;
    s = std::clamp(s, 0, n - 1);
    // Slot 0 is always connected, so the walk ends within one round.
    for (int k = 0; k < n; ++k) {
        s = (s + (direction < 0 ? n - 1 : 1)) % n;
        if (s == 0 || t->positionOfConnection[s] != 0) return s + 1;
    }
    return 1;
}
