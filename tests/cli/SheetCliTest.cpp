// The calculation sheet and the verification examples through pendrake-cli: every step that
// names a reported result arrives at it, every numbers line computes to its step's value, and
// the textbook examples stay within their tolerances.
#include "io/ProjectFile.h"
#include "model/Project.h"
#include "model/Units.h"
#include "support/CliRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <variant>
#include <vector>

namespace fs = std::filesystem;
using namespace pendrake;

namespace {

// Just enough JSON to read the companion's output: null, booleans, numbers, strings, lists and
// objects.
struct Value {
    std::variant<std::nullptr_t, bool, double, std::string, std::vector<Value>,
        std::vector<std::pair<std::string, Value>>>
        V;
    const Value* Get(const std::string& key) const
    {
        const auto* o = std::get_if<std::vector<std::pair<std::string, Value>>>(&V);
        if (!o)
            return nullptr;
        for (const auto& [k, v] : *o)
            if (k == key)
                return &v;
        return nullptr;
    }
    const Value* At(size_t i) const
    {
        const auto* a = std::get_if<std::vector<Value>>(&V);
        return a && i < a->size() ? &(*a)[i] : nullptr;
    }
};

class Reader {
public:
    explicit Reader(const std::string& t)
        : t_(t)
    {
    }
    Value Parse()
    {
        Skip();
        Value v;
        const char c = t_[i_];
        if (c == '{') {
            ++i_;
            std::vector<std::pair<std::string, Value>> o;
            for (Skip(); t_[i_] != '}'; Skip()) {
                Skip();
                std::string k = String();
                Skip();
                ++i_; // ':'
                o.emplace_back(std::move(k), Parse());
                Skip();
                if (t_[i_] == ',')
                    ++i_;
            }
            ++i_;
            v.V = std::move(o);
        } else if (c == '[') {
            ++i_;
            std::vector<Value> a;
            for (Skip(); t_[i_] != ']'; Skip()) {
                a.push_back(Parse());
                Skip();
                if (t_[i_] == ',')
                    ++i_;
            }
            ++i_;
            v.V = std::move(a);
        } else if (c == '"') {
            v.V = String();
        } else if (t_.compare(i_, 4, "null") == 0) {
            i_ += 4;
        } else if (t_.compare(i_, 4, "true") == 0) {
            i_ += 4;
            v.V = true;
        } else if (t_.compare(i_, 5, "false") == 0) {
            i_ += 5;
            v.V = false;
        } else {
            size_t used = 0;
            v.V = std::stod(t_.substr(i_, 40), &used);
            i_ += used;
        }
        return v;
    }

private:
    void Skip()
    {
        while (i_ < t_.size() && std::isspace(static_cast<unsigned char>(t_[i_])))
            ++i_;
    }
    std::string String()
    {
        std::string s;
        ++i_;
        while (t_[i_] != '"') {
            if (t_[i_] == '\\') {
                ++i_;
                s += t_[i_] == 'n' ? '\n' : t_[i_];
            } else {
                s += t_[i_];
            }
            ++i_;
        }
        ++i_;
        return s;
    }
    const std::string& t_;
    size_t i_ = 0;
};

Value ParseJson(const std::string& text)
{
    return Reader(text).Parse();
}

// The result a field names: "Name", "Name(i)", "Name(i,j)" or "Anchor(i).along", with the
// record's own index; the JSON lists start at the table's first defined index.
std::optional<double> Lookup(const std::vector<const Value*>& objects, const std::string& field)
{
    const size_t open = field.find('(');
    const std::string name = field.substr(0, open);
    const Value* v = nullptr;
    for (const Value* o : objects)
        if (!v)
            v = o->Get(name);
    if (!v)
        return std::nullopt;
    if (open != std::string::npos) {
        static const std::map<std::string, int> fromZero
            = { { "SoilPressure", 0 }, { "SoilLevel", 0 }, { "SoilArm", 0 }, { "CaseMoment", 0 },
                  { "CaseHorizontal", 0 }, { "CaseVertical", 0 } };
        const int first = fromZero.count(name) ? 0 : 1;
        const size_t close = field.find(')');
        const std::string inside = field.substr(open + 1, close - open - 1);
        const size_t comma = inside.find(',');
        v = v->At(size_t(std::stoi(inside) - first));
        if (v && comma != std::string::npos)
            v = v->At(size_t(std::stoi(inside.substr(comma + 1)) - 1));
        if (v && close + 1 < field.size())
            v = v->Get(field.substr(close + 2));
    }
    if (!v)
        return std::nullopt;
    if (const auto* d = std::get_if<double>(&v->V))
        return *d;
    return std::nullopt;
}

// Arithmetic of a numbers line: + - * / ^, parentheses, degrees (°), sin cos tan atan sqrt abs
// max min. Empty when the line is not plain arithmetic.
class Arithmetic {
public:
    explicit Arithmetic(const std::string& t)
        : t_(t)
    {
    }
    std::optional<double> Evaluate()
    {
        const std::optional<double> v = Sum();
        Skip();
        return v && i_ == t_.size() ? v : std::nullopt;
    }

private:
    void Skip()
    {
        while (i_ < t_.size() && t_[i_] == ' ')
            ++i_;
    }
    bool Eat(const char* s)
    {
        Skip();
        if (t_.compare(i_, std::strlen(s), s) != 0)
            return false;
        i_ += std::strlen(s);
        return true;
    }
    std::optional<double> Sum()
    {
        std::optional<double> v = Product();
        while (v) {
            if (Eat("+")) {
                const auto r = Product();
                v = r ? std::optional(*v + *r) : std::nullopt;
            } else if (Eat("-")) {
                const auto r = Product();
                v = r ? std::optional(*v - *r) : std::nullopt;
            } else {
                break;
            }
        }
        return v;
    }
    std::optional<double> Product()
    {
        std::optional<double> v = Power();
        while (v) {
            if (Eat("*")) {
                const auto r = Power();
                v = r ? std::optional(*v * *r) : std::nullopt;
            } else if (Eat("/")) {
                const auto r = Power();
                v = r ? std::optional(*v / *r) : std::nullopt;
            } else {
                break;
            }
        }
        return v;
    }
    std::optional<double> Power()
    {
        const std::optional<double> base = Unary();
        if (base && Eat("^")) {
            const auto e = Power();
            return e ? std::optional(std::pow(*base, *e)) : std::nullopt;
        }
        return base;
    }
    std::optional<double> Unary()
    {
        if (Eat("-")) {
            const auto v = Unary();
            return v ? std::optional(-*v) : std::nullopt;
        }
        return Primary();
    }
    std::optional<double> Primary()
    {
        Skip();
        if (Eat("(")) {
            const auto v = Sum();
            if (!v || !Eat(")"))
                return std::nullopt;
            // A negative angle is written (-12.5)°.
            return Eat("°") ? std::optional(*v * std::atan(1.0) / 45.0) : v;
        }
        static const char* const functions[]
            = { "sqrt", "sin", "cos", "tan", "atan", "abs", "max", "min" };
        for (const char* f : functions) {
            if (t_.compare(i_, std::strlen(f), f) == 0 && t_[i_ + std::strlen(f)] == '(') {
                i_ += std::strlen(f) + 1;
                std::vector<double> args;
                do {
                    const auto a = Sum();
                    if (!a)
                        return std::nullopt;
                    args.push_back(*a);
                } while (Eat(","));
                if (!Eat(")"))
                    return std::nullopt;
                const std::string name = f;
                const double x = args[0];
                if (name == "max")
                    return *std::max_element(args.begin(), args.end());
                if (name == "min")
                    return *std::min_element(args.begin(), args.end());
                if (name == "sqrt")
                    return std::sqrt(x);
                if (name == "sin")
                    return std::sin(x);
                if (name == "cos")
                    return std::cos(x);
                if (name == "tan")
                    return std::tan(x);
                if (name == "atan")
                    return std::atan(x);
                return std::abs(x);
            }
        }
        if (i_ >= t_.size() || !(std::isdigit(static_cast<unsigned char>(t_[i_])) || t_[i_] == '.'))
            return std::nullopt;
        size_t used = 0;
        double v = std::stod(t_.substr(i_), &used);
        i_ += used;
        if (Eat("°"))
            v *= std::atan(1.0) / 45.0;
        return v;
    }
    const std::string& t_;
    size_t i_ = 0;
};

// The walls of the tests: the default, one held by anchors in tension, one wet under earthquake.
struct Wall {
    const char* Name;
    void (*Change)(Project&);
};

const Wall Walls[] = {
    { "default", [](Project&) {} },
    { "anchored",
        [](Project& p) {
            // Towards the toe at the top: the resultant moves to the toe third and the rear
            // anchors are pulled.
            p.AnchorRows = 4;
            p.LineLoadCount = 1;
            p.LineLoads[1] = { 30.0f, 1.5f, 8.0f, 270.0f, 2 };
        } },
    { "wet seismic",
        [](Project& p) {
            p.BackWaterDepth = 3.0f;
            p.FrontWaterDepth = 5.0f;
            p.SeismicCoef = 0.15f;
        } },
    // Walls whose runs stop short: the sheet's steps are then null where the results are.
    { "overturned",
        [](Project& p) {
            p.LineLoadCount = 1;
            p.LineLoads[1] = { 500.0f, 1.5f, 10.0f, 270.0f, 1 };
        } },
    { "earthquake beyond the friction angle", [](Project& p) { p.SeismicCoef = 0.7f; } },
    { "no soil on the virtual back", [](Project& p) { p.UpperBackHeight = 0; } },
};
constexpr size_t FullRunWalls = 3;

class SheetCliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("pendrake-sheet-test-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const Wall& w, int16_t units)
    {
        Project p = MakeNewProject("Arial");
        w.Change(p);
        p = SwitchUnitSystem(p, units);
        const std::string path
            = (dir_ / (std::string(w.Name) + std::to_string(units) + ".pdi")).string();
        EXPECT_TRUE(WriteProjectFile(path, p).Ok);
        return "'" + path + "'";
    }

    fs::path dir_;
};

template <typename F> void ForEachStep(const Value& sheet, F f)
{
    for (size_t c = 0; const Value* chapter = sheet.Get("chapters")->At(c); ++c) {
        for (size_t s = 0; const Value* step = chapter->Get("steps")->At(s); ++s)
            f(*step);
    }
}

std::string Text(const Value* v)
{
    const auto* s = v ? std::get_if<std::string>(&v->V) : nullptr;
    return s ? *s : std::string();
}

} // namespace

TEST_F(SheetCliTest, EveryStepNamingAResultArrivesAtIt)
{
    for (const Wall& w : Walls) {
        const bool fullRun = &w < Walls + FullRunWalls;
        for (const int16_t units : { int16_t(Metric), int16_t(SI), int16_t(British) }) {
            SCOPED_TRACE(std::string(w.Name) + " in " + std::string(UnitSystemName[units]));
            const std::string file = Write(w, units);
            const RunResult sheetRun = RunCli("sheet " + file + " --format json");
            ASSERT_EQ(sheetRun.Status, 0);
            const Value sheet = ParseJson(sheetRun.Out);
            const Value stability = ParseJson(RunCli("stability " + file).Out);
            const Value design = ParseJson(RunCli("design " + file).Out);
            int compared = 0;
            std::map<std::string, int> seen;
            ForEachStep(sheet, [&](const Value& step) {
                const std::string field = Text(step.Get("field"));
                if (field.empty())
                    return;
                const std::optional<double> reported = Lookup({ &stability, &design }, field);
                const auto* value = std::get_if<double>(&step.Get("value")->V);
                SCOPED_TRACE(field + ": " + Text(step.Get("label")));
                ASSERT_TRUE(reported.has_value() == (value != nullptr));
                if (!value)
                    return;
                // Single-precision results against the sheet's double-precision steps.
                EXPECT_NEAR(*value, *reported, 2e-5 * std::abs(*reported) + 2e-6);
                ++compared;
                ++seen[field.substr(0, field.find('('))];
            });
            if (!fullRun)
                continue;
            // The steps reach every part of the run, not a few easy ones.
            for (const char* name : { "KaStatic", "DeadForce", "DeadArm", "SoilPressure",
                     "SoilLevel", "SeismicLevel", "WaterArm", "WaterLevel", "CaseMoment",
                     "TotalMoment", "ResultantX", "SegmentStartU", "ContactStart", "ContactEnd",
                     "SegmentSlidingSafety", "SegmentForce", "BasePressureMax", "BasePressureMin",
                     "OverturningSafety", "ComboMoment", "EnvMomentPos", "ReinAs", "ReinMomentCap",
                     "ReinRho", "ReinRhoReq43", "EnvNormalPos", "ReinShearCap" })
                EXPECT_GT(seen[name], 0) << name;
            if (std::string(w.Name) == "anchored") {
                EXPECT_GT(seen["Anchor"], 0);
                EXPECT_GT(seen["AnchorLever"], 0);
                EXPECT_GT(seen["AnchorLeverSum"], 0);
            }
            if (std::string(w.Name) == "wet seismic") {
                EXPECT_EQ(seen["SeismicForce"], 18) << "pieces, 10 and 11 saturated, 14..18";
            }
            EXPECT_GT(compared, 150);
        }
    }
}

TEST_F(SheetCliTest, EveryNumbersLineComputesToItsValue)
{
    for (const Wall& w : Walls) {
        const bool fullRun = &w < Walls + FullRunWalls;
        SCOPED_TRACE(w.Name);
        const Value sheet = ParseJson(RunCli("sheet " + Write(w, Metric) + " --format json").Out);
        int evaluated = 0;
        // The combinations' section forces: their factors times the loads beyond each cut at
        // factor 1, and their own base pressure under it.
        int combinations = 0;
        ForEachStep(sheet, [&](const Value& step) {
            const auto* value = std::get_if<double>(&step.Get("value")->V);
            const std::optional<double> computed = Arithmetic(Text(step.Get("numbers"))).Evaluate();
            if (!value || !computed)
                return;
            combinations += Text(step.Get("field")).rfind("Combo", 0) == 0;
            SCOPED_TRACE(Text(step.Get("label")) + ": " + Text(step.Get("numbers")));
            // A safety factor of nothing acting reads 100000, the sheet's infinity.
            if (*value >= 100000.0) {
                EXPECT_GE(*computed, 100000.0);
                return;
            }
            // The numbers carry 7 significant digits.
            EXPECT_NEAR(*computed, *value, 1e-5 * std::abs(*value) + 1e-5);
            ++evaluated;
        });
        EXPECT_GT(evaluated, fullRun ? 200 : 50);
        if (fullRun) {
            EXPECT_EQ(combinations, 3 * 3 * 12) << "Mu, Vu, Nu of three sections in twelve sets";
        }
    }
}

TEST_F(SheetCliTest, VerificationExamplesStayWithinToleranceAndTheRecordIsCurrent)
{
    const RunResult text = RunCli("verify");
    EXPECT_EQ(text.Status, 0) << text.Out;
    EXPECT_EQ(text.Out.find("FAILED"), std::string::npos) << text.Out;
    const RunResult markdown = RunCli("verify --format markdown");
    std::ifstream recorded(std::string(PENDRAKE_SOURCE_DIR) + "/docs/verification.md");
    const std::string onDisk((std::istreambuf_iterator<char>(recorded)), {});
    EXPECT_EQ(onDisk, markdown.Out) << "regenerate docs/verification.md with pendrake-cli verify";
}
