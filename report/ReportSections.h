// The half-page sections of the printed report, each drawn into ctx.HalfPageSlot: the wall's
// dimensions, its loads, the material properties, the stability results, the reactions, the
// four concrete design pages, and the soil pressure calculator's page.
#pragma once

#include "calculator/CalculatorComputation.h"
#include "report/PageFramework.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace pendrake::report {

// The wall to scale with its seventeen dimensions and the anchors.
void PrintDimensionsSection(ReportContext& ctx);

// The wall with the given loads and the pressure diagrams of the load cases, every load factor
// 1. A backfill slope the analysis flattens is drawn again (once more at most) in the same half.
void PrintLoadsSection(ReportContext& ctx);

// Concrete, reinforcement, water, friction, backfill and base; the anchor block only when the
// wall has anchor rows.
void PrintPropertiesSection(ReportContext& ctx);

// The stability results of ctx.Stability (the job runs the analysis with every factor 1 just
// before): force sums, base pressures, shear friction, anchors and the notes.
void PrintStabilitySection(ReportContext& ctx);

// The wall with its base pressures and anchor forces, from a fresh stability run with every
// load factor 1 (left in ctx.Stability).
void PrintReactionsSection(ReportContext& ctx);

// Concrete 1/4 (bending moments), 2/4 (shearing forces), 3/4 (normal forces) and 4/4 (the
// design table), from ctx.Combinations of a stable combination run. part is 1..4; any other
// value prints nothing.
void PrintConcreteSection(ReportContext& ctx, int part);

// The soil pressure calculator's inputs and results in one section of the current half page
// (the caller has run SetupPage and set HalfPageSlot).
void PrintCalculatorSection(
    ReportContext& ctx, const CalculatorInput& input, const CalculatorResult& result);

// The calculator's whole printout: SetupPage, the section in the upper half, the footer and the
// end of the document.
void PrintCalculatorPage(
    ReportContext& ctx, const CalculatorInput& input, const CalculatorResult& result);

// The texts of the Stability section's notes, in order, each without its leading mark.
std::vector<std::string> ReportStabilityNotes(
    const Project& project, const StabilityResults& results);

// --- Text helpers of the section routines (SectionText.cpp) ---------------------------------

// The value format of every printed number that has no other.
inline constexpr std::string_view ValueFormat = "#0.#0";

// TextFont at `size` points (the caller scales it), regular or bold, not italic.
void SetSectionFont(ReportContext& ctx, double size, bool bold);

// Prints `markup` with its top left corner at (x, y) in the current font: "{k}" is the Greek
// letter of the Symbol-font key k (PrintGreek), "_{...}" a subscript and "^{...}" a superscript
// (PrintSubscript, PrintSuperscript); everything else prints as it stands.
void PrintMarkup(ReportContext& ctx, double x, double y, std::string_view markup);

// Width of `markup` in the current font, page units.
double MarkupWidth(ReportContext& ctx, std::string_view markup);

// Prints `text` right-aligned at x at the current pen y. A text wider than maxWidth is set in a
// font just small enough to fit: no digit is lost and none runs into the next column.
void PrintRightAlignedWithin(ReportContext& ctx, std::string_view text, double x, double maxWidth);

// Prints a plain text with its top left corner at (x, y).
void PrintAt(ReportContext& ctx, double x, double y, std::string_view text);

// The box inside the current section frame that a drawing's values stay in.
LabelBox DrawingBounds(const ReportContext& ctx);

// Where the figure's texts stand in the current font: each at the free place nearest its
// anchor, clear of the texts before it, of `obstacles` (page boxes), of every line of the
// figure and of the frame (PlaceLabels). The boxes in order.
std::vector<LabelBox> PlaceFigureTexts(
    ReportContext& ctx, const Figure& figure, const std::vector<LabelBox>& obstacles);

// Paints the figure's polygons and lines, then its texts in the current font where
// PlaceFigureTexts puts them. Returns the boxes the texts took, in order.
std::vector<LabelBox> PaintFigureSeparated(
    ReportContext& ctx, const Figure& figure, const std::vector<LabelBox>& obstacles);

// The body of the current section frame (below the title strip), `inset` page units in from its
// edges.
LabelBox SectionBodyBox(const ReportContext& ctx, double inset);

// A page box moved inside the body of the current section frame, a small margin from its edges.
LabelBox KeepInsideFrame(const ReportContext& ctx, LabelBox box);

// The first steps of the drawing sections (Loads, Reactions): BeginSection, the title, the wall
// fitted into the drawing area and the body font of `bodyPoints` times PageScale.
const WallLayout& BeginDrawingSection(
    ReportContext& ctx, std::string_view title, double bodyPoints);

// The boxes of the three load legend lines (PrintLoadLegend) in the current font.
std::vector<LabelBox> LoadLegendBoxes(ReportContext& ctx);

// The figures of the drawing sections, for the layout `BeginDrawingSection` (or `LayoutWall`
// for Dimensions) made, and the boxes their values must keep clear of (legends, captions)
// in the current font. The section routines paint exactly these.
struct SectionFigure {
    Figure Shapes;
    std::vector<LabelBox> Fixed;
};
SectionFigure LoadsSectionFigure(ReportContext& ctx, const WallLayout& layout);
SectionFigure ReactionsSectionFigure(ReportContext& ctx, const WallLayout& layout);
// The Dimensions section: the figure without values, and the seventeen values placed clear of
// its lines, the legend and the frame.
struct DimensionsFigure {
    Figure Shapes;
    LabelBox Legend;
    std::array<std::string, DimensionCount> Texts {};
    DimensionLabelBoxes Boxes;
};
DimensionsFigure DimensionsSectionFigure(ReportContext& ctx, const WallLayout& layout);

// The colour each load case is drawn in on the Loads page, by load case 1..7.
int LoadCaseColour(int loadCase);

// The calculation sheet of ctx's record and results as printed lines, wrapped to the section
// frame in the sheet's font; the number of half pages they fill; and half page `half` (from 0)
// of them in the current half page ctx.HalfPageSlot.
std::vector<std::string> SheetPrintLines(ReportContext& ctx);
int SheetHalfPages(ReportContext& ctx, const std::vector<std::string>& lines);
void PrintSheetSection(ReportContext& ctx, const std::vector<std::string>& lines, int half);

// Index into the unit label tables: UnitSystem, or Metric for a value outside 0..2.
size_t UnitIndex(const Project& project);

} // namespace pendrake::report
