// The three unit systems: their labels, the load-case and combination names, and the conversion
// of a project's stored values when the engineer switches systems.
#pragma once

#include "model/Project.h"

#include <array>
#include <string_view>

namespace pendrake {

enum UnitSystemId : int16_t { Metric = 0, SI = 1, British = 2 };

// The Metric system works in tonne-force: 1 T = Gravity kN (single precision, as stored).
inline constexpr float Gravity = 9.81f;

using UnitLabels = std::array<std::string_view, 3>;

inline constexpr UnitLabels UnitSystemName = { "Metric", "SI", "British" };
inline constexpr UnitLabels ForceUnit = { "T", "kN", "Kip" };
inline constexpr UnitLabels UnitWeightUnit = { "t/m³", "kN/m³", "Kip/ft³" };
inline constexpr UnitLabels LengthUnit = { "m", "m", "ft" };
inline constexpr UnitLabels SmallLengthUnit = { "cm", "mm", "in" };
inline constexpr UnitLabels BarUnit = { "mm", "mm", "in" };
inline constexpr UnitLabels StressUnit = { "kg/cm²", "MPa", "psi" };
inline constexpr UnitLabels PressureUnit = { "T/m²", "kPa", "Kip/ft²" };
inline constexpr UnitLabels VolumeUnit = { "m³", "m³", "ft³" };
inline constexpr UnitLabels ModulusUnit = { "E+5 kg/cm²", "E+5 MPa", "E+5 psi" };
inline constexpr UnitLabels AngleUnit = { "°", "°", "°" };

inline constexpr int LoadCaseCount = 7;
inline constexpr int CombinationCount = 11;

// Load cases 1..7 (index 0 unused); line loads and the surcharge carry this number as their type.
inline constexpr std::array<std::string_view, LoadCaseCount + 1> LoadCaseName = { "", "Dead (D)",
    "Live (L)", "Soil (H)", "Water (F)", "Structural (T)", "Impact (L)", "Seismic (E)" };

// ACI 318 load combinations 1..11 (index 0 unused).
inline constexpr std::array<std::string_view, CombinationCount + 1> CombinationName
    = { "", "1.4D + 1.7L + R", "1.4D + 1.7L + 1.7H + R", "0.9D + 1.7H + R",
          "1.4D + 1.7L + 1.4F + R", "1.4D + 1.7L + 1.7H + 1.4F + R", "0.9D + 1.4F + R",
          "1.05D + 1.28L + 1.4E + R", "1.05D + 1.28L + 1.05F + 1.4E + R",
          "1.05D + 1.28L + 1.05T + R", "1.4D + 1.4T + R", "1.05D + 1.28L + 1.05F + 1.05T + R" };

// A line load's unit, e.g. "T/m".
std::string LineLoadUnit(int16_t unitSystem);

// The five factors that take a value from one system to another.
struct ConversionFactors {
    double Length = 1; // L
    double Force = 1; // F
    double Pressure = 1; // P
    double Stress = 1; // T (also Modulus, in units of 1e5 Stress)
    double SmallLength = 1; // S: cm in Metric and SI, in in British
};

ConversionFactors UnitConversionFactors(int16_t from, int16_t to);

// Converts every stored value from the system `from` to project.UnitSystem in place, rounding
// each to the decimals its field is shown with, then restores both dimension chains.
void ConvertUnits(Project& project, int16_t from);

// The project in another unit system, as the unit list switches it: every stored value
// converted. The system already in use gives the project unchanged.
Project SwitchUnitSystem(const Project& project, int16_t unitSystem);

} // namespace pendrake
