// Reading project files: the golden files of every layout (the old line loads converted onto
// each surface of the old wall: legacy-line-loads.pdi), the legacy results block, and damaged
// files that must leave the project untouched.
#include "io/ProjectFile.h"

#include "support/ProjectFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <limits>
#include <variant>

using namespace pendrake;
using namespace pendrake::test;

namespace {

// Each golden file is read into its project; the writer gives the current ones back byte for
// byte, and an old layout back in the current one, which reads into the same project. Every
// shorter prefix of it is a damaged file: refused, named, and harmless.
class GoldenFileTest : public ::testing::TestWithParam<GoldenFile> { };

TEST_P(GoldenFileTest, IsReadIntoItsProjectWrittenBackAndRefusedCutShort)
{
    const GoldenFile& golden = GetParam();
    ASSERT_FALSE(golden.Bytes.empty());
    Project project = MakeNewProject("Arial");
    const FileStatus status = ReadProjectFile(GoldenPath(golden.Name).string(), project);
    ASSERT_TRUE(status.Ok) << status.Message;
    EXPECT_TRUE(SameProject(golden.Expected, project));
    const std::vector<uint8_t> written = FileBytes(project);
    if (golden.Legacy)
        EXPECT_NE(written, golden.Bytes);
    else
        EXPECT_EQ(written, golden.Bytes);
    Project rewritten = MakeNewProject("Courier");
    ASSERT_TRUE(ParseProjectFile(written, "again.pdi", rewritten).Ok);
    EXPECT_TRUE(SameProject(golden.Expected, rewritten));
    // Nothing follows the last field in a file the program writes; bytes after it are not read,
    // as every earlier version has done. Only the old results file has a results block: one left
    // from an earlier read is dropped.
    std::vector<uint8_t> longer = golden.Bytes;
    longer.push_back(0x55);
    Project again = MakeNewProject("Courier");
    std::optional<LegacyResults> legacy = LegacyResults {};
    ASSERT_TRUE(ParseProjectFile(longer, golden.Name, again, &legacy).Ok);
    EXPECT_TRUE(SameProject(golden.Expected, again));
    EXPECT_EQ(legacy.has_value(), golden.Name == "legacy-results.pdi");

    const Project before = EveryFieldChanged();
    for (std::size_t length = 0; length < golden.Bytes.size(); ++length) {
        SCOPED_TRACE("truncated to " + std::to_string(length) + " bytes");
        Project cut = before;
        std::optional<LegacyResults> legacy = LegacyResults { .ZMax = 42.0f };
        const std::span<const uint8_t> prefix(golden.Bytes.data(), length);
        const FileStatus refused = ParseProjectFile(prefix, "/walls/cut.pdi", cut, &legacy);
        ASSERT_FALSE(refused.Ok);
        EXPECT_NE(refused.Message.find("\"/walls/cut.pdi\""), std::string::npos) << refused.Message;
        EXPECT_NE(refused.Message.find("the file ends"), std::string::npos) << refused.Message;
        ASSERT_TRUE(SameProject(before, cut));
        ASSERT_TRUE(legacy.has_value());
        EXPECT_EQ(legacy->ZMax, 42.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ProjectFile, GoldenFileTest, ::testing::ValuesIn(GoldenFiles()), [](const auto& info) {
        std::string name = info.param.Name;
        std::replace(name.begin(), name.end(), '-', '_');
        return name.substr(0, name.find('.'));
    });

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
    // The section is the outer index: section 2 follows all of section 1.
    const std::pair<float, int> positions[] = { { r.WaterPressure[1], 1 },
        { r.WaterPressureMax, 22 }, { r.DeadForce[1], 23 }, { r.SeismicForce[1], 49 },
        { r.SeismicArm[18], 102 }, { r.SoilPressure[1], 103 }, { r.KaStatic, 112 },
        { r.SoilPressureMax, 115 }, { r.StabilitySums[1], 116 }, { r.SectionMoment[1], 137 },
        { r.ComboMoment[1][1], 146 }, { r.ComboMoment[2][1], 158 }, { r.ComboMoment[3][12], 181 },
        { r.ComboNormal[3][12], 253 }, { r.EnvMomentPos[1], 254 }, { r.UnnamedResult, 278 },
        { r.ReinHeight[1], 279 }, { r.ReinRhoCopy[1], 315 }, { r.ReinShear[1], 327 },
        { r.ReinNormal[1], 333 }, { r.ReinShearCap[3], 347 }, { r.ReinMomentZ[1], 348 },
        { r.RhoBalanced, 360 }, { r.ReinRhoReq43[1], 362 }, { r.ReinZ[6], 373 }, { r.ZMax, 374 } };
    for (const auto& [value, position] : positions)
        EXPECT_EQ(value, static_cast<float>(position));
    // The old bar tables are results here; the engineer's own tables are untouched.
    EXPECT_FALSE(project.ReinUserSet);
    EXPECT_EQ(project.ReinDia[1], 0.0f);
}

// --- Damaged and hostile files ----------------------------------------------------------------

// A run of zero bytes.
struct Zeros {
    size_t Count;
};

// Little-endian bytes as the layout table reads them: i16s, f32s and zeros, in order.
using Piece = std::variant<int16_t, float, Zeros>;
std::vector<uint8_t> Bytes(const std::vector<Piece>& pieces)
{
    std::vector<uint8_t> out;
    for (const Piece& piece : pieces) {
        if (const auto* zeros = std::get_if<Zeros>(&piece)) {
            out.resize(out.size() + zeros->Count);
            continue;
        }
        const auto* i16 = std::get_if<int16_t>(&piece);
        uint32_t bits = i16 ? uint16_t(*i16) : std::bit_cast<uint32_t>(std::get<float>(piece));
        for (int k = 0; k < (i16 ? 2 : 4); ++k, bits /= 256)
            out.push_back(uint8_t(bits % 256));
    }
    return out;
}

using I16 = int16_t;

// The default file with `piece` written over it at `offset`, or from `offset` on in its place.
std::vector<uint8_t> Patched(size_t offset, const std::vector<Piece>& piece, bool cut = false)
{
    std::vector<uint8_t> bytes = Golden("new-default.pdi").Bytes;
    const std::vector<uint8_t> patch = Bytes(piece);
    bytes.resize(std::max(bytes.size(), offset + patch.size()));
    std::copy(patch.begin(), patch.end(), bytes.begin() + long(offset));
    if (cut)
        bytes.resize(offset + patch.size());
    return bytes;
}

// The default file with its line-load list (from byte 248 on) replaced.
std::vector<uint8_t> WithLoads(const std::vector<Piece>& tail)
{
    return Patched(248, tail, true);
}

struct DamagedFile {
    const char* Name;
    std::vector<uint8_t> Bytes;
    const char* Complaint; // a part of the message that says what is wrong
};

std::vector<DamagedFile> DamagedFiles()
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    // Offsets in the default file: 12 first footer length, 56 title length, 58 unit system,
    // 60 top width, 128 anchor rows, 146 anchor marker, 150 anchor shear, 238 surcharge,
    // 242 its load case, 248 line-load marker, 250 count, 252 trailer marker.
    std::vector<Piece> sixFrontFiveTop { I16(6) };
    for (int k = 1; k <= 6; ++k)
        sixFrontFiveTop.insert(sixFrontFiveTop.end(), { 1.0f, 2.0f, I16(1) });
    sixFrontFiveTop.push_back(I16(5));
    // The wall top of a 3e38 high wall on a 3e38 high toe is beyond the float range.
    std::vector<uint8_t> giantWall = Patched(60 + 6 * 4, { 3e38f, 3e38f });
    giantWall.resize(248);
    const std::vector<uint8_t> topLoad = Bytes({ I16(0), I16(1), 1.0f, 1.2f, I16(1), I16(0) });
    giantWall.insert(giantWall.end(), topLoad.begin(), topLoad.end());

    return {
        { "Empty", {}, "the file ends before the header length" },
        { "ElevenLineLoads", Patched(250, { I16(11) }), "11 line loads" },
        { "ElevenFrontLoads", WithLoads({ I16(11), I16(0) }), "11 front loads" },
        { "FrontAndTopOverTen", WithLoads(sixFrontFiveTop), "6 front and 5 top loads" },
        { "NegativeTopLoadCount", WithLoads({ I16(0), I16(-1) }),
            "number of top loads is negative" },
        { "NegativeTitleLength", Patched(56, { I16(-2) }),
            "length of the project title is negative" },
        { "FooterLongerThanFile", Patched(12, { I16(32767) }), "ends inside the left footer text" },
        { "ResultsBlockShort",
            WithLoads({ I16(-1), I16(0), I16(-1), Zeros { LegacyResultsSize - 1 } }),
            "block of old analysis results" },
        { "BarTablesShort", WithLoads({ I16(-1), I16(0), I16(-2), Zeros { 47 } }),
            "reinforcement typed by the user" },
        { "NaNDimension", Patched(60, { nan }), "top width is not a finite number (NaN)" },
        { "NaNAnchorMarker", Patched(146, { nan }), "diameter of the anchors is not a finite" },
        { "InfiniteLoadDirection",
            WithLoads({ I16(-1), I16(1), 1.0f, 2.0f, 3.0f, -inf, I16(1), I16(0) }),
            "direction of line load 1" },
        { "NaNBarDiameter",
            WithLoads({ I16(-1), I16(0), I16(-2), 16.0f, 16.0f, 16.0f, nan, 16.0f, 16.0f, 1.0f,
                1.0f, 1.0f, 1.0f, 1.0f, 1.0f }),
            "bar diameter of design row 4" },
        { "UnitSystemThree", Patched(58, { I16(3) }), "unit system is 3" },
        { "SurchargeCaseZero", Patched(242, { I16(0) }), "load case of the surcharge is 0" },
        { "LineLoadCaseEight",
            WithLoads({ I16(-1), I16(1), 1.0f, 2.0f, 3.0f, 90.0f, I16(8), I16(0) }),
            "load case of line load 1 is 8" },
        { "NegativeAnchorRows", Patched(128, { I16(-1) }), "number of anchor rows is negative" },
        { "UnknownHeaderKind", Patched(2, { I16(5) }), "unknown kind (tag 5)" },
        { "NegativeHeaderText", Patched(2, { I16(8), I16(-1) }), "length of the header text" },
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

// A file the system will not give, or one too large to be a project: the reason, and the
// project as it was.
class ReadProjectFileTest : public TempDirTest { };

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

// A text header written by another program is skipped.
TEST(ProjectFileHeader, ATextHeaderIsSkipped)
{
    const std::vector<uint8_t> defaults = Golden("new-default.pdi").Bytes;
    const std::string header = "PENDRAKE 1.1";
    std::vector<uint8_t> bytes = Bytes({ I16(12), I16(8), I16(int(header.size())) });
    bytes.insert(bytes.end(), header.begin(), header.end());
    bytes.insert(bytes.end(), defaults.begin() + 4, defaults.end());
    Project project = MakeNewProject("Courier");
    ASSERT_TRUE(ParseProjectFile(bytes, "header.pdi", project).Ok);
    EXPECT_TRUE(SameProject(MakeNewProject("Arial"), project));
}

} // namespace
