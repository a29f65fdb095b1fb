// The calculation sheet built from the inputs with the formulas of the analysis: earth pressure,
// the load cases piece by piece, the sums about the toe, the base, the anchors, the combinations
// and the section design, each step with its formula, its numbers and its value.
#include "sheet/CalculationSheet.h"

#include "analysis/EarthPressure.h"
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
std::pair<std::string, std::string> Expand(std::string_view tpl, std::initializer_list<Var> vars)
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

std::string Indexed(std::string_view name, int i)
{
    return std::string(name) + "(" + std::to_string(i) + ")";
}

std::string Indexed(std::string_view name, int i, int j)
{
    return std::string(name) + "(" + std::to_string(i) + "," + std::to_string(j) + ")";
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
        c.Step("Seismic increment", "ΔKae", "max(0, {kae} - {ka})",
            { { "kae", "Kae", kae }, { "ka", "Ka", l.KaStatic } },
            std::max(0.0, kae - double(l.KaStatic)), "", "KaeIncrement");
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
    MomentParts& parts, CalculationSheet& sheet)
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
        { "gs", "γs", p.FillUnitWeight },
        { "gb", "γsat - γw", double(p.FillSatDensity) - p.WaterUnitWeight } };
    struct PieceText {
        const char* Name;
        const char* Weight;
        const char* Arm;
    };
    const PieceText dry8 { "soil over the leaning back", "{o} * {H} / 2 * {gs}",
        "{a} + {t} + 2 * {o} / 3" };
    const PieceText dry9 { "soil over the shelf", "{s} * {H} * {gs}", "{a} + {t} + {o} + {s} / 2" };
    const PieceText wet8 { "dry soil over the leaning back", "{dw}^2 / {H} * {o} / 2 * {gs}",
        "{a} + {t} + 2 * ({dw} / {H} * {o}) / 3" };
    const PieceText wet9 { "dry soil over the shelf", "({L} - {dw} / {H} * {o}) * {dw} * {gs}",
        "{xr} - ({L} - {dw} / {H} * {o}) / 2" };
    const PieceText pieces[PieceCount + 1] = {
        {},
        { "upper wall", "{H} * {t} * {gc}", "{a} + {t} / 2" },
        { "leaning back of the upper wall", "{o} * {H} / 2 * {gc}", "{a} + {t} + {o} / 3" },
        { "rear step", "({t} + {o} + {s}) * {hs} * {gc}", "{a} + ({t} + {o} + {s}) / 2" },
        { "body", "{b} * ({h5} + {h7}) * {gc}", "{a} + {b} / 2" },
        { "lower slope", "{w5} * {h5} / 2 * {gc}", "{a} + {b} + {w5} / 3" },
        { "toe", "{a} * {ht} * {gc}", "{a} / 2" },
        p.BackfillSlope > 0
            ? PieceText { "soil wedge above the wall top", "{L}^2 / {n} / 2 * {gs}",
                "{a} + {t} + 2 * {L} / 3" }
            : PieceText { "soil wedge above the wall top (level backfill)", "0", "{a} + {t}" },
        wet ? wet8 : dry8,
        wet ? wet9 : dry9,
        wet ? PieceText { "buoyant soil over the leaning back", "{hw}^2 / {H} * {o} / 2 * {gb}",
            "{a} + {t} + {o} - ({hw} / {H} * {o}) / 3" }
            : PieceText { "buoyant soil over the leaning back (dry backfill)", "0",
                "{a} + {t} + {o}" },
        wet ? PieceText { "buoyant soil over the shelf", "{hw} * {s} * {gb}",
            "{a} + {t} + {o} + {s} / 2" }
            : PieceText { "buoyant soil over the shelf (dry backfill)", "0",
                "{a} + {t} + {o} + {s} / 2" },
        { "rear body over the lower slope and flat", "({w5} + {f}) * {h7} * {gc}",
            "{a} + {b} + ({w5} + {f}) / 2" },
        { "rear slope", "{w7} * {h7} / 2 * {gc}", "{a} + {b} + {w5} + {f} + {w7} / 3" },
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
    sheet.Chapters.push_back(c.Take());
}

void SoilChapter(const Project& p, const StabilityResults& s, const Units& u, MomentParts& parts,
    CalculationSheet& sheet)
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
    sheet.Chapters.push_back(c.Take());
}

void WaterChapter(const Project& p, const StabilityResults& s, const Units& u, MomentParts& parts,
    CalculationSheet& sheet)
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
    sheet.Chapters.push_back(c.Take());
}

void SeismicChapter(const Project& p, const StabilityResults& s, const Units& u, MomentParts& parts,
    CalculationSheet& sheet)
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
    }
    const double hf = WallTopLevel(p) - std::max(0.0, double(p.FrontWaterDepth));
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
    sheet.Chapters.push_back(c.Take());
}

void ExternalLoadChapter(
    const Project& p, const Units& u, MomentParts& parts, CalculationSheet& sheet)
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
        for (int j = 1; j <= BaseSegmentCount; ++j) {
            const double uj = pt[j].X * std::cos(psi) - pt[j].Y * std::sin(psi);
            c.Step("Projection of underside point P" + std::to_string(j) + " across the resultant",
                Indexed("u", j), "{x} * cos({psi}) - {y} * sin({psi})",
                { { "x", "x", pt[j].X }, { "y", "y", pt[j].Y }, { "psi", "ψ", Deg(psi), true } },
                uj, u.Length);
            list += (list.empty() ? "" : ", ") + SheetNumber(uj);
            bp = std::max(bp, uj);
        }
        c.Plain("Projected base length", "Bp", "max(u1, u2, u3, u4)", "max(0, " + list + ")", bp,
            u.Length, "EffectiveBaseLength");
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
    // The segments' end pressures, for the largest and smallest under the base.
    std::vector<double> pressures;
    for (int j = 1; j <= BaseSegmentCount; ++j) {
        if (!(double(s.SegmentEndU[j]) - double(s.SegmentStartU[j]) > 1e-5))
            continue;
        const std::string seg = " of segment " + std::to_string(j);
        const double alpha = std::atan2(pt[j].Y - pt[j - 1].Y, pt[j].X - pt[j - 1].X);
        double a = std::max(double(s.SegmentStartU[j]), zs);
        double b = std::min(double(s.SegmentEndU[j]), ze);
        if (a > b)
            a = b = double(s.SegmentEndU[j]) <= zs ? s.SegmentEndU[j] : s.SegmentStartU[j];
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
    for (int row = 1; row <= s.Loads.AnchorRowCount; ++row) {
        const AnchorRow& a = s.Loads.Anchor[row];
        const double lever = double(a.X) * std::cos(psi) - double(a.Y) * std::sin(psi);
        c.Step("Lever of anchor row " + std::to_string(row) + " on the projected base",
            Indexed("da", row), "{x} * cos({psi}) - {y} * sin({psi})",
            { { "x", "x", a.X }, { "y", "y", a.Y }, { "psi", "ψ", Deg(psi), true } }, lever,
            u.Length);
        if (!s.BaseSolved || s.PressureCase != BasePressureCase::FrontTriangle
            || !(lever > s.CompressedLength) || s.AnchorActiveCount < 1)
            continue;
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
    }
    sheet.Chapters.push_back(c.Take());
}

void CombinationChapter(const CombinationResults& r, const Units& u, CalculationSheet& sheet)
{
    Chapter c("Load combinations and the envelope");
    const int formed = r.Stable ? CombinationSetCount : r.UnstableCombination - 1;
    static const char* const cut[]
        = { "", "upper wall at the shelf", "body at the toe top", "toe at its face" };
    for (int j = 1; j <= formed; ++j) {
        const LoadFactorSet& f = CombinationFactors[size_t(j)];
        const std::string name = j <= CombinationCount
            ? "combination " + std::to_string(j) + " (" + std::string(CombinationName[j]) + ")"
            : std::string("service set");
        const std::string factors = "D " + SheetNumber(f.Dead) + ", L " + SheetNumber(f.Live)
            + ", H " + SheetNumber(f.Soil) + ", F " + SheetNumber(f.Water) + ", T "
            + SheetNumber(f.Structural) + ", I " + SheetNumber(f.Impact) + ", E "
            + SheetNumber(f.Seismic);
        for (int s = 1; s <= DesignSectionCount; ++s) {
            const std::string where = ", " + std::string(cut[s]) + ", " + name;
            c.Plain("Moment" + where, "Mu", "Σ γ M beyond the cut", factors, r.ComboMoment[j][s],
                u.Moment, Indexed("ComboMoment", j, s));
            c.Plain("Shear" + where, "Vu", "Σ γ V beyond the cut", factors, r.ComboShear[j][s],
                u.PerLength, Indexed("ComboShear", j, s));
            c.Plain("Normal force" + where, "Nu", "Σ γ N beyond the cut", factors,
                r.ComboNormal[j][s], u.PerLength, Indexed("ComboNormal", j, s));
        }
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
            const std::string where = ", " + std::string(cut[s]);
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

    for (int row = 1; row <= ReinRowCount; ++row) {
        const std::string rs = std::to_string(row);
        const std::string tag = " of row " + rs + (row % 2 ? " (M-)" : " (M+)");
        const double h = float(double(dr.ReinHeight[row]) / du.StoredPerDesign);
        const double db = float(double(dr.ReinDia[row]) / du.StoredPerDesign);
        const double sp = float(double(dr.ReinPitch[row]) / du.StoredPerDesign);
        const double n = float(double(dr.ReinNormal[row]) * du.ForceToDesign);
        const double mu = double(dr.ReinMoment[row]);
        c.Plain("Design moment" + tag + " from the envelope", "Mu", "|M|", SheetNumber(mu), mu,
            u.Moment, Indexed("ReinMoment", row));
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
    DeadLoadChapter(p, s, u, parts, sheet);
    SoilChapter(p, s, u, parts, sheet);
    WaterChapter(p, s, u, parts, sheet);
    SeismicChapter(p, s, u, parts, sheet);
    ExternalLoadChapter(p, u, parts, sheet);
    ResultantChapter(p, s, u, sheet);
    BaseChapter(p, s, u, sheet);
    AnchorChapter(p, s, u, sheet);
    SafetyChapter(s, parts, u, sheet);
    CombinationChapter(design, u, sheet);
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
