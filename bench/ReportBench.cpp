// Time of the whole printed report of a project written as a PDF on A4: the analysis runs of
// the print job, all nine sections and the PDF writer, for the new project's wall and for one
// whose anchors carry tension.
#include "document/ProjectDocument.h"
#include "report/PrintJob.h"
#include "report/QtPageCanvas.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPdfWriter>

#include <benchmark/benchmark.h>

namespace {

using namespace pendrake;
using namespace pendrake::report;

// Fonts need a GUI application; the benchmark runs without a display.
void EnsureApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "pendrake_bench";
    static char* argv[] = { name, nullptr };
    static QGuiApplication* const app = new QGuiApplication(argc, argv);
    static_cast<void>(app);
}

void ReportToPdf(benchmark::State& state, const Project& original)
{
    EnsureApplication();
    const std::vector<std::string> families = InstalledFontFamilies();
    PrintOptions all;
    for (int k = 0; k < PrintOptionCount; ++k)
        all.Option(k) = 1;
    const SectionPrinters sections = StandardSectionPrinters();
    int64_t bytes = 0;
    // The document ran the engine once; the report only reads its results.
    const ProjectDocument document(original);
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        SetUpA4Pdf(writer);
        QtPageCanvas canvas(writer);
        ReportContext ctx(canvas, document);
        ChooseReportFonts(ctx, families);
        const PrintJobResult r = RunPrintJob(ctx, all, sections);
        if (r.Sheets != 5) {
            state.SkipWithError("the report did not come out on five sheets");
            return;
        }
        bytes = buffer.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["pdf_bytes"] = double(bytes);
}

void BM_ReportDefaultProject(benchmark::State& state)
{
    ReportToPdf(state, MakeNewProject("Arial"));
}
BENCHMARK(BM_ReportDefaultProject)->Unit(benchmark::kMillisecond);

void BM_ReportAnchoredWall(benchmark::State& state)
{
    // The new project pushed towards the toe by 10 T/m at the wall top: the anchors go into
    // tension and the reactions page draws their forces.
    Project p = MakeNewProject("Arial");
    p.LineLoadCount = 1;
    p.LineLoads[1] = { 10.0f, 1.0f, 10.0f, 270.0f, 2 };
    ReportToPdf(state, p);
}
BENCHMARK(BM_ReportAnchoredWall)->Unit(benchmark::kMillisecond);

} // namespace
