// The print job on the recording canvas, with section routines that only draw their frame and
// name: the order of the sections, two to a sheet, ejections, footers and page numbers, no
// empty last sheet, the document's results read by every section, and cancelling between
// sections.
#include "report/PrintJob.h"
#include "document/ProjectDocument.h"
#include "report/RecordingCanvas.h"
#include "support/Walls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace pendrake;
using pendrake::test::UnstableWall;
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

TEST(PrintJob, EveryChoiceOfSectionsPacksThemInOrderTwoToASheet)
{
    // Whatever is chosen, the sections follow one another, upper half first; the sheets are
    // the sections halved and rounded up, each with one footer that knows the total, and no
    // empty sheet is started after the last (Loads ejects, but the document ends there).
    // The progress label names each choice as its sections begin.
    const std::vector<std::string> labels
        = { "Printing dimensions", "Printing loads", "Printing properties", "Printing stability",
              "Printing reactions", "Printing concrete design" };
    for (int mask = 0; mask < 64; ++mask) {
        SCOPED_TRACE(mask);
        PrintOptions o;
        for (int k = 0; k < PrintOptionCount; ++k)
            o.Option(k) = int16_t((mask >> k) & 1);
        Job job;
        std::vector<std::string> labelled;
        PrintJobHooks hooks;
        hooks.OnLabel = [&](const std::string& l) { labelled.push_back(l); };
        const PrintJobResult r = job.Run(o, hooks);
        std::vector<std::string> expected;
        std::vector<std::string> expectedLabels;
        for (int k = 0; k < 6; ++k)
            if (o.Option(k))
                expectedLabels.push_back(labels[size_t(k)]);
        for (int k = 0; k < 5; ++k)
            if (o.Option(k))
                expected.push_back(SectionNames[size_t(k)]);
        if (o.PrintConcrete)
            expected.insert(expected.end(), SectionNames.begin() + 5, SectionNames.end());
        ASSERT_EQ(job.sections.Printed, expected);
        EXPECT_EQ(labelled, expectedLabels);
        const int sheets = int(expected.size() + 1) / 2;
        EXPECT_EQ(r.Sheets, sheets);
        EXPECT_EQ(job.ctx.PageCount, sheets);
        EXPECT_EQ(job.NewPages(), std::max(0, sheets - 1));
        EXPECT_TRUE(job.canvas.Ended());
        const auto footers = job.Footers();
        ASSERT_EQ(int(footers.size()), sheets);
        for (int k = 1; k <= sheets; ++k)
            EXPECT_EQ(footers[size_t(k - 1)],
                std::make_pair(k, "Page " + std::to_string(k) + " of " + std::to_string(sheets)));
        ASSERT_EQ(r.Placed.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            const int page = int(i / 2) + 1;
            const int slot = int(i % 2);
            EXPECT_EQ(job.Where(expected[i]), std::make_pair(page, slot ? LowerBody : UpperBody))
                << expected[i];
            EXPECT_EQ(std::make_pair(int(r.Placed[i].Page), int(r.Placed[i].Slot)),
                std::make_pair(page, slot))
                << expected[i];
        }
        // The plan the job counted with is the job itself.
        const PrintJobResult plan = PlanPrintJob(o, true);
        EXPECT_EQ(plan.Sheets, r.Sheets);
        EXPECT_EQ(plan.Placed.size(), r.Placed.size());
    }
}

TEST(PrintJob, AnUnstableWallPrintsNoReactionsOrConcreteAndSaysNothingOfIt)
{
    const PrintOptions all = Options({ 0, 1, 2, 3, 4, 5 });
    EXPECT_EQ(RestrictToStable(all, false), Options({ 0, 1, 2, 3 }));
    EXPECT_EQ(RestrictToStable(all, true), all);

    // Concrete chosen all the same: the job leaves it out (the dialog already said why).
    Job job(UnstableWall());
    const PrintJobResult r = job.Run(Options({ 0, 3, 5 }));
    EXPECT_EQ(job.sections.Printed, (std::vector<std::string> { "Dimensions", "Stability" }));
    EXPECT_EQ(r.Sheets, 1);
    ASSERT_EQ(job.Footers().size(), 1u);
    EXPECT_EQ(job.Footers()[0].second, "Page 1 of 1");
    for (const std::string& m : r.Messages)
        EXPECT_NE(m, UnstableCombinationMessage);
}

// Asked before each section: the job gives up there, sending nothing more. Cancelled before the
// first, not even the footer of the sheet Dimensions and Loads would have filled is printed.
TEST(PrintJob, CancelGivesTheJobUpBetweenSections)
{
    const struct {
        int Allowed; // sections printed before the cancel
        std::vector<std::string> Printed;
    } rows[] = { { 3, { "Dimensions", "Loads", "Properties" } }, { 0, {} } };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Allowed);
        Job job;
        PrintJobHooks hooks;
        int asked = 0;
        hooks.CancelRequested = [&] { return ++asked > row.Allowed; };
        const PrintJobResult r = job.Run(Options({ 0, 1, 2, 3, 4, 5 }), hooks);
        EXPECT_EQ(job.sections.Printed, row.Printed);
        EXPECT_TRUE(r.Cancelled);
        EXPECT_FALSE(job.canvas.Ended());
        EXPECT_TRUE(job.canvas.Aborted());
        if (row.Allowed == 0) {
            EXPECT_TRUE(job.canvas.Texts().empty());
            EXPECT_EQ(job.NewPages(), 0);
        }
    }
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
    EXPECT_EQ(r.Messages.size(), 1u);
}

} // namespace

TEST(PrintJob, TheCalculationSheetPrintsLastOnAsManyHalvesAsItFillsWithFrameAndFooter)
{
    Job job;
    SectionPrinters printers = job.sections.Printers();
    const SectionPrinters standard = StandardSectionPrinters();
    printers.SheetHalfPages = standard.SheetHalfPages;
    printers.Sheet = standard.Sheet;
    PrintOptions o = Options({ 2 });
    o.PrintSheet = 1;
    const PrintJobResult r = RunPrintJob(job.ctx, o, printers);

    // Properties in the upper half of sheet 1, then the sheet from the lower half on: every half
    // after it is the sheet's, and the planned count is the printed one.
    ASSERT_GT(r.Placed.size(), 3u);
    EXPECT_EQ(r.Placed[0].Section, ReportSection::Properties);
    for (size_t k = 1; k < r.Placed.size(); ++k) {
        EXPECT_EQ(r.Placed[k].Section, ReportSection::Sheet) << k;
        EXPECT_EQ(r.Placed[k].Page, int16_t(1 + k / 2)) << k;
        EXPECT_EQ(r.Placed[k].Slot, int16_t(k % 2)) << k;
    }
    EXPECT_EQ(job.ctx.PageCount, r.Sheets);
    EXPECT_EQ(job.NewPages(), r.Sheets - 1);
    const auto footers = job.Footers();
    ASSERT_EQ(int(footers.size()), r.Sheets);
    EXPECT_EQ(footers.back().second,
        "Page " + std::to_string(r.Sheets) + " of " + std::to_string(r.Sheets));

    // Every half carries the title, and the sheet's steps appear in their order.
    int titles = 0;
    for (const RecordedCall& t : job.canvas.Texts())
        titles += t.Text == "Calculation sheet";
    EXPECT_EQ(titles, int(r.Placed.size()) - 1);
    const RecordedCall* ka = job.canvas.FindText("      = 0.2971729   [KaStatic]");
    ASSERT_NE(ka, nullptr);
    EXPECT_EQ(ka->Page, 1);
    int lastStepPage = 0;
    for (const RecordedCall& t : job.canvas.Texts()) {
        if (t.Text.find("[ReinShearCap(3)]") != std::string::npos)
            lastStepPage = t.Page;
    }
    EXPECT_EQ(lastStepPage, r.Sheets) << "the toe's shear capacity, the sheet's last step";

    // Without the box the report is the one it always was.
    Job plain;
    EXPECT_EQ(plain.Run(Options({ 2 })).Sheets, 1);
}
