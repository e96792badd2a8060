#pragma once
// A serial port played by a test: scripted input, modem lines, short writes and loss, with a log of
// what was written and how the port was set. Safe to use from the link thread and the test at once.
#include <algorithm>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace vestrel::test {

class ScriptedSerialPort : public SerialPort {
public:
    explicit ScriptedSerialPort(std::string name = "COM1") : name_(std::move(name)) {}

    // --- the test's side ---
    void feed(const std::vector<uint8_t>& bytes) {
        std::lock_guard<std::mutex> l(m_);
        input_.insert(input_.end(), bytes.begin(), bytes.end());
    }
    std::vector<uint8_t> written() const {
        std::lock_guard<std::mutex> l(m_);
        return written_;
    }
    std::vector<int> writeSizes() const {
        std::lock_guard<std::mutex> l(m_);
        return writeSizes_;
    }
    void setCts(LineState s) { std::lock_guard<std::mutex> l(m_); cts_ = s; }
    void setDsr(LineState s) { std::lock_guard<std::mutex> l(m_); dsr_ = s; }
    // At most n bytes go out per write call (0: all).
    void limitWrites(int n) { std::lock_guard<std::mutex> l(m_); writeLimit_ = n; }
    void failWrites(bool f) { std::lock_guard<std::mutex> l(m_); failWrites_ = f; }
    void lose() { std::lock_guard<std::mutex> l(m_); lost_ = true; }
    int formatSets() const { std::lock_guard<std::mutex> l(m_); return formatSets_; }
    SerialFormat lastFormat() const { std::lock_guard<std::mutex> l(m_); return format_; }
    int purges() const { std::lock_guard<std::mutex> l(m_); return purges_; }

    // --- the port ---
    const std::string& name() const override { return name_; }
    bool alive() override { std::lock_guard<std::mutex> l(m_); return !lost_; }
    bool setFormat(const SerialFormat& f) override {
        std::lock_guard<std::mutex> l(m_);
        if (lost_) return false;
        format_ = f;
        ++formatSets_;
        return true;
    }
    bool readFormat(SerialFormat& f) override {
        std::lock_guard<std::mutex> l(m_);
        f = format_;
        return !lost_;
    }
    SerialTimeouts timeouts() const override { std::lock_guard<std::mutex> l(m_); return timeouts_; }
    void setTimeouts(const SerialTimeouts& t) override { std::lock_guard<std::mutex> l(m_); timeouts_ = t; }
    int write(const uint8_t* bytes, int n) override {
        std::lock_guard<std::mutex> l(m_);
        if (lost_ || failWrites_) return 0;
        const int k = writeLimit_ > 0 ? std::min(n, writeLimit_) : n;
        written_.insert(written_.end(), bytes, bytes + k);
        writeSizes_.push_back(k);
        return k;
    }
    int read(uint8_t* bytes, int n) override {
        std::lock_guard<std::mutex> l(m_);
        int k = 0;
        while (!lost_ && k < n && !input_.empty()) {
            bytes[k++] = input_.front();
            input_.pop_front();
        }
        return k;
    }
    int bytesWaiting() override { std::lock_guard<std::mutex> l(m_); return static_cast<int>(input_.size()); }
    void purgeReceive() override {
        std::lock_guard<std::mutex> l(m_);
        input_.clear();
        ++purges_;
    }
    bool drain() override { std::lock_guard<std::mutex> l(m_); return !lost_; }
    void setDtr(bool on) override { std::lock_guard<std::mutex> l(m_); dtr_ = on; }
    void setRts(bool on) override { std::lock_guard<std::mutex> l(m_); rts_ = on; }
    bool dtr() const override { std::lock_guard<std::mutex> l(m_); return dtr_; }
    LineState cts() override { std::lock_guard<std::mutex> l(m_); return cts_; }
    LineState dsr() override { std::lock_guard<std::mutex> l(m_); return dsr_; }

private:
    mutable std::mutex m_;
    std::string name_;
    std::deque<uint8_t> input_;
    std::vector<uint8_t> written_;
    std::vector<int> writeSizes_;
    SerialFormat format_;
    SerialTimeouts timeouts_;
    LineState cts_ = LineState::Unreadable;
    LineState dsr_ = LineState::Unreadable;
    int writeLimit_ = 0;
    int formatSets_ = 0;
    int purges_ = 0;
    bool failWrites_ = false;
    bool lost_ = false;
    bool dtr_ = false;
    bool rts_ = false;
};

}  // namespace vestrel::test
