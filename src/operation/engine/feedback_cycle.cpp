#include "operation/engine/feedback_cycle.h"

#include "layout/draw/element_draw.h"
#include "layout/model/display_settings.h"
#include "layout/model/layout_model.h"
#include "link/buffers/feedback.h"
#include "link/buffers/link_buffers.h"
#include "link/port/link_port.h"
#include "network/model/net_queue.h"
#include "operation/control/control_post.h"
#include "operation/dialogs/untCurve.h"
#include "operation/draw/train_drawing.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/engine/speed_calibration.h"
#include "operation/engine/train_reservation.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"

uint32_t gFeedbackPollDue = 0;

namespace {
constexpr int kDirectPollPeriod = 300;
}

void requestFeedback() {
    if (!gRunWithTrack) {
        // A link thread may still read after a switch of session kind: drop, never reset under it.
        gCommandQueue.discard();
        return;
    }
    if (msBetween(gMsTick, gFeedbackPollDue) < 0) return;
    const bool direct = directMode();
    gFeedbackPollDue = gMsTick + (direct ? kDirectPollPeriod : gPollPeriod);
    if (gNoFeedbackPoll) return;
    if (direct) gS88PollRequest.store(1, std::memory_order_release);
    else queueCommandByte(static_cast<uint8_t>(kCmdPoll + gFeedbackByteCount.load() / 2));
}

namespace {

void showChangedBlock(BlockRec& b, bool before) {
    LocoRec* t = b.assignedTrain;
    if (before) {
        if (t) {
            eraseTrain(t);
            t->run.runFlagsA |= 0x04;
        }
        redrawVehiclesInSection(&b);
        const int changed = b.occupiedSections ^ b.shownOccupancy;
        for (int s = 0; s < b.sections && s < kMaxSections; ++s)
            if (changed & (1 << s)) drawBlockSegment(b, s, 1);
    } else {
        if (t && (t->run.runFlagsA & 0x04)) drawTrain(t);
        redrawVehiclesInSection(&b);
    }
}

}  // namespace

void processFeedbackImage() {
    if (!gFeedbackImage.pending()) return;
    decodeFeedbackImage();
    if (frmCurve && frmCurve->Tag > 1) runSpeedCalibration(0);
    for (BlockRec* b : gBlocks) {
        if (b->occupiedSections == b->shownOccupancy) continue;
        if (gShowBlockFeedback) showChangedBlock(*b, true);
        if (gRunWithTrack && b->occupiedSections != 0 && evaluateSectionContacts(b) == 0) checkWrongWay(b);
        if (gShowBlockFeedback) showChangedBlock(*b, false);
        netQueueRecord(30, 5, 9, b->number, b->ownIndex, b->occupiedSections);
        b->shownOccupancy = b->occupiedSections;
    }
    for (InputRec* in : gInputs) {
        const uint8_t state = static_cast<uint8_t>(getContactBit(in->number));
        if (state == in->state) continue;
        in->state = state;
        drawInput(*in, 0, 1);  // queues the input's state record for the clients
    }
}
