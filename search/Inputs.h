// The inputs a search or a study may vary, by their record field names: the seventeen wall
// dimensions (set as the engineer types them, the chains closed again) and the materials, soils
// and loads that are plain numbers.
#pragma once

#include "model/Project.h"

#include <array>
#include <optional>
#include <string_view>

namespace pendrake {

// The record field name of dimension label 0..16.
inline constexpr std::array<std::string_view, DimensionCount> DimensionFieldName = { "TopWidth",
    "UpperBackOffset", "ShelfWidth", "ToeWidth", "BottomWidth", "LowerSlopeWidth", "FrontHeight",
    "ToeHeight", "UpperBackHeight", "RearStepHeight", "RearSlopeHeight", "BackfillSlope",
    "FrontWaterDepth", "BackWaterDepth", "LowerSlopeHeight", "LowerFlatWidth", "RearSlopeWidth" };

// The dimension label of a field name, or nothing.
std::optional<int> DimensionByFieldName(std::string_view name);

// One input a study varies: a dimension (Dimension >= 0) or a plain field of the record.
struct WallInput {
    std::string_view Name;
    int Dimension = -1;
    float Project::*Field = nullptr;
};

// The input of a field name (a dimension or a material, soil or load value), or nothing.
std::optional<WallInput> WallInputByName(std::string_view name);

// The value the record holds for the input.
double InputValue(const Project& project, const WallInput& input);

// Sets the input: a dimension through the dimension edit (two decimals, chains closed), a plain
// field as a float. False, leaving the project as it was, for a negative or non-finite value.
bool ApplyInput(Project& project, const WallInput& input, double value);

} // namespace pendrake
