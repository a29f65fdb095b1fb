// The main window's drawing surface: the wall's cross-section to scale with one of the nine
// views, and the seventeen clickable dimension labels that open the dimension editor.
#pragma once

#include "drawing/ViewFigure.h"

#include <QWidget>

namespace pendrake {
class ProjectDocument;
}

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
    // The view draws the record and the results of `document`, which outlives it (the main
    // window owns both). It never runs the engine and never changes the record: an accepted
    // dimension is handed to the main window, which makes it an undoable step.
    explicit WallView(const ProjectDocument& document, QWidget* parent = nullptr);
    ~WallView() override;

    WallViewKind View() const;

    // Selects a view and redraws. Choosing Reactions on an unstable wall shows "The Structure is
    // not stable." and falls back to Dimensions; ViewChanged reports the view actually shown.
    void SetView(WallViewKind view);

    // Draws the current view again from the document's record and results (after every change
    // of the document). Resizing needs no call: the view fits the drawing to its new size
    // itself. Reactions of a wall that is not stable fall back to Dimensions, with the warning
    // unless `quiet` (undo and redo say nothing).
    void Redraw(bool quiet = false);

    // The drawing shown, laid out for the widget's size in twips (the exports paint it).
    ViewDrawing Drawing() const;

signals:
    // The view shown changed (also when the Reactions fallback chose Dimensions).
    void ViewChanged(pendrake::ui::WallViewKind view);
    // The engineer accepted `value` (as the label shows it, two decimals) for dimension `index`.
    void DimensionAccepted(int index, double value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct State;
    State* state_;
};

} // namespace pendrake::ui
