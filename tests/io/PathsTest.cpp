// The path helpers on a case-sensitive file system: directory kept as typed, base name and
// extension lower-cased, and the backup name beside the project file in its own case.
#include "io/Paths.h"

#include <gtest/gtest.h>

using namespace pendrake;

namespace {

struct PathCase {
    const char* Path;
    const char* Directory;
    const char* BaseName;
    const char* Extension;
    const char* Backup;
};

const PathCase PathCases[] = {
    { "/walls/a.pdi", "/walls", "a", "pdi", "/walls/a.BAK" },
    { "/home/Eng/Walls/Wall A.PDI", "/home/Eng/Walls", "wall a", "pdi",
        "/home/Eng/Walls/Wall A.BAK" },
    { "/walls/archive.tar.PDI", "/walls", "archive.tar", "pdi", "/walls/archive.tar.BAK" },
    // A dot in a folder name belongs to the folder, not to the file.
    { "/walls/v1.2/Retain", "/walls/v1.2", "retain", "", "/walls/v1.2/Retain.BAK" },
    { "/walls/Süd.Pdi", "/walls", "süd", "pdi", "/walls/Süd.BAK" },
    { "/a.pdi", "", "a", "pdi", "/a.BAK" },
    // A bare name is in the current folder, and so is its backup.
    { "Wall.pdi", "", "wall", "pdi", "Wall.BAK" },
    { "/walls/.pdi", "/walls", "", "pdi", "/walls/.BAK" },
    { "/walls/wall.", "/walls", "wall", "", "/walls/wall.BAK" },
    { "", "", "", "", ".BAK" },
};

class PathTest : public ::testing::TestWithParam<PathCase> { };

TEST_P(PathTest, SplitsAndNamesTheBackup)
{
    const PathCase& c = GetParam();
    EXPECT_EQ(GetDirectory(c.Path), c.Directory);
    EXPECT_EQ(GetBaseName(c.Path), c.BaseName);
    EXPECT_EQ(GetExtension(c.Path), c.Extension);
    EXPECT_EQ(GetBackupPath(c.Path), c.Backup);
}

INSTANTIATE_TEST_SUITE_P(Paths, PathTest, ::testing::ValuesIn(PathCases));

} // namespace
