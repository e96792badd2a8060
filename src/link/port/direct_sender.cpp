#include "link/port/direct_sender.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <QLabel>

#include "layout/model/layout_model.h"
#include "link/buffers/link_buffers.h"
#include "link/port/decoder_programming.h"
#include "link/protocol/dcc_encoder.h"
#include "link/protocol/motorola_encoder.h"
#include "link/protocol/track_packets.h"
#include "operation/control/emergency_stop.h"
#include "operation/model/train_model.h"
#include "platform/gui_thread.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/window/untSchema.h"

namespace {

constexpr int kMotorolaFillerRepeats = 20;
constexpr int kShortCircuitReadings = 31;

bool isDcc(const LocoRec& l) { return l.decoderType >= 3; }

// The locomotive with this number among those on the track, then the helper locomotives.
LocoRec* locoOnTrack(int number, bool withHelpers) {
    for (LocoRec* l : gLocsOnTrack)
        if (l->number == number) return l;
    if (withHelpers)
        for (LocoRec* l : gHelperLocs)
            if (l->number == number) return l;
    return nullptr;
}

FunctionDecoderRec* functionDecoder(int address) {
    for (FunctionDecoderRec* d : gFunctionDecoders)
        if (d->address == address) return d;
    return nullptr;
}

int64_t ticksOf(int64_t frequency, int divisor) { return frequency / divisor; }

// Motorola repeat gaps, as fractions of a second.
struct Gaps {
    int g1, g2;
};
Gaps motorolaGaps(bool accessory) {
    const bool longer = gSettings.chboMolaTussentijd != 0;
    if (accessory) return {longer ? 364 : 400, 285};
    return {longer ? 190 : 200, 166};
}

uint16_t commandValue(const LinkCommand& c) { return static_cast<uint16_t>(c.bytes[1] | (c.bytes[2] << 8)); }
// The address of a command: the 16-bit value, or the address of an extended speed command.
int commandAddress(const LinkCommand& c) {
    return c.bytes[0] == kCmdExtendedSpeed ? (c.bytes[2] | (c.bytes[3] << 8)) : commandValue(c);
}

// A packet for the queued command, encoded under the packet lock.
struct Encoded {
    int length = 0;
    bool dcc = false;
    bool accessory = false;
    bool speed = false;
    bool unpackable = false;
};

Encoded encodeCommand(const LinkCommand& c, uint8_t* buf) {
    Encoded e;
    const uint8_t first = c.bytes[0];
    std::lock_guard lock(trackPacketMutex());
    if (first < 0x20 || first == kCmdExtendedSpeed) {
        e.speed = true;
        LocoRec* l = locoOnTrack(commandAddress(c), true);
        if (!l) return e;
        e.dcc = isDcc(*l);
        e.length = e.dcc ? encodeDccSpeed(l, buf) : encodeMotorolaLoco(l, buf);
        e.unpackable = e.dcc && e.length == 0 && l->packetCache;
        return e;
    }
    if (first >= 0x20 && first <= 0x2F) {
        const int d = commandValue(c);
        if (d > 512) return e;
        const int command = first & 0x1F;
        if (gAccessoryState[d].protocol == 1) {
            e.dcc = true;
            e.length = encodeDccAccessory(d, command, buf);
            e.unpackable = e.length == 0;
        } else {
            e.accessory = true;
            e.length = encodeMotorolaAccessory(d, command, buf);
        }
        return e;
    }
    if (first >= 0x40 && first <= 0x5F) {
        const int address = commandValue(c);
        int x = first - kCmdFunction;
        LocoRec* l = x <= 20 ? locoOnTrack(address, false) : nullptr;
        if (x == 31) x = 24;
        if (l) {
            e.dcc = isDcc(*l);
            e.length = e.dcc ? encodeDccFunctionGroup(l, x, buf) : encodeMotorolaFunction(l, x, false, buf);
        } else if (FunctionDecoderRec* d = functionDecoder(address)) {
            e.dcc = d->protocol != 0;
            e.length = e.dcc ? encodeDccFunctionGroup(d, x, buf) : encodeMotorolaFunction(d, x, buf);
        }
        e.unpackable = e.dcc && e.length == 0;
        return e;
    }
    return e;
}

}  // namespace

int writeMotorolaPacket(DirectLink& link, const uint8_t* packet, int length, bool accessory, int count,
                        int& pending, int64_t& reference) {
    LinkClock& clock = linkClock();
    const int64_t f = clock.frequency();
    if (pending != 0) {
        // the booster needs a pause between a DCC and a Motorola transmission
        waitUntilTicks(reference, f * 3 / 2000);
        pending = 0;
    }
    link.selectFormat(false, accessory, false);
    const Gaps g = motorolaGaps(accessory);
    reference = clock.now();
    int written = 0;
    for (int i = 0; i < count; ++i) {
        written = link.write(packet, length);
        waitUntilTicks(reference, ticksOf(f, (i & 1) && count != 2 ? g.g2 : g.g1));
    }
    link.statusBits().fetch_or(0x1000, std::memory_order_relaxed);
    return written;
}

DirectSender::DirectSender(DirectLink& link) : link_(link) {
    reference_ = linkClock().now();
    lastMeasure_ = reference_;
}

void DirectSender::pass() {
    shortCircuitGuard();
    link_.statusBits().fetch_and(1, std::memory_order_relaxed);
    sentSpeed_ = false;
    const bool took = sendCommand();
    waitPending();
    if (!sentSpeed_) refresh();
    if (!took) repeatAccessories();
    measureSleep();
}

void DirectSender::shortCircuitGuard() {
    const int setting = gSettings.chboKortsluitbeveiliging;
    if (setting == 0 || gEmergencyState.load() != 0) return;
    const int dsr = link_.shortCircuitLine();
    if (dsr < 0) return;
    const bool bad = setting == 1 ? dsr == 0 : dsr == 1;
    if (!bad) {
        shortCount_ = 0;
        return;
    }
    if (++shortCount_ >= kShortCircuitReadings) {
        shortCount_ = 0;
        emergencyStopAll(3);
    }
}

bool DirectSender::sendCommand() {
    LinkCommand c;
    const RingTake t = gCommandQueue.peek(c, true);
    if (t == RingTake::Empty) return false;
    if (t == RingTake::Overrun) {
        const uint8_t first = gCommandQueue.byteAt(gCommandQueue.readPos());
        link_.logError(1, first & 0xE0, 0, 0);
        gCommandQueue.skipAll();
        return false;
    }
    const uint8_t first = c.bytes[0];
    if (first == kCmdGo || first == kCmdStop) {
        gCommandQueue.commit(c);
        power(first == kCmdGo);
        return true;
    }
    if (first == kCmdCvWrite) {
        gCommandQueue.commit(c);
        cvWrite(c.bytes);
        return true;
    }
    const Encoded e = encodeCommand(c, buffer_);
    if (e.unpackable) reportDccNotPackable();
    if (e.length == 0) {
        gCommandQueue.commit(c);
        return true;
    }
    bool complete = false;
    if (e.dcc) {
        complete = writeDcc(buffer_, e.length, 2, true);
        mark(0x20);
    } else {
        complete = writeMotorolaPacket(link_, buffer_, e.length, e.accessory, 4, pending_, reference_) == e.length;
        noteWrite(complete);
        mark(0x2000);
    }
    if (!complete) {
        // taken again in the next pass
        link_.logError(2, first & 0xE0, commandAddress(c), c.bytes[first == kCmdExtendedSpeed ? 4 : 0]);
        return true;
    }
    gCommandQueue.commit(c);
    sentSpeed_ = e.speed;
    return true;
}

void DirectSender::mark(uint16_t bits) { link_.statusBits().fetch_or(bits, std::memory_order_relaxed); }

// A complete write clears the error bits 0..3.
void DirectSender::noteWrite(bool complete) {
    if (complete) link_.statusBits().fetch_and(static_cast<uint16_t>(~0x0F), std::memory_order_relaxed);
}

bool DirectSender::writeDcc(const uint8_t* packet, int length, int times, bool newReference) {
    link_.selectFormat(true, false, false);
    // Refresh packets keep the reference of the previous wait, so that back-to-back packets follow the
    // line's pace exactly; a command starts on the line once the line has sent what it holds.
    if (newReference) reference_ = std::max(reference_, linkClock().now());
    bool complete = true;
    for (int i = 0; i < times; ++i) complete = link_.write(packet, length) == length && complete;
    pending_ = times * length;
    noteWrite(complete);
    return complete;
}

void DirectSender::power(bool on) {
    // A stop taken while no emergency stop is in force is stale (the stop was released meanwhile).
    if (!on && gEmergencyState.load() == 0) return;
    if (link_.hasSecondPort()) link_.selectFormat(false, false, true);
    link_.setBoosterPower(on);
    if (!on) gEmergencyState.fetch_or(0x10);
    link_.selectFormat(false, false, true);
    if (!on || gMmProgState != 0) return;
    for (int i = 0; i < kMotorolaFillerRepeats; ++i) {
        const int n = writeMotorolaPacket(link_, kMotorolaFiller, kMotorolaPacketChars, false, 1, pending_, reference_);
        noteWrite(n == kMotorolaPacketChars);
    }
}

void DirectSender::cvWrite(const uint8_t* c) {
    const int address = c[1] | (c[2] << 8);
    const uint8_t mode = c[3];
    const bool main = (mode & 0x80) != 0;
    const DccPacket packet = dccCvWritePacket(address, mode, c[4], c[5]);
    const int length = encodeDccForUart(packet.bytes, packet.count, buffer_, !main);
    if (length == 0) reportDccNotPackable();
    link_.selectFormat(true, false, false);
    reference_ = std::max(reference_, linkClock().now());
    int total = 0;
    auto send = [&](const uint8_t* bytes, int n, int times) {
        for (int i = 0; i < times && n > 0; ++i) total += link_.write(bytes, n);
    };
    if (main) {
        send(kDccIdlePacket, kDccIdleChars, 1);
        send(buffer_, length, 4);
        send(kDccIdlePacket, kDccIdleChars, 1);
    } else {
        send(kDccResetPacket, kDccResetChars, 20);
        send(buffer_, length, 6);
        send(kDccResetPacket, kDccResetChars, 20);
    }
    mark(0x100);
    pending_ = total;
    waitPending();
}

// The characters just written go on the line once it has sent what it held before them. The sender
// may write its next packet as soon as the line starts on these: the port then always holds one packet
// ahead, so a wake-up that comes late still finds the line busy, and the thread sleeps instead of
// watching the clock. Where the port tells how much it still holds, a line slower than the clock
// holds the sender back.
void DirectSender::waitPending() {
    if (pending_ <= 0) return;
    LinkClock& clock = linkClock();
    const int64_t f = clock.frequency();
    const bool fast = gSettings.chboDCC19200 != 0;
    const int64_t start = std::max(reference_, clock.now());
    reference_ = start + dccTransmitTicks(f, pending_, fast);
    clock.sleepUntil(start);
    const int queued = link_.queuedOut();
    if (queued > pending_) {
        clock.sleepUntil(clock.now() + dccTransmitTicks(f, queued - pending_, fast));
        reference_ = std::max(reference_, clock.now() + dccTransmitTicks(f, pending_, fast));
    }
    pending_ = -1;
    mark(0x10);
}

namespace {

// What one refresh step sends, decided and copied under the packet lock.
struct RefreshPlan {
    enum Kind { Nothing, Idle, DccLoco, Motorola } kind = Nothing;
    uint8_t speed[kDccCacheSlotChars] = {};
    int speedLength = 0;
    uint8_t functions[kDccCacheSlotChars] = {};
    int functionsLength = 0;
    uint8_t motorola[kMotorolaPacketChars] = {};
};

int cachedString(const PacketCache& cache, int offset, uint8_t* out) {
    int n = 0;
    while (n < kDccCacheSlotChars && cache[offset + n] != 0) {
        out[n] = cache[offset + n];
        ++n;
    }
    return n;
}

bool motorolaSendable(const LocoRec& l) {
    uint8_t t[4];
    return l.packetCache && motorolaAddressTrits(l.number, t);
}

}  // namespace

void DirectSender::refresh() {
    RefreshPlan plan;
    {
        std::lock_guard lock(trackPacketMutex());
        const int onTrack = gLocsOnTrack.count();
        const int count = onTrack + gHelperLocs.count();
        auto at = [&](int i) { return i < onTrack ? gLocsOnTrack[i] : gHelperLocs[i - onTrack]; };
        if (count == 0) {
            plan.kind = RefreshPlan::Idle;
        } else {
            phase_ = !phase_;
            if (refreshIndex_ >= count) {
                refreshIndex_ = 0;
                functionRound_ = !functionRound_;
                if (functionRound_) functionSlot_ = functionSlot_ >= 32 ? 8 : functionSlot_ + 8;
            }
            LocoRec* l = at(refreshIndex_);
            bool anyDcc = false;
            for (int i = 0; i < count; ++i) anyDcc = anyDcc || isDcc(*at(i));
            const bool programming = gMmProgState != 0;
            if (phase_ && !programming && anyDcc) {
                plan.kind = RefreshPlan::Idle;
                if (isDcc(*l)) {
                    ++refreshIndex_;
                    if (l->packetCache) {
                        plan.kind = RefreshPlan::DccLoco;
                        plan.speedLength = cachedString(*l->packetCache, 0, plan.speed);
                        plan.functionsLength = cachedString(*l->packetCache, kDccCacheFunctionOffset, plan.functions);
                    }
                }
            } else if (!isDcc(*l) || programming) {
                // A locomotive that cannot be refreshed is passed over, so that the others still are.
                ++refreshIndex_;
                if (motorolaSendable(*l) && (!programming || l == mmProgrammedLoco())) {
                    plan.kind = RefreshPlan::Motorola;
                    std::memcpy(plan.motorola, l->packetCache->data(), kMotorolaPacketChars);
                    if (l->decoderType == 1 && !(l->flags & kLocoSendTarget) && functionRound_)
                        std::memcpy(plan.motorola + 10, l->packetCache->data() + 10 + functionSlot_, kMotorolaSpeedPartChars);
                }
            }
        }
    }
    bool complete = true;
    switch (plan.kind) {
    case RefreshPlan::Nothing: break;
    case RefreshPlan::Idle:
        complete = writeDcc(kDccIdlePacket, kDccIdleChars, 1, false);
        mark(0x200);
        break;
    case RefreshPlan::DccLoco: {
        link_.selectFormat(true, false, false);
        const int a = plan.speedLength > 0 ? link_.write(plan.speed, plan.speedLength) : 0;
        const int b = plan.functionsLength > 0 ? link_.write(plan.functions, plan.functionsLength) : 0;
        complete = a == plan.speedLength && b == plan.functionsLength;
        noteWrite(complete);
        pending_ = plan.speedLength + plan.functionsLength;
        mark(0x40);
        break;
    }
    case RefreshPlan::Motorola: {
        const int n = writeMotorolaPacket(link_, plan.motorola, kMotorolaPacketChars, false, 2, pending_, reference_);
        complete = n == kMotorolaPacketChars;
        noteWrite(complete);
        mark(0x4000);
        break;
    }
    }
    if (!complete) link_.logError(3, 0, 0, 0);
    waitPending();
}

void DirectSender::repeatAccessories() {
    struct Repeat {
        int decoder = 0;
        int output = 0;
        bool dcc = false;
    };
    Repeat repeats[kAccessoryQueueSize / 4];
    int count = 0;
    {
        std::lock_guard lock(trackPacketMutex());
        int pos = gAccessoryQueue.readPos();
        AccessoryEntry e;
        int next = 0;
        for (int guard = 0; guard < kAccessoryQueueSize / 4 && gAccessoryQueue.readEntry(pos, e, next); ++guard) {
            pos = next;
            const int d = e.address;
            const int output = e.command & 7;
            if (d > 512) continue;
            const AccessoryDecoderRec& state = gAccessoryState[d];
            if (state.lastOutput != output + 1) continue;  // also not while its switch-off is pending (bit 7)
            repeats[count++] = {d, output, state.protocol == 1};
        }
    }
    for (int i = 0; i < count; ++i) {
        const Repeat& r = repeats[i];
        int n = 0;
        bool complete = true;
        if (r.dcc) {
            n = encodeDccAccessory(r.decoder, r.output | 8, buffer_);
            if (n == 0) continue;
            complete = writeDcc(buffer_, n, 1, false);
            waitPending();
            mark(0x80);
        } else if (gSettings.chboMMWisselSeinCont) {
            n = encodeMotorolaAccessory(r.decoder, r.output | 8, buffer_);
            if (n == 0) continue;
            complete = writeMotorolaPacket(link_, buffer_, n, true, 2, pending_, reference_) == n;
            noteWrite(complete);
            mark(0x8000);
        }
        if (!complete) link_.logError(4, 0x20, r.decoder, r.output);
    }
}

void DirectSender::measureSleep() {
    LinkClock& clock = linkClock();
    const int64_t f = clock.frequency();
    const int64_t now = clock.now();
    const int64_t interval = gSleepPrecise.load() >= 3 ? f / 2 : f;
    if (now - lastMeasure_ <= interval) return;
    const int64_t before = clock.now();
    clock.sleepMs(1);
    const int64_t after = clock.now();
    lastMeasure_ = after;
    const int64_t slept = after - before;
    const int64_t ticksPerMs = f / 1000;
    gSleepMs = static_cast<uint8_t>(std::min<int64_t>((slept + ticksPerMs / 2) / ticksPerMs, 255));
    if (slept > 2 * ticksPerMs) gSleepPrecise = 0;
    else if (gSleepPrecise.load() < 3) gSleepPrecise.fetch_add(1);
    vestrel::runOnGuiThread([f = link_.formatSwitchMs(), ms = static_cast<int>(gSleepMs.load())] { showCycleTimes(f, ms); });
    if (gEmergencyState.load() == 0 && !link_.alive()) emergencyStopAll(5);
}

namespace {
bool gCycleToggle = false;  // GUI thread
}  // namespace

void showCycleTimes(int formatSwitchMs, int sleepMs) {
    if (!frmSchema || !frmSchema->lblHexUit) return;
    gCycleToggle = !gCycleToggle;
    char text[48];
    std::snprintf(text, sizeof text, gCycleToggle ? "(%dms)(%dms)10" : "(%dms)(%dms)01", formatSwitchMs, sleepMs);
    frmSchema->lblHexUit->setText(QString::fromLatin1(text));
}
