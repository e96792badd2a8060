// Starting a control-post session: the tables are numbered for running, the locomotive file is read,
// and a session with track control starts in the emergency stop.
#include "layout/draw/diagram_area.h"
#include "layout/editor/edit_input.h"
#include "layout/editor/editor_forms.h"
#include "layout/model/block_geometry.h"
#include "layout/model/double_turnouts.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "link/buffers/feedback.h"
#include "link/buffers/link_buffers.h"
#include "network/model/net_state.h"
#include "network/socket/net_mode.h"
#include "operation/control/emergency_stop.h"
#include "operation/engine/second_tick.h"
#include "operation/files/loco_file.h"
#include "operation/model/length_units.h"
#include "operation/model/route_file.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/main/session_steps.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/window/untSchema.h"
#include "steps/model/step_program.h"

namespace {

const char* const kMsgWithoutTrack =
    "De stuurpost is gestart zonder spoorbaansturing. De treinen kunnen overgaan naar een volgend blok zonder "
    "dat er terugmeldingen binnengelezen worden.";

void numberTablesForRunning() {
    for (int i = 0; i < gBlockCount; ++i) {
        BlockRec* b = gBlocks[i];
        computeBlockGeometry(*b);
        b->orangeEnds = 0;
        b->ownIndex = static_cast<int16_t>(i);
        b->state = 0;
    }
    for (int i = 0; i < gTrackCount; ++i) {
        gTracks[i]->ownIndex = static_cast<uint8_t>(i);
        gTracks[i]->vehicleFlags = 0;
    }
    for (int i = 0; i < gTurnoutCount; ++i) gTurnouts[i]->ownIndex = static_cast<int16_t>(i);
    for (int i = 0; i < gOutputCount; ++i) gOutputs[i]->ownIndex = static_cast<int16_t>(i);
    relinkDoubleTurnouts();
    for (int i = 0; i < gSignalCount; ++i) {
        SignalRec* s = gSignals[i];
        // A signal without block (files allow it) marks nothing.
        if (s->orangeNumber != 0 && s->block) s->block->orangeEnds |= s->direction == 'H' ? 1 : 2;
        s->ownIndex = static_cast<int16_t>(i);
    }
    for (int i = 0; i < gInputCount; ++i) {
        InputRec* in = gInputs[i];
        in->ownIndex = static_cast<int16_t>(i);
        in->state = 0;
        in->runState = 0;
    }
}

}  // namespace

int startSession(int mode) {
    if (dispatchEditInput(1) > 0) return 0;
    if (gLayoutOffset.x != 0 || gLayoutOffset.y != 0) resetDrawingArea();
    if (gDirtyFlags && gEditMode != 12 && gEditMode != 13) {
        gEditMode = static_cast<uint32_t>(mode);
        activateDirectionDialog();
        return 0;
    }
    gShortTrainUnits = static_cast<int16_t>(fromCentimetres(gSettings.edtLengteKorte));
    if (mode == 13)
        gRunWithoutTrack = 1;
    else
        gRunWithTrack = 1;
    numberTablesForRunning();
    loadLocoFile(0);
    writeRouteIndexes();
    for (int i = 0; i < gStepProgramCount; ++i) gStepPrograms[i]->number = static_cast<uint8_t>(i);
    if (frmSchema) frmSchema->FormActivate();
    // An open settings dialog locks or frees what a session may not change.
    if (frmInstellingen && frmInstellingen->isVisible()) frmInstellingen->FormActivate();
    if (gDemoStep == 0) {
        if (mode == 12) {
            gAccessoryQueue.clear();
            emergencyStopAll(4);
        } else if (!gMessageShown) {
            showDialogMessage(kMsgWithoutTrack, 1);
        }
    }
    gDrawArea = {0, 0, gCanvasSize.width, gCanvasSize.height - 88};
    gModelClock = {};
    if (gNetMode == 30) setNetworkMode(30);
    if (gRunWithoutTrack) decodeFeedbackImage();
    return 1;
}
