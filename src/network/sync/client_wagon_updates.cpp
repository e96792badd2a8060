#include "network/sync/client_wagon_updates.h"

#include <algorithm>
#include <string>

#include "layout/model/layout_model.h"
#include "network/model/net_state.h"
#include "network/sync/client_tables.h"
#include "network/sync/record_fields.h"
#include "operation/control/dialog_refresh.h"
#include "operation/control/loco_operation.h"
#include "operation/control/loco_putting.h"
#include "operation/dialogs/untFunctieDec.h"
#include "operation/dialogs/untTrein.h"
#include "operation/dialogs/untWagons.h"
#include "operation/control/control_post.h"
#include "operation/engine/helper_locos.h"
#include "operation/engine/wagon_coupling.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/model/input_state.h"

namespace {


bool inZone(const WagonRec* w, int from, int to) {
    const int i = gWagons.indexOf(w);
    return i >= from && i < to;
}

// 3/40: the server's click point, in its view, on the block it names by number and index.
void placeWagon(WagonRec* w, const uint8_t* r) {
    BlockRec* block = gBlocks[r[7]];
    if (!block || block->number != r[6]) return;
    DiagramPoint point[1] = {{netAt16(r, 10), netAt16(r, 12)}};
    netPointsToClientView(point, 0);
    const DiagramPoint mouse = gMousePoint;
    gMousePoint = point[0];
    placeWagonOnBlock(w, block, r[8]);
    gMousePoint = mouse;
}

}  // namespace

void netApplyWagonRecord(const uint8_t* r, int length) {
    const int code = r[1];
    const int a = netAt16(r, 2), b = netAt16(r, 4), c = netAt16(r, 6);
    WagonRec* w = gWagons[b];
    if (code == 0) {
        // The server made a new wagon at the end of its table: the same one is made here.
        if (frmWagons && frmWagons->isVisible()) frmWagons->close();
        if (frmWagons) frmWagons->btnNieuwClick(false);
        return;
    }
    if (!w) return;
    switch (code) {
    case 42:
        if (frmWagons) {
            WagonRec* keep = gCurWagon == w ? nullptr : gCurWagon;
            gCurWagon = w;
            frmWagons->btnVerwijderenClick(false);
            gCurWagon = keep;
        }
        break;
    case 18:
        // A helper refusal goes to the client that asked only.
        if (gNetOwnClientNumber != 0 && ((c >> 8) & 0xFF) == gNetOwnClientNumber)
            reportHelperRefusal(gLocs[a], w, c & 0xFF);
        break;
    case 39: takeOverWagonLength(w, a, c); break;
    case 40:
        if (length >= 14) placeWagon(w, r);
        break;
    case 41: takeWagonOffTrack(w, 1); break;
    case 46:
        if (length >= 12) {
            LocoRec* loco = gLocs[netAt16(r, 8)];
            if (loco && loco->number == c) coupleLooseRun(loco, w, a != 0);
        }
        break;
    case 47:
        if (w->owner) uncoupleWagons(w->owner, w);
        break;
    case 52:
        if (LocoRec* loco = gLocs[a]; loco && inZone(w, gWagonCounts.coupledEnd, gWagonTotal))
            coupleWagon(loco, w, c);
        break;
    case 53:
        if (w->owner) unlinkWagon(w, w->owner, 1);
        break;
    default: break;
    }
}

void netApplyLocoAdded(int number) {
    NetworkSilence local;  // the server did it already: no request goes back
    if (addLocomotive(number) != LocoAddResult::Added) return;
    if (frmFunctieDec) frmFunctieDec->Tag = 0;
    if (frmTrein && frmTrein->isVisible()) {
        frmTrein->Tag = 0;
        frmTrein->FormActivate();
    }
}

void netApplyFunctionDecoderAdded(int address) {
    NetworkSilence local;  // the server did it already: no request goes back
    if (frmFunctieDec) frmFunctieDec->addDecoder(address, false);
}

void netApplyFunctionDecoderDeleted(int address, int slot) {
    FunctionDecoderRec* d = gFunctionDecoders[slot];
    if (!d || d->address != address) return;
    NetworkSilence local;
    if (frmFunctieDec) frmFunctieDec->deleteDecoder(d, false);
}

bool netApplyLocoChange(LocoRec* l, int code, int c, const uint8_t* r, int length) {
    switch (code) {
    case 18: {
        const int client = (c >> 8) & 0xFF;
        if (client == 0 || client == gNetOwnClientNumber) {
            const std::string text = blockedReasonText(l->number, c & 0xFF);
            if (!text.empty()) showDialogMessage(text, 1);
        }
        return true;
    }
    case 40:
        if (length >= 10) {
            NetworkSilence local;  // the server did it already: no request goes back
            putLocoOnNamedBlock(l, c, r[8], r[9]);
        }
        return true;
    case 41: {
        NetworkSilence local;  // the server did it already: no request goes back
        l->targetStep = 0;  // the server takes only a standing locomotive off
        takeLocoOffTrack(l);
        return true;
    }
    case 42: {
        NetworkSilence local;  // the server did it already: no request goes back
        l->targetStep = 0;
        deleteLoco(l);
        return true;
    }
    case 51: {
        if (length < 12) return true;
        WagonRec* w = gWagons[c];
        const bool link = r[10] != 0;
        if (link && w) {
            if (gHelperLocs.indexOf(l) < 0 && !gHelperLocs.full()) gHelperLocs.append(l);
            l->helperWagon = w;
        } else {
            gHelperLocs.removeAt(gHelperLocs.indexOf(l));
            l->helperWagon = nullptr;
        }
        if (w && w->owner) w->owner->maxStep = static_cast<int16_t>(std::clamp<int>(r[8], 0, w->owner->run.speedSteps));
        return true;
    }
    default: return false;
    }
}
