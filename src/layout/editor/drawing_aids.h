#pragma once
// The editor's drawing aids on the diagram: the crosshair at the pointer, the rubber band of the segment
// being entered and plain guide lines. All are drawn with the not-XOR pen, so that drawing the same aid
// a second time erases it; the pen is left in copy mode.
#include <cstdint>

#include "layout/model/layout_model.h"

// A purple line across the canvas at y and one from the top down to 88 pixels above the bottom at x.
void drawCrosshair(int x, int y);
// A dotted line from a to b; while a turntable is entered also the circle on a-b as its diameter.
void drawRubberSegment(DiagramPoint a, DiagramPoint b);
void drawXorLine(int x1, int y1, int x2, int y2, uint32_t colour);
