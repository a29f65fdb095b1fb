// pendrake-cli end to end: the real binary on real files. What only the companion does is
// checked here: its arguments, the shape of its JSON and CSV, what goes to stdout and to stderr,
// its exit statuses, and the printed report as pdftoppm renders it (where a section lies in its
// frame is the print job's own test, on the recording canvas). The numbers behind the JSON belong
// to the engine's own tests.
#include "io/ProjectFile.h"
#include "support/CliRunner.h"
#include "support/ProjectFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace pendrake;
using namespace pendrake::test;

namespace {

class CliTest : public TempDirTest {
protected:
    // The text with every "{dir}" replaced by the test's folder.
    std::string InDir(std::string text) const
    {
        for (size_t at = text.find("{dir}"); at != std::string::npos; at = text.find("{dir}", at))
            text.replace(at, 5, dir_.string());
        return text;
    }
    RunResult Run(const std::string& arguments) const { return RunCli(InDir(arguments)); }
};

std::string Text(const fs::path& file)
{
    const std::vector<uint8_t> bytes = ReadBinaryFile(file);
    return { bytes.begin(), bytes.end() };
}

std::vector<std::string> Lines(const fs::path& file)
{
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string GoldenArg(const char* name)
{
    return "'" + GoldenPath(name).string() + "'";
}

// Each command once: it succeeds, says nothing on stderr, and its stdout has these pieces.
struct CommandCase {
    const char* Name;
    std::string Arguments;
    std::vector<std::string> Out;
};

TEST_F(CliTest, EveryCommandAnswersOnStdout)
{
    const CommandCase cases[] = {
        // Without a file: a new default project; every JSON object carries its messages.
        { "ShowNew", "show",
            { "\"FrontHeight\": 9,", "\"LineLoads\": []", "\"ReinUserSet\": false",
                "\"PageFieldText\": [\"&Input\", \"&Date &Time\", \"Page &Page\"]",
                // 9 significant digits bring the float back exactly: 0.17f is 0.170000002.
                "\"ConcPoisson\": 0.170000002", "\"messages\": []" } },
        // UTF-8 texts, the line loads as objects in slot order, switches as true/false.
        { "ShowFile", "show " + GoldenArg("full-project.pdi"),
            { "\"ProjectTitle\": \"Mauer Süd – 2°\"", "\"UnitSystem\": 1,",
                "\"LineLoads\": [\n    {\n      \"Load\": 10,\n      \"X\": 0,\n      \"Y\": 2.5,"
                "\n      \"Direction\": 90,\n      \"Type\": 2\n    },",
                "\"ReinUserSet\": true" } },
        { "Stability", "stability", { "\"Stable\": true", "\"notes\": [", "\"messages\": [" } },
        // The first of the seven factors is the dead load's; the list starts at piece 1 of the
        // default wall: 6.0 x 0.5 x 2.4 = 7.2 T/m, then piece 2, 0.9 x 6.0 / 2 x 2.4 = 6.48.
        { "StabilityFactored", "stability --factors 2,1,1,1,1,1,1",
            { "\"DeadForce\": [14.4000006, 12.96," } },
        // Section heights in cm, sections 1..3 two rows each: 1.4 m at the top, the toe 1.0 m.
        { "Design", "design",
            { "\"ReinHeight\": [140, 140, 370, 370, 100, 100]", "\"warnings\": {" } },
        // Every --set arrives: only level soil on a smooth vertical back with phi 30 gives
        // Rankine's Ka 1/3 (Kp and K0 are the calculator's own tests).
        { "CalculatorSet",
            "calculator --set FrictionAngle=30 --set WallFriction=0 --set WallInclination=0 "
            "--set SoilSlope=0 --set SeismicCoefficient=0",
            { "\"CalculatorInput\": {", "\"FrictionAngle\": 30,", "\"Ka\": 0.333333343," } },
        { "SheetHtml", "sheet --format html", { "<!DOCTYPE html>", "</html>" } },
        { "Help", "--help", { "usage: pendrake-cli COMMAND [FILE.pdi] [options]\n" } },
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const RunResult r = Run(c.Arguments);
        EXPECT_EQ(r.Status, 0) << r.Err;
        EXPECT_EQ(r.Err, "");
        EXPECT_EQ(r.Out.find("nan"), std::string::npos);
        for (const std::string& piece : c.Out)
            EXPECT_NE(r.Out.find(piece), std::string::npos) << piece << "\n"
                                                            << r.Out.substr(0, 800);
    }
}

// The commands that write a file: new writes the default project in Arial (as the golden file
// holds it); convert reads, switches the system named in any case, and writes; sheet -o writes
// the sheet and leaves stdout empty.
TEST_F(CliTest, NewConvertAndSheetWriteTheFilesTheyAreGiven)
{
    RunResult r = Run("new -o '{dir}/a.pdi'");
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out + r.Err, "");
    EXPECT_EQ(ReadBinaryFile(dir_ / "a.pdi"), pendrake::test::Golden("new-default.pdi").Bytes);

    r = Run("convert '{dir}/a.pdi' --units SI -o '{dir}/b.pdi'");
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(Run("show '{dir}/b.pdi'").Out.find("\"UnitSystem\": 1,"), std::string::npos);
    r = Run("sheet -o '{dir}/sheet.txt'");
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(
        Lines(dir_ / "sheet.txt").at(0), "1. Earth pressure coefficients on the virtual back");
}

// A refusal: its exit status, nothing on stdout, and the reason on stderr. One row for each rule
// of the parser and each kind of message: usage, option, value, input file, output file.
struct Refusal {
    const char* Name;
    std::string Arguments;
    int Status;
    std::string Err;
    bool NeedsReport = false;
};

TEST_F(CliTest, BadArgumentsAndFilesAreRefusedOnStderr)
{
    const std::string sample = "sweep --sample 5 --dist 'FillPhi=normal(30,2)' ";
    const Refusal cases[] = {
        { "UnknownCommand", "frobnicate", 2, "pendrake-cli: unknown command frobnicate\nusage: " },
        { "UnknownOption", "show --bogus", 2, "pendrake-cli: unknown option --bogus\n" },
        { "OptionWithoutValue", "show -o", 2, "pendrake-cli: -o needs a value\n" },
        { "TwoFiles", "show a.pdi b.pdi", 2, "pendrake-cli: more than one project file given\n" },
        { "NewWithoutOutput", "new", 2, "pendrake-cli: new needs -o OUT.pdi\n" },
        { "ThreeFactors", "stability --factors 1,1,1", 2,
            "pendrake-cli: --factors takes seven numbers D,L,H,F,T,I,E, not 1,1,1\n" },
        { "SetRefusedValue", "calculator --set FrictionAngle=-5", 2,
            "pendrake-cli: --set FrictionAngle=-5: not a calculator input, or a value the "
            "calculator refuses\n" },
        { "SheetFormat", "sheet --format pdf", 2,
            "pendrake-cli: sheet takes --format text|html|json, not pdf\n" },
        { "SweepWithoutDistribution", "sweep --sample 5 --csv x.csv", 2,
            "pendrake-cli: sweep: a study varies inputs over ranges or samples them" },
        { "ShardPastTheLast", sample + "--csv x.csv --shard 3/3", 2,
            "pendrake-cli: --shard takes I/N with 0 <= I < N, not 3/3\n" },
        { "MissingFile", "design '{dir}/missing.pdi'", 1,
            "pendrake-cli: Cannot read \"{dir}/missing.pdi\": No such file or directory.\n" },
        { "UnwritableProject", "new -o '{dir}/no/a.pdi'", 1,
            "pendrake-cli: Cannot save \"{dir}/no/a.pdi\": No such file or directory.\n" },
        { "UnwritableCsv", sample + "--csv '{dir}/no/x.csv'", 1,
            "pendrake-cli: cannot write {dir}/no/x.csv\n" },
        { "ReportWithoutOutput", "report", 2, "pendrake-cli: report needs -o OUT.pdf\n", true },
        { "UnknownView", "drawing --view front -o x.svg", 2,
            "pendrake-cli: drawing needs --view dimensions, dead, live, soil,", true },
    };
    const bool report = CliHasReport();
    for (const Refusal& c : cases) {
        if (c.NeedsReport && !report)
            continue;
        SCOPED_TRACE(c.Name);
        const RunResult r = Run(c.Arguments);
        EXPECT_EQ(r.Status, c.Status);
        EXPECT_EQ(r.Out, "");
        EXPECT_NE(r.Err.find(InDir(c.Err)), std::string::npos) << r.Err;
    }
    EXPECT_TRUE(FileNames().empty());
}

TEST_F(CliTest, EveryViewIsWrittenAsTheFileItsNameAsksFor)
{
    if (!CliHasReport())
        GTEST_SKIP() << "pendrake-cli was built without the report (no Qt)";
    const char* const views[] = { "dimensions", "dead", "live", "soil", "water", "structural",
        "impact", "seismic", "reactions" };
    const char* const formats[] = { "svg", "png", "pdf" };
    for (size_t v = 0; v < std::size(views); ++v) {
        // Every view once, the three writers in turn.
        const std::string format = formats[v % std::size(formats)];
        const fs::path out = dir_ / (std::string(views[v]) + "." + format);
        SCOPED_TRACE(out.filename().string());
        const RunResult r = Run("drawing " + GoldenArg("full-project.pdi") + " --view " + views[v]
            + " -o '" + out.string() + "'");
        ASSERT_EQ(r.Status, 0) << r.Err;
        const std::string text = Text(out);
        const std::string magic = format == "svg" ? "<?xml" : format == "png" ? "\x89PNG" : "%PDF-";
        EXPECT_EQ(text.rfind(magic, 0), 0u);
        // An SVG draws the section at least.
        EXPECT_TRUE(format != "svg" || text.find("<path") != std::string::npos);
    }
    // A view with nothing of its kind says so.
    ASSERT_EQ(Run("drawing --view structural -o '{dir}/bare.svg'").Status, 0);
    EXPECT_NE(Text(dir_ / "bare.svg").find("No structural loads"), std::string::npos);
}

TEST_F(CliTest, OptimizeSavesTheChosenWallOnlyWhenOneIsFound)
{
    const RunResult r = Run("optimize --vary TopWidth=0.3:0.5:0.1 --vary BottomWidth=2:4:1 "
                            "--target 'OverturningSafety>=1.4' -o '{dir}/best.pdi'");
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find("\"Found\": true"), std::string::npos);
    EXPECT_NE(r.Out.find("\"GridSize\": 9"), std::string::npos); // 3 top widths x 3 bottoms
    // The file holds the chosen wall: show reads back the top width of the summary.
    const size_t top = r.Out.find("\"TopWidth\": ", r.Out.find("\"Chosen\""));
    ASSERT_NE(top, std::string::npos);
    const std::string topText = r.Out.substr(top, r.Out.find(',', top) - top);
    EXPECT_NE(Run("show '{dir}/best.pdi'").Out.find(topText), std::string::npos) << topText;

    const RunResult none = Run("optimize --target 'OverturningSafety>=1000' "
                               "--vary TopWidth=0.5:0.5:1 -o '{dir}/none.pdi'");
    EXPECT_EQ(none.Status, 1);
    EXPECT_NE(none.Out.find("\"Found\": false"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir_ / "none.pdi"));
}

// Shards of a study concatenate into the whole study: the header once, every point once.
TEST_F(CliTest, SweepShardsConcatenateIntoTheWholeStudy)
{
    const std::string study = "sweep --sample 20 --dist 'FillPhi=normal(30,2)' --seed 5 --csv ";
    ASSERT_EQ(Run(study + "'{dir}/all.csv'").Status, 0);
    std::vector<std::string> joined;
    for (int shard = 0; shard < 3; ++shard) {
        const std::string part = "part" + std::to_string(shard) + ".csv";
        const RunResult r
            = Run(study + "'{dir}/" + part + "' --shard " + std::to_string(shard) + "/3");
        ASSERT_EQ(r.Status, 0) << r.Err;
        // The summary names the shard and the whole study it belongs to.
        EXPECT_NE(
            r.Out.find("\"StudyPoints\": 20,\n  \"Shard\": \"" + std::to_string(shard) + "/3\""),
            std::string::npos)
            << r.Out;
        const std::vector<std::string> lines = Lines(dir_ / part);
        joined.insert(joined.end(), lines.begin(), lines.end());
    }
    std::vector<std::string> whole = Lines(dir_ / "all.csv");
    ASSERT_EQ(whole.size(), 21u); // the header and 20 points
    EXPECT_EQ(joined.front(), whole.front()); // the first shard's header, and only that
    std::sort(joined.begin() + 1, joined.end());
    std::sort(whole.begin() + 1, whole.end());
    EXPECT_EQ(joined, whole);
}

// Rendering resolution: coarse enough to be quick, fine enough to see a line of text.
constexpr int RenderDpi = 50;
// A half holds a section when this many dark pixels lie in it; a section has a title strip,
// text and figures, several thousand pixels at this resolution; an empty half a few hundred.
constexpr int InkedHalfMinimum = 1500;
constexpr int DarkGrey = 160;

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
TEST_F(CliTest, ReportPrintsEverySectionOnItsHalfSheet)
{
    if (!CliHasReport())
        GTEST_SKIP() << "pendrake-cli was built without the report (no Qt)";
    if (std::system("command -v pdftoppm > /dev/null") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    Project anchored = MakeNewProject("Arial");
    // A push towards the toe at the wall top moves the resultant into the front third, so the
    // rear of the base lifts and the anchors take tension.
    anchored.LineLoadCount = 1;
    anchored.LineLoads[1] = { 10.0f, 1.2f, 10.0f, 270.0f, 2 };
    ASSERT_TRUE(WriteProjectFile(PathIn("wall.pdi"), anchored).Ok);
    const RunResult r = Run("report '" + PathIn("wall.pdi") + "' -o '" + PathIn("wall.pdf") + "'");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find("\"sheets\": 5,"), std::string::npos) << r.Out;
    const std::string render = "pdftoppm -gray -r " + std::to_string(RenderDpi) + " '"
        + PathIn("wall.pdf") + "' '" + PathIn("sheet") + "'";
    ASSERT_EQ(std::system(render.c_str()), 0);
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
