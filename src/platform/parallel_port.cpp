#include "platform/parallel_port.h"

#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>

namespace vestrel {

namespace {

class PpdevPort final : public ParallelPort {
public:
    explicit PpdevPort(int fd) : fd_(fd) {}
    ~PpdevPort() override {
        ::ioctl(fd_, PPRELEASE);
        ::close(fd_);
    }
    uint8_t readData() override { return get(PPRDATA); }
    void writeData(uint8_t v) override { ::ioctl(fd_, PPWDATA, &v); }
    uint8_t readStatus() override { return get(PPRSTATUS); }
    uint8_t readControl() override { return get(PPRCONTROL); }
    void writeControl(uint8_t v) override { ::ioctl(fd_, PPWCONTROL, &v); }

private:
    uint8_t get(unsigned long request) {
        unsigned char v = 0;
        ::ioctl(fd_, request, &v);
        return v;
    }
    int fd_;
};

std::mutex gOpenerMutex;
ParallelOpener gOpener;

std::unique_ptr<ParallelPort> openDevice(const std::string& lptName) {
    const std::string path = parallelDevicePath(lptName);
    if (path.empty()) return nullptr;
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return nullptr;
    if (::ioctl(fd, PPCLAIM) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PpdevPort>(fd);
}

}  // namespace

std::string parallelDevicePath(const std::string& lptName) {
    if (lptName.size() != 4 || lptName.compare(0, 3, "LPT") != 0 || lptName[3] < '1' || lptName[3] > '9') return {};
    const std::string var = "VESTREL_" + lptName;
    if (const char* dev = std::getenv(var.c_str()); dev && *dev) return dev;
    return "/dev/parport" + std::string(1, static_cast<char>(lptName[3] - 1));
}

std::unique_ptr<ParallelPort> openParallelPort(const std::string& lptName) {
    ParallelOpener opener;
    {
        std::lock_guard<std::mutex> lock(gOpenerMutex);
        opener = gOpener;
    }
    return opener ? opener(lptName) : openDevice(lptName);
}

void setParallelOpener(ParallelOpener opener) {
    std::lock_guard<std::mutex> lock(gOpenerMutex);
    gOpener = std::move(opener);
}

}  // namespace vestrel
