// frmProperties: nineteen boxes in six framed groups. The concrete cover is typed in mm in SI and
// kept in cm in the record, like every small length of Metric and SI.
#include "ui/frmProperties.h"

#include "model/Units.h"
#include "ui/Platform.h"
#include "ui/UnitText.h"
#include "ui/ValidatedBox.h"

#include <QGridLayout>
#include <QGroupBox>
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
constexpr int ColumnGap = 120;

struct PropertyBox {
    float Project::*Field;
    const char16_t* Caption; // rich text: subscripts and Greek letters
    UnitClass Unit;
    ValueRule Rule;
};

// Boxes 0 to 8 carry the weights, strengths and the cover that must not vanish; from box 9 on a
// soil may have no density, friction or cohesion.
const std::array<PropertyBox, PropertyBoxCount> Boxes = { {
    { &Project::ConcUnitWeight, u"Unit weight (including<br>reinforcement):", UnitClass::UnitWeight,
        ValueRule::Positive },
    { &Project::ConcFc, u"Compressive stress (f'<sub>c</sub>):", UnitClass::Stress,
        ValueRule::Positive },
    { &Project::ConcE, u"Elasticity modulus (E):", UnitClass::Modulus, ValueRule::Positive },
    { &Project::ConcPoisson, u"Poisson's ratio (\u03BD):", UnitClass::None, ValueRule::Positive },
    { &Project::RebarFy, u"Yield stress (f<sub>y</sub>):", UnitClass::Stress, ValueRule::Positive },
    { &Project::RebarE, u"Elasticity modulus (E):", UnitClass::Modulus, ValueRule::Positive },
    { &Project::ConcCover, u"Concrete cover:", UnitClass::SmallLength, ValueRule::Positive },
    { &Project::WaterUnitWeight, u"Unit weight (\u03B3<sub>w</sub>):", UnitClass::UnitWeight,
        ValueRule::Positive },
    { &Project::FillUnitWeight, u"Unit weight (\u03B3)", UnitClass::UnitWeight,
        ValueRule::Positive },
    { &Project::FillDryDensity, u"Dry density (\u03B3<sub>d</sub>)", UnitClass::UnitWeight,
        ValueRule::NonNegative },
    { &Project::FillSatDensity, u"Saturated density (\u03B3<sub>s</sub>)", UnitClass::UnitWeight,
        ValueRule::NonNegative },
    { &Project::FillPhi, u"Internal friction angle<br>(\u03C6):", UnitClass::Angle,
        ValueRule::NonNegative },
    { &Project::FillCohesion, u"Cohesion (c):", UnitClass::Stress, ValueRule::NonNegative },
    { &Project::BasePhi, u"Internal friction angle<br>(\u03C6):", UnitClass::Angle,
        ValueRule::NonNegative },
    { &Project::BaseCohesion, u"Cohesion (c):", UnitClass::Stress, ValueRule::NonNegative },
    { &Project::BaseQd, u"Ultimate bearing<br>capacity (q<sub>d</sub>):", UnitClass::Stress,
        ValueRule::NonNegative },
    { &Project::BaseE, u"Elasticity modulus (E):", UnitClass::Modulus, ValueRule::NonNegative },
    { &Project::DeltaEarth, u"Earth to earth:", UnitClass::Angle, ValueRule::NonNegative },
    { &Project::DeltaConcrete, u"Earth to concrete:", UnitClass::Angle, ValueRule::NonNegative },
} };

struct Group {
    const char16_t* Title;
    int First;
    int Last;
    int Column;
};

const std::array<Group, 6> Groups = { {
    { u"Concrete", 0, 3, 0 },
    { u"Reinforcement bar", 4, 6, 0 },
    { u"Water", 7, 7, 0 },
    { u"Backfill", 8, 12, 1 },
    { u"Base", 13, 16, 1 },
    { u"Friction angle (\u03B4)", 17, 18, 1 },
} };

} // namespace

PropertiesDialog::PropertiesDialog(const Project& project, QWidget* parent)
    : QDialog(parent)
    , project_(project)
{
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral("Pendrake: Properties"));
    setModal(true);

    const int system = std::clamp<int>(project.UnitSystem, Metric, British);

    auto* outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    auto* columnsLayout = new QHBoxLayout;
    columnsLayout->setSpacing(Px(ColumnGap));
    std::array<QVBoxLayout*, 2> columns {};
    for (auto& column : columns) {
        column = new QVBoxLayout;
        columnsLayout->addLayout(column);
    }
    for (QVBoxLayout* column : columns)
        column->addStretch(1);
    outer->addLayout(columnsLayout);

    // Groups are made in box order so that Tab walks the boxes from 0 to 18.
    for (const Group& group : Groups) {
        auto* frame = new QGroupBox(QString::fromUtf16(group.Title), this);
        auto* grid = new QGridLayout(frame);
        for (int i = group.First; i <= group.Last; ++i) {
            const PropertyBox& entry = Boxes[std::size_t(i)];
            const int row = i - group.First;

            auto* caption = new QLabel(QString::fromUtf16(entry.Caption), frame);
            caption->setObjectName(QStringLiteral("lblCaption_%1").arg(i));
            caption->setTextFormat(Qt::RichText);
            grid->addWidget(caption, row, 0);

            auto* box = new ValidatedBox(entry.Rule, frame);
            box->setObjectName(QStringLiteral("txtValue_%1").arg(i));
            box->setFixedWidth(Px(BoxWidth));
            box->setAlignment(Qt::AlignRight);
            if (entry.Unit == UnitClass::SmallLength && system == SI)
                box->SetTypedPerStored(MillimetresPerCentimetre);
            box->ShowStored(project.*entry.Field);
            box->Describe(PlainCaption(QString::fromUtf16(group.Title)) + QStringLiteral(": ")
                    + PlainCaption(QString::fromUtf16(entry.Caption)),
                UnitCaption(entry.Unit, system));
            caption->setBuddy(box);
            grid->addWidget(box, row, 1);
            boxes_[std::size_t(i)] = box;

            auto* unit = new QLabel(UnitCaption(entry.Unit, system), frame);
            unit->setObjectName(QStringLiteral("lblUnit_%1").arg(i));
            unit->setTextFormat(Qt::PlainText);
            unit->setMinimumWidth(Px(UnitWidth));
            grid->addWidget(unit, row, 2);
        }
        QVBoxLayout* column = columns[std::size_t(group.Column)];
        column->insertWidget(column->count() - 1, frame);
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

    for (int i = 0; i < PropertyBoxCount; ++i) {
        // Enter checks the entry as leaving does; a good one moves on to the next box.
        connect(boxes_[std::size_t(i)], &ValidatedBox::EnterAccepted, this, [this, i] {
            if (i + 1 < PropertyBoxCount)
                boxes_[std::size_t(i) + 1]->setFocus(Qt::TabFocusReason);
        });
    }
    connect(accept_, &QPushButton::clicked, this, &PropertiesDialog::AcceptClicked);
    connect(cancel_, &QPushButton::clicked, this, &PropertiesDialog::reject);
}

void PropertiesDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    boxes_[0]->setFocus(Qt::TabFocusReason);
}

void PropertiesDialog::keyPressEvent(QKeyEvent* event)
{
    if (!HandleDialogEnter(this, event))
        QDialog::keyPressEvent(event);
}

void PropertiesDialog::AcceptClicked()
{
    std::array<float, PropertyBoxCount> values {};
    for (int i = 0; i < PropertyBoxCount; ++i) {
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
        values[std::size_t(i)] = static_cast<float>(*value);
    }

    bool changed = false;
    for (int i = 0; i < PropertyBoxCount; ++i) {
        float& field = project_.*Boxes[std::size_t(i)].Field;
        changed = changed || values[std::size_t(i)] != field;
        field = values[std::size_t(i)];
    }
    changed_ = changed;
    accept();
}

std::optional<Project> EditProperties(QWidget* parent, const Project& project)
{
    PropertiesDialog dialog(project, parent);
    dialog.exec();
    return dialog.Result();
}

} // namespace pendrake::ui
