// frmCalculator: the inputs with their unit captions, the sketch of the wall and soil that names
// them, the result table (active and passive under normal and seismic conditions, at rest), and
// the commands. Input boxes refuse what is not a number of 0 or more with a beep.
#include "ui/frmCalculator.h"

#include "model/DimensionEdit.h"
#include "model/NumberFormat.h"
#include "model/Units.h"
#include "ui/Platform.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <optional>
#include <string>

namespace pendrake::ui {

namespace {

constexpr std::string_view ValuePattern = "#0.#0";
constexpr std::string_view CoefficientPattern = "#0.##0";
const QString NoValue = QStringLiteral("--");
const QString Degree = QString(QChar(0x00B0));
// Greek letters as their Unicode characters in the window's own font; subscripts as rich text.
const QString Gamma = QString(QChar(0x03B3));
const QString Phi = QString(QChar(0x03C6));
const QString Beta = QString(QChar(0x03B2));
const QString Delta = QString(QChar(0x03B4));
const QString Theta = QString(QChar(0x03B8));

constexpr int WaterDepthBox = 9;
constexpr int SoilDepthBox = 8;

// Room for a value such as 12345.67 in a box or result cell, twips.
constexpr int ValueCellWidth = 1100;
// The sketch, twips.
constexpr int SketchWidth = 4200;
constexpr int SketchHeight = 3600;

CalculatorPrintHandler& PrintHandler()
{
    static CalculatorPrintHandler handler;
    return handler;
}

QString Label(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString Value(double v)
{
    return QString::fromStdString(FormatNumber(v, ValuePattern));
}

QString Value(const std::optional<float>& v)
{
    return v ? Value(double(*v)) : NoValue;
}

QString Coefficient(const std::optional<float>& v)
{
    return v ? QString::fromStdString(FormatNumber(double(*v), CoefficientPattern)) : NoValue;
}

QString Indexed(const char* name, int index)
{
    return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(index);
}

QLabel* NamedLabel(QWidget* parent, const QString& name, const QString& text = QString())
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* RichCaption(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::RichText);
    return label;
}

void MakeBold(QLabel* label)
{
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
}

// pctSoil: a wall whose back leans over the soil by theta, the soil surface rising at beta with
// the surcharge q on it, the water table at depth hw, the depth h, and the soil pressure inclined
// by delta to the normal of the back face.
class SoilSketch : public QWidget {
public:
    explicit SoilSketch(QWidget* parent)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("pctSoil"));
        setFixedSize(Px(SketchWidth), Px(SketchHeight));
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override
    {
        // Drawn on a 280 x 240 frame scaled to the widget.
        constexpr double FrameWidth = 280;
        constexpr double FrameHeight = 240;
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(rect(), Qt::white);
        p.scale(width() / FrameWidth, height() / FrameHeight);

        const QPointF heelBottom(80, 200);
        const QPointF backTop(120, 50);
        const QPointF toeBottom(30, 200);
        const QPointF frontTop(85, 50);
        const QPointF surfaceEnd(270, 20);

        // Soil behind the wall, up to the sloping surface.
        QPainterPath soil;
        soil.moveTo(heelBottom);
        soil.lineTo(backTop);
        soil.lineTo(surfaceEnd);
        soil.lineTo(270, 200);
        soil.closeSubpath();
        p.fillPath(soil, QColor(230, 215, 180));
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(backTop, surfaceEnd);

        // The wall.
        QPolygonF wall;
        wall << toeBottom << heelBottom << backTop << frontTop;
        p.setBrush(QColor(200, 200, 200));
        p.drawPolygon(wall);
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(10, 200), QPointF(270, 200));

        // Water table.
        const double waterY = 125;
        const double backAtWater = heelBottom.x()
            + (backTop.x() - heelBottom.x()) * (heelBottom.y() - waterY)
                / (heelBottom.y() - backTop.y());
        p.setPen(QPen(Qt::blue, 1, Qt::DashLine));
        p.drawLine(QPointF(backAtWater, waterY), QPointF(270, waterY));
        p.setPen(QPen(Qt::blue, 1));
        QPolygonF marker;
        marker << QPointF(200, waterY - 8) << QPointF(212, waterY - 8) << QPointF(206, waterY);
        p.drawPolygon(marker);

        QFont font = p.font();
        font.setPointSizeF(9);
        p.setFont(font);
        QFont small = font;
        small.setPointSizeF(7);

        // Surcharge arrows on the surface.
        p.setPen(QPen(Qt::darkRed, 1));
        for (int arrow = 0; arrow < 5; ++arrow) {
            const double x = 150 + 25 * arrow;
            const double surfaceY = backTop.y()
                + (surfaceEnd.y() - backTop.y()) * (x - backTop.x())
                    / (surfaceEnd.x() - backTop.x());
            p.drawLine(QPointF(x, surfaceY - 16), QPointF(x, surfaceY - 2));
            p.drawLine(QPointF(x, surfaceY - 2), QPointF(x - 3, surfaceY - 7));
            p.drawLine(QPointF(x, surfaceY - 2), QPointF(x + 3, surfaceY - 7));
        }
        p.drawText(QPointF(200, 12), QStringLiteral("q"));

        // Reference lines and angles.
        p.setPen(QPen(Qt::darkGray, 1, Qt::DotLine));
        p.drawLine(heelBottom, QPointF(heelBottom.x(), backTop.y()));
        p.drawLine(backTop, QPointF(backTop.x() + 60, backTop.y()));
        p.setPen(QPen(Qt::black, 1));
        p.drawText(QPointF(heelBottom.x() + 6, 110), Theta);
        p.drawText(QPointF(backTop.x() + 45, backTop.y() - 2), Beta);

        // Soil pressure on the back face, inclined to its normal by delta.
        p.setPen(QPen(Qt::darkGreen, 1.5));
        const QPointF onBack(96, 160);
        const QPointF tail(140, 150);
        p.drawLine(tail, onBack);
        p.drawLine(onBack, onBack + QPointF(7, -5));
        p.drawLine(onBack, onBack + QPointF(8, 2));
        p.drawText(QPointF(142, 152), Delta);

        // Depths h and hw, measured down from the top of the soil at the wall.
        p.setPen(QPen(Qt::black, 1));
        const auto dimension = [&](double x, double y0, double y1) {
            p.drawLine(QPointF(x, y0), QPointF(x, y1));
            p.drawLine(QPointF(x - 3, y0), QPointF(x + 3, y0));
            p.drawLine(QPointF(x - 3, y1), QPointF(x + 3, y1));
        };
        dimension(250, backTop.y(), heelBottom.y());
        p.drawText(QPointF(255, 170), QStringLiteral("h"));
        dimension(180, backTop.y(), waterY);
        p.drawText(QPointF(164, 92), QStringLiteral("h"));
        p.setFont(small);
        p.drawText(QPointF(171, 95), QStringLiteral("w"));
        p.setFont(font);
        p.drawText(QPointF(12, 225), QStringLiteral("Per unit length of wall"));
    }
};

} // namespace

void SetCalculatorPrintHandler(CalculatorPrintHandler handler)
{
    PrintHandler() = std::move(handler);
}

void ShowCalculator(QWidget* parent, const Project& project)
{
    CalculatorWindow window(project, parent);
    window.exec();
}

CalculatorWindow::CalculatorWindow(const Project& project, QWidget* parent)
    : QDialog(parent)
    , project_(project)
    , input_(CalculatorInputFromProject(project))
    , title_(QStringLiteral("Pendrake: Calculator"))
{
    setObjectName(QStringLiteral("frmCalculator"));
    setWindowTitle(title_);
    setModal(true);

    auto* outer = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* inputs = new QWidget(this);
    BuildInputs(inputs);
    top->addWidget(inputs, 0, Qt::AlignTop);
    top->addWidget(new SoilSketch(this), 0, Qt::AlignTop);
    top->addStretch(1);
    outer->addLayout(top);

    auto* results = new QWidget(this);
    BuildResults(results);
    outer->addWidget(results);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    print_ = new QPushButton(QStringLiteral("&Print"), this);
    print_->setObjectName(QStringLiteral("Command2"));
    print_->setAutoDefault(false);
    // The page comes with the report; until a print job is installed there is nothing to run.
    print_->setEnabled(static_cast<bool>(PrintHandler()));
    connect(print_, &QPushButton::clicked, this, &CalculatorWindow::Print);
    close_ = new QPushButton(QStringLiteral("&Close"), this);
    close_->setObjectName(QStringLiteral("Command1"));
    close_->setAutoDefault(false);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(print_);
    buttons->addWidget(close_);
    outer->addLayout(buttons);

    for (int i = 0; i < CalculatorInputCount; ++i)
        txtValue_[size_t(i)]->setText(Value(double(input_.*CalculatorInputFields[size_t(i)])));
    Recompute();
}

void CalculatorWindow::BuildInputs(QWidget* area)
{
    const int u = std::clamp<int>(project_.UnitSystem, Metric, British);
    const QString unitWeight = Label(UnitWeightUnit[u]);
    const QString length = Label(LengthUnit[u]);
    const std::array<QString, CalculatorInputCount> captions = {
        QStringLiteral("Wet density of soil (") + Gamma + QStringLiteral("):"),
        QStringLiteral("Saturated density of soil (") + Gamma + QStringLiteral("<sub>sat</sub>):"),
        QStringLiteral("Density of water (") + Gamma + QStringLiteral("<sub>w</sub>)"),
        QStringLiteral("Internal friction angle (") + Phi + QStringLiteral("):"),
        QStringLiteral("Cohesion (c):"),
        QStringLiteral("Soil slope (") + Beta + QStringLiteral("):"),
        QStringLiteral("Wall friction angle (") + Delta + QStringLiteral("):"),
        QStringLiteral("Wall inclination (") + Theta + QStringLiteral("):"),
        QStringLiteral("Depth of soil (h):"),
        QStringLiteral("Depth of water table (h<sub>w</sub>):"),
        QStringLiteral("Surcharge load (q):"),
        QStringLiteral("Hor. seismic coefficient (k<sub>h</sub>):"),
    };
    const std::array<QString, CalculatorInputCount> units
        = { unitWeight, unitWeight, unitWeight, Degree, Label(StressUnit[u]), Degree, Degree,
              Degree, length, length, Label(PressureUnit[u]), QString() };

    auto* grid = new QGridLayout(area);
    grid->setVerticalSpacing(Px(30));
    for (int i = 0; i < CalculatorInputCount; ++i) {
        grid->addWidget(RichCaption(area, captions[size_t(i)]), i, 0);
        auto* box = new QLineEdit(area);
        box->setObjectName(Indexed("txtValue", i));
        box->setAlignment(Qt::AlignRight);
        box->setMaximumWidth(Px(ValueCellWidth));
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, this, [this, box] { edited_ = box; });
        txtValue_[size_t(i)] = box;
        grid->addWidget(box, i, 1);
        grid->addWidget(NamedLabel(area, Indexed("lblUnit", i), units[size_t(i)]), i, 2);
    }
}

void CalculatorWindow::BuildResults(QWidget* area)
{
    const int u = std::clamp<int>(project_.UnitSystem, Metric, British);
    const QString pressure = Label(PressureUnit[u]);
    const QString length = Label(LengthUnit[u]);
    const QString force = Label(ForceUnit[u]) + QLatin1Char('/') + length;

    auto* grid = new QGridLayout(area);
    grid->setHorizontalSpacing(Px(180));
    constexpr int HeadRows = 2;
    constexpr int UnitColumn = 6;

    const auto head = [&](const QString& text, int row, int column, int span) {
        QLabel* label = NamedLabel(area, QString(), text);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        MakeBold(label);
        grid->addWidget(label, row, column, 1, span);
    };
    head(QStringLiteral("Active"), 0, 1, 2);
    head(QStringLiteral("Passive"), 0, 3, 2);
    head(QStringLiteral("At rest"), 0, 5, 1);
    for (const int column : { 1, 3, 5 })
        head(QStringLiteral("Normal condition"), 1, column, 1);
    for (const int column : { 2, 4 })
        head(QStringLiteral("Seismic condition"), 1, column, 1);

    // Value rows with their captions; the two group captions sit in rows of their own.
    struct ResultRow {
        QString Caption;
        QString Unit;
    };
    const QString depth = QStringLiteral("Depth of resultant:");
    const std::array<ResultRow, ResultRowCount> rows = { {
        { QStringLiteral("Pressure coefficient (K):"), QString() },
        { QStringLiteral("At top of wall:"), pressure },
        { QStringLiteral("At water table:"), pressure },
        { QStringLiteral("At bottom of wall:"), pressure },
        { QStringLiteral("Above water table:"), force },
        { depth, length },
        { QStringLiteral("Below water table:"), force },
        { depth, length },
        { QStringLiteral("Total:"), force },
        { depth, length },
    } };
    int gridRow = HeadRows;
    for (int k = 0; k < ResultRowCount; ++k) {
        if (k == 1 || k == 4) {
            QLabel* group = NamedLabel(area, QString(),
                k == 1 ? QStringLiteral("Soil pressures (P):")
                       : QStringLiteral("Soil forces (F):"));
            grid->addWidget(group, gridRow++, 0);
        }
        const bool indented = k > 0;
        grid->addWidget(
            NamedLabel(area, QString(),
                (indented ? QStringLiteral("    ") : QString()) + rows[size_t(k)].Caption),
            gridRow, 0);
        const auto value = [&](ResultColumn& column, const char* name, int at) {
            column[size_t(k)] = NamedLabel(area, Indexed(name, k));
            column[size_t(k)]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            column[size_t(k)]->setMinimumWidth(Px(ValueCellWidth));
            grid->addWidget(column[size_t(k)], gridRow, at);
        };
        value(lblResultA1_, "lblResultA1", 1);
        value(lblResultA2_, "lblResultA2", 2);
        value(lblResultP1_, "lblResultP1", 3);
        value(lblResultP2_, "lblResultP2", 4);
        value(lblResultR_, "lblResultR", 5);
        grid->addWidget(NamedLabel(area, Indexed("lblUnitResultB", k), rows[size_t(k)].Unit),
            gridRow, UnitColumn);
        ++gridRow;
    }

    // Inclination of the soil pressure and the water.
    const std::array<ResultRow, 4> others = { {
        { QStringLiteral("Pressure inclination (") + Theta + QStringLiteral(" + ") + Delta
                + QStringLiteral("):"),
            Degree },
        { QStringLiteral("Water pressure at bottom (P<sub>w</sub>):"), pressure },
        { QStringLiteral("Water force (F<sub>w</sub>):"), force },
        { QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;Depth of resultant:"), length },
    } };
    for (int k = 0; k < int(others.size()); ++k) {
        grid->addWidget(RichCaption(area, others[size_t(k)].Caption), gridRow, 0);
        lblResult_[size_t(k)] = NamedLabel(area, Indexed("lblResult", k));
        lblResult_[size_t(k)]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(lblResult_[size_t(k)], gridRow, 1);
        grid->addWidget(
            NamedLabel(area, Indexed("lblUnitResult", k), others[size_t(k)].Unit), gridRow, 2);
        ++gridRow;
    }
    lblNotes_ = NamedLabel(area, QStringLiteral("lblNotes"));
    lblNotes_->setWordWrap(true);
    lblNotes_->setVisible(false);
    grid->addWidget(lblNotes_, gridRow, 0, 1, UnitColumn + 2);
    grid->setColumnStretch(UnitColumn + 1, 1);
}

void CalculatorWindow::Recompute()
{
    result_ = ComputeSoilPressure(input_);
    ShowResults();
    // The computation made while the window opens speaks before the window shows, over its caller.
    QWidget* owner = isVisible() ? this : parentWidget();
    for (const std::string& message : result_.Messages)
        ShowMessage(owner, QMessageBox::Warning, title_, QString::fromStdString(message));
}

void CalculatorWindow::ShowResults()
{
    const CalculatorResult& r = result_;
    const auto normal = [](ResultColumn& column, const std::optional<float>& k,
                            const std::optional<NormalPressureResult>& d) {
        column[0]->setText(Coefficient(k));
        for (size_t i = 0; i < 3; ++i) {
            column[1 + i]->setText(d ? Value(double(d->Pressure[i])) : NoValue);
            column[4 + 2 * i]->setText(d ? Value(double(d->Force[i])) : NoValue);
            column[5 + 2 * i]->setText(d ? Value(double(d->Depth[i])) : NoValue);
        }
    };
    const auto seismic = [](ResultColumn& column, const std::optional<float>& k,
                             const std::optional<SeismicPressureResult>& d) {
        column[0]->setText(Coefficient(k));
        column[1]->setText(d ? Value(double(d->Pressure[0])) : NoValue);
        // At the water table the diagram steps: the ordinate for the soil above, then below.
        column[2]->setText(d
                ? Value(double(d->Pressure[3])) + QLatin1Char('/') + Value(double(d->Pressure[1]))
                : NoValue);
        column[3]->setText(d ? Value(double(d->Pressure[2])) : NoValue);
        for (size_t i = 0; i < 3; ++i) {
            column[4 + 2 * i]->setText(d ? Value(double(d->Force[i])) : NoValue);
            column[5 + 2 * i]->setText(d ? Value(double(d->Depth[i])) : NoValue);
        }
    };
    normal(lblResultA1_, r.Ka, r.ActiveNormal);
    seismic(lblResultA2_, r.Kae, r.ActiveSeismic);
    normal(lblResultP1_, r.Kp, r.PassiveNormal);
    seismic(lblResultP2_, r.Kpe, r.PassiveSeismic);
    normal(lblResultR_, r.K0, r.AtRest);
    lblResult_[0]->setText(Value(r.PressureInclination));
    lblResult_[1]->setText(Value(r.BottomWaterPressure));
    lblResult_[2]->setText(Value(r.WaterForce));
    lblResult_[3]->setText(Value(r.WaterDepthOfResultant));
    QStringList notes;
    for (const std::string& note : r.Notes)
        notes << QStringLiteral("Note: ") + QString::fromStdString(note);
    lblNotes_->setText(notes.join(QLatin1Char('\n')));
    lblNotes_->setVisible(!notes.isEmpty());
}

int CalculatorWindow::FindBox(const QObject* watched) const
{
    for (int i = 0; i < CalculatorInputCount; ++i)
        if (txtValue_[size_t(i)] == watched)
            return i;
    return -1;
}

bool CalculatorWindow::ApplyInput(int index)
{
    QLineEdit* box = txtValue_[size_t(index)];
    if (edited_ != box)
        return true;
    const std::optional<double> typed = ParseEditValue(box->text().toStdString());
    if (!typed || !SetCalculatorInput(input_, CalculatorInputNames[size_t(index)], *typed)) {
        refusing_ = true;
        Beep();
        box->setFocus();
        refusing_ = false;
        return false;
    }
    // The slope box keeps the typed slope even when the computation works with the friction
    // angle: the message then recurs at every computation, as the slope is still too steep.
    box->setText(Value(*typed));
    // The input keeps the typed value in full; the box shows it to two decimals.
    // A water table below the soil is put at the bottom of the soil, and the box says so.
    if (index == SoilDepthBox || index == WaterDepthBox)
        txtValue_[WaterDepthBox]->setText(Value(double(input_.WaterDepth)));
    edited_ = nullptr;
    Recompute();
    return true;
}

bool CalculatorWindow::eventFilter(QObject* watched, QEvent* event)
{
    const int index = FindBox(watched);
    if (index < 0 || refusing_)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Enter checks and takes the entry as leaving would, and the focus stays in the box.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            ApplyInput(index);
            return true;
        }
    } else if (event->type() == QEvent::FocusOut) {
        const auto* focus = static_cast<QFocusEvent*>(event);
        // Only a move to another control of this window validates. A click on Close leaves
        // unchecked, as the inputs go with the window; Tab onto Close still takes the entry.
        const QWidget* next = QApplication::focusWidget();
        const bool closing = next == close_ && focus->reason() == Qt::MouseFocusReason;
        const bool withinWindow = next != nullptr && !closing && isAncestorOf(next);
        if (withinWindow && focus->reason() != Qt::ActiveWindowFocusReason
            && focus->reason() != Qt::PopupFocusReason)
            ApplyInput(index);
    }
    return QDialog::eventFilter(watched, event);
}

void CalculatorWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void CalculatorWindow::Print()
{
    // A typed input not yet taken over is checked first; a refused one prints nothing.
    if (edited_ != nullptr && !ApplyInput(FindBox(edited_)))
        return;
    if (!PrintHandler())
        return;
    setWindowTitle(title_ + QStringLiteral(" (Printing .....)"));
    try {
        PrintHandler()(this, project_, input_, result_);
    } catch (const std::exception& e) {
        ShowWarning(this, QString::fromStdString(e.what()));
    }
    setWindowTitle(title_);
}

} // namespace pendrake::ui
