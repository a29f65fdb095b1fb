// The soil pressure calculator: active, passive and at-rest pressures, forces and the depths of
// their resultants for a simple wall with a water table, on the calculator's own inputs.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pendrake {

struct Project;

// All values in the units of the project's unit system; angles in degrees.
struct CalculatorInput {
    float WetDensity = 0; // soil above the water table (UnitWeight)
    float SatDensity = 0; // saturated soil below the water table (UnitWeight)
    float WaterDensity = 0; // UnitWeight
    float FrictionAngle = 0; // internal friction angle of the soil
    float Cohesion = 0; // Stress; shown and printed, no formula uses it
    float SoilSlope = 0; // rise of the soil surface behind the wall
    float WallFriction = 0; // friction angle between wall back and soil
    float WallInclination = 0; // back face from the vertical, leaning back under the soil
    float SoilDepth = 0; // Length, from the top of the soil to the bottom of the wall
    float WaterDepth = 0; // Length, water table below the top of the soil
    float SurchargeLoad = 0; // Pressure, per unit area of the sloping soil surface
    float SeismicCoefficient = 0; // horizontal kh, dimensionless
};

inline constexpr int CalculatorInputCount = 12;

// The inputs in the order of the window's boxes txtValue 0..11, by field name and by member.
inline constexpr std::array<std::string_view, CalculatorInputCount> CalculatorInputNames
    = { "WetDensity", "SatDensity", "WaterDensity", "FrictionAngle", "Cohesion", "SoilSlope",
          "WallFriction", "WallInclination", "SoilDepth", "WaterDepth", "SurchargeLoad",
          "SeismicCoefficient" };
inline constexpr std::array<float CalculatorInput::*, CalculatorInputCount> CalculatorInputFields
    = { &CalculatorInput::WetDensity, &CalculatorInput::SatDensity, &CalculatorInput::WaterDensity,
          &CalculatorInput::FrictionAngle, &CalculatorInput::Cohesion, &CalculatorInput::SoilSlope,
          &CalculatorInput::WallFriction, &CalculatorInput::WallInclination,
          &CalculatorInput::SoilDepth, &CalculatorInput::WaterDepth,
          &CalculatorInput::SurchargeLoad, &CalculatorInput::SeismicCoefficient };

// Pressure ordinates, forces per unit length of wall and depths below the top of the soil.
struct NormalPressureResult {
    std::array<float, 3> Pressure {}; // at the top, at the water table, at the bottom
    std::array<float, 3> Force {}; // above the water table, below it, total
    std::array<float, 3> Depth {}; // of the lines of action of the three forces
};

// Under earthquake the diagram steps at the water table: Pressure[3] is the ordinate there for
// the soil above it, Pressure[1] the ordinate for the soil below it.
struct SeismicPressureResult {
    std::array<float, 4> Pressure {}; // top, water table (soil below), bottom, water table (above)
    std::array<float, 3> Force {};
    std::array<float, 3> Depth {};
};

// A result without a value could not be formed for these inputs (the window shows "--", the
// command line null); Messages says why. No field ever holds NaN or infinity.
struct CalculatorResult {
    std::optional<float> Ka; // active, normal condition
    std::optional<float> Kp; // passive, normal condition
    std::optional<float> K0; // at rest
    std::optional<float> Kae; // active under earthquake
    std::optional<float> Kpe; // passive under earthquake
    std::optional<NormalPressureResult> ActiveNormal;
    std::optional<NormalPressureResult> PassiveNormal;
    std::optional<NormalPressureResult> AtRest;
    std::optional<SeismicPressureResult> ActiveSeismic; // from Ka and Kae
    std::optional<SeismicPressureResult> PassiveSeismic; // from Kp and Kpe
    std::optional<float> BottomWaterPressure;
    std::optional<float> WaterForce;
    std::optional<float> WaterDepthOfResultant; // below the top of the soil
    std::optional<float> PressureInclination; // wall friction plus wall inclination, degrees
    std::vector<std::string> Messages; // in order; the window titles them as itself
    // Cautions on values that are formed but to be used with judgement: shown beside the
    // results and printed with them, never in a message box.
    std::vector<std::string> Notes;
};

// Coulomb's passive wedge is a plane: with much wall friction the true failure surface curves
// and the plane overestimates the resistance.
inline constexpr std::string_view PassiveFrictionNote
    = "Wall friction above a third of the friction angle: Coulomb's passive coefficient "
      "overestimates the resistance.";

inline constexpr std::string_view SoilSlopeAdjustedMessage
    = "The soil slope is steeper than the internal friction angle. Soil slope adjusted";
inline constexpr std::string_view SeismicSlopeTooSteepMessage
    = "The soil slope is too steep for the seismic coefficient: it exceeds the internal friction "
      "angle less the seismic angle atan(kh). The seismic active pressure coefficient is not "
      "defined.";

// The inputs as the calculator window takes them from the project when it opens.
CalculatorInput CalculatorInputFromProject(const Project& project);

// A water table below the bottom of the soil is put at the bottom, as the window does after
// every accepted entry. Returns true when WaterDepth changed.
bool ClampWaterDepth(CalculatorInput& input);

// Sets the input called `name` (one of CalculatorInputNames) as an accepted entry of the window
// does, water-table clamp included. Refuses, leaving input unchanged, an unknown name and a value
// that is negative, not a number or beyond single precision.
bool SetCalculatorInput(CalculatorInput& input, std::string_view name, double value);

// All coefficients and diagrams. A slope steeper than the friction angle is worked with at the
// friction angle and reported; a water table below the soil is taken at the bottom.
CalculatorResult ComputeSoilPressure(CalculatorInput input);

// The diagram of one coefficient k. theta is the wall inclination and slope the soil slope in
// use, both in radians; the water table is expected no deeper than the soil. Empty when the
// surcharge ordinate is singular (wall back square to the slope) or a value is beyond single
// precision.
std::optional<NormalPressureResult> NormalPressures(
    const CalculatorInput& input, float k, double theta, double slope);

// The same under earthquake, for a static coefficient k and its seismic coefficient ke.
std::optional<SeismicPressureResult> SeismicPressures(
    const CalculatorInput& input, float k, float ke, double theta, double slope);

} // namespace pendrake
