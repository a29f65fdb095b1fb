// The places of the seventeen dimension values, and boxes moved apart until none overlaps.
#include "drawing/WallGeometry.h"

#include <algorithm>

namespace pendrake {

namespace {

// Places of the dimension values, twips, as the main window sets them out.
constexpr double LabelFitMargin = 30; // a value fits a span that is this much wider
constexpr double LabelBesidePoint = 30; // a value that does not fit stands this far off
constexpr double TopRowAboveNode10 = 210; // first row of the top widths, above node 10
constexpr double TopSecondRowAboveNode10 = 360;
constexpr double BottomRowBelowNode4 = 275; // first row of the bottom widths, below node 4
constexpr double BottomSecondRowBelowNode4 = 420;
constexpr double HeightLabelsOut = 225; // left of node 11 and right of node 10
constexpr double WaterLabelsOut = 225 + 360;
constexpr double SlopeLabelBeyondMiddle = 480;

} // namespace

bool BoxesOverlap(const LabelBox& a, const LabelBox& b)
{
    return a.Left < b.Right() + LabelGap && b.Left < a.Right() + LabelGap
        && a.Top < b.Bottom() + LabelGap && b.Top < a.Bottom() + LabelGap;
}

namespace {

LabelBox Pushed(const std::vector<LabelBox>& boxes, size_t i, PushDirection d)
{
    LabelBox b = boxes[i];
    const auto earlier = boxes.begin() + static_cast<long>(i);
    // Each pass moves b past one earlier box for good; i passes suffice.
    for (size_t pass = 0; pass <= i; ++pass) {
        const auto hit = std::find_if(
            boxes.begin(), earlier, [&](const LabelBox& o) { return BoxesOverlap(b, o); });
        if (hit == earlier)
            break;
        switch (d) {
        case PushDirection::Left: b.Left = hit->Left - LabelGap - b.Width; break;
        case PushDirection::Right: b.Left = hit->Right() + LabelGap; break;
        case PushDirection::Up: b.Top = hit->Top - LabelGap - b.Height; break;
        case PushDirection::Down: b.Top = hit->Bottom() + LabelGap; break;
        }
    }
    return b;
}

bool Within(const LabelBox& b, const LabelBox& bounds)
{
    return b.Left >= bounds.Left && b.Top >= bounds.Top && b.Right() <= bounds.Right()
        && b.Bottom() <= bounds.Bottom();
}

// The box moved inside `bounds` along each axis it fits on.
LabelBox BroughtInside(LabelBox b, const LabelBox& bounds)
{
    if (b.Width <= bounds.Width)
        b.Left = std::clamp(b.Left, bounds.Left, bounds.Right() - b.Width);
    if (b.Height <= bounds.Height)
        b.Top = std::clamp(b.Top, bounds.Top, bounds.Bottom() - b.Height);
    return b;
}

} // namespace

void SeparateBoxes(std::vector<LabelBox>& boxes, const std::vector<PushDirection>& directions,
    size_t fixedCount, const LabelBox* bounds)
{
    using P = PushDirection;
    for (size_t i = fixedCount; i < boxes.size(); ++i) {
        const P own = i < directions.size() ? directions[i] : P::Down;
        if (bounds == nullptr) {
            boxes[i] = Pushed(boxes, i, own);
            continue;
        }
        boxes[i] = BroughtInside(boxes[i], *bounds);
        const bool vertical = own == P::Up || own == P::Down;
        const P across1 = vertical ? P::Right : P::Down;
        const P across2 = vertical ? P::Left : P::Up;
        const P back = own == P::Up ? P::Down
            : own == P::Down        ? P::Up
            : own == P::Left        ? P::Right
                                    : P::Left;
        LabelBox chosen = Pushed(boxes, i, own);
        if (!Within(chosen, *bounds)) {
            for (P d : { across1, across2, back }) {
                const LabelBox tried = Pushed(boxes, i, d);
                if (Within(tried, *bounds)) {
                    chosen = tried;
                    break;
                }
            }
        }
        boxes[i] = chosen;
    }
}

DimensionLabelBoxes PlaceDimensionLabels(const WallLayout& L,
    const std::array<LabelBox, DimensionCount>& sizes, const LabelBox& slopeSize,
    const std::vector<LabelBox>& obstacles)
{
    auto X = [&](int k) { return double(L.NodeX[k]); };
    auto Y = [&](int k) { return double(L.NodeY[k]); };
    auto W = [&](int i) { return sizes[i].Width; };
    auto H = [&](int i) { return sizes[i].Height; };
    auto fits = [&](int i, int a, int b) { return W(i) <= std::abs(X(b) - X(a)) - LabelFitMargin; };
    auto centredX = [&](int i, int a, int b) { return (X(a) + X(b)) / 2 - W(i) / 2; };
    auto middleY = [&](int i, int a, int b) { return (Y(a) + Y(b)) / 2 - H(i) / 2; };
    // The second row clears the first whatever the font: at least one label height apart.
    auto topRow = [&](int i, bool second) {
        const double above = second
            ? std::max(TopSecondRowAboveNode10, TopRowAboveNode10 + H(i) + LabelGap)
            : TopRowAboveNode10;
        return Y(10) - above - H(i);
    };
    auto bottomRow = [&](int i, bool second) {
        const double below = second
            ? std::max(BottomSecondRowBelowNode4, BottomRowBelowNode4 + H(i) + LabelGap)
            : BottomRowBelowNode4;
        return Y(4) + below;
    };

    std::array<LabelBox, DimensionCount> d = sizes;
    auto at = [&](int i, double left, double top) {
        d[i].Left = left;
        d[i].Top = top;
    };

    // Widths over the top.
    at(0, fits(0, 1, 9) ? centredX(0, 1, 9) : X(9) - LabelBesidePoint - W(0), topRow(0, false));
    at(1, centredX(1, 9, 8), topRow(1, !fits(1, 9, 8)));
    at(2, fits(2, 8, 7) ? centredX(2, 8, 7) : X(8) + LabelBesidePoint, topRow(2, !fits(2, 8, 7)));
    // The slope value with "1 : " in front, its right edge beyond the middle of nodes 7 and 10.
    LabelBox slopeBox;
    slopeBox.Width = slopeSize.Width + W(11);
    slopeBox.Height = std::max(slopeSize.Height, H(11));
    slopeBox.Left = (X(7) + X(10)) / 2 + SlopeLabelBeyondMiddle - slopeBox.Width;
    slopeBox.Top = topRow(11, false);

    // Widths under the base.
    at(3, fits(3, 4, 2) ? centredX(3, 4, 2) : X(2) - LabelBesidePoint - W(3), bottomRow(3, false));
    at(4, centredX(4, 2, 5), bottomRow(4, !fits(4, 2, 5)));
    at(5, centredX(5, 5, 15), bottomRow(5, !fits(5, 5, 15)));
    at(15, centredX(15, 15, 16), bottomRow(15, !fits(15, 15, 16)));
    at(16, fits(16, 16, 6) ? centredX(16, 16, 6) : X(16) + LabelBesidePoint,
        bottomRow(16, !fits(16, 16, 6)));

    // Heights in front, right-aligned before node 11.
    at(6, X(11) - HeightLabelsOut - W(6), middleY(6, 1, 2));
    at(7, X(11) - HeightLabelsOut - W(7), middleY(7, 3, 4));
    at(12, X(11) - WaterLabelsOut - W(12), middleY(12, 1, 11));
    // Heights behind, beyond node 10.
    at(8, X(10) + HeightLabelsOut, middleY(8, 9, 8));
    at(9, X(10) + HeightLabelsOut, middleY(9, 7, 6));
    at(10, X(10) + HeightLabelsOut, middleY(10, 6, 16));
    at(14, X(10) + HeightLabelsOut, middleY(14, 16, 5));
    at(13, X(14) + WaterLabelsOut, middleY(13, 9, 14));

    // Settle overlaps: the obstacles stay, then each value in this order moves along its row
    // (widths, the water depths) or down its column (heights).
    using P = PushDirection;
    struct Entry {
        int Index; // -1: the slope box
        P Push;
    };
    static constexpr std::array<Entry, DimensionCount> order = { {
        { 0, P::Left },
        { 1, P::Right },
        { 2, P::Right },
        { -1, P::Right },
        { 3, P::Left },
        { 4, P::Right },
        { 5, P::Right },
        { 15, P::Right },
        { 16, P::Right },
        { 6, P::Down },
        { 7, P::Down },
        { 12, P::Left },
        { 8, P::Down },
        { 9, P::Down },
        { 10, P::Down },
        { 14, P::Down },
        { 13, P::Right },
    } };
    std::vector<LabelBox> boxes(obstacles);
    std::vector<PushDirection> pushes(obstacles.size(), P::Down);
    for (const Entry& e : order) {
        boxes.push_back(e.Index < 0 ? slopeBox : d[static_cast<size_t>(e.Index)]);
        pushes.push_back(e.Push);
    }
    const LabelBox surface { 0, 0, L.SurfaceWidth, L.SurfaceHeight };
    SeparateBoxes(boxes, pushes, obstacles.size(), &surface);

    DimensionLabelBoxes out;
    for (size_t n = 0; n < order.size(); ++n) {
        const LabelBox& b = boxes[obstacles.size() + n];
        if (order[n].Index >= 0) {
            out.Dim[static_cast<size_t>(order[n].Index)] = b;
        } else {
            out.Slope = { b.Left, b.Top, slopeSize.Width, slopeSize.Height };
            out.Dim[11] = { b.Left + slopeSize.Width, b.Top, W(11), H(11) };
        }
    }
    return out;
}

} // namespace pendrake
