// Stability of the wall checked against hand calculations: the sums about the toe, the base
// pressure in the middle, rear and front thirds, anchors in tension, and the window's notes.
// Then random walls within the input dialogs' limits, and the degenerate walls they never draw:
// the load cases, the stability results and the section forces stay finite, and every base
// pressure distribution carries the load it was solved for, in force and in moment.
#include "analysis/Stability.h"
#include "analysis/EarthPressure.h"
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
using pendrake::test::AddLineLoad;
using pendrake::test::WeightlessWall;

namespace {

// Sums are held in single precision: a hand value of a few hundred matches to about 1e-5.
constexpr double SumTolerance = 1e-4;
// Pressures and lengths derived from single-precision sums, relative.
constexpr double RelativeTolerance = 1e-5;
// A line load "straight down" has sin(180°) = 1.2e-16 of horizontal component: its inclination
// is zero only to this.
constexpr double InclinationTolerance = 1e-12;

const double Pi = 4.0 * std::atan(1.0);

void ExpectRelative(double actual, double expected, const char* what)
{
    EXPECT_NEAR(actual, expected, RelativeTolerance * std::max(1.0, std::abs(expected))) << what;
}

// A weightless wall whose base dimensions are exact binary fractions: BaseSpan = 3 exactly, so
// a resultant at x = 1 lies exactly on the third point. Underside: flat bottom 0..2, lower slope
// to (2.25, 0.5), flat segment to (2.75, 0.5), rear slope to (3, 1).
Project ExactWall()
{
    return test::WithSection(test::WeightlessWall(),
        { 0.5f, 0.5f, 0.25f, 1.75f, 1.5f, 0.25f, 0.5f, 0.25f, 0.5f, 2.5f, 2.0f, 0, 0.5f, 0.5f });
}

// Four anchor rows on the exact wall at heights 0.25, 0.5, 0.75 and 1.0: heads at x = 2.125,
// 2.25, 2.875 and 3.0 (the last two on the rear slope).
void AddFourAnchorRows(Project& p)
{
    p.AnchorRows = 4;
    p.AnchorEdgeDist = 0.25f;
    p.AnchorVPitch = 0.25f;
}

bool Contains(const std::vector<std::string>& texts, std::string_view text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

} // namespace

// A line load's direction runs clockwise from straight up, and its case's factor scales it.
TEST(StabilitySums, LineLoadsEnterWithTheirSignsAndCases)
{
    struct Case {
        float direction;
        // Per unit load: downward positive, the moment about the toe for a load at (2, 3).
        double horizontal, vertical, moment;
    };
    // Towards the backfill at height 3 resists overturning (+F y); towards the toe overturns
    // (-F y); a downward load at x = 2 resists (+W x); an upward one overturns (-W x).
    const Case cases[] = {
        { 90.0f, 1.0, 0.0, 3.0 },
        { 270.0f, -1.0, 0.0, -3.0 },
        { 180.0f, 0.0, 1.0, 2.0 },
        { 0.0f, 0.0, -1.0, -2.0 },
    };
    LoadFactors factors;
    factors.Factor[6] = 1.5f; // 5 of case 6 acts as 7.5
    for (const Case& c : cases) {
        SCOPED_TRACE(c.direction);
        Project p = WeightlessWall();
        AddLineLoad(p, 5.0f, 2.0f, 3.0f, c.direction, 6);
        AddLineLoad(p, 10.0f, 4.0f, 0.0f, 180.0f, 1); // keeps the wall on its base
        const PointForce f = LineLoadForce(p, factors, 1);
        EXPECT_NEAR(f.Horizontal, 7.5 * c.horizontal, SumTolerance);
        EXPECT_NEAR(f.Vertical, 7.5 * c.vertical, SumTolerance);
        EXPECT_NEAR(MomentAboutToe(f), 7.5 * c.moment, SumTolerance);
        EXPECT_EQ(LineLoadForce(p, factors, 3).Vertical, 0.0) << "slot beyond the count";
        const StabilityResults r = ComputeStability(p);
        EXPECT_NEAR(r.CaseHorizontal[6], 5 * c.horizontal, SumTolerance);
        EXPECT_NEAR(r.CaseVertical[6], 5 * c.vertical, SumTolerance);
        EXPECT_NEAR(r.CaseMoment[6], 5 * c.moment, SumTolerance);
        EXPECT_NEAR(r.TotalMoment, 5 * c.moment + 40.0, SumTolerance);
        EXPECT_NEAR(r.TotalVertical, 5 * c.vertical + 10.0, SumTolerance);
    }
}

// The surcharge joins the case it is given: q = 1 over the soil length 6.8, at 1.5 + 3.4 from
// the toe; the live case, the surcharge's usual one, stays empty.
TEST(StabilitySums, SurchargeEntersItsOwnCase)
{
    for (const int16_t type : { 1, 5 }) {
        SCOPED_TRACE(type);
        Project p = WeightlessWall();
        p.Surcharge = 1;
        p.SurchargeType = type;
        const StabilityResults r = ComputeStability(p);
        // 1 per unit over the soil length 6.8, centred 0.5 + 1.0 + 6.8 / 2 = 4.9 from the toe.
        EXPECT_NEAR(r.CaseVertical[type], 6.8, SumTolerance);
        EXPECT_NEAR(r.CaseMoment[type], 6.8 * 4.9, SumTolerance);
        EXPECT_EQ(r.CaseVertical[2], 0.0f);
    }
}

TEST(StabilityThirds, PressureFollowsTheResultantAcrossTheThirds)
{
    struct ThirdsCase {
        const char* name;
        float x; // where the 10-unit vertical load crosses the base
        BasePressureCase pressureCase;
        // c, the pressures at u = 0 (or the zone's toe end) and at the zone's far end, and where
        // the compressed zone begins.
        double compressed, toeEnd, farEnd, zoneStart;
    };
    const ThirdsCase rows[] = {
        // d = Bp/3 exactly is full compression: 2V/B at the toe, 0 at the rear.
        { "FrontThirdPoint", 1.0f, BasePressureCase::FullCompression, 3.0, 20.0 / 3, 0.0, 0 },
        { "RearThirdPoint", 2.0f, BasePressureCase::FullCompression, 3.0, 0.0, 20.0 / 3, 0 },
        // Front third without anchors: c = 3d, toe pressure 2V/c.
        { "FrontThird", 0.75f, BasePressureCase::FrontTriangle, 2.25, 20.0 / 2.25, 0.0, 0 },
        // Rear third: the triangle ends at the rear, c = 3 (Bp - d), peak 2V/c.
        { "RearThird", 2.4f, BasePressureCase::RearTriangle, 1.8, 0.0, 20.0 / 1.8, 1.2 },
    };
    for (const ThirdsCase& t : rows) {
        SCOPED_TRACE(t.name);
        Project p = ExactWall();
        AddLineLoad(p, 10.0f, t.x, 0.0f, 180.0f);
        const StabilityResults r = ComputeStability(p);
        ASSERT_TRUE(r.BaseSolved);
        EXPECT_TRUE(r.Stable);
        EXPECT_NEAR(r.ResultantInclination, 0.0, InclinationTolerance);
        EXPECT_EQ(r.EffectiveBaseLength, 3.0f);
        EXPECT_EQ(r.PressureCase, t.pressureCase);
        ExpectRelative(r.CompressedLength, t.compressed, "c");
        ExpectRelative(r.PressureToeEnd, t.toeEnd, "PressureToeEnd");
        ExpectRelative(r.PressureFarEnd, t.farEnd, "PressureFarEnd");
        ExpectRelative(ProjectedPressure(r, t.zoneStart + 1e-9),
            t.pressureCase == BasePressureCase::RearTriangle ? 0.0 : t.toeEnd,
            "pressure at zone start");
        // The smallest pressure is exactly the zero of the triangle or trapezoid, never a
        // rounding residue below it.
        EXPECT_GE(r.BasePressureMin, 0.0f);
        if (t.pressureCase == BasePressureCase::FrontTriangle) {
            // c = 2.25 ends exactly at the top of the lower slope: the flat segment and the
            // rear slope carry nothing, and the smallest pressure is exactly 0.
            EXPECT_EQ((std::array { r.BasePressureMin, r.SegmentPressureEnd[2],
                          r.SegmentPressureStart[3], r.SegmentPressureEnd[4], r.SegmentForce[3] }),
                (std::array<float, 5> {}));
            EXPECT_TRUE(StabilityNotes(p, r).empty());
        }
    }
}

TEST(StabilityBase, BearingAndSlidingPerSegmentMatchHandValues)
{
    // Uniform projected pressure 10/3 from V = 10 at the centre. Flat segments: no shear.
    // Sloping segments (rise 0.5 over 0.25, alpha = atan 2): normal q cos² a = q/5, shear
    // q sin a cos a = 2q/5, resistance c + q cos² a tan(20°) with c = 18 kg/cm² = 180 T/m² and
    // the base's own friction angle, not the backfill's 30°.
    Project p = ExactWall();
    p.BasePhi = 20;
    AddLineLoad(p, 10.0f, 1.5f, 0.0f, 180.0f);
    const StabilityResults r = ComputeStability(p);
    const double q = 10.0 / 3, shear = 2 * q / 5, resistance = 180.0 + q / 5 * std::tan(Pi / 9);
    ExpectRelative(r.SegmentPressureStart[2], q / 5, "normal pressure on the slope");
    ExpectRelative(r.SlidingShear, shear, "SlidingShear");
    ExpectRelative(r.SlidingResistance, resistance, "SlidingResistance");
    ExpectRelative(r.SlidingSafetyMin, resistance / shear, "SlidingSafetyMin");
    EXPECT_TRUE(IsInfiniteSafety(r.SegmentSlidingSafety[1]));
    // Allowable bearing min(qd, f'c) = 10 kg/cm² = 100 T/m² against q on the flat bottom.
    ExpectRelative(r.BearingSafetyMin, 100.0 / q, "BearingSafetyMin");
    ExpectRelative(r.BasePressureMax, q, "BasePressureMax");
    ExpectRelative(r.BasePressureMin, q / 5, "BasePressureMin");
    // Tangential force of the lower slope: sin a x projected length 0.25 x q.
    ExpectRelative(r.SegmentForce[2], std::sin(std::atan(2.0)) * 0.25 * q, "SegmentForce");
    // A base stronger than the concrete: f'c = 300 kg/cm² = 3000 T/m² governs.
    p.BaseQd = 400;
    ExpectRelative(ComputeStability(p).SegmentBearingSafety[1], 3000.0 / q, "f'c governs");
}

TEST(StabilityAnchors, RowsGoIntoTensionInOrderOfLeverAndBalanceTheLoad)
{
    // Front third (d = 0.75) with four rows: the two on the rear slope (x 2.875 and 3.0) lie
    // beyond c = 2.25 of the unanchored triangle and pull the rear down.
    Project p = ExactWall();
    AddFourAnchorRows(p);
    AddLineLoad(p, 10.0f, 0.75f, 0.0f, 180.0f);
    const StabilityResults r = ComputeStability(p);
    ASSERT_TRUE(r.BaseSolved);
    ASSERT_EQ(r.PressureCase, BasePressureCase::FrontTriangle);
    ASSERT_EQ(r.Loads.AnchorRowCount, 4);
    // The anchors hold the rear down: the reaction moves back and the compressed zone grows
    // beyond the unanchored 3d = 2.25, but stays short of the active rows.
    const double c = r.CompressedLength;
    EXPECT_GT(c, 2.25);
    // The longest lever is the highest row's, at x = 3; active rows lie beyond c, the rest not.
    EXPECT_NEAR(r.AnchorLever[1], 3.0, 1e-6);
    // Springs: base modulus 1, anchor E 21, bar 2 cm, pitch 1.5 -> kappa = 21 x pi/4 x 0.02² / 1.5.
    const double kappa = 21.0 * Pi / 4 * 0.02 * 0.02 / 1.5, p0 = r.PressureToeEnd;
    double pull = 0, pullMoment = 0;
    for (int i = 1; i <= 4; ++i) {
        const AnchorRow& a = r.Loads.Anchor[r.AnchorLeverRow[i]];
        const double lever = r.AnchorLever[i];
        const double t = a.Along * std::cos(a.Face) + a.Across * std::sin(a.Face); // along psi = 0
        if (i <= r.AnchorActiveCount) {
            EXPECT_GT(lever, c);
            ExpectRelative(t, kappa * p0 * (lever - c) / c, "spring law");
        } else {
            EXPECT_LE(lever, c);
            EXPECT_EQ(t, 0.0);
        }
        pull += t;
        pullMoment += t * lever;
    }
    // Equilibrium on the base: pressure = load + anchor pull, in force and in moment about the toe.
    ExpectRelative(p0 * c / 2 - pull, 10.0, "force balance");
    ExpectRelative(p0 * c * c / 6 - pullMoment, 10.0 * 0.75, "moment balance");
    ExpectRelative(r.AnchorForceTotal, pull, "anchors' resultant");
    ExpectRelative(r.AnchorForceMoment, pullMoment, "anchors' moment");
    EXPECT_TRUE(r.Stable);
    // The most stressed anchor: pitch x force along it, over the bar area; yield 2400 kg/cm².
    const AnchorRow& top = r.Loads.Anchor[1];
    const double area = Pi / 4 * 0.02 * 0.02;
    ExpectRelative(r.AnchorTensionMax, 1.5 * top.Along, "AnchorTensionMax");
    ExpectRelative(r.AnchorTensionStress, 1.5 * top.Along / area, "AnchorTensionStress");
    ExpectRelative(r.AnchorTensionSafety, 24000.0 / std::abs(1.5 * top.Along / area), "safety");
    ExpectRelative(r.AnchorShearSafety, 9600.0 / std::abs(1.5 * top.Across / area), "shear safety");
}

TEST(StabilityAnchors, ZeroBaseModulusOnlyMattersWhereAnchorsMustAct)
{
    struct Case {
        const char* name;
        float x;
        int16_t rows;
        bool stable, message;
    };
    const Case cases[] = {
        { "middle third, anchors placed", 1.5f, 4, true, false },
        { "front third, no anchor rows", 0.75f, 0, true, false },
        // Only the two low rows (x 2.125 and 2.25): both inside c = 2.4, so they never act.
        { "front third, anchors inside the compressed zone", 0.8f, 2, true, false },
        { "front third, anchors beyond the compressed zone", 0.75f, 4, false, true },
    };
    for (const Case& c : cases) {
        Project p = ExactWall();
        AddFourAnchorRows(p);
        p.AnchorRows = c.rows;
        p.BaseE = 0;
        AddLineLoad(p, 10.0f, c.x, 0.0f, 180.0f);
        const StabilityResults r = ComputeStability(p);
        EXPECT_EQ(r.Stable, c.stable) << c.name;
        EXPECT_EQ(Contains(r.Messages, SoftBaseMessage), c.message) << c.name;
        EXPECT_TRUE(std::isfinite(r.PressureToeEnd) && std::isfinite(r.CompressedLength)) << c.name;
        if (c.stable) {
            EXPECT_EQ(r.AnchorActiveCount, 0) << c.name;
        } else {
            EXPECT_EQ(
                StabilityNotes(p, r), std::vector<std::string> { std::string(NotStableNote) });
        }
    }
}

// Each wall the base cannot carry is unstable, with finite results, the note that says so and,
// where the cause has one, its message once, even after a second run of the same command.
TEST(StabilityUnstable, WallsTheBaseCannotCarryNameTheirCause)
{
    struct Row {
        const char* Name;
        Project Wall;
        std::vector<std::array<float, 3>> Loads; // load, x, direction; all at y = 0
        std::string_view Message; // empty: none expected
    };
    Project pitchless = ExactWall();
    AddFourAnchorRows(pitchless);
    pitchless.AnchorHPitch = 0;
    Project weakFill = MakeNewProject("Arial");
    // theta = atan(0.15) = 8.5° above phi = 5°: no slope gives a seismic earth pressure.
    weakFill.FillPhi = weakFill.DeltaEarth = 5.0f;
    const Row rows[] = {
        { "no vertical force", WeightlessWall(), {}, NoVerticalLoadMessage },
        // A line load of no number (a damaged file): the base is never solved with it.
        { "a load of no number", ExactWall(), { { 10, 1.5f, 180 }, { std::nanf(""), 1, 90 } },
            UndefinedLoadMessage },
        // Anchor rows of no pitch where the anchors would have to act.
        { "anchors of no pitch", pitchless, { { 10, 0.75f, 180 } }, AnchorStiffnessMessage },
        // An upward net force on a resultant that would otherwise cross the middle of the base.
        { "net uplift", ExactWall(), { { 10, 1.5f, 0 } }, UpliftMessage },
        // Behind the rear end the rear triangle would have a negative length; in front of the
        // toe without anchors nothing holds the wall down.
        { "behind the rear end", ExactWall(), { { 10, 3.2f, 180 } }, {} },
        { "in front of the toe", ExactWall(), { { 10, -0.2f, 180 } }, {} },
        // Pushed towards the toe, the resultant leans by psi and the high rear of the underside
        // projects short of x cos psi: crossing y = 0 inside BaseSpan, it still passes behind
        // the projected base and must not be carried by a negative triangle.
        { "leaning behind the projected rear end", WeightlessWall(),
            { { 30, 7.9f, 180 }, { 12, 7.9f, 270 } }, {} },
        { "seismic pressure undefined", weakFill, {}, SeismicUndefinedMessage },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Project p = row.Wall;
        for (const auto& [load, x, direction] : row.Loads)
            AddLineLoad(p, load, x, 0.0f, direction);
        StabilityResults r = ComputeStability(p);
        r = ComputeStability(p);
        EXPECT_FALSE(r.Stable);
        // Only a wall without a seismic pressure may have had its base solved.
        EXPECT_TRUE(!r.BaseSolved || row.Message == SeismicUndefinedMessage);
        for (const float v :
            { r.ResultantX, r.MidbaseEccentricity, r.MidbaseMoment, r.ResultantInclination,
                r.PressureToeEnd, r.PressureFarEnd, r.BasePressureMax, r.AnchorTensionStress })
            EXPECT_TRUE(std::isfinite(v));
        EXPECT_EQ(std::count(r.Messages.begin(), r.Messages.end(), row.Message),
            row.Message.empty() ? 0 : 1);
        EXPECT_EQ(StabilityNotes(p, r), std::vector<std::string> { std::string(NotStableNote) });
    }
    // With no vertical force the resultant lies flat; without the earthquake the weak fill
    // stands on its base, the message still given.
    EXPECT_NEAR(ComputeStability(WeightlessWall()).ResultantInclination, Pi / 2, 1e-6);
    LoadFactors still;
    still.Factor[7] = 0;
    const StabilityResults calm = ComputeStability(weakFill, still);
    EXPECT_TRUE(calm.BaseSolved);
    EXPECT_TRUE(calm.Loads.SeismicUndefined && Contains(calm.Messages, SeismicUndefinedMessage));
}

TEST(StabilityNotesTable, NotesAppearInOrderUnderTheirConditions)
{
    struct NotesCase {
        const char* name;
        bool stable;
        float pressureMin, bearing, sliding;
        int16_t anchorRows;
        float tension, tensionSafety, shearSafety;
        std::vector<std::string_view> notes;
    };
    const NotesCase rows[] = {
        { "Unstable", false, -1, 0.5f, 0.5f, 3, 1, 0.5f, 0.5f, { NotStableNote } },
        { "AllRemarks", true, -0.1f, 0.5f, 0.5f, 3, 2, 0.5f, 0.5f,
            { BaseTensionNote, BearingNote, SlidingNote, AnchorTensionNote, AnchorShearNote } },
        { "ExactlyUnity", true, 0, 1, 1, 3, 2, 1, 1, {} },
        { "ZeroSafetyIsLessThanUnity", true, 0, 0, 0, 0, 0, 1e5f, 1e5f,
            { BearingNote, SlidingNote } },
        { "UnformedNegativeSafety", true, 0, -2e-5f, -3e-5f, 0, 0, 1e5f, 1e5f, {} },
        { "NoAnchorTension", true, 0, 2, 2, 3, 0, 1e5f, 1e5f, { NoAnchorTensionNote } },
        { "NoAnchorRows", true, 0, 2, 2, 0, 0, 1e5f, 1e5f, {} },
        { "ShearOnly", true, 0, 2, 2, 3, -1, 3, 0.9f, { AnchorShearNote } },
    };
    for (const NotesCase& t : rows) {
        SCOPED_TRACE(t.name);
        Project p = MakeNewProject("Arial");
        p.AnchorRows = t.anchorRows;
        StabilityResults r;
        r.Stable = t.stable;
        r.BasePressureMin = t.pressureMin;
        r.BearingSafetyMin = t.bearing;
        r.SlidingSafetyMin = t.sliding;
        r.AnchorTensionMax = t.tension;
        r.AnchorTensionSafety = t.tensionSafety;
        r.AnchorShearSafety = t.shearSafety;
        const std::vector<std::string> expected(t.notes.begin(), t.notes.end());
        EXPECT_EQ(StabilityNotes(p, r), expected);
    }
}

// A rectangular gravity wall 2.5 wide and 5 high of 2.4 T/m³ against a dry, level backfill of
// 1.8 T/m³ with phi 30° and delta 20°. By hand: W = 2.5 x 5 x 2.4 = 30 at 1.25, 37.5 resisting;
// Coulomb Ka = cos²30 / (cos 20 (1 + sqrt(sin 50 sin 30 / cos 20))²) = 0.29731, Pa = Ka 1.8 x 25 /
// 2 = 6.6895, its horizontal part 6.2861 at 5/3 tips the wall by 10.477, its vertical part 2.2879
// at 2.5 holds it by 5.720: 43.220 / 10.477 = 4.125.
TEST(StabilityOverturning, RectangularGravityWallAsWorkedByHand)
{
    Project p = test::WithSection(
        test::ConcreteOnly(), { 0, 2.5f, 0, 0, 2.5f, 0, 0, 0, 0, 5, 5, 0, 0, 0 });
    p.FillUnitWeight = p.FillDryDensity = 1.8f;
    p.DeltaEarth = p.DeltaConcrete = 20;
    ASSERT_NEAR(WidthChainGap(p), 0, 1e-6);
    ASSERT_NEAR(HeightChainGap(p), 0, 1e-6);
    const double c20 = std::cos(Radians(20));
    const double ka = std::pow(std::cos(Radians(30)), 2)
        / (c20 * std::pow(1 + std::sqrt(std::sin(Radians(50)) * std::sin(Radians(30)) / c20), 2));
    const double pa = ka * 1.8 * 25 / 2, resisting = 30 * 1.25 + pa * std::sin(Radians(20)) * 2.5;
    const double overturning = pa * std::cos(Radians(20)) * 5 / 3;
    const StabilityResults r = ComputeStability(p);
    ExpectRelative(r.ResistingMoment, resisting, "resisting");
    ExpectRelative(r.OverturningMoment, overturning, "overturning");
    EXPECT_NEAR(r.OverturningSafety, 4.125, 0.001);
    // The net moment is what the sums about the toe already hold.
    ExpectRelative(double(r.ResistingMoment) - r.OverturningMoment, r.TotalMoment, "net");
}

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
    double Force = 0, Moment = 0;
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
        { "sloping segments of no rise",
            [](Project& p) {
                p.LowerSlopeHeight = 0;
                p.RearSlopeHeight = 4;
            } },
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
