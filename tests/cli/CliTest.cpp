// pendrake-cli end to end: the real binary, real files, its exit statuses and its JSON.
#include "support/CliRunner.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("pendrake-cli-test-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

} // namespace

TEST_F(CliTest, NewWritesTheDefaultProjectWithArial)
{
    const RunResult r = RunCli("new -o '" + Path("a.pdi") + "'");
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(fs::file_size(Path("a.pdi")), 254u);

    const RunResult shown = RunCli("show '" + Path("a.pdi") + "'");
    ASSERT_EQ(shown.Status, 0) << shown.Err;
    EXPECT_NE(shown.Out.find("\"ReportFontName\": \"Arial\""), std::string::npos);
    EXPECT_NE(shown.Out.find("\"TopWidth\": 0.5,"), std::string::npos);
    // 9 significant digits bring the float back exactly: 0.17f prints as 0.170000002.
    EXPECT_NE(shown.Out.find("\"ConcPoisson\": 0.170000002"), std::string::npos);
    EXPECT_NE(shown.Out.find("\"LineLoads\": []"), std::string::npos);
    EXPECT_NE(shown.Out.find("\"ReinUserSet\": false"), std::string::npos);
    EXPECT_NE(shown.Out.find("\"messages\": []"), std::string::npos);
}

TEST_F(CliTest, ShowWithoutAFileShowsANewProject)
{
    const RunResult r = RunCli("show");
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find("\"FrontHeight\": 9,"), std::string::npos);
    EXPECT_NE(r.Out.find("\"PageFieldText\": [\"&Input\", \"&Date &Time\", \"Page &Page\"]"),
        std::string::npos);
}

TEST_F(CliTest, ConvertSwitchesUnitsAndSaves)
{
    ASSERT_EQ(RunCli("new -o '" + Path("a.pdi") + "'").Status, 0);
    const RunResult r
        = RunCli("convert '" + Path("a.pdi") + "' --units SI -o '" + Path("b.pdi") + "'");
    ASSERT_EQ(r.Status, 0) << r.Err;
    const RunResult shown = RunCli("show '" + Path("b.pdi") + "'");
    EXPECT_NE(shown.Out.find("\"UnitSystem\": 1,"), std::string::npos);
    // 300 kg/cm² x 0.0981 and 4000 x 0.0981, unrounded in single precision.
    EXPECT_NE(shown.Out.find("\"ConcFc\": 29.4300022,"), std::string::npos) << shown.Out;
    EXPECT_NE(shown.Out.find("\"RebarFy\": 392.400024,"), std::string::npos) << shown.Out;
}

TEST_F(CliTest, AnUnreadableFileFailsWithNothingOnStdout)
{
    std::ofstream(Path("short.pdi"), std::ios::binary) << std::string("\0\0\0\0\x19", 5);
    for (const std::string& file : { Path("short.pdi"), Path("missing.pdi") }) {
        const RunResult r = RunCli("show '" + file + "'");
        EXPECT_EQ(r.Status, 1) << file;
        EXPECT_TRUE(r.Out.empty()) << file;
        EXPECT_NE(r.Err.find(file), std::string::npos) << r.Err;
    }
}

TEST_F(CliTest, UsageErrorsExitWithTwo)
{
    for (const std::string& args : { std::string(""), std::string("frobnicate"), std::string("new"),
             std::string("show --bogus"), std::string("convert --units furlongs -o x.pdi"),
             std::string("show a.pdi b.pdi") }) {
        const RunResult r = RunCli(args);
        EXPECT_EQ(r.Status, 2) << "arguments: " << args;
        EXPECT_TRUE(r.Out.empty()) << "arguments: " << args;
    }
}

TEST_F(CliTest, StabilityOfTheDefaultWallWithServiceAndFactoredLoads)
{
    const RunResult service = RunCli("stability");
    ASSERT_EQ(service.Status, 0) << service.Err;
    EXPECT_NE(service.Out.find("\"Stable\": true"), std::string::npos);
    // Piece 1 of the default wall: 6.0 x 0.5 x 2.4 T/m³ = 7.2 T/m.
    EXPECT_NE(service.Out.find("\"DeadForce\": [7.20000029, 6.48000002,"), std::string::npos);
    EXPECT_NE(service.Out.find("\"notes\": ["), std::string::npos);

    // Doubling the dead load doubles its case moment; only the dead case changes.
    const RunResult doubled = RunCli("stability --factors 2,1,1,1,1,1,1");
    ASSERT_EQ(doubled.Status, 0) << doubled.Err;
    EXPECT_NE(doubled.Out.find("\"DeadForce\": [14.4000006, 12.96,"), std::string::npos);
    EXPECT_EQ(RunCli("stability --factors 1,1,1").Status, 2);
    EXPECT_EQ(RunCli("stability --factors 1,1,1,1,1,1,x").Status, 2);
}

TEST_F(CliTest, CalculatorTakesItsInputsByName)
{
    // Rankine: a level soil behind a smooth vertical back with phi 30 gives Ka = 1/3, Kp = 3.
    const RunResult r
        = RunCli("calculator --set FrictionAngle=30 --set WallFriction=0 "
                 "--set WallInclination=0 --set SoilSlope=0 --set SeismicCoefficient=0");
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find("\"Ka\": 0.333333"), std::string::npos) << r.Out.substr(0, 600);
    EXPECT_NE(r.Out.find("\"Kp\": 3"), std::string::npos);
    EXPECT_NE(r.Out.find("\"K0\": 0.5,"), std::string::npos);
    EXPECT_EQ(RunCli("calculator --set Nonsense=1").Status, 2);
    EXPECT_EQ(RunCli("calculator --set FrictionAngle=-5").Status, 2);
}

TEST_F(CliTest, DesignRunsTheCombinationsOfTheDefaultWall)
{
    const RunResult r = RunCli("design");
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find("\"Stable\": true"), std::string::npos);
    // Section heights in cm: section 1 is TopWidth + UpperBackOffset = 1.4 m, the toe 1.0 m.
    EXPECT_NE(r.Out.find("\"ReinHeight\": [140, 140, "), std::string::npos);
    EXPECT_NE(r.Out.find(", 100, 100],"), std::string::npos);
    EXPECT_NE(r.Out.find("\"warnings\": {"), std::string::npos);
    EXPECT_EQ(r.Out.find("nan"), std::string::npos);
}
