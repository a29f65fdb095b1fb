// Where the values of a drawing stand: each text box at the free place nearest to where it
// wants to be, clear of the texts placed before it, of every line and arrow of the figure and
// of the edge of the panel or the section frame. The screen and the paper use this one
// placement, each with its own text sizes. No toolkit here.
#pragma once

#include "drawing/WallGeometry.h"

#include <functional>
#include <vector>

namespace pendrake {

// A label keeps this far from a line and from the edge of its bounds (surface units).
inline constexpr double LabelClearance = 15;

// Width and height of a text on the surface (a font's metrics, or a fixed model in tests).
using TextMeasure = std::function<LabelBox(const std::string& text)>;

// The box of `text` anchored as the figure text says (its At and alignment), given its size.
LabelBox AnchoredBox(const FigureText& text, const LabelBox& size);

// The straight pieces a label must not touch: the figure's lines and its polygons' edges.
std::vector<Stroke> FigureStrokes(const Figure& figure);

// True when the segment passes through `box` grown by `clearance` on every side.
bool BoxMeetsStroke(const LabelBox& box, const Stroke& stroke, double clearance);

// True when `box` lies inside `bounds` with `clearance` to spare on every side.
bool BoxInside(const LabelBox& box, const LabelBox& bounds, double clearance);

struct LabelWish {
    LabelBox Box; // where the label would stand
    DrawPoint Away; // the side it may best move to (unit vector; zero: any side)
};

// Places the labels in order: each keeps its wished box when that is free, else takes the free
// box nearest to it on a grid of half its height, preferring its Away side. Free means inside
// `bounds`, clear of `fixed`, of the labels placed before and of every stroke. A label for
// which no free place exists anywhere in `bounds` keeps its wished box brought inside.
std::vector<LabelBox> PlaceLabels(const std::vector<LabelWish>& wishes,
    const std::vector<Stroke>& strokes, const std::vector<LabelBox>& fixed, const LabelBox& bounds);

// The wish of a figure text: its anchored box, moving preferably away from its anchor.
LabelWish WishOf(const FigureText& text, const LabelBox& size);

} // namespace pendrake
