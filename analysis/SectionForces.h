// Moment, shear and normal force at the wall's three design sections for one set of load
// factors: the upper wall at the shelf, the body at the toe top, and the toe at its face.
#pragma once

#include "analysis/SectionDesign.h"
#include "analysis/Stability.h"
#include "model/Project.h"

#include <array>
#include <cstdint>
#include <vector>

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

// What a force beyond a cut is. Index names the piece (1..13), the part of the body's concrete
// (1..5: the rear step slab and the body over the flat bottom, the lower slope, the lower slope
// and flat segment, the rear slope), the line-load slot, the stretch of the leaning face (1 above
// the water table, 2 below), the seismic soil term (14, 15, 18), the underside segment (1..4) or
// the anchor row.
enum class SectionTermSource : int16_t {
    LineLoad,
    FaceEarthPressure, // Coulomb on the leaning upper back face
    FaceSeismicIncrement, // the Mononobe-Okabe increment over it
    Surcharge,
    Piece, // a piece's weight as the load cases give it
    Concrete, // the body's concrete above the cut
    PieceInertia,
    ConcreteInertia,
    SeismicSoil, // the increments on the virtual back and their wall friction
    FrontWaterSurge, // Westergaard, above the cut
    BackWater,
    FrontWater,
    FaceWater, // water resting on the leaning face below the water table
    ShelfWater,
    Uplift,
    ToeFrontWater, // front water standing on the toe
    ToeUplift, // back water under the toe
    BaseReaction, // the base pressure beyond the cut, along the resultant's line
    ToeShearReaction, // the base pressure in front of the toe's critical shear section
    AnchorPull,
};

// One force beyond a cut and what it adds to the cut's sums. Horizontal (towards the backfill),
// Vertical (downward) and the point (X, Y) are the force as summed; the moment is about the
// cut's centre. The toe's shear is formed at its critical section: there Shear is the part of
// the force that lies in front of it, not a component.
struct SectionTerm {
    SectionTermSource Source = SectionTermSource::Piece;
    int16_t Index = 0;
    // The load case whose factor the force carries; 0 for the base reaction and the anchor pull,
    // which hold the structure, and for a load of no known case.
    int16_t Case = 0;
    double Horizontal = 0;
    double Vertical = 0;
    double X = 0;
    double Y = 0;
    double Moment = 0;
    double Shear = 0;
    double Normal = 0;
    // A base reaction: the stretch From..To of the projected base it covers, the projected
    // pressures at its ends, and its force (their trapezoid) along the resultant's line. An
    // uplift: the stretch From..To in x of the wetted part, the water pressures at its ends.
    double From = 0;
    double To = 0;
    double PressureFrom = 0;
    double PressureTo = 0;
    double Force = 0;
};

// The forces beyond the three cuts, each in the order the sums take them: adding up a cut's
// terms from 0 in that order gives its section forces to the last bit.
struct SectionForceTrace {
    std::array<std::vector<SectionTerm>, DesignSectionCount + 1> Terms {}; // sections 1..3
    std::array<PlanePoint, DesignSectionCount + 1> Centre {}; // xc, yc of each cut
    double BodyCutWidth = 0; // w2
    double ToeShearDepth = 0;
    // Coulomb on the leaning upper back face and the Mononobe-Okabe increment over it.
    double FaceKa = 0;
    double FaceKaeIncrement = 0;
    double ResultantInclination = 0; // psi of the run whose base reaction is traced
};

// The coefficients of the leaning upper back face (concrete to earth friction) for the settled
// slope: Coulomb's Ka, and the Mononobe-Okabe Kae over it, formed only where the section forces
// use it (a face of some height with Ka > 0, and a slope that has a seismic pressure; 0
// otherwise). No load factor enters either.
struct FaceCoefficients {
    double Ka = 0;
    double Kae = 0;
};
FaceCoefficients UpperFaceCoefficients(const Project& settled, bool seismicUndefined);

// A plane area with its centroid: Length² per unit length of wall, and Length.
struct PlaneArea {
    double A = 0;
    double X = 0;
    double Y = 0;
};

// What the cuts of one wall share over every set of load factors: the face's coefficients and
// the parts of the body's concrete above the body's cut at the toe top (the rear step slab and the
// body over the flat bottom, the lower slope, the lower slope and flat segment, the rear slope).
struct CutConstants {
    FaceCoefficients Face;
    std::array<PlaneArea, 5> BodyConcrete {};
};
CutConstants CutConstantsOf(const Project& settled, bool seismicUndefined);

// What the stability and the section forces of one wall share over every set of load factors,
// formed once per wall: the stability basis and what the cuts share. It refers to the stability
// basis, formed first so that a wall that fails under service loads costs nothing more; that
// basis must outlive it.
class WallSectionBasis {
public:
    explicit WallSectionBasis(const WallStabilityBasis& stability);
    const WallStabilityBasis& Stability() const { return stability_; }
    const WallLoadBasis& Loads() const { return stability_.Loads(); }
    const CutConstants& Cuts() const { return cuts_; }

private:
    const WallStabilityBasis& stability_;
    CutConstants cuts_;
};

// Runs the stability analysis for the factors f and, when the structure is stable
// (Stability.Stable), sums the forces beyond the three cuts; otherwise the section arrays hold 0.
// The toe's critical shear section lies the effective depth to bars of diameter toeBarDia
// (stored small length, cm or in) in front of the face. With a trace, the forces are listed
// there too (left empty when the structure is not stable); without one nothing is listed.
SectionForceResults ComputeSectionForces(const Project& project, const LoadFactors& f,
    float toeBarDia, SectionForceTrace* trace = nullptr);

// The same from the wall's basis, without a trace: the same numbers, to the last bit, as for the
// project the basis was formed from.
SectionForceResults ComputeSectionForces(
    const WallSectionBasis& basis, const LoadFactors& f, float toeBarDia);

// The loads of the cases beyond the three cuts for the factors f, as ComputeSectionForces sums
// them, without the base reaction and the anchor pull: those hold the structure and follow from
// the base of each stable run. Formed whether or not the structure stands. Every load term is
// linear in its case's factor, so a combination's loads are these at factor 1 times its factors.
SectionForceTrace TraceSectionLoads(const Project& project, const LoadFactors& f, float toeBarDia);

// The sums beyond the three cuts for a stability analysis already in r.Stability (stable, run
// for the same factors f).
void SumSectionForces(const Project& project, const LoadFactors& f, float toeBarDia,
    SectionForceResults& r, SectionForceTrace* trace = nullptr);

// The toe's shear at its critical section (SectionShear[3]) for bars of another diameter, from
// the stability analysis of the same factors: only the critical section moves with the bars.
float ToeSectionShear(
    const Project& project, const LoadFactors& f, const StabilityResults& s, float toeBarDia);

} // namespace pendrake
