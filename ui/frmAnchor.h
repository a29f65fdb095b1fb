// frmAnchor: the rows of anchors tying the sloping underside to the foundation: how many rows,
// their pitches and edge distance, and the steel of one anchor.
#pragma once

#include "model/Project.h"

#include <QDialog>

#include <array>
#include <optional>

class QPushButton;

namespace pendrake::ui {

class ValidatedBox;

inline constexpr int AnchorBoxCount = 8;

class AnchorDialog : public QDialog {
    Q_OBJECT
public:
    // Fills the boxes from the project; nothing is written before Accept.
    explicit AnchorDialog(const Project& project, QWidget* parent = nullptr);

    // The record with the accepted values, once Accept changed one of them.
    [[nodiscard]] std::optional<Project> Result() const
    {
        return changed_ ? std::optional<Project>(project_) : std::nullopt;
    }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void AcceptClicked();
    void MoveTo(int box, bool caretAtStart);

    // The record as the dialog opened it; Accept writes into it.
    Project project_;
    std::array<ValidatedBox*, AnchorBoxCount> boxes_ {};
    QPushButton* accept_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool changed_ = false;
};

// Opens frmAnchor modally over parent. The record with the accepted values, its AnchorRows
// limited to the rows that fit on the underside; nothing when cancelled or when Accept leaves
// the record as it was.
std::optional<Project> EditAnchors(QWidget* parent, const Project& project);

} // namespace pendrake::ui
