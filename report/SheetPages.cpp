// The calculation sheet in the printed report: its text wrapped to the section frame and printed
// into as many half pages as it needs, each with the frame, its title strip and the footer.
#include "report/ReportSections.h"

#include "sheet/CalculationSheet.h"

#include <algorithm>
#include <sstream>

namespace pendrake::report {

namespace {

// Body text 7 points times PageScale on lines 210 page units apart, from 240 inside the frame.
constexpr double BodyTopBelowStrip = 320;
constexpr double BodyFontPoints = 7;
constexpr double LineSpacing = 210;
constexpr double LeftX = 240;
// A line too long for the frame goes on below, indented by this much text.
constexpr std::string_view ContinuationIndent = "        ";

void SetSheetFont(ReportContext& ctx)
{
    SetPrinterFont(ctx, ctx.TextFont, BodyFontPoints * ctx.PageScale, false, false);
}

// Cuts a line at blanks (or anywhere, for a word wider than the frame) to fit `width`.
void Wrap(ReportContext& ctx, const std::string& line, double width, std::vector<std::string>& out)
{
    std::string rest = line;
    bool first = true;
    while (true) {
        const std::string lead = first ? std::string() : std::string(ContinuationIndent);
        if (ctx.Canvas.TextWidth(lead + rest) <= width || rest.empty()) {
            out.push_back(lead + rest);
            return;
        }
        size_t cut = rest.size();
        while (cut > 1 && ctx.Canvas.TextWidth(lead + rest.substr(0, cut)) > width)
            --cut;
        const size_t blank = rest.rfind(' ', cut);
        if (blank != std::string::npos && blank > 0)
            cut = blank;
        // Never inside a UTF-8 character.
        while (cut > 1 && (static_cast<unsigned char>(rest[cut]) & 0xC0) == 0x80)
            --cut;
        out.push_back(lead + rest.substr(0, cut));
        rest = rest.substr(cut);
        rest.erase(0, rest.find_first_not_of(' '));
        first = false;
    }
}

size_t LinesPerHalf(const ReportContext& ctx)
{
    const double room = double(ctx.HalfPageBodyHeight) - BodyTopBelowStrip;
    return size_t(std::max(1.0, room / LineSpacing));
}

} // namespace

std::vector<std::string> SheetPrintLines(ReportContext& ctx)
{
    const CalculationSheet sheet
        = BuildCalculationSheet(ctx.Record, ctx.Stability, ctx.Combinations);
    SetSheetFont(ctx);
    const double width = double(ctx.PageWidth) - 2 * LeftX;
    std::vector<std::string> lines;
    std::istringstream text(SheetText(sheet));
    for (std::string line; std::getline(text, line);)
        Wrap(ctx, line, width, lines);
    return lines;
}

int SheetHalfPages(ReportContext& ctx, const std::vector<std::string>& lines)
{
    const size_t per = LinesPerHalf(ctx);
    return int((lines.size() + per - 1) / per);
}

void PrintSheetSection(ReportContext& ctx, const std::vector<std::string>& lines, int half)
{
    BeginSection(ctx);
    PrintSectionTitle(ctx, "Calculation sheet");
    SetSheetFont(ctx);
    ctx.Canvas.SetForeColour(ColourBlack);
    const size_t per = LinesPerHalf(ctx);
    const size_t first = size_t(std::max(half, 0)) * per;
    const double top = ctx.SectionBodyTop + BodyTopBelowStrip;
    for (size_t k = first; k < std::min(lines.size(), first + per); ++k) {
        ctx.Canvas.SetPenX(LeftX);
        ctx.Canvas.SetPenY(top + double(k - first) * LineSpacing);
        ctx.Canvas.Print(lines[k]);
    }
}

} // namespace pendrake::report
