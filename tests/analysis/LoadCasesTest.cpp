// Load cases of the wall worked by hand on the default section: the 13 pieces, the water
// ordinates and their forces, the anchor heads, the surcharge and line loads.
#include "analysis/LoadCases.h"
#include "analysis/EarthPressure.h"
#include "analysis/SectionForces.h"
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

// Results are stored in single precision from float inputs (0.9f, 1.7f...): a few units in the
// seventh significant digit.
constexpr double StoredRelative = 2e-6;

void ExpectStored(double actual, double expected, const std::string& what)
{
    EXPECT_NEAR(actual, expected, StoredRelative * std::max(1.0, std::abs(expected))) << what;
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
    { 3, 0, 4.65, 4 }, // no rear step
    { 4, 28.8, 2.5, 2 }, // 3 x 4 x 2.4
    { 5, 3.36, 4.0 + 1.4 / 3, 4.0 / 3 }, // 1.4 x 2/2 x 2.4
    { 6, 2.4, 0.5, 0.5 },
    { 7, 0, 1.5, 10 }, // level backfill
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
    { 1, 7.2, 1.25, 7 },
    { 4, 28.8, 2.5, 2 },
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
// head / rise x run, its triangle acting at a third of that from its foot.
TEST(WaterOrdinates, OrdinatesArmsAndForces)
{
    struct Row {
        const char* Name;
        float BackDepth;
        float Step; // a rear step this high under a shorter upper back
        double P[8]; // ordinates 1..7 (0 unused)
        double Level1, Arm3, Arm5, Arm7, W5, W7;
        double Triangle; // the shelf water's triangle over the leaning face, hw/H x 0.9 / 2
        double Uplift[4]; // flat bottom, lower slope, flat segment, rear slope
    };
    const Row rows[] = {
        // Shelf water: triangle 0.675 wide (centroid 0.225 + 5.9 from the rear end) and
        // rectangle 5.9: 8.3 - (6.125 x 0.3375 + 5.9^2/2) / 6.2375 = 5.178206 (the arm with
        // hw/H/3 instead of 0.675/3 would be 5.176854).
        { "water 1.5 below the top", 1.5f, 0, { 0, 8.5, 8.5, 4.5, 8.5, 6.5, 7.5, 4.5 }, 8.5 / 3,
            5.178206413, 4.668888889, 7.557575758, 1.4, 1.4, 0.3375, { 34, 10.5, 9.75, 7.7 } },
        // A rear step of 1 under an upper back of 5: 3.5 of water over the shelf on a triangle
        // 3.5/5 x 0.9 = 0.63 wide; the rear slope's head 1 + 5 - 1.5 = 4.5 includes the step.
        { "rear step", 1.5f, 1, { 0, 8.5, 8.5, 3.5, 8.5, 6.5, 7.5, 4.5 }, 8.5 / 3,
            8.3 - (6.11 * 0.315 + 5.9 * 5.9 / 2) / 6.215, 4.668888889, 7.557575758, 1.4, 1.4, 0.315,
            { 34, 10.5, 9.75, 7.7 } },
        // Water table 1 above the bottom crosses the lower slope: wet 1/2 x 1.4 = 0.7.
        { "crossing the lower slope", 9.0f, 0, { 0, 1, 8.5, 0, 1, 0, 7.5, 0 }, 1.0 / 3, 0,
            4.0 + 0.7 / 3, 0, 0.7, 0, 0, { 4, 0.35, 0, 0 } },
        // Water table 3 above the bottom crosses the rear slope: wet 1/2 x 1.4 = 0.7.
        { "crossing the rear slope", 7.0f, 0, { 0, 3, 8.5, 0, 3, 1, 7.5, 0 }, 1.0, 0,
            4.0 + 1.4 * 5 / 12, 6.9 + 0.7 / 3, 1.4, 0.7, 0, { 12, 2.8, 1.5, 0.35 } },
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
        ExpectStored(r.WaterLevel[1], c.Level1, "back level");
        ExpectStored(r.WaterLevel[2], 8.5 / 3, "front level");
        ExpectStored(r.WaterArm[3], c.Arm3, "shelf arm");
        ExpectStored(r.WaterArm[4], 2.0, "bottom arm");
        ExpectStored(r.WaterArm[5], c.Arm5, "lower slope arm");
        ExpectStored(r.WaterArm[6], 0.5, "toe arm");
        ExpectStored(r.WaterArm[7], c.Arm7, "rear slope arm");
        ExpectStored(r.WettedLowerSlope, c.W5, "w5");
        ExpectStored(r.WettedRearSlope, c.W7, "w7");
        ExpectStored(r.WaterPressureMax, *std::max_element(c.P + 1, c.P + 8), "max");

        const auto f = WaterForces(p, r);
        const double back = 10.0 - c.BackDepth;
        const double shelf = c.P[3] * (c.Triangle + 5.9);
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

// Slopes of different shapes, so that neither takes the other's run or rise: lower slope 2 wide
// rising 1.5 to P2 (6, 1.5), flat segment 1.5, rear slope 0.8 wide rising 2.5 to P4 (8.3, 4).
// A water table crossing a slope wets head / rise x run of it.
TEST(WaterOrdinates, CrossingSlopesOfDifferentShapes)
{
    struct Row {
        const char* Name;
        float BackDepth;
        double W5, Arm5, W7, Arm7;
        double Uplift[4]; // flat bottom, lower slope, flat segment, rear slope
    };
    const Row rows[] = {
        // head 1 at the bottom: 1/1.5 x 2 of the lower slope, its triangle at a third of that
        { "lower slope", 9.0f, 2.0 / 1.5, 4 + 2.0 / 1.5 / 3, 0, 0, { 4, 1.0 / 1.5, 0, 0 } },
        // heads 3 and 1.5 over the whole lower slope; 1.5/2.5 x 0.8 = 0.48 of the rear slope
        { "rear slope", 7.0f, 2.0, 4 + 2.0 * 6 / 13.5, 0.48, 7.5 + 0.16,
            { 12, 4.5, 2.25, 1.5 / 2 * 0.48 } },
    };
    for (const Row& c : rows) {
        SCOPED_TRACE(c.Name);
        Project p = DefaultWall();
        p.LowerSlopeWidth = 2.0f;
        p.RearSlopeWidth = 0.8f;
        p.LowerSlopeHeight = 1.5f;
        p.RearSlopeHeight = 2.5f;
        p.BackWaterDepth = c.BackDepth;
        const auto r = ComputeLoadCases(p);
        ExpectStored(r.WettedLowerSlope, c.W5, "w5");
        ExpectStored(r.WaterArm[5], c.Arm5, "lower slope arm");
        ExpectStored(r.WettedRearSlope, c.W7, "w7");
        ExpectStored(r.WaterArm[7], c.Arm7, "rear slope arm");
        const auto f = WaterForces(p, r);
        for (int j = 0; j < 4; ++j)
            ExpectStored(f[3 + j].Vertical, -c.Uplift[j], "uplift " + std::to_string(j + 1));
        ExpectStored(MomentAboutToe(f[5]), -c.Uplift[2] * 6.75, "flat segment at its middle");
    }
}

// A sloping segment of no height is a stretch of the underside at one level: below the water
// table it carries the full head over its whole run.
TEST(WaterOrdinates, LevelSegmentsCarryTheirUplift)
{
    Project p = DefaultWall();
    p.LowerSlopeHeight = 0; // 9 + 1 = 6 + 0 + 4 + 0
    p.RearSlopeHeight = 4;
    auto r = ComputeLoadCases(p);
    ExpectStored(r.WaterPressure[5], 8.5, "head at the bottom");
    ExpectStored(r.WettedLowerSlope, 1.4, "whole run wet");
    ExpectStored(r.WaterArm[5], 4.7, "uniform: middle of the run");
    ExpectStored(WaterForces(p, r)[4].Vertical, -8.5 * 1.4, "uplift");
    ExpectStored(r.WaterArm[7], 6.9 + 1.4 * 17.5 / 39, "rear slope from 8.5 to 4.5");

    p = DefaultWall();
    p.LowerSlopeHeight = 4; // 9 + 1 = 6 + 0 + 0 + 4
    p.RearSlopeHeight = 0;
    r = ComputeLoadCases(p);
    ExpectStored(r.WaterPressure[7], 4.5, "head at the rear stretch");
    ExpectStored(r.WettedRearSlope, 1.4, "whole run wet");
    ExpectStored(r.WaterArm[7], 7.6, "uniform: middle of the run");
    ExpectStored(WaterForces(p, r)[6].Vertical, -4.5 * 1.4, "uplift");
}

TEST(WaterOrdinates, DryWallAndWaterAtTheTop)
{
    Project p = DefaultWall();
    p.BackWaterDepth = 10; // at the bottom
    p.FrontWaterDepth = 10;
    for (const auto& f : WaterForces(p, ComputeLoadCases(p)))
        EXPECT_EQ(MomentAboutToe(f), 0.0);

    p.BackWaterDepth = 0;
    p.FrontWaterDepth = 0;
    const auto r = ComputeLoadCases(p);
    ExpectStored(r.WaterPressure[1], 10, "full head behind");
    ExpectStored(r.WaterPressure[3], 6, "full head on the shelf");
    ExpectStored(r.WaterPressure[6], 9, "full head on the toe");
    // shelf water: triangle 0.9 wide (centroid 0.3 + 5.9 from the rear end) and rectangle 5.9
    ExpectStored(r.WaterArm[3], 8.3 - (6.2 * 0.45 + 5.9 * 5.9 / 2) / 6.35, "shelf arm");
    ExpectStored(r.DeadForce[8], 0, "no dry soil over the face");
    ExpectStored(r.DeadForce[10], 6 * 0.9 / 2 * 0.9, "all of it submerged");
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
    const double Lower45 = std::atan(2.0 / 2.0);
    const double Rear68 = std::atan(2.0 / 0.8);
    const Row rows[] = {
        // y 0.5, 2.0, 3.5; row 1 the highest. 3.5 on the rear slope: 6.9 + 1.4 x 1.5/2;
        // 2.0 at P2 (5.4, 2); 0.5 on the lower slope: 4 + 1.4 x 0.5/2.
        { "defaults", 1.4f, 1.5f, 1.4f, 0.5f, 1.5f, 3,
            { {}, { 7.95, 3.5, Lower55 }, { 5.4, 2.0, Lower55 }, { 4.35, 0.5, Lower55 } } },
        // Faces that differ: lower slope 2 x 2 (45 deg), rear 0.8 x 2; at P2 the face is the
        // rear one when a flat segment follows.
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
    ExpectStored(r.Anchor[1].X, 4.0 + 1.4 * 1.9 / 2, "highest of twenty");

    p.AnchorRows = 30;
    p.AnchorVPitch = 0; // every row at the edge distance
    r = ComputeLoadCases(p);
    EXPECT_EQ(r.AnchorRowCount, MaxAnchorRows);

    p = DefaultWall();
    p.AnchorRows = 5; // only three fit between 0.5 and 4
    r = ComputeLoadCases(p);
    EXPECT_EQ(r.AnchorRowCount, 3);
    EXPECT_EQ(r.Anchor[4].X, 0.0f);
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
    const Row rows[] = { { 1, 1.4f, 1.7f, 1.7f, 0.5f, 6.8 * 1.4 },
        { 2, 1.4f, 1.7f, 1.7f, 0.5f, 6.8 * 1.7 }, { 7, 1.4f, 1.7f, 1.7f, 0.5f, 6.8 * 0.5 },
        { 1, 1.05f, 1, 1, 0.0f, 6.8 * 1.05 }, { 1, 0.9f, 1, 1, 1.4f, 6.8 * 0.9 } };
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
