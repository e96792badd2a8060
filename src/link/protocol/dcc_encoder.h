#pragma once
// The DCC track signal as UART characters, built by pure functions (no port, no clock).
//
// The port runs 8 data bits, no parity, 1 stop bit at 16457 baud (19200 as an option): one character is
// 10 cells (start bit low, 8 data bits least significant first, stop bit high). A DCC "1" is one low cell
// and one high cell, a "0" a low run of at least two cells and a high run of at least two. The packer
// chooses characters that each hold a whole number of DCC bits, starting low and ending high.
#include <cstdint>

struct LocoRec;
struct FunctionDecoderRec;

constexpr int kDccIdleChars = 13;
constexpr int kDccResetChars = 19;
// Characters a cached DCC string may hold: the speed string at cache byte 0, the F0..F4 string at 25,
// each zero-terminated (no packed character is 0).
constexpr int kDccCacheSlotChars = 24;
constexpr int kDccCacheFunctionOffset = 25;

// The idle and reset packets, pre-packed, sent as they are.
extern const uint8_t kDccIdlePacket[kDccIdleChars];
extern const uint8_t kDccResetPacket[kDccResetChars];

// The 28-step speed instruction bits (bit 4 the intermediate step) of steps 0..28.
extern const uint8_t gDcc28SpeedCodes[29];

// Packs a packet of 2 to 5 bytes (the check byte is added here) into characters, preceded by 3
// characters of preamble (5 in service mode); the string is zero-terminated. Returns the character
// count, or 0 when the packet cannot be packed (or count is out of range).
int encodeDccForUart(const uint8_t* bytes, int count, uint8_t* buffer, bool serviceMode = false);

// The bytes of a packet before packing (address, instruction, data; no check byte), 0 bytes when there
// is nothing to send.
struct DccPacket {
    uint8_t bytes[5] = {};
    int count = 0;
    void add(uint8_t b) { bytes[count++] = b; }
};

// Packets of a locomotive's speed, of the function group that holds function n (of a locomotive or of a
// function decoder) and of an accessory decoder command (8 activate plus output 0..7, or output alone).
DccPacket dccSpeedPacket(const LocoRec& loco);
DccPacket dccFunctionGroupPacket(int address, const uint8_t functionBytes[4], int n);
DccPacket dccAccessoryPacket(int decoder, int command);
// A configuration-variable write: on the main track with the locomotive's address, or in service mode
// (mode byte 0x7C..0x7F) without one.
DccPacket dccCvWritePacket(int address, uint8_t modeByte, uint8_t cvLow, uint8_t value);

// Packed speed packet of the locomotive's last step sent, stored at the start of its cache too.
int encodeDccSpeed(LocoRec* loco, uint8_t* buffer);
// Packed function group of function n; for a locomotive and n <= 4 also stored at cache byte 25.
int encodeDccFunctionGroup(LocoRec* loco, int n, uint8_t* buffer);
int encodeDccFunctionGroup(const FunctionDecoderRec* decoder, int n, uint8_t* buffer);
int encodeDccAccessory(int decoder, int command, uint8_t* buffer);

// The message when a DCC packet cannot be packed.
extern const char* const kMsgDccNotPackable;
