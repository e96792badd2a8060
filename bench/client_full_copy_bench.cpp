// A client receiving the full copy of the full layout with 20 trains of 10 wagons, read by read as the
// server's send passes cut it (the banner first, which empties the client's model of the same 20
// trains). Reported: the whole copy, and the worst single read in CPU time (target: at most 0.5 ms);
// apart from the reads, the full redraw that the next main cycle tick makes of the copied layout. Once
// for the first copy into a fresh client (its window grows to the server's canvas), once for later ones.
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
#include "shell/window/image_view.h"
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

struct CopyTimes {
    double worst = 0;       // the longest single read
    double worstBanner = 0; // the banner's read
    int failures = 0;
};

// The reads of one copy into a client whose link is new, each timed on its own.
void receiveCopy(const std::vector<Bytes>& reads, CopyTimes& times) {
    gNetLinkState = 1;
    gNetCarriedBytes = 0;
    gRunWithoutTrack = 0;
    for (size_t i = 0; i < reads.size(); ++i) {
        const Bytes& r = reads[i];
        std::memcpy(gNetInBuffer + gNetCarriedBytes, r.data(), r.size());
        const double start = threadCpuUs();
        const int result = netClientReceive(gNetCarriedBytes + static_cast<int>(r.size()));
        const double us = threadCpuUs() - start;
        times.failures += result == 0;
        times.worst = std::max(times.worst, us);
        if (i == 0) times.worstBanner = std::max(times.worstBanner, us);
    }
}

std::vector<Bytes> prepareCopy(std::vector<StepProgramRec>& boxes) {
    prepareLayout(boxes);
    buildTrains();
    gCanvasSize = {fulllayout::kWidth, fulllayout::kHeight};
    return serverReads();
}

void reportAndClear(benchmark::State& state, const CopyTimes& times, size_t reads, double redraw) {
    state.counters["reads"] = static_cast<double>(reads);
    state.counters["worst_read_us"] = times.worst;
    state.counters["worst_banner_read_us"] = times.worstBanner;
    state.counters["next_tick_redraw_us"] = redraw;
    state.counters["trains"] = gLocsOnTrack.count();
    state.counters["failed_reads"] = times.failures;
    gNetLinkState = 0;
    gRunWithoutTrack = 0;
    clearTrainTables();
}

// Every copy after the first: the client's window already has the server's canvas size.
void BM_ClientFullCopyOfTheFullLayout(benchmark::State& state) {
    std::vector<StepProgramRec> boxes;
    const std::vector<Bytes> reads = prepareCopy(boxes);
    CopyTimes times;
    double redraw = 0;
    for (auto _ : state) {
        receiveCopy(reads, times);
        const double start = threadCpuUs();
        runScheduledFullRedraw();
        redraw = std::max(redraw, threadCpuUs() - start);
    }
    reportAndClear(state, times, reads.size(), redraw);
}

// The client's window on the screen, as a user has it: its start dialog is answered as soon as it is up.
void showMainWindow() {
    if (frmSchema->isVisible()) return;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    answer.start(5);
    frmSchema->show();
    for (int k = 0; k < 50; ++k) QApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The first copy into a fresh client: its shown window still has the size it started with, and grows
// to the server's canvas. The next tick's redraw (which the growing now belongs to) is reported apart.
void BM_FirstCopyIntoAFreshClient(benchmark::State& state) {
    std::vector<StepProgramRec> boxes;
    const std::vector<Bytes> reads = prepareCopy(boxes);
    static const QSize fresh = frmSchema->ClientArea->size();  // as the program made the window
    showMainWindow();
    CopyTimes times;
    double redraw = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // A client that has shown nothing yet: no model, its window as it started.
        netClearClientModel();
        frmSchema->setClientSize(fresh.width(), fresh.height());
        QApplication::processEvents();
        runScheduledFullRedraw();  // an idle client's ticks have drawn what was due
        state.ResumeTiming();
        receiveCopy(reads, times);
        const double start = threadCpuUs();
        runScheduledFullRedraw();
        redraw = std::max(redraw, threadCpuUs() - start);
    }
    reportAndClear(state, times, reads.size(), redraw);
}
// Registered first: the size it keeps is taken before any copy grew the window.
BENCHMARK(BM_FirstCopyIntoAFreshClient)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClientFullCopyOfTheFullLayout)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runMainWindowBenchmarks(argc, argv, true); }
