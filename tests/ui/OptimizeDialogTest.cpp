// The optimize dialog through its boxes and buttons: refused choices, a narrow search applied as
// one step, and the targets kept in the settings.
#include "ui/OptimizeDialog.h"

#include "search/Inputs.h"
#include "support/Widgets.h"
#include "ui/DesignTargetSettings.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <memory>

namespace pendrake::ui {
namespace {

using namespace uitest;

// A search that does not end is a fault, not a slow machine.
constexpr int SearchGiveUpMilliseconds = 60'000;

// Top width, toe width, toe height and bottom width around the default wall's least-concrete
// answer (0.30, 2.50, 0.50, 9.50 m): eight walls, among them the thinner toe 2.00 m on the
// 9.50 m base that misses the overturning target.
struct Range {
    int Index;
    const char *Min, *Max, *Step;
};
constexpr std::array<Range, 4> NarrowGrid { {
    { 0, "0.3", "0.4", "0.1" },
    { 3, "2", "2.5", "0.5" },
    { 7, "0.5", "0.5", "0.25" },
    { 4, "9.5", "10", "0.5" },
} };

void NarrowTheGrid(const QWidget& w)
{
    for (const Range& r : NarrowGrid) {
        TypeInto(At(w, "txtMin", r.Index), QString::fromLatin1(r.Min));
        TypeInto(At(w, "txtMax", r.Index), QString::fromLatin1(r.Max));
        TypeInto(At(w, "txtStep", r.Index), QString::fromLatin1(r.Step));
    }
}

void SearchAndWait(OptimizeDialog& dialog)
{
    QSignalSpy finished(&dialog, &OptimizeDialog::SearchFinished);
    QTest::mouseClick(Button(dialog, "cmdSearch"), Qt::LeftButton);
    ASSERT_TRUE(dialog.Searching());
    ASSERT_TRUE(finished.wait(SearchGiveUpMilliseconds));
}

class OptimizeDialogTest : public testing::Test {
protected:
    // Every test starts from the default targets, whatever an earlier one left in the store.
    void SetUp() override
    {
        QSettings(QStringLiteral("Pendrake"), QStringLiteral("Pendrake"))
            .remove(QStringLiteral("Targets"));
    }
};

TEST_F(OptimizeDialogTest, RefusedChoicesBlockTheSearchWithTheirReason)
{
    struct Case {
        const char* Box; // the box typed into, or a check box cleared
        const char* Text;
        const char* Reason;
    };
    const Case cases[] = {
        { "txtMin_0", "1.6", "Top width: the minimum is above the maximum." },
        { "txtStep_3", "0", "Toe width: the step must be 0.01 or more." },
        { "txtMax_4", "12,5", "Bottom width: the maximum is not a number." },
        { "txtMin_7", "-0.5", "Toe height: the minimum cannot be negative." },
        { "txtTarget_1", "-1", "Sliding safety (least): the target must be a number, 0 or more." },
        { "txtMax_4", "2000",
            "The grid has more than 2000000 walls: narrow a range or widen a step." },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Box);
        Capture capture;
        OptimizeDialog dialog(MakeNewProject("Arial"),
            [](Project, const QString&) { ADD_FAILURE() << "a refused search applied a wall"; });
        ShowActive(dialog);
        // The default search is acceptable as the dialog opens.
        EXPECT_TRUE(Button(dialog, "cmdSearch")->isEnabled());
        TypeInto(Find<QLineEdit>(dialog, QString::fromLatin1(c.Box)), QString::fromLatin1(c.Text));
        EXPECT_FALSE(Button(dialog, "cmdSearch")->isEnabled());
        EXPECT_EQ(
            Find<QLabel>(dialog, QStringLiteral("lblChoice"))->text(), QString::fromUtf8(c.Reason));
        EXPECT_FALSE(dialog.Search());
        EXPECT_EQ(capture.Beeps, 1);
        EXPECT_EQ(dialog.Result().GridSize, 0);
    }

    // Without a free dimension there is nothing to search; a free dimension outside the default
    // four offers its present value.
    OptimizeDialog dialog(MakeNewProject("Arial"), {});
    const auto* choice = Find<QLabel>(dialog, QStringLiteral("lblChoice"));
    for (const int i : { 0, 3, 4, 7 })
        Find<QCheckBox>(dialog, QStringLiteral("chkFree_%1").arg(i))->setChecked(false);
    EXPECT_EQ(choice->text(), QStringLiteral("Choose at least one free dimension."));
    Find<QCheckBox>(dialog, QStringLiteral("chkFree_6"))->setChecked(true); // front height
    EXPECT_EQ(At(dialog, "txtMin", 6)->text(), QStringLiteral("9"));
    EXPECT_EQ(choice->text(), QStringLiteral("1 wall on the grid."));
}

TEST_F(OptimizeDialogTest, TargetsOutliveTheDialogInTheSettings)
{
    const Project base = MakeNewProject("Arial");
    {
        OptimizeDialog dialog(base, {});
        ShowActive(dialog);
        NarrowTheGrid(dialog);
        TypeInto(At(dialog, "txtTarget", 0), QStringLiteral("2.25"));
        TypeInto(At(dialog, "txtTarget", 4), QStringLiteral("1.1"));
        SearchAndWait(dialog);
        // Nothing on the narrow grid reaches 2.25 against overturning.
        EXPECT_FALSE(dialog.Result().Found);
        EXPECT_TRUE(Find<QLabel>(dialog, QStringLiteral("lblOutcome"))
                        ->text()
                        .startsWith(QStringLiteral("No wall on the grid meets every target.")));
        EXPECT_FALSE(Button(dialog, "cmdApply")->isEnabled());
    }
    DesignTargets expected;
    expected.OverturningSafety = 2.25;
    expected.AnchorShearSafety = 1.1;
    EXPECT_EQ(LoadDesignTargets(), expected);
    OptimizeDialog again(base, {});
    EXPECT_EQ(At(again, "txtTarget", 0)->text(), QStringLiteral("2.25"));
    EXPECT_EQ(At(again, "txtTarget", 2)->text(), QStringLiteral("1"));

    // A hand-damaged value reads as its default.
    QSettings(QStringLiteral("Pendrake"), QStringLiteral("Pendrake"))
        .setValue(QStringLiteral("Targets/OverturningSafety"), QStringLiteral("two"));
    EXPECT_EQ(LoadDesignTargets().OverturningSafety, 2.0);
}

// The table of a narrow search, then the first runner-up applied from it as one step.
TEST_F(OptimizeDialogTest, NarrowSearchFillsTheTableAndApplyIsOneStepThatUndoTakesBack)
{
    QTemporaryDir dir;
    auto owner = OpenMainWindow(dir.filePath(QStringLiteral("autosave")));
    MainWindow& window = *owner;
    const Project before = window.Document().Record();
    QUndoStack& undo = window.UndoStack();
    Project chosen;
    bool opened = false;
    WhenModalOpens("frmOptimize", [&](QWidget* w) {
        opened = true;
        auto& dialog = *qobject_cast<OptimizeDialog*>(w);
        NarrowTheGrid(dialog);
        EXPECT_EQ(Find<QLabel>(dialog, QStringLiteral("lblChoice"))->text(),
            QStringLiteral("8 walls on the grid."));
        SearchAndWait(dialog);
        const OptimizationResult& r = dialog.Result();
        ASSERT_TRUE(r.Found);
        auto* table = Find<QTableWidget>(dialog, QStringLiteral("grdCandidates"));
        ASSERT_EQ(table->rowCount(), 1 + int(r.RunnersUp.size()));
        ASSERT_GE(table->rowCount(), 2);
        // Free dimensions in the order of the rows, then area, utilisation and the five factors.
        const QStringList best = { "0.30", "2.50", "0.50", "9.50" };
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(table->item(0, c)->text(), best[c]) << c;
        EXPECT_EQ(table->selectedItems().front()->row(), 0);
        // The default wall's anchors carry nothing, so their factors print as the infinity sign.
        EXPECT_EQ(table->item(0, 9)->text(), QStringLiteral("\u221E"));
        chosen = r.RunnersUp.front().Wall;
        table->selectRow(1);
        QTest::mouseClick(Button(dialog, "cmdApply"), Qt::LeftButton);
    });
    Find<QAction>(window, QStringLiteral("mnuCalculateOptimize"))->trigger();
    ASSERT_TRUE(opened);

    ASSERT_EQ(undo.count(), 1);
    EXPECT_EQ(undo.undoText(), QStringLiteral("Optimize dimensions"));
    EXPECT_EQ(Inputs(window.Document().Record()), Inputs(chosen));
    // The document ran the new wall: the default one misses 2 against overturning (1.42), the
    // chosen one reaches it.
    EXPECT_GE(window.Document().Verdict().OverturningSafety, 2.0f);
    undo.undo();
    EXPECT_EQ(Inputs(window.Document().Record()), Inputs(before));
    EXPECT_LT(window.Document().Verdict().OverturningSafety, 2.0f);
}

} // namespace
} // namespace pendrake::ui
