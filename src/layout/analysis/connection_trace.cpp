// Tracing one way of travel from a block end through tracks and turnouts to the next block.
#include <algorithm>
#include <cstdlib>

#include "layout/analysis/connection_analysis.h"
#include "layout/analysis/connection_report.h"
#include "layout/frame/render.h"

namespace {

std::vector<DiagramPoint> gDeadEnds;

// Leg on and other leg of a turnout, by the leg at which it was entered.
constexpr int kWayOn[4] = {2, 3, 0, 1};
constexpr int kOtherWay[4] = {1, 0, 3, 2};

// The square test with which the editor joins element ends; a hit moves p onto q.
bool joinsAt(DiagramPoint& p, const DiagramPoint& q) {
    int64_t t = gSnapTolerance;
    if (std::llabs(int64_t{p.x} - q.x) > t || std::llabs(int64_t{p.y} - q.y) > t) return false;
    p = q;
    return true;
}

// A plain turnout's fourth leg is unused (0,0): it joins nothing.
int legsOf(const TurnoutRec* t) { return (t->subtype == 'l' || t->subtype == 'r') ? 3 : 4; }
int lastPointOf(const TrackRec* t) { return std::clamp(t->segments, 0, 3); }
int lastPointOf(const BlockRec* b) { return std::clamp(b->sections, 0, kMaxSections); }

TurnoutRec* turnoutLegAt(DiagramPoint& p, int& leg, const void* exclude) {
    for (TurnoutRec* t : gTurnouts) {
        if (t == exclude) continue;
        for (int k = 0; k < legsOf(t); ++k) {
            if (joinsAt(p, t->legs[k])) {
                leg = k;
                return t;
            }
        }
    }
    return nullptr;
}

// The first track or block (table order) with its first or last point at p; end is 0 or the last
// point's index.
template <class Rec, int N>
Rec* polylineEndAt(const RecordTable<Rec, N>& table, DiagramPoint& p, int& end, const void* exclude) {
    for (Rec* r : table) {
        if (r == exclude) continue;
        int last = lastPointOf(r);
        if (joinsAt(p, r->points[0])) {
            end = 0;
            return r;
        }
        if (joinsAt(p, r->points[last])) {
            end = last;
            return r;
        }
    }
    return nullptr;
}

int deadEnd(ConnectionRec* c, DiagramPoint p) {
    gDeadEnds.push_back(p);
    drawDeadEndMark(p.x, p.y);
    gConnections.removeAt(gConnections.indexOf(c));
    return 0;
}

// The other way at a branching turnout: a copy of c up to turnout n, which stands straight there.
void traceBranch(const ConnectionRec* c, int n, DiagramPoint from, const TurnoutRec* t, ConnectionReport& report) {
    ConnectionRec* d = newConnection(report);
    if (!d) return;
    d->from = c->from;
    d->direction = c->direction;
    d->loop = c->loop;
    std::copy(c->turnouts, c->turnouts + kConnectionTurnouts, d->turnouts);
    std::copy(c->positions, c->positions + kConnectionTurnouts, d->positions);
    d->positions[n] = 'G';
    traceConnection(d, from, t, report);
}

// Adds turnout t, entered at leg, to c and traces the branch it opens. Returns the leg by which c
// leaves it, or -1 when c holds as many turnouts as a connection can.
int passTurnout(ConnectionRec* c, TurnoutRec* t, int leg, ConnectionReport& report) {
    int n = connectionTurnoutCount(c);
    if (n >= kConnectionTurnouts) {
        report.write("Teveel wissels/kruisingen in verbinding (%d)\n", kConnectionTurnouts);
        return -1;
    }
    c->turnouts[n] = t;
    c->positions[n] = 'R';
    bool plain = t->subtype == 'l' || t->subtype == 'r';
    int way = kWayOn[leg];
    if (t->subtype == 'x' || (plain && leg == 1)) {
        way = kOtherWay[leg];
        c->positions[n] = 'G';
    }
    bool branches = !(t->subtype == 'x' || (plain && (leg == 1 || leg == 2)));
    if (branches) traceBranch(c, n, t->legs[kOtherWay[leg]], t, report);
    return way;
}

// Turns the track so that c runs along it from its first point to its last when c runs 'H', from its
// last to its first when c runs 'T'; returns the end c leaves by.
DiagramPoint followTrack(ConnectionRec* c, TrackRec* t, int end) {
    int last = lastPointOf(t);
    bool outward = c->direction == 'H';
    if (outward ? end == last : end == 0) reverseForDirection(t->points, t->segmentAngles, last, nullptr);
    if (t->flags & 1) c->loop = 1;
    return outward ? t->points[last] : t->points[0];
}

// The loop flag of c once it reached b, from the loop marks and the connections found so far.
void settleLoopFlag(ConnectionRec* c, const BlockRec* b) {
    if (c->from->flags & 1) c->loop = 1;
    for (const ConnectionRec* d : gConnections) {
        if (c->loop && d->loop && d->direction != c->direction && (d->from == c->from || d->to == c->from))
            c->loop = 0;
        else if (d->loop && ((c->from->flags & 1) || (b->flags & 1)) && d->direction == c->direction &&
                 d->to == c->from)
            c->loop = 1;
    }
}

// Starts a connection from b in the given direction at point.
int traceFromBlock(BlockRec* b, char direction, DiagramPoint point, ConnectionReport& report) {
    ConnectionRec* e = newConnection(report);
    if (!e) return 0;
    e->from = b;
    e->direction = direction;
    traceConnection(e, point, b, report);
    return 1;
}

// c has reached b at its point end. A block reached for the first time is turned to the direction in
// which c enters it (a reversing loop swaps it) and traced on from both ends.
int arriveAtBlock(ConnectionRec* c, BlockRec* b, int end, ConnectionReport& report) {
    c->to = b;
    settleLoopFlag(c, b);
    for (const ConnectionRec* d : gConnections)
        if (d->from == b) return 1;
    char direction = ((c->direction == 'H') != (c->loop != 0)) ? 'H' : 'T';
    int last = lastPointOf(b);
    if (direction == 'H' ? end == last : end == 0) reverseForDirection(b->points, b->sectionAngles, last, b);
    DiagramPoint wayOut = direction == 'H' ? b->points[last] : b->points[0];
    DiagramPoint otherEnd = direction == 'H' ? b->points[0] : b->points[last];
    if (!traceFromBlock(b, direction, wayOut, report)) return 0;
    return traceFromBlock(b, direction == 'H' ? 'T' : 'H', otherEnd, report);
}

}  // namespace

int traceConnection(ConnectionRec* c, DiagramPoint point, const void* cameFrom, ConnectionReport& report) {
    int tracksInARow = 0;
    for (;;) {
        int at = 0;
        if (TurnoutRec* t = turnoutLegAt(point, at, cameFrom)) {
            int leg = passTurnout(c, t, at, report);
            if (leg < 0) return 0;
            point = t->legs[leg];
            cameFrom = t;
            tracksInARow = 0;
            continue;
        }
        if (TrackRec* t = polylineEndAt(gTracks, point, at, cameFrom)) {
            // From a track's end the next step depends on nothing else, so more tracks in a row than
            // there are track ends means the way runs round a ring of tracks that never reaches a block.
            if (++tracksInARow > 2 * gTrackCount) return deadEnd(c, point);
            point = followTrack(c, t, at);
            cameFrom = t;
            continue;
        }
        BlockRec* b = polylineEndAt(gBlocks, point, at, cameFrom);
        if (!b) return deadEnd(c, point);
        return arriveAtBlock(c, b, at, report);
    }
}

int connectionTurnoutCount(const ConnectionRec* c) {
    int n = 0;
    while (n < kConnectionTurnouts && c->turnouts[n]) ++n;
    return n;
}

const std::vector<DiagramPoint>& connectionDeadEnds() { return gDeadEnds; }
void clearConnectionDeadEnds() { gDeadEnds.clear(); }
