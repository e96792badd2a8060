// Stopping a control-post session: every train leaves the track, the locomotive and wagon tables are
// freed, the link closes and every element forgets its run-time state.
#include "layout/draw/element_draw.h"
#include "layout/editor/turntable_operation.h"
#include "layout/files/layout_file.h"
#include "layout/frame/render.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "layout/model/turntable_state.h"
#include "link/buffers/link_buffers.h"
#include "link/port/decoder_programming.h"
#include "link/port/link_port.h"
#include "network/model/net_state.h"
#include "network/socket/net_mode.h"
#include "operation/control/loco_operation.h"
#include "operation/model/train_model.h"
#include "shell/dialogs/untBestandOpslaan.h"
#include "shell/main/session.h"
#include "shell/main/session_steps.h"
#include "shell/model/app_state.h"
#include "shell/window/untSchema.h"
#include "steps/model/step_program.h"

namespace {

// A locomotive with a speed shown, or one still braking (its current step not yet down to 0), holds
// the session: the link must not close under a moving train.
bool anyLocoMoving() {
    for (const LocoRec* loco : gLocsOnTrack)
        if (loco->shownSpeed != 0 || loco->currentStep > 0) return true;
    return false;
}

bool demoLayout() { return gLayoutFileName.compare(0, 5, "demo\\") == 0; }

void freeTrains() {
    for (int row = gLocsOnTrackCount - 1; row >= 0; --row) {
        LocoRec* loco = gLocsOnTrack[row];
        loco->targetStep = 0;
        takeLocoOffTrack(loco);
    }
    for (int i = gLocCount - 1; i >= 0; --i) deleteLoco(gLocs[i]);
    for (int i = gWagonTotal - 1; i >= 0; --i) freeWagonSlot(i);
    gWagonCounts = {};
    // Whatever the steps above could not reach (a helper locomotive's list, a decoder's locomotive).
    clearTrainTables();
}

void resetTurntable(TurntableRec& t) {
    t.currentPosition = 1;
    t.secondPosition = 1;
    t.currentAngle = t.bridgeAngle;
    if (turntableBridgeFollowsCentre(t)) turntableBridgeEnds(&t, t.currentAngle, t.track);
    t.runState = 0;
    turntableStateFlags(t) = 0;
    turntableTimeoutCounter(t) = 0;
    t.loco = nullptr;
}

void clearRunTimeState() {
    for (BlockRec* b : gBlocks) {
        b->occupiedSections = 0;
        b->state = 0;
        b->remainingWait = 0;
        b->arrivedTrain = b->assignedTrain = nullptr;
        updateBlockIncompleteFlag(b);
    }
    for (TrackRec* t : gTracks) {
        t->locoOnIt = 0;
        t->vehicleFlags = 0;
    }
    for (TurnoutRec* t : gTurnouts) {
        t->runState = 0;
        t->vehicleFlags = 0;
        t->holder = nullptr;
    }
    for (StepProgramRec* p : gStepPrograms) {
        p->state = 0;
        p->currentStep = 0;
        p->waitLeft = 0;
        p->nextSecond = 0;
        p->boundLoco = nullptr;
    }
    for (InputRec* i : gInputs) {
        i->state = 0;
        i->runState = 0;
    }
    for (TurntableRec* t : gTurntables) resetTurntable(*t);
}

}  // namespace

int stopSession(int mode) {
    if (gNetMode != 40 && anyLocoMoving()) return 0;
    if (gLayoutOffset.x != 0 || gLayoutOffset.y != 0) resetDrawingArea();
    if (demoLayout()) gLocoDataModified = 0;
    if (gLocoDataModified && gEditMode != 12 && gEditMode != 13) {
        gEditMode = static_cast<uint32_t>(mode);
        if (frmBestandOpslaan) frmBestandOpslaan->show();
        return 0;
    }
    // A programming sequence ends with the session (the track stays off: the link closes).
    endMmProgramming(false);
    gProgLoco = nullptr;
    gProgFunctionDecoder = nullptr;
    closeAllDialogs(0);
    closeCommandStationLink();
    gFeedbackByteCount = 0;
    if (gNetMode == 30) {
        gRunWithTrack = gRunWithoutTrack = 0;
        setNetworkMode(30);
    }
    freeTrains();
    clearRunTimeState();
    gFeedbackImage.clearBytes();
    gRunWithTrack = gRunWithoutTrack = 0;
    gLocoDataModified = 0;
    gEmergencyState = 0;
    rotateLayout(0, 2);
    if (frmSchema) frmSchema->FormActivate();
    redrawSchema(1);
    return 1;
}
