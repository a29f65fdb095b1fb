// frmRein: the Forces panel (section forces per load combination, "--" where a combination puts
// nothing on a section) and the Reinforcements panel (the design table of the six rows with its
// warnings), with the bar boxes that recheck a row as soon as a typed bar is accepted.
#include "ui/frmRein.h"

#include "model/DimensionEdit.h"
#include "model/NumberFormat.h"
#include "model/Units.h"
#include "ui/Platform.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace pendrake::ui {

namespace {

constexpr std::string_view ValuePattern = "#0.#0";
constexpr std::string_view RatioPattern = "0.#0%";
constexpr std::string_view LimitPattern = "#0 ";
constexpr std::string_view WidthPattern = "#0";
const QString NoValue = QStringLiteral("--");
// Greek letters as their Unicode characters in the window's own font; subscripts as rich text.
const QString Rho = QString(QChar(0x03C1));

// Bars are typed and shown in mm in Metric and SI and stored in cm; heights are stored in cm and
// shown in mm in SI.
constexpr double MillimetresPerCentimetre = 10.0;

// Room for a value such as -12345.67 in a table cell, twips.
constexpr int ValueCellWidth = 1000;

// Rows of the Reinforcements panel's grid.
enum GridRow {
    HeadRow = 0,
    FaceRow,
    ForcesGroup,
    MomentRow,
    NormalRow,
    BalancedGroup,
    HeightRow,
    CapacityRow,
    RequiredRow,
    ReinforcementGroup,
    DiameterRow,
    PitchRow,
    AreaRow,
    RatioRow,
    CrackGroup,
    CrackMomentRow,
    CrackNormalRow,
    DistributionRow,
    ShearGroup,
    ShearRow,
    ShearNormalRow,
    ShearCapacityRow,
    WarningGroup,
    RowWarningRow,
    ShearWarningRow,
};
constexpr int CaptionColumn = 0;
constexpr int UnitColumn = 1;
constexpr int FirstRowColumn = 2; // design row r sits in column FirstRowColumn + r - 1
constexpr int RemarkColumn = FirstRowColumn + ReinRowCount;

QString Label(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A value the engine could not form is never shown as "nan" or "inf".
QString Value(double v)
{
    return std::isfinite(v) ? QString::fromStdString(FormatNumber(v, ValuePattern)) : NoValue;
}

QString Ratio(double v)
{
    return std::isfinite(v) ? QString::fromStdString(FormatNumber(v, RatioPattern)) : NoValue;
}

// A combination that puts exactly nothing on a section shows "--"; a tiny force shows 0.00.
QString ComboValue(float v)
{
    return v == 0.0f ? NoValue : Value(v);
}

int Column(int row)
{
    return FirstRowColumn + row - 1;
}

QLabel* NamedLabel(QWidget* parent, const QString& name, const QString& text = QString(),
    Qt::TextFormat format = Qt::PlainText)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(format);
    return label;
}

QString Indexed(const char* name, int index)
{
    return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(index);
}

QLabel* ValueLabel(QWidget* parent, const char* name, int index)
{
    QLabel* label = NamedLabel(parent, Indexed(name, index));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(Px(ValueCellWidth));
    return label;
}

QLabel* WarningLabel(QWidget* parent, const char* name, int index, const QString& text)
{
    QLabel* label = NamedLabel(parent, Indexed(name, index), text, Qt::RichText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(palette);
    label->setVisible(false);
    return label;
}

void MakeBold(QLabel* label)
{
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
}

} // namespace

bool ShowConcreteDesign(
    QWidget* parent, const ProjectDocument& document, const RecordCommit& commit)
{
    const CombinationResults& results = document.Combinations();
    if (!results.Stable) {
        ShowWarning(parent, QString::fromStdString(std::string(UnstableCombinationMessage)));
        return false;
    }
    ConcreteDesignWindow window(document.Record(), results, commit, parent);
    window.exec();
    return true;
}

ConcreteDesignWindow::ConcreteDesignWindow(
    const Project& record, const CombinationResults& results, RecordCommit commit, QWidget* parent)
    : QDialog(parent)
    , record_(record)
    , results_(results)
    , commit_(std::move(commit))
{
    setObjectName(QStringLiteral("frmRein"));
    setWindowTitle(QStringLiteral("Pendrake: Reinforced concrete design (")
        + QString::fromUtf8(CodeBasis.data(), qsizetype(CodeBasis.size())) + QLatin1Char(')'));
    setModal(true);

    const int u = std::clamp<int>(Record().UnitSystem, Metric, British);
    force_ = Label(ForceUnit[u]);
    length_ = Label(LengthUnit[u]);

    auto* outer = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("Picture2"));
    tabs_->tabBar()->setObjectName(QStringLiteral("Label10"));
    auto* reinforcements = new QWidget(tabs_);
    reinforcements->setObjectName(QStringLiteral("Picture2_0"));
    auto* forces = new QWidget(tabs_);
    forces->setObjectName(QStringLiteral("Picture2_1"));
    tabs_->addTab(reinforcements, QStringLiteral("Reinforcements"));
    tabs_->addTab(forces, QStringLiteral("Forces"));
    // The design table is in front when the window opens: it is what the engineer acts on.
    tabs_->setCurrentIndex(0);
    outer->addWidget(tabs_);
    BuildReinforcementPanel(reinforcements);
    BuildForcesPanel(forces);

    // Made after the panels, so that Tab reaches Close after the last bar box.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    close_ = new QPushButton(QStringLiteral("&Close"), this);
    close_->setObjectName(QStringLiteral("Command1"));
    // Enter belongs to the bar boxes: it applies the typed bar and never closes the window.
    close_->setAutoDefault(false);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(close_);
    outer->addLayout(buttons);
    FillBars();
    RefreshDesign();
    ShowForces(int(ForceTable::Moments));
}

void ConcreteDesignWindow::BuildForcesPanel(QWidget* panel)
{
    auto* layout = new QVBoxLayout(panel);
    combo1_ = new QComboBox(panel);
    combo1_->setObjectName(QStringLiteral("Combo1"));
    combo1_->addItems({ QStringLiteral("Bending moments (M)"),
        QStringLiteral("Shearing forces (V)"), QStringLiteral("Normal forces (N)") });
    layout->addWidget(combo1_, 0, Qt::AlignLeft);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(Px(240));
    for (int s = 1; s <= DesignSectionCount; ++s) {
        QLabel* head = NamedLabel(
            panel, Indexed("lblForcesSection", s), QStringLiteral("Section ") + QString::number(s));
        head->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        MakeBold(head);
        grid->addWidget(head, 0, s);
    }
    for (int k = 1; k <= ForceRowCount; ++k) {
        lblCombo_[k] = NamedLabel(panel, Indexed("lblCombo", k));
        if (k <= CombinationCount)
            lblCombo_[k]->setText(Label(CombinationName[k]));
        grid->addWidget(lblCombo_[k], k, 0);
        for (int s = 1; s <= DesignSectionCount; ++s) {
            const std::string name = "lblCombo" + std::to_string(s);
            lblComboValue_[s][k] = ValueLabel(panel, name.c_str(), k);
            grid->addWidget(lblComboValue_[s][k], k, s);
        }
    }
    grid->setColumnStretch(DesignSectionCount + 1, 1);
    layout->addLayout(grid);

    forcesUnit_ = NamedLabel(panel, QStringLiteral("lblUnitForces"));
    layout->addWidget(forcesUnit_);
    layout->addStretch(1);

    connect(combo1_, &QComboBox::currentIndexChanged, this, &ConcreteDesignWindow::ShowForces);
    combo1_->setCurrentIndex(int(ForceTable::Moments));
}

void ConcreteDesignWindow::ShowForces(int table)
{
    const auto& combo = table == int(ForceTable::Shears)
        ? Results().ComboShear
        : (table == int(ForceTable::Normals) ? Results().ComboNormal : Results().ComboMoment);
    for (int j = 1; j <= CombinationCount; ++j)
        for (int s = 1; s <= DesignSectionCount; ++s)
            lblComboValue_[s][j]->setText(ComboValue(combo[j][s]));

    // The values retained from the combinations, under the eleven combination rows.
    struct Retained {
        QString Caption;
        const std::array<float, DesignSectionCount + 1>* Values;
    };
    const Envelope& env = Results().Env;
    const QString correspondingN
        = QStringLiteral("Corresponding N (") + force_ + QStringLiteral(")");
    const QString forDesign = QStringLiteral("For design");
    const QString forZ = QStringLiteral("For z");
    std::vector<Retained> rows;
    switch (ForceTable(table)) {
    case ForceTable::Moments:
        rows = { { forDesign, &env.EnvMomentNeg }, { QString(), &env.EnvMomentPos },
            { correspondingN, &env.EnvNormalNeg }, { QString(), &env.EnvNormalPos },
            { forZ, &env.EnvMomentZ } };
        break;
    case ForceTable::Shears:
        rows = { { forDesign, &env.EnvShear }, { correspondingN, &env.EnvShearNormal } };
        break;
    case ForceTable::Normals: rows = { { forZ, &env.EnvNormalZ } }; break;
    }
    for (int k = CombinationCount + 1; k <= ForceRowCount; ++k) {
        const int i = k - CombinationCount - 1;
        const bool used = i < int(rows.size());
        lblCombo_[k]->setText(used ? rows[size_t(i)].Caption : QString());
        lblCombo_[k]->setVisible(used);
        for (int s = 1; s <= DesignSectionCount; ++s) {
            lblComboValue_[s][k]->setText(used ? Value((*rows[size_t(i)].Values)[s]) : QString());
            lblComboValue_[s][k]->setVisible(used);
        }
    }
    forcesUnit_->setText(QStringLiteral("Unit: ") + force_
        + (table == int(ForceTable::Moments) ? length_ : QString()));
}

void ConcreteDesignWindow::BuildReinforcementPanel(QWidget* panel)
{
    const int u = std::clamp<int>(Record().UnitSystem, Metric, British);
    const QString moment = force_ + length_;
    const QString small = Label(SmallLengthUnit[u]);
    // Areas are stored per strip in cm² (Metric and SI) or in² (British); SI shows them in mm²,
    // as its heights and bars, and as the report prints them.
    const QString area = small + QChar(0x00B2);
    const QString bar = Label(BarUnit[u]);

    auto* grid = new QGridLayout(panel);
    grid->setHorizontalSpacing(Px(120));
    grid->setVerticalSpacing(Px(30));
    int unitIndex = 0;

    const auto caption = [&](int row, const QString& text, bool group = false) {
        auto* label = new QLabel(text, panel);
        label->setTextFormat(Qt::RichText);
        if (group)
            MakeBold(label);
        grid->addWidget(label, row, CaptionColumn);
    };
    const auto unit = [&](int row, const QString& text) {
        QLabel* label = NamedLabel(panel, Indexed("lblUnitRein", unitIndex++), text);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(label, row, UnitColumn);
    };
    const auto rowLabels = [&](RowLabels& labels, const char* name, int row) {
        for (int r = 1; r <= ReinRowCount; ++r) {
            labels[r] = ValueLabel(panel, name, r);
            grid->addWidget(labels[r], row, Column(r));
        }
    };
    const auto sectionLabels = [&](SectionLabels& labels, const char* name, int row) {
        for (int s = 1; s <= DesignSectionCount; ++s) {
            labels[s] = NamedLabel(panel, Indexed(name, s));
            labels[s]->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
            grid->addWidget(labels[s], row, Column(2 * s - 1), 1, 2);
        }
    };

    // Heads: sections over their two faces.
    QLabel* item = NamedLabel(panel, QStringLiteral("lblItem"), QStringLiteral("Item"));
    MakeBold(item);
    grid->addWidget(item, FaceRow, CaptionColumn);
    QLabel* unitHead = NamedLabel(panel, QStringLiteral("lblUnitHead"), QStringLiteral("Unit"));
    MakeBold(unitHead);
    grid->addWidget(unitHead, FaceRow, UnitColumn, Qt::AlignRight);
    for (int s = 1; s <= DesignSectionCount; ++s) {
        QLabel* head = NamedLabel(
            panel, Indexed("lblReinSection", s), QStringLiteral("Section ") + QString::number(s));
        MakeBold(head);
        grid->addWidget(head, HeadRow, Column(2 * s - 1), 1, 2, Qt::AlignHCenter);
    }
    for (int r = 1; r <= ReinRowCount; ++r) {
        QLabel* face = NamedLabel(panel, Indexed("lblReinFace", r),
            r % 2 == 1 ? QStringLiteral("M-") : QStringLiteral("M+"));
        MakeBold(face);
        grid->addWidget(face, FaceRow, Column(r), Qt::AlignRight);
    }
    QLabel* remark = NamedLabel(panel, QStringLiteral("lblRemark"), QStringLiteral("Remark"));
    MakeBold(remark);
    grid->addWidget(remark, FaceRow, RemarkColumn);

    caption(ForcesGroup, QStringLiteral("Forces"), true);
    caption(MomentRow, QStringLiteral("Moment, M"));
    unit(MomentRow, moment);
    rowLabels(lblReinM_, "lblReinM", MomentRow);
    caption(NormalRow, QStringLiteral("Compression, N"));
    unit(NormalRow, force_);
    rowLabels(lblReinN_, "lblReinN", NormalRow);

    caption(BalancedGroup, QStringLiteral("Balanced section"), true);
    caption(HeightRow, QStringLiteral("Height, h"));
    unit(HeightRow, small);
    rowLabels(lblReinh_, "lblReinh", HeightRow);
    caption(CapacityRow, QStringLiteral("Moment capacity, M<sub>u</sub>"));
    unit(CapacityRow, moment);
    rowLabels(lblReinMu_, "lblReinMu", CapacityRow);
    caption(RequiredRow, QStringLiteral("Required rebar, A<sub>sreq</sub>"));
    unit(RequiredRow, area);
    rowLabels(lblReinAsreq_, "lblReinAsreq", RequiredRow);

    caption(ReinforcementGroup, QStringLiteral("Reinforcement"), true);
    caption(DiameterRow, QStringLiteral("Effective diameter"));
    unit(DiameterRow, bar);
    caption(PitchRow, QStringLiteral("Pitch"));
    unit(PitchRow, bar);
    for (int r = 1; r <= ReinRowCount; ++r) {
        for (const bool diameter : { true, false }) {
            auto* box = new QLineEdit(panel);
            box->setObjectName(Indexed(diameter ? "txtReinDia" : "txtReinPitch", r));
            box->setAlignment(Qt::AlignRight);
            box->setMaximumWidth(Px(ValueCellWidth));
            box->installEventFilter(this);
            connect(box, &QLineEdit::textEdited, this, [this, box] { edited_ = box; });
            grid->addWidget(box, diameter ? DiameterRow : PitchRow, Column(r));
            bars_[2 * size_t(r - 1) + (diameter ? 0 : 1)] = BarBox { box, r, diameter };
        }
    }
    caption(AreaRow, QStringLiteral("Area, A<sub>s</sub>"));
    unit(AreaRow, area);
    rowLabels(lblReinAs_, "lblReinAs", AreaRow);
    caption(RatioRow, QStringLiteral("Ratio, ") + Rho);
    unit(RatioRow, QString());
    rowLabels(lblReinRho_, "lblReinRho", RatioRow);

    caption(CrackGroup, QStringLiteral("Crack control"), true);
    caption(CrackMomentRow, QStringLiteral("Moment, M"));
    unit(CrackMomentRow, moment);
    rowLabels(lblReinMz_, "lblReinMz", CrackMomentRow);
    caption(CrackNormalRow, QStringLiteral("Normal, N"));
    unit(CrackNormalRow, force_);
    rowLabels(lblReinNz_, "lblReinNz", CrackNormalRow);
    caption(DistributionRow, QStringLiteral("Distribution, z"));
    unit(DistributionRow, force_ + QLatin1Char('/') + length_);
    rowLabels(lblReinZ_, "lblReinZ", DistributionRow);

    caption(ShearGroup, QStringLiteral("Shear"), true);
    caption(ShearRow, QStringLiteral("Shear, V"));
    unit(ShearRow, force_);
    sectionLabels(lblReinV_, "lblReinV", ShearRow);
    caption(ShearNormalRow, QStringLiteral("Normal, N"));
    unit(ShearNormalRow, force_);
    sectionLabels(lblReinNv_, "lblReinNv", ShearNormalRow);
    caption(ShearCapacityRow, QStringLiteral("Shear capacity, V<sub>u</sub>"));
    unit(ShearCapacityRow, force_);
    sectionLabels(lblReinVu_, "lblReinVu", ShearCapacityRow);

    // Warnings: each label is shown only while its condition holds.
    caption(WarningGroup, QStringLiteral("Warning"), true);
    for (int r = 1; r <= ReinRowCount; ++r) {
        auto* stack = new QVBoxLayout;
        stack->setSpacing(0);
        lblReinEva1_[r]
            = WarningLabel(panel, "lblReinEva1", r, QStringLiteral("M<sub>u</sub> &lt; M"));
        lblReinEva2_[r] = WarningLabel(panel, "lblReinEva2", r,
            Rho + QStringLiteral(" &lt; ") + Rho + QStringLiteral("<sub>min</sub>"));
        lblReinEva3_[r] = WarningLabel(panel, "lblReinEva3", r,
            Rho + QStringLiteral(" &gt; 0.75") + Rho + QStringLiteral("<sub>b</sub>"));
        lblReinEva4_[r]
            = WarningLabel(panel, "lblReinEva4", r, QStringLiteral("z &gt; z<sub>max</sub>"));
        lblReinEva6_[r] = WarningLabel(panel, "lblReinEva6", r, QString());
        for (QLabel* label :
            { lblReinEva1_[r], lblReinEva2_[r], lblReinEva3_[r], lblReinEva4_[r], lblReinEva6_[r] })
            stack->addWidget(label);
        stack->addStretch(1);
        grid->addLayout(stack, RowWarningRow, Column(r));
    }
    for (int s = 1; s <= DesignSectionCount; ++s) {
        lblReinEva5_[s]
            = WarningLabel(panel, "lblReinEva5", s, QStringLiteral("V<sub>u</sub> &lt; V"));
        grid->addWidget(lblReinEva5_[s], ShearWarningRow, Column(2 * s - 1), 1, 2);
    }

    // Remarks: the strip width the areas and capacities are per, and the two limits.
    lblNote_ = NamedLabel(panel, QStringLiteral("lblNote"));
    grid->addWidget(lblNote_, HeightRow, RemarkColumn);
    grid->addWidget(NamedLabel(panel, QStringLiteral("Label29"),
                        Rho + QStringLiteral("<sub>b</sub> ="), Qt::RichText),
        AreaRow, RemarkColumn);
    rhoBalanced_ = NamedLabel(panel, QStringLiteral("Label30"));
    grid->addWidget(rhoBalanced_, RatioRow, RemarkColumn);
    grid->addWidget(NamedLabel(panel, QStringLiteral("Label31"),
                        QStringLiteral("z<sub>max</sub> ="), Qt::RichText),
        CrackNormalRow, RemarkColumn);
    zMax_ = NamedLabel(panel, QStringLiteral("Label32"));
    grid->addWidget(zMax_, DistributionRow, RemarkColumn);

    grid->setRowStretch(ShearWarningRow + 1, 1);
    grid->setColumnStretch(RemarkColumn + 1, 1);
}

void ConcreteDesignWindow::FillBars()
{
    const double shown = Record().UnitSystem == British ? 1.0 : MillimetresPerCentimetre;
    for (const BarBox& bar : bars_) {
        const DesignResults& d = Results().Design;
        const float stored = bar.Diameter ? d.ReinDia[bar.Row] : d.ReinPitch[bar.Row];
        bar.Box->setText(Value(double(stored) * shown));
        shown_[bar.Box] = bar.Box->text();
    }
    edited_ = nullptr;
}

void ConcreteDesignWindow::RefreshDesign()
{
    const DesignResults& d = Results().Design;
    const int u = std::clamp<int>(Record().UnitSystem, Metric, British);
    const double heightShown = u == SI ? MillimetresPerCentimetre : 1.0;
    const double areaShown = heightShown * heightShown; // cm² to mm² in SI
    const DesignWarningSet warnings = DesignWarnings(d);

    for (int r = 1; r <= ReinRowCount; ++r) {
        lblReinM_[r]->setText(Value(d.ReinMoment[r]));
        lblReinN_[r]->setText(Value(d.ReinNormal[r]));
        lblReinh_[r]->setText(Value(double(d.ReinHeight[r]) * heightShown));
        lblReinMu_[r]->setText(Value(d.ReinMomentCap[r]));
        lblReinAsreq_[r]->setText(
            d.ReinCannotCarry[r] ? NoValue : Value(double(d.ReinAsReq[r]) * areaShown));
        lblReinAs_[r]->setText(Value(double(d.ReinAs[r]) * areaShown));
        lblReinRho_[r]->setText(Ratio(d.ReinRho[r]));
        lblReinMz_[r]->setText(Value(d.ReinMomentZ[r]));
        lblReinNz_[r]->setText(Value(d.ReinNormalZ[r]));
        lblReinZ_[r]->setText(d.ReinZCannotCarry[r] ? NoValue : Value(d.ReinZ[r]));

        const RowWarnings& w = warnings.Row[size_t(r)];
        lblReinEva1_[r]->setVisible(w.MomentCapacity);
        lblReinEva2_[r]->setVisible(w.RhoMin);
        lblReinEva3_[r]->setVisible(w.RhoBalanced);
        lblReinEva4_[r]->setVisible(w.ZMax);
        // The concrete cannot carry the moment whatever the bars: no required area, or no z.
        QString tooSmall;
        if (d.ReinCannotCarry[r] && d.ReinZCannotCarry[r])
            tooSmall = QStringLiteral("Section too small for M and z");
        else if (d.ReinCannotCarry[r])
            tooSmall = QStringLiteral("Section too small for M");
        else if (d.ReinZCannotCarry[r])
            tooSmall = QStringLiteral("Section too small for z");
        lblReinEva6_[r]->setText(tooSmall);
        lblReinEva6_[r]->setVisible(w.CannotCarry);
    }
    for (int s = 1; s <= DesignSectionCount; ++s) {
        lblReinV_[s]->setText(Value(d.ReinShear[s]));
        lblReinNv_[s]->setText(Value(d.ReinShearNormal[s]));
        lblReinVu_[s]->setText(Value(d.ReinShearCap[s]));
        lblReinEva5_[s]->setVisible(warnings.Shear[size_t(s)]);
    }

    // The strip is 100 cm (1000 mm in SI, where small lengths are shown in mm) or 12 in wide.
    const double width = DesignUnits(Record().UnitSystem).StoredWidth * heightShown;
    lblNote_->setText(QStringLiteral("Width (b) = ")
        + QString::fromStdString(FormatNumber(width, WidthPattern)) + QLatin1Char(' ')
        + Label(SmallLengthUnit[u]));
    rhoBalanced_->setText(Ratio(d.RhoBalanced));
    zMax_->setText(QString::fromStdString(FormatNumber(d.ZMax, LimitPattern)) + force_
        + QLatin1Char('/') + length_);
}

const ConcreteDesignWindow::BarBox* ConcreteDesignWindow::FindBar(const QObject* watched) const
{
    for (const BarBox& bar : bars_)
        if (bar.Box == watched)
            return &bar;
    return nullptr;
}

bool ConcreteDesignWindow::ApplyBar(const BarBox& bar)
{
    if (edited_ != bar.Box)
        return true;
    if (bar.Box->text() == shown_.value(bar.Box)) {
        edited_ = nullptr;
        return true;
    }
    const std::optional<double> typed = ParseEditValue(bar.Box->text().toStdString());
    const double perStored = Record().UnitSystem == British ? 1.0 : MillimetresPerCentimetre;
    const float stored = typed ? float(*typed / perStored) : 0.0f;
    // A bar of no size or no pitch has no area and would divide by zero in the checks.
    if (!typed || !(stored > 0.0f)) {
        refusing_ = true;
        Beep();
        bar.Box->setFocus();
        refusing_ = false;
        return false;
    }
    bar.Box->setText(Value(*typed));
    shown_[bar.Box] = bar.Box->text();
    edited_ = nullptr;
    // The design keeps the bars it shows, the engineer's one among them: the record takes all
    // six rows, and later design runs keep them.
    Project after = Record();
    const DesignResults& shownBars = Results().Design;
    for (int row = 1; row <= ReinRowCount; ++row) {
        after.ReinDia[row] = shownBars.ReinDia[row];
        after.ReinPitch[row] = shownBars.ReinPitch[row];
    }
    float& field = (bar.Diameter ? after.ReinDia : after.ReinPitch)[bar.Row];
    const float before = field;
    field = stored;
    after.ReinUserSet = true;
    if (before == stored && Record().ReinUserSet)
        return true;
    const int u = std::clamp<int>(Record().UnitSystem, Metric, British);
    const QString step
        = QStringLiteral("Bar %1 of row %2 %3 \u2192 %4 %5")
              .arg(bar.Diameter ? QStringLiteral("diameter") : QStringLiteral("pitch"))
              .arg(bar.Row)
              .arg(Value(double(before) * perStored))
              .arg(Value(*typed))
              .arg(Label(BarUnit[u]));
    commit_(std::move(after), step);
    RefreshDesign();
    return true;
}

bool ConcreteDesignWindow::eventFilter(QObject* watched, QEvent* event)
{
    const BarBox* bar = FindBar(watched);
    if (bar == nullptr || refusing_)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Enter checks and applies the entry as leaving would, and the focus stays in the box.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            ApplyBar(*bar);
            return true;
        }
    } else if (event->type() == QEvent::FocusOut) {
        const auto* focus = static_cast<QFocusEvent*>(event);
        // Only a move to another control of this window validates: not the Close button, not
        // another window taking over, not the window closing.
        const QWidget* next = QApplication::focusWidget();
        const bool withinWindow = next != nullptr && next != close_ && isAncestorOf(next);
        if (withinWindow && focus->reason() != Qt::ActiveWindowFocusReason
            && focus->reason() != Qt::PopupFocusReason && bar->Box->isVisible())
            ApplyBar(*bar);
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace pendrake::ui
