#pragma once
// The rules that keep a locomotive's speed table consistent.
#include <cstdint>

struct LocoRec;

// Whoever shows a locomotive's straight reference line: called with erase 1 before its maximum speed
// changes here and with 0 after (the curve dialog; null when nothing shows it).
using SpeedLineHook = void (*)(const LocoRec* loco, int erase);
extern SpeedLineHook gSpeedLineHook;

// The maximum speeds the train dialog's "Max" accepts.
constexpr int kLowestTypedMaxSpeed = 70;
constexpr int kHighestTypedMaxSpeed = 255;

// Entry 0 becomes 0; an all-zero curve is filled linearly up to the maximum speed, otherwise the
// maximum speed is derived from the curve (the top of the straight line with the same mean) unless it
// was typed in "Max" since the curve was last edited.
void normaliseSpeedCurve(LocoRec* loco);
// A maximum speed typed in "Max" is marked by repeating it in the first two spare bytes behind it, so
// that it survives normalisation, the locomotive file and the network copies. Editing the curve drops
// the mark: the maximum then follows the curve again. Files of other programs carry no such mark.
void markTypedMaxSpeed(LocoRec* loco);
void dropTypedMaxSpeed(LocoRec* loco);
bool hasTypedMaxSpeed(const LocoRec& loco);
// Writes the value into every table entry of step s (1..speed steps); returns the index after the last.
int fillSpeedCurveStep(LocoRec* loco, int step, uint8_t value);
// Milliseconds between two ramp steps: (12 - acceleration) x maximum speed x 10 / speed steps, at
// least 1.
int calcStepDelay(const LocoRec* loco, int acceleration);
