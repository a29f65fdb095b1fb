// The stability window: every value of one stability run in the project's units, "--" for anchor
// values that do not arise, and the notes of the analysis.
#include "ui/StabilityWindow.h"

#include "model/NumberFormat.h"
#include "model/Units.h"

#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace pendrake::ui {

namespace {

constexpr std::string_view ValuePattern = "#0.#0";
const QString NotApplicable = QStringLiteral("--");
const QString Infinity = QString(QChar(0x221E));
const QString NoteMark = QString(QChar(0x00BB));
// The base span's symbol in the eccentricity comparisons.
const QString WidthSymbol = QStringLiteral("B");
constexpr int SixthOfBase = 6;
constexpr int ThirdOfBase = 3;

QString Value(double v)
{
    return QString::fromStdString(FormatNumber(v, ValuePattern));
}
QString Label(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

QString SafetyText(double factor)
{
    return IsInfiniteSafety(factor) ? Infinity : Value(factor);
}

QString EccentricityCheckText(double e, double baseSpan)
{
    const auto compare = [&](int part) {
        const double limit = baseSpan / part;
        return (std::abs(e) < limit ? QStringLiteral("< ") : QStringLiteral("> ")) + WidthSymbol
            + QStringLiteral("/") + QString::number(part) + QStringLiteral(" = ") + Value(limit);
    };
    return compare(SixthOfBase) + QStringLiteral(", ") + compare(ThirdOfBase);
}

StabilityWindow::StabilityWindow(
    const Project& p, const StabilityResults& r, const QString& greekFont, QWidget* parent)
    : QDialog(parent)
    , greekFont_(greekFont)
{
    setObjectName(QStringLiteral("frmStability"));
    setWindowTitle(QStringLiteral("Pendrake: Stability"));
    setModal(true);

    const int u = std::clamp<int>(p.UnitSystem, Metric, British);
    const QString force = Label(ForceUnit[u]);
    const QString length = Label(LengthUnit[u]);
    const QString pressure = Label(PressureUnit[u]);
    const QString stress = Label(StressUnit[u]);
    const QString moment = force + length;

    // Greek letters as Unicode characters set in the Greek font; subscripts as rich text.
    const auto greek = [&](const QString& letters) {
        return QStringLiteral("<span style=\"font-family:'%1'\">%2</span>")
            .arg(greekFont_.toHtmlEscaped(), letters);
    };
    const QString sigmaSum = greek(QString(QChar(0x03A3)));
    const QString sigma = greek(QString(QChar(0x03C3)));

    auto* outer = new QVBoxLayout(this);
    grid_ = new QGridLayout;
    grid_->setHorizontalSpacing(8);
    grid_->setColumnStretch(4, 1);
    outer->addLayout(grid_);

    AddHeading(QStringLiteral("External forces:"));
    AddRow(QStringLiteral("Vertical force (") + sigmaSum + QStringLiteral("V) ="),
        QStringLiteral("TotalVertical"), Value(r.TotalVertical), force);
    AddRow(QStringLiteral("Horizontal force (") + sigmaSum + QStringLiteral("H) ="),
        QStringLiteral("TotalHorizontal"), Value(r.TotalHorizontal), force);
    AddRow(QStringLiteral("Moment at overturning point (") + sigmaSum
            + QStringLiteral("M<sub>o</sub>) ="),
        QStringLiteral("TotalMoment"), Value(r.TotalMoment), moment);
    // Resisting over overturning moment about the toe front, each force component on its side.
    AddRow(QStringLiteral("Overturning safety factor ="), QStringLiteral("OverturningSafety"),
        SafetyText(r.OverturningSafety), QString());

    // With no vertical force the resultant never crosses the base: it has no position to show.
    const bool placed = r.ResultantDefined && std::isfinite(r.ResultantX);
    AddRow(QStringLiteral("Moment at midbase (") + sigmaSum + QStringLiteral("M<sub>m</sub>) ="),
        QStringLiteral("MidbaseMoment"), placed ? Value(r.MidbaseMoment) : NotApplicable, moment);

    AddHeading(QStringLiteral("Eccentricities:"));
    AddRow(QStringLiteral("At overturning point (e<sub>o</sub>) ="), QStringLiteral("ResultantX"),
        placed ? Value(r.ResultantX) : NotApplicable, length);
    AddRow(QStringLiteral("At midbase (e<sub>m</sub>) ="), QStringLiteral("MidbaseEccentricity"),
        placed ? Value(r.MidbaseEccentricity) : NotApplicable, length);
    auto* check = new QLabel(
        placed ? EccentricityCheckText(r.MidbaseEccentricity, r.BaseSpan) : QString(), this);
    check->setObjectName(QStringLiteral("lblEccentricityCheck"));
    grid_->addWidget(check, row_ - 1, 3);

    // An unstable wall has no base pressure, sliding or anchor values to speak of.
    const bool stable = r.Stable;
    const auto shown = [&](const QString& text) { return stable ? text : QString(); };

    AddHeading(QStringLiteral("Foundation pressures:"));
    AddRow(QStringLiteral("Maximum (") + sigma + QStringLiteral("<sub>max</sub>) ="),
        QStringLiteral("BasePressureMax"), shown(Value(r.BasePressureMax)), pressure);
    AddRow(QStringLiteral("Minimum (") + sigma + QStringLiteral("<sub>min</sub>) ="),
        QStringLiteral("BasePressureMin"), shown(Value(r.BasePressureMin)), pressure);
    AddRow(QStringLiteral("Minimum safety factor ="), QStringLiteral("BearingSafetyMin"),
        shown(SafetyText(r.BearingSafetyMin)), QString());

    AddHeading(QStringLiteral("Shear friction:"));
    AddRow(QStringLiteral("with shearing stress ="), QStringLiteral("SlidingShear"),
        shown(Value(r.SlidingShear)), pressure);
    AddRow(QStringLiteral("and resisting stress ="), QStringLiteral("SlidingResistance"),
        shown(Value(r.SlidingResistance)), pressure);
    AddRow(QStringLiteral("Minimum safety factor ="), QStringLiteral("SlidingSafetyMin"),
        shown(SafetyText(r.SlidingSafetyMin)), QString());

    // Anchor stresses come out of the analysis per unit of the pressure unit; the engineer
    // compares them with the yield and shear stresses entered in the stress unit.
    const double toStress = 1.0 / StressToPressure(p.UnitSystem);
    const bool anchorsIdle = r.AnchorTensionMax == 0 || AnchorRowsPlaced(p) == 0;
    const auto anchor
        = [&](const QString& text) { return shown(anchorsIdle ? NotApplicable : text); };
    AddHeading(QStringLiteral("Anchors:"));
    AddRow(QStringLiteral("Maximum tension ="), QStringLiteral("AnchorTensionMax"),
        anchor(Value(r.AnchorTensionMax)), force);
    AddRow(QStringLiteral("Maximum tension stress ="), QStringLiteral("AnchorTensionStress"),
        anchor(Value(r.AnchorTensionStress * toStress)), stress);
    AddRow(QStringLiteral("Safety factor ="), QStringLiteral("AnchorTensionSafety"),
        anchor(SafetyText(r.AnchorTensionSafety)), QString());
    AddRow(QStringLiteral("Maximum shear ="), QStringLiteral("AnchorShearMax"),
        anchor(Value(r.AnchorShearMax)), force);
    AddRow(QStringLiteral("Maximum shear stress ="), QStringLiteral("AnchorShearStress"),
        anchor(Value(r.AnchorShearStress * toStress)), stress);
    AddRow(QStringLiteral("Safety factor ="), QStringLiteral("AnchorShearSafety"),
        anchor(SafetyText(r.AnchorShearSafety)), QString());

    auto* perLength
        = new QLabel(QStringLiteral("Per 1 ") + length + QStringLiteral(" of wall length."), this);
    perLength->setObjectName(QStringLiteral("lblPerLength"));
    outer->addWidget(perLength);

    QString notes = QStringLiteral("Note:");
    for (const std::string& note : StabilityNotes(p, r))
        notes += QLatin1Char('\n') + NoteMark + QString::fromStdString(note);
    auto* noteLabel = new QLabel(notes, this);
    noteLabel->setObjectName(QStringLiteral("lblNotes"));
    noteLabel->setTextFormat(Qt::PlainText);
    noteLabel->setWordWrap(true);
    outer->addWidget(noteLabel);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(close);
    outer->addLayout(buttons);
}

void StabilityWindow::AddHeading(const QString& text)
{
    auto* heading = new QLabel(text, this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    grid_->addWidget(heading, row_++, 0, 1, 4);
}

QLabel* StabilityWindow::AddRow(
    const QString& caption, const QString& name, const QString& value, const QString& unit)
{
    auto* captionLabel = new QLabel(QStringLiteral("&nbsp;&nbsp;&nbsp;") + caption, this);
    captionLabel->setTextFormat(Qt::RichText);
    grid_->addWidget(captionLabel, row_, 0);

    auto* valueLabel = new QLabel(value, this);
    valueLabel->setObjectName(QStringLiteral("lbl") + name);
    valueLabel->setTextFormat(Qt::PlainText);
    valueLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    valueLabel->setMinimumWidth(
        valueLabel->fontMetrics().horizontalAdvance(QStringLiteral("-00000.00")));
    grid_->addWidget(valueLabel, row_, 1);

    auto* unitLabel = new QLabel(unit, this);
    unitLabel->setObjectName(QStringLiteral("lbl") + name + QStringLiteral("Unit"));
    unitLabel->setTextFormat(Qt::PlainText);
    grid_->addWidget(unitLabel, row_, 2);
    ++row_;
    return valueLabel;
}

} // namespace pendrake::ui
