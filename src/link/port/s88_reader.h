#pragma once
// Reading the S88 feedback modules without a command station: bit by bit on the parallel port, or
// through an S88 interface on a COM port. One read fills the feedback image and publishes it whole; its
// result is a status (below). Everything outside the ports and the image goes through the hooks.
#include <cstdint>
#include <functional>

#include "platform/serial_port.h"

// gS88Status values.
constexpr uint8_t kS88Ok = 0;            // data read, at least one contact reported
constexpr uint8_t kS88PortError = 1;
constexpr uint8_t kS88NoModules = 2;     // an answer without any S88 contact ("geen S88")
constexpr uint8_t kS88NoInterface = 3;   // no interface answering ("geen convertor")
constexpr uint8_t kS88DataError = 4;     // answers that never agreed ("datafout")

struct S88Hooks {
    std::function<void(int reason)> emergencyStop;
    // Sleeps up to ms; false when the link closes meanwhile.
    std::function<bool(int ms)> sleep;
};

class S88Reader {
public:
    explicit S88Reader(S88Hooks hooks);

    // One read of byteCount image bytes on the parallel port (through portWriteByte/portReadByte).
    void readParallel(int byteCount);
    // One read of byteCount image bytes through the COM-port interface.
    void readCom(vestrel::SerialPort& port, int byteCount);

    uint8_t status = kS88Ok;
    uint8_t converterMs = 0;  // the interface's wake-up pulse, ms (at least 1)

private:
    S88Hooks hooks_;
};

// The image byte of a 16-bit word of the COM-port interface: bits 0, 2, .., 14 are the contacts
// 0x80 .. 0x01.
uint8_t s88ByteOfWord(uint16_t word);
