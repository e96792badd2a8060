#include "network/sync/client_tick.h"

#include "link/buffers/link_buffers.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/socket/net_sockets.h"
#include "operation/control/loco_operation.h"
#include "operation/draw/train_drawing.h"
#include "operation/engine/feedback_cycle.h"
#include "operation/engine/running_engine.h"
#include "operation/engine/train_movement.h"
#include "operation/model/train_model.h"
#include "shell/main/main_cycle.h"
#include "shell/model/app_state.h"

namespace {

constexpr uint8_t kHalted = 0x01;
constexpr uint8_t kMoved = 0x04;
constexpr uint8_t kFreshPosition = 0x08;
constexpr uint8_t kStartPause = 0x10;

// The server's trains between two of its position records: the speed follows the same ramp, and the
// train moves on from the last position received.
void mirrorLocomotive(LocoRec* l) {
    if (l->run.runFlagsA & kFreshPosition) {
        l->run.runFlagsA &= static_cast<uint8_t>(~kFreshPosition);
        return;
    }
    countDownDirectionHold(l);
    if (l->run.runFlagsA & kStartPause) {
        if (msBetween(gMsTick, static_cast<uint32_t>(l->nextStepTime)) < 0) return;
        l->run.runFlagsA &= static_cast<uint8_t>(~kStartPause);
    }
    // As on the server: a shunting locomotive at speed value 0 is neither ramped nor moved unless
    // forced; its step then drives the locomotive on the track, not the train on the diagram.
    if (l->mode == kModeShunting && l->speedValue == 0 && !(l->flags & kLocoForce)) return;
    if (rampStage(l) >= 0) queueLocoSpeed(l, 0);
    l->run.runFlagsA &= static_cast<uint8_t>(~kMoved);
    if (l->currentStep == 0 || (l->run.runFlagsA & kHalted)) return;
    updateTrainPosition(l);
    const PositionRec& head = l->run.head;
    if (static_cast<int32_t>(head.x) != head.ix || static_cast<int32_t>(head.y) != head.iy)
        l->run.runFlagsA |= kMoved;
}

}  // namespace

void runTrainsCycleClient() {
    if (msBetween(gMsTick, gPreviousTickTime) < 0) {
        for (LocoRec* l : gLocsOnTrack) l->nextStepTime = static_cast<int32_t>(gMsTick);
    }
    for (LocoRec* l : gLocsOnTrack) mirrorLocomotive(l);
    redrawAllTrains();
    // Simulated inputs: the occupancy they give is shown; nothing is sent from a client.
    processFeedbackImage();
}

// Only a synchronised client sends: a request that reached the server before the handshake answer
// would be compared as that answer and refused.
void netClientSendPass() {
    if (gNetLinkState != 40 || gNetOutFill == 0 || !netClientOpen()) return;
    netClientWrite(gNetOutBuffer, gNetOutFill);
    gNetOutFill = 0;
}
