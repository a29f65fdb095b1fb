// The section forces: for each of the three design cuts, every load of the current combination
// that acts on the part beyond the cut, with the base pressure and anchor pull that hold it.
#include "analysis/SectionForces.h"

#include "analysis/EarthPressure.h"
#include "analysis/LoadCases.h"
#include "model/Units.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace pendrake {

namespace {

// Bar cover and diameter are stored in cm (Metric, SI) or inches (British), lengths in m or ft.
constexpr double CentimetresPerMetre = 100.0;
constexpr double InchesPerFoot = 12.0;

// Westergaard's hydrodynamic pressure on front water hf deep is 7/8 kh gw sqrt(hf z) at depth
// z. Over the top h of it the force is 7/12 kh gw sqrt(hf) h^(3/2), acting 0.4 h above the
// bottom of that stretch; with h = hf it is the force of the whole front water.
constexpr double WestergaardForce = 7.0 / 12.0;
constexpr double WestergaardLevel = 0.4;

// Positions of line loads are typed to two decimals: a load meant to stand on the leaning back
// face may lie half a hundredth of the length unit behind it.
constexpr double FaceTolerance = 0.005;

// A segment whose projection across the resultant is no longer than this (length unit) carries
// no base pressure; the stability analysis leaves it out by the same measure.
constexpr double MinimumInterval = 1e-5;

constexpr int DeadCase = 1;
constexpr int SoilCase = 3;
constexpr int WaterCase = 4;
constexpr int SeismicCase = 7;

using Source = SectionTermSource;

// What a force is, for the trace: its source, index and load case.
struct Tag {
    Source What;
    int Index = 0;
    int Case = 0;
};

// A load case 1..7, or 0 for a type of no known case.
int CaseOf(int type)
{
    return type >= 1 && type <= LoadCaseCount ? type : 0;
}

// A force along a line of known direction, through the point (X, Y).
struct LocatedForce {
    double Force = 0;
    double X = 0;
    double Y = 0;
};

// The stretch of the projected base a reaction covers, for the trace.
struct Stretch {
    double From = 0;
    double To = 0;
    double PressureFrom = 0;
    double PressureTo = 0;
};

// Sums of the forces on the part beyond one cut, in double precision. The tags say what each
// force is; only a TracedCut keeps them, so the plain sums cost nothing for them.
struct Cut {
    double Xc = 0;
    double Yc = 0;
    bool Vertical = false;
    double Moment = 0;
    double Shear = 0;
    double Normal = 0;

    // A force with horizontal component h (towards the backfill) and downward component v,
    // acting through (x, y).
    void Add(double h, double v, double x, double y, Tag tag)
    {
        AddMomentAndNormal(h, v, x, y, tag);
        Shear += Vertical ? -v : h;
    }
    void Add(const PointForce& f, Tag tag) { Add(f.Horizontal, f.Vertical, f.X, f.Y, tag); }
    // For the toe, whose shear is formed at its critical section instead.
    void AddMomentAndNormal(double h, double v, double x, double y, Tag)
    {
        Moment += v * (x - Xc) + h * (y - Yc);
        Normal += Vertical ? h : v;
    }
    // The toe's shear at its critical section: the part in front of it of the force just added.
    void AddToeShear(double shear) { Shear += shear; }
    // A force that reaches the toe's shear only.
    void AddShearOnly(double shear, Tag) { Shear += shear; }
    // Where a base reaction or an uplift leaves its stretch for the trace: nowhere.
    Stretch* StretchOf(Stretch&) { return nullptr; }
    void Describe(const LocatedForce&, const Stretch&) { }
};

// A cut that lists each force with what it adds to the sums.
struct TracedCut : Cut {
    std::vector<SectionTerm>* Terms = nullptr;

    void Add(double h, double v, double x, double y, Tag tag)
    {
        Cut::Add(h, v, x, y, tag);
        List(h, v, x, y, tag, Vertical ? -v : h);
    }
    void Add(const PointForce& f, Tag tag) { Add(f.Horizontal, f.Vertical, f.X, f.Y, tag); }
    void AddMomentAndNormal(double h, double v, double x, double y, Tag tag)
    {
        Cut::AddMomentAndNormal(h, v, x, y, tag);
        List(h, v, x, y, tag, 0);
    }
    void AddToeShear(double shear)
    {
        Cut::AddToeShear(shear);
        Terms->back().Shear = shear;
    }
    void AddShearOnly(double shear, Tag tag)
    {
        Cut::AddShearOnly(shear, tag);
        Terms->push_back(
            { tag.What, int16_t(tag.Index), int16_t(tag.Case), 0, 0, 0, 0, 0, shear, 0 });
    }
    Stretch* StretchOf(Stretch& s) { return &s; }
    // A base reaction's or an uplift's stretch and force, on the term just listed.
    void Describe(const LocatedForce& force, const Stretch& stretch)
    {
        SectionTerm& t = Terms->back();
        t.From = stretch.From;
        t.To = stretch.To;
        t.PressureFrom = stretch.PressureFrom;
        t.PressureTo = stretch.PressureTo;
        t.Force = force.Force;
    }

private:
    void List(double h, double v, double x, double y, Tag tag, double shear)
    {
        Terms->push_back({ tag.What, int16_t(tag.Index), int16_t(tag.Case), h, v, x, y,
            v * (x - Xc) + h * (y - Yc), shear, Vertical ? h : v });
    }
};

using Area = PlaneArea;

// The part above level `cut` of the rectangle x0..x1, y0..y1.
Area RectangleAbove(double x0, double x1, double y0, double y1, double cut)
{
    const double lo = std::max(y0, cut);
    const double height = y1 - lo;
    const double width = x1 - x0;
    if (!(height > 0) || !(width > 0))
        return {};
    return { width * height, (x0 + x1) / 2, (lo + y1) / 2 };
}

// The part above level `cut` of the concrete over a sloping underside segment that rises by
// `run` horizontally from (x0, y0) to level y1, bounded by the vertical through x0: at level y
// it is run (y - y0)/(y1 - y0) wide, a trapezoid once cut.
Area WedgeAbove(double x0, double run, double y0, double y1, double cut)
{
    const double rise = y1 - y0;
    if (!(rise > 0) || !(run > 0))
        return {};
    const double lo = std::clamp(cut, y0, y1);
    const double height = y1 - lo;
    if (!(height > 0))
        return {};
    const double a = run * (lo - y0) / rise; // width at the cut
    const double b = run; // width at the top
    return { height * (a + b) / 2, x0 + (a * a + a * b + b * b) / (3 * (a + b)),
        lo + height * (a + 2 * b) / (3 * (a + b)) };
}

// The concrete below the upper wall that lies above level `cut`: the rear step slab, the body
// over the flat bottom, over the lower slope, over the lower slope and flat segment, and over
// the rear slope (the pieces 3, 4, 5, 12 and 13 of the dead load, cut).
std::array<Area, 5> BodyConcreteAbove(const Project& p, double cut)
{
    const double x0 = p.ToeWidth;
    const double x1 = x0 + double(p.BottomWidth);
    const double x3 = x1 + double(p.LowerSlopeWidth) + double(p.LowerFlatWidth);
    const double lowH = p.LowerSlopeHeight;
    const double body = lowH + double(p.RearSlopeHeight);
    const double rearEnd
        = x0 + double(p.TopWidth) + double(p.UpperBackOffset) + double(p.ShelfWidth);
    return {
        RectangleAbove(x0, rearEnd, body, ShelfLevel(p), cut),
        RectangleAbove(x0, x1, 0, body, cut),
        WedgeAbove(x1, p.LowerSlopeWidth, 0, lowH, cut),
        RectangleAbove(x1, x3, lowH, body, cut),
        WedgeAbove(x3, p.RearSlopeWidth, lowH, body, cut),
    };
}

// The underside as the stability analysis sees it across the resultant: the points, their
// projections, and for each segment 1..4 the projected stretch it covers once the parts hidden
// behind earlier segments are cut away.
struct Underside {
    std::array<PlanePoint, 5> Point {};
    std::array<double, 5> U {};
    std::array<double, 5> Start {};
    std::array<double, 5> End {};
};

Underside ProjectUnderside(const Project& p, double psi)
{
    Underside b;
    b.Point = UndersidePoints(p);
    const double cosPsi = std::cos(psi);
    const double sinPsi = std::sin(psi);
    for (int j = 0; j <= BaseSegmentCount; ++j)
        b.U[j] = b.Point[j].X * cosPsi - b.Point[j].Y * sinPsi;
    double reached = b.U[0];
    for (int j = 1; j <= BaseSegmentCount; ++j) {
        b.Start[j] = std::max(b.U[j - 1], reached);
        b.End[j] = std::max(b.U[j], b.Start[j]);
        reached = b.End[j];
    }
    return b;
}

PlanePoint PointOnSegment(const Underside& b, int j, double tau)
{
    const PlanePoint& a = b.Point[j - 1];
    const PlanePoint& e = b.Point[j];
    return { a.X + tau * (e.X - a.X), a.Y + tau * (e.Y - a.Y) };
}

// Parameter range (0 at the segment's start point, 1 at its end) of the part of segment j that
// lies strictly above level `cut`; empty when first >= second.
std::pair<double, double> PartAbove(const Underside& b, int j, double cut)
{
    const double y0 = b.Point[j - 1].Y;
    const double y1 = b.Point[j].Y;
    if (y1 == y0)
        return y0 > cut ? std::pair { 0.0, 1.0 } : std::pair { 0.0, 0.0 };
    const double t = (cut - y0) / (y1 - y0);
    if (y1 > y0)
        return { std::clamp(t, 0.0, 1.0), 1.0 };
    return { 0.0, std::clamp(t, 0.0, 1.0) };
}

// Stretch of the projected base over which the solved pressure acts.
std::pair<double, double> CompressedZone(const StabilityResults& s)
{
    const double length = s.EffectiveBaseLength;
    const double compressed = s.CompressedLength;
    switch (s.PressureCase) {
    case BasePressureCase::FullCompression: return { 0.0, length };
    case BasePressureCase::RearTriangle: return { length - compressed, length };
    case BasePressureCase::FrontTriangle: return { 0.0, compressed };
    case BasePressureCase::None: break;
    }
    return { 0.0, 0.0 };
}

// Base reaction on the part tau0..tau1 of segment j: the projected pressure integrated over the
// projected stretch of that part. It acts along the resultant's line, against the loads: its
// components normal to the segment and along it are the segment pressure and SegmentForce.
LocatedForce BaseReaction(const StabilityResults& s, const Underside& b, int j, double tau0,
    double tau1, Stretch* stretch = nullptr)
{
    const double du = b.U[j] - b.U[j - 1];
    if (!(du > 0) || !(b.End[j] - b.Start[j] > MinimumInterval) || !(tau1 > tau0))
        return {};
    const auto [zoneStart, zoneEnd] = CompressedZone(s);
    const double from = std::max({ b.U[j - 1] + tau0 * du, b.Start[j], zoneStart });
    const double to = std::min({ b.U[j - 1] + tau1 * du, b.End[j], zoneEnd });
    if (!(to > from))
        return {};
    // Linear inside the compressed zone, so the trapezoid is exact.
    const double pFrom = ProjectedPressure(s, from);
    const double pTo = ProjectedPressure(s, to);
    const double sum = pFrom + pTo;
    const double u
        = sum != 0 ? from + (to - from) * (pFrom + 2 * pTo) / (3 * sum) : (from + to) / 2;
    const PlanePoint at = PointOnSegment(b, j, (u - b.U[j - 1]) / du);
    if (stretch)
        *stretch = { from, to, pFrom, pTo };
    return { sum / 2 * (to - from), at.X, at.Y };
}

// Upward back water pressure on the part tau0..tau1 of segment j, acting on its horizontal
// projection: hydrostatic below the water table, as the ordinates of the underside points.
LocatedForce Uplift(const Project& p, const LoadFactors& f, const Underside& b, int j, double tau0,
    double tau1, Stretch* stretch = nullptr)
{
    if (!(tau1 > tau0))
        return {};
    const double table = WallTopLevel(p) - BackWaterTableDepth(p);
    const double unit = double(p.WaterUnitWeight) * f[WaterCase];
    PlanePoint a = PointOnSegment(b, j, tau0);
    PlanePoint e = PointOnSegment(b, j, tau1);
    double headA = table - a.Y;
    double headE = table - e.Y;
    if (!(headA > 0) && !(headE > 0))
        return {};
    // Only the wetted part, up to where the segment meets the water table.
    if (headA < 0) {
        const double t = headA / (headA - headE);
        a = { a.X + t * (e.X - a.X), table };
        headA = 0;
    } else if (headE < 0) {
        const double t = headA / (headA - headE);
        e = { a.X + t * (e.X - a.X), table };
        headE = 0;
    }
    const double pa = unit * headA;
    const double pe = unit * headE;
    const double width = e.X - a.X;
    const double sum = pa + pe;
    const double x = sum != 0 ? a.X + width * (pa + 2 * pe) / (3 * sum) : (a.X + e.X) / 2;
    if (stretch)
        *stretch = { a.X, e.X, pa, pe };
    return { sum / 2 * width, x, (a.Y + e.Y) / 2 };
}

// x of the leaning upper back face at `level` above the shelf.
double BackFaceX(const Project& p, double level)
{
    const double H = p.UpperBackHeight;
    const double fraction = H > 0 ? std::clamp(1.0 - level / H, 0.0, 1.0) : 1.0;
    return double(p.ToeWidth) + double(p.TopWidth) + double(p.UpperBackOffset) * fraction;
}

// A line load stands on the upper wall when it lies on or inside the wall's outline above the
// shelf (or over the wall top); one behind the back face stands on the backfill, which carries
// it to the shelf, not to the upper wall.
bool OnUpperWall(const Project& p, double x, double y)
{
    const double yShelf = ShelfLevel(p);
    if (y < yShelf || x < double(p.ToeWidth))
        return false;
    return x <= BackFaceX(p, y - yShelf) + FaceTolerance;
}

// Westergaard force of the front water above level `cut`, towards the toe, and its level.
LocatedForce FrontWaterSurge(const Project& p, const LoadFactors& f, double cut)
{
    const double surface = WallTopLevel(p) - FrontWaterTableDepth(p);
    const double depth = surface; // the front water reaches down to the toe's underside
    const double h = surface - cut;
    if (!(depth > 0) || !(h > 0))
        return {};
    const double force = WestergaardForce * double(p.WaterUnitWeight) * double(p.SeismicCoef)
        * std::sqrt(depth) * h * std::sqrt(h) * f[SeismicCase];
    return { force, 0, cut + WestergaardLevel * h };
}

// Hydrostatic water force against a face from the water surface down to level `cut`, and its
// level (a third of the way up).
LocatedForce WaterBelow(const Project& p, const LoadFactors& f, double surface, double cut)
{
    const double h = surface - cut;
    if (!(h > 0))
        return {};
    const double force = double(p.WaterUnitWeight) * h * h / 2 * f[WaterCase];
    return { force, 0, cut + h / 3 };
}

template <class C>
void AddLineLoads(const Project& p, const LoadFactors& factors, C& upper, C& body, C& toe)
{
    const int count = std::clamp<int>(p.LineLoadCount, 0, MaxLineLoads);
    for (int slot = 1; slot <= count; ++slot) {
        const PointForce f = LineLoadForce(p, factors, slot);
        const Tag tag { Source::LineLoad, slot, CaseOf(p.LineLoads[slot].Type) };
        if (OnUpperWall(p, f.X, f.Y))
            upper.Add(f, tag);
        if (f.Y >= double(p.ToeHeight) && f.X >= double(p.ToeWidth))
            body.Add(f, tag);
        // Measured from the toe face, where the cut is.
        if (f.X < double(p.ToeWidth))
            toe.Add(f, tag);
    }
}

// The soil above the leaning upper back face and the surcharge on it rest on the face: the
// Coulomb thrust on the face, with its vertical component, is how they reach the body. Counted
// once more as weights they would load section 2 twice (about 1.7 T/m on the new project).
// True when the face carries its soil (a face with a thrust on it).
bool FaceCarriesItsSoil(const Project& p, const SectionForceResults& r)
{
    return p.UpperBackHeight > 0 && r.UpperFaceKa > 0 && p.UpperBackOffset > 0;
}

// The surcharge beyond the leaning face: over the shelf and the soil behind it.
PointForce SurchargeBeyondFace(const Project& p, const LoadFactors& f)
{
    const double L = SoilLength(p);
    const double lean = p.UpperBackOffset;
    const double beyond = std::max(0.0, L - lean);
    return { 0, double(p.Surcharge) * beyond * f[p.SurchargeType],
        double(p.ToeWidth) + double(p.TopWidth) + lean + beyond / 2, WallTopLevel(p) };
}

template <class C>
void AddDeadLoads(const Project& p, const LoadFactors& f, const LoadCaseResults& loads,
    const CutConstants& wall, bool faceCarriesItsSoil, C& upper, C& body)
{
    for (int k : { 1, 2 }) {
        const Tag tag { Source::Piece, k, DeadCase };
        upper.Add(0, loads.DeadForce[k], loads.DeadArm[k], loads.SeismicLevel[k], tag);
        body.Add(0, loads.DeadForce[k], loads.DeadArm[k], loads.SeismicLevel[k], tag);
    }
    // Pieces 8 and 10 are the soil over the face, dry and submerged; piece 7, the sloped
    // backfill above the wall top, stands over the face for its first `lean` of run (a triangle
    // from the face top: the share (lean / L)², its centroid 2 lean / 3 from the face top).
    for (int k = 7; k <= 11; ++k) {
        double w = loads.DeadForce[k];
        double moment = w * double(loads.DeadArm[k]);
        if (faceCarriesItsSoil && (k == 8 || k == 10))
            continue;
        if (faceCarriesItsSoil && k == 7 && w != 0) {
            const double lean = p.UpperBackOffset;
            const double share = w * std::pow(lean / SoilLength(p), 2);
            const double faceTop = double(p.ToeWidth) + double(p.TopWidth);
            moment -= share * (faceTop + 2 * lean / 3);
            w -= share;
        }
        if (w != 0)
            body.Add(0, w, moment / w, loads.SeismicLevel[k], { Source::Piece, k, DeadCase });
    }
    const double unitWeight = double(p.ConcUnitWeight) * f[DeadCase];
    int part = 0;
    for (const Area& a : wall.BodyConcrete)
        body.Add(0, a.A * unitWeight, a.X, a.Y, { Source::Concrete, ++part, DeadCase });
}

// Lean of the upper back face from the vertical, radians.
double UpperFaceLean(const Project& p)
{
    return std::atan2(double(p.UpperBackOffset), double(p.UpperBackHeight));
}

// Coulomb pressure of the backfill and the surcharge on the leaning upper back face (concrete
// to earth friction), on the upper wall and on the body; the Mononobe-Okabe increment over it
// on the upper wall.
template <class C>
void AddUpperFaceEarthPressure(const Project& p, const LoadFactors& f, const LoadCaseResults& loads,
    const FaceCoefficients& face, SectionForceResults& r, C& upper, C& body)
{
    r.UpperFaceKa = 0;
    r.UpperFaceKaeIncrement = 0;
    const double H = p.UpperBackHeight;
    if (!(H > 0))
        return;
    const double delta = Radians(p.DeltaConcrete);
    const double beta = UpperFaceLean(p);
    const double i = BackfillAngle(p);
    const double ka = face.Ka;
    r.UpperFaceKa = static_cast<float>(ka);
    if (!(ka > 0))
        return;

    const double yShelf = ShelfLevel(p);
    const double friction = std::cos(delta + beta);
    const double tilt = std::tan(delta + beta); // vertical companion per horizontal force
    const double f3 = f[SoilCase];
    const double gs = p.FillUnitWeight;
    const double hd = DryDepth(p);
    const double hw = SubmergedHeight(p);

    const double p0
        = double(p.Surcharge) * ka * std::cos(beta) / std::cos(i - beta) * friction * f3;
    const double p1 = p0 + hd * ka * gs * friction * f3;
    const double f1 = (p0 + p1) / 2 * hd;
    const double level1 = p0 + p1 != 0 ? H - hd * (p0 + 2 * p1) / (3 * (p0 + p1)) : H - hd / 2;
    double f2 = 0;
    double level2 = 0;
    if (BackfillWet(p)) {
        const double p2
            = p1 + hw * ka * (double(p.FillSatDensity) - double(p.WaterUnitWeight)) * friction * f3;
        f2 = (p1 + p2) / 2 * hw;
        level2 = p1 + p2 != 0 ? hw * (2 * p1 + p2) / (3 * (p1 + p2)) : hw / 2;
    }
    int stretch = 0;
    for (const auto& [force, level] : { std::pair { f1, level1 }, std::pair { f2, level2 } }) {
        const PointForce f { -force, force * tilt, BackFaceX(p, level), yShelf + level };
        const Tag tag { Source::FaceEarthPressure, ++stretch, SoilCase };
        upper.Add(f, tag);
        body.Add(f, tag);
    }

    // No slope gives a seismic pressure: the stability lets no combination with the earthquake
    // through.
    if (loads.SeismicUndefined)
        return;
    // The seismic increment is an inverted triangle over the face, largest at the top; below
    // the water table the saturated soil adds its own.
    const double f7 = f[SeismicCase];
    const double increment = std::max(0.0, face.Kae - ka);
    r.UpperFaceKaeIncrement = static_cast<float>(increment);
    const double fe1 = increment * H * H / 2 * gs * friction * f7;
    upper.Add(-fe1, fe1 * tilt, BackFaceX(p, 2 * H / 3), yShelf + 2 * H / 3,
        { Source::FaceSeismicIncrement, 1, SeismicCase });
    if (BackfillWet(p)) {
        const double fe2 = increment * hw * hw / 2
            * (double(p.FillSatDensity) - double(p.FillUnitWeight)) * friction * f7;
        upper.Add(-fe2, fe2 * tilt, BackFaceX(p, 2 * hw / 3), yShelf + 2 * hw / 3,
            { Source::FaceSeismicIncrement, 2, SeismicCase });
    }
}

template <class C>
void AddSeismicForces(const Project& p, const LoadFactors& f, const LoadCaseResults& loads,
    const CutConstants& wall, C& upper, C& body)
{
    for (int k : { 1, 2 }) {
        const Tag tag { Source::PieceInertia, k, SeismicCase };
        upper.Add(-double(loads.SeismicForce[k]), 0, loads.DeadArm[k], loads.SeismicLevel[k], tag);
        body.Add(-double(loads.SeismicForce[k]), 0, loads.DeadArm[k], loads.SeismicLevel[k], tag);
    }
    for (int k = 7; k <= 11; ++k)
        body.Add(-double(loads.SeismicForce[k]), 0, loads.DeadArm[k], loads.SeismicLevel[k],
            { Source::PieceInertia, k, SeismicCase });
    // Concrete above the cut: in the shear, at its centroid's height above the cut.
    const double perArea = double(p.ConcUnitWeight) * double(p.SeismicCoef) * f[SeismicCase];
    int part = 0;
    for (const Area& a : wall.BodyConcrete)
        body.Add(-a.A * perArea, 0, a.X, a.Y, { Source::ConcreteInertia, ++part, SeismicCase });

    // Soil increments on the virtual back with the forces the stability analysis sums, and
    // their wall friction.
    const auto seismic = SeismicForces(p, loads);
    // Entries of that list: F14, F15 and the vertical component F18.
    constexpr int SoilIncrement = 13;
    constexpr int SubmergedIncrement = 14;
    constexpr int IncrementFriction = 16;
    for (const auto& [k, term] : { std::pair { SoilIncrement, 14 },
             std::pair { SubmergedIncrement, 15 }, std::pair { IncrementFriction, 18 } })
        body.Add(seismic[k], { Source::SeismicSoil, term, SeismicCase });

    for (C* cut : { &upper, &body }) {
        const LocatedForce surge = FrontWaterSurge(p, f, cut->Yc);
        cut->Add(-surge.Force, 0, double(p.ToeWidth), surge.Y,
            { Source::FrontWaterSurge, 0, SeismicCase });
    }
}

template <class C>
void AddWater(
    const Project& p, const LoadFactors& f, const LoadCaseResults& loads, C& upper, C& body)
{
    const double yTop = WallTopLevel(p);
    const double backTable = yTop - BackWaterTableDepth(p);
    const double frontSurface = yTop - FrontWaterTableDepth(p);
    const double xBack = RearX(p);
    for (C* cut : { &upper, &body }) {
        const LocatedForce back = WaterBelow(p, f, backTable, cut->Yc);
        cut->Add(-back.Force, 0, xBack, back.Y, { Source::BackWater, 0, WaterCase });
        const LocatedForce front = WaterBelow(p, f, frontSurface, cut->Yc);
        cut->Add(front.Force, 0, double(p.ToeWidth), front.Y, { Source::FrontWater, 0, WaterCase });
    }

    // Water resting on the leaning back face below the water table: a triangle of pressure
    // growing to the shelf ordinate at the face's foot.
    const double H = p.UpperBackHeight;
    if (BackfillWet(p) && H > 0) {
        const double run = double(p.UpperBackOffset) * SubmergedHeight(p) / H;
        const double weight = run * double(loads.WaterPressure[3]) / 2;
        upper.Add(0, weight, BackFaceX(p, 0) - run / 3, ShelfLevel(p),
            { Source::FaceWater, 0, WaterCase });
    }
    // The body carries the water over the shelf and the leaning face, as the stability does.
    constexpr int ShelfWater = 2;
    body.Add(WaterForces(p, loads)[ShelfWater], { Source::ShelfWater, 0, WaterCase });
}

// Base pressure, uplift and anchor pull on the underside above the body's cut; without a
// stable run s, the uplift only.
template <class C>
void AddUndersideAboveCut(
    const Project& p, const LoadFactors& f, const StabilityResults* s, const Underside& b, C& body)
{
    const double cut = p.ToeHeight;
    // The reactions act along the resultant's line: one direction for every segment of the run.
    const double psi = s ? double(s->ResultantInclination) : 0.0;
    const double sinPsi = std::sin(psi);
    const double cosPsi = std::cos(psi);
    for (int j = 1; j <= BaseSegmentCount; ++j) {
        const auto [tau0, tau1] = PartAbove(b, j, cut);
        if (s) {
            Stretch stretch;
            const LocatedForce reaction
                = BaseReaction(*s, b, j, tau0, tau1, body.StretchOf(stretch));
            body.Add(reaction.Force * sinPsi, -reaction.Force * cosPsi, reaction.X, reaction.Y,
                { Source::BaseReaction, j });
            body.Describe(reaction, stretch);
        }
        Stretch wetted;
        const LocatedForce uplift = Uplift(p, f, b, j, tau0, tau1, body.StretchOf(wetted));
        body.Add(0, -uplift.Force, uplift.X, uplift.Y, { Source::Uplift, j, WaterCase });
        body.Describe(uplift, wetted);
    }
    if (!s)
        return;
    // Anchor rows whose heads lie above the cut, as the stability analysis places them.
    for (int row = 1; row <= std::clamp<int>(s->Loads.AnchorRowCount, 0, MaxAnchorRows); ++row) {
        const AnchorRow& a = s->Loads.Anchor[row];
        if (!(double(a.Y) > cut))
            continue;
        const double along = a.Along;
        const double across = a.Across;
        const double face = a.Face;
        body.Add(along * std::sin(face) - across * std::cos(face),
            along * std::cos(face) + across * std::sin(face), a.X, a.Y,
            { Source::AnchorPull, row });
    }
}

// The toe's loads and, for a stable run s, the base pressure under it; toeShearDepth receives
// the distance of the critical shear section from the face.
template <class C>
void AddToe(const Project& p, const LoadCaseResults& loads, const StabilityResults* s,
    const Underside& b, float toeBarDia, float& toeShearDepth, C& toe)
{
    const double width = p.ToeWidth;
    const double perLength = p.UnitSystem == British ? InchesPerFoot : CentimetresPerMetre;
    // Effective depth to the bars along the underside; a cover deeper than the toe leaves none.
    const double depth = std::max(
        0.0, double(p.ToeHeight) - (double(p.ConcCover) + double(toeBarDia)) / perLength);
    toeShearDepth = static_cast<float>(depth);
    if (!(width > 0))
        return;
    // Loads within the effective depth of the face go straight into it, not through the shear.
    const double shearLength = std::max(0.0, width - depth);
    const double level = toe.Yc;

    const double weight = loads.DeadForce[6];
    toe.AddMomentAndNormal(0, weight, width / 2, level, { Source::Piece, 6, DeadCase });
    toe.AddToeShear(-(weight * shearLength / width));

    const double standing = loads.WaterPressure[6]; // front water on the toe
    toe.AddMomentAndNormal(
        0, standing * width, width / 2, level, { Source::ToeFrontWater, 6, WaterCase });
    toe.AddToeShear(-(standing * shearLength));

    const double uplift = loads.WaterPressure[4]; // back water under the flat bottom
    toe.AddMomentAndNormal(
        0, -uplift * width, width / 2, level, { Source::ToeUplift, 4, WaterCase });
    toe.AddToeShear(uplift * shearLength);

    // Base pressure under the toe: its part normal to the flat bottom.
    const double bottomEnd = b.Point[1].X;
    if (s && bottomEnd > 0) {
        const double cosPsi = std::cos(double(s->ResultantInclination));
        Stretch stretch;
        Stretch* traced = toe.StretchOf(stretch);
        const LocatedForce under
            = BaseReaction(*s, b, 1, 0.0, std::min(1.0, width / bottomEnd), traced);
        toe.AddMomentAndNormal(
            0, -under.Force * cosPsi, under.X, level, { Source::BaseReaction, 1 });
        toe.Describe(under, stretch);
        stretch = {};
        const LocatedForce front
            = BaseReaction(*s, b, 1, 0.0, std::min(1.0, shearLength / bottomEnd), traced);
        toe.AddShearOnly(front.Force * cosPsi, { Source::ToeShearReaction, 1 });
        toe.Describe(front, stretch);
    }
}

// The three cuts of the settled record p.
template <class C> struct Cuts {
    C Upper;
    C Body;
    C Toe;

    Cuts(const Project& p, double w2)
    {
        Upper.Xc = double(p.ToeWidth) + (double(p.TopWidth) + double(p.UpperBackOffset)) / 2;
        Upper.Yc = ShelfLevel(p);
        Body.Xc = double(p.ToeWidth) + w2 / 2;
        Body.Yc = double(p.ToeHeight);
        Toe.Xc = double(p.ToeWidth);
        Toe.Yc = double(p.ToeHeight) / 2;
        Toe.Vertical = true;
    }

    void Store(SectionForceResults& r) const
    {
        int section = 1;
        for (const C* cut : { &Upper, &Body, &Toe }) {
            r.SectionMoment[section] = static_cast<float>(cut->Moment);
            r.SectionShear[section] = static_cast<float>(cut->Shear);
            r.SectionNormal[section] = static_cast<float>(cut->Normal);
            ++section;
        }
    }
};

// Cuts that list their forces in the trace.
Cuts<TracedCut> TracedCuts(const Project& p, double w2, SectionForceTrace& trace)
{
    Cuts<TracedCut> c(p, w2);
    int section = 1;
    for (TracedCut* cut : { &c.Upper, &c.Body, &c.Toe }) {
        trace.Terms[section].clear();
        cut->Terms = &trace.Terms[section];
        trace.Centre[section] = { cut->Xc, cut->Yc };
        ++section;
    }
    trace.BodyCutWidth = w2;
    return c;
}

// Every force beyond the cuts in the order the sums take them: the loads of the run, then,
// for a stable run s, the base reaction and anchor pull among the underside's forces.
template <class C>
void SumCuts(const Project& p, const LoadFactors& f, const LoadCaseResults& loads,
    const CutConstants& wall, const StabilityResults* s, float toeBarDia, SectionForceResults& r,
    Cuts<C>& c)
{
    C& upper = c.Upper;
    C& body = c.Body;
    AddLineLoads(p, f, upper, body, c.Toe);
    AddUpperFaceEarthPressure(p, f, loads, wall.Face, r, upper, body);
    const bool faceCarriesItsSoil = FaceCarriesItsSoil(p, r);
    body.Add(faceCarriesItsSoil ? SurchargeBeyondFace(p, f) : SurchargeForce(p, f),
        { Source::Surcharge, 0, CaseOf(p.SurchargeType) });
    AddDeadLoads(p, f, loads, wall, faceCarriesItsSoil, upper, body);
    AddSeismicForces(p, f, loads, wall, upper, body);
    AddWater(p, f, loads, upper, body);
    const Underside b = ProjectUnderside(p, s ? double(s->ResultantInclination) : 0.0);
    AddUndersideAboveCut(p, f, s, b, body);
    AddToe(p, loads, s, b, toeBarDia, r.ToeShearDepth, c.Toe);
}

// The sums of a stable run r.Stability on the settled record p, listed in the trace when there
// is one.
void SumSettledSectionForces(const Project& p, const LoadFactors& f, const CutConstants& wall,
    float toeBarDia, SectionForceResults& r, SectionForceTrace* trace)
{
    const StabilityResults& s = r.Stability;
    const double w2 = BodyWidthAtToeTop(p);
    r.BodyCutWidth = static_cast<float>(w2);

    if (!trace) {
        Cuts<Cut> cuts(p, w2);
        SumCuts(p, f, s.Loads, wall, &s, toeBarDia, r, cuts);
        cuts.Store(r);
        return;
    }
    Cuts<TracedCut> cuts = TracedCuts(p, w2, *trace);
    SumCuts(p, f, s.Loads, wall, &s, toeBarDia, r, cuts);
    cuts.Store(r);
    trace->ToeShearDepth = r.ToeShearDepth;
    trace->FaceKa = r.UpperFaceKa;
    trace->FaceKaeIncrement = r.UpperFaceKaeIncrement;
    trace->ResultantInclination = s.ResultantInclination;
}

} // namespace

FaceCoefficients UpperFaceCoefficients(const Project& p, bool seismicUndefined)
{
    FaceCoefficients c;
    if (!(double(p.UpperBackHeight) > 0))
        return c;
    const double phi = Radians(p.FillPhi);
    const double delta = Radians(p.DeltaConcrete);
    const double beta = UpperFaceLean(p);
    const double i = BackfillAngle(p);
    c.Ka = CoulombKa(phi, delta, beta, i);
    if (c.Ka > 0 && !seismicUndefined)
        c.Kae = MononobeOkabeKae(phi, delta, beta, i, std::atan(double(p.SeismicCoef)));
    return c;
}

CutConstants CutConstantsOf(const Project& p, bool seismicUndefined)
{
    CutConstants c;
    c.Face = UpperFaceCoefficients(p, seismicUndefined);
    c.BodyConcrete = BodyConcreteAbove(p, p.ToeHeight);
    return c;
}

WallSectionBasis::WallSectionBasis(const WallStabilityBasis& stability)
    : stability_(stability)
    , cuts_(CutConstantsOf(Loads().Record(), Loads().Unloaded().SeismicUndefined))
{
}

SectionForceResults ComputeSectionForces(
    const WallSectionBasis& basis, const LoadFactors& f, float toeBarDia)
{
    SectionForceResults r;
    r.Stability = ComputeStability(basis.Stability(), f);
    if (!r.Stability.Stable)
        return r;
    SumSettledSectionForces(basis.Loads().Record(), f, basis.Cuts(), toeBarDia, r, nullptr);
    return r;
}

SectionForceResults ComputeSectionForces(
    const Project& project, const LoadFactors& f, float toeBarDia, SectionForceTrace* trace)
{
    SectionForceResults r;
    if (trace)
        *trace = {};
    r.Stability = ComputeStability(project, f);
    if (!r.Stability.Stable)
        return r;
    SumSectionForces(project, f, toeBarDia, r, trace);
    return r;
}

void SumSectionForces(const Project& project, const LoadFactors& f, float toeBarDia,
    SectionForceResults& r, SectionForceTrace* trace)
{
    const SettledProject settled(project, r.Stability.Loads);
    const Project& p = *settled;
    SumSettledSectionForces(
        p, f, CutConstantsOf(p, r.Stability.Loads.SeismicUndefined), toeBarDia, r, trace);
}

float ToeSectionShear(
    const Project& project, const LoadFactors& f, const StabilityResults& s, float toeBarDia)
{
    if (!s.Stable)
        return 0;
    const SettledProject settled(project, s.Loads);
    const Project& p = *settled;
    // The line loads on the toe first, then the toe's own loads, as the full sum adds them: the
    // same double sum, so the same single-precision shear.
    Cuts<Cut> cuts(p, BodyWidthAtToeTop(p));
    AddLineLoads(p, f, cuts.Upper, cuts.Body, cuts.Toe);
    float depth = 0;
    AddToe(p, s.Loads, &s, ProjectUnderside(p, s.ResultantInclination), toeBarDia, depth, cuts.Toe);
    return static_cast<float>(cuts.Toe.Shear);
}

SectionForceTrace TraceSectionLoads(const Project& project, const LoadFactors& f, float toeBarDia)
{
    SectionForceTrace trace;
    const LoadCaseResults loads = ComputeLoadCases(project, f);
    const SettledProject settled(project, loads);
    const Project& p = *settled;
    SectionForceResults r;
    Cuts<TracedCut> cuts = TracedCuts(p, BodyWidthAtToeTop(p), trace);
    SumCuts(p, f, loads, CutConstantsOf(p, loads.SeismicUndefined), nullptr, toeBarDia, r, cuts);
    trace.ToeShearDepth = r.ToeShearDepth;
    trace.FaceKa = r.UpperFaceKa;
    trace.FaceKaeIncrement = r.UpperFaceKaeIncrement;
    return trace;
}

} // namespace pendrake
