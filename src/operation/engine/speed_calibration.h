#pragma once
// Calibration of a locomotive's speed curve, run from the curve dialog.

// One step of the calibration; the main cycle steps the waiting states (frmCurve's negative Tag).
void runSpeedCalibration(int step);
