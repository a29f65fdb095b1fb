// optimize and sweep: their options parsed into the search's inputs, a progress bar on a
// terminal's stderr, the chosen wall saved, the JSON summary and the study's CSV.
#include "cli/SearchCommands.h"

#include "cli/Json.h"
#include "io/ProjectFile.h"
#include "search/Optimizer.h"
#include "search/Sweep.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <unistd.h>

namespace pendrake::cli {

namespace {

// Width of the progress bar in characters.
constexpr int ProgressWidth = 40;

// A bar on stderr, drawn only when stderr is a terminal so that logs and pipes stay clean.
class ProgressBar {
public:
    explicit ProgressBar(std::ostream& err)
        : err_(err)
        , shown_(::isatty(STDERR_FILENO) != 0)
    {
    }
    ~ProgressBar()
    {
        if (shown_ && drawn_)
            err_ << "\n";
    }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void Update(int64_t done, int64_t total)
    {
        if (!shown_ || total <= 0)
            return;
        const int filled = int(double(done) / double(total) * ProgressWidth);
        err_ << "\r[" << std::string(size_t(filled), '#')
             << std::string(size_t(ProgressWidth - filled), ' ') << "] " << done << "/" << total
             << std::flush;
        drawn_ = true;
    }

private:
    std::ostream& err_;
    bool shown_;
    bool drawn_ = false;
};

// "NAME=A:B:C" into the name and three numbers.
bool ParseTriple(const std::string& text, std::string& name, std::array<double, 3>& v)
{
    const size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0)
        return false;
    name = text.substr(0, eq);
    std::string_view rest = std::string_view(text).substr(eq + 1);
    for (size_t k = 0; k < 3; ++k) {
        const size_t colon = rest.find(':');
        if ((k < 2) == (colon == std::string_view::npos))
            return false;
        if (!ParseNumber(rest.substr(0, colon), v[k]))
            return false;
        rest = k < 2 ? rest.substr(colon + 1) : std::string_view();
    }
    return true;
}

bool ParseTargets(const std::vector<std::string>& texts, DesignTargets& targets, std::ostream& err)
{
    for (const std::string& t : texts) {
        const size_t ge = t.find(">=");
        SafetyCheck check {};
        double value = 0;
        if (ge == std::string::npos || !SafetyCheckByName(t.substr(0, ge), check)
            || !ParseNumber(std::string_view(t).substr(ge + 2), value) || value < 0) {
            err << "pendrake-cli: --target takes NAME>=VALUE with NAME one of OverturningSafety, "
                   "SlidingSafetyMin, BearingSafetyMin, AnchorTensionSafety, AnchorShearSafety, "
                   "not "
                << t << "\n";
            return false;
        }
        TargetOf(targets, check) = value;
    }
    return true;
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

Json DimensionsJson(const Project& p)
{
    Json j = Json::MakeObject();
    for (int i = 0; i < DimensionCount; ++i)
        j.Set(std::string(DimensionFieldName[size_t(i)]), Dimension(p, i));
    return j;
}

Json ChecksJson(const WallEvaluation& e, const DesignTargets& targets)
{
    Json j = Json::MakeObject();
    for (int k = 0; k < SafetyCheckCount; ++k) {
        Json c = Json::MakeObject();
        c.Set("Value", e.Safety[size_t(k)]);
        c.Set("Target", TargetOf(targets, SafetyCheck(k)));
        c.Set("Met", bool(e.SafetyMet[size_t(k)]));
        j.Set(std::string(SafetyCheckName[size_t(k)]), std::move(c));
    }
    j.Set("AllSetsStable", e.DesignRun ? Json(e.AllSetsStable) : Json());
    Json rows = Json::MakeArray();
    for (int r = 1; r <= ReinRowCount; ++r)
        rows.Push(e.DesignRun ? Json(bool(e.RowMet[size_t(r)])) : Json());
    j.Set("DesignRows", std::move(rows));
    Json shear = Json::MakeArray();
    for (int s = 1; s <= DesignSectionCount; ++s)
        shear.Push(e.DesignRun ? Json(bool(e.ShearMet[size_t(s)])) : Json());
    j.Set("Shear", std::move(shear));
    j.Set("LargestUtilisation", e.LargestUtilisation);
    j.Set("Passes", e.Passes);
    return j;
}

} // namespace

int RunOptimizeCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    if (args.Output.empty()) {
        err << "pendrake-cli: optimize needs -o OUT.pdi\n" << UsageText;
        return ExitUsage;
    }
    DesignTargets targets;
    if (!ParseTargets(args.Targets, targets, err))
        return ExitUsage;
    Project p = MakeNewProject(DefaultReportFont);
    std::vector<FreeDimension> free;
    for (const std::string& v : args.Vary) {
        std::string name;
        std::array<double, 3> n {};
        const auto dim = ParseTriple(v, name, n) ? DimensionByFieldName(name) : std::nullopt;
        if (!dim) {
            err << "pendrake-cli: --vary takes NAME=MIN:MAX:STEP with NAME a dimension such as "
                   "TopWidth, not "
                << v << "\n";
            return ExitUsage;
        }
        free.push_back({ *dim, n[0], n[1], n[2] });
    }
    if (!LoadOrReport(args, p, err))
        return ExitFailure;
    if (free.empty())
        free = DefaultFreeDimensions(p);

    const auto start = std::chrono::steady_clock::now();
    ProgressBar bar(err);
    OptimizeOptions options;
    options.Progress = [&](int64_t done, int64_t total) { bar.Update(done, total); };
    const OptimizationResult r = Optimize(p, free, targets, 0, options);
    const double seconds = SecondsSince(start);
    if (!r.Error.empty()) {
        err << "pendrake-cli: optimize: " << r.Error << "\n";
        return ExitUsage;
    }

    const WallEvaluation before = Evaluate(p, targets);
    Json j = Json::MakeObject();
    Json freeJson = Json::MakeArray();
    for (const FreeDimension& f : free) {
        Json d = Json::MakeObject();
        d.Set("Name", std::string(DimensionFieldName[size_t(f.Index)]));
        d.Set("Min", f.Min);
        d.Set("Max", f.Max);
        d.Set("Step", f.Step);
        freeJson.Push(std::move(d));
    }
    j.Set("FreeDimensions", std::move(freeJson));
    j.Set("Found", r.Found);
    j.Set("Before", DimensionsJson(p));
    j.Set("ChecksBefore", ChecksJson(before, targets));
    j.Set("ConcreteAreaBefore", before.ConcreteArea);
    if (r.Found) {
        j.Set("Chosen", DimensionsJson(r.Best.Wall));
        j.Set("Checks", ChecksJson(r.Best.Evaluation, targets));
        j.Set("ConcreteAreaAfter", r.Best.Evaluation.ConcreteArea);
        j.Set("ConcreteSaved", before.ConcreteArea - r.Best.Evaluation.ConcreteArea);
        Json runners = Json::MakeArray();
        for (const SearchCandidate& c : r.RunnersUp) {
            Json d = Json::MakeObject();
            for (size_t k = 0; k < free.size(); ++k)
                d.Set(std::string(DimensionFieldName[size_t(free[k].Index)]), c.Values[k]);
            d.Set("ConcreteArea", c.Evaluation.ConcreteArea);
            d.Set("LargestUtilisation", c.Evaluation.LargestUtilisation);
            runners.Push(std::move(d));
        }
        j.Set("RunnersUp", std::move(runners));
    }
    j.Set("GridSize", r.GridSize);
    j.Set("ValidCandidates", r.ValidCandidates);
    j.Set("CandidatesEvaluated", r.CandidatesEvaluated);
    j.Set("Seconds", seconds);
    Json messages = Json::MakeArray();
    if (!r.Found)
        messages.Push("No wall on the grid meets every target; nothing was written.");
    j.Set("messages", std::move(messages));
    out << j.Dump() << "\n";
    if (!r.Found)
        return ExitFailure;
    const FileStatus status = WriteProjectFile(args.Output, r.Best.Wall);
    if (!status.Ok) {
        err << "pendrake-cli: " << status.Message << "\n";
        return ExitFailure;
    }
    return ExitSuccess;
}

namespace {

// "normal(30,2)" and its kin into a sample of the input.
bool ParseDistribution(const std::string& text, SweepSample& s)
{
    const size_t eq = text.find('=');
    const size_t open = text.find('(', eq);
    const size_t comma = text.find(',', open);
    if (eq == std::string::npos || open == std::string::npos || comma == std::string::npos
        || text.back() != ')')
        return false;
    const auto input = WallInputByName(text.substr(0, eq));
    if (!input)
        return false;
    s.Input = *input;
    const std::string kind = text.substr(eq + 1, open - eq - 1);
    if (kind == "normal")
        s.Kind = Distribution::Normal;
    else if (kind == "lognormal")
        s.Kind = Distribution::LogNormal;
    else if (kind == "uniform")
        s.Kind = Distribution::Uniform;
    else
        return false;
    const std::string_view all(text);
    return ParseNumber(all.substr(open + 1, comma - open - 1), s.A)
        && ParseNumber(all.substr(comma + 1, all.size() - comma - 2), s.B);
}

bool ParseCount(const std::string& text, int64_t& n)
{
    double v = 0;
    if (!ParseNumber(text, v) || v != std::floor(v) || v < 0 || v > 9e15)
        return false;
    n = int64_t(v);
    return true;
}

bool ParseSweep(
    const ParsedArguments& args, SweepPlan& plan, SweepOptions& options, std::ostream& err)
{
    for (const std::string& v : args.Vary) {
        std::string name;
        std::array<double, 3> n {};
        const auto input = ParseTriple(v, name, n) ? WallInputByName(name) : std::nullopt;
        if (!input || n[2] != std::floor(n[2]) || n[2] < 1) {
            err << "pendrake-cli: --vary takes NAME=FROM:TO:COUNT with NAME an input field, not "
                << v << "\n";
            return false;
        }
        plan.Ranges.push_back({ *input, n[0], n[1], int64_t(n[2]) });
    }
    for (const std::string& d : args.Dists) {
        SweepSample s;
        if (!ParseDistribution(d, s)) {
            err << "pendrake-cli: --dist takes NAME=normal(MEAN,SD), lognormal(MEAN,SD) or "
                   "uniform(MIN,MAX), not "
                << d << "\n";
            return false;
        }
        plan.Samples.push_back(s);
    }
    if (!args.Sample.empty() && !ParseCount(args.Sample, plan.SampleCount)) {
        err << "pendrake-cli: --sample takes a count, not " << args.Sample << "\n";
        return false;
    }
    int64_t seed = 1;
    if (!args.Seed.empty() && !ParseCount(args.Seed, seed)) {
        err << "pendrake-cli: --seed takes a whole number, not " << args.Seed << "\n";
        return false;
    }
    plan.Seed = uint64_t(seed);
    if (!args.Shard.empty()) {
        const size_t slash = args.Shard.find('/');
        if (slash == std::string::npos || !ParseCount(args.Shard.substr(0, slash), options.Shard)
            || !ParseCount(args.Shard.substr(slash + 1), options.ShardCount)
            || options.ShardCount < 1 || options.Shard >= options.ShardCount) {
            err << "pendrake-cli: --shard takes I/N with 0 <= I < N, not " << args.Shard << "\n";
            return false;
        }
    }
    const std::string problem = CheckSweepPlan(plan);
    if (!problem.empty()) {
        err << "pendrake-cli: sweep: " << problem << "\n";
        return false;
    }
    if (args.Csv.empty()) {
        err << "pendrake-cli: sweep needs --csv OUT.csv\n";
        return false;
    }
    return true;
}

} // namespace

int RunSweepCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err)
{
    SweepPlan plan;
    SweepOptions options;
    DesignTargets targets;
    if (!ParseSweep(args, plan, options, err) || !ParseTargets(args.Targets, targets, err)) {
        err << UsageText;
        return ExitUsage;
    }
    Project p = MakeNewProject(DefaultReportFont);
    if (!LoadOrReport(args, p, err))
        return ExitFailure;

    const auto start = std::chrono::steady_clock::now();
    std::vector<SweepPoint> points;
    {
        ProgressBar bar(err);
        options.Progress = [&](int64_t done, int64_t total) { bar.Update(done, total); };
        points = RunSweep(p, plan, targets, 0, options);
    }
    std::ofstream csv(args.Csv, std::ios::binary | std::ios::trunc);
    // Only the first shard carries the header, so that the shards' files concatenate.
    if (options.Shard == 0)
        csv << SweepCsvHeader(plan);
    for (const SweepPoint& point : points)
        csv << SweepCsvRow(point);
    csv.close();
    if (!csv) {
        err << "pendrake-cli: cannot write " << args.Csv << "\n";
        return ExitFailure;
    }

    const SweepSummary s = SummarizeSweep(points);
    Json j = Json::MakeObject();
    j.Set("Points", s.Points);
    j.Set("StudyPoints", SweepPointCount(plan));
    j.Set("Shard", std::to_string(options.Shard) + "/" + std::to_string(options.ShardCount));
    j.Set("InvalidPoints", s.InvalidPoints);
    j.Set("FailingPoints", s.FailingPoints);
    j.Set("FailFraction", s.FailFraction);
    Json margins = Json::MakeObject();
    for (int k = 0; k < SafetyCheckCount; ++k) {
        const SweepExtreme& x = s.SmallestSafety[size_t(k)];
        Json m = Json::MakeObject();
        const double target = TargetOf(targets, SafetyCheck(k));
        m.Set("Value", x.Point >= 0 ? Json(x.Value) : Json());
        m.Set("Target", target);
        // A factor shown as infinity has no margin to speak of.
        const bool bounded = x.Point >= 0 && !IsInfiniteSafety(x.Value);
        m.Set("Margin", bounded ? Json(x.Value - target) : Json());
        m.Set("Point", x.Point >= 0 ? Json(x.Point) : Json());
        margins.Set(std::string(SafetyCheckName[size_t(k)]), std::move(m));
    }
    j.Set("SmallestMargins", std::move(margins));
    Json u = Json::MakeObject();
    const SweepExtreme& lu = s.LargestUtilisation;
    u.Set("Value", lu.Point >= 0 ? Json(lu.Value) : Json());
    u.Set("Point", lu.Point >= 0 ? Json(lu.Point) : Json());
    j.Set("LargestUtilisation", std::move(u));
    j.Set("Seconds", SecondsSince(start));
    j.Set("messages", Json::MakeArray());
    out << j.Dump() << "\n";
    return ExitSuccess;
}

} // namespace pendrake::cli
