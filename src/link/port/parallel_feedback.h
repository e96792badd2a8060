#pragma once
// The parallel port of S88 feedback in direct mode, addressed as I/O registers: the data register at
// edtLPTAdres, the status register at +1, the control register at +2.
#include <cstdint>
#include <memory>

#include "platform/parallel_port.h"

extern std::unique_ptr<vestrel::ParallelPort> gParallelPort;  // open while the link reads S88 on it

// The byte of I/O address port; 0 when no parallel port is open or the address is none of its three.
uint8_t portReadByte(uint16_t port);
// Writes a byte to I/O address port (the status register is read-only).
void portWriteByte(uint16_t port, uint8_t value);
// Opens LPT1 or LPT2 (cboS88poort '1' or '2') and checks that the data register echoes 1; sets
// gFeedbackPort on success, else shows why.
void openParallelPortFeedback();
// Releases the parallel port.
void closeParallelPortFeedback();
