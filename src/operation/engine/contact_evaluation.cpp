#include "operation/engine/contact_evaluation.h"

#include <QLabel>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "link/buffers/link_buffers.h"
#include "operation/control/dialog_refresh.h"
#include "operation/control/loco_operation.h"
#include "operation/engine/route_aspects.h"
#include "operation/engine/train_placement.h"
#include "operation/engine/train_reservation.h"
#include "operation/model/route_file.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"

namespace {

constexpr uint8_t kHalted = 0x01;
constexpr uint8_t kDeparted = 0x02;
constexpr uint8_t kChanged = 0x08;
constexpr uint8_t kStartPause = 0x10;
constexpr uint8_t kStartPauseSeconds = 0xE0;
constexpr uint8_t kPositionCheck = 0x03;
constexpr uint8_t kPositionAlarm = 0x02;
constexpr uint8_t kHeldByPresence = 0x20;  // block state and turnout run state
constexpr uint8_t kPassengerWaitOnly = 0x10;  // block flag "enkel personentrein"
constexpr uint8_t kPassengerTrain = 1;

// Contact results.
constexpr int kNone = 0;
constexpr int kEntered = 1;
constexpr int kStopSection = 2;
constexpr int kStation = 3;

char otherEnd(char end) { return end == 'H' ? 'T' : 'H'; }
char travelEnd(char heading, char direction) { return (heading == 'H') == (direction == 'v') ? 'H' : 'T'; }
bool automatic(const LocoRec& t) { return t.mode == kModeAuto || t.mode == kModeRoute; }
bool shortTrain(const LocoRec& t) { return t.trainLength <= gShortTrainUnits; }
bool moving(const LocoRec& t) { return t.shownSpeed != 0 || (t.run.runFlagsB & kPositionCheck) == kPositionAlarm; }
char endAspect(const BlockRec& b, char end) { return end == 'H' ? b.hAspect : b.tAspect; }
int sectionCount(const BlockRec& b) { return std::clamp<int>(b.sections, 0, kMaxSections); }
bool occupied(const BlockRec& b, int s) { return (static_cast<uint16_t>(b.occupiedSections) >> s) & 1; }
bool standsOnBlock(const PositionRec& p) { return p.block && !p.track && !p.turnout; }
// The end of the train that runs ahead: the front of the first wagon of the rear chain, else the head.
const PositionRec& leadingEnd(const LocoRec& t) { return t.rearChain ? t.rearChain->front : t.run.head; }

// A section kind seen by a train running toward the block's last section (downward scan) or toward
// its first (upward scan).
int downwardResult(int kind, bool isShort) {
    switch (kind) {
    case 1: return kEntered;
    case 6: return kStopSection;
    case 5: return kStation;
    case 4: return isShort ? kStation : kNone;
    default: return kNone;
    }
}
int upwardResult(int kind, bool isShort) {
    switch (kind) {
    case 6: return kEntered;
    case 1: return kStopSection;
    case 2: return kStation;
    case 3: return isShort ? kStation : kNone;
    default: return kNone;
    }
}

// With track control: the occupied sections, from the one the train reaches last.
SectionContact scanOccupiedSections(const BlockRec& b, const LocoRec& t, char h) {
    const bool wagonDetection = gSettings.chboWagondetectie != 0;
    const bool down = wagonDetection ? travelEnd(h, t.direction) == 'H' : h == 'H';
    const int n = sectionCount(b);
    auto sectionAt = [&](int k) { return down ? n - 1 - k : k; };
    for (int k = 0; k < n; ++k) {
        const int s = sectionAt(k);
        if (!occupied(b, s)) continue;
        const int kind = b.sectionKinds[s];
        const int r = down ? downwardResult(kind, shortTrain(t)) : upwardResult(kind, shortTrain(t));
        if (r == kNone) continue;
        SectionContact c{r, kind};
        // A train pushed backward with detected wagons: its wagons reach further than the section
        // that gave the result.
        if (wagonDetection && r >= kStopSection && t.direction == 'a')
            for (int j = k + 1; j < n; ++j)
                if (occupied(b, sectionAt(j))) c.role = b.sectionKinds[sectionAt(j)];
        return c;
    }
    return {};
}

// Without track control: the leading end's own position stands in for the contacts.
SectionContact leadingEndContact(const BlockRec& b, const LocoRec& t, char h) {
    const PositionRec& e = leadingEnd(t);
    const int n = sectionCount(b);
    if (!standsOnBlock(e) || e.block != &b || n == 0) return {};
    const int s = e.sectionA;
    const int kind = b.sectionKinds[std::clamp(std::min(e.sectionA, e.sectionB), 0, n - 1)];
    const bool isShort = shortTrain(t);
    int r = kNone;
    if (h == 'H') {
        if (s == 0) r = kEntered;
        else if (kind == 6) r = kStopSection;
        else if (kind == 5 || (kind == 4 && isShort)) r = kStation;
    } else {
        if (s == b.sections) r = kEntered;
        else if (kind == 1) r = kStopSection;
        else if (kind == 2 || (kind == 3 && isShort)) r = kStation;
    }
    return r == kNone ? SectionContact{} : SectionContact{r, kind};
}

// In a reversing loop the train arrives at the other end of the to-block than it set out for.
char headingInBlock(const LocoRec& t, const ConnectionRec& c, const BlockRec* b) {
    const char h = t.heading;
    if (!gRunWithTrack || !c.loop || b != c.to || !c.from || c.from->assignedTrain != &t) return h;
    const bool v = t.direction == 'v';
    if (h == 'H' && ((v && c.direction == 'H') || (!v && c.direction == 'T'))) return 'T';
    if (h == 'T' && ((v && c.direction == 'T') || (!v && c.direction == 'H'))) return 'H';
    return h;
}

// The route line after the train's current one, wrapping to the route's first; -1 none.
int nextRouteLine(const LocoRec& t) {
    const RouteRec* r = t.route;
    const int line = t.run.currentLine;
    if (!r || line < r->firstLine || line >= r->endLine || r->endLine > gRouteLineCount) return -1;
    return line + 1 < r->endLine ? line + 1 : r->firstLine;
}

// The first connection leaving the block by that end whose to-block is free for the train and that
// would give it green.
ConnectionRec* freeGreenConnection(const BlockRec* b, char end, LocoRec* t) {
    for (ConnectionRec* c : gConnections) {
        if (c->from != b || c->direction != end || !c->to) continue;
        if (c->to->assignedTrain && c->to->assignedTrain != t) continue;
        if (routeAspect(c, t, 1)) return c;
    }
    return nullptr;
}

// A train running in: the turnouts ahead are set early. True when some were thrown.
bool setTurnoutsAhead(LocoRec* t, BlockRec* b, char h) {
    bool thrown = false;
    if (t->mode == kModeRoute) {
        const int next = nextRouteLine(*t);
        const RouteLineRec* l = next >= 0 ? gRouteLines[next] : nullptr;
        if (l && l->hour == 0 && l->minute == 0 && l->wait == 0)
            thrown = setConnectionTurnouts(routeLineConnection(l)) == 3;
    } else if (t->mode == kModeAuto && t->direction == 'v' && b->waitTime == 0) {
        ConnectionRec* c = freeGreenConnection(b, h, t);
        if (c) {
            const int r = setConnectionTurnouts(c);
            thrown = r == 3;
            // Nothing to set on the way into the next block: look one block further.
            if (r == 1 && c->to->waitTime == 0) {
                ConnectionRec* further = freeGreenConnection(c->to, c->loop ? otherEnd(h) : h, t);
                if (further) thrown = setConnectionTurnouts(further) == 3;
            }
        }
    }
    return thrown;
}

// The train's speed in the block it runs into.
int speedOnEntry(const LocoRec& t, const BlockRec& b, const ConnectionRec& c) {
    const int orange = gSettings.edtSnelhOranje;
    if (orange && c.from && endAspect(*c.from, c.direction) == 'O') return orange;
    if (t.mode == kModeAuto) return b.speed;
    const int next = nextRouteLine(t);
    return next >= 0 ? gRouteLines[next]->speed : 0;
}

// Result 1 in a block the train has not arrived in. False: a repeated contact, nothing to report.
bool trainEntered(LocoRec* t, BlockRec* b, ConnectionRec* c, char h, int role) {
    if (t->contactRole == role && b->arrivedTrain == t) return false;
    t->contactRole = static_cast<uint8_t>(role);
    if (moving(*t) && automatic(*t)) {
        if (setTurnoutsAhead(t, b, h)) updateRoutes();
        setTargetSpeed(t, speedOnEntry(*t, *b, *c));
    }
    if (c->from) c->from->arrivedTrain = nullptr;
    b->arrivedTrain = t;
    refreshLocoPanel(t);
    t->run.runFlagsB &= static_cast<uint8_t>(~kPositionCheck);
    return true;
}

// The block's wait for the train that stops at its station or stop section.
void startBlockWait(LocoRec* t, BlockRec* b) {
    if (t->mode == kModeAuto) {
        if (!(b->flags & kPassengerWaitOnly) || t->kind == kPassengerTrain) b->remainingWait = b->waitTime;
    } else if (t->mode == kModeRoute) {
        if (locateTrainInRoute(t)) {
            updateTrainSchedule(t);
            const int wait = gRouteLines[t->run.currentLine]->wait;
            if (wait > b->remainingWait) b->remainingWait = wait;
        }
        refreshRouteDialog(t);
    }
}

// Result 2 or 3 in a block the train has not arrived in. False: the train could not be put at the
// contact and was stopped.
bool trainReachedStop(LocoRec* t, BlockRec* b, ConnectionRec* c, char h, const SectionContact& k) {
    const uint8_t role = t->contactRole;
    const char heading = t->heading;
    t->contactRole = static_cast<uint8_t>(k.role);
    if (gRunWithTrack || (t->flags & kLocoForce)) {
        t->heading = h;
        if (!placeTrainOnBlock(t, b, 1)) {
            t->contactRole = role;
            t->heading = heading;
            stopLoco(t);
            return false;
        }
        t->run.runFlagsA &= static_cast<uint8_t>(~kHalted);
        netQueueLocoState(*t);
        if (t->heading != heading) netQueueRecord(30, 2, 31, t->number, t->slot, t->heading);
    }
    t->run.runFlagsA &= static_cast<uint8_t>(~kDeparted);
    t->run.runFlagsB &= static_cast<uint8_t>(~kPositionCheck);
    for (int i = 0; i < kConnectionTurnouts && c->turnouts[i]; ++i) {
        TurnoutRec* tu = c->turnouts[i];
        if (tu->holder == t && !(tu->runState & kHeldByPresence)) tu->holder = nullptr;
    }
    setRouteReserved(c, t, 0, k.result == kStopSection);
    BlockRec* f = c->from;
    // The block the train came from is given up, unless a vehicle still stands on it (or it is the
    // block the train stopped in).
    if (f && f != b) {
        f->arrivedTrain = nullptr;
        if (!(f->state & kHeldByPresence)) f->assignedTrain = nullptr;
    }
    b->arrivedTrain = t;
    startBlockWait(t, b);
    reevaluateTrainAndFifo(t);
    refreshLocoPanel(t);
    t->run.runFlagsA |= kChanged;
    return true;
}

// A train that has arrived already: only a new stop-section or station role counts.
bool arrivedTrainMovedOn(LocoRec* t, BlockRec* b, const SectionContact& k) {
    if (k.result < kStopSection || k.role == t->contactRole) return false;
    t->contactRole = static_cast<uint8_t>(k.role);
    if (k.result == kStopSection) {
        reevaluateTrain(t);
        if (gRunWithTrack && placeTrainOnBlock(t, b, 1)) {
            t->run.runFlagsA = static_cast<uint8_t>((t->run.runFlagsA & ~kHalted) | kChanged);
            netQueueLocoState(*t);
        }
    }
    return true;
}

}  // namespace

SectionContact findSectionContact(const BlockRec& b, const LocoRec& t, char heading) {
    return gRunWithTrack ? scanOccupiedSections(b, t, heading) : leadingEndContact(b, t, heading);
}

BlockRec* headBlockOf(const LocoRec& t) { return standsOnBlock(t.run.head) ? t.run.head.block : nullptr; }

int evaluateSectionContacts(BlockRec* b) {
    LocoRec* t = b ? b->assignedTrain : nullptr;
    if (!t || (t->mode == kModeShunting && t->speedValue == 0) || gNetMode == 40) return 0;
    ConnectionRec* c = t->connection;
    // A train without a connection (shunted, or put on the track) has nothing to arrive at.
    if (!c || (c->from != b && c->to != b)) {
        t->run.runFlagsA |= kChanged;
        return 0;
    }
    const char h = headingInBlock(*t, *c, b);
    const SectionContact k = findSectionContact(*b, *t, h);
    if (k.result == kNone) return 0;
    if (k.result == kStopSection && b == c->from && !b->arrivedTrain) return 1;
    BlockRec* f = c->from;
    const bool arriving =
        !b->arrivedTrain || (b == c->to && f && f->assignedTrain == t && !(f->state & kHeldByPresence));
    if (arriving) {
        const bool done = k.result == kEntered ? trainEntered(t, b, c, h, k.role) : trainReachedStop(t, b, c, h, k);
        if (!done) return 1;
    } else if (!arrivedTrainMovedOn(t, b, k)) {
        return 0;
    }
    netQueueRecord(30, 2, 25, t->number, t->slot, t->contactRole);
    return 1;
}

int checkWrongWay(BlockRec* b) {
    if (!b || !gSettings.chboVerkeerdeWeg) return 0;
    const int n = sectionCount(*b);
    if (n == 0) return 0;
    const uint16_t newlyOccupied = static_cast<uint16_t>(b->occupiedSections & ~b->shownOccupancy);
    for (LocoRec* p : gLocsOnTrack) {
        ConnectionRec* c = p->connection;
        if (!moving(*p) || p->mode == kModeShunting || !c || !c->from || !(p->run.runFlagsA & kDeparted)) continue;
        if (c->to && c->to->arrivedTrain == p) continue;
        const char e = travelEnd(p->heading, p->direction);
        for (const ConnectionRec* other : gConnections) {
            if (other == c || other->from != c->from || other->to != b || other->direction != e) continue;
            // The end the train comes in by: it keeps its heading, unless the connection is a reversing loop.
            const char heading = other->loop ? otherEnd(e) : e;
            const int entry = heading == 'H' ? 0 : n - 1;
            if (!((newlyOccupied >> entry) & 1)) continue;
            // The train that has arrived in the block, running out by that end, set the contact off.
            const LocoRec* s = b->arrivedTrain;
            if (s && s != p && s->heading != heading && s->direction == 'v' && moving(*s)) {
                const PositionRec& lead = leadingEnd(*s);
                const DiagramPoint at = b->points[heading == 'H' ? 0 : n];
                if (std::hypot(lead.x - static_cast<float>(at.x), lead.y - static_cast<float>(at.y)) < gUnit40cm) return 0;
            }
            stopLoco(p);
            return 1;
        }
    }
    return 0;
}

void beginStartPause(LocoRec* t, int seconds) {
    t->run.runFlagsA |= kStartPause;
    t->nextStepTime = static_cast<int32_t>(gMsTick + static_cast<uint32_t>(seconds) * 1000);
    t->currentStep = 1;
}

int startTimedStop(LocoRec* t) {
    if (!t || !(t->run.runFlagsA & kStartPauseSeconds) || !(t->run.functionBits1 & 0x01)) return 0;
    const int seconds = t->run.runFlagsA >> 5;
    beginStartPause(t, seconds);
    queueLocoSpeed(t, 0);
    netQueueRecord(30, 2, 36, t->number, t->slot, seconds | 0x08);
    return 1;
}

void showLocoWaitTime(int row) {
    LocoRec* t = gLocsOnTrack[row];
    if (!t) return;
    const BlockRec* b = headBlockOf(*t);
    const int wait = b ? b->remainingWait : 0;
    if (frmSchema && row < kControlPosts) {
        QLabel* label = frmSchema->lblPauze[row];
        label->setText(QString::number(wait));
        setTextColour(label, vestrel::clBlack);
        setBackColour(label, row == gActiveRow ? vestrel::clYellow : vestrel::clBtnFace);
    }
    refreshLocoPanelWait(t, wait);
    netQueueRecord(30, 2, 28, t->number, t->slot, wait);
}

void setTargetSpeed(LocoRec* t, int v) {
    if (!t) return;
    v = std::min(v, speedTableEntry(*t, t->maxStep));
    if (v == t->shownSpeed) return;
    const int s = speedStepForSpeed(t, v);
    if (s != t->targetStep) {
        if (t->targetStep == 0 && t->currentStep == 0) startTimedStop(t);
        t->targetStep = static_cast<int16_t>(s);
        showLocoSpeed(t, 0);
    }
    if (gRunWithoutTrack) t->run.runFlagsA &= static_cast<uint8_t>(~kHalted);
}

int speedStepForSpeed(LocoRec* t, int v) {
    // A maximum speed of 0 (a locomotive file may hold one) has no step for any speed.
    if (!t || t->maxStep <= 0 || t->run.maxSpeed <= 0) return 0;
    int s = static_cast<int>(static_cast<double>(v) * t->run.speedSteps / t->run.maxSpeed + 0.5);
    s = std::clamp(s, 0, t->maxStep - 1);
    int d = speedTableEntry(*t, s);
    if (d == v) return s;
    const int dir = v > d ? 1 : -1;
    for (;;) {
        const int next = s + dir;
        if (next < 0 || next > t->maxStep) return s;
        const int f = speedTableEntry(*t, next);
        if ((dir > 0 && f >= v) || (dir < 0 && f <= v)) {
            const int nearNext = std::abs(f - v), nearPrevious = std::abs(d - v);
            if (nearNext != nearPrevious) return nearNext < nearPrevious ? next : s;
            return std::min(next, s);  // equally near: the lower step
        }
        if (next == 0 || next == t->maxStep) return next;
        s = next;
        d = f;
    }
}
