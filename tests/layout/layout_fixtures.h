#pragma once
// Hand-made layout bytes for the tests, written field by field from the stored record tables (offsets in
// the comments). Deliberately independent of the program's codec: nothing here calls it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "layout/model/layout_model.h"

namespace fx {

struct Bytes {
    std::vector<uint8_t> b;
    Bytes& u8(int v) {
        b.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    Bytes& i16(int v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Bytes& i32(int64_t v) { return i16(static_cast<int>(v & 0xFFFF)).i16(static_cast<int>((v >> 16) & 0xFFFF)); }
    Bytes& f32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        return i32(bits);
    }
    Bytes& pt(const DiagramPoint& p) { return i32(p.x).i32(p.y); }
    Bytes& pt16(const DiagramPoint& p) { return i16(p.x).i16(p.y); }  // narrow forms
    Bytes& fill(int n, int v) {
        b.insert(b.end(), static_cast<size_t>(n), static_cast<uint8_t>(v));
        return *this;
    }
    Bytes& raw(const uint8_t* p, int n) {
        b.insert(b.end(), p, p + n);
        return *this;
    }
    Bytes& text(const char* s) { return raw(reinterpret_cast<const uint8_t*>(s), static_cast<int>(std::strlen(s))); }
    size_t size() const { return b.size(); }
};

// Checks that a record builder wrote exactly the stored size.
struct Span {
    Bytes& f;
    size_t start;
    size_t want;
    Span(Bytes& f_, size_t want_) : f(f_), start(f_.size()), want(want_) {}
    ~Span() { EXPECT_EQ(f.size() - start, want) << "record builder wrote the wrong size"; }
};

// `filler` goes into bytes without meaning in the file (run-time pointers, padding of a connection,
// ignored bytes of old forms): the loader must not care what they hold.

// TrackRec, 52 bytes.
inline void track(Bytes& f, const TrackRec& t) {
    Span s(f, 52);
    for (const auto& p : t.points) f.pt(p);              // 0: points[4]
    f.i32(t.segments);                                    // 32
    for (int a : t.segmentAngles) f.i32(a);               // 36: segment angles[3]
    f.u8(t.flags).u8(t.locoOnIt).u8(t.ownIndex).u8(t.vehicleFlags);  // 48, 49, 50, 51
}

// Track without header: 12 int16 (points, segments, angles), 1 ignored byte = 25.
inline void trackNarrow(Bytes& f, const TrackRec& t, int filler) {
    Span s(f, 25);
    for (const auto& p : t.points) f.pt16(p);             // 0: points[4]
    f.i16(t.segments);                                    // 16
    for (int a : t.segmentAngles) f.i16(a);               // 18: angles[3]
    f.fill(1, filler);                                    // 24
}

inline size_t blockSize(int points) { return points == 16 ? 464 : points == 11 ? 328 : 248; }

// BlockRec for P points (464 / 328 / 248 bytes for P = 16 / 11 / 8); per-section arrays hold P-1 entries.
inline void block(Bytes& f, const BlockRec& b, int P, int filler) {
    Span s(f, blockSize(P));
    const int n = P - 1;
    f.fill(8, filler);                                    // 0: arrived train, assigned train
    f.i16(b.number).i16(b.ownIndex);                      // 8, 10
    f.u8(b.allowedTrains).u8(b.allowedDirection);         // 12, 13
    f.u8(b.reserved1[0]).u8(b.reserved1[1]);              // 14: reserved[2]
    f.u8(b.flags).u8(b.bendCorrection).u8(b.outwardSlope).u8(b.returnSlope);  // 16..19
    f.i32(b.speed).i32(b.waitTime).i32(b.remainingWait);  // 20, 24, 28
    for (int i = 0; i < P; ++i) f.pt(b.points[i]);        // 32: points[P]
    f.i32(b.sections);                                    // 32+8P
    for (int i = 0; i < n; ++i) f.i32(b.sectionAngles[i]);  // 36+8P: angles[P-1]
    f.u8(b.state).u8(b.hAspect).u8(b.tAspect).u8(b.orangeEnds);  // 32+12P
    f.i16(b.occupiedSections);                            // 36+12P
    for (int i = 0; i <= n; ++i) f.i16(b.sectionInputs[i]);  // 38+12P: inputs[P] (slot 0 unused)
    for (int i = 0; i < n; ++i) f.u8(b.sectionKinds[i]);  // kinds[P-1]
    f.raw(b.padding1, P == 11 ? 2 : 3);                   // padding to a multiple of 4
    for (int i = 0; i < n; ++i) f.f32(b.sectionLengths[i]);  // lengths[P-1]
    f.i16(b.totalLength).raw(b.padding2, 2);              // total length, padding
    for (int i = 0; i < n; ++i) f.f32(b.sectionDirections[i][0]).f32(b.sectionDirections[i][1]);  // directions
}

// Block without header, 70 bytes.
inline void blockNarrow(Bytes& f, const BlockRec& b, int filler) {
    Span s(f, 70);
    f.fill(8, filler);                                    // 0: ignored
    f.i16(b.number);                                      // 8
    f.u8(b.allowedTrains).u8(b.allowedDirection).u8(b.reserved1[0]).u8(b.reserved1[1]).u8(b.flags);  // 10..14
    f.i16(b.speed).i16(b.waitTime).i16(b.remainingWait);  // 15, 17, 19
    for (int i = 0; i < 8; ++i) f.pt16(b.points[i]);      // 21: points[8]
    f.i16(b.sections);                                    // 53
    for (int i = 0; i < 7; ++i) f.i16(b.sectionAngles[i]);  // 55: angles[7]
    f.u8(b.state);                                        // 69
}

// TurnoutRec, 60 bytes; versions 0..2 (`shortForm`): 16 ignored bytes after the legs, 76 bytes.
inline void turnout(Bytes& f, const TurnoutRec& t, int filler, bool shortForm = false) {
    Span s(f, shortForm ? 76 : 60);
    f.fill(4, filler);                                    // 0: holder
    f.i16(t.number).i16(t.ownIndex);                      // 4, 6
    f.u8(t.subtype).u8(t.position).u8(t.partner).u8(t.options);  // 8..11
    for (const auto& p : t.legs) f.pt(p);                 // 12: legs[4]
    if (shortForm) f.fill(16, filler);                    // 44: ignored (short form)
    f.pt(t.centre);                                       // 44: centre
    f.i32(t.angle);                                       // 52
    f.u8(t.pulseTime).u8(t.reserved).u8(t.runState).u8(t.vehicleFlags);  // 56..59
}

// Turnout without header, 39 bytes.
inline void turnoutNarrow(Bytes& f, const TurnoutRec& t, int filler) {
    Span s(f, 39);
    f.fill(4, filler);                                    // 0: ignored
    f.i16(t.number).u8(t.subtype).u8(t.position);         // 4, 6, 7
    for (const auto& p : t.legs) f.pt16(p);               // 8: legs[4]
    f.fill(8, filler);                                    // 24: ignored
    f.pt16(t.centre).i16(t.angle);                        // 32, 36
    f.fill(1, filler);                                    // 38
}

// SignalRec, 56 bytes; version 0 (`v0`) ends after the run-time byte, 52 bytes.
inline void signal(Bytes& f, const SignalRec& s, int blockIndex, bool v0 = false) {
    Span sp(f, v0 ? 52 : 56);
    f.i32(blockIndex);                                    // 0: block index
    f.i16(s.number).i16(s.ownIndex);                      // 4, 6
    f.u8(s.direction).u8(s.aspect).u8(s.reserved1[0]).u8(s.reserved1[1]);  // 8..11
    for (const auto& p : s.outline) f.pt(p);              // 12: outline[4]
    f.i32(s.angle);                                       // 44
    f.u8(s.pulseTime).u8(s.reserved2[0]).u8(s.reserved2[1]).u8(s.runState);  // 48..51
    if (v0) return;
    f.i16(s.orangeNumber).u8(s.reserved3[0]).u8(s.reserved3[1]);  // 52, 54
}

// Signal without header, 27 bytes.
inline void signalNarrow(Bytes& f, const SignalRec& s, int blockIndex, int filler) {
    Span sp(f, 27);
    f.i32(blockIndex);                                    // 0
    f.i16(s.number).u8(s.direction).u8(s.aspect);         // 4, 6, 7
    for (const auto& p : s.outline) f.pt16(p);            // 8: outline[4]
    f.i16(s.angle);                                       // 24
    f.fill(1, filler);                                    // 26
}

// OutputRec, 48 bytes.
inline void output(Bytes& f, const OutputRec& o) {
    Span s(f, 48);
    f.i16(o.key).i16(o.ownIndex);                         // 0, 2
    f.u8(o.state).raw(o.reserved1, 3);                    // 4, 5
    for (const auto& p : o.outline) f.pt(p);              // 8: outline[4]
    f.i32(o.angle);                                       // 40
    f.u8(o.pulseTime).raw(o.reserved2, 2).u8(o.runFlags);  // 44, 45, 47
}

// InputRec, 32 bytes.
inline void input(Bytes& f, const InputRec& i) {
    Span s(f, 32);
    f.i16(i.number).i16(i.ownIndex);                      // 0, 2
    f.u8(i.state).raw(i.reserved1, 3);                    // 4, 5
    f.pt(i.anchor).pt(i.secondPoint);                     // 8, 16
    f.i32(i.angle);                                       // 24
    f.raw(i.reserved2, 3).u8(i.runState);                 // 28, 31
}

// TurntableRec, 300 bytes.
inline void turntable(Bytes& f, const TurntableRec& t, int trackIndex, int filler) {
    Span s(f, 300);
    f.i16(t.number).i16(t.ownIndex);                      // 0, 2
    f.u8(t.decoderSystem).u8(t.positions).u8(t.currentPosition).u8(t.secondPosition);  // 4..7
    f.u8(t.positionSpacing).u8(t.bridgeSpeed).u8(t.pulseTime).u8(t.timeout);  // 8..11
    f.u8(t.reserved1).u8(t.runOn).raw(t.reserved2, 13).u8(t.runState);  // 12, 13, 14, 27
    f.f32(t.centre[0]).f32(t.centre[1]);                  // 28
    f.f32(t.bridgeAngle).f32(t.currentAngle).f32(t.angularSpeed).f32(t.radius);  // 36, 40, 44, 48
    for (const auto& e : t.outerEnds) f.i16(e[0]).i16(e[1]);  // 52: outer ends[24]
    for (const auto& e : t.innerEnds) f.i16(e[0]).i16(e[1]);  // 148: inner ends[24]
    f.raw(t.positionOfConnection, 40);                    // 244
    f.i16(t.startAddress).i16(t.inPositionInput).i16(t.occupancyInput);  // 284, 286, 288
    f.raw(t.padding, 2);                                  // 290
    f.i32(trackIndex);                                    // 292: track index
    f.fill(4, filler);                                    // 296: locomotive on the bridge
}

struct Links {
    int from = 0;
    int to = 0;
    int turnouts[20] = {};  // index + 1, 0 ends the list
};

// ConnectionRec: 116 bytes with 20 turnout entries (from version 4); 64 bytes with 10 (versions 0..3);
// 62 bytes with 10 and no padding (without header).
enum class ConnForm { Full, Short, Narrow };
inline void connection(Bytes& f, const ConnectionRec& c, const Links& l, int filler, ConnForm form = ConnForm::Full) {
    const int slots = form == ConnForm::Full ? 20 : 10;
    Span s(f, form == ConnForm::Full ? 116 : form == ConnForm::Short ? 64 : 62);
    f.i32(l.from).i32(l.to);                              // 0, 4
    f.u8(c.reserved).u8(c.loop).u8(c.direction);          // 8, 9, 10
    if (form != ConnForm::Narrow) f.fill(1, filler);      // 11: padding
    for (int i = 0; i < slots; ++i) f.i32(l.turnouts[i]);  // 12 (narrow 11): turnout entries
    for (int i = 0; i < slots; ++i) f.u8(c.positions[i]);  // 92 (short 52, narrow 51): positions
    f.u8(c.endMark);                                      // 112 (short 62, narrow 61)
    if (form == ConnForm::Full) f.fill(3, filler);        // 113: padding
    if (form == ConnForm::Short) f.fill(1, filler);       // 63: ignored
}

// ---- sample records with distinct values; k makes records of one kind differ ----

inline TrackRec sampleTrack(int k) {
    TrackRec t;
    t.points[0] = {100 + k, -(200 + k)};
    t.points[1] = {300 + k, 400};
    t.points[2] = {500, 600 + k};
    t.segments = 2;
    t.segmentAngles[0] = 90;
    t.segmentAngles[1] = -45;
    t.flags = 0x05;  // reversing loop, layer 1
    t.locoOnIt = 3;
    t.ownIndex = static_cast<uint8_t>(k);
    t.vehicleFlags = 0x10;  // run-time
    return t;
}

// sections <= 7 so that the block fits every stored form.
inline BlockRec sampleBlock(int k, int sections = 3) {
    BlockRec b;
    b.number = static_cast<int16_t>(10 + k);
    b.ownIndex = static_cast<int16_t>(k);
    b.allowedTrains = 0x8F;
    b.allowedDirection = 'B';
    b.reserved1[0] = 0x11;
    b.reserved1[1] = 0x22;
    b.flags = 0x13;  // reversing loop, layer 1, wait for passenger trains only
    b.bendCorrection = 2;
    b.outwardSlope = 3;
    b.returnSlope = 5;
    b.speed = 120;
    b.waitTime = 30;
    b.remainingWait = 7;
    for (int i = 0; i <= sections; ++i) b.points[i] = {40 * i + k, -3 * i};
    b.sections = sections;
    for (int i = 0; i < sections; ++i) b.sectionAngles[i] = 10 * i - 5;
    b.state = 0x81;  // run-time
    b.hAspect = 'G';
    b.tAspect = 'R';
    b.orangeEnds = 3;
    b.occupiedSections = 0x0006;  // run-time
    b.sectionInputs[0] = 9;
    for (int s = 1; s <= sections; ++s) b.sectionInputs[s] = static_cast<int16_t>(100 + 10 * k + s);
    b.sectionKinds[0] = 1;
    b.sectionKinds[sections - 1] = 6;
    b.padding1[0] = 1;
    b.padding1[1] = 2;
    b.padding1[2] = 3;
    for (int i = 0; i < sections; ++i) b.sectionLengths[i] = 40.5f + static_cast<float>(i);
    b.totalLength = 123;
    b.padding2[0] = 4;
    b.padding2[1] = 5;
    for (int i = 0; i < sections; ++i) {
        b.sectionDirections[i][0] = 0.6f;
        b.sectionDirections[i][1] = -0.8f;
    }
    return b;
}

inline TurnoutRec sampleTurnout(int k, int number, char subtype = 'l') {
    TurnoutRec t;
    t.number = static_cast<int16_t>(number);
    t.ownIndex = static_cast<int16_t>(k);
    t.subtype = subtype;
    t.position = 'R';
    t.options = 3;
    t.legs[0] = {k, 2};
    t.legs[1] = {32 + k, 2};
    t.legs[2] = {30 + k, -6};
    t.centre = {16 + k, -1};
    t.angle = -30;
    t.pulseTime = 2;
    t.reserved = 0x77;
    t.runState = 5;         // run-time
    t.vehicleFlags = 0x10;  // run-time
    return t;
}

inline SignalRec sampleSignal(int k) {
    SignalRec s;
    s.number = static_cast<int16_t>(20 + k);
    s.ownIndex = static_cast<int16_t>(k);
    s.direction = 'H';
    s.aspect = 'O';
    s.reserved1[0] = 0x31;
    s.reserved1[1] = 0x32;
    for (int i = 0; i < 4; ++i) s.outline[i] = {50 + i + k, 60 - i};
    s.angle = 45;
    s.pulseTime = 3;
    s.reserved2[0] = 0x41;
    s.reserved2[1] = 0x42;
    s.runState = 9;  // run-time
    s.orangeNumber = static_cast<int16_t>(21 + k);
    s.reserved3[0] = 0x51;
    s.reserved3[1] = 0x52;
    return s;
}

inline OutputRec sampleOutput(int k) {
    OutputRec o;
    o.key = static_cast<int16_t>(2 * (40 + k) + 1);
    o.ownIndex = static_cast<int16_t>(k);
    o.state = 'G';
    o.reserved1[0] = 1;
    o.reserved1[1] = 2;
    o.reserved1[2] = 3;
    for (int i = 0; i < 4; ++i) o.outline[i] = {70 + k, 80 + i};
    o.angle = 180;
    o.pulseTime = 5;
    o.reserved2[0] = 4;
    o.reserved2[1] = 5;
    o.runFlags = 6;  // run-time
    return o;
}

inline InputRec sampleInput(int k) {
    InputRec i;
    i.number = static_cast<int16_t>(200 + k);
    i.ownIndex = static_cast<int16_t>(k);
    i.state = 1;
    i.reserved1[0] = 7;
    i.reserved1[1] = 8;
    i.reserved1[2] = 9;
    i.anchor = {90 + k, 91};
    i.secondPoint = {100 + k, 91};
    i.angle = -90;
    i.reserved2[0] = 1;
    i.reserved2[1] = 2;
    i.reserved2[2] = 3;
    i.runState = 4;  // run-time
    return i;
}

inline TurntableRec sampleTurntable(int k) {
    TurntableRec t;
    t.number = static_cast<int16_t>(1 + k);
    t.ownIndex = static_cast<int16_t>(k);
    t.decoderSystem = 1;
    t.positions = 12;
    t.currentPosition = 3;
    t.secondPosition = 4;
    t.positionSpacing = 9;
    t.bridgeSpeed = 50;
    t.pulseTime = 2;
    t.timeout = 30;
    t.reserved1 = 0x66;
    t.runOn = 5;
    for (int i = 0; i < 13; ++i) t.reserved2[i] = static_cast<uint8_t>(0x80 + i);
    t.runState = 2;  // run-time
    t.centre[0] = 300.5f + static_cast<float>(k);
    t.centre[1] = 200.25f;
    t.bridgeAngle = 0.5f;
    t.currentAngle = 0.75f;
    t.angularSpeed = 0.005f;
    t.radius = 48.0f;
    for (int i = 0; i < 24; ++i) {
        t.outerEnds[i][0] = static_cast<int16_t>(3 * i - 30);
        t.outerEnds[i][1] = static_cast<int16_t>(40 - i);
        t.innerEnds[i][0] = static_cast<int16_t>(2 * i - 20);
        t.innerEnds[i][1] = static_cast<int16_t>(i - 34);
    }
    for (int i = 0; i < 40; ++i) t.positionOfConnection[i] = static_cast<uint8_t>(i % 13);
    t.startAddress = 17;
    t.inPositionInput = 301;
    t.occupancyInput = 302;
    t.padding[0] = 0x12;
    t.padding[1] = 0x34;
    return t;
}

inline ConnectionRec sampleConnection(char direction, const char* positions) {
    ConnectionRec c;
    c.reserved = 0x5A;
    c.loop = 1;
    c.direction = direction;
    for (int i = 0; positions[i]; ++i) c.positions[i] = positions[i];
    return c;
}

}  // namespace fx
