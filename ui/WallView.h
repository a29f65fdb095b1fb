// The main window's drawing surface: the wall's cross-section to scale with one of the nine
// views, and the seventeen clickable dimension labels that open the dimension editor.
#pragma once

#include "model/Project.h"

#include <QWidget>

namespace pendrake::ui {

// The nine views, in the order of the option buttons optView_0..optView_8.
enum class WallViewKind {
    Dimensions = 0,
    Dead,
    Live,
    Soil,
    Water,
    Structural,
    Impact,
    Seismic,
    Reactions
};

class WallView : public QWidget {
    Q_OBJECT
public:
    // The view draws and edits `project`, which outlives it (the main window owns both).
    explicit WallView(Project& project, QWidget* parent = nullptr);
    ~WallView() override;

    WallViewKind View() const;

    // Selects a view and redraws. Choosing Reactions on an unstable wall shows "The Structure is
    // not stable." and falls back to Dimensions; ViewChanged reports the view actually shown.
    void SetView(WallViewKind view);

    // Recomputes what the current view shows from the project and repaints (after every edit,
    // unit switch and file command). Sets every load factor to 1. Resizing needs no call: the
    // view fits the drawing to its new size itself, from the results it already has.
    void Redraw();

signals:
    // The view shown changed (also when the Reactions fallback chose Dimensions).
    void ViewChanged(pendrake::ui::WallViewKind view);
    // A dimension was accepted in the editor: the project is modified (the view has already
    // redrawn itself).
    void ProjectEdited();
    // The analysis flattened the backfill slope while drawing (its message was shown).
    void SlopeAdjusted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct State;
    State* state_;
};

} // namespace pendrake::ui
