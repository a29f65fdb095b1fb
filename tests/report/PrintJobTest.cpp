// The print job on the recording canvas, with section routines that only draw their frame and
// name: order, sheets, footers, the calculation sheet, cancelling and the printer's errors.
#include "report/PrintJob.h"
#include "document/ProjectDocument.h"
#include "report/RecordingCanvas.h"
#include "support/Walls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace pendrake;
using namespace pendrake::report;

const std::vector<std::string> SectionNames = { "Dimensions", "Loads", "Properties", "Stability",
    "Reactions", "Concrete 1/4", "Concrete 2/4", "Concrete 3/4", "Concrete 4/4" };

PrintOptions Options(std::initializer_list<int> checked)
{
    PrintOptions o;
    for (int k : checked)
        o.Option(k) = 1;
    return o;
}

// A print job over a document of the wall: its record and the results of its one run. Its
// sections draw their frame and print their name in the body, so the tests see where each went
// and which sheet carried it.
struct Job {
    explicit Job(const Project& p = test::DefaultWall())
        : document(p)
        , project(document.Record())
        , ctx(canvas, project, document.Stability(), document.Combinations())
    {
        project.PageFieldText = { "", "&Input", "", "Page &Page of &NPages" };
    }
    SectionPrinters Printers()
    {
        auto make = [this](size_t k) {
            return [this, k](ReportContext& c) {
                BeginSection(c);
                c.Canvas.SetPen(240, c.SectionBodyTop + 240);
                c.Canvas.Print(SectionNames[k]);
                printed.push_back(SectionNames[k]);
            };
        };
        return { make(0), make(1), make(2), make(3), make(4), make(5), make(6), make(7), make(8),
            {}, {} };
    }
    PrintJobResult Run(const PrintOptions& o, PrintJobHooks hooks = {})
    {
        return RunPrintJob(ctx, o, Printers(), hooks);
    }
    // Footer texts in the order printed, with the sheet each went on.
    std::vector<std::pair<int, std::string>> Footers() const
    {
        std::vector<std::pair<int, std::string>> f;
        for (const RecordedCall& t : canvas.Texts())
            if (t.Text.rfind("Page ", 0) == 0)
                f.emplace_back(t.Page, t.Text);
        return f;
    }
    int NewPages() const
    {
        return int(std::count_if(canvas.Calls().begin(), canvas.Calls().end(),
            [](const RecordedCall& c) { return c.Kind == CallKind::NewPage; }));
    }

    ProjectDocument document;
    RecordingCanvas canvas;
    // The record printed; a test may change its page settings.
    Project project;
    ReportContext ctx;
    std::vector<std::string> printed;
};

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
        for (size_t k = 0; k < 9; ++k)
            if (o.Option(int(std::min<size_t>(k, 5)))) {
                expected.push_back(SectionNames[k]);
                if (k < 6)
                    expectedLabels.push_back(labels[k]);
            }
        ASSERT_EQ(job.printed, expected);
        EXPECT_EQ(labelled, expectedLabels);
        const int sheets = int(expected.size() + 1) / 2;
        EXPECT_EQ(r.Sheets, sheets);
        EXPECT_EQ(job.NewPages(), std::max(0, sheets - 1));
        EXPECT_TRUE(job.canvas.Ended());
        const auto footers = job.Footers();
        ASSERT_EQ(int(footers.size()), sheets);
        for (int k = 1; k <= sheets; ++k)
            EXPECT_EQ(footers[size_t(k - 1)],
                std::make_pair(k, "Page " + std::to_string(k) + " of " + std::to_string(sheets)));
        ASSERT_EQ(r.Placed.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(expected[i]);
            const int page = int(i / 2) + 1;
            const int slot = int(i % 2);
            // Where the halves stand is the page framework's.
            const RecordedCall* name = job.canvas.FindText(expected[i]);
            ASSERT_NE(name, nullptr);
            EXPECT_EQ(name->Page, page);
            EXPECT_EQ(std::make_pair(int(r.Placed[i].Page), int(r.Placed[i].Slot)),
                std::make_pair(page, slot));
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
    Job job(test::UnstableWall());
    const PrintJobResult r = job.Run(Options({ 0, 3, 5 }));
    EXPECT_EQ(job.printed, (std::vector<std::string> { "Dimensions", "Stability" }));
    EXPECT_EQ(job.Footers(), (std::vector<std::pair<int, std::string>> { { 1, "Page 1 of 1" } }));
    for (const std::string& m : r.Messages)
        EXPECT_NE(m, UnstableCombinationMessage);
}

// Asked before each section: the job gives up there, sending nothing more. Cancelled before the
// first, not even the footer of the sheet Dimensions and Loads would have filled is printed.
TEST(PrintJob, CancelGivesTheJobUpBetweenSections)
{
    for (size_t allowed : { 3, 0 }) {
        SCOPED_TRACE(allowed);
        Job job;
        PrintJobHooks hooks;
        size_t asked = 0;
        hooks.CancelRequested = [&] { return ++asked > allowed; };
        EXPECT_TRUE(job.Run(Options({ 0, 1, 2, 3, 4, 5 }), hooks).Cancelled);
        EXPECT_EQ(job.printed,
            std::vector<std::string>(SectionNames.begin(), SectionNames.begin() + long(allowed)));
        EXPECT_FALSE(job.canvas.Ended());
        EXPECT_TRUE(job.canvas.Aborted());
        EXPECT_EQ(job.canvas.Texts().empty(), allowed == 0);
        EXPECT_EQ(job.NewPages(), allowed == 3 ? 1 : 0);
    }
}

TEST(PrintJob, PrinterErrorsAreReportedAndTheJobGoesOn)
{
    Job job;
    job.canvas.FailNewPage(true);
    std::vector<std::string> told;
    job.ctx.OnPrinterError = [&](const std::string& t) { told.push_back(t); };
    job.Run(Options({ 0, 1, 2 }));
    EXPECT_EQ(job.printed.size(), 3u);
    EXPECT_EQ(told, (std::vector<std::string> { "The printer refused a new page." }));
    EXPECT_TRUE(job.canvas.Ended());

    // Margins that leave no paper print nothing, and say so.
    Job noPaper;
    noPaper.project.MarginTop = 200;
    noPaper.project.MarginBottom = 200;
    const PrintJobResult r = noPaper.Run(Options({ 0 }));
    EXPECT_TRUE(noPaper.printed.empty());
    EXPECT_EQ(r.Sheets, 0);
    EXPECT_EQ(r.Messages.size(), 1u);
}

TEST(PrintJob, TheCalculationSheetPrintsLastOnAsManyHalvesAsItFillsWithFrameAndFooter)
{
    Job job;
    SectionPrinters printers = job.Printers();
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
    EXPECT_EQ(int(job.Footers().size()), r.Sheets);

    // Every half carries the title, and the sheet's last step is on the last page (its lines are
    // the sheet window's to test).
    int titles = 0;
    int lastStepPage = 0;
    for (const RecordedCall& t : job.canvas.Texts()) {
        titles += t.Text == "Calculation sheet";
        if (t.Text.find("[ReinShearCap(3)]") != std::string::npos)
            lastStepPage = t.Page;
    }
    EXPECT_EQ(titles, int(r.Placed.size()) - 1);
    EXPECT_EQ(lastStepPage, r.Sheets) << "the toe's shear capacity, the sheet's last step";
}

} // namespace
