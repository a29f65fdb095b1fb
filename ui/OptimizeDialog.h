// frmOptimize: automatic dimensioning. The engineer picks the free dimensions with their bounds
// and steps and the safety targets; the grid is searched off the window's thread, with a progress
// bar and Cancel, for the walls of least concrete that meet every target, and the chosen one
// becomes the project's wall as one undoable step.
#pragma once

#include "model/Project.h"
#include "search/Optimizer.h"
#include "ui/frmRein.h"

#include <QDialog>
#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

class QCheckBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QThread;
class QTimer;

namespace pendrake {
class ProjectDocument;
}

namespace pendrake::ui {

// The name of the step that Apply makes.
inline constexpr const char* OptimizeStepName = "Optimize dimensions";

class OptimizeDialog : public QDialog {
    Q_OBJECT
public:
    // Searches around `record` (copied: the wall the dialog was opened on); Apply hands the
    // chosen wall to `commit`.
    OptimizeDialog(const Project& record, RecordCommit commit, QWidget* parent = nullptr);
    ~OptimizeDialog() override;

    // The checked free dimensions and the targets as the boxes hold them; false with the reason,
    // as the dialog words it, when a box is refused.
    bool ReadChoices(
        std::vector<FreeDimension>& free, DesignTargets& targets, QString& reason) const;

    // Starts the search (the targets go to the settings), or beeps and tells why the boxes are
    // refused. Returns whether a search started.
    bool Search();
    void CancelSearch();
    [[nodiscard]] bool Searching() const { return worker_ != nullptr; }
    // The last search's outcome, once it has finished.
    [[nodiscard]] const OptimizationResult& Result() const { return result_; }
    // Makes the candidate of the selected row the project's wall and closes the dialog.
    void Apply();

signals:
    void SearchFinished();

public slots:
    // Close and the window's close button: a running search is stopped first.
    void reject() override;

protected:
    // Esc while searching cancels the search; the dialog stays open with what it knew.
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Row {
        QCheckBox* Free = nullptr;
        QLineEdit* Min = nullptr;
        QLineEdit* Max = nullptr;
        QLineEdit* Step = nullptr;
    };

    void Revalidate();
    void SetSearching(bool searching);
    void OnProgressTick();
    void OnSearchDone();
    void ShowResult();
    void StopWorker();
    [[nodiscard]] const SearchCandidate* Selected() const;

    Project base_;
    RecordCommit commit_;
    // By dimension label; shown in the order of order_, which is also the order of the edits
    // that make each candidate.
    std::array<Row, DimensionCount> rows_ {};
    std::array<int, DimensionCount> order_ {};
    std::array<QLineEdit*, SafetyCheckCount> targets_ {};
    QLabel* choice_ = nullptr;
    QLabel* outcome_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPushButton* search_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPushButton* close_ = nullptr;
    QTimer* tick_ = nullptr;

    // Shared with the search thread: the request to stop and the counts it has reached.
    std::atomic<bool> cancelRequested_ { false };
    std::atomic<int64_t> evaluated_ { 0 };
    std::atomic<int64_t> valid_ { 0 };
    QThread* worker_ = nullptr;
    // Written by the search thread, read once it has finished.
    OptimizationResult pending_;
    std::vector<FreeDimension> searched_;
    DesignTargets searchedTargets_;
    OptimizationResult result_;
};

// Calculate > Optimize Dimensions: the dialog over the document's record, modal.
void ShowOptimizeDialog(
    QWidget* parent, const ProjectDocument& document, const RecordCommit& commit);

} // namespace pendrake::ui
