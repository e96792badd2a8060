#include "operation/engine/wagon_coupling.h"

#include "operation/model/train_model.h"

// Until coupling is built, a train meets no wagon it could couple.
int coupleTrain(LocoRec*) { return 0; }

bool pointBeyondWagon(const PositionRec& candidate, const PositionRec& end, float dx, float dy) {
    if (dx > 0) return candidate.x > end.x;
    if (dx < 0) return candidate.x < end.x;
    if (dy > 0) return candidate.y > end.y;
    if (dy < 0) return candidate.y < end.y;
    return false;
}

// Until wagons and coupling are built nothing is uncoupled or found.
int uncoupleWagons(LocoRec*, WagonRec*) { return 0; }
int pickWagonAt(WagonHit&, int) { return 0; }
int pickTrainWagonAt(WagonHit&) { return 0; }
