#include "operation/control/element_picks.h"

#include <algorithm>
#include <cmath>

#include "layout/editor/hit_test.h"
#include "layout/model/geometry.h"
#include "layout/model/layout_model.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "steps/model/step_program.h"

namespace {

constexpr double kLineTolerance = 3;

bool unplaced(DiagramPoint anchor) { return anchor.x == 0 && anchor.y == 0; }

// The line test: 0 off the segment, 1 on its first half, 2 on its second.
int onLine(DiagramPoint a, DiagramPoint b) { return pointOnSegment(a.x, a.y, b.x, b.y, gMousePoint, kLineTolerance); }

bool near(DiagramPoint q, int tolerance) {
    DiagramPoint p = gMousePoint;
    return pointNear(p, q, tolerance, false) != 0;
}

int sessionTolerance(int skip) { return (skip == -1 ? 3 : 2) * gSnapTolerance; }

int lastPointOf(const TrackRec* t) { return std::clamp(t->segments, 0, 3); }
int lastPointOf(const BlockRec* b) { return std::clamp(b->sections, 0, kMaxSections); }

template <class Rec, int N>
int pickPolylineAt(const RecordTable<Rec, N>& table, int code, PickHit& hit) {
    for (int i = 0; i < table.count(); ++i) {
        Rec* r = table[i];
        if (unplaced(r->points[0])) break;
        for (int s = 0; s < lastPointOf(r); ++s) {
            const int half = onLine(r->points[s], r->points[s + 1]);
            if (!half) continue;
            hit = {r, i, s + (half == 2 ? 1 : 0), s, 0};
            return code;
        }
    }
    return 0;
}

// A point element: during a session near its anchor, in the editor on the line a-b of its outline.
template <class Rec, int N, class Anchor, class Line>
int pickPointElementAt(const RecordTable<Rec, N>& table, int code, int skip, int tolerance, Anchor anchor, Line line,
                       PickHit& hit) {
    const bool session = sessionRunning();
    for (int i = 0; i < table.count(); ++i) {
        Rec* r = table[i];
        if (unplaced(anchor(*r))) break;
        if (!session && i == skip) continue;
        const auto [a, b] = line(*r);
        if (session ? near(anchor(*r), tolerance) : onLine(a, b) != 0) {
            hit = {r, i, 0, 0, 0};
            return code;
        }
    }
    return 0;
}

struct Line {
    DiagramPoint a, b;
};

// Ring ends lie within a tolerance of half the arc between neighbouring positions, at most the snap
// tolerance and at least 1.
int ringEndTolerance(const TurntableRec& t, int positions) {
    if (positions <= 0) return 1;
    int tolerance = truncatedInt(t.radius * 3.14159 / positions * 0.5 - 1.5);
    tolerance = std::min<int>(tolerance, gSnapTolerance);
    return tolerance <= 0 ? 1 : tolerance;
}

DiagramPoint ringEnd(const TurntableRec& t, int slot, int side) {
    return {truncatedInt(t.centre[0] + 0.5 + side * t.outerEnds[slot][0]),
            truncatedInt(t.centre[1] + 0.5 + side * t.outerEnds[slot][1])};
}

int ringTrackAt(const TurntableRec& t) {
    const int n = std::min<int>(t.positions, kTurntablePositions);
    const int tolerance = ringEndTolerance(t, n);
    const bool session = sessionRunning();
    for (int p = 0; p < n; ++p) {
        if (session && t.positionOfConnection[p] == 0) continue;
        if (near(ringEnd(t, p, 1), tolerance)) return p + 1;
        if (near(ringEnd(t, p, -1), tolerance)) return p + t.positions + 1;
    }
    return 0;
}

}  // namespace

int pickTrackAt(PickHit& hit) { return sessionRunning() ? 0 : pickPolylineAt(gTracks, 401, hit); }

int pickBlockAt(PickHit& hit) { return pickPolylineAt(gBlocks, 402, hit); }

int pickTurnoutAt(int skip, PickHit& hit) {
    return pickPointElementAt(
        gTurnouts, 403, skip, sessionTolerance(skip), [](const TurnoutRec& t) { return t.centre; },
        [](const TurnoutRec& t) { return Line{t.legs[0], t.legs[1]}; }, hit);
}

int pickSignalAt(int skip, PickHit& hit) {
    return pickPointElementAt(
        gSignals, 404, skip, sessionTolerance(skip), [](const SignalRec& s) { return s.outline[0]; },
        [](const SignalRec& s) { return Line{s.outline[0], s.outline[1]}; }, hit);
}

int pickOutputAt(int skip, PickHit& hit) {
    return pickPointElementAt(
        gOutputs, 405, skip, sessionTolerance(skip), [](const OutputRec& o) { return o.outline[0]; },
        [](const OutputRec& o) { return Line{o.outline[0], o.outline[1]}; }, hit);
}

int pickInputAt(int skip, PickHit& hit) {
    return pickPointElementAt(
        gInputs, 406, skip, 2 * gSnapTolerance, [](const InputRec& i) { return i.anchor; },
        [](const InputRec& i) { return Line{i.anchor, i.secondPoint}; }, hit);
}

int pickTurntableAt(PickHit& hit) {
    for (int i = 0; i < gTurntables.count(); ++i) {
        TurntableRec* t = gTurntables[i];
        const double dx = gMousePoint.x - static_cast<double>(t->centre[0]);
        const double dy = gMousePoint.y - static_cast<double>(t->centre[1]);
        const int64_t distance = truncatedInt(std::sqrt(dx * dx + dy * dy) + 0.5);
        const int64_t radius = truncatedInt(t->radius + 0.5);
        if (distance > radius + gSnapTolerance) continue;
        const int track = distance < radius - gSnapTolerance ? 0 : ringTrackAt(*t);
        hit = {t, i, 0, 0, track};
        return 407;
    }
    return 0;
}

// Inside the box, its edges included.
int pickStepBoxAt(int skip, PickHit& hit) {
    const DiagramPoint m = gMousePoint;
    for (int i = 0; i < gStepPrograms.count(); ++i) {
        StepProgramRec* p = gStepPrograms[i];
        if (i == skip) continue;
        if (m.x >= p->box.left && m.x <= p->box.right && m.y >= p->box.top && m.y <= p->box.bottom) {
            hit = {p, i, 0, 0, 0};
            return 408;
        }
    }
    return 0;
}
