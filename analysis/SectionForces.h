// Moment, shear and normal force at the wall's three design sections for one set of load
// factors: the upper wall at the shelf, the body at the toe top, and the toe at its face.
#pragma once

#include "analysis/SectionDesign.h"
#include "analysis/Stability.h"
#include "model/Project.h"

#include <array>

namespace pendrake {

// The "M+" design row of the toe: the bars along its underside, which fix the toe's effective
// depth for shear.
inline constexpr int ToeDesignRow = 6;

// The three cuts, for the part of the structure beyond each (above sections 1 and 2, in front
// of section 3), in project units per unit length of wall:
//   1: horizontal, through the upper wall at the shelf level, centre at
//      x = ToeWidth + (TopWidth + UpperBackOffset)/2, y = shelf level;
//   2: horizontal, through the body at the toe top, centre at x = ToeWidth + w2/2,
//      y = ToeHeight, w2 the body's width there (BodyWidthAtToeTop);
//   3: vertical, through the toe at its face x = ToeWidth, centre at y = ToeHeight/2.
// For a force of horizontal component Fx (towards the backfill) and upward component Fy at
// (X, Y): moment += -Fy (X - xc) + Fx (Y - yc) on every cut; on the horizontal cuts
// normal += -Fy and shear += Fx; on the vertical cut normal += Fx and shear += Fy. Normal
// forces are positive in compression. The toe's shear is taken at its critical section, a
// distance d (ToeShearDepth) in front of the face.
struct SectionForceResults {
    // The stability analysis (and through it the load cases) the forces were formed from.
    StabilityResults Stability;

    std::array<float, DesignSectionCount + 1> SectionMoment {}; // sections 1..3
    std::array<float, DesignSectionCount + 1> SectionShear {};
    std::array<float, DesignSectionCount + 1> SectionNormal {};

    // Coefficients of the leaning upper back face (concrete to earth friction): Coulomb, and
    // the Mononobe-Okabe increment over it (never below 0).
    float UpperFaceKa = 0;
    float UpperFaceKaeIncrement = 0;
    float BodyCutWidth = 0; // w2, Length
    float ToeShearDepth = 0; // distance of the toe's critical shear section from the face, Length
};

// Runs the stability analysis for the factors f and, when the structure is stable
// (Stability.Stable), sums the forces beyond the three cuts; otherwise the section arrays hold 0.
// The toe's critical shear section lies the effective depth to bars of diameter toeBarDia
// (stored small length, cm or in) in front of the face.
SectionForceResults ComputeSectionForces(
    const Project& project, const LoadFactors& f, float toeBarDia);

// The sums beyond the three cuts for a stability analysis already in r.Stability (stable, run
// for the same factors f).
void SumSectionForces(
    const Project& project, const LoadFactors& f, float toeBarDia, SectionForceResults& r);

// The toe's shear at its critical section (SectionShear[3]) for bars of another diameter, from
// the stability analysis of the same factors: only the critical section moves with the bars.
float ToeSectionShear(
    const Project& project, const LoadFactors& f, const StabilityResults& s, float toeBarDia);

} // namespace pendrake
