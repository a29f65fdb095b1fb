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

// ---------------------------------------------------------------------------------------------
// The list itself

TEST(RecentFileRules, ListAfterOpening)
{
    struct Case {
        const char* Name;
        std::vector<std::string> Opened; // in the order the engineer opened or saved them
        std::vector<std::string> Expected; // the list afterwards, newest first
    };
    const Case cases[] = {
        { "fifth file pushes out the oldest",
            { "/w/a.pdi", "/w/b.pdi", "/w/c.pdi", "/w/d.pdi", "/w/e.pdi" },
            { "/w/e.pdi", "/w/d.pdi", "/w/c.pdi", "/w/b.pdi" } },
        { "reopening moves to the top without a duplicate",
            { "/w/a.pdi", "/w/b.pdi", "/w/c.pdi", "/w/d.pdi", "/w/e.pdi", "/w/c.pdi" },
            { "/w/c.pdi", "/w/e.pdi", "/w/d.pdi", "/w/b.pdi" } },
        { "reopening the oldest of a full list",
            { "/w/a.pdi", "/w/b.pdi", "/w/c.pdi", "/w/d.pdi", "/w/a.pdi" },
            { "/w/a.pdi", "/w/d.pdi", "/w/c.pdi", "/w/b.pdi" } },
        { "reopening the newest changes nothing", { "/w/a.pdi", "/w/b.pdi", "/w/b.pdi" },
            { "/w/b.pdi", "/w/a.pdi" } },
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

// ---------------------------------------------------------------------------------------------
// The store

class SettingsStore : public testing::Test {
protected:
    void SetUp() override
    {
        QSettings store(QStringLiteral("Pendrake"), QStringLiteral("Pendrake"));
        store.clear();
        store.sync();
    }
    static QSettings Raw()
    {
        return QSettings(QStringLiteral("Pendrake"), QStringLiteral("Pendrake"));
    }
};

TEST_F(SettingsStore, LivesInTheTestRunsTemporaryFolder)
{
    // The test program points the per-user store at a temporary folder; the engineer's own
    // settings (under the home directory) must never be touched by a test.
    const QString file = Raw().fileName();
    EXPECT_FALSE(file.startsWith(QDir::homePath())) << file.toStdString();
}

TEST_F(SettingsStore, RecentFilesAndTheLastFolderReadBackAsWritten)
{
    // Nothing stored: no recent files and no folder.
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
    QSettings raw = Raw();
    raw.beginGroup(QStringLiteral("Recent"));
    EXPECT_EQ(raw.value(QStringLiteral("File1")).toString(), QStringLiteral("/walls/c & d.pdi"));
    EXPECT_TRUE(raw.contains(QStringLiteral("File4")));
    EXPECT_EQ(raw.value(QStringLiteral("File4")).toString(), QString());
}

TEST_F(SettingsStore, GapsInTheStoredListAreClosed)
{
    {
        QSettings raw = Raw();
        raw.beginGroup(QStringLiteral("Recent"));
        raw.setValue(QStringLiteral("File1"), QString());
        raw.setValue(QStringLiteral("File2"), QStringLiteral("/w/b.pdi"));
        raw.setValue(QStringLiteral("File4"), QStringLiteral("/w/d.pdi"));
    }
    const RecentFiles recent = LoadRecentFiles();
    ASSERT_EQ(recent.Count, 2);
    EXPECT_EQ(recent.File[1], "/w/b.pdi");
    EXPECT_EQ(recent.File[2], "/w/d.pdi");
    EXPECT_TRUE(recent.File[3].empty());
}

constexpr int ScreenWidthTwips = 19200; // 1280 pixels
constexpr int ScreenHeightTwips = 14400; // 960 pixels

TEST_F(SettingsStore, AbsentPlacementIsTopLeftScreenSizedNormal)
{
    const WindowPlacement expected { WindowStateNormal, 0, 0, ScreenWidthTwips, ScreenHeightTwips };
    EXPECT_EQ(LoadWindowPlacement(ScreenWidthTwips, ScreenHeightTwips), expected);
}

TEST_F(SettingsStore, PlacementReadBackAsWrittenAsDecimalText)
{
    // A window on a monitor left of the primary one has a negative left edge.
    const WindowPlacement placed { WindowStateMaximised, -14400, 1200, 9600, 7200 };
    SaveWindowPlacement(placed);
    EXPECT_EQ(LoadWindowPlacement(ScreenWidthTwips, ScreenHeightTwips), placed);

    QSettings raw = Raw();
    raw.beginGroup(QStringLiteral("Window"));
    EXPECT_EQ(raw.value(QStringLiteral("Left")).toString(), QStringLiteral("-14400"));
    EXPECT_EQ(raw.value(QStringLiteral("WindowState")).toString(), QStringLiteral("2"));
}

TEST_F(SettingsStore, DamagedPlacementValuesGiveTheDefaults)
{
    {
        QSettings raw = Raw();
        raw.beginGroup(QStringLiteral("Window"));
        raw.setValue(QStringLiteral("Left"), QStringLiteral("left of the door"));
        raw.setValue(QStringLiteral("Top"), QStringLiteral("600"));
        raw.setValue(QStringLiteral("Width"), QString());
        // 1 is the minimised state, which the program never writes: it opens normal.
        raw.setValue(QStringLiteral("WindowState"), QStringLiteral("1"));
    }
    const WindowPlacement expected { WindowStateNormal, 0, 600, ScreenWidthTwips,
        ScreenHeightTwips };
    EXPECT_EQ(LoadWindowPlacement(ScreenWidthTwips, ScreenHeightTwips), expected);
}

} // namespace
} // namespace pendrake
