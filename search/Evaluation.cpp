// Judging one candidate wall: the engine's service and factored runs read against the targets.
#include "search/Evaluation.h"

#include "analysis/CrossSection.h"
#include "analysis/SectionDesign.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pendrake {

namespace {

// Pieces of the cross-section that are concrete; the others are soil on the shelf and the slope.
constexpr std::array<int, 8> ConcretePieces { 1, 2, 3, 4, 5, 6, 12, 13 };

constexpr double Unbounded = std::numeric_limits<double>::infinity();

double Utilisation(double demand, double capacity)
{
    if (demand <= 0)
        return 0;
    return capacity > 0 ? demand / capacity : Unbounded;
}

double SafetyOf(const StabilityResults& s, SafetyCheck c)
{
    switch (c) {
    case SafetyCheck::Overturning: return s.OverturningSafety;
    case SafetyCheck::Sliding: return s.SlidingSafetyMin;
    case SafetyCheck::Bearing: return s.BearingSafetyMin;
    case SafetyCheck::AnchorTension: return s.AnchorTensionSafety;
    case SafetyCheck::AnchorShear: return s.AnchorShearSafety;
    }
    return 0;
}

// The service part: factors, their targets and their utilisations.
void JudgeService(WallEvaluation& e, const StabilityResults& service, const DesignTargets& t)
{
    e.ServiceStable = service.Stable;
    e.LargestUtilisation = service.Stable ? 0.0 : Unbounded;
    for (int k = 0; k < SafetyCheckCount; ++k) {
        const auto check = static_cast<SafetyCheck>(k);
        const double factor = service.Stable ? SafetyOf(service, check) : 0.0;
        const double target = TargetOf(t, check);
        e.Safety[size_t(k)] = factor;
        // A factor shown as infinity (nothing to resist) meets any target.
        e.SafetyMet[size_t(k)] = service.Stable && (factor >= target || IsInfiniteSafety(factor));
        if (service.Stable && !IsInfiniteSafety(factor))
            e.LargestUtilisation = std::max(e.LargestUtilisation, Utilisation(target, factor));
    }
}

bool ServicePasses(const WallEvaluation& e)
{
    return e.ServiceStable
        && std::all_of(e.SafetyMet.begin(), e.SafetyMet.end(), [](bool m) { return m; });
}

void JudgeDesign(WallEvaluation& e, const CombinationResults& c)
{
    e.DesignRun = true;
    e.AllSetsStable = c.Stable;
    e.UnstableCombination = c.UnstableCombination;
    if (!c.Stable) {
        e.LargestUtilisation = Unbounded;
        return;
    }
    const DesignResults& d = c.Design;
    const DesignWarningSet warnings = DesignWarnings(d);
    for (int row = 1; row <= ReinRowCount; ++row) {
        const RowWarnings& w = warnings.Row[size_t(row)];
        e.RowMet[size_t(row)]
            = !(w.MomentCapacity || w.RhoMin || w.RhoBalanced || w.ZMax || w.CannotCarry);
        if (d.ReinCannotCarry[size_t(row)] || d.ReinZCannotCarry[size_t(row)]) {
            e.LargestUtilisation = Unbounded;
            continue;
        }
        e.LargestUtilisation = std::max(e.LargestUtilisation,
            Utilisation(d.ReinMoment[size_t(row)], d.ReinMomentCap[size_t(row)]));
        e.LargestUtilisation
            = std::max(e.LargestUtilisation, Utilisation(d.ReinZ[size_t(row)], d.ZMax));
    }
    for (int s = 1; s <= DesignSectionCount; ++s) {
        e.ShearMet[size_t(s)] = !warnings.Shear[size_t(s)];
        e.LargestUtilisation = std::max(e.LargestUtilisation,
            Utilisation(std::fabs(d.ReinShear[size_t(s)]), d.ReinShearCap[size_t(s)]));
    }
}

bool DesignPasses(const WallEvaluation& e)
{
    return e.DesignRun && e.AllSetsStable
        && std::all_of(e.RowMet.begin() + 1, e.RowMet.end(), [](bool m) { return m; })
        && std::all_of(e.ShearMet.begin() + 1, e.ShearMet.end(), [](bool m) { return m; });
}

} // namespace

double& TargetOf(DesignTargets& t, SafetyCheck c)
{
    switch (c) {
    case SafetyCheck::Overturning: return t.OverturningSafety;
    case SafetyCheck::Sliding: return t.SlidingSafetyMin;
    case SafetyCheck::Bearing: return t.BearingSafetyMin;
    case SafetyCheck::AnchorTension: return t.AnchorTensionSafety;
    case SafetyCheck::AnchorShear: break;
    }
    return t.AnchorShearSafety;
}

double TargetOf(const DesignTargets& t, SafetyCheck c)
{
    return TargetOf(const_cast<DesignTargets&>(t), c);
}

bool SafetyCheckByName(std::string_view name, SafetyCheck& check)
{
    for (int k = 0; k < SafetyCheckCount; ++k) {
        if (SafetyCheckName[size_t(k)] == name) {
            check = static_cast<SafetyCheck>(k);
            return true;
        }
    }
    return false;
}

double ConcreteArea(const Project& project)
{
    // The pieces' weights at a unit weight of 1 are their areas.
    Project unit = project;
    unit.ConcUnitWeight = 1.0f;
    const auto pieces = WallPieces(unit);
    double area = 0;
    for (int i : ConcretePieces)
        area += pieces[size_t(i)].Weight;
    return area;
}

WallEvaluation EvaluateRuns(const Project& project, const DesignTargets& targets,
    const StabilityResults& service, const CombinationResults& combinations)
{
    WallEvaluation e;
    e.ConcreteArea = ConcreteArea(project);
    JudgeService(e, service, targets);
    JudgeDesign(e, combinations);
    e.Passes = ServicePasses(e) && DesignPasses(e);
    return e;
}

WallEvaluation Evaluate(
    const Project& project, const DesignTargets& targets, bool stopAtServiceFailure)
{
    // One basis for the service run and the twelve factored sets; what only the cuts use is
    // formed once the service checks have let the wall through.
    const WallStabilityBasis stability(project);
    const StabilityResults service = ComputeStability(stability);
    if (stopAtServiceFailure) {
        WallEvaluation e;
        JudgeService(e, service, targets);
        if (!ServicePasses(e)) {
            e.ConcreteArea = ConcreteArea(project);
            return e;
        }
    }
    const WallSectionBasis basis(stability);
    return EvaluateRuns(project, targets, service, RunCombinations(project, basis));
}

} // namespace pendrake
