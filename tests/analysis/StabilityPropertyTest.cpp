// Random walls within the input dialogs' limits, and the degenerate walls they never draw: the
// load cases, the stability results and the section forces stay finite, and every base pressure
// distribution carries the load it was solved for, in force and in moment.
#include "analysis/Stability.h"

#include "analysis/LoadCases.h"
#include "analysis/SectionForces.h"
#include "model/DimensionEdit.h"

#include "support/RandomWalls.h"
#include "support/Walls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

using namespace pendrake;

namespace {

constexpr int WallCount = 3000;
constexpr unsigned Seed = 20080117;

// The distribution is stored in single precision (c, end pressures, anchor components), and
// force and moment balances add up to a dozen such terms: 1e-5 of the sum of their sizes
// leaves room for that rounding and nothing else.
constexpr double BalanceTolerance = 1e-5;
// An anchor spring in compression by more than this fraction of the largest pull would be a
// wrong root of the moment balance.
constexpr double PullTolerance = 1e-5;

const double Pi = 4.0 * std::atan(1.0);

bool Finite(const AnchorRow& a)
{
    return test::Finite(a.X, a.Y, a.Face, a.Along, a.Across);
}

bool Finite(const PointForce& f)
{
    return test::Finite(f.Horizontal, f.Vertical, f.X, f.Y);
}

template <class T, size_t N> bool Finite(const std::array<T, N>& list)
{
    return std::ranges::all_of(list, [](const auto& x) { return Finite(x); });
}

bool Finite(const StabilityResults& r)
{
    const auto point = [](const auto& q) { return test::Finite(q.X, q.Y); };
    return std::ranges::all_of(r.ContactStart, point) && std::ranges::all_of(r.ContactEnd, point)
        && Finite(r.Loads.Anchor)
        && test::Finite(r.TotalMoment, r.TotalHorizontal, r.TotalVertical, r.ResultantX,
            r.MidbaseEccentricity, r.MidbaseMoment, r.BaseSpan, r.ResultantInclination,
            r.ResultantMagnitude, r.ResultantLever, r.EffectiveBaseLength, r.CompressedLength,
            r.PressureToeEnd, r.PressureFarEnd, r.BasePressureMax, r.BasePressureMin,
            r.BearingSafetyMin, r.SlidingShear, r.SlidingResistance, r.SlidingSafetyMin,
            r.AnchorTensionMax, r.AnchorTensionStress, r.AnchorTensionSafety, r.AnchorShearMax,
            r.AnchorShearStress, r.AnchorShearSafety, r.AnchorLeverSum, r.AnchorLeverSqSum,
            r.AnchorForceTotal, r.AnchorForceVertical, r.AnchorForceHorizontal, r.AnchorForceMoment,
            r.CaseMoment, r.CaseHorizontal, r.CaseVertical, r.AnchorLever, r.SegmentStartU,
            r.SegmentEndU, r.SegmentPressureStart, r.SegmentPressureEnd, r.SegmentBearingSafety,
            r.SegmentShear, r.SegmentResistance, r.SegmentSlidingSafety, r.SegmentForce);
}

// The load cases, their force lists and the section forces of a wall, all finite.
void ExpectFiniteLoadsAndSections(const Project& p)
{
    const LoadCaseResults r = ComputeLoadCases(p);
    EXPECT_TRUE(test::Finite(r.DeadForce, r.DeadArm, r.SeismicForce, r.SeismicLevel, r.SeismicArm,
        r.SoilPressure, r.SoilLevel, r.SoilArm, r.WaterPressure, r.WaterArm, r.WaterLevel,
        r.BackfillSlopeAngle, r.KaStatic, r.KaeIncrement, r.KaeIncrementCopy, r.SoilPressureMax,
        r.WaterPressureMax, r.WettedLowerSlope, r.WettedRearSlope));
    EXPECT_TRUE(Finite(r.Anchor));
    EXPECT_TRUE(
        Finite(WaterForces(p, r)) && Finite(SeismicForces(p, r)) && Finite(SoilForces(p, r)));
    const SectionForceResults s = ComputeSectionForces(p, ServiceLoads, 0.0f);
    EXPECT_TRUE(test::Finite(
        s.SectionMoment, s.SectionShear, s.SectionNormal, s.UpperFaceKa, s.UpperFaceKaeIncrement));
    EXPECT_GE(s.ToeShearDepth, 0.0f);
}

// Force and moment about the toe of the stored distribution, from its definition: a trapezoid
// over the whole base, a triangle peaking at the rear end, or one peaking at the toe.
struct Resultant {
    double Force = 0;
    double Moment = 0;
};

Resultant PressureResultant(const StabilityResults& r)
{
    const double Bp = r.EffectiveBaseLength, c = r.CompressedLength;
    const double toe = r.PressureToeEnd, far = r.PressureFarEnd;
    switch (r.PressureCase) {
    case BasePressureCase::FullCompression:
        return { (toe + far) / 2 * Bp, Bp * Bp * (toe / 6 + far / 3) };
    case BasePressureCase::RearTriangle: return { far * c / 2, far * c / 2 * (Bp - c / 3) };
    case BasePressureCase::FrontTriangle: return { toe * c / 2, toe * c / 2 * (c / 3) };
    case BasePressureCase::None: break;
    }
    return {};
}

} // namespace

TEST(StabilityProperty, RandomWallsGiveFiniteResultsAndBalancedBasePressures)
{
    test::RandomWallGenerator walls(Seed, test::WallInputs::Stability);
    int solved = 0, anchored = 0, stable = 0;
    std::array<int, 4> byCase {};
    for (int n = 0; n < WallCount; ++n) {
        Project p = walls.Next();
        const StabilityResults r = ComputeStability(p);
        SCOPED_TRACE("wall " + std::to_string(n));
        ASSERT_TRUE(Finite(r));
        ExpectFiniteLoadsAndSections(p);
        if (r.Stable) {
            ASSERT_TRUE(r.BaseSolved);
        } else {
            ASSERT_EQ(
                StabilityNotes(p, r), std::vector<std::string> { std::string(NotStableNote) });
        }
        if (!r.BaseSolved)
            continue;
        ++solved;
        ++byCase[static_cast<int>(r.PressureCase)];
        stable += r.Stable;
        EXPECT_GE(r.PressureToeEnd, 0.0f);
        EXPECT_GE(r.PressureFarEnd, 0.0f);
        EXPECT_GE(r.BasePressureMin, 0.0f);
        EXPECT_LE(r.CompressedLength, r.EffectiveBaseLength * (1 + 1e-6));
        // Anchor pulls along the resultant, recovered from the table's two components. The
        // inclination is formed from the stored sums as the analysis forms it: its float copy
        // would shift the levers by 1e-7, too much where a lever lies just beyond c.
        const double psi = -std::atan(double(r.TotalHorizontal) / double(r.TotalVertical));
        const double kappa = double(p.AnchorE) * Pi / 4
            * std::pow(double(p.AnchorDia) / (p.UnitSystem == British ? 12.0 : 100.0), 2)
            / double(p.AnchorHPitch) / double(p.BaseE);
        double pull = 0, pullMoment = 0, pullSize = 0, pullMomentSize = 0, largest = 0, least = 0;
        for (int row = 1; row <= r.Loads.AnchorRowCount; ++row) {
            const AnchorRow& a = r.Loads.Anchor[row];
            const double t = a.Along * std::cos(psi + a.Face) + a.Across * std::sin(psi + a.Face);
            const double lever = a.X * std::cos(psi) - a.Y * std::sin(psi);
            pull += t;
            pullMoment += t * lever;
            pullSize += std::abs(t);
            pullMomentSize += std::abs(t * lever);
            largest = std::max(largest, std::abs(t));
            least = std::min(least, t);
            if (t != 0) {
                // Springs: pull = kappa p0 (lever - c) / c.
                const double c = r.CompressedLength;
                EXPECT_NEAR(t, kappa * r.PressureToeEnd * (lever - c) / c,
                    BalanceTolerance * std::abs(kappa * r.PressureToeEnd * lever / c));
            }
        }
        anchored += r.AnchorActiveCount > 0;
        EXPECT_GE(least, -PullTolerance * largest) << "an anchor row in compression";
        // Pressure on the projected base = load + anchor pull, in force and moment about the toe.
        const Resultant q = PressureResultant(r);
        const double R = r.ResultantMagnitude, d = r.ResultantLever;
        EXPECT_NEAR(q.Force - pull, R, BalanceTolerance * (std::abs(q.Force) + pullSize + R));
        EXPECT_NEAR(q.Moment - pullMoment, R * d,
            BalanceTolerance * (std::abs(q.Moment) + pullMomentSize + std::abs(R * d)));
    }
    // The generator must reach every branch, or the properties prove little.
    EXPECT_GT(solved, WallCount / 4);
    EXPECT_GT(anchored, WallCount / 50);
    EXPECT_GT(stable, WallCount / 10);
    for (int c = 1; c <= 3; ++c)
        EXPECT_GT(byCase[c], WallCount / 100) << "pressure case " << c;
    RecordProperty("solved", solved);
    RecordProperty("anchored", anchored);
    RecordProperty("stable", stable);
}

// The default wall (soil, water, surcharge, earthquake, anchors) with what the random walls never
// draw: no section at all, an upper wall of no thickness, a face leaning flat, exact crossings,
// and numbers beyond the dialogs' limits as a damaged file holds them.
TEST(StabilityProperty, DegenerateWallsGiveFiniteLoadsAndSections)
{
    const test::WallChange walls[] = {
        { "every dimension 0",
            [](Project& p) {
                for (int i = 0; i < DimensionCount; ++i)
                    Dimension(p, i) = 0;
            } },
        { "upper wall without thickness",
            [](Project& p) {
                p.ShelfWidth += p.TopWidth + p.UpperBackOffset;
                p.TopWidth = p.UpperBackOffset = 0;
            } },
        { "toe thinner than its cover", [](Project& p) { p.ConcCover = 150.0f; } },
        { "cut at the top of the lower slope",
            [](Project& p) {
                p.ToeHeight = 2.0f;
                p.FrontHeight = 8.0f;
            } },
        { "face leaning flat",
            [](Project& p) {
                p.UpperBackOffset = 6.0f;
                p.ShelfWidth = 0.8f;
                p.DeltaConcrete = 89.0f;
            } },
        { "water exactly at P2", [](Project& p) { p.BackWaterDepth = 8; } },
        { "no surcharge, no wall friction (p0 + p1 = 0)",
            [](Project& p) {
                p.Surcharge = 0;
                p.DeltaEarth = 90;
            } },
        { "negative surcharge cancelling", [](Project& p) { p.Surcharge = -10.2f; } },
        { "almost vertical backfill", [](Project& p) { p.BackfillSlope = 0.001f; } },
        { "negative slope and depths from a damaged file",
            [](Project& p) {
                p.BackfillSlope = -2;
                p.BackWaterDepth = p.FrontWaterDepth = -1;
                p.AnchorEdgeDist = -1;
            } },
        { "friction 90",
            [](Project& p) {
                p.FillPhi = 90;
                p.BackfillSlope = 0.5f;
            } },
    };
    for (const auto& c : walls) {
        SCOPED_TRACE(c.Name);
        Project p = test::DefaultWall();
        c.Change(p);
        EXPECT_TRUE(Finite(ComputeStability(p)));
        ExpectFiniteLoadsAndSections(p);
    }
}
