// The soil pressure calculator's printed page: its twelve inputs in two columns, the active,
// passive and at-rest results side by side, and the pressure inclination and the water.
#include "report/ReportSections.h"

#include "model/NumberFormat.h"
#include "model/Units.h"

#include <array>
#include <optional>
#include <string>

namespace pendrake::report {

namespace {

// The calculator page is set in 7 points times PageScale, one line every 240 page units: the
// longest input label then clears its value at 2835.
constexpr double BodyFontPoints = 7;
constexpr double LineStep = 240;
constexpr double BodyTopBelowStrip = 320;

constexpr double LabelX = 240;
constexpr double InputValueX = 2835;
// Units stand 2 mm after the value they belong to.
constexpr double UnitGap = 113.4;

// The result table: value columns (right edges) of active normal and seismic, passive normal
// and seismic, and at rest; the heads over them.
constexpr std::array<double, 5> ResultX = { 3402, 4536, 5670, 6804, 7938 };
constexpr double ActiveHeadX = 3402;
constexpr double PassiveHeadX = 5670;
constexpr double AtRestHeadX = 7371;
// Rows of the page, in lines below the body top.
constexpr int InputFirstLine = 1;
constexpr int TableHeadLine = 8;
constexpr int TableFirstLine = 10;
constexpr int TableLines = 12;
constexpr int WaterFirstLine = TableFirstLine + TableLines + 1;

constexpr std::string_view Missing = "--";

enum class Unit { None, UnitWeight, Angle, Stress, Length, Pressure, ForcePerLength };

std::string UnitText(const Project& p, Unit unit)
{
    const size_t u = UnitIndex(p);
    switch (unit) {
    case Unit::None: return {};
    case Unit::UnitWeight: return std::string(UnitWeightUnit[u]);
    case Unit::Angle: return std::string(AngleUnit[u]);
    case Unit::Stress: return std::string(StressUnit[u]);
    case Unit::Length: return std::string(LengthUnit[u]);
    case Unit::Pressure: return std::string(PressureUnit[u]);
    case Unit::ForcePerLength: return LineLoadUnit(p.UnitSystem);
    }
    return {};
}

struct InputLine {
    std::string_view Label; // markup
    Unit Kind;
};

// In the order of CalculatorInputFields.
constexpr std::array<InputLine, CalculatorInputCount> InputLines = { {
    { "- Wet density of soil ({g}) =", Unit::UnitWeight },
    { "- Saturated density of soil ({g}_{s}) =", Unit::UnitWeight },
    { "- Density of water ({g}_{w}) =", Unit::UnitWeight },
    { "- Internal friction angle ({f}) =", Unit::Angle },
    { "- Cohesion (c) =", Unit::Stress },
    { "- Soil slope ({b}) =", Unit::Angle },
    { "- Wall friction angle ({d}) =", Unit::Angle },
    { "- Wall inclination ({q}) =", Unit::Angle },
    { "- Depth of soil (h) =", Unit::Length },
    { "- Depth of water table (h_{w}) =", Unit::Length },
    { "- Surcharge load (q) =", Unit::Pressure },
    { "- Hor. seismic coefficient (k_{h}) =", Unit::None },
} };
constexpr int InputsPerColumn = 6;

std::string Format(const std::optional<float>& v, std::string_view pattern)
{
    return v ? FormatNumber(*v, pattern) : std::string(Missing);
}

// The five cells of one table row: active normal, active seismic, passive normal, passive
// seismic, at rest.
using RowCells = std::array<std::string, 5>;

struct TableRow {
    std::string_view Label;
    Unit Kind;
    RowCells Cells;
};

// A value of a normal-condition diagram, or "--" when the diagram has none.
std::string NormalCell(const std::optional<NormalPressureResult>& r,
    const std::array<float, 3> NormalPressureResult::*field, size_t i)
{
    return r ? FormatNumber(((*r).*field)[i], ValueFormat) : std::string(Missing);
}

std::string SeismicCell(const std::optional<SeismicPressureResult>& r,
    const std::array<float, 3> SeismicPressureResult::*field, size_t i)
{
    return r ? FormatNumber(((*r).*field)[i], ValueFormat) : std::string(Missing);
}

std::string SeismicPressureCell(const std::optional<SeismicPressureResult>& r, size_t i)
{
    return r ? FormatNumber(r->Pressure[i], ValueFormat) : std::string(Missing);
}

std::vector<TableRow> ResultRows(const CalculatorResult& r)
{
    using N = NormalPressureResult;
    using S = SeismicPressureResult;
    auto pressure = [&](size_t i) {
        // At the water table the seismic diagrams step: the ordinate for the soil above it,
        // then the one for the soil below.
        const bool atWater = i == 1;
        auto seismic = [&](const std::optional<S>& s) {
            if (!s)
                return std::string(Missing);
            if (atWater)
                return FormatNumber(s->Pressure[3], ValueFormat) + "/"
                    + FormatNumber(s->Pressure[1], ValueFormat);
            return SeismicPressureCell(s, i);
        };
        auto normal = [&](const std::optional<N>& n) {
            return n ? FormatNumber(n->Pressure[i], ValueFormat) : std::string(Missing);
        };
        return RowCells { normal(r.ActiveNormal), seismic(r.ActiveSeismic), normal(r.PassiveNormal),
            seismic(r.PassiveSeismic), normal(r.AtRest) };
    };
    auto forces
        = [&](const std::array<float, 3> N::*nf, const std::array<float, 3> S::*sf, size_t i) {
              return RowCells { NormalCell(r.ActiveNormal, nf, i),
                  SeismicCell(r.ActiveSeismic, sf, i), NormalCell(r.PassiveNormal, nf, i),
                  SeismicCell(r.PassiveSeismic, sf, i), NormalCell(r.AtRest, nf, i) };
          };
    constexpr std::string_view k = "#0.##0";
    return {
        { "- Pressure coefficient (K) =", Unit::None,
            { Format(r.Ka, k), Format(r.Kae, k), Format(r.Kp, k), Format(r.Kpe, k),
                Format(r.K0, k) } },
        { "- Soil pressures (P):", Unit::None, {} },
        { "  At top of wall =", Unit::Pressure, pressure(0) },
        { "  At water table =", Unit::Pressure, pressure(1) },
        { "  At bottom of wall =", Unit::Pressure, pressure(2) },
        { "- Soil forces (F):", Unit::None, {} },
        { "  Above water table =", Unit::ForcePerLength, forces(&N::Force, &S::Force, 0) },
        { "   depth of resultant =", Unit::Length, forces(&N::Depth, &S::Depth, 0) },
        { "  Below water table =", Unit::ForcePerLength, forces(&N::Force, &S::Force, 1) },
        { "   depth of resultant =", Unit::Length, forces(&N::Depth, &S::Depth, 1) },
        { "  Total =", Unit::ForcePerLength, forces(&N::Force, &S::Force, 2) },
        { "   depth of resultant =", Unit::Length, forces(&N::Depth, &S::Depth, 2) },
    };
}

// Label, value right-aligned at valueX (blue) and unit after it.
void PrintValueLine(ReportContext& ctx, double labelX, double valueX, double y,
    std::string_view label, const std::string& value, const std::string& unit)
{
    PageCanvas& c = ctx.Canvas;
    c.SetForeColour(ColourBlack);
    PrintMarkup(ctx, labelX, y, label);
    if (!unit.empty())
        PrintAt(ctx, valueX + UnitGap, y, unit);
    c.SetForeColour(ColourBlue);
    c.SetPenY(y);
    PrintRightAligned(ctx, value, valueX);
    c.SetForeColour(ColourBlack);
}

} // namespace

void PrintCalculatorSection(
    ReportContext& ctx, const CalculatorInput& input, const CalculatorResult& result)
{
    BeginSection(ctx);
    PrintSectionTitle(ctx, "Calculator");
    PageCanvas& c = ctx.Canvas;
    const Project& p = ctx.Record;
    ctx.BodyFontSize = static_cast<float>(BodyFontPoints * ctx.PageScale);
    const double size = ctx.BodyFontSize;
    const double top = ctx.SectionBodyTop + BodyTopBelowStrip;
    auto line = [&](int n) { return top + LineStep * n; };
    const double half = ctx.PageWidth / 2.0;

    SetSectionFont(ctx, size, true);
    c.SetForeColour(ColourBlack);
    c.SetPenY(top);
    PrintCentered(ctx, "SOIL PRESSURE", half);

    SetSectionFont(ctx, size, false);
    for (int i = 0; i < CalculatorInputCount; ++i) {
        const bool second = i >= InputsPerColumn;
        const double x0 = second ? half : 0.0;
        const InputLine& l = InputLines[size_t(i)];
        PrintValueLine(ctx, x0 + LabelX, x0 + InputValueX,
            line(InputFirstLine + i % InputsPerColumn), l.Label,
            FormatNumber(input.*CalculatorInputFields[size_t(i)], ValueFormat),
            UnitText(p, l.Kind));
    }

    // The table heads: each case over its normal and seismic columns.
    SetSectionFont(ctx, size, true);
    c.SetPenY(line(TableHeadLine));
    PrintCentered(ctx, "Active", ActiveHeadX);
    PrintCentered(ctx, "Passive", PassiveHeadX);
    PrintCentered(ctx, "At rest", AtRestHeadX);
    SetSectionFont(ctx, size, false);
    constexpr std::array<std::string_view, 5> subHeads
        = { "Normal", "Seismic", "Normal", "Seismic", "Normal" };
    for (size_t k = 0; k < subHeads.size(); ++k) {
        c.SetPenY(line(TableHeadLine + 1));
        PrintRightAligned(ctx, subHeads[k], ResultX[k]);
    }

    const std::vector<TableRow> rows = ResultRows(result);
    for (size_t i = 0; i < rows.size(); ++i) {
        const TableRow& row = rows[i];
        const double y = line(TableFirstLine + int(i));
        c.SetForeColour(ColourBlack);
        PrintAt(ctx, LabelX, y, row.Label);
        // Units of the table rows, after its last column.
        if (row.Kind != Unit::None)
            PrintAt(ctx, ResultX.back() + UnitGap, y, UnitText(p, row.Kind));
        c.SetForeColour(ColourBlue);
        for (size_t k = 0; k < row.Cells.size(); ++k) {
            if (row.Cells[k].empty())
                continue;
            c.SetPenY(y);
            PrintRightAligned(ctx, row.Cells[k], ResultX[k]);
        }
    }

    auto opt = [](const std::optional<float>& v) { return Format(v, ValueFormat); };
    PrintValueLine(ctx, LabelX, InputValueX, line(WaterFirstLine),
        "- Pressure inclination ({q} + {d}) =", opt(result.PressureInclination),
        UnitText(p, Unit::Angle));
    PrintValueLine(ctx, LabelX, InputValueX, line(WaterFirstLine + 1),
        "- Water pressure at bottom (P_{w}) =", opt(result.BottomWaterPressure),
        UnitText(p, Unit::Pressure));
    PrintValueLine(ctx, half + LabelX, half + InputValueX, line(WaterFirstLine),
        "- Water force (F_{w}) =", opt(result.WaterForce), UnitText(p, Unit::ForcePerLength));
    PrintValueLine(ctx, half + LabelX, half + InputValueX, line(WaterFirstLine + 1),
        "   depth of resultant =", opt(result.WaterDepthOfResultant), UnitText(p, Unit::Length));
    // Cautions go with the values they qualify, under them.
    c.SetForeColour(ColourBlack);
    int noteLine = WaterFirstLine + 2;
    for (const std::string& note : result.Notes)
        PrintAt(ctx, LabelX, line(noteLine++), "Note: " + note);
}

void PrintCalculatorPage(
    ReportContext& ctx, const CalculatorInput& input, const CalculatorResult& result)
{
    if (!SetupPage(ctx)) {
        ctx.Canvas.Abort();
        return;
    }
    ctx.HalfPageSlot = 0;
    PrintCalculatorSection(ctx, input, result);
    PrintFooter(ctx);
    ctx.Canvas.EndDocument();
}

} // namespace pendrake::report
