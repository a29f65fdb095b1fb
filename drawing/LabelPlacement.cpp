// Label placement: the nearest free box on a widening ring of candidate places.
#include "drawing/LabelPlacement.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace pendrake {

namespace {

// Candidates stand this share of the label's height apart.
constexpr double GridShareOfHeight = 0.5;
// How much a step towards the label's Away side is cheaper than one across it.
constexpr double AwayPreference = 0.6;

struct Candidate {
    int I = 0;
    int J = 0;
    double Cost = 0;
};

} // namespace

LabelBox AnchoredBox(const FigureText& t, const LabelBox& size)
{
    LabelBox b { t.At.X, t.At.Y, size.Width, size.Height };
    if (t.Horizontal == HAlign::Centre)
        b.Left -= size.Width / 2;
    else if (t.Horizontal == HAlign::Right)
        b.Left -= size.Width;
    if (t.Vertical == VAlign::Middle)
        b.Top -= size.Height / 2;
    else if (t.Vertical == VAlign::Bottom)
        b.Top -= size.Height;
    return b;
}

LabelWish WishOf(const FigureText& t, const LabelBox& size)
{
    DrawPoint away { 0, 0 };
    if (t.Horizontal == HAlign::Left)
        away.X = 1;
    else if (t.Horizontal == HAlign::Right)
        away.X = -1;
    if (t.Vertical == VAlign::Top)
        away.Y = 1;
    else if (t.Vertical == VAlign::Bottom)
        away.Y = -1;
    const double n = std::hypot(away.X, away.Y);
    if (n > 0)
        away = { away.X / n, away.Y / n };
    return { AnchoredBox(t, size), away };
}

std::vector<Stroke> FigureStrokes(const Figure& f)
{
    std::vector<Stroke> strokes;
    for (const FigureLine& l : f.Lines)
        strokes.push_back({ l.A, l.B });
    for (const FigurePolygon& poly : f.Polygons) {
        const size_t n = poly.Points.size();
        for (size_t i = 0; i < n && n >= 2; ++i)
            strokes.push_back({ poly.Points[i], poly.Points[(i + 1) % n] });
    }
    return strokes;
}

bool BoxMeetsStroke(const LabelBox& box, const Stroke& s, double clearance)
{
    const double x0 = box.Left - clearance;
    const double x1 = box.Right() + clearance;
    const double y0 = box.Top - clearance;
    const double y1 = box.Bottom() + clearance;
    if (std::max(s.A.X, s.B.X) < x0 || std::min(s.A.X, s.B.X) > x1 || std::max(s.A.Y, s.B.Y) < y0
        || std::min(s.A.Y, s.B.Y) > y1)
        return false;
    // Liang-Barsky: clip the segment's parameter range to each side of the box.
    const double dx = s.B.X - s.A.X;
    const double dy = s.B.Y - s.A.Y;
    double t0 = 0;
    double t1 = 1;
    auto clip = [&](double p, double q) {
        if (p == 0)
            return q >= 0;
        const double t = q / p;
        if (p < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        return t0 <= t1;
    };
    return clip(-dx, s.A.X - x0) && clip(dx, x1 - s.A.X) && clip(-dy, s.A.Y - y0)
        && clip(dy, y1 - s.A.Y);
}

bool BoxInside(const LabelBox& b, const LabelBox& bounds, double clearance)
{
    return b.Left >= bounds.Left + clearance && b.Top >= bounds.Top + clearance
        && b.Right() <= bounds.Right() - clearance && b.Bottom() <= bounds.Bottom() - clearance;
}

std::vector<LabelBox> PlaceLabels(const std::vector<LabelWish>& wishes,
    const std::vector<Stroke>& strokes, const std::vector<LabelBox>& fixed, const LabelBox& bounds)
{
    std::vector<LabelBox> taken(fixed);
    std::vector<LabelBox> placed;
    placed.reserve(wishes.size());
    for (const LabelWish& wish : wishes) {
        const LabelBox& want = wish.Box;
        auto free = [&](const LabelBox& b) {
            if (!BoxInside(b, bounds, LabelClearance))
                return false;
            for (const LabelBox& o : taken)
                if (BoxesOverlap(b, o))
                    return false;
            for (const Stroke& s : strokes)
                if (BoxMeetsStroke(b, s, LabelClearance))
                    return false;
            return true;
        };
        const double step = std::max(want.Height * GridShareOfHeight, LabelClearance);
        const double reach = std::max(bounds.Width, bounds.Height) + want.Width + want.Height;
        const int rings = static_cast<int>(std::ceil(reach / step));
        std::optional<LabelBox> found;
        if (free(want))
            found = want;
        std::vector<Candidate> ring;
        for (int r = 1; r <= rings && !found; ++r) {
            ring.clear();
            for (int i = -r; i <= r; ++i) {
                for (int j = -r; j <= r; ++j) {
                    if (std::max(std::abs(i), std::abs(j)) != r)
                        continue;
                    const double along = i * wish.Away.X + j * wish.Away.Y;
                    ring.push_back({ i, j, std::hypot(i, j) - AwayPreference * along });
                }
            }
            std::sort(ring.begin(), ring.end(),
                [](const Candidate& a, const Candidate& b) { return a.Cost < b.Cost; });
            for (const Candidate& c : ring) {
                LabelBox b = want;
                b.Left += c.I * step;
                b.Top += c.J * step;
                if (free(b)) {
                    found = b;
                    break;
                }
            }
        }
        LabelBox chosen = want;
        if (found) {
            chosen = *found;
        } else {
            // Nowhere free: at least on the surface.
            if (chosen.Width <= bounds.Width)
                chosen.Left = std::clamp(chosen.Left, bounds.Left, bounds.Right() - chosen.Width);
            if (chosen.Height <= bounds.Height)
                chosen.Top = std::clamp(chosen.Top, bounds.Top, bounds.Bottom() - chosen.Height);
        }
        placed.push_back(chosen);
        taken.push_back(chosen);
    }
    return placed;
}

} // namespace pendrake
