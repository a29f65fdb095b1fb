// The area and centroid of a closed polygon (the shoelace sums), for checking the pieces' and the
// cuts' weights and arms against an outline drawn independently of the engine.
#pragma once

#include <cstddef>
#include <vector>

namespace pendrake::test {

struct Measure {
    double A = 0; // signed: positive when the corners run anticlockwise
    double X = 0;
    double Y = 0;
};

// Any point type with X and Y.
template <class Point> Measure Shoelace(const std::vector<Point>& poly)
{
    double a2 = 0, cx = 0, cy = 0;
    for (size_t i = 0; i < poly.size(); ++i) {
        const Point& a = poly[i];
        const Point& b = poly[(i + 1) % poly.size()];
        const double cross = a.X * b.Y - b.X * a.Y;
        a2 += cross;
        cx += (a.X + b.X) * cross;
        cy += (a.Y + b.Y) * cross;
    }
    return { a2 / 2, cx / (3 * a2), cy / (3 * a2) };
}

} // namespace pendrake::test
