// frmProperties: the materials, the backfill, the base and the friction angles of the wall, each
// in its box with its unit, checked on leaving the box and stored on Accept.
#pragma once

#include "model/Project.h"

#include <QDialog>

#include <array>

class QPushButton;

namespace pendrake::ui {

class ValidatedBox;

inline constexpr int PropertyBoxCount = 19;

class PropertiesDialog : public QDialog {
    Q_OBJECT
public:
    // Fills the boxes from the project; nothing is written before Accept.
    explicit PropertiesDialog(Project& project, QWidget* parent = nullptr);

    // True once Accept stored a value that differs from the project's.
    [[nodiscard]] bool Changed() const { return changed_; }

    // Cancel, Escape and the close box: DialogCancelled = true, the project as it was.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void AcceptClicked();

    Project& project_;
    std::array<ValidatedBox*, PropertyBoxCount> boxes_ {};
    QPushButton* accept_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool changed_ = false;
};

// Opens frmProperties modally over parent. Returns true when Accept changed a value, which marks
// the project modified; afterwards DialogCancelled tells whether the dialog was cancelled.
bool EditProperties(QWidget* parent, Project& project);

} // namespace pendrake::ui
