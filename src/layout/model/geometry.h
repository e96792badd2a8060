#pragma once
// Angle arithmetic and the outlines of point elements, with the program's exact rounding.
#include <cstdint>
#include <string>

#include "layout/model/layout_model.h"

// Every conversion between degrees and radians and the turntable layout use this value of pi.
constexpr double kPi = 3.14159;

// Half away from zero: +0.5 for values >= 0, -0.5 below, then truncated toward zero; held at the ends
// of the 32-bit range (coordinates from a damaged file may lie anywhere), NaN as 0.
int32_t roundHalfAway(double v);
// angle + by as normalizeAngle gives it; an angle far outside the circle (a damaged file) is first taken
// modulo 360, without overflow.
int32_t turnAngle(int32_t angle, int by);
// A stored angle for arithmetic: as it stands when it is within a few turns of the circle, else (a
// damaged file) taken modulo 360, so that adding or negating it cannot overflow.
inline int32_t usableAngle(int32_t angle) { return angle > -3600 && angle < 3600 ? angle : turnAngle(angle, 0); }
// Truncated toward zero as a cast would, held at the ends of the 32-bit range, NaN as 0.
int32_t truncatedInt(double v);
// Two's-complement sum and difference modulo 2^32: coordinate shifts and turns of a layout whose points
// lie anywhere in the range never overflow, and turning or moving back restores every point exactly.
constexpr int32_t wrappingAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
constexpr int32_t wrappingSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// Direction of the segment from (x1, y1) to (x2, y2) in whole degrees, -179..180: 0 along +x, 90 along +y
// (down the canvas). Two equal points give 0.
int angleOfSegment(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// Whole degrees into -179..180 by one correction of 360 (so 540 gives 180 and 900 stays out of range).
int normalizeAngle(int degrees);
// Float degrees: above 180 minus 360, not above -180 plus 360 (one correction).
double normalizeAngleF(double degrees);
// 1 when a lies more than tolerance degrees above b, 2 when more than tolerance below it, 0 within it;
// the difference is normalised first, so 179 lies 2 degrees below -179.
int compareAngles(int a, int b, int tolerance);
// Radians: above pi minus 2 pi; not above -pi plus 2 pi (one correction).
double normalizeRadians(double radians);

// Turns p about c by a whole-degree angle; positive turns counter-clockwise on the screen.
// Points with x = 0 (unused legs) and an angle of 0 leave p as it is.
DiagramPoint rotatePoint(DiagramPoint p, DiagramPoint c, int angle);
// The same turn by any angle in degrees, without the quarter-turn shortcuts and the x = 0 rule.
DiagramPoint rotatePointBy(DiagramPoint p, DiagramPoint c, double angle);
// Quarter turns of a vector about the origin: 90 (x, y) -> (y, -x); -90 -> (-y, x); 180 and -180 -> (-x, -y).
// Other angles leave it.
void rotateQuarter(DiagramPoint& v, int angle);
void rotateQuarterF(float& x, float& y, int angle);

// Index of a turnout's last leg: 3 for a double slip or crossing; plain turnouts keep leg 3 unused at 0,0.
inline int lastTurnoutLeg(const TurnoutRec& t) { return (t.subtype == 'k' || t.subtype == 'x') ? 3 : 2; }

// Lays a turnout out with its leg `leg` (0..3) held at p: legs, centre, all turned about p by the turnout's
// angle. Plain turnouts ('l', 'r') keep leg 3 at 0,0.
void layoutTurnout(TurnoutRec& t, DiagramPoint p, int leg);

// Outlines from an anchor and the element's own angle.
void layoutSignal(SignalRec& s, DiagramPoint anchor);
void layoutOutput(OutputRec& o, DiagramPoint anchor);
void layoutInput(InputRec& i, DiagramPoint anchor);
// Lays out the ring of track ends of a turntable. With both points (the bridge track's ends) the centre,
// radius and bridge angle come from them; with first == nullptr the stored ones are used.
// Returns 0 when the pit cannot hold them all: the positions are then limited, and the caller tells the
// user with turntablePositionLimitText.
int layoutTurntable(TurntableRec& t, const DiagramPoint* first, const DiagramPoint* second);
// The message for a turntable whose positions layoutTurntable had to limit.
std::string turntablePositionLimitText(const TurntableRec& t);

// Whether p lies within e of the segment (x1, y1)-(x2, y2), by halving it: 0 not on it, 1 on the first
// half, 2 on the second half. top is set by the caller; the halving steps clear it.
int pointOnSegment(double x1, double y1, double x2, double y2, DiagramPoint p, double e, bool top = true);
