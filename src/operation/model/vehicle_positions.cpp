#include "operation/model/vehicle_positions.h"

// No vehicle records are kept yet, so there is nothing on the track to update, turn or shift.
void updateVehiclePosition(PositionRec&) {}
void rotateVehiclePosition(PositionRec&, int, int32_t, int32_t) {}
void updateAllVehiclePositions() {}
void rotateAllVehiclePositions(int, int32_t, int32_t) {}
void offsetVehiclePositions(int32_t, int32_t) {}
