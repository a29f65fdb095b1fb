// The drawing layer that the window and the report both draw through: the wall fitted into a
// drawing area and its nodes worked by hand, the pieces against the dead-load formulas, arrows,
// scales and anchor directions.
#include "drawing/WallGeometry.h"

#include "analysis/Stability.h"
#include "model/DimensionEdit.h"
#include "support/Polygons.h"
#include "support/Walls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace pendrake {
namespace {

using test::DefaultWall;

// Node places are single-precision sums of a few thousand units: a hand value is met to a
// hundredth of a unit, far below the 15 twips of one pixel.
constexpr double UnitTolerance = 0.01;
// Areas and centroids of pieces worked two ways in double precision from single-precision
// dimensions.
constexpr double PieceTolerance = 1e-9;

// The main window of 640 by 480 pixels, twips.
constexpr double SurfaceWidth = 9600;
constexpr double SurfaceHeight = 7200;

// --- Fit and nodes --------------------------------------------------------------------------

// The default wall is 1 + 3 + 1.4 + 1.5 + 1.4 = 8.3 wide and 10 high. A backfill at 1 : 2 reaches
// a quarter of that width beyond the heel of 5.9 + 0.9, rising (8.3 / 4 + 6.8) / 2 = 4.4375.
constexpr double Rise = 4.4375;

TEST(WallLayout, FitsTheGoverningDirectionAndCentresTheOther)
{
    // A report half page: 1440 in, 454 + 900 down, 0.8 x (9356 - 2640) by 6548 - 1800. The
    // screen's area, where the height governs, is read in the default wall's nodes.
    const DrawArea page { 1440, 1354, 5372.8, 4748 };
    struct Row {
        const char* Name;
        std::function<void(Project&)> Change;
        double Scale;
        double OriginX;
        double OriginY;
        double Node10Y; // the backfill's far end
    };
    const double wideToe = 5372.8 / 17.3; // a toe of 10 makes the wall 17.3 wide
    const double slopedPage = 4748 / (10 + Rise);
    const Row rows[] = {
        { "WideToe", [](Project& p) { p.ToeWidth = 10; }, wideToe, 1440,
            1354 + (4748 - 10 * wideToe) / 2, 1354 + (4748 - 10 * wideToe) / 2 },
        { "Sloped", [](Project& p) { p.BackfillSlope = 2; }, slopedPage,
            1440 + (5372.8 - 8.3 * slopedPage) / 2, 1354 + Rise * slopedPage, 1354 },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Name);
        Project p = DefaultWall();
        r.Change(p);
        const WallLayout L = LayoutWall(p, page, 9356, 14572);
        // The scale is single precision: a millionth of it.
        EXPECT_NEAR(L.DrawScale, r.Scale, r.Scale * 1e-6);
        EXPECT_NEAR(L.DrawOriginX, r.OriginX, 0.05);
        EXPECT_NEAR(L.DrawOriginY, r.OriginY, 0.05);
        EXPECT_NEAR(L.NodeY[10], r.Node10Y, 0.05);
        // The backfill rises one in BackfillSlope from node 9 to node 10.
        const double slope = p.BackfillSlope > 0 ? 1 / double(p.BackfillSlope) : 0.0;
        EXPECT_NEAR(L.NodeY[9] - L.NodeY[10], (L.NodeX[10] - L.NodeX[9]) * slope, 0.05);
    }
}

// On the screen, 5568 for 8.3 against 5760 for 10: the height governs at 576 a metre, the wall
// centred across. (That no dimension value meets another, a line or the edge is checked on
// random walls in LabelPlacementTest.)
TEST(WallLayout, NodesOfTheDefaultWallAsWorkedByHand)
{
    const WallLayout L = LayoutWallOnScreen(DefaultWall(), SurfaceWidth, SurfaceHeight);
    const double x0 = 1440 + (5568 - 8.3 * 576) / 2;
    // Node, metres from the toe front, metres down from the wall top; 4 is the toe front's foot,
    // 1 and 9 the tops of the front and back faces; the backfill's end 10 lies level, a quarter of
    // 8.3 and the soil length 6.8 beyond node 9; the back water 13 stands 1.5 down the leaning
    // face, a quarter of its 0.9 offset behind its top.
    const std::tuple<int, double, double> nodes[] = { { 4, 0, 10 }, { 1, 1, 0 }, { 9, 1.5, 0 },
        { 8, 2.4, 6 }, { 7, 8.3, 6 }, { 16, 6.9, 8 }, { 15, 5.4, 8 }, { 5, 4.0, 10 }, { 2, 1, 9 },
        { 3, 0, 9 }, { 10, 1.5 + 8.3 / 4 + 6.8, 0 }, { 11, -240.0 / 576, 1.5 }, { 12, 1, 1.5 },
        { 13, 1.5 + 0.9 * 1.5 / 6, 1.5 } };
    for (const auto& [node, x, y] : nodes) {
        EXPECT_NEAR(L.NodeX[node], x0 + x * 576, UnitTolerance) << "node " << node;
        EXPECT_NEAR(L.NodeY[node], 720 + y * 576, UnitTolerance) << "node " << node;
    }
}

// Node 13 lies on the back of the structure wherever the back water stands.
TEST(WallLayout, BackWaterMeetsTheBackOfTheStructure)
{
    struct Row {
        double Depth;
        double Step; // the rear step's height
        int From; // the outline segment From-To it must lie on
        int To;
    };
    // Defaults: upper back face 6, no step, rear slope 2, lower slope 2, flat segment 1.5; within
    // a rear step the level meets its vertical face.
    const Row rows[] = { { 3.0, 0, 9, 8 }, { 6.0, 0, 9, 8 }, { 7.0, 0, 16, 6 }, { 9.0, 0, 5, 15 },
        { 6.5, 1, 7, 6 } };
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::Message() << r.Depth << " below the top, step " << r.Step);
        Project p = DefaultWall();
        if (r.Step > 0)
            ApplyDimensionEdit(p, 9, r.Step);
        p.BackWaterDepth = static_cast<float>(r.Depth);
        const WallLayout L = LayoutWallOnScreen(p, SurfaceWidth, SurfaceHeight);
        const DrawPoint a = L.Node(r.From);
        const DrawPoint b = L.Node(r.To);
        const DrawPoint w = L.Node(13);
        const double cross = (b.X - a.X) * (w.Y - a.Y) - (b.Y - a.Y) * (w.X - a.X);
        EXPECT_NEAR(cross / std::hypot(b.X - a.X, b.Y - a.Y), 0.0, UnitTolerance);
        EXPECT_GE(w.X, std::min(a.X, b.X) - UnitTolerance);
        EXPECT_LE(w.X, std::max(a.X, b.X) + UnitTolerance);
    }
}

// The polygons of the pieces have the areas and centroids the dead loads give them.
TEST(WallLayout, PiecesMatchTheDeadLoadFormulas)
{
    // Every piece, the submerged soil too.
    const Project p = test::SlopedWetAnchoredWall();
    const auto pieces = WallPieces(p);
    for (int k = 1; k <= PieceCount; ++k) {
        SCOPED_TRACE("piece " + std::to_string(k));
        const std::vector<PlanePoint> poly = PiecePolygon(p, k);
        const test::Measure m = test::Shoelace(poly);
        const double area = std::abs(m.A);
        const bool soil = k >= 7 && k <= 11;
        const bool submerged = k == 10 || k == 11;
        const double weight = submerged ? double(p.FillSatDensity) - p.WaterUnitWeight
            : soil                      ? double(p.FillUnitWeight)
                                        : double(p.ConcUnitWeight);
        EXPECT_NEAR(area * weight, pieces[k].Weight, PieceTolerance);
        if (area > PieceTolerance) {
            EXPECT_NEAR(m.X, pieces[k].X, PieceTolerance);
            EXPECT_NEAR(m.Y, pieces[k].Y, PieceTolerance);
        }
    }
}

// --- Arrows ---------------------------------------------------------------------------------

// Either way round.
bool SameStroke(const Stroke& s, const Stroke& t)
{
    const auto same
        = [](DrawPoint a, DrawPoint b) { return std::hypot(a.X - b.X, a.Y - b.Y) < 1e-9; };
    return (same(s.A, t.A) && same(s.B, t.B)) || (same(s.A, t.B) && same(s.B, t.A));
}

TEST(ArrowStrokes, HeadsByKindAndLength)
{
    // The printed head: 60 long, 15 to each side.
    struct Row {
        const char* Name;
        DrawPoint From, To;
        ArrowKind Kind;
        std::vector<Stroke> Expected;
    };
    const Row rows[] = {
        // Three head lengths: both heads inside, 60 back from each tip.
        { "Dimension180", { 0, 0 }, { 180, 0 }, ArrowKind::Dimension,
            { { { 0, 0 }, { 180, 0 } }, { { 180, 0 }, { 120, 15 } }, { { 180, 0 }, { 120, -15 } },
                { { 0, 0 }, { 60, 15 } }, { { 0, 0 }, { 60, -15 } } } },
        // One unit less: leaders of two head lengths outside, the heads on them pointing in.
        { "Dimension179", { 0, 0 }, { 179, 0 }, ArrowKind::Dimension,
            { { { 0, 0 }, { 179, 0 } }, { { 179, 0 }, { 299, 0 } }, { { 0, 0 }, { -120, 0 } },
                { { 179, 0 }, { 239, 15 } }, { { 179, 0 }, { 239, -15 } },
                { { 0, 0 }, { -60, 15 } }, { { 0, 0 }, { -60, -15 } } } },
        // A 3-4-5 slant: the head 60 back along it (36, 48) and 15 across (12, 9).
        { "SingleSlanting", { 0, 0 }, { 300, 400 }, ArrowKind::Single,
            { { { 0, 0 }, { 300, 400 } }, { { 300, 400 }, { 276, 343 } },
                { { 300, 400 }, { 252, 361 } } } },
        { "ZeroLength", { 5, 5 }, { 5, 5 }, ArrowKind::Single, { { { 3, 5 }, { 7, 5 } } } },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Name);
        const std::vector<Stroke> strokes = ArrowStrokes(r.From, r.To, r.Kind, PrintedArrowHead);
        EXPECT_EQ(strokes.size(), r.Expected.size());
        for (const Stroke& e : r.Expected)
            EXPECT_TRUE(std::any_of(
                strokes.begin(), strokes.end(), [&](const Stroke& s) { return SameStroke(s, e); }))
                << "(" << e.A.X << ", " << e.A.Y << ") to (" << e.B.X << ", " << e.B.Y << ")";
    }
}

// --- Scales and directions -----------------------------------------------------------

TEST(Scales, DiagramAndReactionScalesDrawTheLargestOrdinateItsLength)
{
    EXPECT_EQ(DiagramScale(0, 480), 0.0);
    EXPECT_NEAR(DiagramScale(2.4, 480), 200.0, 1e-9);
    EXPECT_NEAR(DiagramScale(-4.8, 480), 100.0, 1e-9); // a suction draws as long
    StabilityResults s;
    EXPECT_EQ(ReactionScale(s, 480), 1.0); // no segment carries pressure
    s.SegmentPressureStart[1] = 3.0f;
    s.SegmentPressureEnd[2] = -4.0f; // the largest by size, at the end of segment 2
    EXPECT_NEAR(ReactionScale(s, 480), 120.0, 1e-9);
}

TEST(AnchorDirection, IntoTheGroundBelowAndBehindTheUnderside)
{
    // At 30 degrees from the vertical: sin 30 = 0.5 behind, cos 30 down.
    const PlanePoint d = AnchorDirection(30 * std::atan(1.0) / 45);
    EXPECT_NEAR(d.X, 0.5, 1e-12);
    EXPECT_NEAR(d.Y, -std::sqrt(3.0) / 2, 1e-12);
}

} // namespace
} // namespace pendrake
