// Switching unit systems: the worked conversions, kept unrounded, a round trip that gives the
// wall back, and the same wall judged the same in every system.
#include "model/Units.h"
#include "analysis/Combinations.h"
#include "model/DimensionEdit.h"
#include "support/ProjectFiles.h"
#include "support/RandomWalls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace pendrake;
using namespace pendrake::test;

namespace {

// A converted value is the exact product rounded once to single precision.
constexpr double StoredRelative = 2e-7;
// Three conversions and back: a few roundings to single precision.
constexpr double RoundTripRelative = 1e-6;
// Safety factors of one wall in two systems: sums of many single-precision terms.
constexpr double SameWallRelative = 1e-4;

void ExpectStored(double actual, double expected, const char* what)
{
    EXPECT_NEAR(actual, expected, std::abs(expected) * StoredRelative + 1e-30) << what;
}

// A random wall of the shared generator, its numbers read as Metric ones, with the engineer's
// bars: the program chooses its bars in each system's own design units, so that the same wall
// may be given other bars.
Project MetricWall(RandomWallGenerator& walls)
{
    Project p = walls.Next();
    p.UnitSystem = Metric;
    p.ReinUserSet = true;
    return p;
}

} // namespace

// The five factors of every switch, worked by hand from 1 ft = 0.3048 m, 1 in = 2.54 cm,
// 1 Kip = 0.454 T and 1 T = 9.81 kN: length, force, pressure, stress, small length.
TEST(UnitConversionFactors, EverySwitchByHand)
{
    struct Row {
        UnitSystemId From, To;
        double Length, Force, Pressure, Stress, SmallLength;
    };
    const Row rows[] = {
        // kg/cm² to MPa is 9.81 N on 100 mm².
        { Metric, SI, 1, 9.81, 9.81, 0.0981, 1 },
        { SI, Metric, 1, 0.101936799, 0.101936799, 10.1936799, 1 },
        // kg/cm² to psi (here: Kip/1000 on in²) is 2.54² / 0.454.
        { Metric, British, 3.28083990, 2.20264317, 0.204632247, 14.2105727, 0.393700787 },
        { SI, British, 3.28083990, 0.224530395, 0.0208595562, 144.858029, 0.393700787 },
        { British, Metric, 0.3048, 0.454, 4.88681533, 0.0703701407, 2.54 },
        { British, SI, 0.3048, 4.45374, 47.9396584, 0.00690331081, 2.54 },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(
            std::string(UnitSystemName[r.From]) + " to " + std::string(UnitSystemName[r.To]));
        const ConversionFactors f = UnitConversionFactors(r.From, r.To);
        ExpectStored(f.Length, r.Length, "length");
        ExpectStored(f.Force, r.Force, "force");
        ExpectStored(f.Pressure, r.Pressure, "pressure");
        ExpectStored(f.Stress, r.Stress, "stress");
        ExpectStored(f.SmallLength, r.SmallLength, "small length");
    }
}

// Each kind of field takes its own factor, and the value is kept unrounded: from the default
// Metric wall with 16 mm bars at 20 cm in row 2 and a line load of 2 T/m.
TEST(ConvertUnits, EachFieldTakesTheFactorOfItsKind)
{
    Project metric = MakeNewProject("Arial");
    metric.ReinDia[2] = 1.6f;
    metric.ReinPitch[2] = 20.0f;
    metric.LineLoadCount = 1;
    metric.LineLoads[1] = { 2.0f, 1.0f, 3.0f, 135.0f, 2 };
    metric.LineLoads[2] = { 5.0f, 5.0f, 5.0f, 90.0f, 1 }; // beyond the count: untouched
#define PENDRAKE_FIELD(field) [](const Project& p) { return p.field; }
    struct Row {
        const char* Name;
        UnitSystemId To;
        float (*Field)(const Project&);
        double Expected;
    };
    const Row rows[] = {
        { "front height, ft", British, PENDRAKE_FIELD(FrontHeight), 29.5275591 },
        { "unit weight, Kip/ft³", British, PENDRAKE_FIELD(ConcUnitWeight), 0.149692581 },
        // 29.43 MPa, not 29.
        { "f'c, MPa", SI, PENDRAKE_FIELD(ConcFc), 29.43 },
        { "fy, psi", British, PENDRAKE_FIELD(RebarFy), 56842.2907 },
        { "cohesion, MPa", SI, PENDRAKE_FIELD(BaseCohesion), 1.7658 },
        // 2.7559 in, not 2.8.
        { "cover, in", British, PENDRAKE_FIELD(ConcCover), 2.75590551 },
        { "surcharge, Kip/ft²", British, PENDRAKE_FIELD(Surcharge), 0.204632247 },
        // The engineer's bars are small lengths: 0.630 in at 7.874 in.
        { "bar, in", British, PENDRAKE_FIELD(ReinDia[2]), 0.629921260 },
        { "bar pitch, in", British, PENDRAKE_FIELD(ReinPitch[2]), 7.87401575 },
        // A line load is a force per length; its direction is an angle.
        { "line load, Kip/ft", British, PENDRAKE_FIELD(LineLoads[1].Load), 1.34273128 },
        { "line load X, ft", British, PENDRAKE_FIELD(LineLoads[1].X), 3.28083990 },
        { "line load direction", British, PENDRAKE_FIELD(LineLoads[1].Direction), 135 },
        { "slot beyond the count", British, PENDRAKE_FIELD(LineLoads[2].Load), 5 },
        { "friction angle", SI, PENDRAKE_FIELD(FillPhi), 30 },
        { "seismic coefficient", British, PENDRAKE_FIELD(SeismicCoef), 0.15 },
    };
#undef PENDRAKE_FIELD
    for (const Row& r : rows)
        ExpectStored(r.Field(SwitchUnitSystem(metric, r.To)), r.Expected, r.Name);
}

TEST(ConvertUnits, TheOwnSystemChangesNothingAndARoundTripGivesTheWallBack)
{
    RandomWallGenerator walls(20261207, WallInputs::Design);
    for (int trial = 0; trial < 200; ++trial) {
        const Project start = MetricWall(walls);
        // The current system changes nothing.
        ASSERT_EQ(FileBytes(SwitchUnitSystem(start, Metric)), FileBytes(start)) << trial;
        Project p = start;
        for (int16_t to : { SI, British, Metric, British, SI, Metric })
            p = SwitchUnitSystem(p, to);
        const auto before = FloatInputs(start);
        const auto after = FloatInputs(p);
        for (size_t k = 0; k < before.size(); ++k)
            ASSERT_NEAR(
                after[k].second, before[k].second, std::abs(before[k].second) * RoundTripRelative)
                << before[k].first << ", trial " << trial;
        // The chains hold without any adjustment.
        ASSERT_NEAR(WidthChainGap(p), 0.0, 1e-5) << trial;
        ASSERT_NEAR(HeightChainGap(p), 0.0, 1e-5) << trial;
    }
}

TEST(ConvertUnits, TheSameWallGivesTheSameSafetyAndSteelInEverySystem)
{
    RandomWallGenerator walls(7, WallInputs::Design);
    for (int trial = 0; trial < 20; ++trial) {
        const Project metric = MetricWall(walls);
        const StabilityResults m = ComputeStability(metric);
        const CombinationResults md = RunCombinations(metric);
        for (int16_t system : { SI, British }) {
            SCOPED_TRACE(
                std::string(UnitSystemName[size_t(system)]) + ", trial " + std::to_string(trial));
            const Project p = SwitchUnitSystem(metric, system);
            const StabilityResults r = ComputeStability(p);
            ASSERT_EQ(r.Stable, m.Stable);
            const std::pair<float, float> factors[]
                = { { r.OverturningSafety, m.OverturningSafety },
                      { r.BearingSafetyMin, m.BearingSafetyMin },
                      { r.SlidingSafetyMin, m.SlidingSafetyMin } };
            for (const auto& [there, here] : factors)
                EXPECT_NEAR(there, here, std::abs(here) * SameWallRelative);
            // The same physical bars give the same steel: cm²/m against in²/ft.
            const CombinationResults d = RunCombinations(p);
            if (!md.Stable || !d.Stable)
                continue;
            const double areaPerWidth = system == British ? (1 / 6.4516) * 0.3048 : 1.0;
            for (int row = 1; row <= ReinRowCount; ++row) {
                const double as = md.Design.ReinAs[size_t(row)] * areaPerWidth;
                EXPECT_NEAR(d.Design.ReinAs[size_t(row)], as, as * SameWallRelative)
                    << "row " << row;
            }
        }
    }
}
