// The main window's view drawings as figures, placed on their surface.
#include "drawing/ViewFigure.h"

#include "model/NumberFormat.h"
#include "model/Units.h"

#include <algorithm>

namespace pendrake {

namespace {

// Captions stand at the drawing's left edge, their last line this far above its bottom; twips.
constexpr double CaptionLeft = 240;
constexpr double CaptionBottomMargin = 120;

constexpr const char* ValueFormat = "#0.#0";

constexpr std::array<std::string_view, LoadCaseCount + 1> LoadCaseWord
    = { "", "dead", "live", "soil", "water", "structural", "impact", "seismic" };

bool IsLoadView(ViewKind v)
{
    return v != ViewKind::Dimensions && v != ViewKind::Reactions;
}

size_t UnitIndex(const Project& p)
{
    return static_cast<size_t>(std::clamp<int>(p.UnitSystem, 0, 2));
}

} // namespace

std::optional<ViewKind> ViewKindNamed(std::string_view name)
{
    for (int k = 0; k < ViewKindCount; ++k)
        if (ViewKindName[size_t(k)] == name)
            return static_cast<ViewKind>(k);
    return std::nullopt;
}

std::string NoLoadsCaption(int loadCase)
{
    const int k = std::clamp(loadCase, 1, LoadCaseCount);
    return "No " + std::string(LoadCaseWord[size_t(k)]) + " loads";
}

std::string DimensionValueText(const Project& p, int index)
{
    return FormatNumber(Dimension(p, index), ValueFormat);
}

DimensionLabelBoxes PlaceDimensionLabelsClear(const WallLayout& layout,
    const std::array<LabelBox, DimensionCount>& sizes, const LabelBox& slopeSize,
    const std::vector<LabelBox>& obstacles, const std::vector<Stroke>& strokes,
    const LabelBox& bounds)
{
    DimensionLabelBoxes out = PlaceDimensionLabels(layout, sizes, slopeSize, obstacles);
    constexpr int slope = 11;
    // "1 : " and the slope value move as one.
    std::vector<LabelWish> wishes;
    for (int i = 0; i < DimensionCount; ++i) {
        LabelBox b = out.Dim[size_t(i)];
        if (i == slope)
            b = { out.Slope.Left, out.Slope.Top, b.Right() - out.Slope.Left,
                std::max(b.Height, out.Slope.Height) };
        wishes.push_back({ b, { 0, 0 } });
    }
    const std::vector<LabelBox> placed = PlaceLabels(wishes, strokes, obstacles, bounds);
    for (int i = 0; i < DimensionCount; ++i) {
        const LabelBox& b = placed[size_t(i)];
        if (i == slope) {
            out.Slope.Left = b.Left;
            out.Slope.Top = b.Top;
            out.Dim[size_t(i)].Left = b.Left + out.Slope.Width;
            out.Dim[size_t(i)].Top = b.Top;
        } else {
            out.Dim[size_t(i)] = b;
        }
    }
    return out;
}

ViewDrawing BuildViewDrawing(const Project& p, const StabilityResults& stability, ViewKind view,
    double width, double height, const ViewTextSizes& sizes)
{
    ViewDrawing d;
    d.View = view;
    d.Layout = LayoutWallOnScreen(p, width, height);
    d.Bounds = { 0, 0, width, height };
    const FigureStyle style;
    const LoadCaseResults& loads = stability.Loads;
    Figure& f = d.Shapes;
    AddWallOutline(f, p, d.Layout);
    const bool anchorsShown = view == ViewKind::Dimensions || view == ViewKind::Dead;
    if (p.AnchorRows >= 1 && anchorsShown)
        AddAnchors(f, d.Layout, loads, style);

    const size_t unit = UnitIndex(p);
    const size_t outlineShapes = f.Polygons.size() + f.Lines.size();
    std::vector<std::string> captions;
    if (view == ViewKind::Dimensions) {
        AddDimensionLines(f, p, d.Layout, style);
        captions.push_back("Dimensions in " + std::string(LengthUnit[unit]));
    } else {
        const int loadCase = static_cast<int>(view);
        if (IsLoadView(view))
            AddLoadCase(f, p, d.Layout, loadCase, loads, style);
        else
            AddReactions(f, p, d.Layout, stability, style);
        if (IsLoadView(view) && f.Polygons.size() + f.Lines.size() == outlineShapes
            && f.Texts.empty())
            captions.push_back(NoLoadsCaption(loadCase));
        if (view == ViewKind::Reactions)
            captions.emplace_back(ReactionsLoadsCaption);
        captions.push_back("Line loads in " + LineLoadUnit(p.UnitSystem));
        captions.push_back("Distributed loads in " + std::string(PressureUnit[unit]));
    }

    // The captions, from the bottom left up; they are placed first and the values keep clear.
    const double lineHeight = sizes.Text("Ag").Height;
    double bottom = height - CaptionBottomMargin
        - lineHeight * double(std::max<size_t>(captions.size(), 1) - 1);
    const size_t values = f.Texts.size();
    for (const std::string& line : captions) {
        f.Texts.push_back(
            { { CaptionLeft, bottom }, line, PaletteColour(0), HAlign::Left, VAlign::Bottom });
        bottom += lineHeight;
    }
    d.CaptionCount = captions.size();

    const std::vector<Stroke> strokes = FigureStrokes(f);
    std::vector<LabelWish> wishes;
    for (size_t i = values; i < f.Texts.size(); ++i)
        wishes.push_back({ AnchoredBox(f.Texts[i], sizes.Text(f.Texts[i].Text)), { 0, -1 } });
    for (size_t i = 0; i < values; ++i)
        wishes.push_back(WishOf(f.Texts[i], sizes.Text(f.Texts[i].Text)));
    const std::vector<LabelBox> placed = PlaceLabels(wishes, strokes, {}, d.Bounds);
    d.TextBoxes.resize(f.Texts.size());
    for (size_t k = 0; k < d.CaptionCount; ++k)
        d.TextBoxes[values + k] = placed[k];
    for (size_t i = 0; i < values; ++i)
        d.TextBoxes[i] = placed[d.CaptionCount + i];

    if (view == ViewKind::Dimensions) {
        d.HasDimensionValues = true;
        std::array<LabelBox, DimensionCount> dimSizes {};
        for (int i = 0; i < DimensionCount; ++i) {
            d.DimensionTexts[size_t(i)] = DimensionValueText(p, i);
            dimSizes[size_t(i)] = sizes.DimensionValue(d.DimensionTexts[size_t(i)]);
        }
        const LabelBox slopeSize = sizes.DimensionValue(std::string(SlopeLabelText));
        d.DimensionBoxes = PlaceDimensionLabelsClear(
            d.Layout, dimSizes, slopeSize, d.TextBoxes, strokes, d.Bounds);
    }
    return d;
}

} // namespace pendrake
