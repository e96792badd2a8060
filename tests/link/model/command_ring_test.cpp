// The command queue's byte layout, wrap rules and room checks, with the reader taking what the writer
// wrote. No Qt: this file is also built into the ThreadSanitizer ring program.
#include <gtest/gtest.h>

#include <vector>

#include "link/model/command_ring.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kPoll = 0x81;  // a one-byte command

bool put(CommandRing& q, const Bytes& b, bool power = false) {
    return q.append(b.data(), static_cast<int>(b.size()), false, power);
}

Bytes takeBytes(CommandRing& q) {
    LinkCommand c;
    if (q.take(c, false) != RingTake::Command) return {};
    return Bytes(c.bytes, c.bytes + c.length);
}

// Keeps one unread poll in the queue and moves the write position to pos (so that the next command
// is written at pos, not restarted at 0).
void moveWriteTo(CommandRing& q, int pos) {
    ASSERT_TRUE(put(q, {kPoll}));
    while (q.writePos() != pos) {
        ASSERT_TRUE(put(q, {kPoll}));
        ASSERT_EQ(takeBytes(q), Bytes{kPoll});
    }
}

Bytes ringBytes(const CommandRing& q, std::initializer_list<int> positions) {
    Bytes out;
    for (int p : positions) out.push_back(q.byteAt(p));
    return out;
}

TEST(CommandRing, ShapesFollowTheFirstByte) {
    struct Case {
        uint8_t first;
        bool direct;
        int length;
    };
    const Case cases[] = {
        {0x00, false, 3}, {0x1F, false, 3}, {0x58, false, 6}, {0x20, false, 1}, {0x20, true, 3},
        {0x21, false, 3}, {0x2F, true, 3},  {0x40, false, 3}, {0x5F, false, 3}, {0x60, false, 1},
        {0x61, true, 1},  {0x80, false, 1}, {0x9F, false, 1}, {0xA0, false, 6},
    };
    for (const Case& c : cases) EXPECT_EQ(commandShape(c.first, c.direct).length, c.length) << int(c.first);
}

TEST(CommandRing, AnEmptyQueueRestartsAtZero) {
    CommandRing q;
    ASSERT_TRUE(put(q, {0x21, 0x34, 0x12}));
    EXPECT_EQ(q.writePos(), 3);
    EXPECT_EQ(takeBytes(q), (Bytes{0x21, 0x34, 0x12}));
    ASSERT_TRUE(put(q, {0x61}));
    EXPECT_EQ(q.readPos(), 0);
    EXPECT_EQ(q.writePos(), 1);
    EXPECT_EQ(q.byteAt(0), 0x61);
    EXPECT_EQ(takeBytes(q), Bytes{0x61});
}

TEST(CommandRing, WrapRules) {
    struct Case {
        const char* what;
        int at;
        Bytes command;
        std::vector<int> positions;  // where the bytes land
        int end;
    };
    const Case cases[] = {
        {"value after a command byte at 97", 97, {0x22, 0xCD, 0xAB}, {97, 98, 99}, 0},
        {"command byte at 98: value at 0..1", 98, {0x05, 0x03, 0x00}, {98, 0, 1}, 2},
        {"command byte at 99: value at 0..1", 99, {0x21, 0x01, 0x02}, {99, 0, 1}, 2},
        {"one byte at 99", 99, {0x60}, {99}, 0},
        {"extended at 93 fits", 93, {0x58, 0x80, 0x03, 0x00, 0x7F, 0x60}, {93, 94, 95, 96, 97, 98}, 99},
        {"extended at 94 wraps", 94, {0x58, 0x80, 0x03, 0x00, 0x7F, 0x60}, {94, 0, 1, 2, 3, 4}, 5},
        {"extended at 99 wraps", 99, {0x58, 0x80, 0x03, 0x00, 0x05, 0x60}, {99, 0, 1, 2, 3, 4}, 5},
        {"CV write at 96", 96, {0xA0, 0x03, 0x00, 0xEC, 0x1C, 0x05}, {96, 97, 98, 99, 0, 1}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CommandRing q;
        moveWriteTo(q, c.at);
        ASSERT_TRUE(put(q, c.command));
        std::vector<int> pos = c.positions;
        Bytes landed;
        for (int p : pos) landed.push_back(q.byteAt(p));
        EXPECT_EQ(landed, c.command);
        EXPECT_EQ(q.writePos(), c.end);
        EXPECT_EQ(takeBytes(q), Bytes{kPoll});  // the poll kept in front
        EXPECT_EQ(takeBytes(q), c.command);
        EXPECT_TRUE(q.empty());
    }
}

TEST(CommandRing, NeverOverwritesUnreadBytes) {
    // The reader is at 2 and the writer at 94: an extended command would need positions 94..99 and
    // 0..4, across the unread bytes at 2..
    CommandRing q;
    moveWriteTo(q, 2);  // poll at 1 unread, read position 1
    for (int i = 0; i < 92; ++i) ASSERT_TRUE(put(q, {kPoll}));
    ASSERT_EQ(takeBytes(q), Bytes{kPoll});  // read position 2
    ASSERT_EQ(q.writePos(), 94);
    const Bytes before = ringBytes(q, {2, 3, 4, 94});
    EXPECT_FALSE(put(q, {0x58, 0x80, 0x03, 0x00, 0x7F, 0x60}));
    EXPECT_EQ(ringBytes(q, {2, 3, 4, 94}), before);
    EXPECT_EQ(q.writePos(), 94);
    for (int i = 0; i < 92; ++i) ASSERT_EQ(takeBytes(q), Bytes{kPoll});
    EXPECT_TRUE(q.empty());
}

TEST(CommandRing, OrdinaryCommandsLeaveRoomForTrackPower) {
    CommandRing q;
    int speeds = 0;
    int polls = 0;
    while (put(q, {0x05, 0x03, 0x00})) ++speeds;
    while (put(q, {kPoll})) ++polls;
    EXPECT_EQ(q.writePos(), 95);
    EXPECT_TRUE(put(q, {0x61}, true));  // the emergency stop still goes in
    for (int i = 0; i < speeds; ++i) ASSERT_EQ(takeBytes(q), (Bytes{0x05, 0x03, 0x00}));
    for (int i = 0; i < polls; ++i) ASSERT_EQ(takeBytes(q), Bytes{kPoll});
    EXPECT_EQ(takeBytes(q), Bytes{0x61});
    EXPECT_TRUE(q.empty());
}

TEST(CommandRing, RefusesACommandWhoseLengthDoesNotMatchItsFirstByte) {
    CommandRing q;
    EXPECT_FALSE(put(q, {0x21, 0x01}));
    EXPECT_FALSE(put(q, {0x58, 0x80, 0x03}));
    EXPECT_TRUE(q.empty());
}

TEST(CommandRing, DiscardWithAnIdleReaderRestartsAtZero) {
    CommandRing q;
    moveWriteTo(q, 40);
    ASSERT_EQ(takeBytes(q), Bytes{kPoll});
    q.discard();
    EXPECT_EQ(q.writePos(), 0);
    EXPECT_EQ(q.readPos(), 0);
    ASSERT_TRUE(put(q, {0x61}, true));
    EXPECT_EQ(q.writePos(), 1);
    EXPECT_EQ(takeBytes(q), Bytes{0x61});
}

TEST(CommandRing, DiscardDropsEveryUnreadCommand) {
    CommandRing q;
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(put(q, {0x05, 0x03, 0x00}));
    ASSERT_EQ(takeBytes(q), (Bytes{0x05, 0x03, 0x00}));
    q.discard();
    EXPECT_TRUE(q.empty());
    ASSERT_TRUE(put(q, {0x61}, true));
    EXPECT_EQ(takeBytes(q), Bytes{0x61});
    EXPECT_TRUE(takeBytes(q).empty());
    // Once the reader has caught up the next command starts at 0 again.
    ASSERT_TRUE(put(q, {0x60}, true));
    EXPECT_EQ(q.byteAt(0), 0x60);
    EXPECT_EQ(takeBytes(q), Bytes{0x60});
}

TEST(CommandRing, ReaderNeverReadsPastTheWritePosition) {
    // A one-byte 0x20 (command-station mode) read as a direct-mode output command would need two
    // more bytes: the reader reports an overrun instead of reading them.
    CommandRing q;
    ASSERT_TRUE(q.append(Bytes{0x20}.data(), 1, false));
    LinkCommand c;
    EXPECT_EQ(q.peek(c, true), RingTake::Overrun);
    q.skipAll();
    EXPECT_EQ(q.peek(c, true), RingTake::Empty);
}

TEST(CommandRing, PeekLeavesTheCommandUntilCommitted) {
    CommandRing q;
    ASSERT_TRUE(put(q, {0x40, 0x03, 0x00}));
    LinkCommand c;
    ASSERT_EQ(q.peek(c, false), RingTake::Command);
    ASSERT_EQ(q.peek(c, false), RingTake::Command);
    EXPECT_EQ(c.start, 0);
    EXPECT_EQ(c.end, 3);
    q.commit(c);
    EXPECT_EQ(q.peek(c, false), RingTake::Empty);
}

}  // namespace
