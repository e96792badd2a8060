#include "layout/editor/layout_move.h"

#include <algorithm>

#include "layout/model/geometry.h"
#include "network/model/net_queue.h"
#include "operation/model/vehicle_positions.h"
#include "steps/editor/step_boxes.h"

bool gMovingLayout = false;

void polylineBounds(const DiagramPoint* points, int last, DrawRect& box) {
    for (int k = 0; k <= last; ++k) {
        box.left = std::min(box.left, points[k].x);
        box.top = std::min(box.top, points[k].y);
        box.right = std::max(box.right, points[k].x);
        box.bottom = std::max(box.bottom, points[k].y);
    }
}

void offsetPoints(DiagramPoint* points, int last, int32_t dx, int32_t dy) {
    // Modulo 2^32, so that a far point from a file cannot overflow and a move back restores it exactly.
    const auto add = [](int32_t v, int32_t d) {
        return static_cast<int32_t>(static_cast<uint32_t>(v) + static_cast<uint32_t>(d));
    };
    for (int k = 0; k <= last; ++k) {
        points[k].x = add(points[k].x, dx);
        points[k].y = add(points[k].y, dy);
    }
}

DrawRect layoutBounds() {
    DrawRect box{gCanvasSize.width, gCanvasSize.height, 0, 0};
    for (const TrackRec* t : gTracks) polylineBounds(t->points, t->segments, box);
    for (const BlockRec* b : gBlocks) polylineBounds(b->points, b->sections, box);
    for (const TurnoutRec* w : gTurnouts) polylineBounds(w->legs, lastTurnoutLeg(*w), box);
    for (const SignalRec* s : gSignals) polylineBounds(s->outline, 3, box);
    for (const OutputRec* o : gOutputs) polylineBounds(o->outline, 3, box);
    for (const InputRec* i : gInputs) {
        polylineBounds(&i->anchor, 0, box);
        polylineBounds(&i->secondPoint, 0, box);
    }
    gDrawArea = box;
    return box;
}

void moveLayout(int32_t dx, int32_t dy) {
    if (dx == 0 && dy == 0) return;
    for (TrackRec* t : gTracks) offsetPoints(t->points, t->segments, dx, dy);
    for (BlockRec* b : gBlocks) offsetPoints(b->points, b->sections, dx, dy);
    for (TurnoutRec* w : gTurnouts) {
        // A plain turnout's unused leg stays at 0,0: shifted it would look like a real leg (and a
        // permanent move would store it so).
        offsetPoints(w->legs, lastTurnoutLeg(*w), dx, dy);
        offsetPoints(&w->centre, 0, dx, dy);
    }
    for (SignalRec* s : gSignals) offsetPoints(s->outline, 3, dx, dy);
    for (OutputRec* o : gOutputs) offsetPoints(o->outline, 3, dx, dy);
    for (InputRec* i : gInputs) {
        offsetPoints(&i->anchor, 0, dx, dy);
        offsetPoints(&i->secondPoint, 0, dx, dy);
    }
    for (TurntableRec* t : gTurntables) {
        t->centre[0] += static_cast<float>(dx);
        t->centre[1] += static_cast<float>(dy);
    }
    if (!gMovingLayout) offsetStepBoxes(dx, dy);
    offsetVehiclePositions(dx, dy);
    uint8_t offset[8];
    for (int k = 0; k < 4; ++k) {
        offset[k] = static_cast<uint8_t>(static_cast<uint32_t>(gLayoutOffset.x) >> (8 * k));
        offset[4 + k] = static_cast<uint8_t>(static_cast<uint32_t>(gLayoutOffset.y) >> (8 * k));
    }
    netQueueBlobRecord(30, 22, 22, 0, 0, offset, sizeof offset);
}
