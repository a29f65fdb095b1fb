// The project record and its numbers. Display patterns and RoundTo, half away from zero on the
// decimal value the engineer reads, under any locale; a new project's defaults and the anchor rows
// that fit; editing a wall dimension: each chain's terms, the typed value to two decimals, who
// absorbs the change in each chain, and both chains holding through a long run of random edits;
// switching unit systems: the worked conversions, kept unrounded, and the same wall given back by
// a round trip and judged the same in every system.
#include "model/DimensionEdit.h"
#include "model/NumberFormat.h"
#include "model/Units.h"

#include "analysis/Combinations.h"
#include "support/ProjectFiles.h"
#include "support/RandomWalls.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <iomanip>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace pendrake;
using namespace pendrake::test;

TEST(FormatNumber, PrintsAsTheWindowsAndReportDo)
{
    struct Row {
        double Value;
        const char* Pattern;
        const char* Text;
    };
    const Row rows[] = { { 5.9, "#0.#0", "5.90" }, { 30, "#0.0", "30.0" }, { 3, "#0", "3" },
        { 12, "#0 ", "12 " }, { 0.0125, "0.#0%", "1.25%" }, { 0.3333, "#0.##0", "0.333" },
        // half away from zero, both signs
        { 0.125, "#0.#0", "0.13" }, { -0.125, "#0.#0", "-0.13" }, { 2.5, "#0", "3" },
        // the float 2.675f lies below 2.675: it rounds down
        { 2.675f, "#0.#0", "2.67" },
        // a carry through every digit
        { 999.995, "#0.#0", "1000.00" },
        // a tiny negative prints as zero, not "-0.00"
        { -0.004, "#0.#0", "0.00" }, { 29.4309, "#0.00", "29.43" }, { 7e-7, "#0.000", "0.000" } };
    for (const Row& r : rows)
        EXPECT_EQ(FormatNumber(r.Value, r.Pattern), r.Text) << r.Value << " as " << r.Pattern;
    EXPECT_THROW(FormatNumber(1.0, "0.00E+00"), std::invalid_argument);
}

TEST(RoundTo, StoresExactlyTheNumberThePrintedDigitsSay)
{
    // Values typed to the place, floats as the record stores them, halves of both signs, their
    // neighbours one ulp away, and large values: the stored double must be the printed text read
    // back, bit for bit, whatever route the rounding takes. Under a German desktop locale: a
    // session with a decimal comma must not lose the decimals.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> spread(-2e4, 2e4);
    std::vector<double> values { 0.125, -0.125, 2.5, -2.5, 999.995, -0.004, 0.0, 2.675, 1e8 + 0.5,
        4.9999999999999991, 0.30000000000000004, 123456.785, 7e-7, 1e12 + 0.25 };
    for (int k = 0; k < 4000; ++k) {
        const double v = spread(random), half = (std::floor(v * 100) + 0.5) / 100;
        values.insert(values.end(),
            { v, double(float(v)), half, std::nextafter(half, 1e300),
                std::nextafter(half, -1e300) });
    }
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        std::setlocale(LC_NUMERIC, "C.UTF-8");
    EXPECT_EQ(FormatNumber(5.9, "#0.#0"), "5.90");
    [&values] {
        for (const double v : values) {
            for (int decimals : { 0, 1, 2, 3, 6 }) {
                const std::string text = FormatFixed(v, decimals);
                double read = NAN; // the text read back whatever the locale
                std::from_chars(text.data(), text.data() + text.size(), read);
                const double rounded = RoundTo(v, decimals);
                ASSERT_EQ(std::memcmp(&rounded, &read, sizeof read), 0)
                    << std::setprecision(17) << v << " to " << decimals << ": " << rounded << " vs "
                    << text;
            }
        }
    }();
    std::setlocale(LC_NUMERIC, saved.c_str());
}

// Every input of an old project is reset (the values themselves are the golden new-default.pdi's);
// the line-load slots and the bar tables, which no count reaches any more, keep what they held.
TEST(NewProject, ResetsEveryInputButKeepsUnreachableSlots)
{
    Project p = EveryFieldChanged();
    Project expected = MakeNewProject("Liberation Sans");
    expected.LineLoads = p.LineLoads;
    expected.ReinDia = p.ReinDia;
    expected.ReinPitch = p.ReinPitch;
    NewProject(p, "Liberation Sans");
    EXPECT_TRUE(SameProject(expected, p));
}

TEST(AnchorRowsPlaced, CountsRowsThatFitOnTheSlopes)
{
    struct Row {
        const char* Name;
        int16_t Rows;
        float Edge, Pitch, LowerSlope, RearSlope;
        int16_t Placed;
    };
    const Row rows[] = {
        { "defaults: floor((2 + 2 - 0.5) / 1.5) + 1", 3, 0.5f, 1.5f, 2.0f, 2.0f, 3 },
        { "edge distance above the whole slope", 3, 5.6f, 1.5f, 2.0f, 2.0f, 0 },
        { "top row exactly at the top of the rear slope: 0.1 + 3 x 0.3 = 1.0", 10, 0.1f, 0.3f, 0.5f,
            0.5f, 4 },
        { "a zero pitch stacks every asked row at the edge distance", 4, 0.5f, 0.0f, 2.0f, 2.0f,
            4 },
        { "more than the ten of older tables", 25, 0.1f, 0.1f, 1.0f, 1.0f, 20 },
    };
    for (const Row& r : rows) {
        Project p = MakeNewProject("Arial");
        p.AnchorRows = r.Rows;
        p.AnchorEdgeDist = r.Edge;
        p.AnchorVPitch = r.Pitch;
        p.LowerSlopeHeight = r.LowerSlope;
        p.RearSlopeHeight = r.RearSlope;
        EXPECT_EQ(AnchorRowsPlaced(p), r.Placed) << r.Name;
    }
}

namespace {

// Dimensions are stored as floats: a value typed to two decimals (up to a few tens) is held to
// within 4e-6, so a hand-computed value is met to 1e-5.
constexpr double StoredTolerance = 1e-5;
// The absorbing dimension is formed in double and stored in single precision: a chain then
// misses its balance by half a float step of that dimension, under 6e-8 of the chain's size.
// A millionth of the size leaves room for that and nothing more.
constexpr double ChainRelativeTolerance = 1e-6;

// The dimensions by the index of their label on the drawing.
// clang-format off
enum Dim : int { TopWidth, UpperBackOffset, ShelfWidth, ToeWidth, BottomWidth, LowerSlopeWidth,
    FrontHeight, ToeHeight, UpperBackHeight, RearStepHeight, RearSlopeHeight, BackfillSlope,
    FrontWaterDepth, BackWaterDepth, LowerSlopeHeight, LowerFlatWidth, RearSlopeWidth };
// clang-format on

// Both chains balance, each to a millionth of the sum of its dimensions.
::testing::AssertionResult ChainsHold(const Project& p)
{
    double widths = 0, heights = 0;
    for (int i : { TopWidth, UpperBackOffset, ShelfWidth, BottomWidth, LowerSlopeWidth,
             LowerFlatWidth, RearSlopeWidth })
        widths += Dimension(p, i);
    for (int i : { FrontHeight, ToeHeight, UpperBackHeight, RearStepHeight, RearSlopeHeight,
             LowerSlopeHeight })
        heights += Dimension(p, i);
    if (std::abs(WidthChainGap(p)) > ChainRelativeTolerance * widths)
        return ::testing::AssertionFailure() << "width chain misses by " << WidthChainGap(p);
    if (std::abs(HeightChainGap(p)) > ChainRelativeTolerance * heights)
        return ::testing::AssertionFailure() << "height chain misses by " << HeightChainGap(p);
    return ::testing::AssertionSuccess();
}

// The gaps themselves, worked by hand on the default wall (widths 0.5 + 0.9 + 5.9 against
// 3.0 + 1.4 + 1.5 + 1.4, heights 9.0 + 1.0 against 6.0 + 0 + 2.0 + 2.0) with one dimension
// changed: each term of each side once, with its sign.
TEST(ChainGap, EachTermCountsOnItsSide)
{
    const std::pair<int, double> none { -1, 0.0 };
    struct Row {
        std::pair<int, double> Change;
        double Width, Height;
    };
    const Row rows[] = {
        { none, 0, 0 },
        { { TopWidth, 1.5 }, 1.0, 0 },
        { { BottomWidth, 4.0 }, -1.0, 0 },
        { { LowerFlatWidth, 2.0 }, -0.5, 0 },
        { { RearSlopeWidth, 0.9 }, 0.5, 0 },
        { { ToeWidth, 3.0 }, 0, 0 }, // in front of the chain
        { { FrontHeight, 4.0 }, 0, -5.0 },
        { { ToeHeight, 1.5 }, 0, 0.5 },
        { { RearSlopeHeight, 1.0 }, 0, 1.0 },
        { { LowerSlopeHeight, 2.5 }, 0, -0.5 },
    };
    for (const Row& r : rows) {
        Project p = MakeNewProject("Arial");
        if (r.Change.first >= 0)
            Dimension(p, r.Change.first) = float(r.Change.second);
        SCOPED_TRACE(r.Change.first);
        EXPECT_NEAR(WidthChainGap(p), r.Width, StoredTolerance);
        EXPECT_NEAR(HeightChainGap(p), r.Height, StoredTolerance);
    }
    Project p = MakeNewProject("Arial");
    EXPECT_THROW(Dimension(p, DimensionCount), std::out_of_range);
}

// A dimension's index and value.
using Expect = std::pair<int, double>;

struct EditCase {
    const char* Name;
    std::vector<Expect> Before; // edits made first
    int Index;
    double Value;
    std::vector<Expect> After;
};

// Defaults: widths 0.5 + 0.9 + 5.9 = 3.0 + 1.4 + 1.5 + 1.4 = 7.3; toe 1.0 wide;
// heights 9.0 + 1.0 = 6.0 + 0 + 2.0 + 2.0 = 10.0.
const EditCase Examples[] = {
    // Bottom 0.5+0.9+0-1.4-1.5-1.4 < 0, rear slope 0.5+0.9-1.4-1.5 < 0, flat 0.5+0.9-1.4 = 0.
    { "ShelfZeroEmptiesTheUnderside", {}, ShelfWidth, 0.0,
        { { ShelfWidth, 0 }, { BottomWidth, 0 }, { RearSlopeWidth, 0 }, { LowerFlatWidth, 0 },
            { LowerSlopeWidth, 1.4 } } },
    // 6 + 1 = 7 = 6 + 0 + rear + low: rear 7 - 6 - 2 < 0 hence 0, low 1.
    { "FrontHeightFiveStoresSix", {}, FrontHeight, 5.0,
        { { FrontHeight, 6.0 }, { RearSlopeHeight, 0 }, { LowerSlopeHeight, 1.0 } } },
    { "TypedToTwoDecimalsInChain", {}, TopWidth, 2.3456,
        { { TopWidth, 2.35 }, { ShelfWidth, 7.3 - 2.35 - 0.9 } } },
    // Rear slope 9 + 0 - 6 - 0 - 2 = 1.
    { "ToeHeightZeroZeroesToeWidth", {}, ToeHeight, 0.0,
        { { ToeHeight, 0 }, { ToeWidth, 0 }, { RearSlopeHeight, 1.0 }, { FrontHeight, 9.0 } } },
    // Wall height 9 after the toe goes: the back water at 9.5 comes up to 9.
    { "LoweredWallClipsWaterDepth", { { BackWaterDepth, 9.5 } }, ToeHeight, 0.0,
        { { BackWaterDepth, 9.0 }, { FrontWaterDepth, 1.5 } } },
    // After TopWidth 6 the shelf is 0.4; bottom 2 asks 2 + 4.3 - 6.9 < 0 of the shelf, so the
    // rear slope takes 6.9 - 2 - 1.4 - 1.5 = 2.0.
    { "BottomWidthThenRearSlope", { { TopWidth, 6.0 } }, BottomWidth, 2.0,
        { { ShelfWidth, 0 }, { RearSlopeWidth, 2.0 } } },
    // After TopWidth 6 (shelf 0.4) a lower slope of 0.5 asks 3 + 0.5 + 1.5 + 1.4 - 6.9 < 0 of
    // the shelf: the bottom takes 6.9 - 0.5 - 1.5 - 1.4 = 3.5.
    { "LowerSlopeWidthThenBottom", { { TopWidth, 6.0 } }, LowerSlopeWidth, 0.5,
        { { ShelfWidth, 0 }, { BottomWidth, 3.5 } } },
    { "UpperBackHeightAbsorbedByFront", {}, UpperBackHeight, 7.0, { { FrontHeight, 10.0 } } },
    // Toe 8 (rear slope 17 - 6 - 2 = 9), rear slope 0 (front 6 + 2 - 8 = 0); a lower slope of
    // 0.5 asks 6 + 0.5 - 8 < 0 of the front, so it is 0 and the toe takes 6.5.
    { "LowerSlopeHeightThenToe", { { ToeHeight, 8.0 }, { RearSlopeHeight, 0.0 } }, LowerSlopeHeight,
        0.5, { { FrontHeight, 0 }, { ToeHeight, 6.5 } } },
    // Rear 10 - 6 - 3 - 2 < 0 hence 0; the front takes 6 + 3 + 0 + 2 - 1 = 10.
    { "RearStepThenFront", {}, RearStepHeight, 3.0,
        { { RearSlopeHeight, 0 }, { FrontHeight, 10.0 } } },
    { "BackfillSlopeStandsAlone", {}, BackfillSlope, 2.0,
        { { BackfillSlope, 2.0 }, { ShelfWidth, 5.9 }, { FrontHeight, 9.0 } } },
    // A rare case: step 3 (front 10, low 2, rear 0), then the front down to 6: rear and low
    // both 0 and the step takes 6 + 1 - 6 = 1; the upper back face keeps its 6.
    { "LoweredFrontTakesTheStepNotTheBackFace", { { RearStepHeight, 3.0 } }, FrontHeight, 6.0,
        { { RearSlopeHeight, 0 }, { LowerSlopeHeight, 0 }, { RearStepHeight, 1.0 },
            { UpperBackHeight, 6.0 }, { FrontHeight, 6.0 } } },
    // With the other, no height below the shelf: front 6 = back face, step 1; the toe to 0
    // empties the slopes, the step takes 6 + 0 - 6 = 0, and the wall becomes one flat-bottomed
    // block as wide as the wall, 0.5 + 0.9.
    { "ToeAwayEmptiesStepAndUnderside", { { RearStepHeight, 3.0 }, { FrontHeight, 6.0 } },
        ToeHeight, 0.0,
        { { RearStepHeight, 0 }, { UpperBackHeight, 6.0 }, { ToeWidth, 0 }, { BottomWidth, 1.4 },
            { ShelfWidth, 0 } } },
};

TEST(DimensionEdit, StoresAndAbsorbsAsWorkedByHand)
{
    for (const EditCase& c : Examples) {
        SCOPED_TRACE(c.Name);
        Project p = MakeNewProject("Arial");
        for (const auto& [index, value] : c.Before)
            ASSERT_TRUE(ApplyDimensionEdit(p, index, value));
        ASSERT_TRUE(ApplyDimensionEdit(p, c.Index, c.Value));
        for (const auto& [index, value] : c.After)
            EXPECT_NEAR(Dimension(p, index), value, StoredTolerance) << "dimension " << index;
        EXPECT_TRUE(ChainsHold(p));
    }
}

TEST(DimensionEdit, RefusesWhatIsNoDimensionValue)
{
    const Project before = MakeNewProject("Arial");
    for (const auto& [index, value] : std::vector<std::pair<int, double>> { { TopWidth, -0.01 },
             { FrontHeight, -5.0 }, { -1, 1.0 }, { DimensionCount, 1.0 },
             { TopWidth, std::nan("") }, { TopWidth, HUGE_VAL }, { TopWidth, 1e39 } }) {
        Project p = before;
        EXPECT_FALSE(ApplyDimensionEdit(p, index, value)) << index << " " << value;
        EXPECT_TRUE(SameProject(before, p)); // nothing at all changed
    }
}

TEST(DimensionEdit, ClosesAChainAlreadyBrokenByADamagedFile)
{
    Project p = MakeNewProject("Arial");
    p.ShelfWidth = 10.0f; // widths 11.4 against 7.3
    p.FrontHeight = 4.0f; // heights 5 against 10
    ASSERT_TRUE(ApplyDimensionEdit(p, ToeWidth, 1.2));
    EXPECT_NEAR(p.ShelfWidth, 5.9, StoredTolerance);
    EXPECT_NEAR(p.FrontHeight, 9.0, StoredTolerance);
    EXPECT_TRUE(ChainsHold(p));
}

// The typed text of an entry box, and the label value written back plainly.
TEST(ParseEditValue, TakesOneNumberAndNothingElse)
{
    struct Row {
        const char* Text;
        std::optional<double> Value;
    };
    // Signs, exponents and a bare decimal point; no comma, no hex, no infinity, nothing after.
    const Row rows[]
        = { { "2.5", 2.5 }, { " 2.5 ", 2.5 }, { "+3", 3.0 }, { "-1", -1.0 }, { "1e2", 100.0 },
              { ".5", 0.5 }, { "", std::nullopt }, { "abc", std::nullopt }, { "2,5", std::nullopt },
              { "1 2", std::nullopt }, { "0x10", std::nullopt }, { "inf", std::nullopt },
              { "nan", std::nullopt }, { "1e39", std::nullopt }, { "2.5m", std::nullopt } };
    for (const Row& r : rows)
        EXPECT_EQ(ParseEditValue(r.Text), r.Value) << '"' << r.Text << '"';
    for (const auto& [value, text] : { std::pair { 0.0, "0" }, { 10.0, "10" }, { 2.35, "2.35" } })
        EXPECT_EQ(PlainDecimalText(value), text);
    EXPECT_EQ(ParseEditValue(PlainDecimalText(1234.56)), 1234.56);
}

// A few hundred edits of random dimensions with random values, some of them 0 or negative:
// after each, both chains hold, nothing is negative, the limits hold and the anchor rows are
// those that fit.
TEST(DimensionEdit, RandomEditsKeepBothChains)
{
    std::mt19937 random(20080115);
    std::uniform_int_distribution<int> pickIndex(0, DimensionCount - 1);
    std::uniform_real_distribution<double> pickValue(0.0, 12.0), chance(0.0, 1.0);
    Project p = MakeNewProject("Arial");
    int flatBottoms = 0, stepsTaken = 0;
    for (int n = 0; n < 600; ++n) {
        const int index = pickIndex(random);
        const double roll = chance(random);
        double value = pickValue(random);
        if (roll < 0.2)
            value = 0.0;
        else if (roll < 0.25)
            value = -value;
        const Project before = p;
        const bool accepted = ApplyDimensionEdit(p, index, value);
        SCOPED_TRACE("edit " + std::to_string(n) + ": dimension " + std::to_string(index) + " = "
            + std::to_string(value));
        if (value < 0) {
            ASSERT_FALSE(accepted);
            ASSERT_TRUE(SameProject(before, p));
            continue;
        }
        ASSERT_TRUE(accepted);
        ASSERT_TRUE(ChainsHold(p));
        for (int i = 0; i < DimensionCount; ++i)
            ASSERT_GE(Dimension(p, i), 0.0f) << "dimension " << i;
        const double wallHeight = double(p.FrontHeight) + p.ToeHeight;
        ASSERT_LE(std::max(p.FrontWaterDepth, p.BackWaterDepth), wallHeight + StoredTolerance);
        ASSERT_TRUE(p.ToeHeight != 0 || p.ToeWidth == 0) << "a toe width without a toe height";
        const bool flatBottom
            = p.RearStepHeight == 0 && p.RearSlopeHeight == 0 && p.LowerSlopeHeight == 0;
        flatBottoms += flatBottom;
        for (int i : { ShelfWidth, LowerSlopeWidth, LowerFlatWidth, RearSlopeWidth })
            ASSERT_TRUE(!flatBottom || Dimension(p, i) == 0.0f) << "dimension " << i;
        ASSERT_EQ(p.AnchorRows, AnchorRowsPlaced(p));
        stepsTaken += (index == FrontHeight || index == ToeHeight) && before.RearStepHeight > 0
            && p.RearStepHeight != before.RearStepHeight;
    }
    // The run went through both rare adjustments, not only the common rules.
    EXPECT_GT(flatBottoms, 0);
    EXPECT_GT(stepsTaken, 0);
}

} // namespace

namespace {

// A converted value is the exact product rounded once to single precision.
constexpr double StoredRelative = 2e-7;
// There and back: a few roundings to single precision.
constexpr double RoundTripRelative = 1e-6;
// Safety factors of one wall in two systems: sums of many single-precision terms.
constexpr double SameWallRelative = 1e-4;

void ExpectStored(double actual, double expected, const char* what)
{
    EXPECT_NEAR(actual, expected, std::abs(expected) * StoredRelative + 1e-30) << what;
}

// A random wall of the shared generator, its numbers read as Metric ones, with the engineer's
// bars: the program chooses its bars in each system's own design units, so that the same wall
// may be given other bars.
Project MetricWall(RandomWallGenerator& walls)
{
    Project p = walls.Next();
    p.UnitSystem = Metric;
    p.ReinUserSet = true;
    return p;
}

} // namespace

// The five factors of every switch, worked by hand from 1 ft = 0.3048 m, 1 in = 2.54 cm,
// 1 Kip = 0.454 T and 1 T = 9.81 kN: length, force, pressure, stress, small length.
TEST(UnitConversionFactors, EverySwitchByHand)
{
    struct Row {
        UnitSystemId From, To;
        double Length, Force, Pressure, Stress, SmallLength;
    };
    const Row rows[] = {
        // kg/cm² to MPa is 9.81 N on 100 mm².
        { Metric, SI, 1, 9.81, 9.81, 0.0981, 1 },
        { SI, Metric, 1, 0.101936799, 0.101936799, 10.1936799, 1 },
        // kg/cm² to psi (here: Kip/1000 on in²) is 2.54² / 0.454.
        { Metric, British, 3.28083990, 2.20264317, 0.204632247, 14.2105727, 0.393700787 },
        { SI, British, 3.28083990, 0.224530395, 0.0208595562, 144.858029, 0.393700787 },
        { British, Metric, 0.3048, 0.454, 4.88681533, 0.0703701407, 2.54 },
        { British, SI, 0.3048, 4.45374, 47.9396584, 0.00690331081, 2.54 },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(
            std::string(UnitSystemName[r.From]) + " to " + std::string(UnitSystemName[r.To]));
        const ConversionFactors f = UnitConversionFactors(r.From, r.To);
        ExpectStored(f.Length, r.Length, "length");
        ExpectStored(f.Force, r.Force, "force");
        ExpectStored(f.Pressure, r.Pressure, "pressure");
        ExpectStored(f.Stress, r.Stress, "stress");
        ExpectStored(f.SmallLength, r.SmallLength, "small length");
    }
}

// Each system's own switch changes nothing, back to Metric through the third system gives the
// wall back with its chains closed, and the wall stands and is reinforced alike in every system.
TEST(ConvertUnits, TheSameWallRoundTripsAndGivesTheSameSafetyAndSteelInEverySystem)
{
    RandomWallGenerator walls(7, WallInputs::Design);
    for (int trial = 0; trial < 20; ++trial) {
        const Project metric = MetricWall(walls);
        const StabilityResults m = ComputeStability(metric);
        const CombinationResults md = RunCombinations(metric);
        for (int16_t system : { SI, British }) {
            SCOPED_TRACE(
                std::string(UnitSystemName[size_t(system)]) + ", trial " + std::to_string(trial));
            const Project p = SwitchUnitSystem(metric, system);
            ASSERT_EQ(FileBytes(SwitchUnitSystem(p, system)), FileBytes(p));
            // Through the third system: every switch of the six.
            const Project back = SwitchUnitSystem(SwitchUnitSystem(p, int16_t(3 - system)), Metric);
            const auto before = FloatInputs(metric), after = FloatInputs(back);
            for (size_t k = 0; k < before.size(); ++k)
                ASSERT_NEAR(after[k].second, before[k].second,
                    std::abs(before[k].second) * RoundTripRelative)
                    << before[k].first;
            ASSERT_NEAR(WidthChainGap(back), 0.0, 1e-5);
            ASSERT_NEAR(HeightChainGap(back), 0.0, 1e-5);
            const StabilityResults r = ComputeStability(p);
            ASSERT_EQ(r.Stable, m.Stable);
            const std::pair<float, float> factors[]
                = { { r.OverturningSafety, m.OverturningSafety },
                      { r.BearingSafetyMin, m.BearingSafetyMin },
                      { r.SlidingSafetyMin, m.SlidingSafetyMin } };
            for (const auto& [there, here] : factors)
                EXPECT_NEAR(there, here, std::abs(here) * SameWallRelative);
            // The same physical bars give the same steel: cm²/m against in²/ft.
            const CombinationResults d = RunCombinations(p);
            if (!md.Stable || !d.Stable)
                continue;
            const double areaPerWidth = system == British ? (1 / 6.4516) * 0.3048 : 1.0;
            for (int row = 1; row <= ReinRowCount; ++row) {
                const double as = md.Design.ReinAs[size_t(row)] * areaPerWidth;
                EXPECT_NEAR(d.Design.ReinAs[size_t(row)], as, as * SameWallRelative)
                    << "row " << row;
            }
        }
    }
}
