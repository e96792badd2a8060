// Recomputing every block-end aspect and signal on a maximal layout (500 connections, 200 signals)
// while nothing changes: the work every release and every arrival asks for. Target: under 0.1 ms.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <memory>
#include <vector>

#include "full_layout.h"
#include "operation/engine/route_aspects.h"
#include "gui_bench_main.h"

namespace {

// Connections grouped by from-block as the analysis sorts them: 2 or 3 per block, through up to three
// turnouts each, half of them set.
void buildConnections() {
    gConnections.clear();
    for (int i = 0; i < gConnections.capacity; ++i) {
        auto c = std::make_unique<ConnectionRec>();
        const int from = i * gBlockCount / gConnections.capacity;
        c->from = gBlocks[from];
        c->to = gBlocks[(from * 7 + i) % gBlockCount];
        c->direction = i % 2 ? 'T' : 'H';
        c->loop = i % 11 == 0;
        for (int k = 0; k < i % 4; ++k) {
            c->turnouts[k] = gTurnouts[(i * 3 + k) % gTurnoutCount];
            c->positions[k] = (i + k) % 2 ? 'R' : 'G';
        }
        gConnections.append(std::move(c));
    }
    for (int i = 0; i < gSignalCount; ++i) {
        gSignals[i]->block = gBlocks[i];
        gSignals[i]->direction = i % 2 ? 'T' : 'H';
        gSignals[i]->aspect = 'R';
    }
    for (BlockRec* b : gBlocks) {
        b->totalLength = 300;
        b->orangeEnds = 3;
    }
}

void BM_UpdateRoutes(benchmark::State& state) {
    std::vector<StepProgramRec> boxes;
    fulllayout::buildFullLayout(boxes);
    buildConnections();
    updateRoutes();  // the signals take their aspects once; afterwards nothing changes
    for (auto _ : state) updateRoutes();
    state.counters["connections"] = gConnectionCount;
    state.counters["signals"] = gSignalCount;
}
BENCHMARK(BM_UpdateRoutes)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return runGuiBenchmarks(argc, argv); }
