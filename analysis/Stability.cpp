// The wall's stability about its toe: summation of the load cases, the resultant on the base
// projected across it, the linear base pressure (anchor springs where the rear lifts), bearing
// and shear friction segment by segment, and the anchor tension and shear.
#include "analysis/Stability.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <optional>

namespace pendrake {

namespace {

const double Pi = 4.0 * std::atan(1.0);

// A segment within this angle of the resultant's line is seen edge-on: it covers nothing.
constexpr double ParallelTolerance = 1e-5;
// A projected interval or compressed zone no longer than this (length unit) carries nothing.
constexpr double MinimumInterval = 1e-5;
// The resultant may cross y = 0 this far in front of the toe and still count as on the base.
constexpr double ToeEdgeTolerance = 1e-5;
// A safety factor at or below minus this is no formed factor and raises no "less than unity"
// note; one between it and 1 does.
constexpr double UnitySafetyTolerance = 1e-5;
// An anchor row whose lever falls short of the compressed length by less than this fraction of
// the base length sits at the end of the compressed zone, not in compression.
constexpr double AnchorSlackTolerance = 1e-9;
// Starting value of the searches for the smallest segment value.
constexpr double SearchStart = 1e10;

// The compressed length solves a cubic moment balance by a walk with steps that shrink tenfold
// at each sign change. It ends when the step has shrunk to the last digits of the length found:
// the root is then bracketed as closely as double precision can place it. No test on the size
// of the balance itself: where base pressure and anchor pull nearly cancel, the toe pressure
// magnifies any residual, whatever the length unit.
constexpr double StepFloor = 1e-15;
// Hostile data must not hang the analysis: a walk this long is given up and the wall reported
// not stable. A plain walk needs ten steps per decade of precision and, at most, one step per
// tenth of the base length down to the lowest anchor lever.
constexpr int MaxPressureSteps = 1000000;

// Anchor diameters are stored in cm (Metric, SI) or inches (British); lengths in m or ft.
constexpr double CentimetresPerMetre = 100.0;
constexpr double InchesPerFoot = 12.0;
// Stresses (kg/cm², MPa, psi) to pressures (T/m², kPa, Kip/ft²).
constexpr double TonnePerSquareMetrePerKgPerSquareCm = 10.0; // 10^4 cm²/m² / 1000 kg/T
constexpr double KiloPascalPerMegaPascal = 1000.0;
constexpr double KipPerSquareFootPerPsi = 0.144; // 144 in²/ft² / 1000 lb/Kip

constexpr int FirstCase = 1;

float ToFloat(double v)
{
    return static_cast<float>(v);
}

void AddMessage(StabilityResults& r, std::string_view text)
{
    if (std::find(r.Messages.begin(), r.Messages.end(), text) == r.Messages.end())
        r.Messages.emplace_back(text);
}

// Sums are held in single precision as the record holds them; each term is formed in double.
void AddTerm(StabilityResults& r, int loadCase, double horizontal, double vertical, double moment)
{
    // A load of no known case (a damaged file) still counts in the totals; its case entry is
    // the unused slot 0, so no case of the seven is credited with it.
    if (loadCase < FirstCase || loadCase > LoadCaseCount)
        loadCase = 0;
    r.TotalMoment = ToFloat(double(r.TotalMoment) + moment);
    r.TotalHorizontal = ToFloat(double(r.TotalHorizontal) + horizontal);
    r.TotalVertical = ToFloat(double(r.TotalVertical) + vertical);
    r.CaseMoment[loadCase] = ToFloat(double(r.CaseMoment[loadCase]) + moment);
    r.CaseHorizontal[loadCase] = ToFloat(double(r.CaseHorizontal[loadCase]) + horizontal);
    r.CaseVertical[loadCase] = ToFloat(double(r.CaseVertical[loadCase]) + vertical);
}

// One component's moment about the toe front, on the side its sign puts it.
void AddMomentPart(StabilityResults& r, double moment)
{
    if (moment > 0)
        r.ResistingMoment = ToFloat(double(r.ResistingMoment) + moment);
    else
        r.OverturningMoment = ToFloat(double(r.OverturningMoment) - moment);
}

void AddForce(StabilityResults& r, int loadCase, const PointForce& f)
{
    AddTerm(r, loadCase, f.Horizontal, f.Vertical, MomentAboutToe(f));
    AddMomentPart(r, f.Vertical * f.X);
    AddMomentPart(r, f.Horizontal * f.Y);
}

void SumLoadCases(const Project& p, const LoadFactors& factors, StabilityResults& r)
{
    constexpr int Dead = 1;
    constexpr int Soil = 3;
    constexpr int Water = 4;
    constexpr int Seismic = 7;
    const int lineLoads = std::clamp<int>(p.LineLoadCount, 0, MaxLineLoads);
    for (int slot = 1; slot <= lineLoads; ++slot)
        AddForce(r, p.LineLoads[slot].Type, LineLoadForce(p, factors, slot));
    AddForce(r, p.SurchargeType, SurchargeForce(p, factors));
    for (int k = 1; k <= PieceCount; ++k) {
        const double w = r.Loads.DeadForce[k];
        AddTerm(r, Dead, 0.0, w, w * double(r.Loads.DeadArm[k]));
        AddMomentPart(r, w * double(r.Loads.DeadArm[k]));
    }
    for (const PointForce& f : SeismicForces(p, r.Loads))
        AddForce(r, Seismic, f);
    for (const PointForce& f : SoilForces(p, r.Loads))
        AddForce(r, Soil, f);
    for (const PointForce& f : WaterForces(p, r.Loads))
        AddForce(r, Water, f);
}

double Safety(double resisting, double acting)
{
    if (acting == 0)
        return InfiniteSafety;
    const double factor = resisting / acting;
    // Anything from 100000 up reads as infinite; holding it there keeps a vanishing action
    // from overflowing the single-precision result.
    if (!std::isfinite(factor) || factor >= InfiniteSafety)
        return InfiniteSafety;
    return factor;
}

// The compressed zone of the projected base and the linear pressure across it.
struct PressureZone {
    double Start = 0;
    double End = 0;
    double AtStart = 0;
    double AtEnd = 0;

    [[nodiscard]] double At(double u) const
    {
        if (u < Start || u > End || End <= Start)
            return 0.0;
        // Weights that are exactly 0 and 1 at the zone's ends, so an end pressure of 0 is 0.
        const double length = End - Start;
        return (End - u) / length * AtStart + (u - Start) / length * AtEnd;
    }
};

PressureZone ZoneOf(BasePressureCase pressureCase, double baseLength, double compressed,
    double toeEnd, double farEnd)
{
    switch (pressureCase) {
    case BasePressureCase::FullCompression: return { 0.0, baseLength, toeEnd, farEnd };
    case BasePressureCase::RearTriangle:
        return { baseLength - compressed, baseLength, 0.0, farEnd };
    case BasePressureCase::FrontTriangle: return { 0.0, compressed, toeEnd, 0.0 };
    case BasePressureCase::None: break;
    }
    return {};
}

// Projection on the line across a resultant of inclination psi, u = x cos psi - y sin psi, with
// the cosine and sine taken once for all the points of one run.
struct ProjectionAcross {
    explicit ProjectionAcross(double psi)
        : Cos(std::cos(psi))
        , Sin(std::sin(psi))
    {
    }
    [[nodiscard]] double Of(const PlanePoint& pt) const { return pt.X * Cos - pt.Y * Sin; }
    double Cos;
    double Sin;
};

// Anchor levers sorted by decreasing lever, double precision.
struct LeverTable {
    int Rows = 0;
    std::array<double, MaxAnchorRows + 1> Lever {};
    std::array<int16_t, MaxAnchorRows + 1> Row {};
};

int PlacedRows(const LoadCaseResults& loads)
{
    return std::clamp<int>(loads.AnchorRowCount, 0, MaxAnchorRows);
}

double AnchorLeverOf(const AnchorRow& a, double psi)
{
    // (x - y tan psi) cos psi, written without the tangent.
    return double(a.X) * std::cos(psi) - double(a.Y) * std::sin(psi);
}

LeverTable SortLevers(const LoadCaseResults& loads, double psi)
{
    LeverTable t;
    t.Rows = PlacedRows(loads);
    std::array<int16_t, MaxAnchorRows> order {};
    for (int i = 0; i < t.Rows; ++i)
        order[i] = static_cast<int16_t>(i + 1);
    std::array<double, MaxAnchorRows + 1> lever {};
    for (int row = 1; row <= t.Rows; ++row)
        lever[row] = AnchorLeverOf(loads.Anchor[row], psi);
    // An insertion sort: stable, so rows of equal lever keep the table's order (the higher row
    // first), and for at most MaxAnchorRows rows it needs no buffer, which std::stable_sort would
    // allocate on every set of every wall.
    for (int i = 1; i < t.Rows; ++i) {
        const int16_t row = order[i];
        int j = i;
        for (; j > 0 && lever[row] > lever[order[j - 1]]; --j)
            order[j] = order[j - 1];
        order[j] = row;
    }
    for (int i = 1; i <= t.Rows; ++i) {
        t.Row[i] = order[i - 1];
        t.Lever[i] = lever[t.Row[i]];
    }
    return t;
}

AnchorLeverSums SumLevers(const LeverTable& t, int count)
{
    AnchorLeverSums s;
    s.Count = std::clamp(count, 0, t.Rows);
    for (int i = 1; i <= s.Count; ++i) {
        s.Sum += t.Lever[i];
        s.SqSum += t.Lever[i] * t.Lever[i];
    }
    return s;
}

void StoreLevers(StabilityResults& r, const LeverTable& t, const AnchorLeverSums& s)
{
    r.AnchorLever.fill(0);
    r.AnchorLeverRow.fill(0);
    for (int i = 1; i <= t.Rows; ++i) {
        r.AnchorLever[i] = ToFloat(t.Lever[i]);
        r.AnchorLeverRow[i] = t.Row[i];
    }
    r.AnchorLeverSum = ToFloat(s.Sum);
    r.AnchorLeverSqSum = ToFloat(s.SqSum);
}

// Length c of the compressed zone from the toe for n anchor rows in tension: the moment balance
// about the toe c³/6 - d c²/2 + kappa c (S1 - n d) - kappa (S2 - d S1) = 0, walked down from the
// base length. Once the walk is below `floor` (under every anchor lever and under the toe) the
// root's exact place no longer matters: every row is beyond it and no compressed zone exists;
// the walk stops there and returns where it is. Empty when the walk does not settle.
std::optional<double> SolveCompressedLength(
    double baseLength, double d, double kappa, const AnchorLeverSums& s, double floor)
{
    const int n = s.Count;
    const double S1 = s.Sum;
    const double S2 = s.SqSum;
    auto balance = [&](double c) {
        double f = c * c * c / 6.0 - d * c * c / 2.0;
        if (n > 0)
            f += kappa * c * (S1 - n * d) - kappa * (S2 - d * S1);
        return f;
    };
    double c = baseLength;
    double step = -baseLength / 10.0;
    double f = balance(c);
    for (int i = 0; i < MaxPressureSteps; ++i) {
        if (f == 0.0 || std::abs(step) <= StepFloor * std::max(std::abs(c), MinimumInterval))
            return c;
        c += step;
        const double next = balance(c);
        if ((next < 0) != (f < 0))
            step = -step / 10.0;
        else if (c < floor)
            return c;
        f = next;
    }
    return std::nullopt;
}

bool SegmentCovers(const StabilityResults& r, int j)
{
    return double(r.SegmentEndU[j]) - double(r.SegmentStartU[j]) > MinimumInterval;
}

// The point of segment j whose projection is u (its start for a segment seen edge-on).
BasePoint PointAt(const std::array<PlanePoint, 5>& pts, const std::array<double, 5>& proj,
    double angle, double psi, int j, double u)
{
    const PlanePoint& a = pts[j - 1];
    const PlanePoint& b = pts[j];
    const double run = proj[j] - proj[j - 1];
    double t = 0.0;
    if (std::abs(Pi / 2 - (psi + angle)) > ParallelTolerance && run != 0.0)
        t = std::clamp((u - proj[j - 1]) / run, 0.0, 1.0);
    return { ToFloat(a.X + t * (b.X - a.X)), ToFloat(a.Y + t * (b.Y - a.Y)) };
}

void ClearSegment(StabilityResults& r, int j)
{
    r.SegmentPressureStart[j] = 0;
    r.SegmentPressureEnd[j] = 0;
    r.SegmentBearingSafety[j] = ToFloat(InfiniteSafety);
    r.SegmentShear[j] = 0;
    r.SegmentResistance[j] = 0;
    r.SegmentSlidingSafety[j] = ToFloat(InfiniteSafety);
    r.SegmentForce[j] = 0;
}

bool AnchorsUsable(const Project& p, double kappa)
{
    return p.BaseE > 0 && p.AnchorHPitch > 0 && std::isfinite(kappa) && kappa >= 0;
}

} // namespace

bool IsInfiniteSafety(double factor)
{
    return factor >= InfiniteSafety;
}

double StressToPressure(int16_t unitSystem)
{
    switch (unitSystem) {
    case SI: return KiloPascalPerMegaPascal;
    case British: return KipPerSquareFootPerPsi;
    default: return TonnePerSquareMetrePerKgPerSquareCm;
    }
}

double AnchorBarArea(const Project& p)
{
    const double perLength
        = p.UnitSystem == British ? 1.0 / InchesPerFoot : 1.0 / CentimetresPerMetre;
    const double dia = double(p.AnchorDia) * perLength;
    return Pi / 4.0 * dia * dia;
}

double AnchorStiffnessRatio(const Project& p)
{
    return double(p.AnchorE) * AnchorBarArea(p) / double(p.AnchorHPitch) / double(p.BaseE);
}

BaseGeometry UndersideGeometry(const Project& p)
{
    BaseGeometry g;
    g.Points = UndersidePoints(p);
    for (int j = 1; j <= BaseSegmentCount; ++j)
        g.Angle[j]
            = std::atan2(g.Points[j].Y - g.Points[j - 1].Y, g.Points[j].X - g.Points[j - 1].X);
    g.FrictionTan = std::tan(double(p.BasePhi) * Pi / 180.0);
    return g;
}

ProjectedBase ProjectBase(const Project& p, double psi, StabilityResults& r)
{
    return ProjectBase(UndersideGeometry(p), psi, r);
}

ProjectedBase ProjectBase(const BaseGeometry& g, double psi, StabilityResults& r)
{
    const std::array<PlanePoint, 5>& pts = g.Points;
    const ProjectionAcross across(psi);
    ProjectedBase base;
    std::array<double, 5> u {};
    for (int j = 1; j <= BaseSegmentCount; ++j)
        u[j] = across.Of(pts[j]);
    base.Length = *std::max_element(u.begin(), u.end());
    for (int j = 1; j <= BaseSegmentCount; ++j) {
        base.Angle[j] = g.Angle[j];
        double start = u[j - 1];
        double end = u[j];
        // A segment hidden behind an earlier one in the projection covers nothing.
        if (j > 1 && start < base.EndU[j - 1])
            start = base.EndU[j - 1];
        if (end < start)
            end = start;
        base.StartU[j] = start;
        base.EndU[j] = end;
        r.SegmentStartU[j] = ToFloat(start);
        r.SegmentEndU[j] = ToFloat(end);
        r.ContactStart[j] = PointAt(pts, u, base.Angle[j], psi, j, start);
        r.ContactEnd[j] = PointAt(pts, u, base.Angle[j], psi, j, end);
    }
    r.EffectiveBaseLength = ToFloat(base.Length);
    return base;
}

AnchorLeverSums SortAnchorLevers(StabilityResults& r, int count, double psi)
{
    const LeverTable t = SortLevers(r.Loads, psi);
    const AnchorLeverSums s = SumLevers(t, count);
    StoreLevers(r, t, s);
    return s;
}

SegmentEvaluation EvaluateBaseSegment(
    const Project& p, double alpha, double pStart, double pEnd, double psi, double loadedLength)
{
    return EvaluateBaseSegment(
        p, std::tan(double(p.BasePhi) * Pi / 180.0), alpha, pStart, pEnd, psi, loadedLength);
}

SegmentEvaluation EvaluateBaseSegment(const Project& p, double frictionTan, double alpha,
    double pStart, double pEnd, double psi, double loadedLength)
{
    const double angle = psi + alpha;
    const double cosine = std::cos(angle);
    const double sine = std::sin(angle);
    const double toPressure = StressToPressure(p.UnitSystem);
    SegmentEvaluation e;
    e.PressureStart = pStart * cosine * cosine;
    e.PressureEnd = pEnd * cosine * cosine;
    if (e.PressureStart == 0 && e.PressureEnd == 0) {
        e.BearingSafety = InfiniteSafety;
    } else {
        const double allowable = std::min(double(p.BaseQd), double(p.ConcFc)) * toPressure;
        e.BearingSafety = Safety(allowable, std::max(e.PressureStart, e.PressureEnd));
    }
    const double peak = std::max(pStart, pEnd);
    e.Shear = std::abs(peak * sine * cosine);
    e.Resistance = double(p.BaseCohesion) * toPressure + peak * cosine * cosine * frictionTan;
    e.SlidingSafety = Safety(e.Resistance, e.Shear);
    e.Force = sine * loadedLength * (pStart + pEnd) / 2.0;
    return e;
}

void SearchBaseSegments(StabilityResults& r)
{
    double pressureMax = 0.0;
    double pressureMin = SearchStart;
    double bearingMin = SearchStart;
    double slidingMin = SearchStart;
    for (int j = 1; j <= BaseSegmentCount; ++j) {
        if (!SegmentCovers(r, j))
            continue;
        pressureMax = std::max(
            { pressureMax, double(r.SegmentPressureStart[j]), double(r.SegmentPressureEnd[j]) });
        pressureMin = std::min(
            { pressureMin, double(r.SegmentPressureStart[j]), double(r.SegmentPressureEnd[j]) });
        bearingMin = std::min(bearingMin, double(r.SegmentBearingSafety[j]));
        if (r.SegmentSlidingSafety[j] < slidingMin) {
            slidingMin = r.SegmentSlidingSafety[j];
            r.SlidingShear = r.SegmentShear[j];
            r.SlidingResistance = r.SegmentResistance[j];
        }
    }
    r.BasePressureMax = ToFloat(pressureMax);
    r.BasePressureMin = ToFloat(pressureMin);
    r.BearingSafetyMin = ToFloat(bearingMin);
    r.SlidingSafetyMin = ToFloat(slidingMin);
}

void ComputeAnchorResults(const Project& p, StabilityResults& r)
{
    r.AnchorTensionMax = 0;
    r.AnchorTensionStress = 0;
    r.AnchorShearMax = 0;
    r.AnchorShearStress = 0;
    r.AnchorTensionSafety = ToFloat(InfiniteSafety);
    r.AnchorShearSafety = ToFloat(InfiniteSafety);
    if (!r.BaseSolved || r.AnchorActiveCount < 1)
        return;
    const int row = r.AnchorLeverRow[1];
    if (row < 1 || row > MaxAnchorRows)
        return;
    const double area = AnchorBarArea(p);
    const double tension = double(p.AnchorHPitch) * double(r.Loads.Anchor[row].Along);
    if (tension == 0 || !(area > 0))
        return;
    const double toPressure = StressToPressure(p.UnitSystem);
    const double shear = double(p.AnchorHPitch) * std::abs(double(r.Loads.Anchor[row].Across));
    const double tensionStress = tension / area;
    const double shearStress = shear / area;
    r.AnchorTensionMax = ToFloat(tension);
    r.AnchorTensionStress = ToFloat(tensionStress);
    r.AnchorTensionSafety
        = ToFloat(Safety(double(p.AnchorYield) * toPressure, std::abs(tensionStress)));
    r.AnchorShearMax = ToFloat(shear);
    r.AnchorShearStress = ToFloat(shearStress);
    r.AnchorShearSafety
        = ToFloat(Safety(double(p.AnchorShear) * toPressure, std::abs(shearStress)));
}

double ProjectedPressure(const StabilityResults& r, double u)
{
    if (!r.BaseSolved)
        return 0.0;
    return ZoneOf(r.PressureCase, r.EffectiveBaseLength, r.CompressedLength, r.PressureToeEnd,
        r.PressureFarEnd)
        .At(u);
}

namespace {

// Everything after the load cases, on the settled record p whose underside is g.
void SolveStability(
    const Project& p, const BaseGeometry& g, const LoadFactors& f, StabilityResults& r)
{
    SumLoadCases(p, f, r);
    // Without the anchors, until their forces are known: a wall that cannot be solved still
    // says how far it is from tipping.
    r.OverturningSafety = ToFloat(Safety(r.ResistingMoment, r.OverturningMoment));
    r.BaseSpan = ToFloat(double(p.ToeWidth) + double(p.BottomWidth) + double(p.LowerSlopeWidth)
        + double(p.LowerFlatWidth) + double(p.RearSlopeWidth));

    const double V = r.TotalVertical;
    const double H = r.TotalHorizontal;
    const double M = r.TotalMoment;
    if (!std::isfinite(V) || !std::isfinite(H) || !std::isfinite(M)) {
        AddMessage(r, UndefinedLoadMessage);
        return;
    }
    const double R = std::sqrt(H * H + V * V);
    r.ResultantMagnitude = ToFloat(R);
    const double resultantX = V == 0 ? 0.0 : M / V;
    if (V == 0 || !(std::abs(resultantX) <= FLT_MAX)) {
        r.ResultantInclination = ToFloat(Pi / 2);
        AddMessage(r, NoVerticalLoadMessage);
        return;
    }
    r.ResultantDefined = true;
    r.ResultantX = ToFloat(resultantX);
    r.MidbaseEccentricity = ToFloat(double(r.ResultantX) - double(r.BaseSpan) / 2.0);
    r.MidbaseMoment = ToFloat(double(r.MidbaseEccentricity) * V);
    const double psi = -std::atan(H / V);
    r.ResultantInclination = ToFloat(psi);
    if (V < 0) {
        AddMessage(r, UpliftMessage);
        return;
    }
    // The load cases have said why; the wall cannot be shown to stand the earthquake.
    if (r.Loads.SeismicUndefined && f[LoadCaseCount] != 0)
        return;

    const ProjectedBase base = ProjectBase(g, psi, r);
    bool covered = false;
    for (int j = 1; j <= BaseSegmentCount; ++j)
        covered = covered || SegmentCovers(r, j);
    if (!covered) {
        AddMessage(r, NoProjectedBaseMessage);
        return;
    }
    const double Bp = base.Length;
    const double d = double(r.ResultantX) * std::cos(psi);
    r.ResultantLever = ToFloat(d);
    // Eccentricity of the resultant on the projected base, the one that places the pressure.
    const double e = d - Bp / 2.0;

    const LeverTable levers = SortLevers(r.Loads, psi);
    AnchorLeverSums sums;
    double kappa = 0.0;
    BasePressureCase pressureCase;
    double c = 0.0;
    double toeEnd = 0.0;
    double farEnd = 0.0;
    if (d >= Bp / 3.0 && d <= 2.0 * Bp / 3.0) {
        pressureCase = BasePressureCase::FullCompression;
        c = Bp;
        // Never negative in the middle third; the clamp only drops rounding at its edges.
        toeEnd = std::max(0.0, R / Bp * (1.0 - 6.0 * e / Bp));
        farEnd = std::max(0.0, R / Bp * (1.0 + 6.0 * e / Bp));
    } else if (d > 2.0 * Bp / 3.0) {
        pressureCase = BasePressureCase::RearTriangle;
        c = 1.5 * (Bp - 2.0 * e);
        // A resultant at or behind the rear end of the projected base overturns the wall.
        if (!(c > MinimumInterval))
            return;
        farEnd = 2.0 * R / c;
    } else {
        pressureCase = BasePressureCase::FrontTriangle;
        kappa = AnchorStiffnessRatio(p);
        const double lowest = levers.Rows > 0 ? levers.Lever[levers.Rows] : 0.0;
        const double floor = std::min(0.0, lowest) - Bp;
        int n = 0;
        for (;;) {
            sums = SumLevers(levers, n);
            const std::optional<double> solved
                = SolveCompressedLength(Bp, d, n > 0 ? kappa : 0.0, sums, floor);
            if (!solved) {
                AddMessage(r, PressureNotConvergedMessage);
                return;
            }
            c = *solved;
            if (n < levers.Rows && levers.Lever[n + 1] > c) {
                if (!AnchorsUsable(p, kappa)) {
                    AddMessage(r, p.BaseE > 0 ? AnchorStiffnessMessage : SoftBaseMessage);
                    return;
                }
                ++n;
                continue;
            }
            break;
        }
        // A resultant at or in front of the toe that the anchors do not hold overturns the wall.
        if (!(c > MinimumInterval))
            return;
        double carrying = c / 2.0;
        if (n > 0)
            carrying -= kappa * (sums.Sum / c - n);
        toeEnd = R / carrying;
        if (!(carrying > 0) || !(toeEnd <= FLT_MAX)) {
            AddMessage(r, NoCompressionMessage);
            return;
        }
        // Rows taken into tension while the zone was shorter may lie inside it once it has grown
        // (it does grow: the pull at the rear moves the reaction back). Such a balance holds
        // only with anchors pushing the base up, which they cannot.
        for (int i = 1; i <= n; ++i) {
            if (levers.Lever[i] < c - AnchorSlackTolerance * Bp) {
                AddMessage(r, AnchorCompressionMessage);
                return;
            }
        }
        r.AnchorActiveCount = static_cast<int16_t>(n);
        for (int i = 1; i <= n; ++i) {
            AnchorRow& anchor = r.Loads.Anchor[levers.Row[i]];
            const double lever = AnchorLeverOf(anchor, psi);
            const double pull = kappa * toeEnd * (lever - c) / c;
            anchor.Along = ToFloat(pull * std::cos(psi + double(anchor.Face)));
            anchor.Across = ToFloat(pull * std::sin(psi + double(anchor.Face)));
        }
        if (n > 0) {
            const double total = toeEnd * kappa * (sums.Sum / c - n);
            r.AnchorForceTotal = ToFloat(total);
            r.AnchorForceVertical = ToFloat(total * std::cos(psi));
            // The pull acts along the resultant: towards the toe when the resultant leans so.
            r.AnchorForceHorizontal = ToFloat(-total * std::sin(psi));
            r.AnchorForceMoment = ToFloat(toeEnd * kappa * (sums.SqSum / c - sums.Sum));
        }
    }
    StoreLevers(r, levers, sums);

    r.BaseSolved = true;
    r.PressureCase = pressureCase;
    r.CompressedLength = ToFloat(c);
    r.PressureToeEnd = ToFloat(toeEnd);
    r.PressureFarEnd = ToFloat(farEnd);

    const PressureZone zone = ZoneOf(pressureCase, Bp, c, toeEnd, farEnd);
    const std::array<PlanePoint, 5>& pts = g.Points;
    const ProjectionAcross across(psi);
    std::array<double, 5> u {};
    for (int j = 1; j <= BaseSegmentCount; ++j)
        u[j] = across.Of(pts[j]);
    for (int j = 1; j <= BaseSegmentCount; ++j) {
        if (!SegmentCovers(r, j)) {
            ClearSegment(r, j);
            continue;
        }
        // The part of the segment inside the compressed zone; beyond it nothing bears.
        double a = std::max(base.StartU[j], zone.Start);
        double b = std::min(base.EndU[j], zone.End);
        if (a > b)
            a = b = base.EndU[j] <= zone.Start ? base.EndU[j] : base.StartU[j];
        r.ContactStart[j] = PointAt(pts, u, base.Angle[j], psi, j, a);
        r.ContactEnd[j] = PointAt(pts, u, base.Angle[j], psi, j, b);
        const SegmentEvaluation s = EvaluateBaseSegment(
            p, g.FrictionTan, base.Angle[j], zone.At(a), zone.At(b), psi, b - a);
        r.SegmentPressureStart[j] = ToFloat(s.PressureStart);
        r.SegmentPressureEnd[j] = ToFloat(s.PressureEnd);
        r.SegmentBearingSafety[j] = ToFloat(s.BearingSafety);
        r.SegmentShear[j] = ToFloat(s.Shear);
        r.SegmentResistance[j] = ToFloat(s.Resistance);
        r.SegmentSlidingSafety[j] = ToFloat(s.SlidingSafety);
        r.SegmentForce[j] = ToFloat(s.Force);
    }
    SearchBaseSegments(r);
    ComputeAnchorResults(p, r);

    const double x = (M + double(r.AnchorForceMoment)) / (V + double(r.AnchorForceVertical));
    r.Stable = x >= -ToeEdgeTolerance && x <= double(r.BaseSpan);
    // The anchors hold the wall back: their moment resists.
    AddMomentPart(r, r.AnchorForceMoment);
    r.OverturningSafety = ToFloat(Safety(r.ResistingMoment, r.OverturningMoment));
}

} // namespace

StabilityResults ComputeStability(const Project& project, const LoadFactors& f)
{
    StabilityResults r;
    r.Loads = ComputeLoadCases(project, f);
    for (const std::string& m : r.Loads.Messages)
        AddMessage(r, m);
    const SettledProject settled(project, r.Loads);
    SolveStability(*settled, UndersideGeometry(*settled), f, r);
    return r;
}

WallStabilityBasis::WallStabilityBasis(const Project& project)
    : loads_(project)
    , base_(UndersideGeometry(loads_.Record()))
{
}

StabilityResults ComputeStability(const WallStabilityBasis& basis, const LoadFactors& f)
{
    StabilityResults r;
    r.Loads = ComputeLoadCases(basis.Loads(), f);
    for (const std::string& m : r.Loads.Messages)
        AddMessage(r, m);
    SolveStability(basis.Loads().Record(), basis.Base(), f, r);
    return r;
}

std::vector<std::string> StabilityNotes(const Project& p, const StabilityResults& r)
{
    std::vector<std::string> notes;
    if (!r.Stable) {
        notes.emplace_back(NotStableNote);
        return notes;
    }
    if (r.BasePressureMin < 0)
        notes.emplace_back(BaseTensionNote);
    if (r.BearingSafetyMin > -UnitySafetyTolerance && r.BearingSafetyMin < 1)
        notes.emplace_back(BearingNote);
    if (r.SlidingSafetyMin > -UnitySafetyTolerance && r.SlidingSafetyMin < 1)
        notes.emplace_back(SlidingNote);
    if (AnchorRowsPlaced(p) > 0) {
        if (r.AnchorTensionMax != 0) {
            if (r.AnchorTensionSafety < 1)
                notes.emplace_back(AnchorTensionNote);
            if (r.AnchorShearSafety < 1)
                notes.emplace_back(AnchorShearNote);
        } else {
            notes.emplace_back(NoAnchorTensionNote);
        }
    }
    return notes;
}

} // namespace pendrake
