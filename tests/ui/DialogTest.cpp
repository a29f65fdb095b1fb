// The anchor rows that fit once the Anchors dialog is accepted; the Loads table's row commands.
// The dialogs' entry boxes are in EntryBoxTest, the steps they make in MainWindowTest.
#include "support/Widgets.h"
#include "ui/ValidatedBox.h"
#include "ui/frmAnchor.h"
#include "ui/frmLoads.h"

#include <QComboBox>

#include <gtest/gtest.h>

#include <optional>

namespace pendrake::ui {
namespace {

using namespace uitest;

// Two loads: 2 T/m straight down at (1, 3) as live load, 0.5 T/m towards the backfill at
// (4.5, 10) as impact.
Project TwoLoads(int16_t system = Metric)
{
    Project p = MakeNewProject("Arial");
    p.LineLoadCount = 2;
    p.LineLoads[1] = { 2.0f, 1.0f, 3.0f, 180.0f, 2 };
    p.LineLoads[2] = { 0.5f, 4.5f, 10.0f, 90.0f, 6 };
    return SwitchUnitSystem(p, system);
}

TEST(AnchorDialog, AcceptLeavesOnlyTheRowsThatFit)
{
    // Default underside: rear slope 2.0 + lower slope 2.0 - edge 0.5 = 3.5 m for the rows.
    struct Case {
        int16_t Rows; // in the record opened
        const char* Button;
        const char* Pitch; // typed into the vertical pitch, or null
        int Expected; // rows in the result; -1 for no result
    };
    for (const Case& c : {
             Case { 5, "Command2", nullptr, -1 }, // Cancel leaves the record as it is
             Case { 5, "Command1", nullptr, 3 }, // 3.5 / 1.5 = 2.33: floor + 1 = 3 rows fit
             Case { 5, "Command1", "1", 4 }, // the accepted pitch counts: 3.5 / 1 + 1 = 4
             Case { 3, "Command1", nullptr, -1 }, // all fit and nothing changed
         }) {
        SCOPED_TRACE(testing::Message() << c.Rows << c.Button << (c.Pitch ? c.Pitch : ""));
        Project p = ProjectIn(Metric);
        p.AnchorRows = c.Rows;
        WhenModalOpens("frmAnchor", [&c](QWidget* w) {
            if (c.Pitch != nullptr)
                At(*w, "Text1", 1)->setText(QString::fromLatin1(c.Pitch));
            Button(*w, c.Button)->click();
        });
        const std::optional<Project> result = EditAnchors(nullptr, p);
        EXPECT_EQ(result ? result->AnchorRows : -1, c.Expected);
    }
}

TEST(LoadsDialog, RowCommandsFollowTheTenRowLimit)
{
    LoadsDialog dialog(MakeNewProject("Arial"));
    ShowActive(dialog);
    QPushButton* insert = Button(dialog, "cmdInsert");
    QPushButton* erase = Button(dialog, "cmdDelete");
    QPushButton* append = Button(dialog, "cmdAppend");
    EXPECT_FALSE(erase->isEnabled());
    for (int n = 1; n <= MaxLineLoads; ++n) {
        QTest::mouseClick(n % 2 ? append : insert, Qt::LeftButton);
        EXPECT_EQ(dialog.RowCount(), n);
        EXPECT_EQ(insert->isEnabled() && append->isEnabled(), n < MaxLineLoads) << n;
    }
    for (int n = MaxLineLoads - 1; n >= 0; --n) {
        QTest::mouseClick(erase, Qt::LeftButton);
        EXPECT_EQ(dialog.RowCount(), n);
        EXPECT_EQ(erase->isEnabled(), n > 0);
    }
    EXPECT_TRUE(insert->isEnabled() && append->isEnabled());
}

TEST(LoadsDialog, InsertDeleteAndAppendWorkAtTheCurrentRow)
{
    LoadsDialog dialog(TwoLoads());
    ShowActive(dialog);
    EXPECT_EQ(At<QComboBox>(dialog, "cboType", 2)->currentText(), QStringLiteral("Impact (L)"));

    // Insert at row 2: the second load moves down to row 3, the new row is dead load at 0.
    At(dialog, "txtY", 2)->setFocus(Qt::MouseFocusReason);
    QTest::mouseClick(Button(dialog, "cmdInsert"), Qt::LeftButton);
    ASSERT_EQ(dialog.RowCount(), 3);
    EXPECT_EQ(At(dialog, "txtX", 2)->text(), QStringLiteral("0"));
    EXPECT_EQ(At<QComboBox>(dialog, "cboType", 2)->currentText(), QStringLiteral("Dead (D)"));
    EXPECT_EQ(At(dialog, "txtY", 3)->text(), QStringLiteral("10"));
    EXPECT_TRUE(At(dialog, "txtLoad", 2)->hasFocus()) << "the focus goes into the new row";

    // Append puts the new row after the last, whatever row is current.
    QTest::mouseClick(Button(dialog, "cmdAppend"), Qt::LeftButton);
    ASSERT_EQ(dialog.RowCount(), 4);
    EXPECT_EQ(At(dialog, "txtX", 3)->text(), QStringLiteral("4.5"));
    EXPECT_TRUE(At(dialog, "txtLoad", 4)->hasFocus());

    // Delete the first row: it stays current while the command takes the click; everything
    // moves up one place.
    At(dialog, "txtDir", 1)->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(dialog.CurrentRow(), 1);
    QTest::mouseClick(Button(dialog, "cmdDelete"), Qt::LeftButton);
    ASSERT_EQ(dialog.RowCount(), 3);
    EXPECT_EQ(At<QComboBox>(dialog, "cboType", 2)->currentText(), QStringLiteral("Impact (L)"));

    // The load cases are stored by their number, 1 dead load to 7 seismic.
    At<QComboBox>(dialog, "cboType", 2)->setCurrentIndex(0);
    auto* surchargeType = Find<QComboBox>(dialog, "cboSurchargeType");
    EXPECT_EQ(surchargeType->currentText(), QStringLiteral("Live (L)"));
    surchargeType->setCurrentIndex(surchargeType->findText(QStringLiteral("Water (F)")));
    Button(dialog, "cmdAccept")->click();
    const std::optional<Project> r = dialog.Result();
    ASSERT_TRUE(r.has_value());
    ASSERT_EQ(r->LineLoadCount, 3);
    EXPECT_EQ(r->LineLoads[1], (LineLoad { 0, 0, 0, 0, 1 }));
    EXPECT_EQ(r->LineLoads[2], (LineLoad { 0.5f, 4.5f, 10.0f, 90.0f, 1 }));
    EXPECT_EQ(r->LineLoads[3], (LineLoad { 0, 0, 0, 0, 1 }));
    EXPECT_EQ(r->SurchargeType, 4);
}

// In each unit system: the rows read back through their shown texts, and the headings' units.
TEST(LoadsDialog, RowCommandsWaitForABadEntryAndReadTheRowsBackUnchanged)
{
    struct Case {
        int16_t System;
        const char *Load, *Surcharge;
    };
    for (const Case& c : { Case { Metric, "Load\n(T/m)", "T/m²" },
             Case { SI, "Load\n(kN/m)", "kPa" }, Case { British, "Load\n(Kip/ft)", "Kip/ft²" } }) {
        SCOPED_TRACE(c.System);
        Capture capture;
        LoadsDialog dialog(TwoLoads(c.System));
        ShowActive(dialog);
        // A row command reads every row back, through their shown texts.
        QTest::mouseClick(Button(dialog, "cmdAppend"), Qt::LeftButton);
        QTest::mouseClick(Button(dialog, "cmdDelete"), Qt::LeftButton);
        // ... and while one of them holds a bad entry, it does nothing.
        const QString shown = At(dialog, "txtY", 1)->text();
        TypeAndLeave(At(dialog, "txtY", 1), QStringLiteral("-3"));
        QTest::mouseClick(Button(dialog, "cmdAppend"), Qt::LeftButton);
        EXPECT_EQ(dialog.RowCount(), 2);
        EXPECT_TRUE(At(dialog, "txtY", 1)->hasFocus());
        EXPECT_EQ(capture.Beeps, 2) << "leaving for the command checks the box again";
        TypeAndLeave(At(dialog, "txtY", 1), shown);
        QTest::mouseClick(Button(dialog, "cmdAccept"), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(dialog.Result().has_value()) << "no change, no step";
        EXPECT_EQ(Find<QLabel>(dialog, "lblHeading_0")->text(), QString::fromUtf8(c.Load));
        EXPECT_EQ(Find<QLabel>(dialog, "lblSurchargeUnit")->text(), QString::fromUtf8(c.Surcharge));
    }
}

} // namespace
} // namespace pendrake::ui
