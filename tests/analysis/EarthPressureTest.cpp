// Earth pressure of the backfill: Coulomb and Mononobe-Okabe against textbook values and
// identities, the flattening of steep backfill slopes, and the soil and seismic cases worked by
// hand on the default wall.
#include "analysis/EarthPressure.h"
#include "analysis/LoadCases.h"
#include "model/Project.h"
#include "support/Walls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
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

void ExpectStored(double actual, double expected, const char* what)
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
        { "Rankine level, phi 40", 40, 0, 0, 0, (1 - std::sin(40 * Deg)) / (1 + std::sin(40 * Deg)),
            CoefficientTolerance },
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
        const double theta = std::atan(c.kh);
        const double beta = c.beta * Deg;
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
        { "1:3 passes both", 30, 3.0f, 0.15f, 3.0f, false, false },
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
        EXPECT_EQ(p.BackfillSlope, c.Slope) << "the record stays as it was";
        EXPECT_EQ(HasMessage(r, StaticSlopeMessage), c.StaticMessage);
        EXPECT_EQ(HasMessage(r, SeismicSlopeMessage), c.SeismicMessage);
        EXPECT_EQ(r.Messages.size(), size_t(c.StaticMessage) + size_t(c.SeismicMessage));
        EXPECT_EQ(r.SlopeAdjusted, c.StaticMessage || c.SeismicMessage);
        const double i = c.Flattened > 0 ? std::atan(1.0 / double(c.Flattened)) : 0.0;
        ExpectStored(r.BackfillSlopeAngle, i, c.Name);
        EXPECT_FALSE(r.SeismicUndefined);
    }
}

TEST(SlopeCheck, FlatteningRunEqualsASecondRunOnTheFlattenedRecord)
{
    Project first = DefaultWall();
    first.BackfillSlope = 1.0f; // flattened twice: 1.8, then 2.6
    const LoadCaseResults a = ComputeLoadCases(first);
    ASSERT_TRUE(a.SlopeAdjusted);
    ASSERT_FLOAT_EQ(a.ProposedBackfillSlope, 2.6f);

    Project second = first; // the record with the proposal taken
    second.BackfillSlope = a.ProposedBackfillSlope;
    const LoadCaseResults b = ComputeLoadCases(second);
    EXPECT_TRUE(b.Messages.empty());
    EXPECT_FALSE(b.SlopeAdjusted);

    EXPECT_EQ(a.KaStatic, b.KaStatic);
    EXPECT_EQ(a.KaeIncrement, b.KaeIncrement);
    EXPECT_EQ(a.DeadForce, b.DeadForce);
    EXPECT_EQ(a.SeismicForce, b.SeismicForce);
    EXPECT_EQ(a.SoilPressure, b.SoilPressure);
    // The soil wedge (piece 7) of 1 : 2.6 weighs 6.8^2 / 2.6 / 2 x 1.7.
    ExpectStored(a.DeadForce[7], 6.8 * 6.8 / 2.6 / 2 * 1.7, "piece 7");
}

TEST(SeismicUndefined, AccelerationBeyondFrictionLeavesSlopeAndZeroesTheSoilTerms)
{
    for (float slope : { 0.0f, 2.0f }) {
        Project p = DefaultWall();
        p.BackfillSlope = slope;
        p.SeismicCoef = 0.6f; // theta = 30.96 deg > phi = 30
        LoadCaseResults r = ComputeLoadCases(p);
        EXPECT_TRUE(r.SeismicUndefined) << slope;
        EXPECT_EQ(p.BackfillSlope, slope) << "no negative or infinite slope stored";
        EXPECT_FALSE(HasMessage(r, SeismicSlopeMessage));
        EXPECT_TRUE(HasMessage(r, SeismicUndefinedMessage));
        EXPECT_EQ(r.KaeIncrement, 0.0f);
        EXPECT_EQ(r.SeismicForce[14], 0.0f);
        // the inertia of the wall itself is still defined: 0.6 x 7.2
        ExpectStored(r.SeismicForce[1], 0.6 * 7.2, "piece 1");
        ExpectStored(r.KaStatic,
            CoulombKa(30 * Deg, 30 * Deg, 0, slope > 0 ? std::atan(1.0 / slope) : 0.0),
            "static Ka");

        // A later run with a moderate coefficient is defined again.
        p.SeismicCoef = 0.15f;
        r = ComputeLoadCases(p);
        EXPECT_FALSE(r.SeismicUndefined);
        EXPECT_GT(r.SeismicForce[14], 0.0f);
    }
}

TEST(NoUpperBack, SoilAndSeismicSoilTermsAreZeroAndTheSlopeIsNotChecked)
{
    Project p = DefaultWall();
    // heights 9 + 1 = 0 + 6 + 2 + 2
    p.UpperBackHeight = 0;
    p.RearStepHeight = 6;
    p.BackfillSlope = 0.5f; // steeper than phi
    LoadCaseResults r;
    r.KaStatic = 9; // whatever an earlier run left
    r.SoilPressure = { 9, 9, 9, 9 };
    r.SeismicForce[14] = 9;
    r = ComputeLoadCases(p);

    EXPECT_EQ(p.BackfillSlope, 0.5f);
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
        ExpectStored(r.SoilLevel[1], c.Level1, "level 1");
        ExpectStored(r.SoilLevel[2], c.Level2, "level 2");
        ExpectStored(r.SoilPressure[3], c.Vertical, "vertical");
        ExpectStored(r.SoilArm[3], 8.3, "at the rear end");
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
    ExpectStored(r.SeismicForce[14], 1.067162829, "ordinate 14");
    ExpectStored(r.SeismicLevel[14], 8.0, "level 14");
    ExpectStored(r.SeismicForce[15], 0.094161426, "ordinate 15");
    ExpectStored(r.SeismicLevel[15], 7.0, "level 15");
    ExpectStored(r.SeismicForce[16], 1.115625, "Westergaard ordinate");
    ExpectStored(r.SeismicForce[17], 6.321875, "Westergaard force");
    ExpectStored(r.SeismicLevel[17], 3.4, "Westergaard level");
    ExpectStored(r.SeismicForce[18], 1.970699520, "vertical");
    ExpectStored(r.SeismicArm[18], 8.3, "vertical at the rear end");

    // Pieces: kh x weight; below the water table the soil shakes saturated:
    // 10: 4.5^2/6 x 0.9/2 x 1.9 x 0.15, 11: 4.5 x 5.9 x 1.9 x 0.15.
    ExpectStored(r.SeismicForce[1], 0.15 * 7.2, "piece 1");
    ExpectStored(r.SeismicLevel[1], 7.0, "piece 1 level");
    ExpectStored(r.SeismicForce[4], 0.15 * 28.8, "piece 4");
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

} // namespace
} // namespace pendrake
