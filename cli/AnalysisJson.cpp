// Analysis results as JSON for pendrake-cli.
#include "cli/AnalysisJson.h"

#include <algorithm>

namespace pendrake::cli {

namespace {

template <typename T> Json Optional(const std::optional<T>& v)
{
    return v ? Json(*v) : Json();
}

template <size_t N> Json FloatList(const std::array<float, N>& a)
{
    return Json::Range(a, 0, N - 1);
}

Json NormalCase(const std::optional<NormalPressureResult>& r)
{
    if (!r)
        return Json();
    return Json(Json::Object { { "Pressure", FloatList(r->Pressure) },
        { "Force", FloatList(r->Force) }, { "Depth", FloatList(r->Depth) } });
}

Json SeismicCase(const std::optional<SeismicPressureResult>& r)
{
    if (!r)
        return Json();
    return Json(Json::Object { { "Pressure", FloatList(r->Pressure) },
        { "Force", FloatList(r->Force) }, { "Depth", FloatList(r->Depth) } });
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
            list.Push(Json(Json::Array { a[size_t(s)].X, a[size_t(s)].Y }));
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
    j.Set("OverturningSafety", r.OverturningSafety);

    // Anchors
    Json anchors = Json::MakeArray();
    for (int row = 1; row <= std::min<int>(l.AnchorRowCount, MaxAnchorRows); ++row) {
        const AnchorRow& a = l.Anchor[size_t(row)];
        anchors.Push(Json(Json::Object { { "x", a.X }, { "y", a.Y }, { "face", a.Face },
            { "along", a.Along }, { "across", a.Across } }));
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
    j.Set("notes", TextList(r.Notes));
    j.Set("messages", TextList(r.Messages));
    return j;
}

Json DesignJson(const CombinationResults& r)
{
    Json j = Json::MakeObject();
    j.Set("Stable", r.Stable);
    // Combination-major: 12 rows of sections 1..3. Rows a stopped run did not reach are null.
    auto table = [&r](const CombinationResults::SectionTable& t) {
        Json rows = Json::MakeArray();
        for (int c = 1; c <= CombinationSetCount; ++c) {
            const bool formed = r.Stable || c < r.UnstableCombination;
            rows.Push(formed ? Json::Range(t[size_t(c)], 1, DesignSectionCount) : Json());
        }
        return rows;
    };
    j.Set("ComboMoment", table(r.ComboMoment));
    j.Set("ComboShear", table(r.ComboShear));
    j.Set("ComboNormal", table(r.ComboNormal));

    const bool designed = r.Stable;
    auto sections = [designed](const std::array<float, DesignSectionCount + 1>& a) {
        return designed ? Json::Range(a, 1, DesignSectionCount) : Json();
    };
    auto rows = [designed](const std::array<float, ReinRowCount + 1>& a) {
        return designed ? Json::Range(a, 1, ReinRowCount) : Json();
    };
    const Envelope& e = r.Env;
    j.Set("EnvMomentPos", sections(e.EnvMomentPos));
    j.Set("EnvMomentNeg", sections(e.EnvMomentNeg));
    j.Set("EnvShear", sections(e.EnvShear));
    j.Set("EnvNormalPos", sections(e.EnvNormalPos));
    j.Set("EnvNormalNeg", sections(e.EnvNormalNeg));
    j.Set("EnvShearNormal", sections(e.EnvShearNormal));
    j.Set("EnvMomentZ", sections(e.EnvMomentZ));
    j.Set("EnvNormalZ", sections(e.EnvNormalZ));

    const DesignResults& d = r.Design;
    j.Set("ReinHeight", rows(d.ReinHeight));
    j.Set("ReinDia", rows(r.Design.ReinDia));
    j.Set("ReinPitch", rows(r.Design.ReinPitch));
    j.Set("ReinMoment", rows(d.ReinMoment));
    j.Set("ReinNormal", rows(d.ReinNormal));
    j.Set("ReinMomentZ", rows(d.ReinMomentZ));
    j.Set("ReinNormalZ", rows(d.ReinNormalZ));
    j.Set("ReinAs", rows(d.ReinAs));
    j.Set("ReinAsReq", rows(d.ReinAsReq));
    j.Set("ReinRho", rows(d.ReinRho));
    j.Set("ReinRhoReq43", rows(d.ReinRhoReq43));
    j.Set("ReinMomentCap", rows(d.ReinMomentCap));
    j.Set("ReinZ", rows(d.ReinZ));
    j.Set("ReinShear", sections(d.ReinShear));
    j.Set("ReinShearNormal", sections(d.ReinShearNormal));
    j.Set("ReinShearCap", sections(d.ReinShearCap));
    j.Set("RhoBalanced", designed ? Json(d.RhoBalanced) : Json());
    j.Set("RhoMin", designed ? Json(d.RhoMin) : Json());
    j.Set("ZMax", designed ? Json(d.ZMax) : Json());

    Json warnings = Json::MakeObject();
    if (designed) {
        const DesignWarningSet w = DesignWarnings(d);
        Json rowList = Json::MakeArray();
        for (int row = 1; row <= ReinRowCount; ++row) {
            const RowWarnings& rw = w.Row[size_t(row)];
            rowList.Push(Json(Json::Object { { "MomentCapacity", rw.MomentCapacity },
                { "RhoMin", rw.RhoMin }, { "RhoBalanced", rw.RhoBalanced }, { "ZMax", rw.ZMax },
                { "CannotCarry", rw.CannotCarry } }));
        }
        Json shear = Json::MakeArray();
        for (int s = 1; s <= DesignSectionCount; ++s)
            shear.Push(Json(Json::Object { { "Shear", bool(w.Shear[size_t(s)]) } }));
        warnings.Set("Rows", std::move(rowList));
        warnings.Set("Sections", std::move(shear));
    }
    j.Set("warnings", designed ? std::move(warnings) : Json());
    j.Set("messages", TextList(r.Messages));
    return j;
}

} // namespace pendrake::cli
