// The Anchors dialog driven through its real boxes: the rows rounded half to even, the diameter
// typed in mm in SI, the arrow and Enter keys, refused entries, and the rows limited to those
// that fit once the dialog has closed, cancelled or not.
#include "ui/frmAnchor.h"

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
    auto* box = dialog.findChild<ValidatedBox*>(QStringLiteral("Text1_%1").arg(index));
    EXPECT_NE(box, nullptr) << index;
    return box;
}

struct RowsCase {
    const char* Typed;
    int16_t Stored;
};

// Halves go to the even neighbour; everything else to the nearest whole row.
const RowsCase RowsCases[] = {
    { "2.5", 2 },
    { "3.5", 4 },
    { "0.5", 0 },
    { "2.4999", 2 },
    { "1.6", 2 },
    { "0", 0 }, // no anchors at all
    { "4", 4 },
};

TEST(AnchorDialog, RowsAreStoredRoundedHalfToEven)
{
    for (const RowsCase& c : RowsCases) {
        SCOPED_TRACE(c.Typed);
        Project p = ProjectIn(Metric);
        p.AnchorRows = 7; // every case is a change
        BeepCounter beeps;
        AnchorDialog dialog(p);
        ShowActive(dialog);
        TypeInto(Box(dialog, 0), QString::fromLatin1(c.Typed));
        QTest::keyClick(Box(dialog, 0), Qt::Key_Tab);
        Button(dialog, "Command1")->click();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(beeps.Count(), 0);
        ASSERT_TRUE(dialog.Result().has_value());
        EXPECT_EQ(dialog.Result()->AnchorRows, c.Stored);
    }
}

struct EntryCase {
    int Box;
    const char* Typed;
    const char* Why;
};

const EntryCase RefusedEntries[] = {
    { 0, "-1", "a negative number of rows" },
    { 0, "-0.3", "negative, even though it rounds to no rows" },
    { 0, "two", "text" },
    { 0, "40000", "more rows than a 16-bit count holds" },
    { 1, "0", "a vertical pitch of 0 stacks every row on the first" },
    { 2, "-1.5", "negative horizontal pitch" },
    { 3, "0", "edge distance must be above 0" },
    { 4, "x", "text as yield stress" },
    { 6, "0", "an anchor without diameter" },
    { 7, "", "an empty modulus" },
};

TEST(AnchorDialog, BadEntriesBeepAndKeepTheFocus)
{
    for (const EntryCase& c : RefusedEntries) {
        SCOPED_TRACE(c.Why);
        Project p = ProjectIn(Metric);
        const auto before = Inputs(p);
        BeepCounter beeps;
        AnchorDialog dialog(p);
        ShowActive(dialog);
        TypeInto(Box(dialog, c.Box), QString::fromLatin1(c.Typed));
        QTest::keyClick(Box(dialog, c.Box), Qt::Key_Tab);
        EXPECT_EQ(beeps.Count(), 1);
        EXPECT_TRUE(Box(dialog, c.Box)->hasFocus());

        // Accept does nothing while the entry is bad, and does not beep again.
        QTest::mouseClick(Button(dialog, "Command1"), Qt::LeftButton);
        EXPECT_EQ(beeps.Count(), 2) << "leaving for Accept checks once more";
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(Box(dialog, c.Box)->hasFocus());

        // Cancel always works.
        QTest::mouseClick(Button(dialog, "Command2"), Qt::LeftButton);
        EXPECT_EQ(beeps.Count(), 2);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(dialog.Result().has_value());
        EXPECT_EQ(Inputs(p), before);
    }
}

TEST(AnchorDialog, DiameterIsTypedInMillimetresInSI)
{
    Project p = ProjectIn(SI);
    ASSERT_FLOAT_EQ(p.AnchorDia, 2.0f); // cm in SI as in Metric
    std::optional<Project> accepted;
    {
        AnchorDialog dialog(p);
        ShowActive(dialog);
        EXPECT_EQ(Box(dialog, 6)->text(), QStringLiteral("20"));
        EXPECT_EQ(
            dialog.findChild<QLabel*>(QStringLiteral("lblUnit_6"))->text(), QStringLiteral("mm"));
        EXPECT_EQ(
            dialog.findChild<QLabel*>(QStringLiteral("lblUnit_1"))->text(), QStringLiteral("m"));
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("lblUnit_7"))->text(),
            QStringLiteral("E+5 MPa"));
        TypeInto(Box(dialog, 6), QStringLiteral("25"));
        Button(dialog, "Command1")->click();
        accepted = dialog.Result();
    }
    ASSERT_TRUE(accepted.has_value());
    EXPECT_FLOAT_EQ(accepted->AnchorDia, 2.5f);
}

TEST(AnchorDialog, AcceptWithoutAChangeLeavesTheProjectUnmodified)
{
    for (const int16_t system : { Metric, SI, British }) {
        SCOPED_TRACE(system);
        Project p = ProjectIn(system);
        const auto before = Inputs(p);
        AnchorDialog dialog(p);
        ShowActive(dialog);
        const QString shown = Box(dialog, 6)->text();
        TypeInto(Box(dialog, 6), shown);
        Button(dialog, "Command1")->click();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(dialog.Result().has_value()) << "no change, no step";
        EXPECT_EQ(Inputs(p), before);
    }
}

TEST(AnchorDialog, ArrowsAndEnterWalkTheBoxes)
{
    Project p = ProjectIn(Metric);
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
    QTest::keyClick(Box(dialog, 0), Qt::Key_Return);
    QTest::keyClick(Box(dialog, 1), Qt::Key_Return);
    QTest::keyClick(Box(dialog, 2), Qt::Key_Return);
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
    EXPECT_EQ(beeps.Count(), 1);
    EXPECT_TRUE(Box(dialog, 2)->hasFocus());
    QTest::keyClick(Box(dialog, 2), Qt::Key_Return);
    EXPECT_EQ(beeps.Count(), 2);
    EXPECT_TRUE(Box(dialog, 2)->hasFocus());
    TypeInto(Box(dialog, 2), QStringLiteral("1.75"));
    QTest::keyClick(Box(dialog, 2), Qt::Key_Return);
    EXPECT_EQ(beeps.Count(), 2);
    EXPECT_TRUE(Box(dialog, 3)->hasFocus());
}

TEST(AnchorDialog, AcceptDropsTheRowsThatDoNotFitAndCancelLeavesThem)
{
    // Default underside: (2.0 + 2.0 - 0.5) / 1.5 = 2.33, so floor + 1 = 3 rows fit.
    for (const bool cancel : { true, false }) {
        SCOPED_TRACE(cancel ? "cancelled" : "accepted");
        Project p = ProjectIn(Metric);
        p.AnchorRows = 5;
        QTimer::singleShot(0, [cancel] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            EXPECT_EQ(modal->objectName(), QStringLiteral("frmAnchor"));
            modal
                ->findChild<QPushButton*>(
                    cancel ? QStringLiteral("Command2") : QStringLiteral("Command1"))
                ->click();
        });
        const auto before = Inputs(p);
        const std::optional<Project> r = EditAnchors(nullptr, p);
        EXPECT_EQ(Inputs(p), before);
        EXPECT_EQ(r.has_value(), !cancel);
        if (r)
            EXPECT_EQ(r->AnchorRows, 3);
    }
}

} // namespace
