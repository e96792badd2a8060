#include "link/model/command_ring.h"

namespace {

constexpr int N = kCommandQueueSize;

uint32_t runOf(uint64_t s) { return static_cast<uint32_t>(s >> 32); }
int startOf(uint64_t s) { return static_cast<int>((s >> 16) & 0xFFFF); }
int posOf(uint64_t s) { return static_cast<int>(s & 0xFFFF); }
uint64_t pack(uint32_t run, int start, int pos) {
    return (static_cast<uint64_t>(run) << 32) | (static_cast<uint64_t>(start) << 16) | static_cast<uint64_t>(pos);
}

bool powerOrPoll(uint8_t b) { return (b & 0xE0) == 0x60 || (b & 0xE0) == 0x80; }

// Position after the whole shape when it starts at p.
int walk(const CommandShape& s, int p) {
    for (int i = 0; i < s.count; ++i) p = ringAfter<N>(s.pieces[i], p);
    return p;
}

}  // namespace

static_assert(std::atomic<uint64_t>::is_always_lock_free);

CommandShape commandShape(uint8_t first, bool directMode) {
    using P = RingPiece;
    if (first == 0x58) return {{P::ExtMarker, P::Tail, P::Tail, P::Tail, P::Tail, P::Tail}, 6, 6};
    if (first == 0xA0) return {{P::LeadByte, P::Word, P::Single, P::Single, P::Single}, 5, 6};
    if (powerOrPoll(first) || (first == 0x20 && !directMode)) return {{P::Single}, 1, 1};
    return {{P::LeadByte, P::Word}, 2, 3};
}

// ---- writer ----

int CommandRing::readerPositionForWriter() const {
    const uint64_t rs = readState_.load(std::memory_order_acquire);
    return runOf(rs) == runOf(ws_) ? posOf(rs) : lagRead_;
}

void CommandRing::restart(int start, int lagRead) {
    lagRead_ = lagRead;
    ws_ = pack(runOf(ws_) + 1, start, start);
    writeState_.store(ws_, std::memory_order_release);
}

void CommandRing::normalise() {
    const int w = posOf(ws_);
    if (w != 0 && readerPositionForWriter() == w) restart(0, 0);
}

void CommandRing::discard() {
    const int w = posOf(ws_);
    const int r = readerPositionForWriter();
    if (r == w) {
        if (w != 0) restart(0, 0);
    } else {
        restart(w, r);  // the reader may be busy at r: the new run goes on from w
    }
}

void CommandRing::reset() {
    ws_ = 0;
    lagRead_ = 0;
    readerRun_ = 0;
    readPos_ = 0;
    writeState_.store(0, std::memory_order_release);
    readState_.store(0, std::memory_order_release);
}

int CommandRing::writePos() const { return posOf(ws_); }

int CommandRing::readPos() const {
    const uint64_t rs = readState_.load(std::memory_order_acquire);
    return runOf(rs) == runOf(ws_) ? posOf(rs) : startOf(ws_);
}

bool CommandRing::append(const uint8_t* bytes, int length, bool directMode, bool power) {
    const CommandShape shape = commandShape(bytes[0], directMode);
    if (length != shape.length) return false;
    normalise();
    const int w = posOf(ws_);
    const int r = readerPositionForWriter();
    const int end = walk(shape, w);
    if (r != w && ringDistance<N>(w, r) <= ringDistance<N>(w, end) + (power ? 0 : kPowerReserve)) return false;
    int p = w;
    int k = 0;
    for (int i = 0; i < shape.count; ++i) {
        for (int b = 0; b < ringPieceBytes(shape.pieces[i]); ++b) bytes_[p + b] = bytes[k++];
        p = ringAfter<N>(shape.pieces[i], p);
    }
    ws_ = pack(runOf(ws_), startOf(ws_), end);
    writeState_.store(ws_, std::memory_order_release);
    return true;
}

// ---- reader ----

void CommandRing::syncReader(uint64_t writeState) {
    if (runOf(writeState) == readerRun_) return;
    readerRun_ = runOf(writeState);
    readPos_ = startOf(writeState);
    readState_.store(pack(readerRun_, 0, readPos_), std::memory_order_release);
}

RingTake CommandRing::peek(LinkCommand& out, bool directMode) {
    const uint64_t ws = writeState_.load(std::memory_order_acquire);
    syncReader(ws);
    const int w = posOf(ws);
    if (readPos_ == w) return RingTake::Empty;
    const CommandShape shape = commandShape(bytes_[readPos_], directMode);
    const int end = walk(shape, readPos_);
    if (ringDistance<N>(readPos_, end) > ringDistance<N>(readPos_, w)) return RingTake::Overrun;
    out = {};
    out.start = readPos_;
    out.end = end;
    out.length = shape.length;
    int p = readPos_;
    int k = 0;
    for (int i = 0; i < shape.count; ++i) {
        for (int b = 0; b < ringPieceBytes(shape.pieces[i]); ++b) out.bytes[k++] = bytes_[p + b];
        p = ringAfter<N>(shape.pieces[i], p);
    }
    return RingTake::Command;
}

void CommandRing::commit(const LinkCommand& c) {
    readPos_ = c.end;
    readState_.store(pack(readerRun_, 0, readPos_), std::memory_order_release);
}

RingTake CommandRing::take(LinkCommand& out, bool directMode) {
    const RingTake t = peek(out, directMode);
    if (t == RingTake::Command) commit(out);
    return t;
}

void CommandRing::skipAll() {
    const uint64_t ws = writeState_.load(std::memory_order_acquire);
    syncReader(ws);
    readPos_ = posOf(ws);
    readState_.store(pack(readerRun_, 0, readPos_), std::memory_order_release);
}
