// Drawing alone on the canvas: thin lines of every direction, style and mode (some reaching off the
// image), and texts of numbers and names in the fonts the diagram uses.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <random>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "gui_bench_main.h"

namespace {

using namespace vestrel;

constexpr int kWidth = 1600, kHeight = 1200;

struct LineCase {
    Point from, to;
    TPen pen;
};

std::vector<LineCase> makeLines(int n) {
    std::mt19937 rnd(7);
    const auto pick = [&rnd](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rnd); };
    const PenStyle styles[] = {PenStyle::Solid, PenStyle::Solid, PenStyle::Dot, PenStyle::Dash};
    const PenMode modes[] = {PenMode::Copy, PenMode::Copy, PenMode::Xor, PenMode::NotXor};
    std::vector<LineCase> lines;
    for (int i = 0; i < n; ++i) {
        const Point a{pick(-50, kWidth + 50), pick(-50, kHeight + 50)};
        const Point b{a.x + pick(-120, 120), a.y + pick(-120, 120)};
        lines.push_back({a, b, TPen{rgb(pick(0, 255), pick(0, 255), pick(0, 255)), 1, styles[i % 4], modes[(i / 4) % 4]}});
    }
    return lines;
}

void BM_CanvasThinLines(benchmark::State& state) {
    Canvas c(kWidth, kHeight, clSilver);
    const auto lines = makeLines(10000);
    for (auto _ : state) {
        for (const LineCase& l : lines) {
            c.Pen = l.pen;
            c.MoveTo(l.from.x, l.from.y);
            c.LineTo(l.to.x, l.to.y);
        }
        benchmark::DoNotOptimize(c.Pixel(10, 10));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lines.size()));
}
BENCHMARK(BM_CanvasThinLines)->Unit(benchmark::kMicrosecond);

void BM_CanvasTexts(benchmark::State& state) {
    Canvas c(kWidth, kHeight, clSilver);
    c.Brush.Style = BrushStyle::Clear;
    const TFont fonts[] = {TFont{"MS Serif", 7, clBlack}, TFont{"Arial", 8, clBlack}};
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            c.Font = fonts[i % 2];
            c.TextOut(20 + (i % 25) * 62, 20 + (i / 25) * 28, i % 5 ? std::to_string(i) : "program " + std::to_string(i));
        }
        benchmark::DoNotOptimize(c.Pixel(10, 10));
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_CanvasTexts)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return runGuiBenchmarks(argc, argv); }
