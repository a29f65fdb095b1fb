// The calculation sheet built from the inputs with the formulas of the analysis: earth pressure,
// the load cases piece by piece, the sums about the toe, the base, the anchors, the combinations
// and the section design, each step with its formula, its numbers and its value.
#include "sheet/CalculationSheet.h"

#include "analysis/EarthPressure.h"
#include "analysis/SectionForces.h"
#include "model/Units.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>
#include <tuple>

namespace pendrake {

namespace {

const double Pi = 4.0 * std::atan(1.0);
constexpr double DegreesPerRadian = 180.0;
const double NotFormed = std::numeric_limits<double>::quiet_NaN();

// The ACI 318 coefficients of the section design, as it applies them.
constexpr double StressBlockIntensity = 0.85;
constexpr double BalancedStrainStressMPa = 600.0;
constexpr double ShearRootCapMPa = 69.0;
constexpr double AxialShearStressMPa = 14.0;
constexpr double ShearRootDivisor = 6.0;
constexpr double PhiShear = 0.85;
// The crack control limit z for exterior exposure, and the factors that bring it to T/m and
// Kip/ft.
constexpr double CrackLimitKilonewtonsPerMetre = 25000.0;
constexpr double CrackMetresPerFoot = 0.3048;
constexpr double CrackTonnesPerKip = 0.454;
// Westergaard's front water: ordinate 7/8 gw kh hf, force 7/12 gw kh hf^2 at 0.4 hf.
constexpr double WestergaardOrdinate = 7.0 / 8.0;
constexpr double WestergaardForce = 7.0 / 12.0;
constexpr double WestergaardLevel = 0.4;
// Anchor bar diameters are stored in cm (Metric, SI) or inches (British).
constexpr double CentimetresPerMetre = 100.0;
constexpr double InchesPerFoot = 12.0;

double Deg(double radians)
{
    return radians * DegreesPerRadian / Pi;
}

// A named quantity of a formula: its symbol and its value (an angle in degrees).
struct Var {
    std::string_view Name;
    std::string_view Symbol;
    double Value;
    bool Angle = false;
};

// A template such as "{H} * {t} * {gc}" written once as symbols and once with the numbers.
template <typename List>
std::pair<std::string, std::string> ExpandList(std::string_view tpl, const List& vars)
{
    std::string formula;
    std::string numbers;
    for (size_t i = 0; i < tpl.size(); ++i) {
        if (tpl[i] != '{') {
            formula += tpl[i];
            numbers += tpl[i];
            continue;
        }
        const size_t close = tpl.find('}', i);
        const std::string_view name = tpl.substr(i + 1, close - i - 1);
        i = close;
        const auto it
            = std::find_if(vars.begin(), vars.end(), [&](const Var& v) { return v.Name == name; });
        if (it == vars.end()) {
            formula += name;
            numbers += name;
            continue;
        }
        formula += it->Symbol;
        numbers += SheetNumber(it->Value);
        if (it->Angle)
            numbers += "°";
    }
    return { formula, numbers };
}

std::pair<std::string, std::string> Expand(std::string_view tpl, std::initializer_list<Var> vars)
{
    return ExpandList(tpl, vars);
}

std::string Indexed(std::string_view name, int i)
{
    return std::string(name) + "(" + std::to_string(i) + ")";
}

std::string Indexed(std::string_view name, int i, int j)
{
    return std::string(name) + "(" + std::to_string(i) + "," + std::to_string(j) + ")";
}

const char* const CutName[]
    = { "", "upper wall at the shelf", "body at the toe top", "toe at its face" };

// Letters of the load cases 1..7 as the combinations name them.
const char* const CaseLetter[] = { "", "D", "L", "H", "F", "T", "I", "E" };

std::string CaseTitle(int loadCase)
{
    return loadCase == 0
        ? std::string("loads of no known case (unfactored)")
        : "case " + std::to_string(loadCase) + ", " + std::string(LoadCaseName[size_t(loadCase)]);
}

class Chapter {
public:
    explicit Chapter(std::string title) { chapter_.Title = std::move(title); }

    double Step(std::string label, std::string symbol, std::string_view tpl,
        std::initializer_list<Var> vars, double value, std::string_view unit,
        std::string field = {})
    {
        auto [formula, numbers] = Expand(tpl, vars);
        chapter_.Steps.push_back({ std::move(label), std::move(symbol), std::move(formula),
            std::move(numbers), value, std::string(unit), std::move(field) });
        return value;
    }

    // A step whose formula and numbers are given as they are.
    double Plain(std::string label, std::string symbol, std::string formula, std::string numbers,
        double value, std::string_view unit, std::string field = {})
    {
        chapter_.Steps.push_back({ std::move(label), std::move(symbol), std::move(formula),
            std::move(numbers), value, std::string(unit), std::move(field) });
        return value;
    }

    bool Empty() const { return chapter_.Steps.empty(); }
    SheetChapter Take() { return std::move(chapter_); }

private:
    SheetChapter chapter_;
};

struct Units {
    std::string Length, Force, PerLength, Pressure, Moment, UnitWeight, Stress, Small;
};

Units UnitsOf(int16_t system)
{
    const size_t u = system >= 0 && system <= 2 ? size_t(system) : 0;
    const std::string l(LengthUnit[u]);
    const std::string f(ForceUnit[u]);
    return { l, f + "/" + l, f + "/" + l, std::string(PressureUnit[u]), f + "·" + l + "/" + l,
        std::string(UnitWeightUnit[u]), std::string(StressUnit[u]),
        system == British ? "in" : "cm" };
}

std::string DesignLength(int16_t system)
{
    return system == SI ? "m" : system == British ? "in" : "cm";
}

std::string DesignMoment(int16_t system)
{
    return system == SI ? "MN·m" : system == British ? "lb·in" : "kg·cm";
}

// Safety factor as the analysis forms it: 100000 stands for "nothing acts".
double Safety(double resisting, double acting)
{
    if (acting == 0)
        return InfiniteSafety;
    const double f = resisting / acting;
    return !std::isfinite(f) || f >= InfiniteSafety ? InfiniteSafety : f;
}

// Moments of the forces listed so far, split into those that hold the wall and those that tip it.
struct MomentParts {
    double Resisting = 0;
    double Overturning = 0;
    void Add(double m)
    {
        if (m > 0)
            Resisting += m;
        else
            Overturning -= m;
    }
};

// A load case's sums about the toe as its own chapter lists them, numbers and values.
struct CaseTotal {
    double M = 0;
    double H = 0;
    double V = 0;
    std::string SumM;
    std::string SumH;
    std::string SumV;
};
using CaseTotals = std::array<CaseTotal, LoadCaseCount + 1>;

// A force with its arms and moment about the toe; one step each for the components that act.
struct ForceLister {
    Chapter& C;
    const Units& U;
    MomentParts& Parts;
    std::string Sum; // numbers of the case's moment sum
    std::string SumH;
    std::string SumV;
    double Moment = 0;
    double H = 0;
    double V = 0;

    void Add(const std::string& name, const PointForce& f)
    {
        const double m = MomentAboutToe(f);
        C.Step("Moment of " + name + " about the toe", "M", "{V} * {x} + {H} * {y}",
            { { "V", "V", f.Vertical }, { "x", "x", f.X }, { "H", "H", f.Horizontal },
                { "y", "y", f.Y } },
            m, U.Moment);
        Parts.Add(f.Vertical * f.X);
        Parts.Add(f.Horizontal * f.Y);
        Append(Sum, m);
        Append(SumH, f.Horizontal);
        Append(SumV, f.Vertical);
        Moment += m;
        H += f.Horizontal;
        V += f.Vertical;
    }
    static void Append(std::string& s, double v) { s += (s.empty() ? "" : " + ") + SheetNumber(v); }
    CaseTotal Totals() const
    {
        return { Moment, H, V, SheetNumber(Moment), SheetNumber(H), SheetNumber(V) };
    }
};

void EarthPressureChapter(const Project& p, const StabilityResults& s, CalculationSheet& sheet)
{
    const LoadCaseResults& l = s.Loads;
    Chapter c("Earth pressure coefficients on the virtual back");
    const double phi = p.FillPhi;
    const double delta = p.DeltaEarth;
    const double kh = p.SeismicCoef;
    const double n0 = p.BackfillSlope;
    const double i0 = BackfillSlopeAngle(p.BackfillSlope);
    if (n0 > 0)
        c.Step("Slope of the backfill as entered", "i", "atan(1 / {n})", { { "n", "n", n0 } }, i0,
            "rad");
    else
        c.Plain("Slope of the backfill as entered (level)", "i", "0", "0", 0, "rad");
    c.Step("Static check: margin of the friction angle over the slope", "φ - i", "{phi} - {i}",
        { { "phi", "φ", phi }, { "i", "i", Deg(i0) } }, phi - Deg(i0), "°");
    const double theta = std::atan(kh);
    c.Step("Seismic inertia angle", "θ", "atan({kh})", { { "kh", "kh", kh } }, theta, "rad");
    c.Step("Seismic check: margin of φ - θ over the slope", "φ - θ - i", "{phi} - {th} - {i}",
        { { "phi", "φ", phi }, { "th", "θ", Deg(theta) }, { "i", "i", Deg(i0) } },
        phi - Deg(theta) - Deg(i0), "°");
    if (l.SlopeAdjusted)
        c.Plain("A margin below 0: the slope is flattened to the next tenth of n", "n",
            "ceil(10 / tan(limit)) / 10", SheetNumber(l.ProposedBackfillSlope),
            l.ProposedBackfillSlope, "");
    const double i = l.BackfillSlopeAngle;
    c.Plain("Slope the run works with", "i", "i", SheetNumber(i), i, "rad", "BackfillSlopeAngle");

    if (!(p.UpperBackHeight > 0)) {
        c.Plain("No soil on the virtual back (H = 0)", "Ka", "0", "0", 0, "", "KaStatic");
        c.Plain("No soil on the virtual back (H = 0)", "ΔKae", "0", "0", 0, "", "KaeIncrement");
        sheet.Chapters.push_back(c.Take());
        return;
    }
    const double phiR = Radians(phi);
    const double deltaR = Radians(delta);
    const double ka = CoulombKa(phiR, deltaR, 0.0, i);
    const std::initializer_list<Var> angles
        = { { "phi", "φ", phi, true }, { "d", "δ", delta, true }, { "b", "β", 0, true },
              { "i", "i", Deg(i), true }, { "th", "θ", Deg(theta), true } };
    c.Step("Coulomb active coefficient (virtual back vertical, β = 0)", "Ka",
        "cos({phi} - {b})^2 / (cos({b})^2 * cos({b} + {d}) * (1 + sqrt(sin({phi} + {d}) * "
        "sin({phi} - {i}) / (cos({i} - {b}) * cos({b} + {d}))))^2)",
        angles, ka, "", "KaStatic");
    if (l.SeismicUndefined) {
        c.Plain("θ ≥ φ: no seismic earth pressure can be formed", "ΔKae", "0", "0", 0, "",
            "KaeIncrement");
    } else {
        const double kae = MononobeOkabeKae(phiR, deltaR, 0.0, i, theta);
        c.Step("Mononobe-Okabe active coefficient", "Kae",
            "cos({phi} - {th} - {b})^2 / (cos({th}) * cos({b})^2 * cos({d} + {b} + {th}) * (1 + "
            "sqrt(sin({phi} + {d}) * sin({phi} - {i} - {th}) / (cos({i} - {b}) * cos({d} + {b} + "
            "{th}))))^2)",
            angles, kae, "");
        const double increment = c.Step("Seismic increment", "ΔKae", "max(0, {kae} - {ka})",
            { { "kae", "Kae", kae }, { "ka", "Ka", l.KaStatic } },
            std::max(0.0, kae - double(l.KaStatic)), "", "KaeIncrement");
        c.Plain("The same increment, as the submerged soil takes it", "ΔKae", "ΔKae",
            SheetNumber(increment), increment, "", "KaeIncrementCopy");
    }
    sheet.Chapters.push_back(c.Take());
}

// The result's name of a case sum listed in that case's chapter: only when the chapter lists
// every load of the case, i.e. neither the surcharge nor a line load is of the case.
std::string CaseField(const Project& p, std::string_view name, int loadCase)
{
    if (p.SurchargeType == loadCase)
        return {};
    const int count = std::clamp<int>(p.LineLoadCount, 0, MaxLineLoads);
    for (int k = 1; k <= count; ++k) {
        if (p.LineLoads[k].Type == loadCase)
            return {};
    }
    return Indexed(name, loadCase);
}

// The 13 pieces: weight and arm as the cross-section forms them.
void DeadLoadChapter(const Project& p, const StabilityResults& s, const Units& u,
    MomentParts& parts, CaseTotals& totals, CalculationSheet& sheet)
{
    Chapter c("Dead loads (case 1): the 13 pieces of concrete and soil");
    const auto w = WallPieces(p);
    const bool wet = BackfillWet(p);
    const double H = p.UpperBackHeight;
    const double dw = BackWaterTableDepth(p);
    const double hw = SubmergedHeight(p);
    const std::initializer_list<Var> v = { { "H", "H", H }, { "t", "t", p.TopWidth },
        { "o", "o", p.UpperBackOffset }, { "s", "s", p.ShelfWidth }, { "a", "a", p.ToeWidth },
        { "b", "b", p.BottomWidth }, { "w5", "w5", p.LowerSlopeWidth },
        { "h5", "h5", p.LowerSlopeHeight }, { "f", "f", p.LowerFlatWidth },
        { "w7", "w7", p.RearSlopeWidth }, { "h7", "h7", p.RearSlopeHeight },
        { "hs", "hs", p.RearStepHeight }, { "ht", "ht", p.ToeHeight }, { "L", "L", SoilLength(p) },
        { "n", "n", p.BackfillSlope }, { "dw", "dw", dw }, { "hw", "hw", hw },
        { "xr", "xr", RearX(p) }, { "gc", "γc", p.ConcUnitWeight },
        { "yt", "ytop", WallTopLevel(p) }, { "ysh", "ysh", ShelfLevel(p) },
        { "gs", "γs", p.FillUnitWeight },
        { "gb", "γsat - γw", double(p.FillSatDensity) - p.WaterUnitWeight } };
    struct PieceText {
        const char* Name;
        const char* Weight;
        const char* Arm;
        const char* Level;
    };
    const PieceText dry8 { "soil over the leaning back", "{o} * {H} / 2 * {gs}",
        "{a} + {t} + 2 * {o} / 3", "{yt} - {H} / 3" };
    const PieceText dry9 { "soil over the shelf", "{s} * {H} * {gs}", "{a} + {t} + {o} + {s} / 2",
        "{yt} - {H} / 2" };
    const PieceText wet8 { "dry soil over the leaning back", "{dw}^2 / {H} * {o} / 2 * {gs}",
        "{a} + {t} + 2 * ({dw} / {H} * {o}) / 3", "{yt} - {dw} / 3" };
    const PieceText wet9 { "dry soil over the shelf", "({L} - {dw} / {H} * {o}) * {dw} * {gs}",
        "{xr} - ({L} - {dw} / {H} * {o}) / 2", "{yt} - {dw} / 2" };
    const PieceText pieces[PieceCount + 1] = {
        {},
        { "upper wall", "{H} * {t} * {gc}", "{a} + {t} / 2", "{ysh} + {H} / 2" },
        { "leaning back of the upper wall", "{o} * {H} / 2 * {gc}", "{a} + {t} + {o} / 3",
            "{ysh} + {H} / 3" },
        { "rear step", "({t} + {o} + {s}) * {hs} * {gc}", "{a} + ({t} + {o} + {s}) / 2",
            "{h5} + {h7} + {hs} / 2" },
        { "body", "{b} * ({h5} + {h7}) * {gc}", "{a} + {b} / 2", "({h5} + {h7}) / 2" },
        { "lower slope", "{w5} * {h5} / 2 * {gc}", "{a} + {b} + {w5} / 3", "2 * {h5} / 3" },
        { "toe", "{a} * {ht} * {gc}", "{a} / 2", "{ht} / 2" },
        p.BackfillSlope > 0 ? PieceText { "soil wedge above the wall top", "{L}^2 / {n} / 2 * {gs}",
            "{a} + {t} + 2 * {L} / 3", "{yt} + ({L} / {n}) / 3" }
                            : PieceText { "soil wedge above the wall top (level backfill)", "0",
                                "{a} + {t}", "{yt}" },
        wet ? wet8 : dry8,
        wet ? wet9 : dry9,
        wet ? PieceText { "buoyant soil over the leaning back", "{hw}^2 / {H} * {o} / 2 * {gb}",
            "{a} + {t} + {o} - ({hw} / {H} * {o}) / 3", "{yt} - {dw} - {hw} / 3" }
            : PieceText { "buoyant soil over the leaning back (dry backfill)", "0",
                "{a} + {t} + {o}", "{h7} + {hs}" },
        wet ? PieceText { "buoyant soil over the shelf", "{hw} * {s} * {gb}",
            "{a} + {t} + {o} + {s} / 2", "{yt} - {dw} - {hw} / 2" }
            : PieceText { "buoyant soil over the shelf (dry backfill)", "0",
                "{a} + {t} + {o} + {s} / 2", "{h7} + {hs}" },
        { "rear body over the lower slope and flat", "({w5} + {f}) * {h7} * {gc}",
            "{a} + {b} + ({w5} + {f}) / 2", "{h5} + {h7} / 2" },
        { "rear slope", "{w7} * {h7} / 2 * {gc}", "{a} + {b} + {w5} + {f} + {w7} / 3",
            "{h5} + 2 * {h7} / 3" },
    };
    std::string sumV;
    std::string sumM;
    double V = 0;
    double M = 0;
    for (int k = 1; k <= PieceCount; ++k) {
        const std::string name = std::string("piece ") + std::to_string(k) + ", " + pieces[k].Name;
        c.Step("Weight of " + name, Indexed("W", k), pieces[k].Weight, v, w[k].Weight, u.PerLength,
            Indexed("DeadForce", k));
        c.Step("Arm of " + name, Indexed("x", k), pieces[k].Arm, v, w[k].X, u.Length,
            Indexed("DeadArm", k));
        c.Step("Level of the centroid of " + name, Indexed("y", k), pieces[k].Level, v, w[k].Y,
            u.Length, Indexed("SeismicLevel", k));
        const double m = w[k].Weight * w[k].X;
        c.Step("Moment of " + name + " about the toe", Indexed("M", k), "{W} * {x}",
            { { "W", "W", w[k].Weight }, { "x", "x", w[k].X } }, m, u.Moment);
        parts.Add(double(s.Loads.DeadForce[k]) * double(s.Loads.DeadArm[k]));
        ForceLister::Append(sumV, w[k].Weight);
        ForceLister::Append(sumM, m);
        V += w[k].Weight;
        M += m;
    }
    c.Plain("The 13 pieces, vertical sum", "ΣV", "ΣW", sumV, V, u.PerLength,
        CaseField(p, "CaseVertical", 1));
    c.Plain("The 13 pieces, moment about the toe", "ΣM", "ΣW x", sumM, M, u.Moment,
        CaseField(p, "CaseMoment", 1));
    totals[1] = { M, 0, V, SheetNumber(M), "0", SheetNumber(V) };
    sheet.Chapters.push_back(c.Take());
}

void SoilChapter(const Project& p, const StabilityResults& s, const Units& u, MomentParts& parts,
    CaseTotals& totals, CalculationSheet& sheet)
{
    const LoadCaseResults& l = s.Loads;
    Chapter c("Soil (case 3): active pressure on the virtual back");
    const double ka = l.KaStatic;
    const double delta = p.DeltaEarth;
    const double i = BackfillAngle(p);
    const double upper = DryDepth(p) + SoilLength(p) * std::tan(i);
    const double hw = SubmergedHeight(p);
    c.Step("Height of the upper (dry) trapezoid", "hu", "{hd} + {L} * tan({i})",
        { { "hd", "hd", DryDepth(p) }, { "L", "L", SoilLength(p) }, { "i", "i", Deg(i), true } },
        upper, u.Length);
    const double p0 = double(p.Surcharge) * ka / std::cos(i) * std::cos(Radians(delta));
    c.Step("Ordinate of the surcharge at the wall top", "p0",
        "{q} * {ka} * cos(0°) / cos({i}) * cos({d})",
        { { "q", "q", p.Surcharge }, { "ka", "Ka", ka }, { "i", "i", Deg(i), true },
            { "d", "δ", delta, true } },
        p0, u.Pressure, "SoilPressure(0)");
    const double p1 = double(l.SoilPressure[0])
        + upper * ka * double(p.FillUnitWeight) * std::cos(Radians(delta));
    c.Step("Ordinate at the water table (or the shelf when dry)", "p1",
        "{p0} + {hu} * {ka} * {gs} * cos({d})",
        { { "p0", "p0", l.SoilPressure[0] }, { "hu", "hu", upper }, { "ka", "Ka", ka },
            { "gs", "γs", p.FillUnitWeight }, { "d", "δ", delta, true } },
        p1, u.Pressure, "SoilPressure(1)");
    if (BackfillWet(p)) {
        const double p2 = double(l.SoilPressure[1])
            + hw * ka * (double(p.FillSatDensity) - p.WaterUnitWeight) * std::cos(Radians(delta));
        c.Step("Ordinate at the shelf, buoyant soil below the water table", "p2",
            "{p1} + {hw} * {ka} * ({gsat} - {gw}) * cos({d})",
            { { "p1", "p1", l.SoilPressure[1] }, { "hw", "hw", hw }, { "ka", "Ka", ka },
                { "gsat", "γsat", p.FillSatDensity }, { "gw", "γw", p.WaterUnitWeight },
                { "d", "δ", delta, true } },
            p2, u.Pressure, "SoilPressure(2)");
    }
    if (p.UpperBackHeight > 0) {
        const double q0 = l.SoilPressure[0];
        const double q1 = l.SoilPressure[1];
        const double q2 = l.SoilPressure[2];
        const std::initializer_list<Var> v
            = { { "yt", "ytop", WallTopLevel(p) }, { "hd", "hd", DryDepth(p) },
                  { "hu", "hu", upper }, { "p0", "p0", q0 }, { "p1", "p1", q1 }, { "p2", "p2", q2 },
                  { "ysh", "ysh", ShelfLevel(p) }, { "hw", "hw", hw } };
        c.Step("Level of the upper trapezoid's force", "y1",
            q0 + q1 != 0 ? "{yt} - {hd} + {hu} * (2 * {p0} + {p1}) / (3 * ({p0} + {p1}))"
                         : "{yt} - {hd} + {hu} / 2",
            v,
            q0 + q1 != 0 ? WallTopLevel(p) - DryDepth(p) + upper * (2 * q0 + q1) / (3 * (q0 + q1))
                         : WallTopLevel(p) - DryDepth(p) + upper / 2,
            u.Length, "SoilLevel(1)");
        const bool lower = BackfillWet(p) && q1 + q2 != 0;
        c.Step(lower ? "Level of the lower trapezoid's force"
                     : "Level of the lower trapezoid's force (none: at the shelf)",
            "y2", lower ? "{ysh} + {hw} * (2 * {p1} + {p2}) / (3 * ({p1} + {p2}))" : "{ysh}", v,
            lower ? ShelfLevel(p) + hw * (2 * q1 + q2) / (3 * (q1 + q2)) : ShelfLevel(p), u.Length,
            "SoilLevel(2)");
        c.Step("Arm of the wall friction: the virtual back", "x3", "{a} + {t} + {o} + {s}",
            { { "a", "a", p.ToeWidth }, { "t", "t", p.TopWidth }, { "o", "o", p.UpperBackOffset },
                { "s", "s", p.ShelfWidth } },
            RearX(p), u.Length, "SoilArm(3)");
        c.Step("Largest ordinate", "pmax", BackfillWet(p) ? "max({p1}, {p2})" : "{p1}", v,
            BackfillWet(p) ? std::max(q1, q2) : q1, u.Pressure, "SoilPressureMax");
    }
    const double f1 = (double(l.SoilPressure[0]) + l.SoilPressure[1]) / 2 * upper;
    const double f2 = BackfillWet(p) ? (double(l.SoilPressure[1]) + l.SoilPressure[2]) / 2 * hw : 0;
    c.Step("Soil force above the water table (all of it when dry)", "F1",
        "({p0} + {p1}) / 2 * {hu}",
        { { "p0", "p0", l.SoilPressure[0] }, { "p1", "p1", l.SoilPressure[1] },
            { "hu", "hu", upper } },
        f1, u.PerLength);
    if (BackfillWet(p))
        c.Step("Soil force below the water table", "F2", "({p1} + {p2}) / 2 * {hw}",
            { { "p1", "p1", l.SoilPressure[1] }, { "p2", "p2", l.SoilPressure[2] },
                { "hw", "hw", hw } },
            f2, u.PerLength);
    c.Step("Wall friction on the virtual back, downward", "Fv", "({F1} + {F2}) * tan({d})",
        { { "F1", "F1", f1 }, { "F2", "F2", f2 }, { "d", "δ", delta, true } },
        (f1 + f2) * std::tan(Radians(delta)), u.PerLength, "SoilPressure(3)");
    ForceLister list { c, u, parts, {}, {}, {} };
    const auto forces = SoilForces(p, l);
    list.Add("F1 (above the water table)", forces[0]);
    list.Add("F2 (below the water table)", forces[1]);
    list.Add("the wall friction", forces[2]);
    c.Plain("Soil forces above, moment about the toe", "ΣM", "ΣM", list.Sum, list.Moment, u.Moment,
        CaseField(p, "CaseMoment", 3));
    c.Plain("Soil forces above, horizontal sum", "ΣH", "ΣH", list.SumH, list.H, u.PerLength,
        CaseField(p, "CaseHorizontal", 3));
    c.Plain("Soil forces above, vertical sum", "ΣV", "ΣV", list.SumV, list.V, u.PerLength,
        CaseField(p, "CaseVertical", 3));
    totals[3] = list.Totals();
    sheet.Chapters.push_back(c.Take());
}

void WaterChapter(const Project& p, const StabilityResults& s, const Units& u, MomentParts& parts,
    CaseTotals& totals, CalculationSheet& sheet)
{
    const LoadCaseResults& l = s.Loads;
    Chapter c("Water (case 4): ordinates, pressures and uplift");
    const double gw = p.WaterUnitWeight;
    const double yTop = WallTopLevel(p);
    const double dw = BackWaterTableDepth(p);
    const double df = FrontWaterTableDepth(p);
    const Var g { "gw", "γw", gw };
    if (yTop - dw > 0) {
        c.Step("Back water at the flat bottom", "p1", "({yt} - {dw}) * {gw}",
            { { "yt", "ytop", yTop }, { "dw", "dw", dw }, g }, (yTop - dw) * gw, u.Pressure,
            "WaterPressure(1)");
        c.Step("Uplift under the flat bottom", "p4", "({yt} - {dw}) * {gw}",
            { { "yt", "ytop", yTop }, { "dw", "dw", dw }, g }, (yTop - dw) * gw, u.Pressure,
            "WaterPressure(4)");
    }
    if (yTop - df > 0)
        c.Step("Front water at the flat bottom", "p2", "({yt} - {df}) * {gw}",
            { { "yt", "ytop", yTop }, { "df", "df", df }, g }, (yTop - df) * gw, u.Pressure,
            "WaterPressure(2)");
    if (BackfillWet(p))
        c.Step("Water on the shelf", "p3", "({H} - {dw}) * {gw}",
            { { "H", "H", p.UpperBackHeight }, { "dw", "dw", dw }, g },
            (double(p.UpperBackHeight) - dw) * gw, u.Pressure, "WaterPressure(3)");
    const double lowHead = yTop - double(p.LowerSlopeHeight) - dw;
    if (lowHead > 0)
        c.Step("Uplift at the top of the lower slope", "p5", "({yt} - {h5} - {dw}) * {gw}",
            { { "yt", "ytop", yTop }, { "h5", "h5", p.LowerSlopeHeight }, { "dw", "dw", dw }, g },
            lowHead * gw, u.Pressure, "WaterPressure(5)");
    if (df < double(p.FrontHeight))
        c.Step("Front water on the toe", "p6", "({hf} - {df}) * {gw}",
            { { "hf", "hf", p.FrontHeight }, { "df", "df", df }, g },
            (double(p.FrontHeight) - df) * gw, u.Pressure, "WaterPressure(6)");
    const double rearHead = double(p.RearStepHeight) + p.UpperBackHeight - dw;
    if (rearHead > 0)
        c.Step("Uplift at the top of the rear slope", "p7", "({hs} + {H} - {dw}) * {gw}",
            { { "hs", "hs", p.RearStepHeight }, { "H", "H", p.UpperBackHeight }, { "dw", "dw", dw },
                g },
            rearHead * gw, u.Pressure, "WaterPressure(7)");
    {
        // Levels of the water on the faces and arms of the water on and under the wall, from the
        // toe front; the ordinates as the run holds them.
        const auto& w = l.WaterPressure;
        const double backHead = yTop - dw;
        const double frontHead = yTop - df;
        const double x1 = double(p.ToeWidth) + p.BottomWidth;
        const double x3 = x1 + double(p.LowerSlopeWidth) + p.LowerFlatWidth;
        const double h5 = p.LowerSlopeHeight;
        const double h7 = p.RearSlopeHeight;
        const double w5 = p.LowerSlopeWidth;
        const double w7 = p.RearSlopeWidth;
        const std::initializer_list<Var> v = { { "yt", "ytop", yTop }, { "dw", "dw", dw },
            { "df", "df", df }, { "a", "a", p.ToeWidth }, { "b", "b", p.BottomWidth },
            { "w5", "w5", w5 }, { "h5", "h5", h5 }, { "f", "f", p.LowerFlatWidth },
            { "w7", "w7", w7 }, { "h7", "h7", h7 }, { "hs", "hs", p.RearStepHeight },
            { "H", "H", p.UpperBackHeight }, { "o", "o", p.UpperBackOffset },
            { "s", "s", p.ShelfWidth }, { "xr", "xr", RearX(p) },
            { "hw", "hw", SubmergedHeight(p) }, { "p4", "p4", w[4] }, { "p5", "p5", w[5] },
            { "p7", "p7", w[7] } };
        if (backHead > 0) {
            c.Step("Level of the back water's force", "y1", "({yt} - {dw}) / 3", v, backHead / 3,
                u.Length, "WaterLevel(1)");
            c.Step("Arm of the uplift under the flat bottom", "x4", "({a} + {b}) / 2", v, x1 / 2,
                u.Length, "WaterArm(4)");
        }
        if (frontHead > 0)
            c.Step("Level of the front water's force", "y2", "({yt} - {df}) / 3", v, frontHead / 3,
                u.Length, "WaterLevel(2)");
        if (BackfillWet(p)) {
            const double run = SubmergedHeight(p) / double(p.UpperBackHeight) * p.UpperBackOffset;
            const double width = run / 2 + p.ShelfWidth;
            const double shelf = p.ShelfWidth;
            c.Step("Arm of the water over the shelf and the leaning face (a triangle hw/H of the "
                   "lean wide and the rectangle over the shelf)",
                "x3",
                "{xr} - (({hw} / {H} * {o} / 3 + {s}) * {hw} / {H} * {o} / 2 + {s}^2 / 2) / ({hw} "
                "/ {H} * {o} / 2 + {s})",
                v,
                width > 0 ? RearX(p) - ((run / 3 + shelf) * (run / 2) + shelf * shelf / 2) / width
                          : RearX(p),
                u.Length, "WaterArm(3)");
        }
        const double lowHead = yTop - h5 - dw;
        const double p4 = w[4];
        const double p5 = w[5];
        const double p7 = w[7];
        if (lowHead > 0)
            c.Step("Arm of the uplift on the lower slope", "x5",
                p4 + p5 > 0 ? "{a} + {b} + {w5} * ({p4} + 2 * {p5}) / (3 * ({p4} + {p5}))"
                            : "{a} + {b} + {w5} / 2",
                v, p4 + p5 > 0 ? x1 + w5 * (p4 + 2 * p5) / (3 * (p4 + p5)) : x1 + w5 / 2, u.Length,
                "WaterArm(5)");
        else if (backHead > 0 && h5 > 0)
            c.Step("Arm of the uplift on the lower slope, wetted up to the water table", "x5",
                "{a} + {b} + min({w5}, ({yt} - {dw}) / {h5} * {w5}) / 3", v,
                x1 + std::min(w5, backHead / h5 * w5) / 3, u.Length, "WaterArm(5)");
        if (df < double(p.FrontHeight))
            c.Step("Arm of the water on the toe", "x6", "{a} / 2", v, double(p.ToeWidth) / 2,
                u.Length, "WaterArm(6)");
        const double rearHead = double(p.RearStepHeight) + p.UpperBackHeight - dw;
        if (rearHead > 0)
            c.Step("Arm of the uplift on the rear slope", "x7",
                p5 + p7 > 0
                    ? "{a} + {b} + {w5} + {f} + {w7} * ({p5} + 2 * {p7}) / (3 * ({p5} + {p7}))"
                    : "{a} + {b} + {w5} + {f} + {w7} / 2",
                v, p5 + p7 > 0 ? x3 + w7 * (p5 + 2 * p7) / (3 * (p5 + p7)) : x3 + w7 / 2, u.Length,
                "WaterArm(7)");
        else if (lowHead > 0 && h7 > 0)
            c.Step("Arm of the uplift on the rear slope, wetted up to the water table", "x7",
                "{a} + {b} + {w5} + {f} + min({w7}, ({yt} - {h5} - {dw}) / {h7} * {w7}) / 3", v,
                x3 + std::min(w7, lowHead / h7 * w7) / 3, u.Length, "WaterArm(7)");
        std::string all;
        for (int k = 1; k <= WaterOrdinateCount; ++k)
            all += (k > 1 ? ", " : "") + SheetNumber(w[size_t(k)]);
        c.Plain("Largest ordinate", "pmax", "max(p1..p7)", "max(" + all + ")",
            *std::max_element(w.begin() + 1, w.end()), u.Pressure, "WaterPressureMax");
    }
    static const char* const names[] = { "the back water", "the front water",
        "the water on the shelf", "the uplift on the flat bottom", "the uplift on the lower slope",
        "the uplift on the flat segment", "the uplift on the rear slope", "the water on the toe" };
    ForceLister list { c, u, parts, {}, {}, {} };
    const auto forces = WaterForces(p, l);
    for (size_t k = 0; k < forces.size(); ++k)
        list.Add(names[k], forces[k]);
    c.Plain("Water forces above, moment about the toe", "ΣM", "ΣM", list.Sum, list.Moment, u.Moment,
        CaseField(p, "CaseMoment", 4));
    c.Plain("Water forces above, vertical sum", "ΣV", "ΣV", list.SumV, list.V, u.PerLength,
        CaseField(p, "CaseVertical", 4));
    c.Plain("Water forces above, horizontal sum", "ΣH", "ΣH", list.SumH, list.H, u.PerLength,
        CaseField(p, "CaseHorizontal", 4));
    totals[4] = list.Totals();
    sheet.Chapters.push_back(c.Take());
}

void SeismicChapter(const Project& p, const StabilityResults& s, const Units& u, MomentParts& parts,
    CaseTotals& totals, CalculationSheet& sheet)
{
    const LoadCaseResults& l = s.Loads;
    Chapter c("Seismic (case 7): inertia, soil increment and front water");
    const double kh = p.SeismicCoef;
    const auto w = WallPieces(p);
    for (int k = 1; k <= PieceCount; ++k) {
        if ((k == 10 || k == 11) && BackfillWet(p))
            continue;
        c.Step("Inertia of piece " + std::to_string(k), Indexed("E", k), "{kh} * {W}",
            { { "kh", "kh", kh }, { "W", "W", w[k].Weight } }, kh * w[k].Weight, u.PerLength,
            Indexed("SeismicForce", k));
    }
    if (BackfillWet(p)) {
        const double H = p.UpperBackHeight;
        const double hw = SubmergedHeight(p);
        const std::initializer_list<Var> v = { { "hw", "hw", hw }, { "H", "H", H },
            { "o", "o", p.UpperBackOffset }, { "s", "s", p.ShelfWidth },
            { "gsat", "γsat", p.FillSatDensity }, { "kh", "kh", kh } };
        c.Step("Inertia of piece 10, saturated soil shaking with its pore water", "E(10)",
            "{hw} * {hw} / {H} * {o} / 2 * {gsat} * {kh}", v,
            hw * hw / H * p.UpperBackOffset / 2 * p.FillSatDensity * kh, u.PerLength,
            "SeismicForce(10)");
        c.Step("Inertia of piece 11, saturated soil over the shelf", "E(11)",
            "{hw} * {s} * {gsat} * {kh}", v, hw * p.ShelfWidth * p.FillSatDensity * kh, u.PerLength,
            "SeismicForce(11)");
    }
    const double gs = p.FillUnitWeight;
    const double cd = std::cos(Radians(p.DeltaEarth));
    if (p.UpperBackHeight > 0 && !l.SeismicUndefined) {
        const double hb = VirtualBackHeight(p);
        c.Step("Ordinate of the soil increment (inverted triangle over the virtual back)", "pE14",
            "{hb} * {dk} * {gs} * cos({d})",
            { { "hb", "hv", hb }, { "dk", "ΔKae", l.KaeIncrement }, { "gs", "γs", gs },
                { "d", "δ", p.DeltaEarth, true } },
            hb * l.KaeIncrement * gs * cd, u.Pressure, "SeismicForce(14)");
        if (BackfillWet(p))
            c.Step("Ordinate of the submerged increment", "pE15",
                "{hw} * {dk} * ({gsat} - {gs}) * cos({d})",
                { { "hw", "hw", SubmergedHeight(p) }, { "dk", "ΔKae", l.KaeIncrement },
                    { "gsat", "γsat", p.FillSatDensity }, { "gs", "γs", gs },
                    { "d", "δ", p.DeltaEarth, true } },
                SubmergedHeight(p) * l.KaeIncrement * (double(p.FillSatDensity) - gs) * cd,
                u.Pressure, "SeismicForce(15)");
        const double i = BackfillAngle(p);
        c.Step("Level of the soil increment, a third of the virtual back below the backfill "
               "surface there",
            "y14", "{yt} + {L} * tan({i}) - {hb} / 3",
            { { "yt", "ytop", WallTopLevel(p) }, { "L", "L", SoilLength(p) },
                { "i", "i", Deg(i), true }, { "hb", "hv", hb } },
            WallTopLevel(p) + SoilLength(p) * std::tan(i) - hb / 3, u.Length, "SeismicLevel(14)");
        if (BackfillWet(p))
            c.Step("Level of the submerged increment", "y15", "{ysh} + 2 * {hw} / 3",
                { { "ysh", "ysh", ShelfLevel(p) }, { "hw", "hw", SubmergedHeight(p) } },
                ShelfLevel(p) + 2 * SubmergedHeight(p) / 3, u.Length, "SeismicLevel(15)");
        else
            c.Plain("Level of the submerged increment (dry backfill: at the shelf)", "y15", "ysh",
                SheetNumber(ShelfLevel(p)), ShelfLevel(p), u.Length, "SeismicLevel(15)");
        const double hw = SubmergedHeight(p);
        c.Step("Wall friction of the increments on the virtual back, downward", "E18",
            "({hb} * {e14} / 2 + {hw} * {e15} / 2) * tan({d})",
            { { "hb", "hv", hb }, { "e14", "pE14", l.SeismicForce[14] }, { "hw", "hw", hw },
                { "e15", "pE15", l.SeismicForce[15] }, { "d", "δ", p.DeltaEarth, true } },
            (hb * double(l.SeismicForce[14]) / 2 + hw * double(l.SeismicForce[15]) / 2)
                * std::tan(Radians(p.DeltaEarth)),
            u.PerLength, "SeismicForce(18)");
        c.Step("Arm of that friction: the virtual back", "x18", "{a} + {t} + {o} + {s}",
            { { "a", "a", p.ToeWidth }, { "t", "t", p.TopWidth }, { "o", "o", p.UpperBackOffset },
                { "s", "s", p.ShelfWidth } },
            RearX(p), u.Length, "SeismicArm(18)");
    }
    const double hf = WallTopLevel(p) - FrontWaterTableDepth(p);
    if (hf > 0) {
        const std::initializer_list<Var> v
            = { { "gw", "γw", p.WaterUnitWeight }, { "kh", "kh", kh }, { "hf", "hf", hf } };
        c.Step("Westergaard ordinate of the front water", "pE16", "7 / 8 * {gw} * {kh} * {hf}", v,
            WestergaardOrdinate * p.WaterUnitWeight * kh * hf, u.Pressure, "SeismicForce(16)");
        c.Step("Westergaard force of the front water", "E17", "7 / 12 * {gw} * {kh} * {hf}^2", v,
            WestergaardForce * p.WaterUnitWeight * kh * hf * hf, u.PerLength, "SeismicForce(17)");
        c.Step("Level of the Westergaard force", "y17", "0.4 * {hf}", v, WestergaardLevel * hf,
            u.Length, "SeismicLevel(17)");
    }
    ForceLister list { c, u, parts, {}, {}, {} };
    const auto forces = SeismicForces(p, l);
    for (int k = 0; k < PieceCount; ++k)
        list.Add("the inertia of piece " + std::to_string(k + 1), forces[size_t(k)]);
    list.Add("the soil increment", forces[13]);
    list.Add("the submerged increment", forces[14]);
    list.Add("the front water", forces[15]);
    list.Add("the increment's wall friction", forces[16]);
    c.Plain("Seismic forces above, moment about the toe", "ΣM", "ΣM", list.Sum, list.Moment,
        u.Moment, CaseField(p, "CaseMoment", 7));
    c.Plain("Seismic forces above, horizontal sum", "ΣH", "ΣH", list.SumH, list.H, u.PerLength,
        CaseField(p, "CaseHorizontal", 7));
    c.Plain("Seismic forces above, vertical sum", "ΣV", "ΣV", list.SumV, list.V, u.PerLength,
        CaseField(p, "CaseVertical", 7));
    totals[7] = list.Totals();
    sheet.Chapters.push_back(c.Take());
}

void ExternalLoadChapter(const Project& p, const Units& u, MomentParts& parts,
    const CaseTotals& totals, CalculationSheet& sheet)
{
    Chapter c("Surcharge, line loads");
    const double L = SoilLength(p);
    c.Step("Surcharge over the soil length", "Q", "{q} * {L}",
        { { "q", "q", p.Surcharge }, { "L", "L", L } }, double(p.Surcharge) * L, u.PerLength);
    ForceLister list { c, u, parts, {}, {}, {} };
    list.Add("the surcharge", SurchargeForce(p, ServiceLoads));
    const int count = std::clamp<int>(p.LineLoadCount, 0, MaxLineLoads);
    for (int k = 1; k <= count; ++k) {
        const LineLoad& ll = p.LineLoads[k];
        const std::initializer_list<Var> v
            = { { "P", "P", ll.Load }, { "a", "α", ll.Direction, true } };
        c.Step("Line load " + std::to_string(k) + ", horizontal", "Px", "{P} * sin({a})", v,
            double(ll.Load) * std::sin(Radians(ll.Direction)), u.PerLength);
        c.Step("Line load " + std::to_string(k) + ", downward", "Py", "-{P} * cos({a})", v,
            -double(ll.Load) * std::cos(Radians(ll.Direction)), u.PerLength);
        list.Add("line load " + std::to_string(k), LineLoadForce(p, ServiceLoads, k));
    }
    // The sums of each case that a surcharge or line load belongs to: its own chapter's sums
    // (none for the live, structural and impact cases) and those loads.
    auto caseOf = [](int type) { return type >= 1 && type <= LoadCaseCount ? type : 0; };
    for (int k = 0; k <= LoadCaseCount; ++k) {
        CaseTotal t = totals[size_t(k)];
        bool any = false;
        auto add = [&](const PointForce& f) {
            any = true;
            const double m = MomentAboutToe(f);
            for (auto [line, sum, v] :
                { std::tuple { &t.SumM, &t.M, m }, std::tuple { &t.SumH, &t.H, f.Horizontal },
                    std::tuple { &t.SumV, &t.V, f.Vertical } }) {
                ForceLister::Append(*line, v);
                *sum += v;
            }
        };
        if (caseOf(p.SurchargeType) == k)
            add(SurchargeForce(p, ServiceLoads));
        for (int slot = 1; slot <= count; ++slot) {
            if (caseOf(p.LineLoads[slot].Type) == k)
                add(LineLoadForce(p, ServiceLoads, slot));
        }
        if (!any)
            continue;
        const std::string name = CaseTitle(k);
        const std::string of = ", " + name + " with its surcharge and line loads";
        c.Plain("Moment about the toe" + of, "ΣM", "ΣM", t.SumM, t.M, u.Moment,
            Indexed("CaseMoment", k));
        c.Plain("Horizontal sum" + of, "ΣH", "ΣH", t.SumH, t.H, u.PerLength,
            Indexed("CaseHorizontal", k));
        c.Plain(
            "Vertical sum" + of, "ΣV", "ΣV", t.SumV, t.V, u.PerLength, Indexed("CaseVertical", k));
    }
    sheet.Chapters.push_back(c.Take());
}

void ResultantChapter(
    const Project& p, const StabilityResults& s, const Units& u, CalculationSheet& sheet)
{
    Chapter c("Sums about the toe, resultant and eccentricity");
    std::string sv;
    std::string sh;
    std::string sm;
    double V = 0;
    double H = 0;
    double M = 0;
    for (int k = 0; k <= LoadCaseCount; ++k) {
        ForceLister::Append(sv, s.CaseVertical[k]);
        ForceLister::Append(sh, s.CaseHorizontal[k]);
        ForceLister::Append(sm, s.CaseMoment[k]);
        V += s.CaseVertical[k];
        H += s.CaseHorizontal[k];
        M += s.CaseMoment[k];
    }
    c.Plain("Total vertical force (over the load cases)", "V", "ΣV", sv, V, u.PerLength,
        "TotalVertical");
    c.Plain("Total horizontal force", "H", "ΣH", sh, H, u.PerLength, "TotalHorizontal");
    c.Plain("Total moment about the toe", "M", "ΣM", sm, M, u.Moment, "TotalMoment");
    const double Vf = s.TotalVertical;
    const double Hf = s.TotalHorizontal;
    const double Mf = s.TotalMoment;
    const double B = double(p.ToeWidth) + p.BottomWidth + p.LowerSlopeWidth + p.LowerFlatWidth
        + p.RearSlopeWidth;
    c.Step("Base span", "B", "{a} + {b} + {w5} + {f} + {w7}",
        { { "a", "a", p.ToeWidth }, { "b", "b", p.BottomWidth }, { "w5", "w5", p.LowerSlopeWidth },
            { "f", "f", p.LowerFlatWidth }, { "w7", "w7", p.RearSlopeWidth } },
        B, u.Length, "BaseSpan");
    if (!s.ResultantDefined) {
        c.Plain("The resultant cannot be placed on the base", "x", "M / V", "", NotFormed, u.Length,
            "ResultantX");
        sheet.Chapters.push_back(c.Take());
        return;
    }
    c.Step("Resultant's crossing of the base line y = 0", "x", "{M} / {V}",
        { { "M", "M", Mf }, { "V", "V", Vf } }, Mf / Vf, u.Length, "ResultantX");
    c.Step("Eccentricity from the middle of the base span", "e", "{x} - {B} / 2",
        { { "x", "x", s.ResultantX }, { "B", "B", s.BaseSpan } },
        double(s.ResultantX) - double(s.BaseSpan) / 2, u.Length, "MidbaseEccentricity");
    c.Step("Moment about the middle of the base span", "Me", "{e} * {V}",
        { { "e", "e", s.MidbaseEccentricity }, { "V", "V", Vf } },
        double(s.MidbaseEccentricity) * Vf, u.Moment, "MidbaseMoment");
    c.Step("Inclination of the resultant (towards the toe positive)", "ψ", "-atan({H} / {V})",
        { { "H", "H", Hf }, { "V", "V", Vf } }, -std::atan(Hf / Vf), "rad", "ResultantInclination");
    c.Step("Magnitude of the resultant", "R", "sqrt({H}^2 + {V}^2)",
        { { "H", "H", Hf }, { "V", "V", Vf } }, std::sqrt(Hf * Hf + Vf * Vf), u.PerLength,
        "ResultantMagnitude");
    if (s.BaseSolved) {
        const double psi = s.ResultantInclination;
        const auto pt = UndersidePoints(p);
        std::string list;
        double bp = 0;
        std::array<double, BaseSegmentCount + 1> proj {};
        for (int j = 1; j <= BaseSegmentCount; ++j) {
            const double uj = pt[j].X * std::cos(psi) - pt[j].Y * std::sin(psi);
            proj[size_t(j)] = uj;
            c.Step("Projection of underside point P" + std::to_string(j) + " across the resultant",
                Indexed("u", j), "{x} * cos({psi}) - {y} * sin({psi})",
                { { "x", "x", pt[j].X }, { "y", "y", pt[j].Y }, { "psi", "ψ", Deg(psi), true } },
                uj, u.Length);
            list += (list.empty() ? "" : ", ") + SheetNumber(uj);
            bp = std::max(bp, uj);
        }
        c.Plain("Projected base length", "Bp", "max(u1, u2, u3, u4)", "max(0, " + list + ")", bp,
            u.Length, "EffectiveBaseLength");
        // Each segment covers the stretch from where the one before it ended: a part hidden
        // behind an earlier segment covers nothing.
        double reached = 0;
        for (int j = 1; j <= BaseSegmentCount; ++j) {
            const std::string sj = std::to_string(j);
            double start = proj[size_t(j - 1)];
            if (j == 1)
                c.Plain("Start of segment 1 on the projected base: the toe front", "us(1)", "u0",
                    "0", 0, u.Length, "SegmentStartU(1)");
            else
                start = c.Step("Start of segment " + sj + " on the projected base",
                    Indexed("us", j), "max({u}, {e})",
                    { { "u", Indexed("u", j - 1), proj[size_t(j - 1)] },
                        { "e", Indexed("ue", j - 1), reached } },
                    std::max(proj[size_t(j - 1)], reached), u.Length, Indexed("SegmentStartU", j));
            reached = c.Step("End of segment " + sj + " on the projected base", Indexed("ue", j),
                "max({u}, {s})",
                { { "u", Indexed("u", j), proj[size_t(j)] }, { "s", Indexed("us", j), start } },
                std::max(proj[size_t(j)], start), u.Length, Indexed("SegmentEndU", j));
        }
        c.Step("Lever of the resultant on the projected base", "d", "{x} * cos({psi})",
            { { "x", "x", s.ResultantX }, { "psi", "ψ", Deg(psi), true } },
            double(s.ResultantX) * std::cos(psi), u.Length);
        c.Step("Eccentricity on the projected base", "ep", "{d} - {Bp} / 2",
            { { "d", "d", s.ResultantLever }, { "Bp", "Bp", s.EffectiveBaseLength } },
            double(s.ResultantLever) - double(s.EffectiveBaseLength) / 2, u.Length);
    }
    sheet.Chapters.push_back(c.Take());
}

void BaseChapter(
    const Project& p, const StabilityResults& s, const Units& u, CalculationSheet& sheet)
{
    Chapter c("Base pressure, bearing and sliding per segment");
    if (!s.BaseSolved) {
        c.Plain("The structure is not stable: the base is not solved", "", "", "", NotFormed, "",
            "EffectiveBaseLength");
        sheet.Chapters.push_back(c.Take());
        return;
    }
    const double R = s.ResultantMagnitude;
    const double Bp = s.EffectiveBaseLength;
    const double d = s.ResultantLever;
    const double e = d - Bp / 2;
    const std::initializer_list<Var> v
        = { { "R", "R", R }, { "Bp", "Bp", Bp }, { "e", "ep", e }, { "d", "d", d } };
    switch (s.PressureCase) {
    case BasePressureCase::FullCompression:
        c.Plain("Case 1: Bp/3 ≤ d ≤ 2Bp/3, the whole base in compression", "c", "Bp",
            SheetNumber(Bp), Bp, u.Length, "CompressedLength");
        c.Step("Pressure at the toe end", "q0", "max(0, {R} / {Bp} * (1 - 6 * {e} / {Bp}))", v,
            std::max(0.0, R / Bp * (1 - 6 * e / Bp)), u.Pressure, "PressureToeEnd");
        c.Step("Pressure at the rear end", "q1", "max(0, {R} / {Bp} * (1 + 6 * {e} / {Bp}))", v,
            std::max(0.0, R / Bp * (1 + 6 * e / Bp)), u.Pressure, "PressureFarEnd");
        break;
    case BasePressureCase::RearTriangle: {
        const double cl = 1.5 * (Bp - 2 * e);
        c.Step("Case 2: d > 2Bp/3, triangle peaking at the rear end", "c", "1.5 * ({Bp} - 2 * {e})",
            v, cl, u.Length, "CompressedLength");
        c.Step("Peak pressure at the rear end", "q1", "2 * {R} / {c}",
            { { "R", "R", R }, { "c", "c", s.CompressedLength } }, 2 * R / s.CompressedLength,
            u.Pressure, "PressureFarEnd");
        break;
    }
    case BasePressureCase::FrontTriangle: {
        const double kappa = AnchorStiffnessRatio(p);
        const int n = s.AnchorActiveCount;
        const double cl = s.CompressedLength;
        c.Plain("Case 3: d < Bp/3, triangle from the toe, anchors in tension where they lie "
                "beyond c; c is the root of c³/6 - d c²/2 + κ c (S1 - n d) - κ (S2 - d S1) = 0",
            "c", "root of the moment balance",
            "d = " + SheetNumber(d) + ", n = " + std::to_string(n) + ", S1 = "
                + SheetNumber(s.AnchorLeverSum) + ", S2 = " + SheetNumber(s.AnchorLeverSqSum),
            cl, u.Length, "CompressedLength");
        if (n > 0) {
            const double b = double(p.AnchorDia)
                / (p.UnitSystem == British ? InchesPerFoot : CentimetresPerMetre);
            c.Step("Anchor stiffness over the base modulus", "κ",
                "{Ea} * 3.141593 / 4 * {db}^2 / {sh} / {Eb}",
                { { "Ea", "Ea", p.AnchorE }, { "db", "db", b }, { "sh", "sh", p.AnchorHPitch },
                    { "Eb", "Eb", p.BaseE } },
                kappa, u.Length);
            c.Step("Residual of the balance at c (close to 0)", "f(c)",
                "{c}^3 / 6 - {d} * {c}^2 / 2 + {k} * {c} * ({S1} - {n} * {d}) - {k} * ({S2} - {d} "
                "* "
                "{S1})",
                { { "c", "c", cl }, { "d", "d", d }, { "k", "κ", kappa },
                    { "S1", "S1", s.AnchorLeverSum }, { "S2", "S2", s.AnchorLeverSqSum },
                    { "n", "n", double(n) } },
                cl * cl * cl / 6 - d * cl * cl / 2 + kappa * cl * (s.AnchorLeverSum - n * d)
                    - kappa * (s.AnchorLeverSqSum - d * s.AnchorLeverSum),
                u.Length + "³");
            c.Step("Pressure at the toe", "q0", "{R} / ({c} / 2 - {k} * ({S1} / {c} - {n}))",
                { { "R", "R", R }, { "c", "c", cl }, { "k", "κ", kappa },
                    { "S1", "S1", s.AnchorLeverSum }, { "n", "n", double(n) } },
                R / (cl / 2 - kappa * (s.AnchorLeverSum / cl - n)), u.Pressure, "PressureToeEnd");
        } else {
            c.Step("Pressure at the toe", "q0", "2 * {R} / {c}",
                { { "R", "R", R }, { "c", "c", cl } }, 2 * R / cl, u.Pressure, "PressureToeEnd");
        }
        break;
    }
    case BasePressureCase::None: break;
    }

    const double toPressure = StressToPressure(p.UnitSystem);
    const double allowable = std::min(double(p.BaseQd), double(p.ConcFc)) * toPressure;
    const double psi = s.ResultantInclination;
    const auto pt = UndersidePoints(p);
    // The compressed zone on the projected base.
    double zs = 0;
    double ze = Bp;
    if (s.PressureCase == BasePressureCase::RearTriangle)
        zs = Bp - s.CompressedLength;
    if (s.PressureCase == BasePressureCase::FrontTriangle)
        ze = s.CompressedLength;
    // The ends on the segment itself of the stretch a..b of its projection.
    auto contact = [&](int j, double a, double b, const std::string& seg) {
        const double alpha = std::atan2(pt[j].Y - pt[j - 1].Y, pt[j].X - pt[j - 1].X);
        const double u0 = pt[j - 1].X * std::cos(psi) - pt[j - 1].Y * std::sin(psi);
        const double u1 = pt[j].X * std::cos(psi) - pt[j].Y * std::sin(psi);
        const bool edgeOn = !(std::abs(Pi / 2 - (psi + alpha)) > 1e-5) || u1 == u0;
        for (const auto& [end, ua, name] :
            { std::tuple { "start", a, "ContactStart" }, std::tuple { "end", b, "ContactEnd" } }) {
            const double t = edgeOn ? 0.0 : std::clamp((ua - u0) / (u1 - u0), 0.0, 1.0);
            for (const auto& [axis, lo, hi, k] : { std::tuple { "x", pt[j - 1].X, pt[j].X, 1 },
                     std::tuple { "y", pt[j - 1].Y, pt[j].Y, 2 } }) {
                const std::string label = "Contact point at the " + std::string(end)
                    + " of the loaded part" + seg + ": " + axis;
                const std::string field = Indexed(name, j, k);
                if (edgeOn)
                    c.Step(label + " (segment seen edge-on: its start)", axis, "{p0}",
                        { { "p0", Indexed(axis, j - 1), lo } }, lo, u.Length, field);
                else
                    c.Step(label, axis,
                        "{p0} + min(1, max(0, ({u} - {u0}) / ({u1} - {u0}))) * ({p1} - {p0})",
                        { { "p0", Indexed(axis, j - 1), lo }, { "p1", Indexed(axis, j), hi },
                            { "u", "u", ua }, { "u0", Indexed("u", j - 1), u0 },
                            { "u1", Indexed("u", j), u1 } },
                        lo + t * (hi - lo), u.Length, field);
            }
        }
    };
    // The segments' end pressures, for the largest and smallest under the base.
    std::vector<double> pressures;
    for (int j = 1; j <= BaseSegmentCount; ++j) {
        if (!(double(s.SegmentEndU[j]) - double(s.SegmentStartU[j]) > 1e-5)) {
            // Hidden behind an earlier segment or seen edge-on: it bears nothing.
            const std::string seg = " of segment " + std::to_string(j);
            c.Plain("Bearing safety" + seg + " (it covers nothing on the projected base)",
                Indexed("FSb", j), "∞", SheetNumber(InfiniteSafety), InfiniteSafety, "",
                Indexed("SegmentBearingSafety", j));
            c.Plain("Sliding safety" + seg + " (it covers nothing on the projected base)",
                Indexed("FSs", j), "∞", SheetNumber(InfiniteSafety), InfiniteSafety, "",
                Indexed("SegmentSlidingSafety", j));
            continue;
        }
        const std::string seg = " of segment " + std::to_string(j);
        const double alpha = std::atan2(pt[j].Y - pt[j - 1].Y, pt[j].X - pt[j - 1].X);
        double a = std::max(double(s.SegmentStartU[j]), zs);
        double b = std::min(double(s.SegmentEndU[j]), ze);
        if (a > b)
            a = b = double(s.SegmentEndU[j]) <= zs ? s.SegmentEndU[j] : s.SegmentStartU[j];
        contact(j, a, b, seg);
        const double qa = ProjectedPressure(s, a);
        const double qb = ProjectedPressure(s, b);
        const std::initializer_list<Var> v = { { "qa", "qa", qa }, { "qb", "qb", qb },
            { "psi", "ψ", Deg(psi), true }, { "al", "α", Deg(alpha), true } };
        const double cc = std::cos(psi + alpha);
        const double ss = std::sin(psi + alpha);
        const double ps = c.Step("Pressure normal to the segment at its start" + seg,
            Indexed("qs", j), "{qa} * cos({psi} + {al})^2", v, qa * cc * cc, u.Pressure,
            Indexed("SegmentPressureStart", j));
        pressures.push_back(ps);
        const double pe = c.Step("Pressure normal to the segment at its end" + seg,
            Indexed("qe", j), "{qb} * cos({psi} + {al})^2", v, qb * cc * cc, u.Pressure,
            Indexed("SegmentPressureEnd", j));
        pressures.push_back(pe);
        if (ps == 0 && pe == 0)
            c.Plain("Bearing safety" + seg + " (no pressure)", Indexed("FSb", j), "∞",
                SheetNumber(InfiniteSafety), InfiniteSafety, "",
                Indexed("SegmentBearingSafety", j));
        else
            c.Step("Bearing safety" + seg + " = allowable / peak pressure", Indexed("FSb", j),
                "min({qd}, {fc}) * {k} / max({ps}, {pe})",
                { { "qd", "qd", p.BaseQd }, { "fc", "f'c", p.ConcFc }, { "k", "k", toPressure },
                    { "ps", "qs", s.SegmentPressureStart[j] },
                    { "pe", "qe", s.SegmentPressureEnd[j] } },
                Safety(allowable,
                    std::max(double(s.SegmentPressureStart[j]), double(s.SegmentPressureEnd[j]))),
                "", Indexed("SegmentBearingSafety", j));
        const double peak = std::max(qa, qb);
        const double shear = c.Step("Shear along the segment at the peak pressure" + seg,
            Indexed("τ", j), "abs({q} * sin({psi} + {al}) * cos({psi} + {al}))",
            { { "q", "qmax", peak }, { "psi", "ψ", Deg(psi), true },
                { "al", "α", Deg(alpha), true } },
            std::abs(peak * ss * cc), u.Pressure, Indexed("SegmentShear", j));
        const double resist = c.Step("Shear friction resistance" + seg, Indexed("τr", j),
            "{cb} * {k} + {q} * cos({psi} + {al})^2 * tan({pb})",
            { { "cb", "cb", p.BaseCohesion }, { "k", "k", toPressure }, { "q", "qmax", peak },
                { "psi", "ψ", Deg(psi), true }, { "al", "α", Deg(alpha), true },
                { "pb", "φb", p.BasePhi, true } },
            double(p.BaseCohesion) * toPressure
                + peak * cc * cc * std::tan(double(p.BasePhi) * Pi / DegreesPerRadian),
            u.Pressure, Indexed("SegmentResistance", j));
        c.Step("Sliding safety" + seg + " = resistance / shear", Indexed("FSs", j), "{r} / {t}",
            { { "r", "τr", resist }, { "t", "τ", shear } }, Safety(resist, shear), "",
            Indexed("SegmentSlidingSafety", j));
        // The pressure over the loaded part of the segment, resolved across the resultant.
        c.Step("Force of the pressure" + seg + ", across the resultant", Indexed("Fs", j),
            "sin({psi} + {al}) * ({b} - {a}) * ({qa} + {qb}) / 2",
            { { "psi", "ψ", Deg(psi), true }, { "al", "α", Deg(alpha), true }, { "a", "ua", a },
                { "b", "ub", b }, { "qa", "qa", qa }, { "qb", "qb", qb } },
            ss * (b - a) * (qa + qb) / 2, u.PerLength, Indexed("SegmentForce", j));
    }
    if (!pressures.empty()) {
        std::string list;
        for (double q : pressures)
            list += (list.empty() ? "" : ", ") + SheetNumber(q);
        c.Plain("Largest pressure under the base", "qmax", "max(qs, qe of the segments)",
            "max(0, " + list + ")",
            std::max(0.0, *std::max_element(pressures.begin(), pressures.end())), u.Pressure,
            "BasePressureMax");
        c.Plain("Smallest pressure under the base", "qmin", "min(qs, qe of the segments)",
            "min(" + list + ")", *std::min_element(pressures.begin(), pressures.end()), u.Pressure,
            "BasePressureMin");
    }
    sheet.Chapters.push_back(c.Take());
}

void AnchorChapter(
    const Project& p, const StabilityResults& s, const Units& u, CalculationSheet& sheet)
{
    if (s.Loads.AnchorRowCount < 1)
        return;
    Chapter c("Anchors");
    const double psi = s.ResultantInclination;
    const double kappa = AnchorStiffnessRatio(p);
    const double toPressure = StressToPressure(p.UnitSystem);
    const auto pt = UndersidePoints(p);
    const int count = s.Loads.AnchorRowCount;
    const double h5 = p.LowerSlopeHeight;
    const double top = pt[4].Y;
    // Two heights a hundred-thousandth apart are one level, as the placement takes them.
    auto sameLevel = [](double a, double b) {
        return std::abs(a - b) <= 1e-5 * std::max(std::abs(a), std::abs(b));
    };
    for (int row = 1; row <= count; ++row) {
        const AnchorRow& a = s.Loads.Anchor[row];
        const std::string rs = std::to_string(row);
        const std::string head = "Anchor(" + rs + ")";
        // Rows are placed from the lowest up and numbered from the highest down.
        const int i = count - row + 1;
        const std::initializer_list<Var> place = { { "e", "ea", p.AnchorEdgeDist },
            { "i", "i", double(i) }, { "sv", "sv", p.AnchorVPitch }, { "a", "a", p.ToeWidth },
            { "b", "b", p.BottomWidth }, { "w5", "w5", p.LowerSlopeWidth }, { "h5", "h5", h5 },
            { "f", "f", p.LowerFlatWidth }, { "w7", "w7", p.RearSlopeWidth },
            { "h7", "h7", p.RearSlopeHeight }, { "y", "y", a.Y } };
        const double y0
            = std::max(0.0, double(p.AnchorEdgeDist) + (i - 1) * double(p.AnchorVPitch));
        const char* lowerFace = p.LowerSlopeWidth == 0 ? "90°" : "atan({h5} / {w5})";
        const char* rearFace = p.RearSlopeWidth == 0 ? "90°" : "atan({h7} / {w7})";
        const double lowerAngle
            = p.LowerSlopeWidth == 0 ? Pi / 2 : std::atan(h5 / p.LowerSlopeWidth);
        const double rearAngle = p.RearSlopeWidth == 0
            ? Pi / 2
            : std::atan(double(p.RearSlopeHeight) / p.RearSlopeWidth);
        const char* yText = "max(0, {e} + ({i} - 1) * {sv})";
        const char* xText = "";
        const char* faceText = "";
        double y = y0;
        double x = 0;
        double face = 0;
        std::string where;
        if (sameLevel(y0, h5)) {
            where = " (at the top of the lower slope)";
            yText = "{h5}";
            y = h5;
            xText = "{a} + {b} + {w5}";
            x = pt[2].X;
            faceText = p.LowerFlatWidth == 0 ? lowerFace : rearFace;
            face = p.LowerFlatWidth == 0 ? lowerAngle : rearAngle;
        } else if (y0 < h5) {
            where = " (on the lower slope)";
            xText = "{a} + {b} + {w5} * {y} / {h5}";
            x = pt[1].X + double(p.LowerSlopeWidth) * y / h5;
            faceText = lowerFace;
            face = lowerAngle;
        } else if (y0 < top && !sameLevel(y0, top)) {
            where = " (on the rear slope)";
            xText = "{a} + {b} + {w5} + {f} + {w7} * ({y} - {h5}) / {h7}";
            x = pt[3].X + double(p.RearSlopeWidth) * (y - h5) / double(p.RearSlopeHeight);
            faceText = rearFace;
            face = rearAngle;
        } else {
            where = " (at the rear end of the underside)";
            yText = "{h5} + {h7}";
            y = top;
            xText = "{a} + {b} + {w5} + {f} + {w7}";
            x = pt[4].X;
            faceText = rearFace;
            face = rearAngle;
        }
        c.Step("Height of anchor row " + rs + "'s head" + where, "ya", yText, place, y, u.Length,
            head + ".y");
        c.Step("Distance of anchor row " + rs + "'s head from the toe front", "xa", xText, place, x,
            u.Length, head + ".x");
        c.Step("Angle of the underside at anchor row " + rs, "αa", faceText, place, face, "rad",
            head + ".face");
        const double lever = double(a.X) * std::cos(psi) - double(a.Y) * std::sin(psi);
        // The stability sorts the levers, longest first: the field is the row's place there.
        std::string leverField;
        for (int k = 1; s.BaseSolved && k <= count; ++k) {
            if (s.AnchorLeverRow[size_t(k)] == row)
                leverField = Indexed("AnchorLever", k);
        }
        c.Step("Lever of anchor row " + std::to_string(row) + " on the projected base",
            Indexed("da", row), "{x} * cos({psi}) - {y} * sin({psi})",
            { { "x", "x", a.X }, { "y", "y", a.Y }, { "psi", "ψ", Deg(psi), true } }, lever,
            u.Length, leverField);
        if (!s.BaseSolved || s.PressureCase != BasePressureCase::FrontTriangle
            || !(lever > s.CompressedLength) || s.AnchorActiveCount < 1) {
            if (s.BaseSolved) {
                c.Plain("Anchor row " + rs + " is not in tension: force along it", "Ta", "0", "0",
                    0, u.PerLength, head + ".along");
                c.Plain("Anchor row " + rs + " is not in tension: force across it", "Tq", "0", "0",
                    0, u.PerLength, head + ".across");
            }
            continue;
        }
        const std::string r = std::to_string(row);
        const double pull
            = c.Step("Pull of anchor row " + r + " (spring beyond the compressed zone)",
                Indexed("T", row), "{k} * {q0} * ({d} - {c}) / {c}",
                { { "k", "κ", kappa }, { "q0", "q0", s.PressureToeEnd }, { "d", "da", lever },
                    { "c", "c", s.CompressedLength } },
                kappa * s.PressureToeEnd * (lever - s.CompressedLength) / s.CompressedLength,
                u.PerLength);
        const std::initializer_list<Var> v = { { "T", "T", pull }, { "psi", "ψ", Deg(psi), true },
            { "fa", "αa", Deg(a.Face), true } };
        c.Step("Force along anchor row " + r, "Ta", "{T} * cos({psi} + {fa})", v,
            pull * std::cos(psi + a.Face), u.PerLength, "Anchor(" + r + ").along");
        c.Step("Force across anchor row " + r, "Tq", "{T} * sin({psi} + {fa})", v,
            pull * std::sin(psi + a.Face), u.PerLength, "Anchor(" + r + ").across");
    }
    if (s.BaseSolved) {
        const int n = s.AnchorActiveCount;
        c.Plain("Rows in tension: the longest levers that pass the compressed length", "n",
            "count of da > c", std::to_string(n), n, "", "AnchorActiveCount");
        std::string s1;
        std::string s2;
        double sum = 0;
        double squares = 0;
        for (int k = 1; k <= n; ++k) {
            const double d = s.AnchorLever[size_t(k)];
            s1 += (k > 1 ? " + " : "") + SheetNumber(d);
            s2 += (k > 1 ? " + " : "") + SheetNumber(d) + "^2";
            sum += d;
            squares += d * d;
        }
        c.Plain("Sum of the levers of the rows in tension", "S1", "Σ da", n > 0 ? s1 : "0", sum,
            u.Length, "AnchorLeverSum");
        c.Plain("Sum of their squares", "S2", "Σ da^2", n > 0 ? s2 : "0", squares, u.Length + "²",
            "AnchorLeverSqSum");
    }
    if (s.BaseSolved && s.AnchorTensionMax == 0) {
        for (const auto& [label, symbol, value, unit, field] :
            { std::tuple {
                  "No anchor in tension: tension", "Tmax", 0.0, u.Force, "AnchorTensionMax" },
                std::tuple {
                    "No anchor in tension: shear", "Vmax", 0.0, u.Force, "AnchorShearMax" },
                std::tuple { "No anchor in tension: tension stress", "σa", 0.0, u.Pressure,
                    "AnchorTensionStress" },
                std::tuple { "No anchor in tension: shear stress", "τa", 0.0, u.Pressure,
                    "AnchorShearStress" },
                std::tuple { "No anchor in tension: tension safety", "FSt", InfiniteSafety,
                    std::string(), "AnchorTensionSafety" },
                std::tuple { "No anchor in tension: shear safety", "FSv", InfiniteSafety,
                    std::string(), "AnchorShearSafety" } })
            c.Plain(label, symbol, value == 0 ? "0" : "∞", SheetNumber(value), value, unit, field);
    }
    if (s.BaseSolved && s.AnchorTensionMax != 0) {
        const int row = s.AnchorLeverRow[1];
        const AnchorRow& a = s.Loads.Anchor[row];
        const double area = AnchorBarArea(p);
        const double bar
            = double(p.AnchorDia) / (p.UnitSystem == British ? InchesPerFoot : CentimetresPerMetre);
        c.Step("Bar area", "Ab", "3.141593 / 4 * {db}^2", { { "db", "db", bar } }, area,
            u.Length + "²");
        const double t = c.Step(
            "Tension of the most stressed anchor (largest lever, row " + std::to_string(row) + ")",
            "Tmax", "{sh} * {Ta}", { { "sh", "sh", p.AnchorHPitch }, { "Ta", "Ta", a.Along } },
            double(p.AnchorHPitch) * a.Along, u.Force, "AnchorTensionMax");
        const double v = c.Step("Shear of that anchor", "Vmax", "{sh} * abs({Tq})",
            { { "sh", "sh", p.AnchorHPitch }, { "Tq", "Tq", a.Across } },
            double(p.AnchorHPitch) * std::abs(double(a.Across)), u.Force, "AnchorShearMax");
        c.Step("Tension stress", "σa", "{T} / {A}", { { "T", "Tmax", t }, { "A", "Ab", area } },
            t / area, u.Pressure, "AnchorTensionStress");
        c.Step("Shear stress", "τa", "{V} / {A}", { { "V", "Vmax", v }, { "A", "Ab", area } },
            v / area, u.Pressure, "AnchorShearStress");
        c.Step("Anchor tension safety = yield / stress", "FSt", "{fy} * {k} / abs({s})",
            { { "fy", "fya", p.AnchorYield }, { "k", "k", toPressure },
                { "s", "σa", s.AnchorTensionStress } },
            Safety(double(p.AnchorYield) * toPressure, std::abs(double(s.AnchorTensionStress))), "",
            "AnchorTensionSafety");
        c.Step("Anchor shear safety = shear strength / stress", "FSv", "{fv} * {k} / abs({s})",
            { { "fv", "fva", p.AnchorShear }, { "k", "k", toPressure },
                { "s", "τa", s.AnchorShearStress } },
            Safety(double(p.AnchorShear) * toPressure, std::abs(double(s.AnchorShearStress))), "",
            "AnchorShearSafety");
    }
    sheet.Chapters.push_back(c.Take());
}

void SafetyChapter(
    const StabilityResults& s, const MomentParts& parts, const Units& u, CalculationSheet& sheet)
{
    Chapter c("Safety factors");
    MomentParts all = parts;
    all.Add(s.AnchorForceMoment);
    c.Plain("Resisting moment about the toe: weights, pushes towards the backfill, anchors", "Mr",
        "Σ M > 0", SheetNumber(all.Resisting), all.Resisting, u.Moment);
    c.Plain("Overturning moment about the toe: pushes towards the toe, uplift", "Mo", "Σ |M < 0|",
        SheetNumber(all.Overturning), all.Overturning, u.Moment);
    c.Step("Overturning safety = resisting / overturning moment", "FSo", "{Mr} / {Mo}",
        { { "Mr", "Mr", all.Resisting }, { "Mo", "Mo", all.Overturning } },
        Safety(all.Resisting, all.Overturning), "", "OverturningSafety");
    if (s.BaseSolved) {
        std::string bearing;
        std::string sliding;
        for (int j = 1; j <= BaseSegmentCount; ++j) {
            if (!(double(s.SegmentEndU[j]) - double(s.SegmentStartU[j]) > 1e-5))
                continue;
            ForceLister::Append(bearing, s.SegmentBearingSafety[j]);
            ForceLister::Append(sliding, s.SegmentSlidingSafety[j]);
        }
        auto asMin = [](std::string t) {
            for (size_t k = 0; (k = t.find(" + ", k)) != std::string::npos;)
                t.replace(k, 3, ", ");
            return "min(" + t + ")";
        };
        c.Plain("Bearing safety: smallest over the segments (allowable min(qd, f'c) over the "
                "peak normal pressure)",
            "FSb", "min FSb(j)", asMin(bearing), s.BearingSafetyMin, "", "BearingSafetyMin");
        c.Plain("Sliding safety: smallest over the segments (shear friction at the peak "
                "pressure over the shear)",
            "FSs", "min FSs(j)", asMin(sliding), s.SlidingSafetyMin, "", "SlidingSafetyMin");
        // The first segment of the smallest safety gives the shear and resistance reported.
        int least = 0;
        for (int j = 1; j <= BaseSegmentCount; ++j) {
            if (double(s.SegmentEndU[j]) - double(s.SegmentStartU[j]) > 1e-5
                && (least == 0 || s.SegmentSlidingSafety[j] < s.SegmentSlidingSafety[least]))
                least = j;
        }
        if (least > 0) {
            const std::string at = " at the segment of the smallest sliding safety (segment "
                + std::to_string(least) + ")";
            c.Plain("Shear" + at, "τ", Indexed("τ", least), SheetNumber(s.SegmentShear[least]),
                s.SegmentShear[least], u.Pressure, "SlidingShear");
            c.Plain("Shear friction resistance" + at, "τr", Indexed("τr", least),
                SheetNumber(s.SegmentResistance[least]), s.SegmentResistance[least], u.Pressure,
                "SlidingResistance");
        }
    }
    sheet.Chapters.push_back(c.Take());
}

// What a force beyond a cut is, in words.
std::string TermName(const SectionTerm& t, int section)
{
    using S = SectionTermSource;
    static const char* const concrete[] = { "", "the rear step slab",
        "the body over the flat bottom", "the body over the lower slope",
        "the body over the lower slope and flat segment", "the body over the rear slope" };
    const std::string i = std::to_string(t.Index);
    switch (t.Source) {
    case S::LineLoad: return "line load " + i;
    case S::FaceEarthPressure:
        return t.Index == 1 ? "earth pressure on the leaning face above the water table"
                            : "earth pressure on the leaning face below the water table";
    case S::FaceSeismicIncrement:
        return t.Index == 1 ? "seismic increment on the leaning face"
                            : "seismic increment of the saturated soil on the leaning face";
    case S::Surcharge: return "surcharge";
    case S::Piece: return "weight of piece " + i;
    case S::Concrete: return "concrete above the cut in " + std::string(concrete[t.Index % 6]);
    case S::PieceInertia: return "inertia of piece " + i;
    case S::ConcreteInertia:
        return "inertia of the concrete above the cut in " + std::string(concrete[t.Index % 6]);
    case S::SeismicSoil:
        return t.Index == 14 ? "soil increment on the virtual back, E14"
            : t.Index == 15  ? "submerged increment on the virtual back, E15"
                             : "wall friction of the increments, E18";
    case S::FrontWaterSurge: return "Westergaard surge of the front water above the cut";
    case S::BackWater: return "back water above the cut";
    case S::FrontWater: return "front water above the cut";
    case S::FaceWater: return "water resting on the leaning face";
    case S::ShelfWater: return "water over the shelf and the leaning face";
    case S::Uplift: return "uplift on segment " + i + " above the cut";
    case S::ToeFrontWater: return "front water standing on the toe";
    case S::ToeUplift: return "uplift under the toe";
    case S::BaseReaction:
        return section == 3 ? std::string("base pressure under the toe")
                            : "base pressure on segment " + i + " above the cut";
    case S::ToeShearReaction: return "base pressure in front of the critical shear section";
    case S::AnchorPull: return "pull of anchor row " + i;
    }
    return {};
}

bool HoldsTheStructure(const SectionTerm& t)
{
    return t.Source == SectionTermSource::BaseReaction
        || t.Source == SectionTermSource::ToeShearReaction
        || t.Source == SectionTermSource::AnchorPull;
}

// The toe's own loads, whose shear is the part in front of its critical section.
bool ToeLoad(const SectionTerm& t)
{
    return t.Source == SectionTermSource::Piece || t.Source == SectionTermSource::ToeFrontWater
        || t.Source == SectionTermSource::ToeUplift;
}

// The sums of one load case beyond a cut at factor 1, and whether the sheet lists them.
struct CaseSums {
    std::array<double, LoadCaseCount + 1> M {};
    std::array<double, LoadCaseCount + 1> V {};
    std::array<double, LoadCaseCount + 1> N {};
    std::array<bool, LoadCaseCount + 1> HasM {};
    std::array<bool, LoadCaseCount + 1> HasV {};
    std::array<bool, LoadCaseCount + 1> HasN {};
};

// Moment of a force about a cut's centre, as the section forces take it.
double TermMoment(
    Chapter& c, const std::string& label, const SectionTerm& t, const PlanePoint& o, const Units& u)
{
    return c.Step(label + ", moment about the cut centre", "M",
        "{V} * ({x} - {xc}) + {H} * ({y} - {yc})",
        { { "V", "V", t.Vertical }, { "x", "x", t.X }, { "xc", "xc", o.X },
            { "H", "H", t.Horizontal }, { "y", "y", t.Y }, { "yc", "yc", o.Y } },
        t.Moment, u.Moment);
}

// The forces that only the cuts form, from the inputs, each the first time a cut meets it: the
// Coulomb pressure on the leaning face and its seismic increment, the surcharge, the body's
// concrete above its cut, the water and the surge above a cut, the uplift on the underside
// above the body's cut and the water on the toe. The values are the section forces' own.
class CutForces {
public:
    CutForces(Chapter& c, const Project& p, const SectionForceTrace& t, const Units& u)
        : c_(c)
        , p_(p)
        , t_(t)
        , u_(u)
    {
    }

    void Derive(const SectionTerm& term, int section, const std::string& label)
    {
        using S = SectionTermSource;
        const std::pair key { int(term.Source), int(term.Index) };
        const bool again = std::find(seen_.begin(), seen_.end(), key) != seen_.end();
        switch (term.Source) {
        case S::FaceEarthPressure:
            if (!again)
                FacePressure(term, label);
            break;
        case S::FaceSeismicIncrement:
            if (!again)
                FaceIncrement(term, label);
            break;
        case S::Surcharge: Surcharge(term, label); break;
        case S::Piece:
            if (section == 2 && term.Index == 7 && FaceCarriesItsSoil())
                ShareOfPiece7(term, label);
            break;
        case S::Concrete: Concrete(term, label); break;
        case S::ConcreteInertia: ConcreteInertia(term, section, label); break;
        case S::FrontWaterSurge: Surge(term, section, label); break;
        case S::BackWater:
        case S::FrontWater: WaterAbove(term, section, label); break;
        case S::FaceWater: FaceWater(term, label); break;
        case S::Uplift: Uplift(term, label); break;
        case S::ToeFrontWater:
            c_.Step(label + ", weight", "V", "{p6} * {a}",
                { { "p6", "p6", PressureOf(6) }, { "a", "a", p_.ToeWidth } }, term.Vertical,
                u_.PerLength);
            break;
        case S::ToeUplift:
            c_.Step(label + ", upward", "V", "-{p4} * {a}",
                { { "p4", "p4", PressureOf(4) }, { "a", "a", p_.ToeWidth } }, term.Vertical,
                u_.PerLength);
            break;
        default: break;
        }
        if (!again)
            seen_.push_back(key);
    }

    bool FaceCarriesItsSoil() const
    {
        return p_.UpperBackHeight > 0 && t_.FaceKa > 0 && p_.UpperBackOffset > 0;
    }

    // The water ordinates of the service run, which is at factor 1 too.
    void SetWaterPressures(const std::array<float, WaterOrdinateCount + 1>& w) { water_ = w; }

private:
    double PressureOf(int k) const { return water_[size_t(k)]; }

    double Beta() const
    {
        return std::atan2(double(p_.UpperBackOffset), double(p_.UpperBackHeight));
    }

    // β, Ka on the face and the ordinates p0, p1 (and p2 below the water table), once.
    void FaceOrdinates()
    {
        if (ordinates_)
            return;
        ordinates_ = true;
        const double beta = Beta();
        c_.Step("Lean of the leaning upper back face", "β", "atan({o} / {H})",
            { { "o", "o", p_.UpperBackOffset }, { "H", "H", p_.UpperBackHeight } }, beta, "rad");
        const std::initializer_list<Var> angles
            = { { "phi", "φ", p_.FillPhi, true }, { "d", "δc", p_.DeltaConcrete, true },
                  { "b", "β", Deg(beta), true }, { "i", "i", Deg(BackfillAngle(p_)), true } };
        c_.Step("Coulomb active coefficient on the leaning face (concrete to earth friction δc)",
            "Kaf",
            "cos({phi} - {b})^2 / (cos({b})^2 * cos({b} + {d}) * (1 + sqrt(sin({phi} + {d}) * "
            "sin({phi} - {i}) / (cos({i} - {b}) * cos({b} + {d}))))^2)",
            angles, t_.FaceKa, "");
        const double ka = t_.FaceKa;
        const double fr = std::cos(Radians(p_.DeltaConcrete) + beta);
        const Var kaV { "ka", "Kaf", ka };
        const Var dV { "d", "δc", p_.DeltaConcrete, true };
        const Var bV { "b", "β", Deg(beta), true };
        p0_ = c_.Step("Ordinate on the face at its top, from the surcharge", "pf0",
            "{q} * {ka} * cos({b}) / cos({i} - {b}) * cos({d} + {b})",
            { { "q", "q", p_.Surcharge }, kaV, bV, { "i", "i", Deg(BackfillAngle(p_)), true }, dV },
            double(p_.Surcharge) * ka * std::cos(beta) / std::cos(BackfillAngle(p_) - beta) * fr,
            u_.Pressure);
        p1_ = c_.Step("Ordinate on the face at the water table (at its foot when dry)", "pf1",
            "{p0} + {hd} * {ka} * {gs} * cos({d} + {b})",
            { { "p0", "pf0", p0_ }, { "hd", "hd", DryDepth(p_) }, kaV,
                { "gs", "γs", p_.FillUnitWeight }, dV, bV },
            p0_ + DryDepth(p_) * ka * double(p_.FillUnitWeight) * fr, u_.Pressure);
        if (BackfillWet(p_))
            p2_ = c_.Step("Ordinate on the face at its foot, buoyant soil below the water table",
                "pf2", "{p1} + {hw} * {ka} * ({gsat} - {gw}) * cos({d} + {b})",
                { { "p1", "pf1", p1_ }, { "hw", "hw", SubmergedHeight(p_) }, kaV,
                    { "gsat", "γsat", p_.FillSatDensity }, { "gw", "γw", p_.WaterUnitWeight }, dV,
                    bV },
                p1_
                    + SubmergedHeight(p_) * ka
                        * (double(p_.FillSatDensity) - double(p_.WaterUnitWeight)) * fr,
                u_.Pressure);
    }

    // Point on the face and the wall friction of a force pushing on it.
    void OnFace(const SectionTerm& term, const std::string& label, const char* level,
        std::initializer_list<Var> v)
    {
        c_.Step(label + ", level", "y", level, v, term.Y, u_.Length);
        c_.Step(label + ", x on the face at that level", "x",
            "{a} + {t} + {o} * (1 - ({y} - {ysh}) / {H})",
            { { "a", "a", p_.ToeWidth }, { "t", "t", p_.TopWidth },
                { "o", "o", p_.UpperBackOffset }, { "y", "y", term.Y },
                { "ysh", "ysh", ShelfLevel(p_) }, { "H", "H", p_.UpperBackHeight } },
            term.X, u_.Length);
        c_.Step(label + ", downward wall friction", "V", "{F} * tan({d} + {b})",
            { { "F", "F", -term.Horizontal }, { "d", "δc", p_.DeltaConcrete, true },
                { "b", "β", Deg(Beta()), true } },
            term.Vertical, u_.PerLength);
    }

    void FacePressure(const SectionTerm& term, const std::string& label)
    {
        FaceOrdinates();
        const double H = p_.UpperBackHeight;
        const double ysh = ShelfLevel(p_);
        if (term.Index == 1) {
            const std::initializer_list<Var> v = { { "p0", "pf0", p0_ }, { "p1", "pf1", p1_ },
                { "hd", "hd", DryDepth(p_) }, { "H", "H", H }, { "ysh", "ysh", ysh } };
            c_.Step(label + ", force", "F", "({p0} + {p1}) / 2 * {hd}", v, -term.Horizontal,
                u_.PerLength);
            OnFace(term, label,
                p0_ + p1_ != 0 ? "{ysh} + {H} - {hd} * ({p0} + 2 * {p1}) / (3 * ({p0} + {p1}))"
                               : "{ysh} + {H} - {hd} / 2",
                v);
        } else {
            const std::initializer_list<Var> v = { { "p1", "pf1", p1_ }, { "p2", "pf2", p2_ },
                { "hw", "hw", SubmergedHeight(p_) }, { "ysh", "ysh", ysh } };
            c_.Step(label + ", force", "F", "({p1} + {p2}) / 2 * {hw}", v, -term.Horizontal,
                u_.PerLength);
            OnFace(term, label,
                p1_ + p2_ != 0 ? "{ysh} + {hw} * (2 * {p1} + {p2}) / (3 * ({p1} + {p2}))"
                               : "{ysh} + {hw} / 2",
                v);
        }
    }

    void FaceIncrement(const SectionTerm& term, const std::string& label)
    {
        const double beta = Beta();
        if (!increment_) {
            increment_ = true;
            const double theta = std::atan(double(p_.SeismicCoef));
            const double kae = MononobeOkabeKae(
                Radians(p_.FillPhi), Radians(p_.DeltaConcrete), beta, BackfillAngle(p_), theta);
            const std::initializer_list<Var> angles = { { "phi", "φ", p_.FillPhi, true },
                { "d", "δc", p_.DeltaConcrete, true }, { "b", "β", Deg(beta), true },
                { "i", "i", Deg(BackfillAngle(p_)), true }, { "th", "θ", Deg(theta), true } };
            c_.Step("Mononobe-Okabe coefficient on the leaning face", "Kaef",
                "cos({phi} - {th} - {b})^2 / (cos({th}) * cos({b})^2 * cos({d} + {b} + {th}) * "
                "(1 + sqrt(sin({phi} + {d}) * sin({phi} - {i} - {th}) / (cos({i} - {b}) * "
                "cos({d} + {b} + {th}))))^2)",
                angles, kae, "");
            c_.Step("Seismic increment on the leaning face", "ΔKaef", "max(0, {kae} - {ka})",
                { { "kae", "Kaef", kae }, { "ka", "Kaf", t_.FaceKa } }, t_.FaceKaeIncrement, "");
        }
        const double H = p_.UpperBackHeight;
        const double hw = SubmergedHeight(p_);
        const Var dk { "dk", "ΔKaef", t_.FaceKaeIncrement };
        const Var d { "d", "δc", p_.DeltaConcrete, true };
        const Var b { "b", "β", Deg(beta), true };
        const Var ysh { "ysh", "ysh", ShelfLevel(p_) };
        if (term.Index == 1) {
            const std::initializer_list<Var> v
                = { dk, { "H", "H", H }, { "gs", "γs", p_.FillUnitWeight }, d, b, ysh };
            c_.Step(label + ", force (inverted triangle over the face)", "F",
                "{dk} * {H}^2 / 2 * {gs} * cos({d} + {b})", v, -term.Horizontal, u_.PerLength);
            OnFace(term, label, "{ysh} + 2 * {H} / 3", v);
        } else {
            const std::initializer_list<Var> v
                = { dk, { "hw", "hw", hw }, { "gsat", "γsat", p_.FillSatDensity },
                      { "gs", "γs", p_.FillUnitWeight }, d, b, ysh };
            c_.Step(label + ", force", "F", "{dk} * {hw}^2 / 2 * ({gsat} - {gs}) * cos({d} + {b})",
                v, -term.Horizontal, u_.PerLength);
            OnFace(term, label, "{ysh} + 2 * {hw} / 3", v);
        }
    }

    void Surcharge(const SectionTerm& term, const std::string& label)
    {
        const std::initializer_list<Var> v = { { "q", "q", p_.Surcharge },
            { "L", "L", SoilLength(p_) }, { "o", "o", p_.UpperBackOffset },
            { "a", "a", p_.ToeWidth }, { "t", "t", p_.TopWidth } };
        if (FaceCarriesItsSoil()) {
            c_.Step(label + " beyond the leaning face (the face carries the rest)", "V",
                "{q} * max(0, {L} - {o})", v, term.Vertical, u_.PerLength);
            c_.Step(label + " beyond the leaning face, arm", "x",
                "{a} + {t} + {o} + max(0, {L} - {o}) / 2", v, term.X, u_.Length);
        } else {
            c_.Step(
                label + " over the soil length", "V", "{q} * {L}", v, term.Vertical, u_.PerLength);
        }
    }

    void ShareOfPiece7(const SectionTerm& term, const std::string& label)
    {
        const auto w = WallPieces(p_);
        const std::initializer_list<Var> v = { { "W7", "W7", w[7].Weight }, { "x7", "x7", w[7].X },
            { "o", "o", p_.UpperBackOffset }, { "L", "L", SoilLength(p_) },
            { "a", "a", p_.ToeWidth }, { "t", "t", p_.TopWidth }, { "V", "V", term.Vertical } };
        c_.Step(label + " beyond the leaning face (its first o of run rests on the face)", "V",
            "{W7} * (1 - ({o} / {L})^2)", v, term.Vertical, u_.PerLength);
        c_.Step(label + " beyond the leaning face, arm", "x",
            "({W7} * {x7} - {W7} * ({o} / {L})^2 * ({a} + {t} + 2 * {o} / 3)) / {V}", v, term.X,
            u_.Length);
    }

    void Concrete(const SectionTerm& term, const std::string& label)
    {
        const double ht = p_.ToeHeight;
        const double h5 = p_.LowerSlopeHeight;
        const double body = h5 + double(p_.RearSlopeHeight);
        const double ysh = ShelfLevel(p_);
        std::vector<Var> v = { { "a", "a", p_.ToeWidth }, { "t", "t", p_.TopWidth },
            { "o", "o", p_.UpperBackOffset }, { "s", "s", p_.ShelfWidth },
            { "b", "b", p_.BottomWidth }, { "w5", "w5", p_.LowerSlopeWidth }, { "h5", "h5", h5 },
            { "f", "f", p_.LowerFlatWidth }, { "w7", "w7", p_.RearSlopeWidth },
            { "h7", "h7", p_.RearSlopeHeight }, { "ysh", "ysh", ysh },
            { "gc", "γc", p_.ConcUnitWeight } };
        const char* weight = "";
        const char* x = "";
        const char* y = "";
        auto lower = [&](const char* symbol, double value) {
            v.push_back({ "lo", symbol, value });
        };
        switch (term.Index) {
        case 1:
            lower("max(h5 + h7, ht)", std::max(body, ht));
            weight = "({t} + {o} + {s}) * ({ysh} - {lo}) * {gc}";
            x = "{a} + ({t} + {o} + {s}) / 2";
            y = "({lo} + {ysh}) / 2";
            break;
        case 2:
            lower("max(0, ht)", std::max(0.0, ht));
            weight = "{b} * ({h5} + {h7} - {lo}) * {gc}";
            x = "{a} + {b} / 2";
            y = "({lo} + {h5} + {h7}) / 2";
            break;
        case 3:
        case 5: {
            const bool first = term.Index == 3;
            const double y0 = first ? 0.0 : h5;
            const double rise = first ? h5 : double(p_.RearSlopeHeight);
            const double run = first ? p_.LowerSlopeWidth : p_.RearSlopeWidth;
            const double lo = std::clamp(ht, y0, y0 + rise);
            lower(first ? "min(max(ht, 0), h5)" : "min(max(ht, h5), h5 + h7)", lo);
            const double width = run * (lo - y0) / rise;
            StepOf(label + ", width at the cut", "wc",
                first ? "{w5} * {lo} / {h5}" : "{w7} * ({lo} - {h5}) / {h7}", v, width, u_.Length);
            v.push_back({ "wc", "wc", width });
            weight = first ? "({h5} - {lo}) * ({wc} + {w5}) / 2 * {gc}"
                           : "({h5} + {h7} - {lo}) * ({wc} + {w7}) / 2 * {gc}";
            x = first ? "{a} + {b} + ({wc}^2 + {wc} * {w5} + {w5}^2) / (3 * ({wc} + {w5}))"
                      : "{a} + {b} + {w5} + {f} + ({wc}^2 + {wc} * {w7} + {w7}^2) / (3 * ({wc} + "
                        "{w7}))";
            y = first ? "{lo} + ({h5} - {lo}) * ({wc} + 2 * {w5}) / (3 * ({wc} + {w5}))"
                      : "{lo} + ({h5} + {h7} - {lo}) * ({wc} + 2 * {w7}) / (3 * ({wc} + {w7}))";
            break;
        }
        case 4:
            lower("max(h5, ht)", std::max(h5, ht));
            weight = "({w5} + {f}) * ({h5} + {h7} - {lo}) * {gc}";
            x = "{a} + {b} + ({w5} + {f}) / 2";
            y = "({lo} + {h5} + {h7}) / 2";
            break;
        default: return;
        }
        StepOf(label + ", weight", "V", weight, v, term.Vertical, u_.PerLength);
        StepOf(label + ", centroid x", "x", x, v, term.X, u_.Length);
        StepOf(label + ", centroid y", "y", y, v, term.Y, u_.Length);
    }

    void ConcreteInertia(const SectionTerm& term, int section, const std::string& label)
    {
        for (const SectionTerm& w : t_.Terms[size_t(section)]) {
            if (w.Source == SectionTermSource::Concrete && w.Index == term.Index) {
                c_.Step(label + ", towards the toe", "E", "{kh} * {W}",
                    { { "kh", "kh", p_.SeismicCoef }, { "W", "W", w.Vertical } }, -term.Horizontal,
                    u_.PerLength);
                return;
            }
        }
    }

    void Surge(const SectionTerm& term, int section, const std::string& label)
    {
        const std::initializer_list<Var> v
            = { { "gw", "γw", p_.WaterUnitWeight }, { "kh", "kh", p_.SeismicCoef },
                  { "hf", "hf", WallTopLevel(p_) - FrontWaterTableDepth(p_) },
                  { "yc", "yc", t_.Centre[size_t(section)].Y } };
        c_.Step(label + ", towards the toe", "E",
            "7 / 12 * {gw} * {kh} * sqrt({hf}) * ({hf} - {yc})^1.5", v, -term.Horizontal,
            u_.PerLength);
        c_.Step(label + ", level", "y", "{yc} + 0.4 * ({hf} - {yc})", v, term.Y, u_.Length);
    }

    void WaterAbove(const SectionTerm& term, int section, const std::string& label)
    {
        const bool back = term.Source == SectionTermSource::BackWater;
        const std::initializer_list<Var> v = { { "gw", "γw", p_.WaterUnitWeight },
            { "yt", "ytop", WallTopLevel(p_) },
            { "dw", back ? "dw" : "df", back ? BackWaterTableDepth(p_) : FrontWaterTableDepth(p_) },
            { "yc", "yc", t_.Centre[size_t(section)].Y } };
        c_.Step(label + ", force", "F", "{gw} * ({yt} - {dw} - {yc})^2 / 2", v,
            std::abs(term.Horizontal), u_.PerLength);
        c_.Step(label + ", level", "y", "{yc} + ({yt} - {dw} - {yc}) / 3", v, term.Y, u_.Length);
    }

    void FaceWater(const SectionTerm& term, const std::string& label)
    {
        const std::initializer_list<Var> v = { { "o", "o", p_.UpperBackOffset },
            { "hw", "hw", SubmergedHeight(p_) }, { "H", "H", p_.UpperBackHeight },
            { "p3", "p3", PressureOf(3) }, { "a", "a", p_.ToeWidth }, { "t", "t", p_.TopWidth } };
        c_.Step(
            label + ", weight", "V", "{o} * {hw} / {H} * {p3} / 2", v, term.Vertical, u_.PerLength);
        c_.Step(
            label + ", arm", "x", "{a} + {t} + {o} - ({o} * {hw} / {H}) / 3", v, term.X, u_.Length);
    }

    void Uplift(const SectionTerm& term, const std::string& label)
    {
        const std::initializer_list<Var> v = { { "pa", "pa", term.PressureFrom },
            { "pb", "pb", term.PressureTo }, { "xa", "xa", term.From }, { "xb", "xb", term.To } };
        c_.Step(label + ", over the wetted part xa..xb", "U", "({pa} + {pb}) / 2 * ({xb} - {xa})",
            v, term.Force, u_.PerLength);
        if (term.PressureFrom + term.PressureTo != 0)
            c_.Step(label + ", arm", "x",
                "{xa} + ({xb} - {xa}) * ({pa} + 2 * {pb}) / (3 * ({pa} + {pb}))", v, term.X,
                u_.Length);
    }

    void StepOf(const std::string& label, const char* symbol, const char* tpl,
        const std::vector<Var>& v, double value, std::string_view unit)
    {
        auto [formula, numbers] = ExpandList(tpl, v);
        c_.Plain(label, symbol, formula, numbers, value, unit);
    }

    Chapter& c_;
    const Project& p_;
    const SectionForceTrace& t_;
    const Units& u_;
    std::vector<std::pair<int, int>> seen_;
    std::array<float, WaterOrdinateCount + 1> water_ {};
    bool ordinates_ = false;
    bool increment_ = false;
    double p0_ = 0;
    double p1_ = 0;
    double p2_ = 0;
};

// The loads of every case beyond the three cuts at factor 1, force by force, and their sums per
// case: a combination takes each sum times its case's factor.
std::array<CaseSums, DesignSectionCount + 1> SectionLoadChapter(const Project& p,
    const StabilityResults& service, const SectionForceTrace& t, float toeBarDia, const Units& u,
    CalculationSheet& sheet)
{
    Chapter c("Section forces: the loads beyond the three design cuts, each case at factor 1");
    CutForces derive(c, p, t, u);
    derive.SetWaterPressures(service.Loads.WaterPressure);
    std::array<CaseSums, DesignSectionCount + 1> sums {};
    const std::initializer_list<Var> dims = { { "a", "a", p.ToeWidth }, { "t", "t", p.TopWidth },
        { "o", "o", p.UpperBackOffset }, { "b", "b", p.BottomWidth },
        { "w5", "w5", p.LowerSlopeWidth }, { "h5", "h5", p.LowerSlopeHeight },
        { "f", "f", p.LowerFlatWidth }, { "w7", "w7", p.RearSlopeWidth },
        { "h7", "h7", p.RearSlopeHeight }, { "hs", "hs", p.RearStepHeight },
        { "ht", "ht", p.ToeHeight }, { "w2", "w2", t.BodyCutWidth } };
    const double lowH = p.LowerSlopeHeight;
    const double rearH = p.RearSlopeHeight;
    const double toeTop = p.ToeHeight;
    const char* w2 = lowH > 0 && lowH >= toeTop ? "{b} + {w5} * {ht} / {h5}"
        : rearH > 0 && lowH + rearH >= toeTop   ? "{b} + {w5} + {f} + {w7} * ({ht} - {h5}) / {h7}"
                                                : "{b} + {w5} + {f} + {w7}";
    c.Step("Width of the body at the toe top", "w2", w2, dims, t.BodyCutWidth, u.Length);
    static const char* const xc[] = { "", "{a} + ({t} + {o}) / 2", "{a} + {w2} / 2", "{a}" };
    static const char* const yc[] = { "", "{h5} + {h7} + {hs}", "{ht}", "{ht} / 2" };
    const double perLength = p.UnitSystem == British ? InchesPerFoot : CentimetresPerMetre;
    c.Step("Depth of the toe's critical shear section in front of its face (effective depth to "
           "the bars along its underside)",
        "d", "max(0, {ht} - ({c} + {db}) / {k})",
        { { "ht", "ht", p.ToeHeight }, { "c", "cover", p.ConcCover }, { "db", "db", toeBarDia },
            { "k", "k", perLength } },
        t.ToeShearDepth, u.Length);
    for (int s = 1; s <= DesignSectionCount; ++s) {
        const std::string where = std::string(CutName[s]);
        const PlanePoint& o = t.Centre[size_t(s)];
        c.Step("Centre of the cut, " + where + ": x", "xc", xc[s], dims, o.X, u.Length);
        c.Step("Centre of the cut, " + where + ": y", "yc", yc[s], dims, o.Y, u.Length);
        CaseSums& cs = sums[size_t(s)];
        if (s == 2 && derive.FaceCarriesItsSoil())
            c.Plain("Pieces 8 and 10, the soil over the leaning face, reach the body through the "
                    "face's earth pressure, not as weights",
                "W8, W10", "0", "0", 0, u.PerLength);
        for (int k = 0; k <= LoadCaseCount; ++k) {
            std::string m;
            std::string v;
            std::string n;
            for (const SectionTerm& term : t.Terms[size_t(s)]) {
                if (term.Case != k || HoldsTheStructure(term)
                    || (term.Moment == 0 && term.Shear == 0 && term.Normal == 0))
                    continue;
                std::string label = std::string(CutName[s]) + ": " + TermName(term, s);
                label[0] = char(std::toupper(static_cast<unsigned char>(label[0])));
                derive.Derive(term, s, label);
                TermMoment(c, label, term, o, u);
                if (s == 3 && ToeLoad(term))
                    c.Step(label + ", its part in front of the critical shear section", "Vs",
                        "-{F} * max(0, {a} - {d}) / {a}",
                        { { "F", "F", term.Vertical }, { "a", "a", p.ToeWidth },
                            { "d", "d", t.ToeShearDepth } },
                        term.Shear, u.PerLength);
                ForceLister::Append(m, term.Moment);
                ForceLister::Append(v, term.Shear);
                ForceLister::Append(n, term.Normal);
                cs.M[size_t(k)] += term.Moment;
                cs.V[size_t(k)] += term.Shear;
                cs.N[size_t(k)] += term.Normal;
                cs.HasM[size_t(k)] = cs.HasM[size_t(k)] || term.Moment != 0;
                cs.HasV[size_t(k)] = cs.HasV[size_t(k)] || term.Shear != 0;
                cs.HasN[size_t(k)] = cs.HasN[size_t(k)] || term.Normal != 0;
            }
            const std::string of = ", " + CaseTitle(k) + ", " + where;
            const std::string letter = k == 0 ? "0" : CaseLetter[k];
            if (cs.HasM[size_t(k)])
                c.Plain("Moment" + of, "M" + letter, "Σ M", m, cs.M[size_t(k)], u.Moment);
            if (cs.HasV[size_t(k)])
                c.Plain("Shear" + of, "V" + letter, s == 3 ? "Σ V" : "Σ H", v, cs.V[size_t(k)],
                    u.PerLength);
            if (cs.HasN[size_t(k)])
                c.Plain("Normal force" + of, "N" + letter, s == 3 ? "Σ H" : "Σ V", n,
                    cs.N[size_t(k)], u.PerLength);
        }
    }
    sheet.Chapters.push_back(c.Take());
    return sums;
}

// One combination's section forces: its factors times the case sums at factor 1, and the base
// pressure and anchor pull of that combination's own base, force by force.
void CombinationForces(Chapter& c, int set, const CombinationResults& r,
    const SectionForceTrace& own, const std::array<CaseSums, DesignSectionCount + 1>& sums,
    const Units& u)
{
    const LoadFactors factors = FactorsOfSet(CombinationFactors[size_t(set)]);
    const std::string name = set <= CombinationCount
        ? "combination " + std::to_string(set) + " (" + std::string(CombinationName[set]) + ")"
        : std::string("service set (D, L, H, F, T, I at 1, E at 0)");
    const double psi = own.ResultantInclination;
    for (int s = 1; s <= DesignSectionCount; ++s) {
        const std::string where = ", " + std::string(CutName[s]) + ", " + name;
        const PlanePoint& o = own.Centre[size_t(s)];
        const CaseSums& cs = sums[size_t(s)];
        std::string m;
        std::string v;
        std::string n;
        std::string fm = "Σ γ M";
        std::string fv = "Σ γ V";
        std::string fn = "Σ γ N";
        // A case its factor leaves out adds nothing.
        auto factored = [&](std::string& line, bool has, double value, int k) {
            if (!has || factors[k] == 0)
                return;
            const std::string term = k == 0
                ? SheetNumber(value)
                : SheetNumber(float(factors[k])) + " * " + SheetNumber(value);
            line += (line.empty() ? "" : " + ") + term;
        };
        for (int k = 0; k <= LoadCaseCount; ++k) {
            factored(m, cs.HasM[size_t(k)], cs.M[size_t(k)], k);
            factored(v, cs.HasV[size_t(k)], cs.V[size_t(k)], k);
            factored(n, cs.HasN[size_t(k)], cs.N[size_t(k)], k);
        }
        bool holds = false;
        for (const SectionTerm& t : own.Terms[size_t(s)]) {
            if (!HoldsTheStructure(t) || (t.Moment == 0 && t.Shear == 0 && t.Normal == 0))
                continue;
            holds = true;
            const std::string label
                = (set <= CombinationCount ? "Combination " + std::to_string(set) : "Service set")
                + ", " + std::string(CutName[s]) + ": " + TermName(t, s);
            if (t.Source == SectionTermSource::AnchorPull) {
                TermMoment(c, label, t, o, u);
            } else {
                c.Step(label + ", force along the resultant", "R",
                    "({qa} + {qb}) / 2 * ({ub} - {ua})",
                    { { "qa", "q(ua)", t.PressureFrom }, { "qb", "q(ub)", t.PressureTo },
                        { "ua", "ua", t.From }, { "ub", "ub", t.To } },
                    t.Force, u.PerLength);
                const Var R { "R", "R", t.Force };
                const Var ps { "psi", "ψ", Deg(psi), true };
                if (t.Source == SectionTermSource::ToeShearReaction)
                    c.Step(label + ", its part normal to the flat bottom", "V", "{R} * cos({psi})",
                        { R, ps }, t.Shear, u.PerLength);
                else if (s == 3)
                    c.Step(label + ", moment about the cut centre", "M",
                        "-{R} * cos({psi}) * ({x} - {xc})",
                        { R, ps, { "x", "x", t.X }, { "xc", "xc", o.X } }, t.Moment, u.Moment);
                else
                    c.Step(label + ", moment about the cut centre", "M",
                        "-{R} * cos({psi}) * ({x} - {xc}) + {R} * sin({psi}) * ({y} - {yc})",
                        { R, ps, { "x", "x", t.X }, { "xc", "xc", o.X }, { "y", "y", t.Y },
                            { "yc", "yc", o.Y } },
                        t.Moment, u.Moment);
            }
            for (auto [line, value] : { std::pair { &m, t.Moment }, std::pair { &v, t.Shear },
                     std::pair { &n, t.Normal } }) {
                if (value != 0)
                    ForceLister::Append(*line, value);
            }
        }
        if (holds) {
            fm += " + M of the base";
            fv += " + V of the base";
            fn += " + N of the base";
        }
        c.Plain("Moment" + where, "Mu", fm, m.empty() ? "0" : m, r.ComboMoment[set][s], u.Moment,
            Indexed("ComboMoment", set, s));
        c.Plain("Shear" + where, "Vu", fv, v.empty() ? "0" : v, r.ComboShear[set][s], u.PerLength,
            Indexed("ComboShear", set, s));
        c.Plain("Normal force" + where, "Nu", fn, n.empty() ? "0" : n, r.ComboNormal[set][s],
            u.PerLength, Indexed("ComboNormal", set, s));
    }
}

// p is the settled record of the service run, project the record itself.
void CombinationChapter(const Project& project, const Project& p, const StabilityResults& service,
    const CombinationResults& r, const Units& u, CalculationSheet& sheet)
{
    const int formed = r.Stable ? CombinationSetCount : r.UnstableCombination - 1;
    if (formed < 1) {
        Chapter c("Load combinations and the envelope");
        c.Plain("The first combination leaves the structure unstable: no section forces", "", "",
            "", NotFormed, "");
        sheet.Chapters.push_back(c.Take());
        return;
    }
    const std::array<CaseSums, DesignSectionCount + 1> sums = SectionLoadChapter(
        p, service, TraceSectionLoads(project, ServiceLoads, r.ToeBarDia), r.ToeBarDia, u, sheet);
    Chapter c("Load combinations and the envelope");
    const std::array<CaseSums, DesignSectionCount + 1>& cs = sums;
    for (int j = 1; j <= formed; ++j) {
        SectionForceTrace own;
        ComputeSectionForces(
            project, FactorsOfSet(CombinationFactors[size_t(j)]), r.ToeBarDia, &own);
        CombinationForces(c, j, r, own, cs, u);
    }
    if (r.Stable) {
        for (int s = 1; s <= DesignSectionCount; ++s) {
            std::string m;
            std::string v;
            double pos = 0;
            double neg = 0;
            double shear = 0;
            for (int j = 1; j <= CombinationCount; ++j) {
                m += ", " + SheetNumber(r.ComboMoment[j][s]);
                v += ", abs(" + SheetNumber(r.ComboShear[j][s]) + ")";
                pos = std::max(pos, double(r.ComboMoment[j][s]));
                neg = std::min(neg, double(r.ComboMoment[j][s]));
                shear = std::max(shear, std::abs(double(r.ComboShear[j][s])));
            }
            const std::string where = ", " + std::string(CutName[s]);
            c.Plain("Envelope, largest positive moment" + where, "M+", "max(0, Mu(1..11))",
                "max(0" + m + ")", pos, u.Moment, Indexed("EnvMomentPos", s));
            c.Plain("Envelope, most negative moment" + where, "M-", "min(0, Mu(1..11))",
                "min(0" + m + ")", neg, u.Moment, Indexed("EnvMomentNeg", s));
            c.Plain("Envelope, largest shear" + where, "Vmax", "max(0, |Vu(1..11)|)",
                "max(0" + v + ")", shear, u.PerLength, Indexed("EnvShear", s));
            c.Plain("Service moment for crack control" + where, "Ms", "Mu(12)",
                SheetNumber(r.ComboMoment[ServiceSet][s]), r.ComboMoment[ServiceSet][s], u.Moment,
                Indexed("EnvMomentZ", s));
            // The normal force that goes with each retained value: that of the combination
            // that set it, the smaller compression on a tie (it needs more steel); none while
            // no combination reaches the envelope's starting 0.
            struct Along {
                double Key = 0;
                double Normal = 0;
                int Combination = 0;
                void Take(double key, double normal, int j, bool largest)
                {
                    if (largest ? key < Key : key > Key)
                        return;
                    Normal = key == Key ? std::min(Normal, normal) : normal;
                    if (key != Key || normal <= Normal)
                        Combination = j;
                    Key = key;
                }
            };
            Along ap, an, av;
            for (int j = 1; j <= CombinationCount; ++j) {
                const double n = r.ComboNormal[j][s];
                ap.Take(r.ComboMoment[j][s], n, j, true);
                an.Take(r.ComboMoment[j][s], n, j, false);
                av.Take(std::fabs(r.ComboShear[j][s]), n, j, true);
            }
            const auto normalOf = [](const Along& a) {
                return a.Combination == 0 ? std::string("0")
                                          : "Nu(" + std::to_string(a.Combination) + ")";
            };
            for (const auto& [label, symbol, a, field] :
                { std::tuple {
                      "Normal force with the largest positive moment", "N+", ap, "EnvNormalPos" },
                    std::tuple {
                        "Normal force with the most negative moment", "N-", an, "EnvNormalNeg" },
                    std::tuple {
                        "Normal force with the largest shear", "NV", av, "EnvShearNormal" } })
                c.Plain(label + where, symbol, normalOf(a), SheetNumber(a.Normal), a.Normal,
                    u.PerLength, Indexed(field, s));
            c.Plain("Service normal force for crack control" + where, "Ns", "Nu(12)",
                SheetNumber(r.ComboNormal[ServiceSet][s]), r.ComboNormal[ServiceSet][s],
                u.PerLength, Indexed("EnvNormalZ", s));
        }
    }
    sheet.Chapters.push_back(c.Take());
}

void DesignChapter(const Project& p, const CombinationResults& r, CalculationSheet& sheet)
{
    if (!r.Stable)
        return;
    const DesignResults& dr = r.Design;
    const DesignUnitSet& du = DesignUnits(p.UnitSystem);
    const Units u = UnitsOf(p.UnitSystem);
    Chapter c("Section design (" + std::string(CodeBasis) + ")");
    const double b = du.Width;
    const double fc = p.ConcFc;
    const double fy = p.RebarFy;
    const double cover = double(p.ConcCover) / du.StoredPerDesign;
    const double fcMPa = fc * du.StressToMPa;
    const double fyMPa = fy * du.StressToMPa;
    const std::string area = u.Small + "²/" + u.Length;

    c.Step("Stress block factor", "β1", "max(0.65, min(0.85, 0.85 - 0.008 * ({fc} - 30)))",
        { { "fc", "f'c [MPa]", fcMPa } }, StressBlockFactor(fcMPa), "");
    c.Step("Balanced ratio", "ρb", "0.85 * {b1} * {fc} / {fy} * 600 / (600 + {fy})",
        { { "b1", "β1", StressBlockFactor(fcMPa) }, { "fc", "f'c [MPa]", fcMPa },
            { "fy", "fy [MPa]", fyMPa } },
        StressBlockIntensity * StressBlockFactor(fcMPa) * fcMPa / fyMPa * BalancedStrainStressMPa
            / (BalancedStrainStressMPa + fyMPa),
        "", "RhoBalanced");
    c.Step("Minimum ratio", "ρmin", "1.4 / {fy}", { { "fy", "fy [MPa]", fyMPa } }, 1.4 / fyMPa, "",
        "RhoMin");
    {
        const std::initializer_list<Var> v
            = { { "z", "z [kN/m]", CrackLimitKilonewtonsPerMetre }, { "g", "g", Gravity },
                  { "ft", "m/ft", CrackMetresPerFoot }, { "kip", "T/Kip", CrackTonnesPerKip } };
        const char* tpl = p.UnitSystem == SI ? "{z}"
            : p.UnitSystem == British        ? "{z} / {g} * {ft} / {kip}"
                                             : "{z} / {g}";
        const double z = p.UnitSystem == SI ? CrackLimitKilonewtonsPerMetre
            : p.UnitSystem == British       ? CrackLimitKilonewtonsPerMetre / double(Gravity)
                * CrackMetresPerFoot / CrackTonnesPerKip
                                      : CrackLimitKilonewtonsPerMetre / double(Gravity);
        c.Step(
            "Crack control limit on z (exterior exposure)", "zmax", tpl, v, z, u.PerLength, "ZMax");
    }

    for (int row = 1; row <= ReinRowCount; ++row) {
        const std::string rs = std::to_string(row);
        const std::string tag = " of row " + rs + (row % 2 ? " (M-)" : " (M+)");
        const double h = float(double(dr.ReinHeight[row]) / du.StoredPerDesign);
        const double db = float(double(dr.ReinDia[row]) / du.StoredPerDesign);
        const double sp = float(double(dr.ReinPitch[row]) / du.StoredPerDesign);
        const double n = float(double(dr.ReinNormal[row]) * du.ForceToDesign);
        const double mu = double(dr.ReinMoment[row]);
        const int section = (row + 1) / 2;
        const bool minus = row % 2 == 1;
        {
            static const char* const thickness[]
                = { "", "({t} + {o}) * {k}", "{w2} * {k}", "{ht} * {k}" };
            const bool toe = section == 3 && !(p.ToeWidth > 0);
            c.Step("Thickness of the section" + tag + (toe ? " (no toe)" : ""), "h",
                toe ? "0" : thickness[section],
                { { "t", "t", p.TopWidth }, { "o", "o", p.UpperBackOffset },
                    { "w2", "w2", BodyWidthAtToeTop(p) }, { "ht", "ht", p.ToeHeight },
                    { "k", "k", du.SmallPerLength } },
                dr.ReinHeight[row], u.Small, Indexed("ReinHeight", row));
            const std::string how
                = p.ReinUserSet ? "as set in the project" : "chosen by the design for Mu";
            c.Plain("Bar diameter" + tag + ", " + how, "db", "db", SheetNumber(dr.ReinDia[row]),
                dr.ReinDia[row], u.Small, Indexed("ReinDia", row));
            c.Plain("Bar pitch" + tag + ", " + how, "s", "s", SheetNumber(dr.ReinPitch[row]),
                dr.ReinPitch[row], u.Small, Indexed("ReinPitch", row));
        }
        c.Plain("Design moment" + tag + " from the envelope", "Mu", "|M|", SheetNumber(mu), mu,
            u.Moment, Indexed("ReinMoment", row));
        c.Plain("Normal force" + tag + " with that moment, from the envelope", "Nu",
            minus ? Indexed("N-", section) : Indexed("N+", section),
            SheetNumber(dr.ReinNormal[row]), dr.ReinNormal[row], u.PerLength,
            Indexed("ReinNormal", row));
        {
            // The service moment's sign says which face cracks; the other face gets nothing.
            const double mz = r.Env.EnvMomentZ[section];
            const bool cracks = (mz < 0) == minus;
            c.Plain("Service moment for crack control" + tag
                    + (cracks ? "" : " (the other face cracks: none)"),
                "Ms", cracks ? "|Mu(12)|" : "0", cracks ? SheetNumber(std::fabs(mz)) : "0",
                dr.ReinMomentZ[row], u.Moment, Indexed("ReinMomentZ", row));
            c.Plain("Service normal force for crack control" + tag, "Ns", cracks ? "Nu(12)" : "0",
                cracks ? SheetNumber(r.Env.EnvNormalZ[section]) : "0", dr.ReinNormalZ[row],
                u.PerLength, Indexed("ReinNormalZ", row));
        }
        const double as = c.Step("Bars provided" + tag, "As", "3.141593 / 4 * {db}^2 * {w} / {s}",
            { { "db", "db", dr.ReinDia[row] }, { "w", "b", du.StoredWidth },
                { "s", "s", dr.ReinPitch[row] } },
            std::atan(1.0) * double(dr.ReinDia[row]) * dr.ReinDia[row] * du.StoredWidth
                / dr.ReinPitch[row],
            area, Indexed("ReinAs", row));
        (void)as;
        const double d = c.Step("Effective depth" + tag, "d", "{h} - {c} - {db} / 2",
            { { "h", "h", h }, { "c", "cover", cover }, { "db", "db", db } }, h - cover - db / 2,
            DesignLength(p.UnitSystem));
        const double phi = FlexureReductionFactor(n, fc, b, h);
        c.Step("Strength reduction factor" + tag, "φ",
            n <= 0 ? "0.9" : "max(0.9 - 0.2 * {N} / (0.1 * {fc} * {b} * {h}), 0.7)",
            { { "N", "Nu", n }, { "fc", "f'c", fc }, { "b", "b", b }, { "h", "h", h } }, phi, "");
        const double asD = std::atan(1.0) * db * db * b / sp;
        const double rho
            = c.Step("Ratio provided" + tag, "ρ", "3.141593 / 4 * {db}^2 * {b} / {s} / ({b} * {d})",
                { { "db", "db", db }, { "b", "b", b }, { "s", "s", sp }, { "d", "d", d } },
                asD / (b * d), "", Indexed("ReinRho", row));
        const double omega = (rho * fy + n / (phi * b * d)) / (StressBlockIntensity * fc);
        c.Step("Stress block depth" + tag, "a",
            "({r} * {fy} + {N} / ({phi} * {b} * {d})) / (0.85 * {fc}) * {d}",
            { { "r", "ρ", rho }, { "fy", "fy", fy }, { "N", "Nu", n }, { "phi", "φ", phi },
                { "b", "b", b }, { "d", "d", d }, { "fc", "f'c", fc } },
            omega * d, DesignLength(p.UnitSystem));
        const double phiMn = phi * StressBlockIntensity * fc * omega * (1 - omega / 2) * b * d * d;
        c.Step("Design strength about the steel" + tag, "φMn",
            "{phi} * 0.85 * {fc} * {w} * (1 - {w} / 2) * {b} * {d}^2",
            { { "phi", "φ", phi }, { "fc", "f'c", fc }, { "w", "ω", omega }, { "b", "b", b },
                { "d", "d", d } },
            phiMn, DesignMoment(p.UnitSystem));
        c.Step("Moment capacity about mid-depth" + tag, "Mcap",
            "({pm} - {N} * ({d} - {h} / 2)) / {k}",
            { { "pm", "φMn", phiMn }, { "N", "Nu", n }, { "d", "d", d }, { "h", "h", h },
                { "k", "k", du.MomentToDesign } },
            (phiMn - n * (d - h / 2)) / du.MomentToDesign, u.Moment, Indexed("ReinMomentCap", row));
        if (dr.ReinCannotCarry[row]) {
            // The design table holds 0 there and warns that the section cannot carry.
            c.Plain("The compression zone cannot carry Mu" + tag + ": no steel suffices", "As req",
                "", "", NotFormed, area);
        } else {
            const double dn = h - cover - du.NominalBarDia / 2;
            const double m = float(mu * du.MomentToDesign);
            const double ms = m + n * (dn - h / 2);
            const double w
                = 1 - std::sqrt(1 - ms / (StressBlockIntensity / 2 * phi * fc * b * dn * dn));
            c.Step("Steel required" + tag + " (depth to a nominal bar)", "As req",
                "max(0, (0.85 * {fc} * {b} * {d} * {w} - {N} / {phi}) / {fy}) * {k}",
                { { "fc", "f'c", fc }, { "b", "b", b }, { "d", "dn", dn }, { "w", "ω", w },
                    { "N", "Nu", n }, { "phi", "φ", phi }, { "fy", "fy", fy },
                    { "k", "k", du.AreaReqToStored } },
                std::max(0.0, (StressBlockIntensity * fc * b * dn * w - n / phi) / fy)
                    * du.AreaReqToStored,
                area, Indexed("ReinAsReq", row));
            // A third more than the ratio required: provided steel above it needs no rho min.
            c.Step("Four thirds of the ratio required" + tag, "4/3 ρreq",
                "max(0, 4 / 3 * (0.85 * {fc} * {w} - {N} / ({phi} * {b} * {d})) / {fy})",
                { { "fc", "f'c", fc }, { "w", "ω", w }, { "N", "Nu", n }, { "phi", "φ", phi },
                    { "b", "b", b }, { "d", "dn", dn }, { "fy", "fy", fy } },
                std::max(
                    0.0, 4.0 / 3.0 * (StressBlockIntensity * fc * w - n / (phi * b * dn)) / fy),
                "", Indexed("ReinRhoReq43", row));
        }
        const double mz = float(double(dr.ReinMomentZ[row]) * du.MomentToDesign);
        const double nz = float(double(dr.ReinNormalZ[row]) * du.ForceToDesign);
        if (mz > 0 && !dr.ReinZCannotCarry[row]) {
            const double ms = mz + nz * (d - h / 2);
            const double w = 1 - std::sqrt(1 - ms / (StressBlockIntensity / 2 * fc * b * d * d));
            const double a = w * d;
            const double fs = c.Step("Steel stress under service loads" + tag, "fs",
                "({Ms} / ({d} - {a} / 2) - {N}) / {As}",
                { { "Ms", "Ms", ms }, { "d", "d", d }, { "a", "a", a }, { "N", "Ns", nz },
                    { "As", "As", asD } },
                (ms / (d - a / 2) - nz) / asD, u.Stress);
            const double dc = cover + db / 2;
            const double ae = std::max((2 * cover + db) * sp - std::atan(1.0) * db * db, 0.0);
            c.Step("Crack control" + tag, "z", "max(0, {fs} * ({dc} * {A})^(1/3)) * {k}",
                { { "fs", "fs", fs }, { "dc", "dc", dc }, { "A", "A", ae },
                    { "k", "k", du.ZToProject } },
                std::max(0.0, fs * std::cbrt(dc * ae)) * du.ZToProject, u.PerLength,
                Indexed("ReinZ", row));
        }
    }
    for (int s = 1; s <= DesignSectionCount; ++s) {
        const std::string ss = " of section " + std::to_string(s);
        const int first = FirstRowOfSection(s);
        const double h = float(double(dr.ReinHeight[first]) / du.StoredPerDesign);
        const double bar = std::max(dr.ReinDia[first], dr.ReinDia[first + 1]);
        const double db = float(bar / du.StoredPerDesign);
        const double nv = float(double(dr.ReinShearNormal[s]) * du.ForceToDesign);
        c.Plain("Design shear" + ss, "Vu", "max |Vu|", SheetNumber(dr.ReinShear[s]),
            dr.ReinShear[s], u.PerLength, Indexed("ReinShear", s));
        c.Plain("Normal force with the largest shear" + ss, "Nu", Indexed("NV", s),
            SheetNumber(dr.ReinShearNormal[s]), dr.ReinShearNormal[s], u.PerLength,
            Indexed("ReinShearNormal", s));
        const double d = h - cover - db / 2;
        const double root = std::min(std::sqrt(fcMPa), std::sqrt(ShearRootCapMPa));
        const double ag = b * h * du.AreaToSquareMetres;
        const double vc = std::max(
            (1 + nv * du.ForceToMN / (AxialShearStressMPa * ag)) * root / ShearRootDivisor, 0.0);
        c.Step("Concrete shear stress" + ss, "vc",
            "max(0, (1 + {N} / (14 * {Ag})) * min(sqrt({fc}), sqrt(69)) / 6)",
            { { "N", "Nu [MN]", nv * du.ForceToMN }, { "Ag", "Ag [m²]", ag },
                { "fc", "f'c [MPa]", fcMPa } },
            vc, "MPa");
        c.Step("Shear capacity" + ss + " over the effective depth of the larger bar", "φVc",
            "0.85 * {vc} / {k} * {b} * {d} / {f}",
            { { "vc", "vc", vc }, { "k", "k", du.StressToMPa }, { "b", "b", b }, { "d", "d", d },
                { "f", "f", du.ForceToDesign } },
            PhiShear * vc / du.StressToMPa * b * std::max(d, 0.0) / du.ForceToDesign, u.PerLength,
            Indexed("ReinShearCap", s));
    }
    sheet.Chapters.push_back(c.Take());
}

std::string Escape(const std::string& s)
{
    std::string out;
    for (const char ch : s) {
        switch (ch) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        default: out += ch;
        }
    }
    return out;
}

std::string ValueText(double v)
{
    if (std::isnan(v))
        return "—";
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.7g", v == 0 ? 0.0 : v);
    return buf;
}

} // namespace

std::string SheetNumber(double value)
{
    if (std::isnan(value))
        return "—";
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.7g", value == 0 ? 0.0 : value);
    return value < 0 ? "(" + std::string(buf) + ")" : std::string(buf);
}

CalculationSheet BuildCalculationSheet(
    const Project& project, const StabilityResults& s, const CombinationResults& design)
{
    CalculationSheet sheet;
    sheet.Messages = s.Messages;
    for (const std::string& m : design.Messages) {
        if (std::find(sheet.Messages.begin(), sheet.Messages.end(), m) == sheet.Messages.end())
            sheet.Messages.push_back(m);
    }
    EarthPressureChapter(project, s, sheet);
    const SettledProject settled(project, s.Loads);
    const Project& p = *settled;
    const Units u = UnitsOf(p.UnitSystem);
    MomentParts parts;
    CaseTotals totals;
    DeadLoadChapter(p, s, u, parts, totals, sheet);
    SoilChapter(p, s, u, parts, totals, sheet);
    WaterChapter(p, s, u, parts, totals, sheet);
    SeismicChapter(p, s, u, parts, totals, sheet);
    ExternalLoadChapter(p, u, parts, totals, sheet);
    ResultantChapter(p, s, u, sheet);
    BaseChapter(p, s, u, sheet);
    AnchorChapter(p, s, u, sheet);
    SafetyChapter(s, parts, u, sheet);
    CombinationChapter(project, p, s, design, u, sheet);
    DesignChapter(p, design, sheet);
    return sheet;
}

std::string SheetText(const CalculationSheet& sheet)
{
    std::ostringstream out;
    int number = 0;
    for (const SheetChapter& c : sheet.Chapters) {
        out << ++number << ". " << c.Title << "\n";
        for (const SheetStep& s : c.Steps) {
            out << "  " << s.Label << "\n    " << s.Symbol;
            if (s.Formula != s.Symbol)
                out << " = " << s.Formula;
            if (!s.Numbers.empty() && s.Numbers != s.Formula)
                out << "\n      = " << s.Numbers;
            out << "\n      = " << ValueText(s.Value) << (s.Unit.empty() ? "" : " ") << s.Unit;
            if (!s.Field.empty())
                out << "   [" << s.Field << "]";
            out << "\n";
        }
        out << "\n";
    }
    for (const std::string& m : sheet.Messages)
        out << "Message: " << m << "\n";
    return out.str();
}

std::string SheetHtml(const CalculationSheet& sheet, const std::string& title)
{
    std::ostringstream out;
    out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" << Escape(title)
        << "</title>\n<style>body{font-family:sans-serif;font-size:10pt}"
           "table{border-collapse:collapse;width:100%}"
           "td,th{border:1px solid #999;padding:2px 4px;vertical-align:top}"
           "td.v{text-align:right;white-space:nowrap}</style></head><body>\n<h1>"
        << Escape(title) << "</h1>\n";
    int number = 0;
    for (const SheetChapter& c : sheet.Chapters) {
        out << "<h2>" << ++number << ". " << Escape(c.Title) << "</h2>\n<table>\n"
            << "<tr><th>Step</th><th>Symbol</th><th>Formula</th><th>Numbers</th><th>Value</th>"
               "<th>Unit</th><th>Result</th></tr>\n";
        for (const SheetStep& s : c.Steps)
            out << "<tr><td>" << Escape(s.Label) << "</td><td>" << Escape(s.Symbol) << "</td><td>"
                << Escape(s.Formula) << "</td><td>" << Escape(s.Numbers) << "</td><td class=\"v\">"
                << Escape(ValueText(s.Value)) << "</td><td>" << Escape(s.Unit) << "</td><td>"
                << Escape(s.Field) << "</td></tr>\n";
        out << "</table>\n";
    }
    if (!sheet.Messages.empty()) {
        out << "<h2>Messages</h2>\n<ul>\n";
        for (const std::string& m : sheet.Messages)
            out << "<li>" << Escape(m) << "</li>\n";
        out << "</ul>\n";
    }
    out << "</body></html>\n";
    return out.str();
}

} // namespace pendrake
