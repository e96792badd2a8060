#include "operation/engine/train_placement.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "layout/model/element_lengths.h"
#include "layout/model/scale.h"
#include "operation/control/control_post.h"
#include "operation/control/dialog_refresh.h"
#include "operation/control/loco_operation.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/engine/speed_correction.h"
#include "operation/engine/train_path.h"
#include "operation/model/length_units.h"
#include "operation/model/train_model.h"
#include "operation/model/vehicle_positions.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "layout/model/geometry.h"

namespace {

constexpr uint8_t kHeldByPresence = 0x20;  // block state and turnout run state
constexpr uint8_t kHoldsByPresence = 0x08; // run flags B

int sectionCount(const BlockRec& b) { return std::clamp<int>(b.sections, 0, kMaxSections); }

bool standsOn(const PositionRec& e, const BlockRec* b) { return b && e.block == b && !e.track && !e.turnout; }

// The train's end on the head side: the front of the rear chain's first wagon, else the head.
void storeDrawnPosition(PositionRec& p) {
    p.ix = truncatedInt(p.x);
    p.iy = truncatedInt(p.y);
}

// The total length of the sections at the travel end that the train's last contact role covers, and
// whether the walk stopped inside the block (a section outside the role was met).
struct RoleSpan {
    float sum = 0;
    bool inside = false;
};
RoleSpan contactRoleSpan(const LocoRec& t, const BlockRec& b) {
    const int n = sectionCount(b);
    const bool forward = t.direction != 'a';
    const int role = t.contactRole;
    RoleSpan span;
    span.sum = forward ? 0.f : 1.f;
    if (t.heading == 'H') {
        for (int s = n - 1; s >= 0; --s) {
            const int kind = b.sectionKinds[s];
            if (forward ? kind < role : kind <= role) {
                span.inside = true;
                break;
            }
            span.sum += b.sectionLengths[s];
        }
    } else {
        for (int s = 0; s < n; ++s) {
            const int kind = b.sectionKinds[s];
            if (kind == 0 || (forward ? kind > role : kind >= role)) {
                span.inside = true;
                break;
            }
            span.sum += b.sectionLengths[s];
        }
    }
    return span;
}

// Mode 2 places the train again where it stands: its head-side end's distance from the block end, in
// whole units. Measured from float positions it carries the rounding of the previous placement, by
// which a train placed again at every load would creep; a whole distance comes back the same.
float standingDistance(LocoRec& t, const BlockRec& b) {
    return std::round(distanceToBlockEnd(headSideEnd(t), b, t.heading == 'H'));
}

// Where the train's head-side end is to stand, in units from the block end it heads for; false when
// the train cannot be placed.
bool placementDistance(LocoRec* t, BlockRec* b, int mode, float& r, bool& beyondEnd) {
    const bool towardH = t->heading == 'H';
    beyondEnd = false;
    if (mode == 1) {
        const RoleSpan span = contactRoleSpan(*t, *b);
        r = static_cast<float>(b->totalLength - t->trainLength - 1);
        if (r >= span.sum && span.inside) r = std::trunc(span.sum - 1);
        if (!correctApproachSpeed(t, b, static_cast<int>(span.sum)) && checkWrongWay(b)) {
            showLocoBlockedReason(t, 210);
            return false;
        }
        beyondEnd = (t->flags & kLocoForce) && span.sum - 1 > r;
        if (beyondEnd) r = span.sum - 1;
        return true;
    }
    if (mode == 2) {
        r = standingDistance(*t, *b);
        // Without a rear chain the head stands half a locomotive (less the coupling gap) behind the
        // train's end: measured from the head, the re-placed train would creep back at every re-place.
        if (!t->rearChain) r = std::max(r - (gHalfUnit20cm - 6), 0.f);
        return b->totalLength > t->trainLength + r + 1;
    }
    r = std::min<float>(sectionKindLength(*b, towardH ? 6 : 1), gUnit15cm);
    return true;
}

// Step 4: from the block end inward, the rear chain, the head and the front chain.
bool placeFromBlockEnd(LocoRec* t, BlockRec* b, float r, int mode) {
    const bool towardH = t->heading == 'H';
    const bool same = towardH == (t->direction == 'v');
    if (!placeWagonChain(t->rearChain, b, r, towardH, same, mode)) return false;
    r += gHalfUnit20cm - 6;
    PositionRec& head = t->run.head;
    int angle = 0;
    float length = 0;
    if (!placeAxleAtDistance(head, b, angle, length, r, towardH, same)) return false;
    updateSpeedCorrection(t, b, t->lastAngle, angle, length);
    if (mode == 0) storeDrawnPosition(head);
    head.block = b;
    head.track = nullptr;
    head.turnout = nullptr;
    r += gHalfUnit20cm;
    if (!placeWagonChain(t->frontChain, b, r, towardH, same, mode)) return false;
    if (t->run.runFlagsB & kHoldsByPresence) releasePresenceHolds(t, b);
    return true;
}

}  // namespace

PositionRec& headSideEnd(LocoRec& t) { return t.rearChain ? t.rearChain->front : t.run.head; }

WagonRec* lastWagonOf(WagonRec* w) {
    while (w && w->next) w = w->next;
    return w;
}

int trainLengthUnits(const LocoRec& t) {
    int length = fromCentimetres(gUnit20cm);
    for (WagonRec* first : {t.frontChain, t.rearChain})
        for (WagonRec* w = first; w; w = w->next) length += w->lengthUnits + 6;
    return length;
}

int checkTrainLength(LocoRec* t) {
    if (!t) return 0;
    t->trainLength = static_cast<int16_t>(trainLengthUnits(*t));
    if (t == gCurTrain) refreshTrainLength(t);
    const BlockRec* b = t->run.head.block;
    if (b && b->totalLength < gUnit15cm + t->trainLength) {
        char text[80];
        std::snprintf(text, sizeof text, "Trein %d is te lang voor blok %d   ", t->number, b->number);
        showDialogMessage(text, 1);
        return 0;
    }
    return 1;
}

std::string trainLengthKindText(const LocoRec& t) { return t.trainLength > gShortTrainUnits ? "Lange trein" : "Korte trein"; }

std::string trainLengthText(const LocoRec& t) {
    char text[40];
    std::snprintf(text, sizeof text, "%d cm / %d pix", toCentimetresRounded(t.trainLength), t.trainLength);
    return text;
}

int isTrainStoppedOnBlock(LocoRec* t, int show) {
    if (!t) return 0;
    const PositionRec& head = t->run.head;
    bool ok = (show == 0 || (t->speedValue == 0 && t->currentStep == 0)) && !head.track && !head.turnout;
    // Both extreme ends of the train stand on the head block: the train stands on it wholly.
    if (ok && head.block) {
        const WagonRec* tail = lastWagonOf(t->frontChain);
        ok = (!t->rearChain || standsOn(t->rearChain->front, head.block)) && (!tail || standsOn(tail->rear, head.block));
    }
    if (!ok && show) showDialogMessage("De trein staat niet stil of staat niet volledig op een blok !", 1);
    return ok ? 1 : 0;
}

float distanceToBlockEnd(const PositionRec& e, const BlockRec& b, bool towardH) {
    const int n = sectionCount(b);
    if (n < 1) return 0;
    const int s = std::clamp(std::min(e.sectionA, e.sectionB), 0, n - 1);
    const DiagramPoint p = towardH ? b.points[s + 1] : b.points[s];
    float d = std::hypot(p.x - e.x, p.y - e.y);
    if (towardH)
        for (int k = s + 1; k < n; ++k) d += b.sectionLengths[k];
    else
        for (int k = 0; k < s; ++k) d += b.sectionLengths[k];
    return d;
}

int placeAxleAtDistance(PositionRec& e, BlockRec* b, int& angle, float& length, float d, bool towardH, bool same) {
    const int n = b ? sectionCount(*b) : 0;
    if (n < 1 || d < 0) return 0;
    if (d > b->totalLength) {
        showDialogMessage("Het blok is te kort !", 1);
        return 0;
    }
    // The walk stops at section 0: the rounded usable length may exceed the sections' float sum, and a
    // distance between the two then stands at the block's far point.
    int k = n - 1;
    float offset = 0;
    if (towardH) {
        float sum = 0;
        for (;; --k) {
            sum += b->sectionLengths[k];
            if (sum >= d || k == 0) break;
        }
        offset = sum - d;
    } else {
        float rest = b->totalLength;
        for (;; --k) {
            rest -= b->sectionLengths[k];
            if (rest <= d || k == 0) break;
        }
        offset = d - rest;
    }
    offset = std::clamp(offset, 0.f, b->sectionLengths[k]);
    e.x = b->points[k].x + b->sectionDirections[k][0] * offset;
    e.y = b->points[k].y + b->sectionDirections[k][1] * offset;
    e.sectionA = same ? k : k + 1;
    e.sectionB = same ? k + 1 : k;
    const TravelVector v = unitVectorBetween(b->points[e.sectionA], b->points[e.sectionB]);
    e.dx = v.dx;
    e.dy = v.dy;
    angle = b->sectionAngles[k];
    length = b->sectionLengths[k];
    return 1;
}

int placeWagonChain(WagonRec* first, BlockRec* b, float& r, bool towardH, bool same, int mode) {
    int angle = 0;
    float length = 0;
    for (WagonRec* w = first; w; w = w->next) {
        if (!placeAxleAtDistance(w->front, b, angle, length, r, towardH, same)) return 0;
        r += w->lengthUnits;
        if (!placeAxleAtDistance(w->rear, b, angle, length, r, towardH, same)) return 0;
        r += 6;
        for (PositionRec* p : {&w->front, &w->rear}) {
            clearElements(*p);
            p->block = b;
            if (mode == 0) storeDrawnPosition(*p);
        }
    }
    return 1;
}

int correctApproachSpeed(LocoRec* t, BlockRec* b, int a) {
    if (!t || !b) return 0;
    if (t->direction == 'a') return 1;
    const PositionRec& p = headSideEnd(*t);
    if (!standsOn(p, b)) return 0;
    const float d = distanceToBlockEnd(p, *b, t->heading == 'H') - a;
    const float h = gUnit5cm * (1 + t->speedValue * 0.02f);
    const size_t entry = 2 * static_cast<size_t>(b->ownIndex) + (t->heading == 'H' ? 0 : 1);
    int c = entry < t->blockCorrections.size() ? t->blockCorrections[entry] : 0;
    if (d < -h) {
        c = std::min(c + 1, 4);
    } else if (d > h) {
        if (d > b->totalLength / 4.f) return 0;
        c = std::max(c - 1, -4);
    }
    if (t->speedValue != 0 && entry < t->blockCorrections.size()) t->blockCorrections[entry] = static_cast<int8_t>(c);
    return 1;
}

void saveTrainPosition(TrainPositionImage& image, LocoRec* t, int restore) {
    if (!t) return;
    size_t i = 0;
    auto take = [&](PositionRec& p) {
        if (!restore) image.push_back(p);
        else if (i < image.size()) p = image[i++];
    };
    if (!restore) image.clear();
    take(t->run.head);
    for (WagonRec* first : {t->rearChain, t->frontChain})
        for (WagonRec* w = first; w; w = w->next) {
            take(w->front);
            take(w->rear);
        }
}

int placeTrainOnBlock(LocoRec* t, BlockRec* b, int mode) {
    if (!t || !b || sectionCount(*b) < 1) return 0;
    TrainPositionImage saved;
    saveTrainPosition(saved, t, 0);
    t->trainLength = static_cast<int16_t>(trainLengthUnits(*t));
    float r = 0;
    bool beyondEnd = false;
    if (!placementDistance(t, b, mode, r, beyondEnd)) return 0;
    bool placed = beyondEnd ? placeTrainBeyondBlockEnd(t, b, r) : placeFromBlockEnd(t, b, r, mode);
    // Where the placed end does not give its distance back (section lengths that do not match the
    // points, from a damaged file or a peer; floats too coarse far out), placing again would move the
    // train every time: it is not placed.
    if (placed && mode == 2) placed = standingDistance(*t, *b) == (t->rearChain ? r : r + gHalfUnit20cm - 6);
    if (placed) return 1;
    saveTrainPosition(saved, t, 1);
    if (mode == 1) showLocoBlockedReason(t, 211);
    return 0;
}

void releasePresenceHolds(LocoRec* t, BlockRec* keep) {
    if (!t) return;
    for (TurnoutRec* tu : gTurnouts)
        if (tu->holder == t && (tu->runState & kHeldByPresence)) {
            tu->holder = nullptr;
            tu->runState &= static_cast<uint8_t>(~kHeldByPresence);
        }
    for (TrackRec* tr : gTracks)
        if (tr->locoOnIt == t->slot + 1) tr->locoOnIt = 0;
    for (BlockRec* b : gBlocks)
        if (b != keep && b->assignedTrain == t && (b->state & kHeldByPresence)) {
            b->assignedTrain = nullptr;
            if (b->arrivedTrain == t) b->arrivedTrain = nullptr;
            b->state &= static_cast<uint8_t>(~kHeldByPresence);
        }
    t->run.runFlagsB &= static_cast<uint8_t>(~kHoldsByPresence);
}

void holdElementByPresence(LocoRec* t, const PathRec& rec) {
    if (!t) return;
    if (rec.turnout) {
        rec.turnout->holder = t;
        rec.turnout->runState |= kHeldByPresence;
    } else if (rec.track) {
        rec.track->locoOnIt = static_cast<uint8_t>(t->slot + 1);
    } else if (rec.block && !rec.block->assignedTrain) {
        rec.block->assignedTrain = t;
        rec.block->state |= kHeldByPresence;
    }
}
