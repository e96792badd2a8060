// The rings between a GUI-side writer and a link-side reader on two real threads: nothing lost, nothing
// corrupted, no data race (this file is built into the ThreadSanitizer ring program). No Qt.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "link/model/command_ring.h"
#include "link/model/feedback_image.h"

namespace {

// A reproducible mix of every command form, numbered by n.
struct Generator {
    uint32_t state;
    explicit Generator(uint32_t seed) : state(seed) {}
    uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    // Fills bytes with command n of the sequence; returns its length.
    int command(uint32_t n, uint8_t* b) {
        const uint32_t r = next();
        const uint8_t lo = static_cast<uint8_t>(n), hi = static_cast<uint8_t>(n >> 8), top = static_cast<uint8_t>(n >> 16);
        switch (r % 4) {
        case 0: b[0] = static_cast<uint8_t>(0x80 | (r >> 4) % 31); return 1;
        case 1: b[0] = static_cast<uint8_t>((r >> 4) & 0x1F), b[1] = lo, b[2] = hi; return 3;
        case 2: b[0] = 0x58, b[1] = 0x80, b[2] = lo, b[3] = hi, b[4] = top, b[5] = 0x60; return 6;
        default: b[0] = 0xA0, b[1] = lo, b[2] = hi, b[3] = 0xEC, b[4] = top, b[5] = 0x55; return 6;
        }
    }
};

constexpr uint32_t kCommands = 1000000;

// A thread that waits for the other one: it tries again at once for a while, as the other one is
// likely running on its own core, then sleeps a little at a time. On a busy machine the other thread
// may have lost its core to another program: a sleeper lets it have a core, and gets one back as soon
// as it wakes, where yielding to the other program would cost a whole time slice each time.
class Backoff {
public:
    void wait() {
        if (++spins_ > 2000) std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    void reset() { spins_ = 0; }

private:
    int spins_ = 0;
};

TEST(RingThreads, AMillionCommandsArriveWholeAndInOrder) {
    CommandRing q;
    std::atomic<bool> failed{false};
    std::thread reader([&] {
        Generator expect(7);
        LinkCommand c;
        Backoff backoff;
        for (uint32_t n = 0; n < kCommands && !failed;) {
            const RingTake t = q.take(c, false);
            if (t == RingTake::Empty) {
                backoff.wait();
                continue;
            }
            backoff.reset();
            uint8_t want[6];
            const int len = expect.command(n, want);
            if (t != RingTake::Command || c.length != len || !std::equal(want, want + len, c.bytes)) failed = true;
            ++n;
        }
    });
    Generator gen(7);
    uint8_t b[6];
    Backoff backoff;
    for (uint32_t n = 0; n < kCommands && !failed; ++n) {
        const int len = gen.command(n, b);
        while (!q.append(b, len, false) && !failed) backoff.wait();
        backoff.reset();
    }
    reader.join();
    EXPECT_FALSE(failed);
}

TEST(RingThreads, DiscardsWhileTheReaderRunsNeverCorruptACommand) {
    // Every command carries its sequence number twice; discards drop some, but what arrives is whole
    // and in order.
    constexpr uint32_t kCount = 200000;
    CommandRing q;
    std::atomic<bool> done{false};
    std::atomic<bool> failed{false};
    std::thread reader([&] {
        uint32_t last = 0;
        bool any = false;
        LinkCommand c;
        Backoff backoff;
        while (true) {
            const bool finished = done.load();
            const RingTake t = q.take(c, false);
            if (t == RingTake::Empty) {
                if (finished) break;
                backoff.wait();
                continue;
            }
            backoff.reset();
            const uint32_t a = c.bytes[2] | c.bytes[3] << 8 | c.bytes[4] << 16;
            if (t != RingTake::Command || c.length != 6 || c.bytes[0] != 0x58 || c.bytes[5] != (a & 0xFF) ||
                (any && a <= last))
                failed = true;
            last = a;
            any = true;
        }
    });
    for (uint32_t n = 1; n <= kCount; ++n) {
        const uint8_t b[6] = {0x58, 0x80, static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                              static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n)};
        if (n % 97 == 0) q.discard();
        Backoff backoff;
        while (!q.append(b, 6, false)) backoff.wait();
    }
    done = true;
    reader.join();
    EXPECT_FALSE(failed);
}

TEST(RingThreads, FeedbackImagesPassFromTheWorkerToTheGuiThread) {
    constexpr uint32_t kImages = 20000;
    FeedbackImage image;
    std::thread producer([&] {
        for (uint32_t k = 1; k <= kImages; ++k) {
            for (int i = 0; i < 8; ++i) image.storeByte(i, static_cast<uint8_t>(k));
            image.publish(8);
        }
    });
    uint32_t lastSeen = 0;
    bool ordered = true;
    Backoff backoff;
    while (lastSeen < kImages) {
        if (!image.pending()) {
            backoff.wait();
            continue;
        }
        backoff.reset();
        const FeedbackImage::Read read = image.lastRead();
        ordered = ordered && read.number > lastSeen && read.byteCount == 8;
        for (int i = 0; i < 8; ++i) (void)image.byteAt(i);
        image.markDecoded(read.number);
        lastSeen = read.number;
    }
    producer.join();
    EXPECT_TRUE(ordered);
    EXPECT_EQ(image.byteAt(7), static_cast<uint8_t>(kImages));
    EXPECT_FALSE(image.pending());
}

}  // namespace
