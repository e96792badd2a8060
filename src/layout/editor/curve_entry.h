#pragma once
// A bend in a block: after 'c' the block's next points follow the pointer as a half circle on the chord
// from the last fixed point to the pointer, divided into 3..9 equal pieces (a digit key), bending to one
// side or the other (space bar, while no direction leads into it). A click or Enter takes the curve, the
// right button or Esc return to straight entry.
#include "layout/editor/polyline_entry.h"

// The number of pieces and the bend side (+1 or -1) of the next curve.
extern int gCurvePieces;
extern int gCurveSide;

// One call per input while gEditMode is 31 (curve entry), and for the key 'c' (which starts it while a
// block's point n >= 1 follows the pointer). 1 when the input was taken; 0 when it was not, also after the
// curve was taken (gEditMode 1): straight entry then handles the same click, which fixes the curve's last
// point; 4 back to straight entry; 6 cancelled.
int enterCurve(const Polyline& line);
