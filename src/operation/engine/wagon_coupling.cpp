#include "operation/engine/wagon_coupling.h"

#include <algorithm>

#include "layout/editor/hit_test.h"
#include "operation/model/train_model.h"
#include "shell/model/input_state.h"

// Until coupling is built, a train meets no wagon it could couple.
int coupleTrain(LocoRec*) { return 0; }

bool pointBeyondWagon(const PositionRec& candidate, const PositionRec& end, float dx, float dy) {
    if (dx > 0) return candidate.x > end.x;
    if (dx < 0) return candidate.x < end.x;
    if (dy > 0) return candidate.y > end.y;
    if (dy < 0) return candidate.y < end.y;
    return false;
}

namespace {

int wagonLineHit(const WagonRec* w, double tolerance) {
    return pointOnSegment(w->front.x, w->front.y, w->rear.x, w->rear.y, gMousePoint, tolerance);
}

// Walks a run from its first wagon through the next pointers (at most the table's size, so a broken
// chain cannot loop).
int pickInRun(WagonRec* first, double tolerance, WagonHit& hit) {
    int steps = 0;
    for (WagonRec* w = first; w && steps < kMaxWagons; w = w->next, ++steps) {
        if (const int h = wagonLineHit(w, tolerance)) {
            hit.wagon = w;
            hit.first = first;
            hit.code = h;
            return 411;
        }
    }
    return 0;
}

// The runs of a zone of gWagons: a run starts at a wagon without previous wagon.
int pickInZone(int from, int to, double tolerance, WagonHit& hit) {
    for (int i = from; i < to; ++i) {
        WagonRec* w = gWagons[i];
        if (!w || w->previous) continue;
        if (pickInRun(w, tolerance, hit)) {
            hit.loco = w->owner;
            return 411;
        }
    }
    return 0;
}

}  // namespace

int pickWagonAt(WagonHit& hit, int mode) {
    const int coupledEnd = std::min(gWagonCounts.coupledEnd, gWagons.count());
    switch (mode) {
    case 1: return pickInZone(0, coupledEnd, 3, hit);
    case 2: return pickInZone(gWagonCounts.loose, coupledEnd, 3, hit);
    case 4: return pickInZone(gWagonCounts.loose, coupledEnd, 4, hit);
    case 3:
        if (!hit.loco) return 0;
        for (WagonRec* chain : {hit.loco->frontChain, hit.loco->rearChain})
            if (pickInRun(chain, 2, hit)) return 411;
        return 0;
    default: return 0;
    }
}

// Until wagons and coupling are built nothing is uncoupled or taken off.
int uncoupleWagons(LocoRec*, WagonRec*) { return 0; }
int pickTrainWagonAt(WagonHit&) { return 0; }
int takeWagonOffTrack(WagonRec*, int) { return 0; }
