#pragma once
// The two angle guides of polyline entry: rays from the last point at base + spread and base - spread.
// A pointer that strays more than 60 degrees from the base direction is drawn back onto the nearer ray.
#include "layout/model/layout_model.h"

struct AngleGuide {
    DiagramPoint origin;  // x 0: the guide is off
    int base = 0;         // the direction the guides spread from
    int direction = 0;    // base + spread (guide 1) or base - spread (guide 2), normalised
    double tangent = 0;   // tangent of the direction
};

extern AngleGuide gAngleGuides[2];

// A base outside -180..180 (999 = no direction) switches both guides off.
void setAngleGuides(int x, int y, int base, int spread);
// The pointer p projected onto the guide it strays towards; p itself when the guides are off or p lies
// within 60 degrees of the base, the origin when p lies behind it.
DiagramPoint applyAngleGuide(DiagramPoint p);
