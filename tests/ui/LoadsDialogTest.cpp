// The Loads dialog driven through its real controls: the row commands and their limits, the
// working copy that only Accept writes back, the keys of the table, the highlighted row, refused
// entries and the surcharge's load case.
#include "ui/frmLoads.h"

#include "DialogTestSupport.h"
#include "model/Project.h"
#include "model/Units.h"
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

TEST(LoadsDialog, RowCommandsFollowTheTenRowLimit)
{
    Project p = MakeNewProject("Arial");
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
    Project p = ProjectWithTwoLoads();
    LoadsDialog dialog(p);
    ShowActive(dialog);
    EXPECT_EQ(Cell(dialog, 1, LoadColumn)->text(), QStringLiteral("2"));
    EXPECT_EQ(Cell(dialog, 2, XColumn)->text(), QStringLiteral("4.5"));
    EXPECT_EQ(TypeList(dialog, 1)->currentText(), QStringLiteral("Live (L)"));
    EXPECT_EQ(TypeList(dialog, 2)->currentText(), QStringLiteral("Impact (L)"));

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

TEST(LoadsDialog, TheWorkingCopyReachesTheProjectOnlyOnAccept)
{
    Project p = ProjectWithTwoLoads();
    const auto before = Inputs(p);
    {
        LoadsDialog dialog(p);
        ShowActive(dialog);
        TypeInto(Cell(dialog, 1, LoadColumn), QStringLiteral("3.25"));
        QTest::keyClick(Cell(dialog, 1, LoadColumn), Qt::Key_Tab);
        TypeList(dialog, 2)->setCurrentIndex(0);
        QTest::mouseClick(Button(dialog, "cmdAppend"), Qt::LeftButton);
        QTest::mouseClick(Button(dialog, "cmdCancel"), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(dialog.Result().has_value());
    }
    EXPECT_EQ(Inputs(p), before);

    {
        LoadsDialog dialog(p);
        ShowActive(dialog);
        TypeInto(Cell(dialog, 1, LoadColumn), QStringLiteral("3.25"));
        TypeList(dialog, 2)->setCurrentIndex(0);
        TypeInto(Find<ValidatedBox>(dialog, "txtSeismic"), QStringLiteral("0.2"));
        QTest::mouseClick(Button(dialog, "cmdAccept"), Qt::LeftButton);
        ASSERT_TRUE(dialog.Result().has_value());
        p = *dialog.Result();
    }
    EXPECT_EQ(p.LineLoads[1], (LineLoad { 3.25f, 1.0f, 3.0f, 180.0f, 2 }));
    EXPECT_EQ(p.LineLoads[2].Type, 1);
    EXPECT_FLOAT_EQ(p.SeismicCoef, 0.2f);
}

TEST(LoadsDialog, AcceptWithoutAChangeLeavesTheProjectUnmodified)
{
    for (const int16_t system : { Metric, SI, British }) {
        SCOPED_TRACE(system);
        Project p = ProjectWithTwoLoads(system);
        const auto before = Inputs(p);
        LoadsDialog dialog(p);
        ShowActive(dialog);
        // Retyped as shown, and a row command that reads every row back.
        const QString shown = Cell(dialog, 2, LoadColumn)->text();
        TypeInto(Cell(dialog, 2, LoadColumn), shown);
        QTest::mouseClick(Button(dialog, "cmdAppend"), Qt::LeftButton);
        QTest::mouseClick(Button(dialog, "cmdDelete"), Qt::LeftButton);
        QTest::mouseClick(Button(dialog, "cmdAccept"), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(dialog.Result().has_value()) << "no change, no step";
        EXPECT_EQ(Inputs(p), before);
    }
}

TEST(LoadsDialog, SurchargeTypeIsStoredAsTheLoadCaseNumber)
{
    struct Case {
        const char* Name;
        int16_t Stored;
    };
    for (const Case& c : { Case { "Live (L)", 2 }, Case { "Dead (D)", 1 },
             Case { "Seismic (E)", 7 }, Case { "Water (F)", 4 } }) {
        SCOPED_TRACE(c.Name);
        Project p = MakeNewProject("Arial");
        p.SurchargeType = 3;
        LoadsDialog dialog(p);
        ShowActive(dialog);
        auto* list = Find<QComboBox>(dialog, "cboSurchargeType");
        ASSERT_EQ(list->count(), LoadCaseCount);
        EXPECT_EQ(list->currentText(), QStringLiteral("Soil (H)"));
        list->setCurrentIndex(list->findText(QString::fromUtf8(c.Name)));
        Button(dialog, "cmdAccept")->click();
        ASSERT_TRUE(dialog.Result().has_value());
        EXPECT_EQ(dialog.Result()->SurchargeType, c.Stored);
    }
}

TEST(LoadsDialog, BadEntriesBeepKeepTheFocusAndCancelStillWorks)
{
    struct Case {
        const char* Box; // a table cell of row 1, or the surcharge or seismic box
        const char* Typed;
    };
    for (const Case& c :
        { Case { "txtLoad_1", "-2" }, Case { "txtX_1", "abc" }, Case { "txtDir_1", "-90" },
            Case { "txtY_1", "" }, Case { "txtSurcharge", "-1" }, Case { "txtSeismic", "x0.1" } }) {
        SCOPED_TRACE(std::string(c.Box) + " = " + c.Typed);
        Project p = ProjectWithTwoLoads();
        const auto before = Inputs(p);
        BeepCounter beeps;
        LoadsDialog dialog(p);
        ShowActive(dialog);
        auto* box = Find<ValidatedBox>(dialog, c.Box);
        TypeInto(box, QString::fromLatin1(c.Typed));
        QTest::keyClick(box, Qt::Key_Tab);
        EXPECT_EQ(beeps.Count(), 1);
        EXPECT_TRUE(box->hasFocus());

        // A row command while the entry is bad changes nothing.
        QTest::mouseClick(Button(dialog, "cmdAppend"), Qt::LeftButton);
        EXPECT_EQ(dialog.RowCount(), 2);
        EXPECT_TRUE(box->hasFocus());

        QTest::mouseClick(Button(dialog, "cmdCancel"), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(dialog.Result().has_value());
        EXPECT_EQ(Inputs(p), before);
    }
}

TEST(LoadsDialog, ZeroIsAcceptedEverywhere)
{
    Project p = ProjectWithTwoLoads();
    BeepCounter beeps;
    LoadsDialog dialog(p);
    ShowActive(dialog);
    for (const char* name : { "txtLoad_1", "txtX_2", "txtSurcharge", "txtSeismic" }) {
        auto* box = Find<ValidatedBox>(dialog, name);
        TypeInto(box, QStringLiteral("0"));
        QTest::keyClick(box, Qt::Key_Tab);
        EXPECT_FALSE(box->hasFocus()) << name;
    }
    EXPECT_EQ(beeps.Count(), 0);
    Button(dialog, "cmdAccept")->click();
    const std::optional<Project> r = dialog.Result();
    ASSERT_TRUE(r.has_value());
    EXPECT_FLOAT_EQ(r->LineLoads[1].Load, 0.0f);
    EXPECT_FLOAT_EQ(r->LineLoads[2].X, 0.0f);
    EXPECT_FLOAT_EQ(r->Surcharge, 0.0f);
    EXPECT_FLOAT_EQ(r->SeismicCoef, 0.0f);
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

TEST(LoadsDialog, HeadingsCarryTheUnitsOfTheSystem)
{
    struct Case {
        int16_t System;
        const char* Load;
        const char* X;
        const char* Surcharge;
    };
    for (const Case& c : { Case { Metric, "Load\n(T/m)", "X\n(m)", "T/m²" },
             Case { SI, "Load\n(kN/m)", "X\n(m)", "kPa" },
             Case { British, "Load\n(Kip/ft)", "X\n(ft)", "Kip/ft²" } }) {
        Project p = ProjectWithTwoLoads(c.System);
        LoadsDialog dialog(p);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Loads"));
        EXPECT_EQ(Find<QLabel>(dialog, "lblHeading_0")->text(), QString::fromUtf8(c.Load));
        EXPECT_EQ(Find<QLabel>(dialog, "lblHeading_1")->text(), QString::fromUtf8(c.X));
        // The direction says how it is measured.
        EXPECT_EQ(Find<QLabel>(dialog, "lblHeading_3")->text(),
            QStringLiteral("Dir. (°)\n0 up\n90 to backfill\n180 down"));
        EXPECT_TRUE(Cell(dialog, 1, DirColumn)
                        ->toolTip()
                        .contains(QStringLiteral("90 towards the backfill")));
        EXPECT_EQ(Find<QLabel>(dialog, "lblHeading_4")->text(), QStringLiteral("Type"));
        EXPECT_EQ(Find<QLabel>(dialog, "lblSurchargeUnit")->text(), QString::fromUtf8(c.Surcharge));
        EXPECT_EQ(Find<QLabel>(dialog, "lblNote")->text(),
            QStringLiteral("Note: Origin at overturning point."));
    }
    // 2.0 T/m at X = 1.0 m becomes 19.62 kN/m at 1.00 in SI.
    Project si = ProjectWithTwoLoads(SI);
    LoadsDialog dialog(si);
    EXPECT_EQ(Cell(dialog, 1, LoadColumn)->text(), QStringLiteral("19.62"));
    EXPECT_EQ(Cell(dialog, 1, XColumn)->text(), QStringLiteral("1"));
}

TEST(LoadsDialog, EditLoadsRunsModally)
{
    Project p = ProjectWithTwoLoads();
    QTimer::singleShot(0, [] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        EXPECT_EQ(modal->objectName(), QStringLiteral("frmLoads"));
        modal->findChild<QPushButton*>(QStringLiteral("cmdDelete"))->click();
        modal->findChild<QPushButton*>(QStringLiteral("cmdAccept"))->click();
    });
    const std::optional<Project> r = EditLoads(nullptr, p);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->LineLoadCount, 1);
    EXPECT_EQ(r->LineLoads[1], (LineLoad { 0.5f, 4.5f, 10.0f, 90.0f, 6 }))
        << "the first row was current and is gone";
}

} // namespace
