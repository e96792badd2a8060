// The main window's full redraw of a layout with every table at capacity, and one tick of the main
// cycle in editor mode (hover information over a tool-bar button, the pointer read-out).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <unistd.h>
#include <vector>

#include "full_layout.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/model/display_settings.h"
#include "layout/frame/render.h"
#include "layout/model/scale.h"
#include "shell/model/app_state.h"
#include "shell/window/hover_info.h"
#include "shell/window/input_routing.h"
#include "shell/model/input_state.h"
#include "shell/main/main_cycle.h"
#include "shell/main/program_entry.h"
#include "shell/window/untSchema.h"
#include "main_window_bench_main.h"
#include "steps/model/step_program.h"

namespace {

// The main window sized for the full layout, with its timer stopped (the benchmark ticks by hand).
void setUpMainWindow(std::vector<StepProgramRec>& boxes) {
    frmSchema->Timer1->stop();
    fulllayout::buildFullLayout(boxes);
    gCanvasSize = {fulllayout::kWidth, fulllayout::kHeight};
    frmSchema->setClientSize(gCanvasSize.width, gCanvasSize.height);
    resetDrawingArea();
    gShowNumbers = 1;
    gShowSections = 1;
    gVisibleLayers = 5;
}

void BM_RedrawSchema(benchmark::State& state) {
    std::vector<StepProgramRec> boxes;
    setUpMainWindow(boxes);
    for (auto _ : state) {
        redrawSchema(1);
        benchmark::DoNotOptimize(gBackBuffer);
    }
}
BENCHMARK(BM_RedrawSchema)->Unit(benchmark::kMillisecond);

void BM_EditorTick(benchmark::State& state) {
    std::vector<StepProgramRec> boxes;
    setUpMainWindow(boxes);
    gRedrawCountdown = 0;
    for (auto _ : state) {
        gPointerInDiagram = 0;
        requestHoverInfo(20 * 65536 + 140);  // over the tool bar's 'k'
        mainCycleTick();
        gPointerInDiagram = 2;
        gMousePoint = {800, 600};
        mainCycleTick();
    }
    state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BM_EditorTick)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return runMainWindowBenchmarks(argc, argv, false); }
