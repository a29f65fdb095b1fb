// Small pieces of test set-up shared by the analysis tests: a line load appended to a wall, and
// a named change to the default wall for tables of degenerate sections.
#pragma once

#include "model/Project.h"

#include <cstdint>
#include <functional>
#include <ostream>

namespace pendrake::test {

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
