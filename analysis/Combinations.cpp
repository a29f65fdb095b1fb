// The combination driver: each factored set through the section forces, the design envelope
// with its tie rules, and the section design, leaving the record at service factors.
#include "analysis/Combinations.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace pendrake {

namespace {

// The toe's bars fix the depth of its critical shear section, and that section's shear takes
// part in the choice of the toe's bars: the run repeats until the chosen bar stays, at most this
// often (the bar settles on the second pass on every wall seen).
constexpr int MaxToeBarPasses = 4;
constexpr int ToeSection = 3;

void ClearRow(CombinationResults& r, int set)
{
    r.ComboMoment[set].fill(0);
    r.ComboShear[set].fill(0);
    r.ComboNormal[set].fill(0);
}

void AddOnce(std::vector<std::string>& to, const std::vector<std::string>& from)
{
    for (const std::string& m : from) {
        if (std::find(to.begin(), to.end(), m) == to.end())
            to.push_back(m);
    }
}

// Each set's stability analysis in set order (set 1 first), kept for a later change of the toe's
// bars. A list that grows as the sets run: a run does not first clear twelve analyses it is about
// to overwrite, nor hold any for the sets after an unstable one.
class SetStabilities {
public:
    SetStabilities() { sets_.reserve(CombinationSetCount); }
    void Keep(StabilityResults&& s) { sets_.push_back(std::move(s)); }
    const StabilityResults& Of(int set) const { return sets_.at(size_t(set - 1)); }

private:
    std::vector<StabilityResults> sets_;
};

// Every set through the stability analysis and the cuts, keeping each set's stability analysis in
// `sets` for a later change of the toe's bars.
CombinationResults RunWithToeBar(
    const Project& p, const WallSectionBasis& basis, float toeBarDia, SetStabilities& sets)
{
    CombinationResults r;
    r.Stable = true;
    r.UnstableCombination = 0;
    r.ToeBarDia = toeBarDia;
    for (int set = 1; set <= CombinationSetCount; ++set) {
        SectionForceResults forces
            = ComputeSectionForces(basis, FactorsOfSet(CombinationFactors[set]), toeBarDia);
        AddOnce(r.Messages, forces.Stability.Messages);
        if (forces.Stability.Loads.SlopeAdjusted) {
            r.SlopeAdjusted = true;
            r.ProposedBackfillSlope = forces.Stability.Loads.ProposedBackfillSlope;
        }
        if (!forces.Stability.Stable) {
            r.Stable = false;
            r.UnstableCombination = static_cast<int16_t>(set);
            for (int rest = set; rest <= CombinationSetCount; ++rest)
                ClearRow(r, rest);
            break;
        }
        for (int s = 1; s <= DesignSectionCount; ++s) {
            r.ComboMoment[set][s] = forces.SectionMoment[s];
            r.ComboShear[set][s] = forces.SectionShear[s];
            r.ComboNormal[set][s] = forces.SectionNormal[s];
        }
        sets.Keep(std::move(forces.Stability));
    }
    if (!r.Stable) {
        r.Messages.emplace_back(UnstableCombinationMessage);
        return r;
    }
    r.Env = DesignEnvelope(r);
    // The design reads the thicknesses and materials only, which no slope check changes.
    r.Design = DesignSections(p, r.Env);
    return r;
}

// The toe's shear changed and nothing else: the moments and normal forces of the envelope, and
// with them every row's bars and required steel, stand. Only the toe's shear check and the two
// toe rows that read its normal force are formed again, as DesignSections forms them.
void RecheckToeShear(const Project& p, const Envelope& env, DesignResults& design)
{
    design.ReinShear[ToeSection] = env.EnvShear[ToeSection];
    design.ReinShearNormal[ToeSection] = env.EnvShearNormal[ToeSection];
    for (int row = FirstRowOfSection(ToeSection); row <= FirstRowOfSection(ToeSection) + 1; ++row)
        CheckDesignRow(p, design, row);
}

// The toe's bars changed: nothing but the toe's critical shear section moves, so each set's
// stability analysis stands and only the toe's shear, the envelope and the toe's shear check are
// formed again.
void RedesignForToeBar(
    const Project& p, float toeBarDia, const SetStabilities& sets, CombinationResults& r)
{
    for (int set = 1; set <= CombinationSetCount; ++set)
        r.ComboShear[set][ToeSection]
            = ToeSectionShear(p, FactorsOfSet(CombinationFactors[set]), sets.Of(set), toeBarDia);
    r.ToeBarDia = toeBarDia;
    r.Env = DesignEnvelope(r);
    RecheckToeShear(p, r.Env, r.Design);
}

} // namespace

LoadFactors FactorsOfSet(const LoadFactorSet& s)
{
    return MakeLoadFactors(s.Dead, s.Live, s.Soil, s.Water, s.Structural, s.Impact, s.Seismic);
}

Envelope DesignEnvelope(const CombinationResults& r)
{
    Envelope env;
    for (int s = 1; s <= DesignSectionCount; ++s) {
        for (int j = 1; j <= CombinationCount; ++j) {
            const float m = r.ComboMoment[j][s];
            const float v = std::fabs(r.ComboShear[j][s]);
            const float n = r.ComboNormal[j][s];
            // On a tie the smaller compression goes with the moment: it needs more steel.
            if (m >= env.EnvMomentPos[s]) {
                env.EnvNormalPos[s]
                    = m == env.EnvMomentPos[s] ? std::min(env.EnvNormalPos[s], n) : n;
                env.EnvMomentPos[s] = m;
            }
            if (m <= env.EnvMomentNeg[s]) {
                env.EnvNormalNeg[s]
                    = m == env.EnvMomentNeg[s] ? std::min(env.EnvNormalNeg[s], n) : n;
                env.EnvMomentNeg[s] = m;
            }
            if (v >= env.EnvShear[s]) {
                env.EnvShearNormal[s]
                    = v == env.EnvShear[s] ? std::min(env.EnvShearNormal[s], n) : n;
                env.EnvShear[s] = v;
            }
        }
        env.EnvMomentZ[s] = r.ComboMoment[ServiceSet][s];
        env.EnvNormalZ[s] = r.ComboNormal[ServiceSet][s];
    }
    return env;
}

CombinationResults RunCombinations(const Project& p)
{
    // What no load factor changes is formed once for the twelve sets.
    const WallStabilityBasis stability(p);
    const WallSectionBasis basis(stability);
    return RunCombinations(p, basis);
}

CombinationResults RunCombinations(const Project& p, const WallSectionBasis& basis)
{
    float toeBar = p.ReinUserSet ? p.ReinDia[ToeDesignRow] : 0.0f;
    SetStabilities sets;
    CombinationResults r = RunWithToeBar(p, basis, toeBar, sets);
    for (int pass = 1; pass < MaxToeBarPasses && r.Stable && !p.ReinUserSet
         && r.Design.ReinDia[ToeDesignRow] != toeBar;
         ++pass) {
        toeBar = r.Design.ReinDia[ToeDesignRow];
        RedesignForToeBar(p, toeBar, sets, r);
    }
    return r;
}

} // namespace pendrake
