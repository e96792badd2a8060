#include "operation/engine/train_path.h"

#include <algorithm>
#include <cmath>

#include "layout/model/scale.h"
#include "operation/draw/train_drawing.h"
#include "operation/engine/train_movement.h"
#include "operation/engine/train_placement.h"
#include "operation/model/length_units.h"
#include "operation/model/train_model.h"
#include "operation/model/vehicle_positions.h"
#include "shell/model/input_state.h"
#include "layout/model/geometry.h"

namespace {

constexpr uint8_t kChanged = 0x08;          // run flags A
constexpr uint8_t kHoldsByPresence = 0x08;  // run flags B
constexpr uint8_t kHeldByPresence = 0x20;   // block state and turnout run state

// The points of the element a record or position stands on (a turnout's legs), and the last index.
const DiagramPoint* elementPoints(const BlockRec* b, const TrackRec* tr, const TurnoutRec* tu, int& last) {
    if (tu) {
        last = 3;
        return tu->legs;
    }
    if (tr) {
        last = std::clamp(tr->segments, 0, 3);
        return tr->points;
    }
    if (b) {
        last = std::clamp<int>(b->sections, 0, kMaxSections);
        return b->points;
    }
    last = -1;
    return nullptr;
}

const DiagramPoint* elementPoints(const PathRec& r, int& last) { return elementPoints(r.block, r.track, r.turnout, last); }

// The segment from point `from` to point `to` of the element.
PathRec makeRec(BlockRec* b, TrackRec* tr, TurnoutRec* tu, int from, int to) {
    PathRec r;
    r.block = tu || tr ? nullptr : b;
    r.track = tu ? nullptr : tr;
    r.turnout = tu;
    int last = 0;
    const DiagramPoint* pts = elementPoints(r, last);
    const DiagramPoint a = pts[from], e = pts[to];
    r.x = static_cast<float>(a.x);
    r.y = static_cast<float>(a.y);
    r.section = from;
    r.point = to;
    r.ix = e.x;
    r.iy = e.y;
    r.length = std::hypot(static_cast<float>(e.x - a.x), static_cast<float>(e.y - a.y));
    if (r.length > 0) {
        r.dx = (e.x - a.x) / r.length;
        r.dy = (e.y - a.y) / r.length;
    }
    return r;
}

bool validIndexes(const DiagramPoint* pts, int last, int a, int b) {
    return pts && a >= 0 && b >= 0 && a <= last && b <= last && a != b;
}

// The segment a vehicle end stands on, running from its head-side point to its other point. The head
// keeps its block while it stands on a track or turnout, so those come first.
bool segmentOf(const PositionRec& e, bool forward, PathRec& out) {
    TrackRec* tr = e.turnout ? nullptr : e.track;
    int last = 0;
    const DiagramPoint* pts = elementPoints(e.block, tr, e.turnout, last);
    const int from = forward ? e.sectionB : e.sectionA, to = forward ? e.sectionA : e.sectionB;
    if (!validIndexes(pts, last, from, to)) return false;
    out = makeRec(e.block, tr, e.turnout, from, to);
    return true;
}

bool sameElement(const PathRec& a, const PathRec& b) {
    return a.block == b.block && a.track == b.track && a.turnout == b.turnout;
}
bool sameSegment(const PathRec& a, const PathRec& b) {
    return sameElement(a, b) && a.section == b.section && a.point == b.point;
}

bool joins(const PathRec& a, const PathRec& b) {
    const int t = std::max<int>(gSnapTolerance, 1);
    return std::abs(a.ix - truncatedInt(b.x)) <= t && std::abs(a.iy - truncatedInt(b.y)) <= t;
}

PathRec reversed(const PathRec& r) {
    PathRec v = r;
    v.x = static_cast<float>(r.ix);
    v.y = static_cast<float>(r.iy);
    v.ix = truncatedInt(r.x);
    v.iy = truncatedInt(r.y);
    v.dx = -r.dx;
    v.dy = -r.dy;
    v.section = r.point;
    v.point = r.section;
    return v;
}

// The segment beyond the record's end: the element's next segment, else the next element's.
bool nextSegment(const PathRec& r, PathRec& out) {
    int last = 0;
    const DiagramPoint* pts = elementPoints(r, last);
    if (!pts) return false;
    const int step = r.point - r.section;
    if (!r.turnout && (step == 1 || step == -1) && r.point + step >= 0 && r.point + step <= last) {
        out = makeRec(r.block, r.track, nullptr, r.point, r.point + step);
        return true;
    }
    PositionRec probe;
    probe.block = r.block;
    probe.track = r.track;
    probe.turnout = r.turnout;
    probe.sectionA = r.section;
    probe.sectionB = r.point;
    probe.x = static_cast<float>(r.ix);
    probe.y = static_cast<float>(r.iy);
    if (!probeNextPiece(probe)) return false;
    pts = elementPoints(probe.block, probe.track, probe.turnout, last);
    if (!validIndexes(pts, last, probe.sectionA, probe.sectionB)) return false;
    out = makeRec(probe.block, probe.track, probe.turnout, probe.sectionA, probe.sectionB);
    return true;
}

bool append(TrainPath& path, const PathRec& r) {
    if (path.count >= kMaxPathRecords) return false;
    path.recs[path.count++] = r;
    return true;
}

bool prepend(TrainPath& path, const PathRec& r) {
    if (path.count >= kMaxPathRecords) return false;
    std::copy_backward(path.recs, path.recs + path.count, path.recs + path.count + 1);
    path.recs[0] = r;
    ++path.count;
    return true;
}

template <class F>
void forEachEndInTrainOrder(LocoRec* t, F f) {
    for (WagonRec* w = t->rearChain; w; w = w->next) {
        f(w->front);
        f(w->rear);
    }
    f(t->run.head);
    for (WagonRec* w = t->frontChain; w; w = w->next) {
        f(w->front);
        f(w->rear);
    }
}

// The segments under every vehicle end in train order, joined by the segments between them, and one
// segment more beyond each extreme end where the track goes on; all within the 20 records.
bool buildTrainPath(LocoRec* t, TrainPath& path) {
    const bool forward = t->direction != 'a';
    bool ok = true;
    forEachEndInTrainOrder(t, [&](PositionRec& e) {
        PathRec seg;
        if (!ok || !(ok = segmentOf(e, forward, seg))) return;
        if (path.count == 0) {
            ok = append(path, seg);
            return;
        }
        while (ok && !sameSegment(path.recs[path.count - 1], seg) && !joins(path.recs[path.count - 1], seg)) {
            PathRec between;
            ok = nextSegment(path.recs[path.count - 1], between) && append(path, between);
        }
        if (ok && !sameSegment(path.recs[path.count - 1], seg)) ok = append(path, seg);
    });
    if (!ok || path.count == 0) return false;
    PathRec beyond;
    if (nextSegment(reversed(path.recs[0]), beyond) && !prepend(path, reversed(beyond))) return false;
    if (nextSegment(path.recs[path.count - 1], beyond) && !append(path, beyond)) return false;
    return true;
}

// Puts the end u units along the path; the head keeps its block on a track or turnout.
bool placeOnPath(const TrainPath& path, float u, PositionRec& e, bool isHead, bool forward) {
    if (u < 0 || path.count == 0) return false;
    int i = 0;
    while (i < path.count - 1 && u > path.recs[i].length) u -= path.recs[i++].length;
    const PathRec& r = path.recs[i];
    if (u > r.length + 0.01f) return false;
    e.x = r.x + r.dx * u;
    e.y = r.y + r.dy * u;
    if (isHead && !r.block) {
        e.track = r.track;
        e.turnout = r.turnout;
    } else {
        clearElements(e);
        e.block = r.block;
        e.track = r.track;
        e.turnout = r.turnout;
    }
    e.sectionA = forward ? r.point : r.section;
    e.sectionB = forward ? r.section : r.point;
    updateVehiclePosition(e);
    return true;
}

// The train from its head-side end at u on, with the gaps of the running engine.
bool placeTrainAlong(LocoRec* t, const TrainPath& path, float u) {
    const bool forward = t->direction != 'a';
    bool ok = true;
    auto chain = [&](WagonRec* first) {
        for (WagonRec* w = first; w && ok; w = w->next) {
            ok = placeOnPath(path, u, w->front, false, forward);
            u += w->lengthUnits;
            ok = ok && placeOnPath(path, u, w->rear, false, forward);
            u += 6;
        }
    };
    chain(t->rearChain);
    u += gHalfUnit20cm - 6;
    ok = ok && placeOnPath(path, u, t->run.head, true, forward);
    u += gHalfUnit20cm;
    chain(t->frontChain);
    return ok;
}

// How far the train's other end lies behind its end on the head side, as placeTrainAlong lays it out.
float trainExtent(const LocoRec& t) {
    float u = 0;
    for (const WagonRec* w = t.rearChain; w; w = w->next) u += w->lengthUnits + 6;
    u += gHalfUnit20cm - 6;
    float tail = u;
    u += gHalfUnit20cm;
    for (const WagonRec* w = t.frontChain; w; w = w->next) {
        tail = u + w->lengthUnits;
        u += w->lengthUnits + 6;
    }
    return tail;
}

// The distance along the path to the vehicle end, -1 when it stands on none of its segments.
float pathCoordinate(const TrainPath& path, const PositionRec& e, bool forward) {
    PathRec seg;
    if (!segmentOf(e, forward, seg)) return -1;
    float u = 0;
    for (int i = 0; i < path.count; ++i) {
        const PathRec& r = path.recs[i];
        if (sameSegment(r, seg)) {
            const float along = (e.x - r.x) * r.dx + (e.y - r.y) * r.dy;
            return u + std::clamp(along, 0.f, r.length);
        }
        u += r.length;
    }
    return -1;
}

// The record in which the distance u along the path lies.
const PathRec& recordAt(const TrainPath& path, float u) {
    int i = 0;
    while (i < path.count - 1 && u > path.recs[i].length) u -= path.recs[i++].length;
    return path.recs[i];
}

float distanceTo(const PositionRec& e, DiagramPoint p) { return std::hypot(e.x - p.x, e.y - p.y); }

// The vehicle end that is to stand at the target point.
const PositionRec& referenceEnd(LocoRec* t, WagonRec* w, int m, DiagramPoint target) {
    const PositionRec* r = w ? (m == 1 ? &w->front : &w->rear) : (m == 1 ? &t->run.head : &headSideEnd(*t));
    if (m >= 3) {
        if (const WagonRec* tail = lastWagonOf(t->frontChain))
            if (m == 3 || distanceTo(tail->rear, target) < distanceTo(*r, target)) r = &tail->rear;
    }
    return *r;
}

// Releases what a shunting train held on the path records outside [from, to].
void releaseUncovered(LocoRec* t, const TrainPath& path, float from, float to) {
    float u = 0;
    for (int i = 0; i < path.count; ++i) {
        const PathRec& r = path.recs[i];
        const bool covered = u + r.length >= from && u <= to;
        u += r.length;
        if (covered) continue;
        if (r.turnout && r.turnout->holder == t) {
            r.turnout->holder = nullptr;
            r.turnout->runState &= static_cast<uint8_t>(~kHeldByPresence);
        } else if (r.block && r.block->assignedTrain == t && r.block != t->run.head.block) {
            r.block->assignedTrain = nullptr;
            if (r.block->arrivedTrain == t) r.block->arrivedTrain = nullptr;
        } else if (r.track && r.track->locoOnIt == t->slot + 1) {
            r.track->locoOnIt = 0;
        }
    }
}

bool standing(const LocoRec& t) { return t.speedValue == 0 && t.currentStep == 0; }

// Steps 3 to 6 of bringing the reference end to the target: false when it cannot be done.
bool moveAlongPath(LocoRec* t, WagonRec* w, int m, const TrainPath& path) {
    const bool forward = t->direction != 'a';
    const DiagramPoint target = gMousePoint;
    const PositionRec& ref = referenceEnd(t, w, m, target);
    float h = std::trunc(distanceTo(ref, target));
    if (h > fromCentimetres(scaleLength(50))) return false;
    const float uRef = pathCoordinate(path, ref, forward);
    float uLead = pathCoordinate(path, headSideEnd(*t), forward);
    if (uRef < 0 || uLead < 0) return false;
    // Without a rear chain the train's end lies half a locomotive (less the coupling gap) before the head.
    if (!t->rearChain) uLead -= gHalfUnit20cm - 6;
    // A target behind the reference end along the path (toward the train's other end) counts negative.
    const PathRec& r = recordAt(path, uRef);
    if ((target.x - ref.x) * r.dx + (target.y - ref.y) * r.dy < 0) h = -h;
    // The head-side end moves as far as the reference end is to move.
    h += uLead;
    if (!w && m == 2) h += 8;
    // The whole train stays on the path: from its end on the head side to its other end.
    const float extent = trainExtent(*t);
    h = std::max(std::min(h, path.length() - extent - 2), 0.f);
    if (!placeTrainAlong(t, path, h)) return false;
    if (t->mode == kModeShunting && (t->flags & kLocoForce)) releaseUncovered(t, path, h, h + extent);
    return true;
}

}  // namespace

float TrainPath::length() const {
    float sum = 0;
    for (int i = 0; i < count; ++i) sum += recs[i].length;
    return sum;
}

int placeTrainOnConnection(LocoRec* t, WagonRec* w, int m) {
    if (!t || !onTrack(t->run.head)) return 0;
    TrainPositionImage saved;
    saveTrainPosition(saved, t, 0);
    const bool stands = standing(*t);
    if (stands) eraseTrain(t);
    TrainPath path;
    const bool ok = buildTrainPath(t, path) && moveAlongPath(t, w, m, path);
    if (!ok) saveTrainPosition(saved, t, 1);
    if (stands) drawTrain(t);
    t->run.runFlagsA |= kChanged;
    return ok ? 1 : 0;
}

bool placeTrainBeyondBlockEnd(LocoRec* t, BlockRec* b, float r) {
    const bool towardH = t->heading == 'H';
    PositionRec at;
    int angle = 0;
    float length = 0;
    if (!placeAxleAtDistance(at, b, angle, length, r, towardH, true)) return false;
    // From that point away from the end the train heads for, through the block's other end and on.
    const int k = std::min(at.sectionA, at.sectionB);
    PathRec first = makeRec(b, nullptr, nullptr, towardH ? k + 1 : k, towardH ? k : k + 1);
    first.x = at.x;
    first.y = at.y;
    first.length = std::hypot(first.ix - at.x, first.iy - at.y);
    TrainPath path;
    append(path, first);
    const int need = trainLengthUnits(*t);
    while (path.length() < need) {
        PathRec next;
        if (!nextSegment(path.recs[path.count - 1], next) || !append(path, next)) return false;
    }
    if (!placeTrainAlong(t, path, 0)) return false;
    releasePresenceHolds(t, b);
    for (int i = 0; i < path.count; ++i) holdElementByPresence(t, path.recs[i]);
    t->run.runFlagsB |= kHoldsByPresence;
    return true;
}
