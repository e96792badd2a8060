#pragma once
// How a position moves through one piece of a queued command in a byte ring of N positions.
// A 16-bit value is never split across the end of a ring: the byte before it wraps early.

enum class RingPiece : unsigned char {
    Single,     // a byte on its own: +1, back to 0 at N
    LeadByte,   // a command byte followed by a 16-bit value: +1, back to 0 at N - 1 or more
    Word,       // a 16-bit value, little-endian: +2, back to 0 at N
    ExtMarker,  // the 0x58 of the extended speed form: +1, back to 0 when the next 5 bytes would not fit
    Tail,       // one of those 5 bytes: +1, no wrap check
};

template <int N>
constexpr int ringAfter(RingPiece piece, int p) {
    switch (piece) {
    case RingPiece::Single: return p + 1 >= N ? 0 : p + 1;
    case RingPiece::LeadByte: return p + 1 >= N - 1 ? 0 : p + 1;
    case RingPiece::Word: return p + 2 >= N ? 0 : p + 2;
    case RingPiece::ExtMarker: return p + 1 + 5 >= N ? 0 : p + 1;
    case RingPiece::Tail: return p + 1;
    }
    return p;
}

constexpr int ringPieceBytes(RingPiece piece) { return piece == RingPiece::Word ? 2 : 1; }

// Positions from a to b going forward in a ring of N.
template <int N>
constexpr int ringDistance(int a, int b) {
    return ((b - a) % N + N) % N;
}
