// frmLoads: the line-load table edited on a copy, row by row, with the surcharge and the seismic
// coefficient; Accept writes the copy back.
#include "ui/frmLoads.h"

#include "model/Units.h"
#include "ui/Platform.h"
#include "ui/UnitText.h"
#include "ui/ValidatedBox.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace pendrake::ui {

namespace {

// Sizes in twips.
constexpr int CellWidth = 900;
constexpr int TypeWidth = 1800;
// The direction column is wider: its heading states how the angle is measured.
constexpr int DirectionWidth = 1500;
constexpr int DirectionColumn = 3;

int ColumnWidth(std::size_t column)
{
    if (column == DirectionColumn)
        return DirectionWidth;
    return column < LineLoadColumns ? CellWidth : TypeWidth;
}
constexpr int CellGap = 60;
constexpr int AppendWidth = 360;

// The row being edited stands out from the others by a pale yellow behind its boxes.
const QColor CurrentRowColour(255, 255, 192);

const std::array<float LineLoad::*, LineLoadColumns> Columns
    = { &LineLoad::Load, &LineLoad::X, &LineLoad::Y, &LineLoad::Direction };
const std::array<const char*, LineLoadColumns> ColumnNames
    = { "txtLoad", "txtX", "txtY", "txtDir" };

QString CellMeaning(int column, int row)
{
    static const std::array<const char*, LineLoadColumns> what
        = { "load", "X from the toe front", "Y from the toe bottom",
              "direction from the upward vertical (0 up, 90 towards the backfill, 180 down)" };
    return QStringLiteral("Line load %1: ").arg(row)
        + QString::fromLatin1(what[std::size_t(column)]);
}

QString CellUnit(int column, int16_t unitSystem)
{
    const int system = std::clamp<int>(unitSystem, Metric, British);
    switch (column) {
    case 0: return QString::fromStdString(LineLoadUnit(int16_t(system)));
    case 1:
    case 2: return Utf8(LengthUnit[system]);
    default: return Utf8(AngleUnit[system]);
    }
}

QComboBox* LoadCaseList(QWidget* parent)
{
    auto* list = new QComboBox(parent);
    for (int k = 1; k <= LoadCaseCount; ++k)
        list->addItem(Utf8(LoadCaseName[std::size_t(k)]));
    return list;
}

// List position k - 1 stands for load case k; a case outside 1..7 cannot be shown and is
// taken as dead load.
int LoadCasePosition(int16_t loadCase)
{
    return loadCase >= 1 && loadCase <= LoadCaseCount ? loadCase - 1 : 0;
}

QLabel* Heading(const QString& text, int width, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    label->setFixedWidth(Px(width));
    return label;
}

} // namespace

LoadsDialog::LoadsDialog(const Project& project, QWidget* parent)
    : QDialog(parent)
    , project_(project)
{
    setObjectName(QStringLiteral("frmLoads"));
    setWindowTitle(QStringLiteral("Loads"));
    setModal(true);

    count_ = std::clamp<int>(project.LineLoadCount, 0, MaxLineLoads);
    for (int r = 1; r <= count_; ++r) {
        table_[std::size_t(r)] = project.LineLoads[std::size_t(r)];
        table_[std::size_t(r)].Type = int16_t(LoadCasePosition(table_[std::size_t(r)].Type) + 1);
    }

    const int system = std::clamp<int>(project.UnitSystem, Metric, British);
    const QString length = Utf8(LengthUnit[system]);

    auto* outer = new QVBoxLayout(this);
    // The dialog grows and shrinks with the rows, keeping the commands below the last one.
    outer->setSizeConstraint(QLayout::SetFixedSize);

    auto* lineLoads = new QGroupBox(QStringLiteral("Line loads"), this);
    auto* table = new QVBoxLayout(lineLoads);
    table->setSpacing(Px(CellGap));
    auto* headings = new QHBoxLayout;
    headings->setSpacing(Px(CellGap));
    const std::array<QString, LineLoadColumns + 1> headingTexts = {
        QStringLiteral("Load\n(") + QString::fromStdString(LineLoadUnit(int16_t(system)))
            + QStringLiteral(")"),
        QStringLiteral("X\n(") + length + QStringLiteral(")"),
        QStringLiteral("Y\n(") + length + QStringLiteral(")"),
        QStringLiteral("Dir. (") + Utf8(AngleUnit[system])
            + QStringLiteral(")\n0 up\n90 to backfill\n180 down"),
        QStringLiteral("Type"),
    };
    for (std::size_t c = 0; c < headingTexts.size(); ++c) {
        QLabel* heading = Heading(headingTexts[c], ColumnWidth(c), lineLoads);
        heading->setObjectName(QStringLiteral("lblHeading_%1").arg(c));
        headings->addWidget(heading);
    }
    headings->addStretch(1);
    table->addLayout(headings);

    for (int r = 1; r <= MaxLineLoads; ++r) {
        BuildRow(r, lineLoads);
        table->addWidget(rows_[std::size_t(r)].Row);
    }

    auto* commands = new QHBoxLayout;
    insert_ = new QPushButton(QStringLiteral("Insert"), lineLoads);
    insert_->setObjectName(QStringLiteral("cmdInsert"));
    delete_ = new QPushButton(QStringLiteral("Delete"), lineLoads);
    delete_->setObjectName(QStringLiteral("cmdDelete"));
    append_ = new QPushButton(QString(), lineLoads);
    append_->setObjectName(QStringLiteral("cmdAppend"));
    append_->setAccessibleName(QStringLiteral("Append a line load"));
    append_->setFixedWidth(Px(AppendWidth));
    for (QPushButton* command : { insert_, delete_, append_ }) {
        command->setAutoDefault(false);
        commands->addWidget(command);
    }
    commands->addStretch(1);
    table->addLayout(commands);
    outer->addWidget(lineLoads);

    auto* surchargeFrame = new QGroupBox(QStringLiteral("Surcharge"), this);
    auto* surchargeRow = new QHBoxLayout(surchargeFrame);
    surcharge_ = new ValidatedBox(ValueRule::NonNegative, surchargeFrame);
    surcharge_->setObjectName(QStringLiteral("txtSurcharge"));
    surcharge_->setFixedWidth(Px(CellWidth));
    surcharge_->setAlignment(Qt::AlignRight);
    surcharge_->ShowStored(project.Surcharge);
    surcharge_->Describe(QStringLiteral("Surcharge on the backfill"), Utf8(PressureUnit[system]));
    auto* surchargeUnit = new QLabel(Utf8(PressureUnit[system]), surchargeFrame);
    surchargeUnit->setObjectName(QStringLiteral("lblSurchargeUnit"));
    surchargeUnit->setTextFormat(Qt::PlainText);
    auto* typeLabel = new QLabel(QStringLiteral("Type"), surchargeFrame);
    typeLabel->setObjectName(QStringLiteral("lblSurchargeType"));
    surchargeType_ = LoadCaseList(surchargeFrame);
    surchargeType_->setObjectName(QStringLiteral("cboSurchargeType"));
    surchargeType_->setFixedWidth(Px(TypeWidth));
    surchargeType_->setCurrentIndex(LoadCasePosition(project.SurchargeType));
    typeLabel->setBuddy(surchargeType_);
    surchargeRow->addWidget(surcharge_);
    surchargeRow->addWidget(surchargeUnit);
    surchargeRow->addSpacing(Px(CellWidth) / 2);
    surchargeRow->addWidget(typeLabel);
    surchargeRow->addWidget(surchargeType_);
    surchargeRow->addStretch(1);
    outer->addWidget(surchargeFrame);

    auto* seismicRow = new QHBoxLayout;
    auto* seismicLabel = new QLabel(QStringLiteral("Seismic coefficient:"), this);
    seismicLabel->setObjectName(QStringLiteral("lblSeismic"));
    auto* horizontalLabel = new QLabel(QStringLiteral("Horizontal:"), this);
    horizontalLabel->setObjectName(QStringLiteral("lblSeismicHorizontal"));
    seismic_ = new ValidatedBox(ValueRule::NonNegative, this);
    seismic_->setObjectName(QStringLiteral("txtSeismic"));
    seismic_->setFixedWidth(Px(CellWidth));
    seismic_->setAlignment(Qt::AlignRight);
    seismic_->ShowStored(project.SeismicCoef);
    seismic_->Describe(
        QStringLiteral("Horizontal seismic coefficient (a fraction of g)"), QString());
    horizontalLabel->setBuddy(seismic_);
    seismicRow->addWidget(seismicLabel);
    seismicRow->addWidget(horizontalLabel);
    seismicRow->addWidget(seismic_);
    seismicRow->addStretch(1);
    outer->addLayout(seismicRow);

    auto* bottom = new QHBoxLayout;
    auto* note = new QLabel(QStringLiteral("Note: Origin at overturning point."), this);
    note->setObjectName(QStringLiteral("lblNote"));
    note->setTextFormat(Qt::PlainText);
    bottom->addWidget(note);
    bottom->addStretch(1);
    accept_ = new QPushButton(QStringLiteral("&Accept"), this);
    accept_->setObjectName(QStringLiteral("cmdAccept"));
    accept_->setAutoDefault(false);
    cancel_ = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cmdCancel"));
    cancel_->setAutoDefault(false);
    MarkAsCancelButton(cancel_);
    bottom->addWidget(accept_);
    bottom->addWidget(cancel_);
    outer->addLayout(bottom);

    connect(insert_, &QPushButton::clicked, this, &LoadsDialog::InsertRow);
    connect(delete_, &QPushButton::clicked, this, &LoadsDialog::DeleteRow);
    connect(append_, &QPushButton::clicked, this, &LoadsDialog::AppendRow);
    connect(accept_, &QPushButton::clicked, this, &LoadsDialog::AcceptClicked);
    connect(cancel_, &QPushButton::clicked, this, &LoadsDialog::reject);
    connect(qApp, &QApplication::focusChanged, this,
        [this](QWidget*, QWidget* now) { OnFocusChanged(now); });

    ShowRows();
}

void LoadsDialog::BuildRow(int r, QWidget* parent)
{
    RowControls& row = rows_[std::size_t(r)];
    row.Row = new QWidget(parent);
    row.Row->setObjectName(QStringLiteral("fraRow_%1").arg(r));
    row.Row->setAutoFillBackground(false);
    auto* layout = new QHBoxLayout(row.Row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(Px(CellGap));
    for (int c = 0; c < LineLoadColumns; ++c) {
        auto* cell = new ValidatedBox(ValueRule::NonNegative, row.Row);
        cell->setObjectName(
            QStringLiteral("%1_%2").arg(QLatin1String(ColumnNames[std::size_t(c)])).arg(r));
        cell->setFixedWidth(Px(ColumnWidth(std::size_t(c))));
        cell->setAlignment(Qt::AlignRight);
        cell->Describe(CellMeaning(c, r), CellUnit(c, project_.UnitSystem));
        layout->addWidget(cell);
        row.Cells[std::size_t(c)] = cell;

        // A good entry goes into the working table at once.
        connect(cell, &ValidatedBox::EntryAccepted, this, [this, cell, r, c] {
            if (r > count_)
                return;
            if (const std::optional<double> value = cell->StoredValue())
                table_[std::size_t(r)].*Columns[std::size_t(c)] = static_cast<float>(*value);
        });
        connect(cell, &ValidatedBox::EnterAccepted, this, [this, r, c] {
            if (r < count_)
                MoveToCell(r + 1, c, true);
        });
        connect(cell, &ValidatedBox::ArrowPressed, this,
            [this, r, c](int key, Qt::KeyboardModifiers modifiers) {
                if (modifiers.testFlag(Qt::ShiftModifier))
                    return;
                if (key == Qt::Key_Up && r > 1)
                    MoveToCell(r - 1, c, false);
                else if (key == Qt::Key_Down && r < count_)
                    MoveToCell(r + 1, c, false);
            });
    }
    row.Type = LoadCaseList(row.Row);
    row.Type->setObjectName(QStringLiteral("cboType_%1").arg(r));
    row.Type->setFixedWidth(Px(TypeWidth));
    layout->addWidget(row.Type);
    layout->addStretch(1);
    connect(row.Type, &QComboBox::currentIndexChanged, this, [this, r](int position) {
        if (!filling_ && r <= count_ && position >= 0)
            table_[std::size_t(r)].Type = int16_t(position + 1);
    });
}

void LoadsDialog::keyPressEvent(QKeyEvent* event)
{
    if (!HandleDialogEnter(this, event))
        QDialog::keyPressEvent(event);
}

bool LoadsDialog::ReadRowsBack()
{
    // No command acts while any box of the dialog holds a bad entry, the surcharge and the
    // seismic coefficient included: the command would pull the focus away from it.
    std::vector<ValidatedBox*> boxes;
    for (int r = 1; r <= count_; ++r)
        for (ValidatedBox* cell : rows_[std::size_t(r)].Cells)
            boxes.push_back(cell);
    boxes.push_back(surcharge_);
    boxes.push_back(seismic_);
    for (ValidatedBox* box : boxes) {
        if (!box->Acceptable()) {
            // A box just refused has beeped already.
            if (!box->Refused())
                box->Refuse();
            box->setFocus(Qt::OtherFocusReason);
            return false;
        }
    }

    for (int r = 1; r <= count_; ++r) {
        const RowControls& row = rows_[std::size_t(r)];
        for (int c = 0; c < LineLoadColumns; ++c) {
            const std::optional<double> value = row.Cells[std::size_t(c)]->StoredValue();
            table_[std::size_t(r)].*Columns[std::size_t(c)] = static_cast<float>(value.value_or(0));
        }
        table_[std::size_t(r)].Type = int16_t(row.Type->currentIndex() + 1);
    }
    return true;
}

void LoadsDialog::ShowRows()
{
    filling_ = true;
    for (int r = 1; r <= MaxLineLoads; ++r) {
        RowControls& row = rows_[std::size_t(r)];
        const bool used = r <= count_;
        if (used) {
            const LineLoad& load = table_[std::size_t(r)];
            for (int c = 0; c < LineLoadColumns; ++c)
                row.Cells[std::size_t(c)]->ShowStored(load.*Columns[std::size_t(c)]);
            row.Type->setCurrentIndex(LoadCasePosition(load.Type));
        }
        row.Row->setVisible(used);
    }
    filling_ = false;
    current_ = std::clamp(current_, 1, std::max(count_, 1));
    UpdateCommands();
    HighlightCurrentRow();
}

void LoadsDialog::UpdateCommands()
{
    insert_->setEnabled(count_ < MaxLineLoads);
    append_->setEnabled(count_ < MaxLineLoads);
    delete_->setEnabled(count_ > 0);
}

void LoadsDialog::HighlightCurrentRow()
{
    for (int r = 1; r <= MaxLineLoads; ++r) {
        QWidget* row = rows_[std::size_t(r)].Row;
        QPalette palette = this->palette();
        if (r == current_ && r <= count_)
            palette.setColor(QPalette::Base, CurrentRowColour);
        row->setPalette(palette);
    }
}

void LoadsDialog::OnFocusChanged(QWidget* now)
{
    if (now == nullptr)
        return;
    for (int r = 1; r <= count_; ++r) {
        if (rows_[std::size_t(r)].Row->isAncestorOf(now)) {
            if (r != current_) {
                current_ = r;
                HighlightCurrentRow();
            }
            return;
        }
    }
}

void LoadsDialog::MoveToCell(int r, int c, bool caretAtStart)
{
    ValidatedBox* target = rows_[std::size_t(r)].Cells[std::size_t(c)];
    target->setFocus(Qt::OtherFocusReason);
    // Leaving the box may have refused its entry and kept the focus there.
    if (caretAtStart && target->hasFocus())
        target->setCursorPosition(0);
}

void LoadsDialog::PutNewRow(int at)
{
    for (int r = count_; r >= at; --r)
        table_[std::size_t(r) + 1] = table_[std::size_t(r)];
    table_[std::size_t(at)] = LineLoad {}; // 0, 0, 0, 0 and dead load
    ++count_;
    current_ = at;
    ShowRows();
    MoveToCell(at, 0, false);
}

void LoadsDialog::InsertRow()
{
    if (!ReadRowsBack() || count_ >= MaxLineLoads)
        return;
    PutNewRow(count_ == 0 ? 1 : std::clamp(current_, 1, count_));
}

void LoadsDialog::AppendRow()
{
    if (!ReadRowsBack() || count_ >= MaxLineLoads)
        return;
    PutNewRow(count_ + 1);
}

void LoadsDialog::DeleteRow()
{
    if (!ReadRowsBack() || count_ == 0)
        return;
    const int at = std::clamp(current_, 1, count_);
    for (int r = at; r < count_; ++r)
        table_[std::size_t(r)] = table_[std::size_t(r) + 1];
    --count_;
    // The row that moved up into the gap becomes current, or the new last row.
    current_ = std::min(at, std::max(count_, 1));
    ShowRows();
    if (count_ > 0)
        MoveToCell(current_, 0, false);
    else
        append_->setFocus(Qt::OtherFocusReason);
}

void LoadsDialog::AcceptClicked()
{
    if (!ReadRowsBack())
        return;
    const auto surcharge = static_cast<float>(surcharge_->StoredValue().value_or(0));
    const auto seismic = static_cast<float>(seismic_->StoredValue().value_or(0));
    const auto surchargeType = int16_t(surchargeType_->currentIndex() + 1);

    bool changed = count_ != project_.LineLoadCount || surcharge != project_.Surcharge
        || surchargeType != project_.SurchargeType || seismic != project_.SeismicCoef;
    for (int r = 1; r <= count_; ++r)
        changed = changed || !(table_[std::size_t(r)] == project_.LineLoads[std::size_t(r)]);

    for (int r = 1; r <= count_; ++r)
        project_.LineLoads[std::size_t(r)] = table_[std::size_t(r)];
    project_.LineLoadCount = int16_t(count_);
    project_.Surcharge = surcharge;
    project_.SurchargeType = surchargeType;
    project_.SeismicCoef = seismic;
    changed_ = changed;
    accept();
}

std::optional<Project> EditLoads(QWidget* parent, const Project& project)
{
    LoadsDialog dialog(project, parent);
    dialog.adjustSize();
    if (parent != nullptr) {
        const QRect over = parent->window()->frameGeometry();
        dialog.move(over.center() - dialog.rect().center());
    }
    dialog.exec();
    return dialog.Result();
}

} // namespace pendrake::ui
