#include "layout/editor/edit_operations.h"

#include "layout/editor/editor_state.h"
#include "layout/editor/point_entry.h"
#include "layout/editor/track_entry.h"
#include "shell/model/app_state.h"

bool trackOrBlockEditInProgress() { return gInsertingTrack || gInsertingBlock || gMovingTrack || gMovingBlock; }
bool turnoutOrSignalEditInProgress() {
    return gInsertingTurnout || gInsertingSignal || gMovingTurnout || gMovingSignal;
}

bool restartPlacementAfterMessage() {
    if (!trackOrBlockEditInProgress() && !turnoutOrSignalEditInProgress()) return false;
    if (gEditMode == kEditFollow || gEditMode == kEditRefused) gEditMode = kEditRestart;
    return true;
}
