#pragma once
// The direct-mode sender: one pass of the link thread's loop when the PC itself generates the track
// signal. It sends each queued command as a Motorola or DCC packet, refreshes the locomotives on the
// track in turn (the DCC idle packet when there are none), repeats switched-on accessory outputs, powers
// the booster through DTR, watches its short-circuit line and measures how precisely the system sleeps.
//
// Status bits of a pass: 0x10 waited for a transmit time, 0x20 DCC packet of a command, 0x40 DCC
// refresh, 0x80 DCC accessory repeat, 0x100 CV write, 0x200 idle packet, 0x1000 Motorola writer, 0x2000
// Motorola packet of a command, 0x4000 Motorola refresh, 0x8000 Motorola accessory repeat.
#include <cstdint>

#include "link/port/direct_link.h"
#include "link/port/link_clock.h"

// Writes a Motorola packet `count` times with the Motorola repeat gaps, timed from each packet's start.
// pending: characters written since the last Motorola packet (-1 after a DCC wait); when it is not 0
// the packet first waits until 1.5 ms after the reference. Returns the bytes of the last write.
int writeMotorolaPacket(DirectLink& link, const uint8_t* packet, int length, bool accessory, int count,
                        int& pending, int64_t& reference);

// The cycle display in lblHexUit: "(format switch ms)(sleep ms)" followed by "10" and "01" in turn
// (GUI thread).
void showCycleTimes(int formatSwitchMs, int sleepMs);

class DirectSender {
public:
    explicit DirectSender(DirectLink& link);
    // One pass of the loop.
    void pass();
    // The link clock's moment when the line will have sent all DCC characters written so far.
    int64_t lineFreeAt() const { return reference_; }

private:
    void shortCircuitGuard();
    bool sendCommand();  // true when a command was taken
    bool writeDcc(const uint8_t* packet, int length, int times, bool newReference);
    void power(bool on);
    void cvWrite(const uint8_t* command);
    void waitPending();
    void refresh();
    void repeatAccessories();
    void measureSleep();
    void mark(uint16_t bits);
    void noteWrite(bool complete);

    DirectLink& link_;
    int refreshIndex_ = 0;
    bool phase_ = false;
    bool functionRound_ = false;
    int functionSlot_ = 32;  // advanced before the first function round, which so carries F1
    int pending_ = -1;
    int shortCount_ = 0;
    bool sentSpeed_ = false;
    int64_t reference_ = 0;
    int64_t lastMeasure_ = 0;
    uint8_t buffer_[64] = {};
};
