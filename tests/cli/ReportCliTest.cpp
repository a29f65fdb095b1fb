// The printed report end to end: pendrake-cli writes the PDF, pdftoppm renders each sheet, and
// every half-page section must carry ink inside its frame.
#include "io/ProjectFile.h"
#include "model/Project.h"
#include "support/CliRunner.h"
#include "support/ProjectFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace pendrake;
using namespace pendrake::test;

namespace {

// Rendering resolution: coarse enough to be quick, fine enough to see a line of text.
constexpr int RenderDpi = 50;
constexpr double MillimetresPerInch = 25.4;
// A sheet's half holds a section when this many dark pixels lie inside its frame; a section
// has a title strip, text and figures, several thousand pixels at this resolution.
constexpr int InkedHalfMinimum = 400;
// An unused half is blank but for rendering noise.
constexpr int BlankHalfMaximum = 10;
constexpr int DarkGrey = 160;

struct Grey {
    int Width = 0;
    int Height = 0;
    std::vector<unsigned char> Pixels;
};

// Reads a binary PGM (P5) as pdftoppm -gray writes it.
bool ReadPgm(const fs::path& path, Grey& image)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> image.Width >> image.Height >> maxValue;
    in.get();
    if (magic != "P5" || maxValue != 255 || image.Width <= 0 || image.Height <= 0)
        return false;
    image.Pixels.resize(size_t(image.Width) * size_t(image.Height));
    in.read(reinterpret_cast<char*>(image.Pixels.data()), std::streamsize(image.Pixels.size()));
    return bool(in);
}

int Px(double millimetres)
{
    return int(millimetres / MillimetresPerInch * RenderDpi);
}

// Dark pixels in the rectangle given in millimetres from the sheet's top left corner.
int DarkPixels(const Grey& g, double left, double top, double right, double bottom)
{
    int count = 0;
    for (int y = Px(top); y < Px(bottom) && y < g.Height; ++y)
        for (int x = Px(left); x < Px(right) && x < g.Width; ++x)
            count += g.Pixels[size_t(y) * size_t(g.Width) + size_t(x)] < DarkGrey;
    return count;
}

int Shell(const std::string& command)
{
    return WEXITSTATUS(std::system(command.c_str()));
}

class ReportCliTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        if (!CliHasReport())
            GTEST_SKIP() << "pendrake-cli was built without the report (no Qt)";
        if (Shell("command -v pdftoppm > /dev/null") != 0)
            GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    }

    // Writes the report of `project` and renders it; returns the sheets.
    std::vector<Grey> Report(const Project& project)
    {
        EXPECT_TRUE(WriteProjectFile(PathIn("wall.pdi"), project).Ok);
        const RunResult r
            = RunCli("report '" + PathIn("wall.pdi") + "' -o '" + PathIn("wall.pdf") + "'");
        EXPECT_EQ(r.Status, 0) << r.Err;
        EXPECT_NE(r.Out.find("\"sheets\": 5,"), std::string::npos) << r.Out;
        EXPECT_EQ(Shell("pdftoppm -gray -r " + std::to_string(RenderDpi) + " '" + PathIn("wall.pdf")
                      + "' '" + PathIn("sheet") + "'"),
            0);
        // pdftoppm numbers the pages with as many digits as the last one needs: one for five.
        std::vector<Grey> sheets;
        for (Grey g; ReadPgm(dir_ / ("sheet-" + std::to_string(sheets.size() + 1) + ".pgm"), g);)
            sheets.push_back(g);
        return sheets;
    }
};

// On A4 with the default margins (left 25, top 20 mm) the two frames are each 7002 twips
// (123.5 mm) high, one under the other. The inset keeps the frame lines themselves out.
constexpr double FrameLeft = 25 + 3;
constexpr double FrameRight = 25 + 165 - 3;
constexpr double UpperTop = 20 + 3;
constexpr double UpperBottom = 20 + 123.5 - 3;
constexpr double LowerTop = 20 + 123.5 + 10 + 3;
constexpr double LowerBottom = 20 + 257 - 12;

void ExpectSections(const std::vector<Grey>& sheets, int sections)
{
    ASSERT_EQ(int(sheets.size()), (sections + 1) / 2);
    for (int s = 0; s < sections; ++s) {
        const Grey& sheet = sheets[size_t(s / 2)];
        const bool upper = s % 2 == 0;
        const int ink = DarkPixels(sheet, FrameLeft, upper ? UpperTop : LowerTop, FrameRight,
            upper ? UpperBottom : LowerBottom);
        EXPECT_GT(ink, InkedHalfMinimum) << "section " << s + 1;
    }
    if (sections % 2 == 1) {
        EXPECT_LT(DarkPixels(sheets.back(), FrameLeft, LowerTop, FrameRight, LowerBottom),
            BlankHalfMaximum);
    }
}

// Dimensions, Loads, Properties, Stability, Reactions and Concrete 1/4 to 4/4: nine sections on
// five sheets, for a wall whose anchors take tension, so that the anchor parts are drawn too.
// (Which sections a choice prints, and on which half, is the print job's own test.)
TEST_F(ReportCliTest, EverySectionCarriesInkInsideItsFrame)
{
    Project anchored = MakeNewProject("Arial");
    // A push towards the toe at the wall top moves the resultant into the front third, so the
    // rear of the base lifts and the anchors take tension.
    anchored.LineLoadCount = 1;
    anchored.LineLoads[1] = { 10.0f, 1.2f, 10.0f, 270.0f, 2 };
    ExpectSections(Report(anchored), 9);
}

} // namespace
