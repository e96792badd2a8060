#pragma once
// Hand-made byte images of the train records and the locomotive file: every field is written at the
// offset the record tables give, independently of the program's own codecs.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

class Image {
public:
    explicit Image(size_t size) : bytes(size, 0) {}
    Image& u8(size_t at, int v) {
        bytes.at(at) = static_cast<uint8_t>(v);
        return *this;
    }
    Image& i16(size_t at, int v) { return u8(at, v & 0xFF).u8(at + 1, (v >> 8) & 0xFF); }
    Image& i32(size_t at, int64_t v) {
        for (size_t k = 0; k < 4; ++k) u8(at + k, static_cast<int>((v >> (8 * k)) & 0xFF));
        return *this;
    }
    Image& f32(size_t at, float v) {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        return i32(at, u);
    }
    Image& text(size_t at, const std::string& s) {
        for (size_t k = 0; k < s.size(); ++k) u8(at + k, static_cast<uint8_t>(s[k]));
        return *this;
    }
    Bytes bytes;
};

// PositionRec, 44 bytes.
struct Pos {
    float x = 0, y = 0, dx = 0, dy = 0;
    int a = 0, b = 0, ix = 0, iy = 0;
    int block = 0, track = 0, turnout = 0;  // 1-based, 0 none
};
inline void putPosition(Image& im, size_t at, const Pos& p) {
    im.f32(at + 0, p.x).f32(at + 4, p.y).f32(at + 8, p.dx).f32(at + 12, p.dy);
    im.i32(at + 16, p.a).i32(at + 20, p.b).i32(at + 24, p.ix).i32(at + 28, p.iy);
    im.i32(at + 32, p.block).i32(at + 36, p.track).i32(at + 40, p.turnout);
}

// LocoRec, 192 bytes; its running block LocoRunRec (96 bytes) starts at 40.
namespace LocoAt {
constexpr size_t connection = 0, route = 4, number = 8, slot = 10, running = 12, mode = 13, heading = 14,
                 direction = 15, hold = 16, role = 17, accel = 18, flags = 19, shownSpeed = 20, speedValue = 22,
                 target = 24, current = 26, lastAngle = 28, effectiveDelay = 30, delay = 32, maxStep = 34,
                 nextTime = 36, head = 40, currentLine = 84, runA = 88, runB = 89, distance = 90, fb1 = 91,
                 fb2 = 92, fb3 = 93, lastSent = 94, correction = 95, maxSpeed = 96, spare = 98, steps = 102,
                 kmH = 104, kmTotal = 108, kmDay = 112, photo = 116, name = 127, motor = 156, kind = 157,
                 decoder = 158, reserved = 159, trainLength = 164, reserved2 = 166, front = 168, rear = 172,
                 cache = 176, corrections = 180, table = 184, helper = 188;
}

// WagonRec, 156 bytes.
namespace WagonAt {
constexpr size_t front = 0, rear = 44, units = 88, kind = 89, spare = 90, next = 92, previous = 96, owner = 100,
                 number = 104, weight = 108, photo = 112, description = 123, cm = 152, percent = 153, spare2 = 154,
                 slot = 155;
}

// A locomotive image with the fields a test cares about; 28 steps, 130 km/h unless changed.
inline Image locoImage(int number, int blockOfHead = 0, size_t size = 192) {
    Image im(size);
    im.i16(LocoAt::number, number).u8(LocoAt::heading, 'H').u8(LocoAt::direction, 'v').u8(LocoAt::accel, 7);
    im.i16(LocoAt::maxSpeed, 130).i16(LocoAt::steps, 28).u8(LocoAt::decoder, 4);
    im.i32(LocoAt::head + 32, blockOfHead);
    return im;
}

inline Image wagonImage(int number, int cm = 15, size_t size = 156) {
    Image im(size);
    im.u8(WagonAt::kind, 'G');
    if (size > 104) im.i32(WagonAt::number, number).u8(WagonAt::cm, cm);
    return im;
}

// The locomotive file, appended part by part.
struct FileBytes {
    Bytes b;
    FileBytes& text(const std::string& s) {
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    FileBytes& u8(int v) {
        b.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    FileBytes& i32(int64_t v) {
        for (int k = 0; k < 4; ++k) b.push_back(static_cast<uint8_t>((v >> (8 * k)) & 0xFF));
        return *this;
    }
    FileBytes& f32(float v) {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        return i32(u);
    }
    FileBytes& add(const Image& im) { return add(im.bytes); }
    FileBytes& add(const Bytes& bytes) {
        b.insert(b.end(), bytes.begin(), bytes.end());
        return *this;
    }
    FileBytes& zeros(size_t n) {
        b.insert(b.end(), n, 0);
        return *this;
    }
    // "V1.1", the zoom digit and three zero bytes.
    FileBytes& header(char zoom = '3', const std::string& version = "V1.1") { return text(version).u8(zoom).zeros(3); }
};
