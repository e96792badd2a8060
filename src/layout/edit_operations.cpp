#include "layout/edit_operations.h"

#include "layout/point_entry.h"
#include "layout/track_entry.h"

bool trackOrBlockEditInProgress() { return gInsertingTrack || gInsertingBlock || gMovingTrack || gMovingBlock; }
bool turnoutOrSignalEditInProgress() {
    return gInsertingTurnout || gInsertingSignal || gMovingTurnout || gMovingSignal;
}
