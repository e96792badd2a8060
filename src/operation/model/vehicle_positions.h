#pragma once
// Vehicle ends standing on the track, as the layout-wide operations (scale, move, rotation) reach them.
// The walks visit every locomotive on the track, both ends of each coupled vehicle and every loose
// wagon standing on the track.
#include <cstdint>

#include "layout/model/layout_model.h"

struct PositionRec;

// A direction of travel: the unit vector divided by gSpeedFactor, so that speed value x (dx, dy) is the
// distance of one cycle.
struct TravelVector {
    float dx = 0;
    float dy = 0;
};
// (b - a) / length / gSpeedFactor; two equal points give (0, 0).
TravelVector unitVectorBetween(DiagramPoint a, DiagramPoint b);

// Recomputes a position's direction vector from its element's points and gSpeedFactor.
void updateVehiclePosition(PositionRec& p);
// Quarter-turns a position's point and direction and shifts it by (dx, dy).
void rotateVehiclePosition(PositionRec& p, int angle, int32_t dx, int32_t dy);

void updateAllVehiclePositions();
// Also adds the angle to each locomotive's angle field.
void rotateAllVehiclePositions(int angle, int32_t dx, int32_t dy);
void offsetVehiclePositions(int32_t dx, int32_t dy);
