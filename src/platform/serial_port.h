#pragma once
// Serial ports "COM1".."COM9" on Linux. "COMn" is the device named in the environment variable
// VESTREL_COMn, else /dev/ttyS<n-1>. A port is opened exclusively and raw; its settings are put back
// when it is closed. Every wait is bounded by the port's time-outs, kept as a COM port keeps them.
// No Qt here: the link threads use this directly.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vestrel {

// A UART format. parity: 'N' none, 'E' even, 'O' odd.
struct SerialFormat {
    int baud = 2400;
    int dataBits = 8;
    char parity = 'N';
    int stopBits = 1;
    bool operator==(const SerialFormat&) const = default;
};

// Time-outs in milliseconds. A read of n bytes waits at most readConstant + readMultiplier * n in all
// and, with readInterval not 0, at most readInterval between two bytes; a write of n bytes waits at
// most writeConstant + writeMultiplier * n. All 0: a read takes what is waiting and returns.
struct SerialTimeouts {
    int readInterval = 0;
    int readMultiplier = 0;
    int readConstant = 0;
    int writeMultiplier = 0;
    int writeConstant = 0;
    bool operator==(const SerialTimeouts&) const = default;
};

// A modem input line: set, clear, or unreadable (a pseudo-terminal has no modem lines).
enum class LineState { Clear, Set, Unreadable };

// One open serial port. Every call comes from one thread at a time.
class SerialPort {
public:
    virtual ~SerialPort() = default;
    virtual const std::string& name() const = 0;
    // False once the port is lost: its settings cannot be read or its line hung up.
    virtual bool alive() = 0;
    // Sets the UART format; false when the settings could not be read or written.
    virtual bool setFormat(const SerialFormat& format) = 0;
    // The format as the device now holds it (false when unreadable).
    virtual bool readFormat(SerialFormat& format) = 0;
    virtual SerialTimeouts timeouts() const = 0;
    virtual void setTimeouts(const SerialTimeouts& t) = 0;
    // Writes up to n bytes within the write time-out; returns how many went out (0 on failure).
    virtual int write(const uint8_t* bytes, int n) = 0;
    // Reads up to n bytes within the read time-outs; returns how many came (0 on failure).
    virtual int read(uint8_t* bytes, int n) = 0;
    // Bytes received and not read yet.
    virtual int bytesWaiting() = 0;
    // Drops what was received and not read.
    virtual void purgeReceive() = 0;
    // Waits until everything written has left the port; false when that cannot be known.
    virtual bool drain() = 0;
    // Output lines. Where the device has none, the call does nothing.
    virtual void setDtr(bool on) = 0;
    virtual void setRts(bool on) = 0;
    // The DTR state last set (the line itself may not be readable).
    virtual bool dtr() const = 0;
    virtual LineState cts() = 0;
    virtual LineState dsr() = 0;
    // Asks the device to hand over received bytes at once rather than in batches, where it has such a
    // setting (a UART driver does; a pseudo-terminal or a fake does not).
    virtual void setLowLatency() {}
    // Characters written but not yet sent (TIOCOUTQ); -1 when the port cannot tell.
    virtual int bytesQueuedOut() { return -1; }
};

// The device file of "COMn" (n 1..9); empty for any other name.
std::string serialDevicePath(const std::string& comName);

// Opens "COMn" for reading and writing, exclusively (no other opener, this process included), raw,
// 8 data bits, no parity, 1 stop bit, all time-outs 0. Null when it cannot be opened or is not a
// terminal. Through the opener set by setSerialOpener when there is one (tests).
std::unique_ptr<SerialPort> openSerialPort(const std::string& comName);
using SerialOpener = std::function<std::unique_ptr<SerialPort>(const std::string& comName)>;
void setSerialOpener(SerialOpener opener);  // empty: the real devices again

// True when "COMn" could be opened and locked now and its settings read; it is closed again at once.
bool serialPortFree(const std::string& comName);

}  // namespace vestrel
