#pragma once
// TCom, the link thread of the track port: in command-station mode it sends the command queue in P50
// or P50X and reads the feedback through the command station; in direct mode it runs the direct-mode
// sender. And the link's error log "com.log".
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "link/port/link_thread.h"

class TCom final : public LinkThread {
public:
    TCom();  // created running
    ~TCom() override;

    // Passes of the loop completed so far (idle ones too), and the bytes the direct-mode sender has
    // written to the track port: a watcher waits on these to know the thread has gone round since a
    // change, and that the line has had everything it wrote.
    uint64_t passes() const { return passes_.load(); }
    uint64_t trackBytesWritten() const { return trackBytes_.load(); }

protected:
    void Execute() override;

private:
    bool p50x_;
    bool cts_;
    bool direct_;
    std::atomic<uint64_t> passes_{0};
    std::atomic<uint64_t> trackBytes_{0};
};

extern std::unique_ptr<TCom> gComThread;  // the running TCom, or none

// What the current loop pass wrote (direct mode sets most bits; bit 0: port re-initialised after a
// write error); logged in "com.log".
extern std::atomic<uint16_t> gLinkStatusBits;

// Appends one line to "com.log". Codes: 0 link thread started; 1 a queued command ran past the write
// position and the queue was emptied; 2, 3, 4 a queued, refresh/idle or repeated accessory packet was
// not written whole (direct mode), which also re-initialises the track port once.
void logLinkError(int code, int commandClass, int address, int data);

// Status labels of the main window (GUI thread): two feedback bytes in lblHexIn as four hexadecimal
// digits; one or two bytes sent in lblHexUit (the second only when not 0).
void showFeedbackBytes(uint8_t first, uint8_t second);
void showReplyBytes(uint8_t first, uint8_t second);
// Two upper-case hexadecimal digits.
std::string byteToHex(uint8_t b);
