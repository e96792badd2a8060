// The per-cycle redraw of the trains that moved, on the full layout: 20 moved trains of 10 wagons, and
// 14 moved beside 6 standing ones (at most 20 trains stand on the track). Target: a median of at most
// 0.2 ms CPU, so that the running engine's cycle keeps within its 0.3 ms.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench_trains.h"
#include "full_layout.h"
#include "gui_bench_main.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/model/scale.h"
#include "operation/draw/train_drawing.h"
#include "operation/model/train_model.h"
#include "platform/canvas.h"

namespace {

using namespace benchtrains;

// Every train moves one unit along x each cycle, back and forth, unless it stands.
void moveTrains(int standingEvery, int cycle) {
    const float step = (cycle / 20) % 2 ? -1.f : 1.f;
    for (int i = 0; i < gLocsOnTrackCount; ++i) {
        if (standingEvery && i % standingEvery == standingEvery - 1) continue;
        LocoRec* l = gLocsOnTrack[i];
        l->run.head.x += step;
        for (WagonRec* w = l->frontChain; w; w = w->next) {
            w->front.x += step;
            w->rear.x += step;
        }
        l->run.runFlagsA |= 0x04;
    }
}

void redrawMovedTrains(benchmark::State& state, int standingEvery) {
    std::vector<StepProgramRec> boxes;
    prepareLayout(boxes);
    gUnit4cm = 8;
    gUnit4cmLess1 = 7;
    gHalfUnit20cm = 12;
    vestrel::Canvas screen(fulllayout::kWidth, fulllayout::kHeight), back(fulllayout::kWidth, fulllayout::kHeight);
    gDiagramCanvas = &screen;
    gBackBuffer = &back;
    fulllayout::drawAllElements(boxes);
    buildTrains();
    drawTrainsOnTrack(0);
    int cycle = 0;
    for (auto _ : state) {
        moveTrains(standingEvery, cycle++);
        redrawAllTrains();
    }
    gDiagramCanvas = nullptr;
    gBackBuffer = nullptr;
    clearTrainTables();
}

void BM_RedrawTwentyMovedTrains(benchmark::State& state) { redrawMovedTrains(state, 0); }
void BM_RedrawFourteenMovedBesideSixStanding(benchmark::State& state) { redrawMovedTrains(state, 3); }

BENCHMARK(BM_RedrawTwentyMovedTrains)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_RedrawFourteenMovedBesideSixStanding)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) { return runGuiBenchmarks(argc, argv); }
