// The sheet and verify commands of pendrake-cli.
#include "cli/SheetCommand.h"

#include "cli/AnalysisJson.h"
#include "document/ProjectDocument.h"
#include "sheet/Verification.h"

#include <cmath>
#include <fstream>
#include <ostream>

namespace pendrake::cli {

namespace {

// Writes the text to -o, or to the stream when none is given.
int Emit(const ParsedArguments& args, const std::string& text, std::ostream& out, std::ostream& err)
{
    if (args.Output.empty()) {
        out << text;
        return ExitSuccess;
    }
    std::ofstream file(args.Output, std::ios::binary);
    file << text;
    file.close();
    if (!file) {
        err << "pendrake-cli: cannot write " << args.Output << "\n";
        return ExitFailure;
    }
    return ExitSuccess;
}

} // namespace

Json SheetJson(const CalculationSheet& sheet)
{
    Json chapters = Json::MakeArray();
    for (const SheetChapter& c : sheet.Chapters) {
        Json steps = Json::MakeArray();
        for (const SheetStep& s : c.Steps)
            steps.Push(Json(Json::Object { { "label", s.Label }, { "symbol", s.Symbol },
                { "formula", s.Formula }, { "numbers", s.Numbers },
                { "value", std::isnan(s.Value) ? Json() : Json(s.Value) }, { "unit", s.Unit },
                { "field", s.Field.empty() ? Json() : Json(s.Field) } }));
        chapters.Push(Json(Json::Object { { "title", c.Title }, { "steps", std::move(steps) } }));
    }
    Json j = Json::MakeObject();
    j.Set("chapters", std::move(chapters));
    j.Set("messages", TextList(sheet.Messages));
    return j;
}

int RunSheetCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    const std::string format = args.Format.empty() ? "text" : args.Format;
    if (format != "text" && format != "html" && format != "json") {
        err << "pendrake-cli: sheet takes --format text|html|json, not " << format << "\n"
            << UsageText;
        return ExitUsage;
    }
    Project p = MakeNewProject(DefaultReportFont);
    if (!LoadOrReport(args, p, err))
        return ExitFailure;
    const ProjectDocument document(std::move(p), args.File);
    const CalculationSheet sheet
        = BuildCalculationSheet(document.Record(), document.Stability(), document.Combinations());
    std::string text;
    if (format == "json")
        text = SheetJson(sheet).Dump() + "\n";
    else if (format == "html")
        text = SheetHtml(sheet, "Calculation sheet");
    else
        text = SheetText(sheet);
    return Emit(args, text, out, err);
}

int RunVerifyCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    const std::string format = args.Format.empty() ? "text" : args.Format;
    if (format != "text" && format != "markdown") {
        err << "pendrake-cli: verify takes --format text|markdown, not " << format << "\n"
            << UsageText;
        return ExitUsage;
    }
    const std::vector<VerificationExample> examples = RunVerificationExamples();
    const int status = Emit(args,
        format == "markdown" ? VerificationMarkdown(examples) : VerificationText(examples), out,
        err);
    if (status != ExitSuccess)
        return status;
    for (const VerificationExample& e : examples) {
        if (!e.Passes()) {
            err << "pendrake-cli: " << e.Name << ": difference beyond its tolerance\n";
            return ExitFailure;
        }
    }
    return ExitSuccess;
}

} // namespace pendrake::cli
