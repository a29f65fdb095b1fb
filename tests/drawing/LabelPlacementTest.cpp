// On random walls, no value of any view or of the report's drawings touches another value, a
// line or arrow of its figure, or the edge of the panel or the section frame.
#include "drawing/LabelPlacement.h"
#include "document/ProjectDocument.h"
#include "drawing/ViewFigure.h"
#include "report/RecordingCanvas.h"
#include "report/ReportSections.h"
#include "support/RandomWalls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace pendrake {
namespace {

// A panel of the main window's usual size, twips, and texts of a fixed width per character.
constexpr double PanelWidth = 12000;
constexpr double PanelHeight = 8400;
constexpr double TwipsPerCharacter = 110;
constexpr double TextHeightTwips = 240;

LabelBox FixedWidthText(const std::string& text)
{
    return { 0, 0, TwipsPerCharacter * double(text.size()), TextHeightTwips };
}

bool Meet(const LabelBox& a, const LabelBox& b)
{
    return a.Left < b.Right() && b.Left < a.Right() && a.Top < b.Bottom() && b.Top < a.Bottom();
}

// Every fault of the placed boxes, as text: a box that leaves the bounds, meets a stroke,
// a fixed box or an earlier box. None is expected.
void ExpectNoFaults(const std::vector<LabelBox>& boxes, const std::vector<Stroke>& strokes,
    const std::vector<LabelBox>& fixed, const LabelBox& bounds)
{
    std::vector<std::string> faults;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const LabelBox& b = boxes[i];
        const std::string name = "label " + std::to_string(i);
        if (!BoxInside(b, bounds, 0))
            faults.push_back(name + " leaves the edge");
        if (std::ranges::any_of(strokes, [&b](const Stroke& s) { return BoxMeetsStroke(b, s, 0); }))
            faults.push_back(name + " meets a line");
        if (std::ranges::any_of(fixed, [&b](const LabelBox& f) { return Meet(b, f); }))
            faults.push_back(name + " meets a caption or legend");
        for (size_t j = 0; j < i; ++j)
            if (Meet(b, boxes[j]))
                faults.push_back(name + " meets label " + std::to_string(j));
    }
    EXPECT_TRUE(faults.empty()) << faults.front();
}

std::vector<LabelBox> DimensionValueBoxes(const DimensionLabelBoxes& d)
{
    std::vector<LabelBox> boxes(d.Dim.begin(), d.Dim.end());
    // "1 : " and the slope value are one text.
    boxes[11] = { d.Slope.Left, d.Slope.Top, d.Dim[11].Right() - d.Slope.Left, d.Dim[11].Height };
    return boxes;
}

TEST(LabelPlacement, NoValueTouchesALineAnotherValueOrTheEdgeOnRandomWalls)
{
    test::RandomWallGenerator walls(1313, test::WallInputs::Stability);
    const ViewTextSizes sizes { FixedWidthText, FixedWidthText };
    int checkedReactions = 0;
    for (int n = 0; n < 300; ++n) {
        const ProjectDocument document(walls.Next(), "");
        SCOPED_TRACE("wall " + std::to_string(n));
        const bool stable = document.Stability().Stable;
        for (int v = 0; v < ViewKindCount; ++v) {
            const ViewKind kind = static_cast<ViewKind>(v);
            if (kind == ViewKind::Reactions && !stable)
                continue; // the window shows Dimensions instead
            SCOPED_TRACE(std::string(ViewKindName[size_t(v)]));
            const ViewDrawing d = BuildViewDrawing(
                document.Record(), document.Stability(), kind, PanelWidth, PanelHeight, sizes);
            std::vector<LabelBox> all = d.TextBoxes;
            if (d.HasDimensionValues) {
                const std::vector<LabelBox> dims = DimensionValueBoxes(d.DimensionBoxes);
                all.insert(all.end(), dims.begin(), dims.end());
            }
            ExpectNoFaults(all, FigureStrokes(d.Shapes), {}, d.Bounds);
            checkedReactions += kind == ViewKind::Reactions;
        }

        // The report's drawings, in the upper half of a sheet.
        report::RecordingCanvas canvas;
        report::ReportContext ctx(canvas, document);
        ASSERT_TRUE(report::SetupPage(ctx));
        ctx.HalfPageSlot = 0;
        for (const char* section : { "Loads", "Reactions" }) {
            SCOPED_TRACE(section);
            const bool loads = std::string(section) == "Loads";
            if (!loads && !stable)
                continue;
            const WallLayout& L = report::BeginDrawingSection(ctx, section, 6);
            const report::SectionFigure s = loads ? report::LoadsSectionFigure(ctx, L)
                                                  : report::ReactionsSectionFigure(ctx, L);
            const std::vector<LabelBox> placed = report::PlaceFigureTexts(ctx, s.Shapes, s.Fixed);
            ExpectNoFaults(placed, FigureStrokes(s.Shapes), s.Fixed, report::DrawingBounds(ctx));
        }
        SCOPED_TRACE("Dimensions page");
        report::BeginSection(ctx);
        const report::DimensionsFigure d
            = report::DimensionsSectionFigure(ctx, report::LayoutWall(ctx));
        ExpectNoFaults(DimensionValueBoxes(d.Boxes), FigureStrokes(d.Shapes), { d.Legend },
            report::DrawingBounds(ctx));
    }
    // The random walls are stable often enough that the reactions were tried.
    EXPECT_GT(checkedReactions, 30);
}

} // namespace
} // namespace pendrake
