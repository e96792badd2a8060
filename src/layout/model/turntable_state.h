#pragma once
// The turntable's run-time state flags. They live in byte 24 of the stored record, one of the bytes the
// record otherwise leaves unnamed, so that files and network records keep them where peers expect them.
#include <cstdint>

#include "layout/model/layout_model.h"

constexpr int kTurntableStateByte = 24;
constexpr int kTurntableReservedStart = 14;  // first byte of TurntableRec::reserved2 in the stored record
static_assert(kTurntableStateByte - kTurntableReservedStart < static_cast<int>(sizeof(TurntableRec::reserved2)));

constexpr uint8_t kTurntableInPosition = 0x20;  // the in-position input reports the bridge in place

inline uint8_t& turntableStateFlags(TurntableRec& t) { return t.reserved2[kTurntableStateByte - kTurntableReservedStart]; }
inline uint8_t turntableStateFlags(const TurntableRec& t) {
    return t.reserved2[kTurntableStateByte - kTurntableReservedStart];
}

// The time-out counter (model seconds left before a system-1 turntable is stopped) lives in byte 12 of the
// stored record, the unnamed byte between the time-out and the run-on time.
inline uint8_t& turntableTimeoutCounter(TurntableRec& t) { return t.reserved1; }
