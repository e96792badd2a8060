// One per-second step with 20 trains of 10 wagons on the full layout: block waits counting down, halted
// trains blinking, distance counters with the position check, forced-red signals blinking, the clock
// sent to a client; and one pass of the alarm marks.
#include <benchmark/benchmark.h>

#include "full_layout.h"
#include "gui_bench_main.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/model/scale.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/engine/second_tick.h"
#include "operation/model/train_model.h"
#include "platform/canvas.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"

namespace {

constexpr int kTrains = 20;
constexpr int kWagons = 10;

ConnectionRec* firstConnectionFrom(const BlockRec* b) {
    for (ConnectionRec* c : gConnections)
        if (c->from == b) return c;
    return nullptr;
}

void buildTrains() {
    for (int i = 0; i < kTrains; ++i) {
        BlockRec* b = gBlocks[i];
        auto rec = std::make_unique<LocoRec>();
        rec->number = static_cast<int16_t>(i + 1);
        rec->slot = static_cast<int16_t>(i);
        rec->running = 1;
        rec->mode = kModeAuto;
        rec->run.speedSteps = 28;
        rec->maxStep = 28;
        rec->speedValue = static_cast<int16_t>(i % 3 == 0 ? 0 : 60);
        rec->run.runFlagsA = i % 3 == 0 ? 0x01 : 0;  // every third train halted: it blinks
        rec->run.runFlagsB = 0x01;                   // position check armed
        rec->run.head.block = b;
        rec->connection = firstConnectionFrom(b);
        LocoRec* l = gLocs.append(std::move(rec));
        gLocsOnTrack.append(l);
        b->assignedTrain = l;
        WagonRec* previous = nullptr;
        for (int w = 0; w < kWagons; ++w) {
            WagonRec* wagon = gWagons.append(std::make_unique<WagonRec>());
            wagon->owner = l;
            (previous ? previous->next : l->frontChain) = wagon;
            previous = wagon;
        }
    }
    relinkWagonChains();
}

void prepare(std::vector<StepProgramRec>& boxes) {
    fulllayout::buildFullLayout(boxes);
    gRunWithTrack = 1;
    gRunWithoutTrack = 0;
    gSettings.chboPositiecontrole = 1;
    gScaleDigit = '5';
    gNetLinkState = 30;
    gTimeBase = 60;
    for (SignalRec* s : gSignals) s->aspect = 'S';
    buildTrains();
}

void BM_SecondTick(benchmark::State& state) {
    std::vector<StepProgramRec> boxes;
    prepare(boxes);
    vestrel::Canvas canvas(fulllayout::kWidth, fulllayout::kHeight);
    gDiagramCanvas = &canvas;
    gMsTick = 100000;
    gSecondDue = static_cast<int32_t>(gMsTick);
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < kTrains; ++i) {
            LocoRec* l = gLocsOnTrack[i];
            l->run.head.block->remainingWait = 1000;  // counting down, not yet out
            l->run.distanceCounter = 0;
            l->run.runFlagsB = static_cast<uint8_t>((l->run.runFlagsB & ~0x03) | 0x01);
        }
        gNetOutFill = 0;
        gMsTick += 1000;
        state.ResumeTiming();
        secondTick();
    }
    state.counters["signals"] = gSignalCount;
    gDiagramCanvas = nullptr;
    clearTrainTables();
}
BENCHMARK(BM_SecondTick)->Unit(benchmark::kMicrosecond);

void BM_MarkAlarmSections(benchmark::State& state) {
    std::vector<StepProgramRec> boxes;
    prepare(boxes);
    for (auto _ : state) {
        gNetOutFill = 0;
        markAlarmSections();
    }
    clearTrainTables();
}
BENCHMARK(BM_MarkAlarmSections)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return runGuiBenchmarks(argc, argv); }
