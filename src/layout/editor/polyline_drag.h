#pragma once
// Moving a polyline that is already drawn: one inner point with its two segments, or the whole polyline.
// One call per input; each answers the new gEditMode: 1 following, 3 accepted (left click or Enter on the
// drawing area), 6 cancelled (right button, Esc, a left click off the drawing area). Mode 4 starts them.
#include "layout/editor/polyline_entry.h"

// Point k (0 < k < last) follows the pointer while its two segments stay within 60 degrees of each other
// and of the segments (or joined element ends) around them, and the pointer keeps the minimum distance
// from both neighbours along x or along y.
int dragPolylinePoint(const Polyline& line, int k);
// Every point follows the pointer's movement; the pointer's range keeps the polyline on the drawing area.
int dragPolyline(const Polyline& line);
