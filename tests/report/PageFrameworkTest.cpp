// The page framework on the recording canvas: page geometry, halves, footer and field codes, and
// the Greek letters with or without a Symbol font.
#include "report/PageFramework.h"
#include "report/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace pendrake;
using namespace pendrake::report;

// Page scales are single precision: a float carries about 7 significant digits.
constexpr double ScaleTolerance = 1e-6;
// Positions are sums of a few doubles of page units: exact to far below a unit.
constexpr double PositionTolerance = 1e-6;
// Twips in a millimetre.
constexpr double TwipsPerMm = 56.7;

struct Fixture {
    explicit Fixture(PaperGeometry paper = A4Paper())
        : canvas(paper)
        , project(MakeNewProject("Arial"))
        , ctx(canvas, project, stability, combinations)
    {
        ctx.TextFont = "Arial";
        ctx.GreekFont = "Arial";
        ctx.DateText = "Tuesday, 4 March 2025";
        ctx.TimeText = "14:05";
    }
    RecordingCanvas canvas;
    Project project;
    StabilityResults stability;
    CombinationResults combinations;
    ReportContext ctx;
};

// Values worked by hand from A4 less the default margins (25, 20, 20, 20 mm), the smaller of
// the two ratios to 9355.5 by 14571.9, and rounding halves to even, on a printer that cannot
// print the outer 5 mm.
TEST(PageFramework, PageUnitsFooterAndLowerHalfOfA4)
{
    const double edge = 5 * TwipsPerMm;
    Fixture f({ 11907, 16839.9, 11907 - 2 * edge, 16839.9 - 2 * edge, 1.2 });
    ASSERT_TRUE(SetupPage(f.ctx));
    // 9355.5 and 14571.9 rounded to 9356 and 14572; the height ratio 1.0000069 is smaller.
    EXPECT_NEAR(f.ctx.PageScale, 1.0000069141, ScaleTolerance);
    EXPECT_EQ(f.ctx.PrintWidth, 9356);
    EXPECT_EQ(f.ctx.PrintHeight, 14572);
    // 7002.5 rounds to the even 7002; its body 6548.
    EXPECT_EQ(f.ctx.HalfPageHeight, 7002);
    EXPECT_EQ(f.ctx.HalfPageBodyHeight, 6548);
    // The page origin is the corner of the left and top margins, less the edge the printer
    // cannot print.
    EXPECT_NEAR(f.canvas.MappingLeft(), edge - 25 * TwipsPerMm, PositionTolerance);
    EXPECT_NEAR(f.canvas.MappingTop(), edge - 20 * TwipsPerMm, PositionTolerance);
    EXPECT_NEAR(f.canvas.MappingScale(), 1.0000069141, ScaleTolerance);

    // The footer's three parts on one line above the bottom margin, cut from their end.
    f.ctx.PageNumber = 3;
    f.ctx.FileName = "/w/quay.pdi";
    PrintFooter(f.ctx);
    const auto texts = f.canvas.Texts();
    ASSERT_EQ(texts.size(), 3u);
    // One 8-point line (160 twips) above the bottom of the printable height.
    for (const RecordedCall& t : texts)
        EXPECT_NEAR(t.Y1, 14572 - 160, PositionTolerance);
    EXPECT_EQ(texts[0].Text, "QUAY.PDI");
    EXPECT_EQ(texts[1].Text, "Tuesday, 4 March 2025 14:05");
    EXPECT_EQ(texts[2].Text, "Page 3");

    // 8-point characters are 80 units wide at this scale (80.0 less a hair): 116 of them fill
    // 9280 of the 9356 units, a 117th would need 9360. Characters are cut whole, also where
    // they take several bytes.
    for (const std::string character : { "W", "\u00E9" }) {
        std::string text, cut;
        for (int i = 0; i < 150; ++i)
            (i < 116 ? cut : text) += character;
        f.project.PageFieldText = { "", cut + text, "", "" };
        PrintFooter(f.ctx);
        ASSERT_NE(f.canvas.FindText(cut), nullptr) << character;
        EXPECT_LE(f.canvas.FindText(cut)->X2, f.ctx.PrintWidth);
    }

    // The lower half and its title strip.
    f.project.ProjectTitle = std::string(80, 'T');
    f.ctx.HalfPageSlot = 1;
    BeginSection(f.ctx);
    // (7002 + 283.5) x 1 = 7285.5, even: 7286; the strip is 453.6 deep: 7739.6 rounds to 7740.
    EXPECT_EQ(f.ctx.SectionTop, 7286);
    EXPECT_EQ(f.ctx.SectionBodyTop, 7740);
    // The strip's captions; the project title is cut to 60 % of the width, 5614 units:
    // 56 characters of 100 units.
    for (const std::string& text :
        { std::string("Pendrake"), std::string("Version 1.10.40"), std::string(56, 'T') })
        EXPECT_NE(f.canvas.FindText(text), nullptr) << text;
}

// --- Field codes ---------------------------------------------------------------------

TEST(ExpandFieldCodes, CodesInAnyCaseAndEverythingElseCopied)
{
    const char* quay = "/home/eng/walls/North-Quay.pdi";
    const struct {
        const char* Text;
        const char* FileName;
        const char* Expanded;
    } cases[] = {
        { "&DATE &tImE", quay, "Tuesday, 4 March 2025 14:05" },
        { "&Input", quay, "NORTH-QUAY.PDI" },
        { "&input", "C:\\Projects\\quay wall.pdi", "QUAY WALL.PDI" },
        // Latin letters beyond ASCII in capitals too.
        { "&INPUT", "/tmp/Mauer-S\u00FCd.pdi", "MAUER-S\u00DCD.PDI" },
        { "&Input", "", "[Unnamed]" },
        { "&Page of &NPAGES", quay, "3 of 5" },
        { "&X", quay, "&X" },
        { "ends in &", quay, "ends in &" },
        { "&&page", quay, "&3" },
        // PAGE is tried before NPAGES and matches the start of "PAGES".
        { "&PAGES", quay, "3S" },
    };
    Fixture f;
    f.ctx.PageNumber = 3;
    f.ctx.PageCount = 5;
    for (const auto& c : cases) {
        f.ctx.FileName = c.FileName;
        EXPECT_EQ(ExpandFieldCodes(f.ctx, c.Text), c.Expanded) << c.Text << " of " << c.FileName;
    }
    // A total not counted yet prints nothing.
    f.ctx.PageCount = 0;
    EXPECT_EQ(ExpandFieldCodes(f.ctx, "[&npages]"), "[]");
}

// The text font by preference, the Greek letters from a real Symbol font on their Latin keys
// (infinity on character 165), else from the text font as their Unicode characters.
TEST(ReportFonts, ChosenByPreferenceAndGreekInUnicodeWithoutSymbol)
{
    const struct {
        std::vector<std::string> Families;
        const char* Text;
        const char* Greek;
    } cases[] = {
        { { "Courier New", "Times New Roman", "ARIAL" }, "ARIAL", "ARIAL" },
        // Arial's metric twin before Times, Times before Courier.
        { { "Times New Roman", "Liberation Sans" }, "Liberation Sans", "Liberation Sans" },
        { { "Courier New", "Times New Roman" }, "Times New Roman", "Times New Roman" },
        { { "DejaVu Sans", "Courier New" }, "Courier New", "Courier New" },
        { { "Noto Serif", "Noto Sans" }, "Noto Serif", "Noto Serif" },
        { { "symbol", "arial" }, "arial", "symbol" },
        { {}, "", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        Fixture f;
        f.ctx.Canvas.SetMapping(0, 0, 1);
        ChooseReportFonts(f.ctx, c.Families);
        EXPECT_EQ(f.ctx.TextFont, c.Text);
        EXPECT_EQ(f.ctx.GreekFont, c.Greek);
        SetPrinterFont(f.ctx, "Arial", 10, true, false);
        PrintGreek(f.ctx, 'r');
        PrintGreek(f.ctx, 'S');
        PrintInfinityRightAligned(f.ctx, 4000);
        const auto texts = f.canvas.Texts();
        ASSERT_EQ(texts.size(), 3u);
        const bool symbol = std::string(c.Greek) == "symbol";
        EXPECT_EQ(texts[0].Text, symbol ? "r" : "\u03C1");
        EXPECT_EQ(texts[1].Text, symbol ? "S" : "\u03A3");
        EXPECT_EQ(texts[2].Text, symbol ? "\u00A5" : "\u221E");
        EXPECT_EQ(texts[0].Font.Name, c.Greek);
        EXPECT_NEAR(texts[2].X2, 4000, PositionTolerance);
        // The font in force comes back after the letter.
        EXPECT_EQ(f.canvas.Font().Name, "Arial");
    }
}

} // namespace
