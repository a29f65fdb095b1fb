// A new project's defaults, the dimension behind each label, and the anchor rows that fit.
#include "model/Project.h"

#include "support/ProjectFiles.h"

#include <gtest/gtest.h>

using namespace pendrake;
using namespace pendrake::test;

// Every input of an old project is reset (the values themselves are the golden new-default.pdi's);
// the line-load slots and the bar tables, which no count reaches any more, keep what they held.
TEST(NewProject, ResetsEveryInputButKeepsUnreachableSlots)
{
    Project p = EveryFieldChanged();
    Project expected = MakeNewProject("Liberation Sans");
    expected.LineLoads = p.LineLoads;
    expected.ReinDia = p.ReinDia;
    expected.ReinPitch = p.ReinPitch;
    NewProject(p, "Liberation Sans");
    EXPECT_TRUE(SameProject(expected, p));
}

TEST(Dimension, IndexFollowsTheLabelsOfTheMainWindow)
{
    // Index 11 is the slope, 12/13 the water depths, 14..16 the later underside dimensions.
    float Project::*const labels[DimensionCount] = { &Project::TopWidth, &Project::UpperBackOffset,
        &Project::ShelfWidth, &Project::ToeWidth, &Project::BottomWidth, &Project::LowerSlopeWidth,
        &Project::FrontHeight, &Project::ToeHeight, &Project::UpperBackHeight,
        &Project::RearStepHeight, &Project::RearSlopeHeight, &Project::BackfillSlope,
        &Project::FrontWaterDepth, &Project::BackWaterDepth, &Project::LowerSlopeHeight,
        &Project::LowerFlatWidth, &Project::RearSlopeWidth };
    Project p = MakeNewProject("Arial");
    for (int i = 0; i < DimensionCount; ++i) {
        Dimension(p, i) = 100.0f + float(i); // each label its own value
        EXPECT_EQ(p.*labels[i], 100.0f + float(i)) << "dimension " << i;
    }
    EXPECT_THROW(Dimension(p, DimensionCount), std::out_of_range);
}

TEST(AnchorRowsPlaced, CountsRowsThatFitOnTheSlopes)
{
    struct Row {
        const char* Name;
        int16_t Rows;
        float Edge, Pitch, LowerSlope, RearSlope;
        int16_t Placed;
    };
    const Row rows[] = {
        { "defaults: floor((2 + 2 - 0.5) / 1.5) + 1", 3, 0.5f, 1.5f, 2.0f, 2.0f, 3 },
        { "more rows asked than fit", 8, 0.5f, 1.5f, 2.0f, 2.0f, 3 },
        { "edge distance above the whole slope", 3, 5.6f, 1.5f, 2.0f, 2.0f, 0 },
        { "top row exactly at the top of the rear slope: 0.1 + 3 x 0.3 = 1.0", 10, 0.1f, 0.3f, 0.5f,
            0.5f, 4 },
        { "edge exactly at the top: one row at P4", 3, 4.0f, 1.5f, 2.0f, 2.0f, 1 },
        { "a zero pitch stacks every asked row at the edge distance", 4, 0.5f, 0.0f, 2.0f, 2.0f,
            4 },
        { "more than the ten of older tables", 25, 0.1f, 0.1f, 1.0f, 1.0f, 20 },
    };
    for (const Row& r : rows) {
        Project p = MakeNewProject("Arial");
        p.AnchorRows = r.Rows;
        p.AnchorEdgeDist = r.Edge;
        p.AnchorVPitch = r.Pitch;
        p.LowerSlopeHeight = r.LowerSlope;
        p.RearSlopeHeight = r.RearSlope;
        EXPECT_EQ(AnchorRowsPlaced(p), r.Placed) << r.Name;
    }
}
