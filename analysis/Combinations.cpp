// The combination driver: each factored set through the section forces, the design envelope
// with its tie rules, and the section design, leaving the record at service factors.
#include "analysis/Combinations.h"

#include <algorithm>
#include <cmath>

namespace pendrake {

namespace {

constexpr LoadFactorSet ServiceFactors { 1, 1, 1, 1, 1, 1, 1 };

// Puts the service factors back however the run ends, an exception from the design included:
// the drawings, the stability command and the report expect them.
class ServiceFactorsOnExit {
public:
    explicit ServiceFactorsOnExit(Project& p)
        : project_(p)
    {
    }
    ServiceFactorsOnExit(const ServiceFactorsOnExit&) = delete;
    ServiceFactorsOnExit& operator=(const ServiceFactorsOnExit&) = delete;
    ~ServiceFactorsOnExit() { SetLoadFactors(project_, ServiceFactors); }

private:
    Project& project_;
};

void ClearRow(CombinationResults& r, int set)
{
    r.ComboMoment[set].fill(0);
    r.ComboShear[set].fill(0);
    r.ComboNormal[set].fill(0);
}

} // namespace

void SetLoadFactors(Project& p, float dead, float live, float soil, float water, float structural,
    float impact, float seismic)
{
    p.LoadFactor = { 0, dead, live, soil, water, structural, impact, seismic };
}

void SetLoadFactors(Project& p, const LoadFactorSet& s)
{
    SetLoadFactors(p, float(s.Dead), float(s.Live), float(s.Soil), float(s.Water),
        float(s.Structural), float(s.Impact), float(s.Seismic));
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

void RunCombinations(Project& p, CombinationResults& r)
{
    const ServiceFactorsOnExit restore(p);
    // One stability record for the whole run: messages and the slope flag collect over it.
    SectionForceResults forces;
    r.Stable = true;
    r.UnstableCombination = 0;
    for (int set = 1; set <= CombinationSetCount; ++set) {
        SetLoadFactors(p, CombinationFactors[set]);
        if (!ComputeSectionForces(p, forces)) {
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
    }
    // The service factors go back before the design, which reads the record.
    SetLoadFactors(p, ServiceFactors);

    r.Messages = forces.Stability.Messages;
    r.SlopeAdjusted = forces.Stability.Loads.SlopeAdjusted;
    if (!r.Stable) {
        r.Messages.emplace_back(UnstableCombinationMessage);
        return;
    }
    r.Env = DesignEnvelope(r);
    DesignSections(p, r.Env, r.Design);
}

} // namespace pendrake
