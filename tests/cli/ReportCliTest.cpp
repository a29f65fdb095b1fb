// The printed report end to end: pendrake-cli writes the PDF, pdftoppm renders each sheet, and
// every half-sheet that holds a section carries ink. (Where a section lies inside its frame is
// the print job's own test, on the recording canvas.)
#include "io/ProjectFile.h"
#include "model/Project.h"
#include "support/CliRunner.h"
#include "support/ProjectFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace pendrake;
using namespace pendrake::test;

namespace {

// Rendering resolution: coarse enough to be quick, fine enough to see a line of text.
constexpr int RenderDpi = 50;
// A half holds a section when this many dark pixels lie in it; a section has a title strip,
// text and figures, several thousand pixels at this resolution; an empty half a few hundred.
constexpr int InkedHalfMinimum = 1500;
constexpr int DarkGrey = 160;

int Shell(const std::string& command)
{
    return WEXITSTATUS(std::system(command.c_str()));
}

// The dark pixels of the upper and the lower half of a binary PGM (P5) as pdftoppm -gray writes
// it; nothing when there is no such page.
std::vector<int> InkOfHalves(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maxValue = 0;
    in >> magic >> width >> height >> maxValue;
    in.get();
    if (magic != "P5" || maxValue != 255 || width <= 0 || height <= 0)
        return {};
    std::vector<int> ink(2);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ink[size_t(2 * y / height)] += in.get() < DarkGrey;
    return in ? ink : std::vector<int> {};
}

// Dimensions, Loads, Properties, Stability, Reactions and Concrete 1/4 to 4/4: nine sections on
// five sheets, for a wall whose anchors take tension, so that the anchor parts are drawn too; the
// last sheet's lower half holds no section.
class ReportCliTest : public TempDirTest { };

TEST_F(ReportCliTest, EverySectionCarriesInkOnItsHalfSheet)
{
    if (!CliHasReport())
        GTEST_SKIP() << "pendrake-cli was built without the report (no Qt)";
    if (Shell("command -v pdftoppm > /dev/null") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    Project anchored = MakeNewProject("Arial");
    // A push towards the toe at the wall top moves the resultant into the front third, so the
    // rear of the base lifts and the anchors take tension.
    anchored.LineLoadCount = 1;
    anchored.LineLoads[1] = { 10.0f, 1.2f, 10.0f, 270.0f, 2 };
    ASSERT_TRUE(WriteProjectFile(PathIn("wall.pdi"), anchored).Ok);
    const RunResult r
        = RunCli("report '" + PathIn("wall.pdi") + "' -o '" + PathIn("wall.pdf") + "'");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find("\"sheets\": 5,"), std::string::npos) << r.Out;
    ASSERT_EQ(Shell("pdftoppm -gray -r " + std::to_string(RenderDpi) + " '" + PathIn("wall.pdf")
                  + "' '" + PathIn("sheet") + "'"),
        0);
    // pdftoppm numbers the pages with as many digits as the last one needs: one for five.
    std::vector<int> halves;
    for (int sheet = 1; sheet <= 6; ++sheet)
        for (int ink : InkOfHalves(dir_ / ("sheet-" + std::to_string(sheet) + ".pgm")))
            halves.push_back(ink);
    ASSERT_EQ(halves.size(), 10u);
    for (size_t s = 0; s < 9; ++s)
        EXPECT_GT(halves[s], InkedHalfMinimum) << "section " << s + 1;
    EXPECT_LT(halves[9], InkedHalfMinimum);
}

} // namespace
