#pragma once
// The drawing aids of element entry as the insert and move operations keep them: the crosshair at the
// pointer (drawn at gLastPointer while an operation runs) and the dotted rubber bands of the polyline being
// entered. Both are drawn in not-XOR, so each is erased by drawing it again exactly where it stands.
#include "layout/model/layout_model.h"

// The pointer range of entry: the canvas less the 88-pixel strip at the bottom.
void setEntryRange();

// Draws the crosshair at the pointer and remembers it there (gLastPointer).
void showEntryCrosshair();
// Moves the crosshair from where it stands to the pointer, keeping the pointer inside its range first.
void moveEntryCrosshair();
// Erases the crosshair when it is drawn.
void eraseEntryCrosshair();
// The placement loop erased it itself.
void forgetEntryCrosshair();

// Bands 0..count-1 (band k from point k to point k + 1) are drawn afterwards: bands beyond count are erased
// (from the last) where they were drawn, missing ones are drawn between the points as they are now.
void setRubberBands(const DiagramPoint* points, int count);
int rubberBands();
