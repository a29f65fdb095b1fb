// frmLoads: the loads that do not come from the wall itself: up to ten line loads, the surcharge
// on the backfill with its load case, and the horizontal seismic coefficient.
#pragma once

#include "model/Project.h"

#include <QDialog>

#include <array>
#include <optional>

class QComboBox;
class QPushButton;

namespace pendrake::ui {

class ValidatedBox;

// Load, X, Y and Dir. of a line-load row.
inline constexpr int LineLoadColumns = 4;

class LoadsDialog : public QDialog {
    Q_OBJECT
public:
    // Copies the project's loads into the working table; nothing is written before Accept.
    explicit LoadsDialog(const Project& project, QWidget* parent = nullptr);

    // The record with the accepted values, once Accept changed one of them.
    [[nodiscard]] std::optional<Project> Result() const
    {
        return changed_ ? std::optional<Project>(project_) : std::nullopt;
    }
    // Rows in the working table.
    [[nodiscard]] int RowCount() const { return count_; }
    // The row that Insert and Delete act on, and that is highlighted (1-based; 0 with no rows).
    [[nodiscard]] int CurrentRow() const { return count_ == 0 ? 0 : current_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct RowControls {
        QWidget* Row = nullptr;
        std::array<ValidatedBox*, LineLoadColumns> Cells {};
        QComboBox* Type = nullptr;
    };

    void BuildRow(int row, QWidget* parent);
    // Takes every row's texts into the working table. False, with the focus in the bad box,
    // when any box of the dialog holds no acceptable number.
    bool ReadRowsBack();
    // Shows the working table: the rows in use, their texts and load cases, the commands.
    void ShowRows();
    void UpdateCommands();
    void HighlightCurrentRow();
    void OnFocusChanged(QWidget* now);
    void MoveToCell(int row, int column, bool caretAtStart);
    void InsertRow();
    void DeleteRow();
    void AppendRow();
    void PutNewRow(int at);
    void AcceptClicked();

    // The record as the dialog opened it; Accept writes into it.
    Project project_;
    std::array<LineLoad, MaxLineLoads + 1> table_ {}; // slots 1..10
    int count_ = 0;
    int current_ = 1;
    bool filling_ = false;

    std::array<RowControls, MaxLineLoads + 1> rows_ {}; // slots 1..10
    QPushButton* insert_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* append_ = nullptr;
    ValidatedBox* surcharge_ = nullptr;
    QComboBox* surchargeType_ = nullptr;
    ValidatedBox* seismic_ = nullptr;
    QPushButton* accept_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool changed_ = false;
};

// Opens frmLoads modally, centred over parent. The record with the accepted values; nothing
// when cancelled or nothing changed.
std::optional<Project> EditLoads(QWidget* parent, const Project& project);

} // namespace pendrake::ui
