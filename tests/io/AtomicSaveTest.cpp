// The atomic save under injected failures of each system call: the previous version survives
// byte for byte, however often a save fails, and nothing else is left in the folder.
#include "io/AtomicFile.h"
#include "io/ProjectFile.h"

#include "support/ProjectFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

using namespace pendrake;
using namespace pendrake::test;

namespace {

enum class Step { Create, Write, Flush, Rename, FlushFolder };

struct Fault {
    const char* Name;
    Step FailingStep;
    int Error;
    std::string Reason; // after "Cannot save "<path>": "
    bool NewVersionInPlace = false;
};

// The real system calls, but the fault's step fails with its error. A failing write first puts
// half of the bytes in the file, as a disk that fills up does.
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
    // The first flush is the file's, the second the folder's.
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

void PrintTo(const Fault& f, std::ostream* os)
{
    *os << f.Name;
}

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

mode_t ModeOf(const std::string& path)
{
    struct stat st { };
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mode & 07777;
}

// An existing file keeps its bits, whatever the umask; a new one gets 0666 less the umask.
TEST_F(AtomicSaveTest, TheSavedFileKeepsItsPermissions)
{
    struct Case {
        bool Exists;
        mode_t Before;
        mode_t Umask;
        mode_t After;
    };
    const Case cases[] = {
        { true, 0444, 022, 0444 },
        { true, 0775, 077, 0775 },
        { false, 0, 022, 0644 },
    };
    const Project project = MakeNewProject("Arial");
    for (const Case& c : cases) {
        SCOPED_TRACE(
            ::testing::Message() << std::oct << "before " << c.Before << ", umask " << c.Umask);
        const std::string path = PathIn("wall.pdi");
        std::filesystem::remove(path);
        if (c.Exists) {
            WriteBinaryFile(path, { 1, 2, 3 });
            ASSERT_EQ(::chmod(path.c_str(), c.Before), 0);
        }
        const mode_t savedUmask = ::umask(c.Umask);
        const FileStatus status = WriteProjectFile(path, project);
        ::umask(savedUmask);
        ASSERT_TRUE(status.Ok) << status.Message;
        EXPECT_EQ(ModeOf(path), c.After);
    }
}

// Saving through a symbolic link replaces the file it points to; the link stays a link.
TEST_F(AtomicSaveTest, SavingThroughALinkWritesItsTarget)
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
