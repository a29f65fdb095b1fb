// The calculation sheet and the verification examples through pendrake-cli: every step that
// names a reported result arrives at it, every numbers line computes to its step's value, and
// the textbook examples stay within their tolerances.
#include "io/ProjectFile.h"
#include "model/Units.h"
#include "support/CliRunner.h"
#include "support/ProjectFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <map>
#include <numbers>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace pendrake;
using namespace pendrake::test;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// The text read from the front, past white space.
struct Scanner {
    std::string_view Text;
    size_t At = 0;
    bool Eat(std::string_view s)
    {
        while (At < Text.size() && std::isspace(static_cast<unsigned char>(Text[At])))
            ++At;
        if (Text.substr(At, s.size()) != s)
            return false;
        At += s.size();
        return true;
    }
    // NaN, and nothing read, where no number starts.
    double Number()
    {
        double v = NaN;
        At = size_t(
            std::from_chars(Text.data() + At, Text.data() + Text.size(), v).ptr - Text.data());
        return v;
    }
};

// Every number and text of the companion's JSON by its path, as in "chapters[0].steps[3].field";
// a null is in neither.
struct FlatJson : Scanner {
    std::map<std::string, double> Numbers;
    std::map<std::string, std::string> Texts;

    explicit FlatJson(std::string_view json)
        : Scanner { json }
    {
        Read("");
    }
    void Read(const std::string& path)
    {
        if (Eat("{")) {
            while (!Eat("}")) {
                Eat(",");
                const std::string key = String();
                Eat(":");
                Read(path.empty() ? key : path + "." + key);
            }
        } else if (Eat("[")) {
            for (int n = 0; !Eat("]"); ++n) {
                Eat(",");
                Read(path + "[" + std::to_string(n) + "]");
            }
        } else if (Eat("\"")) {
            --At;
            Texts[path] = String();
        } else if (!Eat("true") && !Eat("false") && !Eat("null")) {
            Numbers[path] = Number();
            if (std::isnan(Numbers[path]))
                throw std::runtime_error("not JSON at byte " + std::to_string(At));
        }
    }
    std::string String()
    {
        Eat("\"");
        std::string s;
        for (; At < Text.size() && Text[At] != '"'; ++At)
            s += Text[At] == '\\' && Text[++At] == 'n' ? '\n' : Text[At];
        ++At;
        return s;
    }
};

// Arithmetic of a numbers line: + - * / ^, parentheses, degrees (°), sin cos tan atan sqrt abs
// max min. NaN when the line is not plain arithmetic.
struct Arithmetic : Scanner {
    double Evaluate()
    {
        const double v = Parse(0);
        return Eat("") && At == Text.size() ? v : NaN;
    }
    // Level 0 sums, 1 products, 2 powers (from the right), 3 a signed primary.
    double Parse(int level)
    {
        static constexpr std::string_view operators[] = { "+-", "*/", "^" };
        if (level == 3)
            return Eat("-") ? -Parse(3) : Primary();
        double v = Parse(level + 1);
        while (
            Eat("") && At < Text.size() && operators[level].find(Text[At]) != std::string::npos) {
            const char op = Text[At++];
            const double w = Parse(level == 2 ? 2 : level + 1);
            v = op == '+'   ? v + w
                : op == '-' ? v - w
                : op == '*' ? v * w
                : op == '/' ? v / w
                            : std::pow(v, w);
        }
        return v;
    }
    // A number, a parenthesis or a function of its arguments, in degrees when ° follows (a
    // negative angle is (-12.5)°).
    double Primary()
    {
        static const std::map<std::string_view, double (*)(double)> functions
            = { { "", [](double x) { return x; } }, { "sqrt", std::sqrt }, { "sin", std::sin },
                  { "cos", std::cos }, { "tan", std::tan }, { "atan", std::atan },
                  { "abs", std::fabs } };
        Eat("");
        const size_t start = At;
        while (At < Text.size() && std::isalpha(static_cast<unsigned char>(Text[At])))
            ++At;
        const std::string_view name = Text.substr(start, At - start);
        double v = name.empty() ? Number() : NaN;
        if (std::isnan(v) && Eat("(")) {
            std::vector<double> args { Parse(0) };
            while (Eat(","))
                args.push_back(Parse(0));
            if (!Eat(")")
                || std::any_of(args.begin(), args.end(), [](double a) { return std::isnan(a); }))
                return NaN;
            if (name == "max" || name == "min")
                v = name == "max" ? *std::max_element(args.begin(), args.end())
                                  : *std::min_element(args.begin(), args.end());
            else if (args.size() == 1 && functions.count(name))
                v = functions.at(name)(args[0]);
        }
        return Eat("°") ? v * std::numbers::pi / 180 : v;
    }
};

// The result a field names: "Name", "Name(i)", "Name(i,j)" or "Anchor(i).along", with the
// record's own index; the JSON lists start at the table's first defined index.
std::optional<double> Lookup(const std::vector<const FlatJson*>& reports, const std::string& field)
{
    const size_t open = field.find('(');
    std::string path = field.substr(0, open);
    if (open != std::string::npos) {
        static const std::set<std::string> fromZero = { "SoilPressure", "SoilLevel", "SoilArm",
            "CaseMoment", "CaseHorizontal", "CaseVertical" };
        const int first = fromZero.count(path) ? 0 : 1;
        const size_t close = field.find(')');
        const std::string inside = field.substr(open + 1, close - open - 1);
        const size_t comma = inside.find(',');
        path += "[" + std::to_string(std::stoi(inside) - first) + "]";
        if (comma != std::string::npos)
            path += "[" + std::to_string(std::stoi(inside.substr(comma + 1)) - 1) + "]";
        path += field.substr(close + 1);
    }
    for (const FlatJson* report : reports)
        if (report->Numbers.count(path))
            return report->Numbers.at(path);
    return std::nullopt;
}

// The walls of the tests: the default, one held by anchors in tension, one wet under
// earthquake; then walls whose runs stop short, so that the sheet's steps are null where the
// results are. The steps are the same code in every unit system, so each wall is given in one
// of them and every system comes round twice.
struct SheetWall {
    const char* Name;
    int16_t Units;
    void (*Change)(Project&);
    bool FullRun;
    std::vector<const char*> AlsoReaches = {};
    int SeismicPieces = 0; // SeismicForce steps, when counted
};

const SheetWall SheetWalls[] = {
    { "Default", Metric, [](Project&) {}, true },
    { "Anchored", SI,
        [](Project& p) {
            // Towards the toe at the top: the resultant moves to the toe third and the rear
            // anchors are pulled.
            p.AnchorRows = 4;
            p.LineLoadCount = 1;
            p.LineLoads[1] = { 30.0f, 1.5f, 8.0f, 270.0f, 2 };
        },
        true, { "Anchor", "AnchorLever", "AnchorLeverSum" } },
    // Its SeismicForce steps: the pieces, 10 and 11 saturated, 14..18.
    { "WetSeismic", British,
        [](Project& p) {
            p.BackWaterDepth = 3.0f;
            p.FrontWaterDepth = 5.0f;
            p.SeismicCoef = 0.15f;
        },
        true, {}, 18 },
    { "Overturned", British,
        [](Project& p) {
            p.LineLoadCount = 1;
            p.LineLoads[1] = { 500.0f, 1.5f, 10.0f, 270.0f, 1 };
        },
        false },
    { "EarthquakeBeyondTheFrictionAngle", SI, [](Project& p) { p.SeismicCoef = 0.7f; }, false },
    { "NoSoilOnTheVirtualBack", Metric, [](Project& p) { p.UpperBackHeight = 0; }, false },
};

class SheetCliTest : public TempDirTest, public ::testing::WithParamInterface<SheetWall> { };

// In the wall's unit system: each step that names a result arrives at the value reported for it,
// and each numbers line computes to its step's value.
TEST_P(SheetCliTest, EveryStepArrivesAtItsResultAndItsNumbersComputeToIt)
{
    SCOPED_TRACE(UnitSystemName[size_t(GetParam().Units)]);
    Project wall = MakeNewProject("Arial");
    GetParam().Change(wall);
    ASSERT_TRUE(WriteProjectFile(PathIn("wall.pdi"), SwitchUnitSystem(wall, GetParam().Units)).Ok);
    const std::string file = "'" + PathIn("wall.pdi") + "'";
    const RunResult sheetRun = RunCli("sheet " + file + " --format json");
    ASSERT_EQ(sheetRun.Status, 0);
    const FlatJson sheet(sheetRun.Out);
    const auto text = [&sheet](const std::string& path) {
        return sheet.Texts.count(path) ? sheet.Texts.at(path) : std::string();
    };
    const FlatJson stability(RunCli("stability " + file).Out);
    const FlatJson design(RunCli("design " + file).Out);
    // The combinations' section forces: their factors times the loads beyond each cut at
    // factor 1, and their own base pressure under it.
    int compared = 0, evaluated = 0, combinations = 0;
    std::map<std::string, int> seen;
    // Every step, those that name no result too.
    for (const auto& [key, numbers] : sheet.Texts) {
        if (key.rfind("chapters[", 0) != 0 || !key.ends_with(".numbers"))
            continue;
        const std::string step = key.substr(0, key.size() - 7); // "chapters[c].steps[s]."
        const std::string field = text(step + "field");
        const std::optional<double> value = Lookup({ &sheet }, step + "value");
        SCOPED_TRACE(field + ": " + text(step + "label") + ": " + numbers);
        const double computed = Arithmetic { numbers }.Evaluate();
        // A safety factor of nothing acting reads 100000, the sheet's infinity.
        if (value && !std::isnan(computed) && *value >= 100000.0) {
            EXPECT_GE(computed, 100000.0);
        } else if (value && !std::isnan(computed)) {
            // The numbers carry 7 significant digits.
            EXPECT_NEAR(computed, *value, 1e-5 * std::abs(*value) + 1e-5);
            ++evaluated;
            combinations += field.rfind("Combo", 0) == 0;
        }
        if (field.empty())
            continue;
        const std::optional<double> reported = Lookup({ &stability, &design }, field);
        EXPECT_EQ(reported.has_value(), value.has_value());
        if (!value || !reported)
            continue;
        // Single-precision results against the sheet's double-precision steps.
        EXPECT_NEAR(*value, *reported, 2e-5 * std::abs(*reported) + 2e-6);
        ++compared;
        ++seen[field.substr(0, field.find('('))];
    }
    EXPECT_GT(evaluated, GetParam().FullRun ? 600 : 300);
    if (!GetParam().FullRun)
        return;
    EXPECT_EQ(combinations, 3 * 3 * 12) << "Mu, Vu, Nu of three sections in twelve sets";
    // The steps reach every part of the run, not a few easy ones.
    std::vector<const char*> parts = { "KaStatic", "DeadForce", "DeadArm", "SoilPressure",
        "SoilLevel", "SeismicLevel", "WaterArm", "WaterLevel", "CaseMoment", "TotalMoment",
        "ResultantX", "SegmentStartU", "ContactStart", "ContactEnd", "SegmentSlidingSafety",
        "SegmentForce", "BasePressureMax", "BasePressureMin", "OverturningSafety", "ComboMoment",
        "EnvMomentPos", "ReinAs", "ReinMomentCap", "ReinRho", "ReinRhoReq43", "EnvNormalPos",
        "ReinShearCap" };
    parts.insert(parts.end(), GetParam().AlsoReaches.begin(), GetParam().AlsoReaches.end());
    for (const char* name : parts)
        EXPECT_GT(seen[name], 0) << name;
    if (GetParam().SeismicPieces > 0) {
        EXPECT_EQ(seen["SeismicForce"], GetParam().SeismicPieces);
    }
    EXPECT_GT(compared, 150);
}

INSTANTIATE_TEST_SUITE_P(Walls, SheetCliTest, ::testing::ValuesIn(SheetWalls),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(VerifyCli, ExamplesStayWithinToleranceAndTheRecordIsCurrent)
{
    const RunResult text = RunCli("verify");
    EXPECT_EQ(text.Status, 0) << text.Out;
    EXPECT_EQ(text.Out.find("FAILED"), std::string::npos) << text.Out;
    const RunResult markdown = RunCli("verify --format markdown");
    std::ifstream recorded(std::string(PENDRAKE_SOURCE_DIR) + "/docs/verification.md");
    const std::string onDisk((std::istreambuf_iterator<char>(recorded)), {});
    EXPECT_EQ(onDisk, markdown.Out) << "regenerate docs/verification.md with pendrake-cli verify";
}

} // namespace
