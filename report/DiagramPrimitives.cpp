// The wall figures of WallGeometry painted on a report page.
#include "report/DiagramPrimitives.h"

namespace pendrake::report {

namespace {

// Sizes of the printed figures, page units: the report's own arrow head, concentrated forces
// and anchors a little shorter than on screen so that they stay inside a half page.
constexpr double PrintedForceArrow = 480;
constexpr double PrintedAnchorLength = 480;
constexpr double PrintedDiagramLength = 480;
constexpr double PrintedTextGap = 45;

void SetWeight(ReportContext& ctx, int weight)
{
    SetPenWidth(ctx, weight >= 2 ? ThickPenMm : ThinPenMm);
}

} // namespace

FigureStyle PrintedFigureStyle()
{
    FigureStyle style;
    style.Head = PrintedArrowHead;
    style.ForceArrowLength = PrintedForceArrow;
    style.AnchorLength = PrintedAnchorLength;
    style.DiagramLength = PrintedDiagramLength;
    style.TextGap = PrintedTextGap;
    return style;
}

void PaintFigure(ReportContext& ctx, const Figure& figure)
{
    PageCanvas& c = ctx.Canvas;
    c.SetLineStyle(LineStyle::Solid);
    for (const FigurePolygon& poly : figure.Polygons) {
        SetWeight(ctx, poly.Weight);
        c.SetForeColour(poly.Outline);
        c.SetFillStyle(poly.Filled ? FillStyle::Solid : FillStyle::Transparent);
        if (poly.Filled)
            c.SetFillColour(poly.Fill);
        c.DrawPolygon(poly.Points);
    }
    c.SetFillStyle(FillStyle::Transparent);
    for (const FigureLine& line : figure.Lines) {
        SetWeight(ctx, line.Weight);
        c.SetForeColour(line.Colour);
        c.SetLineStyle(line.Dashed ? LineStyle::Dash : LineStyle::Solid);
        c.DrawLine(line.A.X, line.A.Y, line.B.X, line.B.Y);
    }
    c.SetLineStyle(LineStyle::Solid);
    for (const FigureText& text : figure.Texts) {
        const double w = c.TextWidth(text.Text);
        const double h = c.TextHeight(text.Text);
        double x = text.At.X;
        double y = text.At.Y;
        if (text.Horizontal == HAlign::Centre)
            x -= w / 2;
        else if (text.Horizontal == HAlign::Right)
            x -= w;
        if (text.Vertical == VAlign::Middle)
            y -= h / 2;
        else if (text.Vertical == VAlign::Bottom)
            y -= h;
        c.SetForeColour(text.Colour);
        c.SetPen(x, y);
        c.Print(text.Text);
    }
    c.SetForeColour(ColourBlack);
    SetPenWidth(ctx, ThinPenMm);
}

} // namespace pendrake::report
