#pragma once
// The feedback image: 70 bytes of S88 contacts, 2 bytes per module of 16 contacts, contact n (1..496)
// being bit 0x80 >> ((n-1) mod 8) of byte (n-1) div 8. One worker (T_S88 or TCom) fills it and
// publishes each complete read; the GUI thread decodes what was published. Bytes are atomics so that
// either side may look at a contact at any time; the published state (a read number and its byte
// count) is written only by the producer, the decoded read number only by the GUI thread.
#include <atomic>
#include <cstdint>

constexpr int kFeedbackImageSize = 70;
constexpr int kMaxContact = 496;

class FeedbackImage {
public:
    // --- producer ---
    void storeByte(int index, uint8_t value);
    // The image now holds byteCount fresh bytes from byte 0.
    void publish(int byteCount);

    // --- any thread ---
    uint8_t byteAt(int index) const;
    // Contact bit (non-zero = occupied); contacts outside 1..496 read 0.
    int contactBit(int contact) const;
    // Sets, clears or flips one contact; contacts outside 1..496 are ignored.
    void setContact(int contact, bool on);
    void flipContact(int contact);
    // Every byte 0 (a session stops; no producer runs then).
    void clearBytes();

    // --- GUI thread ---
    struct Read {
        uint32_t number = 0;  // counts the reads published
        int byteCount = 0;
    };
    Read lastRead() const;
    // A published read that has not been decoded yet.
    bool pending() const { return lastRead().number != decoded_; }
    void markDecoded(uint32_t readNumber) { decoded_ = readNumber; }

private:
    std::atomic<uint8_t> bytes_[kFeedbackImageSize] = {};
    std::atomic<uint32_t> published_{0};  // read number << 8 | byte count
    uint32_t decoded_ = 0;                // read number last decoded (GUI thread)
};
