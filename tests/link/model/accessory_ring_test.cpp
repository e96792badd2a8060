// The accessory ring: taking an entry out of the middle (direct mode), and a link-thread reader that
// walks the entries while the GUI thread moves them (this file is built into the ThreadSanitizer ring
// program). No Qt.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "link/model/accessory_ring.h"

namespace {

// Each entry carries its own check: the pulse byte follows from the command and the address.
AccessoryEntry checkedEntry(uint32_t n) {
    const uint8_t command = static_cast<uint8_t>(0x28 + n % 8);
    const uint16_t address = static_cast<uint16_t>((n * 40503u) & 0xFFFF);
    return {command, address, static_cast<uint8_t>((command * 31 + address * 7 + (address >> 8)) & 0xFF)};
}
bool checks(const AccessoryEntry& e) {
    return e.pulse == static_cast<uint8_t>((e.command * 31 + e.address * 7 + (e.address >> 8)) & 0xFF);
}

std::vector<uint16_t> addresses(const AccessoryRing& ring) {
    AccessoryEntry e[100];
    const int n = ring.snapshot(e, 100);
    std::vector<uint16_t> out;
    for (int i = 0; i < n; ++i) out.push_back(e[i].address);
    return out;
}

TEST(AccessoryRingRemove, EntriesBeforeTheRemovedOneMoveUp) {
    AccessoryRing ring;
    const AccessoryEntry e[3] = {{0x28, 1, 1}, {0x29, 2, 1}, {0x2A, 3, 1}};
    ASSERT_TRUE(ring.append(e, 3));
    ring.removeEntry(4);  // the second
    EXPECT_EQ(addresses(ring), (std::vector<uint16_t>{1, 3}));
    EXPECT_EQ(ring.readPos(), 4);
    ring.removeEntry(8);  // now the last
    EXPECT_EQ(addresses(ring), (std::vector<uint16_t>{1}));
    ring.removeEntry(8);  // the first and only one, at the read position
    EXPECT_TRUE(ring.empty());
    EXPECT_EQ(ring.changeCount() % 2, 0u);
}

TEST(AccessoryRingRemove, AcrossTheEndOfTheRing) {
    AccessoryRing ring;
    std::vector<AccessoryEntry> fill(99, AccessoryEntry{0x28, 9, 0});
    ASSERT_TRUE(ring.append(fill.data(), 98));  // positions 0..391
    for (int i = 0; i < 97; ++i) ring.removeEntry(ring.readPos());
    EXPECT_EQ(ring.readPos(), 388);
    const AccessoryEntry e[2] = {{0x28, 1, 1}, {0x29, 2, 1}};  // at 392 and 396
    ASSERT_TRUE(ring.append(e, 2));
    const AccessoryEntry f{0x2A, 3, 1};  // at 0
    ASSERT_TRUE(ring.append(&f, 1));
    ring.removeEntry(0);
    EXPECT_EQ(addresses(ring), (std::vector<uint16_t>{9, 1, 2}));
    EXPECT_EQ(ring.readPos(), 392);
}

// The GUI thread appends and takes entries out of the middle while the link thread walks them: the reader
// never takes an entry made of two half-moved ones.
TEST(AccessoryRingThreads, AReaderNeverSeesAHalfMovedEntry) {
    AccessoryRing ring;
    std::atomic<bool> done{false};
    std::atomic<int> bad{0};
    std::thread reader([&] {
        AccessoryEntry e[100];
        while (!done.load()) {
            const int n = ring.snapshot(e, 100);
            for (int i = 0; i < n; ++i)
                if (!checks(e[i])) bad.fetch_add(1);
        }
    });
    uint32_t n = 0;
    for (int round = 0; round < 60000; ++round) {
        AccessoryEntry e[3] = {checkedEntry(n), checkedEntry(n + 1), checkedEntry(n + 2)};
        n += 3;
        if (!ring.append(e, 3)) {
            ring.clear();
            continue;
        }
        // Take out the entry just before the last one: the entries before it move up.
        int pos = ring.readPos(), next = 0, previous = -1, beforePrevious = -1;
        AccessoryEntry x;
        while (ring.readEntry(pos, x, next)) {
            beforePrevious = previous;
            previous = pos;
            pos = next;
        }
        if (beforePrevious >= 0) ring.removeEntry(beforePrevious);
    }
    done = true;
    reader.join();
    EXPECT_EQ(bad.load(), 0);
}

}  // namespace
