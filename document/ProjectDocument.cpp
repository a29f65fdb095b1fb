// The project document: one engine run per change, the proposal applied once, the messages
// gathered once, the listeners told.
#include "document/ProjectDocument.h"

#include <algorithm>
#include <utility>

namespace pendrake {

namespace {

void AddOnce(std::vector<std::string>& to, const std::vector<std::string>& from)
{
    for (const std::string& m : from) {
        if (m != UnstableCombinationMessage && std::find(to.begin(), to.end(), m) == to.end())
            to.push_back(m);
    }
}

} // namespace

WallVerdict VerdictOf(
    const Project& project, const StabilityResults& service, const CombinationResults& design)
{
    WallVerdict v;
    v.Stable = service.Stable;
    v.OverturningSafety = service.OverturningSafety;
    if (service.Stable) {
        v.BearingSafetyMin = service.BearingSafetyMin;
        v.SlidingSafetyMin = service.SlidingSafetyMin;
        if (AnchorRowsPlaced(project) > 0 && service.AnchorTensionMax != 0) {
            v.AnchorTensionSafety = service.AnchorTensionSafety;
            v.AnchorShearSafety = service.AnchorShearSafety;
        }
    }
    v.DesignStable = design.Stable;
    if (!design.Stable)
        return v;
    float largest = 0;
    for (int row = 1; row <= ReinRowCount; ++row) {
        const DesignResults& d = design.Design;
        if (d.ReinCannotCarry[row]) {
            v.SectionTooSmall = true;
            continue;
        }
        if (d.ReinMoment[row] == 0)
            continue;
        // A row with bars of no capacity carries nothing: the utilisation has no bound.
        if (!(d.ReinMomentCap[row] > 0)) {
            v.SectionTooSmall = true;
            continue;
        }
        largest = std::max(largest, d.ReinMoment[row] / d.ReinMomentCap[row]);
    }
    if (!v.SectionTooSmall)
        v.Utilisation = largest;
    return v;
}

ProjectDocument::ProjectDocument(Project record, std::string fileName)
    : record_(std::move(record))
    , fileName_(std::move(fileName))
{
    Run();
    if (stability_.Loads.SlopeAdjusted) {
        beforeProposal_ = record_;
        record_.BackfillSlope = stability_.Loads.ProposedBackfillSlope;
    }
}

void ProjectDocument::SetFileName(std::string fileName)
{
    if (fileName == fileName_)
        return;
    fileName_ = std::move(fileName);
    Notify(Change::FileName);
}

void ProjectDocument::SetRecord(Project record, Proposals proposals)
{
    record_ = std::move(record);
    beforeProposal_.reset();
    Run();
    // The run worked with the flattened slope throughout: its results are those of the record
    // with the proposal in it, so the record takes it without a second run.
    if (proposals == Proposals::Apply && stability_.Loads.SlopeAdjusted
        && stability_.Loads.ProposedBackfillSlope != record_.BackfillSlope) {
        beforeProposal_ = record_;
        record_.BackfillSlope = stability_.Loads.ProposedBackfillSlope;
    }
    Notify(Change::Record);
}

void ProjectDocument::Run()
{
    stability_ = ComputeStability(record_);
    combinations_ = RunCombinations(record_);
    ++combinationRuns_;
    verdict_ = VerdictOf(record_, stability_, combinations_);
    messages_.clear();
    AddOnce(messages_, stability_.Messages);
    AddOnce(messages_, combinations_.Messages);
}

int ProjectDocument::Subscribe(Listener listener)
{
    const int id = nextListener_++;
    listeners_.emplace_back(id, std::move(listener));
    return id;
}

void ProjectDocument::Unsubscribe(int id)
{
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void ProjectDocument::Notify(Change change)
{
    // A listener may subscribe or leave while being told: tell a copy of the list.
    const auto listeners = listeners_;
    for (const auto& [id, listener] : listeners)
        listener(change);
}

} // namespace pendrake
