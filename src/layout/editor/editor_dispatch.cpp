#include "layout/editor/editor_dispatch.h"

#include <string>

#include "layout/editor/edit_input.h"
#include "layout/editor/edit_journal.h"
#include "layout/editor/editor_forms.h"
#include "layout/editor/editor_prompts.h"
#include "layout/editor/editor_selection.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/element_delete.h"
#include "layout/editor/layout_move.h"
#include "layout/editor/pick_point.h"
#include "layout/editor/point_entry.h"
#include "layout/frame/render.h"
#include "layout/editor/track_entry.h"
#include "layout/model/turntable_tracks.h"
#include "operation/control/element_picks.h"
#include "operation/model/route_editor_state.h"
#include "operation/model/route_file.h"
#include "shell/model/app_state.h"
#include "shell/config/messages.h"
#include "shell/main/session.h"
#include "shell/window/status_line.h"

namespace {

int gLastCommand = 0;
PickHit gHit;  // what the last click hit

constexpr int kCtrl = 4;
constexpr int kShift = 1;

// What lies under the mouse point, in the order the editor tests it. input is dispatchEditInput's answer:
// after a cancelled operation (-1) only the tool bar counts.
int hitUnderPointer(int input) {
    int letter = 0;
    if (hitToolbar(letter)) return letter;
    if (input == -1) return 0;
    gHit = {};
    if (int code = pickTurnoutAt(-1, gHit)) return code;
    if (int code = pickSignalAt(-1, gHit)) return code;
    if (int code = pickOutputAt(-1, gHit)) return code;
    if (int code = pickInputAt(-1, gHit)) return code;
    if (gMouseButton == 2)
        if (int code = pickStepBoxAt(-1, gHit)) return code;
    if (int code = pickTurntableAt(gHit)) return code;
    if (int code = pickBlockAt(gHit)) return code;
    if (int code = pickTrackAt(gHit)) return code;
    return hitLayerButton();
}

bool demoLayout() { return gLayoutFileName.compare(0, 5, "demo\\") == 0; }

void pointWithCrosshair(const char* prompt, uint32_t mode) {
    showEditorPrompt(prompt);
    gEditMode = mode;
    pickPoint();
}

// Deletes the element hit; its dialog never keeps the freed record.
template <class Delete>
void deleteHit(Delete remove) {
    releaseSelection(gHit.element);
    remove(gHit.index, true);
    dropStaleSelections();
}

void undoRedo(int direction) {
    journalUndoRedo(direction);
    dropStaleSelections();
}

void fileCommand(int code) {
    const bool dirty = gDirtyFlags != 0;
    switch (code) {
    case 1001:
        gEditMode = kEditNewLayout;
        dirty && !demoLayout() ? showSaveQuestion() : showNewFileDialog();
        break;
    case 1002:
        gEditMode = kEditOpenLayout;
        dirty && !demoLayout() ? showSaveQuestion() : showOpenFileDialog();
        break;
    case 1003:
        if (demoLayout()) {
            showDialogMessage("Dit demobestand kan slechts opgeslagen worden onder een andere naam !", 1);
        } else if (dirty) {
            gEditMode = kEditSaveLayout;
            activateDirectionDialog();
        }
        break;
    case 1004:
        gEditMode = kEditSaveLayoutAs;
        dirty ? activateDirectionDialog() : showNewFileDialog();
        break;
    case 1005:
        gEditMode = kEditDeleteLayout;
        showOpenFileDialog();
        break;
    case 1008:
        gEditMode = kEditExit;
        dirty ? showSaveQuestion() : closeMainWindow();
        break;
    default: break;
    }
}

void routeCommand(int code) {
    switch (code) {
    case 1021:
        if (gBlockCount < 2) return;
        gEditMode = kEditNewRoute;
        break;
    case 1022:
        if (routeCount() < 1 || gBlockCount < 2) return;
        gEditMode = kEditChangeRoute;
        gCurRoute = routeAt(0);
        break;
    default:
        if (routeCount() < 1) return;
        gEditMode = kEditDeleteRoute;
        break;
    }
    showRouteDialog();
}

void editCommand(int code) {
    switch (code) {
    case 1011:
        pointWithCrosshair("Klik op de te verplaatsen bouwsteen  of maak andere keuze  /  Shift(lock) = snap to grid uit",
                           kEditClickMoves);
        gMoveWhole = 1;
        break;
    case 1012:
        pointWithCrosshair("Klik op de te wijzigen bouwsteen  of maak andere keuze  /  Shift(lock) = snap to grid uit",
                           kEditClickOpens);
        break;
    case 1013:
        pointWithCrosshair(
            "Klik op de te verwijderen bouwsteen  of maak andere keuze  /  Shift(lock) = snap to grid uit",
            kEditClickDeletes);
        break;
    case 1014: moveLayoutInteractive(); break;
    case 1015:
        redrawSchema(0);
        gEditMode = kEditConnections;
        activateDirectionDialog();
        break;
    case 1016:
        pointWithCrosshair("Klik op het te verplaatsen punt (blok of verbindingsspoor)  of maak andere keuze  /  "
                           "Shift(lock) = snap to grid uit",
                           kEditClickMoves);
        gMoveWhole = 0;
        break;
    case 1017: undoRedo(0); break;
    case 1018: undoRedo(1); break;
    default: break;
    }
}

void keyCommand(int key) {
    const bool ctrl = gShiftState & kCtrl;
    switch (key) {
    case '1':
    case '2':
    case '3':
        if (ctrl) toggleLayer(1 << (key - '1'));
        break;
    case 'z':
        if (ctrl) undoRedo((gShiftState & kShift) ? 1 : 0);
        break;
    case 'b': insertBlock(); break;
    case 'v': insertTrack(); break;
    case 'd':
        gTurntableMode = 1;
        insertTrack();
        break;
    case 'k':
    case 'l':
    case 'r':
    case 'x': insertTurnout(static_cast<char>(key)); break;
    case 's': insertSignal(); break;
    case 'o': insertOutput(); break;
    case 'i': insertInput(); break;
    case 'p': insertStepBox(); break;
    default: break;
    }
}

// The turntable hit at one of its bridge's ends moves its bridge track by point 1.
void turntableCommand() {
    auto* t = static_cast<TurntableRec*>(gHit.element);
    if (elementDialogVisible(407)) {
        toggleTurntableOnDiagram(t, gHit.track);
        return;
    }
    switch (gEditMode) {
    case kEditClickDeletes:
        releaseSelection(t);
        deleteTurntable(gHit.index, true);
        dropStaleSelections();
        break;
    case kEditClickMoves:
        if (gHit.track == 1 || gHit.track == t->positions + 1) {
            gSelectedTurntable = t;
            moveTrack(gTracks.indexOf(t->track), 1);
            if (!gTurntableMode) gEditMode = kEditIdle;
        }
        break;
    case kEditClickOpens:
        gSelectedTurntable = t;
        showElementDialog(407);
        break;
    default: break;
    }
}

void stepBoxCommand() {
    switch (gEditMode) {
    case kEditClickOpens: setStepDialogTag(0); [[fallthrough]];
    case kEditClickDeletes:
        gCurStepBox = static_cast<StepProgramRec*>(gHit.element);
        showElementDialog(408);
        break;
    case kEditClickMoves: moveStepBox(gHit.index); break;
    default: break;
    }
}

// Delete, move or open the dialog of the element hit, by the click mode.
template <class Rec, class Delete, class Move>
void elementCommand(Rec*& selected, int code, Delete remove, Move move) {
    switch (gEditMode) {
    case kEditClickDeletes: deleteHit(remove); break;
    case kEditClickMoves: move(); break;
    case kEditClickOpens:
        selected = static_cast<Rec*>(gHit.element);
        showElementDialog(code);
        break;
    default: break;
    }
}

void elementHitCommand(int code) {
    switch (code) {
    case 401:
        elementCommand(gSelectedTrack, 401, deleteTrack, [] { moveTrack(gHit.index, gHit.point); });
        break;
    case 402:
        if (gEditMode == kEditClickOpens) gSelectedSection = gHit.segment;
        if (gEditMode != kEditClickDeletes && gEditMode != kEditClickMoves && gEditMode != kEditClickOpens &&
            gActiveDialog == 14) {
            gSelectedBlock = static_cast<BlockRec*>(gHit.element);
            activateRouteDialog();
            break;
        }
        elementCommand(gSelectedBlock, 402, deleteBlock, [] { moveBlock(gHit.index, gHit.point); });
        break;
    case 403:
        if (gEditMode == kEditClickOpens && static_cast<TurnoutRec*>(gHit.element)->subtype == 'x') break;
        elementCommand(gSelectedTurnout, 403, deleteTurnout, [] { moveTurnout(gHit.index); });
        break;
    case 404:
        if (gEditMode == kEditClickOpens) gActiveDialog = 0;
        elementCommand(gSelectedSignal, 404, deleteSignal, [] { moveSignal(gHit.index); });
        break;
    case 405: elementCommand(gSelectedOutput, 405, deleteOutput, [] { moveOutput(gHit.index); }); break;
    case 406: elementCommand(gSelectedInput, 406, deleteInput, [] { moveInput(gHit.index); }); break;
    case 407: turntableCommand(); break;
    default: stepBoxCommand(); break;
    }
}

// A click on an element takes the pending click mode, or without one opens (right button) or moves it;
// any other command ends a pending click mode.
void applyClickMode(int code) {
    if (code >= 401 && code <= 408) {
        if (gEditMode == kEditClickOpens && mouseButtonInput()) closeAllDialogs(code);
        if (gEditMode == kEditIdle) gEditMode = gMouseButton == 2 ? kEditClickOpens : kEditClickMoves;
    } else if (gEditMode != kEditIdle) {
        gEditMode = kEditIdle;
        clearStatusLine();
    }
}

void actOn(int code) {
    if (code >= 401 && code <= 408) {
        elementHitCommand(code);
    } else if (code == 501 || code == 502 || code == 504) {
        toggleLayer(code - 500);
    } else if (code >= 1001 && code <= 1008) {
        fileCommand(code);
    } else if (code >= 1011 && code <= 1018) {
        editCommand(code);
    } else if (code >= 1021 && code <= 1023) {
        routeCommand(code);
    } else if (code < 256) {
        keyCommand(code);
    }
}

}  // namespace

int lastEditorCommand() { return gLastCommand; }

void dispatchEditorCommand(int code) {
    if (gActiveDialog == 4) {
        activateDirectionDialog();
        return;
    }
    const int input = dispatchEditInput(0);
    if (input == 1) return;
    if (code == 0) code = (mouseButtonInput() || input == 2) ? hitUnderPointer(input) : gPendingKey;
    gLastCommand = code;
    if (code == 0) {
        clearStatusLine();
        return;
    }
    applyClickMode(code);
    actOn(code);
}
