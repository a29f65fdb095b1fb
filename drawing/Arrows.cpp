// The strokes of single and dimension arrows.
#include "drawing/WallGeometry.h"

namespace pendrake {

namespace {

// A dimension arrow shows its heads inside from three head lengths up.
constexpr double DimensionHeadRoom = 3;
// A zero-length arrow leaves this mark.
constexpr double ZeroArrowMark = 4;

} // namespace

std::vector<Stroke> ArrowStrokes(DrawPoint from, DrawPoint to, ArrowKind kind, ArrowHead head)
{
    std::vector<Stroke> strokes;
    const double length = Distance(from, to);
    if (length == 0) {
        strokes.push_back(
            { { to.X - ZeroArrowMark / 2, to.Y }, { to.X + ZeroArrowMark / 2, to.Y } });
        return strokes;
    }
    const DrawPoint u { (to.X - from.X) / length, (to.Y - from.Y) / length };
    // Two strokes from `tip` back along `back` (unit), spread across it.
    auto headAt = [&](DrawPoint tip, DrawPoint back, double len, double half) {
        const DrawPoint across { -back.Y, back.X };
        const DrawPoint base = Plus(tip, back, len);
        strokes.push_back({ tip, Plus(base, across, half) });
        strokes.push_back({ tip, Plus(base, across, -half) });
    };
    strokes.push_back({ from, to });
    const DrawPoint backward { -u.X, -u.Y };
    if (kind == ArrowKind::Dimension) {
        if (length >= DimensionHeadRoom * head.Length) {
            headAt(to, backward, head.Length, head.HalfWidth);
            headAt(from, u, head.Length, head.HalfWidth);
        } else {
            // No room inside: leaders outside both ends, heads pointing in.
            const DrawPoint outAtEnd = Plus(to, u, 2 * head.Length);
            const DrawPoint outAtStart = Plus(from, u, -2 * head.Length);
            strokes.push_back({ to, outAtEnd });
            strokes.push_back({ from, outAtStart });
            headAt(to, u, head.Length, head.HalfWidth);
            headAt(from, backward, head.Length, head.HalfWidth);
        }
    } else if (length >= head.Length) {
        headAt(to, backward, head.Length, head.HalfWidth);
    } else {
        headAt(to, backward, length, head.HalfWidth * length / head.Length);
    }
    return strokes;
}

} // namespace pendrake
