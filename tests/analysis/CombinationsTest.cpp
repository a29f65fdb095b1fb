// The combination driver: the factor sets as the engineer tables them, the stop at the first
// unstable set, the envelope's tie rules, the service factors afterwards, and random walls run
// through the whole design without an undefined number.
#include "analysis/Combinations.h"

#include "analysis/EarthPressure.h"
#include "analysis/SectionForces.h"

#include "support/RandomWalls.h"
#include "support/Walls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

using namespace pendrake;
using pendrake::test::AddLineLoad;
using pendrake::test::ConcreteOnly;

namespace {

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

// Unless the user has set the bars, the toe's shear is taken at its effective depth over the bar
// the design chose for the toe (every set's toe shear is that of a single run with that bar: the
// last test below), and the design carries the largest of them.
TEST(CombinationRun, ToeShearIsTakenOverTheBarTheDesignChose)
{
    const CombinationResults r = RunCombinations(MakeNewProject("Arial"));
    ASSERT_TRUE(r.Stable);
    ASSERT_GT(r.ToeBarDia, 0.0f);
    EXPECT_EQ(r.ToeBarDia, r.Design.ReinDia[ToeDesignRow]);
    constexpr int Toe = 3;
    float largest = 0;
    for (int set = 1; set <= CombinationCount; ++set)
        largest = std::max(largest, std::fabs(r.ComboShear[set][Toe]));
    EXPECT_FLOAT_EQ(r.Design.ReinShear[Toe], largest);
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
        // A larger moment takes its own normal force even when that is larger.
        { "larger wins", { 0, 5, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 }, {},
            { 0, 3, 70, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3 }, 6, 70, 0, 0, 0, 0, 0, 3 },
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
    int designed = 0, cannotCarry = 0;
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
        EXPECT_TRUE(test::Finite(d.ReinHeight, d.ReinMoment, d.ReinNormal, d.ReinMomentZ,
            d.ReinNormalZ, d.ReinAs, d.ReinAsReq, d.ReinRho, d.ReinRhoReq43, d.ReinMomentCap,
            d.ReinZ, d.ReinDia, d.ReinPitch, d.ReinShear, d.ReinShearNormal, d.ReinShearCap,
            d.RhoBalanced, d.RhoMin, d.ZMax));
        for (int row = 1; row <= ReinRowCount; ++row)
            cannotCarry += d.ReinCannotCarry[row] || d.ReinZCannotCarry[row];
    }
    // The generator must reach designs, or the property proves little.
    EXPECT_GT(designed, WallCount / 10);
    RecordProperty("designed", designed);
    RecordProperty("cannotCarry", cannotCarry);
}

// The combinations form the load cases' geometry, coefficients and anchor heads once per wall
// (WallSectionBasis) and the toe's second pass rechecks only its shear; the windows and the sheet
// run the project directly. Both must agree to the last bit on every set, or the search judges
// other walls than the engineer sees: a coefficient kept from before the slope was flattened, an
// earthquake term formed where the slope has none, a toe row left at the first pass's shear.
TEST(CombinationRun, FormedOnceForTheWallEverySetIsTheDirectRunToTheLastBit)
{
    const test::WallChange walls[] = {
        { "default: water both sides, surcharge, earthquake, anchors", [](Project&) {} },
        { "slope flattened by both checks", [](Project& p) { p.BackfillSlope = 1.0f; } },
        { "no seismic pressure: sets 1..6 only", [](Project& p) { p.SeismicCoef = 0.7f; } },
        { "anchors in tension, line loads on the toe and the upper wall",
            [](Project& p) {
                p.AnchorRows = 4;
                AddLineLoad(p, 30.0f, 1.5f, 8.0f, 270.0f, 2);
                AddLineLoad(p, 5.0f, 0.5f, 1.0f, 180.0f, 1);
            } },
        { "dry, no lean, engineer's bars",
            [](Project& p) {
                p.BackWaterDepth = 20.0f;
                p.FrontWaterDepth = 20.0f;
                p.UpperBackOffset = 0;
                p.ReinUserSet = true;
            } },
    };
    // The stability sums and safeties and the three sections' forces of one run.
    const auto forces = [](const SectionForceResults& f) {
        const StabilityResults& s = f.Stability;
        return std::tie(s.Messages, s.CaseMoment, s.CaseHorizontal, s.CaseVertical,
            s.OverturningSafety, s.SlidingSafetyMin, s.BearingSafetyMin, s.AnchorTensionMax,
            f.SectionMoment, f.SectionShear, f.SectionNormal);
    };
    for (const auto& wall : walls) {
        SCOPED_TRACE(wall.Name);
        Project p = MakeNewProject("Arial");
        wall.Change(p);
        const WallStabilityBasis stability(p);
        const WallSectionBasis basis(stability);
        const StabilityResults a = ComputeStability(stability), b = ComputeStability(p);
        EXPECT_EQ(std::tie(a.TotalMoment, a.Messages), std::tie(b.TotalMoment, b.Messages));
        const CombinationResults r = RunCombinations(p, basis);
        int sets = 0;
        for (int set = 1; set <= CombinationSetCount; ++set) {
            SCOPED_TRACE(set);
            const LoadFactors f = FactorsOfSet(CombinationFactors[size_t(set)]);
            const SectionForceResults once = ComputeSectionForces(basis, f, r.ToeBarDia);
            const SectionForceResults direct = ComputeSectionForces(p, f, r.ToeBarDia);
            ASSERT_EQ(once.Stability.Stable, direct.Stability.Stable);
            if (!direct.Stability.Stable)
                break;
            ++sets;
            EXPECT_EQ(forces(once), forces(direct));
            EXPECT_EQ(r.ComboShear[size_t(set)], direct.SectionShear);
        }
        EXPECT_EQ(sets, r.Stable ? CombinationSetCount : r.UnstableCombination - 1);
        if (!r.Stable)
            continue;
        // The design a full pass forms from the final envelope.
        const auto design = [](const DesignResults& d) {
            return std::tie(d.ReinDia, d.ReinAs, d.ReinAsReq, d.ReinMomentCap, d.ReinZ, d.ReinShear,
                d.ReinShearNormal, d.ReinShearCap);
        };
        EXPECT_EQ(design(r.Design), design(DesignSections(p, r.Env)));
    }
}
