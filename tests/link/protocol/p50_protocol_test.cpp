// Queued link commands as P50 (with "X" commands) and P50X bytes, against a table written out byte by
// byte; the XEvtSen walk.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "link/protocol/p50_protocol.h"

namespace {

using Bytes = std::vector<uint8_t>;

LinkCommand command(const Bytes& b) {
    LinkCommand c;
    for (size_t i = 0; i < b.size(); ++i) c.bytes[i] = b[i];
    c.length = static_cast<int>(b.size());
    return c;
}

Bytes wire(const P50Message& m) { return Bytes(m.bytes, m.bytes + m.length); }

// F1..F8 of the only address the model knows, 5.
int functionBits(uint16_t address) { return address == 5 ? 0x1B : -1; }

}  // namespace

TEST(P50Protocol, CommandsOnTheWire) {
    struct Row {
        Bytes queued;
        Bytes p50;   // P50 + P50X
        Bytes p50x;  // P50X alone
        bool reply50, reply50x;
    };
    const Row rows[] = {
        {{0x58, 0x80, 0x05, 0x00, 0x2E, 0x60}, {0x58, 0x80, 0x05, 0x00, 0x2E, 0x60}, {0x80, 0x05, 0x00, 0x2E, 0x60}, true, true},
        {{0x1A, 0x05, 0x00}, {0x1A, 0x05}, {0x1A, 0x05}, false, true},
        {{0x21, 0x2C, 0x00}, {0x21, 0x2C}, {0x90, 0x2C, 0xC0}, false, true},
        {{0x22, 0x07, 0x00}, {0x22, 0x07}, {0x90, 0x07, 0x40}, false, true},
        {{0x4B, 0x05, 0x00}, {0x4B, 0x05}, {0x88, 0x05, 0x00, 0x1B}, false, true},
        {{0x60}, {0x60}, {0xA7}, false, true},
        {{0x61}, {0x61}, {0xA6}, false, true},
        {{0x81}, {0x81}, {0xCB}, false, false},
        {{0x9F}, {0x9F}, {0xCB}, false, false},
    };
    for (const Row& r : rows) {
        uint16_t last = 0;
        const P50Message a = encodeCommand(command(r.queued), false, last, functionBits);
        EXPECT_EQ(wire(a), r.p50) << int(r.queued[0]);
        EXPECT_EQ(a.readsReply, r.reply50) << int(r.queued[0]);
        const P50Message b = encodeCommand(command(r.queued), true, last, functionBits);
        EXPECT_EQ(wire(b), r.p50x) << int(r.queued[0]);
        EXPECT_EQ(b.readsReply, r.reply50x) << int(r.queued[0]);
        EXPECT_EQ(a.poll, (r.queued[0] & 0xE0) == 0x80);
        EXPECT_EQ(b.poll, a.poll);
    }
}

TEST(P50Protocol, TheSolenoidOffCommandSwitchesTheLastAccessoryOffInP50X) {
    uint16_t last = 0;
    EXPECT_EQ(wire(encodeCommand(command({0x21, 0x2C, 0x01}), true, last, functionBits)), (Bytes{0x90, 0x2C, 0xC1}));
    EXPECT_EQ(last, 300);
    EXPECT_EQ(wire(encodeCommand(command({0x20}), true, last, functionBits)), (Bytes{0x90, 0x2C, 0x01}));
    EXPECT_EQ(wire(encodeCommand(command({0x20}), false, last, functionBits)), (Bytes{0x20}));
}

TEST(P50Protocol, P50SendsNoCommandForAnAddressAboveOneByte) {
    // Its low byte would be another decoder: 300 would drive 44.
    uint16_t last = 0;
    for (const Bytes& q : {Bytes{0x21, 0x2C, 0x01}, Bytes{0x0A, 0x2C, 0x01}, Bytes{0x41, 0x00, 0x01}}) {
        EXPECT_EQ(encodeCommand(command(q), false, last, functionBits).length, 0) << int(q[0]);
    }
    EXPECT_EQ(wire(encodeCommand(command({0x21, 0xFF, 0x00}), false, last, functionBits)), (Bytes{0x21, 0xFF}));
    // The extended form carries the whole address in P50 too.
    EXPECT_EQ(encodeCommand(command({0x58, 0x80, 0x2C, 0x01, 0x00, 0x60}), false, last, functionBits).length, 6);
}

TEST(P50Protocol, AFunctionForNeitherLocomotiveNorDecoderIsDroppedInP50X) {
    uint16_t last = 0;
    EXPECT_EQ(encodeCommand(command({0x41, 0x06, 0x00}), true, last, functionBits).length, 0);
    EXPECT_EQ(encodeCommand(command({0x41, 0x06, 0x00}), true, last, nullptr).length, 0);
}

TEST(P50Protocol, QueriesCarryTheXInP50) {
    for (uint8_t q : {kXStatus, kXEvtLok, kXEvtTrn}) {
        EXPECT_EQ(wire(encodeQuery(q, false)), (Bytes{0x58, q}));
        EXPECT_EQ(wire(encodeQuery(q, true)), (Bytes{q}));
    }
}

TEST(P50Protocol, SensorRecordsFillTheImageUpToModuleZero) {
    std::map<int, uint8_t> image;
    auto store = [&](int i, uint8_t v) { image[i] = v; };
    SensorRecord last{};
    const Bytes answer{2, 0x81, 0x02, 36, 0xFF, 0xFF, 35, 0x10, 0x20, 0, 1, 0xEE, 0xEE};
    EXPECT_EQ(walkSensorRecords(answer.data(), static_cast<int>(answer.size()), store, &last), 2);
    EXPECT_EQ(image, (std::map<int, uint8_t>{{2, 0x81}, {3, 0x02}, {68, 0x10}, {69, 0x20}}));
    EXPECT_EQ(last.module, 35);
    // Only the bytes received are walked: a record cut short is not taken.
    image.clear();
    EXPECT_EQ(walkSensorRecords(answer.data(), 5, store, nullptr), 1);
    EXPECT_EQ(image.size(), 2u);
    EXPECT_EQ(walkSensorRecords(answer.data(), 0, store, nullptr), 0);
}
