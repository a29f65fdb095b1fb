// The wall drawing as a widget: the edit dialog driven by keys and placed by its label, the
// values shown only in the Dimensions view and never overlapping, the Reactions fall-back, and
// every view painted without running the engine or speaking. The geometry itself is tested in
// tests/drawing.
#include "ui/WallView.h"

#include "analysis/Stability.h"
#include "document/ProjectDocument.h"
#include "model/DimensionEdit.h"
#include "support/Walls.h"
#include "support/Widgets.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace pendrake;
using namespace pendrake::ui;
using pendrake::test::DefaultWall;
using pendrake::test::SlopedWetAnchoredWall;
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

    // Runs `act` on the edit dialog once it is up and showing, from inside its modal loop.
    void WhenDialogOpens(std::function<void(QDialog*, QLineEdit*)> act)
    {
        // Polled: the dialog may still be closing from the previous answer when this is asked.
        constexpr int PollMilliseconds = 5;
        constexpr int GiveUpAfterPolls = 1000;
        auto* timer = new QTimer(view.get());
        timer->setInterval(PollMilliseconds);
        auto polls = std::make_shared<int>(0);
        QObject::connect(timer, &QTimer::timeout, [timer, act, polls] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || !dialog->isVisible()
                || dialog->objectName() != QStringLiteral("frmEdit")) {
                if (++*polls > GiveUpAfterPolls) {
                    timer->stop();
                    ADD_FAILURE() << "frmEdit did not open";
                }
                return;
            }
            timer->stop();
            timer->deleteLater();
            auto* text = dialog->findChild<QLineEdit*>(QStringLiteral("Text1"));
            ASSERT_NE(text, nullptr);
            act(dialog, text);
        });
        timer->start();
    }

    void Click(int i) { QTest::mouseClick(Label(i), Qt::LeftButton); }

    std::unique_ptr<ProjectDocument> document;
    std::unique_ptr<WallView> view;
    int accepted = 0;
};

// One answer to the dialog: what is typed over the whole text, then the key.
struct Answer {
    const char* Typed;
    Qt::Key Key;
};

TEST_F(WallViewTest, AnswersToTheEditDialog)
{
    struct Row {
        const char* Name;
        int Index;
        std::vector<Answer> Answers; // each to the dialog showing then, open still or again
        std::vector<const char*> Offered; // the text the dialog holds before each answer
        int Beeps;
        int Accepted;
        double Value; // the dimension afterwards
        const char* Shown; // its label afterwards
        int Other; // another label, and its text afterwards
        const char* OtherShown;
    };
    const Row rows[] = {
        { "EnterTakesTheValue", 0, { { "1.0", Qt::Key_Return } }, { "0.5" }, 0, 1, 1.0, "1.00",
            // A new top width takes the shelf's width with it: its label shows the new one.
            2, "5.40" },
        { "EscapeChangesNothing", 6, { { "3", Qt::Key_Escape } }, { "9" }, 0, 0, 9.0, "9.00", 2,
            "5.90" },
        // Not a number: a beep, and the dialog stays open with the text as typed.
        { "NoNumberBeepsAndStaysOpen", 3,
            { { "abc", Qt::Key_Return }, { "2.3456", Qt::Key_Return } }, { "1", "abc" }, 1, 1, 2.35,
            "2.35", 2, "5.90" },
        // A negative value: a beep, and the dialog asks again with the previous value.
        { "NegativeAsksAgain", 8, { { "-1", Qt::Key_Return }, { "", Qt::Key_Escape } },
            { "6", "6" }, 1, 0, 6.0, "6.00", 2, "5.90" },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Name);
        accepted = 0;
        Capture captured;
        Show(DefaultWall());
        std::vector<QString> offered;
        bool allSelected = false;
        std::function<void(size_t)> answer = [&](size_t k) {
            WhenDialogOpens([&, k](QDialog*, QLineEdit* text) {
                offered.push_back(text->text());
                if (k == 0)
                    allSelected = text->selectedText() == text->text();
                text->selectAll();
                QTest::keyClicks(text, QString::fromUtf8(r.Answers[k].Typed));
                QTest::keyClick(text, r.Answers[k].Key);
                if (k + 1 < r.Answers.size())
                    answer(k + 1);
            });
        };
        answer(0);
        Click(r.Index);
        ASSERT_EQ(offered.size(), r.Offered.size());
        for (size_t k = 0; k < offered.size(); ++k)
            EXPECT_EQ(offered[k].toStdString(), r.Offered[k]) << "answer " << k;
        EXPECT_TRUE(allSelected);
        EXPECT_EQ(captured.Beeps, r.Beeps);
        EXPECT_EQ(accepted, r.Accepted);
        EXPECT_NEAR(Dimension(document->Record(), r.Index), r.Value, 1e-6);
        EXPECT_EQ(Label(r.Index)->text().toStdString(), r.Shown);
        EXPECT_EQ(Label(r.Other)->text().toStdString(), r.OtherShown);
    }
}

TEST_F(WallViewTest, DialogOpensBelowItsLabelOrAboveNearTheScreenBottom)
{
    Show(DefaultWall());
    QRect place;
    WhenDialogOpens([&](QDialog* dialog, QLineEdit* text) {
        place = dialog->frameGeometry();
        QTest::keyClick(text, Qt::Key_Escape);
    });
    QPoint labelAt = Label(0)->mapToGlobal(QPoint(0, 0));
    Click(0);
    EXPECT_EQ(place.x(), labelAt.x() + Px(90));
    EXPECT_EQ(place.y(), labelAt.y() + Label(0)->height() + Px(630));

    QLabel* label = Label(3); // a width under the base
    const QRect screen = label->screen()->geometry();
    constexpr int AboveScreenBottom = 20; // pixels: no room for the dialog below the label
    const QPoint bottom = label->mapToGlobal(QPoint(0, label->height()));
    view->move(
        view->pos() + QPoint(0, screen.y() + screen.height() - AboveScreenBottom - bottom.y()));
    QCoreApplication::processEvents();
    labelAt = label->mapToGlobal(QPoint(0, 0));
    // A window lands on whole device pixels: at a scale of 2 it may sit half a pixel off.
    ASSERT_NEAR(labelAt.y() + label->height(), screen.y() + screen.height() - AboveScreenBottom, 1);
    WhenDialogOpens([&](QDialog* dialog, QLineEdit* text) {
        place = dialog->frameGeometry();
        QTest::keyClick(text, Qt::Key_Escape);
    });
    Click(3);
    EXPECT_EQ(place.x(), labelAt.x() + Px(90));
    EXPECT_EQ(place.y() + place.height(), labelAt.y() - Px(180));
}

TEST_F(WallViewTest, ValuesAreShownOnlyInTheDimensionsViewAndNeverOverlap)
{
    Show(SlopedWetAnchoredWall());
    std::vector<QLabel*> labels;
    for (int i = 0; i < DimensionCount; ++i)
        labels.push_back(Label(i));
    labels.push_back(view->findChild<QLabel*>(QStringLiteral("lblSlope")));
    for (QLabel* l : labels) {
        ASSERT_NE(l, nullptr);
        EXPECT_TRUE(l->isVisible()) << l->objectName().toStdString();
    }
    for (size_t i = 0; i < labels.size(); ++i)
        for (size_t j = i + 1; j < labels.size(); ++j)
            EXPECT_FALSE(labels[i]->geometry().intersects(labels[j]->geometry()))
                << labels[i]->objectName().toStdString() << " and "
                << labels[j]->objectName().toStdString();
    EXPECT_EQ(labels.back()->text(), QStringLiteral("1 : "));
    EXPECT_EQ(Label(11)->text(), QStringLiteral("3.00"));

    view->SetView(WallViewKind::Water);
    for (QLabel* l : labels)
        EXPECT_FALSE(l->isVisible()) << l->objectName().toStdString();
}

// A wall pushed over by a line load far larger than it can stand.
TEST_F(WallViewTest, ReactionsOfAnUnstableWallFallBackToDimensions)
{
    Project p = DefaultWall();
    p.AnchorRows = 0;
    p.LineLoadCount = 1;
    p.LineLoads[1] = { 200.0f, 1.0f, 10.0f, 270.0f, 2 };
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

// Every view of each wall is painted where the layout puts the section, and kept as a picture
// in the test output for a look by eye. Drawing a view neither runs the engine nor speaks: an
// earthquake would warn with every run of the earth pressures.
TEST(WallViewPaint, EveryViewPaintsTheSectionWhereItsLayoutLies)
{
    const QString dir = QStringLiteral(PENDRAKE_TEST_OUTPUT_DIR);
    QDir().mkpath(dir);
    Project seismic = DefaultWall();
    seismic.SeismicCoef = 0.3f;
    const std::pair<const char*, Project> walls[] = { { "default", DefaultWall() },
        { "sloped-wet-anchored", SlopedWetAnchoredWall() }, { "seismic", seismic } };
    for (const auto& [name, wall] : walls) {
        const ProjectDocument document(wall);
        WallView view(document);
        view.resize(800, 600);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        const int runs = document.CombinationRuns();
        Capture captured;
        for (int k = 0; k < ViewKindCount; ++k) {
            const std::string viewName(ViewKindName[size_t(k)]);
            SCOPED_TRACE(std::string(name) + " " + viewName);
            view.SetView(static_cast<WallViewKind>(k));
            ASSERT_EQ(static_cast<int>(view.View()), k);
            view.Redraw();
            const QImage image = view.grab().toImage();
            EXPECT_TRUE(
                image.save(QStringLiteral("%1/wallview-%2-%3.png")
                               .arg(dir, QLatin1String(name), QString::fromStdString(viewName))));

            // Where the section lies, in pixels of the image.
            const WallLayout L
                = LayoutWallOnScreen(document.Record(), Twips(view.width()), Twips(view.height()));
            double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
            for (int node : OutlineOrder) {
                left = std::min(left, double(L.NodeX[node]));
                right = std::max(right, double(L.NodeX[node]));
                top = std::min(top, double(L.NodeY[node]));
                bottom = std::max(bottom, double(L.NodeY[node]));
            }
            const double dpr = image.devicePixelRatio();
            const QRect box(QPoint(int(Px(left) * dpr), int(Px(top) * dpr)),
                QPoint(int(Px(right) * dpr), int(Px(bottom) * dpr)));
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
}

} // namespace
