// The drawing layer that the window and the report both draw through: the wall fitted into a
// drawing area and its nodes worked by hand, the pieces against the dead-load formulas, arrows,
// scales, anchor directions, and the dimension values set out and kept apart.
#include "drawing/WallGeometry.h"

#include "analysis/Stability.h"
#include "model/DimensionEdit.h"
#include "support/Polygons.h"
#include "support/Walls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
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

// A value of "10.00" in an 8-point font, and "1 : ".
constexpr LabelBox ValueSize { 0, 0, 450, 195 };
constexpr LabelBox SlopeSize { 0, 0, 300, 195 };

// On the screen, 5568 for 8.3 against 5760 for 10: the height governs at 576 a metre, the wall
// centred across. Where its values stand: that none meets another, a line or the edge on random
// walls is checked on the placement the views show, in LabelPlacementTest.
TEST(WallLayout, NodesAndDimensionValuesOfTheDefaultWallAsWorkedByHand)
{
    const WallLayout L = LayoutWallOnScreen(DefaultWall(), SurfaceWidth, SurfaceHeight);
    const double x0 = 1440 + (5568 - 8.3 * 576) / 2;
    const struct {
        int Node;
        double X;
        double Y;
    } nodes[] = {
        { 4, x0, 720 + 5760 }, // toe front, bottom
        { 1, x0 + 576, 720 }, // top of the front face
        { 9, x0 + 1.5 * 576, 720 }, // top of the back face
        { 8, x0 + 2.4 * 576, 720 + 6 * 576 },
        { 7, x0 + 8.3 * 576, 720 + 6 * 576 },
        { 16, x0 + 6.9 * 576, 720 + 8 * 576 },
        { 15, x0 + 5.4 * 576, 720 + 8 * 576 },
        { 5, x0 + 4.0 * 576, 720 + 10 * 576 },
        { 2, x0 + 576, 720 + 9 * 576 },
        { 3, x0, 720 + 9 * 576 },
        // backfill end: a quarter of 8.3 and the soil length 6.8 beyond node 9, level
        { 10, x0 + 1.5 * 576 + (8.3 / 4 + 6.8) * 576, 720 },
        { 11, x0 - 240, 720 + 1.5 * 576 },
        { 12, x0 + 576, 720 + 1.5 * 576 },
        // back water 1.5 down the leaning face: a quarter of its 0.9 offset
        { 13, x0 + (1.5 + 0.9 * 1.5 / 6) * 576, 720 + 1.5 * 576 },
    };
    for (const auto& n : nodes) {
        EXPECT_NEAR(L.NodeX[n.Node], n.X, UnitTolerance) << "node " << n.Node;
        EXPECT_NEAR(L.NodeY[n.Node], n.Y, UnitTolerance) << "node " << n.Node;
    }

    std::array<LabelBox, DimensionCount> sizes {};
    sizes.fill(ValueSize);
    const DimensionLabelBoxes b = PlaceDimensionLabels(L, sizes, SlopeSize, {});
    const double H = ValueSize.Height;
    // TopWidth 0.5 m = 288 twips cannot hold 450 + 30: right-aligned 30 before node 9.
    EXPECT_NEAR(b.Dim[0].Right(), L.NodeX[9] - 30, UnitTolerance);
    EXPECT_NEAR(b.Dim[0].Top, L.NodeY[10] - 210 - H, UnitTolerance);
    // ToeWidth 1.0 m = 576 twips holds it: centred between nodes 4 and 2, 275 below node 4.
    EXPECT_NEAR(b.Dim[3].Left + b.Dim[3].Width / 2, (L.NodeX[4] + L.NodeX[2]) / 2, UnitTolerance);
    EXPECT_NEAR(b.Dim[3].Top, L.NodeY[4] + 275, UnitTolerance);
    // FrontHeight right-aligned 225 before node 11, centred on the front face.
    EXPECT_NEAR(b.Dim[6].Right(), L.NodeX[11] - 225, UnitTolerance);
    EXPECT_NEAR(b.Dim[6].Top + H / 2, (L.NodeY[1] + L.NodeY[2]) / 2, UnitTolerance);
    // "1 : " stands right before the slope value.
    EXPECT_NEAR(b.Slope.Right(), b.Dim[11].Left, UnitTolerance);
    EXPECT_NEAR(b.Slope.Top, b.Dim[11].Top, UnitTolerance);
}

// Node 13 lies on the back of the structure wherever the back water stands.
TEST(WallLayout, BackWaterMeetsTheBackOfTheStructure)
{
    struct Row {
        double Depth;
        int From; // the outline segment From-To it must lie on
        int To;
    };
    // Defaults: upper back face 6, no step, rear slope 2, lower slope 2, flat segment 1.5.
    const Row rows[] = { { 3.0, 9, 8 }, { 6.0, 9, 8 }, { 7.0, 16, 6 }, { 9.0, 5, 15 } };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Depth);
        Project p = DefaultWall();
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
    // Within a rear step the level meets its vertical face.
    Project p = DefaultWall();
    ApplyDimensionEdit(p, 9, 1.0);
    p.BackWaterDepth = 6.5f;
    const WallLayout L = LayoutWallOnScreen(p, SurfaceWidth, SurfaceHeight);
    EXPECT_NEAR(L.NodeX[13], L.NodeX[7], UnitTolerance);
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

bool SameStroke(const Stroke& s, const Stroke& t)
{
    auto same = [](DrawPoint a, DrawPoint b) {
        return std::abs(a.X - b.X) < 1e-9 && std::abs(a.Y - b.Y) < 1e-9;
    };
    return (same(s.A, t.A) && same(s.B, t.B)) || (same(s.A, t.B) && same(s.B, t.A));
}

TEST(ArrowStrokes, HeadsByKindAndLength)
{
    struct Row {
        const char* Name;
        DrawPoint From;
        DrawPoint To;
        ArrowKind Kind;
        ArrowHead Head;
        std::vector<Stroke> Expected;
    };
    const ArrowHead printed = PrintedArrowHead; // 60 long, 15 to each side
    const Row rows[] = {
        // Three head lengths: both heads inside, 60 back from each tip.
        { "Dimension180", { 0, 0 }, { 180, 0 }, ArrowKind::Dimension, printed,
            { { { 0, 0 }, { 180, 0 } }, { { 180, 0 }, { 120, 15 } }, { { 180, 0 }, { 120, -15 } },
                { { 0, 0 }, { 60, 15 } }, { { 0, 0 }, { 60, -15 } } } },
        // One unit less: leaders of two head lengths outside, the heads on them pointing in.
        { "Dimension179", { 0, 0 }, { 179, 0 }, ArrowKind::Dimension, printed,
            { { { 0, 0 }, { 179, 0 } }, { { 179, 0 }, { 299, 0 } }, { { 0, 0 }, { -120, 0 } },
                { { 179, 0 }, { 239, 15 } }, { { 179, 0 }, { 239, -15 } },
                { { 0, 0 }, { -60, 15 } }, { { 0, 0 }, { -60, -15 } } } },
        // A 3-4-5 slant: the head 60 back along it (36, 48) and 15 across (12, 9).
        { "SingleSlanting", { 0, 0 }, { 300, 400 }, ArrowKind::Single, printed,
            { { { 0, 0 }, { 300, 400 } }, { { 300, 400 }, { 276, 343 } },
                { { 300, 400 }, { 252, 361 } } } },
        { "ZeroLength", { 5, 5 }, { 5, 5 }, ArrowKind::Single, printed,
            { { { 3, 5 }, { 7, 5 } } } },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Name);
        const std::vector<Stroke> strokes = ArrowStrokes(r.From, r.To, r.Kind, r.Head);
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
