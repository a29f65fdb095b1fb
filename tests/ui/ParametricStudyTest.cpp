// The parametric study window: a range it refuses, the chart of a small study read against the
// engine run at each point on its own, and the CSV it saves.
#include "ui/ParametricStudy.h"

#include "search/Evaluation.h"
#include "search/Inputs.h"
#include "search/Sweep.h"

#include "support/Widgets.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace pendrake;
using namespace pendrake::ui;
using namespace pendrake::ui::uitest;

namespace {

// Chooses the input and types the range, as the engineer does before Run.
void Enter(const ParametricStudyWindow& window, const char* name, const char* from, const char* to,
    const char* count)
{
    auto* combo = Find<QComboBox>(window, QStringLiteral("cboInput"));
    combo->setCurrentIndex(combo->findData(QString::fromLatin1(name)));
    ASSERT_GE(combo->currentIndex(), 0) << name;
    Find<QLineEdit>(window, QStringLiteral("txtFrom"))->setText(QString::fromLatin1(from));
    Find<QLineEdit>(window, QStringLiteral("txtTo"))->setText(QString::fromLatin1(to));
    Find<QLineEdit>(window, QStringLiteral("txtCount"))->setText(QString::fromLatin1(count));
}

void RunStudy(ParametricStudyWindow& window, const char* name, const char* from, const char* to,
    const char* count)
{
    Enter(window, name, from, to, count);
    QSignalSpy finished(&window, &ParametricStudyWindow::StudyFinished);
    Button(window, "cmdRun")->click();
    ASSERT_TRUE(window.Running());
    // A generous bound against a hang, not a measure of speed.
    ASSERT_TRUE(finished.wait(120000));
    EXPECT_FALSE(window.Running());
}

QLineSeries* Series(const ParametricStudyWindow& window, const QString& name)
{
    for (QAbstractSeries* s :
        Find<QChartView>(window, QStringLiteral("chtStudy"))->chart()->series()) {
        if (s->name() == name)
            return qobject_cast<QLineSeries*>(s);
    }
    return nullptr;
}

} // namespace

// A bad range is refused with a message. Each drawn point is the engine's judgement of the wall at
// that value, run here on its own; a factor shown as infinity is left out, the targets are drawn
// where the defaults put them, and the summary counts the failures.
TEST(ParametricStudy, RefusesBadRangesChartsTheEnginesJudgementAndSavesItsCsv)
{
    const Project p = MakeNewProject("Arial");
    const WallInput input = *WallInputByName("BottomWidth");
    constexpr int Count = 4;
    ParametricStudyWindow window(p, DesignTargets {});
    struct Case {
        const char* From;
        const char* To;
        const char* Count;
        const char* Says;
    };
    const Case cases[] = {
        { "0.3x", "0.7", "5", "From is not a number." },
        { "0.3", "", "5", "To is not a number." },
        { "0.3", "0.7", "1", "Count must be a whole number from 2 to 1000." },
        { "0.3", "0.7", "2.5", "Count must be a whole number from 2 to 1000." },
        { "-0.1", "0.7", "5", "TopWidth cannot be negative: From must be 0 or more." },
        { "0.5", "0.5", "5", "From and To are equal: the study needs a range." },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.From) + " " + c.To + " " + c.Count);
        Capture capture;
        Enter(window, "TopWidth", c.From, c.To, c.Count);
        Button(window, "cmdRun")->click();
        ASSERT_EQ(capture.Messages.size(), 1u);
        EXPECT_EQ(capture.Messages[0].Text, QString::fromLatin1(c.Says));
        EXPECT_FALSE(window.Running());
        EXPECT_TRUE(
            Find<QChartView>(window, QStringLiteral("chtStudy"))->chart()->series().isEmpty());
        EXPECT_FALSE(Button(window, "cmdSave")->isEnabled());
    }
    // Short bottoms put the anchors in tension, a wide one leaves them without (infinite factors).
    RunStudy(window, "BottomWidth", "0", "3", "4");

    // Each factor's line, then the utilisation's, without the points shown as infinity.
    const std::size_t lines = SafetyCheckName.size() + 1;
    std::vector<QList<QPointF>> expected(lines);
    int failing = 0;
    for (int i = 0; i < Count; ++i) {
        Project q = p;
        ASSERT_TRUE(ApplyInput(q, input, double(i)));
        const WallEvaluation e = Evaluate(q, DesignTargets {});
        // The wall stands at every one of these points: only infinite factors are left out.
        ASSERT_TRUE(e.ServiceStable);
        failing += e.Passes ? 0 : 1;
        for (std::size_t k = 0; k < lines; ++k) {
            const double y = k + 1 < lines ? e.Safety[k] : e.LargestUtilisation;
            if (!IsInfiniteSafety(y) && std::isfinite(y))
                expected[k].append(QPointF(InputValue(q, input), y));
        }
    }
    // Both kinds of anchor factor occur, so leaving out the infinite ones is put to the test.
    EXPECT_GT(expected[3].size(), 0);
    EXPECT_LT(expected[3].size(), Count);
    for (std::size_t k = 0; k < lines; ++k) {
        const std::string name
            = k + 1 < lines ? std::string(SafetyCheckName[k]) : "LargestUtilisation";
        QLineSeries* s = Series(window, QString::fromStdString(name));
        ASSERT_NE(s, nullptr) << name;
        EXPECT_EQ(s->points(), expected[k]) << name;
    }

    for (const auto& [name, target] :
        { std::pair { "Target 1.00: BearingSafetyMin, AnchorTensionSafety, AnchorShearSafety, "
                      "LargestUtilisation",
              1.0 },
            std::pair { "Target 1.50: SlidingSafetyMin", 1.5 },
            std::pair { "Target 2.00: OverturningSafety", 2.0 } }) {
        QLineSeries* line = Series(window, QString::fromLatin1(name));
        ASSERT_NE(line, nullptr) << name;
        EXPECT_EQ(line->points(), (QList<QPointF> { { 0, target }, { 3, target } })) << name;
    }
    auto* chart = Find<QChartView>(window, QStringLiteral("chtStudy"))->chart();
    EXPECT_EQ(chart->axes(Qt::Horizontal)[0]->titleText(), QStringLiteral("BottomWidth (m)"));
    EXPECT_TRUE(Find<QLabel>(window, QStringLiteral("lblSummary"))
                    ->text()
                    .startsWith(QStringLiteral("%1 of %2 points fail").arg(failing).arg(Count)));

    // Saved, the study is exactly the engine's CSV; into a folder that does not exist, a warning
    // and no file anywhere.
    SweepPlan plan;
    plan.Ranges.push_back({ input, 0, 3, Count });
    std::string csv = SweepCsvHeader(plan);
    for (int64_t i = 0; i < Count; ++i)
        csv += SweepCsvRow(EvaluateSweepPoint(p, plan, DesignTargets {}, i));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("study.csv"));
    const QString nowhere = dir.filePath(QStringLiteral("missing/study.csv"));
    Capture capture;
    capture.Files = { path, nowhere };
    Button(window, "cmdSave")->click();
    EXPECT_TRUE(capture.Requests.at(0).Save);
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll().toStdString(), csv);
    EXPECT_TRUE(capture.Messages.empty());
    Button(window, "cmdSave")->click();
    ASSERT_EQ(capture.Messages.size(), 1u);
    EXPECT_TRUE(capture.Messages[0].Text.startsWith(
        QStringLiteral("The study could not be saved to ") + nowhere));
    EXPECT_FALSE(QFile::exists(nowhere));
}
