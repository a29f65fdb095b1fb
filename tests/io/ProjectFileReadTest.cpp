// Reading project files: the golden files of every layout (the old line loads converted onto
// each surface of the old wall: legacy-line-loads.pdi), the legacy results block, and damaged
// files that must leave the project untouched.
#include "io/ProjectFile.h"

#include "support/ProjectFiles.h"

#include <gtest/gtest.h>

#include <cctype>
#include <limits>

using namespace pendrake;
using namespace pendrake::test;

namespace {

// Each golden file is read into its project; the writer gives the current ones back byte for
// byte, and an old layout back in the current one, which reads into the same project.
class GoldenFileTest : public ::testing::TestWithParam<GoldenFile> { };

std::string GoldenName(const ::testing::TestParamInfo<GoldenFile>& info)
{
    std::string name;
    for (char c : info.param.Name)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

TEST_P(GoldenFileTest, IsReadIntoItsProjectAndWrittenBackInTheCurrentLayout)
{
    const GoldenFile& golden = GetParam();
    ASSERT_FALSE(golden.Bytes.empty());
    Project project = MakeNewProject("Arial");
    const FileStatus status = ReadProjectFile(GoldenPath(golden.Name).string(), project);
    ASSERT_TRUE(status.Ok) << status.Message;
    EXPECT_TRUE(SameProject(golden.Expected, project));
    const std::vector<uint8_t> written = FileBytes(project);
    if (!golden.Legacy) {
        EXPECT_EQ(written, golden.Bytes);
        return;
    }
    EXPECT_NE(written, golden.Bytes);
    Project again = MakeNewProject("Courier");
    ASSERT_TRUE(ParseProjectFile(written, "again.pdi", again).Ok);
    EXPECT_TRUE(SameProject(golden.Expected, again));
}

// Every shorter prefix of a good file is a damaged file: refused, named, and harmless.
TEST_P(GoldenFileTest, EveryTruncationIsRefusedAndLeavesTheProjectAsItWas)
{
    const GoldenFile& golden = GetParam();
    const Project before = EveryFieldChanged();
    const std::optional<LegacyResults> legacyBefore = LegacyResults { .ZMax = 42.0f };
    for (std::size_t length = 0; length < golden.Bytes.size(); ++length) {
        SCOPED_TRACE("truncated to " + std::to_string(length) + " bytes");
        Project project = before;
        std::optional<LegacyResults> legacy = legacyBefore;
        const std::span<const uint8_t> prefix(golden.Bytes.data(), length);
        const FileStatus status = ParseProjectFile(prefix, "/walls/cut.pdi", project, &legacy);
        ASSERT_FALSE(status.Ok);
        EXPECT_NE(status.Message.find("\"/walls/cut.pdi\""), std::string::npos) << status.Message;
        EXPECT_NE(status.Message.find("the file ends"), std::string::npos) << status.Message;
        ASSERT_TRUE(SameProject(before, project));
        ASSERT_TRUE(legacy.has_value());
        EXPECT_EQ(legacy->ZMax, 42.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ProjectFile, GoldenFileTest, ::testing::ValuesIn(GoldenFiles()), GoldenName);

// --- The legacy results block -----------------------------------------------------------------

TEST(LegacyResultsBlock, IsReadInTheOrderOfTheOldProgram)
{
    // Each float of the golden block holds its own position in the block, 1..374; the
    // positions below are counted by hand from the block's table.
    Project project = MakeNewProject("Arial");
    std::optional<LegacyResults> legacy;
    const GoldenFile golden = Golden("legacy-results.pdi");
    ASSERT_TRUE(ParseProjectFile(golden.Bytes, golden.Name, project, &legacy).Ok);
    ASSERT_TRUE(legacy.has_value());
    const LegacyResults& r = *legacy;
    EXPECT_EQ(r.Stable, -1);
    EXPECT_EQ(r.SlopeAdjusted, 1);
    const std::pair<float, int> positions[] = {
        { r.WaterPressure[1], 1 },
        { r.WaterPressureMax, 22 },
        { r.DeadForce[1], 23 },
        { r.SeismicForce[1], 49 },
        { r.SeismicArm[18], 102 },
        { r.SoilPressure[1], 103 },
        { r.KaStatic, 112 },
        { r.SoilPressureMax, 115 },
        { r.StabilitySums[1], 116 },
        { r.SectionMoment[1], 137 },
        { r.ComboMoment[1][1], 146 },
        { r.ComboMoment[2][1], 158 }, // section outer: section 2 follows all of section 1
        { r.ComboMoment[3][12], 181 },
        { r.ComboNormal[3][12], 253 },
        { r.EnvMomentPos[1], 254 },
        { r.UnnamedResult, 278 },
        { r.ReinHeight[1], 279 },
        { r.ReinRhoCopy[1], 315 },
        { r.ReinShear[1], 327 },
        { r.ReinNormal[1], 333 },
        { r.ReinShearCap[3], 347 },
        { r.ReinMomentZ[1], 348 },
        { r.RhoBalanced, 360 },
        { r.ReinRhoReq43[1], 362 },
        { r.ReinZ[6], 373 },
        { r.ZMax, 374 },
    };
    for (const auto& [value, position] : positions)
        EXPECT_EQ(value, static_cast<float>(position));
    // The old bar tables are results here; the engineer's own tables are untouched.
    EXPECT_FALSE(project.ReinUserSet);
    EXPECT_EQ(project.ReinDia[1], 0.0f);
}

// A current file has no results block: one left from an earlier read is dropped. (Read without
// asking for the block, the old file gives its project all the same: the golden file test.)
TEST(LegacyResultsBlock, IsAbsentForCurrentFiles)
{
    const GoldenFile current = Golden("full-project.pdi");
    Project project = MakeNewProject("Arial");
    std::optional<LegacyResults> legacy = LegacyResults {};
    ASSERT_TRUE(ParseProjectFile(current.Bytes, current.Name, project, &legacy).Ok);
    EXPECT_FALSE(legacy.has_value());
}

// --- Damaged and hostile files ----------------------------------------------------------------

// A file of the current layout up to the line loads, for the default project, with the given
// bytes from the line-load list on.
std::vector<uint8_t> DefaultFileWithTail(const ByteBuilder& tail)
{
    const std::vector<uint8_t> defaults = Golden("new-default.pdi").Bytes;
    constexpr std::size_t lineLoadListOffset = 248;
    ByteBuilder b;
    b.Append(std::vector<uint8_t>(defaults.begin(), defaults.begin() + lineLoadListOffset));
    b.Append(tail.Bytes());
    return b.Bytes();
}

struct DamagedFile {
    const char* Name;
    std::vector<uint8_t> Bytes;
    const char* Complaint; // a part of the message that says what is wrong
};

// The default file with the i16 at `offset` replaced.
std::vector<uint8_t> WithI16(std::vector<uint8_t> bytes, std::size_t offset, int value)
{
    bytes.at(offset) = static_cast<uint8_t>(value & 0xFF);
    bytes.at(offset + 1) = static_cast<uint8_t>((value >> 8) & 0xFF);
    return bytes;
}

std::vector<uint8_t> WithF32(std::vector<uint8_t> bytes, std::size_t offset, float value)
{
    ByteBuilder b;
    b.F32(value);
    std::copy(b.Bytes().begin(), b.Bytes().end(), bytes.begin() + static_cast<long>(offset));
    return bytes;
}

std::vector<DamagedFile> DamagedFiles()
{
    const std::vector<uint8_t> good = Golden("new-default.pdi").Bytes;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    // Offsets in the default file: 12 first footer length, 56 title length, 58 unit system,
    // 60 top width, 128 anchor rows, 146 anchor marker, 150 anchor shear, 238 surcharge,
    // 242 its load case, 248 line-load marker, 250 count, 252 trailer marker.
    auto loads = [&](std::initializer_list<int> tail) {
        ByteBuilder b;
        for (int v : tail)
            b.I16(v);
        return DefaultFileWithTail(b);
    };
    ByteBuilder sixFrontFiveTop;
    sixFrontFiveTop.I16(6);
    for (int k = 1; k <= 6; ++k)
        sixFrontFiveTop.F32s({ 1.0f, 2.0f }).I16(1);
    sixFrontFiveTop.I16(5);
    ByteBuilder oneLoad;
    oneLoad.I16(-1).I16(1).F32s({ 1.0f, 2.0f, 3.0f, -inf }).I16(1).I16(0);
    ByteBuilder loadCaseEight;
    loadCaseEight.I16(-1).I16(1).F32s({ 1.0f, 2.0f, 3.0f, 90.0f }).I16(8).I16(0);
    ByteBuilder shortResults;
    shortResults.I16(-1).I16(0).I16(-1).Raw(std::string(LegacyResultsSize - 1, '\0'));
    ByteBuilder shortBars;
    shortBars.I16(-1).I16(0).I16(-2).Raw(std::string(47, '\0'));
    ByteBuilder nanBar;
    nanBar.I16(-1).I16(0).I16(-2).F32s({ 16, 16, 16, nan, 16, 16, 1, 1, 1, 1, 1, 1 });
    // The wall top of a 3e38 high wall on a 3e38 high toe is beyond the float range.
    std::vector<uint8_t> giantWall = WithF32(WithF32(good, 60 + 6 * 4, 3e38f), 60 + 7 * 4, 3e38f);
    giantWall.resize(248);
    ByteBuilder topLoad;
    topLoad.I16(0).I16(1).F32s({ 1.0f, 1.2f }).I16(1).I16(0);
    giantWall.insert(giantWall.end(), topLoad.Bytes().begin(), topLoad.Bytes().end());

    return {
        { "Empty", {}, "the file ends before the header length" },
        { "ElevenLineLoads", WithI16(good, 250, 11), "11 line loads" },
        { "ElevenFrontLoads", loads({ 11, 0 }), "11 front loads" },
        { "FrontAndTopOverTen", DefaultFileWithTail(sixFrontFiveTop), "6 front and 5 top loads" },
        { "NegativeTopLoadCount", loads({ 0, -1 }), "number of top loads is negative" },
        { "NegativeTitleLength", WithI16(good, 56, -2), "length of the project title is negative" },
        { "FooterLongerThanFile", WithI16(good, 12, 32767), "ends inside the left footer text" },
        { "ResultsBlockShort", DefaultFileWithTail(shortResults), "block of old analysis results" },
        { "BarTablesShort", DefaultFileWithTail(shortBars), "reinforcement typed by the user" },
        { "NaNDimension", WithF32(good, 60, nan), "top width is not a finite number (NaN)" },
        { "NaNAnchorMarker", WithF32(good, 146, nan), "diameter of the anchors is not a finite" },
        { "InfiniteLoadDirection", DefaultFileWithTail(oneLoad), "direction of line load 1" },
        { "NaNBarDiameter", DefaultFileWithTail(nanBar), "bar diameter of design row 4" },
        { "UnitSystemThree", WithI16(good, 58, 3), "unit system is 3" },
        { "SurchargeCaseZero", WithI16(good, 242, 0), "load case of the surcharge is 0" },
        { "LineLoadCaseEight", DefaultFileWithTail(loadCaseEight),
            "load case of line load 1 is 8" },
        { "NegativeAnchorRows", WithI16(good, 128, -1), "number of anchor rows is negative" },
        { "UnknownHeaderKind", WithI16(good, 2, 5), "unknown kind (tag 5)" },
        { "NegativeHeaderText", WithI16(WithI16(good, 2, 8), 4, -1), "length of the header text" },
        { "LoadOnGiantWall", giantWall, "top load 1" },
    };
}

TEST(DamagedFiles, AreRefusedWithAClearMessageAndChangeNothing)
{
    const Project before = EveryFieldChanged();
    for (const DamagedFile& damaged : DamagedFiles()) {
        SCOPED_TRACE(damaged.Name);
        Project project = before;
        const FileStatus status = ParseProjectFile(damaged.Bytes, "/walls/bad.pdi", project);
        EXPECT_FALSE(status.Ok);
        EXPECT_EQ(status.Message.rfind("Cannot read \"/walls/bad.pdi\": ", 0), 0u)
            << status.Message;
        EXPECT_NE(status.Message.find(damaged.Complaint), std::string::npos) << status.Message;
        EXPECT_TRUE(SameProject(before, project));
    }
}

// --- Reading from disk ------------------------------------------------------------------------

class ReadProjectFileTest : public TempDirTest { };

// A file the system will not give, or one too large to be a project: the reason, and the
// project as it was.
TEST_F(ReadProjectFileTest, AFileThatCannotBeReadChangesNothing)
{
    std::vector<uint8_t> huge = Golden("new-default.pdi").Bytes;
    huge.resize(MaxProjectFileSize + 1);
    WriteBinaryFile(PathIn("huge.pdi"), huge);
    const std::pair<std::string, std::string> cases[] = {
        { PathIn("missing.pdi"), "\": No such file or directory." },
        { dir_.string(), "\": Is a directory." },
        { PathIn("huge.pdi"),
            "\": the file is larger than any project file; it is not a project file." },
    };
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path);
        Project project = EveryFieldChanged();
        const FileStatus status = ReadProjectFile(path, project);
        EXPECT_FALSE(status.Ok);
        EXPECT_EQ(status.Message.rfind("Cannot read \"" + path + reason, 0), 0u) << status.Message;
        EXPECT_TRUE(SameProject(EveryFieldChanged(), project));
    }
}

// Nothing follows the last field in a file the program writes; bytes after it are not read,
// as every earlier version has done.
TEST_F(ReadProjectFileTest, BytesAfterTheLastFieldAreIgnored)
{
    std::vector<uint8_t> bytes = Golden("full-project.pdi").Bytes;
    bytes.push_back(0x55);
    Project project = MakeNewProject("Arial");
    ASSERT_TRUE(ParseProjectFile(bytes, "long.pdi", project).Ok);
    EXPECT_TRUE(SameProject(Golden("full-project.pdi").Expected, project));
}

// A text header written by another program is skipped.
TEST(ProjectFileHeader, ATextHeaderIsSkipped)
{
    const std::vector<uint8_t> defaults = Golden("new-default.pdi").Bytes;
    ByteBuilder b;
    b.I16(12).I16(8).Text("PENDRAKE 1.1");
    b.Append(std::vector<uint8_t>(defaults.begin() + 4, defaults.end()));
    Project project = MakeNewProject("Courier");
    ASSERT_TRUE(ParseProjectFile(b.Bytes(), "header.pdi", project).Ok);
    EXPECT_TRUE(SameProject(MakeNewProject("Arial"), project));
}

} // namespace
