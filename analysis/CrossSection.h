// The cross-section as the load cases see it: levels and widths of the wall and its backfill,
// the underside points, the 13 pieces of concrete and soil, and the load factors of a run.
// Shared by the load cases, the earth pressure, the stability and the section forces.
#pragma once

#include "model/Project.h"
#include "model/Units.h"

#include <array>

namespace pendrake {

inline constexpr int PieceCount = 13; // wall and soil pieces 1..13

// Factors of one analysis run per load case 1..7 (index 0 unused): all 1 for service loads, a
// combination's factors for a design run. A load of no known case counts unfactored.
struct LoadFactors {
    std::array<float, LoadCaseCount + 1> Factor { 0, 1, 1, 1, 1, 1, 1, 1 };

    double operator[](int loadCase) const
    {
        if (loadCase < 1 || loadCase > LoadCaseCount)
            return 1.0;
        return Factor[static_cast<size_t>(loadCase)];
    }
    bool operator==(const LoadFactors&) const = default;
};

// The seven factors in single precision, in the load-case order D, L, H, F, T, Impact, E.
LoadFactors MakeLoadFactors(double dead, double live, double soil, double water, double structural,
    double impact, double seismic);

inline constexpr LoadFactors ServiceLoads {};

struct PlanePoint {
    double X = 0;
    double Y = 0;
};

// One of the 13 pieces of concrete and soil, unfactored: weight per unit length of wall and
// its centroid.
struct WallPiece {
    double Weight = 0;
    double X = 0;
    double Y = 0;
};

// Degrees to radians with pi = 4 atan(1) in double precision.
double Radians(double degrees);

// Water depths below the wall top; a negative one (only from a damaged file) stands at the top.
double BackWaterTableDepth(const Project& p);
double FrontWaterTableDepth(const Project& p);

double SoilLength(const Project& p); // L = ShelfWidth + UpperBackOffset
double WallTopLevel(const Project& p); // yTop = FrontHeight + ToeHeight
double ShelfLevel(const Project& p); // LowerSlopeHeight + RearSlopeHeight + RearStepHeight
double RearX(const Project& p); // ToeWidth + TopWidth + UpperBackOffset + ShelfWidth
// The underside from the toe front: P0 toe front, P1 end of the flat bottom, P2 top of the
// lower slope, P3 end of the flat segment, P4 top of the rear slope.
std::array<PlanePoint, 5> UndersidePoints(const Project& p);
// Slope angle i of the backfill surface, radians; 0 for a level backfill.
double BackfillAngle(const Project& p);
// The same for a slope 1 : n that the record may not hold yet.
double BackfillSlopeAngle(float n);
// True when the water table lies above the shelf (BackWaterDepth < UpperBackHeight).
bool BackfillWet(const Project& p);
// hd: depth of the dry soil on the virtual back below the wall top (UpperBackHeight when dry).
double DryDepth(const Project& p);
// hw: height of the submerged soil above the shelf, 0 when dry.
double SubmergedHeight(const Project& p);
// Height of the virtual back from the backfill surface down to the shelf: L tan i + H.
double VirtualBackHeight(const Project& p);

// The 13 pieces, slots 1..13, with the record's slope; slot 0 unused.
std::array<WallPiece, PieceCount + 1> WallPieces(const Project& p);

} // namespace pendrake
