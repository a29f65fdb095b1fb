// Page set-up, section frames, footer and text placement of the printed report, and the
// diagram primitives shared by the drawing sections.
#include "report/PageFramework.h"

#include "model/NumberFormat.h"
#include "model/Units.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <ctime>
#include <exception>
#include <limits>
#include <utility>

namespace pendrake::report {

namespace {

// Title strip furniture: the program name 16 points bold italic just below the frame top, the
// version 6 points near the strip's foot, the project title 10 points in the wide right cell.
constexpr double ProgramNameSize = 16;
constexpr double ProgramNameOffset = 1.75;
constexpr double VersionSize = 6;
constexpr double VersionOffset = 308.55;
constexpr double ProjectTitleSize = 10;
constexpr double FramePenMm = 0.2;
// Cell borders and centres of the title strip, as shares of the frame width.
constexpr double ProgramCellEnd = 0.2;
constexpr double ProgramCellCentre = 0.1;
constexpr double TitleCellEnd = 0.4;
constexpr double ProjectCellCentre = 0.7;
constexpr double ProjectCellWidth = 0.6;

// Sub- and superscripts: two thirds of the size, moved by so many page units per point (half
// and one eighth of the size, in twentieths of a point).
constexpr double ScriptSizeShare = 2.0 / 3.0;
constexpr double SubscriptDropPerPoint = 10;
constexpr double SuperscriptRisePerPoint = 2.5;

// The footer line stands one line of its font above the bottom margin: twentieths of a point.
constexpr double TwipsPerPoint = 20;

// Below this page scale the margins have eaten the paper: nothing sensible fits.
constexpr double SmallestPageScale = 0.05;

// Drawing area of a section: 2400 + 240 units at the sides, 1800 over and under, the section
// 0.8 of the rest of the width (the remainder holds the labels on the right).
constexpr double DrawAreaSideMargins = 2400 + 240;
constexpr double DrawAreaLeft = 2400.0 / 2 + 240;
constexpr double DrawAreaShare = 0.8;
constexpr double DrawAreaTopBottom = 1800;

// Load legend: x, and the three lines this far above the bottom of the section frame.
constexpr double LegendX = 120;
constexpr std::array<double, 3> LegendRise = { 480, 360, 240 };

constexpr int16_t Clamp16(double v)
{
    if (!(v > std::numeric_limits<int16_t>::min()))
        return std::numeric_limits<int16_t>::min();
    if (v > std::numeric_limits<int16_t>::max())
        return std::numeric_limits<int16_t>::max();
    return static_cast<int16_t>(v);
}

// Nearest integer, halves to even (the default rounding mode), held in 16 bits.
int16_t Round16(double v)
{
    return Clamp16(std::nearbyint(v));
}

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(),
            [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

// Byte offsets where the UTF-8 characters of text begin, plus the end.
std::vector<size_t> CharacterBounds(std::string_view text)
{
    std::vector<size_t> bounds;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            bounds.push_back(i);
    }
    bounds.push_back(text.size());
    return bounds;
}

// Capitals of a file name: ASCII and the Latin-1 letters à..þ (without ÷).
std::string Capitals(std::string_view text)
{
    std::string out(text);
    for (size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c < 0x80) {
            out[i] = char(std::toupper(c));
        } else if (c == 0xC3 && i + 1 < out.size()) {
            const auto d = static_cast<unsigned char>(out[i + 1]);
            if (d >= 0xA0 && d <= 0xBE && d != 0xB7)
                out[i + 1] = char(d - 0x20);
            ++i;
        }
    }
    return out;
}

std::string FileBaseName(std::string_view path)
{
    const size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string Utf8OfLatin1(unsigned char c)
{
    if (c < 0x80)
        return std::string(1, char(c));
    return { char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F)) };
}

std::string StrFTime(const char* format)
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char buffer[128] = {};
    const size_t n = std::strftime(buffer, sizeof buffer, format, &local);
    return std::string(buffer, n);
}

} // namespace

ReportContext::ReportContext(PageCanvas& canvas, const ProjectDocument& document)
    : ReportContext(canvas, document.Record(), document.Stability(), document.Combinations(),
        document.FileName())
{
}

ReportContext::ReportContext(PageCanvas& canvas, const Project& record,
    const StabilityResults& stability, const CombinationResults& combinations, std::string fileName)
    : Canvas(canvas)
    , Record(record)
    , FileName(std::move(fileName))
    , Stability(stability)
    , Combinations(combinations)
{
}

FontChoice ChooseFonts(const std::vector<std::string>& families)
{
    auto find = [&](std::string_view name) -> const std::string* {
        for (const std::string& f : families) {
            if (SameName(f, name))
                return &f;
        }
        return nullptr;
    };
    FontChoice choice;
    // Where Arial is missing (most Linux desktops), Liberation Sans has Arial's advance widths,
    // so right-aligned report columns stay where they were laid out.
    for (std::string_view name : { "Arial", "Liberation Sans", "Times New Roman", "Courier New" }) {
        if (const std::string* f = find(name)) {
            choice.TextFont = *f;
            break;
        }
    }
    if (choice.TextFont.empty() && !families.empty())
        choice.TextFont = families.front();
    const std::string* symbol = find("Symbol");
    choice.GreekFont = symbol ? *symbol : choice.TextFont;
    return choice;
}

void ChooseReportFonts(ReportContext& ctx, const std::vector<std::string>& families)
{
    FontChoice choice = ChooseFonts(families);
    ctx.TextFont = std::move(choice.TextFont);
    ctx.GreekFont = std::move(choice.GreekFont);
}

// --- Page set-up and fonts ------------------------------------------------------------------

bool SetupPage(ReportContext& ctx)
{
    const PaperGeometry paper = ctx.Canvas.Paper();
    const Project& p = ctx.Record;
    const double marginsX = (double(p.MarginLeft) + double(p.MarginRight)) * TwipsPerMm;
    const double marginsY = (double(p.MarginTop) + double(p.MarginBottom)) * TwipsPerMm;
    // Printable extent in twips, rounded as the page units are.
    const double printW = std::nearbyint(paper.PaperWidth - marginsX);
    const double printH = std::nearbyint(paper.PaperHeight - marginsY);
    const double scale = std::min(printW / ReferencePrintWidth, printH / ReferencePrintHeight);
    if (!(scale >= SmallestPageScale)) {
        // Margins from a damaged or hand-edited file that leave (almost) no paper.
        ReportPrinterError(ctx, "The page margins leave no room for the report on this paper.");
        return false;
    }
    ctx.PageScale = static_cast<float>(scale);
    const double ox = (paper.PaperWidth - paper.PrintableWidth) / 2;
    const double oy = (paper.PaperHeight - paper.PrintableHeight) / 2;
    ctx.Canvas.SetMapping(ox - double(p.MarginLeft) * TwipsPerMm,
        oy - double(p.MarginTop) * TwipsPerMm, double(ctx.PageScale));
    ctx.PrintWidth = Round16(printW / double(ctx.PageScale));
    ctx.PrintHeight = Round16(printH / double(ctx.PageScale));
    ctx.PageWidth = ctx.PrintWidth;
    ctx.HalfPageHeight = Round16(double(ctx.PrintHeight) / 2 - HalfPageGap);
    ctx.HalfPageBodyHeight = Round16(double(ctx.HalfPageHeight) - TitleStripHeight);
    ctx.PageNumber = 1;
    if (ctx.DateText.empty())
        ctx.DateText = StrFTime("%x");
    if (ctx.TimeText.empty())
        ctx.TimeText = StrFTime("%X");
    return true;
}

void SetPrinterFont(ReportContext& ctx, std::string_view name, double size, bool bold, bool italic)
{
    ctx.Canvas.SetFont({ std::string(name), size, bold, italic });
}

int PenWidthPixels(double millimetres, double twipsPerPixel)
{
    if (!(twipsPerPixel > 0))
        return 1;
    const double pixels = std::nearbyint(millimetres * TwipsPerMm / twipsPerPixel);
    return pixels < 1 ? 1 : int(std::min(pixels, 1000.0));
}

void SetPenWidth(ReportContext& ctx, double millimetres)
{
    ctx.Canvas.SetPenWidthPixels(PenWidthPixels(millimetres, ctx.Canvas.Paper().TwipsPerPixel));
}

// --- Text placement -------------------------------------------------------------------------

void PrintCentered(ReportContext& ctx, std::string_view text, double x)
{
    ctx.Canvas.SetPenX(x - ctx.Canvas.TextWidth(text) / 2);
    ctx.Canvas.Print(text);
}

void PrintRightAligned(ReportContext& ctx, std::string_view text, double x)
{
    ctx.Canvas.SetPenX(x - ctx.Canvas.TextWidth(text));
    ctx.Canvas.Print(text);
}

std::string FitText(ReportContext& ctx, std::string_view text, int16_t maxWidth,
    std::string_view fontName, double size, bool bold, bool italic)
{
    SetPrinterFont(ctx, fontName, size, bold, italic);
    PageCanvas& c = ctx.Canvas;
    if (c.TextWidth(text) <= maxWidth)
        return std::string(text);
    // Widths grow with every character added, so the longest fitting prefix is found by
    // halving instead of dropping one character at a time (a long title stays quick).
    const std::vector<size_t> bounds = CharacterBounds(text);
    size_t fits = 0; // characters known to fit
    size_t fails = bounds.size() - 1; // characters known not to fit
    while (fails - fits > 1) {
        const size_t mid = (fits + fails) / 2;
        if (c.TextWidth(text.substr(0, bounds[mid])) <= maxWidth)
            fits = mid;
        else
            fails = mid;
    }
    if (fits == 0 && c.TextWidth({}) > maxWidth)
        return {};
    return std::string(text.substr(0, bounds[fits]));
}

namespace {

void PrintScript(ReportContext& ctx, std::string_view text, double shiftPerPoint)
{
    PageCanvas& c = ctx.Canvas;
    CanvasFont font = c.Font();
    const double size = font.Size;
    const double y = c.PenY();
    font.Size = size * ScriptSizeShare;
    c.SetFont(font);
    c.SetPenY(y + shiftPerPoint * size);
    c.Print(text);
    c.SetPenY(y);
    font.Size = size;
    c.SetFont(font);
}

} // namespace

void PrintSubscript(ReportContext& ctx, std::string_view text)
{
    PrintScript(ctx, text, SubscriptDropPerPoint);
}

void PrintSuperscript(ReportContext& ctx, std::string_view text)
{
    PrintScript(ctx, text, -SuperscriptRisePerPoint);
}

std::string_view GreekLetter(char key)
{
    switch (static_cast<unsigned char>(key)) {
    case 'a': return "\u03B1";
    case 'b': return "\u03B2";
    case 'd': return "\u03B4";
    case 'f': return "\u03C6";
    case 'g': return "\u03B3";
    case 'm': return "\u03BC";
    case 'q': return "\u03B8";
    case 'r': return "\u03C1";
    case 's': return "\u03C3";
    case 'y': return "\u03C8";
    case 'S': return "\u03A3";
    case 165: return InfinitySign;
    default: return {};
    }
}

namespace {

// The text of a Greek letter and the font it is printed in.
std::pair<std::string, std::string> GreekPiece(const ReportContext& ctx, char key)
{
    // A real Symbol font holds the letters on its Latin keys; anything else gets Unicode.
    if (SameName(ctx.GreekFont, "Symbol") && !GreekLetter(key).empty())
        return { Utf8OfLatin1(static_cast<unsigned char>(key)), ctx.GreekFont };
    return { std::string(GreekLetter(key)), ctx.TextFont };
}

} // namespace

void PrintGreek(ReportContext& ctx, char key)
{
    PageCanvas& c = ctx.Canvas;
    const CanvasFont was = c.Font();
    auto [text, fontName] = GreekPiece(ctx, key);
    CanvasFont greek = was;
    greek.Name = fontName;
    c.SetFont(greek);
    c.Print(text);
    c.SetFont(was);
}

void PrintInfinityRightAligned(ReportContext& ctx, double x)
{
    PageCanvas& c = ctx.Canvas;
    const CanvasFont was = c.Font();
    auto [text, fontName] = GreekPiece(ctx, char(165));
    CanvasFont greek = was;
    greek.Name = fontName;
    c.SetFont(greek);
    PrintRightAligned(ctx, text, x);
    c.SetFont(was);
}

// --- Sections and footer --------------------------------------------------------------------

std::string ExpandFieldCodes(const ReportContext& ctx, std::string_view text)
{
    struct Code {
        std::string_view Name;
        int Id;
    };
    static constexpr std::array<Code, 5> codes
        = { { { "DATE", 0 }, { "TIME", 1 }, { "INPUT", 2 }, { "PAGE", 3 }, { "NPAGES", 4 } } };
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '&') {
            out += text[i++];
            continue;
        }
        const std::string_view rest = text.substr(i + 1);
        const Code* match = nullptr;
        for (const Code& code : codes) {
            if (rest.size() >= code.Name.size()
                && SameName(rest.substr(0, code.Name.size()), code.Name)) {
                match = &code;
                break;
            }
        }
        if (!match) {
            out += '&';
            ++i;
            continue;
        }
        switch (match->Id) {
        case 0: out += ctx.DateText; break;
        case 1: out += ctx.TimeText; break;
        case 2:
            out += ctx.FileName.empty() ? std::string(UnnamedProject)
                                        : Capitals(FileBaseName(ctx.FileName));
            break;
        case 3: out += std::to_string(ctx.PageNumber); break;
        case 4:
            // The job counts its sheets before it prints; unknown (0) prints nothing.
            if (ctx.PageCount > 0)
                out += std::to_string(ctx.PageCount);
            break;
        }
        i += 1 + match->Name.size();
    }
    return out;
}

void BeginSection(ReportContext& ctx)
{
    try {
        PageCanvas& c = ctx.Canvas;
        // A page printed on its own (the calculator) has no slot yet: it takes the upper half.
        const int slot = ctx.HalfPageSlot < 0 ? 0 : ctx.HalfPageSlot;
        ctx.SectionTop = Round16((double(ctx.HalfPageHeight) + HalfPageGap) * slot);
        ctx.SectionBodyTop = Round16(double(ctx.SectionTop) + TitleStripHeight);
        const double width = ctx.PageWidth;
        const double top = ctx.SectionTop;
        const double bodyTop = ctx.SectionBodyTop;

        SetPenWidth(ctx, FramePenMm);
        c.SetLineStyle(LineStyle::Solid);
        c.SetForeColour(ColourBlue);
        c.SetFillStyle(FillStyle::Solid);
        c.SetFillColour(ColourWhite);
        c.DrawBox(0, top, width, top + ctx.HalfPageHeight);

        c.SetFillStyle(FillStyle::Transparent);
        c.SetForeColour(ColourBlack);
        c.DrawBox(0, top, width, bodyTop);
        c.DrawLine(ProgramCellEnd * width, top, ProgramCellEnd * width, bodyTop);

        const double scale = ctx.PageScale;
        SetPrinterFont(ctx, ctx.TextFont, ProgramNameSize * scale, true, true);
        c.SetPenY(top + ProgramNameOffset);
        PrintCentered(ctx, "Pendrake", ProgramCellCentre * width);

        c.SetForeColour(ColourBlue);
        SetPrinterFont(ctx, ctx.TextFont, VersionSize * scale, false, false);
        c.SetPenY(top + VersionOffset);
        PrintCentered(ctx, "Version " + std::string(VersionText), ProgramCellCentre * width);

        c.DrawLine(TitleCellEnd * width, top, TitleCellEnd * width, bodyTop);

        const double titleSize = ProjectTitleSize * scale;
        SetPrinterFont(ctx, ctx.TextFont, titleSize, false, false);
        c.SetPenY(top + SectionTitleOffset);
        c.SetForeColour(ColourBlack);
        const std::string title = FitText(ctx, ctx.Record.ProjectTitle,
            Round16(ProjectCellWidth * width), ctx.TextFont, titleSize, false, false);
        PrintCentered(ctx, title, ProjectCellCentre * width);
    } catch (const std::exception& e) {
        ReportPrinterError(ctx, e.what());
    }
}

void PrintSectionTitle(ReportContext& ctx, std::string_view title)
{
    SetPrinterFont(ctx, ctx.TextFont, SectionTitleSize * ctx.PageScale, true, false);
    ctx.Canvas.SetPenY(ctx.SectionTop + SectionTitleOffset);
    PrintCentered(ctx, title, SectionTitleCentre * ctx.PageWidth);
}

void PrintFooter(ReportContext& ctx)
{
    try {
        PageCanvas& c = ctx.Canvas;
        // A project whose file names no font (written elsewhere) prints its footer in TextFont.
        const std::string& name
            = ctx.Record.ReportFontName.empty() ? ctx.TextFont : ctx.Record.ReportFontName;
        SetPrinterFont(ctx, name, FooterFontSize, false, false);
        c.SetForeColour(ColourBlack);
        c.SetPenY(double(ctx.PrintHeight) - c.Font().Size * TwipsPerPoint);
        c.SetPenX(0);
        const CanvasFont f = c.Font();
        auto part = [&](int k) {
            return FitText(ctx, ExpandFieldCodes(ctx, ctx.Record.PageFieldText.at(size_t(k))),
                ctx.PrintWidth, f.Name, f.Size, f.Bold, f.Italic);
        };
        const std::string left = part(1);
        c.SetPenX(0);
        c.Print(left);
        PrintCentered(ctx, part(2), double(ctx.PrintWidth) / 2);
        PrintRightAligned(ctx, part(3), ctx.PrintWidth);
    } catch (const std::exception& e) {
        ReportPrinterError(ctx, e.what());
    }
}

void ReportPrinterError(ReportContext& ctx, const std::string& text)
{
    if (ctx.OnPrinterError)
        ctx.OnPrinterError(text);
    else
        ctx.Messages.push_back(text);
}

void EjectPage(ReportContext& ctx)
{
    PrintFooter(ctx);
    if (!ctx.Canvas.NewPage())
        ReportPrinterError(ctx, "The printer refused a new page.");
    ++ctx.PageNumber;
}

// --- Diagram primitives ---------------------------------------------------------------------

void DrawLine(ReportContext& ctx, double x1, double y1, double x2, double y2)
{
    ctx.Canvas.DrawLine(x1, y1, x2, y2);
}

void DrawArrow(ReportContext& ctx, double x1, double y1, double x2, double y2, int16_t kind)
{
    const ArrowKind k = kind == DimensionArrow ? ArrowKind::Dimension : ArrowKind::Single;
    for (const Stroke& s : ArrowStrokes({ x1, y1 }, { x2, y2 }, k, PrintedArrowHead))
        ctx.Canvas.DrawLine(s.A.X, s.A.Y, s.B.X, s.B.Y);
}

DrawArea SectionDrawArea(const ReportContext& ctx)
{
    return { DrawAreaLeft, double(ctx.SectionBodyTop) + DrawAreaTopBottom / 2,
        DrawAreaShare * (double(ctx.PageWidth) - DrawAreaSideMargins),
        double(ctx.HalfPageBodyHeight) - DrawAreaTopBottom };
}

const WallLayout& LayoutWall(ReportContext& ctx)
{
    const Project& p = ctx.Record;
    const DrawArea area = SectionDrawArea(ctx);
    const WallFigureSize fig = MeasureWall(p);
    const double yTop = fig.Height - fig.BackfillRise;
    // Room above the wall top: the backfill drawn up to its far end. The loads on it find
    // their room in the margin of the drawing area, so a sloped wall is as large as a level one.
    const double above = fig.BackfillRise;
    const double W = fig.Width;
    const double H = yTop + above;
    const double aw = std::max(0.0, area.Width);
    const double ah = std::max(0.0, area.Height);
    double scale = 0;
    double left = area.Left;
    double figureTop = area.Top;
    if (W > 0 && H > 0) {
        if (W / H > aw / ah) {
            scale = aw / W;
            figureTop += (ah - H * scale) / 2;
        } else {
            scale = ah / H;
            left += (aw - W * scale) / 2;
        }
    }
    // The wall top sits below the room kept above it (with a level backfill: the area top).
    const double originY = figureTop + above * scale;
    // WallGeometry places the nodes (the backfill and water levels with them) for the box the
    // figure exactly fills at this scale.
    const DrawArea exact { left, originY - fig.BackfillRise * scale, W * scale,
        (yTop + fig.BackfillRise) * scale };
    ctx.Drawing.Layout = pendrake::LayoutWall(p, exact, ctx.PageWidth, ctx.PrintHeight);
    ctx.Drawing.Layout.DrawScale = static_cast<float>(scale);
    ctx.Drawing.Layout.DrawOriginX = static_cast<float>(left);
    ctx.Drawing.Layout.DrawOriginY = static_cast<float>(originY);
    return ctx.Drawing.Layout;
}

float LoadScale(ReportContext& ctx, const LoadCaseResults& loads)
{
    ctx.Drawing.LoadScale = static_cast<float>(ReportLoadScale(ctx.Record, loads));
    return ctx.Drawing.LoadScale;
}

void PrintLoadLegend(ReportContext& ctx)
{
    const Project& p = ctx.Record;
    const size_t u = size_t(std::clamp<int>(p.UnitSystem, 0, 2));
    const double bottom = double(ctx.SectionTop) + double(ctx.HalfPageHeight);
    const std::array<std::string, 3> lines = {
        "Seismic coefficient = " + FormatNumber(p.SeismicCoef, "#0.#0"),
        "Line loads in " + std::string(ForceUnit[u]) + "/" + std::string(LengthUnit[u]),
        "Distributed loads in " + std::string(PressureUnit[u]),
    };
    for (size_t k = 0; k < lines.size(); ++k) {
        ctx.Canvas.SetPen(LegendX, bottom - LegendRise[k]);
        ctx.Canvas.Print(lines[k]);
    }
}

} // namespace pendrake::report
