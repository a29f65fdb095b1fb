// The page canvas on a QPainter: printers and PDF files.
#include "report/QtPageCanvas.h"

#include "model/Project.h"
#include "report/PageFramework.h"

#include <QDate>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QPen>
#include <QPolygonF>
#include <QTime>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <utility>

namespace pendrake::report {

namespace {

// The report converts millimetres at 56.7 twips everywhere, the paper size included, so that
// an A4 sheet less the default margins is exactly the layout's reference area.
constexpr double TwipsPerMillimetre = 56.7;
constexpr double MillimetresPerInch = 25.4;
constexpr double TwipsPerPoint = 20;
constexpr double PointsPerInch = 72;
// A dashed line: 1.5 mm dash, 1 mm gap, whatever the pen width.
constexpr double DashMm = 1.5;
constexpr double GapMm = 1.0;
// Resolution of pendrake-cli's PDF: fine enough that a 0.1 mm pen is several dots wide.
constexpr int PdfDotsPerInch = 1200;

QColor ToQColor(Rgb c)
{
    return QColor(c.R, c.G, c.B);
}

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

QtPageCanvas::QtPageCanvas(QPagedPaintDevice& device, std::function<void()> abortDevice)
    : device_(&device)
    , abortDevice_(std::move(abortDevice))
{
    twipsPerPixel_ = Paper().TwipsPerPixel;
    ApplyFont();
}

QtPageCanvas::~QtPageCanvas()
{
    if (painter_.isActive())
        painter_.end();
}

bool QtPageCanvas::Begin()
{
    if (open_)
        return true;
    if (!error_.empty())
        return false;
    if (!painter_.begin(device_)) {
        error_ = "The printer or the output file could not be opened.";
        return false;
    }
    open_ = true;
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    SetMapping(left_, top_, scale_);
    ApplyPen();
    return true;
}

PaperGeometry QtPageCanvas::Paper() const
{
    const QPageLayout layout = device_->pageLayout();
    const QRectF full = layout.fullRect(QPageLayout::Millimeter);
    PaperGeometry g;
    g.PaperWidth = full.width() * TwipsPerMillimetre;
    g.PaperHeight = full.height() * TwipsPerMillimetre;
    // In full-page mode (a printer as the print window sets it, a PDF without margins) this
    // is the whole sheet.
    const QRectF paint = layout.paintRect(QPageLayout::Millimeter);
    g.PrintableWidth = paint.width() * TwipsPerMillimetre;
    g.PrintableHeight = paint.height() * TwipsPerMillimetre;
    const int dpi = device_->logicalDpiX();
    g.TwipsPerPixel = dpi > 0 ? TwipsPerMillimetre * MillimetresPerInch / dpi : 1;
    return g;
}

std::vector<std::string> QtPageCanvas::FontFamilies() const
{
    return InstalledFontFamilies();
}

void QtPageCanvas::SetMapping(double left, double top, double scale)
{
    left_ = left;
    top_ = top;
    scale_ = scale > 0 ? scale : 1;
    if (painter_.isActive()) {
        const double k = scale_ / twipsPerPixel_; // device pixels per page unit
        painter_.setWorldTransform(QTransform(k, 0, 0, k, -left_ * k, -top_ * k));
    }
    ApplyFont();
    ApplyPen();
}

void QtPageCanvas::ApplyFont()
{
    // The font is sized in page units (the painter's user space), so that the world transform
    // brings it back to its true size in points on paper.
    const double dpi = device_->logicalDpiY() > 0 ? device_->logicalDpiY() : PointsPerInch;
    const double pageUnits = font_.Size * TwipsPerPoint / scale_;
    QFont f(QString::fromStdString(font_.Name));
    f.setPointSizeF(std::max(0.01, pageUnits * PointsPerInch / dpi));
    f.setBold(font_.Bold);
    f.setItalic(font_.Italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    qfont_ = f;
    if (painter_.isActive())
        painter_.setFont(qfont_);
}

void QtPageCanvas::SetFont(const CanvasFont& font)
{
    if (font == font_)
        return;
    font_ = font;
    ApplyFont();
}

double QtPageCanvas::TextWidth(std::string_view text) const
{
    return QFontMetricsF(qfont_, device_).horizontalAdvance(ToQString(text));
}

double QtPageCanvas::TextHeight(std::string_view /*text*/) const
{
    return QFontMetricsF(qfont_, device_).height();
}

void QtPageCanvas::Print(std::string_view text)
{
    const QString s = ToQString(text);
    const QFontMetricsF metrics(qfont_, device_);
    if (Begin()) {
        painter_.setFont(qfont_);
        painter_.drawText(QPointF(penX_, penY_ + metrics.ascent()), s);
    }
    penX_ += metrics.horizontalAdvance(s);
}

void QtPageCanvas::SetForeColour(Rgb colour)
{
    fore_ = colour;
    ApplyPen();
}

void QtPageCanvas::SetFillColour(Rgb colour)
{
    fill_ = colour;
}

void QtPageCanvas::SetLineStyle(LineStyle style)
{
    lineStyle_ = style;
    ApplyPen();
}

void QtPageCanvas::SetPenWidthPixels(int pixels)
{
    penPixels_ = pixels < 1 ? 1 : pixels;
    ApplyPen();
}

void QtPageCanvas::ApplyPen()
{
    if (!painter_.isActive())
        return;
    // A cosmetic pen keeps its width in device pixels whatever the page mapping.
    QPen pen(ToQColor(fore_));
    pen.setCosmetic(true);
    pen.setWidth(penPixels_);
    pen.setCapStyle(Qt::FlatCap);
    if (lineStyle_ == LineStyle::Dash) {
        const double perPixel = twipsPerPixel_ * penPixels_;
        pen.setDashPattern(
            { DashMm * TwipsPerMillimetre / perPixel, GapMm * TwipsPerMillimetre / perPixel });
    }
    painter_.setPen(pen);
}

void QtPageCanvas::DrawLine(double x1, double y1, double x2, double y2)
{
    if (Begin())
        painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void QtPageCanvas::DrawBox(double x1, double y1, double x2, double y2)
{
    if (!Begin())
        return;
    const QRectF r = QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized();
    if (fillStyle_ == FillStyle::Solid)
        painter_.fillRect(r, ToQColor(fill_));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(r);
}

void QtPageCanvas::DrawPolygon(const std::vector<DrawPoint>& points)
{
    if (points.size() < 2 || !Begin())
        return;
    QPolygonF poly;
    poly.reserve(qsizetype(points.size()));
    for (const DrawPoint& p : points)
        poly << QPointF(p.X, p.Y);
    if (fillStyle_ == FillStyle::Solid)
        painter_.setBrush(ToQColor(fill_));
    else
        painter_.setBrush(Qt::NoBrush);
    painter_.drawPolygon(poly);
    painter_.setBrush(Qt::NoBrush);
}

void QtPageCanvas::DrawCircle(double cx, double cy, double radius)
{
    if (!Begin())
        return;
    if (fillStyle_ == FillStyle::Solid)
        painter_.setBrush(ToQColor(fill_));
    else
        painter_.setBrush(Qt::NoBrush);
    painter_.drawEllipse(QPointF(cx, cy), radius, radius);
    painter_.setBrush(Qt::NoBrush);
}

bool QtPageCanvas::NewPage()
{
    if (!Begin())
        return false;
    return device_->newPage();
}

bool QtPageCanvas::EndDocument()
{
    // A job that drew nothing never opened the device: no blank sheet comes out.
    if (!open_)
        return error_.empty();
    open_ = false;
    return painter_.end();
}

void QtPageCanvas::Abort()
{
    // The printer drops its job while the painter still holds it.
    if (open_ && abortDevice_)
        abortDevice_();
    if (painter_.isActive())
        painter_.end();
    open_ = false;
}

void SetUpA4Pdf(QPdfWriter& writer)
{
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Portrait);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(PdfDotsPerInch);
    writer.setCreator(QStringLiteral("Pendrake ") + ToQString(VersionText));
}

void StampLocaleDateTime(ReportContext& ctx)
{
    const QLocale locale = QLocale::system();
    ctx.DateText = locale.toString(QDate::currentDate(), QLocale::LongFormat).toStdString();
    ctx.TimeText = locale.toString(QTime::currentTime(), QLocale::ShortFormat).toStdString();
}

std::vector<std::string> InstalledFontFamilies()
{
    std::vector<std::string> names;
    for (const QString& f : QFontDatabase::families())
        names.push_back(f.toStdString());
    return names;
}

} // namespace pendrake::report
