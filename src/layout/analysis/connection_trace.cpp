// Tracing one way of travel from a block end through tracks and turnouts to the next block.
#include <algorithm>
#include <cstdlib>
#include <vector>

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

}  // namespace

// Element ends by grid cell and connections by block, kept while the analysis runs: in place of searching
// every element at each step and every connection at each block reached. The cells are wider than the
// joining tolerance, so every end that can join a point lies in the point's cell or one around it; the
// candidates are then tried in table order with the same test as before, so the first match is the same.
// Tracing turns tracks and blocks around but keeps their two end points, so the index stays true.
class TraceIndex {
public:
    enum Kind : uint8_t { kTurnout, kTrack, kBlock };

    TraceIndex() {
        tolerance_ = gSnapTolerance;
        std::vector<End> ends;
        for (int i = 0; i < gTurnoutCount; ++i)
            for (int k = 0; k < legsOf(gTurnouts[i]); ++k) ends.push_back({gTurnouts[i]->legs[k], kTurnout, i});
        for (int i = 0; i < gTrackCount; ++i) {
            ends.push_back({gTracks[i]->points[0], kTrack, i});
            ends.push_back({gTracks[i]->points[lastPointOf(gTracks[i])], kTrack, i});
        }
        for (int i = 0; i < gBlockCount; ++i) {
            ends.push_back({gBlocks[i]->points[0], kBlock, i});
            ends.push_back({gBlocks[i]->points[lastPointOf(gBlocks[i])], kBlock, i});
        }
        buildGrid(ends);
        for (ConnectionRec* c : gConnections) {
            noteFrom(c);
            if (c->to) noteTo(c);
        }
    }

    // Table indexes of the records of one kind with an end that may join p, in table order.
    const std::vector<int>& near(Kind kind, const DiagramPoint& p) {
        found_.clear();
        if (cells_.empty()) return found_;
        const int64_t c0 = column(int64_t{p.x} - tolerance_), c1 = column(int64_t{p.x} + tolerance_);
        const int64_t r0 = row(int64_t{p.y} - tolerance_), r1 = row(int64_t{p.y} + tolerance_);
        if (c1 < 0 || r1 < 0 || c0 >= columns_ || r0 >= rows_) return found_;
        int visited = 0;
        for (int64_t r = std::max<int64_t>(r0, 0); r <= std::min<int64_t>(r1, rows_ - 1); ++r)
            for (int64_t c = std::max<int64_t>(c0, 0); c <= std::min<int64_t>(c1, columns_ - 1); ++c) {
                const size_t cell = static_cast<size_t>(r * columns_ + c);
                for (uint32_t e = cells_[cell]; e < cells_[cell + 1]; ++e)
                    if (entries_[e].kind == kind) found_.push_back(entries_[e].index);
                ++visited;
            }
        if (visited > 1) {
            std::sort(found_.begin(), found_.end());
            found_.erase(std::unique(found_.begin(), found_.end()), found_.end());
        }
        return found_;
    }

    void noteFrom(ConnectionRec* c) { listOf(from_, c->from).push_back({next_++, c}); }
    void noteTo(ConnectionRec* c) {
        std::vector<Placed>& list = listOf(to_, c->to);
        // Its place of finding, from the short list of its from-block.
        const std::vector<Placed>& leaving = listOf(from_, c->from);
        const auto at = std::find_if(leaving.begin(), leaving.end(), [c](const Placed& p) { return p.c == c; });
        const Placed p{at != leaving.end() ? at->place : 0, c};
        list.insert(std::upper_bound(list.begin(), list.end(), p,
                                     [](const Placed& a, const Placed& b) { return a.place < b.place; }),
                    p);
    }
    void forget(ConnectionRec* c) {
        std::erase_if(listOf(from_, c->from), [c](const Placed& p) { return p.c == c; });
        if (c->to) std::erase_if(listOf(to_, c->to), [c](const Placed& p) { return p.c == c; });
    }
    bool anyFrom(const BlockRec* b) { return !listOf(from_, b).empty(); }
    // Every connection leaving or reaching b, in table order.
    template <class F>
    void forEachAt(const BlockRec* b, F&& f) {
        const std::vector<Placed>& a = listOf(from_, b);
        const std::vector<Placed>& z = listOf(to_, b);
        size_t i = 0, j = 0;
        while (i < a.size() || j < z.size()) {
            if (j == z.size() || (i < a.size() && a[i].place < z[j].place)) {
                f(a[i++].c);
            } else if (i < a.size() && a[i].c == z[j].c) {
                f(a[i++].c);
                ++j;
            } else {
                f(z[j++].c);
            }
        }
    }

private:
    struct End {
        DiagramPoint p;
        Kind kind;
        int index;
    };
    struct Entry {
        Kind kind;
        int index;
    };
    int64_t column(int64_t x) const { return x < minX_ ? -1 : (x - minX_) / cell_; }
    int64_t row(int64_t y) const { return y < minY_ ? -1 : (y - minY_) / cell_; }

    // A dense grid over the ends' bounding box, cells at least twice the tolerance wide so that the
    // square a point can join spans at most two cells each way; wider cells where the box is vast.
    // Each cell's entries lie together in entries_, by kind and then table index.
    void buildGrid(std::vector<End>& ends) {
        if (ends.empty()) return;
        int64_t maxX = ends[0].p.x, maxY = ends[0].p.y;
        minX_ = maxX;
        minY_ = maxY;
        for (const End& e : ends) {
            minX_ = std::min<int64_t>(minX_, e.p.x);
            minY_ = std::min<int64_t>(minY_, e.p.y);
            maxX = std::max<int64_t>(maxX, e.p.x);
            maxY = std::max<int64_t>(maxY, e.p.y);
        }
        cell_ = std::max<int64_t>(2 * int64_t{tolerance_} + 1, 64);
        while (((maxX - minX_) / cell_ + 1) * ((maxY - minY_) / cell_ + 1) > (int64_t{1} << 14)) cell_ *= 2;
        columns_ = (maxX - minX_) / cell_ + 1;
        rows_ = (maxY - minY_) / cell_ + 1;
        std::vector<uint32_t> cellOf(ends.size());
        cells_.assign(static_cast<size_t>(columns_ * rows_) + 1, 0);
        for (size_t i = 0; i < ends.size(); ++i) {
            cellOf[i] = static_cast<uint32_t>(row(ends[i].p.y) * columns_ + column(ends[i].p.x));
            ++cells_[cellOf[i] + 1];
        }
        for (size_t c = 1; c < cells_.size(); ++c) cells_[c] += cells_[c - 1];
        entries_.resize(ends.size());
        std::vector<uint32_t> fill(cells_.begin(), cells_.end() - 1);
        for (size_t i = 0; i < ends.size(); ++i) entries_[fill[cellOf[i]]++] = {ends[i].kind, ends[i].index};
        for (size_t c = 0; c + 1 < cells_.size(); ++c)
            std::sort(entries_.begin() + cells_[c], entries_.begin() + cells_[c + 1], [](const Entry& a, const Entry& b) {
                return a.kind != b.kind ? a.kind < b.kind : a.index < b.index;
            });
    }

    int tolerance_ = 0;
    int64_t minX_ = 0, minY_ = 0, cell_ = 64, columns_ = 0, rows_ = 0;
    std::vector<uint32_t> cells_;  // entries of cell c: entries_[cells_[c] .. cells_[c + 1])
    std::vector<Entry> entries_;
    std::vector<int> found_;
    // Connections by the block they leave or reach (by the block's table index; a block outside the
    // table shares the last list), each with its place in the order of finding.
    struct Placed {
        uint64_t place;
        ConnectionRec* c;
    };
    std::vector<Placed>& listOf(std::vector<std::vector<Placed>>& lists, const BlockRec* b) {
        if (lists.empty()) lists.resize(static_cast<size_t>(gBlocks.capacity) + 1);
        const int i = b ? gBlocks.indexOfLinked(b) : -1;
        return lists[i >= 0 ? static_cast<size_t>(i) : lists.size() - 1];
    }
    std::vector<std::vector<Placed>> from_, to_;
    uint64_t next_ = 0;
};

namespace {

TraceIndex* gTraceIndex = nullptr;

TraceIndex& traceIndex() { return *gTraceIndex; }

TurnoutRec* turnoutLegAt(DiagramPoint& p, int& leg, const void* exclude) {
    for (int i : traceIndex().near(TraceIndex::kTurnout, p)) {
        TurnoutRec* t = gTurnouts[i];
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
Rec* polylineEndAt(const RecordTable<Rec, N>& table, TraceIndex::Kind kind, DiagramPoint& p, int& end,
                   const void* exclude) {
    for (int i : traceIndex().near(kind, p)) {
        Rec* r = table[i];
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
    traceIndex().forget(c);
    gConnections.removeAt(gConnections.indexOf(c));
    return 0;
}

// The other way at a branching turnout: a copy of c up to turnout n, which stands straight there.
void traceBranch(const ConnectionRec* c, int n, DiagramPoint from, const TurnoutRec* t, ConnectionReport& report) {
    ConnectionRec* d = newConnection(report);
    if (!d) return;
    d->from = c->from;
    traceIndex().noteFrom(d);
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
    // Only connections leaving or reaching c's own block can change the flag.
    traceIndex().forEachAt(c->from, [&](const ConnectionRec* d) {
        if (c->loop && d->loop && d->direction != c->direction && (d->from == c->from || d->to == c->from))
            c->loop = 0;
        else if (d->loop && ((c->from->flags & 1) || (b->flags & 1)) && d->direction == c->direction &&
                 d->to == c->from)
            c->loop = 1;
    });
}

// Starts a connection from b in the given direction at point.
int traceFromBlock(BlockRec* b, char direction, DiagramPoint point, ConnectionReport& report) {
    ConnectionRec* e = newConnection(report);
    if (!e) return 0;
    e->from = b;
    traceIndex().noteFrom(e);
    e->direction = direction;
    traceConnection(e, point, b, report);
    return 1;
}

// c has reached b at its point end. A block reached for the first time is turned to the direction in
// which c enters it (a reversing loop swaps it) and traced on from both ends.
int arriveAtBlock(ConnectionRec* c, BlockRec* b, int end, ConnectionReport& report) {
    c->to = b;
    traceIndex().noteTo(c);
    settleLoopFlag(c, b);
    if (traceIndex().anyFrom(b)) return 1;
    char direction = ((c->direction == 'H') != (c->loop != 0)) ? 'H' : 'T';
    int last = lastPointOf(b);
    if (direction == 'H' ? end == last : end == 0) reverseForDirection(b->points, b->sectionAngles, last, b);
    DiagramPoint wayOut = direction == 'H' ? b->points[last] : b->points[0];
    DiagramPoint otherEnd = direction == 'H' ? b->points[0] : b->points[last];
    if (!traceFromBlock(b, direction, wayOut, report)) return 0;
    return traceFromBlock(b, direction == 'H' ? 'T' : 'H', otherEnd, report);
}

}  // namespace

ConnectionTraceScope::ConnectionTraceScope() {
    if (gTraceIndex) return;
    index_ = new TraceIndex;
    gTraceIndex = index_;
}

ConnectionTraceScope::~ConnectionTraceScope() {
    if (gTraceIndex == index_) gTraceIndex = nullptr;
    delete index_;
}

void noteConnectionFrom(ConnectionRec* c) {
    if (gTraceIndex) gTraceIndex->noteFrom(c);
}

int traceConnection(ConnectionRec* c, DiagramPoint point, const void* cameFrom, ConnectionReport& report) {
    // Called on its own, the trace builds its indexes from the table as it stands.
    ConnectionTraceScope scope;
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
        if (TrackRec* t = polylineEndAt(gTracks, TraceIndex::kTrack, point, at, cameFrom)) {
            // From a track's end the next step depends on nothing else, so more tracks in a row than
            // there are track ends means the way runs round a ring of tracks that never reaches a block.
            if (++tracksInARow > 2 * gTrackCount) return deadEnd(c, point);
            point = followTrack(c, t, at);
            cameFrom = t;
            continue;
        }
        BlockRec* b = polylineEndAt(gBlocks, TraceIndex::kBlock, point, at, cameFrom);
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
