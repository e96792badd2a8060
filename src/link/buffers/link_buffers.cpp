#include "link/buffers/link_buffers.h"

#include <algorithm>
#include <vector>

#include "shell/model/settings.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/dialog_refresh.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"

CommandRing gCommandQueue;
AccessoryRing gAccessoryQueue;
FeedbackImage gFeedbackImage;
std::atomic<int32_t> gFeedbackByteCount{0};

bool directMode() { return gSettings.chboDirectBooster != 0; }

bool queueCommandByte(uint8_t b) { return gCommandQueue.append(&b, 1, directMode()); }

bool queueCommandWithValue(uint8_t b, uint16_t value) {
    const uint8_t bytes[3] = {b, static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)};
    return gCommandQueue.append(bytes, 3, directMode());
}

bool queueTrackPower(bool on) {
    const uint8_t b = on ? kCmdGo : kCmdStop;
    return gCommandQueue.append(&b, 1, directMode(), true);
}

int extendedSpeedByte(int step, int speedSteps) {
    // Beyond the last step lies only a Motorola decoder's reverse code; the extended form carries the
    // direction in its flags, so the reversal is a stop with the new direction.
    if (step <= 0 || step > speedSteps) return 0;
    int v = 9 * step + 1;
    if (speedSteps == 126) v = step + 1;
    else if (speedSteps > 14) v = 9 * step / 2 + 1;
    return std::min(v, 127);
}

namespace {

// The step to send, with the side effects on the current step and speed value.
int stepToSend(LocoRec& l) {
    const int steps = l.run.speedSteps;
    if (l.mode == kModeShunting && (l.speedValue == 0 || (l.flags & kLocoForce))) {
        int step = l.targetStep;
        if ((l.flags & kLocoForce) && (l.flags & kLocoForceOnce)) {
            l.flags &= static_cast<uint8_t>(~kLocoForceOnce);
            step = l.run.lastStepSent;
        }
        l.currentStep = l.targetStep;
        if (l.flags & kLocoForce) l.speedValue = static_cast<int16_t>(speedTableEntry(l, l.currentStep));
        return step;
    }
    int step = (l.flags & kLocoSendTarget) ? l.targetStep : l.currentStep;
    const int correction = l.run.speedCorrection;
    if (step != 0 && correction != 0) {
        if (l.targetStep != 0 || correction < 0) step += correction;
        step = std::clamp(step, 1, std::max(steps, 1));
    }
    l.speedValue = static_cast<int16_t>(speedTableEntry(l, l.currentStep));
    return step;
}

// A speed command that found no room in the queue: the newest per locomotive waits here and goes as
// soon as there is room, so that the last speed set always reaches the track.
struct HeldSpeed {
    int16_t number = 0;
    uint8_t step = 0;
    uint8_t bytes[6] = {};
    int length = 0;
};
std::vector<HeldSpeed> gHeldSpeeds;

void countAsSent(int16_t number, uint8_t step) {
    for (LocoRec* l : gLocsOnTrack)
        if (l->number == number) l->run.lastStepSent = step;
}

HeldSpeed speedCommand(const LocoRec& l, int step) {
    HeldSpeed c;
    c.number = l.number;
    c.step = static_cast<uint8_t>(step);
    const uint16_t address = static_cast<uint16_t>(l.number);
    const uint8_t f = l.run.functionBits1;
    if (l.run.speedSteps <= 14 && !gSettings.radbtnP50X) {
        c.bytes[0] = static_cast<uint8_t>((f & 0x10) | (step & 0x0F));
        c.bytes[1] = static_cast<uint8_t>(address & 0xFF);
        c.bytes[2] = static_cast<uint8_t>(address >> 8);
        c.length = 3;
        return c;
    }
    const uint8_t flags = static_cast<uint8_t>(0x40 | (l.direction == 'v' ? 0x20 : 0) | (f & 0x1F));
    const uint8_t bytes[6] = {kCmdExtendedSpeed, 0x80, static_cast<uint8_t>(address & 0xFF),
                              static_cast<uint8_t>(address >> 8),
                              static_cast<uint8_t>(extendedSpeedByte(step, l.run.speedSteps)), flags};
    std::copy(bytes, bytes + 6, c.bytes);
    c.length = 6;
    return c;
}

void queueSpeedCommand(LocoRec& l, const HeldSpeed& c) {
    sendHeldSpeeds();
    auto held = std::find_if(gHeldSpeeds.begin(), gHeldSpeeds.end(), [&](const HeldSpeed& h) { return h.number == c.number; });
    if (held != gHeldSpeeds.end()) {
        *held = c;  // an older speed of this locomotive has not gone yet: only the newest counts
    } else if (gCommandQueue.append(c.bytes, c.length, directMode())) {
        l.run.lastStepSent = c.step;
    } else {
        gHeldSpeeds.push_back(c);
    }
}

// The function byte of a locomotive function and its bit; null for F21..F28, which it does not keep.
struct FunctionBit {
    uint8_t* byte = nullptr;
    uint8_t mask = 0;
};
FunctionBit locoFunctionBit(LocoRec& l, int n) {
    if (n == 0) return {&l.run.functionBits1, 0x10};
    if (n <= 4) return {&l.run.functionBits1, static_cast<uint8_t>(1 << (n - 1))};
    if (n <= 12) return {&l.run.functionBits2, static_cast<uint8_t>(1 << (n - 5))};
    if (n <= 20) return {&l.run.functionBits3, static_cast<uint8_t>(1 << (n - 13))};
    return {};
}

uint8_t functionCommand(int n) { return static_cast<uint8_t>(kCmdFunction + (n == 24 ? 31 : n)); }

void copyFunctionsToDecoder(const LocoRec& l) {
    for (FunctionDecoderRec* d : gFunctionDecoders) {
        if (d->address != l.number) continue;
        d->functionState = (d->functionState & 0xFF000000u) | l.run.functionBits1 |
                           (static_cast<uint32_t>(l.run.functionBits2) << 8) |
                           (static_cast<uint32_t>(l.run.functionBits3) << 16);
        refreshFunctionDecoderDialog(d);
        return;
    }
}

}  // namespace

void queueLocoSpeed(LocoRec* loco, int force) {
    if (!loco) return;
    const int step = stepToSend(*loco);
    const bool unchanged = step == loco->run.lastStepSent;
    if (!gRunWithTrack || (!force && unchanged))
        loco->run.lastStepSent = static_cast<uint8_t>(step);
    else
        queueSpeedCommand(*loco, speedCommand(*loco, step));
    refreshLocoSpeedReadouts(loco);  // the read-outs show the step sent (or still held back)
}

void sendHeldSpeeds() {
    if (!gRunWithTrack) gHeldSpeeds.clear();
    while (!gHeldSpeeds.empty()) {
        const HeldSpeed& c = gHeldSpeeds.front();
        if (!gCommandQueue.append(c.bytes, c.length, directMode())) return;
        countAsSent(c.number, c.step);
        gHeldSpeeds.erase(gHeldSpeeds.begin());
    }
}

void forgetHeldSpeeds() { gHeldSpeeds.clear(); }

int heldSpeedCount() { return static_cast<int>(gHeldSpeeds.size()); }

void showLocoFunction(LocoRec* loco, int n, int on) {
    if (!loco || n < 0 || n > kMaxDecoderFunctions) return;
    const FunctionBit bit = locoFunctionBit(*loco, n);
    if (bit.byte) *bit.byte = static_cast<uint8_t>(on ? (*bit.byte | bit.mask) : (*bit.byte & ~bit.mask));
    refreshLocoFunctionPanels(loco);
    copyFunctionsToDecoder(*loco);
}

void setLocoFunction(LocoRec* loco, int n, int on) {
    if (!loco || n < 0 || n > kMaxDecoderFunctions) return;
    on = on ? 1 : 0;
    if (gNetLinkState == 40) {
        netQueueRecord(40, 2, 35, loco->number, loco->slot, n + 256 * on);
        return;
    }
    showLocoFunction(loco, n, on);
    netQueueRecord(30, 2, 35, loco->number, loco->slot, n + 256 * on);
    if (n == 0) {
        queueLocoSpeed(loco, 1);
        if (loco->decoderType <= 2) return;  // Motorola carries F0 in the speed command only
    }
    const uint8_t cmd = directMode() ? functionCommand(n) : static_cast<uint8_t>(kCmdFunction + (loco->run.functionBits1 & 0x0F));
    queueCommandWithValue(cmd, static_cast<uint16_t>(loco->number));
}

void setDecoderFunction(FunctionDecoderRec* d, int n, int on) {
    if (!d || n < 1 || n > kMaxDecoderFunctions) return;
    on = on ? 1 : 0;
    LocoRec* l = d->loco;
    if (l && l->number == d->address && n <= 20 && gLocsOnTrack.indexOf(l) >= 0) {
        setLocoFunction(l, n, on);
        return;
    }
    if (gNetLinkState == 40) {
        netQueueRecord(40, 35, 35, d->address, d->slot, n + 256 * on);
        return;
    }
    const uint32_t bit = 1u << (n <= 4 ? n - 1 : n + 3);
    d->functionState = on ? (d->functionState | bit) : (d->functionState & ~bit);
    refreshFunctionDecoderDialog(d);
    netQueueRecord(30, 35, 35, d->address, d->slot, n + 256 * on);
    queueCommandWithValue(functionCommand(n), static_cast<uint16_t>(d->address));
}

namespace {

AccessoryEntry directEntry(int address, bool plusOne, int pulse) {
    const int output = ((address - 1) & 3) * 2 + (plusOne ? 1 : 0);
    return {static_cast<uint8_t>(kCmdOutputOn | output), static_cast<uint16_t>(((address - 1) >> 2) + 1),
            static_cast<uint8_t>(pulse)};
}

}  // namespace

int queueAccessoryCommand(char kind, int a, int b, int pulse) {
    if (!sessionRunning() || gRepaintRequest != 0) return 0;
    if (a < 0 || b < 0 || a > 2047 || b > 2047) return 0;
    AccessoryEntry e[2];
    if (directMode()) {
        e[0] = directEntry(a, kind == 'G', pulse);
        e[1] = directEntry(b, kind == 'O', pulse);
    } else {
        uint8_t ca = kCmdAccessoryRed;  // 'O': A red, B green
        uint8_t cb = kCmdAccessoryGreen;
        if (kind == 'G') {
            ca = kCmdAccessoryGreen;
            cb = kCmdAccessoryRed;
        } else if (kind == 'R' || kind == 'S') {
            cb = kCmdAccessoryRed;
        }
        e[0] = {ca, static_cast<uint16_t>(a), static_cast<uint8_t>(pulse)};
        e[1] = {cb, static_cast<uint16_t>(b), static_cast<uint8_t>(pulse)};
    }
    gCommandQueue.normalise();
    gAccessoryQueue.normalise(!directMode());
    return gAccessoryQueue.append(e, b != 0 ? 2 : 1) ? 1 : 0;
}

void queueCvWrite(int address, int mode, int cv, int value) {
    const uint8_t modeByte = static_cast<uint8_t>((mode == 1 ? 0xEC : 0x7C) | (((cv - 1) >> 8) & 3));
    const uint8_t bytes[6] = {kCmdCvWrite, static_cast<uint8_t>(address & 0xFF),
                              static_cast<uint8_t>((address >> 8) & 0xFF), modeByte,
                              static_cast<uint8_t>((cv - 1) & 0xFF), static_cast<uint8_t>(value)};
    gCommandQueue.append(bytes, 6, directMode());
}
