// The view drawings of ViewFigure painted with QPainter: on the main window's surface, into an
// SVG, PNG or PDF file, or into an image for the clipboard.
#pragma once

#include "drawing/ViewFigure.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <string>

class QPaintDevice;
class QPainter;

namespace pendrake::report {

// The texts of a drawing measured in `font` on `device`, in twips.
ViewTextSizes FontTextSizes(const QFont& font, const QPaintDevice& device);

// Paints the drawing with the painter's coordinates in device pixels, `pixelsPerTwip` of them to
// a twip: shapes, then the values and captions in `font`, and, when `withDimensionValues`, the
// dimension values in blue (on screen they are labels of their own).
void PaintViewDrawing(QPainter& painter, const ViewDrawing& drawing, const QFont& font,
    double pixelsPerTwip, bool withDimensionValues);

// The drawing surface of the exports: 1000 x 700 pixels at 96 to the inch.
inline constexpr int ExportWidthPixels = 1000;
inline constexpr int ExportHeightPixels = 700;

// The view of the record drawn for export, measured in `font`.
ViewDrawing BuildExportDrawing(
    const Project& project, const StabilityResults& stability, ViewKind view, const QFont& font);

// The drawing as an image, white ground (the clipboard's copy and the PNG file).
QImage RenderViewImage(const ViewDrawing& drawing, const QFont& font);

// Writes the drawing to `path` as SVG, PNG or PDF after its suffix. False with `error` set when
// the suffix is none of them or the file cannot be written.
bool WriteViewDrawing(
    const ViewDrawing& drawing, const QFont& font, const QString& path, std::string& error);

} // namespace pendrake::report
