// frmAnchor: the rows of anchors tying the sloping underside to the foundation: how many rows,
// their pitches and edge distance, and the steel of one anchor.
#pragma once

#include "model/Project.h"

#include <QDialog>

#include <array>

class QPushButton;

namespace pendrake::ui {

class ValidatedBox;

inline constexpr int AnchorBoxCount = 8;

class AnchorDialog : public QDialog {
    Q_OBJECT
public:
    // Fills the boxes from the project; nothing is written before Accept.
    explicit AnchorDialog(Project& project, QWidget* parent = nullptr);

    // True once Accept stored a value that differs from the project's.
    [[nodiscard]] bool Changed() const { return changed_; }

    // Cancel, Escape and the close box: DialogCancelled = true, the project as it was.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void AcceptClicked();
    void MoveTo(int box, bool caretAtStart);

    Project& project_;
    std::array<ValidatedBox*, AnchorBoxCount> boxes_ {};
    QPushButton* accept_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool changed_ = false;
};

// Opens frmAnchor modally over parent, then, cancelled or not, limits AnchorRows to the rows
// that fit on the underside. Returns true when Accept changed a value, which marks the project
// modified; afterwards DialogCancelled tells whether the dialog was cancelled.
bool EditAnchors(QWidget* parent, Project& project);

} // namespace pendrake::ui
