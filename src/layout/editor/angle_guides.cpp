#include "layout/editor/angle_guides.h"

#include <cmath>
#include <cstdlib>

#include "layout/model/geometry.h"

AngleGuide gAngleGuides[2];

void setAngleGuides(int x, int y, int base, int spread) {
    if (base < -180 || base > 180) {
        gAngleGuides[0].origin.x = 0;
        gAngleGuides[1].origin.x = 0;
        return;
    }
    const int directions[2] = {normalizeAngle(base + spread), normalizeAngle(base - spread)};
    for (int k = 0; k < 2; ++k) {
        AngleGuide& g = gAngleGuides[k];
        g.origin = {x, y};
        g.base = base;
        g.direction = directions[k];
        g.tangent = std::tan(g.direction * kPi / 180);
    }
}

namespace {

// p moved along one axis onto the ray; the axis is the one the ray runs closer to.
DiagramPoint onGuide(const AngleGuide& g, DiagramPoint p) {
    const DiagramPoint o = g.origin;
    const int f = g.direction;
    if ((f >= -60 && f <= 60 && o.x < p.x) || (std::abs(f) > 119 && p.x < o.x))
        return {p.x, roundHalfAway(g.tangent * (p.x - o.x) + o.y)};
    if ((f > 60 && f < 120 && o.y < p.y) || (f >= -119 && f < -60 && p.y < o.y))
        return {roundHalfAway((p.y - o.y) / g.tangent + o.x), p.y};
    return o;
}

}  // namespace

DiagramPoint applyAngleGuide(DiagramPoint p) {
    const AngleGuide& first = gAngleGuides[0];
    if (first.origin.x == 0) return p;
    const int d = angleOfSegment(first.origin.x, first.origin.y, p.x, p.y);
    switch (compareAngles(d, first.base, 60)) {
    case 1: return onGuide(gAngleGuides[0], p);
    case 2: return onGuide(gAngleGuides[1], p);
    default: return p;
    }
}
