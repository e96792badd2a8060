#include "operation/model/vehicle_positions.h"

#include <cmath>

#include "layout/model/geometry.h"
#include "layout/model/scale.h"
#include "operation/model/train_model.h"

TravelVector unitVectorBetween(DiagramPoint a, DiagramPoint b) {
    const double x = static_cast<double>(b.x) - a.x;
    const double y = static_cast<double>(b.y) - a.y;
    const double length = std::sqrt(x * x + y * y);
    if (length == 0 || gSpeedFactor == 0) return {};
    return {static_cast<float>(x / length / gSpeedFactor), static_cast<float>(y / length / gSpeedFactor)};
}

namespace {

// The two points of the segment the position runs on; false when its indexes lie outside the element.
// The locomotive's head keeps its block while it runs over tracks and turnouts, so those come first.
bool segmentPoints(const PositionRec& p, DiagramPoint& from, DiagramPoint& to) {
    const int a = p.sectionA, b = p.sectionB;
    auto take = [&](const DiagramPoint* points, int last) {
        if (a < 0 || b < 0 || a > last || b > last) return false;
        from = points[a];
        to = points[b];
        return true;
    };
    if (p.turnout) return take(p.turnout->legs, 3);
    if (p.track) return take(p.track->points, p.track->segments);
    if (p.block) return take(p.block->points, p.block->sections);
    return false;
}

// Every vehicle end on the track: the locomotives' heads, both ends of their wagons and of the loose wagons.
template <class F>
void forEachVehicleEnd(F f) {
    for (LocoRec* l : gLocsOnTrack) {
        f(l->run.head);
        for (WagonRec* first : {l->frontChain, l->rearChain})
            for (WagonRec* w = first; w; w = w->next) {
                f(w->front);
                f(w->rear);
            }
    }
    for (int i = 0; i < gWagonCounts.loose && i < gWagons.count(); ++i) {
        f(gWagons[i]->front);
        f(gWagons[i]->rear);
    }
}

}  // namespace

void updateVehiclePosition(PositionRec& p) {
    DiagramPoint from, to;
    if (!segmentPoints(p, from, to)) return;
    const TravelVector v = unitVectorBetween(from, to);
    p.dx = v.dx;
    p.dy = v.dy;
}

void rotateVehiclePosition(PositionRec& p, int angle, int32_t dx, int32_t dy) {
    rotateQuarterF(p.x, p.y, angle);
    p.x += static_cast<float>(dx);
    p.y += static_cast<float>(dy);
    rotateQuarterF(p.dx, p.dy, angle);
    DiagramPoint i{p.ix, p.iy};
    rotateQuarter(i, angle);
    // Modulo 2^32, as the layout's own points turn: a far position must not overflow.
    p.ix = static_cast<int32_t>(static_cast<uint32_t>(i.x) + static_cast<uint32_t>(dx));
    p.iy = static_cast<int32_t>(static_cast<uint32_t>(i.y) + static_cast<uint32_t>(dy));
}

void updateAllVehiclePositions() {
    forEachVehicleEnd([](PositionRec& p) {
        if (onTrack(p)) updateVehiclePosition(p);
    });
}

void rotateAllVehiclePositions(int angle, int32_t dx, int32_t dy) {
    forEachVehicleEnd([&](PositionRec& p) {
        if (onTrack(p)) rotateVehiclePosition(p, angle, dx, dy);
    });
    for (LocoRec* l : gLocsOnTrack) l->lastAngle = static_cast<int16_t>(normalizeAngle(l->lastAngle + angle));
}

void offsetVehiclePositions(int32_t dx, int32_t dy) {
    forEachVehicleEnd([&](PositionRec& p) {
        if (!onTrack(p)) return;
        p.x += static_cast<float>(dx);
        p.y += static_cast<float>(dy);
        p.ix += dx;
        p.iy += dy;
    });
}
