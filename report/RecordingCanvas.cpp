// The recording canvas: every drawing call kept with the pen, font and colours in force.
#include "report/RecordingCanvas.h"

#include <utility>

namespace pendrake::report {

namespace {

// One twentieth of a point is a twip.
constexpr double TwipsPerPoint = 20;

size_t CharacterCount(std::string_view text)
{
    size_t n = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80)
            ++n;
    }
    return n;
}

} // namespace

PaperGeometry A4Paper()
{
    // 210 by 297 mm at 56.7 twips to the millimetre, as the report converts; 1200 dpi.
    constexpr double twipsPerMm = 56.7;
    constexpr double dotsPerInch = 1200;
    constexpr double twipsPerInch = 1440;
    const double w = 210 * twipsPerMm;
    const double h = 297 * twipsPerMm;
    return { w, h, w, h, twipsPerInch / dotsPerInch };
}

RecordingCanvas::RecordingCanvas(PaperGeometry paper, std::vector<std::string> families)
    : paper_(paper)
    , families_(std::move(families))
{
}

void RecordingCanvas::SetMapping(double left, double top, double scale)
{
    left_ = left;
    top_ = top;
    scale_ = scale > 0 ? scale : 1;
}

double RecordingCanvas::TextWidth(std::string_view text) const
{
    return double(CharacterCount(text)) * font_.Size * AdvancePerPoint * TwipsPerPoint / scale_;
}

double RecordingCanvas::TextHeight(std::string_view /*text*/) const
{
    return font_.Size * LineHeightPerPoint * TwipsPerPoint / scale_;
}

RecordedCall RecordingCanvas::Make(CallKind kind) const
{
    RecordedCall call;
    call.Kind = kind;
    call.Page = page_;
    call.Font = font_;
    call.Fore = fore_;
    call.Fill = fill_;
    call.FillMode = fillStyle_;
    call.Line = lineStyle_;
    call.PenPixels = pen_;
    return call;
}

void RecordingCanvas::Print(std::string_view text)
{
    RecordedCall call = Make(CallKind::Text);
    call.X1 = penX_;
    call.Y1 = penY_;
    penX_ += TextWidth(text);
    call.X2 = penX_;
    call.Y2 = penY_;
    call.Text = std::string(text);
    calls_.push_back(std::move(call));
}

void RecordingCanvas::DrawLine(double x1, double y1, double x2, double y2)
{
    RecordedCall call = Make(CallKind::Line);
    call.X1 = x1;
    call.Y1 = y1;
    call.X2 = x2;
    call.Y2 = y2;
    calls_.push_back(std::move(call));
}

void RecordingCanvas::DrawBox(double x1, double y1, double x2, double y2)
{
    RecordedCall call = Make(CallKind::Box);
    call.X1 = x1;
    call.Y1 = y1;
    call.X2 = x2;
    call.Y2 = y2;
    calls_.push_back(std::move(call));
}

void RecordingCanvas::DrawPolygon(const std::vector<DrawPoint>& points)
{
    RecordedCall call = Make(CallKind::Polygon);
    call.Points = points;
    calls_.push_back(std::move(call));
}

void RecordingCanvas::DrawCircle(double cx, double cy, double radius)
{
    RecordedCall call = Make(CallKind::Circle);
    call.X1 = cx;
    call.Y1 = cy;
    call.X2 = radius;
    calls_.push_back(std::move(call));
}

bool RecordingCanvas::NewPage()
{
    calls_.push_back(Make(CallKind::NewPage));
    if (failNewPage_)
        return false;
    ++page_;
    return true;
}

bool RecordingCanvas::EndDocument()
{
    calls_.push_back(Make(CallKind::EndDocument));
    ended_ = true;
    return true;
}

void RecordingCanvas::Abort()
{
    calls_.push_back(Make(CallKind::Abort));
    aborted_ = true;
}

std::vector<RecordedCall> RecordingCanvas::Texts() const
{
    std::vector<RecordedCall> texts;
    for (const RecordedCall& c : calls_) {
        if (c.Kind == CallKind::Text)
            texts.push_back(c);
    }
    return texts;
}

const RecordedCall* RecordingCanvas::FindText(std::string_view text) const
{
    for (const RecordedCall& c : calls_) {
        if (c.Kind == CallKind::Text && c.Text == text)
            return &c;
    }
    return nullptr;
}

} // namespace pendrake::report
