#pragma once
// Decoder programming: the Motorola "program mode" sequence, stepped once per main-cycle tick.
//
// A Motorola decoder learns a register when it sees, after a long power-off, a direction change under
// its own address held for a while (program mode), then a direction change under the register number and
// one under the value. The sequencer drives gProgLoco through these: its number and decoder type are
// changed for the steps and restored afterwards.
//
// States (the state counts up by one each tick, except where noted):
//   1        power off without message (silent stop), the locomotive as old Motorola (type 0)
//   101      power on, direction change held 30 cycles; 102 waits while it is held
//   150      number and type restored, state 0 (end of entering program mode)
//   201      number := register, direction change held 10 cycles; 202 waits
//   301      number := value, direction change held 10 cycles; 302 waits
//   400      number and type restored, state 0 (end of a register write)
//   401      power off without message
//   500      power on, state 0 (end of leaving program mode)
#include <atomic>
#include <cstdint>

struct LocoRec;

extern std::atomic<int16_t> gMmProgState;  // state of the Motorola programming sequence, 0 idle
extern uint16_t gMmSavedAddress;           // the locomotive's own number while the sequence changes it
extern uint8_t gMmSavedDecoderType;        // and its own decoder type
extern int gMmRegister;                    // the register (1..255) and value (0..255) of a write
extern int gMmRegisterValue;

// State 1: enter program mode; 201: write a register; 401: leave program mode.
constexpr int16_t kMmEnterProgramMode = 1;
constexpr int16_t kMmWriteRegister = 201;
constexpr int16_t kMmLeaveProgramMode = 401;

// One step of the Motorola programming sequence per main-cycle tick of a session (also during an
// emergency stop).
void runMmProgrammingStep();

// Ends a running sequence at once: the locomotive gets its own number and decoder type back with its
// packets, the silent stop of the sequence is released when releaseStop is set and one is in force,
// and the dialog is enabled again. Without a running sequence it does nothing.
void endMmProgramming(bool releaseStop);

// A record is going away: when it is what programming works on, the sequence ends first and the
// pointer is cleared (either argument may be null).
void forgetProgrammingRecord(const LocoRec* loco, const struct FunctionDecoderRec* decoder);

// The locomotive the Motorola programming sequence works on (the only one the sender refreshes while it
// runs), or none. Safe on the link thread.
LocoRec* mmProgrammedLoco();
