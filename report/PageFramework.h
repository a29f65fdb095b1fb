// The printed report's page framework: page units and their scale, the half-page section frame
// with its title strip, the footer with its field codes, text placement (centred, right-aligned,
// fitted, sub- and superscript, Greek letters), and the diagram primitives the drawing sections
// share (arrows, the wall fitted into a section, the load scale, the load legend).
#pragma once

#include "analysis/Combinations.h"
#include "analysis/LoadCases.h"
#include "analysis/Stability.h"
#include "document/ProjectDocument.h"
#include "drawing/WallGeometry.h"
#include "model/Project.h"
#include "report/PageCanvas.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pendrake::report {

// Every millimetre of the report is this many twips.
inline constexpr double TwipsPerMm = 56.7;
// The page is laid out for the printable area of an A4 sheet less the default margins
// (165 by 257 mm); other paper scales the whole layout.
inline constexpr double ReferencePrintWidth = 9355.5;
inline constexpr double ReferencePrintHeight = 14571.9;
// Title strip of a section frame (8 mm) and the gap between the two halves of a sheet (5 mm).
inline constexpr double TitleStripHeight = 453.6;
inline constexpr double HalfPageGap = 283.5;
// Where a page routine prints its own title: below the frame top, centred at this share of
// the width (the middle cell of the title strip), 10 points times PageScale, bold.
inline constexpr double SectionTitleOffset = 126.8;
inline constexpr double SectionTitleCentre = 0.3;
inline constexpr double SectionTitleSize = 10;
// Footer font size in points, never scaled.
inline constexpr double FooterFontSize = 8;

// Greek letters and signs, as their Unicode characters.
inline constexpr std::string_view InfinitySign = "\u221E";
inline constexpr std::string_view NoteMark = "\u00BB"; // right-pointing double angle mark
inline constexpr std::string_view UnnamedProject = "[Unnamed]";

// What an operation of a diagram section draws with.
struct DrawingState {
    WallLayout Layout; // DrawScale, DrawOriginX, DrawOriginY, NodeX, NodeY
    float LoadScale = 0; // page units per pressure or line-load unit
};

// The report being composed: the canvas, the document it prints (its record and the results of
// its engine runs, which the sections read), and the page state. One per print job.
struct ReportContext {
    ReportContext(PageCanvas& canvas, const ProjectDocument& document);
    // The same over results held elsewhere (a test's prepared ones); fileName "" is unnamed.
    ReportContext(PageCanvas& canvas, const Project& record, const StabilityResults& stability,
        const CombinationResults& combinations, std::string fileName = {});

    PageCanvas& Canvas;
    const Project& Record;
    // The project file's name, for the &INPUT field.
    std::string FileName;

    // Fonts fixed at program start (ChooseReportFonts).
    std::string TextFont = "Arial";
    std::string GreekFont = "Arial";

    // Page state (SetupPage, BeginSection, the print job).
    float PageScale = 1; // twips per page unit
    int16_t PrintWidth = 0; // page units
    int16_t PrintHeight = 0;
    int16_t PageWidth = 0; // width of a section frame
    int16_t HalfPageHeight = 0; // height of a section frame
    int16_t HalfPageBodyHeight = 0;
    int16_t HalfPageSlot = -1; // -1 none yet, 0 upper, 1 lower
    int16_t SectionTop = 0;
    int16_t SectionBodyTop = 0;
    float BodyFontSize = 0;
    int16_t PageNumber = 1;
    // Sheets of the whole job, counted before printing; 0 while unknown (NPAGES prints nothing).
    int16_t PageCount = 0;

    // Texts of &Date and &Time: the moment the job started, in the user's locale. Filled by
    // SetupPage from the C library when the caller left them empty.
    std::string DateText;
    std::string TimeText;

    DrawingState Drawing;

    // The document's results: the service-load stability and the combinations with the design.
    const StabilityResults& Stability;
    const CombinationResults& Combinations;

    // Printer errors caught by BeginSection and PrintFooter. When OnPrinterError is set it is
    // told (the window shows a warning box); otherwise the texts collect in Messages.
    std::function<void(const std::string&)> OnPrinterError;
    std::vector<std::string> Messages;
};

// The fonts chosen once at start-up: the report's text font and the font its Greek letters are
// set in, for the window's printing and the command line's alike.
struct FontChoice {
    std::string TextFont;
    std::string GreekFont;
};

// TextFont: "Arial" when installed; else its metric twin "Liberation Sans", which keeps the
// report's text widths; else "Times New Roman", "Courier New", the first family listed.
// GreekFont: "Symbol" when installed, else TextFont. Names are matched without regard to case
// and reported as the list spells them.
FontChoice ChooseFonts(const std::vector<std::string>& families);

// The same choice, put into the report's context.
void ChooseReportFonts(ReportContext& ctx, const std::vector<std::string>& families);

// --- Page set-up and fonts ------------------------------------------------------------------

// Fixes page units and geometry from the canvas's paper and the project's margins;
// PageNumber = 1. False (with a message) when the margins leave no room on the paper.
bool SetupPage(ReportContext& ctx);

// Sets the font; the size is set before and after the name so the new font keeps it.
void SetPrinterFont(ReportContext& ctx, std::string_view name, double size, bool bold, bool italic);

// Line width in millimetres: device pixels = mm x 56.7 / twips per pixel, rounded, at least 1.
void SetPenWidth(ReportContext& ctx, double millimetres);
int PenWidthPixels(double millimetres, double twipsPerPixel);

// --- Text placement -------------------------------------------------------------------------

// Prints at the current pen y, centred on (ending at) x.
void PrintCentered(ReportContext& ctx, std::string_view text, double x);
void PrintRightAligned(ReportContext& ctx, std::string_view text, double x);

// Sets the font and returns the text, cut character by character from its end until it is
// at most maxWidth page units wide. No ellipsis.
std::string FitText(ReportContext& ctx, std::string_view text, int16_t maxWidth,
    std::string_view fontName, double size, bool bold, bool italic);

// Two thirds of the current size, lowered 10 x size (raised 2.5 x size) page units; the pen y
// and the font size are restored, the pen x stays after the text.
void PrintSubscript(ReportContext& ctx, std::string_view text);
void PrintSuperscript(ReportContext& ctx, std::string_view text);

// The Greek letter of a Symbol-font key: 'm' mu, 'g' gamma, 'd' delta, 'f' phi, 'r' rho,
// 's' sigma, 'S' capital sigma, 'b' beta, 'a' alpha, 'q' theta, 'y' psi, and the character 165,
// infinity. Empty for any other key.
std::string_view GreekLetter(char key);
// Prints that letter at the pen in the current size and style (in GreekFont when it is a real
// Symbol font, as the key letter of its code page; else the Unicode letter in TextFont), then
// returns to the font that was in force.
void PrintGreek(ReportContext& ctx, char key);
// The infinity sign in the current size, right-aligned at x.
void PrintInfinityRightAligned(ReportContext& ctx, double x);

// --- Sections and footer --------------------------------------------------------------------

// Field codes, case-insensitive after "&": DATE, TIME, INPUT (file name in capitals or
// "[Unnamed]"), PAGE, NPAGES. Any other "&" is copied.
std::string ExpandFieldCodes(const ReportContext& ctx, std::string_view text);

// The frame and three-cell title strip of the half page HalfPageSlot; sets SectionTop and
// SectionBodyTop. Printer errors go to OnPrinterError / Messages.
void BeginSection(ReportContext& ctx);

// The page routine's own title in the middle cell: TextFont, 10 x PageScale points, bold.
void PrintSectionTitle(ReportContext& ctx, std::string_view title);

// The three-part footer line of the current sheet.
void PrintFooter(ReportContext& ctx);

// Footer, new sheet, PageNumber + 1.
void EjectPage(ReportContext& ctx);

// A printer error: told to OnPrinterError when set, else kept in Messages.
void ReportPrinterError(ReportContext& ctx, const std::string& text);

// --- Diagram primitives ---------------------------------------------------------------------

// A straight line in the current fore colour and pen width.
void DrawLine(ReportContext& ctx, double x1, double y1, double x2, double y2);

// kind 1: a single arrow, head at (x2, y2), drawn normally from 60 page units long;
// kind 2: a dimension arrow, heads at both ends, drawn normally from 180. Shorter arrows keep
// heads of full size (outside the ends for a dimension arrow); a zero length leaves a mark.
inline constexpr int16_t SingleArrow = 1;
inline constexpr int16_t DimensionArrow = 2;
void DrawArrow(ReportContext& ctx, double x1, double y1, double x2, double y2, int16_t kind);

// The drawing area of a section, page units: left 1440, top SectionBodyTop + 900, width
// 0.8 x (PageWidth - 2640), height HalfPageBodyHeight - 1800.
DrawArea SectionDrawArea(const ReportContext& ctx);

// Fits the wall into the section's drawing area; sets ctx.Drawing.Layout and returns it.
const WallLayout& LayoutWall(ReportContext& ctx);

// The load diagrams' scale from load cases computed with every load factor 1; sets
// ctx.Drawing.LoadScale and returns it.
float LoadScale(ReportContext& ctx, const LoadCaseResults& loads);

// The three legend lines at the foot of a load drawing, in the current font.
void PrintLoadLegend(ReportContext& ctx);

} // namespace pendrake::report
