#include "operation/engine/train_reservation.h"

#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_draw.h"
#include "layout/model/display_settings.h"
#include "layout/model/layout_model.h"
#include "network/model/net_queue.h"
#include "operation/draw/train_drawing.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"

namespace {
constexpr uint8_t kReservedMark = 0x01;
constexpr uint8_t kLooseWagonOnIt = 0x10;
}  // namespace

void setRouteReserved(ConnectionRec* c, LocoRec* t, int fromMark, int toMark) {
    if (!c) return;
    bool erased = false;
    bool changed = false;
    auto mark = [&](BlockRec* b, int m, bool toBlock) {
        if (!b || ((b->state & kReservedMark) != 0) == (m != 0)) return;
        if (b->assignedTrain && b->assignedTrain != t) return;
        b->state = static_cast<uint8_t>(m ? (b->state | kReservedMark) : (b->state & ~kReservedMark));
        changed = true;
        if (!gSettings.chboVisuVerbinding) return;
        const bool mayErase = !toBlock || !gShowBlockFeedback || gRunWithoutTrack || (t && t->currentStep == 0);
        if (t && !erased && mayErase) {
            eraseTrain(t);
            erased = true;
        }
        redrawVehiclesInSection(b);
        drawBlock(*b, 0, 1);
        redrawVehiclesInSection(b);
    };
    mark(c->from, fromMark, false);
    mark(c->to, toMark, true);
    if (changed)
        for (int i = 0; i < kConnectionTurnouts && c->turnouts[i]; ++i) drawTurnout(*c->turnouts[i], 0, 2);
    if (erased) drawTrain(t);
    if (c->from && netQueueRecord(30, 5, 44, c->from->number, c->from->ownIndex, c->from->state) && c->to)
        netQueueRecord(30, 5, 44, c->to->number, c->to->ownIndex, c->to->state);
}

int releaseRouteOfTrain(LocoRec* t, int onlyWhenStanding) {
    if (!t || !t->connection) return 0;
    ConnectionRec* c = t->connection;
    if (onlyWhenStanding && (c->from != currentSectionOfTrain(t) || t->currentStep != 0 || (t->run.runFlagsA & 0x02)))
        return 0;
    if (c->to && c->to->assignedTrain == t) {
        c->to->assignedTrain = nullptr;
        c->to->arrivedTrain = nullptr;
    }
    for (int i = 0; i < kConnectionTurnouts && c->turnouts[i]; ++i)
        if (c->turnouts[i]->holder == t) c->turnouts[i]->holder = nullptr;
    t->run.runFlagsA &= static_cast<uint8_t>(~0x02);
    setRouteReserved(c, t, 0, 0);
    return 1;
}

BlockRec* currentSectionOfTrain(LocoRec* t) {
    if (!t) return nullptr;
    const WagonRec* w = t->rearChain;
    if (w && t->direction != 'a' && w->front.block && !w->front.track && !w->front.turnout) return w->front.block;
    return t->run.head.block;
}

void redrawVehiclesInSection(BlockRec* b) {
    if (!b || !(b->state & kLooseWagonOnIt)) return;
    for (int i = 0; i < gWagonCounts.loose && i < gWagons.count(); ++i) {
        WagonRec* w = gWagons[i];
        if (w->front.block != b || w->front.track || w->front.turnout) continue;
        drawVehicle(w, gDiagramCanvas, nullptr);
        if (gBackBuffer && gBackBuffer != gDiagramCanvas) drawVehicle(w, gBackBuffer, nullptr);
    }
}
