// One whole cycle of the real main window on the offscreen platform, the paint it causes included: a
// session on the full layout with 20 trains of 10 wagons moving (target: at most 1.5 ms), and the same
// trains standing, so that nothing changes (target: at most 0.2 ms).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <unistd.h>
#include <vector>

#include "bench_trains.h"
#include "layout/draw/diagram_area.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/frame/render.h"
#include "link/buffers/link_buffers.h"
#include "platform/clock.h"
#include "shell/main/main_cycle.h"
#include "shell/dialogs/untInfo.h"
#include "shell/main/program_entry.h"
#include "shell/model/app_state.h"
#include "shell/window/untSchema.h"
#include "main_window_bench_main.h"

namespace {

using namespace benchtrains;

void BM_MainWindowCycle(benchmark::State& state) {
    const bool moving = state.range(0) != 0;
    std::vector<StepProgramRec> boxes;
    frmSchema->Timer1->stop();
    if (!frmSchema->isVisible()) {
        // On the screen without the start dialog (it would wait for an answer): editor mode.
        TfrmInfo* startDialog = frmInfo;
        frmInfo = nullptr;
        frmSchema->show();
        for (int i = 0; i < 20; ++i) QApplication::processEvents();
        frmInfo = startDialog;
    }
    prepareLayout(boxes);
    gCanvasSize = {fulllayout::kWidth, fulllayout::kHeight};
    frmSchema->setClientSize(gCanvasSize.width, gCanvasSize.height);
    resetDrawingArea();
    buildTrains();
    if (!moving)
        for (LocoRec* l : gLocsOnTrack) l->targetStep = l->currentStep = l->speedValue = 0;
    vestrel::ManualClock clock(100000);
    redrawSchema(1);
    QApplication::processEvents();
    int cycle = 0;
    int fewestMoving = kTrains;
    float heads[kTrains];
    for (auto _ : state) {
        if (++cycle % kCyclesPerRun == 0 && moving) {
            state.PauseTiming();
            for (LocoRec* l : gLocsOnTrack) placeTrain(l);
            state.ResumeTiming();
        }
        for (int i = 0; i < kTrains; ++i) heads[i] = gLocsOnTrack[i]->run.head.x;
        clock.advance(30);
        frmSchema->Timer1Timer();
        QApplication::processEvents();  // the paint the tick asked for
        gCommandQueue.skipAll();         // the link thread's part
        int n = 0;
        for (int i = 0; i < kTrains; ++i) n += gLocsOnTrack[i]->run.head.x != heads[i];
        fewestMoving = std::min(fewestMoving, n);
    }
    state.counters["trains_moving"] = fewestMoving;
    clearTrainTables();
    gRunWithTrack = 0;
}
BENCHMARK(BM_MainWindowCycle)->ArgName("moving")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return runMainWindowBenchmarks(argc, argv, false); }
