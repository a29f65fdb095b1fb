// Switching unit systems: the worked conversions, rounding of each class of value, and the two
// dimension chains that must still close after every switch.
#include "model/NumberFormat.h"
#include "io/ProjectFile.h"
#include "model/Units.h"

#include <gtest/gtest.h>

#include <random>

using namespace pendrake;

namespace {

// Converted values are stored rounded to at most four decimals in a float.
constexpr float StoredTolerance = 1e-5f;
// Chain sums of up to seventeen two-decimal floats of up to a few hundred feet.
constexpr double ChainTolerance = 2e-4;

Project Switched(const Project& p, int16_t to)
{
    return SwitchUnitSystem(p, to);
}

double WidthChainGap(const Project& p)
{
    return (double(p.TopWidth) + p.UpperBackOffset + p.ShelfWidth)
        - (double(p.BottomWidth) + p.LowerSlopeWidth + p.LowerFlatWidth + p.RearSlopeWidth);
}

double HeightChainGap(const Project& p)
{
    return (double(p.FrontHeight) + p.ToeHeight)
        - (double(p.UpperBackHeight) + p.RearStepHeight + p.RearSlopeHeight + p.LowerSlopeHeight);
}

} // namespace

TEST(ConvertUnits, MetricToSiOnANewProject)
{
    const Project p = Switched(MakeNewProject("Arial"), SI);
    EXPECT_NEAR(p.TopWidth, 0.50f, StoredTolerance);
    EXPECT_NEAR(p.ConcUnitWeight, 23.54f, StoredTolerance); // 2.4 x 9.81 = 23.544
    EXPECT_EQ(p.ConcFc, 29.0f);                            // 300 x 0.0981 = 29.43, no decimals
    EXPECT_EQ(p.RebarFy, 392.0f);                          // 4000 x 0.0981 = 392.4
    EXPECT_NEAR(p.AnchorYield, 235.44f, StoredTolerance);  // 2400 x 0.0981
    EXPECT_NEAR(p.Surcharge, 9.81f, StoredTolerance);
    EXPECT_NEAR(p.BaseCohesion, 1.77f, StoredTolerance);   // 18 x 0.0981 = 1.7658
    EXPECT_NEAR(p.ConcCover, 7.0f, StoredTolerance);       // centimetres in both systems
    EXPECT_EQ(p.FillPhi, 30.0f);
    EXPECT_EQ(p.DeltaConcrete, 15.0f);
    EXPECT_EQ(p.SeismicCoef, 0.15f);
    EXPECT_EQ(p.UnitSystem, SI);
}

TEST(ConvertUnits, RoundingMakesTheTripBackInexact)
{
    const Project p = Switched(Switched(MakeNewProject("Arial"), SI), Metric);
    EXPECT_EQ(p.ConcFc, 296.0f); // 29 x 10.1937 = 295.6
}

TEST(ConvertUnits, MetricToBritishAndBack)
{
    const Project british = Switched(MakeNewProject("Arial"), British);
    EXPECT_NEAR(british.FrontHeight, 29.53f, StoredTolerance); // 9 / 0.3048 = 29.528
    EXPECT_EQ(british.RebarFy, 56842.0f);                       // 4000 x 2.54² / 0.454
    EXPECT_NEAR(british.ConcCover, 2.8f, StoredTolerance);      // 7 / 2.54 = 2.76
    EXPECT_NEAR(british.AnchorDia, 0.8f, StoredTolerance);      // 2 / 2.54 = 0.79
    // Unit weights keep four decimals in Kip/ft³: 2.4 / 0.454 x 0.3048³ = 0.14969.
    EXPECT_NEAR(british.ConcUnitWeight, 0.1497f, StoredTolerance);
    EXPECT_NEAR(british.WaterUnitWeight, 0.0624f, StoredTolerance); // 62.4 pcf
    EXPECT_NEAR(british.Surcharge, 0.2046f, StoredTolerance);       // 0.3048² / 0.454

    const Project metric = Switched(british, Metric);
    EXPECT_NEAR(metric.ConcCover, 7.1f, StoredTolerance); // 2.8 x 2.54 = 7.11
    EXPECT_NEAR(metric.AnchorDia, 2.0f, StoredTolerance); // 0.8 x 2.54 = 2.03
    EXPECT_NEAR(metric.ConcUnitWeight, 2.40f, StoredTolerance);
    EXPECT_NEAR(metric.WaterUnitWeight, 1.00f, StoredTolerance);
    EXPECT_NEAR(metric.Surcharge, 1.00f, StoredTolerance);
}

TEST(ConvertUnits, SiToBritishAndBritishToSiUseGravityOnce)
{
    Project si = Switched(MakeNewProject("Arial"), SI);
    const Project british = Switched(si, British);
    // 9.81 kPa is one tonne-force per m²: the same 0.2046 Kip/ft² as from Metric.
    EXPECT_NEAR(british.Surcharge, 0.2046f, StoredTolerance);
    EXPECT_NEAR(british.FrontHeight, 29.53f, StoredTolerance);
    const Project back = Switched(british, SI);
    // 0.2046 x 0.454 x 9.81 / 0.3048² = 9.81
    EXPECT_NEAR(back.Surcharge, 9.81f, StoredTolerance);
    EXPECT_NEAR(back.ConcUnitWeight, 23.54f, 0.01f);
}

TEST(ConvertUnits, LineLoadsConvertAsForcePerLength)
{
    Project p = MakeNewProject("Arial");
    p.LineLoadCount = 1;
    p.LineLoads[1] = {2.0f, 1.0f, 3.0f, 135.0f, 2};
    p.LineLoads[2] = {5.0f, 5.0f, 5.0f, 90.0f, 1}; // beyond the count: untouched
    const Project si = Switched(p, SI);
    EXPECT_NEAR(si.LineLoads[1].Load, 19.62f, StoredTolerance);
    EXPECT_NEAR(si.LineLoads[1].X, 1.00f, StoredTolerance);
    EXPECT_NEAR(si.LineLoads[1].Y, 3.00f, StoredTolerance);
    EXPECT_EQ(si.LineLoads[1].Direction, 135.0f);
    EXPECT_EQ(si.LineLoads[1].Type, 2);
    EXPECT_EQ(si.LineLoads[2].Load, 5.0f);

    const Project british = Switched(p, British);
    // 2 T/m = 2 / 0.454 Kip per 1 / 0.3048 ft = 1.3427 Kip/ft
    EXPECT_NEAR(british.LineLoads[1].Load, 1.34f, StoredTolerance);
    EXPECT_NEAR(british.LineLoads[1].Y, 9.84f, StoredTolerance);
}

TEST(SwitchUnitSystem, TheCurrentSystemChangesNothing)
{
    const Project p = MakeNewProject("Arial");
    EXPECT_EQ(ProjectFileBytes(SwitchUnitSystem(p, Metric), nullptr), ProjectFileBytes(p, nullptr));
}

TEST(ConvertUnits, BothDimensionChainsHoldAfterEverySwitch)
{
    // Random walls typed to two decimals, pushed through every pair of systems.
    std::mt19937 rng(20261206);
    std::uniform_int_distribution<int> hundredths(0, 1500);
    const int16_t route[] = {British, SI, Metric, SI, British, Metric};
    for (int trial = 0; trial < 300; ++trial) {
        Project p = MakeNewProject("Arial");
        auto typed = [&] { return float(hundredths(rng)) / 100.0f; };
        p.TopWidth = typed();
        p.UpperBackOffset = typed();
        p.BottomWidth = typed();
        p.LowerSlopeWidth = typed();
        p.LowerFlatWidth = typed();
        p.RearSlopeWidth = typed();
        p.ShelfWidth = float(RoundTo(double(p.BottomWidth) + p.LowerSlopeWidth + p.LowerFlatWidth
                                         + p.RearSlopeWidth + 3.0 - p.TopWidth - p.UpperBackOffset,
                                     2));
        p.BottomWidth += 3.0f;
        p.ToeHeight = typed();
        p.UpperBackHeight = typed();
        p.RearStepHeight = typed();
        p.RearSlopeHeight = typed();
        p.LowerSlopeHeight = typed();
        p.FrontHeight = float(RoundTo(double(p.UpperBackHeight) + p.RearStepHeight
                                          + p.RearSlopeHeight + p.LowerSlopeHeight - p.ToeHeight,
                                      2));
        for (int16_t to : route) {
            p = SwitchUnitSystem(p, to);
            ASSERT_NEAR(WidthChainGap(p), 0.0, ChainTolerance) << "trial " << trial;
            ASSERT_NEAR(HeightChainGap(p), 0.0, ChainTolerance) << "trial " << trial;
        }
    }
}

TEST(UnitLabels, KeepTheirSuperscriptsAndOrder)
{
    EXPECT_EQ(UnitWeightUnit[Metric], "t/m³");
    EXPECT_EQ(StressUnit[Metric], "kg/cm²");
    EXPECT_EQ(PressureUnit[British], "Kip/ft²");
    EXPECT_EQ(ModulusUnit[SI], "E+5 MPa");
    EXPECT_EQ(AngleUnit[British], "°");
    EXPECT_EQ(LineLoadUnit(Metric), "T/m");
    EXPECT_EQ(LineLoadUnit(British), "Kip/ft");
    EXPECT_EQ(LoadCaseName[6], "Impact (L)");
    EXPECT_EQ(CombinationName[11], "1.05D + 1.28L + 1.05F + 1.05T + R");
}
