#include "operation/control/control_post.h"

#include <QCursor>

#include "layout/frame/render.h"
#include "layout/model/layout_model.h"
#include "network/model/net_state.h"
#include "network/socket/net_mode.h"
#include "operation/control/client_control_post.h"
#include "operation/control/control_post_internal.h"
#include "operation/control/loco_operation.h"
#include "operation/engine/wagon_coupling.h"
#include "operation/dialogs/untLok.h"
#include "operation/dialogs/untWagons.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"
#include "shell/window/status_line.h"
#include "shell/window/untSchema.h"

uint8_t gNoFeedbackPoll = 0;
LocoRec* gCurLoc = nullptr;
LocoRec* gCurTrain = nullptr;
LocoRec* gRouteDialogLoco = nullptr;
WagonRec* gCurWagon = nullptr;
WagonRec* gCurWagonFirst = nullptr;
FunctionDecoderRec* gCurFunctionDecoder = nullptr;

LocoRec* locoInRow(int row) { return gLocsOnTrack[row]; }
bool lokPlacing() { return frmLok && frmLok->Tag == kLokPlacing && frmLok->isVisible(); }
bool wagonsPlacing() { return frmWagons && frmWagons->Tag == kWagonsPlacing && frmWagons->isVisible(); }

namespace {

void setMainCursor(Qt::CursorShape shape) {
    if (frmSchema) frmSchema->setCursor(shape);
}

// The first pass tries the elements in this order; a layout element is hit near its anchor.
int firstPass(PostHit& hit, bool withInputs) {
    const int t = gSnapTolerance;
    if (withInputs) {
        if (int c = pickInputAt(0, hit.element)) return c;
    }
    WagonHit wagon;
    if (int c = pickWagonAt(wagon, 1)) {
        hit.loco = wagon.loco;
        hit.wagon = wagon.wagon;
        hit.first = wagon.first;
        return c;
    }
    if (int c = pickLocoAt(2 * t, hit.loco, hit.row)) return c;
    if (int c = pickTurnoutAt(0, hit.element)) return c;
    if (int c = pickSignalAt(0, hit.element)) return c;
    if (int c = pickOutputAt(0, hit.element)) return c;
    if (int c = pickStepBoxAt(-1, hit.element)) return c;
    if (int c = pickTurntableAt(hit.element)) return c;
    if (int c = pickBlockAt(hit.element)) return c;
    return hitLayerButton();
}

// With wider tolerances: a locomotive, turnout, signal or output just beside a block or a wagon.
int secondPass(PostHit& hit) {
    if (int c = pickLocoAt(4 * gSnapTolerance, hit.loco, hit.row)) return c;
    if (int c = pickTurnoutAt(-1, hit.element)) return c;
    if (int c = pickSignalAt(-1, hit.element)) return c;
    return pickOutputAt(-1, hit.element);
}

bool secondChance(int code) {
    if (code == 0) return true;
    if (gMouseButton != 1) return false;
    if (code == 402) return !gNoFeedbackPoll && !lokPlacing() && !wagonsPlacing();
    return code == 411 && gEditMode != kPostUncouple && gEditMode != kPostRemoveVehicle;
}

// With a modifier other than Shift alone only the speed keys and Ctrl + 1, 2, 3 (the layers) act.
void runModifierCommand(int code) {
    if (code == 38 || code == 40) {
        if (LocoRec* loco = locoInRow(gActiveRow)) stepLocoSpeed(loco, gActiveRow, code, 1);
    } else if (code >= '1' && code <= '3' && (gShiftState & 4)) {
        toggleLayer(1 << (code - '1'));
    }
}

}  // namespace

bool clickModeActive() { return gEditMode != 0 && gEditMode != 12 && gEditMode != 13; }

bool keepsClickMode(int code) { return code == 13 || code == 402 || code == 405 || code == 410 || code == 411; }

int postHitTest(PostHit& hit, bool withInputs) {
    hit.code = firstPass(hit, withInputs);
    if (secondChance(hit.code)) {
        hit = PostHit{};
        hit.code = secondPass(hit);
    }
    return hit.code;
}

void highlightActiveRow() {
    if (gActiveRow >= gLocsOnTrackCount || gActiveRow == gPreviousRow) return;
    for (int row : {gPreviousRow, gActiveRow}) {
        if (LocoRec* loco = locoInRow(row)) {
            showLocoSpeed(loco, 1);
            showLocoWaitTime(row);
        }
    }
    gPreviousRow = gActiveRow;
}

void promptClickMode(const std::string& prompt, uint32_t mode) {
    setStatusLine(prompt, 1);
    setStatusLine(prompt, 0);
    gEditMode = mode;
    setMainCursor(Qt::PointingHandCursor);
}

void cancelClickMode() {
    gEditMode = 0;
    clearStatusLine();
    setMainCursor(Qt::ArrowCursor);
    if (frmLok && frmLok->Tag == kLokPlacing) frmLok->close();
    if (frmWagons && frmWagons->Tag == kWagonsPlacing) frmWagons->close();
}

void controlPostCommand(int code, int row) {
    if (gEmergencyState != 0) return;
    if (gNetLinkState == 40) {
        controlPostCommandClient(code, row);
        return;
    }
    if (gNetMode == 40) {
        // A client whose link went down (its watchdog closed the socket): a command connects anew.
        reopenClientSocket();
        return;
    }
    gRequestingClient = 0;
    PostHit hit;
    if (code == 0) {
        // Only a button release is a click; a key after a left click (gMouseButton -1) is a key.
        code = gMouseButton > 0 ? postHitTest(hit, true) : gPendingKey;
    }
    gActiveRow = row;
    if (code == 0 || (gShiftState > 1 && code < 1000)) {
        runModifierCommand(code);
    } else {
        if (clickModeActive() && !keepsClickMode(code)) cancelClickMode();
        runPostCommand(code, hit);
    }
    highlightActiveRow();
    if (gMouseButton == 2 || (!clickModeActive() && gStatusLineShown)) cancelClickMode();
}
