// What the parts of the wall geometry share among themselves: stepping along a direction, the
// distance of two points, and the ordinate below which nothing is drawn. Only for drawing/'s
// own sources.
#pragma once

#include "drawing/WallGeometry.h"

#include <cmath>

namespace pendrake {

namespace {

// Ordinates and pressures this small draw nothing (the report's own threshold).
constexpr double NegligibleOrdinate = 1e-5;

inline DrawPoint Plus(DrawPoint p, DrawPoint d, double k)
{
    return { p.X + d.X * k, p.Y + d.Y * k };
}

inline double Distance(DrawPoint a, DrawPoint b)
{
    return std::hypot(b.X - a.X, b.Y - a.Y);
}

} // namespace

} // namespace pendrake
