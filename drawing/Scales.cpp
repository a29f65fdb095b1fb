// Surface units per pressure unit: the diagrams of a figure, the printed Loads section, the
// base contact pressure.
#include "drawing/WallGeometry.h"

#include <algorithm>
#include <cmath>

namespace pendrake {

namespace {

// Report load scale (page units per pressure unit): the combined back pressures 720 long, the
// uplift 660, the loads on the shelf and the toe 480, the front pressures 960; 10000 when none.
constexpr double ReportBackPressureLength = 720;
constexpr double ReportUpliftLength = 660;
constexpr double ReportTopLoadLength = 480;
constexpr double ReportFrontPressureLength = 960;
constexpr double ReportEmptyLoadScale = 10000;

} // namespace

double DiagramScale(double largestOrdinate, double length)
{
    return std::abs(largestOrdinate) > NegligibleOrdinate ? length / std::abs(largestOrdinate)
                                                          : 0.0;
}

double ReportLoadScale(const Project& p, const LoadCaseResults& loads)
{
    const LoadCaseResults& r = loads;
    const double back = std::max(double(r.SoilPressure[1]), double(r.SoilPressure[2]))
        + double(r.WaterPressure[1]) + double(r.SeismicForce[14]);
    double scale = std::abs(back) > NegligibleOrdinate ? ReportBackPressureLength / back
                                                       : ReportEmptyLoadScale;
    auto lower = [&](double ordinate, double length) {
        if (std::abs(ordinate) > NegligibleOrdinate && length / ordinate < scale)
            scale = length / ordinate;
    };
    lower(r.WaterPressure[4], ReportUpliftLength);
    lower(double(p.Surcharge) + double(r.WaterPressure[3]), ReportTopLoadLength);
    lower(double(p.Surcharge) + double(r.WaterPressure[6]), ReportTopLoadLength);
    lower(double(r.SeismicForce[16]) + double(r.WaterPressure[2]), ReportFrontPressureLength);
    return scale;
}

double ReactionScale(const StabilityResults& r, double length)
{
    double largest = 0;
    for (int j = 1; j <= BaseSegmentCount; ++j)
        largest = std::max({ largest, std::abs(double(r.SegmentPressureStart[j])),
            std::abs(double(r.SegmentPressureEnd[j])) });
    return largest > 0 ? length / largest : 1.0;
}

} // namespace pendrake
