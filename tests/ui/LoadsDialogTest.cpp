// The Loads dialog driven through its real controls: the row commands and their limits, the
// working copy that only Accept gives back, the keys of the table, the highlighted row, refused
// entries that tell their rule, the surcharge's load case and the headings that say the units.
#include "ui/frmLoads.h"

#include "model/Project.h"
#include "model/Units.h"
#include "support/Widgets.h"
#include "ui/ValidatedBox.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace pendrake;
using namespace pendrake::ui;
using namespace pendrake::ui::uitest;

namespace {

enum Column { LoadColumn, XColumn, YColumn, DirColumn };
const char* const CellNames[] = { "txtLoad", "txtX", "txtY", "txtDir" };

// Two loads: 2 T/m straight down at (1, 3) as live load, 0.5 T/m towards the backfill at
// (4.5, 10) as impact.
Project ProjectWithTwoLoads(int16_t system = Metric)
{
    Project p = MakeNewProject("Arial");
    p.LineLoadCount = 2;
    p.LineLoads[1] = { 2.0f, 1.0f, 3.0f, 180.0f, 2 };
    p.LineLoads[2] = { 0.5f, 4.5f, 10.0f, 90.0f, 6 };
    return SwitchUnitSystem(p, system);
}

ValidatedBox* Cell(const QWidget& dialog, int row, Column column)
{
    auto* box = dialog.findChild<ValidatedBox*>(
        QStringLiteral("%1_%2").arg(QLatin1String(CellNames[column])).arg(row));
    EXPECT_NE(box, nullptr) << row << " " << column;
    return box;
}

QComboBox* TypeList(const QWidget& dialog, int row)
{
    return dialog.findChild<QComboBox*>(QStringLiteral("cboType_%1").arg(row));
}

int VisibleRows(const QWidget& dialog)
{
    int rows = 0;
    for (int r = 1; r <= MaxLineLoads; ++r)
        rows += Cell(dialog, r, LoadColumn)->isVisible() ? 1 : 0;
    return rows;
}

void Type(const QWidget& dialog, const char* box, const char* text)
{
    TypeInto(Find<ValidatedBox>(dialog, QString::fromLatin1(box)), QString::fromLatin1(text));
}

TEST(LoadsDialog, RowCommandsFollowTheTenRowLimit)
{
    const Project p = MakeNewProject("Arial");
    ASSERT_EQ(p.LineLoadCount, 0);
    LoadsDialog dialog(p);
    ShowActive(dialog);
    QPushButton* insert = Button(dialog, "cmdInsert");
    QPushButton* erase = Button(dialog, "cmdDelete");
    QPushButton* append = Button(dialog, "cmdAppend");
    EXPECT_EQ(append->text(), QString()) << "the append command has no caption";

    EXPECT_EQ(VisibleRows(dialog), 0);
    EXPECT_FALSE(erase->isEnabled());
    EXPECT_TRUE(insert->isEnabled());
    EXPECT_TRUE(append->isEnabled());

    for (int n = 1; n <= MaxLineLoads; ++n) {
        QTest::mouseClick(n % 2 ? append : insert, Qt::LeftButton);
        EXPECT_EQ(dialog.RowCount(), n);
        EXPECT_EQ(VisibleRows(dialog), n);
        EXPECT_TRUE(erase->isEnabled());
        EXPECT_EQ(insert->isEnabled(), n < MaxLineLoads) << n;
        EXPECT_EQ(append->isEnabled(), n < MaxLineLoads) << n;
    }

    for (int n = MaxLineLoads - 1; n >= 0; --n) {
        QTest::mouseClick(erase, Qt::LeftButton);
        EXPECT_EQ(dialog.RowCount(), n);
        EXPECT_EQ(VisibleRows(dialog), n);
        EXPECT_TRUE(insert->isEnabled());
        EXPECT_TRUE(append->isEnabled());
    }
    EXPECT_FALSE(erase->isEnabled());
}

TEST(LoadsDialog, InsertDeleteAndAppendWorkAtTheCurrentRow)
{
    const Project p = ProjectWithTwoLoads();
    LoadsDialog dialog(p);
    ShowActive(dialog);
    EXPECT_EQ(Cell(dialog, 1, LoadColumn)->text(), QStringLiteral("2"));
    EXPECT_EQ(Cell(dialog, 2, XColumn)->text(), QStringLiteral("4.5"));
    EXPECT_EQ(TypeList(dialog, 1)->currentText(), QStringLiteral("Live (L)"));
    EXPECT_EQ(TypeList(dialog, 2)->currentText(), QStringLiteral("Impact (L)"));
    EXPECT_EQ(TypeList(dialog, 2)->count(), LoadCaseCount);
    EXPECT_EQ(
        Find<QComboBox>(dialog, "cboSurchargeType")->currentText(), QStringLiteral("Live (L)"));

    // Insert at row 2: the second load moves down to row 3, the new row is dead load at 0.
    Cell(dialog, 2, YColumn)->setFocus(Qt::MouseFocusReason);
    QTest::mouseClick(Button(dialog, "cmdInsert"), Qt::LeftButton);
    ASSERT_EQ(dialog.RowCount(), 3);
    for (const Column c : { LoadColumn, XColumn, YColumn, DirColumn })
        EXPECT_EQ(Cell(dialog, 2, c)->text(), QStringLiteral("0"));
    EXPECT_EQ(TypeList(dialog, 2)->currentText(), QStringLiteral("Dead (D)"));
    EXPECT_EQ(Cell(dialog, 3, YColumn)->text(), QStringLiteral("10"));
    EXPECT_EQ(TypeList(dialog, 3)->currentText(), QStringLiteral("Impact (L)"));
    EXPECT_TRUE(Cell(dialog, 2, LoadColumn)->hasFocus()) << "the focus goes into the new row";

    // Append puts the new row after the last, whatever row is current.
    QTest::mouseClick(Button(dialog, "cmdAppend"), Qt::LeftButton);
    ASSERT_EQ(dialog.RowCount(), 4);
    EXPECT_EQ(Cell(dialog, 3, XColumn)->text(), QStringLiteral("4.5"));
    EXPECT_EQ(Cell(dialog, 4, XColumn)->text(), QStringLiteral("0"));
    EXPECT_TRUE(Cell(dialog, 4, LoadColumn)->hasFocus());

    // Delete the first row: everything moves up one place.
    Cell(dialog, 1, DirColumn)->setFocus(Qt::MouseFocusReason);
    QTest::mouseClick(Button(dialog, "cmdDelete"), Qt::LeftButton);
    ASSERT_EQ(dialog.RowCount(), 3);
    EXPECT_EQ(Cell(dialog, 1, LoadColumn)->text(), QStringLiteral("0"));
    EXPECT_EQ(Cell(dialog, 2, YColumn)->text(), QStringLiteral("10"));
    EXPECT_EQ(TypeList(dialog, 2)->currentText(), QStringLiteral("Impact (L)"));

    Button(dialog, "cmdAccept")->click();
    const std::optional<Project> r = dialog.Result();
    ASSERT_TRUE(r.has_value());
    ASSERT_EQ(r->LineLoadCount, 3);
    EXPECT_EQ(r->LineLoads[1], (LineLoad { 0, 0, 0, 0, 1 }));
    EXPECT_EQ(r->LineLoads[2], (LineLoad { 0.5f, 4.5f, 10.0f, 90.0f, 6 }));
    EXPECT_EQ(r->LineLoads[3], (LineLoad { 0, 0, 0, 0, 1 }));
}

TEST(LoadsDialog, AcceptGivesTheEditedRecordOrNothing)
{
    {
        // Every kind of control at once; zero is a load like any other.
        const Project p = ProjectWithTwoLoads();
        LoadsDialog dialog(p);
        ShowActive(dialog);
        Type(dialog, "txtLoad_1", "3.25");
        Type(dialog, "txtX_2", "0");
        Type(dialog, "txtSurcharge", "0");
        Type(dialog, "txtSeismic", "0.2");
        TypeList(dialog, 2)->setCurrentIndex(0);
        auto* surchargeType = Find<QComboBox>(dialog, "cboSurchargeType");
        surchargeType->setCurrentIndex(surchargeType->findText(QStringLiteral("Water (F)")));
        QTest::mouseClick(Button(dialog, "cmdAccept"), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        ASSERT_TRUE(dialog.Result().has_value());
        Project expected = p;
        expected.LineLoads[1].Load = 3.25f;
        expected.LineLoads[2].X = 0;
        expected.LineLoads[2].Type = 1; // dead load
        expected.Surcharge = 0;
        expected.SurchargeType = 4; // the load case's number, 1 dead load to 7 seismic
        expected.SeismicCoef = 0.2f;
        EXPECT_EQ(Inputs(*dialog.Result()), Inputs(expected));
    }
    for (const int16_t system : { Metric, SI, British }) {
        SCOPED_TRACE(system);
        const Project p = ProjectWithTwoLoads(system);
        LoadsDialog dialog(p);
        ShowActive(dialog);
        // Retyped as shown, and a row command that reads every row back.
        TypeInto(Cell(dialog, 2, LoadColumn), Cell(dialog, 2, LoadColumn)->text());
        QTest::mouseClick(Button(dialog, "cmdAppend"), Qt::LeftButton);
        QTest::mouseClick(Button(dialog, "cmdDelete"), Qt::LeftButton);
        QTest::mouseClick(Button(dialog, "cmdAccept"), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(dialog.Result().has_value()) << "no change, no step";
    }
}

struct RefusedCase {
    const char* Box; // a table cell, or the surcharge or seismic box
    const char* Typed;
    const char* Rule; // as the tooltip and the status bar give it, Metric units
};

const RefusedCase RefusedCases[] = {
    { "txtLoad_1", "-2", "Line load 1: load in T/m, 0 or more" },
    { "txtX_1", "abc", "Line load 1: X from the toe front in m, 0 or more" },
    { "txtY_2", "", "Line load 2: Y from the toe bottom in m, 0 or more" },
    { "txtDir_1", "-90",
        "Line load 1: direction from the upward vertical (0 up, 90 towards the backfill, 180 "
        "down) in °, 0 or more" },
    { "txtSurcharge", "-1", "Surcharge on the backfill in T/m², 0 or more" },
    { "txtSeismic", "x0.1", "Horizontal seismic coefficient (a fraction of g), 0 or more" },
};

TEST(LoadsDialog, BadEntriesBeepTellTheRuleAndHoldTheCommandsButNotCancel)
{
    for (const RefusedCase& c : RefusedCases) {
        SCOPED_TRACE(std::string(c.Box) + " = " + c.Typed);
        const Project p = ProjectWithTwoLoads();
        std::vector<QString> told;
        SetRefusalReporter([&](const QString& rule) { told.push_back(rule); });
        BeepCounter beeps;
        LoadsDialog dialog(p);
        ShowActive(dialog);
        auto* box = Find<ValidatedBox>(dialog, c.Box);
        TypeInto(box, QString::fromLatin1(c.Typed));
        QTest::keyClick(box, Qt::Key_Tab);
        EXPECT_EQ(beeps.Count(), 1);
        EXPECT_TRUE(box->hasFocus());
        const QString rule = QString::fromUtf8(c.Rule);
        EXPECT_EQ(told, std::vector<QString> { "Not accepted: " + rule + "." });
        EXPECT_EQ(box->toolTip(), rule);

        // A row command while the entry is bad changes nothing.
        QTest::mouseClick(Button(dialog, "cmdAppend"), Qt::LeftButton);
        EXPECT_EQ(dialog.RowCount(), 2);
        EXPECT_TRUE(box->hasFocus());

        QTest::mouseClick(Button(dialog, "cmdCancel"), Qt::LeftButton);
        SetRefusalReporter({});
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(dialog.Result().has_value());
    }
}

TEST(LoadsDialog, EnterAndArrowsMoveWithinAColumn)
{
    Project p = ProjectWithTwoLoads();
    p.LineLoadCount = 3;
    p.LineLoads[3] = { 1.0f, 2.0f, 3.0f, 0.0f, 1 };
    BeepCounter beeps;
    LoadsDialog dialog(p);
    ShowActive(dialog);

    ValidatedBox* x1 = Cell(dialog, 1, XColumn);
    x1->setFocus(Qt::MouseFocusReason);
    Cell(dialog, 2, XColumn)->setCursorPosition(3);
    QTest::keyClick(x1, Qt::Key_Return);
    ASSERT_TRUE(Cell(dialog, 2, XColumn)->hasFocus());
    EXPECT_EQ(Cell(dialog, 2, XColumn)->cursorPosition(), 0);
    EXPECT_EQ(Cell(dialog, 2, XColumn)->text(), QStringLiteral("4.5")) << "Enter types nothing";

    QTest::keyClick(Cell(dialog, 2, XColumn), Qt::Key_Down);
    EXPECT_TRUE(Cell(dialog, 3, XColumn)->hasFocus());
    QTest::keyClick(Cell(dialog, 3, XColumn), Qt::Key_Down);
    EXPECT_TRUE(Cell(dialog, 3, XColumn)->hasFocus()) << "no row below the last";
    QTest::keyClick(Cell(dialog, 3, XColumn), Qt::Key_Return);
    EXPECT_TRUE(Cell(dialog, 3, XColumn)->hasFocus());
    EXPECT_TRUE(dialog.isVisible()) << "Enter never accepts the dialog";
    QTest::keyClick(Cell(dialog, 3, XColumn), Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_TRUE(Cell(dialog, 3, XColumn)->hasFocus()) << "Shift holds the arrows";
    QTest::keyClick(Cell(dialog, 3, XColumn), Qt::Key_Up);
    QTest::keyClick(Cell(dialog, 2, XColumn), Qt::Key_Up);
    EXPECT_TRUE(Cell(dialog, 1, XColumn)->hasFocus());
    QTest::keyClick(x1, Qt::Key_Up);
    EXPECT_TRUE(x1->hasFocus()) << "no row above the first";
    EXPECT_EQ(beeps.Count(), 0);

    // A bad cell keeps the focus against Enter and the arrows alike.
    TypeInto(x1, QStringLiteral("-4"));
    QTest::keyClick(x1, Qt::Key_Return);
    QTest::keyClick(x1, Qt::Key_Down);
    EXPECT_EQ(beeps.Count(), 2);
    EXPECT_TRUE(x1->hasFocus());
}

TEST(LoadsDialog, TheCurrentRowIsHighlighted)
{
    Project p = ProjectWithTwoLoads();
    LoadsDialog dialog(p);
    ShowActive(dialog);
    const auto base
        = [&](int row, Column c) { return Cell(dialog, row, c)->palette().color(QPalette::Base); };
    Cell(dialog, 2, DirColumn)->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(dialog.CurrentRow(), 2);
    const QColor highlighted = base(2, LoadColumn);
    EXPECT_NE(highlighted, base(1, LoadColumn));
    for (const Column c : { XColumn, YColumn, DirColumn })
        EXPECT_EQ(base(2, c), highlighted) << "every box of the row";

    // The row stays current while the focus is on a command.
    Button(dialog, "cmdInsert")->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(dialog.CurrentRow(), 2);

    Cell(dialog, 1, YColumn)->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(dialog.CurrentRow(), 1);
    EXPECT_EQ(base(1, LoadColumn), highlighted);
    EXPECT_NE(base(2, LoadColumn), highlighted);
}

TEST(LoadsDialog, HeadingsAndTooltipsCarryTheUnitsOfTheSystem)
{
    struct Case {
        int16_t System;
        const char* Load;
        const char* Surcharge;
        const char* XTip; // row 3
    };
    for (const Case& c : { Case { Metric, "Load\n(T/m)", "T/m²", "X from the toe front in m" },
             Case { SI, "Load\n(kN/m)", "kPa", "X from the toe front in m" },
             Case { British, "Load\n(Kip/ft)", "Kip/ft²", "X from the toe front in ft" } }) {
        SCOPED_TRACE(c.System);
        const LoadsDialog dialog(ProjectWithTwoLoads(c.System));
        EXPECT_EQ(Find<QLabel>(dialog, "lblHeading_0")->text(), QString::fromUtf8(c.Load));
        // The direction heading says how the angle is measured.
        EXPECT_EQ(Find<QLabel>(dialog, "lblHeading_3")->text(),
            QStringLiteral("Dir. (°)\n0 up\n90 to backfill\n180 down"));
        EXPECT_EQ(Find<QLabel>(dialog, "lblSurchargeUnit")->text(), QString::fromUtf8(c.Surcharge));
        EXPECT_EQ(Cell(dialog, 3, XColumn)->toolTip(),
            "Line load 3: " + QString::fromUtf8(c.XTip) + ", 0 or more");
        EXPECT_EQ(Find<ValidatedBox>(dialog, "txtSurcharge")->toolTip(),
            "Surcharge on the backfill in " + QString::fromUtf8(c.Surcharge) + ", 0 or more");
        for (const ValidatedBox* box : dialog.findChildren<ValidatedBox*>())
            EXPECT_TRUE(box->toolTip().endsWith(QLatin1String(", 0 or more")))
                << box->objectName().toStdString();
    }
}

TEST(LoadsDialog, EditLoadsRunsModally)
{
    const Project p = ProjectWithTwoLoads();
    const auto before = Inputs(p);
    QTimer::singleShot(0, [] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        EXPECT_EQ(modal->objectName(), QStringLiteral("frmLoads"));
        Button(*modal, "cmdDelete")->click();
        Button(*modal, "cmdAccept")->click();
    });
    const std::optional<Project> r = EditLoads(nullptr, p);
    EXPECT_EQ(Inputs(p), before);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->LineLoadCount, 1);
    EXPECT_EQ(r->LineLoads[1], (LineLoad { 0.5f, 4.5f, 10.0f, 90.0f, 6 }))
        << "the first row was current and is gone";
}

} // namespace
