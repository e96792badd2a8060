#include "operation/engine/train_collision.h"

#include <cstdlib>

#include "layout/model/scale.h"
#include "operation/control/loco_operation.h"
#include "operation/engine/wagon_coupling.h"
#include "operation/model/train_model.h"
#include "layout/model/geometry.h"

namespace {

bool standsOnBlock(const PositionRec& e) { return e.block && !e.track && !e.turnout; }

// The train's two extreme ends: the head side first.
struct ExtremeEnds {
    const PositionRec* headSide;
    const PositionRec* otherSide;
};
ExtremeEnds extremeEnds(const LocoRec& t) {
    const PositionRec* headSide = t.rearChain ? &t.rearChain->front : &t.run.head;
    const WagonRec* last = t.frontChain;
    for (int i = 0; last && last->next && i < kMaxWagons; ++i) last = last->next;
    return {headSide, last ? &last->rear : &t.run.head};
}

bool touches(const LocoRec& a, const LocoRec& b) {
    const ExtremeEnds ea = extremeEnds(a), eb = extremeEnds(b);
    for (const PositionRec* x : {ea.headSide, ea.otherSide})
        for (const PositionRec* y : {eb.headSide, eb.otherSide})
            if (vehicleEndsTouch(*x, *y)) return true;
    return false;
}

bool moves(const LocoRec& t) { return t.speedValue != 0; }

}  // namespace

int vehicleEndsTouch(const PositionRec& a, const PositionRec& b) {
    if (!onTrack(a) || !onTrack(b)) return 0;
    if (a.track != b.track || a.turnout != b.turnout) return 0;
    if (a.block != b.block && !a.track && !a.turnout) return 0;
    const int reach = gHalfUnit20cm;
    const int bx = truncatedInt(b.x), by = truncatedInt(b.y);
    const int ax = truncatedInt(a.x), ay = truncatedInt(a.y);
    if (std::abs(bx - ax) > reach || std::abs(by - ay) > reach) return 0;
    return pointBeyondWagon(a, b, b.dx, b.dy) ? 1 : 0;
}

void checkStandingCollision(LocoRec* t) {
    if (!t || t->mode != kModeShunting || t->connection) return;
    const ExtremeEnds own = extremeEnds(*t);
    const PositionRec& head = t->run.head;
    if (standsOnBlock(head) && head.block->assignedTrain == t && standsOnBlock(*own.headSide) &&
        standsOnBlock(*own.otherSide) && own.headSide->block == head.block && own.otherSide->block == head.block)
        return;
    for (LocoRec* r : gLocsOnTrack) {
        if (r == t || (!moves(*t) && !moves(*r))) continue;
        if (moves(*t) && touches(*r, *t)) {
            stopLoco(t);
            return;
        }
        if (moves(*r) && touches(*t, *r)) {
            stopLoco(r);
            return;
        }
    }
}
