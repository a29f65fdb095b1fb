// The Stability section (force sums, base pressures, shear friction, anchors and the notes of
// the analysis) and the Reactions section (the wall with its base pressures and anchor forces).
#include "report/ReportSections.h"

#include "drawing/ViewFigure.h"

#include "analysis/Combinations.h"
#include "model/NumberFormat.h"
#include "model/Units.h"
#include "report/DiagramPrimitives.h"

#include <algorithm>
#include <array>
#include <string>

namespace pendrake::report {

namespace {

constexpr double BodyTopBelowStrip = 320;
constexpr double BodyFontPoints = 8;
// The Reactions drawing's values and legend: 6 points times PageScale.
constexpr double DrawingFontPoints = 6;

// Columns, page units: labels, values right-aligned, units left-aligned; the right column
// counts from the middle of the page.
constexpr double LeftLabelX = 240;
constexpr double LeftValueX = 3685.5;
constexpr double LeftUnitX = 3798.9;
constexpr double RightValueX = 3402.0;
constexpr double RightUnitX = 3515.4;

// Notes start under their heading and follow one line apart.
constexpr double NotesTop = 2640;
constexpr double NoteStep = 240;

constexpr std::string_view NotApplicable = "N/A";

// Texts of the report's notes. The anchor tension note names the tension, unlike the window's.
constexpr std::string_view ReportAnchorTensionNote
    = "The anchor tension safety factor is less than unity.";

struct Label {
    bool Right = false;
    double Offset = 0;
    std::string_view Text;
    bool Heading = false;
};

constexpr auto Labels = std::to_array<Label>({
    { false, 0, "External forces:", true },
    { false, 240, "- Horizontal force ({S}H) =" },
    { false, 480, "- Vertical force ({S}V) =" },
    { false, 720, "- Moment at overturning point ({S}M_{o}) =" },
    { false, 960, "- Overturning safety factor =" },
    { false, 1200, "Foundation pressures:", true },
    { false, 1440, "- Maximum ({s}_{max}) =" },
    { false, 1680, "- Minimum ({s}_{min}) =" },
    { false, 1920, "- Minimum safety factor =" },
    { false, 2400, "Notes:", true },
    { true, 0, "Shear friction:", true },
    { true, 240, "- Minimum safety factor =" },
    { true, 480, "   with shearing stress =" },
    { true, 720, "   and resisting stress =" },
    { true, 1200, "Anchors:", true },
    { true, 1440, "- Maximum tension stress =" },
    { true, 1680, "- Safety factor =" },
    { true, 1920, "- Maximum shear stress =" },
    { true, 2160, "- Safety factor =" },
});

enum class Cell { Value, NotApplicable, Infinity };

struct ValueRow {
    bool Right = false;
    double Offset = 0;
    double Value = 0;
    Cell Shown = Cell::Value;
    std::string Unit;
};

void PrintSectionTitleAndBody(ReportContext& ctx, std::string_view title)
{
    BeginSection(ctx);
    PrintSectionTitle(ctx, title);
    ctx.BodyFontSize = static_cast<float>(BodyFontPoints * ctx.PageScale);
}

std::vector<ValueRow> StabilityValues(const Project& p, const StabilityResults& r)
{
    const size_t u = UnitIndex(p);
    const std::string force(ForceUnit[u]);
    const std::string moment = force + std::string(LengthUnit[u]);
    const std::string pressure(PressureUnit[u]);
    const std::string stress(StressUnit[u]);
    const bool stable = r.Stable;
    const bool noTension = r.AnchorTensionMax == 0;
    // An infinite safety factor shows as such whatever the stability says; the anchor factors
    // only while an anchor is in tension.
    auto classify = [&](double v, bool notApplicable, bool infinityAllowed) {
        if (infinityAllowed && v >= InfiniteSafety)
            return Cell::Infinity;
        return notApplicable ? Cell::NotApplicable : Cell::Value;
    };
    // Anchor stresses come out of the analysis in the pressure unit; the engineer compares
    // them with the yield and shear stresses entered in the stress unit.
    const double toStress = 1.0 / StressToPressure(p.UnitSystem);
    const bool anchorStressNA = noTension || p.AnchorRows < 1 || !stable;
    const bool anchorSafetyNA = noTension || !stable;
    return {
        { false, 240, r.TotalHorizontal, Cell::Value, force },
        { false, 480, r.TotalVertical, Cell::Value, force },
        { false, 720, r.TotalMoment, Cell::Value, moment },
        { false, 960, r.OverturningSafety, classify(r.OverturningSafety, false, true), "" },
        { false, 1440, r.BasePressureMax, classify(r.BasePressureMax, !stable, true), pressure },
        { false, 1680, r.BasePressureMin, classify(r.BasePressureMin, !stable, false), pressure },
        { false, 1920, r.BearingSafetyMin, classify(r.BearingSafetyMin, !stable, true), "" },
        { true, 240, r.SlidingSafetyMin, classify(r.SlidingSafetyMin, !stable, true), "" },
        { true, 480, r.SlidingShear, classify(r.SlidingShear, !stable, false), pressure },
        { true, 720, r.SlidingResistance, classify(r.SlidingResistance, !stable, false), pressure },
        { true, 1440, r.AnchorTensionStress * toStress, classify(0, anchorStressNA, false),
            stress },
        { true, 1680, r.AnchorTensionSafety,
            classify(r.AnchorTensionSafety, anchorSafetyNA, !noTension), "" },
        { true, 1920, r.AnchorShearStress * toStress, classify(0, anchorStressNA, false), stress },
        { true, 2160, r.AnchorShearSafety,
            classify(r.AnchorShearSafety, anchorSafetyNA, !noTension), "" },
    };
}

} // namespace

std::vector<std::string> ReportStabilityNotes(const Project& p, const StabilityResults& r)
{
    std::vector<std::string> notes;
    notes.push_back("Per 1 " + std::string(LengthUnit[UnitIndex(p)]) + " of wall length.");
    if (!r.Stable) {
        notes.emplace_back(NotStableNote);
        return notes;
    }
    const bool anchors = p.AnchorRows >= 1;
    const bool tension = r.AnchorTensionMax != 0;
    if (r.BasePressureMin < 0)
        notes.emplace_back(BaseTensionNote);
    if (r.BearingSafetyMin >= 0 && r.BearingSafetyMin < 1)
        notes.emplace_back(BearingNote);
    if (r.SlidingSafetyMin >= 0 && r.SlidingSafetyMin < 1)
        notes.emplace_back(SlidingNote);
    if (tension && anchors && r.AnchorTensionSafety < 1)
        notes.emplace_back(ReportAnchorTensionNote);
    if (tension && anchors && r.AnchorShearSafety < 1)
        notes.emplace_back(AnchorShearNote);
    if (!tension && p.AnchorRows > 0)
        notes.emplace_back(NoAnchorTensionNote);
    return notes;
}

void PrintStabilitySection(ReportContext& ctx)
{
    PrintSectionTitleAndBody(ctx, "Stability");
    const double bodyTop = ctx.SectionBodyTop + BodyTopBelowStrip;
    const double size = ctx.BodyFontSize;
    const double half = ctx.PageWidth / 2.0;
    PageCanvas& c = ctx.Canvas;

    c.SetForeColour(ColourBlack);
    for (const Label& l : Labels) {
        SetSectionFont(ctx, size, l.Heading);
        PrintMarkup(ctx, l.Right ? half : LeftLabelX, bodyTop + l.Offset, l.Text);
    }

    SetSectionFont(ctx, size, false);
    const std::vector<ValueRow> values = StabilityValues(ctx.Record, ctx.Stability);
    for (const ValueRow& v : values) {
        if (!v.Unit.empty())
            PrintAt(ctx, v.Right ? half + RightUnitX : LeftUnitX, bodyTop + v.Offset, v.Unit);
    }
    c.SetForeColour(ColourBlue);
    for (const ValueRow& v : values) {
        const double x = v.Right ? half + RightValueX : LeftValueX;
        c.SetPenY(bodyTop + v.Offset);
        switch (v.Shown) {
        case Cell::Infinity: PrintInfinityRightAligned(ctx, x); break;
        case Cell::NotApplicable: PrintRightAligned(ctx, NotApplicable, x); break;
        case Cell::Value: PrintRightAligned(ctx, FormatNumber(v.Value, ValueFormat), x); break;
        }
    }

    double y = bodyTop + NotesTop;
    for (const std::string& note : ReportStabilityNotes(ctx.Record, ctx.Stability)) {
        PrintAt(ctx, LeftLabelX, y, std::string(NoteMark) + note);
        y += NoteStep;
    }
    c.SetForeColour(ColourBlack);
}

namespace {

// The caption of the reactions stands at the top left of the body.
constexpr double CaptionLeft = 120;
constexpr double CaptionTopGap = 60;

LabelBox ReactionsCaptionBox(ReportContext& ctx)
{
    const std::string caption(ReactionsLoadsCaption);
    return { CaptionLeft, double(ctx.SectionBodyTop) + CaptionTopGap, ctx.Canvas.TextWidth(caption),
        ctx.Canvas.TextHeight(caption) };
}

} // namespace

SectionFigure ReactionsSectionFigure(ReportContext& ctx, const WallLayout& L)
{
    SectionFigure s;
    AddWallOutline(s.Shapes, ctx.Record, L);
    // Nothing to draw for a wall that is not stable: it has no reactions.
    AddReactions(s.Shapes, ctx.Record, L, ctx.Stability, PrintedFigureStyle());
    s.Fixed = LoadLegendBoxes(ctx);
    s.Fixed.push_back(ReactionsCaptionBox(ctx));
    return s;
}

void PrintReactionsSection(ReportContext& ctx)
{
    const WallLayout& L = BeginDrawingSection(ctx, "Reactions", DrawingFontPoints);
    const SectionFigure s = ReactionsSectionFigure(ctx, L);
    PaintFigureSeparated(ctx, s.Shapes, s.Fixed);
    ctx.Canvas.SetForeColour(ColourBlack);
    const LabelBox caption = ReactionsCaptionBox(ctx);
    PrintAt(ctx, caption.Left, caption.Top, std::string(ReactionsLoadsCaption));
    PrintLoadLegend(ctx);
}

} // namespace pendrake::report
