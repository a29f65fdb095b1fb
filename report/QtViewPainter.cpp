// The view drawings painted with QPainter.
#include "report/QtViewPainter.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPolygonF>
#include <QSvgGenerator>

#include <cmath>

namespace pendrake::report {

namespace {

constexpr double TwipsPerInch = 1440;
constexpr int ExportDotsPerInch = 96;
constexpr double PointsPerInch = 72;
constexpr double MetresPerInch = 0.0254;
constexpr int DimensionValueColour = 1; // blue, as the main window's labels

QColor ToColor(Rgb c)
{
    return QColor(c.R, c.G, c.B);
}

QString ToQString(const std::string& s)
{
    return QString::fromStdString(s);
}

// A 96-dpi image to measure the exports' texts on.
const QImage& MeasuringImage()
{
    static const QImage image = [] {
        QImage i(1, 1, QImage::Format_ARGB32);
        const int dotsPerMetre = static_cast<int>(std::lround(ExportDotsPerInch / MetresPerInch));
        i.setDotsPerMeterX(dotsPerMetre);
        i.setDotsPerMeterY(dotsPerMetre);
        return i;
    }();
    return image;
}

double ExportPixelsPerTwip()
{
    return ExportDotsPerInch / TwipsPerInch;
}

} // namespace

ViewTextSizes FontTextSizes(const QFont& font, const QPaintDevice& device)
{
    const QFontMetricsF fm(font, &device);
    const int dpi = device.logicalDpiX() > 0 ? device.logicalDpiX() : ExportDotsPerInch;
    const double twipsPerPixel = TwipsPerInch / dpi;
    auto measure = [fm, twipsPerPixel](const std::string& text) {
        return LabelBox { 0, 0, std::ceil(fm.horizontalAdvance(ToQString(text))) * twipsPerPixel,
            std::ceil(fm.height()) * twipsPerPixel };
    };
    return { measure, measure };
}

void PaintViewDrawing(QPainter& painter, const ViewDrawing& d, const QFont& font,
    double pixelsPerTwip, bool withDimensionValues)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QTransform base = painter.transform();
    const QTransform toPixels = QTransform::fromScale(pixelsPerTwip, pixelsPerTwip);
    painter.setTransform(toPixels * base);
    const Figure& f = d.Shapes;
    for (const FigurePolygon& poly : f.Polygons) {
        QPolygonF shape;
        for (const DrawPoint& pt : poly.Points)
            shape << QPointF(pt.X, pt.Y);
        QPen pen(ToColor(poly.Outline), poly.Weight);
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.setBrush(poly.Filled ? QBrush(ToColor(poly.Fill)) : QBrush(Qt::NoBrush));
        painter.drawPolygon(shape);
    }
    for (const FigureLine& line : f.Lines) {
        QPen pen(ToColor(line.Colour), line.Weight);
        pen.setCosmetic(true);
        if (line.Dashed)
            pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.drawLine(QPointF(line.A.X, line.A.Y), QPointF(line.B.X, line.B.Y));
    }
    painter.setTransform(base);
    // Texts are set in the font at its own size, at their places mapped to pixels.
    painter.setFont(font);
    auto text = [&](const LabelBox& b, const std::string& s, Rgb colour) {
        const QRectF box = toPixels.mapRect(QRectF(b.Left, b.Top, b.Width, b.Height));
        painter.setPen(ToColor(colour));
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, ToQString(s));
    };
    for (size_t i = 0; i < f.Texts.size() && i < d.TextBoxes.size(); ++i)
        text(d.TextBoxes[i], f.Texts[i].Text, f.Texts[i].Colour);
    if (withDimensionValues && d.HasDimensionValues) {
        const Rgb blue = PaletteColour(DimensionValueColour);
        text(d.DimensionBoxes.Slope, std::string(SlopeLabelText), PaletteColour(0));
        for (int i = 0; i < DimensionCount; ++i)
            text(d.DimensionBoxes.Dim[size_t(i)], d.DimensionTexts[size_t(i)], blue);
    }
    painter.restore();
}

ViewDrawing BuildExportDrawing(
    const Project& project, const StabilityResults& stability, ViewKind view, const QFont& font)
{
    const double twipsPerPixel = 1 / ExportPixelsPerTwip();
    return BuildViewDrawing(project, stability, view, ExportWidthPixels * twipsPerPixel,
        ExportHeightPixels * twipsPerPixel, FontTextSizes(font, MeasuringImage()));
}

QImage RenderViewImage(const ViewDrawing& d, const QFont& font)
{
    QImage image(ExportWidthPixels, ExportHeightPixels, QImage::Format_ARGB32);
    image.setDotsPerMeterX(MeasuringImage().dotsPerMeterX());
    image.setDotsPerMeterY(MeasuringImage().dotsPerMeterY());
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintViewDrawing(painter, d, font, ExportPixelsPerTwip(), true);
    painter.end();
    return image;
}

bool WriteViewDrawing(
    const ViewDrawing& d, const QFont& font, const QString& path, std::string& error)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QString cannot = QStringLiteral("The drawing could not be written to ") + path + '.';
    if (suffix == QLatin1String("png")) {
        if (!RenderViewImage(d, font).save(path, "PNG")) {
            error = cannot.toStdString();
            return false;
        }
        return true;
    }
    if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(QSize(ExportWidthPixels, ExportHeightPixels));
        svg.setViewBox(QRect(0, 0, ExportWidthPixels, ExportHeightPixels));
        svg.setResolution(ExportDotsPerInch);
        svg.setTitle(QStringLiteral("Pendrake"));
        QPainter painter;
        if (!painter.begin(&svg)) {
            error = cannot.toStdString();
            return false;
        }
        painter.fillRect(QRect(0, 0, ExportWidthPixels, ExportHeightPixels), Qt::white);
        PaintViewDrawing(painter, d, font, ExportPixelsPerTwip(), true);
        painter.end();
        return true;
    }
    if (suffix == QLatin1String("pdf")) {
        QPdfWriter pdf(path);
        pdf.setResolution(ExportDotsPerInch);
        const double toPoints = PointsPerInch / ExportDotsPerInch;
        pdf.setPageSize(QPageSize(
            QSizeF(ExportWidthPixels * toPoints, ExportHeightPixels * toPoints), QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(QStringLiteral("Pendrake"));
        QPainter painter;
        if (!painter.begin(&pdf)) {
            error = cannot.toStdString();
            return false;
        }
        PaintViewDrawing(painter, d, font, ExportPixelsPerTwip(), true);
        painter.end();
        return true;
    }
    error = "A drawing is written as .svg, .png or .pdf.";
    return false;
}

} // namespace pendrake::report
