// Speed of the design search: one complete evaluation of the default wall, the optimizer's
// throughput over a whole grid with one and two threads, and the default optimization.
#include "search/Evaluation.h"
#include "search/Optimizer.h"

#include <benchmark/benchmark.h>

using namespace pendrake;

namespace {

void EvaluateDefaultWall(benchmark::State& state)
{
    const Project p = MakeNewProject("Arial");
    const DesignTargets targets;
    for (auto _ : state) {
        WallEvaluation e = Evaluate(p, targets);
        benchmark::DoNotOptimize(e);
    }
}
BENCHMARK(EvaluateDefaultWall);

// Every valid candidate of the default grid judged (no early stop), on Arg(0) threads; the
// rate counter is candidates per second.
void OptimizerThroughput(benchmark::State& state)
{
    const Project p = MakeNewProject("Arial");
    const std::vector<FreeDimension> free = DefaultFreeDimensions(p);
    OptimizeOptions all;
    all.Exhaustive = true;
    int64_t candidates = 0;
    for (auto _ : state) {
        const OptimizationResult r = Optimize(p, free, {}, int(state.range(0)), all);
        candidates += r.CandidatesEvaluated;
        benchmark::DoNotOptimize(r.Best.GridIndex);
    }
    state.counters["candidates/s"]
        = benchmark::Counter(double(candidates), benchmark::Counter::kIsRate);
}
BENCHMARK(OptimizerThroughput)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same grid with the least concrete wall judged in full through the factored sets (a grid
// where every candidate stands under service loads), to show the rate without the shortcut.
void OptimizerThroughputFullDesign(benchmark::State& state)
{
    const Project p = MakeNewProject("Arial");
    DesignTargets lenient;
    lenient.OverturningSafety = 1.0;
    const std::vector<FreeDimension> free { { 0, 0.3, 1.5, 0.1 }, { 3, 0.5, 3.0, 0.25 },
        { 4, 2.0, 6.0, 0.25 } };
    OptimizeOptions all;
    all.Exhaustive = true;
    int64_t candidates = 0;
    for (auto _ : state) {
        const OptimizationResult r = Optimize(p, free, lenient, int(state.range(0)), all);
        candidates += r.CandidatesEvaluated;
        benchmark::DoNotOptimize(r.Best.GridIndex);
    }
    state.counters["candidates/s"]
        = benchmark::Counter(double(candidates), benchmark::Counter::kIsRate);
}
BENCHMARK(OptimizerThroughputFullDesign)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The default optimization of the default wall, end to end on every core.
void DefaultOptimization(benchmark::State& state)
{
    const Project p = MakeNewProject("Arial");
    const std::vector<FreeDimension> free = DefaultFreeDimensions(p);
    for (auto _ : state) {
        const OptimizationResult r = Optimize(p, free, {}, 0);
        benchmark::DoNotOptimize(r.Best.GridIndex);
    }
}
BENCHMARK(DefaultOptimization)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
