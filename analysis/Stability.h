// Stability of the wall on its base: the load cases summed about the toe, the resultant, the
// base pressure on the base projected across the resultant (with anchor springs when the rear
// lifts), bearing and shear friction per underside segment, and the anchors' tension and shear.
#pragma once

#include "analysis/LoadCases.h"
#include "model/Project.h"
#include "model/Units.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pendrake {

inline constexpr int BaseSegmentCount = 4; // flat bottom, lower slope, flat segment, rear slope

// A safety factor that cannot be formed (nothing acts or nothing resists); windows and the
// report show this value and anything above it as the infinity sign.
inline constexpr double InfiniteSafety = 100000.0;
bool IsInfiniteSafety(double factor);

// Which linear distribution carries the resultant on the projected base.
enum class BasePressureCase : int16_t {
    None = 0, // not formed: the wall was found unstable before the base was solved
    FullCompression = 1, // resultant in the middle third: trapezoid over the whole base
    RearTriangle = 2, // resultant in the rear third: triangle peaking at the rear end
    FrontTriangle = 3, // resultant in the front third: triangle from the toe, anchors in tension
};

struct BasePoint {
    float X = 0;
    float Y = 0;
};

// Messages of the stability analysis itself (the load cases add their own).
inline constexpr std::string_view UndefinedLoadMessage
    = "The loads on the wall cannot be summed: a value of the project is not a number. The "
      "structure is not stable.";
inline constexpr std::string_view NoVerticalLoadMessage
    = "The total vertical force on the base is zero, so the resultant cannot be placed on the "
      "base. The structure is not stable.";
inline constexpr std::string_view UpliftMessage
    = "The total vertical force acts upward: the structure is lifted off its base. The structure "
      "is not stable.";
inline constexpr std::string_view NoProjectedBaseMessage
    = "The base has no length across the resultant. The structure is not stable.";
inline constexpr std::string_view SoftBaseMessage
    = "The elasticity modulus of the base is 0, so the anchors cannot be brought into tension "
      "where they are needed. The structure is not stable.";
inline constexpr std::string_view AnchorStiffnessMessage
    = "The anchor stiffness cannot be formed from the anchor pitch, diameter and elasticity "
      "modulus, so the anchors cannot be brought into tension where they are needed. The "
      "structure is not stable.";
inline constexpr std::string_view PressureNotConvergedMessage
    = "The base pressure with anchors in tension could not be solved. The structure is not "
      "stable.";
inline constexpr std::string_view NoCompressionMessage
    = "The anchors would pull the base into tension: no compressed zone carries the load. The "
      "structure is not stable.";

inline constexpr std::string_view AnchorCompressionMessage
    = "The anchors cannot hold the base down: the balance would put an anchor in compression. "
      "The structure is not stable.";

// Texts of the stability window's notes.
inline constexpr std::string_view NotStableNote
    = "The structure is not stable therefore the base, sliding and anchor values are not "
      "applicable.";
inline constexpr std::string_view BaseTensionNote
    = "Part of the base is in tension, allowable tension pressure shall be checked.";
inline constexpr std::string_view BearingNote
    = "The base pressure safety factor is less than unity.";
inline constexpr std::string_view SlidingNote = "The sliding safety factor is less than unity.";
inline constexpr std::string_view AnchorTensionNote
    = "The anchor safety factor is less than unity.";
inline constexpr std::string_view AnchorShearNote
    = "The anchor shear safety factor is less than unity.";
inline constexpr std::string_view NoAnchorTensionNote = "No anchor tension occurs.";

// Everything the stability analysis finds for one set of load factors. Signs as in the load
// cases: vertical positive downward, horizontal positive towards the backfill, moments about
// the toe front positive when they resist overturning. Projected coordinates u run along the
// base as seen across the resultant, 0 at the toe front.
struct StabilityResults {
    // The load cases the sums were formed from; the anchor table's Along and Across columns are
    // the anchor forces found here.
    LoadCaseResults Loads;
    // Texts for warning boxes: the load cases' and this analysis's own, each once, in order.
    std::vector<std::string> Messages;

    // Per load case 1..7; slot 0 holds loads of no known case (only from a damaged file).
    std::array<float, LoadCaseCount + 1> CaseMoment {};
    std::array<float, LoadCaseCount + 1> CaseHorizontal {};
    std::array<float, LoadCaseCount + 1> CaseVertical {};
    float TotalMoment = 0;
    float TotalHorizontal = 0;
    float TotalVertical = 0;

    bool ResultantDefined = false; // false when TotalVertical is 0: ResultantX has no value
    float ResultantX = 0; // where the resultant crosses y = 0
    float MidbaseEccentricity = 0; // ResultantX - BaseSpan/2
    float MidbaseMoment = 0;
    float BaseSpan = 0;
    float ResultantInclination = 0; // psi, radians, positive when leaning towards the toe
    float ResultantMagnitude = 0; // R
    float ResultantLever = 0; // d = ResultantX cos psi, on the projected base

    bool Stable = false;

    // Base pressure on the projected base. Only meaningful when BaseSolved.
    bool BaseSolved = false;
    BasePressureCase PressureCase = BasePressureCase::None;
    float EffectiveBaseLength = 0; // Bp
    float CompressedLength = 0; // c
    float PressureToeEnd = 0; // at the toe end of the compressed zone
    float PressureFarEnd = 0; // at its far end (the peak in the rear triangle)

    float BasePressureMax = 0;
    float BasePressureMin = 0;
    float BearingSafetyMin = 0;
    float SlidingShear = 0;
    float SlidingResistance = 0;
    float SlidingSafetyMin = 0;
    // About the toe front, each force component on its own side: the moments that hold the
    // wall (weights, pushes towards the backfill, the anchors) over those that tip it (pushes
    // towards the toe, uplift).
    float ResistingMoment = 0;
    float OverturningMoment = 0;
    float OverturningSafety = 0;

    float AnchorTensionMax = 0; // per anchor (times the horizontal pitch)
    float AnchorTensionStress = 0;
    float AnchorTensionSafety = 0;
    float AnchorShearMax = 0;
    float AnchorShearStress = 0;
    float AnchorShearSafety = 0;
    int16_t AnchorActiveCount = 0;
    float AnchorLeverSum = 0; // over the rows in tension
    float AnchorLeverSqSum = 0;
    std::array<float, MaxAnchorRows + 1> AnchorLever {}; // 1..rows placed, decreasing
    std::array<int16_t, MaxAnchorRows + 1> AnchorLeverRow {}; // anchor table row of each lever
    // The anchors' pull on the structure, along the resultant: total, its components (vertical
    // downward, horizontal positive towards the backfill) and its moment about the toe.
    float AnchorForceTotal = 0;
    float AnchorForceVertical = 0;
    float AnchorForceHorizontal = 0;
    float AnchorForceMoment = 0;

    // Underside segments 1..4 (index 0 unused).
    std::array<float, BaseSegmentCount + 1> SegmentStartU {};
    std::array<float, BaseSegmentCount + 1> SegmentEndU {};
    std::array<BasePoint, BaseSegmentCount + 1> ContactStart {};
    std::array<BasePoint, BaseSegmentCount + 1> ContactEnd {};
    std::array<float, BaseSegmentCount + 1> SegmentPressureStart {}; // normal to the segment
    std::array<float, BaseSegmentCount + 1> SegmentPressureEnd {};
    std::array<float, BaseSegmentCount + 1> SegmentBearingSafety {};
    std::array<float, BaseSegmentCount + 1> SegmentShear {};
    std::array<float, BaseSegmentCount + 1> SegmentResistance {};
    std::array<float, BaseSegmentCount + 1> SegmentSlidingSafety {};
    std::array<float, BaseSegmentCount + 1> SegmentForce {};
};

// Runs the load cases for the factors f (a slope the checks flatten comes back as the loads'
// proposal, and the run works with it), sums them about the toe and solves the base.
StabilityResults ComputeStability(const Project& project, const LoadFactors& f = ServiceLoads);
// The underside as every set of one wall finds it before the resultant is known: its points, the
// angle of each segment (radians) and the base friction tan(BasePhi). No load factor enters them.
struct BaseGeometry {
    std::array<PlanePoint, 5> Points {};
    std::array<double, BaseSegmentCount + 1> Angle {}; // index 0 unused
    double FrictionTan = 0;
};
BaseGeometry UndersideGeometry(const Project& settled);

// What the stability analyses of one wall share over every set of load factors, formed once per
// wall: the load basis and the underside of the settled record.
class WallStabilityBasis {
public:
    explicit WallStabilityBasis(const Project& project);
    const WallLoadBasis& Loads() const { return loads_; }
    const BaseGeometry& Base() const { return base_; }

private:
    WallLoadBasis loads_;
    BaseGeometry base_;
};

// The same from the wall's basis (formed once for all the sets of one wall): the same numbers, to
// the last bit, as for the project the basis was formed from.
StabilityResults ComputeStability(
    const WallStabilityBasis& basis, const LoadFactors& f = ServiceLoads);

// The underside projected across a resultant of inclination psi, double precision.
struct ProjectedBase {
    double Length = 0; // Bp
    std::array<double, BaseSegmentCount + 1> StartU {};
    std::array<double, BaseSegmentCount + 1> EndU {};
    std::array<double, BaseSegmentCount + 1> Angle {}; // of each segment, radians
};

// Projects the underside points on the line across the resultant, cuts segments hidden behind
// earlier ones, and stores SegmentStartU/EndU, the full contact points and EffectiveBaseLength.
ProjectedBase ProjectBase(const Project& project, double psi, StabilityResults& results);
// The same on the underside of the settled record, formed once per wall.
ProjectedBase ProjectBase(const BaseGeometry& base, double psi, StabilityResults& results);

// Levers of the placed anchor rows on the projected base, d = (x - y tan psi) cos psi, sorted
// decreasing into AnchorLever/AnchorLeverRow; the sums of the first `count` levers (cut to the
// rows placed) go to AnchorLeverSum and AnchorLeverSqSum and are returned in double precision.
struct AnchorLeverSums {
    int Count = 0;
    double Sum = 0; // S1
    double SqSum = 0; // S2
};
AnchorLeverSums SortAnchorLevers(StabilityResults& results, int count, double psi);

// Bearing and shear friction of one underside segment of angle alpha carrying the projected
// pressures pStart and pEnd over a loaded projected length.
struct SegmentEvaluation {
    double PressureStart = 0; // normal to the segment
    double PressureEnd = 0;
    double BearingSafety = 0;
    double Shear = 0;
    double Resistance = 0;
    double SlidingSafety = 0;
    double Force = 0; // along the segment
};
SegmentEvaluation EvaluateBaseSegment(const Project& project, double alpha, double pStart,
    double pEnd, double psi, double loadedLength);
// The same with the base friction tan(BasePhi) formed once per wall (BaseGeometry::FrictionTan).
SegmentEvaluation EvaluateBaseSegment(const Project& project, double frictionTan, double alpha,
    double pStart, double pEnd, double psi, double loadedLength);

// The extreme segment values over the segments that cover more than a trace of the projected
// base: BasePressureMax/Min, BearingSafetyMin, SlidingSafetyMin with its shear and resistance.
void SearchBaseSegments(StabilityResults& results);

// Tension and shear of the most stressed anchor (the row of largest lever) with its stresses
// and safety factors, or the no-tension values.
void ComputeAnchorResults(const Project& project, StabilityResults& results);

// Projected base pressure at u of the solved distribution (0 outside the compressed zone).
double ProjectedPressure(const StabilityResults& results, double u);

// Per-unit-length axial stiffness of an anchor row over the base modulus, kappa (a length).
// Not finite when the base modulus or the horizontal pitch is 0.
double AnchorStiffnessRatio(const Project& project);

// Cross-section area of one anchor bar in the length unit squared.
double AnchorBarArea(const Project& project);

// Factor from the stress unit to the pressure unit of the project's unit system.
double StressToPressure(int16_t unitSystem);

// The note lines of the stability window, in order, each without its leading mark.
std::vector<std::string> StabilityNotes(const Project& project, const StabilityResults& results);

} // namespace pendrake
