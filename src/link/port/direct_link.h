#pragma once
// What the direct-mode sender needs around it: the track port (bytes out, the UART format of the next
// transmission, the booster's power line DTR and its short-circuit line DSR), the link's error log and
// its status bits. The link's serial ports provide it on TCom; tests give a fake that records what was
// written and when.
#include <atomic>
#include <cstdint>

class DirectLink {
public:
    virtual ~DirectLink() = default;
    // Bytes actually written (fewer than n, or 0, when the port failed).
    virtual int write(const uint8_t* bytes, int n) = 0;
    // Prepares the port for DCC or Motorola (accessory) characters.
    virtual void selectFormat(bool dcc, bool accessory, bool force) = 0;
    // Booster power through DTR.
    virtual void setBoosterPower(bool on) = 0;
    // The short-circuit line (DSR): 1 high, 0 low, -1 unreadable.
    virtual int shortCircuitLine() = 0;
    // False when the port's settings can no longer be read (the port is lost).
    virtual bool alive() = 0;
    // True when a second COM port takes turns with the track port.
    virtual bool hasSecondPort() = 0;
    // How many ms the last format change took.
    virtual int formatSwitchMs() = 0;
    // One line in the link's error log (codes 1..4 of the sender).
    virtual void logError(int code, int commandClass, int address, int data) = 0;
    // What the present pass wrote (logged with the errors).
    virtual std::atomic<uint16_t>& statusBits() = 0;
    // Characters the port still holds to send; -1 when it cannot tell (a pseudo-terminal says 0).
    virtual int queuedOut() { return -1; }
};
