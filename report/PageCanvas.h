// The surface every printed page is drawn on: a pen position, fonts, text, lines, boxes and
// polygons in page units, the 16-colour palette. QtPageCanvas paints it on a printer or a PDF;
// RecordingCanvas keeps every call so that tests can check what lands where.
#pragma once

#include "drawing/WallGeometry.h" // DrawPoint, Rgb, PaletteColour

#include <string>
#include <string_view>
#include <vector>

namespace pendrake::report {

// Palette indices the report uses by name.
inline constexpr int ColourBlack = 0;
inline constexpr int ColourBlue = 1;
inline constexpr int ColourLightBlue = 9;
inline constexpr int ColourWhite = 15;

// A font as asked for or as in force: name, size in points (true points on paper, never
// scaled by the page mapping), bold, italic.
struct CanvasFont {
    std::string Name;
    double Size = 10;
    bool Bold = false;
    bool Italic = false;
    bool operator==(const CanvasFont&) const = default;
};

enum class FillStyle { Solid, Transparent };
enum class LineStyle { Solid, Dash };

// Paper and device of the page being composed. All lengths in twips (1/1440 inch).
struct PaperGeometry {
    double PaperWidth = 0; // Wp
    double PaperHeight = 0; // Hp
    double PrintableWidth = 0; // Ws
    double PrintableHeight = 0; // Hs
    double TwipsPerPixel = 1; // size of one device pixel, for pen widths
};

// A4 (210 by 297 mm) printable to its edges on a 1200 dpi device.
PaperGeometry A4Paper();

// Texts are UTF-8. Coordinates are page units: x to the right, y DOWN the page. Text is placed
// with its top left corner at the pen position and moves the pen x to its end.
class PageCanvas {
public:
    virtual ~PageCanvas() = default;

    virtual PaperGeometry Paper() const = 0;
    // Installed font families (the printer's font list).
    virtual std::vector<std::string> FontFamilies() const = 0;

    // The page mapping: a device position p twips right of (below) the printable area's
    // left (top) edge has page x = left + p / scale (y = top + p / scale).
    virtual void SetMapping(double left, double top, double scale) = 0;

    // --- Pen position -----------------------------------------------------------------------
    virtual double PenX() const = 0;
    virtual double PenY() const = 0;
    virtual void SetPenX(double x) = 0;
    virtual void SetPenY(double y) = 0;
    void SetPen(double x, double y)
    {
        SetPenX(x);
        SetPenY(y);
    }

    // --- Fonts and text ---------------------------------------------------------------------
    virtual void SetFont(const CanvasFont& font) = 0;
    // The font in force: the size may be the nearest the device offers.
    virtual CanvasFont Font() const = 0;
    // Extent of a text in the current font, page units.
    virtual double TextWidth(std::string_view text) const = 0;
    virtual double TextHeight(std::string_view text) const = 0;
    // Prints at the pen position; pen x moves to the end of the text, pen y stays.
    virtual void Print(std::string_view text) = 0;

    // --- Colours, pens, fill ----------------------------------------------------------------
    // Lines, box outlines and text take the fore colour.
    virtual void SetForeColour(Rgb colour) = 0;
    virtual void SetFillColour(Rgb colour) = 0;
    virtual void SetFillStyle(FillStyle style) = 0;
    virtual void SetLineStyle(LineStyle style) = 0;
    // Pen width in device pixels (at least 1).
    virtual void SetPenWidthPixels(int pixels) = 0;
    virtual Rgb ForeColour() const = 0;
    void SetForeColour(int paletteIndex) { SetForeColour(PaletteColour(paletteIndex)); }
    void SetFillColour(int paletteIndex) { SetFillColour(PaletteColour(paletteIndex)); }

    // --- Shapes -----------------------------------------------------------------------------
    virtual void DrawLine(double x1, double y1, double x2, double y2) = 0;
    // Outline in the fore colour, inside by fill style and fill colour.
    virtual void DrawBox(double x1, double y1, double x2, double y2) = 0;
    virtual void DrawPolygon(const std::vector<DrawPoint>& points) = 0;
    virtual void DrawCircle(double cx, double cy, double radius) = 0;

    // --- Document ---------------------------------------------------------------------------
    // Ends the sheet and starts a new one. Returns false when the device refused.
    virtual bool NewPage() = 0;
    // Ends the document; nothing more may be drawn.
    virtual bool EndDocument() = 0;
    // Gives the document up: nothing more is sent to the device.
    virtual void Abort() = 0;
};

} // namespace pendrake::report
