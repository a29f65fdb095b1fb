// The wall laid out on a drawing surface: its size, the fit into a drawing area, the sixteen
// nodes, the outline points and pieces in the cross-section frame, and the anchors' direction.
#include "drawing/WallGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pendrake {

namespace {

// Margins of the main window's drawing, twips.
constexpr double ScreenLeftMargin = 1440;
constexpr double ScreenTopMargin = 720;
constexpr double ScreenSideMargins = 2400 + 240;
constexpr double ScreenTopBottomMargins = 1440;
// Share of the free width given to the section; the backfill beyond its rear end takes a
// quarter of the section's width more, which fills the rest.
constexpr double SectionShareOfWidth = 0.8;
constexpr double BackfillBeyondShare = 0.25;

// Node 11, the front water level's outer end, stands this far in front of the toe.
constexpr double FrontWaterOverhang = 240;

} // namespace

DrawPoint WallLayout::At(double x, double y) const
{
    return { double(DrawOriginX) + double(DrawScale) * x,
        double(DrawOriginY) + double(DrawScale) * (WallTop - y) };
}

WallFigureSize MeasureWall(const Project& p)
{
    WallFigureSize s;
    s.Width = double(p.ToeWidth) + double(p.BottomWidth) + double(p.LowerSlopeWidth)
        + double(p.LowerFlatWidth) + double(p.RearSlopeWidth);
    s.Height = WallTopLevel(p);
    if (p.BackfillSlope > 0) {
        // Node 10 ends the backfill a quarter of the width beyond the rear end.
        s.BackfillRise = (s.Width * BackfillBeyondShare + SoilLength(p)) / double(p.BackfillSlope);
        s.Height += s.BackfillRise;
    }
    return s;
}

DrawArea ScreenDrawArea(double surfaceWidth, double surfaceHeight)
{
    return { ScreenLeftMargin, ScreenTopMargin,
        (surfaceWidth - ScreenSideMargins) * SectionShareOfWidth,
        surfaceHeight - ScreenTopBottomMargins };
}

PlanePoint OutlinePoint(const Project& p, int k)
{
    const auto u = UndersidePoints(p);
    const double yTop = WallTopLevel(p);
    const double yShelf = u[4].Y + double(p.RearStepHeight);
    switch (k) {
    case 1: return { double(p.ToeWidth), yTop };
    case 2: return { double(p.ToeWidth), double(p.ToeHeight) };
    case 3: return { 0, double(p.ToeHeight) };
    case 4: return u[0];
    case 5: return u[1];
    case 6: return u[4];
    case 7: return { u[4].X, yShelf };
    case 8: return { double(p.ToeWidth) + double(p.TopWidth) + double(p.UpperBackOffset), yShelf };
    case 9: return { double(p.ToeWidth) + double(p.TopWidth), yTop };
    case 15: return u[2];
    case 16: return u[3];
    default: return {};
    }
}

namespace {

// x of node 13 in the cross-section frame: where the back water level meets the back of the
// structure, from the top down: the upper back face, the rear step, the rear slope, the lower
// slope (below the bottom it stays at the bottom's rear end, node 5).
double BackWaterX(const Project& p)
{
    const double d = p.BackWaterDepth;
    const double H = p.UpperBackHeight;
    const double step = p.RearStepHeight;
    const double rear = p.RearSlopeHeight;
    const double low = p.LowerSlopeHeight;
    const double x9 = OutlinePoint(p, 9).X;
    const double x8 = OutlinePoint(p, 8).X;
    const double x7 = OutlinePoint(p, 7).X;
    const double x15 = OutlinePoint(p, 15).X;
    if (d <= H)
        return H > 0 ? x9 + (x8 - x9) * std::clamp(d / H, 0.0, 1.0) : x9;
    if (d <= H + step)
        return x7;
    if (d <= H + step + rear)
        return x7 - double(p.RearSlopeWidth) * (d - H - step) / rear;
    // The lower slope runs from node 5 up to node 15; the flat segment lies between 15 and 16.
    const double t = low > 0 ? std::clamp((d - H - step - rear) / low, 0.0, 1.0) : 1.0;
    return x15 - double(p.LowerSlopeWidth) * t;
}

} // namespace

WallLayout LayoutWall(
    const Project& p, const DrawArea& area, double surfaceWidth, double surfaceHeight)
{
    WallLayout L;
    L.WallTop = WallTopLevel(p);
    L.SurfaceWidth = surfaceWidth;
    L.SurfaceHeight = surfaceHeight;

    const WallFigureSize fig = MeasureWall(p);
    const double aw = std::max(0.0, area.Width);
    const double ah = std::max(0.0, area.Height);
    constexpr double unbounded = std::numeric_limits<double>::infinity();
    const double byWidth = fig.Width > 0 ? aw / fig.Width : unbounded;
    const double byHeight = fig.Height > 0 ? ah / fig.Height : unbounded;
    double s = std::min(byWidth, byHeight);
    if (!std::isfinite(s))
        s = 0; // a section of no size at all
    // The governing direction starts at the area's edge; the other is centred in the area.
    double left = area.Left;
    double top = area.Top;
    if (byWidth < byHeight)
        top += (ah - fig.Height * s) / 2;
    else
        left += (aw - fig.Width * s) / 2;
    L.DrawScale = static_cast<float>(s);
    L.DrawOriginX = static_cast<float>(left);
    L.DrawOriginY = static_cast<float>(top + fig.BackfillRise * s);

    for (int k : { 1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16 }) {
        const PlanePoint pt = OutlinePoint(p, k);
        const DrawPoint d = L.At(pt.X, pt.Y);
        L.NodeX[k] = static_cast<float>(d.X);
        L.NodeY[k] = static_cast<float>(d.Y);
    }
    const double beyond = fig.Width * BackfillBeyondShare + SoilLength(p);
    L.NodeX[10] = static_cast<float>(double(L.NodeX[9]) + beyond * s);
    L.NodeY[10] = static_cast<float>(
        double(L.DrawOriginY) - (p.BackfillSlope > 0 ? beyond / double(p.BackfillSlope) * s : 0.0));
    L.NodeX[11] = static_cast<float>(double(L.DrawOriginX) - FrontWaterOverhang);
    L.NodeY[11] = static_cast<float>(double(L.DrawOriginY) + double(p.FrontWaterDepth) * s);
    L.NodeX[12] = L.NodeX[1];
    L.NodeY[12] = L.NodeY[11];
    L.NodeX[13] = static_cast<float>(double(L.DrawOriginX) + BackWaterX(p) * s);
    L.NodeY[13] = static_cast<float>(double(L.DrawOriginY) + double(p.BackWaterDepth) * s);
    L.NodeX[14] = L.NodeX[10];
    L.NodeY[14] = L.NodeY[13];
    return L;
}

WallLayout LayoutWallOnScreen(const Project& p, double surfaceWidth, double surfaceHeight)
{
    return LayoutWall(p, ScreenDrawArea(surfaceWidth, surfaceHeight), surfaceWidth, surfaceHeight);
}

std::vector<PlanePoint> PiecePolygon(const Project& p, int k)
{
    const double top = p.TopWidth;
    const double lean = p.UpperBackOffset;
    const double toe = p.ToeWidth;
    const double H = p.UpperBackHeight;
    const double yTop = WallTopLevel(p);
    const double yShelf = ShelfLevel(p);
    const double yBody = double(p.LowerSlopeHeight) + double(p.RearSlopeHeight);
    const double x9 = toe + top;
    const double x8 = x9 + lean;
    const double xRear = RearX(p);
    const auto u = UndersidePoints(p);
    const double low = p.LowerSlopeHeight;
    // Where the water table meets the leaning back face (its foot when dry).
    const bool wet = BackfillWet(p);
    const double dw = wet ? BackWaterTableDepth(p) : H;
    const double yWater = yTop - dw;
    const double xWater = H > 0 ? x9 + dw / H * lean : x8;

    switch (k) {
    case 1: return { { toe, yShelf }, { x9, yShelf }, { x9, yTop }, { toe, yTop } };
    case 2: return { { x9, yShelf }, { x8, yShelf }, { x9, yTop } };
    case 3: return { { toe, yBody }, { xRear, yBody }, { xRear, yShelf }, { toe, yShelf } };
    case 4: return { { toe, 0 }, { u[1].X, 0 }, { u[1].X, yBody }, { toe, yBody } };
    case 5: return { u[1], u[2], { u[1].X, low } };
    case 6:
        return { { 0, 0 }, { toe, 0 }, { toe, double(p.ToeHeight) }, { 0, double(p.ToeHeight) } };
    case 7:
        if (p.BackfillSlope <= 0)
            return {};
        return { { x9, yTop }, { xRear, yTop + SoilLength(p) / double(p.BackfillSlope) },
            { xRear, yTop } };
    case 8: return { { x9, yTop }, { xWater, yWater }, { xWater, yTop } };
    case 9: return { { xWater, yWater }, { xRear, yWater }, { xRear, yTop }, { xWater, yTop } };
    case 10: return { { xWater, yWater }, { x8, yShelf }, { x8, yWater } };
    case 11: return { { x8, yShelf }, { xRear, yShelf }, { xRear, yWater }, { x8, yWater } };
    case 12: return { { u[1].X, low }, { u[3].X, low }, { u[3].X, yBody }, { u[1].X, yBody } };
    case 13: return { u[3], u[4], { u[3].X, yBody } };
    default: return {};
    }
}

PlanePoint AnchorDirection(double face)
{
    return { std::sin(face), -std::cos(face) };
}

} // namespace pendrake
