// Earth pressure and the load cases of the wall: Coulomb and Mononobe-Okabe against textbook
// values and identities, the flattening of steep backfill slopes, and, worked by hand on the
// default section, the 13 pieces, the soil, seismic and water ordinates with their forces, the
// anchor heads, the surcharge and line loads.
#include "analysis/LoadCases.h"
#include "analysis/EarthPressure.h"
#include "model/Project.h"

#include "support/Walls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace pendrake {
namespace {

using test::DefaultWall;

const double Deg = std::atan(1.0) / 45.0;

// The coefficients are computed in double precision from exact angles: agreement to 1e-12 is
// rounding only.
constexpr double CoefficientTolerance = 1e-12;
// Ka printed to four places in the worked example.
constexpr double FourPlaces = 5e-5;
// Results are stored in single precision from float inputs (1.7f, 0.15f...): a few units in
// the seventh significant digit.
constexpr double StoredRelative = 2e-6;

void ExpectStored(double actual, double expected, const std::string& what)
{
    EXPECT_NEAR(actual, expected, StoredRelative * std::max(1.0, std::abs(expected))) << what;
}

bool HasMessage(const LoadCaseResults& r, std::string_view text)
{
    return std::count(r.Messages.begin(), r.Messages.end(), std::string(text)) == 1;
}

// Rankine: a smooth vertical back under a level surface gives (1 - sin phi) / (1 + sin phi);
// with wall friction equal to the slope, Coulomb meets Rankine's sloping-backfill coefficient
// cos i (cos i - sqrt(cos^2 i - cos^2 phi)) / (cos i + sqrt(...)).
TEST(Coulomb, MatchesTextbookValues)
{
    const double ci = std::cos(20 * Deg);
    const double root = std::sqrt(ci * ci - std::cos(30 * Deg) * std::cos(30 * Deg));
    struct Row {
        const char* Name;
        double Phi, Delta, Beta, I; // degrees
        double Expected, Tolerance;
    };
    const Row rows[] = {
        { "Rankine level, phi 30", 30, 0, 0, 0, 1.0 / 3.0, CoefficientTolerance },
        { "Rankine slope 20, phi 30", 30, 20, 0, 20, ci * (ci - root) / (ci + root),
            CoefficientTolerance },
        // cos^2 30 / (cos 30 (1 + sqrt(sin 60 sin 30 / cos 30))^2), worked to four places
        { "worked example", 30, 30, 0, 0, 0.2972, FourPlaces },
    };
    for (const Row& c : rows)
        EXPECT_NEAR(
            CoulombKa(c.Phi * Deg, c.Delta * Deg, c.Beta * Deg, c.I * Deg), c.Expected, c.Tolerance)
            << c.Name;
}

// Arango's rotation: tilting the section by theta turns the pseudo-static problem into a static
// one, Kae(phi, delta, beta, i, theta) = Ka(phi, delta, beta + theta, i + theta)
// cos^2(beta + theta) / (cos theta cos^2 beta).
TEST(MononobeOkabe, EqualsCoulombOnTheRotatedSection)
{
    struct Row {
        double phi, delta, beta, i, kh;
    };
    for (const Row& c :
        { Row { 30, 30, 0, 0, 0.15 }, Row { 35, 20, 0, 10, 0.2 }, Row { 30, 15, 8.5, 5, 0.1 } }) {
        const double theta = std::atan(c.kh), beta = c.beta * Deg;
        const double rotated
            = CoulombKa(c.phi * Deg, c.delta * Deg, beta + theta, c.i * Deg + theta)
            * std::pow(std::cos(beta + theta), 2) / (std::cos(theta) * std::pow(std::cos(beta), 2));
        EXPECT_NEAR(MononobeOkabeKae(c.phi * Deg, c.delta * Deg, beta, c.i * Deg, theta), rotated,
            CoefficientTolerance)
            << "phi " << c.phi << " kh " << c.kh;
    }
}

TEST(Coefficients, OutsideTheirDomainStayFinite)
{
    // Slope beyond phi, wall friction of 90 degrees, acceleration beyond phi.
    EXPECT_TRUE(std::isfinite(CoulombKa(30 * Deg, 30 * Deg, 0, 40 * Deg)));
    EXPECT_EQ(CoulombKa(30 * Deg, 90 * Deg, 0, 0), 0.0);
    EXPECT_TRUE(std::isfinite(MononobeOkabeKae(30 * Deg, 30 * Deg, 0, 0, std::atan(0.8))));
    EXPECT_EQ(MononobeOkabeKae(30 * Deg, 80 * Deg, 0, 0, std::atan(0.3)), 0.0);
}

TEST(SlopeCheck, FlattensToTheNextTenthAndSaysSoOnce)
{
    struct Row {
        const char* Name;
        float Phi, Slope, Kh;
        float Flattened; // n after the run
        bool StaticMessage, SeismicMessage;
    };
    const Row rows[] = {
        // 10 cot 30 = 17.32 -> 18; with kh 0.01 phi - theta = 29.43 deg still exceeds 29.05
        { "1:1, phi 30, small kh", 30, 1.0f, 0.01f, 1.8f, true, false },
        // theta = 8.53 deg, 10 cot 21.47 = 25.4 -> 26
        { "1:2, phi 30, kh 0.15", 30, 2.0f, 0.15f, 2.6f, false, true },
        { "1:1, phi 30, kh 0.15", 30, 1.0f, 0.15f, 2.6f, true, true },
        // 10 cot 45 = 10.000000000000002 in double precision: up to 11
        { "1:0.5, phi 45", 45, 0.5f, 0.0f, 1.1f, true, false },
        { "1:1, phi 45 is not steeper", 45, 1.0f, 0.0f, 1.0f, false, false },
        { "level backfill", 30, 0.0f, 0.15f, 0.0f, false, false },
        // no friction: no slope stands, the backfill becomes level
        { "phi 0 with a slope", 0, 2.0f, 0.0f, 0.0f, true, false },
    };
    for (const Row& c : rows) {
        SCOPED_TRACE(c.Name);
        Project p = DefaultWall();
        p.FillPhi = c.Phi;
        p.BackfillSlope = c.Slope;
        p.SeismicCoef = c.Kh;
        const LoadCaseResults r = ComputeLoadCases(p);
        EXPECT_FLOAT_EQ(r.SlopeAdjusted ? r.ProposedBackfillSlope : p.BackfillSlope, c.Flattened);
        EXPECT_EQ(HasMessage(r, StaticSlopeMessage), c.StaticMessage);
        EXPECT_EQ(HasMessage(r, SeismicSlopeMessage), c.SeismicMessage);
        EXPECT_EQ(r.Messages.size(), size_t(c.StaticMessage) + size_t(c.SeismicMessage));
        EXPECT_EQ(r.SlopeAdjusted, c.StaticMessage || c.SeismicMessage);
        const double i = c.Flattened > 0 ? std::atan(1.0 / double(c.Flattened)) : 0.0;
        ExpectStored(r.BackfillSlopeAngle, i, c.Name);
        EXPECT_FALSE(r.SeismicUndefined);
    }
}

TEST(NoUpperBack, SoilAndSeismicSoilTermsAreZeroAndTheSlopeIsNotChecked)
{
    Project p = DefaultWall();
    // heights 9 + 1 = 0 + 6 + 2 + 2
    p.UpperBackHeight = 0;
    p.RearStepHeight = 6;
    p.BackfillSlope = 0.5f; // steeper than phi
    const LoadCaseResults r = ComputeLoadCases(p);
    EXPECT_TRUE(r.Messages.empty());
    EXPECT_FALSE(r.SlopeAdjusted);
    EXPECT_FALSE(r.SeismicUndefined);
    EXPECT_EQ(r.KaStatic, 0.0f);
    EXPECT_EQ(r.KaeIncrement, 0.0f);
    EXPECT_EQ(r.SeismicForce[14], 0.0f);
    for (const auto& f : SoilForces(p, r))
        EXPECT_EQ(MomentAboutToe(f), 0.0);
}

// Default wall: H = 6, L = 6.8, yTop = 10, shelf at 4, q = 1, gs = 1.7, gsat = 1.9, gw = 1,
// phi = delta = 30. Level: Ka = 0.297173, Ka cos(delta) = 0.257359. Slope 1 : 3: i = 18.435 deg,
// Ka = 0.406446, L tan i = 2.26667, p0 = q Ka cos(delta) / cos i.
// Upper trapezoid from p0 at the surface to p1 at the water table (depth hd), lower one to p2 at
// the shelf; level = foot + h (2 top + bottom) / (3 (top + bottom)); vertical = (F1 + F2) tan 30.
TEST(SoilDiagram, OrdinatesLevelsAndForces)
{
    struct Row {
        const char* Name;
        float Slope, BackWaterDepth;
        double P0, P1, P2, Level1, Level2, Vertical, Maximum;
    };
    const Row rows[] = {
        // wet: hd = 1.5, hw = 4.5
        { "level, wet", 0.0f, 1.5f, 0.257359313, 0.913625561, 1.955930778, 9.109890110, 5.977578475,
            4.234714354, 1.955930778 },
        // dry: hd = H = 6, one trapezoid, p2 = 0 at the shelf
        { "level, dry", 0.0f, 6.0f, 0.257359313, 2.882424304, 0.0, 6.163934426, 4.0, 5.438264750,
            2.882424304 },
        { "1:3, wet", 3.0f, 1.5f, 0.371032789, 2.624958801, 4.050528871, 9.911047407, 6.089835289,
            11.929383363, 4.050528871 },
    };
    for (const Row& c : rows) {
        SCOPED_TRACE(c.Name);
        Project p = DefaultWall();
        p.BackfillSlope = c.Slope;
        p.BackWaterDepth = c.BackWaterDepth;
        const LoadCaseResults r = ComputeLoadCases(p);
        ExpectStored(r.SoilPressure[0], c.P0, "p0");
        ExpectStored(r.SoilPressure[1], c.P1, "p1");
        ExpectStored(r.SoilPressure[2], c.P2, "p2");
        ExpectStored(r.SoilLevel[2], c.Level2, "level 2");
        ExpectStored(r.SoilPressureMax, c.Maximum, "max");
        // Both horizontal forces push towards the toe and overturn; the wall friction resists.
        const auto f = SoilForces(p, r);
        const double upper
            = (c.BackWaterDepth < 6 ? c.BackWaterDepth : 6.0) + (c.Slope > 0 ? 6.8 / c.Slope : 0.0);
        const double lower = c.BackWaterDepth < 6 ? 6.0 - c.BackWaterDepth : 0.0;
        ExpectStored(f[0].Horizontal, -(c.P0 + c.P1) / 2 * upper, "F1");
        ExpectStored(f[1].Horizontal, -(c.P1 + c.P2) / 2 * lower, "F2");
        ExpectStored(MomentAboutToe(f[0]), -(c.P0 + c.P1) / 2 * upper * c.Level1, "F1 moment");
        ExpectStored(MomentAboutToe(f[2]), c.Vertical * 8.3, "friction moment");
        ExpectStored(std::tan(30 * Deg) * -(f[0].Horizontal + f[1].Horizontal), c.Vertical,
            "friction = (F1 + F2) tan delta");
    }
}

// Level default wall: Kae(30, 30, 0, 0, atan 0.15) = 0.417982, increment 0.120809.
// Ordinate 14 = 6 x 0.120809 x 1.7 x cos 30 = 1.067163 at the top, force 6 x 1.067163 / 2 at
// 10 - 6/3 = 8; ordinate 15 = 4.5 x 0.120809 x 0.2 x cos 30 = 0.094161, force 4.5 x 0.094161/2
// at 4 + 3 = 7; vertical 18 = (3.201488 + 0.211863) tan 30 = 1.970700 at 8.3.
// Westergaard on 8.5 of front water: 7/8 x 0.15 x 8.5 = 1.115625, 7/12 x 0.15 x 8.5^2 = 6.321875
// at 3.4.
TEST(SeismicCase, DefaultWallByHand)
{
    Project p = DefaultWall();
    LoadCaseResults r = ComputeLoadCases(p);
    ExpectStored(r.KaeIncrement, 0.120809166, "increment");
    ExpectStored(r.KaeIncrementCopy, 0.120809166, "copy");
    ExpectStored(r.SeismicForce[16], 1.115625, "Westergaard ordinate");
    // Pieces: kh x weight; below the water table the soil shakes saturated:
    // 10: 4.5^2/6 x 0.9/2 x 1.9 x 0.15, 11: 4.5 x 5.9 x 1.9 x 0.15.
    ExpectStored(r.SeismicForce[10], 0.432843750, "piece 10 saturated");
    ExpectStored(r.SeismicForce[11], 7.566750, "piece 11 saturated");
    const auto f = SeismicForces(p, r);
    ASSERT_EQ(f.size(), 17u);
    ExpectStored(f[0].Horizontal, -0.15 * 7.2, "piece 1 towards the toe");
    ExpectStored(MomentAboutToe(f[0]), -0.15 * 7.2 * 7.0, "piece 1 overturns");
    ExpectStored(f[13].Horizontal, -3.201488486, "F14");
    ExpectStored(MomentAboutToe(f[13]), -3.201488486 * 8.0, "F14 moment");
    ExpectStored(f[14].Horizontal, -0.211863209, "F15");
    ExpectStored(MomentAboutToe(f[14]), -0.211863209 * 7.0, "F15 moment");
    ExpectStored(MomentAboutToe(f[15]), -6.321875 * 3.4, "front water moment");
    ExpectStored(f[16].Vertical, 1.970699520, "F18 downward");
    ExpectStored(MomentAboutToe(f[16]), 1.970699520 * 8.3, "F18 resists");
}

// With a 1 : 3 backfill the increment acts over the virtual back from the surface at xRear,
// L tan i + H = 2.26667 + 6 = 8.26667 high: force 8.26667 x ordinate / 2 at
// 10 + 2.26667 - 8.26667/3 = 9.51111. Kae = 0.718141, Ka = 0.406446, increment 0.311695.
TEST(SeismicCase, IncrementActsOverTheVirtualBack)
{
    Project p = DefaultWall();
    p.BackfillSlope = 3.0f;
    LoadCaseResults r = ComputeLoadCases(p);
    ExpectStored(r.KaeIncrement, 0.311694692, "increment");
    ExpectStored(r.SeismicForce[14], 3.793493865, "ordinate");
    ExpectStored(r.SeismicLevel[14], 9.511111111, "level");
    const auto f = SeismicForces(p, r);
    ExpectStored(f[13].Horizontal, -15.679774643, "F14");
    ExpectStored(r.SeismicForce[18], 9.368312987, "vertical from the same F14");
}

struct Piece {
    int k;
    double weight, x, y;
};

// Default wall: toe 1 x 1, top 0.5, offset 0.9, shelf 5.9, H = 6 from the shelf at 4 to the
// top at 10, bottom 3, slopes 1.4 x 2 each, flat 1.5; gc 2.4, gs 1.7, gsat 1.9, gw 1.
// Wet: the water table 1.5 below the top meets the face 1.5/6 x 0.9 = 0.225 behind its top.
const Piece WetPieces[] = {
    { 1, 7.2, 1.25, 7 }, // 6 x 0.5 x 2.4
    { 2, 6.48, 1.8, 6 }, // 0.9 x 6/2 x 2.4 at 1.5 + 0.9/3
    { 4, 28.8, 2.5, 2 }, // 3 x 4 x 2.4
    { 5, 3.36, 4.0 + 1.4 / 3, 4.0 / 3 }, // 1.4 x 2/2 x 2.4
    { 6, 2.4, 0.5, 0.5 },
    { 8, 0.286875, 1.65, 9.5 }, // 0.225 x 1.5/2 x 1.7
    { 9, 16.76625, 5.0125, 9.25 }, // (6.8 - 0.225) x 1.5 x 1.7 at 8.3 - 6.575/2
    { 10, 1.366875, 2.175, 7 }, // 0.675 x 4.5/2 x 0.9 at 2.4 - 0.675/3
    { 11, 23.895, 5.35, 6.25 }, // 4.5 x 5.9 x 0.9
    { 12, 13.92, 5.45, 3 }, // 2.9 x 2 x 2.4
    { 13, 3.36, 6.9 + 1.4 / 3, 2.0 + 4.0 / 3 },
};

const Piece DryPieces[] = {
    { 8, 4.59, 2.1, 8 }, // 0.9 x 6/2 x 1.7 at 1.5 + 0.6
    { 9, 60.18, 5.35, 7 }, // 5.9 x 6 x 1.7
    { 10, 0, 2.4, 2 },
    { 11, 0, 5.35, 2 },
};

void ExpectPieces(const LoadCaseResults& r, const Piece* begin, const Piece* end, const char* tag)
{
    for (const Piece* c = begin; c != end; ++c) {
        const std::string what = std::string(tag) + " piece " + std::to_string(c->k);
        ExpectStored(r.DeadForce[c->k], c->weight, what + " weight");
        ExpectStored(r.DeadArm[c->k], c->x, what + " x");
        ExpectStored(r.SeismicLevel[c->k], c->y, what + " y");
    }
}

TEST(DeadLoads, DefaultWallWetAndDry)
{
    Project p = DefaultWall();
    ExpectPieces(ComputeLoadCases(p), std::begin(WetPieces), std::end(WetPieces), "wet");
    p.BackWaterDepth = 6.0f; // at the shelf: dry
    ExpectPieces(ComputeLoadCases(p), std::begin(DryPieces), std::end(DryPieces), "dry");
}

TEST(DeadLoads, RearStepAndSlopedBackfill)
{
    Project p = DefaultWall();
    p.UpperBackHeight = 5; // 9 + 1 = 5 + 1 + 2 + 2
    p.RearStepHeight = 1;
    p.BackfillSlope = 3;
    p.BackWaterDepth = 5;
    const auto r = ComputeLoadCases(p);
    const Piece expected[] = {
        { 1, 6.0, 1.25, 7.5 }, // 5 x 0.5 x 2.4 above the shelf at 5
        { 3, 17.52, 4.65, 4.5 }, // 7.3 x 1 x 2.4
        { 7, 6.8 * 6.8 / 3 / 2 * 1.7, 1.5 + 2 * 6.8 / 3, 10 + 6.8 / 3 / 3 }, // wedge 6.8 by 2.267
        { 9, 5.9 * 5 * 1.7, 5.35, 7.5 },
    };
    ExpectPieces(r, std::begin(expected), std::end(expected), "step");
    EXPECT_TRUE(r.Messages.empty());
}

// Default wall, front water 1.5 below the top: 8.5 deep in front, 7.5 over the toe.
// Back water at depth d: head yTop - d = 10 - d at the bottom, 10 - 2 - d at the top of the
// lower slope, 10 - 4 - d at the top of the rear slope. Trapezoid centroids from the lower end:
// w (pa + 2 pb) / (3 (pa + pb)); a slope crossed by the water table is wet over
// head / rise x run, its triangle acting at a third of that from its foot. The arms are checked
// through the moments of the forces they place.
TEST(WaterOrdinates, OrdinatesArmsAndForces)
{
    struct Row {
        const char* Name;
        float BackDepth;
        float Step; // a rear step this high under a shorter upper back
        double P[8]; // ordinates 1..7 (0 unused)
        double Level1, Arm3, Arm5, Arm7;
        double Triangle; // the shelf water's triangle over the leaning face, hw/H x 0.9 / 2
        double Uplift[4]; // flat bottom, lower slope, flat segment, rear slope
    };
    const Row rows[] = {
        // A rear step of 1 under an upper back of 5: 3.5 of water over the shelf on a triangle
        // 3.5/5 x 0.9 = 0.63 wide (centroid 0.21 + 5.9 from the rear end) and a rectangle 5.9;
        // the rear slope's head 1 + 5 - 1.5 = 4.5 includes the step.
        { "rear step", 1.5f, 1, { 0, 8.5, 8.5, 3.5, 8.5, 6.5, 7.5, 4.5 }, 8.5 / 3,
            8.3 - (6.11 * 0.315 + 5.9 * 5.9 / 2) / 6.215, 4.668888889, 7.557575758, 0.315,
            { 34, 10.5, 9.75, 7.7 } },
        // Water table 1 above the bottom crosses the lower slope: wet 1/2 x 1.4 = 0.7.
        { "crossing the lower slope", 9.0f, 0, { 0, 1, 8.5, 0, 1, 0, 7.5, 0 }, 1.0 / 3, 0,
            4.0 + 0.7 / 3, 0, 0, { 4, 0.35, 0, 0 } },
        // Water table 3 above the bottom crosses the rear slope: wet 1/2 x 1.4 = 0.7.
        { "crossing the rear slope", 7.0f, 0, { 0, 3, 8.5, 0, 3, 1, 7.5, 0 }, 1.0, 0,
            4.0 + 1.4 * 5 / 12, 6.9 + 0.7 / 3, 0, { 12, 2.8, 1.5, 0.35 } },
    };
    for (const Row& c : rows) {
        SCOPED_TRACE(c.Name);
        Project p = DefaultWall();
        p.BackWaterDepth = c.BackDepth;
        p.RearStepHeight = c.Step;
        p.UpperBackHeight -= c.Step;
        const auto r = ComputeLoadCases(p);
        for (int k = 1; k <= WaterOrdinateCount; ++k)
            ExpectStored(r.WaterPressure[k], c.P[k], "p" + std::to_string(k));
        ExpectStored(r.WaterPressureMax, *std::max_element(c.P + 1, c.P + 8), "max");
        const auto f = WaterForces(p, r);
        const double back = 10.0 - c.BackDepth, shelf = c.P[3] * (c.Triangle + 5.9);
        ExpectStored(f[0].Horizontal, -c.P[1] * back / 2, "back water towards the toe");
        ExpectStored(MomentAboutToe(f[0]), -c.P[1] * back / 2 * c.Level1, "back water overturns");
        ExpectStored(f[1].Horizontal, 8.5 * 8.5 / 2, "front water towards the backfill");
        ExpectStored(MomentAboutToe(f[1]), 8.5 * 8.5 / 2 * 8.5 / 3, "front water resists");
        ExpectStored(f[2].Vertical, shelf, "shelf water downward");
        ExpectStored(MomentAboutToe(f[2]), shelf * c.Arm3, "shelf water moment");
        const double arms[4] = { 2.0, c.Arm5, 6.15, c.Arm7 };
        for (int j = 0; j < 4; ++j) {
            ExpectStored(f[3 + j].Vertical, -c.Uplift[j], "uplift " + std::to_string(j + 1));
            ExpectStored(MomentAboutToe(f[3 + j]), -c.Uplift[j] * arms[j],
                "uplift moment " + std::to_string(j + 1));
        }
        ExpectStored(f[7].Vertical, 7.5, "water on the toe");
        ExpectStored(MomentAboutToe(f[7]), 7.5 * 0.5, "water on the toe moment");
    }
}

TEST(AnchorHeads, PositionsAndFaceAngles)
{
    struct Row {
        const char* name;
        float lowerSlope, flat, rearSlope, edge, pitch; // widths, the rows' edge distance and pitch
        int16_t rows;
        double at[4][3]; // rows 1..3 (the three highest): x, y, face angle
    };
    const double Lower55 = std::atan(2.0 / 1.4); // 2 high over 1.4
    const double Lower45 = std::atan(2.0 / 2.0), Rear68 = std::atan(2.0 / 0.8);
    const Row rows[] = {
        // y 0.5, 2.0, 3.5; row 1 the highest. Faces that differ: lower slope 2 x 2 (45 deg),
        // rear 0.8 x 2; at P2 the face is the rear one when a flat segment follows.
        { "distinct faces", 2.0f, 1.5f, 0.8f, 0.5f, 1.5f, 3,
            { {}, { 7.5 + 0.8 * 0.75, 3.5, Rear68 }, { 6.0, 2.0, Rear68 },
                { 4.5, 0.5, Lower45 } } },
        { "no flat segment", 2.0f, 0.0f, 2.3f, 0.5f, 1.5f, 3,
            { {}, { 6.0 + 2.3 * 0.75, 3.5, std::atan(2.0 / 2.3) }, { 6.0, 2.0, Lower45 },
                { 4.5, 0.5, Lower45 } } },
        // 0.3f + 1.7f is 2.0000000596 in double precision: still the level of P2.
        { "rounding at P2", 1.4f, 1.5f, 1.4f, 0.3f, 1.7f, 3,
            { {}, { 6.9 + 1.4 * 1.7 / 2, 3.7, Lower55 }, { 5.4, 2.0, Lower55 },
                { 4.21, 0.3, Lower55 } } },
        // 0.4 + 3 x 1.2 reaches the top of the rear slope: P4.
        { "top row at P4", 1.4f, 1.5f, 1.4f, 0.4f, 1.2f, 4,
            { {}, { 8.3, 4.0, Lower55 }, { 6.9 + 1.4 * 0.8 / 2, 2.8, Lower55 },
                { 4.0 + 1.4 * 1.6 / 2, 1.6, Lower55 } } },
    };
    for (const Row& c : rows) {
        SCOPED_TRACE(c.name);
        Project p = DefaultWall();
        p.LowerSlopeWidth = c.lowerSlope;
        p.LowerFlatWidth = c.flat;
        p.RearSlopeWidth = c.rearSlope;
        p.AnchorEdgeDist = c.edge;
        p.AnchorVPitch = c.pitch;
        p.AnchorRows = c.rows;
        const auto r = ComputeLoadCases(p);
        ASSERT_EQ(r.AnchorRowCount, c.rows);
        for (int row = 1; row <= std::min<int>(c.rows, 3); ++row) {
            const std::string what = "row " + std::to_string(row);
            ExpectStored(r.Anchor[row].X, c.at[row][0], what + " x");
            ExpectStored(r.Anchor[row].Y, c.at[row][1], what + " y");
            ExpectStored(r.Anchor[row].Face, c.at[row][2], what + " face");
        }
    }
}

TEST(AnchorHeads, NeverMoreThanTheTableHolds)
{
    Project p = DefaultWall();
    p.AnchorRows = 25;
    p.AnchorVPitch = 0.1f;
    p.AnchorEdgeDist = 0;
    auto r = ComputeLoadCases(p);
    EXPECT_EQ(r.AnchorRowCount, MaxAnchorRows);
    ExpectStored(r.Anchor[MaxAnchorRows].X, 4.0, "lowest row at P1");
    ExpectStored(r.Anchor[MaxAnchorRows].Y, 0.0, "lowest row at P1");
    ExpectStored(r.Anchor[1].Y, 1.9, "highest of twenty");
    p.AnchorRows = 30;
    p.AnchorVPitch = 0; // every row at the edge distance
    r = ComputeLoadCases(p);
    EXPECT_EQ(r.AnchorRowCount, MaxAnchorRows);
}

// Each term takes the factor of its own case: the surcharge on the soil that of its type, its
// ordinate on the virtual back the soil's (f3) whatever the type, the pieces' weight f1 and
// their shaking the unfactored weight times f7. Surcharge q = 1 over L = 6.8 at 1.5 + 3.4;
// p0 = q Ka cos(delta) = 0.257359; piece 1 weighs 7.2; ordinate 14 is 1.067163 unfactored.
TEST(LoadFactors, EachTermTakesTheFactorOfItsOwnCase)
{
    struct Row {
        int16_t SurchargeType;
        float F1, F2, F3, F7;
        double Surcharge; // its vertical force
    };
    const Row rows[]
        = { { 1, 1.4f, 1.7f, 1.7f, 0.5f, 6.8 * 1.4 }, { 2, 1.4f, 1.7f, 1.7f, 0.5f, 6.8 * 1.7 },
              { 7, 1.4f, 1.7f, 1.7f, 0.5f, 6.8 * 0.5 }, { 1, 1.05f, 1, 1, 0.0f, 6.8 * 1.05 } };
    for (const Row& c : rows) {
        SCOPED_TRACE("type " + std::to_string(c.SurchargeType) + " f7 " + std::to_string(c.F7));
        Project p = DefaultWall(); // wet backfill
        p.SurchargeType = c.SurchargeType;
        const LoadFactors f = MakeLoadFactors(c.F1, c.F2, c.F3, 1, 1, 1, c.F7);
        const PointForce q = SurchargeForce(p, f);
        ExpectStored(q.Vertical, c.Surcharge, "surcharge");
        EXPECT_EQ(q.Horizontal, 0.0);
        ExpectStored(q.X, 4.9, "middle of the soil length");
        const LoadCaseResults r = ComputeLoadCases(p, f);
        ExpectStored(r.SoilPressure[0], 0.257359313 * c.F3, "p0 x f3");
        ExpectStored(r.DeadForce[1], 7.2 * c.F1, "dead load factored");
        ExpectStored(r.SeismicForce[1], 0.15 * 7.2 * c.F7, "seismic from the unfactored weight");
        ExpectStored(r.SeismicForce[14], 1.067162829 * c.F7, "increment with f7");
        if (c.F7 == 0) {
            for (const auto& s : SeismicForces(p, r))
                EXPECT_TRUE(s.Horizontal == 0 && s.Vertical == 0);
        }
    }
}

} // namespace
} // namespace pendrake
