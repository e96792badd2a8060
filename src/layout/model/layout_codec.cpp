#include "layout/model/layout_codec.h"

#include <cassert>
#include <cstddef>

using vestrel::ByteReader;
using vestrel::ByteWriter;

namespace {

// One field list per record serves both directions: Reading fills the fields from the bytes,
// Writing appends them. Fields are visited in stored order, so the two can never disagree.
struct Reading {
    ByteReader& r;
    void u8(uint8_t& v) { v = r.u8(); }
    void i8(int8_t& v) { v = r.i8(); }
    void ch(char& v) { v = r.ch(); }
    void i16(int16_t& v) { v = r.i16(); }
    void i32(int32_t& v) { v = r.i32(); }
    void f32(float& v) { v = r.f32(); }
    void blob(uint8_t* p, size_t n) { r.bytes(p, n); }
    // Bytes without meaning in the stored image (run-time pointers, connection padding).
    void unused(size_t n) { r.skip(n); }
};

struct Writing {
    ByteWriter& w;
    void u8(uint8_t& v) { w.u8(v); }
    void i8(int8_t& v) { w.i8(v); }
    void ch(char& v) { w.ch(v); }
    void i16(int16_t& v) { w.i16(v); }
    void i32(int32_t& v) { w.i32(v); }
    void f32(float& v) { w.f32(v); }
    void blob(uint8_t* p, size_t n) { w.bytes(p, n); }
    void unused(size_t n) { w.zeros(n); }
};

template <class IO>
void point(IO& io, DiagramPoint& p) {
    io.i32(p.x);
    io.i32(p.y);
}

// Narrow forms store coordinates and counts as int16, widened with their sign.
int32_t wide(ByteReader& r) { return r.i16(); }
void widePoint(ByteReader& r, DiagramPoint& p) {
    p.x = wide(r);
    p.y = wide(r);
}

template <class IO>
void trackFields(IO& io, TrackRec& t) {
    for (DiagramPoint& p : t.points) point(io, p);
    io.i32(t.segments);
    for (int32_t& a : t.segmentAngles) io.i32(a);
    io.u8(t.flags);
    io.u8(t.locoOnIt);
    io.u8(t.ownIndex);
    io.u8(t.vehicleFlags);
}

// The block form for P points: every per-section array holds P - 1 entries.
template <class IO>
void blockFields(IO& io, BlockRec& b, int points) {
    const int n = points - 1;
    io.unused(8);  // arrived and assigned train
    io.i16(b.number);
    io.i16(b.ownIndex);
    io.u8(b.allowedTrains);
    io.ch(b.allowedDirection);
    io.blob(b.reserved1, sizeof b.reserved1);
    io.u8(b.flags);
    io.i8(b.bendCorrection);
    io.i8(b.outwardSlope);
    io.i8(b.returnSlope);
    io.i32(b.speed);
    io.i32(b.waitTime);
    io.i32(b.remainingWait);
    for (int i = 0; i < points; ++i) point(io, b.points[i]);
    io.i32(b.sections);
    for (int i = 0; i < n; ++i) io.i32(b.sectionAngles[i]);
    io.u8(b.state);
    io.ch(b.hAspect);
    io.ch(b.tAspect);
    io.u8(b.orangeEnds);
    io.i16(b.occupiedSections);
    for (int i = 0; i <= n; ++i) io.i16(b.sectionInputs[i]);
    for (int i = 0; i < n; ++i) io.u8(b.sectionKinds[i]);
    io.blob(b.padding1, static_cast<size_t>((4 - (3 * n + 8) % 4) % 4));  // realigns the lengths
    for (int i = 0; i < n; ++i) io.f32(b.sectionLengths[i]);
    io.i16(b.totalLength);
    io.blob(b.padding2, sizeof b.padding2);
    for (int i = 0; i < n; ++i) {
        io.f32(b.sectionDirections[i][0]);
        io.f32(b.sectionDirections[i][1]);
    }
}

// Holder up to and including the legs (44 bytes).
template <class IO>
void turnoutHead(IO& io, TurnoutRec& t) {
    io.unused(4);  // holder
    io.i16(t.number);
    io.i16(t.ownIndex);
    io.ch(t.subtype);
    io.ch(t.position);
    io.u8(t.partner);
    io.u8(t.options);
    for (DiagramPoint& p : t.legs) point(io, p);
}

// Centre up to the end (16 bytes).
template <class IO>
void turnoutTail(IO& io, TurnoutRec& t) {
    point(io, t.centre);
    io.i32(t.angle);
    io.u8(t.pulseTime);
    io.u8(t.reserved);
    io.u8(t.runState);
    io.u8(t.vehicleFlags);
}

template <class IO>
void signalFields(IO& io, SignalRec& s, int32_t& block, bool withOrange) {
    io.i32(block);
    io.i16(s.number);
    io.i16(s.ownIndex);
    io.ch(s.direction);
    io.ch(s.aspect);
    io.blob(s.reserved1, sizeof s.reserved1);
    for (DiagramPoint& p : s.outline) point(io, p);
    io.i32(s.angle);
    io.u8(s.pulseTime);
    io.blob(s.reserved2, sizeof s.reserved2);
    io.u8(s.runState);
    if (!withOrange) return;
    io.i16(s.orangeNumber);
    io.blob(s.reserved3, sizeof s.reserved3);
}

template <class IO>
void outputFields(IO& io, OutputRec& o) {
    io.i16(o.key);
    io.i16(o.ownIndex);
    io.ch(o.state);
    io.blob(o.reserved1, sizeof o.reserved1);
    for (DiagramPoint& p : o.outline) point(io, p);
    io.i32(o.angle);
    io.u8(o.pulseTime);
    io.blob(o.reserved2, sizeof o.reserved2);
    io.u8(o.runFlags);
}

template <class IO>
void inputFields(IO& io, InputRec& i) {
    io.i16(i.number);
    io.i16(i.ownIndex);
    io.u8(i.state);
    io.blob(i.reserved1, sizeof i.reserved1);
    point(io, i.anchor);
    point(io, i.secondPoint);
    io.i32(i.angle);
    io.blob(i.reserved2, sizeof i.reserved2);
    io.u8(i.runState);
}

template <class IO>
void turntableFields(IO& io, TurntableRec& t, int32_t& track) {
    io.i16(t.number);
    io.i16(t.ownIndex);
    for (uint8_t* b : {&t.decoderSystem, &t.positions, &t.currentPosition, &t.secondPosition, &t.positionSpacing,
                       &t.bridgeSpeed, &t.pulseTime, &t.timeout, &t.reserved1, &t.runOn})
        io.u8(*b);
    io.blob(t.reserved2, sizeof t.reserved2);
    io.u8(t.runState);
    for (float* f : {&t.centre[0], &t.centre[1], &t.bridgeAngle, &t.currentAngle, &t.angularSpeed, &t.radius})
        io.f32(*f);
    for (auto& end : t.outerEnds) {
        io.i16(end[0]);
        io.i16(end[1]);
    }
    for (auto& end : t.innerEnds) {
        io.i16(end[0]);
        io.i16(end[1]);
    }
    io.blob(t.positionOfConnection, sizeof t.positionOfConnection);
    io.i16(t.startAddress);
    io.i16(t.inPositionInput);
    io.i16(t.occupancyInput);
    io.blob(t.padding, sizeof t.padding);
    io.i32(track);
    io.unused(4);  // locomotive on the bridge
}

// The three connection forms differ in the number of turnout entries and in their padding.
struct ConnectionForm {
    int turnouts;
    size_t padAfterDirection;
    size_t padAtEnd;
};
constexpr ConnectionForm kConnectionFull{kConnectionTurnouts, 1, 3};
constexpr ConnectionForm kConnectionShort{kShortConnectionTurnouts, 1, 1};
constexpr ConnectionForm kConnectionNarrow{kShortConnectionTurnouts, 0, 0};

template <class IO>
void connectionFields(IO& io, ConnectionRec& c, ConnectionLinks& l, const ConnectionForm& form) {
    io.i32(l.from);
    io.i32(l.to);
    io.u8(c.reserved);
    io.u8(c.loop);
    io.ch(c.direction);
    io.unused(form.padAfterDirection);
    for (int i = 0; i < form.turnouts; ++i) io.i32(l.turnouts[i]);
    for (int i = 0; i < form.turnouts; ++i) io.ch(c.positions[i]);
    io.u8(c.endMark);
    io.unused(form.padAtEnd);
}

// Encoders visit a copy, so that one field list (taking references) serves both directions.
template <class Rec, class Fields>
void encodeWith(ByteWriter& w, const Rec& rec, int size, Fields fields) {
    [[maybe_unused]] const size_t start = w.size();
    Rec copy = rec;
    Writing io{w};
    fields(io, copy);
    assert(w.size() - start == static_cast<size_t>(size));
    (void)size;
}

template <class Rec, class Fields>
bool decodeWith(ByteReader& r, Rec& rec, Fields fields) {
    rec = Rec{};
    Reading io{r};
    fields(io, rec);
    return r.ok();
}

}  // namespace

void encodeTrack(ByteWriter& w, const TrackRec& t) {
    encodeWith(w, t, kTrackRecSize, [](Writing& io, TrackRec& x) { trackFields(io, x); });
}

bool decodeTrack(ByteReader& r, TrackRec& t) {
    return decodeWith(r, t, [](Reading& io, TrackRec& x) { trackFields(io, x); });
}

bool decodeTrackNarrow(ByteReader& r, TrackRec& t) {
    t = TrackRec{};
    for (DiagramPoint& p : t.points) widePoint(r, p);
    t.segments = wide(r);
    for (int32_t& a : t.segmentAngles) a = wide(r);
    r.skip(1);
    return r.ok();
}

void encodeBlock(ByteWriter& w, const BlockRec& b) {
    encodeWith(w, b, kBlockRecSize, [](Writing& io, BlockRec& x) { blockFields(io, x, kMaxSections + 1); });
}

bool decodeBlock(ByteReader& r, BlockRec& b, int points) {
    assert(points >= 2 && points <= kMaxSections + 1);
    return decodeWith(r, b, [points](Reading& io, BlockRec& x) { blockFields(io, x, points); });
}

bool decodeBlockNarrow(ByteReader& r, BlockRec& b) {
    b = BlockRec{};
    b.outwardSlope = b.returnSlope = 0;  // not held in this form
    r.skip(8);
    b.number = r.i16();
    b.allowedTrains = r.u8();
    b.allowedDirection = r.ch();
    r.bytes(b.reserved1, sizeof b.reserved1);
    b.flags = r.u8();
    b.speed = wide(r);
    b.waitTime = wide(r);
    b.remainingWait = wide(r);
    for (int i = 0; i < kNarrowBlockPoints; ++i) widePoint(r, b.points[i]);
    b.sections = wide(r);
    for (int i = 0; i < kNarrowBlockPoints - 1; ++i) b.sectionAngles[i] = wide(r);
    b.state = r.u8();
    return r.ok();
}

void encodeTurnout(ByteWriter& w, const TurnoutRec& t) {
    encodeWith(w, t, kTurnoutRecSize, [](Writing& io, TurnoutRec& x) {
        turnoutHead(io, x);
        turnoutTail(io, x);
    });
}

bool decodeTurnout(ByteReader& r, TurnoutRec& t) {
    return decodeWith(r, t, [](Reading& io, TurnoutRec& x) {
        turnoutHead(io, x);
        turnoutTail(io, x);
    });
}

bool decodeTurnoutShort(ByteReader& r, TurnoutRec& t) {
    return decodeWith(r, t, [](Reading& io, TurnoutRec& x) {
        turnoutHead(io, x);
        io.unused(16);
        turnoutTail(io, x);
    });
}

bool decodeTurnoutNarrow(ByteReader& r, TurnoutRec& t) {
    t = TurnoutRec{};
    r.skip(4);
    t.number = r.i16();
    t.subtype = r.ch();
    t.position = r.ch();
    for (DiagramPoint& p : t.legs) widePoint(r, p);
    r.skip(8);
    widePoint(r, t.centre);
    t.angle = wide(r);
    r.skip(1);
    return r.ok();
}

void encodeSignal(ByteWriter& w, const SignalRec& s, int32_t blockIndex) {
    encodeWith(w, s, kSignalRecSize, [blockIndex](Writing& io, SignalRec& x) mutable {
        signalFields(io, x, blockIndex, true);
    });
}

bool decodeSignal(ByteReader& r, SignalRec& s, int32_t& blockIndex) {
    return decodeWith(r, s, [&blockIndex](Reading& io, SignalRec& x) { signalFields(io, x, blockIndex, true); });
}

bool decodeSignalV0(ByteReader& r, SignalRec& s, int32_t& blockIndex) {
    return decodeWith(r, s, [&blockIndex](Reading& io, SignalRec& x) { signalFields(io, x, blockIndex, false); });
}

bool decodeSignalNarrow(ByteReader& r, SignalRec& s, int32_t& blockIndex) {
    s = SignalRec{};
    blockIndex = r.i32();
    s.number = r.i16();
    s.direction = r.ch();
    s.aspect = r.ch();
    for (DiagramPoint& p : s.outline) widePoint(r, p);
    s.angle = wide(r);
    r.skip(1);
    return r.ok();
}

void encodeOutput(ByteWriter& w, const OutputRec& o) {
    encodeWith(w, o, kOutputRecSize, [](Writing& io, OutputRec& x) { outputFields(io, x); });
}

bool decodeOutput(ByteReader& r, OutputRec& o) {
    return decodeWith(r, o, [](Reading& io, OutputRec& x) { outputFields(io, x); });
}

void encodeInput(ByteWriter& w, const InputRec& i) {
    encodeWith(w, i, kInputRecSize, [](Writing& io, InputRec& x) { inputFields(io, x); });
}

bool decodeInput(ByteReader& r, InputRec& i) {
    return decodeWith(r, i, [](Reading& io, InputRec& x) { inputFields(io, x); });
}

void encodeTurntable(ByteWriter& w, const TurntableRec& t, int32_t trackIndex) {
    encodeWith(w, t, kTurntableRecSize, [trackIndex](Writing& io, TurntableRec& x) mutable {
        turntableFields(io, x, trackIndex);
    });
}

bool decodeTurntable(ByteReader& r, TurntableRec& t, int32_t& trackIndex) {
    return decodeWith(r, t, [&trackIndex](Reading& io, TurntableRec& x) { turntableFields(io, x, trackIndex); });
}

void encodeConnection(ByteWriter& w, const ConnectionRec& c, const ConnectionLinks& links) {
    encodeWith(w, c, kConnectionRecSize, [l = links](Writing& io, ConnectionRec& x) mutable {
        connectionFields(io, x, l, kConnectionFull);
    });
}

namespace {
bool decodeConnectionForm(ByteReader& r, ConnectionRec& c, ConnectionLinks& links, const ConnectionForm& form) {
    links = ConnectionLinks{};
    return decodeWith(r, c, [&](Reading& io, ConnectionRec& x) { connectionFields(io, x, links, form); });
}
}  // namespace

bool decodeConnection(ByteReader& r, ConnectionRec& c, ConnectionLinks& links) {
    return decodeConnectionForm(r, c, links, kConnectionFull);
}

bool decodeConnectionShort(ByteReader& r, ConnectionRec& c, ConnectionLinks& links) {
    return decodeConnectionForm(r, c, links, kConnectionShort);
}

bool decodeConnectionNarrow(ByteReader& r, ConnectionRec& c, ConnectionLinks& links) {
    return decodeConnectionForm(r, c, links, kConnectionNarrow);
}

int32_t signalBlockLink(const SignalRec& s) {
    const int i = gBlocks.indexOfLinked(s.block);
    return i < 0 ? gBlockCount : i;
}

int32_t turntableTrackLink(const TurntableRec& t) { return gTracks.indexOfLinked(t.track); }

ConnectionLinks connectionLinks(const ConnectionRec& c) {
    ConnectionLinks l;
    l.from = gBlocks.indexOfLinked(c.from);
    l.to = gBlocks.indexOfLinked(c.to);
    for (int i = 0; i < kConnectionTurnouts; ++i) {
        const int t = gTurnouts.indexOfLinked(c.turnouts[i]);
        if (t < 0) break;
        l.turnouts[i] = t + 1;
    }
    return l;
}

bool resolveSignalBlock(SignalRec& s, int32_t blockIndex) {
    if (blockIndex < 0 || blockIndex > gBlockCount) return false;
    s.block = gBlocks[blockIndex];  // the block count itself gives null: no block
    return true;
}

bool resolveTurntableTrack(TurntableRec& t, int32_t trackIndex) {
    if (trackIndex < 0 || trackIndex >= gTrackCount) return false;
    t.track = gTracks[trackIndex];
    return true;
}

bool resolveConnectionLinks(ConnectionRec& c, const ConnectionLinks& links) {
    const auto inBlocks = [](int32_t i) { return i >= 0 && i < gBlockCount; };
    if (!inBlocks(links.from) || !inBlocks(links.to)) return false;
    TurnoutRec* turnouts[kConnectionTurnouts] = {};
    for (int i = 0; i < kConnectionTurnouts && links.turnouts[i] != 0; ++i) {
        if (links.turnouts[i] < 0 || links.turnouts[i] > gTurnoutCount) return false;
        turnouts[i] = gTurnouts[links.turnouts[i] - 1];
    }
    c.from = gBlocks[links.from];
    c.to = gBlocks[links.to];
    for (int i = 0; i < kConnectionTurnouts; ++i) c.turnouts[i] = turnouts[i];
    return true;
}
