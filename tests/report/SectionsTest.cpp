// The report sections on the recording canvas: each value where it is printed and in its unit,
// the report of a document printing that document's results, every section inside its frame.
#include "document/ProjectDocument.h"
#include "report/ReportSections.h"

#include "analysis/Combinations.h"
#include "analysis/Stability.h"
#include "model/Units.h"
#include "report/DiagramPrimitives.h"
#include "report/PrintJob.h"
#include "report/RecordingCanvas.h"
#include "support/Walls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace pendrake::report {
namespace {

// Page positions are sums of a few decimal constants; only floating rounding separates the
// printed position from the one worked out by hand.
constexpr double PositionTolerance = 1e-6;

// On A4 with the default margins (PageScale 1): the upper section's title strip ends at
// Round(453.6) = 454 and the body rows start 320 below it; the page is 9356 wide.
constexpr double UpperBodyTop = 454 + 320;
constexpr double PageHalf = 9356 / 2.0;
// Row 1's values on the design page: section 1's M- column ends at 567 x 5.75 + 311.85.
constexpr double DesignRow1 = 567 * 5.75 + 311.85;

const Rgb Blue { 0, 0, 128 };

// The text on `page` that ends (right-aligned) at x, or with `starting` starts there, on the upper
// half's body row `offset`, or "(nothing)".
std::string TextAt(const RecordingCanvas& canvas, int page, double x, double offset, bool starting)
{
    for (const RecordedCall& c : canvas.Texts())
        if (c.Page == page && std::abs(c.Y1 - UpperBodyTop - offset) < PositionTolerance
            && std::abs((starting ? c.X1 : c.X2) - x) < PositionTolerance)
            return c.Text;
    return "(nothing)";
}

struct Sheet {
    Project Record = MakeNewProject("Arial");
    // Results prepared by each test; the sections read them through the context.
    StabilityResults Stability;
    CombinationResults Combinations;
    RecordingCanvas Canvas;
    ReportContext Ctx { Canvas, Record, Stability, Combinations };

    explicit Sheet(int16_t slot = 0)
    {
        ChooseReportFonts(Ctx, Canvas.FontFamilies());
        EXPECT_TRUE(SetupPage(Ctx));
        Ctx.HalfPageSlot = slot;
    }

    // The text calls whose top stands at y, left to right.
    std::vector<RecordedCall> TextsAt(double y) const
    {
        std::vector<RecordedCall> row;
        for (const RecordedCall& c : Canvas.Texts())
            if (std::abs(c.Y1 - y) < PositionTolerance)
                row.push_back(c);
        std::sort(row.begin(), row.end(),
            [](const RecordedCall& a, const RecordedCall& b) { return a.X1 < b.X1; });
        return row;
    }

    std::string EndingAt(double x, double offset, bool starting = false) const
    {
        return TextAt(Canvas, 1, x, offset, starting);
    }
};

// --- Stability section -------------------------------------------------------------------------

struct Cell {
    bool Right;
    double Offset;
    std::string Text;
};

// A stable wall with every safety factor above unity and no anchor in tension, the values the
// cases read set; each case changes it.
void Baseline(StabilityResults& r)
{
    r.Stable = true;
    r.TotalHorizontal = -37.4555f;
    r.OverturningSafety = 2.5f;
    r.BasePressureMin = 0.1f;
    r.BearingSafetyMin = 3.7706f;
    r.SlidingSafetyMin = 18.5725f;
    r.SlidingShear = 1.25f;
    r.AnchorTensionMax = 0;
    r.AnchorTensionSafety = float(InfiniteSafety);
    r.AnchorShearSafety = float(InfiniteSafety);
}

TEST(StabilitySection, ValuesNotApplicableInfinityAndNotesStandInTheirPlaces)
{
    const std::string lengthNote = "\u00BBPer 1 m of wall length.";
    const std::string baseTension
        = "\u00BBPart of the base is in tension, allowable tension pressure shall be checked.";
    const std::string inf = "\u221E";
    struct Case {
        const char* Name;
        std::function<void(Project&, StabilityResults&)> Set;
        std::vector<Cell> Cells;
        std::vector<std::string> Notes;
    };
    const Case cases[] = {
        { "UnstableWall",
            [](Project&, StabilityResults& r) {
                r.Stable = false;
                r.BearingSafetyMin = 100000; // infinity wins over "N/A"
                r.AnchorTensionMax = 5;
                r.AnchorTensionSafety = 250000;
                r.AnchorShearSafety = 2;
            },
            { { false, 240, "-37.46" }, { false, 1440, "N/A" }, { false, 1680, "N/A" },
                { false, 1920, inf }, { true, 240, "N/A" }, { true, 480, "N/A" },
                { true, 720, "N/A" }, { true, 1440, "N/A" }, { true, 1680, inf },
                { true, 1920, "N/A" }, { true, 2160, "N/A" } },
            { lengthNote,
                "\u00BBThe structure is not stable therefore the base, sliding and anchor values "
                "are not applicable." } },
        { "WallWithoutAnchors",
            [](Project& p, StabilityResults& r) {
                p.AnchorRows = 0;
                r.BasePressureMin = -0.5f;
                r.BearingSafetyMin = -2; // a negative factor gives no note
                r.SlidingSafetyMin = 100000;
            },
            { { false, 1680, "-0.50" }, { false, 1920, "-2.00" }, { true, 240, inf },
                { true, 480, "1.25" }, { true, 1440, "N/A" }, { true, 1680, "N/A" },
                { true, 1920, "N/A" }, { true, 2160, "N/A" } },
            { lengthNote, baseTension } },
        { "AnchorsWithoutTension",
            [](Project&, StabilityResults& r) {
                r.BearingSafetyMin = 1; // exactly one is not below unity
            },
            { { false, 960, "2.50" }, { false, 1920, "1.00" }, { true, 1440, "N/A" },
                { true, 1680, "N/A" } },
            { lengthNote, "\u00BBNo anchor tension occurs." } },
        { "AnchorsInTensionBelowUnity",
            [](Project&, StabilityResults& r) {
                r.BasePressureMin = -1;
                r.BearingSafetyMin = 0.5f;
                r.SlidingSafetyMin = 0.9f;
                r.AnchorTensionMax = 3.2f;
                // 24000 T/m² is 2400 kg/cm² (10 T/m² to the kg/cm²).
                r.AnchorTensionStress = 24000;
                r.AnchorTensionSafety = 0.5f;
                r.AnchorShearStress = 5000;
                r.AnchorShearSafety = 0.8f;
            },
            { { true, 1440, "2400.00" }, { true, 1680, "0.50" }, { true, 1920, "500.00" },
                { true, 2160, "0.80" } },
            { lengthNote, baseTension, "\u00BBThe base pressure safety factor is less than unity.",
                "\u00BBThe sliding safety factor is less than unity.",
                "\u00BBThe anchor tension safety factor is less than unity.",
                "\u00BBThe anchor shear safety factor is less than unity." } },
        { "InfiniteAnchorFactorsWhileInTension",
            [](Project&, StabilityResults& r) {
                r.AnchorTensionMax = 0.01f;
                r.AnchorTensionSafety = 100000;
                r.AnchorShearSafety = 100001;
            },
            { { true, 1440, "0.00" }, { true, 1680, inf }, { true, 2160, inf } }, { lengthNote } },
    };
    for (const Case& sc : cases) {
        SCOPED_TRACE(sc.Name);
        Sheet sheet;
        Baseline(sheet.Stability);
        sc.Set(sheet.Record, sheet.Stability);
        PrintStabilitySection(sheet.Ctx);
        for (const Cell& cell : sc.Cells) {
            // Values end at 3685.5 on the left, 3402 right of the middle on the right.
            EXPECT_EQ(
                sheet.EndingAt(cell.Right ? PageHalf + 3402.0 : 3685.5, cell.Offset), cell.Text)
                << (cell.Right ? "right " : "left ") << cell.Offset;
        }
        // The notes in their order, each on a line of its own under their heading.
        std::vector<std::string> notes;
        for (size_t k = 0; k < sc.Notes.size() + 1; ++k)
            for (const RecordedCall& c : sheet.TextsAt(UpperBodyTop + 2640 + 240.0 * k))
                notes.push_back(c.Text);
        EXPECT_EQ(notes, sc.Notes);
    }
}

// --- Concrete pages ------------------------------------------------------------------------------

TEST(ConcreteForcePages, ExactZeroPrintsDashesAndTheMomentPageTakesTheEnvelope)
{
    for (int page : { 1, 2, 3 }) {
        SCOPED_TRACE(page);
        Sheet sheet;
        CombinationResults& r = sheet.Combinations;
        auto& t = page == 1 ? r.ComboMoment : page == 2 ? r.ComboShear : r.ComboNormal;
        t[2][2] = 1e-4f;
        t[3][3] = -0.004f;
        t[4][1] = 12.5f;
        Envelope& e = r.Env;
        e.EnvMomentPos[2] = 11;
        e.EnvMomentNeg[2] = -12;
        e.EnvNormalPos[2] = 13;
        e.EnvNormalNeg[2] = 14;
        e.EnvMomentZ[2] = 15;
        PrintConcreteSection(sheet.Ctx, page);
        // Section s ends at 567 (6.5 + 2 (s - 1)); combination c stands 280 c below the body top.
        auto cell
            = [&](int c, int s) { return sheet.EndingAt(567 * (6.5 + 2 * (s - 1)), 280 * c); };
        EXPECT_EQ(cell(1, 1), "--");
        EXPECT_EQ(cell(2, 2), "0.00");
        EXPECT_EQ(cell(3, 3), "0.00");
        EXPECT_EQ(cell(4, 1), "12.50");
        if (page != 1)
            continue;
        // The moment page keeps the envelope for design, a zero too: section 1 from 3360 down,
        // section 2 in its order, 280 apart, under their captions.
        EXPECT_EQ(sheet.EndingAt(3685.5, 3360), "0.00");
        const char* expected[] = { "11.00", "-12.00", "13.00", "14.00", "15.00" };
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(sheet.EndingAt(567 * 8.5, 3360 + 280 * k), expected[k]) << k;
        ASSERT_FALSE(sheet.TextsAt(UpperBodyTop + 3920).empty());
        EXPECT_EQ(sheet.TextsAt(UpperBodyTop + 3920).front().Text, "Corresponding N (T)");
    }
}

// The blue texts of the design table's five warning lines, by line, left to right.
std::vector<std::vector<RecordedCall>> WarningLines(const Sheet& sheet)
{
    std::vector<std::vector<RecordedCall>> lines;
    for (int k = 0; k < 5; ++k) {
        lines.emplace_back();
        for (const RecordedCall& c : sheet.TextsAt(UpperBodyTop + 5280 + 240.0 * k))
            if (c.X1 > 2835 && c.Fore == Blue)
                lines.back().push_back(c);
    }
    return lines;
}

TEST(ConcreteDesignPage, WarningsStackAndATooWideValueIsNarrowedNotCut)
{
    {
        SCOPED_TRACE("four flexural warnings and a shear warning on section 1");
        Sheet sheet;
        DesignResults& r = sheet.Combinations.Design;
        // Row 1 (section 1, M-) fails every flexural check.
        r.ReinMoment[1] = 10;
        r.ReinMomentCap[1] = 5;
        r.RhoMin = 0.05f;
        r.ReinRho[1] = 0.02f;
        r.ReinRhoReq43[1] = 1;
        r.RhoBalanced = 0.01f;
        r.ReinZ[1] = 30;
        r.ZMax = 25;
        // Its column pair has no free line left inside the grid, so the shear warning goes
        // under the empty M+ column.
        r.ReinShear[1] = 2;
        r.ReinShearCap[1] = 1;
        PrintConcreteSection(sheet.Ctx, 4);
        const auto lines = WarningLines(sheet);
        const char* firstPieces[] = { "M", "\u03C1", "\u03C1", "z > z" };
        const double minusRight = 2835 + 850.5; // section 1's M- column
        for (size_t k = 0; k < 4; ++k) {
            ASSERT_FALSE(lines[k].empty()) << "line " << k;
            EXPECT_LT(lines[k][0].X1, minusRight) << "line " << k;
            EXPECT_EQ(lines[k][0].Text, firstPieces[k]) << "line " << k;
        }
        const auto shear = std::find_if(
            lines[0].begin(), lines[0].end(), [](const RecordedCall& c) { return c.Text == "V"; });
        ASSERT_NE(shear, lines[0].end());
        EXPECT_GT(shear->X1, minusRight); // in section 1's M+ column
        EXPECT_LT(shear->X1, 4536.0);
        EXPECT_TRUE(lines[4].empty());
    }
    {
        SCOPED_TRACE("one moment warning on section 2, shear below it");
        Sheet sheet;
        DesignResults& r = sheet.Combinations.Design;
        r.ReinMoment[3] = 10; // section 2, M-
        r.ReinMomentCap[3] = 5;
        r.ReinShear[2] = 2;
        r.ReinShearCap[2] = 1;
        // On section 1, an over-reinforced section of absurd bars: a capacity of eleven
        // characters stays whole, in a smaller font, inside its column clear of its rule.
        r.ReinMomentCap[1] = -17693118.0f;
        PrintConcreteSection(sheet.Ctx, 4);
        const RecordedCall* wide = sheet.Canvas.FindText("-17693118.00");
        ASSERT_NE(wide, nullptr);
        EXPECT_NEAR(wide->X2, DesignRow1, PositionTolerance);
        EXPECT_LT(wide->Font.Size, sheet.Ctx.BodyFontSize);
        EXPECT_GT(wide->X1, 2835);
        const auto lines = WarningLines(sheet);
        ASSERT_EQ(lines[1].size(), 2u);
        EXPECT_EQ(lines[1][0].Text, "V");
        // Centred across section 2, whose columns run from 4536 to 6237.
        EXPECT_NEAR((lines[1].front().X1 + lines[1].back().X2) / 2, 567 * 9.5, PositionTolerance);
    }
    {
        SCOPED_TRACE("no warnings");
        Sheet sheet;
        sheet.Combinations.Design.RhoMin = 0.0036f;
        PrintConcreteSection(sheet.Ctx, 4);
        for (const auto& line : WarningLines(sheet))
            EXPECT_TRUE(line.empty());
    }
}

// --- Units --------------------------------------------------------------------------------------

// Stored heights, bars and areas are in cm (cm² per m) in Metric and SI and in in (in² per ft)
// in British; a 7 cm cover likewise, and SI names the small length mm. The anchor stress comes
// out of the analysis in the pressure unit and prints in the stress unit: 1 kg/cm² = 10 T/m²,
// 1 MPa = 1000 kPa, 1 psi = 0.144 Kip/ft².
TEST(SectionUnits, ValuesReadInTheUnitsTheirLabelsName)
{
    struct Row {
        int16_t Units;
        const char* Diameter; // a stored 1.6 cm bar
        const char* Height; // a stored 50 cm section
        const char* Area; // a stored 10.05 cm² per strip
        const char* Cover;
        const char* SmallUnit;
        int16_t AnchorRows; // the properties and the drawing show anchors only where there are some
        float Stress; // pressure unit
        const char* StressValue;
        const char* StressUnit;
    };
    const Row rows[] = {
        { Metric, "16.00", "50.00", "10.05", "7.0", "cm", 3, 24000, "2400.00", "kg/cm\u00B2" },
        { SI, "16.00", "500.00", "1005.00", "70.0", "mm", 3, 24000, "24.00", "MPa" },
        { British, "1.60", "50.00", "10.05", "7.0", "in", 0, 24, "166.67", "psi" },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(UnitSystemName[size_t(r.Units)]);
        Sheet design;
        design.Record.UnitSystem = r.Units;
        design.Combinations.Design.ReinDia[1] = 1.6f; // the bars the design used
        design.Combinations.Design.ReinHeight[1] = 50;
        design.Combinations.Design.ReinAs[1] = 10.05f;
        PrintConcreteSection(design.Ctx, 4);
        EXPECT_EQ(design.EndingAt(DesignRow1, 2400), r.Diameter);
        EXPECT_EQ(design.EndingAt(DesignRow1, 1440), r.Height);
        EXPECT_EQ(design.EndingAt(DesignRow1, 2880), r.Area);

        Sheet properties;
        properties.Record.UnitSystem = r.Units;
        properties.Record.ConcCover = 7;
        properties.Record.AnchorRows = r.AnchorRows;
        PrintPropertiesSection(properties.Ctx);
        EXPECT_EQ(properties.EndingAt(3402, 2160), r.Cover);
        EXPECT_EQ(properties.EndingAt(3515.4, 2160, true), r.SmallUnit);
        for (const char* caption : { "Anchors:", "- Diameter =" })
            EXPECT_EQ(properties.Canvas.FindText(caption) != nullptr, r.AnchorRows > 0) << caption;
        // The drawing's anchors are its green lines.
        Sheet dimensions;
        dimensions.Record.AnchorRows = r.AnchorRows;
        dimensions.Stability = ComputeStability(dimensions.Record); // places the anchors
        PrintDimensionsSection(dimensions.Ctx);
        const auto& calls = dimensions.Canvas.Calls();
        EXPECT_EQ(std::any_of(calls.begin(), calls.end(),
                      [](const RecordedCall& c) {
                          return c.Kind == CallKind::Line && c.Fore == Rgb { 0, 128, 0 };
                      }),
            r.AnchorRows > 0);

        Sheet stability;
        stability.Record.UnitSystem = r.Units;
        Baseline(stability.Stability);
        stability.Stability.AnchorTensionMax = 1;
        stability.Stability.AnchorTensionStress = r.Stress;
        PrintStabilitySection(stability.Ctx);
        EXPECT_EQ(stability.EndingAt(PageHalf + 3402.0, 1440), r.StressValue);
        EXPECT_EQ(stability.EndingAt(PageHalf + 3515.4, 1440, true), r.StressUnit);
    }
}

// --- Drawings ------------------------------------------------------------------------------------

// The legend's units follow the project's system (the unit names are the model's). The figures
// of the drawing layer reach the page where they stand, texts by their alignment.
TEST(ReportDrawing, LoadLegendNamesTheProjectsUnitsAndFiguresReachThePage)
{
    Sheet sheet(1);
    sheet.Record.UnitSystem = British;
    sheet.Record.SeismicCoef = 0.125f;
    BeginSection(sheet.Ctx);
    const size_t frame = sheet.Canvas.Texts().size();
    PrintLoadLegend(sheet.Ctx);
    const auto texts = sheet.Canvas.Texts();
    ASSERT_EQ(texts.size(), frame + 3);
    const char* expected[] = { "Seismic coefficient = 0.13", "Line loads in Kip/ft",
        "Distributed loads in Kip/ft\u00B2" };
    for (size_t k = 0; k < 3; ++k)
        EXPECT_EQ(texts[frame + k].Text, expected[k]);

    sheet.Canvas.SetMapping(0, 0, 1);
    Figure fig;
    fig.Lines.push_back({ { 0, 0 }, { 100, 50 }, PaletteColour(4), 2, false });
    fig.Texts.push_back({ { 1000, 1000 }, "abc", PaletteColour(2), HAlign::Right, VAlign::Top });
    const size_t before = sheet.Canvas.Calls().size();
    PaintFigure(sheet.Ctx, fig);
    const auto& line = sheet.Canvas.Calls().at(before);
    ASSERT_EQ(line.Kind, CallKind::Line);
    EXPECT_EQ(std::vector<double>({ line.X1, line.Y1, line.X2, line.Y2 }),
        std::vector<double>({ 0, 0, 100, 50 }));
    ASSERT_EQ(sheet.Canvas.Texts().size(), frame + 4);
    EXPECT_DOUBLE_EQ(sheet.Canvas.Texts().back().X2, 1000);
    EXPECT_DOUBLE_EQ(sheet.Canvas.Texts().back().Y1, 1000);
}

// --- The report of a document ------------------------------------------------------------------

TEST(Report, PrintsTheNumbersOfTheDocumentsRun)
{
    // Under earthquake and surcharge; the Stability section's cells are read in its own test.
    // A backfill of 1 : 1, that is 45 degrees, is steeper than its 30 degrees of friction: the
    // document flattened it when the record changed, and the Loads page draws the flattened
    // wall, once, with no message of its own.
    Project wall = test::DefaultWall();
    wall.SeismicCoef = 0.25f;
    wall.Surcharge = 1;
    wall.BackfillSlope = 1;
    const ProjectDocument document(wall);
    ASSERT_GT(document.Record().BackfillSlope, 1.0f);
    const CombinationResults& co = document.Combinations();
    ASSERT_TRUE(document.Stability().Stable && co.Stable);
    const int runs = document.CombinationRuns();

    RecordingCanvas canvas;
    ReportContext ctx(canvas, document);
    ChooseReportFonts(ctx, canvas.FontFamilies());
    PrintOptions options;
    options.PrintDimensions = 1;
    options.PrintLoads = 1;
    options.PrintStability = 1;
    options.PrintConcrete = 1;
    // Dimensions and Loads on sheet 1, Stability and Concrete 1/4 on sheet 2, 2/4 and 3/4 on
    // sheet 3, 4/4 on sheet 4: the concrete pages read below stand in upper halves.
    ASSERT_EQ(RunPrintJob(ctx, options, StandardSectionPrinters()).Sheets, 4);
    // The report read the results of the document's one run and ran nothing again.
    EXPECT_EQ(document.CombinationRuns(), runs);
    EXPECT_TRUE(ctx.Messages.empty());
    // Section frames of sheet 1: white boxes the full width of the page, one in each half.
    std::vector<double> frames;
    for (const RecordedCall& c : canvas.Calls())
        if (c.Page == 1 && c.Kind == CallKind::Box && c.FillMode == FillStyle::Solid && c.X1 == 0
            && c.X2 == ctx.PageWidth)
            frames.push_back(c.Y1);
    EXPECT_EQ(frames, (std::vector<double> { 0, 7286 }));

    // The value printed on `page` ending at x on the body row `offset` is `value` to its two
    // decimals; an exact zero prints "--".
    auto expectPrinted = [&](int page, double x, double offset, double value) {
        const std::string text = TextAt(canvas, page, x, offset, false);
        ASSERT_NE(text, "(nothing)");
        if (text == "--")
            EXPECT_EQ(value, 0.0);
        else
            EXPECT_NEAR(std::stod(text), value, 0.005 + 1e-6) << text;
    };
    // The shear of the last combination at the toe (sheet 3); where each combination and
    // section stands is read in the concrete pages' own test.
    expectPrinted(3, 567 * 10.5, 280.0 * CombinationCount, co.ComboShear[CombinationCount][3]);
    // Design moments, capacities and the bars the design chose (the record holds none of its
    // own) in mm, 10 to the cm, of the six rows: M- and M+ of each section (sheet 4).
    const DesignResults& d = co.Design;
    for (int row = 1; row <= 6; ++row) {
        SCOPED_TRACE(testing::Message() << "design row " << row);
        const double x = 567 * (3.0 * ((row + 1) / 2) + (row % 2 == 1 ? 2.75 : 4.25)) + 311.85;
        ASSERT_GT(d.ReinDia[size_t(row)], 0.0f);
        expectPrinted(4, x, 720, d.ReinMoment[size_t(row)]);
        expectPrinted(4, x, 1680, d.ReinMomentCap[size_t(row)]);
        expectPrinted(4, x, 2400, 10.0 * d.ReinDia[size_t(row)]);
        expectPrinted(4, x, 2640, 10.0 * d.ReinPitch[size_t(row)]);
    }
}

// --- Every section inside its frame --------------------------------------------------------------

// A pen half a millimetre wide may reach this far over the line it draws.
constexpr double InkTolerance = 15;

TEST(InsideFrame, EverySectionDrawsInsideItsFrame)
{
    const test::WallChange walls[] = {
        // Earthquake and surcharge put the rear anchors into tension.
        { "AnchorsInTension",
            [](Project& p) {
                p.SeismicCoef = 0.25f;
                p.Surcharge = 1;
            } },
        { "SlopedWetAnchoredBritish",
            [](Project& p) {
                p = test::SlopedWetAnchoredWall();
                p.UnitSystem = British;
            } },
        { "NotStable", [](Project& p) { p.SeismicCoef = 0.6f; } },
        // Line loads far larger than any pressure: their arrows are cut at the frame.
        { "HugeLineLoads",
            [](Project& p) {
                test::AddLineLoad(p, 500, 0.5f, 10, 90, 2);
                test::AddLineLoad(p, 400, 4, 10, 180);
                test::AddLineLoad(p, 300, 14, 10, 270, 5); // on the backfill far behind the wall
            } },
    };
    const SectionPrinters job = StandardSectionPrinters();
    // The nine sections of a print job in their order, and the calculator's page.
    const std::function<void(ReportContext&)> sections[]
        = { job.Dimensions, job.Loads, job.Properties, job.Stability, job.Reactions, job.Concrete1,
              job.Concrete2, job.Concrete3, job.Concrete4, [](ReportContext& c) {
                  const CalculatorInput in = CalculatorInputFromProject(c.Record);
                  PrintCalculatorSection(c, in, ComputeSoilPressure(in));
              } };
    for (const test::WallChange& wall : walls)
        for (size_t k = 0; k < std::size(sections); ++k)
            for (int16_t slot : { 0, 1 }) {
                SCOPED_TRACE(
                    testing::Message() << wall.Name << " section " << k << " slot " << slot);
                Sheet sheet(slot);
                wall.Change(sheet.Record);
                sheet.Combinations = RunCombinations(sheet.Record);
                sheet.Stability = ComputeStability(sheet.Record);
                sections[k](sheet.Ctx);
                const double top = sheet.Ctx.SectionTop;
                const double bottom = top + sheet.Ctx.HalfPageHeight;
                auto inside = [&](double x, double y) {
                    return x >= -InkTolerance && x <= sheet.Ctx.PageWidth + InkTolerance
                        && y >= top - InkTolerance && y <= bottom + InkTolerance;
                };
                for (const RecordedCall& c : sheet.Canvas.Calls()) {
                    // A text reaches one line height below its top.
                    const double lineHeight
                        = c.Font.Size * RecordingCanvas::LineHeightPerPoint * 20;
                    const std::vector<DrawPoint> corners = c.Kind == CallKind::Text
                        ? std::vector<DrawPoint> { { c.X1, c.Y1 }, { c.X2, c.Y1 + lineHeight } }
                        : c.Kind == CallKind::Line || c.Kind == CallKind::Box
                        ? std::vector<DrawPoint> { { c.X1, c.Y1 }, { c.X2, c.Y2 } }
                        : c.Points;
                    for (const DrawPoint& pt : corners)
                        EXPECT_TRUE(inside(pt.X, pt.Y))
                            << "\"" << c.Text << "\" at " << pt.X << ", " << pt.Y;
                }
            }
}

} // namespace
} // namespace pendrake::report
