#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "layout/model/layout_codec.h"
#include "layout/layout_fixtures.h"

using vestrel::ByteReader;
using vestrel::ByteWriter;

namespace {

int16_t at16(const std::vector<uint8_t>& b, size_t off) { return static_cast<int16_t>(b[off] | (b[off + 1] << 8)); }
int32_t at32(const std::vector<uint8_t>& b, size_t off) {
    return static_cast<int32_t>(b[off] | (b[off + 1] << 8) | (b[off + 2] << 16) | (static_cast<uint32_t>(b[off + 3]) << 24));
}
float atF(const std::vector<uint8_t>& b, size_t off) {
    const uint32_t bits = static_cast<uint32_t>(at32(b, off));
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

template <class Encode>
std::vector<uint8_t> encoded(Encode encode) {
    ByteWriter w;
    encode(w);
    return w.data();
}

fx::Links sampleLinks() {
    fx::Links l;
    l.from = 4;
    l.to = 7;
    l.turnouts[0] = 3;
    l.turnouts[1] = 1;
    return l;
}

ConnectionLinks asLinks(const fx::Links& l) {
    ConnectionLinks c;
    c.from = l.from;
    c.to = l.to;
    for (int i = 0; i < 20; ++i) c.turnouts[i] = l.turnouts[i];
    return c;
}

}  // namespace

// Every encoder against the hand-made image of the same record, and a few fields at literal offsets.
TEST(RecordCodec, EncodersWriteTheStoredLayoutFieldByField) {
    {
        const auto b = encoded([](ByteWriter& w) { encodeTrack(w, fx::sampleTrack(4)); });
        fx::Bytes f;
        fx::track(f, fx::sampleTrack(4));
        EXPECT_EQ(b, f.b);
        ASSERT_EQ(b.size(), 52u);
        EXPECT_EQ(at32(b, 4), -204);  // point 0 y
        EXPECT_EQ(at32(b, 32), 2);    // segments
        EXPECT_EQ(at32(b, 40), -45);  // angle 1
        EXPECT_EQ(b[48], 0x05);
        EXPECT_EQ(b[50], 4);          // own index
    }
    {
        const BlockRec blk = fx::sampleBlock(2, 7);
        const auto b = encoded([&](ByteWriter& w) { encodeBlock(w, blk); });
        fx::Bytes f;
        fx::block(f, blk, 16, 0);
        EXPECT_EQ(b, f.b);
        ASSERT_EQ(b.size(), 464u);
        EXPECT_EQ(at32(b, 0), 0);     // train pointers are not stored
        EXPECT_EQ(at16(b, 8), 12);    // number
        EXPECT_EQ(b[13], 'B');
        EXPECT_EQ(b[19], 5);          // return slope
        EXPECT_EQ(at32(b, 20), 120);  // speed
        EXPECT_EQ(at32(b, 32 + 8 * 7), 7 * 40 + 2);  // point 7 x
        EXPECT_EQ(at32(b, 160), 7);   // sections
        EXPECT_EQ(at32(b, 164 + 4 * 6), 55);  // angle of section 7
        EXPECT_EQ(b[224], 0x81);      // state
        EXPECT_EQ(b[226], 'R');       // 'T' aspect
        EXPECT_EQ(at16(b, 228), 6);   // occupied sections
        EXPECT_EQ(at16(b, 230), 9);   // input slot 0
        EXPECT_EQ(at16(b, 230 + 2 * 7), 127);  // input of section 7
        EXPECT_EQ(b[262], 1);         // kind of section 1
        EXPECT_EQ(b[268], 6);         // kind of section 7
        EXPECT_EQ(b[277], 1);         // padding
        EXPECT_FLOAT_EQ(atF(b, 280), 40.5f);
        EXPECT_EQ(at16(b, 340), 123); // total length
        EXPECT_FLOAT_EQ(atF(b, 348), -0.8f);  // direction y of section 1
    }
    {
        const auto b = encoded([](ByteWriter& w) { encodeTurnout(w, fx::sampleTurnout(1, 3005, 'r')); });
        fx::Bytes f;
        fx::turnout(f, fx::sampleTurnout(1, 3005, 'r'), 0);
        EXPECT_EQ(b, f.b);
        ASSERT_EQ(b.size(), 60u);
        EXPECT_EQ(at16(b, 4), 3005);
        EXPECT_EQ(b[8], 'r');
        EXPECT_EQ(b[11], 3);          // options
        EXPECT_EQ(at32(b, 20), 33);   // leg 1 x
        EXPECT_EQ(at32(b, 44), 17);   // centre x
        EXPECT_EQ(at32(b, 52), -30);  // angle
        EXPECT_EQ(b[57], 0x77);       // reserved
    }
    {
        const auto b = encoded([](ByteWriter& w) { encodeSignal(w, fx::sampleSignal(0), 6); });
        fx::Bytes f;
        fx::signal(f, fx::sampleSignal(0), 6);
        EXPECT_EQ(b, f.b);
        ASSERT_EQ(b.size(), 56u);
        EXPECT_EQ(at32(b, 0), 6);     // block index
        EXPECT_EQ(b[9], 'O');
        EXPECT_EQ(at32(b, 44), 45);
        EXPECT_EQ(b[51], 9);          // run-time state
        EXPECT_EQ(at16(b, 52), 21);   // orange number
        EXPECT_EQ(b[55], 0x52);
    }
    {
        const auto b = encoded([](ByteWriter& w) { encodeOutput(w, fx::sampleOutput(1)); });
        fx::Bytes f;
        fx::output(f, fx::sampleOutput(1));
        EXPECT_EQ(b, f.b);
        ASSERT_EQ(b.size(), 48u);
        EXPECT_EQ(at16(b, 0), 83);    // key: address 41, green button
        EXPECT_EQ(at32(b, 40), 180);
        EXPECT_EQ(b[44], 5);
        EXPECT_EQ(b[47], 6);
    }
    {
        const auto b = encoded([](ByteWriter& w) { encodeInput(w, fx::sampleInput(2)); });
        fx::Bytes f;
        fx::input(f, fx::sampleInput(2));
        EXPECT_EQ(b, f.b);
        ASSERT_EQ(b.size(), 32u);
        EXPECT_EQ(at32(b, 16), 102);  // second point x
        EXPECT_EQ(at32(b, 24), -90);
        EXPECT_EQ(b[31], 4);
    }
    {
        const auto b = encoded([](ByteWriter& w) { encodeTurntable(w, fx::sampleTurntable(0), 5); });
        fx::Bytes f;
        fx::turntable(f, fx::sampleTurntable(0), 5, 0);
        EXPECT_EQ(b, f.b);
        ASSERT_EQ(b.size(), 300u);
        EXPECT_EQ(b[5], 12);          // positions
        EXPECT_EQ(b[26], 0x8C);       // last reserved byte
        EXPECT_FLOAT_EQ(atF(b, 28), 300.5f);
        EXPECT_FLOAT_EQ(atF(b, 48), 48.0f);  // radius
        EXPECT_EQ(at16(b, 52), -30);  // outer end 0 x
        EXPECT_EQ(at16(b, 148 + 4 * 23 + 2), -11);  // inner end 23 y
        EXPECT_EQ(b[244 + 14], 1);    // position of connection 14
        EXPECT_EQ(at16(b, 284), 17);
        EXPECT_EQ(at16(b, 288), 302);
        EXPECT_EQ(at32(b, 292), 5);   // track index
        EXPECT_EQ(at32(b, 296), 0);   // locomotive not stored
    }
    {
        const ConnectionRec c = fx::sampleConnection('T', "RG");
        const auto b = encoded([&](ByteWriter& w) { encodeConnection(w, c, asLinks(sampleLinks())); });
        fx::Bytes f;
        fx::connection(f, c, sampleLinks(), 0);
        EXPECT_EQ(b, f.b);
        ASSERT_EQ(b.size(), 116u);
        EXPECT_EQ(at32(b, 4), 7);     // to
        EXPECT_EQ(b[10], 'T');
        EXPECT_EQ(at32(b, 12), 3);    // first turnout entry
        EXPECT_EQ(at32(b, 20), 0);    // list ends
        EXPECT_EQ(b[93], 'G');        // position of turnout 2
        EXPECT_EQ(b[112], 0);         // end mark
    }
}

// Bytes that mean nothing in the file (train pointers, connection padding) are ignored when read and
// written as 0; every other byte, reserved ones included, comes back as it was.
TEST(RecordCodec, DecodersReadWhatTheEncodersWrite) {
    const auto roundTrip = [](const fx::Bytes& fixture, const std::function<bool(ByteReader&, ByteWriter&)>& step) {
        ByteReader r(fixture.b);
        ByteWriter w;
        EXPECT_TRUE(step(r, w));
        EXPECT_EQ(r.pos(), fixture.size());
        return w.data();
    };
    const int junk = 0xA5;
    fx::Bytes withJunk, clean;

    fx::block(withJunk, fx::sampleBlock(1, 5), 16, junk);
    fx::block(clean, fx::sampleBlock(1, 5), 16, 0);
    EXPECT_EQ(roundTrip(withJunk, [](ByteReader& r, ByteWriter& w) {
                  BlockRec b;
                  const bool ok = decodeBlock(r, b);
                  EXPECT_EQ(b.arrivedTrain, nullptr);
                  encodeBlock(w, b);
                  return ok;
              }),
              clean.b);

    withJunk = clean = {};
    fx::turnout(withJunk, fx::sampleTurnout(0, 9), junk);
    fx::turnout(clean, fx::sampleTurnout(0, 9), 0);
    EXPECT_EQ(roundTrip(withJunk, [](ByteReader& r, ByteWriter& w) {
                  TurnoutRec t;
                  const bool ok = decodeTurnout(r, t);
                  encodeTurnout(w, t);
                  return ok;
              }),
              clean.b);

    withJunk = clean = {};
    fx::turntable(withJunk, fx::sampleTurntable(2), 1, junk);
    fx::turntable(clean, fx::sampleTurntable(2), 1, 0);
    EXPECT_EQ(roundTrip(withJunk, [](ByteReader& r, ByteWriter& w) {
                  TurntableRec t;
                  int32_t track = -1;
                  const bool ok = decodeTurntable(r, t, track);
                  EXPECT_EQ(track, 1);
                  encodeTurntable(w, t, track);
                  return ok;
              }),
              clean.b);

    withJunk = clean = {};
    const ConnectionRec c = fx::sampleConnection('H', "GRR");
    fx::connection(withJunk, c, sampleLinks(), junk);
    fx::connection(clean, c, sampleLinks(), 0);
    EXPECT_EQ(roundTrip(withJunk, [](ByteReader& r, ByteWriter& w) {
                  ConnectionRec x;
                  ConnectionLinks l;
                  const bool ok = decodeConnection(r, x, l);
                  EXPECT_EQ(l.turnouts[0], 3);
                  encodeConnection(w, x, l);
                  return ok;
              }),
              clean.b);

    for (auto [fixture, decodeEncode] : std::vector<std::pair<fx::Bytes, std::function<bool(ByteReader&, ByteWriter&)>>>{
             {[] { fx::Bytes f; fx::track(f, fx::sampleTrack(3)); return f; }(),
              [](ByteReader& r, ByteWriter& w) { TrackRec t; bool ok = decodeTrack(r, t); encodeTrack(w, t); return ok; }},
             {[] { fx::Bytes f; fx::signal(f, fx::sampleSignal(3), 2); return f; }(),
              [](ByteReader& r, ByteWriter& w) { SignalRec s; int32_t b; bool ok = decodeSignal(r, s, b); encodeSignal(w, s, b); return ok; }},
             {[] { fx::Bytes f; fx::output(f, fx::sampleOutput(3)); return f; }(),
              [](ByteReader& r, ByteWriter& w) { OutputRec o; bool ok = decodeOutput(r, o); encodeOutput(w, o); return ok; }},
             {[] { fx::Bytes f; fx::input(f, fx::sampleInput(3)); return f; }(),
              [](ByteReader& r, ByteWriter& w) { InputRec i; bool ok = decodeInput(r, i); encodeInput(w, i); return ok; }},
         })
        EXPECT_EQ(roundTrip(fixture, decodeEncode), fixture.b);
}

// Blocks of older files: every per-section array shortened to P-1 entries, the rest of the record 0.
TEST(RecordCodec, OlderBlockFormsForEightAndElevenPoints) {
    for (int P : {8, 11}) {
        SCOPED_TRACE(P);
        const BlockRec src = fx::sampleBlock(3, 7);
        fx::Bytes f;
        fx::block(f, src, P, 0xEE);
        ByteReader r(f.b);
        BlockRec b;
        ASSERT_TRUE(decodeBlock(r, b, P));
        EXPECT_EQ(r.pos(), static_cast<size_t>(blockRecSize(P)));
        // Same record read back through the current form: the 16-point image of what was read.
        fx::Bytes want;
        BlockRec expect = src;
        if (P == 11) expect.padding1[2] = 0;  // only two padding bytes in this form
        fx::block(want, expect, 16, 0);
        ByteWriter w;
        encodeBlock(w, b);
        EXPECT_EQ(w.data(), want.b);
        EXPECT_EQ(b.sections, 7);
        EXPECT_EQ(b.sectionInputs[7], 137);
        EXPECT_FLOAT_EQ(b.sectionDirections[6][1], -0.8f);
    }
}

TEST(RecordCodec, ShortFormsOfOldVersions) {
    {  // turnout of versions 0..2: 16 ignored bytes between the legs and the centre
        fx::Bytes f;
        fx::turnout(f, fx::sampleTurnout(2, 44), 0xEE, true);
        ByteReader r(f.b);
        TurnoutRec t;
        ASSERT_TRUE(decodeTurnoutShort(r, t));
        EXPECT_EQ(r.pos(), 76u);
        fx::Bytes want;
        fx::turnout(want, fx::sampleTurnout(2, 44), 0);
        ByteWriter w;
        encodeTurnout(w, t);
        EXPECT_EQ(w.data(), want.b);
    }
    {  // signal of version 0: no orange number, no last reserved bytes
        fx::Bytes f;
        fx::signal(f, fx::sampleSignal(1), 3, true);
        ByteReader r(f.b);
        SignalRec s;
        int32_t block = -1;
        ASSERT_TRUE(decodeSignalV0(r, s, block));
        EXPECT_EQ(r.pos(), 52u);
        EXPECT_EQ(block, 3);
        EXPECT_EQ(s.angle, 45);
        EXPECT_EQ(s.runState, 9);
        EXPECT_EQ(s.orangeNumber, 0);
        EXPECT_EQ(s.reserved3[0], 0);
    }
    {  // connection of versions 0..3: 10 turnout entries
        ConnectionRec src = fx::sampleConnection('T', "RRRRRRRRRG");
        fx::Links l = sampleLinks();
        for (int i = 0; i < 10; ++i) l.turnouts[i] = i + 1;
        fx::Bytes f;
        fx::connection(f, src, l, 0xEE, fx::ConnForm::Short);
        ByteReader r(f.b);
        ConnectionRec c;
        ConnectionLinks got;
        ASSERT_TRUE(decodeConnectionShort(r, c, got));
        EXPECT_EQ(r.pos(), 64u);
        EXPECT_EQ(got.to, 7);
        EXPECT_EQ(got.turnouts[9], 10);
        EXPECT_EQ(got.turnouts[10], 0);
        EXPECT_EQ(c.positions[9], 'G');
        EXPECT_EQ(c.positions[10], 0);
        EXPECT_EQ(c.reserved, 0x5A);
        EXPECT_EQ(c.direction, 'T');
    }
}

// Files without header: int16 values widened with their sign, fields the form lacks start at 0.
TEST(RecordCodec, NarrowFormsOfFilesWithoutHeader) {
    {
        fx::Bytes f;
        fx::trackNarrow(f, fx::sampleTrack(1), 0xEE);
        ByteReader r(f.b);
        TrackRec t;
        ASSERT_TRUE(decodeTrackNarrow(r, t));
        EXPECT_EQ(r.pos(), 25u);
        EXPECT_EQ(t.points[0].y, -201);
        EXPECT_EQ(t.segments, 2);
        EXPECT_EQ(t.segmentAngles[1], -45);
        EXPECT_EQ(t.flags, 0);
        EXPECT_EQ(t.locoOnIt, 0);
    }
    {
        fx::Bytes f;
        fx::blockNarrow(f, fx::sampleBlock(2, 7), 0xEE);
        ByteReader r(f.b);
        BlockRec b;
        ASSERT_TRUE(decodeBlockNarrow(r, b));
        EXPECT_EQ(r.pos(), 70u);
        EXPECT_EQ(b.number, 12);
        EXPECT_EQ(b.allowedDirection, 'B');
        EXPECT_EQ(b.reserved1[1], 0x22);
        EXPECT_EQ(b.flags, 0x13);
        EXPECT_EQ(b.speed, 120);
        EXPECT_EQ(b.remainingWait, 7);
        EXPECT_EQ(b.points[7].x, 282);
        EXPECT_EQ(b.points[7].y, -21);
        EXPECT_EQ(b.sections, 7);
        EXPECT_EQ(b.sectionAngles[6], 55);
        EXPECT_EQ(b.state, 0x81);
        EXPECT_EQ(b.outwardSlope, 0);
        EXPECT_EQ(b.returnSlope, 0);
        EXPECT_EQ(b.sectionInputs[1], 0);
        EXPECT_EQ(b.hAspect, 0);
    }
    {
        fx::Bytes f;
        fx::turnoutNarrow(f, fx::sampleTurnout(0, 2047, 'k'), 0xEE);
        ByteReader r(f.b);
        TurnoutRec t;
        ASSERT_TRUE(decodeTurnoutNarrow(r, t));
        EXPECT_EQ(r.pos(), 39u);
        EXPECT_EQ(t.number, 2047);
        EXPECT_EQ(t.subtype, 'k');
        EXPECT_EQ(t.position, 'R');
        EXPECT_EQ(t.legs[2].y, -6);
        EXPECT_EQ(t.centre.x, 16);
        EXPECT_EQ(t.angle, -30);
        EXPECT_EQ(t.options, 0);
        EXPECT_EQ(t.pulseTime, 0);
    }
    {
        fx::Bytes f;
        fx::signalNarrow(f, fx::sampleSignal(2), 1, 0xEE);
        ByteReader r(f.b);
        SignalRec s;
        int32_t block = -1;
        ASSERT_TRUE(decodeSignalNarrow(r, s, block));
        EXPECT_EQ(r.pos(), 27u);
        EXPECT_EQ(block, 1);
        EXPECT_EQ(s.number, 22);
        EXPECT_EQ(s.aspect, 'O');
        EXPECT_EQ(s.outline[3].x, 55);
        EXPECT_EQ(s.angle, 45);
        EXPECT_EQ(s.pulseTime, 0);
    }
    {
        fx::Bytes f;
        fx::connection(f, fx::sampleConnection('H', "GR"), sampleLinks(), 0xEE, fx::ConnForm::Narrow);
        ByteReader r(f.b);
        ConnectionRec c;
        ConnectionLinks l;
        ASSERT_TRUE(decodeConnectionNarrow(r, c, l));
        EXPECT_EQ(r.pos(), 62u);
        EXPECT_EQ(l.from, 4);
        EXPECT_EQ(l.turnouts[1], 1);
        EXPECT_EQ(c.loop, 1);
        EXPECT_EQ(c.positions[1], 'R');
    }
}

TEST(RecordCodec, AShortReadFailsEveryDecoder) {
    std::vector<std::pair<int, std::function<bool(ByteReader&)>>> decoders = {
        {52, [](ByteReader& r) { TrackRec t; return decodeTrack(r, t); }},
        {25, [](ByteReader& r) { TrackRec t; return decodeTrackNarrow(r, t); }},
        {464, [](ByteReader& r) { BlockRec b; return decodeBlock(r, b); }},
        {248, [](ByteReader& r) { BlockRec b; return decodeBlock(r, b, 8); }},
        {70, [](ByteReader& r) { BlockRec b; return decodeBlockNarrow(r, b); }},
        {60, [](ByteReader& r) { TurnoutRec t; return decodeTurnout(r, t); }},
        {76, [](ByteReader& r) { TurnoutRec t; return decodeTurnoutShort(r, t); }},
        {39, [](ByteReader& r) { TurnoutRec t; return decodeTurnoutNarrow(r, t); }},
        {56, [](ByteReader& r) { SignalRec s; int32_t b; return decodeSignal(r, s, b); }},
        {52, [](ByteReader& r) { SignalRec s; int32_t b; return decodeSignalV0(r, s, b); }},
        {27, [](ByteReader& r) { SignalRec s; int32_t b; return decodeSignalNarrow(r, s, b); }},
        {48, [](ByteReader& r) { OutputRec o; return decodeOutput(r, o); }},
        {32, [](ByteReader& r) { InputRec i; return decodeInput(r, i); }},
        {300, [](ByteReader& r) { TurntableRec t; int32_t x; return decodeTurntable(r, t, x); }},
        {116, [](ByteReader& r) { ConnectionRec c; ConnectionLinks l; return decodeConnection(r, c, l); }},
        {64, [](ByteReader& r) { ConnectionRec c; ConnectionLinks l; return decodeConnectionShort(r, c, l); }},
        {62, [](ByteReader& r) { ConnectionRec c; ConnectionLinks l; return decodeConnectionNarrow(r, c, l); }},
    };
    for (auto& [size, decode] : decoders) {
        SCOPED_TRACE(size);
        const std::vector<uint8_t> exact(static_cast<size_t>(size), 1), shortBy1(static_cast<size_t>(size - 1), 1);
        ByteReader r1(exact), r2(shortBy1);
        EXPECT_TRUE(decode(r1));
        EXPECT_TRUE(r1.atEnd());
        EXPECT_FALSE(decode(r2));
    }
}

TEST(RecordLinks, PointersBecomeIndexesAndBack) {
    gBlocks.clear();
    gTurnouts.clear();
    gTracks.clear();
    for (int i = 0; i < 3; ++i) gBlocks.append(std::make_unique<BlockRec>(fx::sampleBlock(i)));
    for (int i = 0; i < 2; ++i) gTurnouts.append(std::make_unique<TurnoutRec>(fx::sampleTurnout(i, 5 + i)));
    gTracks.append(std::make_unique<TrackRec>(fx::sampleTrack(0)));

    SignalRec s;
    EXPECT_EQ(signalBlockLink(s), 3);  // no block: the block count
    s.block = gBlocks[2];
    EXPECT_EQ(signalBlockLink(s), 2);
    EXPECT_TRUE(resolveSignalBlock(s, 3));
    EXPECT_EQ(s.block, nullptr);
    EXPECT_TRUE(resolveSignalBlock(s, 1));
    EXPECT_EQ(s.block, gBlocks[1]);
    EXPECT_FALSE(resolveSignalBlock(s, 4));
    EXPECT_FALSE(resolveSignalBlock(s, -1));
    EXPECT_EQ(s.block, gBlocks[1]);

    TurntableRec t;
    EXPECT_EQ(turntableTrackLink(t), -1);
    EXPECT_FALSE(resolveTurntableTrack(t, 1));
    EXPECT_TRUE(resolveTurntableTrack(t, 0));
    EXPECT_EQ(turntableTrackLink(t), 0);

    TurnoutRec stranger;
    ConnectionRec c;
    c.from = gBlocks[2];
    c.to = gBlocks[0];
    c.turnouts[0] = gTurnouts[1];
    c.turnouts[1] = gTurnouts[0];
    c.turnouts[2] = &stranger;  // not in the table: the list ends here
    c.turnouts[3] = gTurnouts[0];
    const ConnectionLinks l = connectionLinks(c);
    EXPECT_EQ(l.from, 2);
    EXPECT_EQ(l.to, 0);
    EXPECT_EQ(l.turnouts[0], 2);
    EXPECT_EQ(l.turnouts[1], 1);
    EXPECT_EQ(l.turnouts[2], 0);
    EXPECT_EQ(l.turnouts[3], 0);

    ConnectionRec back;
    ConnectionLinks in = l;
    in.turnouts[3] = 99;  // after the end of the list: not looked at
    ASSERT_TRUE(resolveConnectionLinks(back, in));
    EXPECT_EQ(back.from, gBlocks[2]);
    EXPECT_EQ(back.turnouts[0], gTurnouts[1]);
    EXPECT_EQ(back.turnouts[1], gTurnouts[0]);
    EXPECT_EQ(back.turnouts[3], nullptr);
    using Damage = void (*)(ConnectionLinks&);
    for (Damage bad : {+[](ConnectionLinks& x) { x.from = 3; }, +[](ConnectionLinks& x) { x.to = -1; },
                       +[](ConnectionLinks& x) { x.turnouts[1] = 3; }, +[](ConnectionLinks& x) { x.turnouts[0] = -2; }}) {
        ConnectionLinks x = l;
        bad(x);
        ConnectionRec untouched;
        EXPECT_FALSE(resolveConnectionLinks(untouched, x));
        EXPECT_EQ(untouched.from, nullptr);
    }
}
