// The study's points (grid or seeded random draws), their judgement in parallel, the CSV rows
// and the summary.
#include "search/Sweep.h"

#include "search/ParallelFor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace pendrake {

namespace {

// 2^-53: a 53-bit integer times this is a double in [0, 1).
constexpr double UnitInterval = 1.0 / 9007199254740992.0;

// SplitMix64: a counter-based generator, so that a point's draws depend on the seed, the point
// and the input only, never on which shard or thread draws them.
uint64_t Mix(uint64_t x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// A uniform draw in (0, 1), never 0 so that its logarithm is finite.
double Uniform(uint64_t seed, int64_t point, size_t input, int draw)
{
    const uint64_t key
        = Mix(Mix(Mix(seed) ^ uint64_t(point)) ^ (uint64_t(input) << 8 | uint64_t(draw)));
    return (double(key >> 11) + 0.5) * UnitInterval;
}

// A standard normal draw by the Box-Muller transform.
double StandardNormal(uint64_t seed, int64_t point, size_t input)
{
    const double u1 = Uniform(seed, point, input, 0);
    const double u2 = Uniform(seed, point, input, 1);
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

double Draw(const SweepSample& s, uint64_t seed, int64_t point, size_t input)
{
    switch (s.Kind) {
    case Distribution::Normal: return s.A + s.B * StandardNormal(seed, point, input);
    case Distribution::LogNormal: {
        // The logarithm's parameters from the value's mean and standard deviation.
        const double sigma2 = std::log1p((s.B * s.B) / (s.A * s.A));
        const double mu = std::log(s.A) - sigma2 / 2;
        return std::exp(mu + std::sqrt(sigma2) * StandardNormal(seed, point, input));
    }
    case Distribution::Uniform: return s.A + (s.B - s.A) * Uniform(seed, point, input, 0);
    }
    return s.A;
}

std::string Number(double v)
{
    if (std::isinf(v))
        return v > 0 ? "inf" : "-inf";
    if (std::isnan(v))
        return "nan";
    std::array<char, 32> buf {};
    std::snprintf(buf.data(), buf.size(), "%.9g", v);
    return buf.data();
}

} // namespace

std::string CheckSweepPlan(const SweepPlan& plan)
{
    if (plan.Ranges.empty() == plan.Samples.empty())
        return "a study varies inputs over ranges or samples them, one of the two";
    for (const SweepRange& r : plan.Ranges) {
        if (r.Count < 1 || !std::isfinite(r.From) || !std::isfinite(r.To))
            return std::string(r.Input.Name) + " needs finite FROM and TO and a COUNT of 1 or more";
    }
    if (!plan.Samples.empty() && plan.SampleCount < 1)
        return "a Monte-Carlo study needs 1 or more samples";
    for (const SweepSample& s : plan.Samples) {
        const std::string name(s.Input.Name);
        if (!std::isfinite(s.A) || !std::isfinite(s.B))
            return name + ": the distribution's parameters must be finite";
        if ((s.Kind == Distribution::Normal || s.Kind == Distribution::LogNormal) && s.B < 0)
            return name + ": the standard deviation cannot be negative";
        if (s.Kind == Distribution::LogNormal && !(s.A > 0))
            return name + ": a lognormal value needs a mean above 0";
        if (s.Kind == Distribution::Uniform && s.B < s.A)
            return name + ": uniform(MIN,MAX) needs MIN <= MAX";
    }
    return {};
}

int64_t SweepPointCount(const SweepPlan& plan)
{
    if (!plan.Samples.empty())
        return plan.SampleCount;
    int64_t n = plan.Ranges.empty() ? 0 : 1;
    for (const SweepRange& r : plan.Ranges)
        n *= r.Count;
    return n;
}

std::vector<double> SweepPointValues(const SweepPlan& plan, int64_t point)
{
    std::vector<double> values;
    if (!plan.Samples.empty()) {
        for (size_t k = 0; k < plan.Samples.size(); ++k)
            values.push_back(Draw(plan.Samples[k], plan.Seed, point, k));
        return values;
    }
    values.resize(plan.Ranges.size());
    for (size_t k = plan.Ranges.size(); k-- > 0;) {
        const SweepRange& r = plan.Ranges[k];
        const int64_t i = point % r.Count;
        point /= r.Count;
        values[k]
            = r.Count == 1 ? r.From : r.From + (r.To - r.From) * double(i) / double(r.Count - 1);
    }
    return values;
}

SweepPoint EvaluateSweepPoint(
    const Project& project, const SweepPlan& plan, const DesignTargets& targets, int64_t point)
{
    SweepPoint result;
    result.Index = point;
    const std::vector<double> values = SweepPointValues(plan, point);
    Project p = project;
    result.Valid = true;
    for (size_t k = 0; k < values.size(); ++k) {
        const WallInput& input
            = plan.Samples.empty() ? plan.Ranges[k].Input : plan.Samples[k].Input;
        if (!ApplyInput(p, input, values[k]))
            result.Valid = false;
    }
    for (size_t k = 0; k < values.size(); ++k) {
        const WallInput& input
            = plan.Samples.empty() ? plan.Ranges[k].Input : plan.Samples[k].Input;
        result.Inputs.push_back(result.Valid ? InputValue(p, input) : values[k]);
    }
    if (result.Valid)
        result.Evaluation = Evaluate(p, targets);
    return result;
}

std::vector<SweepPoint> RunSweep(const Project& project, const SweepPlan& plan,
    const DesignTargets& targets, int threads, const SweepOptions& options)
{
    const int64_t total = SweepPointCount(plan);
    const int64_t shards = std::max<int64_t>(1, options.ShardCount);
    const int64_t first = std::clamp<int64_t>(options.Shard, 0, shards - 1);
    const int64_t mine = total > first ? (total - first + shards - 1) / shards : 0;
    std::vector<SweepPoint> points(static_cast<size_t>(mine));
    // Batches between progress reports; the points themselves do not depend on them.
    constexpr int64_t ProgressBatch = 256;
    for (int64_t start = 0; start < mine; start += ProgressBatch) {
        if (options.Cancel && options.Cancel->load()) {
            points.resize(size_t(start));
            break;
        }
        const int64_t count = std::min(ProgressBatch, mine - start);
        ParallelFor(count, threads, [&](int64_t i) {
            const int64_t local = start + i;
            points[size_t(local)]
                = EvaluateSweepPoint(project, plan, targets, first + local * shards);
        });
        if (options.Progress)
            options.Progress(start + count, mine);
    }
    return points;
}

std::string SweepCsvHeader(const SweepPlan& plan)
{
    std::string h = "Point";
    for (const SweepRange& r : plan.Ranges)
        (h += ',') += r.Input.Name;
    for (const SweepSample& s : plan.Samples)
        (h += ',') += s.Input.Name;
    for (const std::string_view name : SafetyCheckName)
        (h += ',') += name;
    h += ",AllSetsStable,DesignChecks,LargestUtilisation,ConcreteArea,Result\n";
    return h;
}

std::string SweepCsvRow(const SweepPoint& p)
{
    std::string row = std::to_string(p.Index);
    for (const double v : p.Inputs)
        (row += ',') += Number(v);
    const WallEvaluation& e = p.Evaluation;
    if (!p.Valid) {
        row.append(size_t(SafetyCheckCount) + 3, ',');
        return row + ",invalid\n";
    }
    for (const double f : e.Safety)
        (row += ',') += Number(f);
    const bool design = e.AllSetsStable
        && std::all_of(e.RowMet.begin() + 1, e.RowMet.end(), [](bool m) { return m; })
        && std::all_of(e.ShearMet.begin() + 1, e.ShearMet.end(), [](bool m) { return m; });
    row += e.AllSetsStable ? ",true" : ",false";
    row += design ? ",pass" : ",fail";
    (row += ',') += Number(e.LargestUtilisation);
    (row += ',') += Number(e.ConcreteArea);
    row += e.Passes ? ",pass\n" : ",fail\n";
    return row;
}

SweepSummary SummarizeSweep(const std::vector<SweepPoint>& points)
{
    SweepSummary s;
    s.Points = int64_t(points.size());
    int64_t valid = 0;
    for (const SweepPoint& p : points) {
        if (!p.Valid) {
            ++s.InvalidPoints;
            continue;
        }
        ++valid;
        const WallEvaluation& e = p.Evaluation;
        if (!e.Passes)
            ++s.FailingPoints;
        // A wall that does not stand has no factors (they read 0): it counts as failing, not
        // as the smallest margin.
        for (size_t k = 0; e.ServiceStable && k < size_t(SafetyCheckCount); ++k) {
            SweepExtreme& x = s.SmallestSafety[k];
            if (x.Point < 0 || e.Safety[k] < x.Value)
                x = { e.Safety[k], p.Index };
        }
        if (s.LargestUtilisation.Point < 0 || e.LargestUtilisation > s.LargestUtilisation.Value)
            s.LargestUtilisation = { e.LargestUtilisation, p.Index };
    }
    s.FailFraction = valid > 0 ? double(s.FailingPoints) / double(valid) : 0.0;
    return s;
}

} // namespace pendrake
