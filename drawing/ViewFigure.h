// The main window's drawing of one view as plain figures: the wall laid out on a surface of a
// given size (twips), the figure of the view with its captions, every value placed clear of
// the lines and of each other, and the seventeen dimension values of the Dimensions view. The
// window paints it on screen; pendrake-cli and the drawing export paint it into files.
#pragma once

#include "analysis/Stability.h"
#include "drawing/LabelPlacement.h"
#include "drawing/WallGeometry.h"
#include "model/Project.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pendrake {

// The nine views, in the order of the main window's view buttons.
enum class ViewKind : int16_t {
    Dimensions = 0,
    Dead,
    Live,
    Soil,
    Water,
    Structural,
    Impact,
    Seismic,
    Reactions
};
inline constexpr int ViewKindCount = 9;

// The views' names on the command line, by ViewKind.
inline constexpr std::array<std::string_view, ViewKindCount> ViewKindName = { "dimensions", "dead",
    "live", "soil", "water", "structural", "impact", "seismic", "reactions" };
std::optional<ViewKind> ViewKindNamed(std::string_view name);

// The caption of a load view that has nothing of its kind to show, by load case 1..7
// ("No structural loads").
std::string NoLoadsCaption(int loadCase);

// The caption of the Reactions view and page: which loads the reactions answer.
inline constexpr std::string_view ReactionsLoadsCaption
    = "Reactions to the loads with every load factor 1";

// What a view's drawing measures its texts with: the figure's values and captions, and the
// dimension values (on screen the clickable labels, which have a margin of their own).
struct ViewTextSizes {
    TextMeasure Text;
    TextMeasure DimensionValue;
};

struct ViewDrawing {
    ViewKind View = ViewKind::Dimensions;
    WallLayout Layout;
    Figure Shapes; // the figure, its values and captions among its texts
    std::vector<LabelBox> TextBoxes; // where each of Shapes.Texts stands, in order
    size_t CaptionCount = 0; // the last texts of Shapes are the captions
    // The Dimensions view only: the values and "1 : " in front of the slope.
    bool HasDimensionValues = false;
    std::array<std::string, DimensionCount> DimensionTexts {};
    DimensionLabelBoxes DimensionBoxes;
    // Everything placed must stay inside this box: the surface.
    LabelBox Bounds;
};

// The dimension value's text, "#0.#0", as its label shows it.
std::string DimensionValueText(const Project& project, int index);
inline constexpr std::string_view SlopeLabelText = "1 : ";

// The view's drawing on a surface of `width` x `height` twips, from the record and the results
// of its stability run with every load factor 1. The Reactions of a wall that is not stable
// draw the section alone (the window falls back to Dimensions before it asks).
ViewDrawing BuildViewDrawing(const Project& project, const StabilityResults& stability,
    ViewKind view, double width, double height, const ViewTextSizes& sizes);

// Places the seventeen dimension values as PlaceDimensionLabels does, then moves any that
// meets one of `strokes` or leaves `bounds` to the nearest free place.
DimensionLabelBoxes PlaceDimensionLabelsClear(const WallLayout& layout,
    const std::array<LabelBox, DimensionCount>& sizes, const LabelBox& slopeSize,
    const std::vector<LabelBox>& obstacles, const std::vector<Stroke>& strokes,
    const LabelBox& bounds);

} // namespace pendrake
