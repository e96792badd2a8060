#pragma once
// The UART formats of the track port, one per kind of transmission, and the choices made from them.
// Pure functions of the settings.
#include <cstdint>

#include "platform/serial_port.h"

// Format codes of a port; 0: not known.
constexpr uint8_t kFormatUnknown = 0;
constexpr uint8_t kFormatMotorola = 1;          // 38400 baud, 6 data bits
constexpr uint8_t kFormatMotorolaLoco7 = 2;     // 38400 baud, 7 data bits (locomotives)
constexpr uint8_t kFormatMotorola115200 = 3;    // 115200 baud, even parity, 2 stop bits (accessories)
constexpr uint8_t kFormatDcc = 4;               // 16457 baud (19200 when chosen)

// The command station's format: its baud rate, 8 data bits, no parity, 2 stop bits.
vestrel::SerialFormat commandStationFormat(int baud);
// The format of a code 1..4 of direct mode.
vestrel::SerialFormat directFormat(uint8_t code, bool dcc19200);

// The code a transmission wants: DCC; else an accessory packet at 115200; else a locomotive packet
// with 7 bits; else plain Motorola.
uint8_t wantedFormat(bool dcc, bool accessory, bool accessory115200, bool loco7bit);

// Which of the two direct-mode ports carries the wanted code, given the codes they hold now.
struct PortChoice {
    int port = 0;          // 0 port A (the track port), 1 port B (the second port)
    bool reprogram = false; // the chosen port must be set to the wanted format first
};
PortChoice choosePort(uint8_t wanted, uint8_t formatA, uint8_t formatB);

// Feedback poll period of command-station mode in ms: at up to 9600 baud 9600 / baud * bytes + 300
// (integer division first), above it 300.
int pollPeriodMs(int baud, int feedbackBytes);

// Read constant of a COM-port S88 interface in ms: 1240000 / baud + 2.
int feedbackReadConstantMs(int baud);
