#pragma once
// The rules that keep a locomotive's speed table consistent.
#include <cstdint>

struct LocoRec;

// Whoever shows a locomotive's straight reference line: called with erase 1 before its maximum speed
// changes here and with 0 after (the curve dialog; null when nothing shows it).
using SpeedLineHook = void (*)(const LocoRec* loco, int erase);
extern SpeedLineHook gSpeedLineHook;

// Entry 0 becomes 0; an all-zero curve is filled linearly up to the maximum speed, otherwise the
// maximum speed is derived from the curve (the top of the straight line with the same mean).
void normaliseSpeedCurve(LocoRec* loco);
// Writes the value into every table entry of step s (1..speed steps); returns the index after the last.
int fillSpeedCurveStep(LocoRec* loco, int step, uint8_t value);
// Milliseconds between two ramp steps: (12 - acceleration) x maximum speed x 10 / speed steps, at
// least 1.
int calcStepDelay(const LocoRec* loco, int acceleration);
