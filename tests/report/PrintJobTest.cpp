// The print job on the recording canvas, with section routines that only draw their frame and
// name: the order of the sections, two to a sheet, ejections, footers and page numbers, no
// empty last sheet, the analysis runs before the sections, and cancelling between sections.
#include "report/PrintJob.h"
#include "document/ProjectDocument.h"
#include "report/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace pendrake;
using namespace pendrake::report;

const std::vector<std::string> SectionNames = { "Dimensions", "Loads", "Properties", "Stability",
    "Reactions", "Concrete 1/4", "Concrete 2/4", "Concrete 3/4", "Concrete 4/4" };

// A section that draws its frame and prints its name in the body, so the tests see where it
// went and which sheet carried it.
struct Sections {
    std::vector<std::string> Printed;
    std::function<void(ReportContext&, const std::string&)> Inspect;

    SectionPrinters Printers()
    {
        auto make = [this](const std::string& name) {
            return [this, name](ReportContext& ctx) {
                BeginSection(ctx);
                ctx.Canvas.SetPen(240, ctx.SectionBodyTop + 240);
                ctx.Canvas.Print(name);
                Printed.push_back(name);
                if (Inspect)
                    Inspect(ctx, name);
            };
        };
        SectionPrinters p;
        p.Dimensions = make(SectionNames[0]);
        p.Loads = make(SectionNames[1]);
        p.Properties = make(SectionNames[2]);
        p.Stability = make(SectionNames[3]);
        p.Reactions = make(SectionNames[4]);
        p.Concrete1 = make(SectionNames[5]);
        p.Concrete2 = make(SectionNames[6]);
        p.Concrete3 = make(SectionNames[7]);
        p.Concrete4 = make(SectionNames[8]);
        return p;
    }
};

PrintOptions Options(std::initializer_list<int> checked)
{
    PrintOptions o;
    for (int k : checked)
        o.Option(k) = 1;
    return o;
}

// A wall pulled up by 100 T/m at its top: already the first combination lifts it off its
// base.
Project UnstableWall()
{
    Project p = MakeNewProject("Arial");
    p.LineLoadCount = 1;
    p.LineLoads[1] = { 100.0f, 1.0f, 10.0f, 0.0f, 2 };
    return p;
}

Project WithPageFields(Project p)
{
    p.PageFieldText[1] = "&Input";
    p.PageFieldText[2] = "";
    p.PageFieldText[3] = "Page &Page of &NPages";
    return p;
}

// A print job over a document of the wall: its record and the results of its one run.
struct Job {
    explicit Job(Project p = MakeNewProject("Arial"))
        : document(WithPageFields(std::move(p)))
        , project(document.Record())
        , ctx(canvas, project, document.Stability(), document.Combinations())
    {
    }
    PrintJobResult Run(const PrintOptions& o, PrintJobHooks hooks = {})
    {
        return RunPrintJob(ctx, o, sections.Printers(), hooks);
    }
    // Footer texts in the order printed, with the sheet each went on.
    std::vector<std::pair<int, std::string>> Footers() const
    {
        std::vector<std::pair<int, std::string>> f;
        for (const RecordedCall& t : canvas.Texts()) {
            if (t.Text.rfind("Page ", 0) == 0)
                f.emplace_back(t.Page, t.Text);
        }
        return f;
    }
    int NewPages() const
    {
        int n = 0;
        for (const RecordedCall& c : canvas.Calls())
            n += c.Kind == CallKind::NewPage;
        return n;
    }
    // Sheet and frame top of the section's name text.
    std::pair<int, double> Where(const std::string& name) const
    {
        const RecordedCall* t = canvas.FindText(name);
        if (!t)
            return { 0, -1 };
        return { t->Page, t->Y1 - 240 };
    }

    ProjectDocument document;
    RecordingCanvas canvas;
    // The record printed; a test may change its page settings.
    Project project;
    ReportContext ctx;
    Sections sections;
};

// Body tops of the two halves on A4: 454 and 7286 + 454.
constexpr double UpperBody = 454;
constexpr double LowerBody = 7740;

TEST(PrintJob, NothingCheckedSetsUpThePageAndEndsTheDocument)
{
    Job job;
    const PrintJobResult r = job.Run(Options({}));
    EXPECT_TRUE(job.sections.Printed.empty());
    EXPECT_EQ(r.Sheets, 0);
    EXPECT_TRUE(job.canvas.Ended());
    EXPECT_EQ(job.NewPages(), 0);
    EXPECT_TRUE(job.canvas.Texts().empty()); // not even a footer
    EXPECT_EQ(job.ctx.PrintWidth, 9356); // SetupPage ran
}

TEST(PrintJob, OnlyDimensionsUsesTheUpperHalfOfOneSheet)
{
    Job job;
    const PrintJobResult r = job.Run(Options({ 0 }));
    EXPECT_EQ(job.Where("Dimensions"), std::make_pair(1, UpperBody));
    EXPECT_EQ(r.Sheets, 1);
    EXPECT_EQ(job.NewPages(), 0);
    const auto footers = job.Footers();
    ASSERT_EQ(footers.size(), 1u);
    EXPECT_EQ(footers[0], std::make_pair(1, std::string("Page 1 of 1")));
    EXPECT_TRUE(job.canvas.Ended());
}

TEST(PrintJob, DimensionsAndLoadsShareTheFirstSheetAndLeaveNoEmptySheet)
{
    Job job;
    const PrintJobResult r = job.Run(Options({ 0, 1 }));
    EXPECT_EQ(job.Where("Dimensions"), std::make_pair(1, UpperBody));
    EXPECT_EQ(job.Where("Loads"), std::make_pair(1, LowerBody));
    EXPECT_EQ(r.Sheets, 1);
    // Ejected after Loads, but the document ends there: no second sheet is started.
    EXPECT_EQ(job.NewPages(), 0);
    ASSERT_EQ(job.Footers().size(), 1u);
    EXPECT_EQ(job.Footers()[0].second, "Page 1 of 1");
}

TEST(PrintJob, PropertiesAfterDimensionsAndLoadsStartsSheetTwo)
{
    Job job;
    const PrintJobResult r = job.Run(Options({ 0, 1, 2 }));
    EXPECT_EQ(job.Where("Properties"), std::make_pair(2, UpperBody));
    EXPECT_EQ(r.Sheets, 2);
    EXPECT_EQ(job.NewPages(), 1);
    const auto footers = job.Footers();
    ASSERT_EQ(footers.size(), 2u);
    EXPECT_EQ(footers[0], std::make_pair(1, std::string("Page 1 of 2")));
    EXPECT_EQ(footers[1], std::make_pair(2, std::string("Page 2 of 2")));
}

TEST(PrintJob, LoadsAloneTakesTheUpperHalfAndPropertiesFollowsBelow)
{
    Job job;
    job.Run(Options({ 1 }));
    EXPECT_EQ(job.Where("Loads"), std::make_pair(1, UpperBody));
    EXPECT_EQ(job.Footers().size(), 1u);

    Job two;
    const PrintJobResult r = two.Run(Options({ 1, 2 }));
    // No ejection after a lone Loads section: Properties shares its sheet.
    EXPECT_EQ(two.Where("Properties"), std::make_pair(1, LowerBody));
    EXPECT_EQ(r.Sheets, 1);
}

TEST(PrintJob, AllSixOnAStableWallGiveNineSectionsOnFiveSheets)
{
    Job job;
    std::vector<std::string> labels;
    PrintJobHooks hooks;
    hooks.OnLabel = [&](const std::string& l) { labels.push_back(l); };
    const PrintJobResult r = job.Run(Options({ 0, 1, 2, 3, 4, 5 }), hooks);
    ASSERT_EQ(job.sections.Printed, SectionNames);
    // Upper and lower halves in turn, sheet by sheet.
    for (size_t i = 0; i < SectionNames.size(); ++i) {
        const auto [page, top] = job.Where(SectionNames[i]);
        EXPECT_EQ(page, int(i / 2) + 1) << SectionNames[i];
        EXPECT_EQ(top, i % 2 == 0 ? UpperBody : LowerBody) << SectionNames[i];
        EXPECT_EQ(r.Placed[i].Page, int(i / 2) + 1);
        EXPECT_EQ(r.Placed[i].Slot, int(i % 2));
    }
    EXPECT_EQ(r.Sheets, 5);
    EXPECT_EQ(job.NewPages(), 4);
    const auto footers = job.Footers();
    ASSERT_EQ(footers.size(), 5u);
    for (int k = 1; k <= 5; ++k)
        EXPECT_EQ(footers[size_t(k - 1)], std::make_pair(k, "Page " + std::to_string(k) + " of 5"));
    EXPECT_EQ(labels,
        (std::vector<std::string> { "Printing dimensions", "Printing loads", "Printing properties",
            "Printing stability", "Printing reactions", "Printing concrete design" }));
    EXPECT_TRUE(job.canvas.Ended());
}

TEST(PrintJob, EveryChoiceOfSectionsPacksThemInOrderTwoToASheet)
{
    // Whatever is chosen, the sections follow one another, upper half first; the sheets are
    // the sections halved and rounded up, each with one footer.
    for (int mask = 0; mask < 64; ++mask) {
        PrintOptions o;
        for (int k = 0; k < PrintOptionCount; ++k)
            o.Option(k) = int16_t((mask >> k) & 1);
        Job job;
        const PrintJobResult r = job.Run(o);
        std::vector<std::string> expected;
        for (int k = 0; k < 5; ++k) {
            if (o.Option(k))
                expected.push_back(SectionNames[size_t(k)]);
        }
        if (o.PrintConcrete)
            expected.insert(expected.end(), SectionNames.begin() + 5, SectionNames.end());
        ASSERT_EQ(job.sections.Printed, expected) << mask;
        const int sheets = int(expected.size() + 1) / 2;
        EXPECT_EQ(r.Sheets, sheets) << mask;
        EXPECT_EQ(job.ctx.PageCount, sheets) << mask;
        EXPECT_EQ(int(job.Footers().size()), sheets) << mask;
        EXPECT_EQ(job.NewPages(), std::max(0, sheets - 1)) << mask;
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(job.Where(expected[i]),
                std::make_pair(int(i / 2) + 1, i % 2 == 0 ? UpperBody : LowerBody))
                << mask << " " << expected[i];
        // The plan the job counted with is the job itself.
        const PrintJobResult plan = PlanPrintJob(o, true);
        EXPECT_EQ(plan.Sheets, r.Sheets) << mask;
        EXPECT_EQ(plan.Placed.size(), r.Placed.size()) << mask;
    }
}

TEST(PrintJob, ConcreteIsSkippedSilentlyOnAnUnstableWall)
{
    Job job(UnstableWall());
    const PrintJobResult r = job.Run(Options({ 0, 3, 5 }));
    EXPECT_EQ(job.sections.Printed, (std::vector<std::string> { "Dimensions", "Stability" }));
    EXPECT_EQ(r.Sheets, 1);
    ASSERT_EQ(job.Footers().size(), 1u);
    EXPECT_EQ(job.Footers()[0].second, "Page 1 of 1");
    for (const std::string& m : r.Messages)
        EXPECT_NE(m, UnstableCombinationMessage);
}

TEST(PrintJob, ReactionsAndConcreteAreLeftOutOfAnUnstableWall)
{
    const PrintOptions all = Options({ 0, 1, 2, 3, 4, 5 });
    EXPECT_EQ(RestrictToStable(all, false), Options({ 0, 1, 2, 3 }));
    EXPECT_EQ(RestrictToStable(all, true), all);
}

TEST(PrintJob, RunsNoEngineOfItsOwn)
{
    Job job;
    const int runs = job.document.CombinationRuns();
    job.Run(Options({ 0, 1, 2, 3, 4, 5 }));
    EXPECT_EQ(job.document.CombinationRuns(), runs);
}

TEST(PrintJob, SectionsSeeTheAnalysisTheyNeed)
{
    Job job;
    bool checked = false;
    job.sections.Inspect = [&](ReportContext& ctx, const std::string& name) {
        if (name == "Stability") {
            // The run with service loads: the default wall stands with its weight downward.
            EXPECT_TRUE(ctx.Stability.Stable);
            EXPECT_GT(ctx.Stability.TotalVertical, 0);
        }
        if (name == "Concrete 1/4") {
            EXPECT_TRUE(ctx.Combinations.Stable);
            EXPECT_NE(ctx.Combinations.ComboMoment[1][1], 0);
            checked = true;
        }
    };
    job.Run(Options({ 1, 3, 4, 5 }));
    EXPECT_TRUE(checked);
}

TEST(PrintJob, CancelGivesTheJobUpBetweenSections)
{
    Job job;
    PrintJobHooks hooks;
    int asked = 0;
    hooks.CancelRequested = [&] { return ++asked > 3; };
    const PrintJobResult r = job.Run(Options({ 0, 1, 2, 3, 4, 5 }), hooks);
    EXPECT_EQ(
        job.sections.Printed, (std::vector<std::string> { "Dimensions", "Loads", "Properties" }));
    EXPECT_TRUE(r.Cancelled);
    EXPECT_TRUE(job.canvas.Aborted());
    EXPECT_FALSE(job.canvas.Ended());
}

TEST(PrintJob, CancelBeforeTheFirstSectionSendsNothingAtAll)
{
    Job job;
    PrintJobHooks hooks;
    hooks.CancelRequested = [] { return true; };
    const PrintJobResult r = job.Run(Options({ 0, 1, 2 }), hooks);
    EXPECT_TRUE(r.Cancelled);
    EXPECT_TRUE(job.sections.Printed.empty());
    // Not even the footer of the sheet Dimensions and Loads would have filled.
    EXPECT_TRUE(job.canvas.Texts().empty());
    EXPECT_EQ(job.NewPages(), 0);
}

TEST(PrintJob, PrinterErrorsAreReportedAndTheJobGoesOn)
{
    Job job;
    job.canvas.FailNewPage(true);
    std::vector<std::string> told;
    job.ctx.OnPrinterError = [&](const std::string& t) { told.push_back(t); };
    job.Run(Options({ 0, 1, 2 }));
    EXPECT_EQ(job.sections.Printed.size(), 3u);
    EXPECT_EQ(told, (std::vector<std::string> { "The printer refused a new page." }));
    EXPECT_TRUE(job.canvas.Ended());
}

TEST(PrintJob, MarginsThatLeaveNoPaperPrintNothing)
{
    Job job;
    job.project.MarginTop = 200;
    job.project.MarginBottom = 200;
    const PrintJobResult r = job.Run(Options({ 0 }));
    EXPECT_TRUE(job.sections.Printed.empty());
    EXPECT_EQ(r.Sheets, 0);
    EXPECT_FALSE(r.Messages.empty());
}

} // namespace
