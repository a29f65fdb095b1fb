// The Dimensions section: the wall to scale with its anchors, the dimension lines of the
// seventeen dimensions and their values, placed as the main window places its labels.
#include "report/ReportSections.h"

#include "analysis/LoadCases.h"
#include "drawing/ViewFigure.h"
#include "model/NumberFormat.h"
#include "model/Units.h"
#include "report/DiagramPrimitives.h"

#include <array>
#include <string>

namespace pendrake::report {

namespace {

// The dimension values are set in 7 points times PageScale: the main window's label rows
// (210 and 360 page units above the top) hold them one above the other.
constexpr double ValueFontPoints = 7;

// The legend stands at the left, one line above the bottom of the frame.
constexpr double LegendX = 120;
constexpr double LegendRise = 240;

// The dimensions in the order their values are printed (label indices of the main window);
// the slope, index 11, prints as "1 : " followed by its value.
constexpr std::array<int, DimensionCount> PrintOrder
    = { 0, 1, 2, 3, 4, 5, 15, 16, 6, 7, 8, 9, 10, 14, 11, 12, 13 };
constexpr int SlopeIndex = 11;
constexpr std::string_view SlopePrefix = "1 : ";

} // namespace

DimensionsFigure DimensionsSectionFigure(ReportContext& ctx, const WallLayout& layout)
{
    const Project& p = ctx.Record;
    PageCanvas& c = ctx.Canvas;
    const FigureStyle style = PrintedFigureStyle();
    DimensionsFigure d;
    AddWallOutline(d.Shapes, p, layout);
    if (double(p.LowerSlopeHeight) + double(p.RearSlopeHeight) > 0 && p.AnchorRows > 0)
        AddAnchors(d.Shapes, layout, ctx.Stability.Loads, style);
    AddDimensionLines(d.Shapes, p, layout, style);

    const std::string legend = "Dimensions in " + std::string(LengthUnit[UnitIndex(p)]);
    const double legendTop = double(ctx.SectionTop) + ctx.HalfPageHeight - LegendRise;
    d.Legend = { LegendX, legendTop, c.TextWidth(legend), c.TextHeight(legend) };

    std::array<LabelBox, DimensionCount> sizes {};
    for (int i = 0; i < DimensionCount; ++i) {
        d.Texts[size_t(i)] = FormatNumber(Dimension(p, i), ValueFormat);
        sizes[size_t(i)]
            = { 0, 0, c.TextWidth(d.Texts[size_t(i)]), c.TextHeight(d.Texts[size_t(i)]) };
    }
    const LabelBox slopeSize { 0, 0, c.TextWidth(SlopePrefix), c.TextHeight(SlopePrefix) };
    d.Boxes = PlaceDimensionLabelsClear(
        layout, sizes, slopeSize, { d.Legend }, FigureStrokes(d.Shapes), DrawingBounds(ctx));
    return d;
}

void PrintDimensionsSection(ReportContext& ctx)
{
    BeginSection(ctx);
    PrintSectionTitle(ctx, "Dimensions");
    const Project& p = ctx.Record;
    PageCanvas& c = ctx.Canvas;
    const WallLayout& layout = LayoutWall(ctx);
    ctx.BodyFontSize = static_cast<float>(ValueFontPoints * ctx.PageScale);
    SetSectionFont(ctx, ctx.BodyFontSize, false);
    const DimensionsFigure d = DimensionsSectionFigure(ctx, layout);
    PaintFigure(ctx, d.Shapes);

    c.SetForeColour(ColourBlack);
    PrintAt(
        ctx, d.Legend.Left, d.Legend.Top, "Dimensions in " + std::string(LengthUnit[UnitIndex(p)]));

    // The values in blue, as the main window shows them; "1 : " and the slope as one text.
    c.SetForeColour(ColourBlue);
    for (int i : PrintOrder) {
        if (i == SlopeIndex) {
            PrintAt(ctx, d.Boxes.Slope.Left, d.Boxes.Slope.Top,
                std::string(SlopePrefix) + d.Texts[size_t(i)]);
            continue;
        }
        const LabelBox& b = d.Boxes.Dim[size_t(i)];
        PrintAt(ctx, b.Left, b.Top, d.Texts[size_t(i)]);
    }
    c.SetForeColour(ColourBlack);
}

} // namespace pendrake::report
