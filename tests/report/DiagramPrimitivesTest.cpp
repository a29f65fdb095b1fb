// The printed diagram primitives: arrow thresholds, the wall fitted into a half page, the load
// scale and the load legend.
#include "report/DiagramPrimitives.h"
#include "report/PageFramework.h"
#include "report/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

using namespace pendrake;
using namespace pendrake::report;

// Positions and scales go through single-precision layout fields: 1e-3 of a page unit over a
// page of 10^4 units is well above float rounding (about 1e-3 relative 1e-7).
constexpr double LayoutTolerance = 2e-3;
constexpr double ArrowTolerance = 1e-9;

struct Fixture {
    Fixture()
        : project(MakeNewProject("Arial"))
        , ctx(canvas, project, stability, combinations)
    {
        SetupPage(ctx);
        ctx.HalfPageSlot = 0;
        ctx.SectionTop = 0;
        ctx.SectionBodyTop = 454;
    }
    RecordingCanvas canvas;
    Project project;
    StabilityResults stability;
    CombinationResults combinations;
    ReportContext ctx;

    std::vector<RecordedCall> Lines() const
    {
        std::vector<RecordedCall> lines;
        for (const RecordedCall& c : canvas.Calls()) {
            if (c.Kind == CallKind::Line)
                lines.push_back(c);
        }
        return lines;
    }
};

// The end points of every stroke, rounded to a thousandth, as a set.
std::set<std::pair<long, long>> EndPoints(const std::vector<RecordedCall>& lines)
{
    std::set<std::pair<long, long>> points;
    for (const RecordedCall& l : lines) {
        points.insert({ std::lround(l.X1 * 1000), std::lround(l.Y1 * 1000) });
        points.insert({ std::lround(l.X2 * 1000), std::lround(l.Y2 * 1000) });
    }
    return points;
}

std::pair<long, long> P(double x, double y)
{
    return { std::lround(x * 1000), std::lround(y * 1000) };
}

TEST(DrawArrow, DimensionArrowOf180HasBothHeadsInside)
{
    Fixture f;
    DrawArrow(f.ctx, 1000, 500, 1180, 500, DimensionArrow);
    const auto lines = f.Lines();
    ASSERT_EQ(lines.size(), 5u); // shaft and two strokes at each end
    // Heads: strokes from each tip 60 along the shaft and 15 across.
    const auto points = EndPoints(lines);
    for (auto p :
        { P(1000, 500), P(1180, 500), P(1120, 485), P(1120, 515), P(1060, 485), P(1060, 515) })
        EXPECT_TRUE(points.count(p)) << p.first << "," << p.second;
}

TEST(DrawArrow, DimensionArrowOf179TakesTheShortBranch)
{
    Fixture f;
    DrawArrow(f.ctx, 1000, 500, 1179, 500, DimensionArrow);
    const auto points = EndPoints(f.Lines());
    // Not the inside heads of a long arrow...
    EXPECT_FALSE(points.count(P(1119, 485)));
    EXPECT_FALSE(points.count(P(1060, 485)));
    // ...but heads still drawn at both ends, clear of each other (outside the dimension).
    const auto [minX, maxX] = std::minmax_element(points.begin(), points.end());
    EXPECT_LT(minX->first, P(1000, 0).first);
    EXPECT_GT(maxX->first, P(1179, 0).first);
}

TEST(DrawArrow, SingleArrowOf60GetsItsHeadAndAShorterOneStillShowsOne)
{
    Fixture f;
    // Straight down, 60 long: the head strokes reach back to the tail, 15 to each side.
    DrawArrow(f.ctx, 2000, 1000, 2000, 1060, SingleArrow);
    auto lines = f.Lines();
    ASSERT_EQ(lines.size(), 3u);
    auto points = EndPoints(lines);
    EXPECT_TRUE(points.count(P(2015, 1000)));
    EXPECT_TRUE(points.count(P(1985, 1000)));
    EXPECT_TRUE(points.count(P(2000, 1060)));

    Fixture g;
    DrawArrow(g.ctx, 2000, 1000, 2000, 1030, SingleArrow);
    lines = g.Lines();
    EXPECT_GE(lines.size(), 3u); // a 30-unit arrow is still an arrow, not a bare line
    points = EndPoints(lines);
    EXPECT_TRUE(points.count(P(2000, 1030)));
}

TEST(DrawArrow, ZeroLengthLeavesAMark)
{
    Fixture f;
    DrawArrow(f.ctx, 3000, 3000, 3000, 3000, SingleArrow);
    const auto lines = f.Lines();
    ASSERT_FALSE(lines.empty());
    double longest = 0;
    for (const RecordedCall& l : lines)
        longest = std::max(longest, std::hypot(l.X2 - l.X1, l.Y2 - l.Y1));
    EXPECT_GT(longest, ArrowTolerance);
}

// --- LayoutWall -----------------------------------------------------------------------------

// The drawing area of the upper half on A4: left 1440, top 454 + 900, 0.8 x (9356 - 2640) =
// 5372.8 wide and 6548 - 1800 = 4748 high.
constexpr double AreaLeft = 1440;
constexpr double AreaTop = 1354;
constexpr double AreaWidth = 5372.8;
constexpr double AreaHeight = 4748;

TEST(LayoutWall, NewProjectIsFittedToTheHeightAndCentredAcross)
{
    Fixture f;
    const DrawArea area = SectionDrawArea(f.ctx);
    EXPECT_NEAR(area.Left, AreaLeft, LayoutTolerance);
    EXPECT_NEAR(area.Top, AreaTop, LayoutTolerance);
    EXPECT_NEAR(area.Width, AreaWidth, LayoutTolerance);
    EXPECT_NEAR(area.Height, AreaHeight, LayoutTolerance);

    const WallLayout& L = LayoutWall(f.ctx);
    // W = 1 + 3 + 1.4 + 1.5 + 1.4 = 8.3, H = 10: 8.3 / 10 < 5372.8 / 4748, the height governs.
    const double scale = AreaHeight / 10;
    EXPECT_NEAR(L.DrawScale, scale, LayoutTolerance);
    EXPECT_NEAR(L.DrawOriginY, AreaTop, LayoutTolerance);
    const double originX = AreaLeft + (AreaWidth - 8.3 * scale) / 2;
    EXPECT_NEAR(L.DrawOriginX, originX, LayoutTolerance);
    // Node 4 (toe front, bottom) and node 1 (top of the front face), node 6 (rear underside).
    EXPECT_NEAR(L.NodeX[4], originX, LayoutTolerance);
    EXPECT_NEAR(L.NodeY[4], AreaTop + 10 * scale, LayoutTolerance);
    EXPECT_NEAR(L.NodeX[1], originX + 1 * scale, LayoutTolerance);
    EXPECT_NEAR(L.NodeY[1], AreaTop, LayoutTolerance);
    EXPECT_NEAR(L.NodeX[6], originX + 8.3 * scale, LayoutTolerance);
    EXPECT_NEAR(L.NodeY[6], AreaTop + (10 - 4) * scale, LayoutTolerance);
}

TEST(LayoutWall, WideWallIsFittedToTheWidthAndCentredDown)
{
    Fixture f;
    f.project.ToeWidth = 10; // W = 17.3
    const WallLayout& L = LayoutWall(f.ctx);
    const double scale = AreaWidth / 17.3;
    EXPECT_NEAR(L.DrawScale, scale, LayoutTolerance);
    EXPECT_NEAR(L.DrawOriginX, AreaLeft, LayoutTolerance);
    EXPECT_NEAR(L.DrawOriginY, AreaTop + (AreaHeight - 10 * scale) / 2, LayoutTolerance);
}

TEST(LayoutWall, SlopingBackfillAddsOnlyTheRiseOfTheBackfillDrawn)
{
    Fixture f;
    f.project.BackfillSlope = 2;
    const WallLayout& L = LayoutWall(f.ctx);
    // The backfill reaches a quarter of the width beyond the heel of 5.9 + 0.9:
    // rise (8.3 / 4 + 6.8) / 2 = 4.4375, H = 14.4375; no further room is kept above it.
    const double scale = AreaHeight / 14.4375;
    EXPECT_NEAR(L.DrawScale, scale, LayoutTolerance);
    EXPECT_NEAR(L.DrawOriginY, AreaTop + 4.4375 * scale, LayoutTolerance);
    // Everything drawn, the backfill's far end included, stays inside the area.
    for (int k = 1; k <= NodeCount; ++k) {
        if (k >= 11)
            continue; // the water levels reach out in front of the toe by design
        EXPECT_GE(L.NodeY[k], AreaTop - LayoutTolerance) << k;
        EXPECT_LE(L.NodeY[k], AreaTop + AreaHeight + LayoutTolerance) << k;
        EXPECT_GE(L.NodeX[k], AreaLeft - LayoutTolerance) << k;
        EXPECT_LE(L.NodeX[k], AreaLeft + AreaWidth + LayoutTolerance) << k;
    }
}

TEST(LayoutWall, LevelBackfillAddsNoHeight)
{
    Fixture f;
    f.project.BackfillSlope = 0;
    EXPECT_NEAR(LayoutWall(f.ctx).DrawScale, AreaHeight / 10, LayoutTolerance);
}

TEST(LayoutWall, LowerHalfMovesEverythingDown)
{
    Fixture f;
    const float upper = LayoutWall(f.ctx).DrawOriginY;
    f.ctx.SectionBodyTop = 7740;
    EXPECT_NEAR(LayoutWall(f.ctx).DrawOriginY - upper, 7740 - 454, LayoutTolerance);
}

// --- Load scale and legend ------------------------------------------------------------------

TEST(LoadScale, SmallestOfTheFiveLimits)
{
    struct Case {
        const char* Name;
        float Soil1, Soil2, Water1, Seismic14, Water4, Water3, Water6, Seismic16, Water2;
        float Surcharge;
        double Expected;
    };
    const Case cases[] = {
        { "nothing acts", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10000 },
        // The back: max(3, 5) + 1 + 0.6 = 6.6 drawn 720 long.
        { "back pressures", 3, 5, 1, 0.6f, 0, 0, 0, 0, 0, 0, 720 / 6.6 },
        // Uplift 10 drawn 660 long is shorter.
        { "uplift", 3, 5, 1, 0.6f, 10, 0, 0, 0, 0, 0, 66 },
        // Surcharge 1 plus 4 on the shelf: 480 / 5 = 96 is below 720 / 6.6.
        { "shelf", 3, 5, 1, 0.6f, 0, 4, 0, 0, 0, 1, 96 },
        // At the toe: 480 / (1 + 9) = 48.
        { "toe", 3, 5, 1, 0.6f, 0, 0, 9, 0, 0, 1, 48 },
        // In front: 960 / (2 + 18) = 48 against 720 / 6.6.
        { "front", 3, 5, 1, 0.6f, 0, 0, 0, 2, 18, 0, 48 },
    };
    for (const Case& c : cases) {
        Fixture f;
        f.project.Surcharge = c.Surcharge;
        LoadCaseResults r;
        r.SoilPressure[1] = c.Soil1;
        r.SoilPressure[2] = c.Soil2;
        r.WaterPressure[1] = c.Water1;
        r.SeismicForce[14] = c.Seismic14;
        r.WaterPressure[4] = c.Water4;
        r.WaterPressure[3] = c.Water3;
        r.WaterPressure[6] = c.Water6;
        r.SeismicForce[16] = c.Seismic16;
        r.WaterPressure[2] = c.Water2;
        // Single precision of the stored scale: 1e-5 relative.
        EXPECT_NEAR(LoadScale(f.ctx, r), c.Expected, c.Expected * 1e-5) << c.Name;
        EXPECT_EQ(f.ctx.Drawing.LoadScale, LoadScale(f.ctx, r)) << c.Name;
    }
}

TEST(PrintLoadLegend, ThreeLinesAboveTheFrameBottomInTheProjectsUnits)
{
    struct Case {
        int16_t Units;
        const char* Line;
        const char* Distributed;
    };
    for (const Case c : { Case { 0, "Line loads in T/m", "Distributed loads in T/m\u00B2" },
             Case { 1, "Line loads in kN/m", "Distributed loads in kPa" },
             Case { 2, "Line loads in Kip/ft", "Distributed loads in Kip/ft\u00B2" } }) {
        Fixture f;
        f.project.UnitSystem = c.Units;
        f.project.SeismicCoef = 0.125f;
        f.ctx.SectionTop = 7286;
        PrintLoadLegend(f.ctx);
        const auto texts = f.canvas.Texts();
        ASSERT_EQ(texts.size(), 3u);
        EXPECT_EQ(texts[0].Text, "Seismic coefficient = 0.13");
        EXPECT_EQ(texts[1].Text, c.Line);
        EXPECT_EQ(texts[2].Text, c.Distributed);
        const double bottom = 7286 + 7002;
        EXPECT_DOUBLE_EQ(texts[0].Y1, bottom - 480);
        EXPECT_DOUBLE_EQ(texts[1].Y1, bottom - 360);
        EXPECT_DOUBLE_EQ(texts[2].Y1, bottom - 240);
        for (const RecordedCall& t : texts)
            EXPECT_DOUBLE_EQ(t.X1, 120);
    }
}

TEST(PaintFigure, AlignsTextsAndUsesTheFiguresColours)
{
    Fixture f;
    f.ctx.Canvas.SetMapping(0, 0, 1);
    SetPrinterFont(f.ctx, "Arial", 10, false, false);
    Figure fig;
    fig.Lines.push_back({ { 0, 0 }, { 100, 0 }, PaletteColour(4), 2, true });
    fig.Texts.push_back({ { 1000, 1000 }, "abc", PaletteColour(2), HAlign::Right, VAlign::Top });
    fig.Texts.push_back({ { 1000, 1000 }, "ab", PaletteColour(2), HAlign::Centre, VAlign::Bottom });
    PaintFigure(f.ctx, fig);
    const auto lines = f.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Fore, PaletteColour(4));
    EXPECT_EQ(lines[0].Line, LineStyle::Dash);
    EXPECT_EQ(lines[0].PenPixels, PenWidthPixels(ThickPenMm, A4Paper().TwipsPerPixel));
    const auto texts = f.canvas.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_DOUBLE_EQ(texts[0].X2, 1000);
    EXPECT_DOUBLE_EQ(texts[0].Y1, 1000);
    EXPECT_DOUBLE_EQ(texts[1].X1, 1000 - 100);
    EXPECT_DOUBLE_EQ(texts[1].Y1, 1000 - 10 * RecordingCanvas::LineHeightPerPoint * 20);
    EXPECT_EQ(texts[1].Fore, PaletteColour(2));
}

} // namespace
