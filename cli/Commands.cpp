// Argument parsing and the file commands of pendrake-cli (show, new, convert).
#include "cli/Commands.h"

#include "cli/AnalysisJson.h"
#include "cli/Json.h"
#include "cli/ProjectJson.h"
#include "cli/SearchCommands.h"
#include "cli/SheetCommand.h"
#ifdef PENDRAKE_HAVE_REPORT
#include "cli/ReportCommand.h"
#endif
#include "document/ProjectDocument.h"
#include "io/ProjectFile.h"
#include "model/Units.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <ostream>

namespace pendrake::cli {

const char* const UsageText
    = "usage: pendrake-cli COMMAND [FILE.pdi] [options]\n"
      "  show [FILE]                                   input fields of the project (JSON)\n"
      "  new -o OUT.pdi                                write a new default project\n"
      "  convert [FILE] --units metric|si|british -o OUT.pdi\n"
      "                                                switch the unit system and save\n"
      "  stability [FILE] [--factors D,L,H,F,T,I,E]    stability analysis (JSON); factors 1 unless "
      "given\n"
      "  design [FILE]                                 load combinations and concrete design "
      "(JSON)\n"
      "  calculator [FILE] [--set Name=value ...]      soil pressure calculator filled from the "
      "project\n"
      "  optimize [FILE] [--vary NAME=MIN:MAX:STEP ...] [--target NAME>=VALUE ...] -o OUT.pdi\n"
      "                                                least concrete meeting the targets; "
      "JSON summary\n"
      "  sweep [FILE] (--vary NAME=FROM:TO:COUNT ... | --sample N --dist NAME=normal(MEAN,SD) "
      "...)\n"
      "        --csv OUT.csv [--seed S] [--shard I/N] [--target NAME>=VALUE ...]\n"
      "                                                a parametric or Monte-Carlo study, one "
      "row per point;\n"
      "                                                distributions normal, lognormal, "
      "uniform(MIN,MAX)\n"
      "  sheet [FILE] [--format text|html|json] [-o OUT]\n"
      "                                                the calculation sheet, step by step\n"
      "  verify [--format text|markdown] [-o OUT]      textbook examples: reference, program,\n"
      "                                                difference; exit 1 past a tolerance\n"
#ifdef PENDRAKE_HAVE_REPORT
      "  report [FILE] -o OUT.pdf [--sections "
      "dimensions,loads,properties,stability,reactions,concrete,sheet]\n"
      "                                                the printed report as PDF (A4)\n"
      "  drawing [FILE] --view NAME -o OUT.svg|OUT.png|OUT.pdf\n"
      "                                                one view of the window's drawing; NAME is "
      "one of\n"
      "                                                dimensions, dead, live, soil, water, "
      "structural,\n"
      "                                                impact, seismic, reactions\n"
#endif
      "Without FILE a command works on a new default project.\n";

namespace {

// Options and whether each takes a value.
const std::map<std::string, bool, std::less<>> KnownOptions
    = { { "-o", true }, { "--units", true }, { "--factors", true }, { "--sections", true },
          { "--set", true }, { "--view", true }, { "--vary", true }, { "--target", true },
          { "--dist", true }, { "--sample", true }, { "--csv", true }, { "--seed", true },
          { "--shard", true }, { "--format", true }, { "-h", false }, { "--help", false } };

Json WithMessages(Json j, const std::vector<std::string>& messages)
{
    Json list = Json::MakeArray();
    for (const std::string& m : messages)
        list.Push(m);
    j.Set("messages", std::move(list));
    return j;
}

int Show(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    Project p = MakeNewProject(DefaultReportFont);
    if (!LoadOrReport(args, p, err))
        return ExitFailure;
    out << WithMessages(ProjectInputJson(p), {}).Dump() << "\n";
    return ExitSuccess;
}

int Save(const Project& p, const std::string& path, std::ostream& err)
{
    const FileStatus status = WriteProjectFile(path, p);
    if (!status.Ok) {
        err << "pendrake-cli: " << status.Message << "\n";
        return ExitFailure;
    }
    return ExitSuccess;
}

int New(const ParsedArguments& args, std::ostream& err)
{
    if (args.Output.empty()) {
        err << "pendrake-cli: new needs -o OUT.pdi\n" << UsageText;
        return ExitUsage;
    }
    Project p = MakeNewProject(DefaultReportFont);
    return Save(p, args.Output, err);
}

int Convert(const ParsedArguments& args, std::ostream& err)
{
    static const std::map<std::string, int16_t, std::less<>> systems
        = { { "metric", Metric }, { "si", SI }, { "british", British } };
    std::string units = args.Units;
    std::transform(units.begin(), units.end(), units.begin(),
        [](unsigned char c) { return char(std::tolower(c)); });
    const auto system = systems.find(units);
    if (system == systems.end() || args.Output.empty()) {
        err << "pendrake-cli: convert needs --units metric|si|british and -o OUT.pdi\n"
            << UsageText;
        return ExitUsage;
    }
    Project p = MakeNewProject(DefaultReportFont);
    if (!LoadOrReport(args, p, err))
        return ExitFailure;
    // A file operation: the record as read, in the other system, without any analysis.
    return Save(SwitchUnitSystem(p, system->second), args.Output, err);
}

} // namespace

bool ParseNumber(std::string_view text, double& value)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    return res.ec == std::errc() && res.ptr == text.data() + text.size() && std::isfinite(value);
}

namespace {

// The seven load factors D, L, H, F, T, Impact, E of a combination.
bool ParseFactors(const std::string& text, LoadFactors& factors)
{
    size_t start = 0;
    for (int k = 1; k <= 7; ++k) {
        const size_t comma = text.find(',', start);
        if ((k < 7) == (comma == std::string::npos))
            return false;
        double v = 0;
        const std::string_view item = std::string_view(text).substr(start, comma - start);
        if (!ParseNumber(item, v))
            return false;
        factors.Factor[size_t(k)] = float(v);
        start = comma + 1;
    }
    return true;
}

int Stability(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    Project p = MakeNewProject(DefaultReportFont);
    LoadFactors factors;
    if (!args.Factors.empty() && !ParseFactors(args.Factors, factors)) {
        err << "pendrake-cli: --factors takes seven numbers D,L,H,F,T,I,E, not " << args.Factors
            << "\n";
        return ExitUsage;
    }
    if (!LoadOrReport(args, p, err))
        return ExitFailure;
    const ProjectDocument document(std::move(p), args.File);
    // Service loads are the document's own run; other factors analyse the record as it was read,
    // so that a slope they flatten is reported as the document's run reports it.
    if (factors == ServiceLoads) {
        out << StabilityJson(document.Record(), document.Stability()).Dump() << "\n";
        return ExitSuccess;
    }
    const Project& asRead = document.RecordBeforeProposal().value_or(document.Record());
    out << StabilityJson(document.Record(), ComputeStability(asRead, factors)).Dump() << "\n";
    return ExitSuccess;
}

int Design(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    Project p = MakeNewProject(DefaultReportFont);
    if (!LoadOrReport(args, p, err))
        return ExitFailure;
    const ProjectDocument document(std::move(p), args.File);
    out << DesignJson(document.Combinations()).Dump() << "\n";
    return ExitSuccess;
}

int Calculator(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    Project p = MakeNewProject(DefaultReportFont);
    if (!LoadOrReport(args, p, err))
        return ExitFailure;
    CalculatorInput input = CalculatorInputFromProject(p);
    for (const auto& [name, text] : args.Sets) {
        double value = 0;
        if (!ParseNumber(text, value) || !SetCalculatorInput(input, name, value)) {
            err << "pendrake-cli: --set " << name << "=" << text
                << ": not a calculator input, or a value the calculator refuses\n";
            return ExitUsage;
        }
    }
    out << CalculatorJson(input, ComputeSoilPressure(input)).Dump() << "\n";
    return ExitSuccess;
}

} // namespace

ParsedArguments ParseArguments(int argc, const char* const* argv)
{
    ParsedArguments a;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.size() > 1 && arg[0] == '-') {
            const auto known = KnownOptions.find(arg);
            if (known == KnownOptions.end()) {
                a.Error = "unknown option " + arg;
                return a;
            }
            if (!known->second) {
                a.Command = "help";
                return a;
            }
            if (i + 1 >= argc) {
                a.Error = arg + " needs a value";
                return a;
            }
            const std::string value = argv[++i];
            if (arg == "-o")
                a.Output = value;
            else if (arg == "--units")
                a.Units = value;
            else if (arg == "--factors")
                a.Factors = value;
            else if (arg == "--sections")
                a.Sections = value;
            else if (arg == "--view")
                a.View = value;
            else if (arg == "--vary")
                a.Vary.push_back(value);
            else if (arg == "--target")
                a.Targets.push_back(value);
            else if (arg == "--dist")
                a.Dists.push_back(value);
            else if (arg == "--sample")
                a.Sample = value;
            else if (arg == "--csv")
                a.Csv = value;
            else if (arg == "--seed")
                a.Seed = value;
            else if (arg == "--shard")
                a.Shard = value;
            else if (arg == "--format")
                a.Format = value;
            else if (arg == "--set") {
                const auto eq = value.find('=');
                if (eq == std::string::npos || eq == 0) {
                    a.Error = "--set takes Name=value, not " + value;
                    return a;
                }
                a.Sets.emplace_back(value.substr(0, eq), value.substr(eq + 1));
            }
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.empty()) {
        a.Error = "no command given";
        return a;
    }
    a.Command = positional[0];
    if (positional.size() > 2) {
        a.Error = "more than one project file given";
        return a;
    }
    if (positional.size() == 2)
        a.File = positional[1];
    return a;
}

bool LoadProject(const std::string& file, Project& project, std::string& error)
{
    if (file.empty())
        return true;
    const FileStatus status = ReadProjectFile(file, project);
    if (!status.Ok) {
        error = status.Message;
        return false;
    }
    return true;
}

bool LoadOrReport(const ParsedArguments& args, Project& p, std::ostream& err)
{
    std::string error;
    if (!LoadProject(args.File, p, error)) {
        err << "pendrake-cli: " << error << "\n";
        return false;
    }
    return true;
}

int RunCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    if (args.Command == "help") {
        out << UsageText;
        return ExitSuccess;
    }
    if (args.Command == "show")
        return Show(args, out, err);
    if (args.Command == "new")
        return New(args, err);
    if (args.Command == "convert")
        return Convert(args, err);
    if (args.Command == "stability")
        return Stability(args, out, err);
    if (args.Command == "design")
        return Design(args, out, err);
    if (args.Command == "calculator")
        return Calculator(args, out, err);
    if (args.Command == "optimize")
        return RunOptimizeCommand(args, out, err);
    if (args.Command == "sweep")
        return RunSweepCommand(args, out, err);
    if (args.Command == "sheet")
        return RunSheetCommand(args, out, err);
    if (args.Command == "verify")
        return RunVerifyCommand(args, out, err);
#ifdef PENDRAKE_HAVE_REPORT
    if (args.Command == "report")
        return RunReportCommand(args, out, err);
    if (args.Command == "drawing")
        return RunDrawingCommand(args, out, err);
#endif
    err << "pendrake-cli: unknown command " << args.Command << "\n" << UsageText;
    return ExitUsage;
}

} // namespace pendrake::cli
