#pragma once
// Shifting the whole layout and its bounding box.
#include <cstdint>

#include "layout/draw/diagram_area.h"
#include "layout/model/layout_model.h"

// Set while the user drags the layout outline; the step-program boxes then stay where they are.
extern bool gMovingLayout;
// The top-left corner of the layout's outline when the interactive move began.
extern DiagramPoint gMoveOrigin;

// Widens box by points 0..last.
void polylineBounds(const DiagramPoint* points, int last, DrawRect& box);
// Adds (dx, dy) to points 0..last.
void offsetPoints(DiagramPoint* points, int last, int32_t dx, int32_t dy);
// The bounding box of every track, block, turnout, signal, output and input (not turntables or step boxes),
// starting from (canvas width, canvas height, 0, 0); it is also written to gDrawArea.
DrawRect layoutBounds();
// Shifts every element, step-program box and vehicle on the track by (dx, dy) and tells the clients.
void moveLayout(int32_t dx, int32_t dy);
// The interactive move of the whole layout: the user drags its outline (a rectangle following the pointer
// and the arrow keys) and a left click or Enter moves every element there. A step function: called once
// to start, then for every input; 1 while running, -1 when finished.
int moveLayoutInteractive();
