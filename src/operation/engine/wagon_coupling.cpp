#include "operation/engine/wagon_coupling.h"

#include <algorithm>
#include <cmath>

#include <vector>

#include "layout/editor/hit_test.h"
#include "layout/model/scale.h"
#include "network/model/net_queue.h"
#include "operation/control/control_post.h"
#include "operation/control/dialog_refresh.h"
#include "operation/control/loco_operation.h"
#include "operation/draw/train_drawing.h"
#include "operation/engine/helper_locos.h"
#include "operation/engine/train_placement.h"
#include "operation/model/length_units.h"
#include "operation/model/train_model.h"
#include "network/model/net_state.h"
#include "shell/config/messages.h"
#include "shell/model/input_state.h"

bool pointBeyondWagon(const PositionRec& candidate, const PositionRec& end, float dx, float dy) {
    if (dx > 0) return candidate.x > end.x;
    if (dx < 0) return candidate.x < end.x;
    if (dy > 0) return candidate.y > end.y;
    if (dy < 0) return candidate.y < end.y;
    return false;
}

namespace {

int wagonLineHit(const WagonRec* w, double tolerance) {
    return pointOnSegment(w->front.x, w->front.y, w->rear.x, w->rear.y, gMousePoint, tolerance);
}

// Walks a run from its first wagon through the next pointers (at most the table's size, so a broken
// chain cannot loop).
int pickInRun(WagonRec* first, double tolerance, WagonHit& hit) {
    int steps = 0;
    for (WagonRec* w = first; w && steps < kMaxWagons; w = w->next, ++steps) {
        if (const int h = wagonLineHit(w, tolerance)) {
            hit.wagon = w;
            hit.first = first;
            hit.code = h;
            return 411;
        }
    }
    return 0;
}

// The runs of a zone of gWagons: a run starts at a wagon without previous wagon.
int pickInZone(int from, int to, double tolerance, WagonHit& hit) {
    for (int i = from; i < to; ++i) {
        WagonRec* w = gWagons[i];
        if (!w || w->previous) continue;
        if (pickInRun(w, tolerance, hit)) {
            hit.loco = w->owner;
            return 411;
        }
    }
    return 0;
}

}  // namespace

int pickWagonAt(WagonHit& hit, int mode) {
    const int coupledEnd = std::min(gWagonCounts.coupledEnd, gWagons.count());
    switch (mode) {
    case 1: return pickInZone(0, coupledEnd, 3, hit);
    case 2: return pickInZone(gWagonCounts.loose, coupledEnd, 3, hit);
    case 4: return pickInZone(gWagonCounts.loose, coupledEnd, 4, hit);
    case 3:
        if (!hit.loco) return 0;
        for (WagonRec* chain : {hit.loco->frontChain, hit.loco->rearChain})
            if (pickInRun(chain, 2, hit)) return 411;
        return 0;
    default: return 0;
    }
}

namespace {

// The element a wagon end marks, as markWagonAtPosition finds it.
const void* markedElement(const PositionRec& p) {
    if (p.block) return p.block;
    if (p.track) return p.track;
    return p.turnout;
}

bool looseWagonStandsOn(const void* element, const WagonRec* except) {
    for (int i = 0; i < gWagonCounts.loose && i < gWagons.count(); ++i) {
        const WagonRec* w = gWagons[i];
        if (w != except && (markedElement(w->front) == element || markedElement(w->rear) == element)) return true;
    }
    return false;
}

void clearMark(const PositionRec& p) {
    if (p.block) p.block->state &= static_cast<uint8_t>(~0x10);
    else if (p.track) p.track->vehicleFlags &= static_cast<uint8_t>(~0x10);
    else if (p.turnout) p.turnout->vehicleFlags &= static_cast<uint8_t>(~0x10);
}

bool inChain(WagonRec* first, const WagonRec* wagon) {
    for (WagonRec* w : chainWagons(first))
        if (w == wagon) return true;
    return false;
}

int wagonLength(const WagonRec* w) { return w->lengthUnits + 6; }

int pickSegment(const PositionRec& a, const PositionRec& b, double tolerance) {
    return pointOnSegment(a.x, a.y, b.x, b.y, gMousePoint, tolerance);
}

}  // namespace

void clearWagonOccupancy(WagonRec* wagon) {
    if (!wagon) return;
    for (const PositionRec* p : {&wagon->front, &wagon->rear}) {
        const void* element = markedElement(*p);
        if (element && !looseWagonStandsOn(element, wagon)) clearMark(*p);
    }
}

int uncoupleWagons(LocoRec* loco, WagonRec* wagon) {
    if (!loco || !wagon || wagon->owner != loco) return 0;
    const bool inFront = inChain(loco->frontChain, wagon);
    if (!inFront && !inChain(loco->rearChain, wagon)) return 0;
    netQueueRecord(30, 3, 47, 0, gWagons.indexOf(wagon), 0);
    for (WagonRec* w : chainWagons(wagon)) setWagonKind(w, w->kind, w->number, 2);  // they leave the train
    const bool onTheTrack = locoStandsOnTrack(loco);
    if (onTheTrack) eraseTrain(loco);

    // Cut: the front chain loses the wagon and all beyond it; the rear chain loses everything from its
    // outermost wagon up to and including this one.
    std::vector<WagonRec*> cut;
    if (inFront) {
        cut = chainWagons(wagon);
        if (loco->frontChain == wagon) loco->frontChain = nullptr;
        else if (wagon->previous && inChain(loco->frontChain, wagon->previous)) wagon->previous->next = nullptr;
        else
            for (WagonRec* w : chainWagons(loco->frontChain))
                if (w->next == wagon) w->next = nullptr;
    } else {
        for (WagonRec* w : chainWagons(loco->rearChain)) {
            cut.push_back(w);
            if (w == wagon) break;
        }
        loco->rearChain = wagon->next;
        wagon->next = nullptr;
    }

    // The cut-off wagons become one loose run at the end of the loose zone, in chain order.
    WagonRec* previous = nullptr;
    int length = 0;
    for (WagonRec* w : cut) {
        gWagons.move(gWagons.indexOf(w), gWagonCounts.loose);
        ++gWagonCounts.loose;
        w->previous = previous;
        w->owner = nullptr;
        markWagonAtPosition(loco, w->front);
        markWagonAtPosition(loco, w->rear);
        length += wagonLength(w);
        previous = w;
    }
    loco->trainLength = static_cast<int16_t>(std::max(loco->trainLength - length, fromCentimetres(gUnit20cm)));
    relinkWagonChains();

    if (!cut.empty() && onTrack(cut.front()->front)) drawVehicleChain(cut.front());
    if (onTheTrack) drawTrain(loco);
    if (loco == gCurTrain) refreshTrainLength(loco);
    return 1;
}

int takeWagonOffTrack(WagonRec* wagon, int redraw) {
    if (!wagon || gWagons.indexOf(wagon) < 0 || gWagons.indexOf(wagon) >= gWagonCounts.coupledEnd) return 0;
    if (wagon->owner && !uncoupleWagons(wagon->owner, wagon)) return 0;
    const int slot = gWagons.indexOf(wagon);
    if (slot >= gWagonCounts.loose) return 0;  // a coupled wagon its owner does not know
    netQueueRecord(30, 3, 41, 0, slot, 0);
    if (wagon->previous) wagon->previous->next = nullptr;
    if (wagon->next) wagon->next->previous = nullptr;
    wagon->next = wagon->previous = nullptr;
    if (redraw && onTrack(wagon->front)) drawVehicleChain(wagon);  // the not-XOR pen erases it
    clearWagonOccupancy(wagon);
    wagon->front = wagon->rear = PositionRec{};
    gWagons.move(gWagons.indexOf(wagon), gWagonCounts.coupledEnd - 1);
    --gWagonCounts.loose;
    --gWagonCounts.coupledEnd;
    return 1;
}

int coupleWagon(LocoRec* loco, WagonRec* wagon, int n) {
    if (!loco || !wagon || wagon->owner || gWagons.indexOf(wagon) < gWagonCounts.coupledEnd) return 0;
    // The places: the rear chain from its outermost wagon, the locomotive (null), the front chain.
    std::vector<WagonRec*> places = chainWagons(loco->rearChain);
    places.push_back(nullptr);
    for (WagonRec* w : chainWagons(loco->frontChain)) places.push_back(w);
    const int count = static_cast<int>(places.size());
    if (n < 0 || n > count) return 0;
    WagonRec* next = n < count ? places[n] : nullptr;
    WagonRec* previous = n > 0 ? places[n - 1] : nullptr;

    const bool onTheTrack = locoStandsOnTrack(loco);
    if (onTheTrack) eraseTrain(loco);
    if (n == 0) wagon->front = headSideEnd(*loco);
    wagon->owner = loco;
    wagon->next = next;
    wagon->previous = previous;
    if (next) next->previous = wagon;
    if (previous) previous->next = wagon;
    else if (n > 0) loco->frontChain = wagon;
    else loco->rearChain = wagon;

    int fits = checkTrainLength(loco);
    if (fits && onTheTrack && loco->run.head.block) fits = placeTrainOnBlock(loco, loco->run.head.block, 2);
    if (!fits) return 0;

    gWagons.move(gWagons.indexOf(wagon), gWagonCounts.coupledEnd);
    ++gWagonCounts.coupledEnd;
    relinkWagonChains();
    if (onTheTrack) drawTrain(loco);
    return 1;
}

void unlinkWagon(WagonRec* wagon, LocoRec* loco, int toFreeZone) {
    if (!wagon || !loco) return;
    const bool onTheTrack = locoStandsOnTrack(loco);
    if (onTheTrack) eraseTrain(loco);
    for (WagonRec** first : {&loco->frontChain, &loco->rearChain}) {
        if (*first == wagon) {
            *first = wagon->next;
            continue;
        }
        for (WagonRec* w : chainWagons(*first))
            if (w->next == wagon) w->next = wagon->next;
    }
    wagon->front = wagon->rear = PositionRec{};
    wagon->next = wagon->previous = nullptr;
    wagon->owner = nullptr;
    const int slot = gWagons.indexOf(wagon);
    if (toFreeZone && slot >= gWagonCounts.loose && slot < gWagonCounts.coupledEnd)
        gWagons.move(slot, gWagonCounts.coupledEnd - 1);
    // Relinking also moves a wagon that left the chains out of the coupled zone.
    relinkWagonChains();
    checkTrainLength(loco);
    if (onTheTrack) {
        if (loco->run.head.block) placeTrainOnBlock(loco, loco->run.head.block, 2);
        drawTrain(loco);
    }
}

namespace {

// The element a coupling end stands on: its connecting track or turnout, else its block.
const void* endElement(const PositionRec& p) {
    if (p.track) return p.track;
    if (p.turnout) return p.turnout;
    return p.block;
}

bool carriesWagon(const PositionRec& p) {
    if (p.track) return (p.track->vehicleFlags & 0x10) != 0;
    if (p.turnout) return (p.turnout->vehicleFlags & 0x10) != 0;
    return p.block && (p.block->state & 0x10) != 0;
}

bool catches(const PositionRec& candidate, const PositionRec& end, float distance) {
    return endElement(candidate) == endElement(end) &&
           std::hypot(candidate.x - end.x, candidate.y - end.y) <= distance &&
           pointBeyondWagon(candidate, end, end.dx, end.dy);
}

bool sectionsAscend(const PositionRec& p) { return p.sectionA < p.sectionB; }

}  // namespace

int coupleTrain(LocoRec* loco) {
    if (!loco || gNetLinkState == 40) return 0;
    const bool back = loco->direction == 'a';
    WagonRec* endWagon = back ? lastWagonOf(loco->frontChain) : loco->rearChain;
    const PositionRec end = endWagon ? (back ? endWagon->rear : endWagon->front) : loco->run.head;
    const float catchDistance = endWagon ? 6.0f : static_cast<float>(gHalfUnit20cm);
    if (!endElement(end) || !carriesWagon(end)) return 0;

    // The first loose run, in slot order, whose first front or last rear end the train has reached.
    std::vector<WagonRec*> run;
    bool reversed = false;
    for (int i = 0; i < gWagonCounts.loose && run.empty(); ++i) {
        WagonRec* first = gWagons[i];
        if (first->previous) continue;
        std::vector<WagonRec*> candidate = chainWagons(first);
        WagonRec* last = candidate.back();
        if (catches(first->front, end, catchDistance)) {
            reversed = !back;
        } else if (catches(last->rear, end, catchDistance)) {
            reversed = back;
        } else {
            continue;
        }
        run = std::move(candidate);
    }
    if (run.empty()) return 0;
    const int count = static_cast<int>(chainWagons(loco->frontChain).size() + chainWagons(loco->rearChain).size());
    if (count + static_cast<int>(run.size()) > kMaxTrainWagons) {
        stopLoco(loco);
        showDialogMessage("Koppeling niet mogelijk: max. aantal wagons overschreden", 1);
        return 0;
    }

    if (netQueueRecord5(30, 3, 46, reversed ? 1 : 0, gWagons.indexOf(run.front()), loco->number, gLocs.indexOf(loco), 0))
        loco->run.runFlagsA |= 0x08;
    return coupleLooseRun(loco, run.front(), reversed);
}

int coupleLooseRun(LocoRec* loco, WagonRec* firstOfRun, bool reversed) {
    const int at = gWagons.indexOf(firstOfRun);
    if (!loco || at < 0 || at >= gWagonCounts.loose || firstOfRun->previous) return 0;
    std::vector<WagonRec*> run = chainWagons(firstOfRun);
    const size_t count = chainWagons(loco->frontChain).size() + chainWagons(loco->rearChain).size();
    if (count + run.size() > static_cast<size_t>(kMaxTrainWagons)) return 0;
    const bool back = loco->direction == 'a';
    WagonRec* endWagon = back ? lastWagonOf(loco->frontChain) : loco->rearChain;
    const PositionRec end = endWagon ? (back ? endWagon->rear : endWagon->front) : loco->run.head;
    // The end of the run the train met: its first wagon's front unless the run is taken reversed.
    const PositionRec matched = reversed != back ? run.front()->front : run.back()->rear;
    int runLength = 0;
    for (const WagonRec* w : run) runLength += wagonLength(w);
    drawVehicleChain(run.front());  // the not-XOR pen takes the run off the background

    if (reversed) {
        std::reverse(run.begin(), run.end());
        for (WagonRec* w : run) std::swap(w->front, w->rear);
    }
    if (sectionsAscend(end) != sectionsAscend(matched))
        for (WagonRec* w : run) {
            reversePosition(w->front);
            reversePosition(w->rear);
        }
    for (size_t k = 0; k < run.size(); ++k) {
        run[k]->next = k + 1 < run.size() ? run[k + 1] : nullptr;
        run[k]->previous = k > 0 ? run[k - 1] : nullptr;
    }

    // Out of the loose zone: each run wagon moves to its end, which then closes over them.
    for (WagonRec* w : run) {
        gWagons.move(gWagons.indexOf(w), gWagonCounts.loose - 1);
        gWagonCounts.loose = std::max(gWagonCounts.loose - 1, 0);
    }
    for (WagonRec* w : run) clearWagonOccupancy(w);

    if (back) {
        if (WagonRec* last = lastWagonOf(loco->frontChain)) {
            last->next = run.front();
            run.front()->previous = last;
        } else {
            loco->frontChain = run.front();
        }
    } else {
        run.back()->next = loco->rearChain;
        loco->rearChain = run.front();
    }
    for (WagonRec* w : run) w->owner = loco;
    loco->trainLength = static_cast<int16_t>(loco->trainLength + runLength);
    if (loco == gCurTrain) refreshTrainLength(loco);
    relinkWagonChains();
    for (WagonRec* first : {loco->frontChain, loco->rearChain})
        for (WagonRec* w : chainWagons(first)) setWagonKind(w, w->kind, w->number, 1);
    return 1;
}

int pickTrainWagonAt(WagonHit& hit) {
    constexpr double kTolerance = 4;
    for (int row = 0; row < gLocsOnTrack.count(); ++row) {
        LocoRec* loco = gLocsOnTrack[row];
        if (!onTrack(loco->run.head)) continue;
        auto answer = [&](WagonRec* wagon, WagonRec* first, int code) {
            hit.loco = loco;
            hit.row = row;
            hit.wagon = wagon;
            hit.first = first;
            hit.code = code;
            return 411;
        };
        // The gaps at the locomotive answer with no wagon.
        if (WagonRec* last = lastWagonOf(loco->rearChain))
            if (const int h = pickSegment(last->rear, loco->run.head, kTolerance)) return answer(nullptr, nullptr, h);
        if (WagonRec* first = loco->frontChain)
            if (const int h = pickSegment(loco->run.head, first->front, kTolerance)) return answer(nullptr, nullptr, h);
        for (WagonRec* first : {loco->frontChain, loco->rearChain}) {
            WagonRec* before = nullptr;
            for (WagonRec* w : chainWagons(first)) {
                if (const int h = pickSegment(w->front, w->rear, kTolerance)) return answer(w, first, h);
                if (before)
                    if (const int h = pickSegment(before->rear, w->front, kTolerance)) return answer(w, first, h);
                before = w;
            }
        }
    }
    return 0;
}
