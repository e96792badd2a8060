#pragma once
// The command queue: a 100-byte ring of link commands written by the GUI thread alone and read by the
// link thread alone. Each side owns its position, an atomic that only that side writes:
//  - the writer's state holds its write position, the position where the current run of commands
//    started and a run number; it starts a new run when it restarts an empty queue at 0 or drops
//    the unread commands (emergency stop);
//  - the reader's state holds its read position and the run it reads; on seeing a new run it goes on
//    from that run's start.
// The writer publishes a command only when all its bytes are stored, and never writes where the
// reader may still read: a command that does not fit is refused whole.
#include <atomic>
#include <cstdint>

#include "link/model/ring_walk.h"

constexpr int kCommandQueueSize = 100;

// One command as it lies in the queue: the bytes of the command table, 16-bit values little-endian.
struct LinkCommand {
    uint8_t bytes[6] = {};
    int length = 0;  // 1, 3 or 6
    int start = 0;   // ring position of the first byte
    int end = 0;     // ring position after the command, the wrap rules included
};

enum class RingTake { Empty, Command, Overrun };

// The pieces of a command, decided by its first byte. In direct mode 0x20..0x27 switch an accessory
// decoder output off (with a decoder number); in command-station mode 0x20 alone switches every
// solenoid off.
struct CommandShape {
    RingPiece pieces[6] = {};
    int count = 0;
    int length = 0;
};
CommandShape commandShape(uint8_t first, bool directMode);

class CommandRing {
public:
    static constexpr int kSize = kCommandQueueSize;
    // Positions that ordinary commands leave free for track-power commands, so that an emergency stop
    // always finds room.
    static constexpr int kPowerReserve = 4;

    // --- writer (GUI thread) ---
    // Appends one whole command, or nothing (false) when it does not fit or its length does not match
    // its first byte. An empty queue restarts at position 0 first. power: a go/stop command, which may
    // use the reserve.
    bool append(const uint8_t* bytes, int length, bool directMode, bool power = false);
    // Drops every unread command; the queue restarts at 0 as soon as the reader is idle.
    void discard();
    // Restarts an empty queue at 0.
    void normalise();
    // Both positions to 0 and the queue empty; only while no link thread reads it.
    void reset();
    int writePos() const;
    // Where the reader goes on reading.
    int readPos() const;
    bool empty() const { return readPos() == writePos(); }
    // Byte at a ring position (tests and logs of the writer side).
    uint8_t byteAt(int pos) const { return bytes_[pos]; }

    // --- reader (link thread) ---
    // The next command without taking it; Overrun when the bytes at the read position do not form a
    // complete command before the write position.
    RingTake peek(LinkCommand& out, bool directMode);
    void commit(const LinkCommand& c);
    RingTake take(LinkCommand& out, bool directMode);
    // Takes everything written so far without reading it (recovery after an overrun).
    void skipAll();

    // --- either thread: the positions as last published, for the link's log ---
    int publishedWritePos() const { return static_cast<int>(writeState_.load(std::memory_order_acquire) & 0xFFFF); }
    int publishedReadPos() const { return static_cast<int>(readState_.load(std::memory_order_acquire) & 0xFFFF); }

private:
    int readerPositionForWriter() const;
    void restart(int start, int lagRead);
    void syncReader(uint64_t writeState);

    uint8_t bytes_[kSize] = {};
    std::atomic<uint64_t> writeState_{0};  // run << 32 | run start << 16 | write position
    std::atomic<uint64_t> readState_{0};   // run << 32 | read position
    // Writer side only.
    uint64_t ws_ = 0;
    int lagRead_ = 0;  // where the reader may still read while it has not seen the current run
    // Reader side only.
    uint32_t readerRun_ = 0;
    int readPos_ = 0;
};
