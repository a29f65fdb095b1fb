// The Properties dialog driven through its real boxes: entries refused by their rule beep, keep
// the focus and tell the rule; Cancel always closes; the cover crosses from mm to cm in SI; Accept
// gives the record with the typed fields changed, or nothing when nothing changed.
#include "ui/frmProperties.h"

#include "model/Project.h"
#include "model/Units.h"
#include "support/Widgets.h"
#include "ui/ValidatedBox.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

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
    const char* Rule; // what the status bar is told; null when the entry is accepted
};

// Boxes 0 to 8 must be above zero, boxes 9 to 18 may be zero; nothing may be negative or text.
// Metric units: unit weights in t/m³, strengths in kg/cm², the cover in cm.
const EntryCase EntryCases[] = {
    { 6, "0", "Reinforcement bar: Concrete cover in cm, greater than 0" },
    { 0, "-1", "Concrete: Unit weight (including reinforcement) in t/m³, greater than 0" },
    { 3, "0", "Concrete: Poisson's ratio (ν), greater than 0" },
    { 4, "abc", "Reinforcement bar: Yield stress (fy) in kg/cm², greater than 0" },
    { 1, "", "Concrete: Compressive stress (f'c) in kg/cm², greater than 0" },
    { 9, "-0.5", "Backfill: Dry density (γd) in t/m³, 0 or more" },
    { 17, "1,5", "Friction angle (δ): Earth to earth in °, 0 or more" },
    // Stored in single precision this would be 0 and slip past the "> 0" rule.
    { 2, "1e-50", "Concrete: Elasticity modulus (E) in E+5 kg/cm², greater than 0" },
    { 15, "-1e-50", "Base: Ultimate bearing capacity (qd) in kg/cm², 0 or more" },
    { 12, "0", nullptr }, // a cohesionless backfill
    { 18, "0", nullptr }, // no wall friction
    { 11, "32.5", nullptr },
    { 8, "1.8", nullptr },
};

TEST(PropertiesDialog, LeavingABoxChecksItsRuleAndTellsIt)
{
    for (const EntryCase& c : EntryCases) {
        SCOPED_TRACE(c.Box);
        const Project p = ProjectIn(Metric);
        std::vector<QString> told;
        SetRefusalReporter([&](const QString& rule) { told.push_back(rule); });
        BeepCounter beeps;
        PropertiesDialog dialog(p);
        ShowActive(dialog);
        ValidatedBox* box = Box(dialog, c.Box);
        TypeInto(box, QString::fromLatin1(c.Typed));
        // Leave towards a box that is not Cancel.
        QWidget* elsewhere = Box(dialog, c.Box == 0 ? 1 : 0);
        elsewhere->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        SetRefusalReporter({});

        const bool accepted = c.Rule == nullptr;
        EXPECT_EQ(beeps.Count(), accepted ? 0 : 1) << "the beep stays";
        EXPECT_EQ(QApplication::focusWidget(), accepted ? elsewhere : box);
        if (accepted) {
            EXPECT_TRUE(told.empty());
        } else {
            const QString rule = QString::fromUtf8(c.Rule);
            EXPECT_EQ(told, std::vector<QString> { "Not accepted: " + rule + "." });
            EXPECT_EQ(box->toolTip(), rule);
        }
    }
}

TEST(PropertiesDialog, TabAndEnterLeaveTheBoxWithTheSameCheck)
{
    const Project p = ProjectIn(Metric);
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

TEST(PropertiesDialog, CancelWithABadEntryClosesAndGivesNothing)
{
    const Project p = ProjectIn(SI);
    BeepCounter beeps;
    PropertiesDialog dialog(p);
    ShowActive(dialog);
    TypeInto(Box(dialog, 6), QStringLiteral("abc"));
    QTest::mouseClick(Button(dialog, "Command2"), Qt::LeftButton);

    EXPECT_EQ(beeps.Count(), 0) << "moving to Cancel skips the check";
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.Result().has_value());
}

TEST(PropertiesDialog, AcceptIsRefusedWhileABoxHoldsABadValue)
{
    for (const bool typed : { true, false }) {
        SCOPED_TRACE(typed ? "typed" : "read from a file");
        Project p = ProjectIn(Metric);
        if (!typed)
            p.ConcCover = 0; // no box was touched: the value came in with the project
        const int bad = typed ? 14 : 6;
        BeepCounter beeps;
        PropertiesDialog dialog(p);
        ShowActive(dialog);
        if (typed)
            TypeInto(Box(dialog, bad), QStringLiteral("-18"));
        QTest::mouseClick(Button(dialog, "Command1"), Qt::LeftButton);

        EXPECT_EQ(beeps.Count(), 1) << "one beep for one bad value";
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(Box(dialog, bad)->hasFocus());
        EXPECT_FALSE(dialog.Result().has_value());
    }
}

struct AcceptCase {
    int16_t System;
    float Cover; // cover of the record opened, cm (inches in British); 0 keeps the new project's
    int Box;
    const char* Typed; // null: retyped exactly as shown
    float Project::*Field;
    float Stored;
};

// The cover is kept in cm in Metric and SI and in inches in British; SI types it in mm.
const AcceptCase AcceptCases[] = {
    { SI, 0, 6, "55", &Project::ConcCover, 5.5f },
    { SI, 0, 6, "72.5", &Project::ConcCover, 7.25f },
    { Metric, 0, 6, "7.5", &Project::ConcCover, 7.5f },
    { British, 0, 6, "3", &Project::ConcCover, 3.0f },
    { Metric, 0, 12, "0.5", &Project::FillCohesion, 0.5f },
    { Metric, 0, 16, "2.25", &Project::BaseE, 2.25f },
    // Retyped as shown: no change in any system.
    { Metric, 0, 6, nullptr, nullptr, 0 },
    { SI, 0, 6, nullptr, nullptr, 0 },
    { British, 0, 6, nullptr, nullptr, 0 },
    // 1.0275f cm is shown as 10.275001 mm, which read back and divided by 10 is the next float
    // up: only the box's memory of what it showed keeps this from counting as a change.
    { SI, 1.0275f, 6, nullptr, nullptr, 0 },
};

TEST(PropertiesDialog, AcceptGivesTheRecordWithTheTypedFieldOnlyOrNothing)
{
    for (const AcceptCase& c : AcceptCases) {
        SCOPED_TRACE(testing::Message()
            << c.System << " box " << c.Box << " " << (c.Typed != nullptr ? c.Typed : "as shown"));
        Project p = ProjectIn(c.System);
        if (c.Cover != 0)
            p.ConcCover = c.Cover;
        PropertiesDialog dialog(p);
        ShowActive(dialog);
        const QString shown = Box(dialog, c.Box)->text();
        const QString typed = c.Typed != nullptr ? QString::fromLatin1(c.Typed) : shown;
        TypeInto(Box(dialog, c.Box), typed);
        Button(dialog, "Command1")->click();
        EXPECT_FALSE(dialog.isVisible());

        if (c.Field == nullptr) {
            EXPECT_FALSE(dialog.Result().has_value()) << "no change, no step";
            continue;
        }
        ASSERT_TRUE(dialog.Result().has_value());
        Project expected = p;
        expected.*c.Field = c.Stored;
        EXPECT_EQ(Inputs(*dialog.Result()), Inputs(expected)) << "only the typed field changes";
        PropertiesDialog again(*dialog.Result());
        EXPECT_EQ(Box(again, c.Box)->text(), typed) << "shown again as typed";
    }
}

struct TipCase {
    int16_t System;
    int Box;
    const char* Unit;
    const char* Tip;
};

const TipCase TipCases[] = {
    { SI, 0, "kN/m³", "Concrete: Unit weight (including reinforcement) in kN/m³, greater than 0" },
    { SI, 6, "mm", "Reinforcement bar: Concrete cover in mm, greater than 0" },
    { SI, 16, "E+5 MPa", "Base: Elasticity modulus (E) in E+5 MPa, 0 or more" },
    { British, 3, "", "Concrete: Poisson's ratio (ν), greater than 0" },
    { British, 1, "psi", "Concrete: Compressive stress (f'c) in psi, greater than 0" },
};

// Each box says what it holds, in which unit, and what it accepts.
TEST(PropertiesDialog, EveryBoxStatesItsMeaningUnitAndRange)
{
    for (const TipCase& c : TipCases) {
        SCOPED_TRACE(c.Tip);
        const PropertiesDialog dialog(ProjectIn(c.System));
        EXPECT_EQ(Text(dialog, "lblUnit", c.Box), QString::fromUtf8(c.Unit));
        EXPECT_EQ(Box(dialog, c.Box)->toolTip(), QString::fromUtf8(c.Tip));
    }
    const PropertiesDialog dialog(ProjectIn(British));
    for (int i = 0; i < PropertyBoxCount; ++i) {
        const QString tip = Box(dialog, i)->toolTip();
        EXPECT_TRUE(tip.endsWith(i <= 8 ? ", greater than 0" : ", 0 or more")) << i;
        const QString unit = Text(dialog, "lblUnit", i);
        EXPECT_TRUE(unit.isEmpty() || tip.contains(" in " + unit + ",")) << i;
    }
}

TEST(PropertiesDialog, EditPropertiesRunsModallyAndGivesTheAcceptedRecord)
{
    for (const bool cancel : { true, false }) {
        SCOPED_TRACE(cancel ? "cancelled" : "accepted");
        const Project p = ProjectIn(Metric);
        const auto before = Inputs(p);
        QTimer::singleShot(0, [cancel] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            EXPECT_EQ(modal->objectName(), QStringLiteral("frmProperties"));
            Box(*modal, 12)->setText(QStringLiteral("0.25"));
            Button(*modal, cancel ? "Command2" : "Command1")->click();
        });
        const std::optional<Project> result = EditProperties(nullptr, p);
        EXPECT_EQ(Inputs(p), before);
        ASSERT_EQ(result.has_value(), !cancel);
        if (result) {
            EXPECT_FLOAT_EQ(result->FillCohesion, 0.25f);
        }
    }
}

} // namespace
