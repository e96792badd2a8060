#include "network/sync/client_wagon_updates.h"

#include <algorithm>
#include <string>

#include "layout/model/layout_model.h"
#include "network/model/net_state.h"
#include "network/sync/client_tables.h"
#include "operation/control/dialog_refresh.h"
#include "operation/control/loco_operation.h"
#include "operation/control/loco_putting.h"
#include "operation/dialogs/untWagons.h"
#include "operation/engine/helper_locos.h"
#include "operation/engine/wagon_coupling.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/model/input_state.h"

namespace {

int16_t at16(const uint8_t* r, int k) { return static_cast<int16_t>(r[k] | (r[k + 1] << 8)); }

template <class Rec, class Table>
Rec* objectAt(Table& table, int index) {
    return (index >= 0 && index < table.count()) ? table[index] : nullptr;
}

bool inZone(const WagonRec* w, int from, int to) {
    const int i = gWagons.indexOf(w);
    return i >= from && i < to;
}

// 3/40: the server's click point, in its view, on the block it names by number and index.
void placeWagon(WagonRec* w, const uint8_t* r) {
    BlockRec* block = objectAt<BlockRec>(gBlocks, r[7]);
    if (!block || block->number != r[6]) return;
    DiagramPoint point[1] = {{at16(r, 10), at16(r, 12)}};
    netPointsToClientView(point, 0);
    const DiagramPoint mouse = gMousePoint;
    gMousePoint = point[0];
    placeWagonOnBlock(w, block, r[8]);
    gMousePoint = mouse;
}

}  // namespace

void netApplyWagonRecord(const uint8_t* r, int length) {
    const int code = r[1];
    const int a = at16(r, 2), b = at16(r, 4), c = at16(r, 6);
    WagonRec* w = objectAt<WagonRec>(gWagons, b);
    if (code == 0) {
        if (frmWagons && frmWagons->isVisible()) frmWagons->close();
        if (w) refreshWagonRow(w);
        return;
    }
    if (!w) return;
    switch (code) {
    case 18:
        // A helper refusal goes to the client that asked only.
        if (gNetOwnClientNumber != 0 && ((c >> 8) & 0xFF) == gNetOwnClientNumber)
            reportHelperRefusal(objectAt<LocoRec>(gLocs, a), w, c & 0xFF);
        break;
    case 39: takeOverWagonLength(w, a, c); break;
    case 40:
        if (length >= 14) placeWagon(w, r);
        break;
    case 41: takeWagonOffTrack(w, 1); break;
    case 46:
        if (length >= 12) {
            LocoRec* loco = objectAt<LocoRec>(gLocs, at16(r, 8));
            if (loco && loco->number == c) coupleLooseRun(loco, w, a != 0);
        }
        break;
    case 47:
        if (w->owner) uncoupleWagons(w->owner, w);
        break;
    case 52:
        if (LocoRec* loco = objectAt<LocoRec>(gLocs, a); loco && inZone(w, gWagonCounts.coupledEnd, gWagonTotal))
            coupleWagon(loco, w, c);
        break;
    case 53:
        if (w->owner) unlinkWagon(w, w->owner, 1);
        break;
    default: break;
    }
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
    case 40: {
        // Put on the track at the block in bytes 8 and 9, with the heading and direction of c.
        BlockRec* block = length >= 10 ? objectAt<BlockRec>(gBlocks, r[9]) : nullptr;
        const char heading = static_cast<char>(c & 0xFF), direction = static_cast<char>((c >> 8) & 0xFF);
        if (!block || block->number != r[8] || (heading != 'H' && heading != 'T') || (direction != 'v' && direction != 'a') ||
            onTrack(l->run.head) || gLocsOnTrack.indexOf(l) >= 0)
            return true;
        NetworkSilence local;
        l->heading = heading;
        l->direction = direction;
        if (placeLocoOnBlock(l, block)) putLocoOnTrack(l);
        return true;
    }
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
        WagonRec* w = objectAt<WagonRec>(gWagons, c);
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
