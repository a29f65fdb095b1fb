// The name table of the varied inputs and how a value reaches the record.
#include "search/Inputs.h"

#include "model/DimensionEdit.h"

#include <cfloat>
#include <cmath>
#include <utility>

namespace pendrake {

namespace {

// Plain values of the record that a study may vary; all of them are magnitudes, never negative.
constexpr std::array<std::pair<std::string_view, float Project::*>, 22> PlainInputs { {
    { "ConcUnitWeight", &Project::ConcUnitWeight },
    { "ConcFc", &Project::ConcFc },
    { "RebarFy", &Project::RebarFy },
    { "ConcCover", &Project::ConcCover },
    { "WaterUnitWeight", &Project::WaterUnitWeight },
    { "DeltaEarth", &Project::DeltaEarth },
    { "DeltaConcrete", &Project::DeltaConcrete },
    { "FillUnitWeight", &Project::FillUnitWeight },
    { "FillDryDensity", &Project::FillDryDensity },
    { "FillSatDensity", &Project::FillSatDensity },
    { "FillPhi", &Project::FillPhi },
    { "FillCohesion", &Project::FillCohesion },
    { "BasePhi", &Project::BasePhi },
    { "BaseCohesion", &Project::BaseCohesion },
    { "BaseQd", &Project::BaseQd },
    { "BaseE", &Project::BaseE },
    { "AnchorYield", &Project::AnchorYield },
    { "AnchorShear", &Project::AnchorShear },
    { "AnchorDia", &Project::AnchorDia },
    { "AnchorE", &Project::AnchorE },
    { "Surcharge", &Project::Surcharge },
    { "SeismicCoef", &Project::SeismicCoef },
} };

} // namespace

std::optional<int> DimensionByFieldName(std::string_view name)
{
    for (int i = 0; i < DimensionCount; ++i) {
        if (DimensionFieldName[size_t(i)] == name)
            return i;
    }
    return std::nullopt;
}

std::optional<WallInput> WallInputByName(std::string_view name)
{
    if (const auto dim = DimensionByFieldName(name))
        return WallInput { DimensionFieldName[size_t(*dim)], *dim, nullptr };
    for (const auto& [n, field] : PlainInputs) {
        if (n == name)
            return WallInput { n, -1, field };
    }
    return std::nullopt;
}

double InputValue(const Project& p, const WallInput& input)
{
    if (input.Dimension >= 0)
        return Dimension(p, input.Dimension);
    return p.*input.Field;
}

bool ApplyInput(Project& p, const WallInput& input, double value)
{
    if (input.Dimension >= 0)
        return ApplyDimensionEdit(p, input.Dimension, value);
    if (!std::isfinite(value) || value < 0 || value > double(FLT_MAX))
        return false;
    p.*input.Field = static_cast<float>(value);
    return true;
}

} // namespace pendrake
