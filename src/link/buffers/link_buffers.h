#pragma once
// The buffers shared with the link threads and the writers of the command language. Everything here
// runs on the GUI thread unless said otherwise.
//
// Command table (first byte decides; a 16-bit value is little-endian):
//   0x00..0x1F, address       speed, short form: bits 0..3 step (15 Motorola reverse), 0x10 F0
//   0x58 0x80 address speed flags   speed, extended form: speed 0..127; flags 0x40 | 0x20 forward |
//                                   0x10 F0 | F1..F4 in bits 0..3
//   0x20                      command-station mode: every solenoid off
//   0x21 / 0x22, address      command-station mode: accessory green / red
//   0x20+o / 0x28+o, decoder  direct mode: output o of an accessory decoder off / on
//   0x40+x, address           function (x: F1..F4 bits in command-station mode, else the function
//                             number, 24 as 31)
//   0x60 / 0x61               track power on (go) / off (stop)
//   0x80+m                    feedback poll of modules 1..m
//   0xA0 address mode cvlow value   DCC configuration-variable write
#include <atomic>
#include <cstdint>

#include "link/model/accessory_ring.h"
#include "link/model/command_ring.h"
#include "link/model/feedback_image.h"

struct FunctionDecoderRec;
struct LocoRec;

extern CommandRing gCommandQueue;        // GUI thread -> TCom
extern AccessoryRing gAccessoryQueue;    // GUI thread (TCom may read)
extern FeedbackImage gFeedbackImage;     // T_S88 or TCom -> GUI thread
// Bytes of one complete feedback image, 2 per S88 module; 0 while not computed. Read by the workers.
extern std::atomic<int32_t> gFeedbackByteCount;

constexpr uint8_t kCmdSolenoidsOff = 0x20;
constexpr uint8_t kCmdAccessoryGreen = 0x21;
constexpr uint8_t kCmdAccessoryRed = 0x22;
constexpr uint8_t kCmdOutputOn = 0x28;
constexpr uint8_t kCmdFunction = 0x40;
constexpr uint8_t kCmdExtendedSpeed = 0x58;
constexpr uint8_t kCmdGo = 0x60;    // '`'
constexpr uint8_t kCmdStop = 0x61;  // 'a'
constexpr uint8_t kCmdPoll = 0x80;
constexpr uint8_t kCmdCvWrite = 0xA0;

// True in direct mode (no command station: the PC generates the track signal).
bool directMode();

// One command of one byte, or a command byte with its 16-bit value; false when it was dropped.
bool queueCommandByte(uint8_t b);
bool queueCommandWithValue(uint8_t b, uint16_t value);
// Track power on or off; uses the positions that ordinary commands leave free.
bool queueTrackPower(bool on);

// Speed byte (0..127) of the extended form for a step of a locomotive with speedSteps steps; 0 for
// the reverse code beyond the last step.
int extendedSpeedByte(int step, int speedSteps);

// Sends the locomotive's speed (force 1: even when the step equals the last one sent). A command that
// finds the queue full waits (the newest per locomotive) and counts as sent only once queued.
void queueLocoSpeed(LocoRec* loco, int force);
// Queues the speed commands that waited for room, oldest first, as far as they fit (every cycle).
void sendHeldSpeeds();
// Drops the waiting speed commands (the link closes).
void forgetHeldSpeeds();
int heldSpeedCount();
// Switches function n (0..28) of the locomotive.
void setLocoFunction(LocoRec* loco, int n, int on);
// The function's bit, the panels that show it and the decoder at the locomotive's address, without a
// command or a record: what a client does with the server's report of a switched function.
void showLocoFunction(LocoRec* loco, int n, int on);
// Switches function n (1..28) of a function decoder.
void setDecoderFunction(FunctionDecoderRec* decoder, int n, int on);
// Queues a turnout ('G', 'R'), signal ('S') or output ('O') command for addresses A and B (B 0: none);
// 1 queued, 0 refused.
int queueAccessoryCommand(char kind, int addressA, int addressB, int pulse);
// DCC configuration-variable write; mode 1 on the main track, 2 service mode.
void queueCvWrite(int address, int mode, int cv, int value);
