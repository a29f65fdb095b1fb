// The wall drawing: its fit and nodes worked by hand, pieces against the dead-load formulas,
// arrows, scales, dimension values that never overlap, the edit dialog driven by keys, the
// Reactions fall-back, the bounded redraw after a flattened slope, and every view rendered.
#include "ui/WallView.h"

#include "analysis/EarthPressure.h"
#include "analysis/LoadCases.h"
#include "analysis/Stability.h"
#include "document/ProjectDocument.h"
#include "drawing/WallGeometry.h"
#include "model/DimensionEdit.h"
#include "model/Project.h"
#include "ui/Platform.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace pendrake;
using namespace pendrake::ui;

namespace {

// Node places are single-precision sums of a few thousand twips: a hand value is met to a
// hundredth of a twip, far below the 15 twips of one pixel.
constexpr double TwipTolerance = 0.01;
// Areas and centroids of pieces worked two ways (polygon formula, dead-load formulas) in double
// precision from single-precision dimensions.
constexpr double PieceTolerance = 1e-9;

// 640 by 480 pixels.
constexpr double SurfaceWidth = 9600;
constexpr double SurfaceHeight = 7200;

Project DefaultProject()
{
    return MakeNewProject("Arial");
}

// Backfill at 1 : 3, water behind at 3 below the top and in front at 4, a rear step of 1,
// the three default anchor rows, and a line load in each of the cases without loads of
// their own.
Project SlopedWetAnchoredProject()
{
    Project p = DefaultProject();
    ApplyDimensionEdit(p, 11, 3.0);
    ApplyDimensionEdit(p, 13, 3.0);
    ApplyDimensionEdit(p, 12, 4.0);
    ApplyDimensionEdit(p, 9, 1.0);
    p.LineLoadCount = 3;
    p.LineLoads[1] = { 2.0f, 1.25f, 10.0f, 180.0f, 2 }; // on the wall top, downwards
    p.LineLoads[2] = { 1.5f, 1.0f, 8.0f, 270.0f, 5 }; // on the front face, towards the toe
    p.LineLoads[3] = { 0.8f, 1.5f, 10.0f, 135.0f, 6 }; // on the wall top, inclined
    return p;
}

// --- Layout and nodes -----------------------------------------------------------------------

TEST(WallGeometry, DefaultWallFitsByItsHeightAsWorkedByHand)
{
    const Project p = DefaultProject();
    const WallLayout L = LayoutWallOnScreen(p, SurfaceWidth, SurfaceHeight);
    // Across (9600 - 2640) x 0.8 = 5568 for 8.3 m, down 7200 - 1440 = 5760 for 10 m:
    // the height governs, 576 twips a metre, the section centred across from 1440.
    EXPECT_NEAR(L.DrawScale, 576.0, TwipTolerance);
    EXPECT_NEAR(L.DrawOriginY, 720.0, TwipTolerance);
    EXPECT_NEAR(L.DrawOriginX, 1440.0 + (5568.0 - 8.3 * 576.0) / 2, TwipTolerance);
    const double x0 = 1833.6;
    const struct {
        int Node;
        double X;
        double Y;
    } nodes[] = {
        { 4, x0, 720 + 5760 }, // toe front, bottom
        { 1, x0 + 576, 720 }, // top of the front face
        { 9, x0 + 1.5 * 576, 720 }, // top of the back face
        { 8, x0 + 2.4 * 576, 720 + 6 * 576 },
        { 7, x0 + 8.3 * 576, 720 + 6 * 576 },
        { 6, x0 + 8.3 * 576, 720 + 6 * 576 },
        { 16, x0 + 6.9 * 576, 720 + 8 * 576 },
        { 15, x0 + 5.4 * 576, 720 + 8 * 576 },
        { 5, x0 + 4.0 * 576, 720 + 10 * 576 },
        { 2, x0 + 576, 720 + 9 * 576 },
        { 3, x0, 720 + 9 * 576 },
        // backfill end: a quarter of 8.3 and the soil length 6.8 beyond node 9, level
        { 10, x0 + 1.5 * 576 + (8.3 / 4 + 6.8) * 576, 720 },
        { 11, x0 - 240, 720 + 1.5 * 576 },
        { 12, x0 + 576, 720 + 1.5 * 576 },
        // back water 1.5 down the leaning face: a quarter of its 0.9 offset
        { 13, x0 + (1.5 + 0.9 * 1.5 / 6) * 576, 720 + 1.5 * 576 },
        { 14, x0 + 1.5 * 576 + (8.3 / 4 + 6.8) * 576, 720 + 1.5 * 576 },
    };
    for (const auto& n : nodes) {
        EXPECT_NEAR(L.NodeX[n.Node], n.X, TwipTolerance) << "node " << n.Node;
        EXPECT_NEAR(L.NodeY[n.Node], n.Y, TwipTolerance) << "node " << n.Node;
    }
}

TEST(WallGeometry, SlopeOfTwoRaisesNode10ByHalfItsRunAndShrinksTheFigure)
{
    Project p = DefaultProject();
    const WallLayout level = LayoutWallOnScreen(p, SurfaceWidth, SurfaceHeight);
    EXPECT_EQ(MeasureWall(p).BackfillRise, 0.0);
    EXPECT_EQ(level.NodeY[10], level.NodeY[9]);
    p.BackfillSlope = 2.0f;
    const WallLayout sloped = LayoutWallOnScreen(p, SurfaceWidth, SurfaceHeight);
    EXPECT_NEAR(sloped.NodeY[9] - sloped.NodeY[10], (sloped.NodeX[10] - sloped.NodeX[9]) / 2,
        TwipTolerance);
    EXPECT_LT(sloped.DrawScale, level.DrawScale);
    // The raised backfill end still lies inside the drawing area's top margin.
    EXPECT_NEAR(sloped.NodeY[10], 720.0, TwipTolerance);
}

TEST(WallGeometry, WidthGovernsOnAWideLowSurface)
{
    const Project p = DefaultProject();
    const WallLayout L = LayoutWallOnScreen(p, 20000, 7200);
    // Across (20000 - 2640) x 0.8 = 13888 for 8.3 m is wider than 5760 for 10 m: the height
    // still governs. A very low surface makes the width govern instead.
    EXPECT_NEAR(L.DrawScale, 576.0, TwipTolerance);
    const WallLayout wide = LayoutWallOnScreen(p, 6000, 40000);
    EXPECT_NEAR(wide.DrawScale, (6000.0 - 2640) * 0.8 / 8.3, 1e-3);
    EXPECT_NEAR(wide.DrawOriginX, 1440.0, TwipTolerance);
    // centred down: 720 + (38560 - 10 s) / 2
    EXPECT_NEAR(wide.DrawOriginY, 720 + (38560 - 10 * double(wide.DrawScale)) / 2, 0.05);
}

// Node 13 lies on the back of the structure wherever the back water stands.
TEST(WallGeometry, BackWaterMeetsTheBackOfTheStructure)
{
    struct Row {
        double Depth;
        int From; // the outline segment From-To it must lie on
        int To;
    };
    // Defaults: upper back face 6, no step, rear slope 2, lower slope 2, flat segment 1.5.
    const Row rows[] = { { 0.0, 9, 8 }, { 3.0, 9, 8 }, { 6.0, 9, 8 }, { 7.0, 16, 6 },
        { 8.0, 16, 6 }, { 9.0, 5, 15 }, { 9.9, 5, 15 } };
    for (const Row& r : rows) {
        Project p = DefaultProject();
        p.BackWaterDepth = static_cast<float>(r.Depth);
        const WallLayout L = LayoutWallOnScreen(p, SurfaceWidth, SurfaceHeight);
        const double ax = L.NodeX[r.From], ay = L.NodeY[r.From];
        const double bx = L.NodeX[r.To], by = L.NodeY[r.To];
        const double px = L.NodeX[13], py = L.NodeY[13];
        const double cross = (bx - ax) * (py - ay) - (by - ay) * (px - ax);
        EXPECT_NEAR(cross / std::hypot(bx - ax, by - ay), 0.0, TwipTolerance) << r.Depth;
        EXPECT_GE(px, std::min(ax, bx) - TwipTolerance) << r.Depth;
        EXPECT_LE(px, std::max(ax, bx) + TwipTolerance) << r.Depth;
    }
    // Within a rear step the level meets its vertical face.
    Project p = DefaultProject();
    ApplyDimensionEdit(p, 9, 1.0);
    p.BackWaterDepth = 6.5f;
    const WallLayout L = LayoutWallOnScreen(p, SurfaceWidth, SurfaceHeight);
    EXPECT_NEAR(L.NodeX[13], L.NodeX[7], TwipTolerance);
}

// The polygons of the pieces have the areas and centroids the dead loads give them.
TEST(WallGeometry, PiecesMatchTheDeadLoadFormulas)
{
    for (const Project& p : { DefaultProject(), SlopedWetAnchoredProject() }) {
        const auto pieces = WallPieces(p);
        for (int k = 1; k <= PieceCount; ++k) {
            const std::vector<PlanePoint> poly = PiecePolygon(p, k);
            double twiceArea = 0, cx = 0, cy = 0;
            for (size_t i = 0; i < poly.size(); ++i) {
                const PlanePoint& a = poly[i];
                const PlanePoint& b = poly[(i + 1) % poly.size()];
                const double c = a.X * b.Y - b.X * a.Y;
                twiceArea += c;
                cx += (a.X + b.X) * c;
                cy += (a.Y + b.Y) * c;
            }
            const double area = std::abs(twiceArea) / 2;
            const bool soil = k >= 7 && k <= 11;
            const bool submerged = k == 10 || k == 11;
            const double weight = submerged ? double(p.FillSatDensity) - p.WaterUnitWeight
                : soil                      ? double(p.FillUnitWeight)
                                            : double(p.ConcUnitWeight);
            EXPECT_NEAR(area * weight, pieces[k].Weight, PieceTolerance) << "piece " << k;
            if (area > PieceTolerance) {
                EXPECT_NEAR(cx / (3 * twiceArea), pieces[k].X, PieceTolerance) << "piece " << k;
                EXPECT_NEAR(cy / (3 * twiceArea), pieces[k].Y, PieceTolerance) << "piece " << k;
            }
        }
    }
}

// --- Arrows and scales ----------------------------------------------------------------------

bool Inside(const std::vector<Stroke>& strokes, DrawPoint a, DrawPoint b)
{
    for (const Stroke& s : strokes)
        for (const DrawPoint& p : { s.A, s.B })
            if (p.X < std::min(a.X, b.X) - TwipTolerance
                || p.X > std::max(a.X, b.X) + TwipTolerance)
                return false;
    return true;
}

TEST(WallGeometry, DimensionArrowHeadsGoOutsideBelow180)
{
    const auto long180 = ArrowStrokes({ 0, 0 }, { 180, 0 }, ArrowKind::Dimension);
    EXPECT_EQ(long180.size(), 5u); // shaft and two strokes at each end
    EXPECT_TRUE(Inside(long180, { 0, 0 }, { 180, 0 }));
    const auto short179 = ArrowStrokes({ 0, 0 }, { 179, 0 }, ArrowKind::Dimension);
    EXPECT_FALSE(Inside(short179, { 0, 0 }, { 179, 0 }));
}

TEST(WallGeometry, SingleArrowOf60GetsAFullHead)
{
    const auto strokes = ArrowStrokes({ 0, 0 }, { 0, 60 }, ArrowKind::Single);
    ASSERT_EQ(strokes.size(), 3u);
    for (size_t i = 1; i < 3; ++i) {
        EXPECT_NEAR(strokes[i].A.Y, 60.0, TwipTolerance); // from the tip
        EXPECT_NEAR(strokes[i].B.Y, 0.0, TwipTolerance); // 60 back
        EXPECT_NEAR(std::abs(strokes[i].B.X), 15.0, TwipTolerance);
    }
    const auto mark = ArrowStrokes({ 5, 5 }, { 5, 5 }, ArrowKind::Single);
    ASSERT_EQ(mark.size(), 1u);
    EXPECT_NEAR(mark[0].B.X - mark[0].A.X, 4.0, TwipTolerance);
}

TEST(WallGeometry, Scales)
{
    const Project p = DefaultProject();
    Project bare = p;
    bare.Surcharge = 0;
    LoadCaseResults none;
    EXPECT_EQ(ReportLoadScale(bare, none), 10000.0);
    LoadCaseResults r;
    r.SoilPressure[1] = 2.0f; // 720 / 2 = 360
    r.WaterPressure[4] = 5.0f; // 660 / 5 = 132 governs
    EXPECT_NEAR(ReportLoadScale(bare, r), 132.0, 1e-9);
    r.WaterPressure[2] = 10.0f; // 960 / 10 = 96 governs
    EXPECT_NEAR(ReportLoadScale(bare, r), 96.0, 1e-9);

    StabilityResults s;
    EXPECT_EQ(ReactionScale(s, 480), 1.0);
    s.SegmentPressureEnd[2] = -4.0f;
    s.SegmentPressureStart[1] = 3.0f;
    EXPECT_NEAR(ReactionScale(s, 480), 120.0, 1e-9);
    EXPECT_EQ(DiagramScale(0, 480), 0.0);
    EXPECT_NEAR(DiagramScale(2.4, 480), 200.0, 1e-9);
}

TEST(WallGeometry, BoxesPushedOutOfTheSurfaceGoAcrossInstead)
{
    const LabelBox surface { 0, 0, 1000, 500 };
    // The caption at the bottom left stays; a value on it is pushed down, which leaves the
    // surface, so it goes right of the caption instead.
    std::vector<LabelBox> boxes = { { 0, 400, 300, 100 }, { 100, 420, 200, 100 } };
    SeparateBoxes(boxes, { PushDirection::Down, PushDirection::Down }, 1, &surface);
    EXPECT_FALSE(BoxesOverlap(boxes[0], boxes[1]));
    EXPECT_NEAR(boxes[1].Left, 300 + LabelGap, TwipTolerance);
    EXPECT_NEAR(boxes[1].Top, 400, TwipTolerance); // brought inside first
    // Without a surface it goes down, as asked.
    std::vector<LabelBox> free = { { 0, 400, 300, 100 }, { 100, 420, 200, 100 } };
    SeparateBoxes(free, { PushDirection::Down, PushDirection::Down }, 1);
    EXPECT_NEAR(free[1].Top, 500 + LabelGap, TwipTolerance);
    EXPECT_NEAR(free[1].Left, 100, TwipTolerance);
}

TEST(WallGeometry, AnchorsPointIntoTheGround)
{
    const PlanePoint flat = AnchorDirection(0);
    EXPECT_NEAR(flat.X, 0.0, 1e-12);
    EXPECT_NEAR(flat.Y, -1.0, 1e-12);
    const PlanePoint vertical = AnchorDirection(2 * std::atan(1.0));
    EXPECT_NEAR(vertical.X, 1.0, 1e-12);
    EXPECT_NEAR(vertical.Y, 0.0, 1e-12);
}

// --- Dimension values -----------------------------------------------------------------------

// A value of "10.00" in an 8-point font, and "1 : ".
constexpr LabelBox ValueSize { 0, 0, 450, 195 };
constexpr LabelBox SlopeSize { 0, 0, 300, 195 };

std::array<LabelBox, DimensionCount> ValueSizes()
{
    std::array<LabelBox, DimensionCount> sizes {};
    sizes.fill(ValueSize);
    return sizes;
}

::testing::AssertionResult NoOverlaps(const DimensionLabelBoxes& b)
{
    std::vector<LabelBox> all(b.Dim.begin(), b.Dim.end());
    all.push_back(b.Slope);
    const size_t slope = all.size() - 1;
    for (size_t i = 0; i < all.size(); ++i)
        for (size_t j = i + 1; j < all.size(); ++j)
            // "1 : " and the slope value read as one: they touch, nothing more.
            if (i == 11 && j == slope) {
                if (all[i].Left < all[j].Right())
                    return ::testing::AssertionFailure() << "\"1 : \" runs into the slope value";
            } else if (BoxesOverlap(all[i], all[j]))
                return ::testing::AssertionFailure()
                    << "values " << i << " and " << j << " overlap";
    return ::testing::AssertionSuccess();
}

TEST(DimensionLabels, DefaultWallValuesStandWhereTheyBelong)
{
    const Project p = DefaultProject();
    const WallLayout L = LayoutWallOnScreen(p, SurfaceWidth, SurfaceHeight);
    const DimensionLabelBoxes b = PlaceDimensionLabels(L, ValueSizes(), SlopeSize, {});
    EXPECT_TRUE(NoOverlaps(b));
    const double H = ValueSize.Height;
    // TopWidth 0.5 m = 288 twips cannot hold 450 + 30: right-aligned 30 before node 9.
    EXPECT_NEAR(b.Dim[0].Right(), L.NodeX[9] - 30, TwipTolerance);
    EXPECT_NEAR(b.Dim[0].Top, L.NodeY[10] - 210 - H, TwipTolerance);
    // ShelfWidth 5.9 m fits: centred between nodes 8 and 7 on the first row.
    EXPECT_NEAR(b.Dim[2].Left + b.Dim[2].Width / 2, (L.NodeX[8] + L.NodeX[7]) / 2, TwipTolerance);
    EXPECT_NEAR(b.Dim[2].Top, L.NodeY[10] - 210 - H, TwipTolerance);
    // ToeWidth 1.0 m = 576 twips holds it: centred between nodes 4 and 2, 275 below node 4.
    EXPECT_NEAR(b.Dim[3].Left + b.Dim[3].Width / 2, (L.NodeX[4] + L.NodeX[2]) / 2, TwipTolerance);
    EXPECT_NEAR(b.Dim[3].Top, L.NodeY[4] + 275, TwipTolerance);
    // FrontHeight right-aligned 225 before node 11, centred on the front face.
    EXPECT_NEAR(b.Dim[6].Right(), L.NodeX[11] - 225, TwipTolerance);
    EXPECT_NEAR(b.Dim[6].Top + H / 2, (L.NodeY[1] + L.NodeY[2]) / 2, TwipTolerance);
    // UpperBackHeight 225 beyond node 10.
    EXPECT_NEAR(b.Dim[8].Left, L.NodeX[10] + 225, TwipTolerance);
    // "1 : " stands right before the slope value.
    EXPECT_NEAR(b.Slope.Right(), b.Dim[11].Left, TwipTolerance);
    EXPECT_NEAR(b.Slope.Top, b.Dim[11].Top, TwipTolerance);
}

// Random walls, edited the way the engineer edits them, on surfaces from cramped to wide.
TEST(DimensionLabels, NeverOverlapOnRandomWalls)
{
    constexpr unsigned Seed = 1971;
    constexpr int Walls = 300;
    std::mt19937 random(Seed);
    std::uniform_int_distribution<int> pickIndex(0, DimensionCount - 1);
    std::uniform_real_distribution<double> pickValue(0.0, 8.0);
    std::uniform_real_distribution<double> pickSize(3000.0, 20000.0);
    Project p = DefaultProject();
    const LabelBox caption { 240, 0, 1500, 195 };
    for (int n = 0; n < Walls; ++n) {
        ApplyDimensionEdit(p, pickIndex(random), pickValue(random) < 1.5 ? 0.0 : pickValue(random));
        const double w = pickSize(random), h = pickSize(random);
        const WallLayout L = LayoutWallOnScreen(p, w, h);
        LabelBox obstacle = caption;
        obstacle.Top = h - 120 - caption.Height;
        const DimensionLabelBoxes b
            = PlaceDimensionLabels(L, ValueSizes(), SlopeSize, { obstacle });
        ASSERT_TRUE(NoOverlaps(b)) << "wall " << n;
        for (const LabelBox& box : b.Dim)
            ASSERT_FALSE(BoxesOverlap(box, obstacle)) << "wall " << n;
    }
}

// --- The widget -----------------------------------------------------------------------------

struct Messages {
    std::vector<std::string> Texts;
    int Beeps = 0;

    Messages()
    {
        SetMessageFunction([this](QWidget*, QMessageBox::Icon, const QString& title,
                               const QString& text, QMessageBox::StandardButtons) {
            EXPECT_EQ(title.toStdString(), "Pendrake");
            Texts.push_back(text.toStdString());
            return QMessageBox::Ok;
        });
        SetBeepFunction([this] { ++Beeps; });
    }
};

class WallViewTest : public ::testing::Test {
protected:
    // The view over a document of `p`; an accepted dimension goes into the record as the main
    // window takes it.
    void Show(const Project& p)
    {
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
    const Project& Record() const { return document->Record(); }

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

TEST_F(WallViewTest, TypingAValueAndEnterEditsTheDimension)
{
    Show(DefaultProject());
    Messages messages;
    QString offered;
    bool allSelected = false;
    QRect dialogPlace;
    WhenDialogOpens([&](QDialog* dialog, QLineEdit* text) {
        offered = text->text();
        allSelected = text->selectedText() == text->text();
        dialogPlace = QRect(dialog->pos(), dialog->size());
        QTest::keyClicks(text, QStringLiteral("1.0"));
        QTest::keyClick(text, Qt::Key_Return);
    });
    const QPoint labelAt = Label(0)->mapToGlobal(QPoint(0, 0));
    const int labelBottom = labelAt.y() + Label(0)->height();
    Click(0);

    EXPECT_EQ(offered, QStringLiteral("0.5"));
    EXPECT_TRUE(allSelected);
    EXPECT_EQ(dialogPlace.x(), labelAt.x() + Px(90));
    EXPECT_EQ(dialogPlace.y(), labelBottom + Px(630));
    EXPECT_FLOAT_EQ(Record().TopWidth, 1.0f);
    EXPECT_NEAR(Record().ShelfWidth, 5.4, 1e-5);
    EXPECT_EQ(accepted, 1);
    EXPECT_EQ(Label(0)->text(), QStringLiteral("1.00"));
    EXPECT_EQ(Label(2)->text(), QStringLiteral("5.40"));
    EXPECT_EQ(messages.Beeps, 0);
}

TEST_F(WallViewTest, DialogGoesAboveALabelNearTheScreenBottom)
{
    Show(DefaultProject());
    Messages messages;
    QLabel* label = Label(3); // a width under the base
    const QRect screen = label->screen()->geometry();
    constexpr int AboveScreenBottom = 20; // pixels: no room for the dialog below the label
    const QPoint bottom = label->mapToGlobal(QPoint(0, label->height()));
    view->move(
        view->pos() + QPoint(0, screen.y() + screen.height() - AboveScreenBottom - bottom.y()));
    QCoreApplication::processEvents();
    const QPoint labelAt = label->mapToGlobal(QPoint(0, 0));
    // A window lands on whole device pixels: at a scale of 2 it may sit half a pixel off.
    ASSERT_NEAR(labelAt.y() + label->height(), screen.y() + screen.height() - AboveScreenBottom, 1);
    QRect place;
    WhenDialogOpens([&](QDialog* dialog, QLineEdit* text) {
        place = dialog->frameGeometry();
        QTest::keyClick(text, Qt::Key_Escape);
    });
    Click(3);
    EXPECT_EQ(place.x(), labelAt.x() + Px(90));
    EXPECT_EQ(place.y() + place.height(), labelAt.y() - Px(180));
}

TEST_F(WallViewTest, EscapeCancelsAndChangesNothing)
{
    Show(DefaultProject());
    Messages messages;
    WhenDialogOpens([](QDialog*, QLineEdit* text) {
        QTest::keyClicks(text, QStringLiteral("3"));
        QTest::keyClick(text, Qt::Key_Escape);
    });
    Click(6);
    EXPECT_FLOAT_EQ(Record().FrontHeight, 9.0f);
    EXPECT_EQ(accepted, 0);
    EXPECT_EQ(Label(6)->text(), QStringLiteral("9.00"));
}

TEST_F(WallViewTest, TextThatIsNoNumberBeepsAndStaysOpen)
{
    Show(DefaultProject());
    Messages messages;
    bool stillOpen = false;
    QString kept;
    WhenDialogOpens([&](QDialog* dialog, QLineEdit* text) {
        text->selectAll();
        QTest::keyClicks(text, QStringLiteral("abc"));
        QTest::keyClick(text, Qt::Key_Return);
        stillOpen = dialog->isVisible();
        kept = text->text();
        text->selectAll();
        QTest::keyClicks(text, QStringLiteral("2.3456"));
        QTest::keyClick(text, Qt::Key_Return);
    });
    Click(3);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(kept, QStringLiteral("abc"));
    EXPECT_EQ(messages.Beeps, 1);
    EXPECT_FLOAT_EQ(Record().ToeWidth, 2.35f);
    EXPECT_EQ(Label(3)->text(), QStringLiteral("2.35"));
}

TEST_F(WallViewTest, NegativeValueBeepsAndAsksAgainWithThePreviousValue)
{
    Show(DefaultProject());
    Messages messages;
    QString offeredAgain;
    WhenDialogOpens([&](QDialog*, QLineEdit* text) {
        QTest::keyClicks(text, QStringLiteral("-1"));
        QTest::keyClick(text, Qt::Key_Return);
        // The dialog closed and opens again for the same dimension.
        WhenDialogOpens([&](QDialog*, QLineEdit* again) {
            offeredAgain = again->text();
            QTest::keyClick(again, Qt::Key_Escape);
        });
    });
    Click(8);
    EXPECT_EQ(messages.Beeps, 1);
    EXPECT_EQ(offeredAgain, QStringLiteral("6"));
    EXPECT_FLOAT_EQ(Record().UpperBackHeight, 6.0f);
    EXPECT_EQ(accepted, 0);
}

TEST_F(WallViewTest, ValuesAreShownOnlyInTheDimensionsViewAndNeverOverlap)
{
    Show(SlopedWetAnchoredProject());
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
    Project p = DefaultProject();
    p.AnchorRows = 0;
    p.LineLoadCount = 1;
    p.LineLoads[1] = { 200.0f, 1.0f, 10.0f, 270.0f, 2 };
    ASSERT_FALSE(ComputeStability(p).Stable); // the premise of this test
    Show(p);
    view->SetView(WallViewKind::Dead);
    Messages messages;
    QSignalSpy changed(view.get(), &WallView::ViewChanged);
    view->SetView(WallViewKind::Reactions);
    ASSERT_FALSE(messages.Texts.empty());
    EXPECT_EQ(messages.Texts.back(), "The Structure is not stable.");
    EXPECT_EQ(view->View(), WallViewKind::Dimensions);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<WallViewKind>(), WallViewKind::Dimensions);
    EXPECT_TRUE(Label(0)->isVisible());
}

TEST_F(WallViewTest, RedrawsNeitherRunTheEngineNorSpeak)
{
    Project p = DefaultProject();
    p.SeismicCoef = 0.3f; // a seismic warning with every run of the earth pressures
    Show(p);
    const int runs = document->CombinationRuns();
    Messages messages;
    for (int k = 0; k < static_cast<int>(WallViewKind::Reactions); ++k) {
        view->SetView(static_cast<WallViewKind>(k));
        view->Redraw();
    }
    EXPECT_TRUE(messages.Texts.empty());
    EXPECT_EQ(document->CombinationRuns(), runs);
}

// --- Rendering ------------------------------------------------------------------------------

QString OutputDir()
{
    const QString dir = QStringLiteral(PENDRAKE_TEST_OUTPUT_DIR);
    QDir().mkpath(dir);
    return dir;
}

const char* const ViewNames[] = { "dimensions", "dead", "live", "soil", "water", "structural",
    "impact", "seismic", "reactions" };

// Share of the section's bounding box that must be drawn over: its outline and fill alone
// cover most of it.
constexpr double DrawnShare = 0.3;

void RenderEveryView(const char* name, const Project& start)
{
    const ProjectDocument document(start);
    const Project& project = document.Record();
    WallView view(document);
    view.resize(800, 600);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    Messages messages;
    for (int k = 0; k <= static_cast<int>(WallViewKind::Reactions); ++k) {
        view.SetView(static_cast<WallViewKind>(k));
        ASSERT_EQ(static_cast<int>(view.View()), k) << ViewNames[k];
        const QImage image = view.grab().toImage();
        const QString file
            = QStringLiteral("%1/wallview-%2-%3.png")
                  .arg(OutputDir(), QLatin1String(name), QLatin1String(ViewNames[k]));
        EXPECT_TRUE(image.save(file)) << file.toStdString();

        // Where the section lies, in pixels of the image.
        const WallLayout L = LayoutWallOnScreen(project, Twips(view.width()), Twips(view.height()));
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
        ASSERT_TRUE(image.rect().contains(box)) << ViewNames[k];
        const QRgb background = qRgb(255, 255, 255);
        long drawn = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                drawn += image.pixel(x, y) != background ? 1 : 0;
        const double share = double(drawn) / (double(box.width()) * box.height());
        EXPECT_GT(share, DrawnShare) << ViewNames[k];
    }
    EXPECT_TRUE(messages.Texts.empty()) << messages.Texts.front();
}

TEST(WallViewRender, EveryViewOfTheDefaultWall)
{
    RenderEveryView("default", DefaultProject());
}

TEST(WallViewRender, EveryViewOfASlopedWetAnchoredWall)
{
    RenderEveryView("sloped-wet-anchored", SlopedWetAnchoredProject());
}

} // namespace
