// The wall drawing as a widget: the edit dialog, the Reactions fall-back, and every view painted.
// The geometry and where the values stand are tested in tests/drawing.
#include "ui/WallView.h"

#include "analysis/Stability.h"
#include "document/ProjectDocument.h"
#include "model/DimensionEdit.h"
#include "support/Walls.h"
#include "support/Widgets.h"

#include <QImage>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace pendrake;
using namespace pendrake::ui;
using pendrake::test::DefaultWall;
using pendrake::ui::uitest::Capture;

namespace {

class WallViewTest : public ::testing::Test {
protected:
    // The view over a document of `p`; an accepted dimension goes into the record as the main
    // window takes it.
    void Show(const Project& p)
    {
        view.reset(); // before the document it draws
        document = std::make_unique<ProjectDocument>(p);
        view = std::make_unique<WallView>(*document);
        QObject::connect(view.get(), &WallView::DimensionAccepted, [this](int index, double value) {
            ++accepted;
            Project after = document->Record();
            ASSERT_TRUE(ApplyDimensionEdit(after, index, value));
            document->SetRecord(after);
            view->Redraw();
        });
        view->resize(800, 600);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        view->Redraw();
    }

    QLabel* Label(int i) const
    {
        return view->findChild<QLabel*>(QStringLiteral("lblDim_%1").arg(i));
    }

    std::unique_ptr<ProjectDocument> document;
    std::unique_ptr<WallView> view;
    int accepted = 0;
};

TEST_F(WallViewTest, AnswersToTheEditDialog)
{
    struct Answer {
        const char* Typed; // over the whole text
        Qt::Key Key;
        const char* Offered; // the text the dialog holds before it
    };
    struct Row {
        const char* Name;
        int Index;
        std::vector<Answer> Answers; // each to the dialog showing then, open still or again
        int Beeps;
        int Accepted;
        double Value; // the dimension afterwards, and its label
        const char* Shown;
        const char* Shelf; // the shelf width's label afterwards
    };
    const Row rows[] = {
        // A new top width takes the shelf's width with it: its label shows the new one.
        { "EnterTakesTheValue", 0, { { "1.0", Qt::Key_Return, "0.5" } }, 0, 1, 1.0, "1.00",
            "5.40" },
        { "EscapeChangesNothing", 6, { { "3", Qt::Key_Escape, "9" } }, 0, 0, 9.0, "9.00", "5.90" },
        // Not a number: a beep, and the dialog stays open with the text as typed.
        { "NoNumberBeepsAndStaysOpen", 3,
            { { "abc", Qt::Key_Return, "1" }, { "2.3456", Qt::Key_Return, "abc" } }, 1, 1, 2.35,
            "2.35", "5.90" },
        // A negative value: a beep, and the dialog asks again with the previous value.
        { "NegativeAsksAgain", 8, { { "-1", Qt::Key_Return, "6" }, { "", Qt::Key_Escape, "6" } }, 1,
            0, 6.0, "6.00", "5.90" },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Name);
        accepted = 0;
        Capture captured;
        Show(DefaultWall());
        size_t answered = 0;
        std::function<void()> answer = [&] {
            // Polled: the dialog may still be closing from the previous answer.
            uitest::WhenModalOpens("frmEdit", [&](QWidget* dialog) {
                auto* text = dialog->findChild<QLineEdit*>(QStringLiteral("Text1"));
                const Answer& a = r.Answers[answered++];
                EXPECT_EQ(text->text().toStdString(), a.Offered) << "answer " << answered;
                // The dialog opens with its text selected.
                EXPECT_TRUE(answered > 1 || text->selectedText() == text->text());
                text->selectAll();
                QTest::keyClicks(text, QString::fromUtf8(a.Typed));
                QTest::keyClick(text, a.Key);
                if (answered < r.Answers.size())
                    answer();
            });
        };
        answer();
        QTest::mouseClick(Label(r.Index), Qt::LeftButton);
        EXPECT_EQ(answered, r.Answers.size());
        EXPECT_EQ(captured.Beeps, r.Beeps);
        EXPECT_EQ(accepted, r.Accepted);
        EXPECT_NEAR(Dimension(document->Record(), r.Index), r.Value, 1e-6);
        EXPECT_EQ(Label(r.Index)->text().toStdString(), r.Shown);
        EXPECT_EQ(Label(2)->text().toStdString(), r.Shelf);
    }
}

// A wall pushed over by a line load far larger than it can stand.
TEST_F(WallViewTest, ReactionsOfAnUnstableWallFallBackToDimensions)
{
    Project p = DefaultWall();
    p.AnchorRows = 0;
    test::AddLineLoad(p, 200, 1, 10, 270, 2);
    ASSERT_FALSE(ComputeStability(p).Stable); // the premise of this test
    Show(p);
    view->SetView(WallViewKind::Dead);
    Capture captured;
    QSignalSpy changed(view.get(), &WallView::ViewChanged);
    view->SetView(WallViewKind::Reactions);
    ASSERT_EQ(captured.Messages.size(), 1u);
    EXPECT_EQ(captured.Messages[0].Title, QStringLiteral("Pendrake"));
    EXPECT_EQ(captured.Messages[0].Text, QStringLiteral("The Structure is not stable."));
    EXPECT_EQ(view->View(), WallViewKind::Dimensions);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<WallViewKind>(), WallViewKind::Dimensions);
    EXPECT_TRUE(Label(0)->isVisible());
}

// --- Painting -------------------------------------------------------------------------------

// Share of the section's bounding box that must be painted over: its outline and fill alone
// cover most of it.
constexpr double DrawnShare = 0.3;

// Every view of a wall with all its pieces is painted where the layout puts the section.
// Drawing a view neither runs the engine nor speaks: an earthquake would warn with every run of
// the earth pressures.
TEST(WallViewPaint, EveryViewPaintsTheSectionWhereItsLayoutLies)
{
    Project wall = test::SlopedWetAnchoredWall();
    wall.SeismicCoef = 0.3f;
    const ProjectDocument document(wall);
    WallView view(document);
    view.resize(800, 600);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    // The values and "1 : ".
    ASSERT_EQ(view.findChildren<QLabel*>().size(), DimensionCount + 1);
    EXPECT_EQ(view.findChild<QLabel*>(QStringLiteral("lblSlope"))->text(), QStringLiteral("1 : "));
    const int runs = document.CombinationRuns();
    Capture captured;
    for (int k = 0; k < ViewKindCount; ++k) {
        SCOPED_TRACE(std::string(ViewKindName[size_t(k)]));
        view.SetView(static_cast<WallViewKind>(k));
        ASSERT_EQ(static_cast<int>(view.View()), k);
        view.Redraw();
        const QImage image = view.grab().toImage();

        // Where the section lies, in pixels of the image.
        const WallLayout L
            = LayoutWallOnScreen(document.Record(), Twips(view.width()), Twips(view.height()));
        QRectF section;
        for (int node : OutlineOrder)
            section |= QRectF(Px(L.NodeX[node]), Px(L.NodeY[node]), 1, 1);
        const double dpr = image.devicePixelRatio();
        const QRect box = QRectF(section.topLeft() * dpr, section.bottomRight() * dpr).toRect();
        ASSERT_TRUE(image.rect().contains(box));
        long drawn = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                drawn += image.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
        EXPECT_GT(double(drawn) / (double(box.width()) * box.height()), DrawnShare);
    }
    EXPECT_TRUE(captured.Messages.empty());
    EXPECT_EQ(document.CombinationRuns(), runs);
}

} // namespace
