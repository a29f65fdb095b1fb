// The project record's input fields as JSON.
#include "cli/ProjectJson.h"

#include <algorithm>

namespace pendrake::cli {

Json ProjectInputJson(const Project& p)
{
    Json j = Json::MakeObject();
    j.Set("MarginLeft", p.MarginLeft);
    j.Set("MarginRight", p.MarginRight);
    j.Set("MarginTop", p.MarginTop);
    j.Set("MarginBottom", p.MarginBottom);
    j.Set("PageFieldText",
        Json(Json::Array { p.PageFieldText[1], p.PageFieldText[2], p.PageFieldText[3] }));
    j.Set("ReportFontName", p.ReportFontName);
    j.Set("ReportFontSize", p.ReportFontSize);
    j.Set("ProjectTitle", p.ProjectTitle);
    j.Set("UnitSystem", p.UnitSystem);

    j.Set("TopWidth", p.TopWidth);
    j.Set("UpperBackOffset", p.UpperBackOffset);
    j.Set("ShelfWidth", p.ShelfWidth);
    j.Set("ToeWidth", p.ToeWidth);
    j.Set("BottomWidth", p.BottomWidth);
    j.Set("LowerSlopeWidth", p.LowerSlopeWidth);
    j.Set("FrontHeight", p.FrontHeight);
    j.Set("ToeHeight", p.ToeHeight);
    j.Set("UpperBackHeight", p.UpperBackHeight);
    j.Set("RearStepHeight", p.RearStepHeight);
    j.Set("RearSlopeHeight", p.RearSlopeHeight);
    j.Set("LowerSlopeHeight", p.LowerSlopeHeight);
    j.Set("LowerFlatWidth", p.LowerFlatWidth);
    j.Set("RearSlopeWidth", p.RearSlopeWidth);
    j.Set("BackfillSlope", p.BackfillSlope);
    j.Set("FrontWaterDepth", p.FrontWaterDepth);
    j.Set("BackWaterDepth", p.BackWaterDepth);

    j.Set("AnchorRows", p.AnchorRows);
    j.Set("AnchorVPitch", p.AnchorVPitch);
    j.Set("AnchorHPitch", p.AnchorHPitch);
    j.Set("AnchorEdgeDist", p.AnchorEdgeDist);
    j.Set("AnchorYield", p.AnchorYield);
    j.Set("AnchorShear", p.AnchorShear);
    j.Set("AnchorDia", p.AnchorDia);
    j.Set("AnchorE", p.AnchorE);

    j.Set("ConcUnitWeight", p.ConcUnitWeight);
    j.Set("ConcFc", p.ConcFc);
    j.Set("ConcE", p.ConcE);
    j.Set("ConcPoisson", p.ConcPoisson);
    j.Set("RebarFy", p.RebarFy);
    j.Set("RebarE", p.RebarE);
    j.Set("ConcCover", p.ConcCover);
    j.Set("WaterUnitWeight", p.WaterUnitWeight);
    j.Set("FillUnitWeight", p.FillUnitWeight);
    j.Set("FillDryDensity", p.FillDryDensity);
    j.Set("FillSatDensity", p.FillSatDensity);
    j.Set("FillPhi", p.FillPhi);
    j.Set("FillCohesion", p.FillCohesion);
    j.Set("BasePhi", p.BasePhi);
    j.Set("BaseCohesion", p.BaseCohesion);
    j.Set("BaseQd", p.BaseQd);
    j.Set("BaseE", p.BaseE);
    j.Set("DeltaEarth", p.DeltaEarth);
    j.Set("DeltaConcrete", p.DeltaConcrete);

    j.Set("Surcharge", p.Surcharge);
    j.Set("SurchargeType", p.SurchargeType);
    j.Set("SeismicCoef", p.SeismicCoef);
    j.Set("LineLoadCount", p.LineLoadCount);
    Json loads = Json::MakeArray();
    const int count = std::clamp<int>(p.LineLoadCount, 0, MaxLineLoads);
    for (int k = 1; k <= count; ++k) {
        const LineLoad& l = p.LineLoads[size_t(k)];
        Json load = Json::MakeObject();
        load.Set("Load", l.Load).Set("X", l.X).Set("Y", l.Y).Set("Direction", l.Direction);
        load.Set("Type", l.Type);
        loads.Push(std::move(load));
    }
    j.Set("LineLoads", std::move(loads));

    j.Set("ReinUserSet", p.ReinUserSet);
    j.Set("ReinDia", Json::Range(p.ReinDia, 1, ReinRowCount));
    j.Set("ReinPitch", Json::Range(p.ReinPitch, 1, ReinRowCount));
    return j;
}

} // namespace pendrake::cli
