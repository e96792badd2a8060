#include "network/sync/server_requests.h"

#include <algorithm>

#include "layout/model/layout_model.h"
#include "network/model/net_queue.h"
#include "network/sync/server_request_kinds.h"
#include "operation/control/accessory_operation.h"
#include "link/buffers/link_buffers.h"
#include "operation/control/control_post.h"
#include "operation/control/emergency_stop.h"
#include "operation/control/loco_operation.h"
#include "operation/control/loco_putting.h"
#include "operation/dialogs/untTraject.h"
#include "operation/dialogs/untWagons.h"
#include "operation/engine/helper_locos.h"
#include "operation/engine/route_aspects.h"
#include "operation/engine/wagon_coupling.h"
#include "operation/files/route_file_io.h"
#include "operation/model/route_codec.h"
#include "operation/model/route_file.h"
#include "operation/model/speed_curve.h"
#include "operation/model/train_model.h"
#include "operation/dialogs/untCurve.h"
#include "platform/byte_io.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/model/input_state.h"

int NetRequest::byte(int k) const { return k >= 0 && k < length && k < kNetBufferSize ? gNetInBuffer[k] : 0; }

std::string NetRequest::text(int from, int size) const {
    std::string t;
    for (int k = 0; k < size - 1; ++k) {
        const int c = byte(from + k);
        if (c == 0) break;
        t.push_back(static_cast<char>(c));
    }
    return t;
}

void NetRequest::echo() const { netEchoRecord(length, length); }

namespace {

using Request = NetRequest;

// A pulse time is one byte: other values are refused.
template <class Rec>
int setPulseTime(Rec& r, int c) {
    if (c < 0 || c > 255) return 0;
    r.pulseTime = static_cast<uint8_t>(c);
    return 1;
}

int turnoutRequest(const Request& q) {
    TurnoutRec* t = gTurnouts[q.b];
    if (!t || t->number != q.a) return 0;
    switch (q.code) {
        case 37: return setPulseTime(*t, q.c);
        case 30: toggleTurnoutManual(t); return 1;
        case 44: toggleTurnout(t); return 1;
        default: return 0;
    }
}

int signalRequest(const Request& q) {
    SignalRec* s = gSignals[q.b];
    if (!s || s->number != q.a) return 0;
    switch (q.code) {
        case 37: return setPulseTime(*s, q.c);
        case 44: toggleSignalForcedRed(s); return 1;
        default: return 0;
    }
}

int outputRequest(const Request& q) {
    OutputRec* o = gOutputs[q.b];
    if (!o || o->key / 2 != q.a) return 0;
    switch (q.code) {
        case 37: return setPulseTime(*o, q.c);
        case 44: operateOutput(o); return 1;
        default: return 0;
    }
}

// 2/26 from a client's speed keys: c = target step x 256 + 0x80 for the one-shot force + the key (38 up,
// 40 down, 1 go to the step). Only for a locomotive on the track.
int speedRequest(LocoRec* loco, int c) {
    const int row = gLocsOnTrack.indexOf(loco);
    const int key = c & 0x7F, step = (c >> 8) & 0xFF;
    if (row < 0 || step > loco->maxStep) return 0;
    if (key == 1) {
        setLocoSpeedStep(loco, step);
        return 1;
    }
    if (key != 38 && key != 40) return 0;
    loco->targetStep = static_cast<int16_t>(step);
    loco->flags = static_cast<uint8_t>((loco->flags & ~kLocoForceOnce) | ((c & 0x80) ? kLocoForceOnce : 0));
    stepLocoSpeed(loco, row, key, 1);
    return 1;
}

// 2/30: c = the mode + 1, or 0 for one step of the mode cycle.
int modeRequest(LocoRec* loco, int c) {
    if (c < 0 || c > 4) return 0;
    if (c == 0) {
        if (cycleLocoMode(loco) && loco->shownSpeed != 0) reevaluateTrain(loco);
        return 1;
    }
    for (int k = 0; k < 4 && loco->mode != c - 1; ++k)
        if (!cycleLocoMode(loco)) break;
    return 1;
}

// 2/12: c = the 1-based route, 0 none. A route train takes the new route through one mode step.
int routeRequest(LocoRec* loco, int c) {
    if (c < 0 || c > gRouteCount) return 0;
    loco->route = c ? gRoutes[c - 1] : nullptr;
    if (loco->mode == kModeRoute) cycleLocoMode(loco);
    netQueueRecord(30, 2, 12, loco->number, loco->slot, c);
    if (gRouteDialogLoco == loco && frmTraject && frmTraject->isVisible()) frmTraject->close();
    return 1;
}

// 2/13: the route train goes on at the next line of its route.
int routeProgressRequest(LocoRec* loco) {
    const RouteRec* r = loco->route;
    if (!r) return 0;
    const int end = std::min(r->endLine, gRouteLineCount);
    int next = loco->run.currentLine + 1;
    if (next < r->firstLine || next >= end) next = r->firstLine;
    loco->run.currentLine = next;
    locateTrainInRoute(loco);
    return 1;
}

// 2/27: the acceleration 0..10 of a locomotive on the track, and the step delay that follows from it.
int accelerationRequest(LocoRec* loco, int c) {
    if (c < 0 || c > 10 || gLocsOnTrack.indexOf(loco) < 0) return 0;
    loco->acceleration = static_cast<uint8_t>(c);
    loco->stepDelay = loco->effectiveStepDelay = static_cast<int16_t>(calcStepDelay(loco, c));
    netQueueRecord(30, 2, 27, loco->number, loco->slot, c);
    return 1;
}

// 2/38: the 127-byte speed table, a spare byte and the int16 maximum speed behind the header.
int speedTableRequest(const Request& q, LocoRec* loco) {
    const int maxSpeed = static_cast<int16_t>(q.byte(134) | (q.byte(135) << 8));
    if (q.length < 136 || maxSpeed < 0) return 0;
    closeSpeedCurveOf(loco);  // the dialog's table is replaced under it
    for (int k = 0; k < kSpeedTableSize; ++k) loco->speedTable[k] = static_cast<uint8_t>(q.byte(6 + k));
    if (maxSpeed != loco->run.maxSpeed) {
        loco->run.maxSpeed = static_cast<int16_t>(maxSpeed);
        loco->stepDelay = static_cast<int16_t>(calcStepDelay(loco, loco->acceleration));
    }
    netEchoRecord(q.length, q.length);
    return 1;
}

// Locomotive requests: the same operations as the control-post keys.
int locoRequest(const Request& q) {
    LocoRec* loco = gLocs[q.b];
    if (!loco || loco->number != q.a) return 0;
    switch (q.code) {
        case 12: return routeRequest(loco, q.c);
        case 13: return routeProgressRequest(loco);
        case 26: return speedRequest(loco, q.c);
        case 27: return accelerationRequest(loco, q.c);
        case 37: return locoDataRequest(q, loco);
        case 38: return speedTableRequest(q, loco);
        case 28:
            if (q.c != '+' && q.c != '-') return 0;
            adjustLocoWaitTime(loco, q.c);
            return 1;
        case 30: return modeRequest(loco, q.c);
        case 33: toggleLocoAsc(loco); return 1;
        case 36:
            if (q.c < 0 || q.c > 7) return 0;
            loco->run.runFlagsA = static_cast<uint8_t>((loco->run.runFlagsA & 0x1F) | (q.c << 5));
            return 1;
        case 29:
            if (toggleLocoRun(loco) == 1) reevaluateTrain(loco);
            return 1;
        case 31: reverseLoco(loco); return 1;
        case 34: toggleLocoForce(loco); return 1;
        case 35: {
            const int function = q.c & 0xFF;
            const int on = (q.c >> 8) & 0xFF;
            if (function > 28 || on > 1) return 0;
            setLocoFunction(loco, function, on);
            return 1;
        }
        case 40:  // bytes 8 and 9: the block's number and index
            return q.length >= 10 ? putLocoOnNamedBlock(loco, q.c, q.byte(8), q.byte(9)) : 0;
        case 41: takeLocoOffTrack(loco); return 1;
        case 42: deleteLoco(loco); return 1;
        default: return 0;
    }
}

// Wagons by their slot in b (a client sends a = 0); the wagon must stand on the track to be taken off or
// uncoupled, and off it to be placed.
int wagonRequest(const Request& q) {
    WagonRec* w = gWagons[q.b];
    if (!w) return 0;
    const bool onTrack = q.b < gWagonCounts.coupledEnd;
    switch (q.code) {
        case 41:
            if (!onTrack) return 0;
            takeWagonOffTrack(w, 1);
            return 1;
        case 47:
            if (!onTrack || !w->owner) return 0;
            uncoupleWagons(w->owner, w);
            return 1;
        case 37: return wagonDataRequest(q, w);
        case 39:
            if (q.c < 1 || q.c > 255) return 0;
            w->lengthCm = static_cast<uint8_t>(q.c);
            applyWagonLength(w);
            return 1;
        case 51: {
            // c the kind letter, bytes 8..9 the number (a helper locomotive's, at most 9999); bytes 10..11
            // carry the asking client's own number, which gRequestingClient already names.
            if (q.c != 'P' && q.c != 'G' && q.c != 'S' && q.c != 'H') return 0;
            const int number = static_cast<int16_t>(q.byte(8) | (q.byte(9) << 8));
            setWagonKind(w, static_cast<char>(q.c), number, 0);
            return 1;
        }
        case 40: {
            // Bytes 6..8: block number, block index, the section clicked; 10..13 the point.
            BlockRec* block = gBlocks[q.byte(7)];
            if (onTrack || !block || block->number != q.byte(6) || q.byte(8) >= block->sections) return 0;
            gMousePoint = {static_cast<int16_t>(q.byte(10) | (q.byte(11) << 8)),
                           static_cast<int16_t>(q.byte(12) | (q.byte(13) << 8))};
            if (placeWagonOnBlock(w, block, q.byte(8)) && frmWagons && frmWagons->isVisible()) frmWagons->close();
            return 1;
        }
        default: return 0;
    }
}

int turntableRequest(const Request& q) {
    TurntableRec* t = gTurntables[q.b];
    if (!t || t->number != q.a) return 0;
    if (q.code == 37) return turntableDataRequest(q, t);
    if (q.code != 44) return 0;
    turnTurntable(t, q.c & 0xFF, (q.c >> 8) & 0xFF);  // it checks the track itself
    return 1;
}

int routeFileRequest(const Request& q) {
    if (q.code != 48 || q.a != 48 || !gRoutes[q.b]) return 0;
    saveRouteFile();
    return 1;
}

// 13/37: a = 20, b the line's index, then the 20-byte route line. Its connection is an index.
int routeLineRequest(const Request& q) {
    RouteLineRec* line = gRouteLines[q.b];
    if (q.code != 37 || q.a != 20 || !line || q.length < 26) return 0;
    uint8_t image[20];
    for (int k = 0; k < 20; ++k) image[k] = static_cast<uint8_t>(q.byte(6 + k));
    vestrel::ByteReader r(image, sizeof image);
    const RouteLineRec received = readRouteLineRec(r);
    if (!r.ok() || received.connection < -1 || received.connection >= gConnectionCount) return 0;
    *line = received;
    q.echo();
    return 1;
}

int emergencyRequest(const Request& q) {
    if (q.code != 45) return 0;
    if (q.c != 0) {
        emergencyStopAll(q.c);
    } else if (frmBoodschap && frmBoodschap->isVisible()) {
        frmBoodschap->close();
    }
    return 1;
}

}  // namespace

int netHandleRequest(int length) {
    vestrel::ByteReader r(gNetInBuffer, static_cast<size_t>(length));
    Request q;
    q.length = length;
    q.kind = r.u8();
    q.code = r.u8();
    q.a = r.i16();
    q.b = r.i16();
    q.c = r.i16();
    if (!r.ok()) return 0;
    switch (q.kind) {
        case 2: return locoRequest(q);
        case 3: return wagonRequest(q);
        case 5: return blockDataRequest(q);
        case 6: return turnoutRequest(q);
        case 7: return signalRequest(q);
        case 8: return outputRequest(q);
        case 10: return turntableRequest(q);
        case 12: return routeFileRequest(q);
        case 13: return routeLineRequest(q);
        case 14: return stepProgramRequest(q);
        case 15: return stepRequest(q);
        case 16: return formulaRequest(q);
        case 35: return functionDecoderRequest(q);
        case 45: return emergencyRequest(q);
        default: return 0;
    }
}
