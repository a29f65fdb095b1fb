// Active earth pressure of the backfill on the virtual back: the Coulomb and Mononobe-Okabe
// coefficients, the backfill slope checks, and the soil and seismic load cases built on them.
#include "analysis/EarthPressure.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pendrake {

namespace {

// The virtual back is the vertical plane through the rear end of the structure.
constexpr double VirtualBackLean = 0.0;

// Westergaard's hydrodynamic pressure on the front water: ordinate 7/8 gw kh hf at the bottom,
// force 7/12 gw kh hf^2 acting at 0.4 hf above it.
constexpr double WestergaardOrdinate = 7.0 / 8.0;
constexpr double WestergaardForce = 7.0 / 12.0;
constexpr double WestergaardLevel = 0.4;

// A cosine below this is an angle of 90 degrees entered in degrees and rounded to radians
// (cos(pi/2) comes out as 6e-17): the wedge formulas have no meaning there.
constexpr double RightAngleCosine = 1e-9;

// Slopes are stored to the next tenth: 1 : n with n a multiple of 0.1.
constexpr double SlopeTenths = 10.0;

void AddMessage(LoadCaseResults& r, std::string_view text)
{
    if (std::find(r.Messages.begin(), r.Messages.end(), text) == r.Messages.end())
        r.Messages.emplace_back(text);
}

// n for a slope no steeper than `limit` (radians, > 0), taken up to the next tenth. Should the
// single-precision n come out a hair steeper than the limit, it is raised by one unit in the
// last place: the next run must find the stored slope acceptable, not flatten it again.
float FlattenedSlope(double limit)
{
    const double n = -std::floor(-(1.0 / std::tan(limit)) * SlopeTenths) / SlopeTenths;
    float stored = static_cast<float>(n);
    if (std::atan(1.0 / double(stored)) > limit)
        stored = std::nextafter(stored, std::numeric_limits<float>::infinity());
    return stored;
}

double Theta(const Project& p)
{
    return std::atan(double(p.SeismicCoef));
}

void Propose(LoadCaseResults& r, float n)
{
    r.SlopeAdjusted = true;
    r.ProposedBackfillSlope = n;
}

void ClearSoilCase(LoadCaseResults& r)
{
    r.KaStatic = 0;
    r.SoilPressure.fill(0);
    r.SoilLevel.fill(0);
    r.SoilArm.fill(0);
    r.SoilPressureMax = 0;
}

void ClearSeismicSoilTerms(LoadCaseResults& r)
{
    r.KaeIncrement = 0;
    r.KaeIncrementCopy = 0;
    for (int k : { 14, 15, 18 }) {
        r.SeismicForce[k] = 0;
        r.SeismicLevel[k] = 0;
        r.SeismicArm[k] = 0;
    }
}

// Static check alone: the slope 1 : n may be no steeper than the friction angle. Returns the
// slope the run works with.
float CheckStaticSlope(const Project& p, float n, LoadCaseResults& r)
{
    const double phi = Radians(p.FillPhi);
    if (BackfillSlopeAngle(n) > phi) {
        AddMessage(r, StaticSlopeMessage);
        // Soil without friction cannot stand at any slope: only a level backfill remains.
        n = phi > 0 ? FlattenedSlope(phi) : 0.0f;
        Propose(r, n);
    }
    return n;
}

// Seismic check: the slope may be no steeper than phi - theta. When theta >= phi no slope
// satisfies it; the slope then stays as it is and the seismic soil pressure is undefined.
float CheckSeismicSlope(const Project& p, float n, LoadCaseResults& r)
{
    const double phi = Radians(p.FillPhi);
    const double theta = Theta(p);
    const double i = BackfillSlopeAngle(n);
    const double limit = phi - theta;
    r.SeismicUndefined = false;
    // theta > phi - i, written as the flattening below tests its own result
    if (i > limit) {
        if (limit <= 0) {
            r.SeismicUndefined = true;
            AddMessage(r, SeismicUndefinedMessage);
        } else {
            AddMessage(r, SeismicSlopeMessage);
            n = FlattenedSlope(limit);
            Propose(r, n);
        }
    }
    return n;
}

bool SoilOnVirtualBack(const Project& p)
{
    return p.UpperBackHeight > 0;
}

} // namespace

double VirtualBackKa(const Project& p)
{
    if (!SoilOnVirtualBack(p))
        return 0;
    return CoulombKa(Radians(p.FillPhi), Radians(p.DeltaEarth), VirtualBackLean, BackfillAngle(p));
}

double VirtualBackKae(const Project& p)
{
    if (!SoilOnVirtualBack(p))
        return 0;
    return MononobeOkabeKae(
        Radians(p.FillPhi), Radians(p.DeltaEarth), VirtualBackLean, BackfillAngle(p), Theta(p));
}

void ComputeSoilCase(const Project& p, const LoadFactors& f, LoadCaseResults& r)
{
    ComputeSoilCase(p, f, VirtualBackKa(p), r);
}

void ComputeSoilCase(const Project& p, const LoadFactors& f, double ka, LoadCaseResults& r)
{
    ClearSoilCase(r);
    const double i = BackfillAngle(p);
    r.BackfillSlopeAngle = static_cast<float>(i);
    if (!SoilOnVirtualBack(p))
        return;

    const double delta = Radians(p.DeltaEarth);
    const double beta = VirtualBackLean;
    r.KaStatic = static_cast<float>(ka);

    const double f3 = f[3];
    const double gs = p.FillUnitWeight;
    const double gsat = p.FillSatDensity;
    const double gw = p.WaterUnitWeight;
    const double yTop = WallTopLevel(p);
    const double yShelf = ShelfLevel(p);
    const double hd = DryDepth(p);
    const double hw = SubmergedHeight(p);
    const double upper = hd + SoilLength(p) * std::tan(i); // height of the upper trapezoid
    const double friction = std::cos(beta + delta);

    // The surcharge always loads the soil case, whichever case its own weight belongs to.
    const double p0
        = double(p.Surcharge) * ka * std::cos(beta) / std::cos(i - beta) * friction * f3;
    const double p1 = p0 + upper * ka * gs * friction * f3;
    r.SoilPressure[0] = static_cast<float>(p0);
    r.SoilPressure[1] = static_cast<float>(p1);
    const double level1Base = yTop - hd;
    r.SoilLevel[1]
        = static_cast<float>(p0 + p1 != 0 ? level1Base + upper * (2 * p0 + p1) / (3 * (p0 + p1))
                                          : level1Base + upper / 2);

    double p2 = 0;
    r.SoilLevel[2] = static_cast<float>(yShelf);
    if (BackfillWet(p)) {
        p2 = p1 + hw * ka * (gsat - gw) * friction * f3;
        if (p1 + p2 != 0)
            r.SoilLevel[2] = static_cast<float>(yShelf + hw * (2 * p1 + p2) / (3 * (p1 + p2)));
    }
    r.SoilPressure[2] = static_cast<float>(p2);

    const double f1 = (p0 + p1) / 2 * upper;
    const double f2 = BackfillWet(p) ? (p1 + p2) / 2 * hw : 0.0;
    r.SoilPressure[3] = static_cast<float>((f1 + f2) * std::tan(beta + delta));
    r.SoilArm[3] = static_cast<float>(RearX(p));
    r.SoilPressureMax = static_cast<float>(BackfillWet(p) && p2 > p1 ? p2 : p1);
}

double CoulombKa(double phi, double delta, double beta, double i)
{
    const double back = std::cos(beta + delta);
    const double surface = std::cos(i - beta);
    // Outside these the wedge has no active state: wall friction or lean of 90 degrees or more.
    if (back <= RightAngleCosine || surface <= RightAngleCosine)
        return 0;
    // A slope steeper than phi has no real root; at i = phi the term vanishes, and the slope
    // checks never pass anything steeper on.
    const double root
        = std::sqrt(std::max(0.0, std::sin(phi + delta) * std::sin(phi - i) / (surface * back)));
    const double cb = std::cos(beta);
    const double cp = std::cos(phi - beta);
    return cp * cp / (cb * cb * back * (1 + root) * (1 + root));
}

double MononobeOkabeKae(double phi, double delta, double beta, double i, double theta)
{
    const double back = std::cos(delta + beta + theta);
    const double surface = std::cos(i - beta);
    const double ct = std::cos(theta);
    if (back <= RightAngleCosine || surface <= RightAngleCosine || ct <= RightAngleCosine)
        return 0;
    // phi - i - theta < 0 has no real root (no slope check passes it on); the limit is taken.
    const double root = std::sqrt(
        std::max(0.0, std::sin(phi + delta) * std::sin(phi - i - theta) / (surface * back)));
    const double cb = std::cos(beta);
    const double cp = std::cos(phi - theta - beta);
    return cp * cp / (ct * cb * cb * back * (1 + root) * (1 + root));
}

void CheckBackfillSlope(const Project& p, LoadCaseResults& r)
{
    r.SeismicUndefined = false;
    float n = p.BackfillSlope;
    if (SoilOnVirtualBack(p)) {
        n = CheckStaticSlope(p, n, r);
        n = CheckSeismicSlope(p, n, r);
    }
    r.BackfillSlopeAngle = static_cast<float>(BackfillSlopeAngle(n));
}

void ComputeStaticEarthPressure(const Project& p, const LoadFactors& f, LoadCaseResults& r)
{
    if (SoilOnVirtualBack(p)) {
        const float n = CheckStaticSlope(p, p.BackfillSlope, r);
        r.BackfillSlopeAngle = static_cast<float>(BackfillSlopeAngle(n));
    }
    const SettledProject settled(p, r);
    ComputeSoilCase(*settled, f, r);
}

void ComputeSeismicEarthPressure(const Project& p, const LoadFactors& f, LoadCaseResults& r)
{
    // Both checks before any pressure, so that Ka, the soil case and Kae all see one slope.
    CheckBackfillSlope(p, r);
    const SettledProject settled(p, r);
    ComputeSoilCase(*settled, f, r);
    ComputeSeismicCase(*settled, f, r);
}

void ComputeSeismicCase(const Project& p, const LoadFactors& f, LoadCaseResults& r)
{
    // Kae only where the case uses it: with soil on the virtual back and a slope that has one.
    const double kae = SoilOnVirtualBack(p) && !r.SeismicUndefined ? VirtualBackKae(p) : 0.0;
    ComputeSeismicCase(p, f, WallPieces(p), kae, r);
}

void ComputeSeismicCase(const Project& p, const LoadFactors& f,
    const std::array<WallPiece, PieceCount + 1>& pieces, double kae, LoadCaseResults& r)
{
    const double kh = p.SeismicCoef;
    const double f7 = f[7];
    const double gs = p.FillUnitWeight;
    const double gsat = p.FillSatDensity;
    const double gw = p.WaterUnitWeight;
    const double H = p.UpperBackHeight;
    const double hw = SubmergedHeight(p);
    const double yTop = WallTopLevel(p);
    const double yShelf = ShelfLevel(p);
    const double xRear = RearX(p);

    // Inertia of the pieces: their weights without the dead-load factor, times kh and f7.
    for (int k = 1; k <= PieceCount; ++k) {
        r.SeismicForce[k] = static_cast<float>(kh * pieces[k].Weight * f7);
        r.SeismicLevel[k] = static_cast<float>(pieces[k].Y);
        r.SeismicArm[k] = 0;
    }
    // Below the water table the soil shakes with its pore water: saturated, not buoyant, weight.
    if (BackfillWet(p)) {
        const double fraction = H > 0 ? hw / H : 0.0;
        r.SeismicForce[10]
            = static_cast<float>(hw * fraction * p.UpperBackOffset / 2 * gsat * kh * f7);
        r.SeismicForce[11] = static_cast<float>(hw * p.ShelfWidth * gsat * kh * f7);
    } else {
        r.SeismicForce[10] = 0;
        r.SeismicForce[11] = 0;
    }

    // Front water (Westergaard), towards the toe.
    r.SeismicForce[16] = 0;
    r.SeismicLevel[16] = 0;
    r.SeismicForce[17] = 0;
    r.SeismicLevel[17] = 0;
    const double hf = yTop - FrontWaterTableDepth(p);
    if (hf > 0) {
        r.SeismicForce[16] = static_cast<float>(WestergaardOrdinate * gw * kh * hf * f7);
        r.SeismicForce[17] = static_cast<float>(WestergaardForce * gw * kh * hf * hf * f7);
        r.SeismicLevel[17] = static_cast<float>(WestergaardLevel * hf);
    }

    ClearSeismicSoilTerms(r);
    if (!SoilOnVirtualBack(p) || r.SeismicUndefined)
        return;

    const double delta = Radians(p.DeltaEarth);
    const double beta = VirtualBackLean;
    const double i = BackfillAngle(p);
    const double increment = std::max(0.0, kae - double(r.KaStatic));
    r.KaeIncrement = static_cast<float>(increment);
    r.KaeIncrementCopy = r.KaeIncrement;

    const double friction = std::cos(delta + beta);
    // The increment is an inverted triangle over the whole virtual back, from the backfill
    // surface at xRear down to the shelf; its resultant lies a third of that height below the top.
    const double backHeight = VirtualBackHeight(p);
    const double surface = yTop + SoilLength(p) * std::tan(i);
    const double ordinate14 = backHeight * double(r.KaeIncrement) * gs * friction * f7;
    r.SeismicForce[14] = static_cast<float>(ordinate14);
    r.SeismicLevel[14] = static_cast<float>(surface - backHeight / 3);

    double ordinate15 = 0;
    r.SeismicLevel[15] = static_cast<float>(yShelf);
    if (BackfillWet(p)) {
        ordinate15 = hw * double(r.KaeIncrementCopy) * (gsat - gs) * friction * f7;
        r.SeismicLevel[15] = static_cast<float>(yShelf + 2 * hw / 3);
    }
    r.SeismicForce[15] = static_cast<float>(ordinate15);

    const double horizontal
        = backHeight * double(r.SeismicForce[14]) / 2 + hw * double(r.SeismicForce[15]) / 2;
    r.SeismicForce[18] = static_cast<float>(horizontal * std::tan(beta + delta));
    r.SeismicArm[18] = static_cast<float>(xRear);
}

} // namespace pendrake
