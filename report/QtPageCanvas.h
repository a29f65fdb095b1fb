// The page canvas over QPainter on a paged device: a printer chosen in Printer setup (also when
// it prints to a PDF file) or a QPdfWriter. Page units map onto device pixels through one world
// transform; fonts keep their true point size on paper whatever the page scale. Qt Gui only:
// the window code hands a QPrinter in as its paged device.
#pragma once

#include "report/PageCanvas.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QPagedPaintDevice;
class QPdfWriter;

namespace pendrake::report {

struct ReportContext;

class QtPageCanvas final : public PageCanvas {
public:
    // Paints on a paged device (a QPdfWriter, or a QPrinter set to full-page painting). Abort
    // ends the painter and then calls abortDevice (a printer's abort, which drops its job).
    explicit QtPageCanvas(QPagedPaintDevice& device, std::function<void()> abortDevice = {});
    ~QtPageCanvas() override;

    QtPageCanvas(const QtPageCanvas&) = delete;
    QtPageCanvas& operator=(const QtPageCanvas&) = delete;

    // Opens the document. False (with ErrorText) when the device cannot be painted on, such as
    // a PDF file in a folder that cannot be written.
    bool Begin();
    const std::string& ErrorText() const { return error_; }

    PaperGeometry Paper() const override;
    std::vector<std::string> FontFamilies() const override;
    void SetMapping(double left, double top, double scale) override;

    double PenX() const override { return penX_; }
    double PenY() const override { return penY_; }
    void SetPenX(double x) override { penX_ = x; }
    void SetPenY(double y) override { penY_ = y; }

    void SetFont(const CanvasFont& font) override;
    CanvasFont Font() const override { return font_; }
    double TextWidth(std::string_view text) const override;
    double TextHeight(std::string_view text) const override;
    void Print(std::string_view text) override;

    void SetForeColour(Rgb colour) override;
    void SetFillColour(Rgb colour) override;
    void SetFillStyle(FillStyle style) override { fillStyle_ = style; }
    void SetLineStyle(LineStyle style) override;
    void SetPenWidthPixels(int pixels) override;
    Rgb ForeColour() const override { return fore_; }
    using PageCanvas::SetFillColour;
    using PageCanvas::SetForeColour;

    void DrawLine(double x1, double y1, double x2, double y2) override;
    void DrawBox(double x1, double y1, double x2, double y2) override;
    void DrawPolygon(const std::vector<DrawPoint>& points) override;
    void DrawCircle(double cx, double cy, double radius) override;

    bool NewPage() override;
    bool EndDocument() override;
    void Abort() override;

private:
    void ApplyPen();
    void ApplyFont();

    QPagedPaintDevice* device_ = nullptr;
    std::function<void()> abortDevice_;
    double twipsPerPixel_ = 1;
    QPainter painter_;
    std::string error_;
    double scale_ = 1; // twips per page unit
    double left_ = 0;
    double top_ = 0;
    double penX_ = 0;
    double penY_ = 0;
    CanvasFont font_;
    QFont qfont_;
    Rgb fore_ {};
    Rgb fill_ { 255, 255, 255 };
    FillStyle fillStyle_ = FillStyle::Transparent;
    LineStyle lineStyle_ = LineStyle::Solid;
    int penPixels_ = 1;
    bool open_ = false;
};

// A4 portrait with no device margins, 1200 dots per inch: the PDF of pendrake-cli.
void SetUpA4Pdf(QPdfWriter& writer);

// &Date and &Time as the user's locale writes them (long date, short time), now.
void StampLocaleDateTime(ReportContext& ctx);

// The installed font families.
std::vector<std::string> InstalledFontFamilies();

} // namespace pendrake::report
