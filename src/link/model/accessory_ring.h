#pragma once
// The accessory queue: a 400-byte ring of timed accessory commands. Only the GUI thread writes it
// (bytes and both positions); the link thread may read it in direct mode to repeat switched outputs,
// so bytes and positions are atomics.
#include <atomic>
#include <cstdint>

#include "link/model/ring_walk.h"

constexpr int kAccessoryQueueSize = 400;

// One entry: command byte, 16-bit address (command-station mode) or decoder number (direct mode),
// pulse time in units of 100 ms.
struct AccessoryEntry {
    uint8_t command = 0;
    uint16_t address = 0;
    uint8_t pulse = 0;
};

class AccessoryRing {
public:
    static constexpr int kSize = kAccessoryQueueSize;
    static constexpr uint8_t kSwitchOffMarker = 0x20;

    int writePos() const { return write_.load(std::memory_order_acquire); }
    int readPos() const { return read_.load(std::memory_order_acquire); }
    bool empty() const { return writePos() == readPos(); }
    uint8_t byteAt(int pos) const { return bytes_[pos].load(std::memory_order_relaxed); }

    // Both positions become 0 when the ring is empty and also, in command-station mode, when it holds
    // only the lone switch-off marker.
    void normalise(bool commandStationMode);
    // Appends all n entries, or none (false) when they do not fit.
    bool append(const AccessoryEntry* entries, int n);
    // The entry at pos and the position after it; false when it would run into the write position.
    bool readEntry(int pos, AccessoryEntry& entry, int& next) const;
    void setReadPos(int pos) { read_.store(pos, std::memory_order_release); }
    // Empties the ring (both positions 0).
    void clear();
    // Leaves only the switch-off marker: first byte 0x20, write position 1, read position 0.
    void setSwitchOffMarker();
    // Takes the entry at pos out of the ring (direct mode, where entries lie on 4-byte steps): the entries
    // from the read position up to it move up by one entry and the read position advances past the gap.
    // The change counter is odd while they move, so that a reader never takes a half-moved entry.
    void removeEntry(int pos);

    // --- reader (link thread) ---
    // The entries from the read to the write position as they stood at one moment (at most max); a
    // walk that saw entries move is taken again.
    int snapshot(AccessoryEntry* out, int max) const;
    uint32_t changeCount() const { return changes_.load(std::memory_order_acquire); }

private:
    std::atomic<uint8_t> bytes_[kSize] = {};
    std::atomic<int32_t> write_{0};
    std::atomic<int32_t> read_{0};
    std::atomic<uint32_t> changes_{0};  // odd while entries move
};
