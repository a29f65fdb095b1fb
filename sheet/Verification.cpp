// The verification examples: Coulomb and Rankine coefficients, Mononobe-Okabe, Westergaard, a
// rectangular gravity wall checked by hand, an ACI rectangular section, the calculator's diagrams.
#include "sheet/Verification.h"

#include "analysis/EarthPressure.h"
#include "analysis/SectionDesign.h"
#include "analysis/Stability.h"
#include "calculator/CalculatorComputation.h"
#include "model/Units.h"

#include <cmath>
#include <cstdio>

namespace pendrake {

namespace {

// Textbook tables print coefficients to four decimals: half a unit in the last place.
constexpr double TableTolerance = 0.00005;
// A hand calculation carried to four or five significant digits.
constexpr double HandCoefficientTolerance = 0.0005;
constexpr double HandSafetyTolerance = 0.001;
// Stored inputs are single precision: a derived force of a few hundred keeps about 7 digits.
constexpr double SinglePrecisionForce = 0.001;
constexpr double SinglePrecisionCoefficient = 1e-6;
constexpr double HandSectionTolerance = 1e-5; // MN·m and MN, hand values carried to 8 digits

double Rad(double degrees)
{
    return Radians(degrees);
}

// A wall that is one rectangle of concrete, 2.5 m wide and 5 m high, on a flat base, with dry
// backfill level with its top and no water, surcharge or earthquake.
Project RectangularGravityWall()
{
    Project p = MakeNewProject("Arial");
    p.UnitSystem = Metric;
    p.TopWidth = 2.5f;
    p.UpperBackOffset = 0;
    p.ShelfWidth = 0;
    p.ToeWidth = 0;
    p.BottomWidth = 2.5f;
    p.LowerSlopeWidth = 0;
    p.LowerSlopeHeight = 0;
    p.LowerFlatWidth = 0;
    p.RearSlopeWidth = 0;
    p.RearSlopeHeight = 0;
    p.RearStepHeight = 0;
    p.UpperBackHeight = 5.0f;
    p.FrontHeight = 5.0f;
    p.ToeHeight = 0;
    p.BackfillSlope = 0;
    p.FrontWaterDepth = 10.0f;
    p.BackWaterDepth = 10.0f;
    p.ConcUnitWeight = 2.4f;
    p.FillUnitWeight = 1.8f;
    p.FillPhi = 30.0f;
    p.DeltaEarth = 20.0f;
    p.Surcharge = 0;
    p.SeismicCoef = 0;
    p.AnchorRows = 0;
    p.LineLoadCount = 0;
    return p;
}

} // namespace

bool VerificationExample::Passes() const
{
    return std::isfinite(Program) && std::abs(Difference()) <= Tolerance;
}

std::vector<VerificationExample> RunVerificationExamples()
{
    std::vector<VerificationExample> v;
    v.push_back({ "Rankine Ka, phi 30, level backfill, smooth vertical wall",
        "Das: Ka = (1 - sin phi) / (1 + sin phi) = 1/3", 1.0 / 3.0, CoulombKa(Rad(30), 0, 0, 0),
        SinglePrecisionCoefficient, "" });
    v.push_back({ "Coulomb Ka, phi 30, delta 20, vertical back, level backfill",
        "Das, Coulomb table (delta = 2/3 phi): 0.2973", 0.2973, CoulombKa(Rad(30), Rad(20), 0, 0),
        TableTolerance, "" });
    v.push_back({ "Rankine Ka, phi 30, backfill slope 10 degrees (delta = i)",
        "Das, Rankine table for a sloping backfill: 0.3495", 0.3495,
        CoulombKa(Rad(30), Rad(10), 0, Rad(10)), TableTolerance, "" });
    // theta = atan 0.2 = 11.31°: cos²(18.69°) = 0.89730; root sqrt(sin 30 sin 18.69 / cos 11.31)
    // = 0.40425; Kae = 0.89730 / (cos 11.31 x cos 11.31 x 1.40425²) = 0.4733.
    v.push_back({ "Mononobe-Okabe Kae, phi 30, delta 0, kh 0.2, level, vertical",
        "Mononobe-Okabe formula by hand: 0.4733", 0.4733,
        MononobeOkabeKae(Rad(30), 0, 0, 0, std::atan(0.2)), HandCoefficientTolerance, "" });
    v.push_back({ "Mononobe-Okabe Kae with kh 0 is Coulomb's Ka, phi 30, delta 20",
        "Das, Coulomb table: 0.2973", 0.2973, MononobeOkabeKae(Rad(30), Rad(20), 0, 0, 0),
        TableTolerance, "" });

    // Westergaard on the gravity wall with water in front up to its top, kh 0.1, gw 1 t/m³:
    // P = 7/12 gw kh H² = 7/12 x 0.1 x 25 = 1.4583 T/m at 0.4 H = 2 m.
    {
        Project p = RectangularGravityWall();
        p.FrontWaterDepth = 0;
        p.WaterUnitWeight = 1.0f;
        p.SeismicCoef = 0.1f;
        const LoadCaseResults l = ComputeLoadCases(p);
        v.push_back({ "Westergaard force of 5 m of front water, kh 0.1, gw 1 t/m³",
            "Westergaard: 7/12 gw kh H² = 1.458333 T/m", 1.458333, l.SeismicForce[17],
            SinglePrecisionForce, "T/m" });
        v.push_back({ "Westergaard force level above the base", "Westergaard: 0.4 H = 2 m", 2.0,
            l.SeismicLevel[17], SinglePrecisionForce, "m" });
    }

    // The gravity wall by hand: W = 2.5 x 5 x 2.4 = 30 T/m at 1.25 m; Pa = 1/2 x 1.8 x 25 x
    // 0.2973 = 6.689 T/m, Ph = Pa cos 20 = 6.286 at 5/3 m, Pv = Pa sin 20 = 2.288 at 2.5 m;
    // FS = (37.5 + 5.720) / 10.477 = 4.125.
    {
        const StabilityResults s = ComputeStability(RectangularGravityWall());
        v.push_back({ "Rectangular gravity wall 2.5 m x 5 m: overturning safety",
            "hand calculation: (37.5 + 5.720) / 10.477 = 4.125", 4.125, s.OverturningSafety,
            HandSafetyTolerance, "" });
        v.push_back({ "Rectangular gravity wall: total vertical force", "hand: 30 + 2.288 = 32.288",
            32.288, s.TotalVertical, 0.001, "T/m" });
    }

    // ACI rectangular section, SI: b 1 m, h 0.5 m, cover 5 cm, 16 mm bars at 0.2 m, f'c 25 MPa,
    // fy 420 MPa. As = 1.005310e-3 m², a = As fy / (0.85 f'c b) = 0.0198696 m,
    // phi Mn = 0.9 As fy (d - a/2) with d = 0.442 m: 0.1641878 MN·m; phi Vc = 0.85 sqrt(25)/6 b d
    // = 0.3130833 MN; rho b = 0.85 beta1 f'c/fy x 600/(600 + fy) = 0.0252976.
    {
        Project p = MakeNewProject("Arial");
        p.UnitSystem = SI;
        p.ConcFc = 25.0f;
        p.RebarFy = 420.0f;
        p.ConcCover = 5.0f;
        const SectionCapacity c = CheckSectionCapacity(p, 0.5f, 0.016f, 0.2f, 0, 0);
        v.push_back({ "ACI rectangular section: design moment strength phi Mn",
            "hand: 0.9 As fy (d - a/2) = 0.1641878 MN·m", 0.1641878, c.MomentCap,
            HandSectionTolerance, "MN·m" });
        v.push_back({ "ACI rectangular section: shear strength phi Vc",
            "hand: 0.85 sqrt(f'c)/6 b d = 0.3130833 MN", 0.3130833, c.ShearCap,
            HandSectionTolerance, "MN" });
        v.push_back({ "ACI balanced steel ratio, f'c 25 MPa, fy 420 MPa",
            "ACI 318: 0.85 beta1 f'c/fy 600/(600 + fy) = 0.0252976", 0.0252976, c.RhoB, 1e-6, "" });
    }

    // The calculator on 6 m of dry sand, g 18 kN/m³, phi 30, smooth vertical wall, level:
    // Ka = 1/3: 36 kPa at the bottom, 108 kN/m at 4 m; Kp = 3: 972 kN/m; K0 = 0.5: 54 kPa.
    {
        CalculatorInput in;
        in.WetDensity = 18.0f;
        in.SatDensity = 20.0f;
        in.WaterDensity = 9.81f;
        in.FrictionAngle = 30.0f;
        in.SoilDepth = 6.0f;
        in.WaterDepth = 6.0f;
        const CalculatorResult r = ComputeSoilPressure(in);
        const double nan = std::nan("");
        v.push_back({ "Calculator, active pressure at the bottom of 6 m of dry sand",
            "Rankine: Ka g H = 36 kPa", 36.0, r.ActiveNormal ? r.ActiveNormal->Pressure[2] : nan,
            SinglePrecisionForce, "kPa" });
        v.push_back({ "Calculator, active force", "Rankine: Ka g H²/2 = 108 kN/m", 108.0,
            r.ActiveNormal ? r.ActiveNormal->Force[2] : nan, SinglePrecisionForce, "kN/m" });
        v.push_back({ "Calculator, depth of the active force", "triangle: 2H/3 = 4 m", 4.0,
            r.ActiveNormal ? r.ActiveNormal->Depth[2] : nan, SinglePrecisionForce, "m" });
        v.push_back({ "Calculator, passive force", "Rankine: Kp g H²/2 = 972 kN/m", 972.0,
            r.PassiveNormal ? r.PassiveNormal->Force[2] : nan, SinglePrecisionForce, "kN/m" });
        v.push_back({ "Calculator, at-rest pressure at the bottom",
            "Jaky: K0 = 1 - sin phi, K0 g H = 54 kPa", 54.0, r.AtRest ? r.AtRest->Pressure[2] : nan,
            SinglePrecisionForce, "kPa" });
        // Water table at 3 m: (18 x 3 + (20 - 9.81) x 3) / 3 = 28.19 kPa of soil, 29.43 kPa of
        // water, 44.145 kN/m of water at 5 m.
        in.WaterDepth = 3.0f;
        const CalculatorResult w = ComputeSoilPressure(in);
        v.push_back({ "Calculator, active pressure at the bottom, water table at 3 m",
            "Ka (g h1 + (gsat - gw) h2) = 28.19 kPa", 28.19,
            w.ActiveNormal ? w.ActiveNormal->Pressure[2] : nan, SinglePrecisionForce, "kPa" });
        v.push_back({ "Calculator, water force below a 3 m table", "gw h2²/2 = 44.145 kN/m", 44.145,
            w.WaterForce.value_or(nan), SinglePrecisionForce, "kN/m" });
        v.push_back({ "Calculator, depth of the water force", "3 + 2/3 x 3 = 5 m", 5.0,
            w.WaterDepthOfResultant.value_or(nan), SinglePrecisionForce, "m" });
    }
    return v;
}

std::string VerificationText(const std::vector<VerificationExample>& examples)
{
    std::string out;
    char line[512];
    std::snprintf(line, sizeof line, "%-66s %14s %14s %12s %10s  %s\n", "Example", "Reference",
        "Program", "Difference", "Tolerance", "");
    out += line;
    for (const VerificationExample& e : examples) {
        std::snprintf(line, sizeof line, "%-66s %14.7g %14.7g %12.3g %10.3g  %s %s\n",
            e.Name.c_str(), e.Reference, e.Program, e.Difference(), e.Tolerance, e.Unit.c_str(),
            e.Passes() ? "ok" : "FAILED");
        out += line;
    }
    return out;
}

std::string VerificationMarkdown(const std::vector<VerificationExample>& examples)
{
    std::string out
        = "# Verification examples\n\n"
          "Generated by `pendrake-cli verify --format markdown -o docs/verification.md`; "
          "do not edit by hand. Each example compares the program's value with a "
          "textbook or hand-calculated reference; a difference beyond the tolerance "
          "fails the command (exit status 1) and the test suite.\n\n"
          "| Example | Reference source | Reference | Program | Difference | "
          "Tolerance | Unit | Result |\n|---|---|---|---|---|---|---|---|\n";
    char line[768];
    for (const VerificationExample& e : examples) {
        std::snprintf(line, sizeof line, "| %s | %s | %.7g | %.7g | %.3g | %.3g | %s | %s |\n",
            e.Name.c_str(), e.Source.c_str(), e.Reference, e.Program, e.Difference(), e.Tolerance,
            e.Unit.c_str(), e.Passes() ? "ok" : "FAILED");
        out += line;
    }
    return out;
}

} // namespace pendrake
