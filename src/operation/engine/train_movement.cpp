#include "operation/engine/train_movement.h"

#include <algorithm>
#include <array>

#include "layout/editor/hit_test.h"
#include "layout/model/geometry.h"
#include "layout/model/scale.h"
#include "link/buffers/link_buffers.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/loco_operation.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/engine/second_tick.h"
#include "operation/engine/speed_correction.h"
#include "operation/engine/train_placement.h"
#include "operation/engine/wagon_coupling.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"

namespace {

// The head keeps its block while it runs over tracks and turnouts: the track or turnout is where it stands.
bool standsOnBlock(const PositionRec& e) { return e.block && !e.track && !e.turnout; }

bool sameElement(const PositionRec& a, const PositionRec& b) {
    if (a.track || b.track) return a.track == b.track;
    if (a.turnout || b.turnout) return a.turnout == b.turnout;
    return a.block && a.block == b.block;
}

bool near(DiagramPoint p, DiagramPoint q, int tolerance) { return pointNear(p, q, tolerance, false) != 0; }

// The element an end is handed over to and the point it enters by.
struct NextPiece {
    BlockRec* block = nullptr;
    TrackRec* track = nullptr;
    TurnoutRec* turnout = nullptr;
    int entry = 0;
    bool any() const { return block || track || turnout; }
};

// A turnout point near p; a plain turnout's unused fourth leg is no point of it.
NextPiece turnoutPointNear(TurnoutRec* t, DiagramPoint p, int tolerance) {
    for (int leg = 0; leg <= lastTurnoutLeg(*t); ++leg)
        if (near(p, t->legs[leg], tolerance)) return {nullptr, nullptr, t, leg};
    return {};
}

// The next element by geometry: a track end, else a block end, else a turnout point, never E's own.
NextPiece findByGeometry(const PositionRec& e, DiagramPoint p) {
    DiagramPoint q = p;
    const EndHit<TrackRec> track = findTrackEndAt(q, e.track);
    if (track.element) return {nullptr, track.element, nullptr, track.end};
    q = p;
    const EndHit<BlockRec> block = findBlockEndAt(q, standsOnBlock(e) ? e.block : nullptr, false);
    if (block.element) return {block.element, nullptr, nullptr, block.end};
    for (TurnoutRec* t : gTurnouts) {
        if (t == e.turnout) continue;
        const NextPiece hit = turnoutPointNear(t, p, gSnapTolerance);
        if (hit.any()) return hit;
    }
    return {};
}

// The next element on the train's connection: its to-block, else one of its turnouts, else by geometry.
NextPiece findOnConnection(const ConnectionRec& c, const PositionRec& e, DiagramPoint p) {
    constexpr int kOwnTolerance = 2;
    BlockRec* to = c.to;
    if (to && !(standsOnBlock(e) && e.block == to)) {
        if (near(p, to->points[0], kOwnTolerance)) return {to, nullptr, nullptr, 0};
        if (to->sections > 0 && to->sections <= kMaxSections && near(p, to->points[to->sections], kOwnTolerance))
            return {to, nullptr, nullptr, to->sections};
    }
    for (int i = 0; i < kConnectionTurnouts && c.turnouts[i]; ++i) {
        if (c.turnouts[i] == e.turnout) continue;
        const NextPiece hit = turnoutPointNear(c.turnouts[i], p, kOwnTolerance);
        if (hit.any()) return hit;
    }
    return findByGeometry(e, p);
}

// The train's outermost rear-chain wagon stands in a block other than its head block: the train still
// reaches into the block behind while its head runs on.
bool rearChainOnOtherBlock(const LocoRec& t) {
    const WagonRec* w = t.rearChain;
    return w && standsOnBlock(w->front) && w->front.block != t.run.head.block;
}

void halt(LocoRec* t, int flags, bool queue) {
    if (flags == kEndProbeOnly) return;
    t->targetStep = 0;
    t->run.runFlagsA |= 0x01;
    t->effectiveStepDelay = static_cast<int16_t>(calcStepDelay(t, 7));
    showLocoSpeed(t, 0);
    if (queue) queueLocoSpeed(t, 0);
}

// What a trailing end leaves: its turnout, else its block. withPresence: only what is held because a
// vehicle stands on it (run flag or state 0x20).
void releaseLeft(PositionRec& e, LocoRec* t, bool withPresence) {
    if (e.turnout && e.turnout->holder == t && (!withPresence || (e.turnout->runState & 0x20))) {
        e.turnout->holder = nullptr;
        e.turnout->runState &= static_cast<uint8_t>(~0x20);
        gFifoRecheckCountdown = 3;
    } else if (standsOnBlock(e) && e.block->assignedTrain == t && (!withPresence || (e.block->state & 0x20))) {
        e.block->assignedTrain = nullptr;
        e.block->arrivedTrain = nullptr;
        e.block->state &= static_cast<uint8_t>(~0x20);
        gFifoRecheckCountdown = 3;
    }
}

int exitPoint(const TurnoutRec& t, int entry) {
    const bool straight = t.position != 'R';
    if (entry == 0) return straight ? 1 : 2;
    if (t.subtype != 'k' && t.subtype != 'x') return 0;
    if (entry == 1) return straight ? 0 : 3;
    if (entry == 2) return straight ? 3 : 0;
    return straight ? 2 : 1;
}

void setDirection(PositionRec& e, DiagramPoint from, DiagramPoint to) {
    const TravelVector v = unitVectorBetween(from, to);
    e.dx = v.dx;
    e.dy = v.dy;
}

void enterBlock(PositionRec& e, const NextPiece& next, LocoRec* t, bool forward, int& angle, float& length) {
    BlockRec* b = next.block;
    e.track = nullptr;
    e.turnout = nullptr;
    e.block = b;
    e.sectionA = next.entry;
    const char heading = t->heading;
    const bool isHead = &e == &t->run.head;
    if (next.entry == b->sections) {
        e.sectionB = next.entry - 1;
        if (isHead && heading == 'H' && forward) t->heading = 'T';
        else if (isHead && heading == 'T' && !forward) t->heading = 'H';
    } else {
        e.sectionB = 1;
        if (isHead && heading == 'H' && !forward) t->heading = 'T';
        else if (isHead && heading == 'T' && forward) t->heading = 'H';
    }
    const int s = std::min(e.sectionA, e.sectionB);
    angle = b->sectionAngles[s];
    length = b->sectionLengths[s];
    setDirection(e, b->points[e.sectionA], b->points[e.sectionB]);
    if (t->heading != heading) netQueueRecord(30, 2, 31, t->number, t->slot, t->heading);
}

void enterTrack(PositionRec& e, const NextPiece& next, LocoRec* t, bool leading, int& angle, float& length) {
    TrackRec* tr = next.track;
    e.turnout = nullptr;
    e.track = tr;
    if (&e != &t->run.head) e.block = nullptr;
    e.sectionA = next.entry;
    e.sectionB = next.entry == 0 ? 1 : next.entry - 1;
    angle = tr->segmentAngles[std::min(e.sectionA, e.sectionB)];
    length = 0;
    setDirection(e, tr->points[e.sectionA], tr->points[e.sectionB]);
    if (leading) tr->locoOnIt = static_cast<uint8_t>(t->slot + 1);
}

void enterTurnout(PositionRec& e, const NextPiece& next, LocoRec* t) {
    TurnoutRec* to = next.turnout;
    e.track = nullptr;
    e.turnout = to;
    if (&e != &t->run.head) e.block = nullptr;
    e.sectionA = next.entry;
    e.sectionB = exitPoint(*to, next.entry);
    setDirection(e, to->legs[e.sectionA], to->legs[e.sectionB]);
}

}  // namespace

int findPieceAtPosition(PositionRec& e, int flags, LocoRec* t, int& angle, float& length) {
    if (!t) return 0;
    const DiagramPoint p{truncatedInt(e.x), truncatedInt(e.y)};
    const bool forward = t->direction != 'a';
    const bool leading = forward ? (flags & kEndLeading) : (flags & kEndTrailing);
    const bool trailing = forward ? (flags & kEndTrailing) : (flags & kEndLeading);
    NextPiece next;
    if (gNetLinkState == 40) {
        next = findByGeometry(e, p);
        if (!next.any()) {
            if (flags != kEndProbeOnly) {
                t->targetStep = 0;
                showLocoSpeed(t, 0);
                queueLocoSpeed(t, 0);
            }
            return 0;
        }
    } else if (t->mode != kModeShunting || t->targetStep != t->currentStep) {
        ConnectionRec* c = t->connection;
        if (c) next = findOnConnection(*c, e, p);
        bool refuse = !c;
        if (c && ((flags & kEndLeading) || !forward)) {
            if (next.block) refuse = next.block->assignedTrain && next.block->assignedTrain != t;
            else if (next.turnout) refuse = next.turnout->holder && next.turnout->holder != t;
            else if (next.track) refuse = (!c->to || c->to->assignedTrain != t || c->to == t->run.head.block) &&
                                          !rearChainOnOtherBlock(*t);
            else refuse = true;
        }
        if (refuse) {
            halt(t, flags, false);
            return 0;
        }
        if (leading) t->run.runFlagsA |= 0x02;
        if (trailing && forward) releaseLeft(e, t, true);
    } else {
        next = findByGeometry(e, p);
        if (!next.any() || (next.turnout && next.turnout->holder && next.turnout->holder != t)) {
            halt(t, flags, true);
            return 0;
        }
        if (trailing) releaseLeft(e, t, false);
        if (leading) {
            if (next.turnout) {
                if (!next.turnout->holder) next.turnout->holder = t;
            } else if (next.block && !next.block->assignedTrain) {
                next.block->assignedTrain = t;
            }
        }
    }
    if (trailing && e.track) e.track->locoOnIt = 0;
    if (next.block) {
        if (gRunWithoutTrack || !(t->run.runFlagsA & 0x01)) enterBlock(e, next, t, forward, angle, length);
        if (flags & kEndLeading) {
            if (gRunWithoutTrack) evaluateSectionContacts(next.block);
            t->run.distanceCounter = 0;
            t->run.runFlagsB = static_cast<uint8_t>((t->run.runFlagsB & ~0x03) | 0x01);
        }
    } else if (next.track) {
        enterTrack(e, next, t, leading, angle, length);
    } else {
        enterTurnout(e, next, t);
    }
    return 1;
}

int probeNextPiece(PositionRec& e) {
    const DiagramPoint p{truncatedInt(e.x), truncatedInt(e.y)};
    const NextPiece next = findByGeometry(e, p);
    if (!next.any()) return 0;
    clearElements(e);
    e.sectionA = next.entry;
    if (next.block) {
        e.block = next.block;
        e.sectionB = next.entry == 0 ? 1 : next.entry - 1;
    } else if (next.track) {
        e.track = next.track;
        e.sectionB = next.entry == 0 ? 1 : next.entry - 1;
    } else {
        e.turnout = next.turnout;
        e.sectionB = exitPoint(*next.turnout, next.entry);
    }
    return 1;
}

int moveAlongTrack(PositionRec& e, int flags, PositionRec* follower, int dist, LocoRec* t, int& angle,
                   float& length) {
    if (!t || !onTrack(e) || gSpeedFactor <= 0) return 0;
    const DiagramPoint p{truncatedInt(e.x), truncatedInt(e.y)};
    const int h = static_cast<int>(t->speedValue / gSpeedFactor * 0.5 + 1);
    // At the segment's end point: the end is snapped onto it and its follower re-placed behind it.
    auto arrived = [&](DiagramPoint end) {
        if (!near(p, end, h)) return false;
        e.x = static_cast<float>(end.x);
        e.y = static_cast<float>(end.y);
        if (follower) placeFollowerBehind(e, *follower, dist);
        return true;
    };
    // Inside a polyline the end steps to the next segment; at its last point it is handed over.
    auto walk = [&](const DiagramPoint* points, int last) -> int {
        const int a = e.sectionA, b = e.sectionB;
        if (a < 0 || b < 0 || a > last || b > last) return -1;
        if (!arrived(points[b])) return 0;
        if (b == 0 || b >= last) return 2;
        const int step = a < b ? 1 : -1;
        e.sectionA += step;
        e.sectionB += step;
        setDirection(e, points[e.sectionA], points[e.sectionB]);
        return 1;
    };
    int result = 1;
    if (e.turnout) {
        const int b = e.sectionB;
        if (b < 0 || b > 3) return 0;
        if (arrived(e.turnout->legs[b])) result = findPieceAtPosition(e, flags, t, angle, length);
    } else if (e.track) {
        TrackRec* tr = e.track;
        const int r = walk(tr->points, std::min(tr->segments, 3));
        if (r < 0) return 0;
        if (r == 1) {
            angle = tr->segmentAngles[std::min(e.sectionA, e.sectionB)];
            length = 0;
        } else if (r == 2) {
            result = findPieceAtPosition(e, flags, t, angle, length);
        }
    } else {
        BlockRec* b = e.block;
        const int r = walk(b->points, std::min<int>(b->sections, kMaxSections));
        if (r < 0) return 0;
        if (r == 1) {
            const int s = std::min(e.sectionA, e.sectionB);
            angle = b->sectionAngles[s];
            length = b->sectionLengths[s];
            if (gRunWithoutTrack && (flags & kEndLeading)) evaluateSectionContacts(b);
        } else if (r == 2) {
            result = findPieceAtPosition(e, flags, t, angle, length);
        }
    }
    if (!(t->run.runFlagsA & 0x01)) {
        e.x += t->speedValue * e.dx;
        e.y += t->speedValue * e.dy;
    }
    gLocoDataModified = 1;
    return result;
}

void placeFollowerBehind(const PositionRec& lead, PositionRec& follower, int dist) {
    if (!sameElement(lead, follower) || follower.sectionA != lead.sectionA || follower.sectionB != lead.sectionB)
        return;
    follower.x = lead.x - dist * lead.dx * gSpeedFactor;
    follower.y = lead.y - dist * lead.dy * gSpeedFactor;
}

void updateTrainPosition(LocoRec* t) {
    if (!t) return;
    coupleTrain(t);
    // The ends in 'v' order with the distance from each to the next one.
    constexpr int kMaxEnds = 2 * kMaxWagons + 1;
    std::array<PositionRec*, kMaxEnds> ends{};
    std::array<int, kMaxEnds> gaps{};
    int n = 0;
    auto add = [&](PositionRec* p, int gap) {
        ends[n] = p;
        gaps[n++] = gap;
    };
    for (WagonRec* w = t->rearChain; w && n + 3 <= kMaxEnds; w = w->next) {
        add(&w->front, w->lengthUnits);
        add(&w->rear, w->next ? 6 : gHalfUnit20cm);
    }
    const int headIndex = n;
    add(&t->run.head, gHalfUnit20cm);
    for (WagonRec* w = t->frontChain; w && n + 2 <= kMaxEnds; w = w->next) {
        add(&w->front, w->lengthUnits);
        add(&w->rear, 6);
    }
    const bool forward = t->direction != 'a';
    for (int i = 0; i < n; ++i) {
        const int flags = (i == 0 ? kEndLeading : 0) | (i == n - 1 ? kEndTrailing : 0);
        PositionRec* follower = nullptr;
        int dist = 0;
        if (forward && i + 1 < n) {
            follower = ends[i + 1];
            dist = gaps[i];
        } else if (!forward && i > 0) {
            follower = ends[i - 1];
            dist = gaps[i - 1];
        }
        int angle = kNoAngle;
        float length = 0;
        moveAlongTrack(*ends[i], flags, follower, dist, t, angle, length);
        if (i == headIndex && angle != kNoAngle)
            updateSpeedCorrection(t, t->run.head.block, t->lastAngle, angle, length);
    }
}
