// One tick of the animation viewer must stay far below its 15 ms timer: the five bouncing sprites with
// their collision checks, erasing and drawing; and a tick of the walking figure with its five parts.
#include "anim_player.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

struct Player {
    uint32_t now = 0;
    std::mt19937 rng{7};
    AnimPlayer player{656, 516, [this] { return now; }, [this] { return static_cast<uint32_t>(rng()); }};
    Player() {
        while (player.s != 4) {
            player.Timer1Timer();
            now += 15;
        }
    }
};

void BM_SpriteTick(benchmark::State& state) {
    Player p;
    for (auto _ : state) {
        p.player.c = 0;
        p.player.Timer1Timer();
        benchmark::DoNotOptimize(p.player.sprites[0].x);
    }
}
BENCHMARK(BM_SpriteTick)->Unit(benchmark::kMicrosecond);

void BM_WalkingFigureTick(benchmark::State& state) {
    Player p;
    p.player.s = 14;
    p.player.fx = 500;
    p.player.fy = 258;
    for (auto _ : state) {
        p.player.c = 0;
        if (p.player.fx < 0) p.player.fx = 500;
        p.player.Timer1Timer();
        benchmark::DoNotOptimize(p.player.fx);
    }
}
BENCHMARK(BM_WalkingFigureTick)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
