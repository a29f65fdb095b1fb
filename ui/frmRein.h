// frmRein: the concrete design window. The section forces of the load combinations with the
// values retained for design, and the ACI 318 design of the six rows of bars, whose diameter and
// pitch the engineer may replace; every replacement rechecks its row at once.
#pragma once

#include "document/ProjectDocument.h"
#include "model/Project.h"

#include <QDialog>
#include <QHash>
#include <QString>

#include <array>
#include <functional>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace pendrake::ui {

// Hands a changed record to the main window, which makes it an undoable step named `step`
// and runs the engine on it.
using RecordCommit = std::function<void(Project after, const QString& step)>;

// The Concrete command: on a wall that some combination leaves unstable, "The structure is not
// stable (combo case), concrete design cancelled."; else the concrete design window over the
// document's combination run, modal. Returns true when the window was shown.
bool ShowConcreteDesign(
    QWidget* parent, const ProjectDocument& document, const RecordCommit& commit);

// Tables of the Forces panel, in the order of Combo1.
enum class ForceTable { Moments = 0, Shears = 1, Normals = 2 };

class ConcreteDesignWindow : public QDialog {
    Q_OBJECT
public:
    // Shows the design run `results` (stable) of `record`, both owned by the caller (the
    // document's). A typed bar becomes a record with the six rows of bars shown and
    // ReinUserSet, handed to `commit`, after which `record` and `results` hold the new run.
    ConcreteDesignWindow(const Project& record, const CombinationResults& results,
        RecordCommit commit, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct BarBox {
        QLineEdit* Box = nullptr;
        int Row = 0;
        bool Diameter = true;
    };

    void BuildForcesPanel(QWidget* panel);
    void BuildReinforcementPanel(QWidget* panel);
    void ShowForces(int table);
    void FillBars();
    void RefreshDesign();
    // Validates and applies the typed text of a bar box; false when it was refused.
    bool ApplyBar(const BarBox& bar);
    const BarBox* FindBar(const QObject* watched) const;

    [[nodiscard]] const Project& Record() const { return record_; }
    [[nodiscard]] const CombinationResults& Results() const { return results_; }

    const Project& record_;
    const CombinationResults& results_;
    RecordCommit commit_;
    QString force_;
    QString length_;
    // The diameter or pitch box typed in since its text was last applied (the text-changed
    // flag, tied to its box so that a refusal's focus bounce never validates a neighbour).
    QLineEdit* edited_ = nullptr;
    // The text each bar box showed last: retyped as it was, it stands for the stored value, not
    // for its rounding (a 0.4375 cm bar shows as 4.38 mm; retyping that must not store 0.438).
    QHash<const QLineEdit*, QString> shown_;
    // Set while a refused box takes the focus back.
    bool refusing_ = false;

    QTabWidget* tabs_ = nullptr;
    QPushButton* close_ = nullptr;
    QComboBox* combo1_ = nullptr;
    QLabel* forcesUnit_ = nullptr;
    // Forces panel rows: 1..11 the combinations, 12..16 the retained values.
    static constexpr int ForceRowCount = CombinationCount + 5;
    std::array<QLabel*, ForceRowCount + 1> lblCombo_ {};
    std::array<std::array<QLabel*, ForceRowCount + 1>, DesignSectionCount + 1> lblComboValue_ {};

    // Reinforcements panel, per design row 1..6 (index 0 unused).
    using RowLabels = std::array<QLabel*, ReinRowCount + 1>;
    RowLabels lblReinM_ {}, lblReinN_ {}, lblReinh_ {}, lblReinMu_ {}, lblReinAsreq_ {},
        lblReinAs_ {}, lblReinRho_ {}, lblReinMz_ {}, lblReinNz_ {}, lblReinZ_ {};
    // Warnings per row: Mu < M, rho < rho min, rho > 0.75 rho b, z > z max, section too small.
    RowLabels lblReinEva1_ {}, lblReinEva2_ {}, lblReinEva3_ {}, lblReinEva4_ {}, lblReinEva6_ {};
    using SectionLabels = std::array<QLabel*, DesignSectionCount + 1>;
    SectionLabels lblReinV_ {}, lblReinNv_ {}, lblReinVu_ {}, lblReinEva5_ {};
    std::array<BarBox, size_t(2) * ReinRowCount> bars_ {};
    QLabel* lblNote_ = nullptr;
    QLabel* rhoBalanced_ = nullptr;
    QLabel* zMax_ = nullptr;
};

} // namespace pendrake::ui
