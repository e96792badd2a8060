#pragma once
// Pointing at a spot of the diagram with the crosshair: the first step of the move, modify and delete
// commands (click modes 9, 8 and 7). A step function, called once to start and then for every input.

extern bool gPickingPoint;  // set while pickPoint runs; the input routing then hands every input to it

// 0 when no click mode is pending, 1 while waiting, 2 when the user chose the spot (gMousePoint; the
// dispatcher then hit-tests it and acts by the click mode), -1 when cancelled (click mode 0).
int pickPoint();
