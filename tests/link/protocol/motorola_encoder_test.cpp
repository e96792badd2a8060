// Motorola track packets against hand-made character strings, and decoded back by the test's decoder.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "link/protocol/motorola_encoder.h"
#include "operation/model/train_model.h"
#include "track_signal_decode.h"

namespace {

using tracksignal::Bytes;

std::unique_ptr<LocoRec> motorolaLoco(int number, int type, int step, char direction, bool f0) {
    auto l = std::make_unique<LocoRec>();
    l->number = static_cast<int16_t>(number);
    l->decoderType = static_cast<uint8_t>(type);
    l->run.lastStepSent = static_cast<uint8_t>(step);
    l->direction = direction;
    l->run.functionBits1 = f0 ? 0x10 : 0x00;
    l->packetCache = std::make_unique<PacketCache>();
    return l;
}

Bytes chars(const uint8_t* p, int n) { return Bytes(p, p + n); }

// Two characters per Motorola bit pair, "1" = 0x00, "0" = 0xFF.
constexpr uint8_t I = 0x00, O = 0xFF;

TEST(MotorolaAddress, TritsAgainstThePublishedTable) {
    // L 0, H 1, O 2, U 3; t0 first.
    const struct {
        int address;
        const char* trits;
    } table[] = {{1, "HLLL"},   {2, "OLLL"},   {3, "LHLL"},   {80, "LLLL"},  {81, "ULLL"},
                 {83, "OUUH"},  {123, "OUHH"}, {145, "LULL"}, {161, "HULL"}, {191, "UULL"},
                 {192, "UUUU"}, {193, "LLUL"}, {229, "LLLU"}, {255, "OOOU"}, {0, "LLLL"}};
    for (const auto& row : table) {
        uint8_t t[4] = {9, 9, 9, 9};
        ASSERT_EQ(motorolaAddressTrits(row.address, t), 1) << row.address;
        std::string seen;
        for (uint8_t v : t) seen += "LHOU"[v];
        EXPECT_EQ(seen, row.trits) << "address " << row.address;
    }
    uint8_t t[4];
    EXPECT_EQ(motorolaAddressTrits(256, t), 0);
    EXPECT_EQ(motorolaAddressTrits(-1, t), 0);
}

TEST(MotorolaAddress, AddressesOneTo255AreAllDistinct) {
    std::set<int> seen;
    for (int a = 1; a <= 255; ++a) {
        uint8_t t[4];
        ASSERT_EQ(motorolaAddressTrits(a, t), 1);
        for (uint8_t v : t) ASSERT_LE(v, 3);
        seen.insert(t[0] | t[1] << 2 | t[2] << 4 | t[3] << 6);
    }
    EXPECT_EQ(seen.size(), 255u);
}

TEST(MotorolaSpeedCodes, EvenBitPositionsAndTheReverseCode) {
    const uint8_t expected[16] = {0x00, 0x04, 0x05, 0x10, 0x11, 0x14, 0x15, 0x40,
                                  0x41, 0x44, 0x45, 0x50, 0x51, 0x54, 0x55, 0x01};
    for (int s = 0; s < 16; ++s) EXPECT_EQ(gMotorolaSpeedCodes[s], expected[s]) << s;
}

TEST(MotorolaLoco, PacketsAgainstHandMadeCharacters) {
    struct Case {
        const char* name;
        int number, type, step;
        char direction;
        bool f0;
        Bytes expected;
    };
    const Case cases[] = {
        // address 1 = H L L L; F0 "11"; speed byte 0x14 | 0x88 = 0x9C, bit 0 first.
        {"new format step 5 forward F0", 1, 1, 5, 'v', true,
         {I, I, O, O, O, O, O, O, I, I, O, O, I, I, I, O, O, I}},
        // 0x40 | 0x22 = 0x62 backward from step 7 on; no F0 "00".
        {"new format step 7 backward", 1, 1, 7, 'a', false,
         {I, I, O, O, O, O, O, O, O, O, O, I, O, O, O, I, I, O}},
        // the reverse code: speed byte 0x03, function trit 0.
        {"new format reverse", 80, 1, 15, 'v', true,
         {O, O, O, O, O, O, O, O, O, O, I, I, O, O, O, O, O, O}},
        // old format doubles every speed bit: 0x14 | 0x28 = 0x3C.
        {"old format step 5 F0", 2, 0, 5, 'a', true,
         {I, O, O, O, O, O, O, O, I, I, O, O, I, I, I, I, O, O}},
        // 27 steps: step 5 -> code 3, odd step with F0: "11"; step 6 even with F0: trit 1 "10" (bit 0
        // first); without F0 an even step gives trit 2 "01".
        {"27 steps step 5 F0", 1, 2, 5, 'v', true,
         {I, I, O, O, O, O, O, O, I, I, O, O, O, I, I, O, O, I}},
        {"27 steps step 6 F0", 1, 2, 6, 'v', true,
         {I, I, O, O, O, O, O, O, I, O, O, O, O, I, I, O, O, I}},
        {"27 steps step 6", 1, 2, 6, 'v', false,
         {I, I, O, O, O, O, O, O, O, I, O, O, O, I, I, O, O, I}},
        // a step past the decoder's range is its top step, not the reverse code: 0x55 | 0x08 = 0x5D.
        {"new format step 40", 1, 1, 40, 'v', false,
         {I, I, O, O, O, O, O, O, O, O, I, O, I, I, I, O, I, O}},
    };
    for (const Case& c : cases) {
        auto l = motorolaLoco(c.number, c.type, c.step, c.direction, c.f0);
        uint8_t buf[52] = {};
        ASSERT_EQ(encodeMotorolaLoco(l.get(), buf), 18) << c.name;
        EXPECT_EQ(chars(buf, 18), c.expected) << c.name;
        EXPECT_EQ(chars(l->packetCache->data(), 18), c.expected) << c.name << " (cache)";
    }
}

TEST(MotorolaLoco, NothingWithoutCacheOrAboveAddress255) {
    uint8_t buf[52];
    auto l = motorolaLoco(5, 1, 3, 'v', false);
    l->packetCache.reset();
    EXPECT_EQ(encodeMotorolaLoco(l.get(), buf), 0);
    auto high = motorolaLoco(256, 1, 3, 'v', false);
    EXPECT_EQ(encodeMotorolaLoco(high.get(), buf), 0);
}

TEST(MotorolaFunction, PatternsAndTheirExceptions) {
    struct Case {
        int step, j;
        bool on;
        uint8_t speedByte;
    } cases[] = {
        {0, 1, false, 0x0A}, {0, 2, false, 0x20}, {0, 3, false, 0x28}, {0, 4, false, 0x2A},
        {0, 1, true, 0x8A},  {4, 2, true, 0x11 | 0x20 | 0x80},
        {2, 1, false, 0x05 | 0x22}, {3, 2, false, 0x10 | 0x22}, {5, 3, false, 0x14 | 0x22}, {6, 4, false, 0x15 | 0x22},
        {2, 1, true, 0x05 | 0x0A | 0x80},  // the exception only while off
        {10, 1, true, 0x45 | 0x08 | 0x80}, {11, 2, true, 0x50 | 0x88}, {13, 3, true, 0x54 | 0x88}, {14, 4, true, 0x55 | 0x88},
        {10, 1, false, 0x45 | 0x0A},
    };
    for (const auto& c : cases) {
        auto l = motorolaLoco(3, 1, c.step, 'v', false);
        l->run.functionBits1 = static_cast<uint8_t>(c.on ? 1 << (c.j - 1) : 0);
        uint8_t buf[52];
        ASSERT_EQ(encodeMotorolaLoco(l.get(), buf), 18);
        ASSERT_EQ(encodeMotorolaFunction(l.get(), c.j, false, buf), 18);
        const auto seen = tracksignal::decodeMotorolaPacket(buf);
        ASSERT_TRUE(seen.ok);
        EXPECT_EQ(seen.speedByte, c.speedByte) << "step " << c.step << " F" << c.j << (c.on ? " on" : " off");
        // address and function trit as in the speed packet
        EXPECT_EQ(chars(buf, 10), chars(l->packetCache->data(), 10));
        EXPECT_EQ(chars(buf + 10, 8), chars(l->packetCache->data() + motorolaCacheFunctionSlot(c.j), 8));
    }
}

TEST(MotorolaFunction, SpeedPartOnlyAndTheFunctionDecoder) {
    auto l = motorolaLoco(3, 1, 0, 'v', false);
    uint8_t buf[52];
    EXPECT_EQ(encodeMotorolaFunction(l.get(), 2, true, buf), 8);
    EXPECT_EQ(chars(buf, 8), (Bytes{O, O, O, O, O, I, O, O}));  // 0x20

    FunctionDecoderRec d;
    d.address = 80;
    d.functionState = 0x08;  // F4 on
    ASSERT_EQ(encodeMotorolaFunction(&d, 4, buf), 18);
    EXPECT_EQ(chars(buf, 18), (Bytes{O, O, O, O, O, O, O, O, O, O, O, I, O, I, O, I, O, I}));  // 0xAA
    d.address = 300;
    EXPECT_EQ(encodeMotorolaFunction(&d, 4, buf), 0);
}

TEST(MotorolaLoco, CacheHoldsTheFunctionPartsExceptAfterTheReverseCode) {
    auto l = motorolaLoco(3, 1, 2, 'v', false);
    l->run.functionBits1 = 0x02;  // F2 on
    uint8_t buf[52];
    encodeMotorolaLoco(l.get(), buf);
    const PacketCache& c = *l->packetCache;
    const uint8_t expected[4] = {0x05 | 0x22, 0x05 | 0x20 | 0x80, 0x05 | 0x28, 0x05 | 0x2A};
    for (int j = 1; j <= 4; ++j) {
        Bytes packet(c.begin(), c.begin() + 10);
        packet.insert(packet.end(), c.begin() + motorolaCacheFunctionSlot(j), c.begin() + motorolaCacheFunctionSlot(j) + 8);
        EXPECT_EQ(tracksignal::decodeMotorolaPacket(packet.data()).speedByte, expected[j - 1]) << "F" << j;
    }
    l->packetCache->fill(0x77);
    l->run.lastStepSent = 15;
    encodeMotorolaLoco(l.get(), buf);
    EXPECT_EQ(c[motorolaCacheFunctionSlot(1)], 0x77);  // no function parts for the reverse code
}

TEST(MotorolaLoco, StreamsDecodeBackToAddressFunctionAndSpeed) {
    for (int a = 1; a <= 255; ++a) {
        uint8_t expectTrits[4];
        motorolaAddressTrits(a, expectTrits);
        for (int s = 0; s <= 14; ++s) {
            for (char dir : {'v', 'a'}) {
                for (bool f0 : {false, true}) {
                    auto l = motorolaLoco(a, 1, s, dir, f0);
                    uint8_t buf[52];
                    ASSERT_EQ(encodeMotorolaLoco(l.get(), buf), 18);
                    const auto seen = tracksignal::decodeMotorolaPacket(buf);
                    ASSERT_TRUE(seen.ok);
                    for (int t = 0; t < 4; ++t) ASSERT_EQ(seen.trits[t], expectTrits[t]) << a;
                    ASSERT_EQ(seen.functionBits[0], f0 ? 1 : 0);
                    ASSERT_EQ(seen.functionBits[1], f0 ? 1 : 0);
                    ASSERT_EQ(tracksignal::motorolaSpeedCode(seen.speedByte), s == 0 ? 0 : s + 1);
                    // direction in the odd bit positions: 0x88 / 0xA2 below step 7, 0x08 / 0x22 above
                    const uint8_t dirBits = seen.speedByte & 0xAA;
                    ASSERT_EQ(dirBits, s < 7 ? (dir == 'v' ? 0x88 : 0xA2) : (dir == 'v' ? 0x08 : 0x22));
                }
            }
        }
    }
}

TEST(MotorolaAccessory, CharactersAt38400And115200) {
    uint8_t buf[52];
    // decoder 1, output 3, on: the Part's example.
    ASSERT_EQ(encodeMotorolaAccessory(1, 0x0B, buf, false), 9);
    EXPECT_EQ(chars(buf, 9), (Bytes{0x04, 0xF7, 0xF7, 0xF7, 0xF7, 0x04, 0x04, 0xF7, 0x04}));
    // decoder 83 = O U U H, output 6 off: trits 2 3 3 1.
    ASSERT_EQ(encodeMotorolaAccessory(83, 0x06, buf, false), 9);
    EXPECT_EQ(chars(buf, 9), (Bytes{0xF4, 0x07, 0x07, 0x04, 0xF7, 0xF7, 0x04, 0x04, 0xF7}));
    ASSERT_EQ(encodeMotorolaAccessory(1, 0x0B, buf, true), 18);
    constexpr uint8_t i = 0x00, o = 0xFE;
    EXPECT_EQ(chars(buf, 18), (Bytes{i, i, o, o, o, o, o, o, o, o, i, i, i, i, o, o, i, i}));
}

TEST(MotorolaAccessory, DecoderAbove255SendsNothing) {
    uint8_t buf[52] = {};
    // 257's low byte is 1: it would switch decoder 1.
    EXPECT_EQ(encodeMotorolaAccessory(257, 0x0B, buf, false), 0);
    EXPECT_EQ(encodeMotorolaAccessory(512, 0x08, buf, true), 0);
    EXPECT_EQ(encodeMotorolaAccessory(255, 0x08, buf, false), 9);
}

TEST(MotorolaFiller, TheFillerPacket) {
    EXPECT_EQ(chars(kMotorolaFiller, 18),
              (Bytes{0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

}  // namespace
