// One candidate wall judged completely: the stability under service loads, every factored set,
// the six design rows and the three shear checks, against the engineer's targets, with the wall's
// concrete area and its largest utilisation.
#pragma once

#include "analysis/Combinations.h"
#include "analysis/Stability.h"
#include "model/Project.h"

#include <array>
#include <string_view>

namespace pendrake {

// The safety factors a wall must reach. Program settings, never stored in the project file.
struct DesignTargets {
    double OverturningSafety = 2.0;
    double SlidingSafetyMin = 1.5;
    double BearingSafetyMin = 1.0;
    double AnchorTensionSafety = 1.0;
    double AnchorShearSafety = 1.0;
    bool operator==(const DesignTargets&) const = default;
};

// The service safety factors a target applies to, in the order the tables list them.
enum class SafetyCheck : int {
    Overturning = 0,
    Sliding = 1,
    Bearing = 2,
    AnchorTension = 3,
    AnchorShear = 4,
};
inline constexpr int SafetyCheckCount = 5;
// The result field each check reads (also the option names of the command line).
inline constexpr std::array<std::string_view, SafetyCheckCount> SafetyCheckName
    = { "OverturningSafety", "SlidingSafetyMin", "BearingSafetyMin", "AnchorTensionSafety",
          "AnchorShearSafety" };

double& TargetOf(DesignTargets& targets, SafetyCheck check);
double TargetOf(const DesignTargets& targets, SafetyCheck check);
// The check of a name in SafetyCheckName; false for any other text.
bool SafetyCheckByName(std::string_view name, SafetyCheck& check);

struct WallEvaluation {
    // The service factors as the stability window shows them (0 when the wall is not stable).
    std::array<double, SafetyCheckCount> Safety {};
    std::array<bool, SafetyCheckCount> SafetyMet {};
    bool ServiceStable = false;

    // The factored sets ran: false when the service checks already failed and the evaluation was
    // asked to stop there. The fields below then hold nothing.
    bool DesignRun = false;
    bool AllSetsStable = false;
    int16_t UnstableCombination = 0;
    // Rows 1..6 free of every warning of the design window (moment capacity, minimum and
    // balanced steel, crack control, a moment the section cannot carry); index 0 unused.
    std::array<bool, ReinRowCount + 1> RowMet {};
    // Sections 1..3 with phi Vc >= Vu; index 0 unused.
    std::array<bool, DesignSectionCount + 1> ShearMet {};

    // Concrete of the cross-section, Length² per unit length of wall.
    double ConcreteArea = 0;
    // Largest demand over capacity: target over factor for the service checks, Mu / phi Mn and
    // z / z max of each row, Vu / phi Vc of each section. Infinite for a wall that does not stand.
    double LargestUtilisation = 0;

    bool Passes = false;
};

// The concrete pieces' areas summed, Length² per unit length of wall; independent of the unit
// weight.
double ConcreteArea(const Project& project);

// Judges the wall. With stopAtServiceFailure a wall that misses a service target is not taken
// through the factored sets (the search's shortcut: it cannot pass whatever they find).
WallEvaluation Evaluate(
    const Project& project, const DesignTargets& targets, bool stopAtServiceFailure = false);

// The same from runs already made (the document's): service stability and the combinations.
WallEvaluation EvaluateRuns(const Project& project, const DesignTargets& targets,
    const StabilityResults& service, const CombinationResults& combinations);

} // namespace pendrake
