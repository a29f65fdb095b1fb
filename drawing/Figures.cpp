// The figures of the views in surface units (y downwards): the outline, anchors, dimension
// lines, the loads of each case and the reactions, as lines, polygons and texts.
#include "drawing/WallGeometry.h"

#include "model/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace pendrake {

namespace {

// Furniture of the drawing, surface units.
constexpr double HatchSpacing = 180; // ground hatch along the backfill surface
constexpr double HatchTick = 70; // its ticks, at 45 degrees into the soil
constexpr double WaterMarkHalfWidth = 60;
constexpr double WaterMarkHeight = 90;
constexpr double DiagramArrowSpacing = 240;
constexpr int MaxDiagramArrows = 9;
constexpr int SurchargeArrowsMax = 12;
constexpr int ParabolaSteps = 12;
constexpr double SlopeTriangleRun = 360;

// Dimension lines: offsets from the nodes, surface units.
constexpr double TopDimensionAboveNode10 = 105;
constexpr double BottomDimensionBelowNode4 = 150;
constexpr double HeightDimensionOffset = 150; // heights, from node 11 out and node 10 out
constexpr double WaterDimensionOffset = 60; // water depths, nearer the water lines
constexpr double ExtensionGap = 45; // extension lines stop short of their points

// Concrete grey with a black outline, backfill brown, water light blue, loads red, anchors green.
constexpr int Black = 0;
constexpr int Blue = 1;
constexpr int Green = 2;
constexpr int Red = 4;
constexpr int Magenta = 5;
constexpr int Brown = 6;
constexpr int LightGrey = 7;
constexpr int DarkGrey = 8;
constexpr int LightBlue = 9;

// The concrete's fill, this far towards white from its outline.
constexpr double ConcreteTint = 0.55;

constexpr int PieceSoilFirst = 7; // pieces 7..11 are soil, the rest concrete
constexpr int PieceSoilLast = 11;

constexpr const char* ValueFormat = "#0.#0";

std::string Value(double v)
{
    return FormatNumber(v, ValueFormat);
}

// A direction of the cross-section frame (y up) on the surface (y down).
DrawPoint OnSurface(PlanePoint d)
{
    return { d.X, -d.Y };
}

void AddLine(Figure& f, DrawPoint a, DrawPoint b, int colour, int weight = 1, bool dashed = false)
{
    f.Lines.push_back({ a, b, PaletteColour(colour), weight, dashed });
}

void AddArrow(Figure& f, DrawPoint from, DrawPoint to, ArrowKind kind, int colour,
    const FigureStyle& style, int weight = 1)
{
    for (const Stroke& s : ArrowStrokes(from, to, kind, style.Head))
        AddLine(f, s.A, s.B, colour, weight);
}

void AddText(Figure& f, DrawPoint at, std::string text, int colour, HAlign h, VAlign v)
{
    f.Texts.push_back({ at, std::move(text), PaletteColour(colour), h, v });
}

// A force drawn with its head at `tip`, coming along `direction` (unit, surface), labelled at
// its tail, beyond it or, given `labelSide`, beside it on that side.
void AddForce(Figure& f, DrawPoint tip, DrawPoint direction, double value, int colour,
    const FigureStyle& style, std::optional<DrawPoint> labelSide = std::nullopt)
{
    const DrawPoint tail = Plus(tip, direction, -style.ForceArrowLength);
    AddArrow(f, tail, tip, ArrowKind::Single, colour, style);
    AddTextBeyond(f, tail, labelSide.value_or(DrawPoint { -direction.X, -direction.Y }),
        Value(value), colour, style);
}

// The vertical forces on the virtual back stand on its line, with the pressure diagram to the
// right: their values go to the left.
constexpr DrawPoint LabelLeft { -1, 0 };

// A force leaving `tail` along `direction`, labelled at its head (a pull seen from the body).
void AddPull(Figure& f, DrawPoint tail, DrawPoint direction, double value, int colour,
    const FigureStyle& style, int weight = 1)
{
    const DrawPoint tip = Plus(tail, direction, style.ForceArrowLength);
    AddArrow(f, tail, tip, ArrowKind::Single, colour, style, weight);
    AddTextBeyond(f, tip, direction, Value(value), colour, style);
}

// A linear load diagram on the straight base a-b with ordinates oa, ob (surface units) laid
// out along `normal`, and arrows from its outer edge onto the base, where the load acts.
void AddDiagram(Figure& f, DrawPoint a, DrawPoint b, double oa, double ob, DrawPoint normal,
    int colour, const FigureStyle& style)
{
    if (std::abs(oa) < NegligibleOrdinate && std::abs(ob) < NegligibleOrdinate)
        return;
    AddTintedPolygon(f, { a, b, Plus(b, normal, ob), Plus(a, normal, oa) }, colour);

    const double length = Distance(a, b);
    const int arrows
        = std::clamp(static_cast<int>(length / DiagramArrowSpacing) + 1, 2, MaxDiagramArrows);
    for (int i = 0; i < arrows; ++i) {
        const double t = length > 0 ? double(i) / (arrows - 1) : 0.0;
        const DrawPoint base { a.X + (b.X - a.X) * t, a.Y + (b.Y - a.Y) * t };
        const double o = oa + (ob - oa) * t;
        if (std::abs(o) < style.Head.Length)
            continue;
        AddArrow(f, Plus(base, normal, o), base, ArrowKind::Single, colour, style);
        if (length == 0)
            break;
    }
}

double PolygonArea(const std::vector<PlanePoint>& pts)
{
    double twice = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
        const PlanePoint& a = pts[i];
        const PlanePoint& b = pts[(i + 1) % pts.size()];
        twice += a.X * b.Y - b.X * a.Y;
    }
    return std::abs(twice) / 2;
}

// A piece thinner than this (length units squared) is not outlined.
constexpr double NegligibleArea = 1e-9;

void AddPieces(Figure& f, const Project& p, const WallLayout& layout, int concrete, int soil)
{
    for (int k = 1; k <= PieceCount; ++k) {
        const std::vector<PlanePoint> piece = PiecePolygon(p, k);
        if (piece.size() < 3 || PolygonArea(piece) <= NegligibleArea)
            continue;
        FigurePolygon poly;
        for (const PlanePoint& pt : piece)
            poly.Points.push_back(layout.At(pt.X, pt.Y));
        const bool isSoil = k >= PieceSoilFirst && k <= PieceSoilLast;
        poly.Outline = PaletteColour(isSoil ? soil : concrete);
        f.Polygons.push_back(std::move(poly));
    }
}

// Level of the backfill surface above the rear end of the structure.
double SurfaceAtRear(const Project& p)
{
    return WallTopLevel(p) + SoilLength(p) * std::tan(BackfillAngle(p));
}

} // namespace

void AddTintedPolygon(Figure& f, std::vector<DrawPoint> points, int colour)
{
    FigurePolygon poly;
    poly.Points = std::move(points);
    poly.Outline = PaletteColour(colour);
    poly.Filled = true;
    poly.Fill = Tint(poly.Outline, DiagramTint);
    f.Polygons.push_back(std::move(poly));
}

void AddTextBeyond(
    Figure& f, DrawPoint at, DrawPoint away, std::string text, int colour, const FigureStyle& style)
{
    const DrawPoint p = Plus(at, away, style.TextGap);
    HAlign h = HAlign::Centre;
    VAlign v = VAlign::Middle;
    if (std::abs(away.X) >= std::abs(away.Y))
        h = away.X >= 0 ? HAlign::Left : HAlign::Right;
    else
        v = away.Y >= 0 ? VAlign::Top : VAlign::Bottom;
    AddText(f, p, std::move(text), colour, h, v);
}

void AddWallOutline(Figure& f, const Project& p, const WallLayout& L)
{
    FigurePolygon section;
    for (int k : OutlineOrder)
        section.Points.push_back(L.Node(k));
    section.Outline = PaletteColour(Black);
    section.Filled = true;
    section.Fill = Tint(PaletteColour(LightGrey), ConcreteTint);
    f.Polygons.push_back(std::move(section));

    // Backfill surface from the top of the back face to node 10, hatched on the soil side.
    const DrawPoint a = L.Node(9);
    const DrawPoint b = L.Node(10);
    AddLine(f, a, b, Brown);
    const double length = Distance(a, b);
    const int ticks = static_cast<int>(length / HatchSpacing);
    for (int i = 1; i <= ticks; ++i) {
        const double t = i * HatchSpacing / length;
        const DrawPoint at { a.X + (b.X - a.X) * t, a.Y + (b.Y - a.Y) * t };
        AddLine(f, at, { at.X - HatchTick, at.Y + HatchTick }, Brown);
    }

    // Water levels, each with its mark; only a level within the wall's height is drawn.
    const double yTop = L.WallTop;
    auto waterMark = [&](DrawPoint on) {
        FigurePolygon mark;
        mark.Points = { on, { on.X - WaterMarkHalfWidth, on.Y - WaterMarkHeight },
            { on.X + WaterMarkHalfWidth, on.Y - WaterMarkHeight } };
        mark.Outline = PaletteColour(LightBlue);
        f.Polygons.push_back(std::move(mark));
    };
    if (p.FrontWaterDepth >= 0 && double(p.FrontWaterDepth) <= yTop) {
        // Below the top of the toe the level meets the toe's front, not the wall's.
        const bool onToe = yTop - double(p.FrontWaterDepth) < double(p.ToeHeight);
        const DrawPoint end { onToe ? double(L.DrawOriginX) : double(L.NodeX[12]), L.NodeY[12] };
        AddLine(f, L.Node(11), end, LightBlue);
        waterMark({ L.NodeX[11] + (end.X - L.NodeX[11]) / 3, end.Y });
    }
    if (p.BackWaterDepth >= 0 && double(p.BackWaterDepth) <= yTop) {
        AddLine(f, L.Node(13), L.Node(14), LightBlue);
        waterMark({ (double(L.NodeX[13]) + L.NodeX[14]) / 2, L.NodeY[13] });
    }
}

void AddAnchors(
    Figure& f, const WallLayout& L, const LoadCaseResults& loads, const FigureStyle& style)
{
    constexpr int thick = 2;
    const int rows = std::clamp<int>(loads.AnchorRowCount, 0, MaxAnchorRows);
    for (int row = 1; row <= rows; ++row) {
        const AnchorRow& a = loads.Anchor[row];
        const DrawPoint head = L.At(a.X, a.Y);
        const DrawPoint into = OnSurface(AnchorDirection(a.Face));
        AddArrow(
            f, head, Plus(head, into, style.AnchorLength), ArrowKind::Single, Green, style, thick);
    }
}

void AddDimensionLines(Figure& f, const Project& p, const WallLayout& L, const FigureStyle& style)
{
    auto N = [&](int k) { return L.Node(k); };
    auto dim = [&](DrawPoint a, DrawPoint b) {
        if (Distance(a, b) > 0)
            AddArrow(f, a, b, ArrowKind::Dimension, Black, style);
    };
    auto extension = [&](DrawPoint a, DrawPoint b) { AddLine(f, a, b, DarkGrey, 1, true); };

    // Widths over the top, above node 10.
    const double yT = N(10).Y - TopDimensionAboveNode10;
    for (int k : { 1, 9, 8, 7 })
        if (N(k).Y - ExtensionGap > yT)
            extension({ N(k).X, N(k).Y - ExtensionGap }, { N(k).X, yT - ExtensionGap });
    dim({ N(1).X, yT }, { N(9).X, yT });
    dim({ N(9).X, yT }, { N(8).X, yT });
    dim({ N(8).X, yT }, { N(7).X, yT });

    // Widths under the base, below node 4; the toe's foot point 2 is taken on the bottom.
    const double yB = N(4).Y + BottomDimensionBelowNode4;
    for (int k : { 4, 2, 5, 15, 16, 6 }) {
        const double from = (k == 2 ? N(4).Y : N(k).Y) + ExtensionGap;
        extension({ N(k).X, from }, { N(k).X, yB + ExtensionGap });
    }
    dim({ N(4).X, yB }, { N(2).X, yB });
    dim({ N(2).X, yB }, { N(5).X, yB });
    dim({ N(5).X, yB }, { N(15).X, yB });
    dim({ N(15).X, yB }, { N(16).X, yB });
    dim({ N(16).X, yB }, { N(6).X, yB });

    // Front heights and the front water depth, in front of node 11.
    const double xL = N(11).X - HeightDimensionOffset;
    const double xW = N(11).X - WaterDimensionOffset;
    extension({ N(1).X - ExtensionGap, N(1).Y }, { xL - ExtensionGap, N(1).Y });
    extension({ N(3).X - ExtensionGap, N(2).Y }, { xL - ExtensionGap, N(2).Y });
    extension({ N(4).X - ExtensionGap, N(4).Y }, { xL - ExtensionGap, N(4).Y });
    dim({ xL, N(1).Y }, { xL, N(2).Y });
    dim({ xL, N(3).Y }, { xL, N(4).Y });
    extension({ N(11).X, N(11).Y }, { xW - ExtensionGap, N(11).Y });
    dim({ xW, N(1).Y }, { xW, N(11).Y });

    // Back heights and the back water depth, beyond node 10.
    const double xR = N(10).X + HeightDimensionOffset;
    const double xB = N(10).X + WaterDimensionOffset;
    for (int k : { 9, 7, 6, 16, 5 })
        extension({ N(k).X + ExtensionGap, N(k).Y }, { xR + ExtensionGap, N(k).Y });
    dim({ xR, N(9).Y }, { xR, N(8).Y });
    dim({ xR, N(7).Y }, { xR, N(6).Y });
    dim({ xR, N(6).Y }, { xR, N(16).Y });
    dim({ xR, N(16).Y }, { xR, N(5).Y });
    extension({ N(14).X, N(14).Y }, { xB + ExtensionGap, N(14).Y });
    dim({ xB, N(9).Y }, { xB, N(14).Y });

    // The slope as a triangle under the backfill surface: a run and the rise 1 : n over it.
    if (p.BackfillSlope > 0 && N(10).X > N(9).X) {
        const double xm = (N(7).X + N(10).X) / 2;
        const double ym = N(9).Y + (xm - N(9).X) * (N(10).Y - N(9).Y) / (N(10).X - N(9).X);
        const double rise = SlopeTriangleRun / double(p.BackfillSlope);
        AddLine(f, { xm, ym }, { xm + SlopeTriangleRun, ym }, Black);
        AddLine(f, { xm + SlopeTriangleRun, ym }, { xm + SlopeTriangleRun, ym - rise }, Black);
    }
}

void AddGivenLoads(Figure& f, const Project& p, const WallLayout& L, int loadCase,
    double pressureScale, const FigureStyle& style, int colour)
{
    const int count = std::clamp<int>(p.LineLoadCount, 0, MaxLineLoads);
    for (int slot = 1; slot <= count; ++slot) {
        const LineLoad& load = p.LineLoads[slot];
        if (load.Type != loadCase)
            continue;
        const double a = Radians(load.Direction);
        // Direction 0 points up, 90 towards the backfill: on the surface (sin a, -cos a).
        AddForce(f, L.At(load.X, load.Y), { std::sin(a), -std::cos(a) }, load.Load, colour, style);
    }

    if (p.SurchargeType != loadCase || p.Surcharge == 0)
        return;
    // The surcharge stands on the backfill surface over the soil length, from the top of the
    // back face to the rear end.
    const double x9 = OutlinePoint(p, 9).X;
    const double xRear = RearX(p);
    const DrawPoint a = L.At(x9, WallTopLevel(p));
    const DrawPoint b = L.At(xRear, SurfaceAtRear(p));
    const double h = double(p.Surcharge) * pressureScale;
    const DrawPoint up { 0, -1 };
    AddTintedPolygon(f, { a, b, Plus(b, up, h), Plus(a, up, h) }, colour);
    const double width = b.X - a.X;
    const int arrows
        = std::clamp(static_cast<int>(width / DiagramArrowSpacing), 2, SurchargeArrowsMax);
    for (int i = 0; i < arrows; ++i) {
        const double t = (i + 0.5) / arrows;
        const DrawPoint on { a.X + width * t, a.Y + (b.Y - a.Y) * t };
        AddArrow(f, Plus(on, up, h), on, ArrowKind::Single, colour, style);
    }
    AddTextBeyond(f, { (a.X + b.X) / 2, (a.Y + b.Y) / 2 - std::max(h, 0.0) }, up,
        Value(p.Surcharge), colour, style);
}

void AddDeadLoads(Figure& f, const Project& p, const WallLayout& L, const LoadCaseResults& loads,
    const FigureStyle& style)
{
    AddPieces(f, p, L, Blue, LightBlue);
    for (int k = 1; k <= PieceCount; ++k) {
        if (loads.DeadForce[k] == 0)
            continue;
        // Weights act downwards at the piece's centroid.
        AddForce(f, L.At(loads.DeadArm[k], loads.SeismicLevel[k]), { 0, 1 }, loads.DeadForce[k],
            Red, style);
    }
}

void AddSoilPressure(Figure& f, const Project& p, const WallLayout& L, const LoadCaseResults& loads,
    double pressureScale, const FigureStyle& style)
{
    const LoadCaseResults& r = loads;
    const double k = pressureScale;
    if (p.UpperBackHeight <= 0)
        return; // no soil stands on the virtual back
    const double xR = RearX(p);
    const double ySurface = SurfaceAtRear(p);
    const double yShelf = ShelfLevel(p);
    const bool wet = BackfillWet(p);
    const double yWater = WallTopLevel(p) - DryDepth(p);
    const DrawPoint right { 1, 0 };

    AddLine(f, L.At(xR, ySurface), L.At(xR, yShelf), DarkGrey, 1, true);
    AddDiagram(f, L.At(xR, ySurface), L.At(xR, yWater), r.SoilPressure[0] * k,
        r.SoilPressure[1] * k, right, Brown, style);
    if (wet)
        AddDiagram(f, L.At(xR, yWater), L.At(xR, yShelf), r.SoilPressure[1] * k,
            r.SoilPressure[2] * k, right, Brown, style);
    auto ordinate = [&](double y, double value) {
        AddTextBeyond(f, Plus(L.At(xR, y), right, value * k), right, Value(value), Brown, style);
    };
    ordinate(ySurface, r.SoilPressure[0]);
    ordinate(yWater, r.SoilPressure[1]);
    if (wet)
        ordinate(yShelf, r.SoilPressure[2]);

    if (r.SoilPressure[3] != 0)
        AddForce(f, L.At(r.SoilArm[3], yShelf), { 0, 1 }, r.SoilPressure[3], Red, style, LabelLeft);
}

void AddWaterPressure(Figure& f, const Project& p, const WallLayout& L,
    const LoadCaseResults& loads, double pressureScale, const FigureStyle& style)
{
    const LoadCaseResults& r = loads;
    const double k = pressureScale;
    const double yTop = WallTopLevel(p);
    const double dw = BackWaterTableDepth(p);
    const double df = FrontWaterTableDepth(p);
    const auto u = UndersidePoints(p);
    const DrawPoint right { 1, 0 };
    const DrawPoint left { -1, 0 };
    const DrawPoint up { 0, -1 };
    const DrawPoint down { 0, 1 };
    const double p1 = r.WaterPressure[1];
    const double p2 = r.WaterPressure[2];
    const double p3 = r.WaterPressure[3];
    const double p4 = r.WaterPressure[4];
    const double p5 = r.WaterPressure[5];
    const double p6 = r.WaterPressure[6];
    const double p7 = r.WaterPressure[7];
    auto label = [&](DrawPoint at, DrawPoint away, double ordinate, double value) {
        AddTextBeyond(f, Plus(at, away, ordinate), away, Value(value), LightBlue, style);
    };

    if (p1 > 0) { // back water on the virtual back, down to the bottom
        const DrawPoint bottom = L.At(RearX(p), 0);
        AddDiagram(f, L.At(RearX(p), yTop - dw), bottom, 0, p1 * k, right, LightBlue, style);
        label(bottom, right, p1 * k, p1);
    }
    if (p2 > 0) { // front water on the front, down to the bottom
        const DrawPoint bottom = L.At(0, 0);
        AddDiagram(f, L.At(0, yTop - df), bottom, 0, p2 * k, left, LightBlue, style);
        label(bottom, left, p2 * k, p2);
    }
    if (p3 > 0) { // water over the shelf, and over the leaning face from the water table down
        const double H = p.UpperBackHeight;
        const PlanePoint foot = OutlinePoint(p, 8);
        const double run = H > 0 ? (H - dw) / H * double(p.UpperBackOffset) : 0.0;
        AddDiagram(f, L.At(foot.X - run, yTop - dw), L.At(foot.X, foot.Y), 0, p3 * k, up, LightBlue,
            style);
        AddDiagram(
            f, L.At(foot.X, foot.Y), L.At(RearX(p), foot.Y), p3 * k, p3 * k, up, LightBlue, style);
        label(L.At((foot.X + RearX(p)) / 2, foot.Y), up, p3 * k, p3);
    }
    if (p4 > 0) { // uplift under the flat bottom
        AddDiagram(f, L.At(u[0].X, 0), L.At(u[1].X, 0), p4 * k, p4 * k, down, LightBlue, style);
        label(L.At(u[1].X / 2, 0), down, p4 * k, p4);
    }
    if (r.WettedLowerSlope > 0 && p.LowerSlopeWidth > 0) { // lower slope, up to where it is wet
        const double w = r.WettedLowerSlope;
        const PlanePoint end { u[1].X + w,
            double(p.LowerSlopeHeight) * w / double(p.LowerSlopeWidth) };
        AddDiagram(f, L.At(u[1].X, 0), L.At(end.X, end.Y), p4 * k, p5 * k, down, LightBlue, style);
        if (p5 > 0)
            label(L.At(end.X, end.Y), down, p5 * k, p5);
    }
    if (p5 > 0 && p.LowerFlatWidth > 0) // the flat segment between the slopes
        AddDiagram(
            f, L.At(u[2].X, u[2].Y), L.At(u[3].X, u[3].Y), p5 * k, p5 * k, down, LightBlue, style);
    if (r.WettedRearSlope > 0 && p.RearSlopeWidth > 0) { // rear slope, up to where it is wet
        const double w = r.WettedRearSlope;
        const PlanePoint end { u[3].X + w,
            u[3].Y + double(p.RearSlopeHeight) * w / double(p.RearSlopeWidth) };
        AddDiagram(
            f, L.At(u[3].X, u[3].Y), L.At(end.X, end.Y), p5 * k, p7 * k, down, LightBlue, style);
        if (p7 > 0)
            label(L.At(end.X, end.Y), down, p7 * k, p7);
    }
    if (p6 > 0) { // water standing on the toe
        const double toe = p.ToeHeight;
        AddDiagram(f, L.At(0, toe), L.At(p.ToeWidth, toe), p6 * k, p6 * k, up, LightBlue, style);
        label(L.At(double(p.ToeWidth) / 2, toe), up, p6 * k, p6);
    }
}

namespace {

// The seismic increments' ordinates: 14 at the backfill surface (inverted triangle down to the
// shelf), 15 on top of it at the water table (inverted triangle down to the shelf).
struct IncrementDiagram {
    bool Present = false;
    double Surface = 0; // level of the backfill surface at the rear end
    double Water = 0; // level of the water table (the shelf when dry)
    double AtWater14 = 0; // ordinate of increment 14 at the water table
    double Largest = 0;
};

IncrementDiagram Increments(const Project& p, const LoadCaseResults& r)
{
    IncrementDiagram d;
    if (p.UpperBackHeight <= 0 || r.SeismicUndefined)
        return d;
    d.Present = true;
    d.Surface = SurfaceAtRear(p);
    d.Water = WallTopLevel(p) - DryDepth(p);
    const double height = VirtualBackHeight(p);
    d.AtWater14 = height > 0 ? r.SeismicForce[14] * (d.Water - ShelfLevel(p)) / height : 0.0;
    d.Largest = std::max(double(r.SeismicForce[14]), d.AtWater14 + double(r.SeismicForce[15]));
    return d;
}

} // namespace

void AddSeismicForces(Figure& f, const Project& p, const WallLayout& L,
    const LoadCaseResults& loads, double pressureScale, const FigureStyle& style)
{
    const LoadCaseResults& r = loads;
    const double k = pressureScale;
    const DrawPoint towardsToe { -1, 0 };
    const DrawPoint right { 1, 0 };
    AddPieces(f, p, L, Blue, Blue);
    const auto pieces = WallPieces(p);
    for (int piece = 1; piece <= PieceCount; ++piece) {
        if (r.SeismicForce[piece] == 0)
            continue;
        AddForce(f, L.At(pieces[piece].X, r.SeismicLevel[piece]), towardsToe, r.SeismicForce[piece],
            LightBlue, style);
    }

    const double xR = RearX(p);
    const double yShelf = ShelfLevel(p);
    const IncrementDiagram inc = Increments(p, r);
    if (inc.Present && r.SeismicForce[14] != 0) {
        AddDiagram(f, L.At(xR, inc.Surface), L.At(xR, yShelf), r.SeismicForce[14] * k, 0, right,
            Magenta, style);
        AddTextBeyond(f, Plus(L.At(xR, inc.Surface), right, r.SeismicForce[14] * k), right,
            Value(r.SeismicForce[14]), Magenta, style);
        AddForce(f, L.At(xR, r.SeismicLevel[14]), towardsToe,
            VirtualBackHeight(p) * double(r.SeismicForce[14]) / 2, LightBlue, style);
    }
    if (inc.Present && r.SeismicForce[15] != 0) {
        const DrawPoint water = L.At(xR, inc.Water);
        const DrawPoint outer = Plus(water, right, (inc.AtWater14 + r.SeismicForce[15]) * k);
        AddTintedPolygon(
            f, { Plus(water, right, inc.AtWater14 * k), outer, L.At(xR, yShelf) }, Magenta);
        AddTextBeyond(f, outer, right, Value(r.SeismicForce[15]), Magenta, style);
        AddForce(f, L.At(xR, r.SeismicLevel[15]), towardsToe,
            SubmergedHeight(p) * double(r.SeismicForce[15]) / 2, LightBlue, style);
    }
    if (r.SeismicForce[18] != 0)
        AddForce(f, L.At(r.SeismicArm[18], yShelf), { 0, 1 }, r.SeismicForce[18], LightBlue, style,
            LabelLeft);

    // Front water (Westergaard): ordinate 7/8 gw kh sqrt(hf z) at depth z, largest at the bottom.
    if (r.SeismicForce[16] > 0) {
        const double hf = WallTopLevel(p) - FrontWaterTableDepth(p);
        std::vector<DrawPoint> parabola;
        for (int i = 0; i <= ParabolaSteps; ++i) {
            const double z = hf * i / ParabolaSteps;
            const double o = r.SeismicForce[16] * std::sqrt(z / hf) * k;
            parabola.push_back(Plus(L.At(0, hf - z), towardsToe, o));
        }
        parabola.push_back(L.At(0, 0));
        parabola.push_back(L.At(0, hf));
        AddTintedPolygon(f, std::move(parabola), Magenta);
        AddTextBeyond(f, Plus(L.At(0, 0), towardsToe, r.SeismicForce[16] * k), towardsToe,
            Value(r.SeismicForce[16]), Magenta, style);
        // Its force pulls the wall's front towards the toe.
        AddPull(f, L.At(0, r.SeismicLevel[17]), towardsToe, r.SeismicForce[17], LightBlue, style);
    }
}

double LargestOrdinate(const Project& p, int loadCase, const LoadCaseResults& loads)
{
    const LoadCaseResults& r = loads;
    constexpr int Soil = 3;
    constexpr int Water = 4;
    constexpr int Seismic = 7;
    double largest = p.SurchargeType == loadCase ? std::abs(double(p.Surcharge)) : 0.0;
    switch (loadCase) {
    case Soil: largest = std::max(largest, double(r.SoilPressureMax)); break;
    case Water: largest = std::max(largest, double(r.WaterPressureMax)); break;
    case Seismic:
        largest = std::max({ largest, Increments(p, r).Largest, double(r.SeismicForce[16]) });
        break;
    default: break;
    }
    return largest;
}

void AddLoadCase(Figure& f, const Project& p, const WallLayout& L, int loadCase,
    const LoadCaseResults& loads, const FigureStyle& style)
{
    const LoadCaseResults& r = loads;
    constexpr int Dead = 1;
    constexpr int Soil = 3;
    constexpr int Water = 4;
    constexpr int Seismic = 7;
    const double k = DiagramScale(LargestOrdinate(p, loadCase, r), style.DiagramLength);
    switch (loadCase) {
    case Dead: AddDeadLoads(f, p, L, r, style); break;
    case Soil: AddSoilPressure(f, p, L, r, k, style); break;
    case Water: AddWaterPressure(f, p, L, r, k, style); break;
    case Seismic: AddSeismicForces(f, p, L, r, k, style); break;
    default: break;
    }
    AddGivenLoads(f, p, L, loadCase, k, style);
}

void AddReactions(Figure& f, const Project& p, const WallLayout& L, const StabilityResults& r,
    const FigureStyle& style)
{
    if (!r.Stable)
        return;
    const double k = ReactionScale(r, style.DiagramLength);
    const auto u = UndersidePoints(p);
    DrawPoint lastEnd { std::numeric_limits<double>::quiet_NaN(), 0 };
    std::string lastValue;
    for (int j = 1; j <= BaseSegmentCount; ++j) {
        if (!(double(r.SegmentEndU[j]) - double(r.SegmentStartU[j]) > NegligibleOrdinate))
            continue;
        const double alpha = std::atan2(u[j].Y - u[j - 1].Y, u[j].X - u[j - 1].X);
        // The ground lies below and behind the underside: the contact pressure pushes from there.
        const DrawPoint ground = OnSurface(AnchorDirection(alpha));
        const DrawPoint a = L.At(r.ContactStart[j].X, r.ContactStart[j].Y);
        const DrawPoint b = L.At(r.ContactEnd[j].X, r.ContactEnd[j].Y);
        const double oa = r.SegmentPressureStart[j] * k;
        const double ob = r.SegmentPressureEnd[j] * k;
        AddDiagram(f, a, b, oa, ob, ground, LightBlue, style);
        const std::string startValue = Value(r.SegmentPressureStart[j]);
        // Neighbouring segments meeting with one pressure show it once.
        if (!(Distance(a, lastEnd) < 1 && startValue == lastValue))
            AddTextBeyond(f, Plus(a, ground, oa), ground, startValue, LightBlue, style);
        if (Distance(a, b) >= 1) {
            lastValue = Value(r.SegmentPressureEnd[j]);
            AddTextBeyond(f, Plus(b, ground, ob), ground, lastValue, LightBlue, style);
            lastEnd = b;
        }
    }
    // Each anchor pulls the base along its own axis into the ground.
    const int rows = std::clamp<int>(r.Loads.AnchorRowCount, 0, MaxAnchorRows);
    for (int row = 1; row <= rows; ++row) {
        const AnchorRow& a = r.Loads.Anchor[row];
        const double force = std::hypot(double(a.Along), double(a.Across));
        if (force == 0)
            continue;
        AddPull(f, L.At(a.X, a.Y), OnSurface(AnchorDirection(a.Face)), force, Green, style);
    }
}

} // namespace pendrake
