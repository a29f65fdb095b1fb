// Speed of a full design run on the default project: the twelve factor sets through the
// stability analysis and the section forces, the envelope, and the design of the six rows.
#include "analysis/Combinations.h"

#include <benchmark/benchmark.h>

using namespace pendrake;

namespace {

void RunCombinationsAutomaticBars(benchmark::State& state)
{
    Project p = MakeNewProject("Arial");
    CombinationResults r;
    for (auto _ : state) {
        RunCombinations(p, r);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(RunCombinationsAutomaticBars);

void RunCombinationsUserBars(benchmark::State& state)
{
    // The bars the automatic choice gives, then kept as the user's.
    Project p = MakeNewProject("Arial");
    CombinationResults r;
    RunCombinations(p, r);
    p.ReinUserSet = true;
    for (auto _ : state) {
        RunCombinations(p, r);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(RunCombinationsUserBars);

// The parts of one run, to see where its time goes.
void SectionForcesOneSet(benchmark::State& state)
{
    Project p = MakeNewProject("Arial");
    SetLoadFactors(p, CombinationFactors[8]);
    SectionForceResults r;
    for (auto _ : state) {
        ComputeSectionForces(p, r);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(SectionForcesOneSet);

void StabilityOneSet(benchmark::State& state)
{
    Project p = MakeNewProject("Arial");
    SetLoadFactors(p, CombinationFactors[8]);
    StabilityResults r;
    for (auto _ : state) {
        ComputeStability(p, r);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(StabilityOneSet);

void DesignOfTheEnvelope(benchmark::State& state)
{
    const bool automatic = state.range(0) != 0;
    Project p = MakeNewProject("Arial");
    CombinationResults r;
    RunCombinations(p, r);
    p.ReinUserSet = !automatic;
    for (auto _ : state) {
        DesignSections(p, r.Env, r.Design);
        benchmark::DoNotOptimize(r.Design);
    }
}
BENCHMARK(DesignOfTheEnvelope)->ArgName("automatic")->Arg(1)->Arg(0);

} // namespace
