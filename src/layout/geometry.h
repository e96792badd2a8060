#pragma once
// Angle arithmetic and the outlines of point elements, with the program's exact rounding.
#include <cstdint>

#include "layout/layout_model.h"

// Every conversion between degrees and radians and the turntable layout use this value of pi.
constexpr double kPi = 3.14159;

// Half away from zero: +0.5 for values >= 0, -0.5 below, then truncated toward zero.
int32_t roundHalfAway(double v);

// Whole degrees into -179..180 by one correction of 360 (so 540 gives 180, not 180 after two).
int normalizeAngle(int degrees);
// Radians: above pi minus 2 pi; not above -pi plus 2 pi (one correction).
double normalizeRadians(double radians);

// Turns p about c by a whole-degree angle; positive turns counter-clockwise on the screen.
// Points with x = 0 (unused legs) and an angle of 0 leave p as it is.
DiagramPoint rotatePoint(DiagramPoint p, DiagramPoint c, int angle);
// Quarter turns of a vector about the origin: 90 (x, y) -> (y, -x); -90 -> (-y, x); 180 and -180 -> (-x, -y).
// Other angles leave it.
void rotateQuarter(DiagramPoint& v, int angle);
void rotateQuarterF(float& x, float& y, int angle);

// Index of a turnout's last leg: 3 for a double slip or crossing; plain turnouts keep leg 3 unused at 0,0.
inline int lastTurnoutLeg(const TurnoutRec& t) { return (t.subtype == 'k' || t.subtype == 'x') ? 3 : 2; }

// Outlines from an anchor and the element's own angle.
void layoutSignal(SignalRec& s, DiagramPoint anchor);
void layoutOutput(OutputRec& o, DiagramPoint anchor);
void layoutInput(InputRec& i, DiagramPoint anchor);
// Lays out the ring of track ends of a turntable. With both points (the bridge track's ends) the centre,
// radius and bridge angle come from them; with first == nullptr the stored ones are used.
// Returns 0 (after limiting the positions and telling the user) when the pit cannot hold them all.
int layoutTurntable(TurntableRec& t, const DiagramPoint* first, const DiagramPoint* second);
