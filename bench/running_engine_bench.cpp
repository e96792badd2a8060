// One cycle of the running engine with 20 trains of 10 wagons moving over the full layout, a new
// feedback image and an accessory command in every cycle. Target: well under 1% of the 30 ms cycle.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <vector>

#include "bench_trains.h"
#include "full_layout.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/model/scale.h"
#include "link/buffers/feedback.h"
#include "link/buffers/link_buffers.h"
#include "operation/engine/running_engine.h"
#include "operation/model/train_model.h"
#include "operation/model/vehicle_positions.h"
#include "platform/canvas.h"
#include "shell/main/main_cycle.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "gui_bench_main.h"

namespace {

using namespace benchtrains;

void BM_RunTrainsCycle(benchmark::State& state) {
    std::vector<StepProgramRec> boxes;
    prepareLayout(boxes);
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
        for (int i = 0; i < kTrains; ++i) heads[i] = gLocsOnTrack[i]->run.head.x;
        // A new feedback image: the contacts under a few trains change.
        for (int c = 0; c < 4; ++c) gFeedbackImage.flipContact((cycle * 7 + c * 61) % 495 + 1);
        gFeedbackImage.publish(gFeedbackByteCount);
        const AccessoryEntry e{0x21, static_cast<uint16_t>(cycle % 2000 + 1), 0};
        gAccessoryQueue.append(&e, 1);
        gMsTick += 30;
        runTrainsCycle();
        gPreviousTickTime = gMsTick;
        gCommandQueue.skipAll();  // the link thread's part
        int moving = 0;
        for (int i = 0; i < kTrains; ++i) moving += gLocsOnTrack[i]->run.head.x != heads[i];
        fewestMoving = std::min(fewestMoving, moving);
    }
    state.counters["trains_moving"] = fewestMoving;
    gBackBuffer = nullptr;
    clearTrainTables();
}
BENCHMARK(BM_RunTrainsCycle)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return runGuiBenchmarks(argc, argv); }
