#pragma once
// The command-station protocols as bytes: a queued link command becomes the message for the command
// station, in P50 (byte protocol, with P50X commands behind an "X") or in P50X alone. Pure functions;
// the link thread moves the bytes.
//
// P50X commands used:
//   0x80 XLok    address low, high, speed 0..127, flags      reply 1 byte
//   0x88 XFunc   address low, high, F1..F8                   reply 1 byte
//   0x90 XTrnt   address low, high | 0x80 green | 0x40 on    reply 1 byte
//   0xA2 XStatus                                             reply 1 byte: bit 3 set = power on
//   0xA6 XPwrOff / 0xA7 XPwrOn
//   0xC9 XEvtLok records of 5 bytes, ended by a first byte of 0x80 or more
//   0xCA XEvtTrn count n, then n records of 2 bytes
//   0xCB XEvtSen records (module, byte 1, byte 2), ended by module 0
#include <cstdint>
#include <functional>

#include "link/model/command_ring.h"

constexpr uint8_t kP50XPrefix = 0x58;  // "X": a P50X command follows, in P50 mode
constexpr uint8_t kXLok = 0x80;
constexpr uint8_t kXFunc = 0x88;
constexpr uint8_t kXTrnt = 0x90;
constexpr uint8_t kXStatus = 0xA2;
constexpr uint8_t kXPwrOff = 0xA6;
constexpr uint8_t kXPwrOn = 0xA7;
constexpr uint8_t kXEvtLok = 0xC9;
constexpr uint8_t kXEvtTrn = 0xCA;
constexpr uint8_t kXEvtSen = 0xCB;

struct P50Message {
    uint8_t bytes[6] = {};
    int length = 0;          // 0: nothing is sent for this command
    bool poll = false;       // a feedback poll: the feedback follows
    bool readsReply = false; // one reply byte follows
};

// F1..F8 (F1 in bit 0) of the locomotive on the track with that number, else of the function decoder
// with that address; -1 when there is neither.
using FunctionBitsLookup = std::function<int(uint16_t address)>;

// The message for one queued command. p50x: P50X alone. lastTurnout: the address of the last
// accessory switched on in P50X, which the solenoid-off command switches off (kept by the caller).
// P50 carries an address in one byte: a command for an address above 255 is not sent.
P50Message encodeCommand(const LinkCommand& c, bool p50x, uint16_t& lastTurnout, const FunctionBitsLookup& functionBits);

// A P50X query without arguments (XStatus, XEvtLok, XEvtTrn), with the "X" in P50 mode.
P50Message encodeQuery(uint8_t command, bool p50x);

// One module record of an XEvtSen answer.
struct SensorRecord {
    uint8_t module;
    uint8_t first;
    uint8_t second;
};

// The feedback image bytes of an XEvtSen answer: byte 2(m-1) and 2(m-1)+1 of module m; records of
// modules above 35 are skipped; the walk stops at module 0 or at the end of the bytes received.
// Returns how many modules were stored; store(index, value) writes one image byte, last: the last
// module's record stored.
int walkSensorRecords(const uint8_t* bytes, int n, const std::function<void(int, uint8_t)>& store, SensorRecord* last);
