// The Anchors dialog driven through its real boxes: the rows rounded half to even, the diameter
// typed in mm in SI, the arrow and Enter keys, refused entries that tell their rule, and the rows
// limited to those that fit once Accept has closed the dialog.
#include "ui/frmAnchor.h"

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
    auto* box = dialog.findChild<ValidatedBox*>(QStringLiteral("Text1_%1").arg(index));
    EXPECT_NE(box, nullptr) << index;
    return box;
}

TEST(AnchorDialog, RowsAreStoredRoundedHalfToEven)
{
    // Halves go to the even neighbour; everything else to the nearest whole row.
    const std::pair<const char*, int16_t> cases[]
        = { { "2.5", 2 }, { "3.5", 4 }, { "0.5", 0 }, { "2.4999", 2 }, { "1.6", 2 }, { "0", 0 } };
    for (const auto& [typed, stored] : cases) {
        SCOPED_TRACE(typed);
        Project p = ProjectIn(Metric);
        p.AnchorRows = 7; // every case is a change
        BeepCounter beeps;
        AnchorDialog dialog(p);
        ShowActive(dialog);
        TypeInto(Box(dialog, 0), QString::fromLatin1(typed));
        QTest::keyClick(Box(dialog, 0), Qt::Key_Tab);
        Button(dialog, "Command1")->click();
        EXPECT_EQ(beeps.Count(), 0);
        ASSERT_TRUE(dialog.Result().has_value());
        EXPECT_EQ(dialog.Result()->AnchorRows, stored);
    }
}

struct EntryCase {
    int Box;
    const char* Typed;
    const char* Rule; // as the tooltip and the status bar give it, Metric units
};

const EntryCase RefusedEntries[] = {
    { 0, "-1", "Number along vertical, a whole number, 0 or more" },
    { 0, "-0.3", "Number along vertical, a whole number, 0 or more" }, // rounds to 0 rows
    { 0, "40000", "Number along vertical, a whole number, 0 or more" }, // beyond a 16-bit count
    { 1, "0", "Vertical pitch in m, greater than 0" }, // would stack every row on the first
    { 2, "-1.5", "Horizontal pitch in m, greater than 0" },
    { 3, "0", "Bottom edge distance in m, greater than 0" },
    { 4, "x", "Yield stress in kg/cm², greater than 0" },
    { 6, "0", "Diameter in cm, greater than 0" },
    { 7, "", "Elasticity modulus in E+5 kg/cm², greater than 0" },
};

TEST(AnchorDialog, BadEntriesBeepKeepTheFocusAndTellTheRule)
{
    for (const EntryCase& c : RefusedEntries) {
        SCOPED_TRACE(c.Typed);
        const Project p = ProjectIn(Metric);
        std::vector<QString> told;
        SetRefusalReporter([&](const QString& rule) { told.push_back(rule); });
        BeepCounter beeps;
        AnchorDialog dialog(p);
        ShowActive(dialog);
        TypeInto(Box(dialog, c.Box), QString::fromLatin1(c.Typed));
        QTest::keyClick(Box(dialog, c.Box), Qt::Key_Tab);
        EXPECT_EQ(beeps.Count(), 1);
        EXPECT_TRUE(Box(dialog, c.Box)->hasFocus());
        const QString said = "Not accepted: " + QString::fromUtf8(c.Rule) + ".";
        EXPECT_EQ(told, std::vector<QString> { said });
        EXPECT_EQ(Box(dialog, c.Box)->toolTip(), QString::fromUtf8(c.Rule));

        // Accept does nothing while the entry is bad; leaving for it checks once more.
        QTest::mouseClick(Button(dialog, "Command1"), Qt::LeftButton);
        EXPECT_EQ(beeps.Count(), 2);
        EXPECT_EQ(told.size(), 2u);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(Box(dialog, c.Box)->hasFocus());

        // Cancel always works, silently.
        QTest::mouseClick(Button(dialog, "Command2"), Qt::LeftButton);
        SetRefusalReporter({});
        EXPECT_EQ(beeps.Count(), 2);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(dialog.Result().has_value());
    }
}

TEST(AnchorDialog, BoxesSayTheirUnitsAndTheDiameterIsTypedInTheSmallLengthUnit)
{
    struct Case {
        int16_t System;
        const char* Unit; // of the diameter
        const char* Typed;
        float Stored; // cm, inches in British
    };
    for (const Case& c : { Case { SI, "mm", "25", 2.5f }, Case { Metric, "cm", "2.5", 2.5f },
             Case { British, "in", "1", 1.0f } }) {
        SCOPED_TRACE(c.Unit);
        const Project p = ProjectIn(c.System);
        {
            AnchorDialog dialog(p);
            ShowActive(dialog);
            EXPECT_EQ(Text(dialog, "lblUnit", 6), QString::fromUtf8(c.Unit));
            EXPECT_EQ(Box(dialog, 6)->toolTip(),
                "Diameter in " + QString::fromUtf8(c.Unit) + ", greater than 0");
            for (int i = 1; i < AnchorBoxCount; ++i) {
                const QString tip = Box(dialog, i)->toolTip();
                EXPECT_TRUE(tip.endsWith(QLatin1String(", greater than 0"))) << i;
                EXPECT_TRUE(tip.contains(" in " + Text(dialog, "lblUnit", i) + ",")) << i;
            }
            // Retyped as shown is no change.
            TypeInto(Box(dialog, 6), Box(dialog, 6)->text());
            Button(dialog, "Command1")->click();
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_FALSE(dialog.Result().has_value()) << "no change, no step";
        }
        AnchorDialog dialog(p);
        ShowActive(dialog);
        TypeInto(Box(dialog, 6), QString::fromLatin1(c.Typed));
        Button(dialog, "Command1")->click();
        ASSERT_TRUE(dialog.Result().has_value());
        Project expected = p;
        expected.AnchorDia = c.Stored;
        EXPECT_EQ(Inputs(*dialog.Result()), Inputs(expected)) << "only the diameter changes";
    }
}

TEST(AnchorDialog, ArrowsAndEnterWalkTheBoxes)
{
    const Project p = ProjectIn(Metric);
    BeepCounter beeps;
    AnchorDialog dialog(p);
    ShowActive(dialog);
    EXPECT_TRUE(Box(dialog, 0)->hasFocus()) << "the first box takes the focus on opening";

    QTest::keyClick(Box(dialog, 0), Qt::Key_Up);
    EXPECT_TRUE(Box(dialog, 0)->hasFocus()) << "nothing above the first box";
    QTest::keyClick(Box(dialog, 0), Qt::Key_Down);
    EXPECT_TRUE(Box(dialog, 1)->hasFocus());
    QTest::keyClick(Box(dialog, 1), Qt::Key_Up);
    EXPECT_TRUE(Box(dialog, 0)->hasFocus());

    // Enter in the geometry boxes moves on with the caret at the start.
    Box(dialog, 3)->setCursorPosition(2);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(Box(dialog, i), Qt::Key_Return);
    ASSERT_TRUE(Box(dialog, 3)->hasFocus());
    EXPECT_EQ(Box(dialog, 3)->cursorPosition(), 0);
    EXPECT_FALSE(Box(dialog, 3)->hasSelectedText());
    QTest::keyClick(Box(dialog, 3), Qt::Key_Return);
    EXPECT_TRUE(Box(dialog, 4)->hasFocus());
    // ... and stays in the steel boxes.
    QTest::keyClick(Box(dialog, 4), Qt::Key_Return);
    EXPECT_TRUE(Box(dialog, 4)->hasFocus());
    EXPECT_TRUE(dialog.isVisible()) << "Enter is swallowed, never Accept";
    EXPECT_EQ(Box(dialog, 4)->text(), QStringLiteral("2400")) << "and never typed";

    Box(dialog, 7)->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(Box(dialog, 7), Qt::Key_Down);
    EXPECT_TRUE(Box(dialog, 7)->hasFocus()) << "nothing below the last box";
    EXPECT_EQ(beeps.Count(), 0);

    // A bad entry holds the arrow and Enter keys as it holds Tab.
    TypeInto(Box(dialog, 2), QStringLiteral("-1"));
    QTest::keyClick(Box(dialog, 2), Qt::Key_Down);
    QTest::keyClick(Box(dialog, 2), Qt::Key_Return);
    EXPECT_EQ(beeps.Count(), 2);
    EXPECT_TRUE(Box(dialog, 2)->hasFocus());
    TypeInto(Box(dialog, 2), QStringLiteral("1.75"));
    QTest::keyClick(Box(dialog, 2), Qt::Key_Return);
    EXPECT_EQ(beeps.Count(), 2);
    EXPECT_TRUE(Box(dialog, 3)->hasFocus());
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
        const auto before = Inputs(p);
        QTimer::singleShot(0, [&c] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            EXPECT_EQ(modal->objectName(), QStringLiteral("frmAnchor"));
            if (c.Pitch != nullptr)
                Box(*modal, 1)->setText(QString::fromLatin1(c.Pitch));
            Button(*modal, c.Button)->click();
        });
        const std::optional<Project> result = EditAnchors(nullptr, p);
        EXPECT_EQ(Inputs(p), before);
        ASSERT_EQ(result.has_value(), c.Expected >= 0);
        if (result) {
            EXPECT_EQ(result->AnchorRows, c.Expected);
        }
    }
}

} // namespace
