// Analysis results as JSON for pendrake-cli.
#include "cli/AnalysisJson.h"

#include <algorithm>

namespace pendrake::cli {

namespace {

template <typename T>
Json Optional(const std::optional<T>& v)
{
    return v ? Json(*v) : Json();
}

template <size_t N>
Json FloatList(const std::array<float, N>& a)
{
    return Json::Range(a, 0, N - 1);
}

Json NormalCase(const std::optional<NormalPressureResult>& r)
{
    if (!r)
        return Json();
    return Json(Json::Object{{"Pressure", FloatList(r->Pressure)},
                             {"Force", FloatList(r->Force)},
                             {"Depth", FloatList(r->Depth)}});
}

Json SeismicCase(const std::optional<SeismicPressureResult>& r)
{
    if (!r)
        return Json();
    return Json(Json::Object{{"Pressure", FloatList(r->Pressure)},
                             {"Force", FloatList(r->Force)},
                             {"Depth", FloatList(r->Depth)}});
}

} // namespace

Json TextList(const std::vector<std::string>& texts)
{
    Json list = Json::MakeArray();
    for (const std::string& t : texts)
        list.Push(t);
    return list;
}

Json StabilityJson(const Project& p, const StabilityResults& r)
{
    const LoadCaseResults& l = r.Loads;
    Json j = Json::MakeObject();
    // Earth pressure coefficients of the virtual back
    j.Set("BackfillSlope", p.BackfillSlope);
    j.Set("BackfillSlopeAngle", l.BackfillSlopeAngle);
    j.Set("KaStatic", l.KaStatic);
    j.Set("KaeIncrement", l.KaeIncrement);
    j.Set("KaeIncrementCopy", l.KaeIncrementCopy);
    j.Set("SlopeAdjusted", l.SlopeAdjusted);
    j.Set("SeismicUndefined", l.SeismicUndefined);

    // Load cases
    j.Set("DeadForce", Json::Range(l.DeadForce, 1, PieceCount));
    j.Set("DeadArm", Json::Range(l.DeadArm, 1, PieceCount));
    j.Set("SeismicForce", Json::Range(l.SeismicForce, 1, SeismicTermCount));
    j.Set("SeismicLevel", Json::Range(l.SeismicLevel, 1, SeismicTermCount));
    j.Set("SeismicArm", Json::Range(l.SeismicArm, 1, SeismicTermCount));
    j.Set("SoilPressure", Json::Range(l.SoilPressure, 0, 3));
    j.Set("SoilLevel", Json::Range(l.SoilLevel, 0, 3));
    j.Set("SoilArm", Json::Range(l.SoilArm, 0, 3));
    j.Set("SoilPressureMax", l.SoilPressureMax);
    j.Set("WaterPressure", Json::Range(l.WaterPressure, 1, WaterOrdinateCount));
    j.Set("WaterArm", Json::Range(l.WaterArm, 1, WaterOrdinateCount));
    j.Set("WaterLevel", Json::Range(l.WaterLevel, 1, WaterOrdinateCount));
    j.Set("WaterPressureMax", l.WaterPressureMax);

    // Sums about the toe and the resultant
    j.Set("CaseMoment", Json::Range(r.CaseMoment, 0, LoadCaseCount));
    j.Set("CaseHorizontal", Json::Range(r.CaseHorizontal, 0, LoadCaseCount));
    j.Set("CaseVertical", Json::Range(r.CaseVertical, 0, LoadCaseCount));
    j.Set("TotalMoment", r.TotalMoment);
    j.Set("TotalHorizontal", r.TotalHorizontal);
    j.Set("TotalVertical", r.TotalVertical);
    const bool resultant = r.ResultantDefined;
    j.Set("ResultantX", resultant ? Json(r.ResultantX) : Json());
    j.Set("MidbaseEccentricity", resultant ? Json(r.MidbaseEccentricity) : Json());
    j.Set("MidbaseMoment", resultant ? Json(r.MidbaseMoment) : Json());
    j.Set("BaseSpan", r.BaseSpan);
    j.Set("ResultantInclination", resultant ? Json(r.ResultantInclination) : Json());
    j.Set("ResultantMagnitude", r.ResultantMagnitude);
    j.Set("Stable", r.Stable);

    // The base: projected, its pressure distribution, its segments. Not formed for a wall
    // found unstable before the base was solved.
    const bool base = r.BaseSolved;
    auto baseValue = [base](float v) { return base ? Json(v) : Json(); };
    auto segments = [base](const std::array<float, BaseSegmentCount + 1>& a) {
        return base ? Json::Range(a, 1, BaseSegmentCount) : Json();
    };
    j.Set("EffectiveBaseLength", baseValue(r.EffectiveBaseLength));
    j.Set("CompressedLength", baseValue(r.CompressedLength));
    j.Set("PressureToeEnd", baseValue(r.PressureToeEnd));
    j.Set("PressureFarEnd", baseValue(r.PressureFarEnd));
    j.Set("SegmentStartU", segments(r.SegmentStartU));
    j.Set("SegmentEndU", segments(r.SegmentEndU));
    auto points = [base](const std::array<BasePoint, BaseSegmentCount + 1>& a) {
        if (!base)
            return Json();
        Json list = Json::MakeArray();
        for (int s = 1; s <= BaseSegmentCount; ++s)
            list.Push(Json(Json::Array{a[size_t(s)].X, a[size_t(s)].Y}));
        return list;
    };
    j.Set("ContactStart", points(r.ContactStart));
    j.Set("ContactEnd", points(r.ContactEnd));
    j.Set("SegmentPressureStart", segments(r.SegmentPressureStart));
    j.Set("SegmentPressureEnd", segments(r.SegmentPressureEnd));
    j.Set("SegmentBearingSafety", segments(r.SegmentBearingSafety));
    j.Set("SegmentShear", segments(r.SegmentShear));
    j.Set("SegmentResistance", segments(r.SegmentResistance));
    j.Set("SegmentSlidingSafety", segments(r.SegmentSlidingSafety));
    j.Set("SegmentForce", segments(r.SegmentForce));
    j.Set("BasePressureMax", baseValue(r.BasePressureMax));
    j.Set("BasePressureMin", baseValue(r.BasePressureMin));
    j.Set("BearingSafetyMin", baseValue(r.BearingSafetyMin));
    j.Set("SlidingShear", baseValue(r.SlidingShear));
    j.Set("SlidingResistance", baseValue(r.SlidingResistance));
    j.Set("SlidingSafetyMin", baseValue(r.SlidingSafetyMin));

    // Anchors
    Json anchors = Json::MakeArray();
    for (int row = 1; row <= std::min<int>(l.AnchorRowCount, MaxAnchorRows); ++row) {
        const AnchorRow& a = l.Anchor[size_t(row)];
        anchors.Push(Json(Json::Object{{"x", a.X}, {"y", a.Y}, {"face", a.Face},
                                       {"along", a.Along}, {"across", a.Across}}));
    }
    j.Set("Anchor", std::move(anchors));
    j.Set("AnchorActiveCount", base ? Json(r.AnchorActiveCount) : Json());
    j.Set("AnchorLever", Json::Range(r.AnchorLever, 1, size_t(std::max<int>(l.AnchorRowCount, 0))));
    j.Set("AnchorLeverSum", baseValue(r.AnchorLeverSum));
    j.Set("AnchorLeverSqSum", baseValue(r.AnchorLeverSqSum));
    j.Set("AnchorTensionMax", baseValue(r.AnchorTensionMax));
    j.Set("AnchorTensionStress", baseValue(r.AnchorTensionStress));
    j.Set("AnchorTensionSafety", baseValue(r.AnchorTensionSafety));
    j.Set("AnchorShearMax", baseValue(r.AnchorShearMax));
    j.Set("AnchorShearStress", baseValue(r.AnchorShearStress));
    j.Set("AnchorShearSafety", baseValue(r.AnchorShearSafety));

    j.Set("messages", TextList(r.Messages));
    j.Set("notes", TextList(StabilityNotes(p, r)));
    return j;
}

Json CalculatorJson(const CalculatorInput& input, const CalculatorResult& r)
{
    Json in = Json::MakeObject();
    for (size_t k = 0; k < CalculatorInputCount; ++k)
        in.Set(std::string(CalculatorInputNames[k]), input.*CalculatorInputFields[k]);
    Json j = Json::MakeObject();
    j.Set("CalculatorInput", std::move(in));
    j.Set("Ka", Optional(r.Ka));
    j.Set("Kp", Optional(r.Kp));
    j.Set("K0", Optional(r.K0));
    j.Set("Kae", Optional(r.Kae));
    j.Set("Kpe", Optional(r.Kpe));
    j.Set("ActiveNormal", NormalCase(r.ActiveNormal));
    j.Set("PassiveNormal", NormalCase(r.PassiveNormal));
    j.Set("AtRest", NormalCase(r.AtRest));
    j.Set("ActiveSeismic", SeismicCase(r.ActiveSeismic));
    j.Set("PassiveSeismic", SeismicCase(r.PassiveSeismic));
    j.Set("BottomWaterPressure", Optional(r.BottomWaterPressure));
    j.Set("WaterForce", Optional(r.WaterForce));
    j.Set("WaterDepthOfResultant", Optional(r.WaterDepthOfResultant));
    j.Set("PressureInclination", Optional(r.PressureInclination));
    j.Set("messages", TextList(r.Messages));
    return j;
}

} // namespace pendrake::cli
