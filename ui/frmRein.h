// frmRein: the concrete design window. The section forces of the load combinations with the
// values retained for design, and the ACI 318 design of the six rows of bars, whose diameter and
// pitch the engineer may replace; every replacement rechecks its row at once.
#pragma once

#include "analysis/Combinations.h"
#include "model/Project.h"

#include <QDialog>
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

// The Concrete command: runs the load combinations and the section design on `project`, shows
// each message of the run once in a warning box titled "Pendrake", calls onSlopeAdjusted when a
// combination flattened the backfill slope (the drawing must be redrawn), then shows either
// "The structure is not stable (combo case), concrete design cancelled." or the concrete design
// window, modal. Returns true when the window was shown. Bars typed in the window stay in
// project.ReinDia / ReinPitch with ReinUserSet; they do not mark the project modified.
bool ShowConcreteDesign(
    QWidget* parent, Project& project, const std::function<void()>& onSlopeAdjusted = {});

// Tables of the Forces panel, in the order of Combo1.
enum class ForceTable { Moments = 0, Shears = 1, Normals = 2 };

class ConcreteDesignWindow : public QDialog {
    Q_OBJECT
public:
    // Shows the design run `results` (stable) of `project`. Typed bars go to project.ReinDia,
    // ReinPitch and ReinUserSet, and their rows in results.Design are rechecked.
    ConcreteDesignWindow(Project& project, CombinationResults& results, QWidget* parent = nullptr);

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

    Project& project_;
    CombinationResults& results_;
    QString force_;
    QString length_;
    // The diameter or pitch box typed in since its text was last applied (the text-changed
    // flag, tied to its box so that a refusal's focus bounce never validates a neighbour).
    QLineEdit* edited_ = nullptr;
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
