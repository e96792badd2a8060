// A client receiving the full copy of the full layout with 20 trains of 10 wagons, read by read as the
// server's send passes cut it (the banner first, which empties the client's model of the same 20
// trains). Reported: the whole copy, and the worst single read in CPU time (target: at most 0.5 ms);
// apart from the reads, the full redraw that the next main cycle tick makes of the copied layout.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "bench_trains.h"
#include "layout/frame/render.h"
#include "layout/draw/diagram_canvas.h"
#include "network/model/net_queue.h"
#include "network/model/net_records.h"
#include "network/model/net_state.h"
#include "network/socket/net_clients.h"
#include "network/sync/client_receive.h"
#include "network/sync/server_copy.h"
#include "shell/main/program_entry.h"
#include "shell/model/app_state.h"
#include "shell/model/version.h"
#include "shell/window/untSchema.h"
#include "main_window_bench_main.h"

namespace {

using namespace benchtrains;
using Bytes = std::vector<uint8_t>;

// CPU time of this thread: a read's own cost, whatever else the machine does meanwhile.
double threadCpuUs() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) * 1e-3;
}

// The banner, then the copy for a client at state 3, one send pass per read.
std::vector<Bytes> serverReads() {
    std::vector<Bytes> reads{netBanner(kVersionText)};
    gRunWithoutTrack = 1;
    netForgetClients();
    netAddClient(nullptr);
    gNetClientStates[0] = 3;
    for (int pass = 0; pass < 1000 && gNetClientStates[0] != 30; ++pass) {
        gNetOutFill = 0;
        const int n = netBuildSnapshot(0);
        reads.emplace_back(gNetOutBuffer, gNetOutBuffer + n);
    }
    gNetOutFill = 0;
    netForgetClients();
    return reads;
}

void BM_ClientFullCopyOfTheFullLayout(benchmark::State& state) {
    std::vector<StepProgramRec> boxes;
    prepareLayout(boxes);
    buildTrains();
    gCanvasSize = {fulllayout::kWidth, fulllayout::kHeight};
    const std::vector<Bytes> reads = serverReads();
    double worst = 0, worstFirst = 0, redraw = 0;
    int failures = 0;
    for (auto _ : state) {
        gNetLinkState = 1;
        gNetCarriedBytes = 0;
        gRunWithoutTrack = 0;
        for (size_t i = 0; i < reads.size(); ++i) {
            const Bytes& r = reads[i];
            std::memcpy(gNetInBuffer + gNetCarriedBytes, r.data(), r.size());
            const double start = threadCpuUs();
            const int result = netClientReceive(gNetCarriedBytes + static_cast<int>(r.size()));
            const double us = threadCpuUs() - start;
            failures += result == 0;
            worst = std::max(worst, us);
            if (i == 0) worstFirst = std::max(worstFirst, us);
        }
        const double start = threadCpuUs();
        runScheduledFullRedraw();
        redraw = std::max(redraw, threadCpuUs() - start);
    }
    state.counters["reads"] = static_cast<double>(reads.size());
    state.counters["worst_read_us"] = worst;
    state.counters["worst_banner_read_us"] = worstFirst;
    state.counters["next_tick_redraw_us"] = redraw;
    state.counters["trains"] = gLocsOnTrack.count();
    state.counters["failed_reads"] = failures;
    gNetLinkState = 0;
    gRunWithoutTrack = 0;
    clearTrainTables();
}
BENCHMARK(BM_ClientFullCopyOfTheFullLayout)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runMainWindowBenchmarks(argc, argv, true); }
