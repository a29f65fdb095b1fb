// The Properties dialog driven through its real boxes: entries refused by their rule beep and keep
// the focus, Cancel always closes, the cover crosses from mm to cm in SI, and an Accept without a
// change leaves the project unmodified in every unit system.
#include "ui/frmProperties.h"

#include "DialogTestSupport.h"
#include "model/Project.h"
#include "model/Units.h"
#include "ui/ValidatedBox.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

using namespace pendrake;
using namespace pendrake::ui;
using namespace pendrake::ui::uitest;

namespace {

ValidatedBox* Box(const QWidget& dialog, int index)
{
    auto* box = dialog.findChild<ValidatedBox*>(QStringLiteral("txtValue_%1").arg(index));
    EXPECT_NE(box, nullptr) << index;
    return box;
}

struct EntryCase {
    int Box;
    const char* Typed;
    bool Accepted;
    const char* Why;
};

// Boxes 0 to 8 must be above zero, boxes 9 to 18 may be zero; nothing may be negative or text.
const EntryCase EntryCases[] = {
    { 6, "0", false, "a concrete cover of 0 cannot protect the bars" },
    { 0, "-1", false, "negative unit weight" },
    { 3, "0", false, "Poisson's ratio must be above 0" },
    { 4, "abc", false, "text is no yield stress" },
    { 1, "", false, "an empty box is no number" },
    { 9, "-0.5", false, "negative dry density" },
    { 17, "1,5", false, "a decimal comma is no number" },
    { 12, "0", true, "a cohesionless backfill" },
    { 18, "0", true, "no wall friction" },
    { 11, "32.5", true, "friction angle" },
    { 8, "1.8", true, "backfill unit weight" },
    // Stored in single precision this would be 0 and slip past the "> 0" rule.
    { 2, "1e-50", false, "a modulus too small for a stored float" },
    { 15, "-1e-50", false, "a negative bearing capacity, however small" },
};

TEST(PropertiesDialog, LeavingABoxChecksItsRule)
{
    for (const EntryCase& c : EntryCases) {
        SCOPED_TRACE(c.Why);
        Project p = ProjectIn(Metric);
        const auto before = Inputs(p);
        BeepCounter beeps;
        PropertiesDialog dialog(p);
        ShowActive(dialog);
        ValidatedBox* box = Box(dialog, c.Box);
        TypeInto(box, QString::fromLatin1(c.Typed));
        // Leave towards a box that is not Cancel.
        QWidget* elsewhere = Box(dialog, c.Box == 0 ? 1 : 0);
        elsewhere->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();

        EXPECT_EQ(beeps.Count(), c.Accepted ? 0 : 1);
        EXPECT_EQ(QApplication::focusWidget(), c.Accepted ? elsewhere : box);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(Inputs(p), before) << "nothing is stored before Accept";
    }
}

TEST(PropertiesDialog, TabAndEnterLeaveTheBoxWithTheSameCheck)
{
    Project p = ProjectIn(Metric);
    BeepCounter beeps;
    PropertiesDialog dialog(p);
    ShowActive(dialog);

    TypeInto(Box(dialog, 7), QStringLiteral("-1"));
    QTest::keyClick(Box(dialog, 7), Qt::Key_Tab);
    EXPECT_EQ(beeps.Count(), 1);
    EXPECT_TRUE(Box(dialog, 7)->hasFocus());

    QTest::keyClick(Box(dialog, 7), Qt::Key_Return);
    EXPECT_EQ(beeps.Count(), 2);
    EXPECT_TRUE(Box(dialog, 7)->hasFocus());
    EXPECT_TRUE(dialog.isVisible()) << "Enter presses no button behind a refused box";

    TypeInto(Box(dialog, 7), QStringLiteral("1.02"));
    QTest::keyClick(Box(dialog, 7), Qt::Key_Return);
    EXPECT_EQ(beeps.Count(), 2);
    EXPECT_TRUE(Box(dialog, 8)->hasFocus());
    EXPECT_TRUE(dialog.isVisible());
}

TEST(PropertiesDialog, CancelWithABadEntryClosesAndLeavesTheProject)
{
    Project p = ProjectIn(SI);
    const auto before = Inputs(p);
    BeepCounter beeps;
    PropertiesDialog dialog(p);
    ShowActive(dialog);

    TypeInto(Box(dialog, 6), QStringLiteral("abc"));
    QTest::mouseClick(Button(dialog, "Command2"), Qt::LeftButton);

    EXPECT_EQ(beeps.Count(), 0) << "moving to Cancel skips the check";
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.Result().has_value());
    EXPECT_EQ(Inputs(p), before);
}

TEST(PropertiesDialog, AcceptIsRefusedWhileABoxHoldsABadEntry)
{
    Project p = ProjectIn(Metric);
    const auto before = Inputs(p);
    BeepCounter beeps;
    PropertiesDialog dialog(p);
    ShowActive(dialog);
    TypeInto(Box(dialog, 14), QStringLiteral("-18"));
    QTest::mouseClick(Button(dialog, "Command1"), Qt::LeftButton);

    EXPECT_EQ(beeps.Count(), 1) << "one beep for one bad entry";
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(Box(dialog, 14)->hasFocus());
    EXPECT_EQ(Inputs(p), before);
    EXPECT_FALSE(dialog.Result().has_value());
}

TEST(PropertiesDialog, AcceptRefusesABadValueReadFromAFile)
{
    Project p = ProjectIn(Metric);
    p.ConcCover = 0; // no box was touched: the value came in with the project
    BeepCounter beeps;
    PropertiesDialog dialog(p);
    ShowActive(dialog);
    Button(dialog, "Command1")->click();
    EXPECT_EQ(beeps.Count(), 1);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(Box(dialog, 6)->hasFocus());
}

TEST(PropertiesDialog, AcceptWithoutAChangeLeavesTheProjectUnmodified)
{
    for (const int16_t system : { Metric, SI, British }) {
        SCOPED_TRACE(system);
        Project p = ProjectIn(system);
        const auto before = Inputs(p);
        PropertiesDialog dialog(p);
        ShowActive(dialog);
        // The engineer retypes the cover exactly as shown: mm in SI.
        const QString shown = Box(dialog, 6)->text();
        TypeInto(Box(dialog, 6), shown);
        Button(dialog, "Command1")->click();

        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(dialog.Result().has_value()) << "no change, no step";
        EXPECT_EQ(Inputs(p), before);
    }
}

TEST(PropertiesDialog, AnUntouchedCoverKeepsItsStoredValueExactly)
{
    // 1.0275f cm is shown as 10.275001 mm, which read back and divided by 10 is the next float
    // up: only the box's memory of what it showed keeps this from counting as a change.
    Project p = ProjectIn(SI);
    p.ConcCover = 1.0275f;
    PropertiesDialog dialog(p);
    ShowActive(dialog);
    EXPECT_EQ(Box(dialog, 6)->text(), QStringLiteral("10.275001"));
    Button(dialog, "Command1")->click();
    EXPECT_FALSE(dialog.Result().has_value());
}

struct CoverCase {
    int16_t System;
    const char* Typed;
    float Stored;
    const char* Unit;
};

// The cover is kept in cm in Metric and SI and in inches in British; SI types it in mm.
const CoverCase CoverCases[] = {
    { SI, "70", 7.0f, "mm" },
    { SI, "55", 5.5f, "mm" },
    { Metric, "7.5", 7.5f, "cm" },
    { British, "3", 3.0f, "in" },
};

TEST(PropertiesDialog, CoverIsTypedInTheSmallLengthUnit)
{
    for (const CoverCase& c : CoverCases) {
        SCOPED_TRACE(c.Typed);
        Project p = ProjectIn(c.System);
        p.ConcCover = 5.0f; // so that every typed value is a change
        std::optional<Project> accepted;
        {
            PropertiesDialog dialog(p);
            ShowActive(dialog);
            EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("lblUnit_6"))->text(),
                QString::fromUtf8(c.Unit));
            TypeInto(Box(dialog, 6), QString::fromLatin1(c.Typed));
            Button(dialog, "Command1")->click();
            accepted = dialog.Result();
        }
        ASSERT_TRUE(accepted.has_value());
        EXPECT_FLOAT_EQ(accepted->ConcCover, c.Stored);
        EXPECT_FLOAT_EQ(p.ConcCover, 5.0f) << "the dialog works on a copy";

        PropertiesDialog again(*accepted);
        EXPECT_EQ(Box(again, 6)->text(), QString::fromLatin1(c.Typed)) << "shown as typed";
    }
}

TEST(PropertiesDialog, AChangedValueIsStoredInItsFieldAndMarksTheProject)
{
    const Project p = ProjectIn(Metric);
    std::optional<Project> accepted;
    {
        PropertiesDialog dialog(p);
        ShowActive(dialog);
        TypeInto(Box(dialog, 12), QStringLiteral("0.5")); // backfill cohesion
        TypeInto(Box(dialog, 16), QStringLiteral("2.25")); // base modulus
        Button(dialog, "Command1")->click();
        accepted = dialog.Result();
    }
    ASSERT_TRUE(accepted.has_value());
    EXPECT_FLOAT_EQ(accepted->FillCohesion, 0.5f);
    EXPECT_FLOAT_EQ(accepted->BaseE, 2.25f);
    EXPECT_FLOAT_EQ(accepted->BaseCohesion, 18.0f) << "the neighbouring box keeps its value";
}

TEST(PropertiesDialog, UnitCaptionsFollowTheUnitSystem)
{
    Project p = ProjectIn(SI);
    PropertiesDialog dialog(p);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Pendrake: Properties"));
    const auto unit = [&](int i) {
        return dialog.findChild<QLabel*>(QStringLiteral("lblUnit_%1").arg(i))->text();
    };
    EXPECT_EQ(unit(0), QStringLiteral("kN/m³"));
    EXPECT_EQ(unit(1), QStringLiteral("MPa"));
    EXPECT_EQ(unit(2), QStringLiteral("E+5 MPa"));
    EXPECT_EQ(unit(3), QString());
    EXPECT_EQ(unit(11), QStringLiteral("°"));
    EXPECT_EQ(unit(15), QStringLiteral("MPa"));
    EXPECT_EQ(unit(16), QStringLiteral("E+5 MPa"));
    // SI: 2.4 t/m³ x 9.81 = 23.544, kept to two decimals by the unit switch.
    EXPECT_EQ(Box(dialog, 0)->text(), QStringLiteral("23.54"));
}

// Each box says what it holds, in which unit, and what it accepts; a refused entry says the
// same in the status bar.
TEST(PropertiesDialog, BoxesStateMeaningUnitAndRangeAndARefusalTellsTheRule)
{
    const Project p = ProjectIn(SI);
    PropertiesDialog dialog(p);
    ShowActive(dialog);
    const std::pair<int, const char*> tips[] = {
        { 0, "Concrete: Unit weight (including reinforcement) in kN/m³, greater than 0" },
        { 6, "Reinforcement bar: Concrete cover in mm, greater than 0" },
        { 11, "Backfill: Internal friction angle (φ) in °, 0 or more" },
        { 3, "Concrete: Poisson's ratio (ν), greater than 0" },
    };
    for (const auto& [box, tip] : tips)
        EXPECT_EQ(Box(dialog, box)->toolTip(), QString::fromUtf8(tip)) << box;

    QString told;
    SetRefusalReporter([&](const QString& rule) { told = rule; });
    BeepCounter beeps;
    TypeInto(Box(dialog, 6), QStringLiteral("0"));
    QTest::keyClick(Box(dialog, 6), Qt::Key_Tab);
    SetRefusalReporter({});
    EXPECT_EQ(beeps.Count(), 1) << "the beep stays";
    EXPECT_EQ(told,
        QStringLiteral("Not accepted: Reinforcement bar: Concrete cover in mm, greater than 0."));
}

TEST(PropertiesDialog, EditPropertiesRunsModallyAndReportsTheCancel)
{
    Project p = ProjectIn(Metric);
    const auto before = Inputs(p);
    QTimer::singleShot(0, [] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        EXPECT_EQ(modal->objectName(), QStringLiteral("frmProperties"));
        modal->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    });
    EXPECT_FALSE(EditProperties(nullptr, p).has_value());
    EXPECT_EQ(Inputs(p), before);
}

} // namespace
