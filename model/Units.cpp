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

// A switch keeps every converted value as it comes out, in single precision: rounding would
// change the wall (f'c 300 kg/cm² is 29.43 MPa, not 29), and a round trip would drift. Only the
// display formats round.
void Convert(float& value, double factor)
{
    value = static_cast<float>(double(value) * factor);
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

    for (float* dim : { &p.TopWidth, &p.UpperBackOffset, &p.ShelfWidth, &p.ToeWidth, &p.BottomWidth,
             &p.LowerSlopeWidth, &p.FrontHeight, &p.ToeHeight, &p.UpperBackHeight,
             &p.RearStepHeight, &p.RearSlopeHeight, &p.LowerSlopeHeight, &p.LowerFlatWidth,
             &p.RearSlopeWidth, &p.FrontWaterDepth, &p.BackWaterDepth })
        Convert(*dim, L);

    Convert(p.AnchorVPitch, L);
    Convert(p.AnchorHPitch, L);
    Convert(p.AnchorEdgeDist, L);
    Convert(p.AnchorYield, T);
    Convert(p.AnchorShear, T);
    Convert(p.AnchorDia, S);
    Convert(p.AnchorE, T);

    Convert(p.ConcUnitWeight, unitWeight);
    Convert(p.ConcFc, T);
    Convert(p.ConcE, T);
    Convert(p.RebarFy, T);
    Convert(p.RebarE, T);
    Convert(p.ConcCover, S);
    // The engineer's bars are small lengths as the cover is (cm or in): the design keeps the
    // same physical bars in every system.
    for (int row = 1; row <= ReinRowCount; ++row) {
        Convert(p.ReinDia[static_cast<size_t>(row)], S);
        Convert(p.ReinPitch[static_cast<size_t>(row)], S);
    }
    for (float* w : { &p.WaterUnitWeight, &p.FillUnitWeight, &p.FillDryDensity, &p.FillSatDensity })
        Convert(*w, unitWeight);
    for (float* s : { &p.FillCohesion, &p.BaseCohesion, &p.BaseQd, &p.BaseE })
        Convert(*s, T);
    Convert(p.Surcharge, f.Pressure);

    const int count = std::clamp<int>(p.LineLoadCount, 0, MaxLineLoads);
    for (int k = 1; k <= count; ++k) {
        LineLoad& load = p.LineLoads[static_cast<size_t>(k)];
        Convert(load.Load, lineLoad);
        Convert(load.X, L);
        Convert(load.Y, L);
    }
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
