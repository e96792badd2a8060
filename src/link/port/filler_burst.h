#pragma once
// The filler burst of the second COM port in direct mode: while the track port changes its UART format,
// the other port keeps the booster supplied with a valid signal in the format it holds.
#include <cstdint>

namespace vestrel {
class SerialPort;
}

// How many filler packets cover a format change of switchMs: DCC idle packets (format 4) or Motorola
// filler packets (formats 1..3); 0 for an unknown format.
int fillerRepeats(uint8_t format, int switchMs);

// Writes the burst: DCC idle packets, each followed by its transmit time at 1646 characters per second,
// or Motorola filler packets 1/200 s apart (1/190 s with "Tussentijd MM"). Returns the packets written.
int sendFillerBurst(vestrel::SerialPort& port, uint8_t format, int switchMs);
