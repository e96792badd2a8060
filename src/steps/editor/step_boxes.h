#pragma once
// The diagram boxes of the step programs, as the layout-wide operations reach them.
#include <cstdint>

#include "layout/model/layout_model.h"

struct StepProgramRec;

// Adds (dx, dy) to both corners of every box.
void offsetStepBoxes(int32_t dx, int32_t dy);
// Quarter-turns every box's anchor about the origin, shifts it and lays the box out again.
void rotateStepBoxes(int angle, int32_t dx, int32_t dy);
// Draws every step program's box on the diagram (and the back buffer with backBuffer).
void drawStepBoxes(int backBuffer);
// A step program's box: the anchor, and as wide as "program XX" in the main window's font, two lines high.
// Not turned.
void layoutStepBox(StepProgramRec& box, DiagramPoint anchor);
