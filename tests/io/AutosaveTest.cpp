// Autosave: copies found again after a crash and not after a clean exit, never over the project
// file, and the schedule of copies while the engineer works.
#include "io/Autosave.h"

#include "support/ProjectFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>

using namespace pendrake;
using namespace pendrake::test;
using namespace std::chrono_literals;

namespace {

using SystemClock = std::chrono::system_clock;

// 2024-05-03 14:32:00 UTC.
const SystemClock::time_point CrashTime = SystemClock::time_point { 1714746720s };

class AutosaveStoreTest : public TempDirTest { };

// Copies of a saved project, of another file of the same name and of an unnamed project, beside
// files that are no whole copy: each copy is found at the next start with its file and time and
// reads back the project, the project file is never written, a damaged copy is refused with the
// project in memory as it was, and a clean exit (or a save, or a discard) removes only its copy.
TEST_F(AutosaveStoreTest, CopiesAreFoundAfterACrashAndRemovedOneByOne)
{
    const AutosaveStore store(dir_ / "data");
    const Project project = EveryFieldChanged();
    const std::string wall = PathIn("wall1.pdi");
    const std::string sameName = PathIn("other/wall1.pdi");
    WriteBinaryFile(wall, { 9, 8, 7 });
    EXPECT_TRUE(store.FindCopies().empty()); // the folder does not exist yet
    ASSERT_TRUE(store.Write(project, wall, CrashTime - 2min).Ok);
    ASSERT_TRUE(store.Write(project, sameName, CrashTime + 1min).Ok);
    ASSERT_TRUE(store.Write(project, "", CrashTime - 1min).Ok);
    // A second copy of the same file replaces the first.
    ASSERT_TRUE(store.Write(project, wall, CrashTime).Ok);
    WriteBinaryFile(dir_ / "data/notes.txt", { 'P', 'D' });
    WriteBinaryFile(dir_ / "data/broken.autosave", { 'P', 'D', 'A' });
    WriteBinaryFile(dir_ / "data/.wall1.pdi.1234-1.tmp", { 0 }); // a write cut off by a kill

    // What the program finds at its next start.
    std::vector<AutosaveCopy> copies = AutosaveStore(dir_ / "data").FindCopies();
    std::sort(copies.begin(), copies.end(),
        [](const auto& a, const auto& b) { return a.SavedAt < b.SavedAt; });
    ASSERT_EQ(copies.size(), 3u);
    const std::pair<std::string, SystemClock::time_point> expected[]
        = { { "", CrashTime - 1min }, { wall, CrashTime }, { sameName, CrashTime + 1min } };
    for (size_t k = 0; k < 3; ++k) {
        SCOPED_TRACE("original \"" + expected[k].first + "\"");
        EXPECT_EQ(copies[k].OriginalPath, expected[k].first);
        EXPECT_EQ(copies[k].SavedAt, expected[k].second);
        EXPECT_EQ(copies[k].CopyPath.parent_path(), dir_ / "data");
        Project recovered = MakeNewProject("Courier");
        const FileStatus read = AutosaveStore::Read(copies[k], recovered);
        ASSERT_TRUE(read.Ok) << read.Message;
        EXPECT_TRUE(SameProject(project, recovered));
    }
    EXPECT_EQ(ReadBinaryFile(wall), (std::vector<uint8_t> { 9, 8, 7 }));

    std::vector<uint8_t> bytes = ReadBinaryFile(copies[2].CopyPath);
    bytes.resize(bytes.size() - 100);
    WriteBinaryFile(copies[2].CopyPath, bytes);
    Project inMemory = MakeNewProject("Courier");
    const FileStatus read = AutosaveStore::Read(copies[2], inMemory);
    EXPECT_FALSE(read.Ok);
    EXPECT_EQ(read.Message.rfind("Cannot read \"" + copies[2].CopyPath.string() + "\": ", 0), 0u)
        << read.Message;
    EXPECT_TRUE(SameProject(MakeNewProject("Courier"), inMemory));

    store.Remove(wall);
    store.Remove("");
    const std::vector<AutosaveCopy> left = AutosaveStore(dir_ / "data").FindCopies();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].OriginalPath, sameName);
    store.Remove(sameName);
    EXPECT_TRUE(AutosaveStore(dir_ / "data").FindCopies().empty());
}

TEST(AutosaveQuestion, NamesTheFileAndTheTimeOfTheCopy)
{
    const char* savedTz = std::getenv("TZ");
    const std::string restore = savedTz != nullptr ? savedTz : "";
    setenv("TZ", "UTC", 1);
    tzset();
    struct Case {
        const char* Original;
        SystemClock::time_point Now;
        const char* Question;
    };
    const Case cases[] = {
        { "/home/eng/walls/wall1.pdi", CrashTime + 3min,
            "Recover the unsaved changes to wall1.pdi from 14:32?" },
        { "", CrashTime + 1h, "Recover the unsaved changes to [Unnamed] from 14:32?" },
        { "/walls/Wall A.pdi", CrashTime + 24h,
            "Recover the unsaved changes to Wall A.pdi from 2024-05-03 14:32?" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Question);
        EXPECT_EQ(RecoveryQuestion({ "x.autosave", c.Original, CrashTime }, c.Now), c.Question);
    }
    if (savedTz != nullptr)
        setenv("TZ", restore.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

// --- The schedule -----------------------------------------------------------------------------

// What the window does, second by second: a step, a change of Modified by save or recovery.
struct Event {
    int At; // seconds
    enum { Step, StepToClean, Saved, Recovered } What;
};

struct ScheduleCase {
    const char* Name;
    std::vector<Event> Events;
    int Until;
    std::vector<int> CopiesAt;
};

const ScheduleCase ScheduleCases[] = {
    { "OneStepThenIdle", { { 0, Event::Step } }, 150, { 0, 60, 120 } },
    { "NeverModified", {}, 150, {} },
    // Steps inside the ten seconds after a copy wait for the end of those ten seconds.
    { "QuickSteps",
        { { 0, Event::Step }, { 3, Event::Step }, { 5, Event::Step }, { 12, Event::Step } }, 90,
        { 0, 10, 20, 80 } },
    // A pending step is dropped by the save that follows it.
    { "SavedWhileAStepWaits", { { 0, Event::Step }, { 4, Event::Step }, { 6, Event::Saved } }, 120,
        { 0 } },
    { "UndoneBackToClean", { { 0, Event::Step }, { 20, Event::StepToClean } }, 150, { 0 } },
    // The recovered project is modified; its copy exists, the next one follows the period.
    { "Recovered", { { 0, Event::Recovered } }, 130, { 60, 120 } },
};

TEST(AutosaveSchedule, WritesTheCopiesWhenDue)
{
    for (const ScheduleCase& c : ScheduleCases) {
        SCOPED_TRACE(c.Name);
        AutosaveSchedule::Clock::time_point now {};
        AutosaveSchedule schedule([&now] { return now; });
        std::vector<int> copies;
        for (int second = 0; second <= c.Until; ++second) {
            now = AutosaveSchedule::Clock::time_point { std::chrono::seconds { second } };
            for (const Event& e : c.Events)
                if (e.At == second && (e.What == Event::Step || e.What == Event::StepToClean))
                    schedule.StepDone(e.What == Event::Step);
                else if (e.At == second)
                    schedule.SetModified(e.What == Event::Recovered);
            if (schedule.Due()) {
                copies.push_back(second);
                schedule.CopyAttempted();
            }
        }
        EXPECT_EQ(copies, c.CopiesAt);
    }
}

} // namespace
