// The recent-file list rules and the settings store: what is written is read back, absent or
// damaged keys give the defaults, and the store lives where the test run put it.
#include "io/Settings.h"

#include <QDir>
#include <QSettings>
#include <QString>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pendrake {
namespace {

TEST(RecentFileRules, ListAfterOpening)
{
    struct Case {
        const char* Name;
        std::vector<std::string> Opened; // in the order the engineer opened or saved them
        std::vector<std::string> Expected; // the list afterwards, newest first
    };
    const Case cases[] = {
        { "reopening moves to the top without a duplicate, a fifth pushes out the oldest",
            { "/w/a.pdi", "/w/b.pdi", "/w/c.pdi", "/w/d.pdi", "/w/e.pdi", "/w/c.pdi" },
            { "/w/c.pdi", "/w/e.pdi", "/w/d.pdi", "/w/b.pdi" } },
        { "reopening the oldest of a full list",
            { "/w/a.pdi", "/w/b.pdi", "/w/c.pdi", "/w/d.pdi", "/w/a.pdi" },
            { "/w/a.pdi", "/w/d.pdi", "/w/c.pdi", "/w/b.pdi" } },
        { "letter case makes another entry", { "/w/wall.pdi", "/w/Wall.pdi" },
            { "/w/Wall.pdi", "/w/wall.pdi" } },
        { "an empty path is ignored", { "/w/a.pdi", "" }, { "/w/a.pdi" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        RecentFiles recent;
        for (const std::string& path : c.Opened)
            AddRecentFile(recent, path);
        ASSERT_EQ(recent.Count, int16_t(c.Expected.size()));
        for (int i = 1; i <= RecentFileSlots; ++i) {
            const std::string expected = i <= recent.Count ? c.Expected[size_t(i - 1)] : "";
            EXPECT_EQ(recent.File[i], expected) << "slot " << i;
        }
    }
}

class SettingsStore : public testing::Test {
protected:
    void SetUp() override
    {
        Raw().clear();
        // The test program points the per-user store at a temporary folder; the engineer's own
        // settings (under the home directory) must never be touched by a test.
        EXPECT_FALSE(Raw().fileName().startsWith(QDir::homePath()));
    }
    static QSettings Raw()
    {
        return QSettings(QStringLiteral("Pendrake"), QStringLiteral("Pendrake"));
    }
};

TEST_F(SettingsStore, RecentFilesAndTheLastFolderReadBackAsWritten)
{
    EXPECT_EQ(LoadRecentFiles().Count, 0);
    EXPECT_EQ(LoadLastDir(), std::string());
    SaveLastDir("/home/ingénieur/Stützmauern");
    EXPECT_EQ(LoadLastDir(), "/home/ingénieur/Stützmauern");

    RecentFiles recent;
    for (const char* path : { "/walls/a.pdi", "/walls/Wände/b.pdi", "/walls/c & d.pdi" })
        AddRecentFile(recent, path);
    SaveRecentFiles(recent);
    EXPECT_EQ(LoadRecentFiles(), recent);
    // All four keys are written, the unused one empty, so an older longer list is overwritten.
    EXPECT_TRUE(Raw().contains(QStringLiteral("Recent/File4")));
    EXPECT_EQ(Raw().value(QStringLiteral("Recent/File4")).toString(), QString());

    // Gaps in a stored list are closed.
    Raw().setValue(QStringLiteral("Recent/File1"), QString());
    const RecentFiles closed = LoadRecentFiles();
    ASSERT_EQ(closed.Count, 2);
    EXPECT_EQ(closed.File[1], "/walls/Wände/b.pdi");
    EXPECT_EQ(closed.File[2], "/walls/a.pdi");
}

} // namespace
} // namespace pendrake
