// The control post of a synchronised client. The server owns the model: what would change it becomes
// a request, either through the operations (which send their own request on a client) or through the
// records built here. At the end of every command the requests go to the server at once.
#include "operation/control/client_control_post.h"

#include <cstdint>

#include "layout/draw/diagram_area.h"
#include "layout/editor/editor_forms.h"
#include "layout/editor/editor_state.h"
#include "layout/frame/render.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/socket/net_mode.h"
#include "network/socket/net_sockets.h"
#include "operation/control/control_post.h"
#include "operation/control/control_post_internal.h"
#include "operation/control/loco_operation.h"
#include "operation/dialogs/untLok.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/window/status_line.h"

namespace {

constexpr int kClientRole = 40;

// The slot of a wagon on the track (loose or coupled), -1 for one that is not.
int slotOnTrack(const WagonRec* wagon) {
    if (!wagon || wagon->slot >= gWagonCounts.coupledEnd || gWagons[wagon->slot] != wagon) return -1;
    return wagon->slot;
}

// The slot of the wagon chosen in the wagon table, -1 unless it stands off the track.
int slotOffTrack(const WagonRec* wagon) {
    if (!wagon || wagon->slot < gWagonCounts.coupledEnd || wagon->slot >= gWagonTotal ||
        gWagons[wagon->slot] != wagon)
        return -1;
    return wagon->slot;
}

// The mouse point in the server's coordinates: turned into the server's orientation, with the layout
// offset the drawing area last took away added back. Working out the turn measures the layout into
// gDrawArea, which the drawing still needs: it is kept.
DiagramPoint pointForServer() {
    const DrawRect area = gDrawArea;
    DiagramPoint p = gMousePoint;
    rotatePoints(&p, 0, rotationOffsets(gServerOrientation));
    gDrawArea = area;
    p.x += gSavedLayoutOffset.x;
    p.y += gSavedLayoutOffset.y;
    return p;
}

// Kind 3 code 40: the wagon of the wagon table onto the block at the point clicked (14 bytes). Queued
// behind the requests already waiting, and only when it fits whole.
void queuePlaceWagon(const BlockRec* block, int segment) {
    const int slot = slotOffTrack(gCurWagon);
    if (slot < 0) return;
    const DiagramPoint p = pointForServer();
    const uint8_t tail[8] = {static_cast<uint8_t>(block->number),
                             static_cast<uint8_t>(block->ownIndex),
                             static_cast<uint8_t>(segment),
                             0,
                             static_cast<uint8_t>(p.x & 0xFF),
                             static_cast<uint8_t>((p.x >> 8) & 0xFF),
                             static_cast<uint8_t>(p.y & 0xFF),
                             static_cast<uint8_t>((p.y >> 8) & 0xFF)};
    netQueueBlobRecord(kClientRole, 3, 40, 0, slot, tail, sizeof tail);
}

void queueEmergencyStop() { netQueueRecord(kClientRole, 45, 45, 0, 0, 1); }

// The row commands act on the locomotive of the active row, when there is one.
void rowCommand(int code) {
    const int row = gActiveRow;
    LocoRec* loco = locoInRow(row);
    if (!loco) return;
    switch (code) {
    case 38:
    case 40: stepLocoSpeed(loco, row, code, 0); break;
    case '+':
    case '-': adjustLocoWaitTime(loco, code); break;
    case 'l':
    case 301: toggleLocoRun(loco); break;
    case 'm':
    case 302: cycleLocoMode(loco); break;
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
            if (LocoRec* loco = locoInRow(gActiveRow)) {
                gEditMode = 0;
                takeLocoOffTrack(loco);  // only its request
            }
        }
        break;
    case 27:
        if (gEditMode != 0 || gStatusLineShown) {
            gEditMode = 0;
            clearStatusLine();
        }
        break;
    case 32:
    case 's': queueEmergencyStop(); break;
    case 37: selectNextRow(-1); break;
    case 39: selectNextRow(1); break;
    default: rowCommand(code); break;
    }
}

void blockClicked(const PostHit& hit) {
    auto* block = static_cast<BlockRec*>(hit.element.element);
    if (gMouseButton == 2) {
        showBlockDialog(hit);
    } else if (lokPlacing()) {
        gSelectedBlock = block;
        showPostForm(frmLok);
    } else if (wagonsPlacing()) {
        queuePlaceWagon(block, hit.element.segment);
    }
}

void wagonClicked(const PostHit& hit) {
    if (gMouseButton == 2) {
        showWagonDialog(hit);
        return;
    }
    const int slot = slotOnTrack(hit.wagon);
    if (gEditMode == kPostUncouple) {
        if (hit.loco && slot >= 0) netQueueRecord(kClientRole, 3, 47, 0, slot, 0);
        gEditMode = 0;
    } else if (gEditMode == kPostRemoveVehicle) {
        if (slot >= 0) netQueueRecord(kClientRole, 3, 41, 0, slot, 0);
        gEditMode = 0;
    }
}

void runCommand(int code, const PostHit& hit) {
    if (code < 256 || (code >= 301 && code <= 303)) {
        if (code != 'x') keyCommand(code);
    } else if (code == 402) {
        blockClicked(hit);
    } else if (code == 410) {
        locoClicked(hit);  // the removal sends its request
    } else if (code == 411) {
        wagonClicked(hit);
    } else if (code >= 403 && code <= 408 && code != 406) {
        operateElement(hit);
    } else if (code == 501 || code == 502 || code == 504) {
        toggleLayer(code - 500);
    } else if (code == 1008) {
        // The server keeps the data: a client asks no save question.
        gEditMode = kPostExit;
        closeMainWindow();
    } else if (code >= 1041) {
        runMenuCommand(code, true);
    }
}

// Everything queued goes to the server now; a closed socket is opened again, and the requests wait for
// the main cycle's send pass until the connection stands.
void sendRequests() {
    if (!netClientOpen()) {
        reopenClientSocket();
    } else if (gNetOutFill > 0 && netClientConnected()) {
        netClientWrite(gNetOutBuffer, gNetOutFill);
        gNetOutFill = 0;
    }
}

}  // namespace

void controlPostCommandClient(int code, int row) {
    if (gEmergencyState != 0) return;
    gActiveRow = row;
    PostHit hit;
    if (code == 0) code = gMouseButton > 0 ? postHitTest(hit, false) : gPendingKey;
    if (code == 0 || (gShiftState > 1 && code < 1000)) {
        if (code == 38 || code == 40) rowCommand(code);
    } else {
        if (clickModeActive() && !keepsClickMode(code)) cancelClickMode();
        // The requests queued since the last send pass (a route line, a wagon edit) stay in front.
        runCommand(code, hit);
    }
    highlightActiveRow();
    if (gMouseButton == 2 || (!clickModeActive() && gStatusLineShown)) cancelClickMode();
    sendRequests();
}
