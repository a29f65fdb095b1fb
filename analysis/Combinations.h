// The ACI 318 load combinations: the section forces of each factored set, the envelope the
// concrete design works from, and the design of the three sections.
#pragma once

#include "analysis/SectionDesign.h"
#include "analysis/SectionForces.h"
#include "model/Project.h"
#include "model/Units.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pendrake {

// Combinations 1..11 of the name table and set 12, the service loads for crack control.
inline constexpr int CombinationSetCount = 12;
inline constexpr int ServiceSet = 12;

inline constexpr std::string_view UnstableCombinationMessage
    = "The structure is not stable (combo case), concrete design cancelled.";

// Load factors of one set, in the load-case order D, L, H, F, T, Impact, E.
struct LoadFactorSet {
    double Dead = 0;
    double Live = 0;
    double Soil = 0;
    double Water = 0;
    double Structural = 0;
    double Impact = 0;
    double Seismic = 0;
};

// Sets 1..12 (index 0 unused). Impact always takes the live-load factor; the seismic
// combinations 7 and 8 factor the soil by 1.4 although their names do not show H.
inline constexpr std::array<LoadFactorSet, CombinationSetCount + 1> CombinationFactors = { {
    {},
    { 1.4, 1.7, 0, 0, 0, 1.7, 0 },
    { 1.4, 1.7, 1.7, 0, 0, 1.7, 0 },
    { 0.9, 0, 1.7, 0, 0, 0, 0 },
    { 1.4, 1.7, 0, 1.4, 0, 1.7, 0 },
    { 1.4, 1.7, 1.7, 1.4, 0, 1.7, 0 },
    { 0.9, 0, 0, 1.4, 0, 0, 0 },
    { 1.05, 1.28, 1.4, 0, 0, 1.28, 1.4 },
    { 1.05, 1.28, 1.4, 1.05, 0, 1.28, 1.4 },
    { 1.05, 1.28, 0, 0, 1.05, 1.28, 0 },
    { 1.4, 0, 0, 0, 1.4, 0, 0 },
    { 1.05, 1.28, 0, 1.05, 1.05, 1.28, 0 },
    { 1, 1, 1, 1, 1, 1, 0 },
} };

// The seven factors of a set, in single precision as the analysis takes them.
LoadFactors FactorsOfSet(const LoadFactorSet& set);

// One design run over the combinations. Section tables are indexed [set 1..12][section 1..3],
// index 0 unused, in project units per unit length of wall (normal forces positive in
// compression).
struct CombinationResults {
    using SectionTable
        = std::array<std::array<float, DesignSectionCount + 1>, CombinationSetCount + 1>;

    // False when a set left the structure unstable; the run then stopped at that set.
    bool Stable = false;
    // The set that stopped the run, 0 when every set was stable. Rows from it on were not
    // formed and hold 0.
    int16_t UnstableCombination = 0;

    SectionTable ComboMoment {};
    SectionTable ComboShear {};
    SectionTable ComboNormal {};
    // The toe bar (stored small length) the section forces were formed with: it places the
    // toe's critical shear section.
    float ToeBarDia = 0;

    // The envelope over combinations 1..11, with the service set's forces for crack control,
    // and the design made from it. A run that stopped forms neither: both hold 0.
    Envelope Env;
    DesignResults Design;

    // Texts for warning boxes, each once: those of the load cases and the stability analysis
    // over every set run, then the unstable-combination message when the run stopped.
    std::vector<std::string> Messages;
    // The slope checks flattened the backfill: every set worked with ProposedBackfillSlope.
    bool SlopeAdjusted = false;
    float ProposedBackfillSlope = 0;
};

// The envelope of combinations 1..11 of the tables, and the service set's forces.
Envelope DesignEnvelope(const CombinationResults& results);

// Runs the sets 1..12 in order, stopping at the first unstable one; when all are stable, forms
// the envelope and designs the sections (choosing the bars unless ReinUserSet). With chosen
// bars the toe's bar and the depth of its shear section are settled together: the run repeats
// until the chosen toe bar no longer changes.
CombinationResults RunCombinations(const Project& project);

// The same from the wall's basis formed already (by a caller that runs the service loads on it
// too): the same numbers, to the last bit.
CombinationResults RunCombinations(const Project& project, const WallSectionBasis& basis);

} // namespace pendrake
