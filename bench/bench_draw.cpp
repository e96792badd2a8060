// Drawing a layout with every table at capacity (blocks of 15 sections) on a diagram canvas.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <memory>
#include <vector>

#include "full_layout.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/model/display_settings.h"
#include "layout/draw/element_colours.h"
#include "layout/draw/element_draw.h"
#include "layout/model/geometry.h"
#include "layout/model/layout_model.h"
#include "platform/canvas.h"
#include "steps/model/step_program.h"
#include "gui_bench_main.h"

namespace {

using fulllayout::buildFullLayout;
using fulllayout::kHeight;
using fulllayout::kWidth;


void BM_DrawFullLayout(benchmark::State& state) {
    gCanvasSize = {kWidth, kHeight};
    vestrel::Canvas diagram(kWidth, kHeight, kBackgroundColour);
    gDiagramCanvas = &diagram;
    recreateBackBuffer();
    gShowNumbers = static_cast<uint8_t>(state.range(0));
    gShowSections = 1;
    gVisibleLayers = 5;
    std::vector<StepProgramRec> boxes;
    buildFullLayout(boxes);
    for (auto _ : state) {
        fulllayout::drawAllElements(boxes);
        benchmark::DoNotOptimize(diagram.image().constBits());
    }
    gDiagramCanvas = nullptr;
}
BENCHMARK(BM_DrawFullLayout)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runGuiBenchmarks(argc, argv); }
