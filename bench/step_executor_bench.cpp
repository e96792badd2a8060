// One pass of the step programs with 50 running programs sharing the 500 steps. Every program waits on
// a run of nine logic steps (contacts, blocks, the counter and a formula) in front of a timed action, so
// each pass evaluates every condition and performs nothing. Target: under 0.3 ms per pass.
#include <benchmark/benchmark.h>

#include <memory>

#include "layout/model/layout_model.h"
#include "link/buffers/link_buffers.h"
#include "shell/model/app_state.h"
#include "steps/engine/step_executor.h"
#include "steps/model/step_program.h"

namespace {

constexpr int kPrograms = 50;
constexpr int kStepsEach = 10;

StepRec step(int condition, int conditionValue, int action, int actionValue, int time) {
    StepRec s;
    s.conditionCode = static_cast<uint8_t>(condition);
    s.conditionValue = static_cast<int16_t>(conditionValue);
    s.actionCode = static_cast<uint8_t>(action);
    s.actionValue = static_cast<int16_t>(actionValue);
    s.time = static_cast<int16_t>(time);
    return s;
}

void buildStore() {
    gBlocks.clear();
    for (int b = 1; b <= 200; ++b) {
        auto block = std::make_unique<BlockRec>();
        block->number = static_cast<int16_t>(b);
        gBlocks.append(std::move(block));
    }
    gFormulas.clear();
    auto f = std::make_unique<FormulaRec>();
    f->flags = kFormulaCondition;
    f->types[0] = 1;  // var 1 = var 2 x 3
    f->types[1] = 1;
    f->entered[0] = 1;
    f->entered[1] = 2;
    f->entered[2] = 3;
    f->operation = 3;
    gFormulas.append(std::move(f));
    gStepPrograms.clear();
    gSteps.clear();
    for (int p = 0; p < kPrograms; ++p) {
        auto prog = std::make_unique<StepProgramRec>();
        prog->firstStep = static_cast<int16_t>(gStepCount);
        prog->stepCount = kStepsEach;
        prog->state = 1;
        const StepRec steps[kStepsEach] = {
            step(1, p + 1, 27, 0, 0),   step(5, p + 1, 33, 0, 0),   step(2, p + 100, 29, 0, 0),
            step(22, 200, 31, 0, 0),    step(7, 200 - p, 32, 0, 0), step(24, 1, 33, 0, 0),
            step(22, 5, 34, 0, 0),      step(6, p + 3, 33, 0, 0),   step(11, 50, 34, 0, 0),
            step(0, 0, 24, 1, 999)};
        for (const StepRec& s : steps) gSteps.append(std::make_unique<StepRec>(s));
        gStepPrograms.append(std::move(prog));
    }
}

void BM_RunStepPrograms(benchmark::State& state) {
    buildStore();
    gMsTick = 1000;
    gStepSkipTicks = 0;
    runStepPrograms();  // starts every program and resolves its targets
    for (auto _ : state) runStepPrograms();  // the clock stands still: the waits never run out
    for (const StepProgramRec* p : gStepPrograms)
        if (p->counter != 0 || p->currentStep != 1) state.SkipWithError("a program performed its action");
}
BENCHMARK(BM_RunStepPrograms)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
