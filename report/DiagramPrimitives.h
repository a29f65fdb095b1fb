// Painting the wall figures of WallGeometry (outline, anchors, dimension lines, load cases,
// reactions) on a report page, with the report's pen widths. The arrows, the wall layout, the
// load scale and the load legend themselves are declared in PageFramework.h.
#pragma once

#include "drawing/WallGeometry.h"
#include "report/PageFramework.h"

namespace pendrake::report {

// Pen widths of the printed figures, millimetres: a thin line (weight 1) and a thick one
// (weight 2, the anchors).
inline constexpr double ThinPenMm = 0.1;
inline constexpr double ThickPenMm = 0.3;

// Furniture of the printed figures: heads of the report's arrow size, the load arrows and
// diagrams short enough to stay inside a half page.
FigureStyle PrintedFigureStyle();

// Paints polygons, lines, then texts of the figure in the current font; fore colour, fill and
// pen width are left black, transparent and thin afterwards.
void PaintFigure(ReportContext& ctx, const Figure& figure);

} // namespace pendrake::report
