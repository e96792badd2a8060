#include "layout/editor/turntable_operation.h"

#include <cmath>

#include "layout/model/geometry.h"
#include "layout/model/layout_model.h"
#include "shell/config/messages.h"

namespace {
int32_t roundHalfAway(float v) { return static_cast<int32_t>(v < 0 ? v - 0.5f : v + 0.5f); }
}

void turntableBridgeEnds(TurntableRec* t, float angle, TrackRec* track) {
    if (!t || !track) return;
    const float c = std::cos(angle) * t->radius;
    const float s = std::sin(angle) * t->radius;
    track->points[0] = {roundHalfAway(t->centre[0] - c), roundHalfAway(t->centre[1] - s)};
    track->points[1] = {roundHalfAway(t->centre[0] + c), roundHalfAway(t->centre[1] + s)};
}

int layoutTurntableAndTell(TurntableRec& t, const DiagramPoint* first, const DiagramPoint* second) {
    const int fits = layoutTurntable(t, first, second);
    if (!fits) showDialogMessage(turntablePositionLimitText(t), 1);
    return fits;
}
