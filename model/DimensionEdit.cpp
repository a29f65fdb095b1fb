// Editing one wall dimension: the typed value to two decimals, the absorption order that closes
// the width and height chains again, and the limits derived from the new shape.
#include "model/DimensionEdit.h"

#include "model/NumberFormat.h"
#include "model/Units.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <span>

namespace pendrake {

namespace {

// Label indices of the dimensions (the Project field comments carry the same numbers).
enum Dim : int {
    TopWidth = 0,
    UpperBackOffset = 1,
    ShelfWidth = 2,
    ToeWidth = 3,
    BottomWidth = 4,
    LowerSlopeWidth = 5,
    FrontHeight = 6,
    ToeHeight = 7,
    UpperBackHeight = 8,
    RearStepHeight = 9,
    RearSlopeHeight = 10,
    BackfillSlope = 11,
    FrontWaterDepth = 12,
    BackWaterDepth = 13,
    LowerSlopeHeight = 14,
    LowerFlatWidth = 15,
    RearSlopeWidth = 16,
};

// One chain: the dimensions on either side of the equation that must balance.
struct Chain {
    std::span<const int> Left;
    std::span<const int> Right;
};

// Widths above the shelf against the underside (points 6 and 7 on one vertical).
constexpr std::array<int, 3> UpperWidths { TopWidth, UpperBackOffset, ShelfWidth };
constexpr std::array<int, 4> UndersideWidths { BottomWidth, LowerSlopeWidth, LowerFlatWidth,
    RearSlopeWidth };
constexpr Chain Widths { UpperWidths, UndersideWidths };
// The front against the back of the wall (one wall top level).
constexpr std::array<int, 2> FrontHeights { FrontHeight, ToeHeight };
constexpr std::array<int, 4> BackHeights { UpperBackHeight, RearStepHeight, RearSlopeHeight,
    LowerSlopeHeight };
constexpr Chain Heights { FrontHeights, BackHeights };

// Single precision keeps 24 bits, about 6e-8 of a value; a chain of seven stored values misses
// its exact balance by a few such roundings. A gap above a millionth of the chain's size cannot
// come from rounding: the chain is broken (a damaged file) and is closed again.
constexpr double BrokenChainFraction = 1e-6;

bool Contains(std::span<const int> list, int index)
{
    return std::find(list.begin(), list.end(), index) != list.end();
}

double Sum(const Project& p, std::span<const int> list)
{
    double sum = 0;
    for (int i : list)
        sum += double(Dimension(p, i));
    return sum;
}

double Size(const Project& p, const Chain& c)
{
    double size = 0;
    for (int i : c.Left)
        size += std::abs(double(Dimension(p, i)));
    for (int i : c.Right)
        size += std::abs(double(Dimension(p, i)));
    return size;
}

double Gap(const Project& p, const Chain& c)
{
    return Sum(p, c.Left) - Sum(p, c.Right);
}

// The value `absorber` needs for its chain to balance with every other dimension as it stands.
double Needed(const Project& p, const Chain& c, int absorber)
{
    const bool left = Contains(c.Left, absorber);
    const double same = Sum(p, left ? c.Left : c.Right) - double(Dimension(p, absorber));
    const double other = Sum(p, left ? c.Right : c.Left);
    return other - same;
}

// Each absorber in turn takes up the change; one that would become negative is set to 0 and
// the next one absorbs instead. The last takes whatever remains.
void Absorb(Project& p, const Chain& c, std::initializer_list<int> order)
{
    const int* last = order.end() - 1;
    for (const int* it = order.begin(); it != order.end(); ++it) {
        const double need = Needed(p, c, *it);
        if (need < 0 && it != last) {
            Dimension(p, *it) = 0.0f;
            continue;
        }
        Dimension(p, *it) = static_cast<float>(need);
        return;
    }
}

// The chain rules: who absorbs an edit of which dimension, in order.
void RestoreChainsAfter(Project& p, int index)
{
    switch (index) {
    case TopWidth:
    case UpperBackOffset:
        Absorb(p, Widths,
            { ShelfWidth, BottomWidth, RearSlopeWidth, LowerFlatWidth, LowerSlopeWidth });
        break;
    case ShelfWidth:
        Absorb(p, Widths, { BottomWidth, RearSlopeWidth, LowerFlatWidth, LowerSlopeWidth });
        break;
    case BottomWidth: Absorb(p, Widths, { ShelfWidth, RearSlopeWidth }); break;
    case LowerSlopeWidth:
    case LowerFlatWidth:
    case RearSlopeWidth: Absorb(p, Widths, { ShelfWidth, BottomWidth }); break;
    case FrontHeight:
        // The front face is never shorter than the upper back face it carries.
        p.FrontHeight = std::max(p.FrontHeight, p.UpperBackHeight);
        [[fallthrough]];
    case ToeHeight:
        // Both slopes gone: the rear step takes the rest, then the back face (keeps front >= back).
        Absorb(p, Heights, { RearSlopeHeight, LowerSlopeHeight, RearStepHeight, UpperBackHeight });
        break;
    case UpperBackHeight:
    case RearSlopeHeight:
    case LowerSlopeHeight: Absorb(p, Heights, { FrontHeight, ToeHeight }); break;
    case RearStepHeight: Absorb(p, Heights, { RearSlopeHeight, FrontHeight }); break;
    default: // ToeWidth, BackfillSlope and the water depths belong to no chain
        break;
    }
}

// A chain that was already broken before the edit (only a damaged file does that) is closed as
// an edit of the upper widths or of the upper back height would close it.
void CloseBrokenChains(Project& p)
{
    if (std::abs(Gap(p, Widths)) > BrokenChainFraction * Size(p, Widths))
        Absorb(p, Widths,
            { ShelfWidth, BottomWidth, RearSlopeWidth, LowerFlatWidth, LowerSlopeWidth });
    if (std::abs(Gap(p, Heights)) > BrokenChainFraction * Size(p, Heights))
        Absorb(p, Heights, { FrontHeight, ToeHeight });
}

void ApplyDerivedLimits(Project& p)
{
    if (p.ToeHeight == 0)
        p.ToeWidth = 0;
    if (p.RearStepHeight == 0 && p.RearSlopeHeight == 0 && p.LowerSlopeHeight == 0) {
        // No height under the shelf: one block on a flat bottom exactly as wide as the wall.
        p.ShelfWidth = 0;
        p.LowerSlopeWidth = 0;
        p.LowerFlatWidth = 0;
        p.RearSlopeWidth = 0;
        p.BottomWidth = static_cast<float>(double(p.TopWidth) + double(p.UpperBackOffset));
    }
    const float wallHeight = static_cast<float>(double(p.FrontHeight) + double(p.ToeHeight));
    p.FrontWaterDepth = std::min(p.FrontWaterDepth, wallHeight);
    p.BackWaterDepth = std::min(p.BackWaterDepth, wallHeight);
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

std::optional<double> ParseEditValue(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    bool plus = false;
    if (!text.empty() && text.front() == '+') {
        plus = true;
        text.remove_prefix(1);
    }
    if (text.empty() || (plus && text.front() == '-'))
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(
        text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    // "inf" and "nan" parse, and so do values no float can store: neither is a dimension.
    if (!std::isfinite(value) || std::abs(value) > double(FLT_MAX))
        return std::nullopt;
    return value;
}

std::string PlainDecimalText(double value)
{
    if (value == 0) // also -0
        return "0";
    // Any double in fixed notation: at most 309 digits before the point or 324 after it.
    std::array<char, 512> buf {};
    const auto res
        = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed);
    if (res.ec != std::errc())
        return FormatFixed(value, DimensionDecimals);
    return { buf.data(), res.ptr };
}

double WidthChainGap(const Project& p)
{
    return Gap(p, Widths);
}

double HeightChainGap(const Project& p)
{
    return Gap(p, Heights);
}

bool ApplyDimensionEdit(Project& p, int index, double value)
{
    if (index < 0 || index >= DimensionCount || !std::isfinite(value) || value < 0
        || value > double(FLT_MAX))
        return false;
    const double rounded = RoundTo(value, DimensionDecimals);
    if (!(rounded <= double(FLT_MAX)))
        return false;

    Dimension(p, index) = static_cast<float>(rounded);
    RestoreChainsAfter(p, index);
    CloseBrokenChains(p);
    ApplyDerivedLimits(p);
    p.AnchorRows = AnchorRowsPlaced(p);
    return true;
}

std::string DimensionUnit(const Project& project, int index)
{
    if (index == BackfillSlopeDimension)
        return "1 : n";
    return std::string(LengthUnit[static_cast<size_t>(std::clamp<int>(project.UnitSystem, 0, 2))]);
}

} // namespace pendrake
