// Switching unit systems: the worked conversions, kept unrounded, a round trip that gives the
// wall back, and the same wall judged the same in every system.
#include "model/Units.h"
#include "analysis/Combinations.h"
#include "analysis/Stability.h"
#include "io/ProjectFile.h"
#include "model/DimensionEdit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

using namespace pendrake;

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

Project Switched(const Project& p, int16_t to)
{
    return SwitchUnitSystem(p, to);
}

// Every converted input of the record, by name, for a field-by-field comparison.
std::vector<std::pair<const char*, float>> Inputs(const Project& p)
{
    std::vector<std::pair<const char*, float>> v;
    for (int i = 0; i < DimensionCount; ++i)
        v.emplace_back(DimensionName[size_t(i)].data(), Dimension(p, i));
    const std::pair<const char*, float> fields[] = { { "ConcUnitWeight", p.ConcUnitWeight },
        { "ConcFc", p.ConcFc }, { "ConcE", p.ConcE }, { "RebarFy", p.RebarFy },
        { "RebarE", p.RebarE }, { "ConcCover", p.ConcCover },
        { "WaterUnitWeight", p.WaterUnitWeight }, { "FillUnitWeight", p.FillUnitWeight },
        { "FillDryDensity", p.FillDryDensity }, { "FillSatDensity", p.FillSatDensity },
        { "FillCohesion", p.FillCohesion }, { "BaseCohesion", p.BaseCohesion },
        { "BaseQd", p.BaseQd }, { "BaseE", p.BaseE }, { "Surcharge", p.Surcharge },
        { "AnchorVPitch", p.AnchorVPitch }, { "AnchorHPitch", p.AnchorHPitch },
        { "AnchorEdgeDist", p.AnchorEdgeDist }, { "AnchorYield", p.AnchorYield },
        { "AnchorShear", p.AnchorShear }, { "AnchorDia", p.AnchorDia }, { "AnchorE", p.AnchorE },
        { "ReinDia(3)", p.ReinDia[3] }, { "ReinPitch(3)", p.ReinPitch[3] },
        { "LineLoad(1)", p.LineLoads[1].Load }, { "LineLoadX(1)", p.LineLoads[1].X } };
    v.insert(v.end(), std::begin(fields), std::end(fields));
    return v;
}

// A wall of random but valid dimensions and materials, with a line load and user bars.
Project RandomWall(std::mt19937& rng)
{
    std::uniform_real_distribution<double> size(0.3, 3.0), factor(0.8, 1.25);
    Project p = MakeNewProject("Arial");
    for (int i : { 0, 1, 3, 4, 5, 7, 8, 9, 14, 15, 16 })
        ApplyDimensionEdit(p, i, size(rng));
    for (float* f : { &p.ConcUnitWeight, &p.ConcFc, &p.RebarFy, &p.FillUnitWeight,
             &p.FillSatDensity, &p.BaseQd, &p.Surcharge, &p.AnchorYield, &p.ConcCover })
        *f = float(*f * factor(rng));
    p.LineLoadCount = 1;
    p.LineLoads[1] = { float(size(rng)), 1.0f, float(size(rng)), 180.0f, 2 };
    for (int row = 1; row <= ReinRowCount; ++row) {
        p.ReinDia[size_t(row)] = float(1.2 + 0.4 * (row % 3));
        p.ReinPitch[size_t(row)] = float(15 + row);
    }
    p.ReinUserSet = true;
    return p;
}

} // namespace

TEST(ConvertUnits, WorkedValuesAreKeptUnrounded)
{
    const Project metric = MakeNewProject("Arial");
    const Project si = Switched(metric, SI);
    ExpectStored(si.ConcUnitWeight, 2.4 * 9.81, "unit weight"); // 23.544 kN/m³
    ExpectStored(si.ConcFc, 300 * 9.81 / 100, "f'c"); // 29.43 MPa, not 29
    ExpectStored(si.RebarFy, 4000 * 9.81 / 100, "fy"); // 392.4 MPa
    ExpectStored(si.BaseCohesion, 18 * 9.81 / 100, "cohesion");
    EXPECT_EQ(si.ConcCover, metric.ConcCover); // centimetres in both
    EXPECT_EQ(si.FillPhi, 30.0f);
    EXPECT_EQ(si.SeismicCoef, 0.15f);

    const Project british = Switched(metric, British);
    ExpectStored(british.FrontHeight, 9 / 0.3048, "front height"); // 29.5276 ft
    ExpectStored(british.RebarFy, 4000 * 2.54 * 2.54 / 0.454, "fy"); // 56842.3 psi
    ExpectStored(british.ConcCover, 7 / 2.54, "cover"); // 2.7559 in, not 2.8
    ExpectStored(british.ConcUnitWeight, 2.4 / 0.454 * std::pow(0.3048, 3), "unit weight");
    ExpectStored(british.Surcharge, 0.3048 * 0.3048 / 0.454, "surcharge"); // Kip/ft²

    // The engineer's bars are small lengths: 16 mm at 20 cm is 0.630 in at 7.874 in.
    Project barred = metric;
    barred.ReinDia[2] = 1.6f;
    barred.ReinPitch[2] = 20.0f;
    const Project inches = Switched(barred, British);
    ExpectStored(inches.ReinDia[2], 1.6 / 2.54, "bar");
    ExpectStored(inches.ReinPitch[2], 20 / 2.54, "pitch");
    EXPECT_EQ(Switched(barred, SI).ReinDia[2], 1.6f); // cm in SI as in Metric

    // A line load is a force per length: 2 T/m is 19.62 kN/m and 2 / 0.454 x 0.3048 Kip/ft.
    Project loaded = metric;
    loaded.LineLoadCount = 1;
    loaded.LineLoads[1] = { 2.0f, 1.0f, 3.0f, 135.0f, 2 };
    loaded.LineLoads[2] = { 5.0f, 5.0f, 5.0f, 90.0f, 1 }; // beyond the count: untouched
    ExpectStored(Switched(loaded, SI).LineLoads[1].Load, 19.62, "line load");
    ExpectStored(Switched(loaded, British).LineLoads[1].Load, 2 / 0.454 * 0.3048, "line load");
    EXPECT_EQ(Switched(loaded, British).LineLoads[1].Direction, 135.0f);
    EXPECT_EQ(Switched(loaded, British).LineLoads[2].Load, 5.0f);
}

TEST(SwitchUnitSystem, TheCurrentSystemChangesNothing)
{
    const Project p = MakeNewProject("Arial");
    EXPECT_EQ(ProjectFileBytes(SwitchUnitSystem(p, Metric), nullptr), ProjectFileBytes(p, nullptr));
}

TEST(ConvertUnits, ARoundTripThroughTheThreeSystemsGivesTheWallBack)
{
    std::mt19937 rng(20261207);
    for (int trial = 0; trial < 200; ++trial) {
        const Project start = RandomWall(rng);
        Project p = start;
        for (int16_t to : { SI, British, Metric, British, SI, Metric })
            p = SwitchUnitSystem(p, to);
        const auto before = Inputs(start);
        const auto after = Inputs(p);
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
    std::mt19937 rng(7);
    for (int trial = 0; trial < 20; ++trial) {
        const Project metric = RandomWall(rng);
        const StabilityResults m = ComputeStability(metric);
        const CombinationResults md = RunCombinations(metric);
        for (int16_t system : { SI, British }) {
            SCOPED_TRACE(
                std::string(UnitSystemName[size_t(system)]) + ", trial " + std::to_string(trial));
            const Project p = Switched(metric, system);
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
            for (int row = 1; row <= ReinRowCount; ++row)
                EXPECT_NEAR(d.Design.ReinAs[size_t(row)],
                    md.Design.ReinAs[size_t(row)] * areaPerWidth,
                    md.Design.ReinAs[size_t(row)] * areaPerWidth * SameWallRelative)
                    << "row " << row;
        }
    }
}

TEST(UnitLabels, KeepTheirSuperscriptsAndOrder)
{
    EXPECT_EQ(UnitWeightUnit[Metric], "t/m³");
    EXPECT_EQ(StressUnit[Metric], "kg/cm²");
    EXPECT_EQ(PressureUnit[British], "Kip/ft²");
    EXPECT_EQ(ModulusUnit[SI], "E+5 MPa");
    EXPECT_EQ(AngleUnit[British], "°");
    EXPECT_EQ(LineLoadUnit(Metric), "T/m");
    EXPECT_EQ(LineLoadUnit(British), "Kip/ft");
    EXPECT_EQ(LoadCaseName[6], "Impact (L)");
    EXPECT_EQ(CombinationName[11], "1.05D + 1.28L + 1.05F + 1.05T + R");
}
