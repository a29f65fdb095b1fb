// frmProperties: the materials, the backfill, the base and the friction angles of the wall, each
// in its box with its unit, checked on leaving the box and stored on Accept.
#pragma once

#include "model/Project.h"

#include <QDialog>

#include <array>
#include <optional>

class QPushButton;

namespace pendrake::ui {

class ValidatedBox;

inline constexpr int PropertyBoxCount = 19;

class PropertiesDialog : public QDialog {
    Q_OBJECT
public:
    // Fills the boxes from the project; nothing is written before Accept.
    explicit PropertiesDialog(const Project& project, QWidget* parent = nullptr);

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

    // The record as the dialog opened it; Accept writes into it.
    Project project_;
    std::array<ValidatedBox*, PropertyBoxCount> boxes_ {};
    QPushButton* accept_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool changed_ = false;
};

// Opens frmProperties modally over parent. The record with the accepted values; nothing when
// cancelled or nothing changed.
std::optional<Project> EditProperties(QWidget* parent, const Project& project);

} // namespace pendrake::ui
