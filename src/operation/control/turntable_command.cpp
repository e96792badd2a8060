// Commanding a turntable's decoder from the control post, the turntable dialog and its timer.
#include <cstdlib>

#include "layout/editor/turntable_operation.h"
#include "layout/model/layout_model.h"
#include "layout/model/turntable_state.h"
#include "link/buffers/link_buffers.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/accessory_operation.h"
#include "shell/model/app_state.h"

namespace {

constexpr uint8_t kHalfTurn = 0x01, kStepCw = 0x02, kStepCcw = 0x04, kTurnCw = 0x08, kTurnCcw = 0x10, kLocoMayTurn = 0x80;

struct Command {
    char kind = 0;  // 'G', 'R'; 0 none
    int offset = 0;  // from the start address
};

struct Plan {
    Command first, second;
    int target = -1;  // the target position when it is not the track
    bool none = false;  // the command does nothing at all
};

void setClear(uint8_t& state, uint8_t set, uint8_t clear) { state = static_cast<uint8_t>((state | set) & ~clear); }

// A turntable decoder with command addresses s..s+3 and track addresses from s + 4.
Plan decoderSystem1(TurntableRec& t, uint8_t& state, int track, int command, bool current, int positionNumber) {
    Plan plan;
    const Command toTrack{positionNumber % 2 ? 'R' : 'G', 4 + (positionNumber - 1) / 2};
    switch (command) {
    case 1:
    case 2:
        if (command == 1)
            setClear(state, kTurnCcw, kTurnCw);
        else
            setClear(state, kTurnCw, kTurnCcw);
        plan.first = {command == 1 ? 'G' : 'R', 3};
        if (current) setClear(state, kHalfTurn, 0);
        plan.second = current ? Command{'G', 1} : toTrack;
        break;
    case 3: setClear(state, 0, kHalfTurn); break;
    case 11:
        plan.first = {'R', 0};
        plan.target = 1;
        break;
    case 12: plan.first = {'G', 0}; break;
    case 13: plan.first = {'R', 1}; break;
    case 14:
        setClear(state, kHalfTurn, 0);
        plan.first = {'G', 1};
        break;
    case 15:
    case 16:
        if (t.currentPosition == 0) {  // the position is not known: nothing
            plan.none = true;
            return plan;
        }
        if (command == 15)
            setClear(state, kTurnCw | kStepCw, kTurnCcw | kStepCcw);
        else
            setClear(state, kTurnCcw | kStepCcw, kTurnCw | kStepCw);
        plan.first = {command == 15 ? 'R' : 'G', 2};
        plan.target = nextTurntableTrack(&t, command == 15 ? 1 : -1);
        break;
    case 17:
        setClear(state, kTurnCw, kTurnCcw);
        plan.first = {'R', 3};
        break;
    case 18:
        setClear(state, kTurnCcw, kTurnCw);
        plan.first = {'G', 3};
        break;
    case 19: plan.first = toTrack; break;
    default: break;
    }
    (void)track;
    return plan;
}

// Two motor addresses: s turns clockwise, s + 1 anticlockwise.
Plan decoderSystem0(uint8_t& state, int command, bool current) {
    Plan plan;
    if ((command == 1 || command == 2) && current) setClear(state, kHalfTurn, 0);
    if (command == 1) {
        state ^= kTurnCcw;
        setClear(state, 0, kTurnCw);
        plan.first = {(state & kTurnCcw) ? 'R' : 'G', 1};
    } else if (command == 2) {
        state ^= kTurnCw;
        setClear(state, 0, kTurnCcw);
        plan.first = {(state & kTurnCw) ? 'R' : 'G', 0};
    } else if (command == 3) {
        const bool ccw = state & kTurnCcw;
        setClear(state, 0, kTurnCw | kTurnCcw);
        plan.first = {'G', ccw ? 1 : 0};
    }
    return plan;
}

void queue(const Command& c, const TurntableRec& t) {
    if (c.kind) queueAccessoryCommand(c.kind, t.startAddress + c.offset, 0, t.pulseTime);
}

}  // namespace

void turnTurntable(TurntableRec* t, int track, int command) {
    if (!t) return;
    if (gNetLinkState == 40) {
        netQueueRecord(40, 10, 44, t->number, t->ownIndex, track + 256 * command);
        return;
    }
    const int n = t->positions;
    // A track outside 1..2n (a network request's byte may hold anything) names no position.
    if (n <= 0 || n > kTurntablePositions || track < 1 || track > 2 * n) return;
    const int p = track - 1 >= n ? track - 1 - n : track - 1;
    uint8_t& state = turntableStateFlags(*t);
    if (t->positionOfConnection[p] == 0 || !sessionRunning() || (t->loco && !(state & kLocoMayTurn))) return;
    const bool current = track == t->currentPosition || std::abs(track - t->currentPosition) == n;
    const Plan plan = t->decoderSystem == 1 ? decoderSystem1(*t, state, track, command, current, t->positionOfConnection[p])
                                            : decoderSystem0(state, command, current);
    if (plan.none) return;
    t->secondPosition = static_cast<uint8_t>(plan.target >= 0 ? plan.target : track);
    if (t->startAddress != 0 && command != 0 && !(gShiftState & 4)) {
        queue(plan.first, *t);
        queue(plan.second, *t);
    }
    netQueueRecord(30, 10, 44, t->number, t->ownIndex, track + 256 * command);
}
