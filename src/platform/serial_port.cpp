#include "platform/serial_port.h"

// The termios2 interface of the kernel: it carries any baud rate (BOTHER), which the C library's
// termios cannot. Its header and the C library's <termios.h> exclude each other.
#include <asm/termbits.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <mutex>

namespace vestrel {

namespace {

struct BaudCode {
    int baud;
    unsigned code;
};
constexpr BaudCode kBaudCodes[] = {{1200, B1200},   {2400, B2400},   {4800, B4800},    {9600, B9600},
                                   {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}};

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits up to ms for the events; true when one came.
bool waitFor(int fd, short events, int ms) {
    pollfd p{fd, events, 0};
    int r;
    do {
        r = ::poll(&p, 1, ms);
    } while (r < 0 && errno == EINTR);
    return r > 0 && (p.revents & events);
}

void makeRaw(termios2& t) {
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~CRTSCTS;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
}

void putFormat(termios2& t, const SerialFormat& f) {
    t.c_cflag &= ~(CBAUD | CSIZE | PARENB | PARODD | CSTOPB);
    unsigned code = BOTHER;
    for (const BaudCode& b : kBaudCodes)
        if (b.baud == f.baud) code = b.code;
    t.c_cflag |= code;
    t.c_ispeed = t.c_ospeed = static_cast<speed_t>(f.baud);
    t.c_cflag |= f.dataBits <= 5 ? CS5 : f.dataBits == 6 ? CS6 : f.dataBits == 7 ? CS7 : CS8;
    if (f.parity == 'E' || f.parity == 'O') t.c_cflag |= PARENB;
    if (f.parity == 'O') t.c_cflag |= PARODD;
    if (f.stopBits >= 2) t.c_cflag |= CSTOPB;
}

SerialFormat takeFormat(const termios2& t) {
    SerialFormat f;
    const unsigned code = t.c_cflag & CBAUD;
    f.baud = static_cast<int>(t.c_ospeed);
    for (const BaudCode& b : kBaudCodes)
        if (code == b.code && code != BOTHER) f.baud = b.baud;
    const unsigned size = t.c_cflag & CSIZE;
    f.dataBits = size == CS5 ? 5 : size == CS6 ? 6 : size == CS7 ? 7 : 8;
    f.parity = !(t.c_cflag & PARENB) ? 'N' : (t.c_cflag & PARODD) ? 'O' : 'E';
    f.stopBits = (t.c_cflag & CSTOPB) ? 2 : 1;
    return f;
}

class TermiosPort final : public SerialPort {
public:
    TermiosPort(std::string name, int fd, bool terminal, const termios2& saved)
        : name_(std::move(name)), fd_(fd), terminal_(terminal), saved_(saved) {}
    ~TermiosPort() override {
        if (terminal_) {
            ::ioctl(fd_, TIOCNXCL);
            ::ioctl(fd_, TCSETS2, &saved_);
        }
        ::close(fd_);
    }

    const std::string& name() const override { return name_; }

    bool alive() override {
        termios2 t;
        if (::ioctl(fd_, TCGETS2, &t) != 0) return false;
        pollfd p{fd_, 0, 0};
        return ::poll(&p, 1, 0) == 0 || !(p.revents & (POLLHUP | POLLERR | POLLNVAL));
    }

    bool setFormat(const SerialFormat& f) override {
        termios2 t;
        if (::ioctl(fd_, TCGETS2, &t) != 0) return false;
        putFormat(t, f);
        return ::ioctl(fd_, TCSETS2, &t) == 0;
    }

    bool readFormat(SerialFormat& f) override {
        termios2 t;
        if (::ioctl(fd_, TCGETS2, &t) != 0) return false;
        f = takeFormat(t);
        return true;
    }

    SerialTimeouts timeouts() const override { return timeouts_; }
    void setTimeouts(const SerialTimeouts& t) override { timeouts_ = t; }

    int write(const uint8_t* bytes, int n) override {
        const Clock::time_point deadline =
            Clock::now() + std::chrono::milliseconds(timeouts_.writeConstant + timeouts_.writeMultiplier * n);
        int done = 0;
        while (done < n) {
            const ssize_t w = ::write(fd_, bytes + done, static_cast<size_t>(n - done));
            if (w > 0) {
                done += static_cast<int>(w);
                continue;
            }
            if (w < 0 && errno == EINTR) continue;
            if (w < 0 && errno != EAGAIN) break;
            const int left = msLeft(deadline);
            if (left == 0 || !waitFor(fd_, POLLOUT, left)) break;
        }
        return done;
    }

    int read(uint8_t* bytes, int n) override {
        const SerialTimeouts& t = timeouts_;
        const Clock::time_point deadline =
            Clock::now() + std::chrono::milliseconds(t.readConstant + t.readMultiplier * n);
        int got = 0;
        while (got < n) {
            const ssize_t r = ::read(fd_, bytes + got, static_cast<size_t>(n - got));
            if (r > 0) {
                got += static_cast<int>(r);
                continue;
            }
            if (r < 0 && errno == EINTR) continue;
            if (r < 0 && errno != EAGAIN) break;  // failed (a hung-up pseudo-terminal)
            // Nothing waiting (a raw line reads 0 then): wait for more; a hang-up ends the wait.
            int wait = msLeft(deadline);
            if (got > 0 && t.readInterval > 0 && (wait == 0 || t.readInterval < wait)) wait = t.readInterval;
            if (wait == 0 || !waitFor(fd_, POLLIN, wait)) break;
        }
        return got;
    }

    int bytesWaiting() override {
        int n = 0;
        return ::ioctl(fd_, FIONREAD, &n) == 0 ? n : 0;
    }

    void purgeReceive() override { ::ioctl(fd_, TCFLSH, TCIFLUSH); }

    bool drain() override { return ::ioctl(fd_, TCSBRK, 1) == 0; }

    int bytesQueuedOut() override {
        int n = 0;
        return ::ioctl(fd_, TIOCOUTQ, &n) == 0 ? n : -1;
    }

    void setDtr(bool on) override {
        setLine(TIOCM_DTR, on);
        dtr_ = on;
    }
    void setRts(bool on) override { setLine(TIOCM_RTS, on); }
    bool dtr() const override { return dtr_; }
    LineState cts() override { return line(TIOCM_CTS); }
    LineState dsr() override { return line(TIOCM_DSR); }

    void setLowLatency() override {
        serial_struct ss{};
        if (::ioctl(fd_, TIOCGSERIAL, &ss) != 0) return;
        ss.flags |= ASYNC_LOW_LATENCY;
        ::ioctl(fd_, TIOCSSERIAL, &ss);
    }

private:
    void setLine(int bit, bool on) { ::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit); }
    LineState line(int bit) {
        int status = 0;
        if (::ioctl(fd_, TIOCMGET, &status) != 0) return LineState::Unreadable;
        return (status & bit) ? LineState::Set : LineState::Clear;
    }

    std::string name_;
    int fd_;
    bool terminal_;
    termios2 saved_;
    SerialTimeouts timeouts_;
    bool dtr_ = false;
};

// Opens and locks the device; -1 when it is missing or taken.
int openLocked(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    // flock also keeps out a second opener in this process and root, which the exclusive flag lets in.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::mutex gOpenerMutex;
SerialOpener gOpener;

std::unique_ptr<SerialPort> openDevice(const std::string& comName) {
    const std::string path = serialDevicePath(comName);
    if (path.empty()) return nullptr;
    const int fd = openLocked(path);
    if (fd < 0) return nullptr;
    // A device that is no terminal still opens; its settings then cannot be read, which the link's
    // port check finds.
    termios2 saved{};
    const bool terminal = ::ioctl(fd, TCGETS2, &saved) == 0;
    if (terminal) {
        ::ioctl(fd, TIOCEXCL);
        termios2 t = saved;
        makeRaw(t);
        putFormat(t, SerialFormat{static_cast<int>(saved.c_ospeed ? saved.c_ospeed : 9600), 8, 'N', 1});
        ::ioctl(fd, TCSETS2, &t);
    }
    return std::make_unique<TermiosPort>(comName, fd, terminal, saved);
}

}  // namespace

std::string serialDevicePath(const std::string& comName) {
    if (comName.size() != 4 || comName.compare(0, 3, "COM") != 0 || comName[3] < '1' || comName[3] > '9') return {};
    const std::string var = "VESTREL_" + comName;
    if (const char* dev = std::getenv(var.c_str()); dev && *dev) return dev;
    return "/dev/ttyS" + std::string(1, static_cast<char>(comName[3] - 1));
}

std::unique_ptr<SerialPort> openSerialPort(const std::string& comName) {
    SerialOpener opener;
    {
        std::lock_guard<std::mutex> lock(gOpenerMutex);
        opener = gOpener;
    }
    return opener ? opener(comName) : openDevice(comName);
}

void setSerialOpener(SerialOpener opener) {
    std::lock_guard<std::mutex> lock(gOpenerMutex);
    gOpener = std::move(opener);
}

bool serialPortFree(const std::string& comName) {
    const std::string path = serialDevicePath(comName);
    if (path.empty()) return false;
    const int fd = openLocked(path);
    if (fd < 0) return false;
    termios2 t;
    const bool terminal = ::ioctl(fd, TCGETS2, &t) == 0;
    ::close(fd);
    return terminal;
}

}  // namespace vestrel
