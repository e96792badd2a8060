#pragma once
// Vehicle ends standing on the track, as the layout-wide operations (scale, move, rotation) reach them.
// The walks visit every locomotive on the track, both ends of each coupled vehicle and every loose
// wagon standing on the track.
#include <cstdint>

struct PositionRec;

// Recomputes a position's direction vector from its element's points and gSpeedFactor.
void updateVehiclePosition(PositionRec& p);
// Quarter-turns a position's point and direction and shifts it by (dx, dy).
void rotateVehiclePosition(PositionRec& p, int angle, int32_t dx, int32_t dy);

void updateAllVehiclePositions();
// Also adds the angle to each locomotive's angle field.
void rotateAllVehiclePositions(int angle, int32_t dx, int32_t dy);
void offsetVehiclePositions(int32_t dx, int32_t dy);
