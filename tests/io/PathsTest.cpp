// The path helpers on a case-sensitive file system: directory kept as typed, base name and
// extension lower-cased.
#include "io/Paths.h"

#include <gtest/gtest.h>

using namespace pendrake;

namespace {

struct PathCase {
    const char* Path;
    const char* Directory;
    const char* BaseName;
    const char* Extension;
};

const PathCase PathCases[] = {
    { "/home/Eng/Walls/Wall A.PDI", "/home/Eng/Walls", "wall a", "pdi" },
    { "/walls/archive.tar.PDI", "/walls", "archive.tar", "pdi" },
    // A dot in a folder name belongs to the folder, not to the file.
    { "/walls/v1.2/Retain", "/walls/v1.2", "retain", "" },
    { "/walls/Süd.Pdi", "/walls", "süd", "pdi" },
    { "/a.pdi", "", "a", "pdi" },
    // A bare name is in the current folder.
    { "Wall.pdi", "", "wall", "pdi" },
    { "/walls/wall.", "/walls", "wall", "" },
    { "", "", "", "" },
};

TEST(Paths, SplitsThePath)
{
    for (const PathCase& c : PathCases) {
        SCOPED_TRACE(c.Path);
        EXPECT_EQ(GetDirectory(c.Path), c.Directory);
        EXPECT_EQ(GetBaseName(c.Path), c.BaseName);
        EXPECT_EQ(GetExtension(c.Path), c.Extension);
    }
}

} // namespace
