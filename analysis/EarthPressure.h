// Active earth pressure of the backfill: the Coulomb and Mononobe-Okabe coefficients, the
// checks that flatten a backfill slope too steep for them, and the soil and seismic load cases.
#pragma once

#include "analysis/LoadCases.h"
#include "model/Project.h"

#include <string_view>

namespace pendrake {

inline constexpr std::string_view StaticSlopeMessage
    = "The backfill slope is steeper than the internal friction angle of backfill. "
      "The slope is adjusted.";
inline constexpr std::string_view SeismicSlopeMessage
    = "The backfill slope is to steep for the applied seismic coefficient. The slope is adjusted.";
inline constexpr std::string_view SeismicUndefinedMessage
    = "The seismic coefficient is too large for the internal friction angle of backfill: no "
      "backfill slope gives a seismic earth pressure. The wall cannot be shown to be stable "
      "under the seismic load.";

// Coulomb active coefficient. Angles in radians: phi friction angle of the soil, delta wall
// friction, beta lean of the back from the vertical, i slope of the backfill surface.
double CoulombKa(double phi, double delta, double beta, double i);

// Mononobe-Okabe active coefficient under a horizontal acceleration only, theta = atan(kh).
double MononobeOkabeKae(double phi, double delta, double beta, double i, double theta);

// The slope checks, static then seismic: a backfill steeper than phi, then one steeper than
// phi - theta, is flattened to the next tenth of n and proposed (SlopeAdjusted,
// ProposedBackfillSlope, Messages); BackfillSlopeAngle is the slope the run works with. Sets
// SeismicUndefined when theta >= phi leaves no slope to flatten to. Checks nothing when
// UpperBackHeight is 0.
void CheckBackfillSlope(const Project& p, LoadCaseResults& r);

// Static slope check, KaStatic and the soil case (case 3) with its factor.
void ComputeStaticEarthPressure(const Project& p, const LoadFactors& f, LoadCaseResults& r);

// Both slope checks, then the static case as above and the seismic case (case 7) with its
// factor: pieces, KaeIncrement, the soil increments and the front water.
void ComputeSeismicEarthPressure(const Project& p, const LoadFactors& f, LoadCaseResults& r);

// The same two cases without any check, on a record whose slope the checks have settled (the
// seismic case reads SeismicUndefined from r).
void ComputeSoilCase(const Project& settled, const LoadFactors& f, LoadCaseResults& r);
void ComputeSeismicCase(const Project& settled, const LoadFactors& f, LoadCaseResults& r);

// The coefficients of the virtual back for the settled slope: Coulomb's Ka and the
// Mononobe-Okabe Kae; 0 without soil on the virtual back. Neither depends on a load factor.
double VirtualBackKa(const Project& settled);
double VirtualBackKae(const Project& settled);

// The same two cases from what they share over every set of one wall, formed once: Ka, Kae
// (read only when the slope has one, see SeismicUndefined) and the pieces of the settled record.
void ComputeSoilCase(const Project& settled, const LoadFactors& f, double ka, LoadCaseResults& r);
void ComputeSeismicCase(const Project& settled, const LoadFactors& f,
    const std::array<WallPiece, PieceCount + 1>& pieces, double kae, LoadCaseResults& r);

} // namespace pendrake
