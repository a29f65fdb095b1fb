// The Dimensions section: the wall to scale with its anchors, the dimension lines of the
// seventeen dimensions and their values, placed as the main window places its labels.
#include "report/ReportSections.h"

#include "analysis/LoadCases.h"
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

void PrintDimensionsSection(ReportContext& ctx)
{
    BeginSection(ctx);
    PrintSectionTitle(ctx, "Dimensions");
    const Project& p = ctx.Record;
    PageCanvas& c = ctx.Canvas;
    const WallLayout& layout = LayoutWall(ctx);
    const FigureStyle style = PrintedFigureStyle();

    Figure figure;
    AddWallOutline(figure, p, layout);
    if (double(p.LowerSlopeHeight) + double(p.RearSlopeHeight) > 0 && p.AnchorRows > 0) {
        AddAnchors(figure, layout, ctx.Stability.Loads, style);
    }
    AddDimensionLines(figure, p, layout, style);
    ctx.BodyFontSize = static_cast<float>(ValueFontPoints * ctx.PageScale);
    SetSectionFont(ctx, ctx.BodyFontSize, false);
    PaintFigure(ctx, figure);

    // The legend first: the values keep clear of it.
    const std::string legend = "Dimensions in " + std::string(LengthUnit[UnitIndex(p)]);
    const double legendTop = double(ctx.SectionTop) + ctx.HalfPageHeight - LegendRise;
    c.SetForeColour(ColourBlack);
    PrintAt(ctx, LegendX, legendTop, legend);
    const LabelBox legendBox { LegendX, legendTop, c.TextWidth(legend), c.TextHeight(legend) };

    std::array<std::string, DimensionCount> texts;
    std::array<LabelBox, DimensionCount> sizes {};
    for (int i = 0; i < DimensionCount; ++i) {
        texts[size_t(i)] = FormatNumber(Dimension(p, i), ValueFormat);
        sizes[size_t(i)] = { 0, 0, c.TextWidth(texts[size_t(i)]), c.TextHeight(texts[size_t(i)]) };
    }
    const LabelBox slopeSize { 0, 0, c.TextWidth(SlopePrefix), c.TextHeight(SlopePrefix) };
    const DimensionLabelBoxes boxes = PlaceDimensionLabels(layout, sizes, slopeSize, { legendBox });

    // The values in blue, as the main window shows them.
    c.SetForeColour(ColourBlue);
    for (int i : PrintOrder) {
        LabelBox b = boxes.Dim[size_t(i)];
        if (i == SlopeIndex) {
            // "1 : " and the value as one text, kept together inside the frame.
            LabelBox both = boxes.Slope;
            both.Width = b.Right() - both.Left;
            both = KeepInsideFrame(ctx, both);
            PrintAt(ctx, both.Left, both.Top, std::string(SlopePrefix) + texts[size_t(i)]);
            continue;
        }
        b = KeepInsideFrame(ctx, b);
        PrintAt(ctx, b.Left, b.Top, texts[size_t(i)]);
    }
    c.SetForeColour(ColourBlack);
}

} // namespace pendrake::report
