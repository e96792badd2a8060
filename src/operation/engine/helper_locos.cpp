#include "operation/engine/helper_locos.h"

#include <algorithm>

#include "operation/engine/contact_evaluation.h"
#include "operation/model/train_model.h"

// Helper locomotives are not linked yet, so re-marking a wagon changes nothing.
void setWagonKind(WagonRec*, char, int, int) {}

// Wagons are not placed on blocks yet.
int placeWagonOnBlock(WagonRec*, BlockRec*, int) { return 0; }

// Wagon lengths are not applied yet.
int applyWagonLength(WagonRec*) { return 0; }

// Every helper limits the train: the slowest one decides, whatever its place in the helper table,
// so the train never runs faster than any helper can follow.
void limitMaxStepByHelpers(LocoRec* main) {
    if (!main) return;
    const int steps = main->run.speedSteps;
    main->maxStep = static_cast<int16_t>(steps);  // each helper's step is looked up on the full range
    int limit = steps;
    for (LocoRec* h : gHelperLocs) {
        if (h == main || !h->helperWagon || h->helperWagon->owner != main) continue;
        limit = std::min(limit, speedStepForSpeed(main, h->speedTable[kSpeedTableSize - 1]));
    }
    main->maxStep = static_cast<int16_t>(limit);
}
