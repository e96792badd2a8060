#pragma once
// The range the pointer may take while an editor operation runs (gDrawArea) and the tests against it.
#include <cstdint>

#include "layout/draw/diagram_area.h"
#include "layout/model/layout_model.h"

constexpr int kInDrawingArea = 3;
extern int gInDrawingArea;  // 3 when the last tested point lay inside the pointer range, else 0

// 3 when left < x < right and top < y < bottom of gDrawArea (edges excluded), else 0; also kept in
// gInDrawingArea.
int isInDrawingArea(int32_t x, int32_t y);

// Where the pointer stood at the last step of the running operation: its crosshair is drawn there.
extern DiagramPoint gLastPointer;

// Inside the pointer range the mouse pointer is hidden (the crosshair stands for it); outside it is shown
// and put back to its last position, clamped into the range.
void clampCursor();
// The arrow keys (gPendingKey 37..40) move the pointer by the grid step, by 1 pixel with Shift alone.
void stepCursorByKey();

// The box of points[0..count-1]: its minima over the first point and every other coordinate that is not
// 0 (unused points lie at 0,0), its maxima over all. 1 when it lies on the canvas above the 88-pixel
// strip at the bottom; 0 otherwise, and for more than 16 points.
int pointsBoundsInArea(const DiagramPoint* points, int count, DrawRect& box);
