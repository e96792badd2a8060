#include "operation/engine/route_aspects.h"

#include <algorithm>

#include "layout/draw/element_draw.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "network/model/net_queue.h"
#include "operation/control/loco_operation.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/engine/second_tick.h"
#include "operation/engine/speed_correction.h"
#include "operation/engine/train_reservation.h"
#include "operation/model/route_file.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/model/settings.h"

uint8_t gBlockedReason = 0;

namespace {

LocoRec* gAutoFifo[kMaxLocsOnTrack] = {};
int gAutoFifoCount = 0;

constexpr uint8_t kManualTurnout = 0x02;

int orangeSpeed() { return gSettings.edtSnelhOranje; }

char& endAspect(BlockRec* b, char end) { return end == 'H' ? b->hAspect : b->tAspect; }
char otherEnd(char end) { return end == 'H' ? 'T' : 'H'; }
uint8_t orangeBit(char end) { return end == 'H' ? 0x01 : 0x02; }
bool redAspect(char a) { return a == 'R' || a == 'S'; }

char travelEnd(const LocoRec& t) { return (t.heading == 'H') == (t.direction == 'v') ? 'H' : 'T'; }
bool automatic(const LocoRec& t) { return t.mode == kModeAuto || t.mode == kModeRoute; }
// A connection fits a train leaving by its heading end forward, or by the other end backward.
bool fits(const ConnectionRec& c, const LocoRec& t) { return (c.direction == t.heading) == (t.direction == 'v'); }

template <class F>
void forEachTurnout(const ConnectionRec& c, F f) {
    for (int i = 0; i < kConnectionTurnouts && c.turnouts[i]; ++i) f(*c.turnouts[i], c.positions[i]);
}

bool turnoutsSet(const ConnectionRec& c) {
    bool set = true;
    forEachTurnout(c, [&](const TurnoutRec& t, char position) { set = set && t.position == position; });
    return set;
}

// The train's route line, or -1 when it has none inside its route (a stale index from a file).
int routeLineOf(const LocoRec& t) {
    const RouteRec* r = t.route;
    const int line = t.run.currentLine;
    return r && line >= r->firstLine && line < r->endLine && line < gRouteLineCount ? line : -1;
}
int lineSpeed(const LocoRec& t) {
    const int line = routeLineOf(t);
    return line >= 0 ? gRouteLines[line]->speed : 0;
}

void throwTurnouts(const ConnectionRec& c, LocoRec* holder) {
    for (int i = 0; i < kConnectionTurnouts && c.turnouts[i]; ++i) {
        TurnoutRec* t = c.turnouts[i];
        if (holder) t->holder = holder;
        if (t->position != c.positions[i]) {
            t->position = c.positions[i];
            drawTurnout(*t, 0, 1);
        }
    }
}

// The orange light of a signal: a train that has reached this end's stop section slows down to the
// orange speed, or speeds up again on green.
void adjustSpeedAtSignal(SignalRec& s) {
    BlockRec* b = s.block;
    LocoRec* t = b->arrivedTrain;
    if (!t || t->shownSpeed == 0 || !automatic(*t) || t->run.head.block != b || t->direction != 'v') return;
    if (!((t->contactRole == 6 && t->heading == 'H') || (t->contactRole == 1 && t->heading == 'T'))) return;
    const int step = t->run.speedSteps > 0 ? t->run.maxSpeed / t->run.speedSteps : 0;
    if (s.aspect == 'O') {
        if (orangeSpeed() + step <= t->shownSpeed) setTargetSpeed(t, orangeSpeed());
    } else {
        const int v = t->mode == kModeAuto ? (t->run.head.block ? t->run.head.block->speed : 0) : lineSpeed(*t);
        if (t->shownSpeed <= v - step) setTargetSpeed(t, v);
    }
}

}  // namespace

int routeAspect(ConnectionRec* c, LocoRec* t, int evalOnly) {
    if (!c || !c->from || !c->to) return 0;
    BlockRec* f = c->from;
    BlockRec* b = c->to;
    if (!t) t = f->assignedTrain;
    char a = 'G';
    if (!evalOnly && t && automatic(*t))
        forEachTurnout(*c, [&](const TurnoutRec& tu, char position) {
            if ((tu.options & kManualTurnout) && tu.position != position) a = 'R';
        });
    auto refuse = [&](uint8_t bit) {
        a = 'R';
        gBlockedReason |= bit;
    };
    bool heldByOther = false;
    forEachTurnout(*c, [&](const TurnoutRec& tu, char) { heldByOther = heldByOther || (tu.holder && tu.holder != t); });
    if (endAspect(f, c->direction) == 'S') {
        a = 'S';
        gBlockedReason |= 0x01;
    } else if (a == 'R') {
        gBlockedReason |= 0x40;
    } else if (t && t->mode == kModeAuto && b->allowedDirection != 'B' &&
               !((b->allowedDirection == t->heading && !c->loop) || (b->allowedDirection != t->heading && c->loop))) {
        refuse(0x02);
    } else if (t && t->trainLength + gUnit15cm > b->totalLength && !((t->flags & kLocoForce) && t->direction != 'a')) {
        refuse(0x04);
    } else if (t && t->mode == kModeAuto &&
               (!(b->allowedTrains & t->kind & 0x0F) || (t->motor == 2 && !(b->allowedTrains & 0x80)))) {
        refuse(0x08);
    } else if (!b->assignedTrain && b->occupiedSections != 0) {
        refuse(0x20);
    } else if (!evalOnly && b->assignedTrain && b->assignedTrain != t) {
        refuse(0x20);
    } else if (!evalOnly && heldByOther) {
        refuse(0x10);
    }
    if (!evalOnly) endAspect(f, c->direction) = a;
    return a == 'G' ? 1 : 0;
}

void updateSectionAspects(int pass) {
    const BlockRec* current = nullptr;
    bool decided[2] = {false, false};  // 'H', 'T'
    for (ConnectionRec* c : gConnections) {
        BlockRec* f = c->from;
        if (!f || !c->to) continue;
        if (f != current) {
            current = f;
            decided[0] = decided[1] = false;
            if (pass == 0) {
                if (f->hAspect != 'S') f->hAspect = 'R';
                if (f->tAspect != 'S') f->tAspect = 'R';
            }
        }
        bool& done = decided[c->direction == 'H' ? 0 : 1];
        if (done || !turnoutsSet(*c)) continue;
        done = true;
        if (pass == 0) {
            routeAspect(c, nullptr, 0);
            continue;
        }
        char& a = endAspect(f, c->direction);
        const char next = endAspect(c->to, c->loop ? otherEnd(c->direction) : c->direction);
        if (a == 'G' && (f->orangeEnds & orangeBit(c->direction)) && redAspect(next)) a = 'O';
    }
}

void updateRoutes() {
    updateSectionAspects(0);
    updateSectionAspects(1);
    for (SignalRec* s : gSignals) {
        if (s->aspect == 'S' || !s->block) continue;
        const char a = endAspect(s->block, s->direction);
        if (a == s->aspect) continue;
        s->aspect = a;
        drawSignal(*s, 0, 1);
        if (s->orangeNumber && orangeSpeed() && (a == 'O' || a == 'G')) adjustSpeedAtSignal(*s);
    }
}

int setConnectionTurnouts(ConnectionRec* c) {
    if (!c) return 0;
    if (!c->turnouts[0]) return 1;
    bool blocked = false, set = true;
    forEachTurnout(*c, [&](const TurnoutRec& t, char position) {
        blocked = blocked || t.holder || ((t.options & kManualTurnout) && t.position != position);
        set = set && t.position == position;
    });
    if (blocked) return 0;
    if (set) return 2;
    throwTurnouts(*c, nullptr);
    return 3;
}

void chooseConnection(LocoRec* t) {
    if (!t) return;
    BlockRec* b = currentSectionOfTrain(t);
    if (!b) return;
    const char s = sectionAspectForTrain(t, b);
    if (s == 'S' || s == 'T' || s == 'X') return;
    ConnectionRec* chosen = nullptr;
    bool evaluated = false;
    int green = 0;
    if (t->mode == kModeManual) {
        for (ConnectionRec* c : gConnections)
            if (c->from == b && fits(*c, *t) && turnoutsSet(*c)) {
                chosen = c;
                break;
            }
        if (chosen) {
            evaluated = true;
            green = routeAspect(chosen, nullptr, 0);
        } else if (!gBlockedReason) {
            gBlockedReason = 132;
        }
    } else if (t->mode == kModeAuto) {
        for (ConnectionRec* c : gConnections) {
            if (c->from != b || !fits(*c, *t)) continue;
            evaluated = true;
            chosen = c;
            if ((green = routeAspect(c, nullptr, 0))) break;
        }
    } else if (t->mode == kModeRoute) {
        const int line = routeLineOf(*t);
        ConnectionRec* c = line >= 0 ? routeLineConnection(gRouteLines[line]) : nullptr;
        if (c && checkRouteDirection(t, c)) {
            evaluated = true;
            chosen = c;
            green = routeAspect(c, nullptr, 0);
        }
    }
    if (green) {
        if (automatic(*t)) setConnectionTurnouts(chosen);
        if (!t->connection || t->connection->from != b) {
            t->connection = chosen;
        } else if (t->connection != chosen) {
            releaseRouteOfTrain(t, 0);
            t->connection = chosen;
        }
    }
    if (!evaluated) endAspect(b, travelEnd(*t)) = 'R';
}

char sectionAspectForTrain(LocoRec* t, BlockRec* b) {
    if (!t || !b) return 'S';
    if (!t->running) {
        gBlockedReason = 128;
        return 'S';
    }
    if (b->remainingWait != 0) {
        gBlockedReason = 129;
        return 'S';
    }
    if (t->mode == kModeRoute && routeLineOf(*t) < 0) {
        gBlockedReason = 130;
        return 'S';
    }
    if (trainMayProceed(t)) return 'T';
    if (t->direction == 'v' && t->contactRole != (t->heading == 'H' ? 6 : 1)) return 'X';
    const char a = endAspect(b, travelEnd(*t));
    if (a == 'S') gBlockedReason = 131;
    return a;
}

char applyTrainAspect(LocoRec* t) {
    if (!t) return 'S';
    BlockRec* b = currentSectionOfTrain(t);
    if (!b) return 'S';
    ConnectionRec* c = t->connection;
    char a = sectionAspectForTrain(t, b);
    if (a == 'G' || a == 'O') {
        t->effectiveStepDelay = t->stepDelay;
        if ((automatic(*t) || t->targetStep || t->currentStep) && c && c->from == b && c->to) {
            throwTurnouts(*c, t);
            c->to->assignedTrain = t;
            if (automatic(*t)) {
                const char ahead = endAspect(c->to, c->loop ? otherEnd(c->direction) : c->direction);
                if (redAspect(ahead) && (c->from->orangeEnds & orangeBit(c->direction))) a = 'O';
                int speed = 0;
                if (t->holdCountdown) speed = 0;
                else if (a == 'O' && orangeSpeed()) speed = orangeSpeed();
                else if (t->mode == kModeAuto) speed = b->speed;
                else speed = lineSpeed(*t);
                setTargetSpeed(t, speed);
            }
            if (t->flags & kLocoAutoCorrection) updateSpeedCorrection(t, c->to, t->lastAngle, t->lastAngle, -1);
            setRouteReserved(c, t, 1, 1);
        }
        removeFromRunningFifo(t);
        t->run.runFlagsA &= static_cast<uint8_t>(~0x01);
    } else if (a == 'R' || a == 'S') {
        limitBrakingDelay(t);
        if (t->targetStep != 0) {
            t->targetStep = 0;
            showLocoSpeed(t, 0);
            if (c) setRouteReserved(c, t, 0, 0);
        } else {
            netQueueLocoState(*t);
        }
        if (a == 'R') addToRunningFifo(t);
    } else if (a == 'X' && automatic(*t)) {
        t->effectiveStepDelay = t->stepDelay;
        setTargetSpeed(t, t->mode == kModeAuto ? b->speed : lineSpeed(*t));
    }
    return a;
}

char reevaluateTrain(LocoRec* t) {
    if (!t) return 'S';
    if (trainMayProceed(t)) return 'G';
    chooseConnection(t);
    const char r = applyTrainAspect(t);
    const uint8_t reason = gBlockedReason;
    updateRoutes();
    gBlockedReason = reason;
    return r;
}

void reevaluateTrainAndFifo(LocoRec* t) {
    chooseConnection(t);
    applyTrainAspect(t);
    reevaluateFifo(t);
    updateRoutes();
}

int reevaluateFifo(LocoRec* skip) {
    int going = 0;
    for (int i = 0; i < gAutoFifoCount;) {
        LocoRec* t = gAutoFifo[i];
        if (t == skip || t->mode < kModeAuto) {
            ++i;
            continue;
        }
        chooseConnection(t);
        const char a = applyTrainAspect(t);
        if (a == 'G' || a == 'O') going = 1;
        if (i < gAutoFifoCount && gAutoFifo[i] == t) ++i;  // still waiting: on to the next one
    }
    gFifoRecheckCountdown = 0;
    return going;
}

void addToRunningFifo(LocoRec* t) {
    if (!t || t->mode < kModeAuto) return;
    for (int i = 0; i < gAutoFifoCount; ++i)
        if (gAutoFifo[i] == t) return;
    // Never past the FIFO: it holds at most the locomotives on the track.
    if (gAutoFifoCount >= gLocsOnTrackCount || gAutoFifoCount >= kMaxLocsOnTrack) {
        showDialogMessage("Fout met fifowijzer !", 1);
        return;
    }
    gAutoFifo[gAutoFifoCount++] = t;
}

void removeFromRunningFifo(LocoRec* t) {
    for (int i = 0; i < gAutoFifoCount; ++i) {
        if (gAutoFifo[i] != t) continue;
        std::copy(gAutoFifo + i + 1, gAutoFifo + gAutoFifoCount, gAutoFifo + i);
        gAutoFifo[--gAutoFifoCount] = nullptr;
        return;
    }
}

int runningFifoCount() { return gAutoFifoCount; }
LocoRec* runningFifoAt(int i) { return i >= 0 && i < gAutoFifoCount ? gAutoFifo[i] : nullptr; }
void clearRunningFifo() {
    std::fill(gAutoFifo, gAutoFifo + kMaxLocsOnTrack, nullptr);
    gAutoFifoCount = 0;
}

int trainMayProceed(LocoRec* t) {
    if (!t || !t->running || !(t->run.runFlagsA & 0x02)) return 0;
    const BlockRec* b = t->run.head.block;
    return !b || b->remainingWait == 0 ? 1 : 0;
}

int locateTrainInRoute(LocoRec* t) {
    if (!t || !t->route) return 0;
    const RouteRec* r = t->route;
    const BlockRec* b = currentSectionOfTrain(t);
    const int n = std::min(r->endLine, gRouteLineCount) - r->firstLine;
    const int had = routeLineOf(*t);
    const int start = had >= 0 ? had : r->firstLine;
    int found = -1;
    for (int k = 0; k < n && r->firstLine >= 0; ++k) {
        const int i = r->firstLine + (start - r->firstLine + k) % n;
        const ConnectionRec* c = routeLineConnection(gRouteLines[i]);
        if (c && c->from == b) {
            found = i;
            break;
        }
    }
    if (found < 0 && (had >= 0 || t->targetStep != 0)) {
        t->targetStep = 0;
        showLocoSpeed(t, 0);
    }
    t->run.currentLine = found;
    netQueueRecord(30, 2, 13, t->number, t->slot, found);
    return found >= 0 ? 1 : 0;
}

void updateTrainSchedule(LocoRec* t, RouteRec* route) {
    if (!t && route)
        for (LocoRec* l : gLocsOnTrack)
            if (l->route == route) {
                t = l;
                break;
            }
    if (!t || t->mode != kModeRoute || !t->running || !t->run.head.block || (t->run.runFlagsA & 0x02)) return;
    const int line = routeLineOf(*t);
    if (line < 0) return;
    const RouteLineRec* l = gRouteLines[line];
    if (l->hour == 0 && l->minute == 0) return;
    int s = (l->hour - gModelClock.hours) * 3600 + (l->minute - gModelClock.minutes) * 60 - gModelClock.seconds;
    if (s < 0) s += 86400;
    t->run.head.block->remainingWait = s / std::max<int>(gTimeBase, 1);
}

int checkRouteDirection(LocoRec* t, ConnectionRec* c) {
    if (!t || t->mode != kModeRoute) return 0;
    const int line = routeLineOf(*t);
    if (line < 0) return 0;
    if (!c) c = routeLineConnection(gRouteLines[line]);
    if (!c) return 0;
    const RouteRec* r = t->route;
    if (line == r->endLine - 1) {
        const ConnectionRec* first = routeLineConnection(gRouteLines[r->firstLine]);
        if (!first || c->to != first->from) {
            t->run.currentLine = -1;
            return 0;
        }
    }
    if (!fits(*c, *t)) {
        if (t->targetStep != 0) {
            t->targetStep = 0;
            showLocoSpeed(t, 0);
        }
        if (t->currentStep == 0 && t->speedValue == 0) {
            // Reversed as in "Rangeer", whatever the train's own mode.
            const uint8_t mode = t->mode;
            t->mode = kModeShunting;
            reverseLoco(t);
            t->mode = mode;
        }
        if (!fits(*c, *t)) return 0;
    }
    return t->holdCountdown ? 0 : 1;
}
