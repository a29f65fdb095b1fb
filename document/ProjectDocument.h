// The project document: the record the engineer edits, its file name, the results of the engine
// runs that every window, the report and the command line read, and the messages of the last
// change, each once.
#pragma once

#include "analysis/Combinations.h"
#include "analysis/Stability.h"
#include "model/Project.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pendrake {

// What the windows show of a wall at a glance: the service-load verdict and the design's
// largest utilisation.
struct WallVerdict {
    bool Stable = false; // under service loads
    float BearingSafetyMin = 0;
    float SlidingSafetyMin = 0;
    float OverturningSafety = 0; // resisting over overturning moment about the toe front
    // The anchors' factors; no value without anchors in tension.
    std::optional<float> AnchorTensionSafety;
    std::optional<float> AnchorShearSafety;
    // Largest design moment over moment capacity of the six design rows; no value when a
    // combination leaves the wall unstable (no design) or a row cannot carry its moment.
    std::optional<float> Utilisation;
    bool DesignStable = false; // every combination stable
    bool SectionTooSmall = false; // a design row cannot carry its moment at all
};

WallVerdict VerdictOf(
    const Project& project, const StabilityResults& service, const CombinationResults& design);

class ProjectDocument {
public:
    // What a SetRecord does with a flatter backfill slope that the engine proposes.
    enum class Proposals {
        Apply, // an edit, File New, File Open: the record takes the proposal
        Keep, // undo and redo: the record stays exactly as given
    };
    enum class Change {
        Record, // the input record and with it every result
        FileName,
    };
    using Listener = std::function<void(Change)>;

    explicit ProjectDocument(Project record, std::string fileName = {});

    [[nodiscard]] const Project& Record() const { return record_; }
    [[nodiscard]] const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string fileName);

    // Takes the record, runs the service-load stability and the combinations once, and tells
    // the listeners. With Proposals::Apply a slope the checks flatten goes into the record;
    // the results of the run already are those of the flattened wall.
    void SetRecord(Project record, Proposals proposals = Proposals::Apply);

    // The record as the last SetRecord received it, when a proposal was applied to it.
    [[nodiscard]] const std::optional<Project>& RecordBeforeProposal() const
    {
        return beforeProposal_;
    }

    [[nodiscard]] const StabilityResults& Stability() const { return stability_; }
    [[nodiscard]] const CombinationResults& Combinations() const { return combinations_; }
    [[nodiscard]] const WallVerdict& Verdict() const { return verdict_; }

    // The texts of the last change for the engineer's warning boxes, in order, each once: the
    // load cases', the stability's and every combination's, but not the verdict of the design
    // run (the Concrete command and the report tell that one).
    [[nodiscard]] const std::vector<std::string>& Messages() const { return messages_; }

    // Runs of the combination driver since the document was made.
    [[nodiscard]] int CombinationRuns() const { return combinationRuns_; }

    // Listeners are told after every change, in the order they subscribed.
    int Subscribe(Listener listener);
    void Unsubscribe(int id);

private:
    void Run();
    void Notify(Change change);

    Project record_;
    std::string fileName_;
    std::optional<Project> beforeProposal_;
    StabilityResults stability_;
    CombinationResults combinations_;
    WallVerdict verdict_;
    std::vector<std::string> messages_;
    int combinationRuns_ = 0;
    int nextListener_ = 1;
    std::vector<std::pair<int, Listener>> listeners_;
};

} // namespace pendrake
