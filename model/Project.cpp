// Defaults of a new project and the small derived quantities every layer asks the record for.
#include "model/Project.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace pendrake {

void NewProject(Project& p, std::string_view reportFont)
{
    p.UnitSystem = 0;
    p.ProjectTitle.clear();

    // Seventeen dimensions: widths 0.5 + 0.9 + 5.9 = 3.0 + 1.4 + 1.5 + 1.4 = 7.3 and
    // heights 9.0 + 1.0 = 6.0 + 0 + 2.0 + 2.0 = 10.0, so both chains hold.
    p.TopWidth = 0.5f;
    p.UpperBackOffset = 0.9f;
    p.ShelfWidth = 5.9f;
    p.ToeWidth = 1.0f;
    p.BottomWidth = 3.0f;
    p.LowerSlopeWidth = 1.4f;
    p.FrontHeight = 9.0f;
    p.ToeHeight = 1.0f;
    p.UpperBackHeight = 6.0f;
    p.RearStepHeight = 0.0f;
    p.RearSlopeHeight = 2.0f;
    p.BackfillSlope = 0.0f;
    p.FrontWaterDepth = 1.5f;
    p.BackWaterDepth = 1.5f;
    p.LowerSlopeHeight = 2.0f;
    p.LowerFlatWidth = 1.5f;
    p.RearSlopeWidth = 1.4f;

    p.AnchorRows = 3;
    p.AnchorVPitch = 1.5f;
    p.AnchorHPitch = 1.5f;
    p.AnchorEdgeDist = 0.5f;
    p.AnchorYield = 2400.0f;
    p.AnchorShear = 960.0f;
    p.AnchorDia = 2.0f;
    p.AnchorE = 21.0f;

    p.ConcUnitWeight = 2.4f;
    p.ConcFc = 300.0f;
    p.ConcE = 1.4f;
    p.ConcPoisson = 0.17f;
    p.RebarFy = 4000.0f;
    p.RebarE = 21.0f;
    p.ConcCover = 7.0f;
    p.WaterUnitWeight = 1.0f;
    p.DeltaEarth = 30.0f;
    p.DeltaConcrete = 15.0f;
    p.FillUnitWeight = 1.7f;
    p.FillDryDensity = 1.7f;
    p.FillSatDensity = 1.9f;
    p.FillPhi = 30.0f;
    p.FillCohesion = 0.0f;
    p.BasePhi = 30.0f;
    p.BaseCohesion = 18.0f;
    p.BaseQd = 10.0f;
    p.BaseE = 1.0f;

    p.Surcharge = 1.0f;
    p.SurchargeType = 2;
    p.SeismicCoef = 0.15f;
    p.LineLoadCount = 0;

    p.MarginLeft = 25;
    p.MarginRight = 20;
    p.MarginTop = 20;
    p.MarginBottom = 20;
    p.ReinUserSet = false;
    p.PageFieldText = { "", "&Input", "&Date &Time", "Page &Page" };
    p.ReportFontName = std::string(reportFont);
    p.ReportFontSize = 10.0f;
}

Project MakeNewProject(std::string_view reportFont)
{
    Project p;
    NewProject(p, reportFont);
    return p;
}

int16_t AnchorRowsPlaced(const Project& p)
{
    const double usable
        = double(p.LowerSlopeHeight) + double(p.RearSlopeHeight) - double(p.AnchorEdgeDist);
    if (p.AnchorRows <= 0 || usable < 0)
        return 0;
    // A zero pitch would stack every row at the lowest one: all of them fit.
    if (p.AnchorVPitch <= 0)
        return p.AnchorRows;
    // The heights are typed to two decimals; a row that lands exactly on the top of the rear
    // slope must count even when 0.1-type values leave the quotient a hair below an integer.
    constexpr double roundingAllowance = 1e-5;
    const double fit = std::floor(usable / double(p.AnchorVPitch) + roundingAllowance) + 1.0;
    return static_cast<int16_t>(std::min<double>(p.AnchorRows, fit));
}

namespace {
template <typename P> auto& DimensionRef(P& p, int index)
{
    switch (index) {
    case 0: return p.TopWidth;
    case 1: return p.UpperBackOffset;
    case 2: return p.ShelfWidth;
    case 3: return p.ToeWidth;
    case 4: return p.BottomWidth;
    case 5: return p.LowerSlopeWidth;
    case 6: return p.FrontHeight;
    case 7: return p.ToeHeight;
    case 8: return p.UpperBackHeight;
    case 9: return p.RearStepHeight;
    case 10: return p.RearSlopeHeight;
    case 11: return p.BackfillSlope;
    case 12: return p.FrontWaterDepth;
    case 13: return p.BackWaterDepth;
    case 14: return p.LowerSlopeHeight;
    case 15: return p.LowerFlatWidth;
    case 16: return p.RearSlopeWidth;
    default: throw std::out_of_range("dimension index out of range");
    }
}
} // namespace

float& Dimension(Project& p, int index)
{
    return DimensionRef(p, index);
}
float Dimension(const Project& p, int index)
{
    return DimensionRef(p, index);
}

} // namespace pendrake
