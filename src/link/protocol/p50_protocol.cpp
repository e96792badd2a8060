#include "link/protocol/p50_protocol.h"

#include <initializer_list>

namespace {

constexpr int kMaxModules = 35;  // 70 image bytes

uint8_t lo(uint16_t v) { return static_cast<uint8_t>(v & 0xFF); }
uint8_t hi(uint16_t v) { return static_cast<uint8_t>(v >> 8); }
uint16_t valueOf(const LinkCommand& c) { return static_cast<uint16_t>(c.bytes[1] | (c.bytes[2] << 8)); }

P50Message message(std::initializer_list<uint8_t> bytes, bool readsReply) {
    P50Message m;
    for (uint8_t b : bytes) m.bytes[m.length++] = b;
    m.readsReply = readsReply;
    return m;
}

bool isPoll(uint8_t b) { return (b & 0xE0) == 0x80; }
bool isPower(uint8_t b) { return (b & 0xE0) == 0x60; }
bool isFunction(uint8_t b) { return (b & 0xE0) == 0x40 && b != kP50XPrefix; }

P50Message encodeP50(const LinkCommand& c) {
    const uint8_t b = c.bytes[0];
    if (b == kP50XPrefix) {
        P50Message m;
        for (int i = 0; i < 6; ++i) m.bytes[i] = c.bytes[i];
        m.length = 6;
        m.readsReply = true;
        return m;
    }
    if (isPoll(b)) {
        P50Message m = message({b}, false);
        m.poll = true;
        return m;
    }
    if (isPower(b) || b == 0x20) return message({b}, false);
    if (b == 0xA0) return {};  // a DCC programming write has no P50 form
    const uint16_t address = valueOf(c);
    if (address > 255) return {};  // its low byte would name another decoder
    return message({b, lo(address)}, false);
}

P50Message encodeP50X(const LinkCommand& c, uint16_t& lastTurnout, const FunctionBitsLookup& functionBits) {
    const uint8_t b = c.bytes[0];
    if (b == kP50XPrefix) return message({c.bytes[1], c.bytes[2], c.bytes[3], c.bytes[4], c.bytes[5]}, true);
    if (isPoll(b)) {
        P50Message m = message({kXEvtSen}, false);
        m.poll = true;
        return m;
    }
    if (b == 0x60) return message({kXPwrOn}, true);
    if (b == 0x61) return message({kXPwrOff}, true);
    if (b == 0x20) return message({kXTrnt, lo(lastTurnout), hi(lastTurnout)}, true);
    const uint16_t address = valueOf(c);
    if (b == 0x21 || b == 0x22) {
        lastTurnout = address;
        const uint8_t flags = static_cast<uint8_t>((b == 0x21 ? 0x80 : 0) | 0x40);
        return message({kXTrnt, lo(address), static_cast<uint8_t>(hi(address) | flags)}, true);
    }
    if (isFunction(b)) {
        const int bits = functionBits ? functionBits(address) : -1;
        if (bits < 0) return {};
        return message({kXFunc, lo(address), hi(address), static_cast<uint8_t>(bits)}, true);
    }
    if (b == 0xA0) return {};
    if (address > 255) return {};
    return message({b, lo(address)}, true);
}

}  // namespace

P50Message encodeCommand(const LinkCommand& c, bool p50x, uint16_t& lastTurnout, const FunctionBitsLookup& functionBits) {
    if (c.length <= 0) return {};
    return p50x ? encodeP50X(c, lastTurnout, functionBits) : encodeP50(c);
}

P50Message encodeQuery(uint8_t command, bool p50x) {
    return p50x ? message({command}, true) : message({kP50XPrefix, command}, true);
}

int walkSensorRecords(const uint8_t* bytes, int n, const std::function<void(int, uint8_t)>& store, SensorRecord* last) {
    int modules = 0;
    for (int i = 0; i + 2 < n && bytes[i] != 0; i += 3) {
        const int m = bytes[i];
        if (m > kMaxModules) continue;
        store(2 * (m - 1), bytes[i + 1]);
        store(2 * (m - 1) + 1, bytes[i + 2]);
        if (last) *last = {bytes[i], bytes[i + 1], bytes[i + 2]};
        ++modules;
    }
    return modules;
}
