// The parametric study window: the range typed and checked, the sweep on a worker thread with
// progress and cancel, the chart of the factors against the input, the summary and the CSV.
#include "ui/ParametricStudy.h"

#include "analysis/Stability.h"
#include "document/ProjectDocument.h"
#include "model/DimensionEdit.h"
#include "model/Units.h"
#include "search/Inputs.h"
#include "ui/DesignTargetSettings.h"
#include "ui/Platform.h"
#include "ui/UnitText.h"

#include <QChart>
#include <QChartView>
#include <QColor>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QMetaObject>
#include <QPen>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QStringList>
#include <QThread>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <exception>
#include <map>
#include <utility>

namespace pendrake::ui {

namespace {

// The plain fields of the record a study may vary, with the unit each is entered in.
struct PlainInput {
    const char* Name;
    const UnitLabels* Unit; // nullptr: a pure number
};
constexpr std::array<PlainInput, 22> PlainInputs { {
    { "ConcUnitWeight", &UnitWeightUnit },
    { "ConcFc", &StressUnit },
    { "RebarFy", &StressUnit },
    { "ConcCover", &SmallLengthUnit },
    { "WaterUnitWeight", &UnitWeightUnit },
    { "DeltaEarth", &AngleUnit },
    { "DeltaConcrete", &AngleUnit },
    { "FillUnitWeight", &UnitWeightUnit },
    { "FillDryDensity", &UnitWeightUnit },
    { "FillSatDensity", &UnitWeightUnit },
    { "FillPhi", &AngleUnit },
    { "FillCohesion", &StressUnit },
    { "BasePhi", &AngleUnit },
    { "BaseCohesion", &StressUnit },
    { "BaseQd", &StressUnit },
    { "BaseE", &ModulusUnit },
    { "AnchorYield", &StressUnit },
    { "AnchorShear", &StressUnit },
    { "AnchorDia", &SmallLengthUnit },
    { "AnchorE", &ModulusUnit },
    { "Surcharge", &PressureUnit },
    { "SeismicCoef", nullptr },
} };

// The utilisation is demand over capacity: a wall carries its loads up to 1.
constexpr double UtilisationTarget = 1.0;
constexpr const char* UtilisationName = "LargestUtilisation";
// The factor axis stops at this multiple of the highest target: a wall with ten times the
// needed safety reads as safe enough, and a near-infinite factor does not flatten the rest.
constexpr double AxisTopOverTarget = 5.0;
// Room above the highest point drawn.
constexpr double AxisHeadroom = 1.1;
// One colour per curve, the utilisation darkest, so that no two curves share one.
constexpr std::array<QRgb, SafetyCheckCount> FactorColour { 0x1f77b4, 0x2ca02c, 0xff7f0e, 0x9467bd,
    0x8c564b };
constexpr QRgb UtilisationColour = 0x202020;

QString Q(std::string_view text)
{
    return Utf8(text);
}

QPushButton* Button(const QString& caption, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

// The unit the input is typed in, in the project's unit system; empty for a pure number.
QString InputUnit(const Project& project, const WallInput& input)
{
    if (input.Dimension >= 0)
        return QString::fromStdString(DimensionUnit(project, input.Dimension));
    const auto system = size_t(std::clamp<int>(project.UnitSystem, Metric, British));
    for (const PlainInput& p : PlainInputs) {
        if (input.Name == p.Name)
            return p.Unit != nullptr ? Q((*p.Unit)[system]) : QString();
    }
    return {};
}

QString ValueText(const WallInput& input, double value)
{
    if (input.Dimension >= 0)
        return QString::number(value, 'f', DimensionDecimals);
    return QString::number(value, 'g', 6);
}

// A value with its unit as the engineer reads it: "0.50 m", and the backfill slope as its ratio,
// "1 : 1.50".
QString Shown(const Project& project, const WallInput& input, double value)
{
    if (input.Dimension == BackfillSlopeDimension)
        return QStringLiteral("1 : ") + ValueText(input, value);
    const QString unit = InputUnit(project, input);
    return unit.isEmpty() ? ValueText(input, value) : ValueText(input, value) + ' ' + unit;
}

QString FactorText(double f)
{
    if (IsInfiniteSafety(f) || std::isinf(f))
        return QStringLiteral("\u221E");
    return QString::number(f, 'f', 2);
}

// The view hands the chart it drew before back to its owner, the caller.
void ReplaceChart(QChartView* view, QChart* chart)
{
    QChart* before = view->chart();
    view->setChart(chart);
    delete before;
}

bool ShownCheck(int k, bool anchors)
{
    const auto check = static_cast<SafetyCheck>(k);
    return anchors || (check != SafetyCheck::AnchorTension && check != SafetyCheck::AnchorShear);
}

QString Points(int64_t n)
{
    return QString::number(n) + (n == 1 ? QStringLiteral(" point") : QStringLiteral(" points"));
}

} // namespace

DesignTargets StudyTargets()
{
    // The engineer's targets, as the optimization keeps them between sessions.
    return LoadDesignTargets();
}

ParametricStudyWindow::ParametricStudyWindow(
    const Project& project, const DesignTargets& targets, QWidget* parent)
    : QDialog(parent)
    , project_(project)
    , targets_(targets)
{
    setObjectName(QStringLiteral("frmStudy"));
    setWindowTitle(QStringLiteral("Parametric Study"));

    input_ = new QComboBox(this);
    input_->setObjectName(QStringLiteral("cboInput"));
    const auto addInput = [this](std::string_view name) {
        if (const auto input = WallInputByName(name)) {
            const QString unit = InputUnit(project_, *input);
            input_->addItem(
                unit.isEmpty() ? Q(name) : Q(name) + QStringLiteral(" (") + unit + ')', Q(name));
        }
    };
    for (const std::string_view name : DimensionFieldName)
        addInput(name);
    input_->insertSeparator(input_->count());
    for (const PlainInput& p : PlainInputs)
        addInput(p.Name);
    current_ = new QLabel(this);
    current_->setObjectName(QStringLiteral("lblCurrent"));

    const auto box = [this](const char* name) {
        auto* b = new QLineEdit(this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    from_ = box("txtFrom");
    to_ = box("txtTo");
    count_ = box("txtCount");
    count_->setText(QStringLiteral("21"));
    run_ = Button(QStringLiteral("&Run"), "cmdRun", this);
    run_->setDefault(true);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("barProgress"));
    progress_->setRange(0, 1);
    progress_->setValue(0);
    cancelButton_ = Button(QStringLiteral("Cancel"), "cmdCancel", this);
    cancelButton_->setEnabled(false);

    chart_ = new QChartView(this);
    chart_->setObjectName(QStringLiteral("chtStudy"));
    chart_->setRenderHint(QPainter::Antialiasing);
    chart_->setMinimumSize(Px(7200), Px(4800));
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("lblSummary"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("lblNote"));
    note_->setWordWrap(true);
    save_ = Button(QStringLiteral("&Save CSV..."), "cmdSave", this);
    save_->setEnabled(false);
    auto* close = Button(QStringLiteral("Close"), "cmdClose", this);

    auto* range = new QGridLayout;
    const auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    range->addWidget(label(QStringLiteral("&Input:"), input_), 0, 0);
    range->addWidget(input_, 0, 1, 1, 3);
    range->addWidget(current_, 0, 4, 1, 3);
    range->addWidget(label(QStringLiteral("&From:"), from_), 1, 0);
    range->addWidget(from_, 1, 1);
    range->addWidget(label(QStringLiteral("&To:"), to_), 1, 2);
    range->addWidget(to_, 1, 3);
    range->addWidget(label(QStringLiteral("C&ount:"), count_), 1, 4);
    range->addWidget(count_, 1, 5);
    range->addWidget(run_, 1, 6);
    auto* running = new QHBoxLayout;
    running->addWidget(progress_, 1);
    running->addWidget(cancelButton_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save_);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(range);
    layout->addLayout(running);
    layout->addWidget(chart_, 1);
    layout->addWidget(summary_);
    layout->addWidget(note_);
    layout->addLayout(buttons);
    resize(Px(14400), Px(10800));

    connect(input_, &QComboBox::currentIndexChanged, this, &ParametricStudyWindow::InputChosen);
    connect(run_, &QPushButton::clicked, this, &ParametricStudyWindow::Start);
    connect(cancelButton_, &QPushButton::clicked, this, &ParametricStudyWindow::Cancel);
    connect(save_, &QPushButton::clicked, this, &ParametricStudyWindow::SaveAs);
    connect(close, &QPushButton::clicked, this, &ParametricStudyWindow::reject);

    InputChosen();
    ClearStudy();
}

ParametricStudyWindow::~ParametricStudyWindow()
{
    if (worker_) {
        stop_.store(true);
        worker_->wait();
    }
}

void ParametricStudyWindow::InputChosen()
{
    const auto input = WallInputByName(input_->currentData().toString().toStdString());
    if (!input)
        return;
    // A range about the value the wall has now: half of it to one and a half times it.
    const double now = InputValue(project_, *input);
    current_->setText(QStringLiteral("Now: ") + Shown(project_, *input, now));
    from_->setText(ValueText(*input, now > 0 ? now / 2 : 0.0));
    to_->setText(ValueText(*input, now > 0 ? now * 3 / 2 : 1.0));
}

std::optional<SweepRange> ParametricStudyWindow::TypedRange()
{
    const auto refuse = [this](QLineEdit* box, const QString& why) {
        ShowWarning(this, why);
        box->setFocus();
        box->selectAll();
        return std::nullopt;
    };
    const auto input = WallInputByName(input_->currentData().toString().toStdString());
    if (!input)
        return refuse(from_, QStringLiteral("Choose the input the study varies."));
    const std::optional<double> from = ParseEditValue(from_->text().toStdString());
    if (!from)
        return refuse(from_, QStringLiteral("From is not a number."));
    const std::optional<double> to = ParseEditValue(to_->text().toStdString());
    if (!to)
        return refuse(to_, QStringLiteral("To is not a number."));
    bool whole = false;
    const qlonglong count = count_->text().trimmed().toLongLong(&whole);
    if (!whole || count < 2 || count > StudyMaxPoints) {
        return refuse(count_,
            QStringLiteral("Count must be a whole number from 2 to ")
                + QString::number(StudyMaxPoints) + '.');
    }
    const QString name = Q(input->Name);
    if (*from < 0)
        return refuse(from_, name + QStringLiteral(" cannot be negative: From must be 0 or more."));
    if (*to < 0)
        return refuse(to_, name + QStringLiteral(" cannot be negative: To must be 0 or more."));
    if (*from == *to)
        return refuse(to_, QStringLiteral("From and To are equal: the study needs a range."));
    return SweepRange { *input, *from, *to, count };
}

bool ParametricStudyWindow::Start()
{
    if (worker_)
        return false;
    const std::optional<SweepRange> range = TypedRange();
    if (!range)
        return false;
    SweepPlan plan;
    plan.Ranges.push_back(*range);
    if (const std::string why = CheckSweepPlan(plan); !why.empty()) {
        ShowWarning(this, QString::fromStdString(why));
        return false;
    }

    running_ = plan;
    result_.clear();
    error_.clear();
    stop_.store(false);
    progress_->setRange(0, int(SweepPointCount(plan)));
    progress_->setValue(0);
    SetRunning(true);
    // The worker owns copies of the record and the plan; it hands its points back through
    // result_, read only once it has ended.
    worker_.reset(QThread::create([this, project = project_, plan, targets = targets_] {
        SweepOptions options;
        options.Cancel = &stop_;
        options.Progress = [this](int64_t done, int64_t) {
            QMetaObject::invokeMethod(
                this, [this, done] { progress_->setValue(int(done)); }, Qt::QueuedConnection);
        };
        try {
            result_ = RunSweep(project, plan, targets, 0, options);
        } catch (const std::exception& e) {
            error_ = e.what();
        }
    }));
    // Only this run's end counts: a window closed mid-run has already taken its end.
    QThread* worker = worker_.get();
    connect(
        worker, &QThread::finished, this,
        [this, worker] {
            if (worker_.get() == worker)
                Finished();
        },
        Qt::QueuedConnection);
    worker_->start();
    return true;
}

void ParametricStudyWindow::Cancel()
{
    if (!worker_)
        return;
    stop_.store(true);
    cancelButton_->setEnabled(false);
    note_->setText(QStringLiteral("Cancelling..."));
}

void ParametricStudyWindow::Finished()
{
    if (!worker_)
        return;
    worker_->wait();
    worker_.reset();
    SetRunning(false);
    const int64_t total = SweepPointCount(running_);
    if (!error_.empty()) {
        ClearStudy();
        ShowWarning(this, QStringLiteral("The study stopped: ") + QString::fromStdString(error_));
    } else if (int64_t(result_.size()) < total) {
        ClearStudy();
        note_->setText(QStringLiteral("The study was cancelled after ")
            + QString::number(result_.size()) + QStringLiteral(" of ") + Points(total)
            + QStringLiteral("; nothing is drawn."));
    } else {
        plan_ = running_;
        points_ = std::move(result_);
        progress_->setValue(int(total));
        ShowStudy();
    }
    result_.clear();
    emit StudyFinished();
}

void ParametricStudyWindow::SetRunning(bool running)
{
    for (QWidget* w :
        { static_cast<QWidget*>(input_), static_cast<QWidget*>(from_), static_cast<QWidget*>(to_),
            static_cast<QWidget*>(count_), static_cast<QWidget*>(run_) })
        w->setEnabled(!running);
    cancelButton_->setEnabled(running);
    save_->setEnabled(!running && !points_.empty());
    if (running)
        note_->setText(QStringLiteral("Evaluating ") + Points(progress_->maximum()) + "...");
}

void ParametricStudyWindow::ClearStudy()
{
    plan_ = {};
    points_.clear();
    auto* empty = new QChart;
    empty->setTitle(QStringLiteral("Choose an input and its range, then Run."));
    ReplaceChart(chart_, empty);
    summary_->clear();
    note_->clear();
    save_->setEnabled(false);
}

void ParametricStudyWindow::ShowStudy()
{
    const SweepRange& range = plan_.Ranges.front();
    const WallInput& input = range.Input;
    const QString name = Q(input.Name);
    const QString unit = InputUnit(project_, input);
    const bool anchors = AnchorRowsPlaced(project_) > 0;

    // The curves: the factors of each stable valid point, the utilisation where finite.
    std::array<QLineSeries*, SafetyCheckCount> factor {};
    std::array<int64_t, SafetyCheckCount> infinite {};
    auto* utilisation = new QLineSeries;
    utilisation->setName(Q(UtilisationName));
    utilisation->setColor(QColor(UtilisationColour));
    int64_t invalid = 0;
    int64_t unstable = 0;
    int64_t unboundedUse = 0;
    double highest = UtilisationTarget;
    for (int k = 0; k < SafetyCheckCount; ++k) {
        if (!ShownCheck(k, anchors))
            continue;
        factor[size_t(k)] = new QLineSeries;
        factor[size_t(k)]->setName(Q(SafetyCheckName[size_t(k)]));
        factor[size_t(k)]->setColor(QColor(FactorColour[size_t(k)]));
        highest = std::max(highest, TargetOf(targets_, static_cast<SafetyCheck>(k)));
    }
    const double top = highest * AxisTopOverTarget;
    double drawnTop = highest;
    QStringList above;
    for (const SweepPoint& p : points_) {
        if (!p.Valid) {
            ++invalid;
            continue;
        }
        const double x = p.Inputs.front();
        const WallEvaluation& e = p.Evaluation;
        if (!e.ServiceStable)
            ++unstable;
        for (int k = 0; k < SafetyCheckCount && e.ServiceStable; ++k) {
            QLineSeries* s = factor[size_t(k)];
            const double f = e.Safety[size_t(k)];
            if (s == nullptr)
                continue;
            if (IsInfiniteSafety(f) || !std::isfinite(f)) {
                ++infinite[size_t(k)];
                continue;
            }
            s->append(x, f);
            drawnTop = std::max(drawnTop, f);
            if (f > top && !above.contains(s->name()))
                above << s->name();
        }
        if (std::isfinite(e.LargestUtilisation)) {
            utilisation->append(x, e.LargestUtilisation);
            drawnTop = std::max(drawnTop, e.LargestUtilisation);
            if (e.LargestUtilisation > top && !above.contains(utilisation->name()))
                above << utilisation->name();
        } else if (e.ServiceStable) {
            ++unboundedUse;
        }
    }

    auto* chart = new QChart;
    chart->setTitle(name + QStringLiteral(" from ") + Shown(project_, input, range.From)
        + QStringLiteral(" to ") + Shown(project_, input, range.To) + QStringLiteral(", ")
        + Points(range.Count));
    chart->legend()->setAlignment(Qt::AlignRight);
    auto* xAxis = new QValueAxis;
    xAxis->setTitleText(unit.isEmpty() ? name + QStringLiteral(" (no unit)")
                                       : name + QStringLiteral(" (") + unit + ')');
    xAxis->setRange(std::min(range.From, range.To), std::max(range.From, range.To));
    auto* yAxis = new QValueAxis;
    yAxis->setTitleText(QStringLiteral("Safety factor, utilisation (ratio)"));
    yAxis->setRange(0, std::min(drawnTop * AxisHeadroom, top));
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);
    const auto add = [&](QLineSeries* s) {
        chart->addSeries(s);
        s->attachAxis(xAxis);
        s->attachAxis(yAxis);
    };
    for (QLineSeries* s : factor) {
        if (s != nullptr) {
            s->setPointsVisible(true);
            add(s);
        }
    }
    utilisation->setPointsVisible(true);
    add(utilisation);

    // One dashed line per target value, named by every check that must reach it; the note says
    // which is which, the legend keeps to the curves.
    std::map<double, QStringList> targetLines;
    QStringList targetText;
    for (int k = 0; k < SafetyCheckCount; ++k) {
        if (ShownCheck(k, anchors))
            targetLines[TargetOf(targets_, static_cast<SafetyCheck>(k))]
                << Q(SafetyCheckName[size_t(k)]);
    }
    targetLines[UtilisationTarget] << Q(UtilisationName);
    for (const auto& [value, checks] : targetLines) {
        auto* line = new QLineSeries;
        line->setName(QStringLiteral("Target ") + QString::number(value, 'f', 2)
            + QStringLiteral(": ") + checks.join(QStringLiteral(", ")));
        QPen pen(Qt::darkGray);
        pen.setStyle(Qt::DashLine);
        pen.setWidthF(1.5);
        line->setPen(pen);
        line->append(range.From, value);
        line->append(range.To, value);
        add(line);
        for (QLegendMarker* marker : chart->legend()->markers(line))
            marker->setVisible(false);
        targetText << QString::number(value, 'f', 2) + QStringLiteral(" (")
                + checks.join(QStringLiteral(", ")) + ')';
    }
    ReplaceChart(chart_, chart);

    // What the chart leaves out, said plainly.
    QStringList left;
    if (invalid > 0)
        left << Points(invalid) + QStringLiteral(" whose value the wall cannot take");
    if (unstable > 0)
        left << Points(unstable) + QStringLiteral(" where the wall is not stable");
    for (int k = 0; k < SafetyCheckCount; ++k) {
        if (infinite[size_t(k)] > 0) {
            left << Q(SafetyCheckName[size_t(k)]) + QStringLiteral(" at ")
                    + Points(infinite[size_t(k)])
                    + QStringLiteral(" where it is infinite (nothing to resist)");
        }
    }
    if (unboundedUse > 0) {
        left << Q(UtilisationName) + QStringLiteral(" at ") + Points(unboundedUse)
                + QStringLiteral(" where a factored set is not stable or a section cannot carry "
                                 "its load");
    }
    QString note = QStringLiteral("Dashed: the targets ") + targetText.join(QStringLiteral(", "))
        + QStringLiteral(". ");
    note += left.isEmpty()
        ? QStringLiteral("Every point is drawn.")
        : QStringLiteral("Left out of the chart: ") + left.join(QStringLiteral("; ")) + '.';
    if (!above.isEmpty()) {
        note += QStringLiteral(" The chart is cut at ") + QString::number(top, 'f', 2)
            + QStringLiteral(": ") + above.join(QStringLiteral(", "))
            + (above.size() == 1 ? QStringLiteral(" runs") : QStringLiteral(" run"))
            + QStringLiteral(" above it.");
    }
    if (!anchors)
        note += QStringLiteral(" The wall has no anchors: their factors are not drawn.");
    note_->setText(note);

    // The fraction failing over the whole study; the smallest margins over the points where the
    // wall stands, since a wall that does not stand has no factors to compare.
    const SweepSummary summary = SummarizeSweep(points_);
    std::vector<SweepPoint> standing;
    const SweepPoint* firstUnstable = nullptr;
    for (const SweepPoint& p : points_) {
        if (p.Valid && p.Evaluation.ServiceStable)
            standing.push_back(p);
        else if (p.Valid && firstUnstable == nullptr)
            firstUnstable = &p;
    }
    const SweepSummary margins = SummarizeSweep(standing);
    const auto at = [&](int64_t index) {
        for (const SweepPoint& p : points_) {
            if (p.Index == index)
                return name + QStringLiteral(" = ") + Shown(project_, input, p.Inputs.front());
        }
        return QString();
    };
    const int64_t valid = summary.Points - summary.InvalidPoints;
    QString text;
    if (valid == 0) {
        text = QStringLiteral("No point of the study could be judged.");
    } else {
        text = QString::number(summary.FailingPoints) + QStringLiteral(" of ") + Points(valid)
            + QStringLiteral(" fail a target (")
            + QString::number(100.0 * summary.FailFraction, 'f', 0) + QStringLiteral(" %).");
        if (firstUnstable != nullptr) {
            text += QStringLiteral(" The wall is not stable at ") + Points(unstable)
                + QStringLiteral(", the first at ") + at(firstUnstable->Index) + '.';
        }
        QStringList smallest;
        for (int k = 0; k < SafetyCheckCount; ++k) {
            const SweepExtreme& x = margins.SmallestSafety[size_t(k)];
            if (!ShownCheck(k, anchors) || x.Point < 0)
                continue;
            smallest << Q(SafetyCheckName[size_t(k)]) + ' ' + FactorText(x.Value)
                    + QStringLiteral(" (target ")
                    + FactorText(TargetOf(targets_, static_cast<SafetyCheck>(k)))
                    + QStringLiteral(") at ") + at(x.Point);
        }
        if (margins.LargestUtilisation.Point >= 0) {
            smallest << QStringLiteral("largest utilisation ")
                    + FactorText(margins.LargestUtilisation.Value) + QStringLiteral(" at ")
                    + at(margins.LargestUtilisation.Point);
        }
        if (!smallest.isEmpty()) {
            text += (firstUnstable != nullptr ? QStringLiteral(" Smallest where it stands: ")
                                              : QStringLiteral(" Smallest: "))
                + smallest.join(QStringLiteral("; ")) + '.';
        }
    }
    summary_->setText(text);
    save_->setEnabled(true);
}

bool ParametricStudyWindow::SaveTo(const QString& path, QString* error)
{
    if (points_.empty())
        return false;
    std::string csv = SweepCsvHeader(plan_);
    for (const SweepPoint& p : points_)
        csv += SweepCsvRow(p);
    // Written beside the target and renamed over it only when complete.
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly)
        && file.write(csv.data(), qint64(csv.size())) == qint64(csv.size());
    if (written)
        written = file.commit();
    else
        file.cancelWriting();
    if (!written && error != nullptr)
        *error = file.errorString();
    return written;
}

void ParametricStudyWindow::SaveAs()
{
    if (points_.empty())
        return;
    FileDialogRequest request;
    request.Save = true;
    request.Title = QStringLiteral("Save Parametric Study");
    request.Filter = QStringLiteral("CSV (*.csv)");
    request.DefaultSuffix = QStringLiteral("csv");
    const QString path = RunFileDialog(this, request);
    if (path.isEmpty())
        return;
    QString why;
    if (!SaveTo(path, &why)) {
        ShowWarning(this,
            QStringLiteral("The study could not be saved to ") + path + QStringLiteral(": ") + why);
    }
}

void ParametricStudyWindow::reject()
{
    // Closing stops the study: nothing runs on after its window.
    if (worker_) {
        stop_.store(true);
        worker_->wait();
        Finished();
    }
    QDialog::reject();
}

void ShowParametricStudy(QWidget* parent, const ProjectDocument& document)
{
    ParametricStudyWindow window(document.Record(), StudyTargets(), parent);
    window.exec();
}

} // namespace pendrake::ui
