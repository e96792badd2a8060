#include "operation/engine/speed_calibration.h"

// No calibration can be started yet, so there is no state to step.
void runSpeedCalibration(int) {}
