// The report sections on the recording canvas: what the Stability section prints where ("N/A",
// the infinity sign, the notes), the "--" of an exact zero on the concrete pages, the warnings
// stacked under the design table, the Loads section drawn once over a flattened slope, the
// report of a document printing that document's results, and every section staying inside its
// frame.
#include "document/ProjectDocument.h"
#include "report/ReportSections.h"

#include "analysis/Combinations.h"
#include "analysis/Stability.h"
#include "model/Units.h"
#include "report/PrintJob.h"
#include "report/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
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

const Rgb Blue { 0, 0, 128 };
const Rgb Green { 0, 128, 0 };

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

    // The text at row y that ends (right-aligned) at x, or nullptr.
    const RecordedCall* EndingAt(double x, double y) const
    {
        for (const RecordedCall& c : Canvas.Calls())
            if (c.Kind == CallKind::Text && std::abs(c.Y1 - y) < PositionTolerance
                && std::abs(c.X2 - x) < PositionTolerance)
                return &c;
        return nullptr;
    }
};

// --- Stability section -------------------------------------------------------------------------

struct Cell {
    bool Right;
    double Offset;
    std::string Text;
};

struct StabilityCase {
    const char* Name;
    std::function<void(Project&, StabilityResults&)> Set;
    std::vector<Cell> Cells;
    std::vector<std::string> Notes;
};

// A stable wall with every value finite and no anchor in tension; each case changes it.
void Baseline(Project&, StabilityResults& r)
{
    r.Stable = true;
    r.TotalHorizontal = -37.4555f;
    r.TotalVertical = 94.4592f;
    r.TotalMoment = 223.5486f;
    r.OverturningSafety = 2.5f;
    r.BasePressureMax = 26.5208f;
    r.BasePressureMin = 0.1f;
    r.BearingSafetyMin = 3.7706f;
    r.SlidingSafetyMin = 18.5725f;
    r.SlidingShear = 1.25f;
    r.SlidingResistance = 23.5f;
    r.AnchorTensionMax = 0;
    r.AnchorTensionSafety = float(InfiniteSafety);
    r.AnchorShearSafety = float(InfiniteSafety);
}

const std::string LengthNote = "\u00BBPer 1 m of wall length.";
const std::string Infinity = "\u221E";

std::vector<StabilityCase> StabilityCases()
{
    return {
        { "UnstableWall",
            [](Project& p, StabilityResults& r) {
                Baseline(p, r);
                r.Stable = false;
                r.BearingSafetyMin = 100000; // infinity wins over "N/A"
                r.AnchorTensionMax = 5;
                r.AnchorTensionSafety = 250000;
                r.AnchorShearSafety = 2;
            },
            { { false, 240, "-37.46" }, { false, 480, "94.46" }, { false, 720, "223.55" },
                { false, 1440, "N/A" }, { false, 1680, "N/A" }, { false, 1920, Infinity },
                { true, 240, "N/A" }, { true, 480, "N/A" }, { true, 720, "N/A" },
                { true, 1440, "N/A" }, { true, 1680, Infinity }, { true, 1920, "N/A" },
                { true, 2160, "N/A" } },
            { LengthNote,
                "\u00BBThe structure is not stable therefore the base, sliding and anchor values "
                "are not applicable." } },
        { "WallWithoutAnchors",
            [](Project& p, StabilityResults& r) {
                Baseline(p, r);
                p.AnchorRows = 0;
                r.BasePressureMin = -0.5f;
                r.BearingSafetyMin = -2; // a negative factor gives no note
                r.SlidingSafetyMin = 100000;
            },
            { { false, 1440, "26.52" }, { false, 1680, "-0.50" }, { false, 1920, "-2.00" },
                { true, 240, Infinity }, { true, 480, "1.25" }, { true, 720, "23.50" },
                { true, 1440, "N/A" }, { true, 1680, "N/A" }, { true, 1920, "N/A" },
                { true, 2160, "N/A" } },
            { LengthNote,
                "\u00BBPart of the base is in tension, allowable tension pressure shall be "
                "checked." } },
        { "AnchorsWithoutTension",
            [](Project& p, StabilityResults& r) {
                Baseline(p, r);
                r.BearingSafetyMin = 1; // exactly one is not below unity
            },
            { { false, 960, "2.50" }, { false, 1920, "1.00" }, { true, 240, "18.57" },
                { true, 1440, "N/A" }, { true, 1680, "N/A" }, { true, 1920, "N/A" },
                { true, 2160, "N/A" } },
            { LengthNote, "\u00BBNo anchor tension occurs." } },
        { "AnchorsInTensionBelowUnity",
            [](Project& p, StabilityResults& r) {
                Baseline(p, r);
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
            { LengthNote,
                "\u00BBPart of the base is in tension, allowable tension pressure shall be "
                "checked.",
                "\u00BBThe base pressure safety factor is less than unity.",
                "\u00BBThe sliding safety factor is less than unity.",
                "\u00BBThe anchor tension safety factor is less than unity.",
                "\u00BBThe anchor shear safety factor is less than unity." } },
        { "InfiniteAnchorFactorsWhileInTension",
            [](Project& p, StabilityResults& r) {
                Baseline(p, r);
                r.AnchorTensionMax = 0.01f;
                r.AnchorTensionSafety = 100000;
                r.AnchorShearSafety = 100001;
            },
            { { true, 1440, "0.00" }, { true, 1680, Infinity }, { true, 2160, Infinity } },
            { LengthNote } },
    };
}

TEST(StabilitySection, ValuesNotApplicableInfinityAndNotesStandInTheirPlaces)
{
    for (const StabilityCase& sc : StabilityCases()) {
        SCOPED_TRACE(sc.Name);
        Sheet sheet;
        sc.Set(sheet.Record, sheet.Stability);
        PrintStabilitySection(sheet.Ctx);
        for (const Cell& cell : sc.Cells) {
            SCOPED_TRACE(testing::Message() << (cell.Right ? "right " : "left ") << cell.Offset);
            // Values end at 3685.5 on the left, 3402 right of the middle on the right.
            const double x = cell.Right ? PageHalf + 3402.0 : 3685.5;
            const RecordedCall* c = sheet.EndingAt(x, UpperBodyTop + cell.Offset);
            ASSERT_NE(c, nullptr);
            EXPECT_EQ(c->Text, cell.Text);
            EXPECT_EQ(c->Fore, Blue);
        }
        // The notes stack from their heading 240 apart, and nothing stands below the last.
        for (size_t k = 0; k < sc.Notes.size(); ++k) {
            const std::vector<RecordedCall> row = sheet.TextsAt(UpperBodyTop + 2640 + 240.0 * k);
            ASSERT_EQ(row.size(), 1u) << "note " << k;
            EXPECT_EQ(row[0].Text, sc.Notes[k]);
            EXPECT_NEAR(row[0].X1, 240, PositionTolerance);
            EXPECT_EQ(row[0].Fore, Blue);
        }
        for (const RecordedCall& c : sheet.Canvas.Texts())
            EXPECT_LT(c.Y1, UpperBodyTop + 2640 + 240.0 * sc.Notes.size() - PositionTolerance)
                << c.Text;
    }
}

// --- Concrete pages ------------------------------------------------------------------------------

using SectionTable = CombinationResults::SectionTable;

TEST(ConcreteForcePages, ExactZeroPrintsDashesAndATinyValuePrintsZero)
{
    for (int page : { 1, 2, 3 }) {
        SCOPED_TRACE(page);
        Sheet sheet;
        CombinationResults& r = sheet.Combinations;
        SectionTable& t = page == 1 ? r.ComboMoment : page == 2 ? r.ComboShear : r.ComboNormal;
        t[1][1] = 0.0f;
        t[2][2] = 1e-4f;
        t[3][3] = -0.004f;
        t[4][1] = 12.5f;
        PrintConcreteSection(sheet.Ctx, page);
        // Section s ends at 567 (6.5 + 2 (s - 1)); combination c stands 280 c below the body top.
        auto cell = [&](int c, int s) {
            const RecordedCall* call
                = sheet.EndingAt(567 * (6.5 + 2 * (s - 1)), UpperBodyTop + 280.0 * c);
            return call ? call->Text : std::string("(nothing)");
        };
        EXPECT_EQ(cell(1, 1), "--");
        EXPECT_EQ(cell(2, 2), "0.00");
        EXPECT_EQ(cell(3, 3), "0.00");
        EXPECT_EQ(cell(4, 1), "12.50");
        EXPECT_EQ(cell(11, 3), "--");
        // A value kept for design is a value, even when it is zero.
        const RecordedCall* kept = sheet.EndingAt(3685.5, UpperBodyTop + 3360);
        ASSERT_NE(kept, nullptr);
        EXPECT_EQ(kept->Text, "0.00");
    }
}

TEST(ConcreteMomentPage, RetainedRowsTakeTheEnvelopeInTheirOrder)
{
    Sheet sheet;
    Envelope& e = sheet.Combinations.Env;
    e.EnvMomentPos[2] = 11;
    e.EnvMomentNeg[2] = -12;
    e.EnvNormalPos[2] = 13;
    e.EnvNormalNeg[2] = 14;
    e.EnvMomentZ[2] = 15;
    PrintConcreteSection(sheet.Ctx, 1);
    const double x = 567 * 8.5; // section 2
    const std::vector<std::pair<double, std::string>> expected = { { 3360, "11.00" },
        { 3640, "-12.00" }, { 3920, "13.00" }, { 4200, "14.00" }, { 4480, "15.00" } };
    for (const auto& [offset, text] : expected) {
        const RecordedCall* c = sheet.EndingAt(x, UpperBodyTop + offset);
        ASSERT_NE(c, nullptr) << offset;
        EXPECT_EQ(c->Text, text) << offset;
    }
    EXPECT_FALSE(sheet.TextsAt(UpperBodyTop + 3920).empty());
    EXPECT_EQ(sheet.TextsAt(UpperBodyTop + 3920).front().Text, "Corresponding N (T)");
}

// The first piece of every warning text in the design table's warning lines, by line.
struct WarningLine {
    double X1;
    double X2;
    std::string First;
};

std::vector<std::vector<WarningLine>> WarningLines(const Sheet& sheet)
{
    std::vector<std::vector<WarningLine>> lines(5);
    for (const RecordedCall& c : sheet.Canvas.Texts()) {
        for (size_t k = 0; k < lines.size(); ++k) {
            if (std::abs(c.Y1 - (UpperBodyTop + 5280 + 240.0 * k)) < PositionTolerance
                && c.X1 > 2835 && c.Fore == Blue)
                lines[k].push_back({ c.X1, c.X2, c.Text });
        }
    }
    return lines;
}

TEST(ConcreteDesignPage, FourFlexuralWarningsStack240ApartInTheirColumn)
{
    Sheet sheet;
    DesignResults& r = sheet.Combinations.Design;
    // Row 1 (section 1, M-) fails every flexural check; row 2 none.
    r.ReinMoment[1] = 10;
    r.ReinMomentCap[1] = 5;
    r.RhoMin = 0.05f;
    r.ReinRho[1] = 0.02f;
    r.ReinRhoReq43[1] = 1;
    r.RhoBalanced = 0.01f;
    r.ReinZ[1] = 30;
    r.ZMax = 25;
    // Section 1's shear fails too: its column pair has no free line left inside the grid, so
    // the shear warning goes under the empty M+ column.
    r.ReinShear[1] = 2;
    r.ReinShearCap[1] = 1;
    PrintConcreteSection(sheet.Ctx, 4);

    const auto lines = WarningLines(sheet);
    const std::vector<std::string> firstPieces = { "M", "\u03C1", "\u03C1", "z > z" };
    const double minusLeft = 2835, minusRight = 2835 + 850.5; // section 1, M- column
    for (size_t k = 0; k < firstPieces.size(); ++k) {
        ASSERT_FALSE(lines[k].empty()) << "line " << k;
        const auto inMinus = std::find_if(lines[k].begin(), lines[k].end(),
            [&](const WarningLine& w) { return w.X1 > minusLeft && w.X1 < minusRight; });
        ASSERT_NE(inMinus, lines[k].end()) << "line " << k;
        EXPECT_EQ(inMinus->First, firstPieces[k]) << "line " << k;
    }
    const auto shear = std::find_if(
        lines[0].begin(), lines[0].end(), [](const WarningLine& w) { return w.First == "V"; });
    ASSERT_NE(shear, lines[0].end());
    EXPECT_GT(shear->X1, minusRight); // in section 1's M+ column
    EXPECT_LT(shear->X1, 4536.0);
    EXPECT_TRUE(lines[4].empty());
}

TEST(ConcreteDesignPage, ShearWarningTakesTheFirstLineBothColumnsLeaveFree)
{
    Sheet sheet;
    DesignResults& r = sheet.Combinations.Design;
    r.ReinMoment[3] = 10; // section 2, M-: one warning
    r.ReinMomentCap[3] = 5;
    r.ReinShear[2] = 2;
    r.ReinShearCap[2] = 1;
    PrintConcreteSection(sheet.Ctx, 4);
    const auto lines = WarningLines(sheet);
    ASSERT_EQ(lines[1].size(), 2u); // "V" and " < V" under the moment warning
    EXPECT_EQ(lines[1][0].First, "V");
    // Centred across section 2, whose columns run from 4536 to 6237.
    EXPECT_NEAR((lines[1].front().X1 + lines[1].back().X2) / 2, 567 * 9.5, PositionTolerance);
}

TEST(ConcreteDesignPage, ASectionWithoutWarningsLeavesItsCellsEmpty)
{
    Sheet sheet;
    sheet.Combinations.Design.RhoMin = 0.0036f;
    PrintConcreteSection(sheet.Ctx, 4);
    for (const auto& line : WarningLines(sheet))
        EXPECT_TRUE(line.empty());
}

TEST(ConcreteDesignPage, AValueTooWideForItsColumnIsNarrowedNotCut)
{
    Sheet sheet;
    // An over-reinforced section of absurd bars: a capacity of eleven characters.
    sheet.Combinations.Design.ReinMomentCap[1] = -17693118.0f;
    PrintConcreteSection(sheet.Ctx, 4);
    const RecordedCall* c = sheet.EndingAt(567 * 5.75 + 311.85, UpperBodyTop + 1680);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Text, "-17693118.00");
    EXPECT_LT(c->Font.Size, sheet.Ctx.BodyFontSize);
    // Inside section 1's M- column, clear of the rule at 2835.
    EXPECT_GT(c->X1, 2835);
}

// --- Units --------------------------------------------------------------------------------------

// Stored heights, bars and areas are in cm (cm² per m) in Metric and SI and in in (in² per ft)
// in British; a 7 cm cover and a 2 cm anchor likewise, and SI names the small length mm. The
// anchor stress comes out of the analysis in the pressure unit and prints in the stress unit:
// 1 kg/cm² = 10 T/m², 1 MPa = 1000 kPa, 1 psi = 0.144 Kip/ft².
TEST(SectionUnits, ValuesReadInTheUnitsTheirLabelsName)
{
    struct Row {
        int16_t Units;
        const char* Width; // the remark under "Width (b) ="
        const char* Diameter; // a stored 1.6 cm bar
        const char* Height; // a stored 50 cm section
        const char* Area; // a stored 10.05 cm² per strip
        const char* Cover;
        const char* AnchorDiameter;
        const char* SmallUnit;
        float Stress; // pressure unit
        const char* StressValue;
        const char* StressUnit;
    };
    const Row rows[] = {
        { Metric, "100 cm", "16.00", "50.00", "10.05", "7.0", "2.00", "cm", 24000, "2400.00",
            "kg/cm\u00B2" },
        { SI, "1000 mm", "16.00", "500.00", "1005.00", "70.0", "20.00", "mm", 24000, "24.00",
            "MPa" },
        { British, "12 in", "1.60", "50.00", "10.05", "7.0", "2.00", "in", 24, "166.67", "psi" },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(UnitSystemName[size_t(r.Units)]);
        Sheet design;
        design.Record.UnitSystem = r.Units;
        design.Combinations.Design.ReinDia[1] = 1.6f; // the bars the design used
        design.Combinations.Design.ReinHeight[1] = 50;
        design.Combinations.Design.ReinAs[1] = 10.05f;
        PrintConcreteSection(design.Ctx, 4);
        const double x = 567 * 5.75 + 311.85; // row 1's values
        auto at = [&](double offset) {
            const RecordedCall* c = design.EndingAt(x, UpperBodyTop + offset);
            return c ? c->Text : std::string("(nothing)");
        };
        EXPECT_EQ(at(2400), r.Diameter);
        EXPECT_EQ(at(1440), r.Height);
        EXPECT_EQ(at(2880), r.Area);
        const std::vector<RecordedCall> remark = design.TextsAt(UpperBodyTop + 1680);
        ASSERT_FALSE(remark.empty());
        EXPECT_EQ(remark.back().Text, r.Width);

        Sheet properties;
        properties.Record.UnitSystem = r.Units;
        properties.Record.ConcCover = 7;
        properties.Record.AnchorDia = 2;
        PrintPropertiesSection(properties.Ctx);
        const RecordedCall* cover = properties.EndingAt(3402, UpperBodyTop + 2160);
        const RecordedCall* dia = properties.EndingAt(PageHalf + 2835, UpperBodyTop + 4800);
        ASSERT_NE(cover, nullptr);
        ASSERT_NE(dia, nullptr);
        EXPECT_EQ(cover->Text, r.Cover);
        EXPECT_EQ(dia->Text, r.AnchorDiameter);
        const std::vector<RecordedCall> row = properties.TextsAt(UpperBodyTop + 2160);
        const auto unit = std::find_if(row.begin(), row.end(),
            [](const RecordedCall& c) { return std::abs(c.X1 - 3515.4) < PositionTolerance; });
        ASSERT_NE(unit, row.end());
        EXPECT_EQ(unit->Text, r.SmallUnit);

        Sheet stability;
        stability.Record.UnitSystem = r.Units;
        Baseline(stability.Record, stability.Stability);
        stability.Stability.AnchorTensionMax = 1;
        stability.Stability.AnchorTensionStress = r.Stress;
        PrintStabilitySection(stability.Ctx);
        const double y = UpperBodyTop + 1440;
        const RecordedCall* value = stability.EndingAt(PageHalf + 3402.0, y);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->Text, r.StressValue);
        const std::vector<RecordedCall> stressRow = stability.TextsAt(y);
        ASSERT_FALSE(stressRow.empty());
        EXPECT_EQ(stressRow.back().Text, r.StressUnit);
        EXPECT_NEAR(stressRow.back().X1, PageHalf + 3515.4, PositionTolerance);
    }
}

// --- Properties and drawings ---------------------------------------------------------------------

TEST(PropertiesAndDimensions, AnchorsOnlyForAWallWithAnchors)
{
    for (int16_t rows : { 3, 0 }) {
        SCOPED_TRACE(rows);
        Sheet properties;
        properties.Record.AnchorRows = rows;
        PrintPropertiesSection(properties.Ctx);
        EXPECT_EQ(properties.Canvas.FindText("Anchors:") != nullptr, rows > 0);
        EXPECT_EQ(properties.Canvas.FindText("- Diameter =") != nullptr, rows > 0);

        // The drawing's anchors are its green lines.
        Sheet dimensions;
        dimensions.Record.AnchorRows = rows;
        dimensions.Stability = ComputeStability(dimensions.Record); // places the anchors
        PrintDimensionsSection(dimensions.Ctx);
        const auto& calls = dimensions.Canvas.Calls();
        EXPECT_EQ(
            std::any_of(calls.begin(), calls.end(),
                [](const RecordedCall& c) { return c.Kind == CallKind::Line && c.Fore == Green; }),
            rows > 0);
    }
}

TEST(LoadsSection, DrawnOnceFromTheDocumentsRecordInItsHalf)
{
    // Level (0) and 1 : 1, that is 45 degrees, steeper than the backfill's 30 degrees of
    // friction: the document flattened that one when the record changed, and the page draws the
    // flattened wall, once, with no message of its own.
    for (const float slope : { 0.0f, 1.0f }) {
        SCOPED_TRACE(slope);
        Project wall = MakeNewProject("Arial");
        wall.BackfillSlope = slope;
        const ProjectDocument document(wall);
        RecordingCanvas canvas;
        ReportContext ctx(canvas, document);
        ChooseReportFonts(ctx, canvas.FontFamilies());
        ASSERT_TRUE(SetupPage(ctx));
        ctx.HalfPageSlot = 1;
        PrintLoadsSection(ctx);
        // Section frames: white boxes the full width of the page.
        int frames = 0;
        for (const RecordedCall& c : canvas.Calls()) {
            if (c.Kind == CallKind::Box && c.FillMode == FillStyle::Solid && c.X1 == 0
                && c.X2 == ctx.PageWidth) {
                ++frames;
                EXPECT_NEAR(c.Y1, 7286, PositionTolerance); // the lower half
            }
        }
        EXPECT_EQ(frames, 1);
        EXPECT_EQ(ctx.Record.BackfillSlope > 1.0f, slope == 1.0f);
        EXPECT_TRUE(ctx.Messages.empty());
    }
}

// --- The report of a document ------------------------------------------------------------------

// Values print with two decimals.
constexpr double PrintedRounding = 0.005 + 1e-6;

TEST(Report, PrintsTheNumbersOfTheDocumentsRun)
{
    // Under earthquake and surcharge; the Stability section's cells are read in its own test.
    Project wall = MakeNewProject("Arial");
    wall.SeismicCoef = 0.25f;
    wall.Surcharge = 1;
    const ProjectDocument document(wall);
    const CombinationResults& co = document.Combinations();
    ASSERT_TRUE(document.Stability().Stable && co.Stable);
    const int runs = document.CombinationRuns();

    RecordingCanvas canvas;
    ReportContext ctx(canvas, document);
    ChooseReportFonts(ctx, canvas.FontFamilies());
    PrintOptions options;
    options.PrintStability = 1;
    options.PrintConcrete = 1;
    // Stability and Concrete 1/4 on sheet 1, 2/4 and 3/4 on sheet 2, 4/4 on sheet 3: the pages
    // read below stand in upper halves.
    ASSERT_EQ(RunPrintJob(ctx, options, StandardSectionPrinters()).Sheets, 3);
    // The report read the results of the document's one run and ran nothing again.
    EXPECT_EQ(document.CombinationRuns(), runs);

    struct Printed {
        std::string What;
        int Page;
        double X; // right end
        double Offset; // below the upper section's rows
        double Value;
    };
    std::vector<Printed> cells;
    // Shear forces of the eleven printed combinations (sheet 2, upper half); exact zeros
    // print "--".
    for (int c = 1; c <= CombinationCount; ++c)
        for (int s = 1; s <= 3; ++s)
            cells.push_back(
                { "V combination " + std::to_string(c) + " section " + std::to_string(s), 2,
                    567 * (6.5 + 2 * (s - 1)), 280.0 * c, co.ComboShear[size_t(c)][size_t(s)] });
    // Design moments and capacities of the six rows: M- and M+ of each section (sheet 3).
    for (int row = 1; row <= 6; ++row) {
        const double x = 567 * (3.0 * ((row + 1) / 2) + (row % 2 == 1 ? 2.75 : 4.25)) + 311.85;
        cells.push_back(
            { "M row " + std::to_string(row), 3, x, 720, co.Design.ReinMoment[size_t(row)] });
        cells.push_back(
            { "Mu row " + std::to_string(row), 3, x, 1680, co.Design.ReinMomentCap[size_t(row)] });
        // The bars the design chose (the record holds none of its own), in mm: 10 per cm.
        cells.push_back({ "bar row " + std::to_string(row), 3, x, 2400,
            10.0 * co.Design.ReinDia[size_t(row)] });
        cells.push_back({ "pitch row " + std::to_string(row), 3, x, 2640,
            10.0 * co.Design.ReinPitch[size_t(row)] });
        EXPECT_GT(co.Design.ReinDia[size_t(row)], 0.0f);
    }

    for (const Printed& cell : cells) {
        SCOPED_TRACE(cell.What);
        const auto found = std::find_if(
            canvas.Calls().begin(), canvas.Calls().end(), [&](const RecordedCall& c) {
                return c.Kind == CallKind::Text && c.Page == cell.Page
                    && std::abs(c.Y1 - (UpperBodyTop + cell.Offset)) < PositionTolerance
                    && std::abs(c.X2 - cell.X) < PositionTolerance;
            });
        ASSERT_NE(found, canvas.Calls().end());
        if (found->Text == "--")
            EXPECT_EQ(cell.Value, 0.0);
        else
            EXPECT_NEAR(std::stod(found->Text), cell.Value, PrintedRounding) << found->Text;
    }
}

// --- Every section inside its frame --------------------------------------------------------------

struct Wall {
    const char* Name;
    std::function<void(Project&)> Set;
};

std::vector<Wall> Walls()
{
    return {
        { "Default", [](Project&) {} },
        // Earthquake and surcharge put the rear anchors into tension.
        { "AnchorsInTension",
            [](Project& p) {
                p.SeismicCoef = 0.25f;
                p.Surcharge = 1;
            } },
        { "SlopedBackfillBritish",
            [](Project& p) {
                p.BackfillSlope = 2;
                p.UnitSystem = British;
                p.LineLoadCount = 2;
                p.LineLoads[1] = { 5, 1.2f, 10, 180, 2 };
                p.LineLoads[2] = { 2, 6, 10, 270, 5 };
            } },
        { "NotStable", [](Project& p) { p.SeismicCoef = 0.6f; } },
        // Line loads far larger than any pressure: their arrows are cut at the frame.
        { "HugeLineLoads",
            [](Project& p) {
                p.LineLoadCount = 3;
                p.LineLoads[1] = { 500, 0.5f, 10, 90, 2 };
                p.LineLoads[2] = { 400, 4, 10, 180, 1 };
                p.LineLoads[3] = { 300, 14, 10, 270, 5 }; // on the backfill far behind the wall
            } },
    };
}

using SectionPrinter = std::function<void(ReportContext&)>;

std::vector<std::pair<const char*, SectionPrinter>> Sections()
{
    return {
        { "Dimensions", PrintDimensionsSection },
        { "Loads", PrintLoadsSection },
        { "Properties", PrintPropertiesSection },
        { "Stability", PrintStabilitySection },
        { "Reactions", PrintReactionsSection },
        { "Concrete1", [](ReportContext& c) { PrintConcreteSection(c, 1); } },
        { "Concrete2", [](ReportContext& c) { PrintConcreteSection(c, 2); } },
        { "Concrete3", [](ReportContext& c) { PrintConcreteSection(c, 3); } },
        { "Concrete4", [](ReportContext& c) { PrintConcreteSection(c, 4); } },
        { "Calculator",
            [](ReportContext& c) {
                const CalculatorInput in = CalculatorInputFromProject(c.Record);
                PrintCalculatorSection(c, in, ComputeSoilPressure(in));
            } },
    };
}

// A pen half a millimetre wide may reach this far over the line it draws.
constexpr double InkTolerance = 15;

TEST(InsideFrame, EverySectionDrawsInsideItsFrame)
{
    for (const Wall& wall : Walls()) {
        SCOPED_TRACE(wall.Name);
        for (const auto& [name, print] : Sections()) {
            for (int16_t slot : { 0, 1 }) {
                Sheet sheet(slot);
                wall.Set(sheet.Record);
                sheet.Combinations = RunCombinations(sheet.Record);
                sheet.Stability = ComputeStability(sheet.Record);
                print(sheet.Ctx);
                const double top = sheet.Ctx.SectionTop;
                const double bottom = top + sheet.Ctx.HalfPageHeight;
                const double right = sheet.Ctx.PageWidth;
                auto inside = [&](double x, double y) {
                    return x >= -InkTolerance && x <= right + InkTolerance
                        && y >= top - InkTolerance && y <= bottom + InkTolerance;
                };
                const std::string where = std::string(name) + " slot " + std::to_string(slot);
                for (const RecordedCall& c : sheet.Canvas.Calls()) {
                    switch (c.Kind) {
                    case CallKind::Text: {
                        const double height = c.Font.Size * RecordingCanvas::LineHeightPerPoint * 20
                            / sheet.Ctx.PageScale;
                        EXPECT_TRUE(inside(c.X1, c.Y1) && inside(c.X2, c.Y1 + height))
                            << where << ": \"" << c.Text << "\" at " << c.X1 << ", " << c.Y1;
                        break;
                    }
                    case CallKind::Line:
                    case CallKind::Box:
                        EXPECT_TRUE(inside(c.X1, c.Y1) && inside(c.X2, c.Y2))
                            << where << ": line " << c.X1 << ", " << c.Y1 << " to " << c.X2 << ", "
                            << c.Y2;
                        break;
                    case CallKind::Polygon:
                        for (const DrawPoint& pt : c.Points)
                            EXPECT_TRUE(inside(pt.X, pt.Y))
                                << where << ": polygon at " << pt.X << ", " << pt.Y;
                        break;
                    default: break;
                    }
                }
            }
        }
    }
}

} // namespace
} // namespace pendrake::report
