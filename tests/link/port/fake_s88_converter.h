#pragma once
// A COM-port S88 interface on the master side of a pseudo-terminal, on a thread of its own.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/pty_pair.h"

namespace vestrel::test {

// An S88 interface on the master side: for each request (0xFF, then 0xD4 and 2n - 1 times 0xD5) it
// answers the first-contact byte and the 2n bytes that answer() gives for that round.
class FakeConverter {
public:
    FakeConverter(int n, std::function<std::vector<uint8_t>(int round)> answer) : n_(n), answer_(std::move(answer)) {
        thread_ = std::thread([this] { run(); });
    }
    ~FakeConverter() {
        stop_ = true;
        thread_.join();
    }
    PtyPair& pty() { return pty_; }
    std::vector<uint8_t> received() {
        std::lock_guard<std::mutex> l(m_);
        return received_;
    }
    int rounds() const { return rounds_; }
    // Everything the program wrote before this call, at a moment when it writes nothing.
    std::vector<uint8_t> receivedSoFar() {
        if (!pty_.markAndWait(markerPending_)) ADD_FAILURE() << "the marker did not reach the interface";
        return received();
    }

private:
    void run() {
        int inRequest = 0;
        while (!stop_) {
            pollfd p{pty_.master(), POLLIN, 0};
            if (::poll(&p, 1, 5) <= 0 || !(p.revents & POLLIN)) continue;
            uint8_t b;
            if (::read(pty_.master(), &b, 1) != 1) continue;
            if (b == PtyPair::kMarker && markerPending_) {
                markerPending_ = false;
                continue;
            }
            {
                std::lock_guard<std::mutex> l(m_);
                received_.push_back(b);
            }
            if (b == 0xD4) inRequest = 1;
            else if (b == 0xD5 && inRequest) ++inRequest;
            if (inRequest == 2 * n_) {
                inRequest = 0;
                const std::vector<uint8_t> a = answer_(rounds_++);
                pty_.send(a);
            }
        }
    }
    int n_;
    std::function<std::vector<uint8_t>(int)> answer_;
    PtyPair pty_;
    std::mutex m_;
    std::vector<uint8_t> received_;
    std::atomic<int> rounds_{0};
    std::atomic<bool> stop_{false}, markerPending_{false};
    std::thread thread_;
};

}  // namespace vestrel::test
