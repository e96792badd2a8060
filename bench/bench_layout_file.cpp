// Loading and saving a layout with every table at its capacity.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "layout/files/layout_file.h"
#include "layout/model/layout_file_format.h"
#include "platform/byte_io.h"

namespace {

void fillMaximalLayout() {
    clearLayout();
    for (int i = 0; i < gTracks.capacity; ++i) {
        auto t = std::make_unique<TrackRec>();
        t->segments = 3;
        for (int p = 0; p < 4; ++p) t->points[p] = {10 * i + p, 20 * p};
        gTracks.append(std::move(t));
    }
    for (int i = 0; i < gBlocks.capacity; ++i) {
        auto b = std::make_unique<BlockRec>();
        b->number = static_cast<int16_t>(i + 1);
        b->sections = kMaxSections;
        for (int s = 1; s <= kMaxSections; ++s) {
            b->sectionInputs[s] = static_cast<int16_t>(s);
            b->sectionKinds[s - 1] = static_cast<uint8_t>(s % 7);
        }
        gBlocks.append(std::move(b));
    }
    for (int i = 0; i < gTurnouts.capacity; ++i) {
        auto t = std::make_unique<TurnoutRec>();
        t->number = static_cast<int16_t>(i < 100 ? i + 1 : i + 2901);  // the second half pairs with the first
        t->partner = i < 100 ? 0 : 1;
        gTurnouts.append(std::move(t));
    }
    for (int i = 0; i < gSignals.capacity; ++i) {
        auto s = std::make_unique<SignalRec>();
        s->block = gBlocks[i];
        gSignals.append(std::move(s));
    }
    for (int i = 0; i < gOutputs.capacity; ++i) gOutputs.append(std::make_unique<OutputRec>());
    for (int i = 0; i < gInputs.capacity; ++i) gInputs.append(std::make_unique<InputRec>());
    for (int i = 0; i < gTurntables.capacity; ++i) {
        auto t = std::make_unique<TurntableRec>();
        t->positions = 24;
        t->track = gTracks[i];
        gTurntables.append(std::move(t));
    }
    for (int i = 0; i < gConnections.capacity; ++i) {
        auto c = std::make_unique<ConnectionRec>();
        c->from = gBlocks[i % gBlockCount];
        c->to = gBlocks[(i + 1) % gBlockCount];
        for (int k = 0; k < kConnectionTurnouts; ++k) c->turnouts[k] = gTurnouts[(i + k) % gTurnoutCount];
        gConnections.append(std::move(c));
    }
}

struct ScratchFolder {
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::path path;
    ScratchFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "vestrel-bench-XXXXXX").string();
        path = ::mkdtemp(tmpl.data());
        std::filesystem::current_path(path);
    }
    ~ScratchFolder() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(path);
    }
};

void BM_SaveMaximalLayout(benchmark::State& state) {
    ScratchFolder folder;
    gLayoutFileName = "maximaal.vtl";
    fillMaximalLayout();
    for (auto _ : state) benchmark::DoNotOptimize(saveLayoutFile());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size("maximaal.vtl")));
}
BENCHMARK(BM_SaveMaximalLayout)->Unit(benchmark::kMicrosecond);

// The same save without forcing the file to the disk: encoding, writing and the atomic replace.
void BM_SaveMaximalLayoutWithoutSync(benchmark::State& state) {
    ScratchFolder folder;
    fillMaximalLayout();
    for (auto _ : state) benchmark::DoNotOptimize(vestrel::writeFileAtomic("maximaal.vtl", writeLayoutImage(), false));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size("maximaal.vtl")));
}
BENCHMARK(BM_SaveMaximalLayoutWithoutSync)->Unit(benchmark::kMicrosecond);

// The encoder alone, into memory: what a save costs apart from writing and syncing the file.
void BM_EncodeMaximalLayout(benchmark::State& state) {
    fillMaximalLayout();
    size_t bytes = 0;
    for (auto _ : state) {
        const std::vector<uint8_t> image = writeLayoutImage();
        bytes = image.size();
        benchmark::DoNotOptimize(image.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_EncodeMaximalLayout)->Unit(benchmark::kMicrosecond);

void BM_LoadMaximalLayout(benchmark::State& state) {
    ScratchFolder folder;
    gLayoutFileName = "maximaal.vtl";
    fillMaximalLayout();
    if (!saveLayoutFile()) state.SkipWithError("save failed");
    for (auto _ : state) {
        if (loadLayoutFile() != 1) {
            state.SkipWithError("load failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size("maximaal.vtl")));
}
BENCHMARK(BM_LoadMaximalLayout)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
