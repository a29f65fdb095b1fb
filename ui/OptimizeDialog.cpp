// The optimize dialog: seventeen dimension rows (the four of the default search checked), the five
// targets, the search on a thread of its own, and the table of the best walls it found.
#include "ui/OptimizeDialog.h"

#include "document/ProjectDocument.h"
#include "model/DimensionEdit.h"
#include "model/NumberFormat.h"
#include "model/Units.h"
#include "search/Inputs.h"
#include "ui/DesignTargetSettings.h"
#include "ui/Platform.h"
#include "ui/StabilityWindow.h"
#include "ui/UnitText.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>

namespace pendrake::ui {

namespace {

// Walls kept after the best one.
constexpr int RunnersUp = 5;
// Dimensions are stored to two decimals: a finer step would only repeat walls.
constexpr double SmallestStep = 0.01;
// Step offered for a dimension outside the default search: 0.1 m, or half a unit of the
// backfill slope's 1 : n.
constexpr double OfferedStepMetres = 0.1;
constexpr double OfferedSlopeStep = 0.5;
constexpr int ProgressTickMilliseconds = 100;

constexpr std::string_view DimensionPattern = "#0.#0";
constexpr std::string_view AreaPattern = "#0.#0";
constexpr std::string_view UtilisationPattern = "#0.##0";

// Sizes in twips.
constexpr int BoxWidth = 1000;
constexpr int DimensionListHeight = 4800;
constexpr int TableHeight = 3000;
constexpr int DialogWidth = 14400;
constexpr int DialogHeight = 10800;

struct TargetCaption {
    const char* Caption;
    const char* Meaning;
    const char* Column;
};
// In the order of SafetyCheck.
constexpr std::array<TargetCaption, SafetyCheckCount> TargetCaptions { {
    { "Overturning safety", "overturning safety factor", "Overturning" },
    { "Sliding safety (least)", "least sliding safety factor", "Sliding" },
    { "Bearing safety (least)", "least bearing safety factor", "Bearing" },
    { "Anchor tension safety", "anchor tension safety factor", "Anchor tension" },
    { "Anchor shear safety", "anchor shear safety factor", "Anchor shear" },
} };

QString Named(const char* prefix, int index)
{
    return QString::fromLatin1(prefix) + QLatin1Char('_') + QString::number(index);
}

QString Number(double value, std::string_view pattern)
{
    return QString::fromStdString(FormatNumber(value, pattern));
}

QString Plain(double value)
{
    return QString::fromStdString(PlainDecimalText(value));
}

std::optional<double> Parse(const QLineEdit* box)
{
    return ParseEditValue(box->text().toStdString());
}

// The points of one free dimension's grid, without building it.
QPushButton* Button(const QString& caption, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QTableWidgetItem* Cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

OptimizeDialog::OptimizeDialog(const Project& record, RecordCommit commit, QWidget* parent)
    : QDialog(parent)
    , base_(record)
    , commit_(std::move(commit))
{
    setObjectName(QStringLiteral("frmOptimize"));
    setWindowTitle(QStringLiteral("Pendrake: Optimize Dimensions"));
    setModal(true);

    const int system = std::clamp<int>(base_.UnitSystem, Metric, British);
    const double metresToLength = UnitConversionFactors(Metric, int16_t(system)).Length;

    // The free dimensions: the default search's four checked with its ranges, every other one
    // offered at its present value, to be widened by the engineer.
    auto* dimensions = new QGroupBox(QStringLiteral("Free dimensions"), this);
    auto* list = new QWidget;
    auto* grid = new QGridLayout(list);
    const QStringList headings = { QStringLiteral("Dimension"), QStringLiteral("Now"),
        QStringLiteral("Min"), QStringLiteral("Max"), QStringLiteral("Step") };
    for (int c = 0; c < headings.size(); ++c)
        grid->addWidget(
            new QLabel(QStringLiteral("<b>") + headings[c] + QStringLiteral("</b>")), 0, c);
    // The default four first, in the order the search edits them (as the command line's
    // default search does), then the others by label.
    const std::vector<FreeDimension> defaults = DefaultFreeDimensions(base_);
    size_t placed = 0;
    for (const FreeDimension& f : defaults)
        order_[placed++] = f.Index;
    for (int i = 0; i < DimensionCount; ++i) {
        if (std::find(order_.begin(), order_.begin() + ptrdiff_t(placed), i)
            == order_.begin() + ptrdiff_t(placed))
            order_[placed++] = i;
    }
    for (int line = 1; line <= DimensionCount; ++line) {
        const int i = order_[size_t(line - 1)];
        const QString name = Utf8(DimensionName[size_t(i)]);
        const QString unit = Utf8(DimensionUnit(base_, i));
        const QString field = Utf8(DimensionFieldName[size_t(i)]);
        const double now = RoundTo(Dimension(base_, i), DimensionDecimals);
        FreeDimension offered { i, now, now,
            i == BackfillSlopeDimension
                ? OfferedSlopeStep
                : RoundTo(OfferedStepMetres * metresToLength, DimensionDecimals) };
        const auto preset = std::find_if(
            defaults.begin(), defaults.end(), [i](const FreeDimension& f) { return f.Index == i; });
        if (preset != defaults.end())
            offered = *preset;

        Row& row = rows_[size_t(i)];
        row.Free = new QCheckBox(name + QStringLiteral(" (") + unit + QLatin1Char(')'), list);
        row.Free->setObjectName(Named("chkFree", i));
        row.Free->setToolTip(QStringLiteral("Let the search change ") + field);
        row.Free->setChecked(preset != defaults.end());
        auto* current = new QLabel(Number(now, DimensionPattern), list);
        current->setObjectName(Named("lblNow", i));
        current->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        current->setToolTip(field + QStringLiteral(" of the wall now, in ") + unit);
        const auto box = [&](const char* prefix, double value, const QString& tip) {
            auto* b = new QLineEdit(Plain(value), list);
            b->setObjectName(Named(prefix, i));
            b->setFixedWidth(Px(BoxWidth));
            b->setAlignment(Qt::AlignRight);
            b->setToolTip(tip + QStringLiteral(", in ") + unit);
            return b;
        };
        row.Min = box(
            "txtMin", offered.Min, QStringLiteral("Smallest ") + field + QStringLiteral(" tried"));
        row.Max = box(
            "txtMax", offered.Max, QStringLiteral("Largest ") + field + QStringLiteral(" tried"));
        row.Step = box("txtStep", offered.Step,
            QStringLiteral("Step between the values of ") + field
                + QStringLiteral(" tried, 0.01 or more"));
        grid->addWidget(row.Free, line, 0);
        grid->addWidget(current, line, 1);
        grid->addWidget(row.Min, line, 2);
        grid->addWidget(row.Max, line, 3);
        grid->addWidget(row.Step, line, 4);
        const auto enable = [row](bool on) {
            row.Min->setEnabled(on);
            row.Max->setEnabled(on);
            row.Step->setEnabled(on);
        };
        enable(row.Free->isChecked());
        connect(row.Free, &QCheckBox::toggled, this, [this, enable](bool on) {
            enable(on);
            Revalidate();
        });
        for (QLineEdit* b : { row.Min, row.Max, row.Step })
            connect(b, &QLineEdit::textChanged, this, &OptimizeDialog::Revalidate);
    }
    grid->setColumnStretch(int(headings.size()), 1);
    auto* scroll = new QScrollArea(dimensions);
    scroll->setWidget(list);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setMinimumHeight(Px(DimensionListHeight));
    scroll->setMinimumWidth(
        list->sizeHint().width() + scroll->verticalScrollBar()->sizeHint().width());
    auto* dimensionsLayout = new QVBoxLayout(dimensions);
    dimensionsLayout->addWidget(scroll);

    // The targets, as the engineer left them last time.
    auto* targetBox = new QGroupBox(QStringLiteral("Targets"), this);
    auto* targetGrid = new QGridLayout(targetBox);
    const DesignTargets remembered = LoadDesignTargets();
    const DesignTargets defaultTargets;
    for (int k = 0; k < SafetyCheckCount; ++k) {
        const auto check = static_cast<SafetyCheck>(k);
        const TargetCaption& caption = TargetCaptions[size_t(k)];
        auto* label = new QLabel(
            QString::fromLatin1(caption.Caption) + QStringLiteral(" \u2265"), targetBox);
        auto* b = new QLineEdit(Plain(TargetOf(remembered, check)), targetBox);
        b->setObjectName(Named("txtTarget", k));
        b->setFixedWidth(Px(BoxWidth));
        b->setAlignment(Qt::AlignRight);
        b->setToolTip(Utf8(SafetyCheckName[size_t(k)]) + QStringLiteral(": the ")
            + QString::fromLatin1(caption.Meaning)
            + QStringLiteral(" every wall must reach under service loads; 0 or more (default ")
            + Plain(TargetOf(defaultTargets, check)) + QLatin1Char(')'));
        label->setBuddy(b);
        targetGrid->addWidget(label, k, 0);
        targetGrid->addWidget(b, k, 1);
        targets_[size_t(k)] = b;
        connect(b, &QLineEdit::textChanged, this, &OptimizeDialog::Revalidate);
    }
    auto* also = new QLabel(QStringLiteral("Every factor set stable, every design row and\n"
                                           "every shear check within capacity."),
        targetBox);
    targetGrid->addWidget(also, SafetyCheckCount, 0, 1, 2);
    targetGrid->setRowStretch(SafetyCheckCount + 1, 1);

    auto* inputs = new QHBoxLayout;
    inputs->addWidget(dimensions, 1);
    inputs->addWidget(targetBox);

    search_ = Button(QStringLiteral("&Search"), "cmdSearch", this);
    search_->setDefault(true);
    search_->setToolTip(
        QStringLiteral("Search the grid for the walls of least concrete that meet every target"));
    cancel_ = Button(QStringLiteral("Cancel"), "cmdCancel", this);
    cancel_->setToolTip(QStringLiteral("Stop the search (Esc)"));
    cancel_->setEnabled(false);
    choice_ = new QLabel(this);
    choice_->setObjectName(QStringLiteral("lblChoice"));
    choice_->setWordWrap(true);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("barProgress"));
    progress_->setRange(0, 1);
    progress_->setValue(0);
    auto* searchBar = new QHBoxLayout;
    searchBar->addWidget(search_);
    searchBar->addWidget(cancel_);
    searchBar->addWidget(progress_, 1);

    outcome_ = new QLabel(this);
    outcome_->setObjectName(QStringLiteral("lblOutcome"));
    outcome_->setWordWrap(true);
    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("grdCandidates"));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setMinimumHeight(Px(TableHeight));
    table_->setToolTip(
        QStringLiteral("The best wall and the runners-up; Apply takes the selected one"));
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { Apply(); });
    connect(table_, &QTableWidget::itemSelectionChanged, this,
        [this] { apply_->setEnabled(!Searching() && Selected() != nullptr); });

    apply_ = Button(QStringLiteral("&Apply"), "cmdApply", this);
    apply_->setToolTip(QStringLiteral("Make the selected wall the project's (one step of Undo)"));
    apply_->setEnabled(false);
    close_ = Button(QStringLiteral("Close"), "cmdClose", this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(apply_);
    buttons->addWidget(close_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(inputs);
    layout->addWidget(choice_);
    layout->addLayout(searchBar);
    layout->addWidget(outcome_);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);

    connect(search_, &QPushButton::clicked, this, [this] { Search(); });
    connect(cancel_, &QPushButton::clicked, this, &OptimizeDialog::CancelSearch);
    connect(apply_, &QPushButton::clicked, this, &OptimizeDialog::Apply);
    connect(close_, &QPushButton::clicked, this, &OptimizeDialog::reject);

    resize(Px(DialogWidth), Px(DialogHeight));

    tick_ = new QTimer(this);
    tick_->setInterval(ProgressTickMilliseconds);
    connect(tick_, &QTimer::timeout, this, &OptimizeDialog::OnProgressTick);

    Revalidate();
}

OptimizeDialog::~OptimizeDialog()
{
    StopWorker();
}

bool OptimizeDialog::ReadChoices(
    std::vector<FreeDimension>& free, DesignTargets& targets, QString& reason) const
{
    free.clear();
    for (const int i : order_) {
        const Row& row = rows_[size_t(i)];
        if (!row.Free->isChecked())
            continue;
        const QString name = Utf8(DimensionName[size_t(i)]) + QStringLiteral(": ");
        const std::optional<double> min = Parse(row.Min);
        const std::optional<double> max = Parse(row.Max);
        const std::optional<double> step = Parse(row.Step);
        if (!min || !max || !step) {
            const char* what = !min ? "minimum" : !max ? "maximum" : "step";
            reason = name + QStringLiteral("the ") + QString::fromLatin1(what)
                + QStringLiteral(" is not a number.");
            return false;
        }
        if (*min < 0) {
            reason = name + QStringLiteral("the minimum cannot be negative.");
            return false;
        }
        if (*min > *max) {
            reason = name + QStringLiteral("the minimum is above the maximum.");
            return false;
        }
        if (!(*step >= SmallestStep)) {
            reason = name + QStringLiteral("the step must be 0.01 or more.");
            return false;
        }
        free.push_back({ i, *min, *max, *step });
    }
    if (free.empty()) {
        reason = QStringLiteral("Choose at least one free dimension.");
        return false;
    }
    double points = 1;
    for (const FreeDimension& f : free)
        points *= GridStepCount(f);
    // The search refuses such a grid too; the dialog says so before it starts.
    if (points > double(MaxGridSize)) {
        reason = QStringLiteral("The grid has more than %1 walls: narrow a range or widen a step.")
                     .arg(MaxGridSize);
        return false;
    }
    for (int k = 0; k < SafetyCheckCount; ++k) {
        const std::optional<double> v = Parse(targets_[size_t(k)]);
        if (!v || *v < 0) {
            reason = QString::fromLatin1(TargetCaptions[size_t(k)].Caption)
                + QStringLiteral(": the target must be a number, 0 or more.");
            return false;
        }
        TargetOf(targets, static_cast<SafetyCheck>(k)) = *v;
    }
    return true;
}

void OptimizeDialog::Revalidate()
{
    std::vector<FreeDimension> free;
    DesignTargets targets;
    QString reason;
    const bool ok = ReadChoices(free, targets, reason);
    if (ok) {
        double points = 1;
        for (const FreeDimension& f : free)
            points *= GridStepCount(f);
        reason = QString::number(points, 'f', 0)
            + (points == 1 ? QStringLiteral(" wall on the grid.")
                           : QStringLiteral(" walls on the grid."));
    }
    choice_->setText(reason);
    search_->setEnabled(ok && !Searching());
}

bool OptimizeDialog::Search()
{
    if (Searching())
        return false;
    std::vector<FreeDimension> free;
    DesignTargets targets;
    QString reason;
    if (!ReadChoices(free, targets, reason)) {
        choice_->setText(reason);
        Beep();
        return false;
    }
    SaveDesignTargets(targets);

    searched_ = free;
    searchedTargets_ = targets;
    result_ = {};
    table_->clear();
    table_->setRowCount(0);
    table_->setColumnCount(0);
    outcome_->setText(QStringLiteral("Searching..."));
    cancelRequested_ = false;
    evaluated_ = 0;
    valid_ = 0;
    // The engine reads its own copy of the wall: nothing the window does reaches it.
    worker_ = QThread::create([this, free, targets, base = base_] {
        OptimizeOptions options;
        options.RunnersUp = RunnersUp;
        options.Cancel = &cancelRequested_;
        options.Progress = [this](int64_t evaluated, int64_t valid) {
            valid_ = valid;
            evaluated_ = evaluated;
        };
        try {
            pending_ = Optimize(base, free, targets, 0, options);
        } catch (const std::exception& e) {
            pending_ = {};
            pending_.Error = e.what();
        }
    });
    connect(worker_, &QThread::finished, this, &OptimizeDialog::OnSearchDone);
    SetSearching(true);
    worker_->start();
    return true;
}

void OptimizeDialog::CancelSearch()
{
    if (!Searching())
        return;
    cancelRequested_ = true;
    outcome_->setText(QStringLiteral("Cancelling..."));
}

void OptimizeDialog::SetSearching(bool searching)
{
    for (const Row& row : rows_) {
        row.Free->setEnabled(!searching);
        for (QLineEdit* b : { row.Min, row.Max, row.Step })
            b->setEnabled(!searching && row.Free->isChecked());
    }
    for (QLineEdit* b : targets_)
        b->setEnabled(!searching);
    cancel_->setEnabled(searching);
    if (searching) {
        // Until the first batch is judged the bar only says that work goes on.
        progress_->setRange(0, 0);
        cancel_->setFocus();
        tick_->start();
    } else {
        tick_->stop();
        progress_->setRange(0, 1);
        progress_->setValue(result_.Found ? 1 : 0);
    }
    search_->setEnabled(!searching);
    apply_->setEnabled(!searching && Selected() != nullptr);
    if (!searching)
        Revalidate();
}

void OptimizeDialog::OnProgressTick()
{
    const int64_t valid = valid_;
    if (valid <= 0)
        return;
    // The bar counts the walls judged against those the search may have to judge; it stops
    // short of the end when the best walls are known early.
    // The grid is no larger than MaxGridSize, so the counts fit the bar's int.
    progress_->setRange(0, int(valid));
    progress_->setValue(int(std::min(evaluated_.load(), valid)));
}

void OptimizeDialog::StopWorker()
{
    if (worker_ == nullptr)
        return;
    cancelRequested_ = true;
    disconnect(worker_, nullptr, this, nullptr);
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
}

void OptimizeDialog::OnSearchDone()
{
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    result_ = std::move(pending_);
    pending_ = {};
    ShowResult();
    SetSearching(false);
    if (!result_.Error.empty())
        ShowWarning(this, Utf8(result_.Error));
    table_->setFocus();
    emit SearchFinished();
}

void OptimizeDialog::ShowResult()
{
    const int system = std::clamp<int>(base_.UnitSystem, Metric, British);
    const QString length = UnitCaption(UnitClass::Length, system);
    const QString judged = QString::number(result_.CandidatesEvaluated) + QStringLiteral(" of ")
        + QString::number(result_.ValidCandidates) + QStringLiteral(" valid walls judged (")
        + QString::number(result_.GridSize) + QStringLiteral(" on the grid).");
    if (!result_.Error.empty()) {
        outcome_->setText(QStringLiteral("The search was refused: ") + Utf8(result_.Error));
        return;
    }
    if (result_.Cancelled) {
        outcome_->setText(QStringLiteral("The search was cancelled; no wall was chosen."));
        return;
    }
    if (!result_.Found) {
        outcome_->setText(QStringLiteral("No wall on the grid meets every target. ") + judged);
        return;
    }
    const QString area = length + QChar(0x00B2);
    outcome_->setText(QStringLiteral("Least concrete that meets every target: ")
        + Number(result_.Best.Evaluation.ConcreteArea, AreaPattern) + QLatin1Char(' ') + area
        + QStringLiteral(" (the wall now: ") + Number(ConcreteArea(base_), AreaPattern)
        + QLatin1Char(' ') + area
        + (Evaluate(base_, searchedTargets_).Passes ? QStringLiteral(", meeting every target). ")
                                                    : QStringLiteral(", missing a target). "))
        + judged);

    QStringList headings;
    QStringList tips;
    for (const FreeDimension& f : searched_) {
        headings << Utf8(DimensionName[size_t(f.Index)]) + QStringLiteral(" (")
                + Utf8(DimensionUnit(base_, f.Index)) + QLatin1Char(')');
        tips << Utf8(DimensionFieldName[size_t(f.Index)]);
    }
    headings << QStringLiteral("Concrete area (") + area + QLatin1Char(')')
             << QStringLiteral("Largest utilisation");
    tips << QStringLiteral("ConcreteArea: the pieces' areas summed, per unit length of wall")
         << QStringLiteral("LargestUtilisation: the largest demand over capacity of every check");
    for (int k = 0; k < SafetyCheckCount; ++k) {
        headings << QString::fromLatin1(TargetCaptions[size_t(k)].Column);
        tips << Utf8(SafetyCheckName[size_t(k)]);
    }
    table_->setColumnCount(int(headings.size()));
    table_->setHorizontalHeaderLabels(headings);
    for (int c = 0; c < headings.size(); ++c)
        table_->horizontalHeaderItem(c)->setToolTip(tips[c]);

    const int rows = 1 + int(result_.RunnersUp.size());
    table_->setRowCount(rows);
    QStringList rowNames;
    for (int r = 0; r < rows; ++r) {
        rowNames << (r == 0 ? QStringLiteral("Best") : QString::number(r + 1));
        const SearchCandidate& c = r == 0 ? result_.Best : result_.RunnersUp[size_t(r - 1)];
        int col = 0;
        for (const double v : c.Values)
            table_->setItem(r, col++, Cell(Number(v, DimensionPattern)));
        const WallEvaluation& e = c.Evaluation;
        table_->setItem(r, col++, Cell(Number(e.ConcreteArea, AreaPattern)));
        table_->setItem(r, col++, Cell(Number(e.LargestUtilisation, UtilisationPattern)));
        // Anchors that carry nothing show the infinity sign, as in the stability window's
        // verdict: there is nothing for them to fail.
        for (int k = 0; k < SafetyCheckCount; ++k)
            table_->setItem(r, col++, Cell(SafetyText(e.Safety[size_t(k)])));
    }
    table_->setVerticalHeaderLabels(rowNames);
    table_->resizeColumnsToContents();
    table_->selectRow(0);
}

const SearchCandidate* OptimizeDialog::Selected() const
{
    if (!result_.Found || table_->rowCount() == 0)
        return nullptr;
    const QList<QTableWidgetItem*> items = table_->selectedItems();
    if (items.isEmpty())
        return nullptr;
    const int row = items.front()->row();
    if (row == 0)
        return &result_.Best;
    if (row - 1 < int(result_.RunnersUp.size()))
        return &result_.RunnersUp[size_t(row - 1)];
    return nullptr;
}

void OptimizeDialog::Apply()
{
    if (Searching())
        return;
    const SearchCandidate* chosen = Selected();
    if (chosen == nullptr)
        return;
    const Project wall = chosen->Wall;
    accept();
    if (commit_)
        commit_(wall, QString::fromLatin1(OptimizeStepName));
}

void OptimizeDialog::reject()
{
    StopWorker();
    QDialog::reject();
}

void OptimizeDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && Searching()) {
        CancelSearch();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ShowOptimizeDialog(
    QWidget* parent, const ProjectDocument& document, const RecordCommit& commit)
{
    OptimizeDialog dialog(document.Record(), commit, parent);
    dialog.exec();
}

} // namespace pendrake::ui
