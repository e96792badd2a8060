// The connection table as a whole: building it from a reference block, ordering it, marking the ways
// through reversing loops and listing it in the report.
#include "layout/analysis/connection_analysis.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "layout/analysis/connection_report.h"
#include "layout/model/geometry.h"
#include "platform/paths.h"
#include "shell/config/messages.h"
#include "layout/editor/turntable_operation.h"

namespace {

int numberOf(const BlockRec* b) { return b ? b->number : 0; }

// Both ways out of the reference block. A full table stops the tracing but not the analysis, so
// that the table is still cleaned, ordered and reported.
void traceFromReference(BlockRec* start, ConnectionReport& report) {
    const struct {
        char direction;
        DiagramPoint point;
    } ways[2] = {{'H', start->points[std::clamp(start->sections, 0, kMaxSections)]}, {'T', start->points[0]}};
    for (const auto& way : ways) {
        ConnectionRec* c = newConnection(report);
        if (!c) return;
        c->from = start;
        noteConnectionFrom(c);
        c->direction = way.direction;
        traceConnection(c, way.point, start, report);
    }
}

// Ways that reached no block (a limit stopped them) are dropped; the rest keep their order.
void removeUnfinishedConnections() {
    for (int i = gConnectionCount - 1; i >= 0; --i)
        if (!gConnections[i]->to) gConnections.removeAt(i);
}

void reportBlocksWithoutConnection(ConnectionReport& report) {
    std::vector<char> leaving(static_cast<size_t>(gBlockCount), 0);
    for (const ConnectionRec* c : gConnections)
        if (const int i = gBlocks.indexOfLinked(c->from); i >= 0) leaving[static_cast<size_t>(i)] = 1;
    for (int i = 0; i < gBlockCount; ++i) {
        const BlockRec* b = gBlocks[i];
        if (leaving[static_cast<size_t>(i)]) continue;
        report.write("Geen aansluiting voor blok %d\n", b->number);
        report.markAttention();
    }
}

// d runs back along c: the same turnouts in the opposite order, each in the same position.
bool runsBackAlong(const ConnectionRec* d, const ConnectionRec* c) {
    if (d->from != c->to || d->to != c->from) return false;
    int n = connectionTurnoutCount(d);
    for (int k = 0; k < n; ++k)
        if (c->turnouts[k] != d->turnouts[n - 1 - k] || c->positions[k] != d->positions[n - 1 - k]) return false;
    return true;
}

// The way back of c, or -1. Ways without turnouts (or with the same ones) can have two candidates
// between the same blocks, one leaving at each end; the one that does not turn around is the true way
// back, so a plain oval is never taken for a reversing loop. Only when every candidate turns around is
// the way a loop. The table is ordered by from-block and to-block number, so the candidates stand
// together, in table order.
int findWayBack(const ConnectionRec* c) {
    const std::pair<int, int> ends{numberOf(c->to), numberOf(c->from)};
    auto endsOf = [](int i) { return std::pair<int, int>{numberOf(gConnections[i]->from), numberOf(gConnections[i]->to)}; };
    int lo = 0, hi = gConnectionCount;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (endsOf(mid) < ends) lo = mid + 1;
        else hi = mid;
    }
    int first = -1;
    for (int j = lo; j < gConnectionCount && endsOf(j) == ends; ++j) {
        if (!runsBackAlong(gConnections[j], c)) continue;
        if (gConnections[j]->direction != c->direction) return j;
        if (first < 0) first = j;
    }
    return first;
}

// A way and its way back that leave their blocks in the same direction turn a train around: both are
// loop connections; with different directions neither is. Runs on the ordered table.
void markReversingLoops(ConnectionReport& report) {
    for (int i = 0; i < gConnectionCount; ++i) {
        ConnectionRec* c = gConnections[i];
        int j = findWayBack(c);
        if (j < 0) continue;
        ConnectionRec* d = gConnections[j];
        bool turnsAround = c->direction == d->direction;
        if (turnsAround != (c->loop != 0)) toggleLoopFlag(c, i, report);
        if (turnsAround != (d->loop != 0)) toggleLoopFlag(d, j, report);
    }
}

// Tracing may have turned a bridge track around; its turntable follows it.
void relayTurntables() {
    for (TurntableRec* t : gTurntables)
        if (t->track) layoutTurntableAndTell(*t, &t->track->points[0], &t->track->points[1]);
}

// Each connection as "Verbinding %d : richting '%c'   van %d  naar %d" (with "  keerlus" for a loop),
// then its turnouts as "* nr %d , stand: %c", the first behind "   wissels/kruisingen : ". Built
// piece by piece: five hundred connections through a format string cost more than the tracing.
void listConnections(ConnectionReport& report) {
    for (int i = 0; i < gConnectionCount; ++i) {
        const ConnectionRec* c = gConnections[i];
        report.append("Verbinding ");
        report.appendNumber(i);
        report.append(" : richting '");
        report.append(std::string_view(&c->direction, 1));
        report.append("'   van ");
        report.appendNumber(numberOf(c->from));
        report.append("  naar ");
        report.appendNumber(numberOf(c->to));
        report.append(c->loop ? "  keerlus\n" : "\n");
        int n = connectionTurnoutCount(c);
        for (int k = 0; k < n; ++k) {
            report.append(k == 0 ? "   wissels/kruisingen : * nr " : "                        * nr ");
            report.appendNumber(c->turnouts[k]->number);
            report.append(" , stand: ");
            report.append(std::string_view(&c->positions[k], 1));
            report.append("\n");
        }
    }
}

// p goes before q: by from-block number, to-block number, the shorter turnout list, and then when
// any of p's turnout numbers is lower than q's at the same place.
bool connectionBefore(const ConnectionRec* p, const ConnectionRec* q) {
    if (numberOf(p->from) != numberOf(q->from)) return numberOf(p->from) < numberOf(q->from);
    if (numberOf(p->to) != numberOf(q->to)) return numberOf(p->to) < numberOf(q->to);
    int np = connectionTurnoutCount(p), nq = connectionTurnoutCount(q);
    if (np != nq) return np < nq;
    for (int k = 0; k < np; ++k)
        if (q->turnouts[k]->number > p->turnouts[k]->number) return true;
    return false;
}

}  // namespace

void analyseConnections(BlockRec* startBlock) {
    if (gBlockCount == 0 || gBlocks.indexOf(startBlock) < 0) return;
    std::string reportName = connectionReportName(gLayoutFileName);
    ConnectionReport report;
    if (!report.open(vestrel::resolvePath(reportName))) {
        char text[200];
        std::snprintf(text, sizeof text, "Kan bestand '%s' niet openen !", reportName.c_str());
        showDialogMessage(text, 1);
        return;
    }
    gConnections.clear();
    clearConnectionDeadEnds();
    {
        ConnectionTraceScope scope;
        traceFromReference(startBlock, report);
    }
    removeUnfinishedConnections();
    sortConnections();
    report.write("***** %s *****\n\n", gLayoutFileName.c_str());
    reportBlocksWithoutConnection(report);
    markReversingLoops(report);
    if (report.needsAttention()) report.write("\n");
    relayTurntables();
    listConnections(report);
    report.close();
    if (report.needsAttention()) showConnectionReport(reportName);
}

ConnectionRec* newConnection(ConnectionReport& report) {
    if (gConnections.full()) {
        report.write("Maximum aantal verbindingen (%d) werd bereikt\n", gConnectionCount);
        return nullptr;
    }
    return gConnections.append(std::make_unique<ConnectionRec>());
}

// The order is that of picking, place by place, the entry found before every other when scanning from
// the place on, and moving it there. The turnout rule is no strict ordering, so the result depends on
// that scan; but from-block, to-block and turnout count order strictly, and a pick from a group of
// equal keys only ever comes from the smallest group left, taken in its own order. So the groups are
// put in key order (keeping their order of finding), and only inside each group is the scan repeated.
void sortConnections() {
    const int n = gConnectionCount;
    std::vector<std::unique_ptr<ConnectionRec>> taken;
    taken.reserve(static_cast<size_t>(n));
    while (gConnectionCount > 0) taken.push_back(gConnections.takeAt(gConnectionCount - 1));
    std::reverse(taken.begin(), taken.end());
    struct Keyed {
        int from, to, turnouts;
        ConnectionRec* c;
        size_t slot;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(static_cast<size_t>(n));
    for (size_t i = 0; i < taken.size(); ++i) {
        ConnectionRec* c = taken[i].get();
        keyed.push_back({numberOf(c->from), numberOf(c->to), connectionTurnoutCount(c), c, i});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        if (a.from != b.from) return a.from < b.from;
        if (a.to != b.to) return a.to < b.to;
        return a.turnouts < b.turnouts;
    });
    for (size_t start = 0; start < keyed.size();) {
        size_t end = start + 1;
        while (end < keyed.size() && keyed[end].from == keyed[start].from && keyed[end].to == keyed[start].to &&
               keyed[end].turnouts == keyed[start].turnouts)
            ++end;
        for (size_t place = start; place + 1 < end; ++place) {
            size_t best = place;
            for (size_t i = place + 1; i < end; ++i)
                if (connectionBefore(keyed[i].c, keyed[best].c)) best = i;
            if (best != place) std::rotate(keyed.begin() + static_cast<std::ptrdiff_t>(place),
                                           keyed.begin() + static_cast<std::ptrdiff_t>(best),
                                           keyed.begin() + static_cast<std::ptrdiff_t>(best) + 1);
        }
        start = end;
    }
    for (const Keyed& k : keyed) gConnections.append(std::move(taken[k.slot]));
}

int toggleLoopFlag(ConnectionRec* c, int index, ConnectionReport& report) {
    c->loop = c->loop ? 0 : 1;
    report.write("Verbinding %d : richting '%c'   van %d  naar %d  gewijzigd naar %s\n", index, c->direction,
                 numberOf(c->from), numberOf(c->to), c->loop ? "keerlus" : "geen keerlus");
    report.markAttention();
    return 0;
}
