#pragma once
// Measuring a locomotive's speed curve on the layout: the locomotive runs between two feedback
// inputs a known distance apart, step by step down from the curve dialog's selected step, and each
// passage's time gives that step's speed. The curve dialog's Tag is the state: negative states wait
// for time (stepped by the main cycle), states above 1 wait for feedback (stepped after each new
// feedback image); 1 starts a run, 0 and every other state stop it.
#include <cstdint>

extern uint8_t gCalNegativeEdge;   // 1: the end input counts when it becomes free, 0: when occupied
extern uint8_t gCalOneWay;         // 1: measure forward only and drive back between passages
extern int16_t gCalInput1, gCalInput2;
extern uint8_t gCalStartSide;      // 0 not chosen yet, 1 the passage starts at input 1, 2 at input 2
extern int16_t gCalWatchedInput;
extern uint8_t gCalLastContact;
extern int32_t gCalStartTime;
extern int32_t gCalDeadline;

// One step of the calibration state machine (the argument says who steps it: 1 the main cycle or a
// button, 0 a new feedback image; the state alone decides what happens).
void runSpeedCalibration(int step);
// The model speed at the layout's scale of d centimetres passed in ms milliseconds, whole km/h,
// at most 255 (what a table entry holds).
int measuredSpeed(double centimetres, int32_t ms);
