// Reinforced concrete design of the wall's three sections to ACI 318 (strength design, SI-metric
// form): flexure with axial force, required steel, bar choice, crack control z and shear.
#pragma once

#include "model/Project.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace pendrake {

inline constexpr int DesignSectionCount = 3; // 1 upper wall, 2 body at the toe top, 3 toe

// The section a design row belongs to: rows 2s-1 ("M-") and 2s ("M+") belong to section s.
constexpr int SectionOfRow(int row)
{
    return (row + 1) / 2;
}

// The "M-" row of section s; its "M+" row follows.
constexpr int FirstRowOfSection(int section)
{
    return 2 * section - 1;
}

// Factored forces retained over the load combinations, per section 1..3 (index 0 unused), in
// project units per unit length of wall; normal forces are positive in compression.
struct Envelope {
    std::array<float, DesignSectionCount + 1> EnvMomentPos {}; // largest positive moment
    std::array<float, DesignSectionCount + 1> EnvMomentNeg {}; // most negative moment
    std::array<float, DesignSectionCount + 1> EnvShear {}; // largest absolute shear
    std::array<float, DesignSectionCount + 1> EnvNormalPos {}; // N with EnvMomentPos
    std::array<float, DesignSectionCount + 1> EnvNormalNeg {}; // N with EnvMomentNeg
    std::array<float, DesignSectionCount + 1> EnvShearNormal {}; // N with EnvShear
    std::array<float, DesignSectionCount + 1> EnvMomentZ {}; // service moment for crack control
    std::array<float, DesignSectionCount + 1> EnvNormalZ {}; // service N for crack control
};

// The design table: rows 1..6 and sections 1..3, index 0 unused. Heights and bars in cm
// (Metric, SI) or in (British); areas per unit width in cm²/m or in²/ft; forces and moments in
// project units.
// The edition of the design code whose load factors, phi factors and minimum steel the design
// takes.
inline constexpr std::string_view CodeBasis = "ACI 318-99";

struct DesignResults {
    using RowFloats = std::array<float, ReinRowCount + 1>;
    using RowFlags = std::array<bool, ReinRowCount + 1>;
    using SectionFloats = std::array<float, DesignSectionCount + 1>;

    // The bars the rows are designed with: the engineer's (ReinUserSet) or the automatic choice.
    RowFloats ReinDia {};
    RowFloats ReinPitch {};

    RowFloats ReinHeight {}; // section thickness h, the same for both rows of a section
    RowFloats ReinMoment {}; // design moment magnitude of the row
    RowFloats ReinNormal {}; // normal force with it, compression positive
    RowFloats ReinMomentZ {}; // service moment for crack control
    RowFloats ReinNormalZ {}; // service normal force for crack control
    RowFloats ReinAs {}; // provided area
    RowFloats ReinAsReq {}; // required area; 0 when compression needs no steel
    RowFloats ReinRho {}; // provided ratio
    RowFloats ReinRhoReq43 {}; // 4/3 of the required ratio; 0 when no steel is required
    RowFloats ReinMomentCap {}; // moment capacity about mid-depth
    RowFloats ReinZ {}; // crack-control z (T/m, kN/m, Kip/ft); 0 for compressed bars

    // The compression zone cannot carry the row's design moment: ReinAsReq and ReinRhoReq43 have
    // no value and hold 0.
    RowFlags ReinCannotCarry {};
    // The compression zone cannot carry the row's crack-control moment: ReinZ has no value and
    // holds 0.
    RowFlags ReinZCannotCarry {};

    SectionFloats ReinShear {}; // design shear
    SectionFloats ReinShearNormal {}; // normal force with it
    SectionFloats ReinShearCap {}; // shear capacity phi Vc

    float RhoBalanced = 0; // balanced ratio
    float RhoMin = 0; // 1.4 / fy (MPa)
    float ZMax = 0; // 25 MN/m in project units
};

// The consistent unit set the section routines compute in, per unit system: Metric cm, kg,
// kg·cm, kg/cm²; SI m, MN, MN·m, MPa; British in, lb, lb·in, psi. Stresses stay in the project's
// stress unit. An "A To B" factor multiplies a value in A to give B.
struct DesignUnitSet {
    double Width; // strip width b in design length
    double StoredWidth; // the same strip in stored small length (cm or in)
    double SmallPerLength; // Length (m or ft) to stored small length (cm or in)
    double StoredPerDesign; // stored small length (h, db, s, cover) per design length
    double MomentToDesign; // project moment to design moment
    double ForceToDesign; // project force to design force
    double ZToProject; // design force per design length to project force per length
    double AreaReqToStored; // design area per strip to cm²/m or in²/ft
    double StressToMPa; // project stress to MPa
    double ForceToMN; // design force to MN
    double AreaToSquareMetres; // design area to m²
    double NominalBarDia; // design length, stands in for the bar in the required steel
    float PitchStart; // bar search, design length: first pitch tried is start - step
    double PitchStep;
    float DiaStart; // first diameter tried is start + step
    double DiaStep;
    double DiaLimit;
};

// The unit set of a unit system (0 Metric, 1 SI, 2 British); throws std::out_of_range otherwise.
const DesignUnitSet& DesignUnits(int16_t unitSystem);

// Stress-block depth factor beta1 for a concrete strength in MPa.
double StressBlockFactor(double fcMPa);

// Strength reduction factor for flexure with axial force n (compression positive) on a strip
// b x h of concrete strength fc, all in design units.
double FlexureReductionFactor(double n, double fc, double b, double h);

// Results of a capacity check, in design units.
struct SectionCapacity {
    float MomentCap = 0; // about the section's mid-depth
    float ShearCap = 0; // phi Vc over the full thickness
    float Rho = 0; // provided ratio
    float RhoB = 0; // balanced ratio
};

// Capacity of a strip of thickness h with bars db at pitch s under normal force n; nv is the
// normal force that goes with the shear. Design units, compression positive.
SectionCapacity CheckSectionCapacity(
    const Project& project, float h, float db, float s, float n, float nv);

// Required steel per strip, in design units.
struct SteelRequirement {
    float AsReq = 0;
    float RhoReq43 = 0;
};

// Steel the strip of thickness h needs for moment magnitude m with normal force n (design
// units). Empty when the compression zone cannot carry the moment at all.
std::optional<SteelRequirement> RequiredSteel(const Project& project, float h, float n, float m);

// Crack-control quantity z = fs (dc A)^(1/3) in design force per design length for service
// moment m and normal force n. Empty when the compression zone cannot carry the moment at all.
std::optional<double> CrackControlZ(
    const Project& project, float h, float db, float s, float n, float m);

// Bar diameters tried by the automatic choice, smallest first, in design length.
const std::vector<float>& CandidateDiameters(int16_t unitSystem);
// Pitches tried by the automatic choice, largest first, in design length.
const std::vector<float>& CandidatePitches(int16_t unitSystem);

// Bars for one row, in design length.
struct BarChoice {
    float Dia = 0;
    float Pitch = 0;
};

// Chooses the bars for moment magnitude m and normal force n on a strip of thickness h (design
// units): the largest pitch, and at it the smallest diameter, whose capacity covers m and either
// covers 4/3 m or reaches rhoMin. When nothing fits: the last diameter at the last pitch.
BarChoice SelectReinforcement(const Project& project, float h, float m, float n, float rhoMin);

// Minimum steel ratio 1.4 / fy (MPa); 0 when fy is not positive.
float DesignRhoMin(const Project& project);

// Limit of z, 25 MN/m in the project's force per length unit.
float DesignZMax(int16_t unitSystem);

// Horizontal width of the body at the level of the toe top, from the front face, in Length.
double BodyWidthAtToeTop(const Project& project);

// Thickness of design section 1..3 in stored small length (cm or in).
float DesignHeight(const Project& project, int section);

// Recomputes one row for the bars in results.ReinDia / ReinPitch:
// provided area, capacity and the section's shear capacity, crack control. The required steel
// does not depend on the bars and is left as it is. Throws std::out_of_range for a row
// outside 1..6.
void CheckDesignRow(const Project& project, DesignResults& results, int row);

// Designs one row from its moments, forces and height already in the table: the engineer's bars
// when ReinUserSet, else the automatic choice, then the checks, the required steel and crack
// control. RhoMin must be set.
void DesignRow(const Project& project, DesignResults& results, int row);

// The design table from the envelope: the six rows and three shear checks.
DesignResults DesignSections(const Project& project, const Envelope& envelope);

// The warnings the design window and the report show for one row.
struct RowWarnings {
    bool MomentCapacity = false; // Mu < M
    bool RhoMin = false; // rho < rho min (and both faces short of 4/3 of the requirement)
    bool RhoBalanced = false; // rho > 0.75 rho b
    bool ZMax = false; // z > z max
    bool CannotCarry = false; // the design or crack-control moment exceeds the section
};

struct DesignWarningSet {
    std::array<RowWarnings, ReinRowCount + 1> Row {}; // rows 1..6
    std::array<bool, DesignSectionCount + 1> Shear {}; // sections 1..3: Vu < V
};

DesignWarningSet DesignWarnings(const DesignResults& results);

} // namespace pendrake
