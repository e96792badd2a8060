#pragma once
// A command station on the master side of a pseudo-terminal, speaking P50 (with "X" commands) or
// P50X alone, on a thread of its own. It answers from its feedback modules, its power state and the
// events a test gives it; it can fall silent, answer in pieces, or go away (master closed). Every
// message it received is logged.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/pty_pair.h"
#include "test_support.h"

namespace vestrel::test {

class FakeCommandStation {
public:
    explicit FakeCommandStation(bool p50x) : p50x_(p50x) { thread_ = std::thread([this] { run(); }); }
    ~FakeCommandStation() { stopThread(); }

    PtyPair& pty() { return pty_; }

    // --- what it will answer ---
    void setModule(int module, uint8_t first, uint8_t second) { std::lock_guard<std::mutex> l(m_); modules_[module] = {first, second}; }
    void setPower(bool on) { std::lock_guard<std::mutex> l(m_); power_ = on; }
    void setSilent(bool s) { silent_ = s; }
    // Answers one byte at a time with a pause between.
    void setPieces(bool p) { pieces_ = p; }
    // Holds the answer to the next command back until `due` says so (and reads nothing meanwhile): a
    // reply that comes late, after the other side stopped waiting for it.
    void holdNextAnswerUntil(std::function<bool()> due) {
        std::lock_guard<std::mutex> l(m_);
        due_ = std::move(due);
    }
    // Raw bytes of the next XEvtLok answer (records and terminator) and XEvtTrn answer (count and records).
    void setLocoEvents(std::vector<uint8_t> raw) { std::lock_guard<std::mutex> l(m_); locoEvents_ = std::move(raw); }
    void setAccessoryEvents(std::vector<uint8_t> raw) { std::lock_guard<std::mutex> l(m_); accessoryEvents_ = std::move(raw); }
    // The raw bytes of the next XEvtSen answer instead of the modules.
    void setSensorAnswer(std::vector<uint8_t> raw) { std::lock_guard<std::mutex> l(m_); sensorAnswer_ = std::move(raw); }
    // The device goes away (its thread ends first, so that nothing holds the master any more).
    void closeMaster() {
        stopThread();
        pty_.closeMaster();
    }

    // --- what it received ---
    std::vector<std::vector<uint8_t>> messages() const { std::lock_guard<std::mutex> l(m_); return messages_; }
    int count(uint8_t first) const {
        std::lock_guard<std::mutex> l(m_);
        int n = 0;
        for (const auto& msg : messages_) n += !msg.empty() && msg[0] == first;
        return n;
    }
    // Waits for at least n messages (calls to the GUI thread are not served meanwhile).
    bool waitForMessages(size_t n, int ms = testsupport::kStateWaitLimitMs) const {
        for (int i = 0; i < ms; ++i) {
            if (messages().size() >= n) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return messages().size() >= n;
    }
    // Every message the program wrote before this call, at a moment when it should write nothing (else
    // the marker could land inside one of its messages).
    std::vector<std::vector<uint8_t>> messagesSoFar() {
        if (!pty_.markAndWait(markerPending_)) ADD_FAILURE() << "the marker did not reach the command station";
        return messages();
    }

private:
    void stopThread() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    bool nextByte(uint8_t& b) {
        while (!stop_) {
            int fd;
            {
                std::lock_guard<std::mutex> l(m_);
                fd = pty_.master();
            }
            if (fd < 0) return false;
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 5) <= 0 || !(p.revents & POLLIN)) continue;
            if (::read(fd, &b, 1) == 1) return true;
        }
        return false;
    }
    bool bytes(std::vector<uint8_t>& msg, int n) {
        for (int i = 0; i < n; ++i) {
            uint8_t b;
            if (!nextByte(b)) return false;
            msg.push_back(b);
        }
        return true;
    }
    void answer(const std::vector<uint8_t>& a) {
        if (silent_ || a.empty()) return;
        std::function<bool()> due;
        {
            std::lock_guard<std::mutex> l(m_);
            due = std::exchange(due_, {});
        }
        // A generous limit: only a broken test waits that long.
        for (int i = 0; due && !due() && i < 60000 && !stop_; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (!pieces_) {
            std::lock_guard<std::mutex> l(m_);
            pty_.send(a);
            return;
        }
        for (uint8_t b : a) {
            {
                std::lock_guard<std::mutex> l(m_);
                pty_.send({b});
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    std::vector<uint8_t> p50Image(int modules) {
        std::lock_guard<std::mutex> l(m_);
        std::vector<uint8_t> a;
        for (int m = 1; m <= modules; ++m) {
            auto it = modules_.find(m);
            a.push_back(it != modules_.end() ? it->second.first : 0);
            a.push_back(it != modules_.end() ? it->second.second : 0);
        }
        return a;
    }
    std::vector<uint8_t> sensorRecords() {
        std::lock_guard<std::mutex> l(m_);
        if (!sensorAnswer_.empty()) return std::exchange(sensorAnswer_, {});
        std::vector<uint8_t> a;
        for (const auto& [m, v] : modules_) a.insert(a.end(), {static_cast<uint8_t>(m), v.first, v.second});
        a.push_back(0);
        return a;
    }
    std::vector<uint8_t> take(std::vector<uint8_t>& events, std::vector<uint8_t> none) {
        std::lock_guard<std::mutex> l(m_);
        if (events.empty()) return none;
        return std::exchange(events, {});
    }

    // One P50X command after its first byte; the answer.
    bool p50xCommand(uint8_t c, std::vector<uint8_t>& msg, std::vector<uint8_t>& a) {
        switch (c) {
        case 0x80: if (!bytes(msg, 4)) return false; a = {0}; break;
        case 0x88: if (!bytes(msg, 3)) return false; a = {0}; break;
        case 0x90: if (!bytes(msg, 2)) return false; a = {0}; break;
        case 0xA2: {
            std::lock_guard<std::mutex> l(m_);
            a = {static_cast<uint8_t>(power_ ? 0x08 : 0x00)};
            break;
        }
        case 0xA6: case 0xA7: a = {0}; break;
        case 0xC9: a = take(locoEvents_, {0x80}); break;
        case 0xCA: a = take(accessoryEvents_, {0}); break;
        case 0xCB: a = sensorRecords(); break;
        default: break;
        }
        return true;
    }

    void run() {
        uint8_t b;
        while (nextByte(b)) {
            if (b == PtyPair::kMarker && markerPending_) {
                markerPending_ = false;
                continue;
            }
            std::vector<uint8_t> msg{b}, a;
            bool whole = true;
            if (p50x_) {
                whole = p50xCommand(b, msg, a);
            } else if (b == 0x58) {
                uint8_t c;
                whole = nextByte(c);
                if (whole) {
                    msg.push_back(c);
                    whole = p50xCommand(c, msg, a);
                }
            } else if (b >= 0x80 && b <= 0x9F) {
                a = p50Image(b - 0x80);
            } else if (!(b >= 0x60 && b <= 0x7F) && b != 0x20) {
                whole = bytes(msg, 1);  // command byte and address
            }
            {
                std::lock_guard<std::mutex> l(m_);
                messages_.push_back(msg);
            }
            if (!whole) return;
            answer(a);
        }
    }

    const bool p50x_;
    PtyPair pty_;
    mutable std::mutex m_;
    std::map<int, std::pair<uint8_t, uint8_t>> modules_;
    std::vector<uint8_t> locoEvents_, accessoryEvents_, sensorAnswer_;
    std::vector<std::vector<uint8_t>> messages_;
    bool power_ = true;
    std::atomic<bool> silent_{false}, pieces_{false}, stop_{false}, markerPending_{false};
    std::function<bool()> due_;
    std::thread thread_;
};

}  // namespace vestrel::test
