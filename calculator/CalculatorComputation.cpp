// Soil pressure calculator: Coulomb and Mononobe-Okabe coefficients, the pressure diagram above
// and below the water table, the soil and water forces and the depths of their resultants.
#include "calculator/CalculatorComputation.h"

#include "model/Project.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace pendrake {

namespace {

// Degrees to radians the way every angle of the program is converted.
const double DegToRad = std::atan(1.0) / 45.0;

// Stands in for a zero force under the depth of its resultant. A layer without force has no
// moment either, so its resultant lands at the top of the layer instead of dividing by zero.
constexpr double ZeroForceDivisor = 0.00001;

// A divisor of the coefficient formulas smaller than this counts as zero. The angles arrive in
// single precision (relative error 6e-8), so a cosine or a 1 - sqrt(...) this small cannot be
// told from zero, and dividing by it would give an arbitrarily large coefficient.
constexpr double SingularDivisor = 1e-6;

constexpr std::string_view NotDefinedActive = " The active pressure coefficient is not defined.";
constexpr std::string_view NotDefinedPassive = " The passive pressure coefficient is not defined.";
constexpr std::string_view NotDefinedSeismicActive
    = " The seismic active pressure coefficient is not defined.";
constexpr std::string_view NotDefinedSeismicPassive
    = " The seismic passive pressure coefficient is not defined.";
constexpr std::string_view SeismicSlopeCause
    = "The soil slope is too steep for the seismic coefficient: it exceeds the internal "
      "friction angle less the seismic angle atan(kh).";
// The header's text for the commonest seismic fault is the one this file composes.
static_assert(SeismicSlopeTooSteepMessage.substr(0, SeismicSlopeCause.size()) == SeismicSlopeCause
    && SeismicSlopeTooSteepMessage.substr(SeismicSlopeCause.size()) == NotDefinedSeismicActive);
constexpr std::string_view WallFrictionCause
    = "The wall friction angle exceeds the internal friction angle.";
constexpr std::string_view EarthquakeCause
    = "The seismic angle atan(kh) exceeds the internal friction angle.";
constexpr std::string_view SeismicAngleCause
    = "The seismic angle atan(kh) exceeds the internal friction angle plus the soil slope.";
constexpr std::string_view NoRealSolutionCause
    = "The internal friction, soil slope, wall friction and wall inclination angles give no "
      "real solution.";
constexpr std::string_view SingularCause
    = "The internal friction, soil slope, wall friction and wall inclination angles make the "
      "coefficient infinite.";
constexpr std::string_view SquareBackMessage
    = "The wall inclination and the soil slope put the wall back square to the soil surface. "
      "The soil pressures are not defined.";
constexpr std::string_view TooLargeMessage
    = "Some soil or water pressures are too large to compute; check the depths, densities "
      "and surcharge load.";
constexpr std::string_view NotANumberMessage
    = "An input of the calculator is not a number; nothing is computed.";

std::optional<float> Stored(double value)
{
    if (!std::isfinite(value) || std::abs(value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(value);
}

// Stores each intermediate in single precision as the result fields hold it, so the next
// step reads the stored value; remembers whether anything left the range of a float.
class SingleStore {
public:
    float operator()(double value)
    {
        const auto stored = Stored(value);
        ok_ = ok_ && stored.has_value();
        return stored.value_or(0.0f);
    }
    [[nodiscard]] bool Ok() const { return ok_; }

private:
    bool ok_ = true;
};

double ForceDivisor(float force)
{
    return force == 0 ? ZeroForceDivisor : force;
}

enum class Fault { None, NegativeRoot, Singular };

struct Coefficient {
    std::optional<float> Value;
    Fault Why = Fault::None;
};

// The shape shared by the Coulomb and Mononobe-Okabe coefficients:
// numerator / (lead * (1 + sign * sqrt(rootTop / rootBottom))^2), sign +1 active, -1 passive.
Coefficient CoulombForm(
    double numerator, double lead, double rootTop, double rootBottom, double sign)
{
    if (std::abs(rootBottom) < SingularDivisor)
        return { std::nullopt, Fault::Singular };
    const double argument = rootTop / rootBottom;
    if (argument < 0)
        return { std::nullopt, Fault::NegativeRoot };
    const double bracket = 1 + sign * std::sqrt(argument);
    if (std::abs(lead) < SingularDivisor || std::abs(bracket) < SingularDivisor)
        return { std::nullopt, Fault::Singular };
    const auto value = Stored(numerator / (lead * (bracket * bracket)));
    if (!value)
        return { std::nullopt, Fault::Singular };
    return { value, Fault::None };
}

void ReportFault(std::vector<std::string>& messages, Fault fault, std::string_view cause,
    std::string_view consequence)
{
    if (fault == Fault::None)
        return;
    const std::string_view why = fault == Fault::Singular ? SingularCause : cause;
    messages.push_back(std::string(why) + std::string(consequence));
}

// Angles in radians, of the soil and wall as the formulas use them.
struct Angles {
    double Phi = 0;
    double Slope = 0;
    double Delta = 0;
    double Theta = 0;
    double Psi = 0; // seismic angle atan(kh)
};

Coefficient ActiveCoefficient(const Angles& a)
{
    const double lead = std::cos(a.Theta) * std::cos(a.Theta) * std::cos(a.Theta + a.Delta);
    return CoulombForm(std::cos(a.Phi - a.Theta) * std::cos(a.Phi - a.Theta), lead,
        std::sin(a.Phi + a.Delta) * std::sin(a.Phi - a.Slope),
        std::cos(a.Theta - a.Slope) * std::cos(a.Theta + a.Delta), 1.0);
}

// Coulomb's passive coefficient with the wall friction resisting the soil's rise along the
// back: sin(phi + delta) and cos(delta - theta). (With -delta it falls below Rankine's value.)
Coefficient PassiveCoefficient(const Angles& a)
{
    const double lead = std::cos(a.Theta) * std::cos(a.Theta) * std::cos(a.Delta - a.Theta);
    return CoulombForm(std::cos(a.Phi + a.Theta) * std::cos(a.Phi + a.Theta), lead,
        std::sin(a.Phi + a.Delta) * std::sin(a.Phi + a.Slope),
        std::cos(a.Theta - a.Slope) * std::cos(a.Delta - a.Theta), -1.0);
}

Coefficient SeismicActiveCoefficient(const Angles& a)
{
    const double inclined = std::cos(a.Delta + a.Theta + a.Psi);
    const double lead = std::cos(a.Psi) * std::cos(a.Theta) * std::cos(a.Theta) * inclined;
    const double top = std::cos(a.Phi - a.Psi - a.Theta);
    return CoulombForm(top * top, lead,
        std::sin(a.Phi + a.Delta) * std::sin(a.Phi - a.Slope - a.Psi),
        std::cos(a.Theta - a.Slope) * inclined, 1.0);
}

// Mononobe-Okabe's passive coefficient, the wall friction in the same sense as Coulomb's.
Coefficient SeismicPassiveCoefficient(const Angles& a)
{
    const double inclined = std::cos(a.Delta - a.Theta + a.Psi);
    const double lead = std::cos(a.Psi) * std::cos(a.Theta) * std::cos(a.Theta) * inclined;
    const double top = std::cos(a.Phi - a.Psi + a.Theta);
    return CoulombForm(top * top, lead,
        std::sin(a.Phi + a.Delta) * std::sin(a.Phi + a.Slope - a.Psi),
        std::cos(a.Theta - a.Slope) * inclined, -1.0);
}

bool AllFinite(const CalculatorInput& input)
{
    return std::all_of(CalculatorInputFields.begin(), CalculatorInputFields.end(),
        [&input](float CalculatorInput::*field) { return std::isfinite(input.*field); });
}

} // namespace

CalculatorInput CalculatorInputFromProject(const Project& project)
{
    const double radToDeg = 1.0 / DegToRad;
    CalculatorInput input;
    input.WetDensity = project.FillUnitWeight;
    input.SatDensity = project.FillSatDensity;
    input.WaterDensity = project.WaterUnitWeight;
    input.FrictionAngle = project.FillPhi;
    input.Cohesion = project.FillCohesion;
    input.SoilSlope = project.BackfillSlope == 0
        ? 0.0f
        : static_cast<float>(std::atan(1.0 / project.BackfillSlope) * radToDeg);
    input.WallFriction = project.DeltaConcrete;
    // With no upper back face there is no soil on it either: the back counts as vertical.
    input.WallInclination = project.UpperBackHeight == 0
        ? 0.0f
        : static_cast<float>(
            std::atan(double(project.UpperBackOffset) / project.UpperBackHeight) * radToDeg);
    input.SoilDepth = project.UpperBackHeight;
    input.WaterDepth = project.BackWaterDepth >= project.UpperBackHeight ? project.UpperBackHeight
                                                                         : project.BackWaterDepth;
    input.SurchargeLoad = project.Surcharge;
    input.SeismicCoefficient = project.SeismicCoef;
    return input;
}

bool ClampWaterDepth(CalculatorInput& input)
{
    if (input.WaterDepth <= input.SoilDepth)
        return false;
    input.WaterDepth = input.SoilDepth;
    return true;
}

bool SetCalculatorInput(CalculatorInput& input, std::string_view name, double value)
{
    if (!std::isfinite(value) || value < 0 || value > std::numeric_limits<float>::max())
        return false;
    const auto* const found
        = std::find(CalculatorInputNames.begin(), CalculatorInputNames.end(), name);
    if (found == CalculatorInputNames.end())
        return false;
    const auto index = static_cast<std::size_t>(found - CalculatorInputNames.begin());
    // An entry of -0 is stored as 0 so that nothing downstream prints "-0".
    input.*CalculatorInputFields[index] = value == 0 ? 0.0f : static_cast<float>(value);
    ClampWaterDepth(input);
    return true;
}

std::optional<NormalPressureResult> NormalPressures(
    const CalculatorInput& input, float k, double theta, double slope)
{
    // The surcharge acts on the sloping surface; its ordinate on the inclined back grows as the
    // back turns square to the surface, without bound.
    const double backToSurface = std::cos(theta - slope);
    if (std::abs(backToSurface) < SingularDivisor)
        return std::nullopt;
    const double h = input.SoilDepth;
    const double hw = input.WaterDepth;
    const double submergedDensity = double(input.SatDensity) - input.WaterDensity;

    SingleStore store;
    NormalPressureResult r;
    auto& p = r.Pressure;
    auto& f = r.Force;
    auto& d = r.Depth;
    p[0] = store(input.SurchargeLoad * double(k) * std::cos(theta) / backToSurface);
    p[1] = store(p[0] + k * double(input.WetDensity) * hw);
    p[2] = store(p[1] + k * submergedDensity * (h - hw));
    f[0] = store((double(p[0]) + p[1]) / 2 * hw);
    f[1] = store((double(p[1]) + p[2]) / 2 * (h - hw));
    f[2] = store(double(f[0]) + f[1]);
    d[0] = store((hw * hw * p[1] / 3 + hw * hw * p[0] / 6) / ForceDivisor(f[0]));
    d[1] = store(hw
        + ((h - hw) * (h - hw) * p[2] / 3 + (h - hw) * (h - hw) * p[1] / 6) / ForceDivisor(f[1]));
    d[2] = store((double(f[0]) * d[0] + double(f[1]) * d[1]) / ForceDivisor(f[2]));
    if (!store.Ok())
        return std::nullopt;
    return r;
}

std::optional<SeismicPressureResult> SeismicPressures(
    const CalculatorInput& input, float k, float ke, double theta, double slope)
{
    const double backToSurface = std::cos(theta - slope);
    if (std::abs(backToSurface) < SingularDivisor)
        return std::nullopt;
    const double h = input.SoilDepth;
    const double hw = input.WaterDepth;
    const double gamma = input.WetDensity;
    const double submergedDensity = double(input.SatDensity) - input.WaterDensity;
    const double increment = double(ke) - k;

    // The earthquake's increment is an inverted triangle, largest at the top and nothing at the
    // bottom, as in the stability analysis: dK gamma over the whole depth, and below the water
    // table dK (gamma sat - gamma) more over the submerged depth. Dry soil gives exactly
    // (k + dK) gamma h^2 / 2; water at the bottom is dry soil.
    const double gammaSat = input.SatDensity;
    const double incrementTop = increment * gamma * h;
    const double incrementAboveTable = increment * gamma * (h - hw);
    const double incrementBelowTable = increment * gammaSat * (h - hw);

    SingleStore store;
    SeismicPressureResult r;
    auto& p = r.Pressure;
    auto& f = r.Force;
    auto& d = r.Depth;
    const double staticTop = input.SurchargeLoad * double(k) * std::cos(theta) / backToSurface;
    const double staticTable = staticTop + k * gamma * hw;
    p[0] = store(staticTop + incrementTop);
    p[3] = store(staticTable + incrementAboveTable);
    p[1] = store(staticTable + incrementBelowTable);
    p[2] = store(staticTable + k * submergedDensity * (h - hw));
    f[0] = store((double(p[0]) + p[3]) / 2 * hw);
    f[1] = store((double(p[1]) + p[2]) / 2 * (h - hw));
    f[2] = store(double(f[0]) + f[1]);
    d[0] = store((hw * hw * p[3] / 3 + hw * hw * p[0] / 6) / ForceDivisor(f[0]));
    d[1] = store(hw
        + ((h - hw) * (h - hw) * p[2] / 3 + (h - hw) * (h - hw) * p[1] / 6) / ForceDivisor(f[1]));
    d[2] = store((double(f[0]) * d[0] + double(f[1]) * d[1]) / ForceDivisor(f[2]));
    if (!store.Ok())
        return std::nullopt;
    return r;
}

CalculatorResult ComputeSoilPressure(CalculatorInput input)
{
    CalculatorResult result;
    auto& messages = result.Messages;
    if (!AllFinite(input)) {
        messages.emplace_back(NotANumberMessage);
        return result;
    }
    ClampWaterDepth(input);

    Angles a;
    a.Phi = input.FrictionAngle * DegToRad;
    a.Slope = input.SoilSlope * DegToRad;
    a.Delta = input.WallFriction * DegToRad;
    a.Theta = input.WallInclination * DegToRad;

    // The typed slope stays in the input; only this computation works with the friction angle.
    if (a.Slope > a.Phi) {
        messages.emplace_back(SoilSlopeAdjustedMessage);
        a.Slope = a.Phi;
    }

    // A back square to the soil surface takes an unbounded share of the surcharge; every diagram
    // fails on it, so it is reported once here rather than as values out of range.
    const bool squareBack = std::abs(std::cos(a.Theta - a.Slope)) < SingularDivisor;
    if (squareBack)
        messages.emplace_back(SquareBackMessage);
    bool tooLarge = false;
    const auto normalCase = [&](const std::optional<float>& k) {
        std::optional<NormalPressureResult> diagram;
        if (k && !squareBack) {
            diagram = NormalPressures(input, *k, a.Theta, a.Slope);
            tooLarge = tooLarge || !diagram;
        }
        return diagram;
    };
    const auto seismicCase = [&](const std::optional<float>& k, const std::optional<float>& ke) {
        std::optional<SeismicPressureResult> diagram;
        if (k && ke && !squareBack) {
            diagram = SeismicPressures(input, *k, *ke, a.Theta, a.Slope);
            tooLarge = tooLarge || !diagram;
        }
        return diagram;
    };

    const Coefficient active = ActiveCoefficient(a);
    result.Ka = active.Value;
    ReportFault(messages, active.Why, NoRealSolutionCause, NotDefinedActive);
    result.ActiveNormal = normalCase(result.Ka);

    const Coefficient passive = PassiveCoefficient(a);
    result.Kp = passive.Value;
    if (a.Delta > a.Phi / 3)
        result.Notes.emplace_back(PassiveFrictionNote);
    ReportFault(messages, passive.Why, a.Phi < a.Delta ? WallFrictionCause : NoRealSolutionCause,
        NotDefinedPassive);
    result.PassiveNormal = normalCase(result.Kp);

    result.K0 = Stored((1 - std::sin(a.Phi)) * (1 + std::sin(a.Slope)));
    result.AtRest = normalCase(result.K0);

    a.Psi = std::atan(double(input.SeismicCoefficient));

    const Coefficient seismicActive = SeismicActiveCoefficient(a);
    result.Kae = seismicActive.Value;
    std::string_view activeCause = NoRealSolutionCause;
    if (a.Psi > a.Phi)
        activeCause = EarthquakeCause;
    else if (a.Phi - a.Slope - a.Psi < 0)
        activeCause = SeismicSlopeCause;
    ReportFault(messages, seismicActive.Why, activeCause, NotDefinedSeismicActive);
    result.ActiveSeismic = seismicCase(result.Ka, result.Kae);

    const Coefficient seismicPassive = SeismicPassiveCoefficient(a);
    result.Kpe = seismicPassive.Value;
    std::string_view passiveCause = NoRealSolutionCause;
    if (a.Phi < a.Delta)
        passiveCause = WallFrictionCause;
    else if (a.Phi + a.Slope - a.Psi < 0)
        passiveCause = SeismicAngleCause;
    ReportFault(messages, seismicPassive.Why, passiveCause, NotDefinedSeismicPassive);
    result.PassiveSeismic = seismicCase(result.Kp, result.Kpe);

    const double h = input.SoilDepth;
    const double hw = input.WaterDepth;
    result.BottomWaterPressure = Stored((h - hw) * double(input.WaterDensity));
    if (result.BottomWaterPressure) {
        result.WaterForce = Stored((h - hw) * double(*result.BottomWaterPressure) / 2);
        result.WaterDepthOfResultant = Stored(2 * (h - hw) / 3 + hw);
    }
    tooLarge = tooLarge || !result.WaterForce || !result.WaterDepthOfResultant;

    result.PressureInclination = Stored(double(input.WallFriction) + input.WallInclination);
    tooLarge = tooLarge || !result.PressureInclination;

    if (tooLarge)
        messages.emplace_back(TooLargeMessage);
    return result;
}

} // namespace pendrake
