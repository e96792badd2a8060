#pragma once
// The placement loop shared by every point element (turnouts, signals, outputs, inputs, step-program
// boxes) while it is inserted or moved: the element follows the pointer with the crosshair, 'T' and 'W'
// (or the middle button) turn it, a click or Enter commits it, the right button or Esc cancels.
#include <cstdint>

#include "layout/draw/diagram_area.h"
#include "layout/model/layout_model.h"

// Draws the element (drawn a second time over a restored background it simply stands there again).
using PlacedElementDraw = void (*)(void* element);
// 1 accepts the element where it stands, 0 refuses (it stays under the pointer).
using PlacedElementCommit = int (*)(void* element);

// One call per input. points[0..pointCount-1] are the element's outline (0,0 = unused point); angle is
// its angle field. Answers the new gEditMode: 1 following, 2 commit refused, 3 committed (5 when the
// commit asked for a new element), 4 laid out again (turned), 6 cancelled.
int placeElementLoop(void* element, DiagramPoint* points, int pointCount, int32_t& angle, PlacedElementDraw draw,
                     PlacedElementCommit commit);

// The element's area on the diagram (its box widened for the symbol), restored from the back buffer
// when it moves.
const DrawRect& placedElementArea();

// The angle after one turning step: +1 ('T', middle button) or -1 ('W'); with Shift alone by 1 degree,
// otherwise to the next multiple of 15 degrees.
int32_t turnedAngle(int32_t angle, int step, bool fine);
