// Undo and redo hand the exact records back: the engine's proposals are applied only when the
// engineer makes the change, so stepping back and forth restores every byte.
#include "ui/RecordStep.h"

#include <utility>

namespace pendrake::ui {

RecordStep::RecordStep(ProjectDocument& document, Project before, Project after,
    const QString& text, FirstRedo first, int mergeId)
    : QUndoCommand(text)
    , document_(document)
    , before_(std::move(before))
    , after_(std::move(after))
    , first_(first)
    , mergeId_(mergeId)
{
}

void RecordStep::undo()
{
    document_.SetRecord(before_, ProjectDocument::Proposals::Keep);
}

void RecordStep::redo()
{
    if (pushed_) {
        document_.SetRecord(after_, ProjectDocument::Proposals::Keep);
        return;
    }
    pushed_ = true;
    // A flattened slope is a step of its own, which the main window pushes next: this one keeps
    // the record as the engineer gave it.
    if (first_ == FirstRedo::Run)
        document_.SetRecord(after_, ProjectDocument::Proposals::Apply);
}

bool RecordStep::mergeWith(const QUndoCommand* other)
{
    if (other->id() != id() || id() < 0)
        return false;
    after_ = static_cast<const RecordStep*>(other)->after_;
    return true;
}

} // namespace pendrake::ui
