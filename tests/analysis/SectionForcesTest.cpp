// Section forces checked against hand calculations: the concrete's area and centroid from the
// outline polygon, the textbook base trapezoid, hydrostatic water and uplift, the soil's inertia, a
// trial-wedge Coulomb and Mononobe-Okabe thrust on the leaning face, and the anchors' pull.
#include "analysis/SectionForces.h"

#include "analysis/Combinations.h"

#include "support/Polygons.h"
#include "support/TrialWedge.h"
#include "support/Walls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace pendrake;
using pendrake::test::AddLineLoad;

namespace {

// Results are single precision sums of a few dozen terms of up to a few hundred: they hold
// about six significant digits of the largest term.
constexpr double RelativeTolerance = 2e-6;
// Differences of two such results keep the absolute error of the larger one.
constexpr double DifferenceTolerance = 1e-5;
// The trial wedge samples the failure plane every 0.0009 degrees; at the maximum the thrust
// changes with the square of that step, far below this.
constexpr double WedgeTolerance = 1e-7;

const double Pi = 4.0 * std::atan(1.0);

void ExpectClose(double actual, double expected, double scale, const char* what)
{
    EXPECT_NEAR(actual, expected, RelativeTolerance * std::max(1.0, std::abs(scale))) << what;
}

// How section s's moment, shear and normal force change from the results a to the results b.
void ExpectChange(
    const SectionForceResults& a, const SectionForceResults& b, int s, double m, double v, double n)
{
    EXPECT_NEAR(b.SectionMoment[s] - a.SectionMoment[s], m, DifferenceTolerance * 10) << "M" << s;
    EXPECT_NEAR(b.SectionShear[s] - a.SectionShear[s], v, DifferenceTolerance * 10) << "V" << s;
    EXPECT_NEAR(b.SectionNormal[s] - a.SectionNormal[s], n, DifferenceTolerance * 10) << "N" << s;
}

struct Pt {
    double X = 0, Y = 0;
};
using Polygon = std::vector<Pt>;
using test::Measure;
using test::Shoelace;

// Toe 1 x 1; upper wall 0.5 wide at the top leaning 0.5 over its 4; shelf 2.5; flat bottom 1.5,
// lower slope 1 x 2, flat segment 0.5, rear slope 0.5 x 1, no rear step. Wall top at 7. The
// cut of section 2 (y = 1) crosses the lower slope at x = 3: w2 = 2. Concrete only, gc = 2.4.
Project SlopedWall()
{
    return test::WithSection(
        test::ConcreteOnly(), { 1, 0.5f, 0.5f, 2.5f, 1.5f, 1, 0.5f, 0.5f, 1, 6, 4, 0, 1, 2 });
}
// Its outline anticlockwise from the toe front; the upper wall above the shelf (y = 3); the body
// above the toe top (y = 1) behind the toe face (x = 1), the upper wall included.
const Measure SlopedWhole = Shoelace(Polygon { { 0, 0 }, { 2.5, 0 }, { 3.5, 2 }, { 4, 2 },
    { 4.5, 3 }, { 2, 3 }, { 1.5, 7 }, { 1, 7 }, { 1, 1 }, { 0, 1 } });
const Measure SlopedUpper = Shoelace(Polygon { { 1, 3 }, { 2, 3 }, { 1.5, 7 }, { 1, 7 } });
const Measure SlopedBody = Shoelace(Polygon {
    { 1, 1 }, { 3, 1 }, { 3.5, 2 }, { 4, 2 }, { 4.5, 3 }, { 2, 3 }, { 1.5, 7 }, { 1, 7 } });
constexpr double SlopedW2 = 2.0;
constexpr double SlopedCutX = 3.0; // where the cut of section 2 meets the lower slope

// The same upper wall on a flat underside under a 1.5 rear step slab: nothing of the underside
// lies above the cut of section 2 (y = 0.5), which runs across the whole 3.0 of the body.
Project FlatWall()
{
    return test::WithSection(
        test::ConcreteOnly(), { 1, 0.5f, 0.5f, 2, 1.5f, 0.5f, 0.5f, 0.5f, 0.5f, 5, 4, 1.5f, 0, 0 });
}

// A heavy dead load at the toe front: the resultant moves into the front third and the base
// pressure stays off the underside above the cut of section 2, so that section takes only the
// loads a test puts on it.
void AddBallast(Project& p)
{
    AddLineLoad(p, 200.0f, 0.1f, p.ToeHeight, 180.0f);
}

// The sloped wall held by the ballast behind a backfill of gs (gsat below the water table),
// phi 30 and concrete to earth 15 degrees, under a surcharge q of the soil case and an
// earthquake kh.
Project SoiledWall(float gs, float gsat, float q, float kh, float backDepth = 20.0f)
{
    Project p = SlopedWall();
    AddBallast(p);
    p.FillUnitWeight = p.FillDryDensity = gs;
    p.FillSatDensity = gsat;
    p.Surcharge = q;
    p.SurchargeType = 3;
    p.FillPhi = 30.0f;
    p.DeltaConcrete = 15.0f;
    p.SeismicCoef = kh;
    p.BackWaterDepth = backDepth;
    return p;
}

SectionForceResults Compute(const Project& p, const LoadFactors& factors = ServiceLoads)
{
    SectionForceResults r = ComputeSectionForces(p, factors, 0.0f);
    EXPECT_TRUE(r.Stability.Stable);
    return r;
}

// The section forces of a wall held by the ballast, whose base pressure must stay clear of the
// cut of section 2.
SectionForceResults ComputeClearOfTheBodyCut(
    const Project& p, const LoadFactors& factors = ServiceLoads)
{
    SectionForceResults r = Compute(p, factors);
    const StabilityResults& s = r.Stability;
    EXPECT_EQ(s.PressureCase, BasePressureCase::FrontTriangle);
    const double psi = s.ResultantInclination;
    EXPECT_LT(s.CompressedLength, SlopedCutX * std::cos(psi) - 1.0 * std::sin(psi));
    return r;
}

// Integrals over [a, b] of a linear pressure q(x) = q0 + slope x: its force and moment about xc.
struct Integral {
    double Force = 0, Moment = 0;
};
Integral LinearPressure(double q0, double slope, double a, double b, double xc)
{
    const double force = q0 * (b - a) + slope * (b * b - a * a) / 2;
    const double first = q0 * (b * b - a * a) / 2 + slope * (b * b * b - a * a * a) / 3;
    return { force, first - xc * force };
}

// Coulomb and Mononobe-Okabe coefficients of the leaning face (phi 30, delta 15) under a backfill
// rising slope degrees, by trial wedges through its foot; or the thrust of a unit surcharge
// along the sloping surface on the face of unit height.
double FaceCoefficient(double lean, double kh, double slope = 0, bool surchargeOnly = false)
{
    const test::WedgeCase face { 30, 15, float(std::atan(lean) * 180 / Pi), float(slope), 0,
        false };
    return test::WedgeThrust(face, kh, surchargeOnly);
}

} // namespace

TEST(SectionForcesDeadLoad, ConcreteMatchesTheOutlineAndTheBaseTrapezoid)
{
    // Concrete only, with a downward line load on the toe (0 for none) at x = 0.5. No
    // horizontal load: psi = 0, the projected base is the plan, the pressure the textbook
    // trapezoid q(x) = V/B + 12 V e (x - B/2)/B³ over B = 4.5.
    for (const double toeLoad : { 0.0, 5.0 }) {
        SCOPED_TRACE(toeLoad);
        Project p = SlopedWall();
        if (toeLoad > 0)
            AddLineLoad(p, float(toeLoad), 0.5f, 1.0f, 180.0f);
        const SectionForceResults r = Compute(p);
        ASSERT_EQ(r.Stability.PressureCase, BasePressureCase::FullCompression);
        const double gc = 2.4;
        const double V = gc * SlopedWhole.A + toeLoad, B = 4.5;
        const double e = (gc * SlopedWhole.A * SlopedWhole.X + toeLoad * 0.5) / V - B / 2;
        const double q0 = V / B - 6 * V * e / (B * B), slope = 12 * V * e / (B * B * B);
        // Section 2: the concrete above y = 1 and the pressure under the underside above it.
        const Measure& body = SlopedBody;
        const double xc2 = 1.0 + SlopedW2 / 2;
        EXPECT_NEAR(r.BodyCutWidth, SlopedW2, 1e-6);
        const Integral under = LinearPressure(q0, slope, SlopedCutX, B, xc2);
        ExpectClose(r.SectionNormal[2], gc * body.A - under.Force, gc * body.A, "N2");
        ExpectClose(
            r.SectionMoment[2], gc * body.A * (body.X - xc2) - under.Moment, gc * body.A, "M2");
        EXPECT_NEAR(r.SectionShear[2], 0.0, RelativeTolerance * gc * body.A);
        // Section 3: the toe cantilevers from its face; its shear is taken d = 1 - 0.07 from it.
        const double toeWeight = gc * 1.0 * 1.0, d = 1.0 - 0.07;
        const Integral toePressure = LinearPressure(q0, slope, 0, 1.0, 1.0);
        const Integral shearPressure = LinearPressure(q0, slope, 0, 1.0 - d, 1.0);
        EXPECT_NEAR(r.ToeShearDepth, d, 1e-6);
        // The toe load's lever is measured from the toe face: 0.5 in front of it.
        ExpectClose(
            r.SectionMoment[3], -toeWeight * 0.5 - toePressure.Moment - toeLoad * 0.5, V, "M3");
        ExpectClose(r.SectionShear[3], -toeWeight * (1.0 - d) / 1.0 + shearPressure.Force - toeLoad,
            V, "V3");
        // "Straight down" keeps sin(180°) = 1.2e-16 of a horizontal component.
        EXPECT_NEAR(r.SectionNormal[3], 0.0, RelativeTolerance);
    }
}

TEST(SectionForcesWater, FrontWaterPushesTheWallAndLoadsTheToe)
{
    // Front water 2 below the top (surface at 3.5): 2 deep on the upper wall, 3 above the toe
    // top, 3 standing on the toe; the back water stays below the wall.
    Project wet = FlatWall();
    wet.FrontWaterDepth = 2.0f;
    const SectionForceResults a = Compute(FlatWall()), b = Compute(wet);
    const double gw = 1.0;
    ExpectChange(a, b, 1, gw * 8 / 6, gw * 4 / 2, 0);
    ExpectChange(a, b, 2, gw * 27 / 6, gw * 9 / 2, 0);
    // The toe (1 wide, 0.5 thick, d = 0.43): its weight, the 3 of water on it, the uplift of the
    // back water under the flat bottom, and the base pressure normal to it, q(x) = p(x cos psi)
    // cos² psi for the trapezoid p(u) the stability analysis solved. Back water 3.5 below the
    // top lifts the toe by a head of 2; the soil weighs nothing under water either.
    for (const float backDepth : { 20.0f, 3.5f }) {
        SCOPED_TRACE(backDepth);
        Project p = wet;
        p.BackWaterDepth = backDepth;
        p.FillSatDensity = 1.0f;
        const SectionForceResults t = Compute(p);
        const StabilityResults& s = t.Stability;
        ASSERT_EQ(s.PressureCase, BasePressureCase::FullCompression);
        const double psi = s.ResultantInclination, c2 = std::cos(psi) * std::cos(psi);
        const double q0 = s.PressureToeEnd * c2;
        const double slope
            = (s.PressureFarEnd - s.PressureToeEnd) / s.EffectiveBaseLength * std::cos(psi) * c2;
        const double d = 0.5 - 0.07;
        const double down = 2.4 * 0.5 + 3 * gw - std::max(0.0, 5.5 - backDepth) * gw;
        const Integral base = LinearPressure(q0, slope, 0, 1.0, 1.0);
        const Integral front = LinearPressure(q0, slope, 0, 1.0 - d, 1.0);
        ExpectClose(t.SectionMoment[3], -down * 0.5 - base.Moment, 10, "M3");
        ExpectClose(t.SectionShear[3], -down * (1.0 - d) + front.Force, 10, "V3");
        EXPECT_EQ(t.SectionNormal[3], 0.0f);
    }
    // In British units the cover is in inches: 0.5 ft of toe under 3 in of cover leaves 0.25 ft.
    Project british = FlatWall();
    british.UnitSystem = British;
    british.ConcCover = 3.0f;
    EXPECT_NEAR(TraceSectionLoads(british, ServiceLoads, 0).ToeShearDepth, 0.25, 1e-6);
}

TEST(SectionForcesWater, BackWaterOnTheWallAndUnderAndOverTheBody)
{
    // Water table 3 below the top (at y = 4), 1 above the shelf; the soil weighs nothing, dry
    // or submerged (saturated density = water). Section 1 feels 1 of water on its back and the
    // water over the lower quarter of the leaning face; section 2 feels the water on its back
    // from y = 4 down to the cut (3), the water over the shelf and the face, and the uplift
    // under the underside above the cut.
    Project p = SlopedWall();
    AddBallast(p);
    p.BackWaterDepth = 3.0f;
    p.FillSatDensity = 1.0f;
    Project dry = SlopedWall();
    AddBallast(dry);
    const SectionForceResults r = ComputeClearOfTheBodyCut(p), r0 = ComputeClearOfTheBodyCut(dry);
    const double gw = 1.0, xc1 = 1.5;
    // Over the face: the wetted run is 0.5/4 = 0.125, the pressure grows to 1 at its foot
    // (x = 2): 0.0625 at 2 - 0.125/3.
    const double faceWater = 0.125 * 1.0 / 2, faceArm = 2.0 - 0.125 / 3;
    ExpectChange(r0, r, 1, -gw / 6 + faceWater * (faceArm - xc1), -gw / 2, faceWater);
    // Section 2 from scratch: concrete, back water, water over shelf and face, uplift on the
    // lower slope above y = 1 (heads 3 to 2 over x 3..3.5), on the flat segment (head 2 over
    // 3.5..4) and on the rear slope (heads 2 to 1 over 4..4.5).
    const double gc = 2.4, xc2 = 2.0;
    struct Vertical {
        double Down, X;
    };
    const Vertical loads[] = {
        { gc * SlopedBody.A, SlopedBody.X },
        { faceWater, faceArm },
        { 2.5 * 1.0, 3.25 }, // water over the shelf, x 2..4.5
        { -(3 + 2) / 2.0 * 0.5, 3.0 + 0.5 * (3 + 2 * 2) / (3.0 * (3 + 2)) },
        { -2 * 0.5, 3.75 },
        { -(2 + 1) / 2.0 * 0.5, 4.0 + 0.5 * (2 + 2 * 1) / (3.0 * (2 + 1)) },
    };
    double N = 0, M = 0;
    for (const Vertical& v : loads) {
        N += v.Down;
        M += v.Down * (v.X - xc2);
    }
    M -= gw * 27 / 6;
    ExpectClose(r.SectionNormal[2], N, N, "N2");
    ExpectClose(r.SectionMoment[2], M, N, "M2");
    ExpectClose(r.SectionShear[2], -gw * 9 / 2, N, "V2");
    // Water table at y = 2.5, below the shelf, across the rear slope (y 2..3 over x 4..4.5) at
    // x = 4.25: section 2 takes 1.5 of water on its back and the uplift of heads 1.5 to 0.5 on
    // the lower slope (x 3..3.5), 0.5 on the flat segment and 0.5 to 0 over x 4..4.25 only.
    Project low = dry;
    low.BackWaterDepth = 4.5f;
    low.FillSatDensity = 1.0f;
    const SectionForceResults rl = ComputeClearOfTheBodyCut(low);
    double lowN = 0, lowM = -gw * 1.5 * 1.5 * 1.5 / 6;
    for (const Vertical& v : { Vertical { -0.5, 3.0 + 0.5 * 2.5 / 6 }, Vertical { -0.25, 3.75 },
             Vertical { -0.0625, 4.0 + 0.25 / 3 } }) {
        lowN += v.Down;
        lowM += v.Down * (v.X - xc2);
    }
    ExpectChange(r0, rl, 2, lowM, -gw * 1.5 * 1.5 / 2, lowN);
}

TEST(SectionForcesEarth, UpperWallTakesTheThrustOnItsLeaningFace)
{
    // Backfill 1.7 (saturated 1.9) with a surcharge of 1 on the sloped wall (face leaning 0.5
    // over 4), phi = 30, concrete to earth 15 degrees, kh = 0.15. The coefficients come from
    // trial wedges through the foot of the face. Section 1 takes the static thrust, the seismic
    // increment (an inverted triangle, at 2H/3) with their wall-friction companions at the
    // face, and the inertia of its concrete. Dry, or with the water table 2 below the top: then
    // the lower 2 of the face take the submerged soil's trapezoid and, at 2/3 of that height,
    // the saturated soil's own increment. The water's own loads are left out (factor 0).
    const double delta = Pi / 12, lean = 0.125, kh = 0.15, ka = FaceCoefficient(lean, 0);
    const double kae = FaceCoefficient(lean, kh);
    const double H = 4, gs = 1.7, gsat = 1.9, gw = 1, q = 1, gc = 2.4;
    const double inclination = delta + std::atan(lean); // of the thrust below the horizontal
    const double k = ka * std::cos(inclination), tilt = std::tan(inclination);
    auto faceX = [&](double above) { return 1.5 + 0.5 * (H - above) / H; }; // above the shelf
    const double xc1 = 1.5;
    LoadFactors noWater;
    noWater.Factor[4] = 0;
    for (const double hw : { 0.0, 2.0 }) {
        SCOPED_TRACE(hw);
        const Project p = SoiledWall(
            float(gs), float(gsat), float(q), float(kh), hw > 0 ? float(H - hw) : 20.0f);
        const SectionForceResults r = Compute(p, noWater);
        EXPECT_NEAR(r.UpperFaceKa, ka, WedgeTolerance + 1e-7);
        EXPECT_NEAR(r.UpperFaceKaeIncrement, kae - ka, WedgeTolerance + 1e-7);
        const double hd = H - hw, p0 = q * k, p1 = p0 + hd * k * gs, p2 = p1 + hw * k * (gsat - gw);
        // Forces with their heights above the shelf, towards the toe.
        const std::pair<double, double> thrusts[] = {
            { (p0 + p1) / 2 * hd, hw + hd * (2 * p0 + p1) / (3 * (p0 + p1)) },
            { (p1 + p2) / 2 * hw, hw > 0 ? hw * (2 * p1 + p2) / (3 * (p1 + p2)) : 0 },
            { (kae - ka) * gs * H * H / 2 * std::cos(inclination), 2 * H / 3 },
            { (kae - ka) * (gsat - gs) * hw * hw / 2 * std::cos(inclination), 2 * hw / 3 },
        };
        const Measure& upper = SlopedUpper;
        double M = gc * upper.A * (upper.X - xc1) - kh * gc * upper.A * (upper.Y - 3.0);
        double V = -kh * gc * upper.A, N = gc * upper.A;
        for (const auto& [force, above] : thrusts) {
            M += -force * above + force * tilt * (faceX(above) - xc1);
            V -= force;
            N += force * tilt;
        }
        ExpectClose(r.SectionMoment[1], M, 30, "M1");
        ExpectClose(r.SectionShear[1], V, 30, "V1");
        ExpectClose(r.SectionNormal[1], N, 30, "N1");
    }
}

// Free body of the soil over the leaning face: its weight and the surcharge on it go down into
// the face, and the face's thrust with its wall-friction companion is how they reach the body.
// Section 2 takes the thrust's vertical component and the soil and surcharge over the shelf,
// and not the weight over the face a second time. On a backfill sloped 1 : 3 the surcharge
// (along the sloping surface) reaches the face by the wedge's own surcharge thrust, and the body
// takes the sloped soil above the wall top beyond the face, (x - 1.5) / 3 high over x 2..4.5.
// Nothing live acts: the surcharge over the shelf comes with the soil case's factor.
TEST(SectionForcesEarth, TheBodyTakesTheSoilOverTheFaceOnlyThroughTheThrust)
{
    LoadFactors noLive;
    noLive.Factor[2] = 0;
    for (const float slope : { 0.0f, 3.0f }) {
        SCOPED_TRACE(slope);
        Project bareWall = SoiledWall(0, 0, 0, 0), wall = SoiledWall(1.7f, 1.7f, 1.0f, 0);
        bareWall.BackfillSlope = wall.BackfillSlope = slope;
        const SectionForceResults bare = ComputeClearOfTheBodyCut(bareWall, noLive);
        const SectionForceResults r = ComputeClearOfTheBodyCut(wall, noLive);
        const double rise = slope > 0 ? 1.0 / slope : 0, degrees = std::atan(rise) * 180 / Pi;
        const double delta = Pi / 12, tanLean = 0.125, ka = FaceCoefficient(tanLean, 0, degrees);
        const double kq = FaceCoefficient(tanLean, 0, degrees, true);
        const double H = 4, gs = 1.7, q = 1, shelf = 2.5, inclination = delta + std::atan(tanLean);
        const double p0 = q * kq * std::cos(inclination);
        const double p1 = p0 + H * ka * gs * std::cos(inclination);
        const double thrust = (p0 + p1) / 2 * H; // horizontal
        const Integral slopedSoil = LinearPressure(-1.5 * rise * gs, rise * gs, 2.0, 4.5, 2.0);
        const double N = thrust * std::tan(inclination) + shelf * H * gs + q * shelf;
        ExpectClose(double(r.SectionNormal[2]) - bare.SectionNormal[2], N + slopedSoil.Force, 30,
            "N2 from the soil");
        // About the centre of the cut (2, 1): the thrust at its centroid on the face, the soil
        // and the surcharge over the shelf at the shelf's middle, x = 3.25.
        const double above = H * (2 * p0 + p1) / (3 * (p0 + p1)); // over the shelf at y = 3
        const double faceX = 1.5 + 0.5 * (H - above) / H;
        const double M = -thrust * (2 + above) + thrust * std::tan(inclination) * (faceX - 2)
            + (shelf * H * gs + q * shelf) * (3.25 - 2) + slopedSoil.Moment;
        ExpectClose(double(r.SectionMoment[2]) - bare.SectionMoment[2], M, 30, "M2 from the soil");
    }
}

// Under the earthquake the body takes the inertia of its concrete and of the soil above the cut,
// and the seismic increments on the virtual back. Water table 2 below the top: the face is
// 0.25 behind its top there. Dry above it: 0.25 x 2 / 2 over the face and 2.75 x 2 beyond, at
// 1.7; saturated below it: 0.25 x 2 / 2 and 2 x 2.5, at 1.9. The increments, as the load cases
// give them (Kae - Ka = 0.120809, delta 30): 4 x (4 x 0.120809 x 1.7 cos 30) / 2 over the
// whole back and 2 x (2 x 0.120809 x 0.2 cos 30) / 2 below the water table.
TEST(SectionForcesSeismic, TheBodyTakesTheSoilsInertiaAndTheIncrementsOnTheVirtualBack)
{
    const SectionForceResults still = ComputeClearOfTheBodyCut(SoiledWall(1.7f, 1.9f, 0, 0, 2.0f));
    const SectionForceResults shaken
        = ComputeClearOfTheBodyCut(SoiledWall(1.7f, 1.9f, 0, 0.15f, 2.0f));
    const double soil = (0.25 + 5.5) * 1.7 + (0.25 + 5.0) * 1.9;
    const double kaeIncrement = 0.120809166 * std::cos(Pi / 6);
    const double increments = 4 * (4 * kaeIncrement * 1.7) / 2 + 2 * (2 * kaeIncrement * 0.2) / 2;
    const double V = -0.15 * (2.4 * SlopedBody.A + soil) - increments;
    ExpectClose(double(shaken.SectionShear[2]) - still.SectionShear[2], V, 30, "V2");
}

TEST(SectionForcesAnchors, RowsAboveTheBodyCutPullOnIt)
{
    // Three rows at heights 0.5, 1.5 and 2.5 (x 2.75, 3.25 on the lower slope, 4.25 on the rear
    // slope); the ballast puts the resultant in the front third and all three in tension. Only
    // the two above y = 1 act on the body.
    Project p = SlopedWall();
    AddBallast(p);
    p.AnchorRows = 3;
    p.AnchorEdgeDist = 0.5f;
    p.AnchorVPitch = 1.0f;
    const SectionForceResults r = ComputeClearOfTheBodyCut(p);
    const StabilityResults& s = r.Stability;
    ASSERT_EQ(s.AnchorActiveCount, 3);
    // Each row pulls along the resultant; across and along the anchor its pull has the table's
    // two components. Their sum over all rows is the anchors' resultant.
    double down = 0, towardsBackfill = 0, bodyDown = 0, bodyH = 0, bodyM = 0;
    const double xc2 = 2.0;
    for (int row = 1; row <= 3; ++row) {
        const AnchorRow& a = s.Loads.Anchor[row];
        const double v = a.Along * std::cos(a.Face) + a.Across * std::sin(a.Face);
        const double h = a.Along * std::sin(a.Face) - a.Across * std::cos(a.Face);
        down += v;
        towardsBackfill += h;
        if (a.Y > 1.0f) {
            bodyDown += v;
            bodyH += h;
            bodyM += v * (a.X - xc2) + h * (a.Y - 1.0);
        }
    }
    ExpectClose(down, s.AnchorForceVertical, s.AnchorForceTotal, "anchors' vertical pull");
    ExpectClose(towardsBackfill, s.AnchorForceHorizontal, s.AnchorForceTotal, "horizontal");
    const double gc = 2.4;
    const Measure& body = SlopedBody;
    ExpectClose(r.SectionNormal[2], gc * body.A + bodyDown, 50, "N2");
    ExpectClose(r.SectionShear[2], bodyH, 50, "V2");
    ExpectClose(r.SectionMoment[2], gc * body.A * (body.X - xc2) + bodyM, 50, "M2");
}

TEST(SectionForcesUnstable, LeaveThePreviousForcesInPlace)
{
    Project p = FlatWall();
    AddLineLoad(p, 500.0f, 2.0f, 5.5f, 0.0f); // lifts the wall off its base
    const SectionForceResults r = ComputeSectionForces(p, ServiceLoads, 0.0f);
    EXPECT_FALSE(r.Stability.Stable);
    EXPECT_EQ(r.SectionMoment, (std::array<float, 4> {}));
    EXPECT_EQ(r.SectionShear, (std::array<float, 4> {}));
    EXPECT_EQ(r.SectionNormal, (std::array<float, 4> {}));
}
