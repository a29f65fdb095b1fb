// frmCalculator: the soil pressure calculator's window. Twelve inputs taken from the project when
// it opens, the active, passive and at-rest results recomputed on every accepted input, and a
// print command that the report supplies. Nothing typed here reaches the project.
#pragma once

#include "calculator/CalculatorComputation.h"
#include "model/Project.h"

#include <QDialog>
#include <QString>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace pendrake::ui {

// Prints the calculator's page: the window (for its caption and as the parent of any dialog),
// the project (unit system, report fonts and page settings) and the inputs and results shown.
using CalculatorPrintHandler = std::function<void(QWidget* window, const Project& project,
    const CalculatorInput& input, const CalculatorResult& result)>;

// Installs the print job behind "&Print"; windows opened afterwards enable the command. An empty
// function leaves "&Print" disabled.
void SetCalculatorPrintHandler(CalculatorPrintHandler handler);

// Calculate > Calculator: opens the window, modal, filled from `project`.
void ShowCalculator(QWidget* parent, const Project& project);

class CalculatorWindow : public QDialog {
    Q_OBJECT
public:
    CalculatorWindow(const Project& project, QWidget* parent = nullptr);

    [[nodiscard]] const CalculatorInput& Input() const { return input_; }
    [[nodiscard]] const CalculatorResult& Result() const { return result_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildInputs(QWidget* area);
    void BuildResults(QWidget* area);
    // Computes the results from the inputs, shows them and reports the computation's messages.
    void Recompute();
    void ShowResults();
    // Validates and takes over the typed text of box `index`; false when it was refused.
    bool ApplyInput(int index);
    int FindBox(const QObject* watched) const;
    void Print();

    // The record the window was opened from, its own copy: the window may outlive the caller's.
    const Project project_;
    CalculatorInput input_;
    CalculatorResult result_;
    // The input box typed in since its text was last taken over (the text-changed flag).
    QLineEdit* edited_ = nullptr;
    bool refusing_ = false;

    std::array<QLineEdit*, CalculatorInputCount> txtValue_ {};
    // Result rows 0..9: K, pressures at top, water table and bottom, then the forces above,
    // below and in total, each followed by the depth of its resultant.
    static constexpr int ResultRowCount = 10;
    using ResultColumn = std::array<QLabel*, ResultRowCount>;
    ResultColumn lblResultA1_ {}, lblResultA2_ {}, lblResultP1_ {}, lblResultP2_ {}, lblResultR_ {};
    // Pressure inclination, water pressure at the bottom, water force, depth of its resultant.
    std::array<QLabel*, 4> lblResult_ {};
    // Cautions on the values shown (wall friction and Coulomb's passive wedge).
    QLabel* lblNotes_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* print_ = nullptr;
    QString title_;
};

} // namespace pendrake::ui
