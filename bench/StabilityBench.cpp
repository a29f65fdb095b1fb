// Time of one stability analysis (load cases, sums, base pressure, segments, anchors) on the
// new project's wall and on one whose resultant falls in the front third, so that the anchor
// springs are solved row by row.
#include "analysis/Stability.h"

#include <benchmark/benchmark.h>

namespace {

using namespace pendrake;

void Analyse(benchmark::State& state, const Project& project, BasePressureCase expected)
{
    const StabilityResults first = ComputeStability(project);
    if (first.PressureCase != expected || !first.Stable) {
        state.SkipWithError("the wall does not take the branch this benchmark is meant to time");
        return;
    }
    for (auto _ : state) {
        const StabilityResults results = ComputeStability(project);
        benchmark::DoNotOptimize(results.Stable);
        benchmark::ClobberMemory();
    }
}

void BM_StabilityDefaultWall(benchmark::State& state)
{
    // Resultant in the middle third: the trapezoid, no anchor solve.
    Analyse(state, MakeNewProject("Arial"), BasePressureCase::FullCompression);
}
BENCHMARK(BM_StabilityDefaultWall);

void BM_StabilityAnchoredWall(benchmark::State& state)
{
    // The new project pushed towards the toe by 10 T/m at the wall top: the resultant crosses
    // the front third and all three anchor rows go into tension one after the other.
    Project p = MakeNewProject("Arial");
    p.LineLoadCount = 1;
    p.LineLoads[1] = { 10.0f, 1.0f, 10.0f, 270.0f, 2 };
    Analyse(state, p, BasePressureCase::FrontTriangle);
}
BENCHMARK(BM_StabilityAnchoredWall);

void BM_StabilityManyAnchorRows(benchmark::State& state)
{
    // As above with sixteen rows at 0.25 pitch: more rows to sort and more spring solves.
    Project p = MakeNewProject("Arial");
    p.AnchorRows = 16;
    p.AnchorEdgeDist = 0.1f;
    p.AnchorVPitch = 0.25f;
    p.LineLoadCount = 1;
    p.LineLoads[1] = { 10.0f, 1.0f, 10.0f, 270.0f, 2 };
    Analyse(state, p, BasePressureCase::FrontTriangle);
}
BENCHMARK(BM_StabilityManyAnchorRows);

} // namespace
