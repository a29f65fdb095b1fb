// What the report sections share: labels with Greek letters, subscripts and superscripts written
// as one markup string, the body font, figure values kept apart and inside the frame, and the
// first steps of the drawing sections.
#include "report/ReportSections.h"

#include "drawing/LabelPlacement.h"

#include "model/NumberFormat.h"
#include "model/Units.h"
#include "report/DiagramPrimitives.h"

#include <algorithm>
#include <array>
#include <string>

namespace pendrake::report {

namespace {

enum class PieceKind { Plain, Greek, Subscript, Superscript };

struct Piece {
    PieceKind Kind = PieceKind::Plain;
    std::string_view Text;
};

// Splits the markup into its pieces. A "{" or "_{"/"^{" without its closing brace prints as
// it stands, so a label can never lose characters.
std::vector<Piece> Parse(std::string_view m)
{
    std::vector<Piece> pieces;
    size_t plainStart = 0;
    auto flushPlain = [&](size_t end) {
        if (end > plainStart)
            pieces.push_back({ PieceKind::Plain, m.substr(plainStart, end - plainStart) });
    };
    size_t i = 0;
    while (i < m.size()) {
        const bool script = (m[i] == '_' || m[i] == '^') && i + 1 < m.size() && m[i + 1] == '{';
        if (script) {
            const size_t close = m.find('}', i + 2);
            if (close != std::string_view::npos) {
                flushPlain(i);
                pieces.push_back({ m[i] == '_' ? PieceKind::Subscript : PieceKind::Superscript,
                    m.substr(i + 2, close - i - 2) });
                i = close + 1;
                plainStart = i;
                continue;
            }
        }
        if (m[i] == '{' && i + 2 < m.size() && m[i + 2] == '}') {
            flushPlain(i);
            pieces.push_back({ PieceKind::Greek, m.substr(i + 1, 1) });
            i += 3;
            plainStart = i;
            continue;
        }
        ++i;
    }
    flushPlain(m.size());
    return pieces;
}

// Sub- and superscripts are set at two thirds of the size they stand in.
constexpr double ScriptShare = 2.0 / 3.0;

// Texts of a figure keep this far from the section frame's edges, page units.
constexpr double FrameInset = 60;
// The white ground under a figure's value reaches this far beyond its ends, page units.
constexpr double TextGround = 10;

} // namespace

void SetSectionFont(ReportContext& ctx, double size, bool bold)
{
    SetPrinterFont(ctx, ctx.TextFont, size, bold, false);
}

void PrintAt(ReportContext& ctx, double x, double y, std::string_view text)
{
    ctx.Canvas.SetPen(x, y);
    ctx.Canvas.Print(text);
}

void PrintRightAlignedWithin(ReportContext& ctx, std::string_view text, double x, double maxWidth)
{
    PageCanvas& c = ctx.Canvas;
    const double width = c.TextWidth(text);
    if (width <= maxWidth || maxWidth <= 0) {
        PrintRightAligned(ctx, text, x);
        return;
    }
    const CanvasFont normal = c.Font();
    CanvasFont narrow = normal;
    narrow.Size = normal.Size * maxWidth / width;
    c.SetFont(narrow);
    PrintRightAligned(ctx, text, x);
    c.SetFont(normal);
}

void PrintMarkup(ReportContext& ctx, double x, double y, std::string_view markup)
{
    ctx.Canvas.SetPen(x, y);
    for (const Piece& p : Parse(markup)) {
        switch (p.Kind) {
        case PieceKind::Plain: ctx.Canvas.Print(p.Text); break;
        case PieceKind::Greek: PrintGreek(ctx, p.Text.front()); break;
        case PieceKind::Subscript: PrintSubscript(ctx, p.Text); break;
        case PieceKind::Superscript: PrintSuperscript(ctx, p.Text); break;
        }
    }
}

double MarkupWidth(ReportContext& ctx, std::string_view markup)
{
    PageCanvas& c = ctx.Canvas;
    double width = 0;
    for (const Piece& p : Parse(markup)) {
        switch (p.Kind) {
        case PieceKind::Plain: width += c.TextWidth(p.Text); break;
        case PieceKind::Greek: width += c.TextWidth(GreekLetter(p.Text.front())); break;
        case PieceKind::Subscript:
        case PieceKind::Superscript: {
            const CanvasFont normal = c.Font();
            CanvasFont small = normal;
            small.Size = normal.Size * ScriptShare;
            c.SetFont(small);
            width += c.TextWidth(p.Text);
            c.SetFont(normal);
            break;
        }
        }
    }
    return width;
}

LabelBox SectionBodyBox(const ReportContext& ctx, double inset)
{
    const double top = double(ctx.SectionBodyTop) + inset;
    const double bottom = double(ctx.SectionTop) + double(ctx.HalfPageHeight) - inset;
    return { inset, top, std::max(0.0, double(ctx.PageWidth) - 2 * inset),
        std::max(0.0, bottom - top) };
}

LabelBox KeepInsideFrame(const ReportContext& ctx, LabelBox b)
{
    const LabelBox body = SectionBodyBox(ctx, FrameInset);
    b.Left = std::clamp(b.Left, body.Left, std::max(body.Left, body.Right() - b.Width));
    b.Top = std::clamp(b.Top, body.Top, std::max(body.Top, body.Bottom() - b.Height));
    return b;
}

LabelBox DrawingBounds(const ReportContext& ctx)
{
    return SectionBodyBox(ctx, FrameInset);
}

std::vector<LabelBox> PlaceFigureTexts(
    ReportContext& ctx, const Figure& figure, const std::vector<LabelBox>& obstacles)
{
    PageCanvas& c = ctx.Canvas;
    std::vector<LabelWish> wishes;
    for (const FigureText& t : figure.Texts)
        wishes.push_back(WishOf(t, { 0, 0, c.TextWidth(t.Text), c.TextHeight(t.Text) }));
    return PlaceLabels(wishes, FigureStrokes(figure), obstacles, DrawingBounds(ctx));
}

std::vector<LabelBox> PaintFigureSeparated(
    ReportContext& ctx, const Figure& figure, const std::vector<LabelBox>& obstacles)
{
    Figure shapes = figure;
    shapes.Texts.clear();
    PaintFigure(ctx, shapes);

    PageCanvas& c = ctx.Canvas;
    const std::vector<LabelBox> placed = PlaceFigureTexts(ctx, figure, obstacles);
    // Each value on a white ground within its clearance, so that a fill under it does not
    // show through.
    for (size_t i = 0; i < figure.Texts.size(); ++i) {
        const LabelBox& b = placed[i];
        c.SetForeColour(ColourWhite);
        c.SetFillColour(ColourWhite);
        c.SetFillStyle(FillStyle::Solid);
        c.DrawBox(b.Left - TextGround, b.Top, b.Right() + TextGround, b.Bottom());
        c.SetFillStyle(FillStyle::Transparent);
        c.SetForeColour(figure.Texts[i].Colour);
        PrintAt(ctx, b.Left, b.Top, figure.Texts[i].Text);
    }
    c.SetForeColour(ColourBlack);
    return placed;
}

const WallLayout& BeginDrawingSection(ReportContext& ctx, std::string_view title, double bodyPoints)
{
    BeginSection(ctx);
    PrintSectionTitle(ctx, title);
    const WallLayout& layout = LayoutWall(ctx);
    ctx.BodyFontSize = static_cast<float>(bodyPoints * ctx.PageScale);
    SetSectionFont(ctx, ctx.BodyFontSize, false);
    return layout;
}

std::vector<LabelBox> LoadLegendBoxes(ReportContext& ctx)
{
    // PrintLoadLegend's lines: 480, 360 and 240 units above the frame bottom at x = 120.
    constexpr double legendX = 120;
    constexpr std::array<double, 3> rise = { 480, 360, 240 };
    const Project& p = ctx.Record;
    const std::array<std::string, 3> lines = {
        "Seismic coefficient = " + FormatNumber(p.SeismicCoef, ValueFormat),
        "Line loads in " + LineLoadUnit(p.UnitSystem),
        "Distributed loads in " + std::string(PressureUnit[UnitIndex(p)]),
    };
    const double bottom = double(ctx.SectionTop) + ctx.HalfPageHeight;
    std::vector<LabelBox> boxes;
    for (size_t k = 0; k < lines.size(); ++k)
        boxes.push_back({ legendX, bottom - rise[k], ctx.Canvas.TextWidth(lines[k]),
            ctx.Canvas.TextHeight(lines[k]) });
    return boxes;
}

size_t UnitIndex(const Project& project)
{
    return static_cast<size_t>(std::clamp<int>(project.UnitSystem, 0, 2));
}

} // namespace pendrake::report
