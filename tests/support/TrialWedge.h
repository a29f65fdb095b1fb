// Coulomb's trial wedges, the independent check of the earth-pressure coefficients that the
// calculator and the section forces of the leaning face compute in closed form.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace pendrake::test {

// Angles in degrees: friction, wall friction, the back's lean and the surface's slope.
struct WedgeCase {
    float phi, delta, theta, slope, kh;
    bool passive;
};

// Coulomb's thrust on a back face of unit height leaning theta under the soil (heel at the
// origin), from the equilibrium of each wedge between the back and a plane through the heel:
// the largest thrust is the active one, the smallest the passive one. Loaded by its own weight
// (unit weight 1, so K = 2P) or by a unit surcharge along the sloping surface alone. Under
// earthquake the wedge carries kh times its load towards the wall when active, away from it when
// passive (Mononobe-Okabe).
inline double WedgeThrust(const WedgeCase& w, double kh, bool surchargeOnly)
{
    const double r = std::numbers::pi / 180;
    const double phi = w.phi * r;
    const double theta = w.theta * r;
    // Wall friction holds the wedge up when it slides down (active), down when pushed up.
    const double wallAngle = theta + (w.passive ? -w.delta : w.delta) * r;
    const double px = std::cos(wallAngle);
    const double py = std::sin(wallAngle);
    const double ax = -std::tan(theta); // top of the back, at height 1
    const double ex = std::cos(w.slope * r);
    const double ey = std::sin(w.slope * r);
    // A plane this close to parallel with the surface never meets it.
    constexpr double parallel = 1e-12;
    constexpr int steps = 100000;
    double best = w.passive ? std::numeric_limits<double>::max() : 0;
    for (int n = 1; n < steps; ++n) {
        const double rho = n * (std::numbers::pi / 2) / steps;
        const double dx = std::cos(rho);
        const double dy = std::sin(rho);
        const double det = ex * dy - dx * ey;
        if (std::abs(det) < parallel)
            continue;
        const double t = (ex - ax * ey) / det; // along the plane to the surface
        const double s = (dx - dy * ax) / det; // along the surface from the top of the back
        if (t <= 0 || s < 0)
            continue;
        const double load = surchargeOnly ? s : 0.5 * std::abs(ax * t * dy - t * dx);
        // Reaction on the plane, turned by phi against the wedge's slip.
        const double rx = w.passive ? -std::sin(rho + phi) : std::sin(phi - rho);
        const double ry = w.passive ? std::cos(rho + phi) : std::cos(rho - phi);
        const double inertia = (w.passive ? kh : -kh) * load;
        const double thrust = (-inertia * ry - rx * load) / (px * ry - rx * py);
        if (thrust > 0)
            best = w.passive ? std::min(best, thrust) : std::max(best, thrust);
    }
    return surchargeOnly ? best : 2 * best;
}

} // namespace pendrake::test
