// Calculate > Parametric Study: one input of the wall varied over a range, every point judged by
// the engine on a worker thread, the service safety factors and the largest utilisation drawn
// against the input with the targets, the study's summary, and the study saved as CSV.
#pragma once

#include "model/Project.h"
#include "search/Evaluation.h"
#include "search/Sweep.h"

#include <QDialog>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QThread;

namespace pendrake {
class ProjectDocument;
}

namespace pendrake::ui {

// Points a study of one input may have: enough for a smooth curve, few enough to read.
inline constexpr int64_t StudyMaxPoints = 1000;

// The targets the study judges against: the engineer's, as the program settings keep them.
DesignTargets StudyTargets();

class ParametricStudyWindow : public QDialog {
    Q_OBJECT
public:
    ParametricStudyWindow(
        const Project& project, const DesignTargets& targets, QWidget* parent = nullptr);
    ~ParametricStudyWindow() override;

    // Checks the range as typed and starts the study; false, with a message, when refused.
    bool Start();
    void Cancel();
    [[nodiscard]] bool Running() const { return worker_ != nullptr; }
    // Writes the finished study as CSV; false when nothing was written.
    bool SaveTo(const QString& path, QString* error = nullptr);
    void SaveAs();

    void reject() override;

signals:
    // The study ended: finished, cancelled or failed.
    void StudyFinished();

private:
    void InputChosen();
    void Finished();
    void ShowStudy();
    void ClearStudy();
    void SetRunning(bool running);
    // The range typed, or nothing after the refusal was shown.
    std::optional<SweepRange> TypedRange();

    Project project_;
    DesignTargets targets_;

    QComboBox* input_ = nullptr;
    QLabel* current_ = nullptr;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QLineEdit* count_ = nullptr;
    QPushButton* run_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QChartView* chart_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* note_ = nullptr;
    QPushButton* save_ = nullptr;

    // The study running: its plan, the worker and what it hands back once it has ended.
    std::unique_ptr<QThread> worker_;
    std::atomic<bool> stop_ { false };
    SweepPlan running_;
    std::vector<SweepPoint> result_;
    std::string error_;

    // The study shown and saved.
    SweepPlan plan_;
    std::vector<SweepPoint> points_;
};

// Calculate > Parametric Study: the window on the current project, modal.
void ShowParametricStudy(QWidget* parent, const ProjectDocument& document);

} // namespace pendrake::ui
