#include "link/port/command_station_events.h"

#include <algorithm>

#include "layout/model/layout_model.h"
#include "link/buffers/link_buffers.h"
#include "operation/control/accessory_operation.h"
#include "operation/control/loco_operation.h"
#include "operation/model/train_model.h"

namespace {

LocoRec* locoOnTrack(int number) {
    for (LocoRec* l : gLocsOnTrack)
        if (l->number == number) return l;
    return nullptr;
}

}  // namespace

LocoEvent readLocoEvent(const uint8_t* r) {
    LocoEvent e;
    // Byte 0 the speed, 1 F1..F4, 2 the address's low byte, 3 its high bits with light (0x40) and
    // forward (0x80), 4 the step + 1.
    if (r[0] >= 0x80 || (r[3] & 0x3F) != 0) return e;
    LocoRec* l = locoOnTrack(r[2]);
    if (!l) return e;
    e.loco = l;
    if (l->running && l->currentStep == l->targetStep) {
        int step = r[4] ? r[4] - 1 : 0;
        if (step != l->run.lastStepSent) {
            const int correction = l->run.speedCorrection;
            if (l->mode != kModeShunting && correction != 0 && step != 0)
                step = std::clamp(step - correction, 0, static_cast<int>(l->run.speedSteps));
            e.step = step;
        }
    }
    e.reverse = ((r[3] & 0x80) != 0) != (l->direction == 'v');
    e.functions = static_cast<uint8_t>((r[1] & 0x0F) | ((r[3] & 0x40) >> 2));
    return e;
}

void applyLocoEvents(const std::vector<uint8_t>& records) {
    for (size_t i = 0; i + 5 <= records.size(); i += 5) {
        const LocoEvent e = readLocoEvent(&records[i]);
        if (!e.loco) return;
        // A shunting locomotive takes a new step at once, and a moving one cannot be reversed: the new
        // direction goes first, while it still stands. In the other modes the step is only a target,
        // and the direction follows it as before.
        const bool directionFirst = e.reverse && e.loco->mode == kModeShunting;
        if (directionFirst) reverseLoco(e.loco);
        if (e.step >= 0) setLocoSpeedStep(e.loco, e.step);
        if (e.reverse && !directionFirst) reverseLoco(e.loco);
        // F1..F4, then F0.
        const uint8_t masks[5] = {0x01, 0x02, 0x04, 0x08, 0x10};
        for (int k = 0; k < 5; ++k) {
            const bool on = (e.functions & masks[k]) != 0;
            if (on != ((e.loco->run.functionBits1 & masks[k]) != 0)) setLocoFunction(e.loco, k < 4 ? k + 1 : 0, on);
        }
    }
}

AccessoryEvent readAccessoryEvent(uint8_t address, uint8_t state) {
    AccessoryEvent e;
    const bool green = (state & 0x80) != 0;
    for (TurnoutRec* t : gTurnouts) {
        if (t->number != address) continue;
        if ((t->position == 'G') != green) e.turnout = t;
        return e;
    }
    for (SignalRec* s : gSignals) {
        if (s->number != address) continue;
        // Red from the command station is the forced red; green releases it.
        if ((s->aspect == 'S') == green) e.signal = s;
        return e;
    }
    const int key = address * 2 + (green ? 1 : 0);
    for (OutputRec* o : gOutputs) {
        if (o->key != key) continue;
        if (o->state != (green ? 'G' : 'R')) e.output = o;
        return e;
    }
    return e;
}

void applyAccessoryEvents(const std::vector<uint8_t>& records) {
    for (size_t i = 0; i + 2 <= records.size(); i += 2) {
        const AccessoryEvent e = readAccessoryEvent(records[i], records[i + 1]);
        if (e.turnout) toggleTurnout(e.turnout);
        if (e.signal) toggleSignalForcedRed(e.signal);
        if (e.output) operateOutput(e.output);
    }
}

int functionBitsForAddress(uint16_t address) {
    if (LocoRec* l = locoOnTrack(address))
        return (l->run.functionBits1 & 0x0F) | ((l->run.functionBits2 & 0x0F) << 4);
    for (FunctionDecoderRec* d : gFunctionDecoders)
        if (d->address == address) return static_cast<int>((d->functionState & 0x0F) | (((d->functionState >> 8) & 0x0F) << 4));
    return -1;
}
