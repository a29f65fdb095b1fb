// The report command of pendrake-cli: the print job of the desktop program on a PDF writer.
#include "cli/ReportCommand.h"

#include "cli/Json.h"
#include "document/ProjectDocument.h"
#include "report/PrintJob.h"
#include "report/QtPageCanvas.h"
#include "report/QtViewPainter.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QString>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string_view>

namespace pendrake::cli {

namespace {

using report::PrintOptions;
using report::ReportSection;

std::string_view SectionTitle(ReportSection s)
{
    switch (s) {
    case ReportSection::Dimensions: return "Dimensions";
    case ReportSection::Loads: return "Loads";
    case ReportSection::Properties: return "Properties";
    case ReportSection::Stability: return "Stability";
    case ReportSection::Reactions: return "Reactions";
    case ReportSection::Concrete1: return "Concrete 1/4";
    case ReportSection::Concrete2: return "Concrete 2/4";
    case ReportSection::Concrete3: return "Concrete 3/4";
    case ReportSection::Sheet: return "Calculation sheet";
    case ReportSection::Concrete4: break;
    }
    return "Concrete 4/4";
}

std::string Trimmed(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    std::string out(s);
    std::transform(
        out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

// The options named in a comma-separated list; all six when the list was not given. False with
// the offending name when a name is unknown or the list names nothing.
bool ParseSections(const std::string& list, PrintOptions& options, std::string& bad)
{
    options = {};
    if (list.empty()) {
        for (int k = 0; k < report::PrintOptionCount; ++k)
            options.Option(k) = 1;
        return true;
    }
    size_t start = 0;
    bool any = false;
    while (start <= list.size()) {
        const size_t comma = std::min(list.find(',', start), list.size());
        const std::string name = Trimmed(std::string_view(list).substr(start, comma - start));
        start = comma + 1;
        if (name.empty())
            continue;
        if (name == "sheet") {
            options.PrintSheet = 1;
            any = true;
            continue;
        }
        const auto it
            = std::find(report::PrintOptionName.begin(), report::PrintOptionName.end(), name);
        if (it == report::PrintOptionName.end()) {
            bad = name;
            return false;
        }
        options.Option(int(it - report::PrintOptionName.begin())) = 1;
        any = true;
    }
    if (!any)
        bad = list;
    return any;
}

// Fonts need a GUI application; a command-line run needs no display, so it takes Qt's
// offscreen platform unless the caller chose another.
void EnsureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's notes about the session (no runtime folder, no display) are not the command's
    // errors: only critical messages reach stderr.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "pendrake-cli: %s\n", text.toLocal8Bit().constData());
    });
    static int argc = 1;
    static char name[] = "pendrake-cli";
    static char* argv[] = { name, nullptr };
    // Lives to the end of the process: tearing Qt down among the static destructors is unsafe.
    static QGuiApplication* const app = new QGuiApplication(argc, argv);
    static_cast<void>(app);
}

} // namespace

int RunReportCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    PrintOptions options;
    std::string bad;
    if (!ParseSections(args.Sections, options, bad)) {
        err << "pendrake-cli: --sections takes a comma-separated list of dimensions, loads, "
               "properties, stability, reactions, concrete; not "
            << bad << "\n";
        return ExitUsage;
    }
    if (args.Output.empty()) {
        err << "pendrake-cli: report needs -o OUT.pdf\n" << UsageText;
        return ExitUsage;
    }
    Project p = MakeNewProject(DefaultReportFont);
    if (!LoadOrReport(args, p, err))
        return ExitFailure;

    const ProjectDocument document(std::move(p), args.File);
    // The print dialog's check: on an unstable wall Reactions and Concrete design are not
    // offered, so they are not printed here either.
    const CombinationResults& check = document.Combinations();
    const bool stable = check.Stable;
    const PrintOptions asked = options;
    options = report::RestrictToStable(options, stable);

    EnsureGuiApplication();
    const QString path = QString::fromStdString(args.Output);
    QPdfWriter writer(path);
    report::SetUpA4Pdf(writer);
    writer.setTitle(QString::fromStdString(document.Record().ProjectTitle));
    report::QtPageCanvas canvas(writer);
    report::ReportContext ctx(canvas, document);
    report::ChooseReportFonts(ctx, report::InstalledFontFamilies());
    report::StampLocaleDateTime(ctx);
    const report::PrintJobResult job
        = report::RunPrintJob(ctx, options, report::StandardSectionPrinters());

    if (!canvas.ErrorText().empty()) {
        err << "pendrake-cli: cannot write " << args.Output << ": " << canvas.ErrorText() << "\n";
        return ExitFailure;
    }
    if (job.Sheets == 0) {
        err << "pendrake-cli: nothing to print";
        if (!stable && !(asked == options))
            err << ": the structure is not stable, so reactions and concrete design are not "
                   "printed";
        err << "\n";
        // Nothing was drawn, so the writer never opened the file: whatever was there stays.
        return ExitFailure;
    }

    Json result = Json::MakeObject();
    result.Set("output", args.Output);
    result.Set("sheets", job.Sheets);
    result.Set("Stable", stable);
    Json sections = Json::MakeArray();
    for (const report::PlacedSection& s : job.Placed) {
        Json placed = Json::MakeObject();
        placed.Set("section", std::string(SectionTitle(s.Section)));
        placed.Set("page", s.Page);
        placed.Set("half", s.Slot == 0 ? "upper" : "lower");
        sections.Push(std::move(placed));
    }
    result.Set("sections", std::move(sections));
    Json messages = Json::MakeArray();
    for (const std::string& m : check.Messages)
        messages.Push(m);
    for (const std::string& m : job.Messages) {
        if (std::find(check.Messages.begin(), check.Messages.end(), m) == check.Messages.end())
            messages.Push(m);
    }
    result.Set("messages", std::move(messages));
    out << result.Dump() << "\n";
    return ExitSuccess;
}

int RunDrawingCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    const std::optional<ViewKind> view = ViewKindNamed(Trimmed(args.View));
    if (!view) {
        err << "pendrake-cli: drawing needs --view dimensions, dead, live, soil, water, "
               "structural, impact, seismic or reactions\n";
        return ExitUsage;
    }
    const std::string suffix
        = Trimmed(args.Output.substr(std::min(args.Output.rfind('.'), args.Output.size())));
    if (suffix != ".svg" && suffix != ".png" && suffix != ".pdf") {
        err << "pendrake-cli: drawing needs -o OUT.svg, OUT.png or OUT.pdf\n" << UsageText;
        return ExitUsage;
    }
    Project p = MakeNewProject(DefaultReportFont);
    if (!LoadOrReport(args, p, err))
        return ExitFailure;
    const ProjectDocument document(std::move(p), args.File);
    if (*view == ViewKind::Reactions && !document.Stability().Stable) {
        err << "pendrake-cli: The Structure is not stable.\n";
        return ExitFailure;
    }
    EnsureGuiApplication();
    const QFont font = QGuiApplication::font();
    const ViewDrawing drawing
        = report::BuildExportDrawing(document.Record(), document.Stability(), *view, font);
    std::string error;
    if (!report::WriteViewDrawing(drawing, font, QString::fromStdString(args.Output), error)) {
        err << "pendrake-cli: " << error << "\n";
        return ExitFailure;
    }
    Json result = Json::MakeObject();
    result.Set("output", args.Output);
    result.Set("view", std::string(ViewKindName[size_t(*view)]));
    Json messages = Json::MakeArray();
    for (const std::string& m : document.Messages())
        messages.Push(m);
    result.Set("messages", std::move(messages));
    out << result.Dump() << "\n";
    return ExitSuccess;
}

} // namespace pendrake::cli
