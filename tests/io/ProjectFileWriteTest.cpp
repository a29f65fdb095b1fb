// Writing project files: exact round trips of inputs no golden file holds, places the system
// refuses, and projects a file cannot hold. (A save that fails at each system call: the atomic
// save test.)
#include "io/ProjectFile.h"

#include "support/ProjectFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

using namespace pendrake;
using namespace pendrake::test;

namespace {

class WriteProjectFileTest : public TempDirTest { };

// Where the layout puts each field is pinned by the golden files, which every writer's bytes
// must equal (ProjectFileReadTest), for a new project and one with every field changed, texts
// beyond ASCII included; the code page's undefined bytes are the codepage test's. Here the writer
// meets the edges no golden file holds.
TEST_F(WriteProjectFileTest, ReadingBackGivesEveryInputExactly)
{
    const std::pair<const char*, void (*)(Project&)> cases[] = {
        { "EmptyTexts",
            [](Project& p) {
                p.ReportFontName.clear();
                p.PageFieldText = { "", "", "", "" };
            } },
        { "LongestTitle",
            [](Project& p) {
                p.ProjectTitle = std::string(std::numeric_limits<int16_t>::max(), 'W');
            } },
        { "TenLineLoads",
            [](Project& p) {
                p.LineLoadCount = MaxLineLoads;
                for (int k = 1; k <= MaxLineLoads; ++k)
                    p.LineLoads[k] = { 1.5f * k, 0.25f * k, 10.0f - k, 90.0f * (k % 4),
                        static_cast<int16_t>(1 + k % 7) };
            } },
        { "ExtremeValues",
            [](Project& p) {
                p = EveryFieldChanged();
                p.TopWidth = std::numeric_limits<float>::max();
                p.ShelfWidth = -std::numeric_limits<float>::max();
                p.BackfillSlope = std::numeric_limits<float>::denorm_min();
                p.SeismicCoef = -0.0f;
                p.MarginLeft = -32768;
                p.MarginRight = 32767;
                p.UnitSystem = 2;
                p.ReinUserSet = false;
                p.ReinDia = {};
                p.ReinPitch = {};
            } },
    };
    for (const auto& [name, change] : cases) {
        SCOPED_TRACE(name);
        Project input = MakeNewProject("Arial");
        change(input);
        const std::string path = PathIn("round-trip.pdi");
        const FileStatus written = WriteProjectFile(path, input);
        ASSERT_TRUE(written.Ok) << written.Message;
        Project readBack = MakeNewProject("Courier");
        const FileStatus read = ReadProjectFile(path, readBack);
        ASSERT_TRUE(read.Ok) << read.Message;
        EXPECT_TRUE(SameProject(input, readBack));
        // And the file it gives when saved again is the same, byte for byte.
        EXPECT_EQ(FileBytes(readBack), ReadBinaryFile(path));
    }
}

TEST_F(WriteProjectFileTest, AnUnwritablePlaceGivesTheSystemsReason)
{
    WriteBinaryFile(PathIn("plain-file"), { 0 });
    const std::pair<const char*, const char*> places[] = {
        { "no-such-folder/wall.pdi", "No such file or directory" },
        { "plain-file/wall.pdi", "Not a directory" },
        { ".", "Is a directory" },
    };
    for (const auto& [relative, reason] : places) {
        const std::string path = PathIn(relative);
        const FileStatus status = WriteProjectFile(path, MakeNewProject("Arial"));
        EXPECT_FALSE(status.Ok);
        EXPECT_EQ(status.Message, "Cannot save \"" + path + "\": " + reason + ".");
    }
    EXPECT_EQ(FileNames(), std::vector<std::string> { "plain-file" });
}

// --- Projects a file cannot hold --------------------------------------------------------------

struct Unwritable {
    const char* Name;
    void (*Spoil)(Project&);
    std::string Problem;
};

const Unwritable UnwritableProjects[] = {
    { "CheckMarkInTitle", [](Project& p) { p.ProjectTitle = "Checked \u2713"; },
        "the project title holds the character \"\u2713\" (U+2713), which a project file cannot "
        "store" },
    { "GreekInLeftFooter", [](Project& p) { p.PageFieldText[1] = "\u03C6 = 30\u00B0"; },
        "the left footer text holds the character \"\u03C6\" (U+03C6)" },
    { "ArrowInCentreFooter", [](Project& p) { p.PageFieldText[2] = "\u2192"; },
        "the centre footer text holds the character \"\u2192\" (U+2192)" },
    { "ControlInRightFooter", [](Project& p) { p.PageFieldText[3] = "a\u0080"; },
        "the right footer text holds the character \"\u0080\" (U+0080)" },
    { "CjkFontName", [](Project& p) { p.ReportFontName = "\u5B8B\u4F53"; },
        "the report font name holds the character \"\u5B8B\" (U+5B8B)" },
    // ü in Latin-1 (0xFC), not UTF-8.
    { "BrokenUtf8Title", [](Project& p) { p.ProjectTitle = "S\374d"; },
        "the project title is not valid UTF-8 text (at byte 2)" },
    { "TitleTooLong", [](Project& p) { p.ProjectTitle = std::string(32768, 'W'); },
        "the project title is longer than the 32767 characters a project file can store" },
    { "NaNDimension", [](Project& p) { p.TopWidth = std::numeric_limits<float>::quiet_NaN(); },
        "the top width is not a finite number (NaN)" },
    { "InfiniteLineLoad",
        [](Project& p) {
            p.LineLoadCount = 1;
            p.LineLoads[1].Load = std::numeric_limits<float>::infinity();
        },
        "the load of line load 1 is not a finite number (infinity)" },
    { "ElevenLineLoads", [](Project& p) { p.LineLoadCount = 11; },
        "the project holds 11 line loads; a project has 0 to 10" },
    { "NaNFontSizeAndElevenLineLoads",
        [](Project& p) {
            p.ReportFontSize = std::numeric_limits<float>::quiet_NaN();
            p.LineLoadCount = 11;
        },
        "the report font size is not a finite number (NaN)" },
    // What the reader would refuse, the writer must not produce.
    { "UnitSystemThree", [](Project& p) { p.UnitSystem = 3; },
        "the unit system is 3; only 0 (Metric), 1 (SI) and 2 (British) exist" },
    { "LineLoadOfCaseZero",
        [](Project& p) {
            p.LineLoadCount = 2;
            p.LineLoads[1].Type = 1;
            p.LineLoads[2].Type = 0;
        },
        "the load case of line load 2 is 0; load cases are numbered 1 to 7" },
};

TEST_F(WriteProjectFileTest, AProjectTheFileCannotHoldIsRefusedBeforeAnythingOnDiskChanges)
{
    // A previous version of the project, holding other bytes than a new project.
    const std::vector<uint8_t> previous = FileBytes(EveryFieldChanged());
    WriteBinaryFile(PathIn("wall.pdi"), previous);
    for (const Unwritable& c : UnwritableProjects) {
        SCOPED_TRACE(c.Name);
        Project project = MakeNewProject("Arial");
        c.Spoil(project);
        const Project before = project;

        const FileStatus status = WriteProjectFile(PathIn("wall.pdi"), project);
        EXPECT_FALSE(status.Ok);
        EXPECT_EQ(
            status.Message.rfind("Cannot save \"" + PathIn("wall.pdi") + "\": " + c.Problem, 0), 0u)
            << status.Message;
        EXPECT_EQ(ReadBinaryFile(PathIn("wall.pdi")), previous);
        EXPECT_EQ(FileNames(), std::vector<std::string> { "wall.pdi" });
        EXPECT_TRUE(SameProject(before, project)); // Modified kept, nothing else touched
    }
}

} // namespace
