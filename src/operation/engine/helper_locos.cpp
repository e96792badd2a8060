#include "operation/engine/helper_locos.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <vector>

#include "layout/model/geometry.h"
#include "layout/model/scale.h"
#include "link/protocol/track_packets.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/dialog_refresh.h"
#include "operation/control/loco_operation.h"
#include "operation/draw/train_drawing.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/engine/train_placement.h"
#include "operation/model/length_units.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"

namespace {

constexpr uint8_t kVehicleInBlock = 0x10;  // block state: a vehicle stands in the block
constexpr int kMinWagonCm = 5;
constexpr int kMinLengthUnits = 6;
constexpr int kMaxLengthUnits = 255;  // stored in a byte
// A place-wagon record is only worth sending while the buffer has room for more than it.
constexpr int kPlaceRecordLimit = 1986;

bool validNumber(int n) { return n >= 1 && n <= 9999; }

bool wagonStandsOnTrack(const WagonRec* w) {
    return w->front.x != 0 && w->front.y != 0 && w->rear.x != 0 && w->rear.y != 0;
}

// The helper list is read by the link thread, which sends the helpers' packets.
void releaseHelper(LocoRec* helper, WagonRec* wagon) {
    {
        std::lock_guard lock(trackPacketMutex());
        gHelperLocs.removeAt(gHelperLocs.indexOf(helper));
        helper->helperWagon = nullptr;
        helper->packetCache.reset();
    }
    LocoRec* main = wagon->owner;
    limitMaxStepByHelpers(main);
    netQueueRecord5(30, 2, 51, helper->number, helper->slot, wagon->slot, main ? main->maxStep : 0, 0);
}

void linkHelper(LocoRec* helper, WagonRec* wagon) {
    wagon->photo = helper->run.photo;
    helper->mode = kModeShunting;
    helper->flags &= static_cast<uint8_t>(~kLocoForce);
    {
        std::lock_guard lock(trackPacketMutex());
        helper->helperWagon = wagon;
        if (!helper->packetCache) helper->packetCache = std::make_unique<PacketCache>();
        gHelperLocs.append(helper);
    }
    buildLocoTrackPackets(helper);
    LocoRec* main = wagon->owner;
    limitMaxStepByHelpers(main);
    netQueueRecord5(30, 2, 51, helper->number, helper->slot, wagon->slot, main ? main->maxStep : 0, 1);
}

// The units a wagon of this many centimetres is drawn with, floored at 6 and capped at a byte; short
// is set when the centimetres gave a different value.
int lengthUnitsFor(int cm, bool& changed) {
    const int64_t units = static_cast<int64_t>(fromCentimetres(cm)) - 6;  // a zero scale gives the extreme
    const int kept = static_cast<int>(std::clamp<int64_t>(units, kMinLengthUnits, kMaxLengthUnits));
    changed = kept != units;
    return kept;
}

}  // namespace

int wagonLengthUnits(int cm) {
    bool changed = false;
    return lengthUnitsFor(cm, changed);
}

std::string helperRefusalText(const LocoRec* loco, int code) {
    char text[96];
    switch (code) {
    case 1: {
        const LocoRec* main = loco && loco->helperWagon ? loco->helperWagon->owner : nullptr;
        std::snprintf(text, sizeof text, "Loc %d is reeds hulploc van hoofdloc %d", loco ? loco->number : 0,
                      main ? main->number : 0);
        return text;
    }
    case 2: return "Maximaal aantal hulplocomotieven bereikt !";
    case 3: return "Er zijn wagons verbonden aan de loc (zie \"Loc\\Beheer\")";
    case 4: return "De locomotief bestaat niet !";
    default: return {};
    }
}

int reportHelperRefusal(LocoRec* loco, WagonRec* wagon, int code) {
    if (gRequestingClient == 0 || gNetLinkState == 40) return showDialogMessage(helperRefusalText(loco, code), 1);
    return netQueueRecord(30, 3, 18, loco ? loco->slot : 0, wagon ? wagon->slot : 0,
                          code + 256 * gRequestingClient);
}

void setWagonKind(WagonRec* wagon, char kind, int number, int mode) {
    if (!wagon) return;
    const char oldKind = wagon->kind;
    const int oldNumber = wagon->number;
    if (mode != 0) {
        kind = oldKind;
        number = oldNumber;
    }
    if (gNetLinkState == 40) {
        if (mode == 0 && (oldKind == 'H' || kind == 'H'))
            netQueueRecord5(40, 3, 51, 0, wagon->slot, kind, number, gNetOwnClientNumber);
        return;
    }
    const bool numberChanges = number != oldNumber;

    if (oldKind == 'H' && validNumber(oldNumber) && (mode == 2 || kind != 'H' || numberChanges)) {
        LocoRec* helper = findLocoByNumber(oldNumber);
        if (helper && !locoStandsOnTrack(helper) && helper->helperWagon == wagon) releaseHelper(helper, wagon);
    }

    int refusal = 0;
    LocoRec* candidate = nullptr;
    if (kind == 'H' && validNumber(number) && (mode == 1 || oldKind != 'H' || numberChanges)) {
        candidate = findLocoByNumber(number);
        LocoRec* main = wagon->owner;
        if (!candidate) {
            refusal = 4;
        } else if (main && locoStandsOnTrack(main) && wagonStandsOnTrack(wagon) && candidate != main) {
            if (locoStandsOnTrack(candidate) || candidate->frontChain) {
                if (candidate->frontChain) refusal = 3;
            } else if (candidate->helperWagon == wagon && gHelperLocs.indexOf(candidate) >= 0) {
                // Already this wagon's helper: re-marking a train that was put together again keeps it.
            } else if (gHelperLocs.indexOf(candidate) >= 0) {
                refusal = 1;
            } else if (gHelperLocs.full()) {
                refusal = 2;
            } else {
                linkHelper(candidate, wagon);
            }
        } else if (candidate->frontChain) {
            refusal = 3;
        }
    }

    if (mode != 0 && oldKind != 'H' && kind != 'H') return;
    if (refusal) {
        reportHelperRefusal(candidate, wagon, refusal);
        number = 0;
    }
    if (kind == 'H') {
        const LocoRec* photoOf = number != 0 ? findLocoByNumber(number) : nullptr;
        wagon->photo = photoOf ? photoOf->run.photo : std::string();
    }
    wagon->kind = kind;
    wagon->number = number;
    refreshWagonRow(wagon);
    netQueueWagonData(*wagon);
}

// Every helper limits the train: the slowest one decides, whatever its place in the helper table,
// so the train never runs faster than any helper can follow.
void limitMaxStepByHelpers(LocoRec* main) {
    if (!main) return;
    const int steps = main->run.speedSteps;
    main->maxStep = static_cast<int16_t>(steps);  // each helper's step is looked up on the full range
    int limit = steps;
    for (LocoRec* h : gHelperLocs) {
        if (h == main || !h->helperWagon || h->helperWagon->owner != main) continue;
        limit = std::min(limit, speedStepForSpeed(main, h->speedTable[kSpeedTableSize - 1]));
    }
    main->maxStep = static_cast<int16_t>(limit);
}

int wagonCollides(const WagonRec* w, const BlockRec* block) {
    if (!w || !block) return 0;
    const int coupledEnd = std::min(gWagonCounts.coupledEnd, gWagons.count());
    auto onSegment = [&](float x, float y, double tolerance) {
        const DiagramPoint p{static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y))};
        return pointOnSegment(w->front.x, w->front.y, w->rear.x, w->rear.y, p, tolerance) != 0;
    };
    for (int i = 0; i < coupledEnd; ++i) {
        const WagonRec* v = gWagons[i];
        if (v == w || v == w->next || v == w->previous) continue;
        // A train's own wagons are its business; two loose wagons never share a place.
        if (w->owner && v->owner == w->owner) continue;
        if (v->front.block != block && v->rear.block != block) continue;
        if (onSegment(v->front.x, v->front.y, 3) || onSegment(v->rear.x, v->rear.y, 3)) return 1;
    }
    for (const LocoRec* loco : gLocsOnTrack) {
        if (loco == w->owner || loco->run.head.block != block) continue;
        if (onSegment(loco->run.head.x, loco->run.head.y, gHalfUnit20cm)) return 1;
    }
    return 0;
}

namespace {

// The loose chain from w on, re-placed on its block with w's new length. 1 done.
int refitLooseChain(WagonRec* w, int units) {
    const std::vector<WagonRec*> chain = chainWagons(w);
    BlockRec* block = w->front.block;
    for (const WagonRec* v : chain)
        if (!v->front.block || !v->rear.block) return 0;
    if (!block) return 0;
    drawVehicleChain(w);  // the not-XOR pen erases the chain

    // Which end of the block the wagon's front faces: by the sections under its ends, and within one
    // section by which end lies nearer the section's far point (in x, then in y).
    const int sf = std::min(w->front.sectionA, w->front.sectionB);
    const int sr = std::min(w->rear.sectionA, w->rear.sectionB);
    bool towardH = sf > sr;
    if (sf == sr && sf >= 0 && sf < kMaxSections) {
        const DiagramPoint end = block->points[sf + 1];
        const float fx = std::fabs(w->front.x - end.x), rx = std::fabs(w->rear.x - end.x);
        towardH = fx != rx ? fx < rx : std::fabs(w->front.y - end.y) < std::fabs(w->rear.y - end.y);
    }
    const bool same = towardH ? w->front.sectionA < w->front.sectionB : w->front.sectionA > w->front.sectionB;
    std::vector<PositionRec> before;
    for (const WagonRec* v : chain) {
        before.push_back(v->front);
        before.push_back(v->rear);
    }
    const uint8_t oldUnits = w->lengthUnits;
    float r = distanceToBlockEnd(w->front, *block, towardH);
    w->lengthUnits = static_cast<uint8_t>(units);
    int ok = placeWagonChain(w, block, r, towardH, same, 0);
    if (ok && wagonCollides(chain.back(), block)) ok = 0;
    if (!ok) {
        w->lengthUnits = oldUnits;
        size_t k = 0;
        for (WagonRec* v : chain) {
            v->front = before[k++];
            v->rear = before[k++];
        }
    }
    drawVehicleChain(w);
    return ok;
}

// The train's wagon w gets its new length and the train is fitted on its block again; when that
// fails the old length comes back, and when even that cannot be placed the train leaves the track.
int refitTrain(LocoRec* train, WagonRec* w, int units) {
    if (!isTrainStoppedOnBlock(train, 1)) return 0;
    BlockRec* block = train->run.head.block;
    const int difference = units - w->lengthUnits;
    const uint8_t oldUnits = w->lengthUnits;
    eraseTrain(train);
    w->lengthUnits = static_cast<uint8_t>(units);
    train->trainLength = static_cast<int16_t>(train->trainLength + difference);
    int ok = placeTrainOnBlock(train, block, 2);
    if (ok && wagonCollides(lastWagonOf(w), block)) ok = 0;
    if (ok) {
        drawTrain(train);
    } else {
        w->lengthUnits = oldUnits;
        train->trainLength = static_cast<int16_t>(train->trainLength - difference);
        if (placeTrainOnBlock(train, block, 2)) {
            drawTrain(train);
        } else {
            takeLocoOffTrack(train);
            showDialogMessage("Er is een fout opgetreden. De trein werd verwijderd van het spoor !", 1);
        }
    }
    checkTrainLength(train);
    return ok;
}

}  // namespace

int applyWagonLength(WagonRec* w) {
    if (!w) return 0;
    if (gNetMode == 40) {
        netQueueRecord(40, 3, 39, 0, w->slot, w->lengthCm);
        return 0;
    }
    w->lengthCm = static_cast<uint8_t>(std::max<int>(w->lengthCm, kMinWagonCm));
    bool clamped = false;
    const int units = lengthUnitsFor(w->lengthCm, clamped);
    int result = clamped ? 0 : 1;
    if (units != w->lengthUnits) {
        const bool onTheTrack = onTrack(w->front);
        if (onTheTrack && w->owner) {
            if (!refitTrain(w->owner, w, units)) result = 0;
            else gLocoDataModified = 1;
        } else if (onTheTrack) {
            if (!refitLooseChain(w, units)) result = 0;
            else gLocoDataModified = 1;
        } else {
            w->lengthUnits = static_cast<uint8_t>(units);
            if (w->owner) checkTrainLength(w->owner);
            gLocoDataModified = 1;
            result = 0;
        }
        refreshWagonRow(w);
    } else if (!onTrack(w->front)) {
        result = 0;
    }
    w->lengthCm = static_cast<uint8_t>(std::clamp(toCentimetresRounded(w->lengthUnits + 6), 0, 255));
    if (netQueueRecord(30, 3, 39, w->lengthUnits, w->slot, w->lengthCm) && w->owner)
        w->owner->run.runFlagsA |= 0x08;
    return result;
}

void takeOverWagonLength(WagonRec* w, int units, int cm) {
    if (!w || units < 0 || units > kMaxLengthUnits || cm < 0 || cm > 255) return;
    if (units != w->lengthUnits) {
        if (onTrack(w->front) && w->owner) {
            w->owner->trainLength = static_cast<int16_t>(w->owner->trainLength + units - w->lengthUnits);
            w->lengthUnits = static_cast<uint8_t>(units);
        } else if (!onTrack(w->front) || !refitLooseChain(w, units)) {
            w->lengthUnits = static_cast<uint8_t>(units);
        }
    }
    w->lengthCm = static_cast<uint8_t>(cm);
    refreshWagonRow(w);
}

int placeWagonOnBlock(WagonRec* w, BlockRec* block, int segment) {
    const int slot = gWagons.indexOf(w);
    if (!w || !block || slot < gWagonCounts.coupledEnd || w->owner) return 0;
    const int n = std::clamp<int>(block->sections, 0, kMaxSections);
    if (segment < 0 || segment >= n) return 0;
    const int units = wagonLengthUnits(w->lengthCm);
    const DiagramPoint end = block->points[segment + 1];
    double d = std::hypot(static_cast<double>(gMousePoint.x) - end.x, static_cast<double>(gMousePoint.y) - end.y);
    for (int k = segment + 1; k < n; ++k) d += block->sectionLengths[k];

    int angle = 0;
    float length = 0;
    const float front = std::trunc(static_cast<float>(d));
    bool placed = block->totalLength > units + d + 1 &&
                  placeAxleAtDistance(w->front, block, angle, length, front, true, true) &&
                  placeAxleAtDistance(w->rear, block, angle, length, front + static_cast<float>(units), true, true);
    if (placed) {
        for (PositionRec* p : {&w->front, &w->rear}) {
            p->block = block;
            p->track = nullptr;
            p->turnout = nullptr;
        }
        placed = !wagonCollides(w, block);
    }
    if (!placed) {
        w->front = w->rear = PositionRec{};
        return 0;
    }
    if (gNetOutFill < kPlaceRecordLimit) {
        const int c = (block->number & 0xFF) | ((gBlocks.indexOf(block) & 0xFF) << 8);
        const uint8_t tail[8] = {static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>(c >> 8),
                                 static_cast<uint8_t>(segment), 0,
                                 static_cast<uint8_t>(gMousePoint.x & 0xFF), static_cast<uint8_t>((gMousePoint.x >> 8) & 0xFF),
                                 static_cast<uint8_t>(gMousePoint.y & 0xFF), static_cast<uint8_t>((gMousePoint.y >> 8) & 0xFF)};
        netQueueBlobRecord(30, 3, 40, 0, slot, tail, sizeof tail);
    }
    for (PositionRec* p : {&w->front, &w->rear}) {
        p->ix = truncatedInt(p->x);
        p->iy = truncatedInt(p->y);
    }
    gWagons.move(slot, gWagonCounts.loose);
    ++gWagonCounts.loose;
    ++gWagonCounts.coupledEnd;
    block->state |= kVehicleInBlock;
    drawVehicleChain(w);
    return 1;
}
