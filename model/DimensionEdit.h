// A wall dimension as the engineer types it on the drawing: the value kept to two decimals, the
// two dimension chains closed again by the dimensions that absorb the change, and the limits
// that follow from the new shape (a toe without height, a body without a sloping underside,
// water deeper than the wall).
#pragma once

#include "model/Project.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace pendrake {

// Dimensions are shown and stored to two decimals.
inline constexpr int DimensionDecimals = 2;

// The label index of the backfill slope, the one dimension that is a ratio (1 : n).
inline constexpr int BackfillSlopeDimension = 11;

// The dimension labels' names, by index, as the engineer reads them on the drawing.
inline constexpr std::array<std::string_view, DimensionCount> DimensionName
    = { "Top width", "Upper back offset", "Shelf width", "Toe width", "Bottom width",
          "Lower slope width", "Front height", "Toe height", "Upper back height",
          "Rear step height", "Rear slope height", "Backfill slope", "Front water depth",
          "Back water depth", "Lower slope height", "Lower flat width", "Rear slope width" };

// The unit of dimension `index` in the project's unit system: a length, or "1 : n" for the
// backfill slope, which is a ratio.
std::string DimensionUnit(const Project& project, int index);

// The number in an edit box, or nothing when the text is not one number that a stored float can
// hold. Blanks around it and a leading sign are accepted, a decimal comma, "inf" and "nan" not.
std::optional<double> ParseEditValue(std::string_view text);

// The value as plain decimal text for an edit box: 5.9 gives "5.9", 0 gives "0".
std::string PlainDecimalText(double value);

// Width chain, left minus right: TopWidth + UpperBackOffset + ShelfWidth against
// BottomWidth + LowerSlopeWidth + LowerFlatWidth + RearSlopeWidth.
double WidthChainGap(const Project& project);
// Height chain, left minus right: FrontHeight + ToeHeight against
// UpperBackHeight + RearStepHeight + RearSlopeHeight + LowerSlopeHeight.
double HeightChainGap(const Project& project);

// Stores `value`, rounded to two decimals, in dimension `index` (0..16, the label's index), lets
// the dimensions after it in its absorption order take up the change so that both chains hold,
// applies the derived limits (ToeWidth 0 without a toe height; no shelf and a plain flat bottom
// without a sloping underside; water depths no deeper than the wall), sets AnchorRows to the
// rows that fit. Returns false, leaving the project as it was,
// for an index that is no dimension or a value that is negative or not finite.
bool ApplyDimensionEdit(Project& project, int index, double value);

} // namespace pendrake
