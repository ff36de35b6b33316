// bench_step.cpp — one AnimationStep with no view shown (SystemMode 0):
// the clock and five sines and cosines.
#include "app/animation.h"
#include "app/startup.h"
#include "model/layout.h"
#include "model/planets.h"
#include "model/state.h"

#include <benchmark/benchmark.h>

static void AnimationStepModelOnly(benchmark::State& state) {
    ResetModelState();
    Planets.FlattenFactor = 0.82;
    SetScreenSize(1024, 768);
    InitModel();
    Settings.SystemMode = 0;
    for (auto _ : state) {
        AnimationStep();
        benchmark::DoNotOptimize(Planets.PosX.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(AnimationStepModelOnly);

BENCHMARK_MAIN();
