// Speed of a full design run on the default project: the twelve factor sets through the
// stability analysis and the section forces, the envelope, and the design of the six rows.
#include "analysis/Combinations.h"
#include "analysis/SectionDesign.h"
#include "analysis/SectionForces.h"

#include <benchmark/benchmark.h>

using namespace pendrake;

namespace {

void RunCombinationsAutomaticBars(benchmark::State& state)
{
    const Project p = MakeNewProject("Arial");
    for (auto _ : state) {
        CombinationResults r = RunCombinations(p);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(RunCombinationsAutomaticBars);

void RunCombinationsUserBars(benchmark::State& state)
{
    // The bars the automatic choice gives, then kept as the user's.
    Project p = MakeNewProject("Arial");
    const CombinationResults chosen = RunCombinations(p);
    p.ReinDia = chosen.Design.ReinDia;
    p.ReinPitch = chosen.Design.ReinPitch;
    p.ReinUserSet = true;
    for (auto _ : state) {
        CombinationResults r = RunCombinations(p);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(RunCombinationsUserBars);

// The parts of one run, to see where its time goes.
void SectionForcesOneSet(benchmark::State& state)
{
    const Project p = MakeNewProject("Arial");
    const LoadFactors f = FactorsOfSet(CombinationFactors[8]);
    for (auto _ : state) {
        SectionForceResults r = ComputeSectionForces(p, f, 0);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(SectionForcesOneSet);

void StabilityOneSet(benchmark::State& state)
{
    const Project p = MakeNewProject("Arial");
    const LoadFactors f = FactorsOfSet(CombinationFactors[8]);
    for (auto _ : state) {
        StabilityResults r = ComputeStability(p, f);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(StabilityOneSet);

void DesignOfTheEnvelope(benchmark::State& state)
{
    const bool automatic = state.range(0) != 0;
    Project p = MakeNewProject("Arial");
    const CombinationResults r = RunCombinations(p);
    p.ReinDia = r.Design.ReinDia;
    p.ReinPitch = r.Design.ReinPitch;
    p.ReinUserSet = !automatic;
    for (auto _ : state) {
        DesignResults d = DesignSections(p, r.Env);
        benchmark::DoNotOptimize(d);
    }
}
BENCHMARK(DesignOfTheEnvelope)->ArgName("automatic")->Arg(1)->Arg(0);

} // namespace
