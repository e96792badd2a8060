#include "layout/editor/hit_test.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "layout/model/geometry.h"
#include "layout/model/turntable_state.h"
#include "shell/model/app_state.h"
#include "shell/config/messages.h"

int pointNear(DiagramPoint& p, DiagramPoint q, int t, bool snap) {
    // 64-bit differences: points read from a damaged file may lie anywhere in the 32-bit range.
    if (std::llabs(int64_t{p.x} - q.x) > t || std::llabs(int64_t{p.y} - q.y) > t) return 0;
    if (snap) p = q;
    return 1;
}

namespace {

int lastPointOf(const TrackRec* t) { return std::clamp(t->segments, 0, 3); }
int lastPointOf(const BlockRec* b) { return std::clamp(b->sections, 0, kMaxSections); }

// Adds one more end found at p; false when the search is over.
template <class Rec>
bool takeEnd(EndHit<Rec>& hit, Rec* element, int end, bool unique) {
    if (hit.element) {
        hit.several = true;
        return false;
    }
    hit.element = element;
    hit.end = end;
    return unique;
}

template <class Rec, int N>
EndHit<Rec> findPolylineEndAt(const RecordTable<Rec, N>& table, DiagramPoint& p, const void* exclude, bool unique) {
    EndHit<Rec> hit;
    for (Rec* r : table) {
        if (r == exclude) continue;
        const int ends[2] = {0, lastPointOf(r)};
        for (int end : ends)
            if (pointNear(p, r->points[end], gSnapTolerance, true) && !takeEnd(hit, r, end, unique)) return hit;
    }
    return hit;
}

// Half the spacing of the ring positions; while a session runs only a bridge reported in position gets
// it, and the editor never snaps from farther than its usual tolerance.
int ringTolerance(const TurntableRec& t) {
    const int half = (t.positionSpacing + 1) / 2;
    if (sessionRunning()) return (turntableStateFlags(t) & kTurntableInPosition) ? half : 1;
    return std::min<int>(half, gSnapTolerance);
}

DiagramPoint ringEnd(const TurntableRec& t, int slot, int side) {
    return {roundHalfAway(t.centre[0] + side * t.outerEnds[slot][0]),
            roundHalfAway(t.centre[1] + side * t.outerEnds[slot][1])};
}

}  // namespace

EndHit<TrackRec> findTrackEndAt(DiagramPoint& p, const void* exclude) {
    return findPolylineEndAt(gTracks, p, exclude, false);
}

EndHit<BlockRec> findBlockEndAt(DiagramPoint& p, const void* exclude, bool unique) {
    return findPolylineEndAt(gBlocks, p, exclude, unique);
}

EndHit<TurnoutRec> findTurnoutPointAt(DiagramPoint& p, const void* exclude, bool unique) {
    EndHit<TurnoutRec> hit;
    for (TurnoutRec* t : gTurnouts) {
        if (t == exclude) continue;
        for (int k = 0; k < 4; ++k)
            if (pointNear(p, t->legs[k], gSnapTolerance, true) && !takeEnd(hit, t, k, unique)) return hit;
    }
    return hit;
}

TurntableRec* findTurntableTrackAt(DiagramPoint& p, int& end, int& slot, const void* exclude, bool snap) {
    for (TurntableRec* t : gTurntables) {
        if (t == exclude || (t->track && t->track == exclude)) continue;
        const double dx = p.x - static_cast<double>(t->centre[0]);
        const double dy = p.y - static_cast<double>(t->centre[1]);
        const int64_t distance = roundHalfAway(std::sqrt(dx * dx + dy * dy));
        const int64_t radius = roundHalfAway(t->radius);
        const int tolerance = ringTolerance(*t);
        if (distance < radius - tolerance || distance > radius + tolerance) continue;
        // A damaged record may claim more positions than the ring holds.
        const int slots = std::min<int>(t->positions, kTurntablePositions);
        for (int k = 0; k < slots; ++k) {
            if (t->positionOfConnection[k] == 0 || (slot != 0 && slot - 1 != k)) continue;
            if (pointNear(p, ringEnd(*t, k, 1), tolerance, snap)) {
                end = k + 1;
            } else if (pointNear(p, ringEnd(*t, k, -1), tolerance, snap)) {
                end = k + t->positions + 1;
            } else {
                continue;
            }
            slot = k + 1;
            return t;
        }
    }
    return nullptr;
}

int turnoutConnectionAngle(const TurnoutRec& t, int point) {
    const int a = usableAngle(t.angle);
    switch (point) {
    case 0: return -a - 180;
    case 1: return -a;
    case 2: return t.subtype == 'r' ? 15 - a : -a - 15;
    default: return 165 - a;
    }
}

namespace {

// The direction in which a polyline leaves its first or last point.
int polylineEndAngle(const int32_t* angles, int last, int end) {
    if (last < 1) return 0;
    return end == 0 ? usableAngle(angles[0]) - 180 : usableAngle(angles[last - 1]);
}

void describeEnd(ConnectionHit& hit) {
    int angle = 0;
    switch (hit.kind) {
    case 'k': angle = turnoutConnectionAngle(*hit.turnout, hit.end); break;
    case 'b':
        angle = polylineEndAngle(hit.block->sectionAngles, lastPointOf(hit.block), hit.end);
        hit.letter = hit.block->allowedDirection;
        break;
    case 'v': angle = polylineEndAngle(hit.track->segmentAngles, lastPointOf(hit.track), hit.end); break;
    default: break;
    }
    hit.angle = normalizeAngle(angle);
}

}  // namespace

ConnectionHit findConnectionAt(DiagramPoint& p, const void* exclude) {
    ConnectionHit hit;
    int end = 0, slot = 0;
    if (TurntableRec* t = findTurntableTrackAt(p, end, slot, exclude, true)) {
        // The ring's own bridge positions are the bridge track's ends, found below as a track.
        if (end != 1 && end != t->positions + 1) {
            hit.kind = 'd';
            hit.turntable = t;
            hit.end = end;
            hit.angle = 999;
            return hit;
        }
    }
    const EndHit<TurnoutRec> k = findTurnoutPointAt(p, exclude, true);
    EndHit<BlockRec> b;
    if (!k.several) b = findBlockEndAt(p, exclude, true);
    EndHit<TrackRec> v;
    if (!b.several && !(k.element && b.element)) v = findTrackEndAt(p, exclude);
    const int kinds = (k.element ? 1 : 0) + (b.element ? 1 : 0) + (v.element ? 1 : 0);
    if (kinds == 0) return hit;
    if (kinds > 1 || k.several || b.several) {
        hit.several = true;
        hit.kind = 0;
        return hit;
    }
    if (k.element) {
        hit.kind = 'k';
        hit.turnout = k.element;
        hit.end = k.end;
    } else if (b.element) {
        hit.kind = 'b';
        hit.block = b.element;
        hit.end = b.end;
    } else {
        hit.kind = 'v';
        hit.track = v.element;
        hit.end = v.end;
    }
    describeEnd(hit);
    return hit;
}

int checkJoinAngle(const void* record, DiagramPoint point, int direction) {
    const ConnectionHit hit = findConnectionAt(point, record);
    if (!hit.one() || hit.angle == 999) return 1;
    if (compareAngles(normalizeAngle(hit.angle + 180), direction, 60) == 0) return 1;
    showDialogMessage("De hoek tussen beide bouwstenen is te klein !", 1);
    return 0;
}
