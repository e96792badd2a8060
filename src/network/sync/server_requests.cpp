#include "network/sync/server_requests.h"

#include "layout/model/layout_model.h"
#include "network/model/net_queue.h"
#include "operation/control/accessory_operation.h"
#include "link/buffers/link_buffers.h"
#include "operation/control/emergency_stop.h"
#include "operation/control/loco_operation.h"
#include "operation/engine/route_aspects.h"
#include "operation/model/train_model.h"
#include "platform/byte_io.h"
#include "shell/dialogs/untBoodschap.h"

namespace {

struct Request {
    int kind, code, a, b, c;
};

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
        case 44: toggleTurnout(t); return 1;
        default: return 0;  // the manual flag (30) is not handled yet
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

// Locomotive requests: the same operations as the control-post keys.
int locoRequest(const Request& q) {
    LocoRec* loco = gLocs[q.b];
    if (!loco || loco->number != q.a) return 0;
    switch (q.code) {
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
        case 41: takeLocoOffTrack(loco); return 1;
        case 42: deleteLoco(loco); return 1;
        default: return 0;  // the other locomotive requests are not performed yet
    }
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
    q.kind = r.u8();
    q.code = r.u8();
    q.a = r.i16();
    q.b = r.i16();
    q.c = r.i16();
    if (!r.ok()) return 0;
    switch (q.kind) {
        case 2: return locoRequest(q);
        case 6: return turnoutRequest(q);
        case 7: return signalRequest(q);
        case 8: return outputRequest(q);
        case 45: return emergencyRequest(q);
        // The other requests (wagons, blocks, turntables, routes, step programs and function
        // decoders) are not performed yet.
        default: return 0;
    }
}
