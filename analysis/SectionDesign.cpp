// Reinforced concrete design of the wall's three sections to ACI 318: the section routines in
// their design units, the bar search, and the row-by-row design the combination run calls.
#include "analysis/SectionDesign.h"

#include "model/Units.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace pendrake {

namespace {

// Unit relations as this program defines them: the tonne-force is Gravity kN, the kip is
// 0.454 tonne-force, so the pound is 0.454 kilogram-force.
constexpr double CentimetresPerMetre = 100.0;
constexpr double InchesPerFoot = 12.0;
constexpr double CentimetresPerInch = 2.54;
constexpr double MillimetresPerInch = 25.4;
constexpr double MetresPerFoot = 0.3048;
constexpr double KilogramsPerTonne = 1000.0;
constexpr double PoundsPerKip = 1000.0;
constexpr double KilogramsPerPound = 0.454;
constexpr double TonnesPerKip = 0.454;
constexpr double KilonewtonsPerMeganewton = 1000.0;
constexpr double NewtonsPerMeganewton = 1.0e6;
constexpr double SquareMillimetresPerSquareCentimetre = 100.0;
constexpr double SquareCentimetresPerSquareMetre = 1.0e4;
constexpr double G = double(Gravity);

// ACI 318 (SI-metric) coefficients.
constexpr double StressBlockIntensity = 0.85; // uniform stress 0.85 f'c of the compression block
constexpr double PhiFlexure = 0.9; // tension-controlled flexure
constexpr double PhiCompressionFloor = 0.7; // members in compression
constexpr double PhiAxialSlope = 0.2; // phi falls by 0.2 as N grows to 0.1 f'c Ag
constexpr double AxialTransitionFraction = 0.1;
constexpr double Beta1Upper = 0.85;
constexpr double Beta1Lower = 0.65;
constexpr double Beta1KneeMPa = 30.0;
constexpr double Beta1DropPerMPa = 0.008;
constexpr double BalancedStrainStressMPa = 600.0; // Es x ultimate concrete strain 0.003
constexpr double ShearRootCapMPa = 69.0; // sqrt(f'c) is not taken above sqrt(69)
constexpr double AxialShearStressMPa = 14.0; // Vc = (1 + Nu / (14 Ag)) sqrt(f'c) / 6
constexpr double ShearRootDivisor = 6.0;
constexpr double PhiShear = 0.85;
constexpr double RhoMinStressMPa = 1.4; // rho min = 1.4 / fy
constexpr double RequiredRatioMargin = 4.0 / 3.0; // steel of 4/3 the requirement waives rho min
constexpr double ZLimitKilonewtonsPerMetre = 25000.0;
constexpr double BalancedRatioWarningShare = 0.75;

// atan(1) is pi/4, the bar area factor.
const double QuarterPi = std::atan(1.0);

constexpr DesignUnitSet MetricUnits {
    .Width = 100.0,
    .StoredWidth = 100.0,
    .SmallPerLength = CentimetresPerMetre,
    .StoredPerDesign = 1.0,
    .MomentToDesign = KilogramsPerTonne * CentimetresPerMetre, // T·m to kg·cm
    .ForceToDesign = KilogramsPerTonne, // T to kg
    .ZToProject = CentimetresPerMetre / KilogramsPerTonne, // kg/cm to T/m
    .AreaReqToStored = 1.0, // cm² per 100 cm is cm²/m
    .StressToMPa = G / SquareMillimetresPerSquareCentimetre, // kg/cm² to N/mm²
    .ForceToMN = G / NewtonsPerMeganewton,
    .AreaToSquareMetres = 1.0 / SquareCentimetresPerSquareMetre,
    .NominalBarDia = 1.0,
    .PitchStart = 21.0f,
    .PitchStep = 1.0,
    .DiaStart = 0.3f,
    .DiaStep = 0.1,
    .DiaLimit = 3.1,
};

constexpr DesignUnitSet SiUnits {
    .Width = 1.0,
    .StoredWidth = 100.0,
    .SmallPerLength = CentimetresPerMetre,
    .StoredPerDesign = CentimetresPerMetre, // stored cm, designed in m
    .MomentToDesign = 1.0 / KilonewtonsPerMeganewton, // kN·m to MN·m
    .ForceToDesign = 1.0 / KilonewtonsPerMeganewton, // kN to MN
    .ZToProject = KilonewtonsPerMeganewton, // MN/m to kN/m
    .AreaReqToStored = SquareCentimetresPerSquareMetre, // m² per m to cm²/m
    .StressToMPa = 1.0,
    .ForceToMN = 1.0,
    .AreaToSquareMetres = 1.0,
    .NominalBarDia = 0.01,
    .PitchStart = 0.21f,
    .PitchStep = 0.01,
    .DiaStart = 0.003f,
    .DiaStep = 0.001,
    .DiaLimit = 0.031,
};

constexpr DesignUnitSet BritishUnits {
    .Width = InchesPerFoot,
    .StoredWidth = InchesPerFoot,
    .SmallPerLength = InchesPerFoot,
    .StoredPerDesign = 1.0,
    .MomentToDesign = PoundsPerKip * InchesPerFoot, // Kip·ft to lb·in
    .ForceToDesign = PoundsPerKip, // Kip to lb
    .ZToProject = InchesPerFoot / PoundsPerKip, // lb/in to Kip/ft
    .AreaReqToStored = 1.0, // in² per 12 in is in²/ft
    .StressToMPa = G * KilogramsPerPound / (MillimetresPerInch * MillimetresPerInch), // psi
    .ForceToMN = G * KilogramsPerPound / NewtonsPerMeganewton,
    .AreaToSquareMetres = 1.0
        / ((CentimetresPerMetre / CentimetresPerInch) * (CentimetresPerMetre / CentimetresPerInch)),
    .NominalBarDia = 0.4,
    .PitchStart = 8.5f,
    .PitchStep = 0.5,
    .DiaStart = 0.0625f,
    .DiaStep = 0.0625,
    .DiaLimit = 1.25,
};

double CoverInDesign(const Project& p, const DesignUnitSet& u)
{
    return double(p.ConcCover) / u.StoredPerDesign;
}

// Effective depth: the cover is measured to the bar surface, the depth to the bar centre.
double EffectiveDepth(const Project& p, const DesignUnitSet& u, double h, double db)
{
    return h - CoverInDesign(p, u) - db / 2.0;
}

// Area of bars db at pitch s over a width; a pitch of 0 or less places no bars.
double BarAreaPerWidth(double db, double s, double width)
{
    return s > 0 ? QuarterPi * db * db * width / s : 0.0;
}

float StoredToDesign(const DesignUnitSet& u, float stored)
{
    return float(double(stored) / u.StoredPerDesign);
}

void StoreProvidedArea(const Project& p, DesignResults& r, int row)
{
    const DesignUnitSet& u = DesignUnits(p.UnitSystem);
    r.ReinAs[row] = float(BarAreaPerWidth(r.ReinDia[row], r.ReinPitch[row], u.StoredWidth));
}

void StoreCapacity(const Project& p, DesignResults& r, int row)
{
    const DesignUnitSet& u = DesignUnits(p.UnitSystem);
    const int section = SectionOfRow(row);
    const SectionCapacity cap = CheckSectionCapacity(p, StoredToDesign(u, r.ReinHeight[row]),
        StoredToDesign(u, r.ReinDia[row]), StoredToDesign(u, r.ReinPitch[row]),
        float(double(r.ReinNormal[row]) * u.ForceToDesign),
        float(double(r.ReinShearNormal[section]) * u.ForceToDesign));
    r.ReinMomentCap[row] = float(double(cap.MomentCap) / u.MomentToDesign);
    // The shear's effective depth is that of the section's larger bar, whichever face it is on:
    // the smaller d, so the capacity never depends on which face happens to be in tension.
    const int first = FirstRowOfSection(section);
    const float shearBar = std::max(r.ReinDia[first], r.ReinDia[first + 1]);
    const SectionCapacity shear = shearBar == r.ReinDia[row]
        ? cap
        : CheckSectionCapacity(p, StoredToDesign(u, r.ReinHeight[row]), StoredToDesign(u, shearBar),
            StoredToDesign(u, r.ReinPitch[row]), float(double(r.ReinNormal[row]) * u.ForceToDesign),
            float(double(r.ReinShearNormal[section]) * u.ForceToDesign));
    r.ReinShearCap[section] = float(double(shear.ShearCap) / u.ForceToDesign);
    r.ReinRho[row] = cap.Rho;
    r.RhoBalanced = cap.RhoB;
}

void StoreRequiredSteel(const Project& p, DesignResults& r, int row)
{
    const DesignUnitSet& u = DesignUnits(p.UnitSystem);
    const std::optional<SteelRequirement> req = RequiredSteel(p,
        StoredToDesign(u, r.ReinHeight[row]), float(double(r.ReinNormal[row]) * u.ForceToDesign),
        float(double(r.ReinMoment[row]) * u.MomentToDesign));
    r.ReinCannotCarry[row] = !req.has_value();
    r.ReinAsReq[row] = req ? float(double(req->AsReq) * u.AreaReqToStored) : 0.0f;
    r.ReinRhoReq43[row] = req ? req->RhoReq43 : 0.0f;
}

void StoreCrackControl(const Project& p, DesignResults& r, int row)
{
    const DesignUnitSet& u = DesignUnits(p.UnitSystem);
    const std::optional<double> z = CrackControlZ(p, StoredToDesign(u, r.ReinHeight[row]),
        StoredToDesign(u, r.ReinDia[row]), StoredToDesign(u, r.ReinPitch[row]),
        float(double(r.ReinNormalZ[row]) * u.ForceToDesign),
        float(double(r.ReinMomentZ[row]) * u.MomentToDesign));
    r.ReinZCannotCarry[row] = !z.has_value();
    r.ReinZ[row] = z ? float(*z * u.ZToProject) : 0.0f;
}

void RequireRow(int row)
{
    if (row < 1 || row > ReinRowCount)
        throw std::out_of_range("design row out of range");
}

} // namespace

const DesignUnitSet& DesignUnits(int16_t unitSystem)
{
    switch (unitSystem) {
    case Metric: return MetricUnits;
    case SI: return SiUnits;
    case British: return BritishUnits;
    default: throw std::out_of_range("unknown unit system");
    }
}

double StressBlockFactor(double fcMPa)
{
    if (fcMPa <= Beta1KneeMPa)
        return Beta1Upper;
    return std::max(Beta1Upper - Beta1DropPerMPa * (fcMPa - Beta1KneeMPa), Beta1Lower);
}

double FlexureReductionFactor(double n, double fc, double b, double h)
{
    if (n <= 0)
        return PhiFlexure;
    const double transition = AxialTransitionFraction * fc * b * h;
    // No concrete to share the compression: the compression-member floor applies.
    if (transition <= 0)
        return PhiCompressionFloor;
    return std::max(PhiFlexure - PhiAxialSlope * n / transition, PhiCompressionFloor);
}

SectionCapacity CheckSectionCapacity(
    const Project& p, float h, float db, float s, float n, float nv)
{
    const DesignUnitSet& u = DesignUnits(p.UnitSystem);
    const double b = u.Width;
    const double fc = p.ConcFc;
    const double fy = p.RebarFy;
    const double d = EffectiveDepth(p, u, h, db);
    const double as = BarAreaPerWidth(db, s, b);
    const double phi = FlexureReductionFactor(n, fc, b, h);

    // A strip thinner than cover and half a bar holds its bars outside the concrete: no lever arm,
    // no ratio, no capacity.
    double rho = 0;
    double momentCap = 0;
    if (d > 0) {
        rho = as / (b * d);
        if (fc > 0) {
            const double omega = (rho * fy + n / (phi * b * d)) / (StressBlockIntensity * fc);
            const double phiMn
                = phi * StressBlockIntensity * fc * omega * (1.0 - omega / 2.0) * b * d * d;
            momentCap = phiMn - n * (d - h / 2.0);
        }
    }

    const double fcMPa = fc * u.StressToMPa;
    const double fyMPa = fy * u.StressToMPa;
    double rhoB = 0;
    if (fyMPa > 0) {
        rhoB = (StressBlockIntensity * StressBlockFactor(fcMPa) * fcMPa / fyMPa)
            * BalancedStrainStressMPa / (BalancedStrainStressMPa + fyMPa);
    }

    double vc = 0;
    if (h > 0 && fcMPa > 0) {
        const double rootFc = std::min(std::sqrt(fcMPa), std::sqrt(ShearRootCapMPa));
        const double ag = b * h * u.AreaToSquareMetres;
        const double vcMPa
            = (1.0 + nv * u.ForceToMN / (AxialShearStressMPa * ag)) * rootFc / ShearRootDivisor;
        // A large tension cannot make the concrete's shear strength negative.
        vc = std::max(vcMPa, 0.0) / u.StressToMPa;
    }

    SectionCapacity out;
    out.MomentCap = float(momentCap);
    // ACI 318 takes the concrete's shear over the effective depth, the flexure's d; the axial
    // term above stays on the gross area b h.
    out.ShearCap = float(PhiShear * vc * b * std::max(d, 0.0));
    out.Rho = float(rho);
    out.RhoB = float(rhoB);
    return out;
}

std::optional<SteelRequirement> RequiredSteel(const Project& p, float h, float n, float m)
{
    const DesignUnitSet& u = DesignUnits(p.UnitSystem);
    const double b = u.Width;
    const double fc = p.ConcFc;
    const double fy = p.RebarFy;
    const double d = EffectiveDepth(p, u, h, u.NominalBarDia);
    const double phi = FlexureReductionFactor(n, fc, b, h);

    // Without depth or material strength nothing can be carried; nothing is needed for no moment.
    if (d <= 0 || fc <= 0 || fy <= 0) {
        if (m > 0)
            return std::nullopt;
        return SteelRequirement {};
    }

    const double ms = m + n * (d - h / 2.0);
    const double root = 1.0 - ms / (StressBlockIntensity / 2.0 * phi * fc * b * d * d);
    if (root < 0)
        return std::nullopt;
    const double omega = 1.0 - std::sqrt(root);

    const double asReq = (StressBlockIntensity * fc * b * d * omega - n / phi) / fy;
    const double rhoReq = (StressBlockIntensity * fc * omega - n / (phi * b * d)) / fy;

    // A compression that outweighs the moment needs no steel.
    SteelRequirement out;
    out.AsReq = float(std::max(asReq, 0.0));
    out.RhoReq43 = float(std::max(RequiredRatioMargin * rhoReq, 0.0));
    return out;
}

std::optional<double> CrackControlZ(const Project& p, float h, float db, float s, float n, float m)
{
    const DesignUnitSet& u = DesignUnits(p.UnitSystem);
    const double b = u.Width;
    const double fc = p.ConcFc;
    const double c = CoverInDesign(p, u);
    const double d = EffectiveDepth(p, u, h, db);
    const double ab = QuarterPi * double(db) * db;
    const double as = BarAreaPerWidth(db, s, b);

    if (d <= 0 || fc <= 0) {
        if (m > 0)
            return std::nullopt;
        return 0.0;
    }

    // Service loads: the moment about the tension steel, without a strength reduction factor.
    const double ms = m + n * (d - h / 2.0);
    const double root = 1.0 - ms / (StressBlockIntensity / 2.0 * fc * b * d * d);
    if (root < 0)
        return std::nullopt;
    const double omega = 1.0 - std::sqrt(root);
    const double a = omega * d;

    const double fs = as > 0 ? (ms / (d - a / 2.0) - n) / as : 0.0;
    const double dc = c + db / 2.0;
    // Concrete around one bar; bars so close that they fill the strip leave none.
    const double area = std::max((2.0 * c + db) * s - ab, 0.0);
    const double z = fs * std::pow(std::max(dc * area, 0.0), 1.0 / 3.0);
    // A negative z means the bars are in compression: no crack to control.
    return std::max(z, 0.0);
}

namespace {

std::vector<float> BuildCandidateDiameters(const DesignUnitSet& u)
{
    // Built by single-precision sums of a double step, compared with a double limit: the sum
    // that lands just below the limit is tried and one more step follows.
    std::vector<float> dias;
    float db = u.DiaStart;
    do {
        db = float(double(db) + u.DiaStep);
        dias.push_back(db);
    } while (double(db) < u.DiaLimit);
    return dias;
}

std::vector<float> BuildCandidatePitches(const DesignUnitSet& u, double lastDia)
{
    // The search gives up at the first pitch no more than twice the largest bar.
    std::vector<float> pitches;
    float s = u.PitchStart;
    do {
        s = float(double(s) - u.PitchStep);
        pitches.push_back(s);
    } while (2.0 * lastDia < double(s));
    return pitches;
}

// The bar tables of the three unit systems, built once: the design of every row of every wall a
// search judges walks them.
struct CandidateTables {
    std::array<std::vector<float>, 3> Diameters;
    std::array<std::vector<float>, 3> Pitches;
};

const CandidateTables& Candidates()
{
    static const CandidateTables tables = [] {
        CandidateTables t;
        for (int16_t system : { int16_t(Metric), int16_t(SI), int16_t(British) }) {
            const DesignUnitSet& u = DesignUnits(system);
            t.Diameters[size_t(system)] = BuildCandidateDiameters(u);
            t.Pitches[size_t(system)]
                = BuildCandidatePitches(u, t.Diameters[size_t(system)].back());
        }
        return t;
    }();
    return tables;
}

} // namespace

const std::vector<float>& CandidateDiameters(int16_t unitSystem)
{
    DesignUnits(unitSystem); // refuses an unknown system
    return Candidates().Diameters[size_t(unitSystem)];
}

const std::vector<float>& CandidatePitches(int16_t unitSystem)
{
    DesignUnits(unitSystem);
    return Candidates().Pitches[size_t(unitSystem)];
}

BarChoice SelectReinforcement(const Project& p, float h, float m, float n, float rhoMin)
{
    const std::vector<float>& dias = CandidateDiameters(p.UnitSystem);
    const std::vector<float>& pitches = CandidatePitches(p.UnitSystem);
    for (const float s : pitches) {
        for (const float db : dias) {
            const SectionCapacity cap = CheckSectionCapacity(p, h, db, s, n, 0.0f);
            const bool covers = cap.MomentCap >= m;
            const bool lightlyReinforced
                = RequiredRatioMargin * m > cap.MomentCap && cap.Rho < rhoMin;
            if (covers && !lightlyReinforced)
                return BarChoice { db, s };
        }
    }
    return BarChoice { dias.back(), pitches.back() };
}

float DesignRhoMin(const Project& p)
{
    const double fyMPa = double(p.RebarFy) * DesignUnits(p.UnitSystem).StressToMPa;
    return fyMPa > 0 ? float(RhoMinStressMPa / fyMPa) : 0.0f;
}

float DesignZMax(int16_t unitSystem)
{
    switch (unitSystem) {
    case Metric: return float(ZLimitKilonewtonsPerMetre / G);
    case SI: return float(ZLimitKilonewtonsPerMetre);
    case British: return float(ZLimitKilonewtonsPerMetre / G * MetresPerFoot / TonnesPerKip);
    default: throw std::out_of_range("unknown unit system");
    }
}

double BodyWidthAtToeTop(const Project& p)
{
    const double toeTop = p.ToeHeight;
    const double lowerH = p.LowerSlopeHeight;
    const double rearH = p.RearSlopeHeight;
    const double toRearSlope = double(p.BottomWidth) + p.LowerSlopeWidth + p.LowerFlatWidth;
    // A slope of no height lies in the plane of the cut and counts to it whole.
    if (lowerH > 0 && lowerH >= toeTop)
        return double(p.BottomWidth) + p.LowerSlopeWidth * toeTop / lowerH;
    if (rearH > 0 && lowerH + rearH >= toeTop)
        return toRearSlope + p.RearSlopeWidth * (toeTop - lowerH) / rearH;
    return toRearSlope + p.RearSlopeWidth;
}

float DesignHeight(const Project& p, int section)
{
    const double toSmall = DesignUnits(p.UnitSystem).SmallPerLength;
    switch (section) {
    case 1: return float((double(p.TopWidth) + p.UpperBackOffset) * toSmall);
    case 2: return float(BodyWidthAtToeTop(p) * toSmall);
    case 3: return p.ToeWidth > 0 ? float(double(p.ToeHeight) * toSmall) : 0.0f;
    default: throw std::out_of_range("design section out of range");
    }
}

void CheckDesignRow(const Project& project, DesignResults& results, int row)
{
    RequireRow(row);
    StoreCapacity(project, results, row);
    StoreProvidedArea(project, results, row);
    StoreCrackControl(project, results, row);
}

void DesignRow(const Project& project, DesignResults& results, int row)
{
    RequireRow(row);
    if (project.ReinUserSet) {
        results.ReinDia[row] = project.ReinDia[row];
        results.ReinPitch[row] = project.ReinPitch[row];
    } else {
        const DesignUnitSet& u = DesignUnits(project.UnitSystem);
        const BarChoice bars
            = SelectReinforcement(project, StoredToDesign(u, results.ReinHeight[row]),
                float(double(results.ReinMoment[row]) * u.MomentToDesign),
                float(double(results.ReinNormal[row]) * u.ForceToDesign), results.RhoMin);
        results.ReinDia[row] = float(double(bars.Dia) * u.StoredPerDesign);
        results.ReinPitch[row] = float(double(bars.Pitch) * u.StoredPerDesign);
    }
    StoreProvidedArea(project, results, row);
    StoreCapacity(project, results, row);
    StoreRequiredSteel(project, results, row);
    StoreCrackControl(project, results, row);
}

DesignResults DesignSections(const Project& project, const Envelope& env)
{
    DesignResults results;
    for (int s = 1; s <= DesignSectionCount; ++s) {
        const int minus = 2 * s - 1;
        const int plus = 2 * s;
        results.ReinMoment[minus] = std::fabs(env.EnvMomentNeg[s]);
        results.ReinNormal[minus] = env.EnvNormalNeg[s];
        results.ReinMoment[plus] = env.EnvMomentPos[s];
        results.ReinNormal[plus] = env.EnvNormalPos[s];
        results.ReinShear[s] = env.EnvShear[s];
        results.ReinShearNormal[s] = env.EnvShearNormal[s];

        // The service moment's sign says which face cracks; the other face gets nothing.
        const int crackRow = env.EnvMomentZ[s] < 0 ? minus : plus;
        results.ReinMomentZ[crackRow] = std::fabs(env.EnvMomentZ[s]);
        results.ReinNormalZ[crackRow] = env.EnvNormalZ[s];

        const float h = DesignHeight(project, s);
        results.ReinHeight[minus] = h;
        results.ReinHeight[plus] = h;
    }
    results.RhoMin = DesignRhoMin(project);
    results.ZMax = DesignZMax(project.UnitSystem);
    for (int row = 1; row <= ReinRowCount; ++row)
        DesignRow(project, results, row);
    return results;
}

DesignWarningSet DesignWarnings(const DesignResults& r)
{
    DesignWarningSet w;
    for (int row = 1; row <= ReinRowCount; ++row) {
        const int minus = 2 * SectionOfRow(row) - 1;
        const int plus = minus + 1;
        const double bothFaces = double(r.ReinRho[minus]) + r.ReinRho[plus];
        RowWarnings& rw = w.Row[row];
        rw.MomentCapacity = r.ReinMomentCap[row] < r.ReinMoment[row];
        rw.RhoMin = r.ReinRho[row] < r.RhoMin && bothFaces < r.ReinRhoReq43[row];
        rw.RhoBalanced = BalancedRatioWarningShare * r.RhoBalanced < r.ReinRho[row];
        rw.ZMax = r.ReinZ[row] > r.ZMax;
        rw.CannotCarry = r.ReinCannotCarry[row] || r.ReinZCannotCarry[row];
    }
    for (int s = 1; s <= DesignSectionCount; ++s)
        w.Shear[s] = r.ReinShearCap[s] < r.ReinShear[s];
    return w;
}

} // namespace pendrake
