#pragma once
// Pointing at a spot of the diagram with the crosshair (the first step of the move, modify and delete
// commands) and moving the whole layout by dragging its outline. Step functions, as track entry's.

extern bool gPickingPoint;  // set while pickPoint runs (gMovingLayout, layout_move.h, for the layout move)

// 0 when no click mode is pending, 1 while waiting, 2 when the user chose the spot (the dispatcher then
// hit-tests it), -1 when cancelled.
int pickPoint();
// 1 while running, -1 when finished.
int moveLayoutInteractive();
