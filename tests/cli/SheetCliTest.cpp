// The calculation sheet and the verification examples through pendrake-cli: every step that
// names a reported result arrives at it, every numbers line computes to its step's value, and
// the textbook examples stay within their tolerances.
#include "io/ProjectFile.h"
#include "model/Project.h"
#include "model/Units.h"
#include "support/CliRunner.h"
#include "support/ProjectFiles.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace pendrake;
using namespace pendrake::test;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Every number and text of the companion's JSON by its path, as in "chapters[0].steps[3].field";
// a null is in neither.
class FlatJson {
public:
    explicit FlatJson(const std::string& text)
        : t_(text)
    {
        Read("");
    }
    std::optional<double> Number(const std::string& path) const
    {
        const auto it = numbers_.find(path);
        return it == numbers_.end() ? std::nullopt : std::optional<double>(it->second);
    }
    std::string Text(const std::string& path) const
    {
        const auto it = texts_.find(path);
        return it == texts_.end() ? std::string() : it->second;
    }
    const std::map<std::string, std::string>& Texts() const { return texts_; }

private:
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
            --i_;
            texts_[path] = String();
        } else if (!Eat("true") && !Eat("false") && !Eat("null")) {
            double d = 0;
            const auto [end, error] = std::from_chars(t_.data() + i_, t_.data() + t_.size(), d);
            if (error != std::errc())
                throw std::runtime_error("not JSON at byte " + std::to_string(i_));
            i_ = size_t(end - t_.data());
            numbers_[path] = d;
        }
    }
    bool Eat(std::string_view s)
    {
        while (i_ < t_.size() && std::isspace(static_cast<unsigned char>(t_[i_])))
            ++i_;
        if (t_.compare(i_, s.size(), s) != 0)
            return false;
        i_ += s.size();
        return true;
    }
    std::string String()
    {
        Eat("\"");
        std::string s;
        for (; i_ < t_.size() && t_[i_] != '"'; ++i_) {
            if (t_[i_] == '\\' && t_[++i_] == 'n')
                s += '\n';
            else
                s += t_[i_];
        }
        ++i_;
        return s;
    }
    const std::string& t_;
    size_t i_ = 0;
    std::map<std::string, double> numbers_;
    std::map<std::string, std::string> texts_;
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
        if (const std::optional<double> value = report->Number(path))
            return value;
    return std::nullopt;
}

// Arithmetic of a numbers line: + - * / ^, parentheses, degrees (°), sin cos tan atan sqrt abs
// max min. NaN when the line is not plain arithmetic.
class Arithmetic {
public:
    explicit Arithmetic(std::string_view t)
        : t_(t)
    {
    }
    double Evaluate()
    {
        const double v = Sum();
        return Eat("") && i_ == t_.size() ? v : NaN;
    }

private:
    bool Eat(std::string_view s)
    {
        while (i_ < t_.size() && t_[i_] == ' ')
            ++i_;
        if (t_.substr(i_, s.size()) != s)
            return false;
        i_ += s.size();
        return true;
    }
    double Sum()
    {
        for (double v = Product();;) {
            if (Eat("+"))
                v += Product();
            else if (Eat("-"))
                v -= Product();
            else
                return v;
        }
    }
    double Product()
    {
        for (double v = Power();;) {
            if (Eat("*"))
                v *= Power();
            else if (Eat("/"))
                v /= Power();
            else
                return v;
        }
    }
    double Power()
    {
        const double base = Unary();
        return Eat("^") ? std::pow(base, Power()) : base;
    }
    double Unary() { return Eat("-") ? -Unary() : Primary(); }
    // A number or a parenthesis, in degrees when ° follows (a negative angle is (-12.5)°).
    double Primary()
    {
        using Unary = double (*)(double);
        static const std::pair<std::string_view, Unary> functions[]
            = { { "sqrt(", std::sqrt }, { "sin(", std::sin }, { "cos(", std::cos },
                  { "tan(", std::tan }, { "atan(", std::atan }, { "abs(", std::fabs } };
        for (const auto& [name, f] : functions)
            if (Eat(name)) {
                const double x = Sum();
                return Eat(")") ? f(x) : NaN;
            }
        for (const std::string_view name : { "max(", "min(" })
            if (Eat(name)) {
                double v = Sum();
                while (!std::isnan(v) && Eat(",")) {
                    const double next = Sum();
                    v = std::isnan(next) ? NaN
                        : name == "max(" ? std::max(v, next)
                                         : std::min(v, next);
                }
                return Eat(")") ? v : NaN;
            }
        double v = NaN;
        if (Eat("(")) {
            v = Sum();
            if (!Eat(")"))
                return NaN;
        } else if (i_ < t_.size()
            && (std::isdigit(static_cast<unsigned char>(t_[i_])) || t_[i_] == '.')) {
            i_ = size_t(std::from_chars(t_.data() + i_, t_.data() + t_.size(), v).ptr - t_.data());
        }
        return Eat("°") ? v * std::atan(1.0) / 45.0 : v;
    }
    std::string_view t_;
    size_t i_ = 0;
};

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

void PrintTo(const SheetWall& w, std::ostream* os)
{
    *os << w.Name;
}

class SheetCliTest : public TempDirTest, public ::testing::WithParamInterface<SheetWall> {
protected:
    // The wall in its unit system, saved.
    std::string Write()
    {
        Project p = MakeNewProject("Arial");
        GetParam().Change(p);
        p = SwitchUnitSystem(p, GetParam().Units);
        const std::string path = PathIn("wall.pdi");
        EXPECT_TRUE(WriteProjectFile(path, p).Ok);
        return "'" + path + "'";
    }
};

// In the wall's unit system: each step that names a result arrives at the value reported for it,
// and each numbers line computes to its step's value.
TEST_P(SheetCliTest, EveryStepArrivesAtItsResultAndItsNumbersComputeToIt)
{
    SCOPED_TRACE(UnitSystemName[size_t(GetParam().Units)]);
    const std::string file = Write();
    const RunResult sheetRun = RunCli("sheet " + file + " --format json");
    ASSERT_EQ(sheetRun.Status, 0);
    const FlatJson sheet(sheetRun.Out);
    const FlatJson stability(RunCli("stability " + file).Out);
    const FlatJson design(RunCli("design " + file).Out);
    int compared = 0;
    int evaluated = 0;
    // The combinations' section forces: their factors times the loads beyond each cut at
    // factor 1, and their own base pressure under it.
    int combinations = 0;
    std::map<std::string, int> seen;
    for (const auto& [key, field] : sheet.Texts()) {
        if (key.rfind("chapters[", 0) != 0 || !key.ends_with(".field"))
            continue;
        const std::string step = key.substr(0, key.size() - 5); // "chapters[c].steps[s]."
        const std::string numbers = sheet.Text(step + "numbers");
        const std::optional<double> value = sheet.Number(step + "value");
        SCOPED_TRACE(field + ": " + sheet.Text(step + "label") + ": " + numbers);
        const double computed = Arithmetic(numbers).Evaluate();
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
    EXPECT_GT(evaluated, GetParam().FullRun ? 200 : 50);
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
