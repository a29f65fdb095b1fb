// Section design against hand calculations: the worked SI strip in every unit system, the ACI
// factors at their limits, the bar search, and the guards for strips that cannot be designed.
// Then the combinations that feed it: the engineer's factor table, the stop at the first unstable
// set, the toe's bar, the envelope's tie rules, and random walls designed without a NaN.
#include "analysis/SectionDesign.h"
#include "analysis/Combinations.h"
#include "analysis/EarthPressure.h"
#include "analysis/SectionForces.h"
#include "model/Units.h"

#include "support/RandomWalls.h"
#include "support/Walls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

using namespace pendrake;
using pendrake::test::AddLineLoad;
using pendrake::test::ConcreteOnly;

namespace {

// The worked numbers are quoted to five significant figures: half a unit of the last digit.
constexpr double MomentCapMNmTol = 5e-6, ShearCapMNTol = 5e-6, RatioTol = 5e-7;
constexpr double ZTol = 5e-4; // MN/m
constexpr double SteelStressTol = 5e-3; // MPa
// Float inputs (about 6e-8 relative each) and Gravity held as 9.81f, carried through d², a
// square root and a cube root: a few parts in 1e6. A wrong unit factor is off by far more.
constexpr double CrossSystemRelTol = 1e-5;
// Candidates are built by repeated single-precision steps of 0.01 or 0.001, which are not
// binary fractions: each step may round by half an ULP, fifteen steps drift about 1e-6.
constexpr double StepDriftRelTol = 1e-5;
// phi and beta1 are formed from exact decimal data in double precision.
constexpr double FactorTol = 1e-12;

// This program's units, from their definitions: 1 T = 9.81 kN, 1 kip = 0.454 T, 1 in = 2.54 cm.
constexpr double KilonewtonsPerTonne = 9.81, KilonewtonsPerKip = 0.454 * 9.81;
constexpr double MetresPerFoot = 0.3048, CentimetresPerInch = 2.54;
constexpr double MPaPerKgPerCm2 = 9.81 / 100.0; // 9.81 N on 100 mm²
constexpr double MPaPerPsi = 0.454 * 9.81 / (25.4 * 25.4); // 0.454 kgf on 645.16 mm²

// The worked SI strip: h = 0.5 m, cover 5 cm, f'c = 30 MPa, fy = 400 MPa.
Project WorkedProject(int16_t system)
{
    Project p = MakeNewProject("Arial");
    p.UnitSystem = system;
    p.ConcFc = 30.0f;
    p.RebarFy = 400.0f;
    p.ConcCover = 5.0f;
    if (system == Metric) {
        p.ConcFc = float(30.0 / MPaPerKgPerCm2);
        p.RebarFy = float(400.0 / MPaPerKgPerCm2);
    } else if (system == British) {
        p.ConcFc = float(30.0 / MPaPerPsi);
        p.RebarFy = float(400.0 / MPaPerPsi);
        p.ConcCover = float(5.0 / CentimetresPerInch);
    }
    return p;
}

bool AllFinite(const DesignResults& r)
{
    return test::Finite(r.ReinHeight, r.ReinMoment, r.ReinNormal, r.ReinMomentZ, r.ReinNormalZ,
        r.ReinAs, r.ReinAsReq, r.ReinRho, r.ReinRhoReq43, r.ReinMomentCap, r.ReinZ, r.ReinDia,
        r.ReinPitch, r.ReinShear, r.ReinShearNormal, r.ReinShearCap, r.RhoBalanced, r.RhoMin,
        r.ZMax);
}

// Section forces are single precision sums of terms of up to a few hundred.
constexpr double ForceTolerance = 2e-5;

// The ACI 318 factors per set, D L H F T Impact E, copied from the engineer's table.
constexpr double Table[13][7] = {
    { 0, 0, 0, 0, 0, 0, 0 },
    { 1.4, 1.7, 0, 0, 0, 1.7, 0 },
    { 1.4, 1.7, 1.7, 0, 0, 1.7, 0 },
    { 0.9, 0, 1.7, 0, 0, 0, 0 },
    { 1.4, 1.7, 0, 1.4, 0, 1.7, 0 },
    { 1.4, 1.7, 1.7, 1.4, 0, 1.7, 0 },
    { 0.9, 0, 0, 1.4, 0, 0, 0 },
    { 1.05, 1.28, 1.4, 0, 0, 1.28, 1.4 },
    { 1.05, 1.28, 1.4, 1.05, 0, 1.28, 1.4 },
    { 1.05, 1.28, 0, 0, 1.05, 1.28, 0 },
    { 1.4, 0, 0, 0, 1.4, 0, 0 },
    { 1.05, 1.28, 0, 1.05, 1.05, 1.28, 0 },
    { 1, 1, 1, 1, 1, 1, 0 },
};

} // namespace

// The worked row in SI design units (m, MN, MPa); its capacities, ratios and z are checked in
// every unit system below. Without axial force fs = z / (dc A)^(1/3): dc = 0.05 + 0.008 m,
// A = (0.1 + 0.016) 0.2 - pi/4 0.016² m². Axial force: phi from the compression and the
// N (d - h/2) shift of the capacity to mid-depth.
TEST(SectionDesign, WorkedSiRowSteelStressAndTheAxialForce)
{
    const Project p = WorkedProject(SI);
    const auto z0 = CrackControlZ(p, 0.5f, 0.016f, 0.2f, 0.0f, 0.1f);
    ASSERT_TRUE(z0.has_value());
    const double dcA = 0.058 * (0.116 * 0.2 - std::numbers::pi / 4 * 0.016 * 0.016);
    EXPECT_NEAR(*z0 / std::cbrt(dcA), 227.35, SteelStressTol);
    struct Case {
        float n;
        double momentCap; // hand: phi, omega = (rho fy + N/(phi b d))/(0.85 f'c), minus N (d - h/2)
    };
    // N = 0.5 MN: phi = 0.9 - 0.2 x 0.5/1.5 = 0.8333, omega = 0.088912.
    // N = -0.1 MN (tension): phi = 0.9, omega = 0.025820, and +0.1 x 0.192 at mid-depth.
    for (const Case c : { Case { 0.5f, 0.256706 }, Case { -0.1f, 0.133470 } }) {
        SCOPED_TRACE(c.n);
        EXPECT_NEAR(CheckSectionCapacity(p, 0.5f, 0.016f, 0.2f, c.n, 0.0f).MomentCap, c.momentCap,
            MomentCapMNmTol);
    }
    // Service moment 0.1 MN·m with N = +-0.2 MN: Ms = 0.1 +- 0.2 x 0.192 about the steel,
    // omega from Ms = 0.425 f'c b d² omega (2 - omega), fs = (Ms / (d - a/2) - N) / As:
    // 116.976 MPa in compression, 338.442 MPa in tension; z = fs (0.058 A)^(1/3).
    for (const auto& [n, expected] :
        { std::pair { 0.2f, 12.876792 }, std::pair { -0.2f, 37.255992 } }) {
        SCOPED_TRACE(n);
        const auto z = CrackControlZ(p, 0.5f, 0.016f, 0.2f, n, 0.1f);
        ASSERT_TRUE(z.has_value());
        EXPECT_NEAR(*z, expected, ZTol);
    }
}

// The same strip and forces in each system must give the same physical answers.
TEST(SectionDesign, SameStripInEveryUnitSystemMatchesTheSiHandValues)
{
    for (const int16_t system : { int16_t(Metric), int16_t(SI), int16_t(British) }) {
        SCOPED_TRACE(UnitSystemName[size_t(system)]);
        Project p = WorkedProject(system);
        // Per unit width, from SI: moment kN·m/m, force per length kN/m, area cm²/m, length cm.
        double moment = 1, forcePerLength = 1, area = 1, small = 1, lengthUnit = 1;
        if (system == Metric) {
            moment = forcePerLength = 1.0 / KilonewtonsPerTonne;
        } else if (system == British) {
            moment = 1.0 / KilonewtonsPerKip;
            forcePerLength = MetresPerFoot / KilonewtonsPerKip;
            area = MetresPerFoot / (CentimetresPerInch * CentimetresPerInch);
            small = 1.0 / CentimetresPerInch;
            lengthUnit = 1.0 / MetresPerFoot;
        }
        // Section 1 is 0.2 + 0.3 = 0.5 m thick; the user's bars are 16 mm at 200 mm.
        p.TopWidth = float(0.2 * lengthUnit);
        p.UpperBackOffset = float(0.3 * lengthUnit);
        p.ReinUserSet = true;
        p.ReinDia.fill(float(1.6 * small));
        p.ReinPitch.fill(float(20.0 * small));
        Envelope env;
        env.EnvMomentPos[1] = float(100.0 * moment);
        env.EnvMomentZ[1] = float(100.0 * moment);
        env.EnvShear[1] = float(300.0 * forcePerLength);
        DesignResults r = DesignSections(p, env);
        auto expectRel = [](double actual, double expected, const char* what) {
            EXPECT_NEAR(actual, expected, std::fabs(expected) * CrossSystemRelTol) << what;
        };
        expectRel(r.ReinHeight[2], 50.0 * small, "ReinHeight");
        expectRel(r.ReinAs[2], 10.053096 * area, "ReinAs");
        expectRel(r.ReinMomentCap[2], 157.11128 * moment, "ReinMomentCap");
        // phi Vc over d = 0.5 - 0.05 - 0.016 / 2 = 0.442: 0.85 x sqrt(30) / 6 x 1 x 0.442.
        expectRel(r.ReinShearCap[1], 342.96561 * forcePerLength, "ReinShearCap");
        expectRel(r.ReinRho[2], 0.00227446, "ReinRho");
        // 0.85 x 0.85 x 30/400 x 600/1000.
        expectRel(r.RhoBalanced, 0.0325125, "RhoBalanced");
        expectRel(r.RhoMin, 1.4 / 400.0, "RhoMin");
        expectRel(r.ReinZ[2], 25027.401 * forcePerLength, "ReinZ");
        expectRel(r.ZMax, 25000.0 * forcePerLength, "ZMax");
        // The nominal bar of the required steel is 1 cm, or 0.4 in (d = 0.44492 m instead of
        // 0.445).
        const bool british = system == British;
        expectRel(r.ReinAsReq[2], (british ? 6.3135881 : 6.3124272) * area, "ReinAsReq");
        expectRel(r.ReinRhoReq43[2], british ? 0.00189205 : 0.00189136, "ReinRhoReq43");
        // The M- face carries nothing; the crack-control moment went to the M+ face.
        EXPECT_EQ(r.ReinZ[1], 0.0f);
        // z lies just above its limit in every system.
        EXPECT_TRUE(DesignWarnings(r).Row[2].ZMax);
    }
}

// beta1 falls by 0.008 per MPa above 30 (0.61 at 60 is raised to the floor 0.65); phi falls
// from 0.9 to 0.7 as the compression grows to 0.1 f'c Ag.
TEST(SectionDesign, StressBlockAndReductionFactorsAtTheirLimits)
{
    const std::pair<double, double> beta1[] = { { 30.0, 0.85 }, { 40.0, 0.77 }, { 60.0, 0.65 } };
    for (const auto& [fc, expected] : beta1)
        EXPECT_NEAR(StressBlockFactor(fc), expected, FactorTol) << "f'c " << fc;
    struct Row {
        double N; // as a share of f'c b h
        double H, Phi;
    };
    const double fc = 30.0, b = 1.0;
    // The last row has no concrete: the compression floor, not 0/0.
    for (const Row c : { Row { -0.05, 0.5, 0.9 }, Row { 0.05, 0.5, 0.8 }, Row { 0.3, 0.5, 0.7 },
             Row { 0.05, 0.0, 0.7 } })
        EXPECT_NEAR(FlexureReductionFactor(c.N * fc * b * 0.5, fc, b, c.H), c.Phi, FactorTol)
            << "N " << c.N << " h " << c.H;
}

TEST(SectionDesign, CandidateSequences)
{
    struct Row {
        int16_t system;
        size_t diameters;
        float firstDia, lastDia;
        size_t pitches;
        float firstPitch, lastPitch;
    };
    const Row rows[] = {
        // 0.4 .. 3.2 cm: the 28th sum lies just below 3.1, so 3.2 is tried too.
        { Metric, 29, 0.4f, 3.2f, 15, 20.0f, 6.0f },
        { SI, 28, 0.004f, 0.031f, 15, 0.20f, 0.06f },
        { British, 19, 0.125f, 1.25f, 12, 8.0f, 2.5f },
    };
    for (const Row& c : rows) {
        SCOPED_TRACE(UnitSystemName[size_t(c.system)]);
        const std::vector<float> dias = CandidateDiameters(c.system);
        const std::vector<float> pitches = CandidatePitches(c.system);
        auto expectStep = [](float actual, float expected) {
            EXPECT_NEAR(actual, expected, expected * StepDriftRelTol);
        };
        EXPECT_EQ(dias.size(), c.diameters);
        expectStep(dias.front(), c.firstDia);
        expectStep(dias.back(), c.lastDia);
        EXPECT_EQ(pitches.size(), c.pitches);
        expectStep(pitches.front(), c.firstPitch);
        expectStep(pitches.back(), c.lastPitch);
    }
}

// Hand capacities at 0.20 m: 13 mm 0.1047, 14 mm 0.1211 (rho 0.001737), 15 mm 0.1385,
// 16 mm 0.1571, 17 mm 0.1767; 31 mm 0.5501, and 31 mm at 0.19 m 0.5768, at 0.18 m 0.6062.
TEST(SectionDesign, BarChoiceTakesTheLargestPitchThenTheSmallestBar)
{
    struct Row {
        float M; // MN·m
        float RhoMin, Dia, Pitch; // m
    };
    const Project p = WorkedProject(SI);
    for (const Row c : { Row { 0.10f, 0.0035f, 0.015f, 0.20f }, // covers 4/3 M
             Row { 0.12f, 0.0017f, 0.014f, 0.20f }, // covers M and reaches rho min
             Row { 0.12f, 0.0035f, 0.017f, 0.20f }, // must cover 4/3 M = 0.16
             Row { 0.60f, 0.0035f, 0.031f, 0.18f }, // two pitches down
             Row { 1e12f, 0.0f, 0.031f, 0.06f } }) { // nothing carries it: the last of both
        SCOPED_TRACE(c.M);
        const BarChoice bars = SelectReinforcement(p, 0.5f, c.M, 0.0f, c.RhoMin);
        EXPECT_NEAR(bars.Dia, c.Dia, 1e-6);
        EXPECT_NEAR(bars.Pitch, c.Pitch, 1e-6);
    }
}

// Strips beyond their section, compressed, or without thickness, pitch or depth: finite
// capacities, and either no steel and no crack or no answer at all.
TEST(SectionDesign, StripsThatCannotBeDesignedNormallyStayFinite)
{
    const Project p = WorkedProject(SI);
    struct Row {
        const char* What;
        float H, S, N, M;
        bool Carried; // the required steel and the crack control have a value (then 0)
    };
    const Row rows[] = {
        // 0.425 phi f'c b d² is 2.27 MN·m for the nominal bar: 3 MN·m is beyond the section.
        { "moment beyond the section", 0.5f, 0.2f, 0.0f, 3.0f, false },
        // N = 2 MN on 0.5 m: phi = 0.7; 0.85 f'c b d omega = 1.70 MN is less than N / phi =
        // 2.86 MN, and Ms / (d - a/2) = 1.154 MN is less than N: the bars are compressed.
        { "large compression", 0.5f, 0.2f, 2.0f, 0.1f, true },
        { "zero thickness", 0.0f, 0.2f, 0.0f, 0.0f, true },
        { "zero pitch", 0.5f, 0.0f, 0.0f, 0.0f, true },
        { "bars outside the section", 0.05f, 0.2f, 0.0f, 0.0f, true },
    };
    for (const Row& c : rows) {
        SCOPED_TRACE(c.What);
        const SectionCapacity cap = CheckSectionCapacity(p, c.H, 0.016f, c.S, c.N, c.N);
        EXPECT_TRUE(test::Finite(cap.MomentCap, cap.ShearCap, cap.Rho, cap.RhoB));
        const auto req = RequiredSteel(p, c.H, c.N, c.M);
        const auto z = CrackControlZ(p, c.H, 0.016f, c.S, c.N, c.M);
        ASSERT_EQ(req.has_value(), c.Carried);
        ASSERT_EQ(z.has_value(), c.Carried);
        if (c.Carried) {
            EXPECT_EQ(req->AsReq, 0.0f);
            EXPECT_EQ(req->RhoReq43, 0.0f);
            EXPECT_EQ(*z, 0.0);
        }
    }
    // No bars (zero pitch) and no depth give no ratio and no capacity; a moment on a section
    // with no depth cannot be carried.
    EXPECT_EQ(CheckSectionCapacity(p, 0.5f, 0.016f, 0.0f, 0.0f, 0.0f).Rho, 0.0f);
    EXPECT_EQ(CheckSectionCapacity(p, 0.0f, 0.016f, 0.2f, 0.0f, 0.0f).MomentCap, 0.0f);
    EXPECT_FALSE(RequiredSteel(p, 0.0f, 0.0f, 0.1f).has_value());
}

// The design of the wall flags the row whose moment is beyond it; a wall without a toe has a
// section 3 of no thickness and its run stays finite and quiet.
TEST(SectionDesign, RowsBeyondTheirSectionAreFlaggedAndRowsWithoutThicknessAreQuiet)
{
    Project p = WorkedProject(SI);
    p.TopWidth = 0.2f;
    p.UpperBackOffset = 0.3f;
    p.ReinUserSet = true;
    p.ReinDia.fill(1.6f);
    p.ReinPitch.fill(20.0f);
    Envelope env;
    env.EnvMomentNeg[1] = env.EnvMomentZ[1] = -3000.0f; // kN·m per m on the M- face
    const DesignResults r = DesignSections(p, env);
    EXPECT_TRUE(r.ReinCannotCarry[1] && r.ReinZCannotCarry[1]);
    EXPECT_FALSE(r.ReinCannotCarry[2]);
    EXPECT_EQ(r.ReinAsReq[1], 0.0f);
    EXPECT_EQ(r.ReinZ[1], 0.0f);
    EXPECT_TRUE(AllFinite(r));
    const DesignWarningSet w = DesignWarnings(r);
    EXPECT_TRUE(w.Row[1].CannotCarry && w.Row[1].MomentCapacity);
    EXPECT_FALSE(w.Row[2].CannotCarry);
    Project wall = MakeNewProject("Arial");
    wall.ToeWidth = 0.0f;
    wall.ReinUserSet = true;
    wall.ReinPitch[5] = 0.0f;
    const DesignResults toeless = DesignSections(wall, Envelope {});
    EXPECT_EQ(toeless.ReinHeight[5], 0.0f);
    EXPECT_EQ(toeless.ReinAs[5], 0.0f);
    EXPECT_TRUE(AllFinite(toeless));
    const DesignWarningSet quiet = DesignWarnings(toeless);
    EXPECT_FALSE(quiet.Row[5].CannotCarry || quiet.Row[6].CannotCarry || quiet.Shear[3]);
}

TEST(SectionDesign, BodyWidthAtTheToeTop)
{
    struct Row {
        const char* What;
        float ToeHeight, LowerSlopeHeight, RearSlopeHeight;
        double Width; // bottom 3.0, lower slope 1.4, flat 1.5, rear slope 1.2
    };
    const Row rows[] = {
        { "on the rear slope", 3.0f, 2.0f, 2.0f, 5.9 + 0.6 },
        { "above the underside", 5.0f, 2.0f, 2.0f, 7.1 },
        { "no toe, no lower slope", 0.0f, 0.0f, 2.0f, 5.9 },
    };
    for (const Row& c : rows) {
        Project p = MakeNewProject("Arial");
        p.ToeHeight = c.ToeHeight;
        p.LowerSlopeHeight = c.LowerSlopeHeight;
        p.RearSlopeHeight = c.RearSlopeHeight;
        p.RearSlopeWidth = 1.2f;
        EXPECT_NEAR(BodyWidthAtToeTop(p), c.Width, 1e-6) << c.What;
        p.UnitSystem = British; // feet to inches
        EXPECT_NEAR(DesignHeight(p, 2), c.Width * 12.0, 1e-4) << c.What;
    }
}

TEST(SectionDesign, WarningsOfRowOneOfSectionOne)
{
    struct Row {
        const char* What;
        float MomentCap, Rho1, Rho2, RhoReq43, Z, ShearCap;
        RowWarnings Expected; // for row 1
        bool Shear;
    };
    const Row rows[] = {
        { "capacity equal to M", 100.0f, 0.004f, 0.0f, 0.0f, 0.0f, 300.0f, {}, false },
        { "capacity short", 99.0f, 0.004f, 0.0f, 0.0f, 0.0f, 300.0f, { .MomentCapacity = true },
            false },
        { "both faces short of 4/3 required", 120.0f, 0.001f, 0.0015f, 0.003f, 0.0f, 300.0f,
            { .RhoMin = true }, false },
        { "other face makes up the requirement", 120.0f, 0.001f, 0.0025f, 0.003f, 0.0f, 300.0f, {},
            false },
        { "above 0.75 balanced", 120.0f, 0.025f, 0.0f, 0.0f, 0.0f, 300.0f, { .RhoBalanced = true },
            false },
        { "z over the limit", 120.0f, 0.004f, 0.0f, 0.0f, 25001.0f, 300.0f, { .ZMax = true },
            false },
        { "z at the limit", 120.0f, 0.004f, 0.0f, 0.0f, 25000.0f, 300.0f, {}, false },
        { "shear short", 120.0f, 0.004f, 0.0f, 0.0f, 0.0f, 299.0f, {}, true },
    };
    for (const Row& c : rows) {
        SCOPED_TRACE(c.What);
        DesignResults r;
        r.RhoMin = 0.0035f;
        r.RhoBalanced = 0.032f; // 0.75 rho b = 0.024
        r.ZMax = 25000.0f;
        r.ReinMoment[1] = 100.0f;
        r.ReinMomentCap[1] = c.MomentCap;
        r.ReinRho[1] = c.Rho1;
        r.ReinRho[2] = c.Rho2;
        r.ReinRhoReq43[1] = c.RhoReq43;
        r.ReinZ[1] = c.Z;
        r.ReinShear[1] = 300.0f;
        r.ReinShearCap[1] = c.ShearCap;
        const DesignWarningSet w = DesignWarnings(r);
        EXPECT_EQ(w.Row[1].MomentCapacity, c.Expected.MomentCapacity);
        EXPECT_EQ(w.Row[1].RhoMin, c.Expected.RhoMin);
        EXPECT_EQ(w.Row[1].RhoBalanced, c.Expected.RhoBalanced);
        EXPECT_EQ(w.Row[1].ZMax, c.Expected.ZMax);
        EXPECT_EQ(w.Shear[1], c.Shear);
    }
}

TEST(CombinationFactors, EachSetFactorsALoadByItsCase)
{
    // A downward line load of 10 of the case under test over the centre of section 1, at
    // y = 8 where the leaning wall is 1.2 thick, adds 10 x its factor to the section's normal
    // force, on top of the upper wall's own weight (6 x 0.5 + 0.9 x 6 / 2 = 5.7 of concrete at
    // 2.4) times the dead-load factor.
    for (int loadCase = 1; loadCase <= LoadCaseCount; ++loadCase) {
        SCOPED_TRACE("load case " + std::to_string(loadCase));
        Project p = ConcreteOnly();
        AddLineLoad(p, 10.0f, 1.7f, 8.0f, 180.0f, static_cast<int16_t>(loadCase));
        const CombinationResults r = RunCombinations(p);
        ASSERT_TRUE(r.Stable);
        const double upperWall = 5.7 * 2.4;
        for (int set = 1; set <= CombinationSetCount; ++set) {
            const double expected = Table[set][0] * upperWall + Table[set][loadCase - 1] * 10.0;
            EXPECT_NEAR(r.ComboNormal[set][1], expected, ForceTolerance * 10) << "set " << set;
        }
    }
}

TEST(CombinationRun, StopsAtTheFirstSetThatLiftsTheWall)
{
    struct Row {
        std::string Name;
        Project Wall;
        int FirstUnstableSet;
        std::string_view Cause; // a message of the stopping set, before the run's own
    };
    // An upward pull of 300 of one case: no set's dead load (at most 1.4 x 65.5) holds it once
    // its factor is 1.05 or more; sets with the factor 0 stand. The first unstable set is the
    // first whose factor for that case is not 0.
    std::vector<Row> rows;
    for (const auto& [loadCase, first] :
        { std::pair { 2, 1 }, { 3, 2 }, { 4, 4 }, { 5, 9 }, { 6, 1 }, { 7, 7 } }) {
        Project p = ConcreteOnly();
        AddLineLoad(p, 300.0f, 4.0f, 10.0f, 0.0f, static_cast<int16_t>(loadCase));
        rows.push_back({ "pulled by load case " + std::to_string(loadCase), p, first, {} });
    }
    // theta = atan(0.7) = 35 degrees is beyond phi = 30: no backfill slope gives a seismic
    // pressure, and the first set with the earthquake stops the run.
    Project quake = MakeNewProject("Arial");
    quake.SeismicCoef = 0.7f;
    rows.push_back({ "seismic pressure undefined", quake, 7, SeismicUndefinedMessage });
    for (const Row& c : rows) {
        SCOPED_TRACE(c.Name);
        const CombinationResults r = RunCombinations(c.Wall);
        EXPECT_FALSE(r.Stable);
        EXPECT_EQ(r.UnstableCombination, c.FirstUnstableSet);
        ASSERT_FALSE(r.Messages.empty());
        EXPECT_EQ(r.Messages.back(), UnstableCombinationMessage);
        EXPECT_EQ(std::count(r.Messages.begin(), r.Messages.end(), UnstableCombinationMessage), 1);
        EXPECT_EQ(
            std::count(r.Messages.begin(), r.Messages.end(), c.Cause), c.Cause.empty() ? 0 : 1);
        // A stopped run forms no envelope and no design.
        EXPECT_EQ(r.Env.EnvMomentPos[1], 0.0f);
        EXPECT_EQ(r.Design.ReinMoment[1], 0.0f);
        // Rows of the sets before the stop hold the upper wall's normal force, the rest nothing.
        for (int set = 1; set <= CombinationSetCount; ++set)
            EXPECT_EQ(r.ComboNormal[set][1] > 0, set < c.FirstUnstableSet) << "set " << set;
    }
}

TEST(CombinationRun, AFlattenedSlopeIsReportedOnceForTheWholeRun)
{
    // 1 : 1 is steeper than phi = 30 degrees: every set works with 1 : 1.8, which the run
    // proposes once, with one message.
    Project p = MakeNewProject("Arial");
    p.BackfillSlope = 1.0f;
    p.SeismicCoef = 0; // the seismic check would flatten it further, with its own message
    const CombinationResults r = RunCombinations(p);
    ASSERT_TRUE(r.Stable);
    EXPECT_TRUE(r.SlopeAdjusted);
    EXPECT_EQ(std::count(r.Messages.begin(), r.Messages.end(), StaticSlopeMessage), 1);
    EXPECT_NEAR(r.ProposedBackfillSlope, 1.8f, 1e-6);
}

// The toe's shear is taken at its effective depth over the toe's bar: the engineer's, once set
// (not that of the row before), or else the one the design chose. Every set's toe shear is that
// of a single run with that bar, on that set's own stability; the design carries the largest.
TEST(CombinationRun, ToeShearIsTakenOverTheBarTheDesignChose)
{
    for (const bool userSet : { false, true }) {
        SCOPED_TRACE(userSet);
        Project p = MakeNewProject("Arial");
        p.ReinUserSet = userSet;
        p.ReinDia[ToeDesignRow - 1] = 1.0f;
        p.ReinDia[ToeDesignRow] = 2.5f;
        const CombinationResults r = RunCombinations(p);
        ASSERT_TRUE(r.Stable);
        ASSERT_GT(r.ToeBarDia, 0.0f);
        EXPECT_EQ(r.ToeBarDia, userSet ? 2.5f : r.Design.ReinDia[ToeDesignRow]);
        constexpr int Toe = 3;
        for (size_t set = 1; set <= CombinationSetCount; ++set)
            EXPECT_EQ(r.ComboShear[set][Toe],
                ComputeSectionForces(p, FactorsOfSet(CombinationFactors[set]), r.ToeBarDia)
                    .SectionShear[Toe])
                << "set " << set;
        float largest = 0;
        for (int set = 1; set <= CombinationCount; ++set)
            largest = std::max(largest, std::fabs(r.ComboShear[set][Toe]));
        EXPECT_FLOAT_EQ(r.Design.ReinShear[Toe], largest);
    }
}

TEST(CombinationEnvelope, KeepsTheExtremesWithTheirNormalForces)
{
    struct Row {
        const char* Name;
        // Per set 1..12 (index 0 unused): moment, shear, normal force of section 1.
        std::array<float, 13> M, V, N;
        float MomentPos, NormalPos, MomentNeg, NormalNeg, Shear, ShearNormal, MomentZ, NormalZ;
    };
    const Row rows[] = {
        // Equal largest moments in sets 2 and 5: the smaller normal force goes with them,
        // whichever comes first; the same for the most negative moment and the largest shear
        // (-8 and 8 tie in magnitude).
        { "ties", { 0, 1, 7, 2, 3, 7, -4, -9, -9, 0, 0, 0, 50 },
            { 0, 1, 2, -8, 3, 8, 0, 0, 0, 0, 0, 0, 99 },
            { 0, 5, 30, 40, 50, 20, 10, 35, 25, 5, 5, 5, 60 }, 7, 20, -9, 25, 8, 20, 50, 60 },
        { "tie, first smaller", { 0, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 6, -3 }, {},
            { 0, 10, 1, 1, 1, 1, 1, 1, 1, 1, 1, 30, 4 }, 6, 10, 0, 0, 0, 0, -3, 4 },
        // All moments positive: the negative side stays at its start, 0 with 0; set 12's large
        // values never enter the design envelope.
        { "all positive", { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 500 },
            { 0, -1, -2, -3, -4, -5, -6, -7, -8, -9, -10, -11, 600 },
            { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 700 }, 11, 11, 0, 0, 11, 11, 500, 700 },
    };
    for (const Row& c : rows) {
        SCOPED_TRACE(c.Name);
        CombinationResults r;
        for (int set = 1; set <= CombinationSetCount; ++set) {
            r.ComboMoment[set][1] = c.M[set];
            r.ComboShear[set][1] = c.V[set];
            r.ComboNormal[set][1] = c.N[set];
        }
        const Envelope e = DesignEnvelope(r);
        EXPECT_EQ((std::array { e.EnvMomentPos[1], e.EnvNormalPos[1], e.EnvMomentNeg[1],
                      e.EnvNormalNeg[1], e.EnvShear[1], e.EnvShearNormal[1], e.EnvMomentZ[1],
                      e.EnvNormalZ[1] }),
            (std::array { c.MomentPos, c.NormalPos, c.MomentNeg, c.NormalNeg, c.Shear,
                c.ShearNormal, c.MomentZ, c.NormalZ }));
    }
}

TEST(CombinationProperty, RandomWallsGiveFiniteDesignsOrCannotCarryFlags)
{
    constexpr int WallCount = 1000;
    test::RandomWallGenerator walls(20080117, test::WallInputs::Design);
    int designed = 0;
    for (int n = 0; n < WallCount; ++n) {
        Project p = walls.Next();
        SCOPED_TRACE("wall " + std::to_string(n));
        CombinationResults r = RunCombinations(p);
        EXPECT_TRUE(test::Finite(r.ComboMoment, r.ComboShear, r.ComboNormal));
        if (!r.Stable) {
            ASSERT_GE(r.UnstableCombination, 1);
            ASSERT_EQ(r.Messages.back(), UnstableCombinationMessage);
            continue;
        }
        ++designed;
        const Envelope& e = r.Env;
        EXPECT_TRUE(test::Finite(e.EnvMomentPos, e.EnvMomentNeg, e.EnvShear, e.EnvNormalPos,
            e.EnvNormalNeg, e.EnvShearNormal, e.EnvMomentZ, e.EnvNormalZ));
        const DesignResults& d = r.Design;
        EXPECT_TRUE(AllFinite(d));
    }
    // The generator must reach designs, or the property proves little.
    EXPECT_GT(designed, WallCount / 10);
    RecordProperty("designed", designed);
}
