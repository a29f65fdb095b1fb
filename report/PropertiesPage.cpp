// The Properties section: the material, soil and anchor inputs of the project in two columns of
// labelled values with their units. Input only; nothing is computed for it.
#include "report/ReportSections.h"

#include "model/NumberFormat.h"
#include "model/Units.h"

#include <array>
#include <string>

namespace pendrake::report {

namespace {

// Body rows start this far below the title strip; body text is 8 points times PageScale.
constexpr double BodyTopBelowStrip = 320;
constexpr double BodyFontPoints = 8;

// Columns, page units from the frame's left edge (right column from the middle of the page).
constexpr double LeftLabelX = 240;
constexpr double LeftValueX = 3402;
constexpr double LeftUnitX = 3515.4;
constexpr double RightValueX = 2835;
constexpr double RightUnitX = 2948.4;

// The cover and the anchor diameter are stored in cm in Metric and SI and in in in British; SI
// labels them mm, as its dialogs show them.
constexpr std::array<double, 3> SmallLengthShownPerStored = { 1, 10, 1 }; // cm, mm, in

enum class Unit { None, UnitWeight, Stress, Modulus, SmallLength, Length, Angle };

struct Row {
    bool Right = false;
    double Offset = 0;
    std::string_view Label; // markup of PrintMarkup
    bool Heading = false;
    float Project::*Field = nullptr;
    std::string_view Format;
    Unit Kind = Unit::None;
};

constexpr Row Heading(bool right, double offset, std::string_view text)
{
    return { right, offset, text, true, nullptr, "", Unit::None };
}

// The moduli are entered in units of 10^5 of the stress unit.
constexpr std::string_view ModulusLabel = "- Elasticity modulus (E) =";

constexpr auto Rows = std::to_array<Row>({
    Heading(false, 0, "Concrete:"),
    { false, 240, "- Unit weight (incl. reinforcement) =", false, &Project::ConcUnitWeight, "#0.#0",
        Unit::UnitWeight },
    // The compressive strength label is printed by hand: its subscript stands under the
    // apostrophe.
    { false, 480, "", false, &Project::ConcFc, "#0", Unit::Stress },
    { false, 720, ModulusLabel, false, &Project::ConcE, "#0.#0", Unit::Modulus },
    { false, 960, "- Poisson's ratio ({m}) =", false, &Project::ConcPoisson, "#0.#0", Unit::None },
    Heading(false, 1440, "Reinforcement bars:"),
    { false, 1680, "- Yield stress (f_{y}) =", false, &Project::RebarFy, "#0", Unit::Stress },
    { false, 1920, ModulusLabel, false, &Project::RebarE, "#0.#0", Unit::Modulus },
    { false, 2160, "- Concrete cover =", false, &Project::ConcCover, "#0.0", Unit::SmallLength },
    Heading(false, 2640, "Water:"),
    { false, 2880, "- Unit weight ({g}_{w}) =", false, &Project::WaterUnitWeight, "#0.#0",
        Unit::UnitWeight },
    Heading(false, 3360, "Friction angle ({d}):"),
    { false, 3600, "- Earth to earth =", false, &Project::DeltaEarth, "#0.0", Unit::Angle },
    { false, 3840, "- Concrete to earth =", false, &Project::DeltaConcrete, "#0.0", Unit::Angle },
    Heading(true, 0, "Backfill:"),
    { true, 240, "- Unit weight ({g}) =", false, &Project::FillUnitWeight, "#0.#0",
        Unit::UnitWeight },
    { true, 480, "- Dry density ({g}_{d}) =", false, &Project::FillDryDensity, "#0.#0",
        Unit::UnitWeight },
    { true, 720, "- Saturated density ({g}_{s}) =", false, &Project::FillSatDensity, "#0.#0",
        Unit::UnitWeight },
    { true, 960, "- Internal friction angle ({f}) =", false, &Project::FillPhi, "#0.0",
        Unit::Angle },
    { true, 1200, "- Cohesion (c) =", false, &Project::FillCohesion, "#0.#0", Unit::Stress },
    Heading(true, 1680, "Base:"),
    { true, 1920, "- Internal friction angle ({f}) =", false, &Project::BasePhi, "#0.0",
        Unit::Angle },
    { true, 2160, "- Cohesion (c) =", false, &Project::BaseCohesion, "#0.#0", Unit::Stress },
    { true, 2400, "- Ultimate bearing capacity (q_{d}) =", false, &Project::BaseQd, "#0.#0",
        Unit::Stress },
    { true, 2640, ModulusLabel, false, &Project::BaseE, "#0.#0", Unit::Modulus },
});

// The anchor block, printed only for a wall with anchor rows. The row count is an integer and
// is printed apart.
constexpr double AnchorHeadingOffset = 3120;
constexpr double AnchorCountOffset = 3360;
constexpr auto AnchorRowsTable = std::to_array<Row>({
    { true, 3600, "- Vertical pitch =", false, &Project::AnchorVPitch, "#0.#0", Unit::Length },
    { true, 3840, "- Horizontal pitch =", false, &Project::AnchorHPitch, "#0.#0", Unit::Length },
    { true, 4080, "- Bottom edge distance =", false, &Project::AnchorEdgeDist, "#0.#0",
        Unit::Length },
    { true, 4320, "- Yield stress =", false, &Project::AnchorYield, "#0", Unit::Stress },
    { true, 4560, "- Shear stress =", false, &Project::AnchorShear, "#0", Unit::Stress },
    { true, 4800, "- Diameter =", false, &Project::AnchorDia, "#0.#0", Unit::SmallLength },
    { true, 5040, ModulusLabel, false, &Project::AnchorE, "#0.#0", Unit::Modulus },
});

struct Columns {
    double LabelX;
    double ValueX;
    double UnitX;
};

Columns ColumnsOf(const ReportContext& ctx, bool right)
{
    const double half = ctx.PageWidth / 2.0;
    if (right)
        return { half, half + RightValueX, half + RightUnitX };
    return { LeftLabelX, LeftValueX, LeftUnitX };
}

void PrintUnit(ReportContext& ctx, double x, double y, Unit kind)
{
    const size_t u = UnitIndex(ctx.Record);
    switch (kind) {
    case Unit::None: return;
    case Unit::UnitWeight: PrintAt(ctx, x, y, UnitWeightUnit[u]); return;
    case Unit::Stress: PrintAt(ctx, x, y, StressUnit[u]); return;
    case Unit::SmallLength: PrintAt(ctx, x, y, SmallLengthUnit[u]); return;
    case Unit::Length: PrintAt(ctx, x, y, LengthUnit[u]); return;
    case Unit::Angle: PrintAt(ctx, x, y, AngleUnit[u]); return;
    case Unit::Modulus:
        PrintAt(ctx, x, y, "10");
        PrintSuperscript(ctx, "5");
        ctx.Canvas.Print(" " + std::string(StressUnit[u]));
        return;
    }
}

void PrintRow(ReportContext& ctx, double bodyTop, const Row& row, double fontSize)
{
    const Columns col = ColumnsOf(ctx, row.Right);
    const double y = bodyTop + row.Offset;
    SetSectionFont(ctx, fontSize, row.Heading);
    ctx.Canvas.SetForeColour(ColourBlack);
    if (row.Field == &Project::ConcFc) {
        PrintAt(ctx, col.LabelX, y, "- Compressive stress (f'");
        ctx.Canvas.SetPenX(ctx.Canvas.PenX() - ctx.Canvas.TextWidth("'"));
        PrintSubscript(ctx, "c");
        ctx.Canvas.Print(") =");
    } else {
        PrintMarkup(ctx, col.LabelX, y, row.Label);
    }
    if (row.Heading || row.Field == nullptr)
        return;
    PrintUnit(ctx, col.UnitX, y, row.Kind);
    ctx.Canvas.SetForeColour(ColourBlue);
    ctx.Canvas.SetPenY(y);
    double value = ctx.Record.*row.Field;
    if (row.Kind == Unit::SmallLength)
        value *= SmallLengthShownPerStored[UnitIndex(ctx.Record)];
    PrintRightAligned(ctx, FormatNumber(value, row.Format), col.ValueX);
    ctx.Canvas.SetForeColour(ColourBlack);
}

} // namespace

void PrintPropertiesSection(ReportContext& ctx)
{
    BeginSection(ctx);
    PrintSectionTitle(ctx, "Properties");
    const double bodyTop = ctx.SectionBodyTop + BodyTopBelowStrip;
    ctx.BodyFontSize = static_cast<float>(BodyFontPoints * ctx.PageScale);
    const double size = ctx.BodyFontSize;

    for (const Row& row : Rows)
        PrintRow(ctx, bodyTop, row, size);

    if (ctx.Record.AnchorRows <= 0)
        return;
    PrintRow(ctx, bodyTop, Heading(true, AnchorHeadingOffset, "Anchors:"), size);
    const Columns col = ColumnsOf(ctx, true);
    const double y = bodyTop + AnchorCountOffset;
    SetSectionFont(ctx, size, false);
    PrintAt(ctx, col.LabelX, y, "- Number along vertical =");
    ctx.Canvas.SetForeColour(ColourBlue);
    ctx.Canvas.SetPenY(y);
    PrintRightAligned(ctx, FormatNumber(ctx.Record.AnchorRows, "#0"), col.ValueX);
    ctx.Canvas.SetForeColour(ColourBlack);
    for (const Row& row : AnchorRowsTable)
        PrintRow(ctx, bodyTop, row, size);
}

} // namespace pendrake::report
