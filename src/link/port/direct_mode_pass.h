#pragma once
// The direct-mode sender: the link thread's pass when the PC itself generates the track signal.
#include <atomic>
#include <cstdint>

// One pass of the direct-mode sender on the track port; false when it had nothing to send (the
// thread then sleeps 10 ms). Adds the bytes written to the track port to `bytesWritten`.
bool runDirectModePass(std::atomic<uint64_t>& bytesWritten);
