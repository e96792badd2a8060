// The commands of the control post: keys, the post's buttons, clicks on the diagram and the menus.
#include <QDialog>

#include "layout/editor/editor_forms.h"
#include "layout/editor/editor_state.h"
#include "layout/dialogs/untDraaischijf.h"
#include "layout/dialogs/untIngang.h"
#include "layout/dialogs/untSein.h"
#include "layout/dialogs/untSektie.h"
#include "layout/dialogs/untUitgang.h"
#include "layout/dialogs/untWissel.h"
#include "layout/frame/render.h"
#include "layout/model/layout_model.h"
#include "link/buffers/feedback.h"
#include "link/dialogs/untProg.h"
#include "link/port/decoder_programming.h"
#include "operation/control/accessory_operation.h"
#include "operation/control/control_post.h"
#include "operation/control/control_post_internal.h"
#include "operation/control/emergency_stop.h"
#include "operation/control/loco_operation.h"
#include "operation/engine/wagon_coupling.h"
#include "operation/dialogs/untFunctieDec.h"
#include "operation/dialogs/untLok.h"
#include "operation/dialogs/untLoks.h"
#include "operation/dialogs/untTijd.h"
#include "operation/dialogs/untTraject.h"
#include "operation/dialogs/untTrein.h"
#include "operation/dialogs/untWagons.h"
#include "operation/engine/helper_locos.h"
#include "operation/engine/route_aspects.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/window/status_line.h"
#include "shell/window/untSchema.h"
#include "steps/dialogs/untStappen.h"
#include "steps/model/step_program.h"

namespace {

const char* const kMsgMaxLocs = "Maximaal aantal locomotieven bereikt !";
const char* const kPromptPlaceLoco = "Klik op het blok waar de loc dient te staan";
const char* const kPromptRemove =
    "Klik op de te verwijderen locomotief of wagon of druk 'enter' om de in de commadopost actieve loc te "
    "verwijderen";
const char* const kPromptPlaceWagon = "Klik op de plaats van het blok waar de wagon dient te staan";
const char* const kPromptUncouple = "Klik op de te ontkoppelen wagon of klik op een ontkoppelrail rakend aan de wagon";
const char* const kMsgNoTrackLink = "Connectie met spoorbaan is niet actief !";
const char* const kMsgProgDirectOnly =
    "Een loc programmeren is enkel mogelijk met directe connectie naar booster zonder interface (zie "
    "instellingen) !";
const char* const kMsgDemoSave = "Dit demobestand kan slechts opgeslagen worden onder een andere naam !";
// 8-bit text: 0xEB is the e with diaeresis.
const char* const kMsgSimulation =
    "Klik op een sectie of ingangsbouwsteen om een ingangssignaal aan of uit te zetten. De visualisatie van de "
    "terugmeldingen (zie instellingen) is aangezet! De simulatie wordt terug be\xEB" "indigd door 'OK' in te "
    "drukken.";

bool demoLayout() { return gLayoutFileName.compare(0, 5, "demo\\") == 0; }

bool anyVehicleOnTrack() { return gLocsOnTrackCount > 0 || gWagonCounts.loose > 0; }

// The row commands: nothing without a locomotive in the row.
void rowCommand(int code) {
    const int row = gActiveRow;
    LocoRec* loco = locoInRow(row);
    if (!loco) return;
    switch (code) {
    case 38:
    case 40: stepLocoSpeed(loco, row, code, 1); break;
    case '+':
    case '-': adjustLocoWaitTime(loco, code); break;
    case 'l':
    case 301:
        if (toggleLocoRun(loco)) reevaluateTrain(loco);
        break;
    case 'm':
    case 302:
        if (cycleLocoMode(loco) && loco->shownSpeed != 0) reevaluateTrain(loco);
        break;
    case 'r':
    case 303: reverseLoco(loco); break;
    case 1048: toggleLocoForce(loco); break;
    default: break;
    }
}

void keyCommand(int code) {
    switch (code) {
    case 13:
        if (gEditMode == kPostRemoveVehicle) {
            gEditMode = 0;
            if (LocoRec* loco = locoInRow(gActiveRow)) takeLocoOffTrack(loco);
        }
        break;
    case 27:
        if (gEditMode != 0 || gStatusLineShown) {
            gEditMode = 0;
            clearStatusLine();
        }
        break;
    case 32:
    case 's': emergencyStopAll(1); break;
    case 37: selectNextRow(-1); break;
    case 39: selectNextRow(1); break;
    case 'x': showPostForm(frmTijd); break;
    default: rowCommand(code); break;
    }
}

void blockClicked(const PostHit& hit) {
    auto* block = static_cast<BlockRec*>(hit.element.element);
    if (gMouseButton == 2) {
        showBlockDialog(hit);
    } else if (gNoFeedbackPoll) {
        toggleFeedbackContact(block, hit.element.segment + 1, nullptr);
    } else if (lokPlacing()) {
        gSelectedBlock = block;
        showPostForm(frmLok);
    } else if (wagonsPlacing()) {
        if (placeWagonOnBlock(gCurWagon, block, hit.element.segment)) {
            gEditMode = 0;
            frmWagons->close();
        }
    }
}

void wagonClicked(const PostHit& hit) {
    if (gMouseButton == 2) {
        showWagonDialog(hit);
    } else if (gEditMode == kPostUncouple) {
        gEditMode = 0;
        uncoupleWagons(hit.loco, hit.wagon);
    } else if (gEditMode == kPostRemoveVehicle) {
        gEditMode = 0;
        takeWagonOffTrack(hit.wagon, 1);
    }
}

void elementClicked(const PostHit& hit) {
    void* e = hit.element.element;
    const bool right = gMouseButton == 2;
    switch (hit.code) {
    case 402: blockClicked(hit); break;
    case 405:
        operateElement(hit);
        if (!right) gEditMode = 0;
        break;
    case 406:
        if (right) {
            gSelectedInput = static_cast<InputRec*>(e);
            showPostForm(frmIngang);
        } else if (gNoFeedbackPoll) {
            toggleFeedbackContact(nullptr, 0, static_cast<InputRec*>(e));
        }
        break;
    case 410: locoClicked(hit); break;
    case 411: wagonClicked(hit); break;
    default: operateElement(hit); break;
    }
}

// The locomotive-file commands wait for the save question first when locomotive data would be lost.
void locoFileCommand(int code) {
    switch (code) {
    case 1001:
    case 1002:
        gEditMode = code == 1001 ? kPostLocoFileNew : kPostLocoFileOpen;
        if (gLocoDataModified && !demoLayout())
            showSaveQuestion();
        else if (code == 1001)
            showNewFileDialog();
        else
            showOpenFileDialog();
        break;
    case 1003:
        if (demoLayout()) {
            showDialogMessage(kMsgDemoSave, 1);
            break;
        }
        gEditMode = kPostLocoFileSave;
        showSaveQuestion();
        break;
    case 1004:
        gEditMode = kPostLocoFileSaveAs;
        showNewFileDialog();
        break;
    case 1005:
        gEditMode = kPostLocoFileDelete;
        showOpenFileDialog();
        break;
    case 1008:
        gEditMode = kPostExit;
        if (gDirtyFlags || gLocoDataModified)
            showSaveQuestion();
        else
            closeMainWindow();
        break;
    default: break;
    }
}

void programLoco() {
    if (!gRunWithTrack) {
        showDialogMessage(kMsgNoTrackLink, 1);
    } else if (!gSettings.chboDirectBooster) {
        showDialogMessage(kMsgProgDirectOnly, 1);
    } else if (gMmProgState == 0) {
        if (frmProg) frmProg->Tag = 0;
        gProgFunctionDecoder = nullptr;
        gProgLoco = locoInRow(gActiveRow);
        showPostForm(frmProg);
    }
}

void startInputSimulation() {
    if (gNoFeedbackPoll || (gBlockCount == 0 && gInputCount == 0)) return;
    showDialogMessage(kMsgSimulation, 1);
    if (frmBoodschap && frmSchema)
        frmBoodschap->move(frmSchema->x() + (frmSchema->width() - frmBoodschap->width()) / 2, frmSchema->y());
    gNoFeedbackPoll = 1;
    gSettings.chboVisuTerugmeld = 1;
    applyFeedbackVisualisation(1);
}

// Locomotives and wagons are taken off the track by the same click mode.
void promptRemoval() {
    if (!anyVehicleOnTrack()) return;
    if (frmLok && frmLok->isVisible()) frmLok->close();
    if (frmWagons && frmWagons->isVisible()) frmWagons->close();
    promptClickMode(kPromptRemove, kPostRemoveVehicle);
}

// A synchronised client has no decoder programming and lets its server refuse a 21st locomotive.
void locoMenuCommand(int code, bool client) {
    switch (code) {
    case 1041:
        gCurTrain = locoInRow(gActiveRow);
        showPostForm(frmTrein);
        break;
    case 1042:
        if (!client && gLocsOnTrackCount >= kMaxLocsOnTrack) {
            showDialogMessage(kMsgMaxLocs, 1);
        } else if (gBlockCount > 0 && gLocsOnTrackCount < gLocCount && !lokPlacing()) {
            if (frmLok) frmLok->Tag = 0;
            gEditMode = kPostPlaceLoco;  // the panel opens for putting a locomotive on the track
            showPostForm(frmLok);
            promptClickMode(kPromptPlaceLoco, kPostPlaceLoco);
        }
        break;
    case 1043: promptRemoval(); break;
    case 1044:
        if (lokPlacing()) break;
        gCurLoc = locoInRow(gActiveRow);
        gEditMode = kPostVehicleDialog;
        showPostForm(frmLok);
        break;
    case 1045: showPostForm(frmLoks); break;
    case 1046:
        gRouteDialogLoco = locoInRow(gActiveRow);
        gEditMode = kPostLocoRoute;
        showRouteDialogForLoco();
        break;
    case 1047:
        if (!client) programLoco();
        break;
    case 1048: rowCommand(1048); break;
    default: break;
    }
}

void wagonMenuCommand(int code) {
    switch (code) {
    case 1051:
        if (frmWagons) frmWagons->Tag = 0;
        gEditMode = kPostWagonTable;
        showPostForm(frmWagons);
        break;
    case 1052:
        if (frmWagons) frmWagons->Tag = 0;
        gEditMode = kPostPlaceWagon;
        showPostForm(frmWagons);
        promptClickMode(kPromptPlaceWagon, kPostPlaceWagon);
        break;
    case 1053: promptRemoval(); break;
    case 1054:
        if (gLocsOnTrackCount > 0) promptClickMode(kPromptUncouple, kPostUncouple);
        break;
    default: break;
    }
}

FunctionDecoderRec* functionDecoderToShow() {
    FunctionDecoderRec* d = gCurFunctionDecoder;
    if (d && gFunctionDecoders[d->slot] == d) return d;
    return gFunctionDecoders[0];
}

void elementMenuCommand(int code) {
    switch (code) {
    case 1061:
        if (gBlockCount == 0) break;
        gSelectedBlock = gBlocks[0];
        showPostForm(frmSektie);
        break;
    case 1071:
        gSelectedTurnout = nullptr;
        for (TurnoutRec* t : gTurnouts) {
            if (t->subtype != 'x') {
                gSelectedTurnout = t;
                break;
            }
        }
        showPostForm(frmWissel);
        break;
    case 1081:
        if (gSignalCount == 0) break;
        gSelectedSignal = gSignals[0];
        showPostForm(frmSein);
        break;
    case 1091:
        if (gOutputCount == 0) break;
        gSelectedOutput = gOutputs[0];
        showPostForm(frmUitgang);
        break;
    case 1101:
        gCurFunctionDecoder = functionDecoderToShow();
        showPostForm(frmFunctieDec);
        break;
    case 1111:
        if (gStepProgramCount == 0) break;
        gCurStepBox = gStepPrograms[0];
        gEditMode = kPostStepPrograms;
        showPostForm(frmStappen);
        break;
    case 1112: startInputSimulation(); break;
    default: break;
    }
}

}  // namespace

void runPostCommand(int code, const PostHit& hit) {
    if (code < 256 || (code >= 301 && code <= 303)) {
        keyCommand(code);
    } else if (code >= 402 && code <= 411) {
        elementClicked(hit);
    } else if (code == 501 || code == 502 || code == 504) {
        toggleLayer(code - 500);
    } else if (code >= 1001 && code <= 1008) {
        locoFileCommand(code);
    } else {
        runMenuCommand(code, false);
    }
}

void runMenuCommand(int code, bool client) {
    if (code >= 1041 && code <= 1048) {
        locoMenuCommand(code, client);
    } else if (code >= 1051 && code <= 1054) {
        wagonMenuCommand(code);
    } else if (code >= 1061 && !(client && code == 1112)) {
        elementMenuCommand(code);
    }
}

// An open route dialog shows the locomotive chosen now.
void showRouteDialogForLoco() {
    if (frmTraject && frmTraject->isVisible())
        frmTraject->FormActivate();
    else
        showPostForm(frmTraject);
}

void showPostForm(QDialog* form) {
    if (!form) return;
    // The open locomotive panel takes up the block or locomotive just picked.
    if (form == frmLok && form->isVisible()) frmLok->FormActivate();
    // The open clock dialog shows the clock as it is now.
    if (form == frmTijd && form->isVisible()) frmTijd->FormActivate();
    form->show();
    form->raise();
}

void selectNextRow(int step) {
    const int n = gLocsOnTrackCount;
    if (n == 0) return;
    gActiveRow = ((gActiveRow + step) % n + n) % n;
}

void operateElement(const PostHit& hit) {
    void* e = hit.element.element;
    const bool right = gMouseButton == 2;
    switch (hit.code) {
    case 403: {

        auto* t = static_cast<TurnoutRec*>(e);
        if (t->subtype == 'x') break;
        if (right) {
            gSelectedTurnout = t;
            showPostForm(frmWissel);
        } else {
            toggleTurnout(t);
        }
        break;
    }
    case 404:
        if (right) {
            gSelectedSignal = static_cast<SignalRec*>(e);
            showPostForm(frmSein);
        } else {
            toggleSignalForcedRed(static_cast<SignalRec*>(e));
        }
        break;
    case 405:
        if (right) {
            gSelectedOutput = static_cast<OutputRec*>(e);
            showPostForm(frmUitgang);
        } else {
            operateOutput(static_cast<OutputRec*>(e));
        }
        break;
    case 407:
        if (hit.element.track != 0) {
            turnTurntable(static_cast<TurntableRec*>(e), hit.element.track, right ? 2 : 1);
        } else {
            gSelectedTurntable = static_cast<TurntableRec*>(e);
            showPostForm(frmDraaischijf);
        }
        break;
    case 408: {
        auto* p = static_cast<StepProgramRec*>(e);
        if (right) {
            gCurStepBox = p;
            gEditMode = kPostStepPrograms;
            if (frmStappen) frmStappen->Tag = 0;
            showPostForm(frmStappen);
        } else {
            setStepProgramState(p, p->state);
        }
        break;
    }
    default: break;
    }
}

void locoClicked(const PostHit& hit) {
    if (gMouseButton == 2) {
        gCurTrain = hit.loco;
        showPostForm(frmTrein);
        return;
    }
    if (gEditMode == kPostRemoveVehicle) {
        gEditMode = 0;
        takeLocoOffTrack(hit.loco);
        return;
    }
    if (gActiveDialog == 14) {
        gRouteDialogLoco = hit.loco;
        showRouteDialogForLoco();
    } else if (!lokPlacing()) {
        gCurLoc = hit.loco;
        gEditMode = kPostVehicleDialog;
        showPostForm(frmLok);
    }
    gActiveRow = hit.row;
}

void showBlockDialog(const PostHit& hit) {
    gSelectedBlock = static_cast<BlockRec*>(hit.element.element);
    gSelectedSection = hit.element.segment;
    showPostForm(frmSektie);
}

void showWagonDialog(const PostHit& hit) {
    gCurWagon = hit.wagon;
    gCurWagonFirst = hit.first;
    gEditMode = kPostVehicleDialog;
    if (frmWagons) frmWagons->Tag = 0;
    showPostForm(frmWagons);
}
