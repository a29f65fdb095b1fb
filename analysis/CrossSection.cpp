// Levels, widths and pieces of the cross-section, and the load factors of a run.
#include "analysis/CrossSection.h"

#include <algorithm>
#include <cmath>

namespace pendrake {

LoadFactors MakeLoadFactors(double dead, double live, double soil, double water, double structural,
    double impact, double seismic)
{
    LoadFactors f;
    f.Factor = { 0, float(dead), float(live), float(soil), float(water), float(structural),
        float(impact), float(seismic) };
    return f;
}

// Water depths are measured down from the wall top; a negative one from a damaged file would put
// the water above the soil surface, which the pieces do not model: it stands at the top.
double BackWaterTableDepth(const Project& p)
{
    return std::max(0.0, double(p.BackWaterDepth));
}

double FrontWaterTableDepth(const Project& p)
{
    return std::max(0.0, double(p.FrontWaterDepth));
}

double Radians(double degrees)
{
    return degrees * (std::atan(1.0) / 45.0);
}

double SoilLength(const Project& p)
{
    return double(p.ShelfWidth) + double(p.UpperBackOffset);
}

double WallTopLevel(const Project& p)
{
    return double(p.FrontHeight) + double(p.ToeHeight);
}

double ShelfLevel(const Project& p)
{
    return double(p.LowerSlopeHeight) + double(p.RearSlopeHeight) + double(p.RearStepHeight);
}

double RearX(const Project& p)
{
    return double(p.ToeWidth) + double(p.TopWidth) + double(p.UpperBackOffset)
        + double(p.ShelfWidth);
}

std::array<PlanePoint, 5> UndersidePoints(const Project& p)
{
    std::array<PlanePoint, 5> pt {};
    pt[0] = { 0, 0 };
    pt[1] = { double(p.ToeWidth) + double(p.BottomWidth), 0 };
    pt[2] = { pt[1].X + double(p.LowerSlopeWidth), double(p.LowerSlopeHeight) };
    pt[3] = { pt[2].X + double(p.LowerFlatWidth), double(p.LowerSlopeHeight) };
    pt[4] = { pt[3].X + double(p.RearSlopeWidth),
        double(p.LowerSlopeHeight) + double(p.RearSlopeHeight) };
    return pt;
}

double BackfillAngle(const Project& p)
{
    return BackfillSlopeAngle(p.BackfillSlope);
}

double BackfillSlopeAngle(float n)
{
    // A negative n (only from a damaged file) would tip the surface below the wall top, where
    // no soil piece is modelled: it is taken as level.
    return n > 0 ? std::atan(1.0 / double(n)) : 0.0;
}

bool BackfillWet(const Project& p)
{
    return BackWaterTableDepth(p) < double(p.UpperBackHeight);
}

double DryDepth(const Project& p)
{
    return BackfillWet(p) ? BackWaterTableDepth(p) : std::max(0.0, double(p.UpperBackHeight));
}

double SubmergedHeight(const Project& p)
{
    return BackfillWet(p) ? double(p.UpperBackHeight) - BackWaterTableDepth(p) : 0.0;
}

double VirtualBackHeight(const Project& p)
{
    return SoilLength(p) * std::tan(BackfillAngle(p)) + double(p.UpperBackHeight);
}

std::array<WallPiece, PieceCount + 1> WallPieces(const Project& p)
{
    const double gc = p.ConcUnitWeight;
    const double gs = p.FillUnitWeight;
    const double gsat = p.FillSatDensity;
    const double gw = p.WaterUnitWeight;
    const double H = p.UpperBackHeight;
    const double top = p.TopWidth;
    const double lean = p.UpperBackOffset;
    const double shelf = p.ShelfWidth;
    const double toe = p.ToeWidth;
    const double bottom = p.BottomWidth;
    const double lowW = p.LowerSlopeWidth;
    const double lowH = p.LowerSlopeHeight;
    const double flat = p.LowerFlatWidth;
    const double rearW = p.RearSlopeWidth;
    const double rearH = p.RearSlopeHeight;
    const double step = p.RearStepHeight;
    const double n = p.BackfillSlope;
    const double L = SoilLength(p);
    const double yTop = WallTopLevel(p);
    const double yShelf = ShelfLevel(p);
    const double xRear = RearX(p);
    const double backFace = toe + top; // x of the top of the leaning back face

    std::array<WallPiece, PieceCount + 1> w {};
    w[1] = { H * top * gc, toe + top / 2, yShelf + H / 2 };
    w[2] = { lean * H / 2 * gc, backFace + lean / 3, yShelf + H / 3 };
    w[3] = { (top + lean + shelf) * step * gc, toe + (top + lean + shelf) / 2,
        lowH + rearH + step / 2 };
    w[4] = { bottom * (lowH + rearH) * gc, toe + bottom / 2, (lowH + rearH) / 2 };
    w[5] = { lowW * lowH / 2 * gc, toe + bottom + lowW / 3, 2 * lowH / 3 };
    w[6] = { toe * p.ToeHeight * gc, toe / 2, double(p.ToeHeight) / 2 };
    if (n > 0)
        w[7] = { L * L / n / 2 * gs, backFace + 2 * L / 3, yTop + (L / n) / 3 };
    else
        w[7] = { 0, backFace, yTop };

    if (BackfillWet(p)) {
        // The water table meets the leaning face dw/H of the way down; above it the soil is
        // dry (gs), below it buoyant (gsat - gw).
        const double dw = BackWaterTableDepth(p);
        const double hw = H - dw;
        const double dryRun = dw / H * lean;
        const double wetRun = hw / H * lean;
        w[8] = { dw * dw / H * lean / 2 * gs, backFace + 2 * dryRun / 3, yTop - dw / 3 };
        w[9] = { (L - dryRun) * dw * gs, xRear - (L - dryRun) / 2, yTop - dw / 2 };
        w[10] = { hw * hw / H * lean / 2 * (gsat - gw), backFace + lean - wetRun / 3,
            yTop - dw - hw / 3 };
        w[11] = { hw * shelf * (gsat - gw), backFace + lean + shelf / 2, yTop - dw - hw / 2 };
    } else {
        w[8] = { lean * H / 2 * gs, backFace + 2 * lean / 3, yTop - H / 3 };
        w[9] = { shelf * H * gs, backFace + lean + shelf / 2, yTop - H / 2 };
        w[10] = { 0, backFace + lean, rearH + step };
        w[11] = { 0, backFace + lean + shelf / 2, rearH + step };
    }
    w[12] = { (lowW + flat) * rearH * gc, toe + bottom + (lowW + flat) / 2, lowH + rearH / 2 };
    w[13]
        = { rearW * rearH / 2 * gc, toe + bottom + lowW + flat + rearW / 3, lowH + 2 * rearH / 3 };
    return w;
}

} // namespace pendrake
