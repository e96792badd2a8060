#include "layout/editor/edit_operations.h"

#include "layout/editor/point_entry.h"
#include "layout/editor/track_entry.h"

bool trackOrBlockEditInProgress() { return gInsertingTrack || gInsertingBlock || gMovingTrack || gMovingBlock; }
bool turnoutOrSignalEditInProgress() {
    return gInsertingTurnout || gInsertingSignal || gMovingTurnout || gMovingSignal;
}
