// One undoable change of the project record: the record before and after, handed to the
// document on undo and redo.
#pragma once

#include "document/ProjectDocument.h"

#include <QUndoCommand>

namespace pendrake::ui {

// Typing in the project title: one keystroke after another is one step.
inline constexpr int TitleStepId = 1;

class RecordStep : public QUndoCommand {
public:
    // How the first redo (the push) reaches the document.
    enum class FirstRedo {
        Run, // the document takes `after` and applies any proposal the engine makes
        AlreadyDone, // the document already holds `after` (a proposal it applied itself)
    };

    RecordStep(ProjectDocument& document, Project before, Project after, const QString& text,
        FirstRedo first = FirstRedo::Run, int mergeId = -1);

    void undo() override;
    void redo() override;
    [[nodiscard]] int id() const override { return mergeId_; }
    // Consecutive title keystrokes: the first one's record before, the last one's after.
    bool mergeWith(const QUndoCommand* other) override;

    [[nodiscard]] const Project& After() const { return after_; }

private:
    ProjectDocument& document_;
    Project before_;
    Project after_;
    FirstRedo first_;
    int mergeId_;
    bool pushed_ = false;
};

} // namespace pendrake::ui
