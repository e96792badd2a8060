#include "link/protocol/dcc_encoder.h"

#include <algorithm>
#include <cstring>

#include "operation/model/train_model.h"

const char* const kMsgDccNotPackable = "DCC-commando niet uitvoerbaar !";

const uint8_t kDccIdlePacket[kDccIdleChars] = {0x55, 0x55, 0x55, 0x35, 0x55, 0xF5, 0x8E,
                                               0x8E, 0x8E, 0x8E, 0x46, 0x55, 0x55};
const uint8_t kDccResetPacket[kDccResetChars] = {0x55, 0x55, 0x55, 0x55, 0xD5, 0x8E, 0x8E, 0x8E, 0x8E, 0x8E,
                                                 0x8E, 0x8E, 0x8E, 0x8E, 0x8E, 0x8E, 0x8E, 0x8E, 0x54};

const uint8_t gDcc28SpeedCodes[29] = {0x00, 0x02, 0x12, 0x03, 0x13, 0x04, 0x14, 0x05, 0x15, 0x06,
                                      0x16, 0x07, 0x17, 0x08, 0x18, 0x09, 0x19, 0x0A, 0x1A, 0x0B,
                                      0x1B, 0x0C, 0x1C, 0x0D, 0x1D, 0x0E, 0x1E, 0x0F, 0x1F};

namespace {

constexpr int kMaxPacketBits = 3 + 9 * 6 + 1;

// The bits to cover: the last three preamble bits, the packet with its start bits and check byte, the
// end bit; past the end every bit is a "1".
class BitString {
public:
    BitString(const uint8_t* bytes, int count) {
        for (int i = 0; i < 3; ++i) push(1);
        uint8_t check = 0;
        for (int i = 0; i < count; ++i) {
            pushByte(bytes[i]);
            check ^= bytes[i];
        }
        pushByte(check);
        push(1);
    }
    int length() const { return n_; }
    int operator[](int i) const { return i < n_ ? bits_[i] : 1; }
    // True when the bits from i match the pattern (a string of '0' and '1').
    bool matches(int i, const char* pattern) const {
        for (int k = 0; pattern[k]; ++k)
            if ((*this)[i + k] != pattern[k] - '0') return false;
        return true;
    }

private:
    void push(int b) { bits_[n_++] = static_cast<uint8_t>(b); }
    void pushByte(uint8_t v) {
        push(0);
        for (int k = 7; k >= 0; --k) push((v >> k) & 1);
    }
    uint8_t bits_[kMaxPacketBits] = {};
    int n_ = 0;
};

struct Choice {
    uint8_t character = 0;  // 0: no character carries these bits
    int bits = 0;
};

// The character for the bits from position i, looking ahead so that no "11110" is left at the start of
// the rest (four "1" bits followed by a "0" fit no character).
Choice chooseCharacter(const BitString& s, int i) {
    const bool fourOnesThenZero = s.matches(i + 4, "11110");
    if (s.matches(i, "11111")) return {0x55, 5};
    if (s.matches(i, "0111")) return fourOnesThenZero ? Choice{0x5C, 3} : Choice{0x56, 4};
    if (s.matches(i, "1011")) return fourOnesThenZero ? Choice{0x71, 3} : Choice{0x59, 4};
    if (s.matches(i, "1101")) return fourOnesThenZero ? Choice{0xC5, 3} : Choice{0x65, 4};
    if (s.matches(i, "1110")) return {0x95, 4};
    if (s.matches(i, "1111")) return {};
    const bool a = s.matches(i + 3, "11110");
    const bool b = s.matches(i + 3, "111011110");
    const bool c = s.matches(i + 2, "111011110");
    const int head = s[i] * 4 + s[i + 1] * 2 + s[i + 2];
    switch (head) {
    case 0b100: return (a || b) ? Choice{0xE1, 2} : Choice{0x99, 3};
    case 0b101: return {0x71, 3};
    case 0b110: return {0xC5, 3};
    case 0b011: return {0x5C, 3};
    case 0b010: return (a || b) ? Choice{0x78, 2} : Choice{0x96, 3};
    case 0b001:
        if (!a && !b && !c) return {0x66, 3};
        return a ? Choice{0xC6, 2} : Choice{0xF0, 1};
    case 0b000: return {0xC6, 2};
    default: return {};
    }
}

// Packs the bits from `from` (after the preamble characters at out[0..n)) until more than toCover bits
// are covered (the end bit and at least one "1" after it); the new length, or 0 when some bits fit no
// character.
int packFrom(const BitString& s, int from, int toCover, uint8_t* out, int n, int capacity) {
    int covered = 0;
    while (covered <= toCover) {
        const Choice c = chooseCharacter(s, from + covered);
        if (!c.character || n >= capacity) return 0;
        out[n++] = c.character;
        covered += c.bits;
    }
    return n;
}

void addAddress(DccPacket& p, int address) {
    if (address > 127) {
        p.add(static_cast<uint8_t>(0xC0 | ((address >> 8) & 0x3F)));
        p.add(static_cast<uint8_t>(address & 0xFF));
    } else {
        p.add(static_cast<uint8_t>(address));
    }
}

int pack(const DccPacket& p, uint8_t* buffer) { return encodeDccForUart(p.bytes, p.count, buffer); }

// Copies a packed string into a cache slot, zero-terminated; a string that does not fit leaves the slot
// empty rather than cut (a cut packet would be a different command).
void storeInCache(LocoRec& l, int offset, const uint8_t* chars, int n) {
    uint8_t* slot = l.packetCache->data() + offset;
    if (n > kDccCacheSlotChars) n = 0;
    std::memcpy(slot, chars, static_cast<size_t>(n));
    slot[n] = 0;
}

}  // namespace

int encodeDccForUart(const uint8_t* bytes, int count, uint8_t* buffer, bool serviceMode) {
    if (count < 2 || count > 5) return 0;
    // Generous bound: preamble, then at least one bit per character.
    constexpr int kCapacity = 5 + kMaxPacketBits + 1;
    const BitString s(bytes, count);
    const int preamble = serviceMode ? 5 : 3;
    uint8_t out[kCapacity];
    for (int i = 0; i < preamble; ++i) out[i] = 0x55;
    int dropped = 0;
    for (;;) {
        const int n = packFrom(s, dropped, s.length() - dropped, out, preamble, kCapacity - 1);
        if (n > 0) {
            std::memcpy(buffer, out, static_cast<size_t>(n));
            buffer[n] = 0;
            return n;
        }
        // Start again with fewer leading "1" bits: the characters then fall differently.
        if (s.matches(dropped, "10000")) return 0;
        dropped += s.matches(dropped, "11100") ? 2 : 1;
        if (dropped >= 4) return 0;
    }
}

DccPacket dccSpeedPacket(const LocoRec& l) {
    DccPacket p;
    addAddress(p, l.number);
    const int s = l.run.lastStepSent;
    const uint8_t direction = l.direction == 'v' ? 0x60 : 0x40;
    switch (l.decoderType) {
    case 3: {
        // A step past the decoder's range (a changed type, a damaged file) is taken as its top step.
        const uint8_t code = gDcc28SpeedCodes[2 * std::min(s, 14)];
        const uint8_t f0 = (l.run.functionBits1 & 0x10) ? 0x10 : 0x00;
        p.add(static_cast<uint8_t>((code & 0x0F) | f0 | direction));
        break;
    }
    case 4: p.add(static_cast<uint8_t>(gDcc28SpeedCodes[std::min(s, 28)] | direction)); break;
    default: {
        // 128 steps: speed 1 is the emergency stop, so step s (1..126) goes out as s + 1.
        const int speed = s == 0 ? 0 : std::min(s, 126) + 1;
        p.add(0x3F);
        p.add(static_cast<uint8_t>(speed | (l.direction == 'v' ? 0x80 : 0x00)));
        break;
    }
    }
    return p;
}

DccPacket dccFunctionGroupPacket(int address, const uint8_t f[4], int n) {
    DccPacket p;
    addAddress(p, address);
    if (n <= 4) {
        p.add(static_cast<uint8_t>(0x80 | (f[0] & 0x1F)));
    } else if (n <= 8) {
        p.add(static_cast<uint8_t>(0xB0 | (f[1] & 0x0F)));
    } else if (n <= 12) {
        p.add(static_cast<uint8_t>(0xA0 | (f[1] >> 4)));
    } else if (n <= 20) {
        p.add(0xDE);
        p.add(f[2]);
    } else {
        p.add(0xDF);
        p.add(f[3]);
    }
    return p;
}

DccPacket dccAccessoryPacket(int d, int command) {
    DccPacket p;
    p.add(static_cast<uint8_t>(0x80 | (d & 0x3F)));
    p.add(static_cast<uint8_t>(0x80 | ((~(d >> 6) & 7) << 4) | (command & 0x0F)));
    return p;
}

DccPacket dccCvWritePacket(int address, uint8_t modeByte, uint8_t cvLow, uint8_t value) {
    DccPacket p;
    if (modeByte & 0x80) addAddress(p, address);
    p.add(modeByte);
    p.add(cvLow);
    p.add(value);
    return p;
}

int encodeDccSpeed(LocoRec* loco, uint8_t* buffer) {
    if (!loco || !loco->packetCache) return 0;
    const int n = pack(dccSpeedPacket(*loco), buffer);
    if (n > 0) storeInCache(*loco, 0, buffer, n);
    return n;
}

int encodeDccFunctionGroup(LocoRec* loco, int n, uint8_t* buffer) {
    if (!loco) return 0;
    const uint8_t f[4] = {loco->run.functionBits1, loco->run.functionBits2, loco->run.functionBits3, 0};
    const int count = pack(dccFunctionGroupPacket(loco->number, f, n), buffer);
    if (count > 0 && n <= 4 && loco->packetCache) storeInCache(*loco, kDccCacheFunctionOffset, buffer, count);
    return count;
}

int encodeDccFunctionGroup(const FunctionDecoderRec* decoder, int n, uint8_t* buffer) {
    if (!decoder) return 0;
    const uint32_t s = decoder->functionState;
    const uint8_t f[4] = {static_cast<uint8_t>(s), static_cast<uint8_t>(s >> 8), static_cast<uint8_t>(s >> 16),
                          static_cast<uint8_t>(s >> 24)};
    return pack(dccFunctionGroupPacket(decoder->address, f, n), buffer);
}

int encodeDccAccessory(int decoder, int command, uint8_t* buffer) {
    return pack(dccAccessoryPacket(decoder, command), buffer);
}
