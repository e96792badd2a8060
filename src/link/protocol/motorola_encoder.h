#pragma once
// The Motorola track signal as UART characters, built by pure functions (no port, no clock).
//
// A Motorola packet is 9 trits = 18 bits: 4 address trits (t0 first), the function trit, then the speed
// byte from bit 0 to bit 7. An address trit is two bits: 0 "00", 1 "11", 2 "10", 3 "01". The function
// trit's value goes out as two bits, bit 0 first (0 "00", 1 "10", 2 "01", 3 "11": F0 on is "11").
// Locomotive and function packets carry one bit per character (38400 baud, 6 or 7 data bits): "1" is
// 0x00, "0" is 0xFF. Accessory packets carry two bits per character at 38400 baud, or one bit per
// character at 115200 baud (8 data bits, even parity, 2 stop bits: "1" 0x00, "0" 0xFE).
#include <cstdint>

struct LocoRec;
struct FunctionDecoderRec;

constexpr int kMotorolaPacketChars = 18;
constexpr int kMotorolaSpeedPartChars = 8;
constexpr int kMotorolaAccessoryChars38400 = 9;
constexpr int kMotorolaReverseByte = 0x03;

// Speed code of step s (0..15) with its bits 0..3 at the even bit positions 0, 2, 4, 6; s = 15 is the
// reverse code.
extern const uint8_t gMotorolaSpeedCodes[16];

// The four address trits of a decoder address 0..255 (t0 sent first); 0 (trits untouched) above 255.
int motorolaAddressTrits(int address, uint8_t trits[4]);

// The locomotive's speed packet (18 characters, zero-terminated in the buffer) for its last step sent,
// written into its packet cache together with the speed parts of its F1..F4 packets. 0 when it has no
// cache or its number cannot be sent in Motorola.
int encodeMotorolaLoco(LocoRec* loco, uint8_t* buffer);

// The packet of function j (1..4): 18 characters, or only the 8 characters of its speed byte when
// partOnly. For a locomotive the address and function trit come from its cache and, unless partOnly,
// the speed part is stored in the cache slot of j. 0 when nothing can be encoded.
int encodeMotorolaFunction(LocoRec* loco, int j, bool partOnly, uint8_t* buffer);
int encodeMotorolaFunction(const FunctionDecoderRec* decoder, int j, uint8_t* buffer);

// An accessory packet for a decoder number and a command (output 0..7 in bits 0..2, on in bit 3):
// 18 characters at 115200 baud (at115200), else 9; 0 for a decoder above 255.
int encodeMotorolaAccessory(int decoder, int command, uint8_t* buffer, bool at115200);
// The same in the format the settings choose.
int encodeMotorolaAccessory(int decoder, int command, uint8_t* buffer);

// The filler packet that keeps a Motorola booster supplied (18 characters).
extern const uint8_t kMotorolaFiller[kMotorolaPacketChars];

// Cache layout of a Motorola locomotive: the speed packet, then the speed parts of F1..F4.
constexpr int motorolaCacheFunctionSlot(int j) { return kMotorolaPacketChars + (j - 1) * kMotorolaSpeedPartChars; }
