// Writing project files: exact round trips of inputs no golden file holds, places the system
// refuses, projects a file cannot hold, and the atomic save under injected failures of each
// system call, after which the previous version survives byte for byte and nothing else is left.
#include "io/AtomicFile.h"
#include "io/ProjectFile.h"

#include "support/ProjectFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <limits>
#include <sys/stat.h>
#include <tuple>

using namespace pendrake;
using namespace pendrake::test;

namespace {

class WriteProjectFileTest : public TempDirTest { };

// Where the layout puts each field is pinned by the golden files, which every writer's bytes
// must equal (ProjectFileReadTest), for a new project and one with every field changed, texts
// beyond ASCII included; the code page's undefined bytes are the codepage test's. Here the writer
// meets the edges no golden file holds, all in one project: empty texts, the longest title, ten
// line loads, the ends of the float and margin ranges, -0, and bars left to the program.
TEST_F(WriteProjectFileTest, ReadingBackGivesEveryInputExactly)
{
    Project input = EveryFieldChanged();
    input.ReportFontName.clear();
    input.PageFieldText = { "", "", "", "" };
    input.ProjectTitle = std::string(std::numeric_limits<int16_t>::max(), 'W');
    input.LineLoadCount = MaxLineLoads;
    for (int k = 1; k <= MaxLineLoads; ++k)
        input.LineLoads[k]
            = { 1.5f * k, 0.25f * k, 10.0f - k, 90.0f * (k % 4), static_cast<int16_t>(1 + k % 7) };
    input.TopWidth = std::numeric_limits<float>::max();
    input.ShelfWidth = -std::numeric_limits<float>::max();
    input.BackfillSlope = std::numeric_limits<float>::denorm_min();
    input.SeismicCoef = -0.0f;
    input.MarginLeft = -32768;
    input.MarginRight = 32767;
    input.UnitSystem = 2;
    input.ReinUserSet = false;
    input.ReinDia = {};
    input.ReinPitch = {};
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
    { "NaNDimension", [](Project& p) { p.TopWidth = std::nanf(""); },
        "the top width is not a finite number (NaN)" },
    { "InfiniteLineLoad", [](Project& p) { p.LineLoadCount = 1, p.LineLoads[1].Load = INFINITY; },
        "the load of line load 1 is not a finite number (infinity)" },
    { "ElevenLineLoads", [](Project& p) { p.LineLoadCount = 11; },
        "the project holds 11 line loads; a project has 0 to 10" },
    { "NaNFontSizeAndElevenLineLoads",
        [](Project& p) { p.ReportFontSize = std::nanf(""), p.LineLoadCount = 11; },
        "the report font size is not a finite number (NaN)" },
    // What the reader would refuse, the writer must not produce.
    { "UnitSystemThree", [](Project& p) { p.UnitSystem = 3; },
        "the unit system is 3; only 0 (Metric), 1 (SI) and 2 (British) exist" },
    { "LineLoadOfCaseZero",
        [](Project& p) { p.LineLoadCount = 2, p.LineLoads[1].Type = 1, p.LineLoads[2].Type = 0; },
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

// --- The atomic save ---------------------------------------------------------------------------

enum class Step { Create, Write, Flush, Rename, FlushFolder };

struct Fault {
    const char* Name;
    Step FailingStep;
    int Error;
    std::string Reason; // after "Cannot save "<path>": "
    bool NewVersionInPlace = false;
};

// The real system calls, but the fault's step fails with its error. A failing write first puts
// half of the bytes in the file, as a disk that fills up does; the first flush is the file's,
// the second the folder's.
struct FailingSteps : FileWriteSteps {
    const Fault& F;
    int Flushes = 0;
    explicit FailingSteps(const Fault& f)
        : F(f)
    {
    }
    int Create(const std::string& path, std::optional<mode_t> keepMode, int& fd) override
    {
        return F.FailingStep == Step::Create ? F.Error : FileWriteSteps::Create(path, keepMode, fd);
    }
    int Write(int fd, std::span<const uint8_t> bytes) override
    {
        if (F.FailingStep != Step::Write)
            return FileWriteSteps::Write(fd, bytes);
        FileWriteSteps::Write(fd, bytes.first(bytes.size() / 2));
        return F.Error;
    }
    int Flush(int fd) override
    {
        const Step step = ++Flushes == 1 ? Step::Flush : Step::FlushFolder;
        return F.FailingStep == step ? F.Error : FileWriteSteps::Flush(fd);
    }
    int Rename(const std::string& from, const std::string& to) override
    {
        return F.FailingStep == Step::Rename ? F.Error : FileWriteSteps::Rename(from, to);
    }
};

// One row for each system call that may fail.
const Fault Faults[] = {
    { "CreateOnReadOnlyDisk", Step::Create, EROFS, "Read-only file system." },
    { "WriteOnFullDisk", Step::Write, ENOSPC, "No space left on device." },
    { "FlushOfARemovedStick", Step::Flush, EIO, "Input/output error." },
    { "RenameRefused", Step::Rename, EPERM, "Operation not permitted." },
    // After the rename the new version holds the name; a folder that cannot be flushed still
    // fails the save, since a power cut could bring the old name back.
    { "FolderFlushOfARemovedStick", Step::FlushFolder, EIO,
        "the new version is written, but the folder could not be flushed to the disk "
        "(Input/output error).",
        true },
};

class AtomicSaveTest : public TempDirTest, public ::testing::WithParamInterface<Fault> { };

TEST_P(AtomicSaveTest, FailedSavesLeaveOneVersionAndNothingElse)
{
    const Fault& fault = GetParam();
    const std::vector<uint8_t> previous = FileBytes(EveryFieldChanged());
    const Project changed = MakeNewProject("Arial");
    // Over a previous version, and under a new name, twice each.
    for (const char* name : { "wall1.pdi", "new wall.pdi" }) {
        WriteBinaryFile(PathIn("wall1.pdi"), previous);
        for (int attempt = 1; attempt <= 2; ++attempt) {
            SCOPED_TRACE(std::string(name) + ", attempt " + std::to_string(attempt));
            FailingSteps steps(fault);
            const FileStatus status = WriteProjectFile(PathIn(name), changed, steps);
            EXPECT_FALSE(status.Ok);
            EXPECT_EQ(status.Message, "Cannot save \"" + PathIn(name) + "\": " + fault.Reason);
            const bool renamed = fault.NewVersionInPlace && name == std::string("wall1.pdi");
            EXPECT_EQ(ReadBinaryFile(PathIn("wall1.pdi")), renamed ? FileBytes(changed) : previous);
            std::vector<std::string> names { "wall1.pdi" };
            if (fault.NewVersionInPlace && name != std::string("wall1.pdi"))
                names.insert(names.begin(), name);
            EXPECT_EQ(FileNames(), names);
        }
        std::filesystem::remove(PathIn("new wall.pdi"));
    }

    // The next save that works replaces the file, and only the file.
    const FileStatus status = WriteProjectFile(PathIn("wall1.pdi"), changed);
    ASSERT_TRUE(status.Ok) << status.Message;
    EXPECT_EQ(ReadBinaryFile(PathIn("wall1.pdi")), FileBytes(changed));
    EXPECT_EQ(FileNames(), std::vector<std::string> { "wall1.pdi" });
}

INSTANTIATE_TEST_SUITE_P(ProjectFile, AtomicSaveTest, ::testing::ValuesIn(Faults),
    [](const auto& info) { return std::string(info.param.Name); });

// An existing file keeps its bits, whatever the umask; a new one gets 0666 less the umask.
TEST_F(WriteProjectFileTest, TheSavedFileKeepsItsPermissions)
{
    // Whether the file exists, its bits before, the umask, its bits after.
    const std::tuple<bool, mode_t, mode_t, mode_t> cases[]
        = { { true, 0444, 022, 0444 }, { true, 0775, 077, 0775 }, { false, 0, 022, 0644 } };
    const std::string path = PathIn("wall.pdi");
    for (const auto& [exists, before, mask, after] : cases) {
        SCOPED_TRACE(::testing::Message() << std::oct << "before " << before << ", umask " << mask);
        std::filesystem::remove(path);
        if (exists) {
            WriteBinaryFile(path, { 1, 2, 3 });
            ASSERT_EQ(::chmod(path.c_str(), before), 0);
        }
        const mode_t savedUmask = ::umask(mask);
        const FileStatus status = WriteProjectFile(path, MakeNewProject("Arial"));
        ::umask(savedUmask);
        ASSERT_TRUE(status.Ok) << status.Message;
        struct stat st { };
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, after);
    }
}

// Saving through a symbolic link replaces the file it points to; the link stays a link.
TEST_F(WriteProjectFileTest, SavingThroughALinkWritesItsTarget)
{
    std::filesystem::create_directory(PathIn("versions"));
    WriteBinaryFile(PathIn("versions/wall-v3.pdi"), { 1, 2, 3 });
    std::filesystem::create_symlink("versions/wall-v3.pdi", PathIn("current.pdi"));
    const Project project = MakeNewProject("Arial");
    const FileStatus status = WriteProjectFile(PathIn("current.pdi"), project);
    ASSERT_TRUE(status.Ok) << status.Message;
    EXPECT_TRUE(std::filesystem::is_symlink(PathIn("current.pdi")));
    EXPECT_EQ(ReadBinaryFile(PathIn("versions/wall-v3.pdi")), FileBytes(project));
    EXPECT_EQ(FileNames(), (std::vector<std::string> { "current.pdi", "versions" }));
}

} // namespace
