// Random walls within the input dialogs' limits: the stability results stay finite, and every
// base pressure distribution carries the load it was solved for, in force and in moment.
#include "analysis/Stability.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
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

class WallGenerator {
public:
    explicit WallGenerator(unsigned seed)
        : rng_(seed)
    {
    }

    Project Next()
    {
        Project p = MakeNewProject("Arial");
        p.UnitSystem = static_cast<int16_t>(Int(0, 2));

        // Heights in cm so that both chains close in decimals, as typed in the dialogs.
        const int upper = Chance(0.1) ? 0 : Int(50, 1200);
        const int step = Chance(0.6) ? 0 : Int(0, 200);
        const int rearH = Chance(0.1) ? 0 : Int(0, 400);
        const int lowH = Chance(0.1) ? 0 : Int(0, 400);
        const int below = step + rearH + lowH;
        const int toeH = below == 0 ? 0 : Int(0, below); // FrontHeight >= UpperBackHeight
        p.UpperBackHeight = Cm(upper);
        p.RearStepHeight = Cm(step);
        p.RearSlopeHeight = Cm(rearH);
        p.LowerSlopeHeight = Cm(lowH);
        p.ToeHeight = Cm(toeH);
        p.FrontHeight = Cm(upper + below - toeH);

        const int top = Int(20, 200);
        const int lean = Chance(0.2) ? 0 : Int(0, 200);
        const int shelf = below == 0 ? 0 : Int(0, 900);
        const int width = top + lean + shelf;
        std::array<int, 3> cuts { Int(0, width), Int(0, width), Int(0, width) };
        std::sort(cuts.begin(), cuts.end());
        p.TopWidth = Cm(top);
        p.UpperBackOffset = Cm(lean);
        p.ShelfWidth = Cm(shelf);
        p.BottomWidth = Cm(cuts[0]);
        p.LowerSlopeWidth = below == 0 ? 0 : Cm(cuts[1] - cuts[0]);
        p.LowerFlatWidth = Cm(cuts[2] - cuts[1] + (below == 0 ? cuts[1] - cuts[0] : 0));
        p.RearSlopeWidth = Cm(width - cuts[2]);
        p.ToeWidth = toeH == 0 ? 0 : Cm(Int(0, 300));

        const int wall = upper + below;
        p.BackfillSlope = Chance(0.5) ? 0 : Cm(Int(50, 500));
        p.FrontWaterDepth = Cm(Int(0, wall));
        p.BackWaterDepth = Cm(Int(0, wall));

        p.ConcUnitWeight = Real(1.5, 2.6);
        p.ConcFc = Real(150, 400);
        p.WaterUnitWeight = Real(0.9, 1.1);
        p.FillUnitWeight = Real(1.4, 2.2);
        p.FillDryDensity = p.FillUnitWeight;
        p.FillSatDensity = p.FillUnitWeight + Real(0, 0.4);
        p.FillPhi = Chance(0.1) ? Real(0, 15) : Real(20, 45);
        p.DeltaEarth = Real(0, p.FillPhi);
        p.BasePhi = Real(0, 45);
        p.BaseCohesion = Chance(0.3) ? 0 : Real(0, 20);
        p.BaseQd = Real(0, 60);
        p.BaseE = Chance(0.1) ? 0 : Real(0.01, 5);

        p.AnchorRows = static_cast<int16_t>(Int(0, 25));
        p.AnchorVPitch = Real(0.1, 2);
        p.AnchorHPitch = Real(0.5, 3);
        p.AnchorEdgeDist = Real(0.1, 1);
        p.AnchorDia = Real(1, 4);
        p.AnchorE = Real(10, 30);

        p.Surcharge = Real(0, 3);
        p.SurchargeType = static_cast<int16_t>(Int(1, 7));
        p.SeismicCoef = Real(0, 0.3);
        p.LineLoadCount = static_cast<int16_t>(Int(0, MaxLineLoads));
        const double span = double(p.ToeWidth) + width / 100.0;
        for (int i = 1; i <= p.LineLoadCount; ++i)
            p.LineLoads[i] = { Real(0, 30), Real(0, span + 2), Cm(Int(0, wall)), float(Int(0, 359)),
                static_cast<int16_t>(Int(1, 7)) };
        return p;
    }

private:
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    float Real(double lo, double hi)
    {
        return static_cast<float>(std::uniform_real_distribution<double>(lo, hi)(rng_));
    }
    bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    static float Cm(int cm) { return static_cast<float>(cm / 100.0); }

    std::mt19937 rng_;
};

std::vector<float> ResultFloats(const StabilityResults& r)
{
    std::vector<float> v = { r.TotalMoment, r.TotalHorizontal, r.TotalVertical, r.ResultantX,
        r.MidbaseEccentricity, r.MidbaseMoment, r.BaseSpan, r.ResultantInclination,
        r.ResultantMagnitude, r.ResultantLever, r.EffectiveBaseLength, r.CompressedLength,
        r.PressureToeEnd, r.PressureFarEnd, r.BasePressureMax, r.BasePressureMin,
        r.BearingSafetyMin, r.SlidingShear, r.SlidingResistance, r.SlidingSafetyMin,
        r.AnchorTensionMax, r.AnchorTensionStress, r.AnchorTensionSafety, r.AnchorShearMax,
        r.AnchorShearStress, r.AnchorShearSafety, r.AnchorLeverSum, r.AnchorLeverSqSum,
        r.AnchorForceTotal, r.AnchorForceVertical, r.AnchorForceHorizontal, r.AnchorForceMoment };
    for (const auto* table : { &r.CaseMoment, &r.CaseHorizontal, &r.CaseVertical })
        v.insert(v.end(), table->begin(), table->end());
    v.insert(v.end(), r.AnchorLever.begin(), r.AnchorLever.end());
    for (const auto* table : { &r.SegmentStartU, &r.SegmentEndU, &r.SegmentPressureStart,
             &r.SegmentPressureEnd, &r.SegmentBearingSafety, &r.SegmentShear, &r.SegmentResistance,
             &r.SegmentSlidingSafety, &r.SegmentForce })
        v.insert(v.end(), table->begin(), table->end());
    for (int j = 0; j <= BaseSegmentCount; ++j)
        v.insert(v.end(),
            { r.ContactStart[j].X, r.ContactStart[j].Y, r.ContactEnd[j].X, r.ContactEnd[j].Y });
    for (const AnchorRow& a : r.Loads.Anchor)
        v.insert(v.end(), { a.X, a.Y, a.Face, a.Along, a.Across });
    return v;
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
    WallGenerator walls(Seed);
    int solved = 0, anchored = 0, stable = 0;
    std::array<int, 4> byCase {};
    for (int n = 0; n < WallCount; ++n) {
        Project p = walls.Next();
        StabilityResults r;
        ComputeStability(p, r);
        SCOPED_TRACE("wall " + std::to_string(n));

        for (const float v : ResultFloats(r))
            ASSERT_TRUE(std::isfinite(v));
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
        double pull = 0, pullMoment = 0, pullSize = 0, pullMomentSize = 0, largest = 0;
        for (int row = 1; row <= r.Loads.AnchorRowCount; ++row) {
            const AnchorRow& a = r.Loads.Anchor[row];
            const double t = a.Along * std::cos(psi + a.Face) + a.Across * std::sin(psi + a.Face);
            const double lever = a.X * std::cos(psi) - a.Y * std::sin(psi);
            pull += t;
            pullMoment += t * lever;
            pullSize += std::abs(t);
            pullMomentSize += std::abs(t * lever);
            largest = std::max(largest, std::abs(t));
            if (t != 0) {
                // Springs: pull = kappa p0 (lever - c) / c.
                const double c = r.CompressedLength;
                EXPECT_NEAR(t, kappa * r.PressureToeEnd * (lever - c) / c,
                    BalanceTolerance * std::abs(kappa * r.PressureToeEnd * lever / c));
            }
        }
        if (r.AnchorActiveCount > 0)
            ++anchored;
        for (int row = 1; row <= r.Loads.AnchorRowCount; ++row) {
            const AnchorRow& a = r.Loads.Anchor[row];
            const double t = a.Along * std::cos(psi + a.Face) + a.Across * std::sin(psi + a.Face);
            EXPECT_GE(t, -PullTolerance * largest) << "anchor row " << row << " in compression";
        }

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
