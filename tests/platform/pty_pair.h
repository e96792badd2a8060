#pragma once
// A pseudo-terminal pair for port tests: the program opens the slave as a COM port (through the
// environment variable VESTREL_COMn), the test plays the device on the master. The pair keeps a slave
// descriptor of its own (unlocked), so that the master reads nothing rather than failing while the
// program has the port closed. A master's settings are raw from the start.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"

namespace vestrel::test {

class PtyPair {
public:
    PtyPair() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        char name[128] = {};
        if (::ptsname_r(master_, name, sizeof name) != 0) return;
        slavePath_ = name;
        keeper_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    }
    ~PtyPair() {
        unsetComPort();
        closeMaster();
        if (keeper_ >= 0) ::close(keeper_);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return master_ >= 0 && keeper_ >= 0; }
    const std::string& slavePath() const { return slavePath_; }
    int master() const { return master_; }

    // Makes this pair "COMn" for the program.
    void setAsComPort(int n) {
        unsetComPort();
        com_ = "VESTREL_COM" + std::to_string(n);
        ::setenv(com_.c_str(), slavePath_.c_str(), 1);
    }
    void unsetComPort() {
        if (!com_.empty()) ::unsetenv(com_.c_str());
        com_.clear();
    }

    // The device goes away: the program's side sees a hang-up.
    void closeMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
        if (keeper_ >= 0) ::close(keeper_);
        keeper_ = -1;
    }

    void send(const std::vector<uint8_t>& bytes) const {
        size_t done = 0;
        while (master_ >= 0 && done < bytes.size()) {
            const ssize_t w = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (w <= 0) return;
            done += static_cast<size_t>(w);
        }
    }

    // Writes bytes on the program's side, through the pair's own slave descriptor: they reach the master
    // behind everything the program wrote before.
    void sendFromSlave(const std::vector<uint8_t>& bytes) const {
        size_t done = 0;
        while (keeper_ >= 0 && done < bytes.size()) {
            const ssize_t w = ::write(keeper_, bytes.data() + done, bytes.size() - done);
            if (w <= 0) return;
            done += static_cast<size_t>(w);
        }
    }

    // Reads what arrives until n bytes came or nothing came for quietMs.
    std::vector<uint8_t> receive(size_t n, int quietMs = testsupport::kStateWaitLimitMs) const {
        std::vector<uint8_t> out;
        while (master_ >= 0 && out.size() < n) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, quietMs) <= 0 || !(p.revents & POLLIN)) break;
            uint8_t buf[256];
            const ssize_t r = ::read(master_, buf, std::min(sizeof buf, n - out.size()));
            if (r <= 0) break;
            out.insert(out.end(), buf, buf + r);
        }
        return out;
    }

    // Learning that the device on the master has read everything the program wrote, at a moment when
    // the program writes nothing: the marker goes from the program's side behind the program's latest
    // byte, and the device clears `pending` when it reads the marker. False when that never happens.
    static constexpr uint8_t kMarker = 0xFE;  // a byte the program never sends
    bool markAndWait(std::atomic<bool>& pending) const {
        pending = true;
        sendFromSlave({kMarker});
        for (int i = 0; i < testsupport::kStateWaitLimitMs && pending; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return !pending;
    }

private:
    int master_ = -1;
    int keeper_ = -1;
    std::string slavePath_;
    std::string com_;
};

}  // namespace vestrel::test
