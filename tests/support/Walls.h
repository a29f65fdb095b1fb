// The walls the tests share, a line load appended to a wall, and a named change to a wall for
// tables of walls.
#pragma once

#include "model/DimensionEdit.h"
#include "model/Project.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <tuple>

namespace pendrake::test {

// The new project's wall, as the program starts with it.
inline Project DefaultWall()
{
    return MakeNewProject("Arial");
}

// A wall pulled up by 100 T/m at its top: already the first combination lifts it off its base.
inline Project UnstableWall()
{
    Project p = DefaultWall();
    p.LineLoadCount = 1;
    p.LineLoads[1] = { 100.0f, 1.0f, 10.0f, 0.0f, 2 };
    return p;
}

// Backfill at 1 : 3, water behind at 3 below the top and in front at 4, a rear step of 1, the
// three default anchor rows, and a line load in each of the cases without loads of their own:
// every piece, water level and load of the drawing is there.
inline Project SlopedWetAnchoredWall()
{
    Project p = DefaultWall();
    ApplyDimensionEdit(p, 11, 3.0);
    ApplyDimensionEdit(p, 13, 3.0);
    ApplyDimensionEdit(p, 12, 4.0);
    ApplyDimensionEdit(p, 9, 1.0);
    p.LineLoadCount = 3;
    p.LineLoads[1] = { 2.0f, 1.25f, 10.0f, 180.0f, 2 }; // on the wall top, downwards
    p.LineLoads[2] = { 1.5f, 1.0f, 8.0f, 270.0f, 5 }; // on the front face, towards the toe
    p.LineLoads[3] = { 0.8f, 1.5f, 10.0f, 135.0f, 6 }; // on the wall top, inclined
    return p;
}

// The new project's wall carrying its concrete and nothing else: no soil weight, both water
// tables below the wall, no surcharge, no earthquake, no anchors, no line loads.
inline Project ConcreteOnly(Project p = DefaultWall())
{
    p.FillUnitWeight = p.FillDryDensity = p.FillSatDensity = 0;
    p.FrontWaterDepth = p.BackWaterDepth = 20.0f;
    p.Surcharge = p.SeismicCoef = 0;
    p.AnchorRows = p.LineLoadCount = 0;
    return p;
}

// A wall of no weight at all: the only loads are the line loads a test adds.
inline Project WeightlessWall(Project p = DefaultWall())
{
    p = ConcreteOnly(p);
    p.ConcUnitWeight = 0;
    return p;
}

// A cross-section in metres, widths from the toe front backwards, then heights.
struct Section {
    float Toe, Top, Lean, Shelf, Bottom, LowerSlope, Flat, RearSlope;
    float ToeHeight, Front, UpperBack, Step, RearRise, LowerRise;
};

inline Project WithSection(Project p, const Section& s)
{
    std::tie(p.ToeWidth, p.TopWidth, p.UpperBackOffset, p.ShelfWidth, p.BottomWidth,
        p.LowerSlopeWidth, p.LowerFlatWidth, p.RearSlopeWidth, p.ToeHeight, p.FrontHeight,
        p.UpperBackHeight, p.RearStepHeight, p.RearSlopeHeight, p.LowerSlopeHeight)
        = std::tie(s.Toe, s.Top, s.Lean, s.Shelf, s.Bottom, s.LowerSlope, s.Flat, s.RearSlope,
            s.ToeHeight, s.Front, s.UpperBack, s.Step, s.RearRise, s.LowerRise);
    return p;
}

// Appends a line load to the wall's table, of the dead-load case unless told otherwise.
inline void AddLineLoad(Project& p, float load, float x, float y, float direction, int16_t type = 1)
{
    ++p.LineLoadCount;
    p.LineLoads[p.LineLoadCount] = { load, x, y, direction, type };
}

// One row of a table of walls: what is done to the wall, and the name a failure shows.
struct WallChange {
    const char* Name;
    std::function<void(Project&)> Change;
};

inline void PrintTo(const WallChange& c, std::ostream* os)
{
    *os << c.Name;
}

} // namespace pendrake::test
