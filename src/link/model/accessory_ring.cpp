#include "link/model/accessory_ring.h"

#include <thread>

namespace {
constexpr int N = kAccessoryQueueSize;
constexpr RingPiece kEntry[3] = {RingPiece::LeadByte, RingPiece::Word, RingPiece::Single};

int entryEnd(int p) {
    for (RingPiece piece : kEntry) p = ringAfter<N>(piece, p);
    return p;
}
}  // namespace

void AccessoryRing::normalise(bool commandStationMode) {
    const int w = writePos();
    const int r = readPos();
    const bool loneMarker = commandStationMode && w == 1 && r == 0 && byteAt(0) == kSwitchOffMarker;
    if (w == r || loneMarker) clear();
}

bool AccessoryRing::append(const AccessoryEntry* entries, int n) {
    const int w = writePos();
    const int r = readPos();
    int end = w;
    for (int i = 0; i < n; ++i) end = entryEnd(end);
    if (n <= 0 || (w != r && ringDistance<N>(w, r) <= ringDistance<N>(w, end))) return false;
    int p = w;
    for (int i = 0; i < n; ++i) {
        bytes_[p].store(entries[i].command, std::memory_order_relaxed);
        p = ringAfter<N>(RingPiece::LeadByte, p);
        bytes_[p].store(static_cast<uint8_t>(entries[i].address & 0xFF), std::memory_order_relaxed);
        bytes_[p + 1].store(static_cast<uint8_t>(entries[i].address >> 8), std::memory_order_relaxed);
        p = ringAfter<N>(RingPiece::Word, p);
        bytes_[p].store(entries[i].pulse, std::memory_order_relaxed);
        p = ringAfter<N>(RingPiece::Single, p);
    }
    write_.store(end, std::memory_order_release);
    return true;
}

bool AccessoryRing::readEntry(int pos, AccessoryEntry& entry, int& next) const {
    const int w = writePos();
    if (pos < 0 || pos >= N || pos == w) return false;
    next = entryEnd(pos);
    if (ringDistance<N>(pos, next) > ringDistance<N>(pos, w)) return false;
    entry.command = byteAt(pos);
    const int a = ringAfter<N>(RingPiece::LeadByte, pos);
    entry.address = static_cast<uint16_t>(byteAt(a) | (byteAt(a + 1) << 8));
    entry.pulse = byteAt(ringAfter<N>(RingPiece::Word, a));
    return true;
}

void AccessoryRing::clear() {
    const uint32_t c = changes_.load(std::memory_order_relaxed);
    changes_.store(c + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    read_.store(0, std::memory_order_release);
    write_.store(0, std::memory_order_release);
    changes_.store(c + 2, std::memory_order_release);
}

void AccessoryRing::setSwitchOffMarker() {
    bytes_[0].store(kSwitchOffMarker, std::memory_order_relaxed);
    read_.store(0, std::memory_order_release);
    write_.store(1, std::memory_order_release);
}

void AccessoryRing::removeEntry(int pos) {
    constexpr int kEntryBytes = 4;
    const int r = readPos();
    if (pos < 0 || pos >= N || r < 0 || r >= N) return;
    const uint32_t c = changes_.load(std::memory_order_relaxed);
    changes_.store(c + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    for (int q = pos; q != r;) {
        const int from = (q - kEntryBytes + N) % N;
        for (int k = 0; k < kEntryBytes; ++k)
            bytes_[(q + k) % N].store(bytes_[(from + k) % N].load(std::memory_order_relaxed), std::memory_order_relaxed);
        q = from;
    }
    read_.store((r + kEntryBytes) % N, std::memory_order_relaxed);
    changes_.store(c + 2, std::memory_order_release);
}

int AccessoryRing::snapshot(AccessoryEntry* out, int max) const {
    for (;;) {
        const uint32_t before = changes_.load(std::memory_order_acquire);
        if (before & 1) {
            std::this_thread::yield();
            continue;
        }
        int n = 0;
        int pos = readPos();
        AccessoryEntry e;
        int next = 0;
        for (int guard = 0; n < max && guard < N && readEntry(pos, e, next); ++guard) {
            out[n++] = e;
            pos = next;
        }
        std::atomic_thread_fence(std::memory_order_acquire);
        if (changes_.load(std::memory_order_relaxed) == before) return n;
    }
}
