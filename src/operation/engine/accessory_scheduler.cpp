#include "operation/engine/accessory_scheduler.h"

#include <cstdlib>
#include <mutex>

#include "layout/draw/diagram_canvas.h"
#include "layout/model/layout_model.h"
#include "link/buffers/link_buffers.h"
#include "link/draw/decoder_marker.h"
#include "link/protocol/track_packets.h"
#include "platform/canvas.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"

uint32_t gAccessoryDue = 0;

namespace {

constexpr uint8_t kSwitchOffPending = 0x80;
constexpr int kHighestAddress = 2047;
constexpr int kHighestDecoder = kAccessoryDecoders - 1;
constexpr int kTimeWindow = 5000;  // a switch-off time further off than this is taken as due

// Command-station mode: one accessory command per pulse time, then the lone switch-off byte.
void scheduleForCommandStation() {
    AccessoryRing& ring = gAccessoryQueue;
    if (msBetween(gMsTick, gAccessoryDue) < 0) return;
    for (AccessoryDecoderRec& d : gAccessoryState) d.lastOutput = 0;
    if (ring.byteAt(ring.readPos()) == AccessoryRing::kSwitchOffMarker) {
        queueCommandByte(kCmdSolenoidsOff);
        ring.clear();
        return;
    }
    AccessoryEntry e;
    int next = 0;
    if (!ring.readEntry(ring.readPos(), e, next) || e.address > kHighestAddress) {
        ring.clear();
        return;
    }
    if (e.address >= 1) {
        const int address = e.address - 1;
        gAccessoryState[address / 4 + 1].lastOutput = static_cast<uint8_t>((((address * 2) % 8) | (e.command & 1)) + 1);
    }
    queueCommandWithValue(e.command, e.address);
    gAccessoryDue = e.pulse * 100u + gMsTick;
    ring.setReadPos(next);
    if (ring.empty()) ring.setSwitchOffMarker();
}

// Direct mode: each entry switches its output on and stays; once its pulse time has passed it switches
// the output off (or, with pulse 0, leaves the switch-off pending) and leaves the ring.
void scheduleDirect() {
    // The link thread repeats the switched-on outputs from the ring and the decoder states: it sees
    // them before or after this step, never half-way.
    std::lock_guard lock(trackPacketMutex());
    AccessoryRing& ring = gAccessoryQueue;
    if (gSettings.chboWSDecTussentijd && msBetween(gMsTick, gAccessoryDue) <= 0) return;
    if (ring.writePos() < 0 || ring.writePos() >= AccessoryRing::kSize) ring.clear();
    int pos = ring.readPos();
    AccessoryEntry e;
    int next = 0;
    for (int guard = 0; guard < AccessoryRing::kSize && ring.readEntry(pos, e, next); ++guard, pos = next) {
        const int g = e.command % 8;
        const int group = e.address;
        if (group > kHighestDecoder) {
            ring.clear();
            return;
        }
        AccessoryDecoderRec& d = gAccessoryState[group];
        const uint8_t f = d.lastOutput;
        if (f == 0 || (f & kSwitchOffPending)) {
            if (d.protocol == 0 && (f & kSwitchOffPending))
                queueCommandWithValue(static_cast<uint8_t>(kCmdSolenoidsOff | (f & 6)), static_cast<uint16_t>(group));
            d.lastOutput = static_cast<uint8_t>(g + 1);
            d.switchOffTime = e.pulse * 100u + gMsTick;
            gAccessoryDue = d.switchOffTime;
            queueCommandWithValue(static_cast<uint8_t>(kCmdOutputOn + g), static_cast<uint16_t>(group));
            return;
        }
        const int32_t left = msBetween(d.switchOffTime, gMsTick);
        const bool otherOutput = f != g + 1;
        if ((otherOutput || left > 0) && std::abs(left) <= kTimeWindow) continue;
        if (e.pulse != 0) {
            d.lastOutput = 0;
            queueCommandWithValue(static_cast<uint8_t>(kCmdSolenoidsOff + g), static_cast<uint16_t>(group));
        } else {
            d.lastOutput = static_cast<uint8_t>(f | kSwitchOffPending);
        }
        ring.removeEntry(pos);
        return;
    }
}

// The decoder-activity markers of outputs, signals and turnouts whose commands were queued or whose
// marker still stands.
void drawActivityMarkers() {
    if (gDiagramCanvas) {
        gDiagramCanvas->Brush.Style = vestrel::BrushStyle::Clear;
        gDiagramCanvas->Pen.Color = 0xFF0000;
    }
    constexpr uint8_t kMarked = 0x02 | 0x04;
    for (OutputRec* o : gOutputs)
        if (o->runFlags & kMarked)
            drawDecoderActivityMarker(o->key / 2, o->key % 2, 0, o->outline[0].x, o->outline[0].y, o->runFlags);
    for (SignalRec* s : gSignals)
        if (s->runState & kMarked)
            drawDecoderActivityMarker(s->number, 0, s->orangeNumber ? 3 : 1, s->outline[0].x, s->outline[0].y,
                                      s->runState);
    for (TurnoutRec* t : gTurnouts)
        if (t->runState & kMarked)
            drawDecoderActivityMarker(t->number, 0, 1, (t->legs[0].x + t->legs[1].x) / 2,
                                      (t->legs[0].y + t->legs[1].y) / 2, t->runState);
}

}  // namespace

void runAccessoryScheduler() {
    if (gAccessoryQueue.empty()) return;
    const int written = gCommandQueue.writePos();
    if (directMode()) scheduleDirect();
    else scheduleForCommandStation();
    if (gCommandQueue.writePos() != written) drawActivityMarkers();
}
