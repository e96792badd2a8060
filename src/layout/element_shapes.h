#pragma once
// Element shapes and the angle arithmetic shared by the layout code.
#include "layout/layout_model.h"

constexpr double kPi = 3.14159;  // the value every degree/radian conversion and the turntable layout use

// Whole degrees into -179..180, corrected once by 360.
int normalizeAngle(int degrees);
// Radians into -pi..pi (pi = 3.14159), corrected once.
double normalizeRadians(double radians);
// Half away from zero.
int roundHalfAway(double v);

// Lays a turntable out from its bridge track's two points (first == nullptr: from the stored centre,
// radius and bridge angle): centre, radius, bridge angle, ring ends and spacing. Returns 0 when the
// turntable had more positions than fit on its ring at this zoom (they are cut back), else 1.
int layoutTurntable(TurntableRec* t, const DiagramPoint* first, DiagramPoint second);
