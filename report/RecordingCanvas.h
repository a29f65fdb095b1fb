// A page canvas that draws nothing and keeps every call, for tests that check what the report
// puts where. Text is measured by a fixed advance per character, so widths are predictable.
#pragma once

#include "report/PageCanvas.h"

#include <string>
#include <vector>

namespace pendrake::report {

enum class CallKind { Text, Line, Box, Polygon, Circle, NewPage, EndDocument, Abort };

// One drawing call with the state it was made in. Coordinates in page units; for Text (X1, Y1)
// is the pen position (top left of the text) and X2 the pen x after it.
struct RecordedCall {
    CallKind Kind = CallKind::Text;
    int Page = 1; // sheet the call was made on, from 1
    double X1 = 0;
    double Y1 = 0;
    double X2 = 0;
    double Y2 = 0;
    std::string Text;
    std::vector<DrawPoint> Points;
    CanvasFont Font;
    Rgb Fore;
    Rgb Fill;
    FillStyle FillMode = FillStyle::Transparent;
    LineStyle Line = LineStyle::Solid;
    int PenPixels = 1;
};

class RecordingCanvas final : public PageCanvas {
public:
    // Width of a character as a share of the font size (an average proportional advance).
    static constexpr double AdvancePerPoint = 0.5;
    // Line height as a share of the font size.
    static constexpr double LineHeightPerPoint = 1.15;

    explicit RecordingCanvas(PaperGeometry paper = A4Paper(),
        std::vector<std::string> families = { "Arial", "Times New Roman" });

    PaperGeometry Paper() const override { return paper_; }
    std::vector<std::string> FontFamilies() const override { return families_; }
    void SetMapping(double left, double top, double scale) override;

    double PenX() const override { return penX_; }
    double PenY() const override { return penY_; }
    void SetPenX(double x) override { penX_ = x; }
    void SetPenY(double y) override { penY_ = y; }

    void SetFont(const CanvasFont& font) override { font_ = font; }
    CanvasFont Font() const override { return font_; }
    double TextWidth(std::string_view text) const override;
    double TextHeight(std::string_view text) const override;
    void Print(std::string_view text) override;

    void SetForeColour(Rgb colour) override { fore_ = colour; }
    void SetFillColour(Rgb colour) override { fill_ = colour; }
    void SetFillStyle(FillStyle style) override { fillStyle_ = style; }
    void SetLineStyle(LineStyle style) override { lineStyle_ = style; }
    void SetPenWidthPixels(int pixels) override { pen_ = pixels < 1 ? 1 : pixels; }
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

    // The page mapping last set.
    double MappingLeft() const { return left_; }
    double MappingTop() const { return top_; }
    double MappingScale() const { return scale_; }

    const std::vector<RecordedCall>& Calls() const { return calls_; }
    // Texts printed, in order, with their calls.
    std::vector<RecordedCall> Texts() const;
    // The first text call whose text equals `text`, or nullptr.
    const RecordedCall* FindText(std::string_view text) const;
    int Pages() const { return page_; }
    bool Ended() const { return ended_; }
    bool Aborted() const { return aborted_; }

    // Makes NewPage fail as a printer that refuses a sheet would.
    void FailNewPage(bool fail) { failNewPage_ = fail; }

private:
    RecordedCall Make(CallKind kind) const;

    PaperGeometry paper_;
    std::vector<std::string> families_;
    double left_ = 0;
    double top_ = 0;
    double scale_ = 1;
    double penX_ = 0;
    double penY_ = 0;
    CanvasFont font_;
    Rgb fore_ {};
    Rgb fill_ { 255, 255, 255 };
    FillStyle fillStyle_ = FillStyle::Transparent;
    LineStyle lineStyle_ = LineStyle::Solid;
    int pen_ = 1;
    int page_ = 1;
    bool ended_ = false;
    bool aborted_ = false;
    bool failNewPage_ = false;
    std::vector<RecordedCall> calls_;
};

} // namespace pendrake::report
