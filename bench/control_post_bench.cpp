// A click on the diagram that hits nothing, during a session on a layout with every table full, 20 trains
// and 200 wagons: both pick passes run through every table. A held speed label runs the dispatcher on
// every tick, so it must stay far below the cycle (target: under 50 us).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <memory>
#include <vector>

#include "full_layout.h"
#include "operation/control/control_post.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "steps/model/step_program.h"
#include "gui_bench_main.h"

namespace {

constexpr int kTrains = 20;
constexpr int kWagonsPerTrain = 10;

void buildTrains() {
    for (int i = 0; i < kTrains; ++i) {
        BlockRec* b = gBlocks[i];
        auto rec = std::make_unique<LocoRec>();
        rec->number = static_cast<int16_t>(i + 1);
        rec->run.head.block = b;
        rec->run.head.x = static_cast<float>(b->points[8].x);
        rec->run.head.y = static_cast<float>(b->points[8].y);
        LocoRec* l = gLocs.append(std::move(rec));
        gLocsOnTrack.append(l);
        WagonRec* previous = nullptr;
        for (int w = 0; w < kWagonsPerTrain; ++w) {
            WagonRec* wagon = gWagons.append(std::make_unique<WagonRec>());
            wagon->owner = l;
            wagon->front.x = wagon->rear.x = static_cast<float>(b->points[7 - w / 2].x);
            wagon->front.y = wagon->rear.y = static_cast<float>(b->points[7 - w / 2].y);
            wagon->rear.x -= 20;
            (previous ? previous->next : l->frontChain) = wagon;
            previous = wagon;
        }
    }
    relinkWagonChains();
}

void BM_ClickHittingNothing(benchmark::State& state) {
    std::vector<StepProgramRec> boxes;
    fulllayout::buildFullLayout(boxes);
    for (const StepProgramRec& box : boxes) {
        auto p = std::make_unique<StepProgramRec>(box);
        gStepPrograms.append(std::move(p));
    }
    buildTrains();
    gSnapTolerance = 4;
    gRunWithoutTrack = 1;
    gMouseButton = 1;
    gMousePoint = {fulllayout::kWidth - 5, fulllayout::kHeight - 5};
    for (auto _ : state) controlPostCommand(0, 0);
    gRunWithoutTrack = 0;
    clearTrainTables();
}
BENCHMARK(BM_ClickHittingNothing)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return runGuiBenchmarks(argc, argv); }
