#pragma once
// A locomotive's vertical speed bar driven by the mouse: the locomotive dialog and the driving panel
// both let the user point at the step a locomotive is to run at.
struct LocoRec;
class QSlider;

// Where a vertical speed bar stands on its form, in the form's coordinates.
struct SpeedBarRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The step (0..steps) that the point (x, y) asks for on a bar of `steps` steps; -1 when the point is
// off the bar or the bar cannot be read (no steps, a bar too short for them).
int speedBarStepAt(int steps, const SpeedBarRect& bar, int x, int y);

// When (x, y) lies on the bar: sets the bar's maximum to the locomotive's speed steps and moves the
// locomotive's target one control-post step towards the point (row selected when it is there already);
// 1. Otherwise 0, and nothing changes.
int dragLocoSpeedBar(LocoRec& loco, int row, QSlider* bar, int x, int y);
