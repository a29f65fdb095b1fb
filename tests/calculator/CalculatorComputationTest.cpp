// The soil pressure calculator against textbook coefficients, Coulomb's trial wedge and pressure
// diagrams worked by hand, and its behaviour on slopes and inputs that break the formulas.
#include "calculator/CalculatorComputation.h"

#include "model/Project.h"

#include "support/TrialWedge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

using namespace pendrake;
using pendrake::test::WedgeCase;
using pendrake::test::WedgeThrust;

namespace {

// Worked coefficients are quoted to four decimals: half a unit in the last place.
constexpr double FourPlaces = 0.5e-4;
// A coefficient of order 1 stored in single precision from single-precision angles: a few ulps.
constexpr double StoredCoefficient = 1e-6;
// The wedge scan below steps 1.6e-5 rad, which puts its extreme within 1e-9; a sign slip of any
// angle moves the coefficient by 0.01 or more.
constexpr double WedgeAgreement = 1e-5;
// Diagram values up to about 1000, each step stored in single precision (relative 6e-8).
constexpr double StoredRelative = 1e-6;

void ExpectStored(double actual, double expected, const std::string& what)
{
    EXPECT_NEAR(actual, expected, StoredRelative * std::max(1.0, std::abs(expected))) << what;
}

// Soil of 18 (20 saturated) under water of 10, 6 deep with the water table 2 down and a
// surcharge of 10. Inputs in the window's order: the three densities, phi, cohesion, slope,
// delta, theta, soil and water depth, surcharge, kh.
CalculatorInput Soil(float phi, float delta, float theta, float slope, float kh)
{
    return { 18, 20, 10, phi, 0, slope, delta, theta, 6, 2, 10, kh };
}

// Every value of a result; a case without a diagram counts as one missing value.
std::vector<std::optional<float>> Flatten(const CalculatorResult& r)
{
    std::vector<std::optional<float>> v { r.Ka, r.Kp, r.K0, r.Kae, r.Kpe, r.BottomWaterPressure,
        r.WaterForce, r.WaterDepthOfResultant, r.PressureInclination };
    const auto add = [&v](const auto& diagram) {
        if (!diagram)
            return v.push_back(std::nullopt);
        v.insert(v.end(), diagram->Pressure.begin(), diagram->Pressure.end());
        v.insert(v.end(), diagram->Force.begin(), diagram->Force.end());
        v.insert(v.end(), diagram->Depth.begin(), diagram->Depth.end());
    };
    add(r.ActiveNormal);
    add(r.PassiveNormal);
    add(r.AtRest);
    add(r.ActiveSeismic);
    add(r.PassiveSeismic);
    return v;
}

int Undefined(const CalculatorResult& r)
{
    const auto v = Flatten(r);
    return static_cast<int>(std::count(v.begin(), v.end(), std::nullopt));
}

} // namespace

// Jaky's 1 - sin 30 = 0.5 raised by 1 + sin 30 on a slope of 30 degrees; on level soil Rankine's
// 1/3 and 3 and Jaky's 0.5 are the factors of the hand diagrams below.
TEST(WorkedCoefficients, MatchTheWorkedValue)
{
    struct WorkedCoefficient {
        const char* name;
        float phi, delta, slope, kh;
        std::optional<float> CalculatorResult::*field;
        double expected, tolerance;
    };
    const WorkedCoefficient rows[] = {
        { "K0Slope30", 30, 0, 30, 0, &CalculatorResult::K0, 0.75, StoredCoefficient },
        { "Kae", 30, 0, 0, 0.15f, &CalculatorResult::Kae, 0.4329, FourPlaces },
        { "Kpe", 30, 0, 0, 0.15f, &CalculatorResult::Kpe, 2.7272, FourPlaces },
        { "KaDelta20", 30, 20, 0, 0, &CalculatorResult::Ka, 0.2973, FourPlaces },
        // Coulomb's passive with the wall friction in its usual sense (Das's values).
        { "KpDelta20", 30, 20, 0, 0, &CalculatorResult::Kp, 6.1054, FourPlaces },
        { "KpDelta17Slope10", 32, 17, 10, 0, &CalculatorResult::Kp, 10.4918, FourPlaces },
        // Mononobe-Okabe passive, closed form with cos(delta - theta + psi) and sin(phi + delta).
        { "KpeDelta15", 30, 15, 0, 0.15f, &CalculatorResult::Kpe, 4.3479, FourPlaces },
    };
    for (const WorkedCoefficient& w : rows) {
        SCOPED_TRACE(w.name);
        const auto result = ComputeSoilPressure(Soil(w.phi, w.delta, 0, w.slope, w.kh));
        EXPECT_NEAR((result.*w.field).value_or(NAN), w.expected, w.tolerance); // NaN when missing
        EXPECT_TRUE(result.Messages.empty());
        // More wall friction than a third of phi earns the caution, as a note and not a message.
        EXPECT_EQ(result.Notes.size(), w.delta > w.phi / 3 ? 1u : 0u);
    }
}

// The passive wedges are compared without wall friction; the worked coefficients above cover it.
TEST(AgainstTrialWedge, CoefficientsAndSurchargeAreTheExtremeWedge)
{
    const WedgeCase rows[] = {
        { 35, 20, 15, 20, 0.1f, false },
        { 30, 10, 0, 30, 0, false },
        { 30, 0, 10, 15, 0.15f, true },
        { 35, 0, 15, 10, 0.2f, true },
    };
    for (const WedgeCase& w : rows) {
        SCOPED_TRACE(&w - rows);
        const CalculatorInput in = Soil(w.phi, w.delta, w.theta, w.slope, w.kh);
        const auto r = ComputeSoilPressure(in);
        const auto k = w.passive ? r.Kp : r.Ka;
        const auto ke = w.passive ? r.Kpe : r.Kae;
        const auto diagram = w.passive ? r.PassiveNormal : r.ActiveNormal;
        ASSERT_TRUE(k && ke && diagram);
        EXPECT_NEAR(*k, WedgeThrust(w, 0, false), WedgeAgreement);
        EXPECT_NEAR(*ke, WedgeThrust(w, w.kh, false), WedgeAgreement);
        EXPECT_NEAR(
            diagram->Pressure[0] / in.SurchargeLoad, WedgeThrust(w, 0, true), WedgeAgreement);
        EXPECT_EQ(r.PressureInclination, w.delta + w.theta);
    }
}

// Pressure diagrams worked by hand on a smooth vertical back under level soil of phi 30.
// Water table at 2 of 6 m, q = 10: above it a rectangle 10K x 2 at depth 1 plus a triangle
// 36K x 2 / 2 at 4/3; below it a rectangle 46K x 4 at depth 4 plus a triangle 40K x 4 / 2 at
// 2 + 8/3. Dry: a triangle 108K x 6 / 2 at two thirds of the depth. Water at the top: a
// triangle of submerged soil 60K x 6 / 2 at 4. No weight and no surcharge: nothing acts and each
// resultant sits at the top of its layer.
TEST(HandDiagrams, EveryNormalCaseAndTheWater)
{
    // Pressures and forces per unit coefficient K, depths below the top, the water results.
    struct Layout {
        const char* name;
        float q, gamma, gammaSat, gammaW, h, hw;
        std::array<double, 3> pressurePerK, forcePerK, depth;
        double waterPressure, waterForce, waterDepth;
    };
    const Layout rows[] = {
        { "WaterTableInside", 10, 18, 20, 10, 6, 2, { 10, 46, 86 }, { 56, 264, 320 },
            { 68.0 / 56, (184 * 4 + 80 * 14.0 / 3) / 264, (68 + 184 * 4 + 80 * 14.0 / 3) / 320 },
            40, 80, 14.0 / 3 },
        { "Dry", 0, 18, 20, 10, 6, 6, { 0, 108, 108 }, { 324, 0, 324 }, { 4, 6, 4 }, 0, 0, 6 },
        { "WaterAtTop", 0, 18, 20, 10, 6, 0, { 0, 0, 60 }, { 0, 180, 180 }, { 0, 4, 4 }, 60, 180,
            4 },
        { "Weightless", 0, 0, 0, 0, 6, 2, { 0, 0, 0 }, { 0, 0, 0 }, { 0, 2, 0 }, 0, 0, 14.0 / 3 },
    };
    for (const Layout& l : rows) {
        SCOPED_TRACE(l.name);
        const auto r = ComputeSoilPressure(
            { l.gamma, l.gammaSat, l.gammaW, 30, 0, 0, 0, 0, l.h, l.hw, l.q, 0 });
        EXPECT_TRUE(r.Messages.empty());
        const std::array<std::pair<const std::optional<NormalPressureResult>*, double>, 3> cases
            = { { { &r.ActiveNormal, 1.0 / 3 }, { &r.PassiveNormal, 3.0 }, { &r.AtRest, 0.5 } } };
        for (const auto& [diagram, k] : cases) {
            ASSERT_TRUE(diagram->has_value()) << "K = " << k;
            for (int n = 0; n < 3; ++n) {
                const std::string at = " " + std::to_string(n) + ", K " + std::to_string(k);
                ExpectStored((*diagram)->Pressure[n], l.pressurePerK[n] * k, "pressure" + at);
                ExpectStored((*diagram)->Force[n], l.forcePerK[n] * k, "force" + at);
                ExpectStored((*diagram)->Depth[n], l.depth[n], "depth" + at);
            }
        }
        // NaN when missing.
        ExpectStored(r.BottomWaterPressure.value_or(NAN), l.waterPressure, "water pressure");
        ExpectStored(r.WaterForce.value_or(NAN), l.waterForce, "water force");
        ExpectStored(r.WaterDepthOfResultant.value_or(NAN), l.waterDepth, "water depth");
    }
}

TEST(Calculator, SeismicDiagramStepsAtTheWaterTable)
{
    // K = 0.3, Ke = 0.4, q 10, 6 m of soil, water 2 down: static 3 at the top and 13.8 at the
    // water table. The increment is an inverted triangle: 0.1 x 18 x 6 = 10.8 at the top, 0 at
    // the bottom, with 0.1 x (20 - 18) x 4 more at the water table below it: 7.2 above the
    // table, 8.0 below.
    const auto d = SeismicPressures(Soil(30, 0, 0, 0, 0), 0.3f, 0.4f, 0, 0);
    ASSERT_TRUE(d.has_value());
    const std::array<double, 4> pressure = { 13.8, 21.8, 25.8, 21.0 };
    // The increment's force is 0.1 x 18 x 36 / 2 + 0.1 x 2 x 16 / 2 = 34, the static 96.
    const std::array<double, 3> force = { 34.8, 95.2, 130 };
    // Above: 13.8 x 2 at 1 and 7.2 x 2 / 2 at 4/3; below: 21.8 x 4 at 4 and 4 x 4 / 2 at 2 + 8/3.
    const std::array<double, 3> depth
        = { 37.2 / 34.8, (190.4 + 195.7333333) / 95.2, (37.2 + 190.4 + 195.7333333) / 130 };
    for (int n = 0; n < 4; ++n)
        ExpectStored(d->Pressure[n], pressure[n], "pressure " + std::to_string(n));
    for (int n = 0; n < 3; ++n) {
        ExpectStored(d->Force[n], force[n], "force " + std::to_string(n));
        ExpectStored(d->Depth[n], depth[n], "depth " + std::to_string(n));
    }
}

// A slope steeper than the friction angle is worked at the friction angle, with one message; one
// too steep for the earthquake alone (phi 30 less atan 0.15 = 8.53 leaves 21.47 degrees, the
// slope is 25) leaves only the seismic active pressure undefined.
TEST(Calculator, TooSteepSlopesAreExplainedOnce)
{
    const auto steep = ComputeSoilPressure(Soil(30, 10, 5, 40, 0));
    const auto limit = ComputeSoilPressure(Soil(30, 10, 5, 30, 0));
    EXPECT_EQ(steep.Messages,
        std::vector<std::string> {
            "The soil slope is steeper than the internal friction angle. Soil slope adjusted" });
    EXPECT_TRUE(limit.Messages.empty());
    ASSERT_TRUE(steep.AtRest && limit.AtRest);
    EXPECT_EQ(std::tuple(steep.Ka, steep.Kp, steep.K0, steep.AtRest->Force),
        std::tuple(limit.Ka, limit.Kp, limit.K0, limit.AtRest->Force));
    const auto r = ComputeSoilPressure(Soil(30, 0, 0, 25, 0.15f));
    EXPECT_EQ(r.Messages,
        std::vector<std::string> { "The soil slope is too steep for the seismic coefficient: it "
                                   "exceeds the internal friction angle less the seismic angle "
                                   "atan(kh). The seismic active pressure coefficient is not "
                                   "defined." });
    EXPECT_FALSE(r.Kae.has_value() || r.ActiveSeismic.has_value());
    EXPECT_EQ(Undefined(r), 2);
}

TEST(DegenerateInputs, NothingIsNaNAndEveryGapIsExplained)
{
    struct Degenerate {
        const char* name;
        float phi, delta, theta, slope, kh, h, hw, gamma;
        bool expectUndefined;
    };
    const Degenerate rows[] = {
        { "AllZero", 0, 0, 0, 0, 0, 0, 0, 0, false },
        // Formed, with a caution note only.
        { "WallFrictionAboveFriction", 20, 25, 0, 0, 0.15f, 6, 2, 18, false },
        { "BackHorizontal", 30, 0, 90, 0, 0.15f, 6, 2, 18, true },
        { "WallFrictionPlusInclinationRight", 30, 30, 60, 0, 0.15f, 6, 2, 18, true },
        { "PassiveWedgeUnbounded", 45, 0, 0, 45, 0, 6, 2, 18, true },
        { "EarthquakeBeyondFriction", 20, 0, 0, 0, 1000, 6, 2, 18, true },
        { "Enormous", 30, 0, 0, 0, 0.15f, 1e30f, 0, 1e30f, true },
        { "NotANumber", std::nanf(""), 0, 0, 0, 0.15f, 6, 2, 18, true },
    };
    for (const Degenerate& g : rows) {
        SCOPED_TRACE(g.name);
        // Every density the same, under the surcharge of 10.
        const auto r = ComputeSoilPressure({ g.gamma, g.gamma, g.gamma, g.phi, 0, g.slope, g.delta,
            g.theta, g.h, g.hw, 10, g.kh });
        EXPECT_TRUE(
            std::ranges::all_of(Flatten(r), [](const auto& v) { return !v || std::isfinite(*v); }));
        EXPECT_EQ(Undefined(r) > 0, g.expectUndefined);
        EXPECT_EQ(!r.Messages.empty(), g.expectUndefined);
    }
}

TEST(CalculatorInputFromProject, TakesTheBackfillAndUpperBack)
{
    Project p = MakeNewProject("Arial");
    p.FillDryDensity = 1.6f; // the wet density is the one wanted
    p.BackfillSlope = 2.0f;
    p.BackWaterDepth = 8.0f; // below the foot of the upper back face, 6 m down
    const CalculatorInput in = CalculatorInputFromProject(p);
    EXPECT_EQ(in.WetDensity, 1.7f);
    EXPECT_EQ(in.SatDensity, 1.9f);
    EXPECT_EQ(in.WallFriction, 15.0f); // concrete to earth, not earth to earth
    EXPECT_NEAR(in.SoilSlope, 26.5651, FourPlaces); // atan(1/2)
    EXPECT_NEAR(in.WallInclination, 8.5308, FourPlaces); // atan(0.9/6)
    EXPECT_EQ(in.WaterDepth, in.SoilDepth);
    p.BackfillSlope = 0;
    p.UpperBackHeight = 0;
    const CalculatorInput flat = CalculatorInputFromProject(p);
    EXPECT_EQ(flat.SoilSlope, 0.0f);
    EXPECT_EQ(flat.WallInclination, 0.0f);
}

TEST(SetCalculatorInput, TakesFieldNamesInWindowOrderRefusesBadEntriesAndClampsTheWaterTable)
{
    using C = CalculatorInput;
    // Each box by the name of the member it fills, in the window's order.
#define PENDRAKE_BOX(field) std::pair<std::string_view, float C::*>(#field, &C::field)
    const std::array<std::pair<std::string_view, float C::*>, CalculatorInputCount> boxes
        = { PENDRAKE_BOX(WetDensity), PENDRAKE_BOX(SatDensity), PENDRAKE_BOX(WaterDensity),
              PENDRAKE_BOX(FrictionAngle), PENDRAKE_BOX(Cohesion), PENDRAKE_BOX(SoilSlope),
              PENDRAKE_BOX(WallFriction), PENDRAKE_BOX(WallInclination), PENDRAKE_BOX(SoilDepth),
              PENDRAKE_BOX(WaterDepth), PENDRAKE_BOX(SurchargeLoad),
              PENDRAKE_BOX(SeismicCoefficient) };
#undef PENDRAKE_BOX
    C in = Soil(30, 0, 0, 0, 0);
    for (int n = 0; n < CalculatorInputCount; ++n) {
        const auto& [name, field] = boxes[n];
        EXPECT_EQ(CalculatorInputNames[n], name);
        ASSERT_TRUE(SetCalculatorInput(in, name, 12.25 - n)) << name;
        EXPECT_EQ(in.*field, float(12.25 - n)) << name;
    }
    for (const double bad : { -0.01, std::nan(""), 1e39 })
        EXPECT_FALSE(SetCalculatorInput(in, "SoilDepth", bad)) << bad;
    EXPECT_FALSE(SetCalculatorInput(in, "soildepth", 1));
    EXPECT_EQ(in.SoilDepth, 4.25f);
    ASSERT_TRUE(SetCalculatorInput(in, "SoilDepth", 1.5));
    EXPECT_EQ(in.WaterDepth, 1.5f);
}
