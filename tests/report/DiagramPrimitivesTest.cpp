// What the report adds to the drawing layer: the section's drawing area in its half page, the
// load legend, and the figures and arrows reaching the page with the report's colours, pens and
// arrow head. The fit, the arrows and the scales themselves are tested in tests/drawing.
#include "report/DiagramPrimitives.h"
#include "report/PageFramework.h"
#include "report/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace pendrake;
using namespace pendrake::report;

// Positions go through single-precision layout fields: 2e-3 of a page unit over a page of
// 10^4 units is well above float rounding.
constexpr double LayoutTolerance = 2e-3;

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
        for (const RecordedCall& c : canvas.Calls())
            if (c.Kind == CallKind::Line)
                lines.push_back(c);
        return lines;
    }
};

// The drawing area of a half page on A4: 1440 in, 900 below the body top, 0.8 x (9356 - 2640)
// = 5372.8 wide and 6548 - 1800 = 4748 high; the wall is fitted into it as on screen.
TEST(LayoutWall, TheSectionIsFittedIntoItsHalfPagesDrawingArea)
{
    const std::function<void(Project&)> walls[] = { [](Project&) {},
        [](Project& p) { p.BackfillSlope = 2; }, [](Project& p) { p.ToeWidth = 10; } };
    for (int16_t bodyTop : { 454, 7740 }) {
        for (const auto& change : walls) {
            Fixture f;
            change(f.project);
            f.ctx.SectionBodyTop = bodyTop;
            SCOPED_TRACE(testing::Message()
                << "body top " << bodyTop << ", toe " << f.project.ToeWidth << ", slope "
                << f.project.BackfillSlope);
            const DrawArea area = SectionDrawArea(f.ctx);
            EXPECT_NEAR(area.Left, 1440, LayoutTolerance);
            EXPECT_NEAR(area.Top, bodyTop + 900, LayoutTolerance);
            EXPECT_NEAR(area.Width, 5372.8, LayoutTolerance);
            EXPECT_NEAR(area.Height, 4748, LayoutTolerance);
            const WallLayout& L = LayoutWall(f.ctx);
            const WallLayout fit = LayoutWall(f.project, area, f.ctx.PageWidth, f.ctx.PrintHeight);
            EXPECT_NEAR(L.DrawScale, fit.DrawScale, LayoutTolerance);
            EXPECT_NEAR(L.DrawOriginX, fit.DrawOriginX, LayoutTolerance);
            EXPECT_NEAR(L.DrawOriginY, fit.DrawOriginY, LayoutTolerance);
            for (int k = 1; k <= NodeCount; ++k) {
                EXPECT_NEAR(L.NodeX[k], fit.NodeX[k], LayoutTolerance) << "node " << k;
                EXPECT_NEAR(L.NodeY[k], fit.NodeY[k], LayoutTolerance) << "node " << k;
            }
        }
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
        SCOPED_TRACE(c.Units);
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

TEST(PaintFigure, AlignsTextsAndUsesTheFiguresColoursAndPens)
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

    // The report's arrow head (60 long) fits a dimension of 180 inside: shaft and two heads;
    // the screen's (120) would not.
    Fixture g;
    DrawArrow(g.ctx, 1000, 500, 1180, 500, DimensionArrow);
    EXPECT_EQ(g.Lines().size(), 5u);
}

} // namespace
