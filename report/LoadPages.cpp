// The Loads section: the wall with every load of the service cases on one drawing, to one scale
// (LoadScale): the line loads and the surcharge, the lateral pressures on the back and the front
// stacked (soil, water, seismic increment), the water on the shelf, the toe and the underside,
// and the seismic forces of the pieces.
#include "report/ReportSections.h"

#include "analysis/LoadCases.h"
#include "model/NumberFormat.h"
#include "model/Units.h"
#include "report/DiagramPrimitives.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace pendrake::report {

namespace {

constexpr double BodyFontPoints = 6;

// Concentrated forces (line loads, seismic forces of the pieces, vertical soil forces) are drawn
// LoadScale long per force unit, but never shorter than this, so that a small force still shows
// its head, nor longer, so that a large one stays inside the drawing; the value is written on.
constexpr double MinForceArrow = 90;
constexpr double MaxForceArrow = 900;

// A level this far above or below a break point belongs to the piece on that side (length
// units; far below any dimension the engineer enters).
constexpr double LevelNudge = 1e-6;
// Arrows onto a face stand this far apart along it; the value beside an ordinate this far off.
constexpr double DiagramArrowSpacing = 240;
constexpr double TextGap = 45;
constexpr double LabelLift = 15;
// The Westergaard pressure in front of the wall is a parabola, drawn in this many pieces.
constexpr int ParabolaSteps = 12;
// The vertical forces on the virtual back stand this far apart in front of it.
constexpr double SharedLineOffset = 90;
// Force arrows end this far inside the section frame: room for the value at their tail.
constexpr double ForceValueRoom = 240;

constexpr int Black = 0;
constexpr int Blue = 1;

// Every load of a case is drawn in its colour, the legend names them.
constexpr int DeadLoadCase = 1;
constexpr int SoilLoadCase = 3;
constexpr int WaterLoadCase = 4;
constexpr int SeismicLoadCase = 7;
constexpr std::array<int, LoadCaseCount + 1> CaseColour = { 0, 8, 4, 6, 9, 2, 3, 5 };
const int Brown = CaseColour[SoilLoadCase];
const int LightBlue = CaseColour[WaterLoadCase];
const int Magenta = CaseColour[SeismicLoadCase];

// The dead-load weights: the heaviest piece's arrow this long, page units.
constexpr double DeadWeightLength = 480;
// The legend: at the top left of the body, a colour swatch of this size (in text heights)
// before each name, the lines this far apart (text heights).
constexpr double LegendLeft = 120;
constexpr double LegendTopGap = 60;
constexpr double SwatchWidthShare = 1.6;
constexpr double SwatchHeightShare = 0.7;
constexpr double SwatchGap = 60;
constexpr double LegendLineShare = 1.25;

std::string Value(double v)
{
    return FormatNumber(v, ValueFormat);
}

void AddStrokes(Figure& f, DrawPoint from, DrawPoint to, int colour)
{
    for (const Stroke& s : ArrowStrokes(from, to, ArrowKind::Single, PrintedArrowHead))
        f.Lines.push_back({ s.A, s.B, PaletteColour(colour), 1, false });
}

// The length of a force's arrow: to scale within the limits above, and short enough that its
// tail, drawn back from `tip` against `direction`, stays inside `frame`.
double ForceArrowLength(
    double value, double scale, DrawPoint tip, DrawPoint direction, const LabelBox& frame)
{
    double length = std::clamp(std::abs(value) * scale, MinForceArrow, MaxForceArrow);
    auto limit = [&](double from, double step, double low, double high) {
        if (step < 0)
            length = std::min(length, (from - low) / -step);
        else if (step > 0)
            length = std::min(length, (high - from) / step);
    };
    limit(tip.X, -direction.X, frame.Left, frame.Right());
    limit(tip.Y, -direction.Y, frame.Top, frame.Bottom());
    return std::max(length, 0.0);
}

// Where the value of a force is written: beyond its tail along the force, or beside the tail
// on the front side.
enum class ValueSide { BeyondTail, FrontOfTail };

// A concentrated force with its head at `tip`, acting along `direction` (unit, page), labelled
// at its tail.
void AddScaledForce(Figure& f, DrawPoint tip, DrawPoint direction, double value, int colour,
    double scale, const LabelBox& frame, ValueSide side = ValueSide::BeyondTail)
{
    const DrawPoint tail
        = Plus(tip, direction, -ForceArrowLength(value, scale, tip, direction, frame));
    AddStrokes(f, tail, tip, colour);
    if (side == ValueSide::FrontOfTail) {
        f.Texts.push_back({ { tail.X - TextGap, tail.Y }, Value(value), PaletteColour(colour),
            HAlign::Right, VAlign::Middle });
        return;
    }
    AddTextBeyond(f, tail, { -direction.X, -direction.Y }, Value(value), colour,
        FigureStyle { .TextGap = TextGap });
}

// --- Lateral pressures on a vertical face, stacked ------------------------------------------

// Layers of pressure on one vertical face, each a function of the level y (cross-section
// frame); `mid` names the piece of a piecewise linear diagram the level belongs to.
struct PressureLayer {
    int Colour = Black;
    std::function<double(double y, double mid)> Ordinate;
    // Values written beside the stack: level and value.
    std::vector<std::pair<double, double>> Labels;
};

// Draws the layers stacked outwards from the face x = faceX (cross-section frame) over the
// levels `levels` (descending; each neighbouring pair is one straight piece of every layer),
// `outward` +1 to the right, -1 to the left, with arrows onto the face and the values beside.
void AddStackedPressures(Figure& f, const WallLayout& L, double faceX,
    const std::vector<double>& levels, const std::vector<PressureLayer>& layers, int outward,
    double scale)
{
    if (levels.size() < 2)
        return;
    const size_t n = layers.size();
    // Cumulative ordinate up to and including layer k at level y within piece `mid`.
    auto cumulative = [&](size_t k, double y, double mid) {
        double sum = 0;
        for (size_t i = 0; i <= k && i < n; ++i)
            sum += layers[i].Ordinate(y, mid);
        return sum;
    };
    auto at = [&](double y, double ordinate) {
        const DrawPoint face = L.At(faceX, y);
        return DrawPoint { face.X + outward * ordinate * scale, face.Y };
    };

    for (size_t k = 0; k < n; ++k) {
        bool present = false;
        std::vector<DrawPoint> outer;
        std::vector<DrawPoint> inner;
        for (size_t j = 0; j + 1 < levels.size(); ++j) {
            const double hi = levels[j];
            const double lo = levels[j + 1];
            const double mid = (hi + lo) / 2;
            for (double y : { hi, lo }) {
                const double own = layers[k].Ordinate(y, mid);
                present = present || std::abs(own) > NegligibleOrdinate;
                const double below = k == 0 ? 0.0 : cumulative(k - 1, y, mid);
                outer.push_back(at(y, below + own));
                inner.push_back(at(y, below));
            }
        }
        if (!present)
            continue;
        outer.insert(outer.end(), inner.rbegin(), inner.rend());
        AddTintedPolygon(f, std::move(outer), layers[k].Colour);
    }

    // Arrows from the outside of the stack onto the face, in the colour of its outer layer.
    const double top = levels.front();
    const double bottom = levels.back();
    const double length = (top - bottom) * double(L.DrawScale);
    const int arrows = std::max(2, static_cast<int>(length / DiagramArrowSpacing) + 1);
    for (int i = 0; i < arrows; ++i) {
        const double y = top - (top - bottom) * i / (arrows - 1);
        // The piece below the level, except at the very bottom.
        const double mid
            = i + 1 < arrows ? y - (top - bottom) / (2.0 * (arrows - 1)) : y + LevelNudge;
        const double total = cumulative(n - 1, y, mid);
        if (total * scale < PrintedArrowHead.Length)
            continue;
        int colour = layers.front().Colour;
        for (size_t k = 0; k < n; ++k)
            if (std::abs(layers[k].Ordinate(y, mid)) > NegligibleOrdinate)
                colour = layers[k].Colour;
        AddStrokes(f, at(y, total), at(y, 0), colour);
    }

    // Values beside the whole stack at their levels, in their layer's colour.
    for (const PressureLayer& layer : layers) {
        for (const auto& [y, value] : layer.Labels) {
            if (std::abs(value) <= NegligibleOrdinate)
                continue;
            // The outermost extent at that level, from the piece above or the one below.
            double total = 0;
            for (const double side : { y + LevelNudge, y - LevelNudge })
                total = std::max(total, cumulative(n - 1, y, side));
            // Just above the level: the backfill surface and the water levels run on through it.
            const DrawPoint edge = at(y, total);
            f.Texts.push_back({ { edge.X + outward * TextGap, edge.Y - LabelLift }, Value(value),
                PaletteColour(layer.Colour), outward > 0 ? HAlign::Left : HAlign::Right,
                VAlign::Bottom });
        }
    }
}

double Lerp(double y, double y0, double v0, double y1, double v1)
{
    return y1 == y0 ? v0 : v0 + (v1 - v0) * (y - y0) / (y1 - y0);
}

// Soil, water and seismic increment on the virtual back (the vertical through the rear end),
// from the backfill surface down to the bottom.
void AddBackPressures(
    Figure& f, const Project& p, const WallLayout& L, const LoadCaseResults& r, double scale)
{
    const double yTop = WallTopLevel(p);
    const double yShelf = ShelfLevel(p);
    const double ySurface = yTop + SoilLength(p) * std::tan(BackfillAngle(p));
    const bool soil = p.UpperBackHeight > 0;
    const bool wet = BackfillWet(p);
    const double yWetSoil = yTop - DryDepth(p); // the water table in the backfill, else the shelf
    const double dw = BackWaterTableDepth(p);
    const double yWater = yTop - dw;
    const double p1 = r.WaterPressure[1];
    const bool increments = soil && !r.SeismicUndefined;
    const double s14 = r.SeismicForce[14];
    const double s15 = r.SeismicForce[15];
    auto inside = [](double mid, double lo, double hi) { return mid > lo && mid < hi; };

    PressureLayer soilLayer;
    soilLayer.Colour = Brown;
    soilLayer.Ordinate = [=](double y, double mid) {
        if (!soil || !inside(mid, yShelf, ySurface))
            return 0.0;
        if (wet && mid < yWetSoil)
            return Lerp(y, yWetSoil, r.SoilPressure[1], yShelf, r.SoilPressure[2]);
        return Lerp(y, ySurface, r.SoilPressure[0], yWetSoil, r.SoilPressure[1]);
    };
    if (soil) {
        soilLayer.Labels = { { ySurface, r.SoilPressure[0] }, { yWetSoil, r.SoilPressure[1] } };
        if (wet)
            soilLayer.Labels.emplace_back(yShelf, r.SoilPressure[2]);
    }

    PressureLayer waterLayer;
    waterLayer.Colour = LightBlue;
    waterLayer.Ordinate = [=](double y, double mid) {
        if (p1 <= 0 || !inside(mid, 0, yWater))
            return 0.0;
        return Lerp(y, yWater, 0, 0, p1);
    };
    if (p1 > 0)
        waterLayer.Labels = { { 0.0, p1 } };

    PressureLayer seismicLayer;
    seismicLayer.Colour = Magenta;
    seismicLayer.Ordinate = [=](double y, double mid) {
        if (!increments || !inside(mid, yShelf, ySurface))
            return 0.0;
        double v = Lerp(y, ySurface, s14, yShelf, 0);
        if (wet && mid < yWetSoil)
            v += Lerp(y, yWetSoil, s15, yShelf, 0);
        return v;
    };
    if (increments) {
        seismicLayer.Labels = { { ySurface, s14 } };
        if (wet)
            seismicLayer.Labels.emplace_back(yWetSoil, s15);
    }

    std::vector<double> levels = { ySurface, yWetSoil, yWater, yShelf, 0.0 };
    levels.erase(std::remove_if(
                     levels.begin(), levels.end(), [&](double y) { return y < 0 || y > ySurface; }),
        levels.end());
    std::sort(levels.begin(), levels.end(), std::greater<>());
    levels.erase(std::unique(levels.begin(), levels.end(),
                     [](double a, double b) { return std::abs(a - b) < LevelNudge; }),
        levels.end());
    AddStackedPressures(f, L, RearX(p), levels, { soilLayer, waterLayer, seismicLayer }, +1, scale);
}

// Water and its seismic (Westergaard) pressure in front of the wall, stacked outwards.
void AddFrontPressures(
    Figure& f, const Project& p, const WallLayout& L, const LoadCaseResults& r, double scale)
{
    const double hf = WallTopLevel(p) - FrontWaterTableDepth(p);
    const double p2 = r.WaterPressure[2];
    const double s16 = r.SeismicForce[16];
    if (hf <= 0 || (p2 <= 0 && s16 <= 0))
        return;
    PressureLayer water;
    water.Colour = LightBlue;
    water.Ordinate = [=](double y, double) { return p2 > 0 ? Lerp(y, hf, 0, 0, p2) : 0.0; };
    water.Labels = { { 0.0, std::max(0.0, p2) } };
    PressureLayer westergaard;
    westergaard.Colour = Magenta;
    westergaard.Ordinate = [=](double y, double) {
        return s16 > 0 ? s16 * std::sqrt(std::clamp((hf - y) / hf, 0.0, 1.0)) : 0.0;
    };
    westergaard.Labels = { { 0.0, std::max(0.0, s16) } };
    std::vector<double> levels;
    for (int i = 0; i <= ParabolaSteps; ++i)
        levels.push_back(hf * (1.0 - double(i) / ParabolaSteps));
    AddStackedPressures(f, L, 0.0, levels, { water, westergaard }, -1, scale);
}

// --- The loads -------------------------------------------------------------------------------

void AddLineLoads(
    Figure& f, const Project& p, const WallLayout& L, double scale, const LabelBox& frame)
{
    const int count = std::clamp<int>(p.LineLoadCount, 0, MaxLineLoads);
    for (int slot = 1; slot <= count; ++slot) {
        const LineLoad& load = p.LineLoads[size_t(slot)];
        const double a = Radians(load.Direction);
        // Direction 0 points up, 90 towards the backfill: on the page (sin a, -cos a).
        AddScaledForce(f, L.At(load.X, load.Y), { std::sin(a), -std::cos(a) }, load.Load,
            LoadCaseColour(load.Type), scale, frame);
    }
}

void AddSurcharge(
    Figure& f, const Project& p, const WallLayout& L, double scale, const FigureStyle& style)
{
    Project surchargeOnly = p;
    surchargeOnly.LineLoadCount = 0;
    AddGivenLoads(
        f, surchargeOnly, L, p.SurchargeType, scale, style, LoadCaseColour(p.SurchargeType));
}

// The shelf, the toe and the underside: the water figure of the main window without the two
// faces, which the stacks show.
void AddOtherWater(Figure& f, const Project& p, const WallLayout& L, const LoadCaseResults& r,
    double scale, const FigureStyle& style)
{
    LoadCaseResults rest = r;
    rest.WaterPressure[1] = 0;
    rest.WaterPressure[2] = 0;
    AddWaterPressure(f, p, L, rest, scale, style);
}

// The soil's friction on the virtual back and the vertical seismic increment both act down the
// virtual back, where the stacked pressures start: they stand in front of it, one beside the
// other, their values in front of them.
void AddVerticalSoilForces(Figure& f, const Project& p, const WallLayout& L,
    const LoadCaseResults& r, double scale, const LabelBox& frame)
{
    const double yShelf = ShelfLevel(p);
    const DrawPoint down { 0, 1 };
    double offset = SharedLineOffset;
    if (r.SoilPressure[3] != 0) {
        DrawPoint tip = L.At(r.SoilArm[3], yShelf);
        tip.X -= offset;
        AddScaledForce(
            f, tip, down, r.SoilPressure[3], Brown, scale, frame, ValueSide::FrontOfTail);
        offset += SharedLineOffset;
    }
    if (r.SeismicForce[18] != 0) {
        DrawPoint tip = L.At(r.SeismicArm[18], yShelf);
        tip.X -= offset;
        AddScaledForce(
            f, tip, down, r.SeismicForce[18], Magenta, scale, frame, ValueSide::FrontOfTail);
    }
}

// The pieces marked in blue and their inertia forces towards the toe at their centroids.
void AddSeismicPieces(Figure& f, const Project& p, const WallLayout& L, const LoadCaseResults& r,
    double scale, const LabelBox& frame)
{
    const auto pieces = WallPieces(p);
    for (int k = 1; k <= PieceCount; ++k) {
        const std::vector<PlanePoint> outline = PiecePolygon(p, k);
        if (outline.size() >= 3) {
            FigurePolygon poly;
            for (const PlanePoint& pt : outline)
                poly.Points.push_back(L.At(pt.X, pt.Y));
            poly.Outline = PaletteColour(Blue);
            f.Polygons.push_back(std::move(poly));
        }
    }
    for (int k = 1; k <= PieceCount; ++k) {
        if (r.SeismicForce[size_t(k)] == 0)
            continue;
        AddScaledForce(f, L.At(pieces[size_t(k)].X, r.SeismicLevel[size_t(k)]), { -1, 0 },
            r.SeismicForce[size_t(k)], Magenta, scale, frame);
    }
}

// The weights of the pieces, downwards at their centroids, the heaviest DeadWeightLength long.
void AddDeadWeights(Figure& f, const WallLayout& L, const LoadCaseResults& r, const LabelBox& frame)
{
    double heaviest = 0;
    for (int k = 1; k <= PieceCount; ++k)
        heaviest = std::max(heaviest, std::abs(double(r.DeadForce[size_t(k)])));
    if (heaviest <= NegligibleOrdinate)
        return;
    for (int k = 1; k <= PieceCount; ++k) {
        if (r.DeadForce[size_t(k)] == 0)
            continue;
        AddScaledForce(f, L.At(r.DeadArm[size_t(k)], r.SeismicLevel[size_t(k)]), { 0, 1 },
            r.DeadForce[size_t(k)], CaseColour[DeadLoadCase], DeadWeightLength / heaviest, frame);
    }
}

// The load cases the Loads figure shows something of, by load case 1..7.
std::array<bool, LoadCaseCount + 1> CasesShown(const Project& p, const LoadCaseResults& r)
{
    std::array<bool, LoadCaseCount + 1> shown {};
    auto any = [](const auto& values, size_t from) {
        for (size_t i = from; i < values.size(); ++i)
            if (std::abs(double(values[i])) > NegligibleOrdinate)
                return true;
        return false;
    };
    shown[DeadLoadCase] = any(r.DeadForce, 1);
    const int count = std::clamp<int>(p.LineLoadCount, 0, MaxLineLoads);
    for (int slot = 1; slot <= count; ++slot) {
        const int type = p.LineLoads[size_t(slot)].Type;
        if (type >= 1 && type <= LoadCaseCount)
            shown[size_t(type)] = true;
    }
    if (p.Surcharge != 0 && p.SurchargeType >= 1 && p.SurchargeType <= LoadCaseCount)
        shown[size_t(p.SurchargeType)] = true;
    shown[SoilLoadCase] = shown[SoilLoadCase] || (p.UpperBackHeight > 0 && any(r.SoilPressure, 0));
    shown[WaterLoadCase] = shown[WaterLoadCase] || any(r.WaterPressure, 1);
    shown[SeismicLoadCase] = shown[SeismicLoadCase] || any(r.SeismicForce, 1);
    return shown;
}

struct LegendLine {
    int Case = 0;
    LabelBox Swatch;
    DrawPoint TextAt;
    LabelBox Box; // swatch and name
};

std::vector<LegendLine> CaseLegend(
    ReportContext& ctx, const std::array<bool, LoadCaseCount + 1>& shown)
{
    PageCanvas& c = ctx.Canvas;
    std::vector<LegendLine> lines;
    double top = double(ctx.SectionBodyTop) + LegendTopGap;
    for (int k = 1; k <= LoadCaseCount; ++k) {
        if (!shown[size_t(k)])
            continue;
        const std::string name(LoadCaseName[size_t(k)]);
        const double h = c.TextHeight(name);
        LegendLine line;
        line.Case = k;
        line.Swatch = { LegendLeft, top + h * (1 - SwatchHeightShare) / 2, h * SwatchWidthShare,
            h * SwatchHeightShare };
        line.TextAt = { line.Swatch.Right() + SwatchGap, top };
        line.Box = { LegendLeft, top, line.TextAt.X + c.TextWidth(name) - LegendLeft, h };
        lines.push_back(line);
        top += h * LegendLineShare;
    }
    return lines;
}

} // namespace

int LoadCaseColour(int loadCase)
{
    return loadCase >= 1 && loadCase <= LoadCaseCount ? CaseColour[size_t(loadCase)] : Black;
}

SectionFigure LoadsSectionFigure(ReportContext& ctx, const WallLayout& L)
{
    const Project& p = ctx.Record;
    const FigureStyle style = PrintedFigureStyle();
    const LoadCaseResults& loads = ctx.Stability.Loads;
    const double scale = LoadScale(ctx, loads);
    // Arrows keep clear of the frame by a value's height, so that their values fit in.
    const LabelBox frame = SectionBodyBox(ctx, ForceValueRoom);
    SectionFigure s;
    Figure& figure = s.Shapes;
    AddWallOutline(figure, p, L);
    AddDeadWeights(figure, L, loads, frame);
    AddLineLoads(figure, p, L, scale, frame);
    AddSurcharge(figure, p, L, scale, style);
    AddBackPressures(figure, p, L, loads, scale);
    AddFrontPressures(figure, p, L, loads, scale);
    AddOtherWater(figure, p, L, loads, scale, style);
    AddVerticalSoilForces(figure, p, L, loads, scale, frame);
    AddSeismicPieces(figure, p, L, loads, scale, frame);
    s.Fixed = LoadLegendBoxes(ctx);
    for (const LegendLine& line : CaseLegend(ctx, CasesShown(p, loads)))
        s.Fixed.push_back(line.Box);
    return s;
}

void PrintLoadsSection(ReportContext& ctx)
{
    const WallLayout& L = BeginDrawingSection(ctx, "Loads", BodyFontPoints);
    const SectionFigure s = LoadsSectionFigure(ctx, L);
    PaintFigureSeparated(ctx, s.Shapes, s.Fixed);
    // Which colour is which load case.
    PageCanvas& c = ctx.Canvas;
    for (const LegendLine& line : CaseLegend(ctx, CasesShown(ctx.Record, ctx.Stability.Loads))) {
        const Rgb colour = PaletteColour(LoadCaseColour(line.Case));
        c.SetForeColour(colour);
        c.SetFillColour(Tint(colour, DiagramTint));
        c.SetFillStyle(FillStyle::Solid);
        c.DrawBox(line.Swatch.Left, line.Swatch.Top, line.Swatch.Right(), line.Swatch.Bottom());
        c.SetFillStyle(FillStyle::Transparent);
        c.SetForeColour(ColourBlack);
        PrintAt(ctx, line.TextAt.X, line.TextAt.Y, std::string(LoadCaseName[size_t(line.Case)]));
    }
    c.SetForeColour(ColourBlack);
    PrintLoadLegend(ctx);
}

} // namespace pendrake::report
