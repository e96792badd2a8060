// Quarter turns of the whole layout.
#include "layout/editor/edit_journal.h"
#include "layout/model/geometry.h"
#include "layout/editor/layout_move.h"
#include "layout/model/scale.h"
#include "network/model/net_queue.h"
#include "operation/model/vehicle_positions.h"
#include "shell/model/app_state.h"
#include "steps/editor/step_boxes.h"
#include "layout/editor/turntable_operation.h"

namespace {
// Quarter steps (any integer) as an angle 0, 90, 180 or -90.
int quarterAngle(int steps) {
    const int angle = (steps & 3) * 90;
    return angle == 270 ? -90 : angle;
}

// The layout's bounds; gDrawArea keeps them less the layout offset.
DrawRect boundsLessOffset() {
    const DrawRect b = layoutBounds();
    gDrawArea = {wrappingSub(b.left, gLayoutOffset.x), wrappingSub(b.top, gLayoutOffset.y),
                 wrappingSub(b.right, gLayoutOffset.x), wrappingSub(b.bottom, gLayoutOffset.y)};
    return b;
}

void rotateOnePoint(DiagramPoint& p, const QuarterTurn& turn) { rotatePoints(&p, 0, turn); }

void rotateTracksAndBlocks(const QuarterTurn& turn) {
    // Segment directions count the other way round from the element angles: a turn of +90 on the
    // screen takes a segment's direction 90 degrees down.
    for (TrackRec* t : gTracks) {
        rotatePoints(t->points, t->segments, turn);
        addToAngles(t->segmentAngles, t->segments - 1, -turn.angle);
    }
    for (BlockRec* b : gBlocks) {
        rotatePoints(b->points, b->sections, turn);
        addToAngles(b->sectionAngles, b->sections - 1, -turn.angle);
        for (int s = 0; s < b->sections; ++s)
            rotateQuarterF(b->sectionDirections[s][0], b->sectionDirections[s][1], turn.angle);
    }
}

void rotatePointElements(const QuarterTurn& turn) {
    for (TurnoutRec* w : gTurnouts) {
        rotatePoints(w->legs, lastTurnoutLeg(*w), turn);  // a plain turnout's unused leg stays 0,0
        rotateOnePoint(w->centre, turn);
        w->angle = turnAngle(w->angle, turn.angle);
    }
    for (SignalRec* s : gSignals) {
        rotatePoints(s->outline, 3, turn);
        s->angle = turnAngle(s->angle, turn.angle);
    }
    for (OutputRec* o : gOutputs) {
        rotatePoints(o->outline, 3, turn);
        o->angle = turnAngle(o->angle, turn.angle);
    }
    for (InputRec* i : gInputs) {
        rotateOnePoint(i->anchor, turn);
        rotateOnePoint(i->secondPoint, turn);
        i->angle = turnAngle(i->angle, turn.angle);
    }
}
}  // namespace

// The offsets are reckoned modulo 2^32 like the points they shift (wrappingAdd): bounds and offsets from
// a damaged file may lie anywhere in the 32-bit range.
QuarterTurn rotationOffsets(int newOrientation) {
    // From the orientation the coordinates are really in: after a save or a session stop they are at 0
    // while gOrientation still names the chosen orientation.
    QuarterTurn turn{quarterAngle(newOrientation - gCoordOrientation), 0, 0};
    const DrawRect b = boundsLessOffset();
    const int32_t ox = gLayoutOffset.x;
    const int32_t oy = gLayoutOffset.y;
    switch (turn.angle) {
    case 90: turn.dx = wrappingSub(wrappingSub(b.left, ox), b.top); turn.dy = wrappingSub(wrappingAdd(b.right, b.top), oy); break;
    case 180: turn.dx = wrappingSub(wrappingAdd(b.right, b.left), ox); turn.dy = wrappingSub(wrappingAdd(b.bottom, b.top), oy); break;
    case -90: turn.dx = wrappingSub(wrappingAdd(b.bottom, b.left), ox); turn.dy = wrappingSub(wrappingSub(b.top, oy), b.left); break;
    default: break;
    }
    return turn;
}

QuarterTurn rotationOffsetsBack(int previousOrientation) {
    QuarterTurn turn{quarterAngle(gOrientation - previousOrientation), 0, 0};
    const DrawRect b = boundsLessOffset();
    const int32_t ox = gLayoutOffset.x;
    const int32_t oy = gLayoutOffset.y;
    const int32_t sx = gServerLayoutOffset.x;
    const int32_t sy = gServerLayoutOffset.y;
    const int32_t left = wrappingSub(b.left, ox), right = wrappingSub(b.right, ox);
    const int32_t top = wrappingSub(b.top, oy), bottom = wrappingSub(b.bottom, oy);
    switch (turn.angle) {
    case 90:
        turn.dx = wrappingSub(wrappingSub(left, top), sy);
        turn.dy = wrappingAdd(wrappingAdd(bottom, left), sx);
        break;
    case 180:
        turn.dx = wrappingAdd(wrappingAdd(right, left), sx);
        turn.dy = wrappingAdd(wrappingAdd(bottom, top), sy);
        break;
    case -90:
        turn.dx = wrappingAdd(wrappingAdd(right, top), sy);
        turn.dy = wrappingSub(wrappingSub(top, left), sx);
        break;
    default: break;
    }
    return turn;
}

void rotatePoints(DiagramPoint* points, int last, const QuarterTurn& turn) {
    for (int k = 0; k <= last; ++k) {
        rotateQuarter(points[k], turn.angle);
        points[k].x = wrappingAdd(points[k].x, turn.dx);
        points[k].y = wrappingAdd(points[k].y, turn.dy);
    }
}

void addToAngles(int32_t* angles, int last, int angle) {
    for (int k = 0; k <= last; ++k) angles[k] = turnAngle(angles[k], angle);
}

void rotateTurntable(TurntableRec& t, const QuarterTurn& turn, bool bridgeOnly) {
    const double r = turn.angle * kPi / 180;
    t.bridgeAngle = static_cast<float>(normalizeRadians(t.bridgeAngle - r));
    if (bridgeOnly) return;
    rotateQuarterF(t.centre[0], t.centre[1], turn.angle);
    t.centre[0] += static_cast<float>(turn.dx);
    t.centre[1] += static_cast<float>(turn.dy);
    t.currentAngle = static_cast<float>(normalizeRadians(t.currentAngle - r));
    layoutTurntableAndTell(t, nullptr, nullptr);
}

int rotateLayout(int orientation, int mode) {
    if (mode == 3) gCoordOrientation = gServerOrientation;
    if (mode == 0 && !sessionRunning()) {
        gOrientation = static_cast<uint8_t>(orientation);  // the coordinates follow at session start
        return 0;
    }
    if (orientation == gCoordOrientation) {
        // The coordinates are already there (say after a save during a session); the choice still holds.
        if (mode == 0) gOrientation = static_cast<uint8_t>(orientation);
        return 0;
    }
    if (mode == 1 || mode == 3) gOrientation = gCoordOrientation;
    const QuarterTurn turn = rotationOffsets(orientation);
    if (mode != 2) gOrientation = static_cast<uint8_t>(orientation);
    rotateTracksAndBlocks(turn);
    rotatePointElements(turn);
    for (TurntableRec* t : gTurntables) rotateTurntable(*t, turn, false);
    rotateStepBoxes(turn.angle, turn.dx, turn.dy);
    rotateAllVehiclePositions(turn.angle, turn.dx, turn.dy);
    gSavedLayoutOffset = gLayoutOffset;
    gLayoutOffset = {};
    gCoordOrientation = static_cast<uint8_t>(orientation);
    gPeerTurnAngle = 0;
    emptyEditJournal();  // records journalled before the turn would come back unturned
    netQueueRecord(30, 23, 23, 0, 0, gOrientation);
    return 1;
}
