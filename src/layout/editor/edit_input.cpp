#include "layout/editor/edit_input.h"

#include "layout/editor/layout_move.h"
#include "layout/editor/pick_point.h"
#include "layout/editor/point_entry.h"
#include "layout/editor/track_entry.h"
#include "shell/model/app_state.h"
#include "shell/window/editor_readouts.h"
#include "shell/model/input_state.h"

namespace {

struct EditOperation {
    const bool* running;
    int (*step)();
};

// Later calls of a step function ignore the arguments its first call took.
const EditOperation kOperations[] = {
    {&gInsertingTrack, [] { return insertTrack(); }},
    {&gInsertingBlock, [] { return insertBlock(); }},
    {&gInsertingTurnout, [] { return insertTurnout(0); }},
    {&gInsertingSignal, [] { return insertSignal(); }},
    {&gInsertingOutput, [] { return insertOutput(); }},
    {&gInsertingInput, [] { return insertInput(); }},
    {&gInsertingStepBox, [] { return insertStepBox(); }},
    {&gMovingTrack, [] { return moveTrack(0, 0); }},
    {&gMovingBlock, [] { return moveBlock(0, 0); }},
    {&gMovingTurnout, [] { return moveTurnout(0); }},
    {&gMovingSignal, [] { return moveSignal(0); }},
    {&gMovingOutput, [] { return moveOutput(0); }},
    {&gMovingInput, [] { return moveInput(0); }},
    {&gMovingStepBox, [] { return moveStepBox(0); }},
    {&gPickingPoint, [] { return pickPoint(); }},
    {&gMovingLayout, [] { return moveLayoutInteractive(); }},
};

int runningStep() {
    for (const EditOperation& op : kOperations)
        if (*op.running) return op.step();
    return 0;
}

}  // namespace

int dispatchEditInput(int finish) {
    if (finish) gShiftState |= kFinishRequest;
    const int result = runningStep();
    if (finish) gShiftState &= ~kFinishRequest;
    if (result == -1) setLineLengthReadout("");
    gEditOpRunning = result > 0 ? 1 : 0;
    return result;
}

bool mouseButtonInput() { return gMouseButton > 0; }
