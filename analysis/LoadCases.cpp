// The wall cut into pieces of concrete and soil, the water on and under it, the anchor heads,
// and the force lists that the stability analysis sums about the toe.
#include "analysis/LoadCases.h"

#include "analysis/EarthPressure.h"

#include <algorithm>
#include <cmath>

namespace pendrake {

namespace {

// Two anchor heights count as one level when they differ by less than this fraction: heights
// are typed to two decimals and summed in single precision, so 0.3 + 1.7 lands a few 1e-8 off
// 2.0, and a row must not jump over the flat segment because of that.
constexpr double SameLevelTolerance = 1e-5;

bool SameLevel(double a, double b)
{
    return std::abs(a - b) <= SameLevelTolerance * std::max(std::abs(a), std::abs(b));
}

double FaceAngle(double rise, double run)
{
    const double quarterTurn = 2.0 * std::atan(1.0);
    return run == 0 ? quarterTurn : std::atan(rise / run);
}

} // namespace

void ComputeDeadLoads(const Project& p, const LoadFactors& f, LoadCaseResults& r)
{
    ComputeDeadLoads(WallPieces(p), f, r);
}

void ComputeDeadLoads(
    const std::array<WallPiece, PieceCount + 1>& pieces, const LoadFactors& f, LoadCaseResults& r)
{
    const double f1 = f[1];
    for (int k = 1; k <= PieceCount; ++k) {
        r.DeadForce[k] = static_cast<float>(pieces[k].Weight * f1);
        r.DeadArm[k] = static_cast<float>(pieces[k].X);
        r.SeismicLevel[k] = static_cast<float>(pieces[k].Y);
    }
}

void ComputeWaterPressure(const Project& p, const LoadFactors& f, LoadCaseResults& r)
{
    r.WaterPressure.fill(0);
    r.WaterArm.fill(0);
    r.WaterLevel.fill(0);
    r.WettedLowerSlope = 0;
    r.WettedRearSlope = 0;

    const double gw = p.WaterUnitWeight;
    const double f4 = f[4];
    const double yTop = WallTopLevel(p);
    const double dw = BackWaterTableDepth(p);
    const double df = FrontWaterTableDepth(p);
    const double H = p.UpperBackHeight;
    const double lowH = p.LowerSlopeHeight;
    const double lowW = p.LowerSlopeWidth;
    const double rearH = p.RearSlopeHeight;
    const double rearW = p.RearSlopeWidth;
    const double shelf = p.ShelfWidth;
    const auto pt = UndersidePoints(p);

    const double backHead = yTop - dw; // water table above the flat bottom
    if (backHead > 0) {
        r.WaterPressure[1] = static_cast<float>(backHead * gw * f4);
        r.WaterLevel[1] = static_cast<float>(backHead / 3);
        r.WaterPressure[4] = static_cast<float>(backHead * gw * f4);
        r.WaterArm[4] = static_cast<float>(pt[1].X / 2);
    }
    const double frontHead = yTop - df;
    if (frontHead > 0) {
        r.WaterPressure[2] = static_cast<float>(frontHead * gw * f4);
        r.WaterLevel[2] = static_cast<float>(frontHead / 3);
    }

    if (BackfillWet(p)) {
        const double hw = H - dw;
        // Water over the shelf: a triangle over the leaning face, hw/H of its offset wide at the
        // water table, and the rectangle over the shelf. Arms measured from the rear end.
        const double run = hw / H * double(p.UpperBackOffset);
        const double triangle = run / 2;
        const double width = triangle + shelf;
        r.WaterPressure[3] = static_cast<float>(hw * gw * f4);
        const double fromRear
            = width > 0 ? ((run / 3 + shelf) * triangle + shelf * shelf / 2) / width : 0.0;
        r.WaterArm[3] = static_cast<float>(RearX(p) - fromRear);
    }

    const double p4 = r.WaterPressure[4];
    // Lower slope, from P1 (y = 0) to P2 (y = LowerSlopeHeight).
    const double lowHead = yTop - lowH - dw;
    double p5 = 0;
    if (lowHead > 0) {
        // The whole slope lies below the water table (a slope of no height too: it is a
        // stretch of the bottom at the level of P1 and carries the uplift there).
        p5 = lowHead * gw * f4;
        r.WaterPressure[5] = static_cast<float>(p5);
        p5 = r.WaterPressure[5];
        r.WettedLowerSlope = static_cast<float>(lowW);
        r.WaterArm[5] = static_cast<float>(
            p4 + p5 > 0 ? pt[1].X + lowW * (p4 + 2 * p5) / (3 * (p4 + p5)) : pt[1].X + lowW / 2);
    } else if (backHead > 0 && lowH > 0) {
        // The water table crosses the slope.
        const double wetted = std::min(lowW, backHead / lowH * lowW);
        r.WettedLowerSlope = static_cast<float>(wetted);
        r.WaterArm[5] = static_cast<float>(pt[1].X + wetted / 3);
    }

    if (df < double(p.FrontHeight)) {
        r.WaterPressure[6] = static_cast<float>((double(p.FrontHeight) - df) * gw * f4);
        r.WaterArm[6] = static_cast<float>(double(p.ToeWidth) / 2);
    }

    // Rear slope, from P3 (y = LowerSlopeHeight) to P4.
    const double rearHead = double(p.RearStepHeight) + H - dw;
    if (rearHead > 0) {
        r.WaterPressure[7] = static_cast<float>(rearHead * gw * f4);
        const double p7 = r.WaterPressure[7];
        r.WettedRearSlope = static_cast<float>(rearW);
        r.WaterArm[7] = static_cast<float>(
            p5 + p7 > 0 ? pt[3].X + rearW * (p5 + 2 * p7) / (3 * (p5 + p7)) : pt[3].X + rearW / 2);
    } else if (lowHead > 0 && rearH > 0) {
        // The water table crosses the rear slope.
        const double wetted = std::min(rearW, lowHead / rearH * rearW);
        r.WettedRearSlope = static_cast<float>(wetted);
        r.WaterArm[7] = static_cast<float>(pt[3].X + wetted / 3);
    }

    r.WaterPressureMax = *std::max_element(r.WaterPressure.begin() + 1, r.WaterPressure.end());
}

void PlaceAnchors(const Project& p, LoadCaseResults& r)
{
    r.Anchor.fill(AnchorRow {});
    const int count = std::clamp<int>(AnchorRowsPlaced(p), 0, MaxAnchorRows);
    r.AnchorRowCount = static_cast<int16_t>(count);

    const auto pt = UndersidePoints(p);
    const double lowH = p.LowerSlopeHeight;
    const double rearH = p.RearSlopeHeight;
    const double lowerFace = FaceAngle(lowH, p.LowerSlopeWidth);
    const double rearFace = FaceAngle(rearH, p.RearSlopeWidth);
    for (int i = 1; i <= count; ++i) {
        // An anchor cannot start below the flat bottom.
        double y = std::max(0.0, double(p.AnchorEdgeDist) + (i - 1) * double(p.AnchorVPitch));
        double x = 0;
        double face = 0;
        if (SameLevel(y, lowH)) {
            y = lowH;
            x = pt[2].X;
            face = p.LowerFlatWidth == 0 ? lowerFace : rearFace;
        } else if (y < lowH) {
            x = pt[1].X + double(p.LowerSlopeWidth) * y / lowH;
            face = lowerFace;
        } else if (y < pt[4].Y && !SameLevel(y, pt[4].Y)) {
            x = pt[3].X + double(p.RearSlopeWidth) * (y - lowH) / rearH;
            face = rearFace;
        } else {
            x = pt[4].X;
            y = pt[4].Y;
            face = rearFace;
        }
        AnchorRow& row = r.Anchor[count - i + 1];
        row.X = static_cast<float>(x);
        row.Y = static_cast<float>(y);
        row.Face = static_cast<float>(face);
    }
}

LoadCaseResults ComputeLoadCases(const Project& p, const LoadFactors& f)
{
    LoadCaseResults r;
    // The slope is settled before anything uses it: the soil wedge, Ka and Kae then agree, and
    // the record with the proposal applied gives the same numbers on the next run.
    CheckBackfillSlope(p, r);
    const SettledProject settled(p, r);
    ComputeDeadLoads(*settled, f, r);
    ComputeSoilCase(*settled, f, r);
    ComputeSeismicCase(*settled, f, r);
    ComputeWaterPressure(*settled, f, r);
    PlaceAnchors(*settled, r);
    return r;
}

WallLoadBasis::WallLoadBasis(const Project& p)
    : record_(&p)
{
    CheckBackfillSlope(p, unloaded_);
    if (unloaded_.SlopeAdjusted && unloaded_.ProposedBackfillSlope != p.BackfillSlope) {
        copy_.emplace(p);
        copy_->BackfillSlope = unloaded_.ProposedBackfillSlope;
        record_ = &*copy_;
    }
    const Project& settled = *record_;
    PlaceAnchors(settled, unloaded_);
    pieces_ = WallPieces(settled);
    ka_ = VirtualBackKa(settled);
    // Kae only where the seismic case uses it, as that case forms it.
    kae_ = unloaded_.SeismicUndefined ? 0.0 : VirtualBackKae(settled);
}

LoadCaseResults ComputeLoadCases(const WallLoadBasis& basis, const LoadFactors& f)
{
    // The cases in the order of ComputeLoadCases; the anchors are placed already, and no case
    // reads or writes them.
    LoadCaseResults r = basis.Unloaded();
    const Project& settled = basis.Record();
    ComputeDeadLoads(basis.Pieces(), f, r);
    ComputeSoilCase(settled, f, basis.Ka(), r);
    ComputeSeismicCase(settled, f, basis.Pieces(), basis.Kae(), r);
    ComputeWaterPressure(settled, f, r);
    return r;
}

SettledProject::SettledProject(const Project& p, const LoadCaseResults& loads)
    : record_(&p)
{
    if (loads.SlopeAdjusted && loads.ProposedBackfillSlope != p.BackfillSlope) {
        copy_.emplace(p);
        copy_->BackfillSlope = loads.ProposedBackfillSlope;
        record_ = &*copy_;
    }
}

std::array<PointForce, 8> WaterForces(const Project& p, const LoadCaseResults& r)
{
    const auto pt = UndersidePoints(p);
    const double yTop = WallTopLevel(p);
    const double backHead = std::max(0.0, yTop - BackWaterTableDepth(p));
    const double frontHead = std::max(0.0, yTop - FrontWaterTableDepth(p));
    const double run = BackfillWet(p)
        ? SubmergedHeight(p) / double(p.UpperBackHeight) * double(p.UpperBackOffset)
        : 0.0;
    const double p1 = r.WaterPressure[1];
    const double p2 = r.WaterPressure[2];
    const double p3 = r.WaterPressure[3];
    const double p4 = r.WaterPressure[4];
    const double p5 = r.WaterPressure[5];
    const double p6 = r.WaterPressure[6];
    const double p7 = r.WaterPressure[7];
    const double lowH = p.LowerSlopeHeight;

    // Point on a sloping segment above the arm x, for a complete line of action.
    auto onSegment = [&](int from, double x) {
        const double run = pt[from + 1].X - pt[from].X;
        const double t = run > 0 ? (x - pt[from].X) / run : 0.0;
        return pt[from].Y + t * (pt[from + 1].Y - pt[from].Y);
    };

    std::array<PointForce, 8> f {};
    f[0] = { -p1 * backHead / 2, 0, RearX(p), double(r.WaterLevel[1]) };
    f[1] = { p2 * frontHead / 2, 0, 0, double(r.WaterLevel[2]) };
    f[2] = { 0, p3 * (run / 2 + double(p.ShelfWidth)), double(r.WaterArm[3]), ShelfLevel(p) };
    f[3] = { 0, -p4 * pt[1].X, double(r.WaterArm[4]), 0 };
    f[4] = { 0, -(p4 + p5) / 2 * double(r.WettedLowerSlope), double(r.WaterArm[5]),
        onSegment(1, r.WaterArm[5]) };
    f[5] = { 0, -p5 * double(p.LowerFlatWidth), pt[2].X + double(p.LowerFlatWidth) / 2, lowH };
    f[6] = { 0, -(p5 + p7) / 2 * double(r.WettedRearSlope), double(r.WaterArm[7]),
        onSegment(3, r.WaterArm[7]) };
    f[7] = { 0, p6 * double(p.ToeWidth), double(r.WaterArm[6]), double(p.ToeHeight) };
    return f;
}

std::array<PointForce, PieceCount + 4> SeismicForces(const Project& p, const LoadCaseResults& r)
{
    std::array<PointForce, PieceCount + 4> f {};
    for (int k = 1; k <= PieceCount; ++k)
        f[k - 1]
            = { -double(r.SeismicForce[k]), 0, double(r.DeadArm[k]), double(r.SeismicLevel[k]) };
    const double xRear = RearX(p);
    f[13] = { -VirtualBackHeight(p) * double(r.SeismicForce[14]) / 2, 0, xRear,
        double(r.SeismicLevel[14]) };
    f[14] = { -SubmergedHeight(p) * double(r.SeismicForce[15]) / 2, 0, xRear,
        double(r.SeismicLevel[15]) };
    f[15] = { -double(r.SeismicForce[17]), 0, 0, double(r.SeismicLevel[17]) };
    f[16] = { 0, double(r.SeismicForce[18]), double(r.SeismicArm[18]), ShelfLevel(p) };
    return f;
}

std::array<PointForce, 3> SoilForces(const Project& p, const LoadCaseResults& r)
{
    const double xRear = RearX(p);
    const double upper = DryDepth(p) + SoilLength(p) * std::tan(BackfillAngle(p));
    const double p0 = r.SoilPressure[0];
    const double p1 = r.SoilPressure[1];
    const double p2 = r.SoilPressure[2];
    std::array<PointForce, 3> f {};
    if (p.UpperBackHeight > 0) {
        f[0] = { -(p0 + p1) / 2 * upper, 0, xRear, double(r.SoilLevel[1]) };
        f[1] = { -(p1 + p2) / 2 * SubmergedHeight(p), 0, xRear, double(r.SoilLevel[2]) };
    }
    f[2] = { 0, double(r.SoilPressure[3]), double(r.SoilArm[3]), ShelfLevel(p) };
    return f;
}

PointForce SurchargeForce(const Project& p, const LoadFactors& f)
{
    const double L = SoilLength(p);
    return { 0, double(p.Surcharge) * L * f[p.SurchargeType],
        double(p.TopWidth) + double(p.ToeWidth) + L / 2, WallTopLevel(p) };
}

PointForce LineLoadForce(const Project& p, const LoadFactors& factors, int slot)
{
    if (slot < 1 || slot > std::min<int>(p.LineLoadCount, MaxLineLoads))
        return {};
    const LineLoad& load = p.LineLoads[slot];
    const double a = Radians(load.Direction);
    const double f = factors[load.Type];
    // Direction 0 points up: the downward-positive vertical is -P cos a.
    return { double(load.Load) * std::sin(a) * f, -double(load.Load) * std::cos(a) * f,
        double(load.X), double(load.Y) };
}

} // namespace pendrake
