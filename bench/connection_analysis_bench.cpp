// The connection analysis of the largest layouts: a ring of passing-loop stations with close to the
// full 200 blocks, tracing close to (62 stations: 496) or beyond (66 stations: 528 ways, table full at
// 500) the connection table's capacity. Each run rebuilds the table and writes the report.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "layout/analysis/connection_analysis.h"
#include "platform/desktop.h"

// The test layout builder, shared with the tests.
#include "../tests/layout/layout_builder.cpp"

namespace {

// A scratch working folder for the report file.
class ScratchFolder {
public:
    ScratchFolder() {
        previous_ = std::filesystem::current_path();
        std::string tmpl = (std::filesystem::temp_directory_path() / "vestrel-bench-XXXXXX").string();
        path_ = ::mkdtemp(tmpl.data());
        std::filesystem::current_path(path_);
    }
    ~ScratchFolder() {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(path_);
    }

private:
    std::filesystem::path previous_, path_;
};

void BM_AnalyseStationRing(benchmark::State& state) {
    ScratchFolder folder;
    gLayoutFileName = "bench.vtl";
    gSnapTolerance = 4;
    vestrel::setDesktopOpener([](const std::string&) { return true; });
    LayoutBuilder builder;
    buildStationRing(builder, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        analyseConnections(blockNumbered(1));
        benchmark::DoNotOptimize(gConnectionCount);
    }
    state.counters["blocks"] = gBlockCount;
    state.counters["turnouts"] = gTurnoutCount;
    state.counters["connections"] = gConnectionCount;
    vestrel::setDesktopOpener(nullptr);
}

}  // namespace

BENCHMARK(BM_AnalyseStationRing)->Arg(62)->Arg(66)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
