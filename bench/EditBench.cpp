// How long the verdict takes to follow the engineer's hand: one dimension edit, the document's
// engine run (service stability and the whole design), and the redraw of the default wall's
// drawing, together. A frame at 60 Hz lasts 16 ms.
#include "document/ProjectDocument.h"
#include "model/DimensionEdit.h"
#include "ui/WallView.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

using namespace pendrake;

// The top width goes back and forth between two values, so that every edit is a change.
Project Edited(const Project& base, int iteration)
{
    Project p = base;
    ApplyDimensionEdit(p, 0, iteration % 2 == 0 ? 0.6 : 0.5);
    return p;
}

void BM_EditRunAndRedraw(benchmark::State& state)
{
    const Project base = MakeNewProject("Arial");
    ProjectDocument document(base);
    ui::WallView view(document);
    view.resize(900, 700);
    view.SetView(static_cast<ui::WallViewKind>(state.range(0)));
    QImage frame(view.size(), QImage::Format_ARGB32_Premultiplied);
    int iteration = 0;
    for (auto _ : state) {
        document.SetRecord(Edited(base, iteration++));
        view.Redraw(true);
        view.render(&frame);
        benchmark::DoNotOptimize(frame.constBits());
    }
}
// Dimensions (0), Soil (3) and Reactions (8): the section with its seventeen values, a pressure
// diagram, and the base reactions.
BENCHMARK(BM_EditRunAndRedraw)
    ->ArgName("view")
    ->Arg(0)
    ->Arg(3)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond);

void BM_EditAndRunOnly(benchmark::State& state)
{
    const Project base = MakeNewProject("Arial");
    ProjectDocument document(base);
    int iteration = 0;
    for (auto _ : state) {
        document.SetRecord(Edited(base, iteration++));
        benchmark::DoNotOptimize(document.Verdict());
    }
}
BENCHMARK(BM_EditAndRunOnly)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    // The drawing needs widgets; a machine without a display draws on the offscreen platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
