// Forces of the seven load cases on the wall, with their points of application, and the earth
// pressure coefficients of the backfill that the soil and seismic cases use.
#pragma once

#include "analysis/CrossSection.h"
#include "model/Project.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace pendrake {

inline constexpr int SeismicTermCount = 18; // 1..13 pieces, 14..18 soil and water terms
inline constexpr int WaterOrdinateCount = 7; // 1..7
inline constexpr int MaxAnchorRows = 20;

// One anchor row on the underside. Row 1 is the highest anchor.
struct AnchorRow {
    float X = 0;
    float Y = 0;
    float Face = 0; // angle of the underside at the anchor head, radians
    float Along = 0; // force along the anchor per unit length of wall (tension positive)
    float Across = 0; // force across the anchor per unit length of wall
};

// Everything the load cases produce for one set of load factors. Vertical forces positive
// downward; x from the toe front, y from the toe bottom; seismic forces act towards the toe.
// With UpperBackHeight = 0 there is no soil on the virtual back: the coefficients, the soil
// case and the seismic soil terms 14, 15, 18 are all 0 and the slope is not checked.
struct LoadCaseResults {
    // Earth pressure coefficients of the virtual back
    float BackfillSlopeAngle = 0; // radians
    float KaStatic = 0;
    float KaeIncrement = 0;
    float KaeIncrementCopy = 0;
    // The slope checks found the backfill too steep: the run worked with ProposedBackfillSlope
    // (1 : n, n to the next tenth) and proposes it for the record. Messages says why.
    bool SlopeAdjusted = false;
    float ProposedBackfillSlope = 0;

    std::array<float, PieceCount + 1> DeadForce {};
    std::array<float, PieceCount + 1> DeadArm {};
    std::array<float, SeismicTermCount + 1> SeismicForce {};
    std::array<float, SeismicTermCount + 1> SeismicLevel {};
    std::array<float, SeismicTermCount + 1> SeismicArm {};

    std::array<float, 4> SoilPressure {}; // 0..3
    std::array<float, 4> SoilLevel {};
    std::array<float, 4> SoilArm {};
    float SoilPressureMax = 0;

    std::array<float, WaterOrdinateCount + 1> WaterPressure {};
    std::array<float, WaterOrdinateCount + 1> WaterArm {};
    std::array<float, WaterOrdinateCount + 1> WaterLevel {};
    float WaterPressureMax = 0;

    std::array<AnchorRow, MaxAnchorRows + 1> Anchor {}; // rows 1..AnchorRowsPlaced
    int16_t AnchorRowCount = 0; // rows placed

    // Texts the program shows the engineer in a warning box, in order (each at most once).
    std::vector<std::string> Messages;

    // True when the seismic coefficient is so large (theta = atan kh >= phi) that no backfill
    // slope, not even a level one, gives a Mononobe-Okabe pressure. The slope is then left as
    // it is, KaeIncrement and the seismic soil terms 14, 15 and 18 are 0 and Messages explains
    // why. The wall cannot be shown to stand the earthquake: the stability analysis reports it
    // not stable whenever the seismic case takes part (its load factor is not 0). Never set
    // when UpperBackHeight is 0 (no soil on the virtual back).
    bool SeismicUndefined = false;

    // Wetted horizontal widths of the lower and rear sloping underside segments (0 where the
    // segment is dry); the uplift on each slope acts over these widths. A segment of no height
    // below the water table is wet over its whole run.
    float WettedLowerSlope = 0; // w5
    float WettedRearSlope = 0; // w7
};

// A force on the cross-section and a point on its line of action, in the frame of the toe:
// Horizontal positive towards the backfill, Vertical positive DOWNWARD. Its moment about the
// toe front (0, 0), positive when it resists overturning, is Vertical * X + Horizontal * Y
// (see MomentAboutToe). Earth pressure and seismic forces therefore have Horizontal < 0, an
// uplift has Vertical < 0. Forces carry the load factor of their load case already.
struct PointForce {
    double Horizontal = 0;
    double Vertical = 0;
    double X = 0;
    double Y = 0;
};

inline double MomentAboutToe(const PointForce& f)
{
    return f.Vertical * f.X + f.Horizontal * f.Y;
}

// Weights and centroids of the 13 pieces (and the centroid levels in SeismicLevel(1..13)),
// with the dead-load factor.
void ComputeDeadLoads(const Project& p, const LoadFactors& f, LoadCaseResults& r);

// The water ordinates 1..7 with their arms and levels, WaterPressureMax and the wetted widths,
// with the water factor.
void ComputeWaterPressure(const Project& p, const LoadFactors& f, LoadCaseResults& r);

// Anchor heads on the underside: x, y and face angle of AnchorRowsPlaced(p) rows (at most
// MaxAnchorRows), row 1 the highest. The force columns are left to the stability analysis and
// cleared here.
void PlaceAnchors(const Project& p, LoadCaseResults& r);

// Every load case for the factors f, in this order: both backfill slope checks (static, then
// seismic), the dead loads, the static and the seismic earth pressure, the water, the anchors.
// A slope the checks flatten is worked with throughout and proposed in the results: the record
// with the proposal applied gives exactly these numbers, without a message.
LoadCaseResults ComputeLoadCases(const Project& p, const LoadFactors& f = ServiceLoads);

// What the load cases of one wall share over every set of load factors, formed once per wall:
// the slope checks with their messages, the settled record (the project itself, which must outlive
// the basis, or its copy with the new slope), the pieces, Ka and Kae of the virtual back and the
// anchor heads. No load factor enters any of it: each set only scales and places its own loads.
class WallLoadBasis {
public:
    explicit WallLoadBasis(const Project& project);
    WallLoadBasis(const WallLoadBasis&) = delete;
    WallLoadBasis& operator=(const WallLoadBasis&) = delete;

    // The settled record: the project, or a copy that carries the slope the checks settled on.
    const Project& Record() const { return *record_; }
    // The load cases before any load: the slope checks' results and the anchor heads.
    const LoadCaseResults& Unloaded() const { return unloaded_; }
    const std::array<WallPiece, PieceCount + 1>& Pieces() const { return pieces_; }
    double Ka() const { return ka_; }
    double Kae() const { return kae_; }

private:
    LoadCaseResults unloaded_;
    std::optional<Project> copy_;
    const Project* record_;
    std::array<WallPiece, PieceCount + 1> pieces_ {};
    double ka_ = 0;
    double kae_ = 0;
};

// The load cases for the factors f from the wall's basis: the same numbers, to the last bit, as
// ComputeLoadCases(project, f) for the project the basis was formed from.
LoadCaseResults ComputeLoadCases(const WallLoadBasis& basis, const LoadFactors& f);

// The dead loads from the pieces of the settled record (WallPieces), with the dead-load factor.
void ComputeDeadLoads(
    const std::array<WallPiece, PieceCount + 1>& pieces, const LoadFactors& f, LoadCaseResults& r);

// The record the analysis works on: the project itself, or a copy that carries the slope the
// checks settled on (the loads' proposal).
class SettledProject {
public:
    SettledProject(const Project& p, const LoadCaseResults& loads);
    SettledProject(const SettledProject&) = delete;
    SettledProject& operator=(const SettledProject&) = delete;
    const Project& operator*() const { return *record_; }
    const Project* operator->() const { return record_; }

private:
    // Made only when the slope changed: most runs work on the record itself.
    std::optional<Project> copy_;
    const Project* record_;
};

// Lists for the summation about the toe, each in a fixed order and of fixed length; an entry
// whose load does not act (dry soil, no water in front, ...) is present with zero force. p is
// the settled record of the run that formed r.
//
// Water (case 4), eight entries: [0] back water, [1] front water, [2] water on the shelf,
// [3] uplift on the flat bottom, [4] uplift on the lower slope, [5] uplift on the flat segment,
// [6] uplift on the rear slope, [7] water on the toe.
std::array<PointForce, 8> WaterForces(const Project& p, const LoadCaseResults& r);

// Seismic (case 7), seventeen entries: [0..12] pieces 1..13 (towards the toe at their centroid
// levels), [13] soil increment F14 over the height of the virtual back, [14] submerged
// increment F15, [15] front water F17, [16] vertical component F18 (downward at xRear).
std::array<PointForce, PieceCount + 4> SeismicForces(const Project& p, const LoadCaseResults& r);

// Soil (case 3), three entries: [0] F1 (above the water table, or all of it when dry),
// [1] F2 (below the water table), [2] the vertical wall friction SoilPressure(3) at xRear.
std::array<PointForce, 3> SoilForces(const Project& p, const LoadCaseResults& r);

// The surcharge over the soil length, in the load case SurchargeType (taking its factor; a
// type outside 1..7 counts unfactored).
PointForce SurchargeForce(const Project& p, const LoadFactors& f);

// Line load in slot 1..LineLoadCount, with the factor of its load case (a type outside 1..7
// counts unfactored); zero for any other slot.
PointForce LineLoadForce(const Project& p, const LoadFactors& f, int slot);

} // namespace pendrake
