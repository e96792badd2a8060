// One tick of a synchronised client with 20 trains of 10 wagons moving between the server's position
// records (every third tick one train has just received a fresh position). Target: under 0.3 ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "bench_trains.h"
#include "gui_bench_main.h"
#include "layout/draw/diagram_canvas.h"
#include "network/model/net_state.h"
#include "network/sync/client_tick.h"
#include "platform/canvas.h"
#include "shell/main/main_cycle.h"

namespace {

using namespace benchtrains;

void BM_RunTrainsCycleClient(benchmark::State& state) {
    std::vector<StepProgramRec> boxes;
    prepareLayout(boxes);
    gRunWithTrack = 0;
    gRunWithoutTrack = 1;
    gNetLinkState = 40;
    vestrel::Canvas backBuffer(fulllayout::kWidth, fulllayout::kHeight);
    gBackBuffer = &backBuffer;
    buildTrains();
    gMsTick = gPreviousTickTime = 100000;
    int cycle = 0;
    int fewestMoving = kTrains;
    float heads[kTrains];
    for (auto _ : state) {
        if (++cycle % kCyclesPerRun == 0) {
            state.PauseTiming();
            for (LocoRec* l : gLocsOnTrack) placeTrain(l);
            state.ResumeTiming();
        }
        if (cycle % 3 == 0) gLocsOnTrack[cycle % kTrains]->run.runFlagsA |= 0x08;
        for (int i = 0; i < kTrains; ++i) heads[i] = gLocsOnTrack[i]->run.head.x;
        gMsTick += 30;
        runTrainsCycleClient();
        gPreviousTickTime = gMsTick;
        int moving = 0;
        for (int i = 0; i < kTrains; ++i) moving += gLocsOnTrack[i]->run.head.x != heads[i];
        fewestMoving = std::min(fewestMoving, moving);
    }
    state.counters["trains_moving"] = fewestMoving;
    gBackBuffer = nullptr;
    gNetLinkState = 0;
    clearTrainTables();
}
BENCHMARK(BM_RunTrainsCycleClient)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return runGuiBenchmarks(argc, argv); }
