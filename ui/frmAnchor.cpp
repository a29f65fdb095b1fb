// frmAnchor: eight boxes walked with the arrow keys and Enter. The number of rows is a whole
// count; the diameter, like every small length, is typed in mm in SI and kept in cm.
#include "ui/frmAnchor.h"

#include "model/Units.h"
#include "ui/Platform.h"
#include "ui/UnitText.h"
#include "ui/ValidatedBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace pendrake::ui {

namespace {

// In SI a small length is typed in millimetres and stored in centimetres.
constexpr double MillimetresPerCentimetre = 10;

// Sizes in twips.
constexpr int BoxWidth = 1000;
constexpr int UnitWidth = 1100;

// Enter moves on from the geometry boxes only; the steel boxes keep the focus.
constexpr int LastBoxMovedOnByEnter = 3;

struct AnchorBox {
    float Project::*Field; // null for the number of rows, a 16-bit count
    const char* Caption;
    UnitClass Unit;
    ValueRule Rule;
};

// No anchors at all is a valid design; every other value must be there to place or size one.
const std::array<AnchorBox, AnchorBoxCount> Boxes = { {
    { nullptr, "Number along vertical:", UnitClass::None, ValueRule::NonNegative },
    { &Project::AnchorVPitch, "Vertical pitch:", UnitClass::Length, ValueRule::Positive },
    { &Project::AnchorHPitch, "Horizontal pitch:", UnitClass::Length, ValueRule::Positive },
    { &Project::AnchorEdgeDist, "Bottom edge distance:", UnitClass::Length, ValueRule::Positive },
    { &Project::AnchorYield, "Yield stress:", UnitClass::Stress, ValueRule::Positive },
    { &Project::AnchorShear, "Shear stress:", UnitClass::Stress, ValueRule::Positive },
    { &Project::AnchorDia, "Diameter:", UnitClass::SmallLength, ValueRule::Positive },
    { &Project::AnchorE, "Elasticity modulus:", UnitClass::Modulus, ValueRule::Positive },
} };

} // namespace

AnchorDialog::AnchorDialog(const Project& project, QWidget* parent)
    : QDialog(parent)
    , project_(project)
{
    setObjectName(QStringLiteral("frmAnchor"));
    setWindowTitle(QStringLiteral("Pendrake: Anchors"));
    setModal(true);

    const int system = std::clamp<int>(project.UnitSystem, Metric, British);

    auto* outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    auto* grid = new QGridLayout;
    outer->addLayout(grid);

    for (int i = 0; i < AnchorBoxCount; ++i) {
        const AnchorBox& entry = Boxes[std::size_t(i)];

        auto* caption = new QLabel(QString::fromUtf8(entry.Caption), this);
        caption->setObjectName(QStringLiteral("Label1_%1").arg(i));
        caption->setTextFormat(Qt::PlainText);
        grid->addWidget(caption, i, 0);

        auto* box = new ValidatedBox(entry.Rule, this);
        box->setObjectName(QStringLiteral("Text1_%1").arg(i));
        box->setFixedWidth(Px(BoxWidth));
        box->setAlignment(Qt::AlignRight);
        if (entry.Field == nullptr) {
            box->SetCount(true);
            box->ShowStored(project.AnchorRows);
        } else {
            if (entry.Unit == UnitClass::SmallLength && system == SI)
                box->SetTypedPerStored(MillimetresPerCentimetre);
            box->ShowStored(project.*entry.Field);
        }
        box->Describe(
            PlainCaption(QString::fromUtf8(entry.Caption)), UnitCaption(entry.Unit, system));
        caption->setBuddy(box);
        grid->addWidget(box, i, 1);
        boxes_[std::size_t(i)] = box;

        auto* unit = new QLabel(UnitCaption(entry.Unit, system), this);
        unit->setObjectName(QStringLiteral("lblUnit_%1").arg(i));
        unit->setTextFormat(Qt::PlainText);
        unit->setMinimumWidth(Px(UnitWidth));
        grid->addWidget(unit, i, 2);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    accept_ = new QPushButton(QStringLiteral("&Accept"), this);
    accept_->setObjectName(QStringLiteral("Command1"));
    accept_->setAutoDefault(false);
    cancel_ = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel_->setObjectName(QStringLiteral("Command2"));
    cancel_->setAutoDefault(false);
    MarkAsCancelButton(cancel_);
    buttons->addWidget(accept_);
    buttons->addWidget(cancel_);
    outer->addLayout(buttons);

    for (int i = 0; i < AnchorBoxCount; ++i) {
        ValidatedBox* box = boxes_[std::size_t(i)];
        connect(box, &ValidatedBox::EnterAccepted, this, [this, i] {
            if (i <= LastBoxMovedOnByEnter)
                MoveTo(i + 1, true);
        });
        connect(box, &ValidatedBox::ArrowPressed, this, [this, i](int key, Qt::KeyboardModifiers) {
            if (key == Qt::Key_Up && i > 0)
                MoveTo(i - 1, false);
            else if (key == Qt::Key_Down && i + 1 < AnchorBoxCount)
                MoveTo(i + 1, false);
        });
    }
    connect(accept_, &QPushButton::clicked, this, &AnchorDialog::AcceptClicked);
    connect(cancel_, &QPushButton::clicked, this, &AnchorDialog::reject);
}

void AnchorDialog::MoveTo(int box, bool caretAtStart)
{
    ValidatedBox* target = boxes_[std::size_t(box)];
    target->setFocus(Qt::OtherFocusReason);
    // Leaving the box may have refused its entry and kept the focus there.
    if (caretAtStart && target->hasFocus())
        target->setCursorPosition(0);
}

void AnchorDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    boxes_[0]->setFocus(Qt::TabFocusReason);
}

void AnchorDialog::keyPressEvent(QKeyEvent* event)
{
    if (!HandleDialogEnter(this, event))
        QDialog::keyPressEvent(event);
}

void AnchorDialog::AcceptClicked()
{
    std::array<double, AnchorBoxCount> values {};
    for (int i = 0; i < AnchorBoxCount; ++i) {
        ValidatedBox* box = boxes_[std::size_t(i)];
        const std::optional<double> value = box->StoredValue();
        if (!value) {
            // A box just refused has beeped already; a bad value nobody typed (read from a file)
            // is pointed out here.
            if (!box->Refused())
                box->Refuse();
            box->setFocus(Qt::OtherFocusReason);
            return;
        }
        values[std::size_t(i)] = *value;
    }

    // The box has rounded the rows to a whole count within 16 bits.
    const auto rows = static_cast<int16_t>(values[0]);
    bool changed = rows != project_.AnchorRows;
    project_.AnchorRows = rows;
    for (int i = 1; i < AnchorBoxCount; ++i) {
        float& field = project_.*Boxes[std::size_t(i)].Field;
        const auto value = static_cast<float>(values[std::size_t(i)]);
        changed = changed || value != field;
        field = value;
    }
    changed_ = changed;
    accept();
}

std::optional<Project> EditAnchors(QWidget* parent, const Project& project)
{
    AnchorDialog dialog(project, parent);
    dialog.exec();
    std::optional<Project> accepted = dialog.Result();
    // Rows that do not fit on the sloping underside are never drawn nor analysed: an accepted
    // dialog leaves only the rows placed, even when nothing was typed.
    if (!accepted && dialog.result() == QDialog::Accepted
        && AnchorRowsPlaced(project) != project.AnchorRows)
        accepted = project;
    if (accepted)
        accepted->AnchorRows = AnchorRowsPlaced(*accepted);
    return accepted;
}

} // namespace pendrake::ui
