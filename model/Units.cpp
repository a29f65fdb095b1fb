// Unit conversion of a project's stored values when the engineer switches between Metric
// (tonne-force), SI and British units.
#include "model/Units.h"

#include "model/NumberFormat.h"

#include <algorithm>

namespace pendrake {

namespace {

constexpr double MetresPerFoot = 0.3048;
constexpr double MillimetresPerInch = 25.4;
constexpr double CentimetresPerInch = 2.54;
constexpr double TonnesPerKip = 0.454;
// kg/cm² to MPa is g/100: one kgf on a square centimetre is g newtons on 100 mm².
constexpr float KgPerCm2PerMPaDivisor = 100.0f;

// Decimals each class of value keeps after a switch.
constexpr int LengthDecimals = 2;
constexpr int StressDecimals = 2;
constexpr int SmallLengthDecimals = 1;
// Unit weights and the surcharge keep four decimals when they land in Kip and feet: two would
// lose up to 4 % of a load (62.4 pcf of water is 0.0624 Kip/ft³).
constexpr int BritishWeightDecimals = 4;
constexpr int WeightDecimals = 2;

float Converted(float value, double factor, int decimals)
{
    return static_cast<float>(RoundTo(double(value) * factor, decimals));
}

void Convert(float& value, double factor, int decimals) { value = Converted(value, factor, decimals); }

// After each dimension is rounded on its own the two chains can miss by a hundredth. The shelf
// closes the width chain and the front height the height chain, as an edit of either would.
void RestoreDimensionChains(Project& p)
{
    const double underside = double(p.BottomWidth) + p.LowerSlopeWidth + p.LowerFlatWidth
        + p.RearSlopeWidth;
    p.ShelfWidth = static_cast<float>(
        RoundTo(underside - double(p.TopWidth) - p.UpperBackOffset, LengthDecimals));
    const double backHeight = double(p.UpperBackHeight) + p.RearStepHeight + p.RearSlopeHeight
        + p.LowerSlopeHeight;
    p.FrontHeight = static_cast<float>(RoundTo(backHeight - double(p.ToeHeight), LengthDecimals));
}

} // namespace

std::string LineLoadUnit(int16_t unitSystem)
{
    const auto u = static_cast<size_t>(unitSystem);
    return std::string(ForceUnit.at(u)) + "/" + std::string(LengthUnit.at(u));
}

ConversionFactors UnitConversionFactors(int16_t from, int16_t to)
{
    ConversionFactors f;
    const double g = Gravity;
    if (from == Metric && to == SI) {
        // Metric and SI share metres and centimetres; tonne-force to kN is g, kept in single
        // precision as the stored values are.
        f.Force = Gravity;
        f.Pressure = Gravity;
        f.Stress = Gravity / KgPerCm2PerMPaDivisor;
    } else if (from == SI && to == Metric) {
        f.Force = 1.0f / Gravity;
        f.Pressure = 1.0f / Gravity;
        f.Stress = KgPerCm2PerMPaDivisor / Gravity;
    } else if (from == Metric && to == British) {
        f.Length = 1.0 / MetresPerFoot;
        f.Force = 1.0 / TonnesPerKip;
        f.Pressure = MetresPerFoot * MetresPerFoot / TonnesPerKip;
        f.Stress = CentimetresPerInch * CentimetresPerInch / TonnesPerKip;
        f.SmallLength = 1.0 / CentimetresPerInch;
    } else if (from == SI && to == British) {
        f.Length = 1.0 / MetresPerFoot;
        f.Force = 1.0 / g / TonnesPerKip;
        f.Pressure = MetresPerFoot * MetresPerFoot / TonnesPerKip / g;
        f.Stress = MillimetresPerInch * MillimetresPerInch / TonnesPerKip / g;
        f.SmallLength = 1.0 / CentimetresPerInch;
    } else if (from == British && to == Metric) {
        f.Length = MetresPerFoot;
        f.Force = TonnesPerKip;
        f.Pressure = TonnesPerKip / (MetresPerFoot * MetresPerFoot);
        f.Stress = TonnesPerKip / (CentimetresPerInch * CentimetresPerInch);
        f.SmallLength = CentimetresPerInch;
    } else if (from == British && to == SI) {
        f.Length = MetresPerFoot;
        f.Force = g * TonnesPerKip;
        f.Pressure = g * TonnesPerKip / (MetresPerFoot * MetresPerFoot);
        f.Stress = g * TonnesPerKip / (MillimetresPerInch * MillimetresPerInch);
        f.SmallLength = CentimetresPerInch;
    }
    return f;
}

void ConvertUnits(Project& p, int16_t from)
{
    const ConversionFactors f = UnitConversionFactors(from, p.UnitSystem);
    const double L = f.Length;
    const double T = f.Stress;
    const double S = f.SmallLength;
    const double unitWeight = f.Force / (L * L * L);
    const double lineLoad = f.Force / L;
    const int weightDecimals = p.UnitSystem == British ? BritishWeightDecimals : WeightDecimals;

    for (float* dim : {&p.TopWidth, &p.UpperBackOffset, &p.ShelfWidth, &p.ToeWidth,
                       &p.BottomWidth, &p.LowerSlopeWidth, &p.FrontHeight, &p.ToeHeight,
                       &p.UpperBackHeight, &p.RearStepHeight, &p.RearSlopeHeight,
                       &p.LowerSlopeHeight, &p.LowerFlatWidth, &p.RearSlopeWidth,
                       &p.FrontWaterDepth, &p.BackWaterDepth})
        Convert(*dim, L, LengthDecimals);

    Convert(p.AnchorVPitch, L, LengthDecimals);
    Convert(p.AnchorHPitch, L, LengthDecimals);
    Convert(p.AnchorEdgeDist, L, LengthDecimals);
    Convert(p.AnchorYield, T, 4);
    Convert(p.AnchorShear, T, 4);
    Convert(p.AnchorDia, S, SmallLengthDecimals);
    Convert(p.AnchorE, T, StressDecimals);

    Convert(p.ConcUnitWeight, unitWeight, weightDecimals);
    Convert(p.ConcFc, T, 0);
    Convert(p.ConcE, T, StressDecimals);
    Convert(p.RebarFy, T, 0);
    Convert(p.RebarE, T, StressDecimals);
    Convert(p.ConcCover, S, SmallLengthDecimals);
    for (float* w : {&p.WaterUnitWeight, &p.FillUnitWeight, &p.FillDryDensity, &p.FillSatDensity})
        Convert(*w, unitWeight, weightDecimals);
    for (float* s : {&p.FillCohesion, &p.BaseCohesion, &p.BaseQd, &p.BaseE})
        Convert(*s, T, StressDecimals);
    Convert(p.Surcharge, f.Pressure, weightDecimals);

    const int count = std::clamp<int>(p.LineLoadCount, 0, MaxLineLoads);
    for (int k = 1; k <= count; ++k) {
        LineLoad& load = p.LineLoads[static_cast<size_t>(k)];
        Convert(load.Load, lineLoad, LengthDecimals);
        Convert(load.X, L, LengthDecimals);
        Convert(load.Y, L, LengthDecimals);
    }

    RestoreDimensionChains(p);
}

Project SwitchUnitSystem(const Project& p, int16_t unitSystem)
{
    Project switched = p;
    // Choosing the system already in use changes nothing.
    if (unitSystem == p.UnitSystem)
        return switched;
    switched.UnitSystem = unitSystem;
    ConvertUnits(switched, p.UnitSystem);
    return switched;
}

} // namespace pendrake
