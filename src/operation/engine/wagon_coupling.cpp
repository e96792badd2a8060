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

// Walks each run from its first wagon through the next pointers (at most the table's size, so a broken
// chain cannot loop).
int pickInRun(WagonRec* first, double tolerance, WagonRec*& wagon, int& hitCode) {
    int steps = 0;
    for (WagonRec* w = first; w && steps < kMaxWagons; w = w->next, ++steps) {
        if (const int h = wagonLineHit(w, tolerance)) {
            wagon = w;
            hitCode = h;
            return 411;
        }
    }
    return 0;
}

// The runs of a zone of gWagons: a run starts at a wagon without previous wagon.
int pickInZone(int from, int to, double tolerance, LocoRec*& loco, WagonRec*& wagon, WagonRec*& first, int& hitCode) {
    for (int i = from; i < to; ++i) {
        WagonRec* w = gWagons[i];
        if (!w || w->previous) continue;
        if (pickInRun(w, tolerance, wagon, hitCode)) {
            first = w;
            loco = w->owner;
            return 411;
        }
    }
    return 0;
}

}  // namespace

int pickWagonAt(LocoRec*& loco, WagonRec*& wagon, WagonRec*& first, int& hitCode, int mode) {
    const int coupledEnd = std::min(gWagonCounts.coupledEnd, gWagons.count());
    switch (mode) {
    case 1: return pickInZone(0, coupledEnd, 3, loco, wagon, first, hitCode);
    case 2: return pickInZone(gWagonCounts.loose, coupledEnd, 3, loco, wagon, first, hitCode);
    case 4: return pickInZone(gWagonCounts.loose, coupledEnd, 4, loco, wagon, first, hitCode);
    case 3:
        if (!loco) return 0;
        for (WagonRec* chain : {loco->frontChain, loco->rearChain}) {
            if (pickInRun(chain, 2, wagon, hitCode)) {
                first = chain;
                return 411;
            }
        }
        return 0;
    default: return 0;
    }
}

// Uncoupling and taking wagons off are not built yet: each refuses.
int uncoupleWagons(LocoRec*, WagonRec*) { return 0; }
int takeWagonOffTrack(WagonRec*, int) { return 0; }
