// The main window's drawing: the document's results for the view shown, the figure laid out in
// twips on the widget, and the dimension values that open the dimension editor.
#include "ui/WallView.h"

#include "document/ProjectDocument.h"
#include "model/DimensionEdit.h"
#include "model/NumberFormat.h"
#include "model/Units.h"
#include "report/WallGeometry.h"
#include "ui/DimensionEdit.h"
#include "ui/Platform.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pendrake::ui {

namespace {

constexpr int LoadCaseOf(WallViewKind v)
{
    return static_cast<int>(v);
} // Dead 1 .. Seismic 7

bool IsLoadView(WallViewKind v)
{
    return v != WallViewKind::Dimensions && v != WallViewKind::Reactions;
}

const char* const NotStableWarning = "The Structure is not stable.";
const char* const ValueFormat = "#0.#0";

// Captions stand at the drawing's left edge, their last line this far above its bottom; twips.
constexpr double CaptionLeft = 240;
constexpr double CaptionBottomMargin = 120;

// The figure is laid out in twips; the painter maps them to device-independent pixels.
QTransform TwipsToPixels()
{
    constexpr double scale = double(PixelsPerLogicalInch) / TwipsPerInch;
    return QTransform::fromScale(scale, scale);
}

QColor ToColor(Rgb c)
{
    return QColor(c.R, c.G, c.B);
}

QString ToQString(const std::string& s)
{
    return QString::fromStdString(s);
}

size_t UnitIndex(const Project& p)
{
    return static_cast<size_t>(std::clamp<int>(p.UnitSystem, 0, 2));
}

// Releases on a dimension label that was pressed: its click.
class LabelClicks : public QObject {
public:
    LabelClicks(QObject* parent, std::function<void(int)> onClick)
        : QObject(parent)
        , onClick_(std::move(onClick))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* label = qobject_cast<QLabel*>(watched);
        if (label == nullptr)
            return false;
        const int index = label->property("dimensionIndex").toInt();
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() != Qt::LeftButton)
                return false;
            pressed_ = index;
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* me = static_cast<QMouseEvent*>(event);
            const bool click = me->button() == Qt::LeftButton && pressed_ == index
                && label->rect().contains(me->position().toPoint());
            pressed_ = -1;
            if (click)
                onClick_(index);
            return click;
        }
        return false;
    }

private:
    std::function<void(int)> onClick_;
    int pressed_ = -1;
};

} // namespace

struct WallView::State {
    WallView* view;
    const ProjectDocument& document;
    WallViewKind kind = WallViewKind::Dimensions; // until the main window picks a view

    // The drawing laid out for the widget's size.
    FigureStyle style;
    WallLayout layout;
    Figure figure;
    std::vector<LabelBox> textBoxes; // where each figure text is painted, twips

    std::array<QLabel*, DimensionCount> labels {};
    QLabel* slope = nullptr;
    DimensionEditDialog* editor = nullptr;
    bool editing = false;

    State(WallView* v, const ProjectDocument& d)
        : view(v)
        , document(d)
    {
    }

    // The reactions exist only for a stable wall: the drawing then falls back to the section.
    // True when it fell back.
    bool FallBack(bool tell)
    {
        if (kind != WallViewKind::Reactions || document.Stability().Stable)
            return false;
        if (tell)
            ShowWarning(view, QString::fromLatin1(NotStableWarning));
        kind = WallViewKind::Dimensions;
        return true;
    }

    void AddCaptions(const std::vector<std::string>& lines)
    {
        const QFontMetricsF fm(view->font());
        const double lineHeight = Twips(static_cast<int>(std::ceil(fm.height())));
        double bottom = layout.SurfaceHeight - CaptionBottomMargin
            - lineHeight * double(std::max<size_t>(lines.size(), 1) - 1);
        for (const std::string& line : lines) {
            figure.Texts.push_back(
                { { CaptionLeft, bottom }, line, PaletteColour(0), HAlign::Left, VAlign::Bottom });
            bottom += lineHeight;
        }
    }

    LabelBox TextBox(const FigureText& t) const
    {
        const QFontMetricsF fm(view->font());
        const double w
            = Twips(static_cast<int>(std::ceil(fm.horizontalAdvance(ToQString(t.Text)))));
        const double h = Twips(static_cast<int>(std::ceil(fm.height())));
        double left = t.At.X;
        double top = t.At.Y;
        if (t.Horizontal == HAlign::Centre)
            left -= w / 2;
        else if (t.Horizontal == HAlign::Right)
            left -= w;
        if (t.Vertical == VAlign::Middle)
            top -= h / 2;
        else if (t.Vertical == VAlign::Bottom)
            top -= h;
        return { left, top, w, h };
    }

    // The captions stay where they are; the values move off each other, away from their anchor.
    void SeparateTexts(size_t captions)
    {
        textBoxes.clear();
        std::vector<PushDirection> pushes;
        const size_t n = figure.Texts.size();
        // Captions were added last; they go first so that nothing moves them.
        std::vector<size_t> order;
        for (size_t i = n - captions; i < n; ++i)
            order.push_back(i);
        for (size_t i = 0; i < n - captions; ++i)
            order.push_back(i);
        std::vector<LabelBox> boxes;
        for (size_t i : order) {
            const FigureText& t = figure.Texts[i];
            boxes.push_back(TextBox(t));
            pushes.push_back(
                t.Vertical == VAlign::Bottom ? PushDirection::Up : PushDirection::Down);
        }
        const LabelBox surface { 0, 0, layout.SurfaceWidth, layout.SurfaceHeight };
        SeparateBoxes(boxes, pushes, captions, &surface);
        textBoxes.resize(n);
        for (size_t k = 0; k < order.size(); ++k)
            textBoxes[order[k]] = boxes[k];
    }

    // Every value is shown, a zero one too: clicking it is the only way to give it a size.
    void PlaceLabels(const std::vector<LabelBox>& obstacles)
    {
        std::array<LabelBox, DimensionCount> sizes {};
        for (int i = 0; i < DimensionCount; ++i) {
            QLabel* label = labels[static_cast<size_t>(i)];
            label->setText(ToQString(FormatNumber(Dimension(document.Record(), i), ValueFormat)));
            label->adjustSize();
            sizes[static_cast<size_t>(i)] = { 0, 0, Twips(label->width()), Twips(label->height()) };
        }
        slope->adjustSize();
        const LabelBox slopeSize { 0, 0, Twips(slope->width()), Twips(slope->height()) };
        const DimensionLabelBoxes boxes = PlaceDimensionLabels(layout, sizes, slopeSize, obstacles);
        for (int i = 0; i < DimensionCount; ++i) {
            const LabelBox& b = boxes.Dim[static_cast<size_t>(i)];
            labels[static_cast<size_t>(i)]->move(Px(b.Left), Px(b.Top));
            labels[static_cast<size_t>(i)]->show();
        }
        slope->move(Px(boxes.Slope.Left), Px(boxes.Slope.Top));
        slope->show();
    }

    // Fits the wall to the widget and builds the figure of the current view from the results.
    void Layout()
    {
        for (QLabel* label : labels)
            label->hide();
        slope->hide();

        const Project& p = document.Record();
        const LoadCaseResults& loads = document.Stability().Loads;
        layout = LayoutWallOnScreen(p, Twips(view->width()), Twips(view->height()));
        figure = Figure {};
        AddWallOutline(figure, p, layout);
        const bool anchorsShown = kind == WallViewKind::Dimensions || kind == WallViewKind::Dead;
        if (p.AnchorRows >= 1 && anchorsShown)
            AddAnchors(figure, layout, loads, style);

        const size_t unit = UnitIndex(p);
        std::vector<std::string> captions;
        if (kind == WallViewKind::Dimensions) {
            AddDimensionLines(figure, p, layout, style);
            captions.push_back("Dimensions in " + std::string(LengthUnit[unit]));
        } else {
            if (IsLoadView(kind))
                AddLoadCase(figure, p, layout, LoadCaseOf(kind), loads, style);
            else
                AddReactions(figure, p, layout, document.Stability(), style);
            captions.push_back("Line loads in " + LineLoadUnit(p.UnitSystem));
            captions.push_back("Distributed loads in " + std::string(PressureUnit[unit]));
        }
        AddCaptions(captions);
        SeparateTexts(captions.size());

        if (kind == WallViewKind::Dimensions) {
            std::vector<LabelBox> obstacles;
            for (size_t i = figure.Texts.size() - captions.size(); i < figure.Texts.size(); ++i)
                obstacles.push_back(textBoxes[i]);
            PlaceLabels(obstacles);
        }
    }

    void Edit(int index);
};

void WallView::State::Edit(int index)
{
    if (editing)
        return;
    editing = true;
    QLabel* label = labels[static_cast<size_t>(index)];
    editor->PlaceNextTo(label);
    const Project& p = document.Record();
    const QString title = QStringLiteral("Pendrake: ")
        + ToQString(std::string(DimensionName[static_cast<size_t>(index)])) + QStringLiteral(" (")
        + ToQString(DimensionUnit(p, index)) + QLatin1Char(')');
    std::string text = PlainDecimalText(ParseEditValue(label->text().toStdString()).value_or(0.0));
    std::optional<double> typed;
    for (;;) {
        const std::optional<std::string> accepted = editor->Run(text, title);
        if (!accepted)
            break;
        typed = ParseEditValue(*accepted);
        if (typed && *typed < 0) {
            // A dimension is a size: the box opens again on the value it had.
            Beep();
            typed.reset();
            continue;
        }
        break;
    }
    editing = false;
    if (typed) {
        // The value kept is the one the label shows: two decimals.
        const double shown = ParseEditValue(FormatNumber(*typed, ValueFormat)).value_or(0.0);
        emit view->DimensionAccepted(index, shown);
    }
}

WallView::WallView(const ProjectDocument& document, QWidget* parent)
    : QWidget(parent)
    , state_(new State(this, document))
{
    setObjectName(QStringLiteral("Picture1"));
    setAutoFillBackground(false);

    auto* clicks = new LabelClicks(this, [this](int index) { state_->Edit(index); });
    const QColor valueColour = ToColor(PaletteColour(1));
    for (int i = 0; i < DimensionCount; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("lblDim_%1").arg(i));
        label->setProperty("dimensionIndex", i);
        label->setCursor(Qt::PointingHandCursor);
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, valueColour);
        label->setPalette(pal);
        label->installEventFilter(clicks);
        label->hide();
        state_->labels[static_cast<size_t>(i)] = label;
    }
    state_->slope = new QLabel(QStringLiteral("1 : "), this);
    state_->slope->setObjectName(QStringLiteral("lblSlope"));
    state_->slope->hide();
    state_->editor = new DimensionEditDialog(this);
    state_->editor->hide();
}

WallView::~WallView()
{
    delete state_;
}

WallViewKind WallView::View() const
{
    return state_->kind;
}

void WallView::SetView(WallViewKind view)
{
    const WallViewKind before = state_->kind;
    state_->kind = view;
    const bool fellBack = state_->FallBack(true);
    state_->Layout();
    update();
    if (fellBack || state_->kind != before)
        emit ViewChanged(state_->kind);
}

void WallView::Redraw(bool quiet)
{
    const bool fellBack = state_->FallBack(!quiet);
    state_->Layout();
    update();
    if (fellBack)
        emit ViewChanged(state_->kind);
}

void WallView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    state_->Layout();
}

void WallView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);

    const Figure& f = state_->figure;
    const QTransform toPixels = TwipsToPixels();
    painter.setTransform(toPixels);
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

    // Texts are set in the widget's font at its own size, at their places mapped to pixels.
    painter.resetTransform();
    for (size_t i = 0; i < f.Texts.size() && i < state_->textBoxes.size(); ++i) {
        const LabelBox& b = state_->textBoxes[i];
        const QRectF box = toPixels.mapRect(QRectF(b.Left, b.Top, b.Width, b.Height));
        painter.setPen(ToColor(f.Texts[i].Colour));
        painter.drawText(
            box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, ToQString(f.Texts[i].Text));
    }
}

} // namespace pendrake::ui
