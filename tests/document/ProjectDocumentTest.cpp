// The engine leaves the record alone and gives the same answer every time; the document runs it
// once per change, applies a flattened slope once, and gathers each message once.
#include "document/ProjectDocument.h"

#include "analysis/Combinations.h"
#include "analysis/LoadCases.h"
#include "analysis/SectionDesign.h"
#include "analysis/SectionForces.h"
#include "analysis/Stability.h"
#include "calculator/CalculatorComputation.h"
#include "support/ProjectFiles.h"
#include "support/Walls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace pendrake {
namespace {

// The numbers and texts of a result, flattened, so that two runs compare as a whole: any number
// or table of numbers, the anchor table and the messages.
struct Fingerprint {
    std::vector<float> Numbers;
    std::vector<std::string> Texts;

    void Add(float x) { Numbers.push_back(x); }
    void Add(const AnchorRow& a) { Add(a.X), Add(a.Y), Add(a.Along), Add(a.Across); }
    void Add(const std::vector<std::string>& m) { Texts.insert(Texts.end(), m.begin(), m.end()); }
    template <class T, size_t N> void Add(const std::array<T, N>& t)
    {
        for (const T& x : t)
            Add(x);
    }
    template <class... T> Fingerprint& operator()(const T&... fields)
    {
        (Add(fields), ...);
        return *this;
    }
    bool operator==(const Fingerprint&) const = default;
};

Fingerprint Of(const LoadCaseResults& r)
{
    return Fingerprint {}(r.DeadForce, r.DeadArm, r.SeismicForce, r.SeismicArm, r.SoilPressure,
        r.SoilArm, r.WaterPressure, r.WaterArm, r.KaStatic, r.KaeIncrement, r.Anchor, r.Messages);
}

Fingerprint Of(const StabilityResults& r)
{
    return Of(r.Loads)(r.CaseMoment, r.CaseHorizontal, r.CaseVertical, r.BearingSafetyMin,
        r.SlidingSafetyMin, r.AnchorTensionSafety, r.SegmentPressureStart, r.SegmentPressureEnd,
        r.SegmentForce, float(r.Stable), r.Messages);
}

Fingerprint Of(const CombinationResults& r)
{
    const DesignResults& d = r.Design;
    return Fingerprint {}(d.ReinDia, d.ReinPitch, d.ReinMoment, d.ReinAs, d.ReinMomentCap, d.ReinZ,
        d.ReinShearCap, r.ComboMoment, r.ComboShear, r.Env.EnvMomentPos, r.Env.EnvMomentNeg,
        r.Env.EnvShear, float(r.Stable), float(r.UnstableCombination), r.Messages);
}

Fingerprint Of(const SectionForceResults& r)
{
    return Of(r.Stability)(r.SectionMoment, r.SectionShear, r.SectionNormal);
}

Fingerprint Of(const CalculatorResult& r)
{
    return Fingerprint {}(
        r.Ka.value_or(-1.0f), r.Kp.value_or(-1.0f), r.K0.value_or(-1.0f), r.Messages);
}

// Walls on which every part of the engine has something to do.
const test::WallChange Walls[] = {
    { "default", [](Project&) {} },
    { "steep slope, flattened by the checks", [](Project& p) { p.BackfillSlope = 1.0f; } },
    { "sloped, wet both sides, rear step, line loads",
        [](Project& p) { p = test::SlopedWetAnchoredWall(); } },
    { "seismic beyond the friction angle", [](Project& p) { p.SeismicCoef = 0.7f; } },
    { "SI", [](Project& p) { p = SwitchUnitSystem(p, SI); } },
};

// Every entry point of the engine gives the same twice and leaves the record as it was; the
// document gathers each message of its runs once, without the design verdict.
TEST(PureEngine, EveryEntryPointGivesTheSameTwiceAndTheDocumentGathersEachMessageOnce)
{
    const LoadFactors factored = MakeLoadFactors(1.4f, 1.7f, 1.7f, 1.4f, 1.05f, 1.28f, 1.4f);
    for (const test::WallChange& wall : Walls) {
        SCOPED_TRACE(wall.Name);
        Project p = MakeNewProject("Arial");
        wall.Change(p);
        const std::vector<uint8_t> before = test::FileBytes(p);
        const std::vector<std::pair<const char*, std::function<Fingerprint()>>> runs = {
            { "stability", [&] { return Of(ComputeStability(p)); } },
            { "section forces", [&] { return Of(ComputeSectionForces(p, factored, 0)); } },
            { "combinations", [&] { return Of(RunCombinations(p)); } },
            { "calculator",
                [&] { return Of(ComputeSoilPressure(CalculatorInputFromProject(p))); } },
        };
        for (const auto& [name, run] : runs) {
            SCOPED_TRACE(name);
            const Fingerprint first = run();
            EXPECT_EQ(run(), first);
            EXPECT_EQ(test::FileBytes(p), before);
        }
        const ProjectDocument document(p);
        const std::vector<std::string>& m = document.Messages();
        EXPECT_EQ(std::set<std::string>(m.begin(), m.end()).size(), m.size());
        EXPECT_EQ(std::count(m.begin(), m.end(), std::string(UnstableCombinationMessage)), 0);
        for (const std::string& text : ComputeStability(document.Record()).Messages)
            EXPECT_NE(std::find(m.begin(), m.end(), text), m.end()) << text;
    }
}

TEST(ProjectDocument, RunsTheCombinationsOncePerChange)
{
    ProjectDocument document(MakeNewProject("Arial"));
    EXPECT_EQ(document.CombinationRuns(), 1);
    int told = 0;
    document.Subscribe(
        [&](ProjectDocument::Change c) { told += c == ProjectDocument::Change::Record ? 1 : 0; });
    Project p = document.Record();
    for (int change = 1; change <= 3; ++change) {
        p.TopWidth += 0.1f;
        document.SetRecord(p);
        EXPECT_EQ(document.CombinationRuns(), 1 + change);
        EXPECT_EQ(told, change);
    }
    // Reading the results, as every window and the report do, runs nothing.
    (void)document.Stability(), (void)document.Combinations(), (void)document.Verdict();
    EXPECT_EQ(document.CombinationRuns(), 4);
    // A steep slope is flattened in the same run: no second one.
    p.BackfillSlope = 1.0f;
    document.SetRecord(p);
    EXPECT_EQ(document.CombinationRuns(), 5);
}

TEST(ProjectDocument, AppliesAFlattenedSlopeOnlyWhenAskedAndKeepsTheRecordOtherwise)
{
    Project steep = MakeNewProject("Arial");
    steep.BackfillSlope = 1.0f; // 45° behind a 30° backfill
    steep.SeismicCoef = 0; // the static check alone decides
    ProjectDocument document(MakeNewProject("Arial"));

    document.SetRecord(steep, ProjectDocument::Proposals::Keep);
    EXPECT_EQ(test::FileBytes(document.Record()), test::FileBytes(steep));
    EXPECT_FALSE(document.RecordBeforeProposal().has_value());

    document.SetRecord(steep, ProjectDocument::Proposals::Apply);
    // 1 / tan 30° = 1.732, taken up to the next tenth.
    EXPECT_FLOAT_EQ(document.Record().BackfillSlope, 1.8f);
    ASSERT_TRUE(document.RecordBeforeProposal().has_value());
    EXPECT_EQ(test::FileBytes(*document.RecordBeforeProposal()), test::FileBytes(steep));
    // The results are those of the flattened wall: the record with the proposal runs the same.
    // Only the numbers: the flattening message belongs to the run that flattened.
    EXPECT_EQ(Of(document.Stability()).Numbers, Of(ComputeStability(document.Record())).Numbers);

    // A record already flat proposes nothing.
    document.SetRecord(document.Record(), ProjectDocument::Proposals::Apply);
    EXPECT_FALSE(document.RecordBeforeProposal().has_value());
}

TEST(ProjectDocument, VerdictFollowsTheRuns)
{
    const ProjectDocument stable(MakeNewProject("Arial"));
    const WallVerdict& v = stable.Verdict();
    EXPECT_TRUE(v.Stable);
    EXPECT_FLOAT_EQ(v.BearingSafetyMin, stable.Stability().BearingSafetyMin);
    EXPECT_FLOAT_EQ(v.SlidingSafetyMin, stable.Stability().SlidingSafetyMin);
    ASSERT_TRUE(v.DesignStable);
    ASSERT_TRUE(v.Utilisation.has_value());
    // The largest M / Mu over the six rows, each worked here from the design run.
    const DesignResults& d = stable.Combinations().Design;
    float largest = 0;
    for (int row = 1; row <= ReinRowCount; ++row)
        if (d.ReinMoment[row] != 0)
            largest = std::max(largest, d.ReinMoment[row] / d.ReinMomentCap[row]);
    EXPECT_FLOAT_EQ(*v.Utilisation, largest);
    EXPECT_GT(largest, 0.0f);

    const ProjectDocument unstable(test::UnstableWall());
    EXPECT_FALSE(unstable.Verdict().DesignStable);
    EXPECT_FALSE(unstable.Verdict().Utilisation.has_value());
}

} // namespace
} // namespace pendrake
