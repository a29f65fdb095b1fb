// The concrete design pages: the section forces of the eleven load combinations at the three
// design sections with the values kept for design (1/4 moments, 2/4 shears, 3/4 normal forces),
// and the design table of the six design rows with its remarks and warnings (4/4).
#include "report/ReportSections.h"

#include "analysis/SectionDesign.h"
#include "model/NumberFormat.h"
#include "model/Units.h"
#include "report/DiagramPrimitives.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace pendrake::report {

namespace {

constexpr double BodyTopBelowStrip = 320;
constexpr double BodyFontPoints = 8;
// The concrete titles keep 10 points on any paper and stand a little higher than the others.
constexpr double TitlePoints = 10;
constexpr double TitleOffset = 106.8;

constexpr double ColumnUnit = 567; // 1 cm
constexpr double LabelX = 240;
constexpr double GridPenMm = 0.1;

// --- Force tables (1/4 to 3/4) ---------------------------------------------------------------

constexpr double ComboRowStep = 280;
constexpr double UnitCaptionX = 6350.4;
// Text rows stand this far below the rule above them.
constexpr double RuleAboveText = 48;

// The value of section s is right-aligned at 567 (6.5 + 2 (s - 1)); its head is centred one
// half column to the left.
double ForceValueX(int s)
{
    return ColumnUnit * (6.5 + 2.0 * (s - 1));
}
double ForceHeadX(int s)
{
    return ColumnUnit * (6.0 + 2.0 * (s - 1));
}
// Rules of the force tables: before the values, and between the sections' columns.
constexpr std::array<double, 4> ForceTableRules
    = { 5 * ColumnUnit, 7 * ColumnUnit, 9 * ColumnUnit, 11 * ColumnUnit };
constexpr double ForceTableLeft = 120;
// A value may take its column's width from its right edge back to 1 mm inside the column.
constexpr double ValueMargin = 56.7;
constexpr double ForceValueWidth = 1.5 * ColumnUnit - ValueMargin;

struct RetainedRow {
    double Offset;
    std::string_view Label; // "" for none; "N" for the corresponding-N label with its unit
    const std::array<float, DesignSectionCount + 1> Envelope::*Values;
};

// The combination tables and the values each page keeps for design.
struct ForcePage {
    std::string_view Title;
    std::string_view Heading;
    bool MomentUnit;
    const CombinationResults::SectionTable CombinationResults::*Table;
    std::array<RetainedRow, 5> Retained;
    int RetainedCount;
};

constexpr std::string_view CorrespondingN = "N";

const std::array<ForcePage, 3> ForcePages = { {
    { "Concrete 1/4", "Bending moments", true, &CombinationResults::ComboMoment,
        { { { 3360, "For design", &Envelope::EnvMomentPos }, { 3640, "", &Envelope::EnvMomentNeg },
            { 3920, CorrespondingN, &Envelope::EnvNormalPos },
            { 4200, "", &Envelope::EnvNormalNeg }, { 4480, "For z", &Envelope::EnvMomentZ } } },
        5 },
    { "Concrete 2/4", "Shearing forces", false, &CombinationResults::ComboShear,
        { { { 3360, "For design", &Envelope::EnvShear },
            { 3640, CorrespondingN, &Envelope::EnvShearNormal }, {}, {}, {} } },
        2 },
    { "Concrete 3/4", "Normal forces", false, &CombinationResults::ComboNormal,
        { { { 3360, "For z", &Envelope::EnvNormalZ }, {}, {}, {}, {} } }, 1 },
} };

// --- The fixed wall schematic and the sign convention (right part of 1/4 to 3/4) -------------

// The schematic is drawn from these points (schematic units, x from the toe front, y up from the
// bottom), the proportions of a typical wall, never the project's: the three cuts must read the
// same on every report.
struct SketchPoint {
    double X;
    double Y;
};
constexpr std::array<SketchPoint, 11> SketchOutline = { {
    { 0, 0 },
    { 4.0, 0 },
    { 5.4, 2.0 },
    { 6.9, 2.0 },
    { 8.3, 4.0 },
    { 2.4, 4.0 },
    { 1.5, 10.0 },
    { 1.0, 10.0 },
    { 1.0, 1.0 },
    { 0, 1.0 },
    { 0, 0 },
} };
constexpr double SketchUnit = 250; // page units per schematic unit
constexpr double SketchLeft = 6600;
constexpr double SketchBottomBelowBody = 2950; // below B
constexpr double CutOverhang = 0.5; // schematic units beyond the faces
constexpr double CutLabelGap = 60;

// Where the three cuts run: 1 through the upper wall at the shelf, 2 through the body at the top
// of the toe, 3 through the toe at the front face. Each number stands at the end of its cut
// that is clear of the outline: in front of the wall, beyond the lower slope, under the toe.
enum class NumberAt { Before, After, Below };
struct Cut {
    SketchPoint From;
    SketchPoint To;
    std::string_view Number;
    NumberAt Place;
};
constexpr std::array<Cut, 3> SketchCuts = { {
    { { 1.0 - CutOverhang, 4.0 }, { 2.4 + CutOverhang, 4.0 }, "1", NumberAt::Before },
    { { 1.0 - CutOverhang, 1.0 }, { 4.7 + CutOverhang, 1.0 }, "2", NumberAt::After },
    { { 1.0, 1.0 + CutOverhang }, { 1.0, -CutOverhang }, "3", NumberAt::Below },
} };

// Sign convention: the forces beyond a cut (above cuts 1 and 2, in front of cut 3) in their
// positive sense, the sense in which the tables count them.
constexpr double ConventionTopBelowBody = 3500;
constexpr double ForceArrowLength = 380;
constexpr double MomentRadius = 260;
constexpr double ArcStepDegrees = 10;
constexpr double ArcHeadDegrees = 18; // a chord of about 80 units carries the head
constexpr double DegreesToRadians = 3.14159265358979323846 / 180;
// The two free bodies, page units: the wall piece above cuts 1 and 2 and the toe in front of
// cut 3 (tops below ConventionTopBelowBody).
constexpr double WallBodyLeft = 7000;
constexpr double WallBodyWidth = 360;
constexpr double WallBodyTop = 500;
constexpr double WallBodyHeight = 600;
constexpr double ToeBodyLeft = 8200;
constexpr double ToeBodyWidth = 600;
constexpr double ToeBodyTop = 700;
constexpr double ToeBodyHeight = 300;
constexpr double CutFaceOverhang = 150;
constexpr double NumberGap = 170;
// The moment arcs: on the right of the wall piece, over the top of the toe (degrees, y up).
constexpr double SideArcFrom = 60;
constexpr double SideArcTo = -60;
constexpr double TopArcFrom = 140;
constexpr double TopArcTo = 40;

// --- Design table (4/4) -------------------------------------------------------------------------

constexpr double GroupX = 240;
constexpr double ItemX = 360;
constexpr double UnitHeadX = 2466.45;
constexpr double UnitLabelRight = 2579.85;
constexpr double RemarkHeadX = 8391.6;
constexpr double RemarkX = 8051.4;
constexpr double HeaderRowOffset = 240;

// Section s is headed at 567 (3 s + 3.5); its M- and M+ columns centre at 567 (3 s + 2.75) and
// 567 (3 s + 4.25).
double SectionCentreX(int s)
{
    return ColumnUnit * (3.0 * s + 3.5);
}
double RowCentreX(int row)
{
    const int s = SectionOfRow(row);
    return ColumnUnit * (3.0 * s + (row % 2 == 1 ? 2.75 : 4.25));
}
// Values stand right-aligned 5.5 mm right of their column's centre, so that a negative value of
// four digits still clears the rule to the left.
constexpr double RowValueOffset = 311.85;
// A section's single shear value stands right-aligned 9 mm right of its M- column's centre,
// that is across the middle of the section.
constexpr double ShearValueOffset = 510.3;
// The widest a row's value (its column, 1.5 cm) or a section's shear value (from the section's
// left rule) may be before its font is narrowed; 1 mm clear of the rule.
constexpr double RowValueWidth = 0.75 * ColumnUnit + RowValueOffset - ValueMargin;
constexpr double ShearValueWidth = 0.75 * ColumnUnit + ShearValueOffset - ValueMargin;

constexpr std::array<double, 6> GridRuleOffsets = { 465, 1185, 2145, 3345, 4305, 5265 };
constexpr double GridLeft = 240;
constexpr double GridRight = 9072;
constexpr std::array<double, 5> GridVerticals = { 2097.9, 2835, 4536, 6237, 7938 };
constexpr double GridTop = -15;
constexpr double GridBottom = 5985;

constexpr double WarningTop = 5280;
constexpr double WarningStep = 240;
// Warning lines that the grid (down to 5985) holds below the Warning row.
constexpr int WarningLines = 3;

enum class DesignUnit { None, Moment, Force, SmallLength, Area, Bar, ForcePerLength };

using RowFloats = DesignResults::RowFloats;
using SectionFloats = DesignResults::SectionFloats;

struct DesignRow {
    double Offset;
    std::string_view Label; // markup
    bool Group;
    DesignUnit Unit;
    const RowFloats DesignResults::*RowValues; // or
    const SectionFloats DesignResults::*SectionValues;
};

constexpr DesignRow Group(double offset, std::string_view label)
{
    return { offset, label, true, DesignUnit::None, nullptr, nullptr };
}
constexpr DesignRow PerRow(
    double offset, std::string_view label, DesignUnit unit, const RowFloats DesignResults::*v)
{
    return { offset, label, false, unit, v, nullptr };
}
constexpr DesignRow PerSection(
    double offset, std::string_view label, DesignUnit unit, const SectionFloats DesignResults::*v)
{
    return { offset, label, false, unit, nullptr, v };
}

// The bars live in the project record, not in the design results; these rows are printed apart.
constexpr double DiameterOffset = 2400;
constexpr double PitchOffset = 2640;
constexpr double RatioOffset = 3120;

const std::array<DesignRow, 21> DesignRows = { {
    Group(480, "Forces"),
    PerRow(720, "Moment, M", DesignUnit::Moment, &DesignResults::ReinMoment),
    PerRow(960, "Normal, N", DesignUnit::Force, &DesignResults::ReinNormal),
    Group(1200, "Balanced section"),
    PerRow(1440, "Height, h", DesignUnit::SmallLength, &DesignResults::ReinHeight),
    PerRow(1680, "Moment capacity, M_{u}", DesignUnit::Moment, &DesignResults::ReinMomentCap),
    PerRow(1920, "Required rebar, A_{sreq}", DesignUnit::Area, &DesignResults::ReinAsReq),
    Group(2160, "Reinforcement"),
    PerRow(DiameterOffset, "Effective diameter", DesignUnit::Bar, nullptr),
    PerRow(PitchOffset, "Pitch", DesignUnit::Bar, nullptr),
    PerRow(2880, "Area, A_{s}", DesignUnit::Area, &DesignResults::ReinAs),
    PerRow(RatioOffset, "Ratio, {r}", DesignUnit::None, &DesignResults::ReinRho),
    Group(3360, "Crack control"),
    PerRow(3600, "Moment, M", DesignUnit::Moment, &DesignResults::ReinMomentZ),
    PerRow(3840, "Normal, N", DesignUnit::Force, &DesignResults::ReinNormalZ),
    PerRow(4080, "Distribution, z", DesignUnit::ForcePerLength, &DesignResults::ReinZ),
    Group(4320, "Shear"),
    PerSection(4560, "Shear, V", DesignUnit::Force, &DesignResults::ReinShear),
    PerSection(4800, "Normal, N", DesignUnit::Force, &DesignResults::ReinShearNormal),
    PerSection(5040, "Shear capacity, V_{u}", DesignUnit::Force, &DesignResults::ReinShearCap),
    Group(WarningTop, "Warning"),
} };

// Stored section heights and bar sizes are in cm (Metric, SI) or in (British), areas in cm²/m or
// in²/ft. The table prints them in the labels it shows: heights in the small length unit (mm in
// SI), bars in mm (Metric, SI) or in, areas in the small length unit squared per strip.
constexpr std::array<double, 3> HeightPerStored = { 1, 10, 1 }; // cm, mm, in
constexpr std::array<double, 3> BarPerStored = { 10, 10, 1 }; // mm, mm, in
constexpr std::array<double, 3> AreaPerStored = { 1, 100, 1 }; // cm², mm², in²
// The strip the design works on: 100 cm, 1000 mm (1 m) or 12 in wide.
constexpr std::array<std::string_view, 3> StripWidth = { "100", "1000", "12" };

// A value that cannot be formed (the section cannot carry its moment) reads so.
constexpr std::string_view NoValue = "N/A";

std::string Value(double v)
{
    return FormatNumber(v, ValueFormat);
}

void BeginConcretePage(ReportContext& ctx, std::string_view title)
{
    BeginSection(ctx);
    PageCanvas& c = ctx.Canvas;
    SetSectionFont(ctx, TitlePoints, true);
    c.SetForeColour(ColourBlack);
    c.SetPenY(ctx.SectionTop + TitleOffset);
    PrintCentered(ctx, title, SectionTitleCentre * ctx.PageWidth);
    ctx.BodyFontSize = static_cast<float>(BodyFontPoints * ctx.PageScale);
    SetSectionFont(ctx, ctx.BodyFontSize, false);
    // The load factors, the phi factors and rho min are this edition's.
    c.SetPenY(ctx.SectionTop + TitleOffset);
    PrintRightAligned(ctx, CodeBasis, ctx.PageWidth - ValueMargin);
}

void SetGridPen(ReportContext& ctx)
{
    SetPenWidth(ctx, GridPenMm);
    ctx.Canvas.SetLineStyle(LineStyle::Solid);
    ctx.Canvas.SetForeColour(ColourBlue);
}

// --- Schematic and sign convention --------------------------------------------------------------

DrawPoint OnSketch(double bodyTop, SketchPoint p)
{
    return { SketchLeft + p.X * SketchUnit, bodyTop + SketchBottomBelowBody - p.Y * SketchUnit };
}

void DrawWallSchematic(ReportContext& ctx, double bodyTop)
{
    PageCanvas& c = ctx.Canvas;
    SetPenWidth(ctx, GridPenMm);
    c.SetForeColour(ColourBlack);
    c.SetLineStyle(LineStyle::Solid);
    for (size_t i = 0; i + 1 < SketchOutline.size(); ++i) {
        const DrawPoint a = OnSketch(bodyTop, SketchOutline[i]);
        const DrawPoint b = OnSketch(bodyTop, SketchOutline[i + 1]);
        DrawLine(ctx, a.X, a.Y, b.X, b.Y);
    }
    c.SetForeColour(PaletteColour(4)); // red: the cuts
    c.SetLineStyle(LineStyle::Dash);
    for (const Cut& cut : SketchCuts) {
        const DrawPoint a = OnSketch(bodyTop, cut.From);
        const DrawPoint b = OnSketch(bodyTop, cut.To);
        DrawLine(ctx, a.X, a.Y, b.X, b.Y);
    }
    c.SetLineStyle(LineStyle::Solid);
    for (const Cut& cut : SketchCuts) {
        const DrawPoint from = OnSketch(bodyTop, cut.From);
        const DrawPoint to = OnSketch(bodyTop, cut.To);
        const double h = c.TextHeight(cut.Number);
        switch (cut.Place) {
        case NumberAt::Before:
            c.SetPenY(from.Y - h / 2);
            PrintRightAligned(ctx, cut.Number, from.X - CutLabelGap);
            break;
        case NumberAt::After: PrintAt(ctx, to.X + CutLabelGap, to.Y - h / 2, cut.Number); break;
        case NumberAt::Below:
            c.SetPenY(to.Y + CutLabelGap);
            PrintCentered(ctx, cut.Number, to.X);
            break;
        }
    }
    c.SetForeColour(ColourBlack);
}

DrawPoint OnCircle(DrawPoint centre, double radius, double degrees)
{
    const double a = degrees * DegreesToRadians;
    return { centre.X + radius * std::cos(a), centre.Y - radius * std::sin(a) };
}

// A clockwise arc from `fromDeg` down to `toDeg` (counter-clockwise angles, y up) with its head
// at the end.
void DrawClockwiseMoment(ReportContext& ctx, DrawPoint centre, double fromDeg, double toDeg)
{
    const double headStart = toDeg + ArcHeadDegrees;
    DrawPoint last = OnCircle(centre, MomentRadius, fromDeg);
    const int steps = static_cast<int>(std::ceil((fromDeg - headStart) / ArcStepDegrees));
    for (int k = 1; k < steps; ++k) {
        const DrawPoint next = OnCircle(centre, MomentRadius, fromDeg - ArcStepDegrees * k);
        DrawLine(ctx, last.X, last.Y, next.X, next.Y);
        last = next;
    }
    const DrawPoint start = OnCircle(centre, MomentRadius, headStart);
    DrawLine(ctx, last.X, last.Y, start.X, start.Y);
    const DrawPoint tip = OnCircle(centre, MomentRadius, toDeg);
    DrawArrow(ctx, start.X, start.Y, tip.X, tip.Y, SingleArrow);
}

void PrintLabelAt(ReportContext& ctx, double x, double y, std::string_view text)
{
    // Centred on (x, y).
    const double h = ctx.Canvas.TextHeight(text);
    ctx.Canvas.SetPenY(y - h / 2);
    PrintCentered(ctx, text, x);
}

// The cut face as a short red dashed line with the numbers of the cuts it stands for.
void DrawCutFace(ReportContext& ctx, DrawPoint a, DrawPoint b)
{
    PageCanvas& c = ctx.Canvas;
    c.SetForeColour(PaletteColour(4));
    c.SetLineStyle(LineStyle::Dash);
    DrawLine(ctx, a.X, a.Y, b.X, b.Y);
    c.SetLineStyle(LineStyle::Solid);
    c.SetForeColour(ColourBlack);
}

// The positive senses of the forces beyond a cut (above cuts 1 and 2, in front of cut 3), the
// senses in which the tables count them: two small free bodies with their cut faces dashed red.
void DrawSignConvention(ReportContext& ctx, double bodyTop)
{
    PageCanvas& c = ctx.Canvas;
    SetPenWidth(ctx, GridPenMm);
    c.SetForeColour(ColourBlack);
    const double top = bodyTop + ConventionTopBelowBody;
    const double labelGap = c.TextHeight("M+");
    auto cutNumbers = [&](double x, double y, std::string_view numbers) {
        c.SetForeColour(PaletteColour(4));
        PrintLabelAt(ctx, x, y, numbers);
        c.SetForeColour(ColourBlack);
    };

    // Cuts 1 and 2: the wall above a horizontal cut. N+ presses down on it, V+ pushes it towards
    // the backfill, M+ turns it clockwise (front face in tension).
    {
        const double left = WallBodyLeft;
        const double right = left + WallBodyWidth;
        const double upper = top + WallBodyTop;
        const double lower = upper + WallBodyHeight;
        c.DrawBox(left, upper, right, lower);
        DrawCutFace(ctx, { left - CutFaceOverhang, lower }, { right + CutFaceOverhang, lower });
        cutNumbers(right + CutFaceOverhang + NumberGap, lower, "1, 2");
        const double cx = (left + right) / 2;
        const double vy = (upper + lower) / 2;
        DrawArrow(ctx, cx, upper - ForceArrowLength, cx, upper, SingleArrow);
        PrintLabelAt(ctx, cx + NumberGap, upper - ForceArrowLength + labelGap / 2, "N+");
        DrawArrow(ctx, left - ForceArrowLength, vy, left, vy, SingleArrow);
        PrintLabelAt(ctx, left - ForceArrowLength / 2, vy - labelGap, "V+");
        DrawClockwiseMoment(ctx, { cx, vy }, SideArcFrom, SideArcTo);
        PrintLabelAt(ctx, cx + MomentRadius + NumberGap, vy, "M+");
    }
    // Cut 3: the toe in front of the vertical cut at the front face. N+ presses it against the
    // cut, V+ lifts it, M+ turns it clockwise (bottom face in tension).
    {
        const double left = ToeBodyLeft;
        const double right = left + ToeBodyWidth;
        const double upper = top + ToeBodyTop;
        const double lower = upper + ToeBodyHeight;
        c.DrawBox(left, upper, right, lower);
        DrawCutFace(ctx, { right, upper - CutFaceOverhang }, { right, lower + CutFaceOverhang });
        cutNumbers(right, lower + CutFaceOverhang + NumberGap, "3");
        const double cx = (left + right) / 2;
        const double vy = (upper + lower) / 2;
        DrawArrow(ctx, left - ForceArrowLength, vy, left, vy, SingleArrow);
        PrintLabelAt(ctx, left - ForceArrowLength / 2, vy - labelGap, "N+");
        DrawArrow(ctx, cx, lower + ForceArrowLength, cx, lower, SingleArrow);
        PrintLabelAt(ctx, cx - NumberGap, lower + ForceArrowLength - labelGap / 2, "V+");
        DrawClockwiseMoment(ctx, { cx, vy }, TopArcFrom, TopArcTo);
        PrintLabelAt(ctx, cx, vy - MomentRadius - labelGap, "M+");
    }
}

// --- Pages ---------------------------------------------------------------------------------------

void PrintForcePage(ReportContext& ctx, const ForcePage& page)
{
    BeginConcretePage(ctx, page.Title);
    PageCanvas& c = ctx.Canvas;
    const double size = ctx.BodyFontSize;
    const double bodyTop = ctx.SectionBodyTop + BodyTopBelowStrip;
    const size_t u = UnitIndex(ctx.Record);
    const std::string force(ForceUnit[u]);
    const std::string unit = page.MomentUnit ? force + std::string(LengthUnit[u]) : force;

    c.SetForeColour(ColourBlack);
    SetSectionFont(ctx, size, true);
    PrintAt(ctx, LabelX, bodyTop, page.Heading);
    SetSectionFont(ctx, size, false);
    PrintAt(ctx, UnitCaptionX, bodyTop, "Unit: " + unit);
    for (int s = 1; s <= DesignSectionCount; ++s) {
        c.SetPenY(bodyTop);
        PrintCentered(ctx, "Section " + std::to_string(s), ForceHeadX(s));
    }
    for (int k = 1; k <= CombinationCount; ++k)
        PrintAt(ctx, LabelX, bodyTop + ComboRowStep * k, CombinationName[size_t(k)]);
    for (int i = 0; i < page.RetainedCount; ++i) {
        const RetainedRow& row = page.Retained[size_t(i)];
        const double y = bodyTop + row.Offset;
        if (row.Label == CorrespondingN)
            PrintAt(ctx, LabelX, y, "Corresponding N (" + force + ")");
        else if (!row.Label.empty())
            PrintAt(ctx, LabelX, y, row.Label);
    }

    // Rules: under the heads, between the combinations and the retained values, round the table.
    const double lastRow = page.Retained[size_t(page.RetainedCount - 1)].Offset;
    const double tableTop = bodyTop - RuleAboveText;
    const double tableBottom = bodyTop + lastRow + ComboRowStep - RuleAboveText;
    const double right = ForceTableRules.back();
    SetGridPen(ctx);
    for (double y : { tableTop, bodyTop + ComboRowStep - RuleAboveText,
             bodyTop + ComboRowStep * (CombinationCount + 1) - RuleAboveText, tableBottom })
        DrawLine(ctx, ForceTableLeft, y, right, y);
    DrawLine(ctx, ForceTableLeft, tableTop, ForceTableLeft, tableBottom);
    for (double x : ForceTableRules)
        DrawLine(ctx, x, tableTop, x, tableBottom);

    const CombinationResults& r = ctx.Combinations;
    const auto& table = r.*page.Table;
    SetSectionFont(ctx, size, false);
    c.SetForeColour(ColourBlue);
    for (int s = 1; s <= DesignSectionCount; ++s) {
        for (int k = 1; k <= CombinationCount; ++k) {
            const float v = table[size_t(k)][size_t(s)];
            c.SetPenY(bodyTop + ComboRowStep * k);
            // Exactly zero: the combination puts no force on the section.
            PrintRightAlignedWithin(
                ctx, v == 0.0f ? std::string("--") : Value(v), ForceValueX(s), ForceValueWidth);
        }
        for (int i = 0; i < page.RetainedCount; ++i) {
            const RetainedRow& row = page.Retained[size_t(i)];
            c.SetPenY(bodyTop + row.Offset);
            PrintRightAlignedWithin(
                ctx, Value((r.Env.*row.Values)[size_t(s)]), ForceValueX(s), ForceValueWidth);
        }
    }
    c.SetForeColour(ColourBlack);
    DrawWallSchematic(ctx, bodyTop);
    DrawSignConvention(ctx, bodyTop);
}

std::string UnitLabel(const Project& p, DesignUnit unit)
{
    const size_t u = UnitIndex(p);
    std::string force(ForceUnit[u]);
    const std::string length(LengthUnit[u]);
    switch (unit) {
    case DesignUnit::None: return {};
    case DesignUnit::Moment: return force + length;
    case DesignUnit::Force: return force;
    case DesignUnit::SmallLength: return std::string(SmallLengthUnit[u]);
    case DesignUnit::Area: return std::string(SmallLengthUnit[u]) + "²";
    case DesignUnit::Bar: return std::string(BarUnit[u]);
    case DesignUnit::ForcePerLength: return force + "/" + length;
    }
    return {};
}

// The text of design row `row` in table row `d`.
std::string DesignCell(const Project& p, const DesignResults& r, const DesignRow& d, int row)
{
    const size_t u = UnitIndex(p);
    const auto i = size_t(row);
    // The bars the design was made with: the engineer's, or the ones it chose.
    if (d.Offset == DiameterOffset)
        return Value(r.ReinDia[i] * BarPerStored[u]);
    if (d.Offset == PitchOffset)
        return Value(r.ReinPitch[i] * BarPerStored[u]);
    if (d.Offset == RatioOffset)
        return FormatNumber(r.ReinRho[i], "#0.#0%");
    if (d.RowValues == &DesignResults::ReinAsReq && r.ReinCannotCarry[i])
        return std::string(NoValue);
    if (d.RowValues == &DesignResults::ReinZ && r.ReinZCannotCarry[i])
        return std::string(NoValue);
    double v = (r.*d.RowValues)[i];
    if (d.Unit == DesignUnit::SmallLength)
        v *= HeightPerStored[u];
    else if (d.Unit == DesignUnit::Area)
        v *= AreaPerStored[u];
    return Value(v);
}

// The warnings of one design row, in their stacking order.
std::vector<std::string_view> RowWarningTexts(const RowWarnings& w, bool zUnknown)
{
    std::vector<std::string_view> texts;
    if (w.MomentCapacity)
        texts.emplace_back("M_{u} < M");
    if (w.RhoMin)
        texts.emplace_back("{r} < {r}_{min}");
    if (w.RhoBalanced)
        texts.emplace_back("{r} > 0.75{r}_{b}");
    // A crack-control moment the section cannot carry has no z: it is certainly not within
    // the limit.
    if (w.ZMax || zUnknown)
        texts.emplace_back("z > z_{max}");
    return texts;
}

void PrintMarkupCentred(ReportContext& ctx, double x, double y, std::string_view markup)
{
    PrintMarkup(ctx, x - MarkupWidth(ctx, markup) / 2, y, markup);
}

void PrintDesignPage(ReportContext& ctx)
{
    BeginConcretePage(ctx, "Concrete 4/4");
    PageCanvas& c = ctx.Canvas;
    const Project& p = ctx.Record;
    const DesignResults& r = ctx.Combinations.Design;
    const double size = ctx.BodyFontSize;
    const double bodyTop = ctx.SectionBodyTop + BodyTopBelowStrip;
    const size_t u = UnitIndex(p);
    c.SetForeColour(ColourBlack);

    // Heads: the sections over their two columns, then the header row.
    SetSectionFont(ctx, size, true);
    const double header = bodyTop + HeaderRowOffset;
    for (int s = 1; s <= DesignSectionCount; ++s) {
        c.SetPenY(bodyTop);
        PrintCentered(ctx, "Section " + std::to_string(s), SectionCentreX(s));
    }
    PrintAt(ctx, GroupX, header, "Item");
    c.SetPenY(header);
    PrintCentered(ctx, "Unit", UnitHeadX);
    for (int row = 1; row <= ReinRowCount; ++row) {
        c.SetPenY(header);
        PrintCentered(ctx, row % 2 == 1 ? "M-" : "M+", RowCentreX(row));
    }
    c.SetPenY(header);
    PrintCentered(ctx, "Remark", RemarkHeadX);

    // Row labels and their units.
    for (const DesignRow& d : DesignRows) {
        SetSectionFont(ctx, size, d.Group);
        PrintMarkup(ctx, d.Group ? GroupX : ItemX, bodyTop + d.Offset, d.Label);
        if (d.Group || d.Unit == DesignUnit::None)
            continue;
        SetSectionFont(ctx, size, false);
        c.SetPenY(bodyTop + d.Offset);
        PrintRightAligned(ctx, UnitLabel(p, d.Unit), UnitLabelRight);
    }

    SetGridPen(ctx);
    for (double offset : GridRuleOffsets)
        DrawLine(ctx, GridLeft, bodyTop + offset, GridRight, bodyTop + offset);
    for (double x : GridVerticals)
        DrawLine(ctx, x, bodyTop + GridTop, x, bodyTop + GridBottom);

    // Values, in blue.
    SetSectionFont(ctx, size, false);
    c.SetForeColour(ColourBlue);
    for (const DesignRow& d : DesignRows) {
        if (d.Group)
            continue;
        c.SetPenY(bodyTop + d.Offset);
        if (d.SectionValues != nullptr) {
            for (int s = 1; s <= DesignSectionCount; ++s)
                PrintRightAlignedWithin(ctx, Value((r.*d.SectionValues)[size_t(s)]),
                    RowCentreX(2 * s - 1) + ShearValueOffset, ShearValueWidth);
            continue;
        }
        for (int row = 1; row <= ReinRowCount; ++row)
            PrintRightAlignedWithin(
                ctx, DesignCell(p, r, d, row), RowCentreX(row) + RowValueOffset, RowValueWidth);
    }

    // Remarks: the strip width, the balanced ratio and the limit of z.
    c.SetForeColour(ColourBlack);
    PrintAt(ctx, RemarkX, bodyTop + 1440, "Width (b) =");
    PrintAt(ctx, RemarkX, bodyTop + 1680,
        std::string(StripWidth[u]) + " " + std::string(SmallLengthUnit[u]));
    PrintMarkup(ctx, RemarkX, bodyTop + RatioOffset, "{r}_{b}= ");
    c.SetForeColour(ColourBlue);
    c.Print(FormatNumber(r.RhoBalanced, "0.#0%"));
    c.SetForeColour(ColourBlack);
    PrintMarkup(ctx, RemarkX, bodyTop + 3840, "z_{max}=");
    c.SetForeColour(ColourBlue);
    PrintAt(ctx, RemarkX, bodyTop + 4080,
        FormatNumber(r.ZMax, "#0 ") + std::string(ForceUnit[u]) + "/" + std::string(LengthUnit[u]));

    // Warnings, stacked down from the Warning row in each row's column. A section's shear
    // warning goes on the first line both its columns leave free, or, when that line would
    // fall below the grid, under the shorter of the two stacks.
    const DesignWarningSet warnings = DesignWarnings(r);
    std::array<int, ReinRowCount + 1> linesUsed {};
    for (int row = 1; row <= ReinRowCount; ++row) {
        const std::vector<std::string_view> texts
            = RowWarningTexts(warnings.Row[size_t(row)], r.ReinZCannotCarry[size_t(row)]);
        for (size_t k = 0; k < texts.size(); ++k)
            PrintMarkupCentred(
                ctx, RowCentreX(row), bodyTop + WarningTop + WarningStep * double(k), texts[k]);
        linesUsed[size_t(row)] = static_cast<int>(texts.size());
    }
    for (int s = 1; s <= DesignSectionCount; ++s) {
        if (!warnings.Shear[size_t(s)])
            continue;
        const int minus = linesUsed[size_t(2 * s) - 1];
        const int plus = linesUsed[size_t(2 * s)];
        double x = SectionCentreX(s);
        int line = std::max(minus, plus);
        if (line >= WarningLines) {
            x = RowCentreX(minus <= plus ? 2 * s - 1 : 2 * s);
            line = std::min(minus, plus);
        }
        PrintMarkupCentred(ctx, x, bodyTop + WarningTop + WarningStep * line, "V_{u} < V");
    }
    c.SetForeColour(ColourBlack);
}

} // namespace

void PrintConcreteSection(ReportContext& ctx, int part)
{
    if (part >= 1 && part <= 3)
        PrintForcePage(ctx, ForcePages[size_t(part - 1)]);
    else if (part == 4)
        PrintDesignPage(ctx);
}

} // namespace pendrake::report
