// The grid search for the least concrete: candidates built and measured in parallel, ranked by
// concrete area, then judged batch by batch in that order until the best walls are known.
#include "search/Optimizer.h"

#include "model/DimensionEdit.h"
#include "model/NumberFormat.h"
#include "model/Units.h"
#include "search/Inputs.h"
#include "search/ParallelFor.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace pendrake {

namespace {

// A step ends the grid at Max even when (Max - Min) / Step misses a whole number by rounding.
constexpr double StepRoundingSlack = 1e-9;
// A chain closes within single-precision rounding of its seven stored values; a gap above a
// millionth of the chain's length is an open chain.
constexpr double ChainTolerance = 1e-6;
// Candidates judged between two looks at the stopping rule: large enough that the threads'
// start and the wait for the slowest at the end are small beside the batch (a few milliseconds),
// small enough not to judge many walls past the answer. Fixed, so that the count of
// candidates evaluated does not depend on the threads.
constexpr int64_t BatchSize = 512;

// Default ranges in metres: (label, min, max, step). Wide enough in the toe and the base that a
// wall of the default's height (10 m, kh 0.15 under service loads) can reach an overturning
// factor of 2; coarse enough that the whole grid is judged well within a second.
struct DefaultRange {
    int Index;
    double Min, Max, Step;
};
constexpr std::array<DefaultRange, 4> DefaultRanges { {
    { 0, 0.3, 1.5, 0.1 }, // TopWidth
    { 3, 0.0, 6.0, 0.5 }, // ToeWidth
    { 7, 0.5, 2.0, 0.25 }, // ToeHeight
    { 4, 1.0, 12.0, 0.5 }, // BottomWidth
} };

double ChainSize(const Project& p)
{
    double size = 0;
    for (int i = 0; i < DimensionCount; ++i)
        size += std::abs(double(Dimension(p, i)));
    return size;
}

std::vector<double> ValuesAt(const std::vector<std::vector<double>>& grids, int64_t index)
{
    std::vector<double> values(grids.size());
    for (size_t k = grids.size(); k-- > 0;) {
        const auto n = int64_t(grids[k].size());
        values[k] = grids[k][size_t(index % n)];
        index /= n;
    }
    return values;
}

std::string CheckFree(const std::vector<FreeDimension>& free, int64_t& gridSize)
{
    if (free.empty())
        return "no free dimension given";
    gridSize = 1;
    for (size_t k = 0; k < free.size(); ++k) {
        const FreeDimension& f = free[k];
        if (f.Index < 0 || f.Index >= DimensionCount)
            return "no such dimension";
        const std::string name(DimensionFieldName[size_t(f.Index)]);
        for (size_t j = 0; j < k; ++j) {
            if (free[j].Index == f.Index)
                return name + " is given twice";
        }
        if (!std::isfinite(f.Min) || !std::isfinite(f.Max) || !std::isfinite(f.Step) || f.Min < 0
            || f.Max < f.Min || !(f.Step > 0))
            return name + " needs 0 <= MIN <= MAX and a STEP above 0";
        gridSize *= int64_t(GridValues(f).size());
        if (gridSize > MaxGridSize)
            return "the grid has more than " + std::to_string(MaxGridSize) + " points";
    }
    return {};
}

} // namespace

std::vector<FreeDimension> DefaultFreeDimensions(const Project& p)
{
    const double toProject = UnitConversionFactors(Metric, p.UnitSystem).Length;
    std::vector<FreeDimension> free;
    for (const DefaultRange& r : DefaultRanges) {
        free.push_back({ r.Index, RoundTo(r.Min * toProject, DimensionDecimals),
            RoundTo(r.Max * toProject, DimensionDecimals),
            RoundTo(r.Step * toProject, DimensionDecimals) });
    }
    return free;
}

double GridStepCount(const FreeDimension& f)
{
    return std::floor((f.Max - f.Min) / f.Step + StepRoundingSlack) + 1;
}

std::vector<double> GridValues(const FreeDimension& f)
{
    std::vector<double> values;
    if (!(f.Step > 0) || !(f.Max >= f.Min))
        return values;
    const auto count = int64_t(GridStepCount(f));
    for (int64_t k = 0; k < count; ++k)
        values.push_back(RoundTo(f.Min + double(k) * f.Step, DimensionDecimals));
    // Two decimals can fold neighbouring points of a very fine step together.
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

std::optional<Project> MakeCandidate(
    const Project& base, const std::vector<FreeDimension>& free, const std::vector<double>& values)
{
    Project p = base;
    for (size_t k = 0; k < free.size(); ++k) {
        if (!ApplyDimensionEdit(p, free[k].Index, values[k]))
            return std::nullopt;
    }
    for (size_t k = 0; k < free.size(); ++k) {
        if (Dimension(p, free[k].Index) != float(RoundTo(values[k], DimensionDecimals)))
            return std::nullopt;
    }
    for (int i = 0; i < DimensionCount; ++i) {
        if (!(Dimension(p, i) >= 0))
            return std::nullopt;
    }
    const double tolerance = ChainTolerance * ChainSize(p);
    if (std::abs(WidthChainGap(p)) > tolerance || std::abs(HeightChainGap(p)) > tolerance)
        return std::nullopt;
    return p;
}

OptimizationResult Optimize(const Project& base, const std::vector<FreeDimension>& free,
    const DesignTargets& targets, int threads, const OptimizeOptions& options)
{
    OptimizationResult result;
    result.Error = CheckFree(free, result.GridSize);
    if (!result.Error.empty())
        return result;
    std::vector<std::vector<double>> grids;
    for (const FreeDimension& f : free)
        grids.push_back(GridValues(f));

    // Every point built and measured; an invalid one gets no area.
    std::vector<double> area(size_t(result.GridSize), -1.0);
    ParallelFor(
        result.GridSize, threads,
        [&](int64_t g) {
            if (const auto wall = MakeCandidate(base, free, ValuesAt(grids, g)))
                area[size_t(g)] = ConcreteArea(*wall);
        },
        options.Cancel);
    std::vector<int64_t> order;
    for (int64_t g = 0; g < result.GridSize; ++g) {
        if (area[size_t(g)] >= 0)
            order.push_back(g);
    }
    std::stable_sort(order.begin(), order.end(),
        [&](int64_t a, int64_t b) { return area[size_t(a)] < area[size_t(b)]; });
    result.ValidCandidates = int64_t(order.size());

    // Judged in ranked order: once enough passing walls are found, every wall with less
    // concrete has been judged, so the batches after it cannot change the answer.
    const auto wanted = int64_t(std::max(0, options.RunnersUp)) + 1;
    std::vector<SearchCandidate> passing;
    std::vector<SearchCandidate> batch;
    for (int64_t start = 0; start < result.ValidCandidates; start += BatchSize) {
        if (options.Cancel && options.Cancel->load()) {
            result.Cancelled = true;
            break;
        }
        const int64_t count = std::min(BatchSize, result.ValidCandidates - start);
        batch.assign(size_t(count), {});
        ParallelFor(count, threads, [&](int64_t i) {
            SearchCandidate& c = batch[size_t(i)];
            c.GridIndex = order[size_t(start + i)];
            c.Values = ValuesAt(grids, c.GridIndex);
            c.Wall = *MakeCandidate(base, free, c.Values);
            c.Evaluation = Evaluate(c.Wall, targets, true);
        });
        result.CandidatesEvaluated += count;
        for (SearchCandidate& c : batch) {
            if (c.Evaluation.Passes && int64_t(passing.size()) < wanted)
                passing.push_back(std::move(c));
        }
        if (options.Progress)
            options.Progress(result.CandidatesEvaluated, result.ValidCandidates);
        if (!options.Exhaustive && int64_t(passing.size()) >= wanted)
            break;
    }
    if (!passing.empty()) {
        result.Found = true;
        result.Best = std::move(passing.front());
        result.RunnersUp.assign(
            std::make_move_iterator(passing.begin() + 1), std::make_move_iterator(passing.end()));
    }
    return result;
}

} // namespace pendrake
