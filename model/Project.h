// The project record: every input of one retaining-wall cross-section, per unit length of wall,
// held in the units of the current unit system. Nothing else: the file name, the unsaved state
// and the results belong to the project document.
#pragma once

#include "model/Version.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pendrake {

inline constexpr int MaxLineLoads = 10;
inline constexpr int DimensionCount = 17;
inline constexpr int ReinRowCount = 6;

// One line load. X from the toe front, Y from the toe bottom; Direction in degrees:
// 0 straight up, 90 towards the backfill, 180 straight down, 270 towards the front.
struct LineLoad {
    float Load = 0;
    float X = 0;
    float Y = 0;
    float Direction = 0;
    int16_t Type = 1; // load case 1..7

    bool operator==(const LineLoad&) const = default;
};

struct Project {
    // Wall dimensions (Length). The index in the comment is the dimension label's index.
    float TopWidth = 0; // 0
    float UpperBackOffset = 0; // 1
    float ShelfWidth = 0; // 2
    float ToeWidth = 0; // 3
    float BottomWidth = 0; // 4
    float LowerSlopeWidth = 0; // 5
    float FrontHeight = 0; // 6
    float ToeHeight = 0; // 7
    float UpperBackHeight = 0; // 8
    float RearStepHeight = 0; // 9
    float RearSlopeHeight = 0; // 10
    float BackfillSlope = 0; // 11: 1 vertical to n horizontal, 0 = level
    float FrontWaterDepth = 0; // 12: measured down from the wall top
    float BackWaterDepth = 0; // 13: measured down from the wall top
    float LowerSlopeHeight = 0; // 14
    float LowerFlatWidth = 0; // 15
    float RearSlopeWidth = 0; // 16

    // Materials and soils
    float ConcUnitWeight = 0; // UnitWeight
    float ConcFc = 0; // Stress
    float ConcE = 0; // Modulus: units of 1e5 Stress
    float ConcPoisson = 0;
    float RebarFy = 0; // Stress
    float RebarE = 0; // Modulus
    float ConcCover = 0; // SmallLength: cm in Metric and SI, in in British
    float WaterUnitWeight = 0; // UnitWeight
    float DeltaEarth = 0; // degrees, earth to earth
    float DeltaConcrete = 0; // degrees, concrete to earth
    float FillUnitWeight = 0; // UnitWeight
    float FillDryDensity = 0; // UnitWeight
    float FillSatDensity = 0; // UnitWeight
    float FillPhi = 0; // degrees
    float FillCohesion = 0; // Stress
    float BasePhi = 0; // degrees
    float BaseCohesion = 0; // Stress
    float BaseQd = 0; // Stress
    float BaseE = 0; // Modulus

    // Anchors
    int16_t AnchorRows = 0;
    float AnchorVPitch = 0; // Length
    float AnchorHPitch = 0; // Length
    float AnchorEdgeDist = 0; // Length
    float AnchorYield = 0; // Stress
    float AnchorShear = 0; // Stress
    float AnchorDia = 0; // SmallLength
    float AnchorE = 0; // Modulus

    // Loads
    float Surcharge = 0; // Pressure
    int16_t SurchargeType = 2; // load case 1..7
    float SeismicCoef = 0; // horizontal kh, dimensionless
    int16_t LineLoadCount = 0;
    std::array<LineLoad, MaxLineLoads + 1> LineLoads {}; // slots 1..10

    // Reinforcement typed by the user in the concrete design window (slots 1..6)
    bool ReinUserSet = false;
    std::array<float, ReinRowCount + 1> ReinDia {};
    std::array<float, ReinRowCount + 1> ReinPitch {};

    // Title and report settings
    std::string ProjectTitle; // UTF-8
    int16_t UnitSystem = 0; // 0 Metric, 1 SI, 2 British
    int16_t MarginLeft = 0; // millimetres
    int16_t MarginRight = 0;
    int16_t MarginTop = 0;
    int16_t MarginBottom = 0;
    std::array<std::string, 4> PageFieldText; // slots 1..3, with field codes
    std::string ReportFontName;
    float ReportFontSize = 0; // points
};

// Fills every field with the defaults of a new project. The line-load slots and the user's bar
// tables stay as they were: nothing reaches them until a count or switch does.
// reportFont is the report text font chosen at start-up.
void NewProject(Project& project, std::string_view reportFont);

// A fresh record with the defaults of a new project.
Project MakeNewProject(std::string_view reportFont);

// Rows of anchors that fit on the sloping underside, limited by the rows asked for.
int16_t AnchorRowsPlaced(const Project& project);

// The dimension behind the main window's label `index` (0..16).
float& Dimension(Project& project, int index);
float Dimension(const Project& project, int index);

} // namespace pendrake
