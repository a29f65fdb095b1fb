// The main window's drawing: the document's results for the view shown, the figure laid out in
// twips on the widget, and the dimension values that open the dimension editor.
#include "ui/WallView.h"

#include "document/ProjectDocument.h"
#include "drawing/ViewFigure.h"
#include "model/DimensionEdit.h"
#include "model/NumberFormat.h"
#include "model/Units.h"
#include "report/QtViewPainter.h"
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

const char* const NotStableWarning = "The Structure is not stable.";
const char* const ValueFormat = "#0.#0";

QColor ToColor(Rgb c)
{
    return QColor(c.R, c.G, c.B);
}

QString ToQString(const std::string& s)
{
    return QString::fromStdString(s);
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

    // The drawing laid out for the widget's size (twips).
    ViewDrawing drawing;

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

    // The texts in the widget's font; the dimension values as their labels size themselves.
    ViewTextSizes Sizes() const
    {
        const QFontMetricsF fm(view->font());
        ViewTextSizes sizes;
        sizes.Text = [fm](const std::string& text) {
            return LabelBox { 0, 0,
                Twips(static_cast<int>(std::ceil(fm.horizontalAdvance(ToQString(text))))),
                Twips(static_cast<int>(std::ceil(fm.height()))) };
        };
        QLabel* probe = labels[0];
        sizes.DimensionValue = [probe](const std::string& text) {
            const QString before = probe->text();
            probe->setText(ToQString(text));
            probe->adjustSize();
            const LabelBox b { 0, 0, Twips(probe->width()), Twips(probe->height()) };
            probe->setText(before);
            return b;
        };
        return sizes;
    }

    // Fits the wall to the widget and builds the figure of the current view from the results.
    // Every value is shown, a zero one too: clicking it is the only way to give it a size.
    void Layout()
    {
        for (QLabel* label : labels)
            label->hide();
        slope->hide();
        drawing = BuildViewDrawing(document.Record(), document.Stability(),
            static_cast<ViewKind>(kind), Twips(view->width()), Twips(view->height()), Sizes());
        if (!drawing.HasDimensionValues)
            return;
        for (int i = 0; i < DimensionCount; ++i) {
            QLabel* label = labels[static_cast<size_t>(i)];
            const LabelBox& b = drawing.DimensionBoxes.Dim[static_cast<size_t>(i)];
            label->setText(ToQString(drawing.DimensionTexts[static_cast<size_t>(i)]));
            label->adjustSize();
            label->move(Px(b.Left), Px(b.Top));
            label->show();
        }
        slope->move(Px(drawing.DimensionBoxes.Slope.Left), Px(drawing.DimensionBoxes.Slope.Top));
        slope->show();
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
    // The dimension values are the labels over the drawing.
    report::PaintViewDrawing(
        painter, state_->drawing, font(), double(PixelsPerLogicalInch) / TwipsPerInch, false);
}

ViewDrawing WallView::Drawing() const
{
    return state_->drawing;
}

} // namespace pendrake::ui
