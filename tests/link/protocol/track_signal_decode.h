#pragma once
// The test's own decoders of the track signal: UART characters back to cells, runs and bits, and bits
// back to DCC packets and Motorola trits. Written from the signal's definition, not from the encoders.
#include <cstdint>
#include <string>
#include <vector>

namespace tracksignal {

using Bytes = std::vector<uint8_t>;

// DCC: the cells of 8N1 characters (start low, data bits least significant first, stop high), paired
// into bits: one low and one high cell a "1", runs of at least two cells a "0". Empty on a bad run.
inline std::vector<int> dccBits(const Bytes& chars, std::string* error = nullptr) {
    std::vector<int> cells;
    for (uint8_t c : chars) {
        cells.push_back(0);
        for (int i = 0; i < 8; ++i) cells.push_back((c >> i) & 1);
        cells.push_back(1);
    }
    std::vector<int> runs;
    for (size_t i = 0; i < cells.size();) {
        size_t j = i;
        while (j < cells.size() && cells[j] == cells[i]) ++j;
        runs.push_back(static_cast<int>(j - i) * (cells[i] ? 1 : -1));  // negative: low
        i = j;
    }
    std::vector<int> bits;
    for (size_t k = 0; k < runs.size(); k += 2) {
        if (k + 1 >= runs.size() || runs[k] > 0) {
            if (error) *error = "unpaired run at " + std::to_string(k);
            return {};
        }
        const int low = -runs[k], high = runs[k + 1];
        if (low == 1 && high == 1) bits.push_back(1);
        else if (low >= 2 && high >= 2) bits.push_back(0);
        else {
            if (error) *error = "bad half bits " + std::to_string(low) + "/" + std::to_string(high);
            return {};
        }
    }
    return bits;
}

struct DccPacketSeen {
    bool ok = false;
    std::string error;
    int preamble = 0;    // leading "1" bits
    Bytes bytes;         // the packet with its check byte
    int trailingOnes = 0;  // "1" bits after the end bit
};

// One packed DCC packet: preamble, start bit, bytes separated by "0", end bit "1", then only "1" bits.
inline DccPacketSeen decodeDccPacket(const Bytes& chars) {
    DccPacketSeen p;
    const std::vector<int> bits = dccBits(chars, &p.error);
    if (bits.empty()) return p;
    size_t i = 0;
    while (i < bits.size() && bits[i] == 1) ++i;
    p.preamble = static_cast<int>(i);
    for (;;) {
        if (i >= bits.size() || bits[i] != 0) {
            p.error = "no start bit";
            return p;
        }
        ++i;
        if (i + 8 > bits.size()) {
            p.error = "short byte";
            return p;
        }
        uint8_t v = 0;
        for (int k = 0; k < 8; ++k) v = static_cast<uint8_t>((v << 1) | bits[i++]);
        p.bytes.push_back(v);
        if (i >= bits.size()) {
            p.error = "no end bit";
            return p;
        }
        if (bits[i] == 1) break;
    }
    ++i;  // end bit
    for (; i < bits.size(); ++i) {
        if (bits[i] != 1) {
            p.error = "zero after the end bit";
            return p;
        }
        ++p.trailingOnes;
    }
    uint8_t x = 0;
    for (uint8_t b : p.bytes) x ^= b;
    if (x != 0) {
        p.error = "check byte";
        return p;
    }
    p.ok = true;
    return p;
}

// Motorola locomotive and function packets: one bit per character, 0x00 a "1" and 0xFF a "0".
struct MotorolaSeen {
    bool ok = false;
    int trits[4] = {};    // address trits, t0 first: "00" 0, "11" 1, "10" 2, "01" 3
    int functionBits[2] = {};
    uint8_t speedByte = 0;  // bit 0 first on the wire
};

inline MotorolaSeen decodeMotorolaPacket(const uint8_t* chars) {
    MotorolaSeen m;
    int bits[18];
    for (int i = 0; i < 18; ++i) {
        if (chars[i] == 0x00) bits[i] = 1;
        else if (chars[i] == 0xFF) bits[i] = 0;
        else return m;
    }
    for (int t = 0; t < 4; ++t) {
        const int a = bits[2 * t], b = bits[2 * t + 1];
        m.trits[t] = a == b ? a : (a ? 2 : 3);
    }
    m.functionBits[0] = bits[8];
    m.functionBits[1] = bits[9];
    for (int i = 0; i < 8; ++i) m.speedByte = static_cast<uint8_t>(m.speedByte | (bits[10 + i] << i));
    m.ok = true;
    return m;
}

// The speed code carried at the even bit positions of a Motorola speed byte.
inline int motorolaSpeedCode(uint8_t speedByte) {
    int c = 0;
    for (int i = 0; i < 4; ++i) c |= ((speedByte >> (2 * i)) & 1) << i;
    return c;
}

}  // namespace tracksignal
