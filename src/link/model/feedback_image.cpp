#include "link/model/feedback_image.h"

namespace {
bool validContact(int n) { return n >= 1 && n <= kMaxContact; }
uint8_t maskOf(int n) { return static_cast<uint8_t>(0x80 >> ((n - 1) % 8)); }
}  // namespace

void FeedbackImage::storeByte(int index, uint8_t value) {
    if (index >= 0 && index < kFeedbackImageSize) bytes_[index].store(value, std::memory_order_relaxed);
}

void FeedbackImage::publish(int byteCount) {
    if (byteCount < 0) byteCount = 0;
    if (byteCount > kFeedbackImageSize) byteCount = kFeedbackImageSize;
    uint32_t old = published_.load(std::memory_order_relaxed);
    while (!published_.compare_exchange_weak(old, ((old >> 8) + 1) << 8 | static_cast<uint32_t>(byteCount),
                                             std::memory_order_release, std::memory_order_relaxed)) {
    }
}

uint8_t FeedbackImage::byteAt(int index) const {
    return (index >= 0 && index < kFeedbackImageSize) ? bytes_[index].load(std::memory_order_relaxed) : 0;
}

int FeedbackImage::contactBit(int n) const {
    return validContact(n) ? (byteAt((n - 1) / 8) & maskOf(n)) : 0;
}

void FeedbackImage::setContact(int n, bool on) {
    if (!validContact(n)) return;
    if (on) bytes_[(n - 1) / 8].fetch_or(maskOf(n), std::memory_order_relaxed);
    else bytes_[(n - 1) / 8].fetch_and(static_cast<uint8_t>(~maskOf(n)), std::memory_order_relaxed);
}

void FeedbackImage::flipContact(int n) {
    if (validContact(n)) bytes_[(n - 1) / 8].fetch_xor(maskOf(n), std::memory_order_relaxed);
}

FeedbackImage::Read FeedbackImage::lastRead() const {
    const uint32_t p = published_.load(std::memory_order_acquire);
    return {p >> 8, static_cast<int>(p & 0xFF)};
}

void FeedbackImage::clearBytes() {
    for (auto& b : bytes_) b.store(0, std::memory_order_relaxed);
}
