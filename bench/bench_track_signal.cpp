// The direct track signal: the encoders' cost per packet, and how busy the sender keeps the track port
// with no locomotive on the track (only idle packets) for 10 s. The port is a pseudo-terminal whose other
// end is read as fast as it comes; "busy" is the characters written against what the line can send
// (baud / 10 a second, 8N1: 10 cells a character) until it has sent them all. It must stay at least
// 99.5% and never pass 100%; the sender's thread CPU time at most 10% of the time.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <memory>
#include <thread>

#include "link/buffers/link_buffers.h"
#include "link/protocol/dcc_encoder.h"
#include "link/protocol/motorola_encoder.h"
#include "link/port/direct_link.h"
#include "link/port/direct_sender.h"
#include "operation/model/train_model.h"
#include "platform/serial_port.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"

namespace {

void BM_EncodeDccForUart4Bytes(benchmark::State& state) {
    const uint8_t packet[4] = {0xC3, 0xE8, 0x3F, 0xE5};
    uint8_t buf[64];
    for (auto _ : state) {
        benchmark::DoNotOptimize(encodeDccForUart(packet, 4, buf));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_EncodeDccForUart4Bytes);

void BM_EncodeMotorolaLoco(benchmark::State& state) {
    LocoRec loco;
    loco.number = 78;
    loco.decoderType = 1;
    loco.run.lastStepSent = 9;
    loco.packetCache = std::make_unique<PacketCache>();
    uint8_t buf[64];
    for (auto _ : state) {
        benchmark::DoNotOptimize(encodeMotorolaLoco(&loco, buf));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_EncodeMotorolaLoco);

// The sender's surroundings on a serial port (here a pseudo-terminal).
class PortLink final : public DirectLink {
public:
    explicit PortLink(vestrel::SerialPort& port) : port_(port) {}
    int write(const uint8_t* bytes, int n) override {
        const int k = port_.write(bytes, n);
        written += k;
        return k;
    }
    void selectFormat(bool, bool, bool) override {}
    void setBoosterPower(bool) override {}
    int shortCircuitLine() override { return -1; }
    bool alive() override { return true; }
    bool hasSecondPort() override { return false; }
    int formatSwitchMs() override { return 0; }
    void logError(int, int, int, int) override {}
    std::atomic<uint16_t>& statusBits() override { return bits_; }
    int64_t written = 0;

private:
    vestrel::SerialPort& port_;
    std::atomic<uint16_t> bits_{0};
};

void BM_SenderIdleKeepsThePortBusy(benchmark::State& state) {
    const int baud = static_cast<int>(state.range(0));
    gSettings.chboDCC19200 = baud == 19200 ? 1 : 0;
    gSettings.chboDirectBooster = 1;
    gEmergencyState = 0;
    gCommandQueue.reset();
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    ::setenv("VESTREL_COM9", ::ptsname(master), 1);
    std::unique_ptr<vestrel::SerialPort> port = vestrel::openSerialPort("COM9");
    if (!port) {
        state.SkipWithError("the pseudo-terminal does not open as a port");
        ::close(master);
        return;
    }
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        uint8_t buf[4096];
        while (!stop) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) (void)!::read(master, buf, sizeof buf);
        }
    });
    auto threadCpu = [] {
        timespec t{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
    };
    auto steadyNs = [] {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    double busy = 0, worst = 0, cpu = 0;
    for (auto _ : state) {
        PortLink link(*port);
        DirectSender sender(link);
        for (int i = 0; i < 50; ++i) sender.pass();  // settle
        const int64_t start = steadyNs();
        const int64_t before = link.written;
        const double cpuBefore = threadCpu();
        while (steadyNs() - start < 10'000'000'000) sender.pass();
        // the span until the line has sent everything written
        const double seconds = static_cast<double>(std::max(steadyNs(), sender.lineFreeAt()) - start) * 1e-9;
        cpu = 100.0 * (threadCpu() - cpuBefore) / seconds;
        busy = 100.0 * static_cast<double>(link.written - before) / seconds / (baud / 10.0);
        worst = std::max(worst, busy);
    }
    state.counters["busy_percent"] = busy;
    state.counters["highest_percent"] = worst;
    state.counters["thread_cpu_percent"] = cpu;
    stop = true;
    reader.join();
    port.reset();
    ::close(master);
}
BENCHMARK(BM_SenderIdleKeepsThePortBusy)->Arg(16457)->Arg(19200)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
