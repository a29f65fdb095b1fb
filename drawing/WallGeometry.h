// The wall drawn to scale on a surface, the same for the main window (twips) and a report page
// (page units): the fit of the cross-section, its outline nodes and pieces, arrows, load and
// pressure diagrams, the places of the dimension values, and the figure of every view as plain
// lines, polygons and texts that the screen and the printer paint alike. No toolkit here.
#pragma once

#include "analysis/LoadCases.h"
#include "analysis/Stability.h"
#include "model/Project.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace pendrake {

// Outline points 1..9, 15 and 16 of the cross-section; 10 the far end of the backfill surface,
// 11 and 12 the front water level, 13 and 14 the back water level.
inline constexpr int NodeCount = 16;

// The outline in order around the section from the toe front; the segment 3 to 4 closes it.
inline constexpr std::array<int, 11> OutlineOrder = { 4, 5, 15, 16, 6, 7, 8, 9, 1, 2, 3 };

// A point on the drawing surface: x to the right, y DOWNWARDS, in surface units.
struct DrawPoint {
    double X = 0;
    double Y = 0;
};

// The point k units from p along the direction d (unit).
inline DrawPoint Plus(DrawPoint p, DrawPoint d, double k)
{
    return { p.X + d.X * k, p.Y + d.Y * k };
}

inline double Distance(DrawPoint a, DrawPoint b)
{
    return std::hypot(b.X - a.X, b.Y - a.Y);
}

// Ordinates and pressures this small draw nothing, on the screen and in the report alike.
constexpr double NegligibleOrdinate = 1e-5;

// The box the cross-section (without the backfill beyond its rear end) is fitted into.
struct DrawArea {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
};

struct WallLayout {
    float DrawScale = 0; // surface units per length unit
    float DrawOriginX = 0; // the toe front, x = 0
    float DrawOriginY = 0; // the wall top, y = yTop
    std::array<float, NodeCount + 1> NodeX {}; // nodes 1..16, slot 0 unused
    std::array<float, NodeCount + 1> NodeY {};
    double WallTop = 0; // yTop of the section, length units
    double SurfaceWidth = 0;
    double SurfaceHeight = 0;

    DrawPoint Node(int k) const { return { NodeX.at(k), NodeY.at(k) }; }
    // A point (x, y) of the cross-section frame on the surface.
    DrawPoint At(double x, double y) const;
};

// Width (the whole structure), height (the wall, plus the rise of the backfill up to node 10
// when it slopes) and that rise, in length units.
struct WallFigureSize {
    double Width = 0;
    double Height = 0;
    double BackfillRise = 0;
};
WallFigureSize MeasureWall(const Project& project);

// The main window's drawing: 1440 twips from the left edge and 720 from the top, the width
// less 2400 + 240 twips of which 0.8 for the section, the height less 1440 twips.
DrawArea ScreenDrawArea(double surfaceWidth, double surfaceHeight);

// Fits the section into `area` (the governing direction starts at the area's edge, the other is
// centred), lowers the origin by the backfill rise, and places the sixteen nodes.
WallLayout LayoutWall(
    const Project& project, const DrawArea& area, double surfaceWidth, double surfaceHeight);
WallLayout LayoutWallOnScreen(const Project& project, double surfaceWidth, double surfaceHeight);

// Outline point k (1..9, 15, 16) in the cross-section frame.
PlanePoint OutlinePoint(const Project& project, int k);

// Piece k (1..13, as the dead loads number them) as a polygon in the cross-section frame; empty
// for piece 7 on a level backfill. Pieces 10 and 11 collapse to no area on a dry backfill.
std::vector<PlanePoint> PiecePolygon(const Project& project, int k);

// Unit vector from an anchor head on an underside of slope `face` (radians) into the ground,
// in the cross-section frame: straight down under a flat bottom, straight back behind a
// vertical face.
PlanePoint AnchorDirection(double face);

// --- Arrows ---------------------------------------------------------------------------------

enum class ArrowKind : int16_t {
    Single = 1, // head at the end point
    Dimension = 2, // heads at both ends
};

struct ArrowHead {
    double Length = 60;
    double HalfWidth = 15;
};
// The printed report's arrow head; a single arrow shows it from its length up, a dimension
// arrow from three times it.
inline constexpr ArrowHead PrintedArrowHead { 60, 15 };

struct Stroke {
    DrawPoint A;
    DrawPoint B;
};

// The strokes of an arrow from `from` to `to`. A dimension arrow too short for its heads inside
// gets them outside, pointing in; a short single arrow gets a head as long as itself; a zero
// length leaves a four-unit mark.
std::vector<Stroke> ArrowStrokes(
    DrawPoint from, DrawPoint to, ArrowKind kind, ArrowHead head = PrintedArrowHead);

// --- Scales ---------------------------------------------------------------------------------

// Surface units per pressure unit that draw `largestOrdinate` `length` units long; 0 when
// there is nothing to draw.
double DiagramScale(double largestOrdinate, double length);

// The printed Loads section's scale, page units per pressure or line-load unit, from the load
// cases computed with every load factor 1; 10000 when no pressure acts at all.
double ReportLoadScale(const Project& project, const LoadCaseResults& loads);

// Units per pressure unit that draw the largest base contact pressure `length` units long, or 1
// when no segment carries pressure.
double ReactionScale(const StabilityResults& results, double length);

// --- Colours --------------------------------------------------------------------------------

struct Rgb {
    uint8_t R = 0;
    uint8_t G = 0;
    uint8_t B = 0;
    bool operator==(const Rgb&) const = default;
};

// The 16-colour palette: 0 black, 1 blue, 2 green, 3 cyan, 4 red, 5 magenta, 6 brown, 7 light
// grey, 8 dark grey, 9 light blue, 10 light green, 11 light cyan, 12 light red, 13 light
// magenta, 14 yellow, 15 white. Indices outside 0..15 give black.
Rgb PaletteColour(int index);

// The colour moved `towardsWhite` (0..1) of the way to white: a fill under a line of `colour`.
Rgb Tint(Rgb colour, double towardsWhite);

// --- Figures --------------------------------------------------------------------------------

enum class HAlign { Left, Centre, Right };
enum class VAlign { Top, Middle, Bottom };

// Weight 1 is a thin line, 2 a thick one (the anchors).
struct FigureLine {
    DrawPoint A;
    DrawPoint B;
    Rgb Colour;
    int Weight = 1;
    bool Dashed = false;
};

struct FigurePolygon {
    std::vector<DrawPoint> Points;
    Rgb Outline;
    bool Filled = false;
    Rgb Fill;
    int Weight = 1;
};

// A text anchored at `At`: Left puts its left edge there, Top its top edge, and so on.
struct FigureText {
    DrawPoint At;
    std::string Text;
    Rgb Colour;
    HAlign Horizontal = HAlign::Left;
    VAlign Vertical = VAlign::Bottom;
};

// Painted in this order: polygons, lines, texts.
struct Figure {
    std::vector<FigurePolygon> Polygons;
    std::vector<FigureLine> Lines;
    std::vector<FigureText> Texts;
};

// Sizes of the figure's furniture in surface units.
struct FigureStyle {
    ArrowHead Head { 120, 40 };
    double ForceArrowLength = 600; // every concentrated force, whatever its size
    double AnchorLength = 600;
    double DiagramLength = 480; // the largest ordinate of a pressure diagram
    double TextGap = 45; // between an arrow's end or an ordinate and its value
};

// Load blocks and diagrams are filled with their outline's colour this far towards white.
constexpr double DiagramTint = 0.8;

// A load block or diagram: outlined in its palette colour, filled with its DiagramTint.
void AddTintedPolygon(Figure& figure, std::vector<DrawPoint> points, int colour);

// A text just beyond `at` in direction `away` (unit), at style.TextGap, aligned so that it
// stays clear of what it labels: left or right of a mostly horizontal direction, above or below
// a mostly vertical one.
void AddTextBeyond(Figure& figure, DrawPoint at, DrawPoint away, std::string text, int colour,
    const FigureStyle& style);

// The section (filled), the backfill surface and the two water levels.
void AddWallOutline(Figure& figure, const Project& project, const WallLayout& layout);

// The placed anchor rows (PlaceAnchors) as thick green arrows from the underside into the ground.
void AddAnchors(Figure& figure, const WallLayout& layout, const LoadCaseResults& loads,
    const FigureStyle& style);

// Dimension arrows with extension lines for the seventeen dimensions, and the slope triangle.
void AddDimensionLines(
    Figure& figure, const Project& project, const WallLayout& layout, const FigureStyle& style);

// The loads the engineer gave for `loadCase` (1..7): its line loads and, when its type is that
// case, the surcharge as a block `pressureScale` units per pressure unit tall; in `colour`
// (palette index, red unless given).
void AddGivenLoads(Figure& figure, const Project& project, const WallLayout& layout, int loadCase,
    double pressureScale, const FigureStyle& style, int colour = 4);

// The pieces (concrete in blue, soil in light blue) and their weights as labelled arrows.
void AddDeadLoads(Figure& figure, const Project& project, const WallLayout& layout,
    const LoadCaseResults& loads, const FigureStyle& style);

// The static soil pressure on the virtual back and its vertical friction force.
void AddSoilPressure(Figure& figure, const Project& project, const WallLayout& layout,
    const LoadCaseResults& loads, double pressureScale, const FigureStyle& style);

// The seven water pressure ordinates as diagrams on the faces and the underside.
void AddWaterPressure(Figure& figure, const Project& project, const WallLayout& layout,
    const LoadCaseResults& loads, double pressureScale, const FigureStyle& style);

// The pieces' inertia forces, the earth pressure increments with their diagram, the front water
// (Westergaard) and the vertical component of the increment.
void AddSeismicForces(Figure& figure, const Project& project, const WallLayout& layout,
    const LoadCaseResults& loads, double pressureScale, const FigureStyle& style);

// Largest ordinate a load-case figure draws as a diagram (surcharge of the case included), from
// which its pressure scale follows.
double LargestOrdinate(const Project& project, int loadCase, const LoadCaseResults& loads);

// Everything of load case `loadCase` (1..7) computed in `loads` with every load factor 1: the
// given loads, and the pieces, pressures and forces of the dead, soil, water and seismic cases,
// with one pressure scale for the figure.
void AddLoadCase(Figure& figure, const Project& project, const WallLayout& layout, int loadCase,
    const LoadCaseResults& loads, const FigureStyle& style);

// The base contact pressure, normal to each underside segment on the ground side, and the
// anchor forces along the anchors. Nothing for an unstable wall.
void AddReactions(Figure& figure, const Project& project, const WallLayout& layout,
    const StabilityResults& results, const FigureStyle& style);

// --- Dimension values -----------------------------------------------------------------------

struct LabelBox {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
    double Right() const { return Left + Width; }
    double Bottom() const { return Top + Height; }
};

// Boxes closer than this are taken to touch.
inline constexpr double LabelGap = 15;

bool BoxesOverlap(const LabelBox& a, const LabelBox& b);

enum class PushDirection { Left, Right, Up, Down };

// Moves each box after the first `fixedCount` past every earlier box it overlaps, until it
// overlaps none: in its own direction, or, when that would take it out of `bounds` (if given),
// across it or back, whichever first stays inside. A box is first brought inside `bounds` as
// far as it fits. Each box passes each earlier one at most once.
void SeparateBoxes(std::vector<LabelBox>& boxes, const std::vector<PushDirection>& directions,
    size_t fixedCount, const LabelBox* bounds = nullptr);

struct DimensionLabelBoxes {
    std::array<LabelBox, DimensionCount> Dim {}; // lblDim(0..16)
    LabelBox Slope; // "1 : " in front of lblDim(11)
};

// Places the seventeen dimension values (given their sizes) at their dimensions, the widths
// that do not fit between their points on the second row, and moves any value that would
// overlap another, or one of the `obstacles`, along its column or row, keeping it on the
// layout's surface where it can.
DimensionLabelBoxes PlaceDimensionLabels(const WallLayout& layout,
    const std::array<LabelBox, DimensionCount>& sizes, const LabelBox& slopeSize,
    const std::vector<LabelBox>& obstacles);

} // namespace pendrake
