#include "layout/model/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/canvas.h"

int32_t truncatedInt(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

int32_t roundHalfAway(double v) { return truncatedInt(v >= 0 ? v + 0.5 : v - 0.5); }

int angleOfSegment(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const double dx = static_cast<double>(x2) - x1;
    const double dy = static_cast<double>(y2) - y1;
    if (dx == 0) return dy > 0 ? 90 : (dy < 0 ? -90 : 0);
    if (dy == 0) return dx >= 0 ? 0 : 180;
    return roundHalfAway(std::atan2(dy, dx) * 180 / kPi);
}

int normalizeAngle(int degrees) {
    if (degrees > 180) return degrees - 360;
    if (degrees < -179) return degrees + 360;
    return degrees;
}

int32_t turnAngle(int32_t angle, int by) {
    const int64_t sum = int64_t{angle} + by;
    if (sum > -540 && sum <= 540) return normalizeAngle(static_cast<int>(sum));
    int64_t r = sum % 360;
    if (r > 180) r -= 360;
    if (r <= -180) r += 360;
    return static_cast<int32_t>(r);
}

double normalizeAngleF(double degrees) {
    if (degrees > 180) return degrees - 360;
    if (degrees <= -180) return degrees + 360;
    return degrees;
}

int compareAngles(int a, int b, int tolerance) {
    const int d = normalizeAngle(a - b);
    if (d > tolerance) return 1;
    if (d < -tolerance) return 2;
    return 0;
}

double normalizeRadians(double radians) {
    if (radians > kPi) return radians - 2 * kPi;
    if (radians <= -kPi) return radians + 2 * kPi;
    return radians;
}

DiagramPoint rotatePoint(DiagramPoint p, DiagramPoint c, int angle) {
    if (p.x == 0 || angle == 0) return p;
    const int32_t dx = p.x - c.x;
    const int32_t dy = p.y - c.y;
    switch (angle) {
    case 90: return {c.x + dy, c.y - dx};
    case -90: return {c.x - dy, c.y + dx};
    case 180:
    case -180: return {c.x - dx, c.y - dy};
    default: break;
    }
    return rotatePointBy(p, c, angle);
}

DiagramPoint rotatePointBy(DiagramPoint p, DiagramPoint c, double angle) {
    const double dx = static_cast<double>(p.x) - c.x;
    const double dy = static_cast<double>(p.y) - c.y;
    const double g = -angle * kPi / 180;
    return {truncatedInt(dx * std::cos(g) - dy * std::sin(g) + 0.5 + c.x),
            truncatedInt(dx * std::sin(g) + dy * std::cos(g) + 0.5 + c.y)};
}

namespace {
float negated(float v) { return -v; }
int32_t negated(int32_t v) { return wrappingSub(0, v); }  // -(-2^31) stays -2^31 instead of overflowing

template <class T>
void quarterTurn(T& x, T& y, int angle) {
    const T ox = x;
    const T oy = y;
    switch (angle) {
    case 90: x = oy; y = negated(ox); break;
    case -90: x = negated(oy); y = ox; break;
    case 180:
    case -180: x = negated(ox); y = negated(oy); break;
    default: break;
    }
}

// Places the offsets around the anchor and turns them by the element's angle.
template <int N>
void layoutOutline(DiagramPoint (&outline)[N], DiagramPoint anchor, const DiagramPoint (&offsets)[N], int angle) {
    for (int k = 0; k < N; ++k)
        outline[k] = rotatePoint({anchor.x + offsets[k].x, anchor.y + offsets[k].y}, anchor, angle);
}
}  // namespace

void rotateQuarter(DiagramPoint& v, int angle) { quarterTurn(v.x, v.y, angle); }
void rotateQuarterF(float& x, float& y, int angle) { quarterTurn(x, y, angle); }

void layoutTurnout(TurnoutRec& t, DiagramPoint p, int leg) {
    const int32_t L = gTurnoutLength;
    const int32_t B = gTurnoutBranchLength;
    const int32_t G = gGridStep;
    const bool right = t.subtype == 'r';
    DiagramPoint r = p;  // the root, found from the leg held at p
    switch (leg) {
    case 1: r = {p.x - L, p.y}; break;
    case 2: r = {p.x - B, right ? p.y - G : p.y + G}; break;
    case 3: r = {p.x + B - L, p.y - G}; break;
    default: break;
    }
    const DiagramPoint unturned[4] = {
        r, {r.x + L, r.y}, {r.x + B, right ? r.y + G : r.y - G}, {r.x + L - B, r.y + G}};
    for (int k = 0; k < 4; ++k) t.legs[k] = rotatePoint(unturned[k], p, t.angle);
    t.centre = rotatePoint({(2 * r.x + L) / 2, r.y}, p, t.angle);
    if (t.subtype == 'l' || t.subtype == 'r') t.legs[3] = {};
}

void layoutSignal(SignalRec& s, DiagramPoint anchor) {
    static constexpr DiagramPoint kShape[4] = {{0, 0}, {4, -4}, {4, 5}, {12, 0}};
    layoutOutline(s.outline, anchor, kShape, s.angle);
}

void layoutOutput(OutputRec& o, DiagramPoint anchor) {
    static constexpr DiagramPoint kShape[4] = {{0, 0}, {0, 4}, {0, 8}, {10, 0}};
    layoutOutline(o.outline, anchor, kShape, o.angle);
}

void layoutInput(InputRec& i, DiagramPoint anchor) {
    DiagramPoint pts[2];
    static constexpr DiagramPoint kShape[2] = {{0, 0}, {10, 0}};
    layoutOutline(pts, anchor, kShape, i.angle);
    i.anchor = pts[0];
    i.secondPoint = pts[1];
}

namespace {
void takeBridgeGeometry(TurntableRec& t, DiagramPoint a, DiagramPoint b) {
    const double dx = static_cast<double>(b.x) - a.x;
    const double dy = static_cast<double>(b.y) - a.y;
    t.centre[0] = static_cast<float>((static_cast<double>(a.x) + b.x) / 2.0);
    t.centre[1] = static_cast<float>((static_cast<double>(a.y) + b.y) / 2.0);
    t.radius = static_cast<float>(std::sqrt(dx * dx + dy * dy) / 2);
    t.bridgeAngle = static_cast<float>(normalizeRadians(std::atan2(dy, dx)));
    t.currentAngle = t.bridgeAngle;
}

// A ring end's offset from the centre as stored (16 bits), held at the ends of that range.
int16_t ringOffset(double v) { return static_cast<int16_t>(std::clamp(roundHalfAway(v), -32768, 32767)); }

// The most positions whose ends stay a snap tolerance apart on half the pit's circumference.
int maxTurntablePositions(const TurntableRec& t) {
    const int m = truncatedInt(t.radius * kPi / (gSnapTolerance + 1) - 0.5);
    return m < 0 ? 0 : (m > kTurntablePositions ? kTurntablePositions : m);
}

void layoutTurntableRing(TurntableRec& t) {
    const int n = t.positions;
    t.positionSpacing = n ? static_cast<uint8_t>(std::clamp(truncatedInt(t.radius * kPi / n - 0.5), 0, 255)) : 0;
    t.angularSpeed = static_cast<float>(t.bridgeSpeed * 0.1 * 0.001);
    for (int k = 0; k < n; ++k) {
        const double a = normalizeRadians(k * kPi / n + t.bridgeAngle);
        const double c = std::cos(a);
        const double s = std::sin(a);
        t.outerEnds[k][0] = ringOffset(-t.radius * c);
        t.outerEnds[k][1] = ringOffset(-t.radius * s);
        t.innerEnds[k][0] = ringOffset(-(t.radius - 6) * c);
        t.innerEnds[k][1] = ringOffset(-(t.radius - 6) * s);
    }
    for (int k = n; k < kTurntablePositions; ++k) {
        if (t.outerEnds[k][0] == 0 && t.outerEnds[k][1] == 0) continue;
        t.outerEnds[k][0] = t.outerEnds[k][1] = 0;
        t.innerEnds[k][0] = t.innerEnds[k][1] = 0;
        t.positionOfConnection[k] = 0;
    }
}
}  // namespace

int layoutTurntable(TurntableRec& t, const DiagramPoint* first, const DiagramPoint* second) {
    t.positionOfConnection[0] = 1;
    if (first && second) takeBridgeGeometry(t, *first, *second);
    int fits = 1;
    const int m = maxTurntablePositions(t);
    if (t.positions > m) {
        t.positions = static_cast<uint8_t>(m);
        fits = 0;
    }
    layoutTurntableRing(t);
    return fits;
}

std::string turntablePositionLimitText(const TurntableRec& t) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "Het maximaal aantal aansluitingen van draaischijf %d is %d bij deze draaischijfafmeting en zoomfactor",
                  t.number, t.positions);
    return text;
}

int pointOnSegment(double x1, double y1, double x2, double y2, DiagramPoint p, double e, bool top) {
    const double mx = (x1 + x2) / 2;
    const double my = (y1 + y2) / 2;
    const double hx = std::trunc(std::fabs(x1 - mx));
    const double hy = std::trunc(std::fabs(y1 - my));
    if (p.x + e < mx - hx || p.x - e > mx + hx || p.y + e < my - hy || p.y - e > my + hy) return 0;
    if (top) {
        if (std::fabs(p.x - mx) <= e && std::fabs(p.y - my) <= e) {
            const double toFirst = std::hypot(p.x - x1, p.y - y1);
            return std::sqrt(hx * hx + hy * hy) > toFirst ? 1 : 2;
        }
    } else if (hx < e || hy < e || (hx == 0 && hy == 0)) {
        // Close enough; a piece shrunk to a point also ends the halving when e is below 1.
        return 1;
    }
    if (pointOnSegment(x1, y1, mx, my, p, e, false)) return 1;
    if (pointOnSegment(mx, my, x2, y2, p, e, false)) return 2;
    return 0;
}
