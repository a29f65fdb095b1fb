// The design search: a candidate judged against the targets, the optimizer's answer against an
// exhaustive look at its grid, and the studies' rows against single runs of the engine.
#include "analysis/Combinations.h"
#include "analysis/Stability.h"
#include "model/DimensionEdit.h"
#include "search/Evaluation.h"
#include "search/Optimizer.h"
#include "search/Sweep.h"
#include "support/Walls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

using namespace pendrake;
using pendrake::test::DefaultWall;

namespace {

// The fields of a CSV row, the last one with the row's line end.
std::vector<std::string> SplitCsv(const std::string& row)
{
    std::vector<std::string> fields(1);
    for (const char c : row)
        if (c == ',')
            fields.emplace_back();
        else
            fields.back() += c;
    return fields;
}

} // namespace

TEST(EvaluationTest, ConcreteAreaOfTheDefaultWallByHand)
{
    // Upper wall 6 x 0.5 = 3.0, leaning back 0.9 x 6 / 2 = 2.7, base block 3.0 x (2 + 2) = 12.0,
    // lower slope 1.4 x 2 / 2 = 1.4, toe 1.0 x 1.0 = 1.0, flat part (1.4 + 1.5) x 2 = 5.8, rear
    // slope 1.4 x 2 / 2 = 1.4: 27.3 m² per metre of wall. The soil on the shelf is not concrete.
    EXPECT_NEAR(ConcreteArea(DefaultWall()), 27.3, 1e-5);
}

TEST(EvaluationTest, EachCheckReadsItsOwnFactorAndTarget)
{
    const Project wall = DefaultWall();
    const StabilityResults s = ComputeStability(wall);
    // The default wall stands with an overturning factor of about 1.42 under service loads
    // (kh 0.15 included): short of 2.0, above 1.4.
    ASSERT_TRUE(s.Stable);
    ASSERT_GT(s.OverturningSafety, 1.4);
    ASSERT_LT(s.OverturningSafety, 2.0);
    const std::array<double, SafetyCheckCount> factor { s.OverturningSafety, s.SlidingSafetyMin,
        s.BearingSafetyMin, s.AnchorTensionSafety, s.AnchorShearSafety };
    struct Row {
        const char* Name;
        DesignTargets Targets;
        bool Passes;
        int Missed; // the check that fails, -1 none
    };
    const double sliding = s.SlidingSafetyMin * 1.01, bearing = s.BearingSafetyMin * 1.01;
    const Row rows[] = {
        { "default targets: overturning short", {}, false, 0 },
        { "overturning 1.4", { .OverturningSafety = 1.4 }, true, -1 },
        { "sliding above the wall's", { .OverturningSafety = 1.4, .SlidingSafetyMin = sliding },
            false, 1 },
        { "bearing above the wall's", { .OverturningSafety = 1.4, .BearingSafetyMin = bearing },
            false, 2 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const DesignTargets& t = row.Targets;
        const WallEvaluation e = Evaluate(wall, t);
        EXPECT_EQ(e.Passes, row.Passes);
        for (int k = 0; k < SafetyCheckCount; ++k) {
            EXPECT_EQ(e.Safety[size_t(k)], factor[size_t(k)]) << SafetyCheckName[size_t(k)];
            EXPECT_EQ(e.SafetyMet[size_t(k)], k != row.Missed) << SafetyCheckName[size_t(k)];
        }
        // The largest utilisation is at least target / factor of every finite check.
        EXPECT_GE(e.LargestUtilisation, t.OverturningSafety / s.OverturningSafety - 1e-12);
        EXPECT_EQ(e.LargestUtilisation <= 1.0, row.Passes);
    }
}

TEST(EvaluationTest, WallsThatFailTheDesignOrDoNotStand)
{
    const DesignTargets lenient { .OverturningSafety = 1.0 };
    // A 0.3 m upper wall (0.1 at the top, 0.2 of lean) stands but cannot carry its moment or
    // shear; the body's row 2 can.
    Project thin = DefaultWall();
    ASSERT_TRUE(ApplyDimensionEdit(thin, 1, 0.2));
    ASSERT_TRUE(ApplyDimensionEdit(thin, 0, 0.1));
    const WallEvaluation t = Evaluate(thin, lenient);
    EXPECT_FALSE(t.Passes);
    EXPECT_TRUE(t.AllSetsStable);
    EXPECT_FALSE(t.RowMet[1]);
    EXPECT_FALSE(t.ShearMet[1]);
    EXPECT_TRUE(t.RowMet[2]);
    EXPECT_GT(t.LargestUtilisation, 1.0);
    Project quake = DefaultWall();
    quake.SeismicCoef = 0.8f;
    const WallEvaluation q = Evaluate(quake, lenient);
    EXPECT_FALSE(q.Passes);
    EXPECT_TRUE(std::isinf(q.LargestUtilisation));
    // The shortcut of the search stops before the factored sets but judges alike.
    EXPECT_FALSE(Evaluate(quake, lenient, true).Passes);
}

TEST(OptimizerTest, CandidatesAreValidWallsOrNone)
{
    const Project base = DefaultWall();
    const std::vector<FreeDimension> toe { { 7, 0, 1, 1 }, { 3, 0, 1, 1 } }; // ToeHeight, ToeWidth
    // No toe height takes the toe width to 0: a toe 1 m wide without height is no wall.
    EXPECT_FALSE(MakeCandidate(base, toe, { 0, 1 }));
    EXPECT_TRUE(MakeCandidate(base, toe, { 0, 0 }));
    // A top width past the bottom width's shelf takes the shelf to 0 and widens the bottom
    // again: the bottom width asked for is not the wall's.
    EXPECT_FALSE(MakeCandidate(base, { { 4, 0, 0, 0 }, { 0, 0, 0, 0 } }, { 8, 15 }));
    const auto wide = MakeCandidate(base, { { 0, 0, 0, 0 }, { 4, 0, 0, 0 } }, { 1.2, 5.5 });
    ASSERT_TRUE(wide);
    EXPECT_FLOAT_EQ(wide->TopWidth, 1.2f);
    EXPECT_FLOAT_EQ(wide->BottomWidth, 5.5f);
    // 1.2 + 0.9 + shelf = 5.5 + 1.4 + 1.5 + 1.4: the shelf takes up both edits.
    EXPECT_NEAR(wide->ShelfWidth, 7.7, 1e-5);
    const OptimizationResult bad = Optimize(base, { { 0, 1, 0.5, 0.1 } }, {}, 1);
    EXPECT_FALSE(bad.Error.empty());
    EXPECT_FALSE(bad.Found);
}

// The default ranges free the top width, the toe width and height and the bottom width (4, not
// the lower slope's 5): (index, min, max, step) in metres, and in feet to two decimals.
TEST(OptimizerTest, DefaultRangesFreeTopToeAndBottomInTheProjectsLength)
{
    using Ranges = std::vector<std::array<double, 4>>;
    const auto ranges = [](const Project& p) {
        Ranges r;
        for (const FreeDimension& f : DefaultFreeDimensions(p))
            r.push_back({ double(f.Index), f.Min, f.Max, f.Step });
        return r;
    };
    EXPECT_EQ(ranges(DefaultWall()),
        (Ranges {
            { 0, 0.3, 1.5, 0.1 }, { 3, 0, 6, 0.5 }, { 7, 0.5, 2, 0.25 }, { 4, 1, 12, 0.5 } }));
    Project british = DefaultWall();
    british.UnitSystem = British;
    EXPECT_EQ(ranges(british),
        (Ranges { { 0, 0.98, 4.92, 0.33 }, { 3, 0, 19.69, 1.64 }, { 7, 1.64, 6.56, 0.82 },
            { 4, 3.28, 39.37, 1.64 } }));
}

TEST(OptimizerTest, LeastConcreteOnASmallGridAndTheSameOnEveryThreadCount)
{
    const Project base = DefaultWall();
    const DesignTargets targets { .OverturningSafety = 1.5 };
    const std::vector<FreeDimension> free { { 0, 0.3, 0.7, 0.2 }, { 3, 0.5, 2.5, 1.0 },
        { 4, 3.0, 5.0, 0.5 } };
    const OptimizationResult one = Optimize(base, free, targets, 1);
    const OptimizationResult two = Optimize(base, free, targets, 2);
    ASSERT_TRUE(one.Found);
    EXPECT_EQ(one.GridSize, 3 * 3 * 5);
    EXPECT_EQ(two.Best.GridIndex, one.Best.GridIndex);
    EXPECT_EQ(two.CandidatesEvaluated, one.CandidatesEvaluated);
    ASSERT_EQ(two.RunnersUp.size(), one.RunnersUp.size());
    for (size_t k = 0; k < one.RunnersUp.size(); ++k)
        EXPECT_EQ(two.RunnersUp[k].GridIndex, one.RunnersUp[k].GridIndex);
    // The chosen wall read straight from the engine meets the overturning target.
    EXPECT_GE(ComputeStability(one.Best.Wall).OverturningSafety, 1.5);
    // Every point of the grid, each edited in by hand and judged in full: none that passes has
    // less concrete, and exactly the passing ones beat the runners-up's concrete.
    int passing = 0;
    for (double top : { 0.3, 0.5, 0.7 })
        for (double toe : { 0.5, 1.5, 2.5 })
            for (double bottom : { 3.0, 3.5, 4.0, 4.5, 5.0 }) {
                Project p = base;
                for (const auto& [index, value] :
                    { std::pair { 0, top }, { 3, toe }, { 4, bottom } })
                    ApplyDimensionEdit(p, index, value);
                const WallEvaluation e = Evaluate(p, targets);
                if (!e.Passes)
                    continue;
                ++passing;
                EXPECT_GE(e.ConcreteArea, one.Best.Evaluation.ConcreteArea)
                    << top << " " << toe << " " << bottom;
            }
    EXPECT_GT(passing, 1);
    EXPECT_EQ(int(one.RunnersUp.size()), std::min(passing - 1, 5));
    OptimizeOptions all;
    all.Exhaustive = true;
    EXPECT_EQ(Optimize(base, free, targets, 2, all).Best.GridIndex, one.Best.GridIndex);
}

TEST(SweepTest, DrawsFollowTheirDistributions)
{
    const WallInput phi = *WallInputByName("FillPhi");
    struct Row {
        const char* Name;
        Distribution Kind;
        double A, B, Mean, Sd;
    };
    // Uniform(20, 40): mean 30, sd 20 / sqrt(12). Lognormal of mean 30 and sd 3 by its value.
    const std::vector<Row> rows { { "normal", Distribution::Normal, 30, 2, 30, 2 },
        { "lognormal", Distribution::LogNormal, 30, 3, 30, 3 },
        { "uniform", Distribution::Uniform, 20, 40, 30, 20 / std::sqrt(12.0) } };
    constexpr int Draws = 20000;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        SweepPlan plan;
        plan.Samples = { { phi, row.Kind, row.A, row.B } };
        plan.SampleCount = Draws;
        plan.Seed = 7;
        double sum = 0, sq = 0;
        for (int i = 0; i < Draws; ++i) {
            const double v = SweepPointValues(plan, i)[0];
            sum += v;
            sq += v * v;
        }
        const double mean = sum / Draws, sd = std::sqrt(sq / Draws - mean * mean);
        // Five standard errors of the mean; the sample sd within 3 %.
        EXPECT_NEAR(mean, row.Mean, 5 * row.Sd / std::sqrt(double(Draws)));
        EXPECT_NEAR(sd, row.Sd, 0.03 * row.Sd);
        EXPECT_EQ(SweepPointValues(plan, 123), SweepPointValues(plan, 123));
    }
}

TEST(SweepTest, RowsAreSingleRunsOfTheEngine)
{
    const Project base = DefaultWall();
    SweepPlan plan;
    plan.Ranges = { { *WallInputByName("FillPhi"), 26, 34, 3 },
        { *WallInputByName("TopWidth"), 0.4, 0.6, 2 } };
    ASSERT_EQ(CheckSweepPlan(plan), "");
    // Overturning about 1.402 at FillPhi 26 and 1.416 at 30: the weak fill fails.
    const DesignTargets targets { .OverturningSafety = 1.41 };
    std::set<std::string> passes;
    const std::vector<SweepPoint> whole = RunSweep(base, plan, targets, 2);
    ASSERT_EQ(whole.size(), 6u);
    const std::vector<std::string> header = SplitCsv(SweepCsvHeader(plan));
    ASSERT_EQ(header[1], "FillPhi");
    ASSERT_EQ(header[3], "OverturningSafety");
    for (const SweepPoint& point : whole) {
        // The point made by hand: FillPhi slowest, TopWidth fastest.
        const double phiValue = 26 + 4 * double(point.Index / 2);
        const double top = point.Index % 2 == 0 ? 0.4 : 0.6;
        SCOPED_TRACE(point.Index);
        Project p = base;
        p.FillPhi = float(phiValue);
        ApplyDimensionEdit(p, 0, top);
        const StabilityResults s = ComputeStability(p);
        const CombinationResults c = RunCombinations(p);
        const std::vector<std::string> f = SplitCsv(SweepCsvRow(point));
        ASSERT_EQ(f.size(), header.size());
        EXPECT_DOUBLE_EQ(std::stod(f[1]), phiValue);
        EXPECT_NEAR(std::stod(f[2]), top, 1e-6);
        EXPECT_FLOAT_EQ(std::stof(f[3]), s.OverturningSafety);
        EXPECT_FLOAT_EQ(std::stof(f[4]), s.SlidingSafetyMin);
        EXPECT_FLOAT_EQ(std::stof(f[5]), s.BearingSafetyMin);
        EXPECT_EQ(f[8], c.Stable ? "true" : "false");
        EXPECT_TRUE(s.OverturningSafety >= targets.OverturningSafety || f.back() == "fail\n");
        passes.insert(f.back());
    }
    // Weak and strong fills on either side of the target.
    EXPECT_EQ(passes.size(), 2u);
    const SweepSummary summary = SummarizeSweep(whole);
    EXPECT_EQ(summary.Points, 6);
    EXPECT_DOUBLE_EQ(summary.FailFraction, double(summary.FailingPoints) / 6);
    // Overturning falls as the fill weakens: its smallest factor is at FillPhi 26.
    EXPECT_LT(summary.SmallestSafety[0].Point, 2);
}

TEST(Sweep, SmallestMarginsComeFromWallsThatStand)
{
    SweepPoint standing, falling, invalid;
    standing.Valid = falling.Valid = true;
    standing.Evaluation.ServiceStable = true;
    standing.Evaluation.Safety = { 1.3, 2.0, 4.0, InfiniteSafety, InfiniteSafety };
    standing.Evaluation.LargestUtilisation = 1.54;
    falling.Index = 1;
    falling.Evaluation.LargestUtilisation = std::numeric_limits<double>::infinity();
    invalid.Index = 2;
    const SweepSummary s = SummarizeSweep({ standing, falling, invalid });
    EXPECT_EQ(s.InvalidPoints, 1);
    EXPECT_EQ(s.FailingPoints, 2);
    EXPECT_DOUBLE_EQ(s.FailFraction, 1.0);
    EXPECT_DOUBLE_EQ(s.SmallestSafety[0].Value, 1.3);
    EXPECT_EQ(s.SmallestSafety[0].Point, 0);
    EXPECT_EQ(s.LargestUtilisation.Point, 1);
}
