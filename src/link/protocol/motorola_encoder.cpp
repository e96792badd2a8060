#include "link/protocol/motorola_encoder.h"

#include <algorithm>
#include <cstring>

#include "operation/model/train_model.h"
#include "shell/model/settings.h"

const uint8_t gMotorolaSpeedCodes[16] = {0x00, 0x04, 0x05, 0x10, 0x11, 0x14, 0x15, 0x40,
                                         0x41, 0x44, 0x45, 0x50, 0x51, 0x54, 0x55, 0x01};

const uint8_t kMotorolaFiller[kMotorolaPacketChars] = {0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xFF,
                                                       0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

namespace {

constexpr uint8_t kOne = 0x00;
constexpr uint8_t kZero = 0xFF;

uint8_t bitChar(int bit) { return bit ? kOne : kZero; }

// The mapping of the upper address ranges: 0 -> 0, 1 -> 2, 2 -> 3, 3 -> 1.
uint8_t m(int v) {
    static const uint8_t map[4] = {0, 2, 3, 1};
    return map[v & 3];
}

// An address trit as its two bits, first bit first.
void addressTritBits(int trit, int& first, int& second) {
    first = trit == 1 || trit == 2;
    second = trit == 1 || trit == 3;
}

int emitAddress(const uint8_t trits[4], uint8_t* out) {
    for (int i = 0; i < 4; ++i) {
        int a, b;
        addressTritBits(trits[i], a, b);
        out[2 * i] = bitChar(a);
        out[2 * i + 1] = bitChar(b);
    }
    return 8;
}

// The function trit's value, bit 0 first.
void emitFunctionTrit(int value, uint8_t* out) {
    out[0] = bitChar(value & 1);
    out[1] = bitChar(value & 2);
}

void emitSpeedByte(uint8_t byte, uint8_t* out) {
    for (int i = 0; i < 8; ++i) out[i] = bitChar((byte >> i) & 1);
}

// The speed index of a 14-step decoder: 15 is the reverse code; a step past it (a changed decoder type,
// a damaged file) is taken as the top step.
int index14(int s) { return s > 15 ? 14 : s; }

uint8_t newFormatSpeedByte(int i, char direction) {
    const bool forward = direction == 'v';
    const uint8_t pattern = i < 7 ? (forward ? 0x88 : 0xA2) : (forward ? 0x08 : 0x22);
    return static_cast<uint8_t>(gMotorolaSpeedCodes[i] | pattern);
}

struct SpeedPacket {
    uint8_t speedByte = 0;
    int functionTrit = 0;
};

SpeedPacket speedPacket(const LocoRec& l) {
    const bool f0 = (l.run.functionBits1 & 0x10) != 0;
    const int s = l.run.lastStepSent;
    if (l.decoderType == 0) {
        const uint8_t c = gMotorolaSpeedCodes[index14(s)];
        return {static_cast<uint8_t>(c | (c << 1)), f0 ? 3 : 0};
    }
    if (l.decoderType == 1) {
        const int i = index14(s);
        if (i == 15) return {kMotorolaReverseByte, 0};
        return {newFormatSpeedByte(i, l.direction), f0 ? 3 : 0};
    }
    // 27 steps: two steps per speed code, the half step in the function trit.
    const int step = s > 30 ? 27 : s;
    const int i = (step + 1) / 2;
    if (i == 15) return {kMotorolaReverseByte, 0};
    const bool odd = (step & 1) != 0;
    const int trit = f0 ? (odd ? 3 : 1) : (odd ? 0 : 2);
    return {newFormatSpeedByte(i, l.direction), trit};
}

uint8_t functionPattern(int j, int s, bool on) {
    static const uint8_t normal[4] = {0x0A, 0x20, 0x28, 0x2A};
    static const int offClash[4] = {2, 3, 5, 6};
    static const int onClash[4] = {10, 11, 13, 14};
    if (!on && s == offClash[j - 1]) return 0x22;
    if (on && s == onClash[j - 1]) return 0x08;
    return normal[j - 1];
}

uint8_t functionSpeedByte(int j, int s, bool on) {
    const int i = index14(s);
    return static_cast<uint8_t>(gMotorolaSpeedCodes[i] | functionPattern(j, i, on) | (on ? 0x80 : 0));
}

}  // namespace

int motorolaAddressTrits(int a, uint8_t t[4]) {
    if (a < 0 || a > 255) return 0;
    auto set = [t](int t0, int t1, int t2, int t3) {
        t[0] = static_cast<uint8_t>(t0);
        t[1] = static_cast<uint8_t>(t1);
        t[2] = static_cast<uint8_t>(t2);
        t[3] = static_cast<uint8_t>(t3);
        return 1;
    };
    switch (a) {
    case 80: return set(0, 0, 0, 0);
    case 83: return set(2, 3, 3, 1);
    case 123: return set(2, 3, 1, 1);
    case 191: return set(3, 3, 0, 0);
    case 192: return set(3, 3, 3, 3);
    default: break;
    }
    if (a <= 80) return set(a % 3, (a % 9) / 3, (a % 27) / 9, a / 27);
    if (a <= 144) {
        const int v = a - 81;
        return set(3, m(v % 4), m((v % 16) / 4), m(v / 16));
    }
    if (a <= 192) {
        const int v = a - 145;
        return set(v / 16, 3, m(v % 4), m((v % 16) / 4));
    }
    if (a <= 228) {
        const int v = a - 193;
        return set((v % 12) / 4, v / 12, 3, m(v % 4));
    }
    const int v = a - 229;
    return set(v % 3, (v % 9) / 3, v / 9, 3);
}

int encodeMotorolaLoco(LocoRec* loco, uint8_t* buffer) {
    if (!loco || !loco->packetCache) return 0;
    uint8_t trits[4];
    if (!motorolaAddressTrits(loco->number, trits)) return 0;
    const SpeedPacket p = speedPacket(*loco);
    emitAddress(trits, buffer);
    emitFunctionTrit(p.functionTrit, buffer + 8);
    emitSpeedByte(p.speedByte, buffer + 10);
    buffer[kMotorolaPacketChars] = 0;
    PacketCache& cache = *loco->packetCache;
    std::memcpy(cache.data(), buffer, kMotorolaPacketChars);
    if (p.speedByte != kMotorolaReverseByte) {
        uint8_t part[kMotorolaSpeedPartChars + 1];
        for (int j = 1; j <= 4; ++j) {
            encodeMotorolaFunction(loco, j, true, part);
            std::memcpy(cache.data() + motorolaCacheFunctionSlot(j), part, kMotorolaSpeedPartChars);
        }
    }
    return kMotorolaPacketChars;
}

int encodeMotorolaFunction(LocoRec* loco, int j, bool partOnly, uint8_t* buffer) {
    if (!loco || j < 1 || j > 4) return 0;
    if (!partOnly && !loco->packetCache) return 0;
    const bool on = (loco->run.functionBits1 >> (j - 1)) & 1;
    const uint8_t byte = functionSpeedByte(j, loco->run.lastStepSent, on);
    int n = 0;
    if (!partOnly) {
        std::memcpy(buffer, loco->packetCache->data(), 10);
        n = 10;
    }
    emitSpeedByte(byte, buffer + n);
    if (!partOnly)
        std::memcpy(loco->packetCache->data() + motorolaCacheFunctionSlot(j), buffer + n, kMotorolaSpeedPartChars);
    n += kMotorolaSpeedPartChars;
    buffer[n] = 0;
    return n;
}

int encodeMotorolaFunction(const FunctionDecoderRec* decoder, int j, uint8_t* buffer) {
    if (!decoder || j < 1 || j > 4) return 0;
    uint8_t trits[4];
    if (!motorolaAddressTrits(decoder->address, trits)) return 0;
    const bool on = (decoder->functionState >> (j - 1)) & 1;
    emitAddress(trits, buffer);
    emitFunctionTrit(0, buffer + 8);
    emitSpeedByte(functionSpeedByte(j, 0, on), buffer + 10);
    buffer[kMotorolaPacketChars] = 0;
    return kMotorolaPacketChars;
}

int encodeMotorolaAccessory(int decoder, int command, uint8_t* buffer, bool at115200) {
    uint8_t trits[4];
    // The low byte of a decoder above 255 would switch another decoder (d - 256): send nothing.
    if (decoder > 255 || !motorolaAddressTrits(decoder, trits)) return 0;
    if (at115200) {
        constexpr uint8_t one = 0x00, zero = 0xFE;
        int n = 0;
        for (uint8_t t : trits) {
            int a, b;
            addressTritBits(t, a, b);
            buffer[n++] = a ? one : zero;
            buffer[n++] = b ? one : zero;
        }
        buffer[n++] = zero;
        buffer[n++] = zero;
        for (int i = 0; i < 4; ++i) {
            const uint8_t c = ((command >> i) & 1) ? one : zero;
            buffer[n++] = c;
            buffer[n++] = c;
        }
        buffer[n] = 0;
        return n;
    }
    static const uint8_t tritChar[4] = {0xF7, 0x04, 0xF4, 0x07};
    int n = 0;
    for (uint8_t t : trits) buffer[n++] = tritChar[t];
    buffer[n++] = 0xF7;
    for (int i = 0; i < 4; ++i) buffer[n++] = ((command >> i) & 1) ? 0x04 : 0xF7;
    buffer[n] = 0;
    return n;
}

int encodeMotorolaAccessory(int decoder, int command, uint8_t* buffer) {
    return encodeMotorolaAccessory(decoder, command, buffer, gSettings.chboMolaWisselSein115200 != 0);
}
