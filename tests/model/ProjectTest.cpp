// A new project's defaults, the dimension chains they satisfy, and the anchor rows that fit.
#include "model/Project.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pendrake;

namespace {

// Dimensions are typed to two decimals and stored as floats: a chain that closes on paper may
// miss by a few float ulps of values up to about 100.
constexpr double ChainTolerance = 1e-4;

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

TEST(NewProject, SatisfiesBothDimensionChains)
{
    const Project p = MakeNewProject("Arial");
    EXPECT_NEAR(double(p.TopWidth) + p.UpperBackOffset + p.ShelfWidth, 7.3, ChainTolerance);
    EXPECT_NEAR(double(p.FrontHeight) + p.ToeHeight, 10.0, ChainTolerance);
    EXPECT_NEAR(WidthChainGap(p), 0.0, ChainTolerance);
    EXPECT_NEAR(HeightChainGap(p), 0.0, ChainTolerance);
    EXPECT_GE(p.FrontHeight, p.UpperBackHeight);
}

TEST(NewProject, ResetsInputsButKeepsUnreachableSlots)
{
    Project p = MakeNewProject("Arial");
    p.LineLoadCount = 4;
    p.LineLoads[3] = { 2.0f, 1.0f, 3.0f, 180.0f, 2 };
    p.ReinUserSet = true;
    p.ReinDia[2] = 1.6f;
    p.UnitSystem = 2;
    p.ProjectTitle = "old";
    p.TopWidth = 9.0f;

    NewProject(p, "Liberation Sans");

    EXPECT_EQ(p.LineLoadCount, 0);
    EXPECT_EQ(p.LineLoads[3].Load, 2.0f);
    EXPECT_FALSE(p.ReinUserSet);
    EXPECT_EQ(p.ReinDia[2], 1.6f);
    EXPECT_EQ(p.UnitSystem, 0);
    EXPECT_EQ(p.ProjectTitle, "");
    EXPECT_EQ(p.TopWidth, 0.5f);
    EXPECT_EQ(p.ReportFontName, "Liberation Sans");
    EXPECT_EQ(p.PageFieldText[1], "&Input");
    EXPECT_EQ(p.PageFieldText[2], "&Date &Time");
    EXPECT_EQ(p.PageFieldText[3], "Page &Page");
}

TEST(Dimension, IndexFollowsTheLabelsOfTheMainWindow)
{
    Project p = MakeNewProject("Arial");
    // Index 11 is the slope, 12/13 the water depths, 14..16 the later underside dimensions.
    const float expected[DimensionCount] = { 0.5f, 0.9f, 5.9f, 1.0f, 3.0f, 1.4f, 9.0f, 1.0f, 6.0f,
        0.0f, 2.0f, 0.0f, 1.5f, 1.5f, 2.0f, 1.5f, 1.4f };
    for (int i = 0; i < DimensionCount; ++i)
        EXPECT_EQ(Dimension(p, i), expected[i]) << "dimension " << i;
    Dimension(p, 14) = 2.5f;
    EXPECT_EQ(p.LowerSlopeHeight, 2.5f);
    EXPECT_THROW(Dimension(p, 17), std::out_of_range);
}

struct RowsCase {
    int16_t rows;
    float edge;
    float pitch;
    float lowerSlope;
    float rearSlope;
    int16_t placed;
};

class AnchorRowsPlacedTest : public ::testing::TestWithParam<RowsCase> { };

TEST_P(AnchorRowsPlacedTest, CountsRowsThatFitOnTheSlopes)
{
    const RowsCase c = GetParam();
    Project p = MakeNewProject("Arial");
    p.AnchorRows = c.rows;
    p.AnchorEdgeDist = c.edge;
    p.AnchorVPitch = c.pitch;
    p.LowerSlopeHeight = c.lowerSlope;
    p.RearSlopeHeight = c.rearSlope;
    EXPECT_EQ(AnchorRowsPlaced(p), c.placed);
}

INSTANTIATE_TEST_SUITE_P(Rows, AnchorRowsPlacedTest,
    ::testing::Values(
        // defaults: floor((2 + 2 - 0.5) / 1.5) + 1 = 3
        RowsCase { 3, 0.5f, 1.5f, 2.0f, 2.0f, 3 },
        // more rows asked than fit: 3 fit
        RowsCase { 8, 0.5f, 1.5f, 2.0f, 2.0f, 3 },
        // the edge distance above the whole slope: none
        RowsCase { 3, 5.6f, 1.5f, 2.0f, 2.0f, 0 },
        // the top row lands exactly on the top of the rear slope: 0.1 + 3 x 0.3 = 1.0
        RowsCase { 10, 0.1f, 0.3f, 0.5f, 0.5f, 4 },
        // edge exactly at the top: one row at P4
        RowsCase { 3, 4.0f, 1.5f, 2.0f, 2.0f, 1 },
        // no rows asked
        RowsCase { 0, 0.5f, 1.5f, 2.0f, 2.0f, 0 },
        // a zero pitch stacks every asked row at the edge distance
        RowsCase { 4, 0.5f, 0.0f, 2.0f, 2.0f, 4 },
        // many rows: more than the ten of older tables
        RowsCase { 25, 0.1f, 0.1f, 1.0f, 1.0f, 20 }));
