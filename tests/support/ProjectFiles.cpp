// The projects the golden files hold, and the helpers the project-file tests share.
#include "support/ProjectFiles.h"

#include "io/ProjectFile.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace pendrake::test {

namespace {

template <typename T> struct Field {
    const char* Name;
    T Project::*Member;
};

#define FIELD(name) Field<decltype(Project::name)>({ #name, &Project::name })

// The dimensions as the file holds them: labels 0..10, 14..16, 11..13.
const Field<float> DimensionFields[] = { FIELD(TopWidth), FIELD(UpperBackOffset), FIELD(ShelfWidth),
    FIELD(ToeWidth), FIELD(BottomWidth), FIELD(LowerSlopeWidth), FIELD(FrontHeight),
    FIELD(ToeHeight), FIELD(UpperBackHeight), FIELD(RearStepHeight), FIELD(RearSlopeHeight),
    FIELD(LowerSlopeHeight), FIELD(LowerFlatWidth), FIELD(RearSlopeWidth), FIELD(BackfillSlope),
    FIELD(FrontWaterDepth), FIELD(BackWaterDepth) };

// The materials and soils block, in file order.
const Field<float> PropertyFields[] = { FIELD(ConcUnitWeight), FIELD(ConcFc), FIELD(ConcE),
    FIELD(ConcPoisson), FIELD(RebarFy), FIELD(RebarE), FIELD(ConcCover), FIELD(WaterUnitWeight),
    FIELD(FillUnitWeight), FIELD(FillDryDensity), FIELD(FillSatDensity), FIELD(FillPhi),
    FIELD(FillCohesion), FIELD(BasePhi), FIELD(BaseCohesion), FIELD(BaseQd), FIELD(BaseE),
    FIELD(DeltaEarth), FIELD(DeltaConcrete) };

const Field<float> OtherFloatFields[] = { FIELD(AnchorVPitch), FIELD(AnchorHPitch),
    FIELD(AnchorEdgeDist), FIELD(AnchorYield), FIELD(AnchorShear), FIELD(AnchorDia), FIELD(AnchorE),
    FIELD(Surcharge), FIELD(SeismicCoef), FIELD(ReportFontSize) };

const Field<int16_t> CountFields[]
    = { FIELD(AnchorRows), FIELD(SurchargeType), FIELD(LineLoadCount), FIELD(UnitSystem),
          FIELD(MarginLeft), FIELD(MarginRight), FIELD(MarginTop), FIELD(MarginBottom) };

#undef FIELD

std::vector<Field<float>> FloatFields()
{
    std::vector<Field<float>> all(std::begin(DimensionFields), std::end(DimensionFields));
    all.insert(all.end(), std::begin(PropertyFields), std::end(PropertyFields));
    all.insert(all.end(), std::begin(OtherFloatFields), std::end(OtherFloatFields));
    return all;
}

template <typename T, std::size_t N>
void Set(Project& p, const Field<T> (&fields)[N], const std::array<T, N>& values)
{
    for (std::size_t i = 0; i < N; ++i)
        p.*fields[i].Member = values[i];
}

// The values of the golden files, in file order.
constexpr std::array<float, 17> ChangedDimensions = { 0.6f, 1.1f, 4.8f, 1.2f, 2.5f, 1.6f, 8.5f,
    1.1f, 5.2f, 0.4f, 1.8f, 2.2f, 1.3f, 1.1f, 2.5f, 2.2f, 3.3f };
constexpr std::array<float, 19> ChangedProperties = { 24.0f, 30.0f, 2.5f, 0.2f, 420.0f, 20.0f,
    75.0f, 9.81f, 18.5f, 17.5f, 20.5f, 32.0f, 5.0f, 35.0f, 20.0f, 400.0f, 0.5f, 28.0f, 17.0f };
// The old files' wall: its widths and heights are sums of powers of two, so every converted
// line-load height is exact in single precision.
constexpr std::array<float, 17> LegacyDimensions = { 0.5f, 1.0f, 5.75f, 1.0f, 3.0f, 1.25f, 9.0f,
    1.0f, 6.0f, 0.0f, 2.0f, 2.0f, 1.5f, 1.5f, 0.0f, 1.5f, 1.5f };
constexpr std::array<LineLoad, 3> ChangedLoads = { LineLoad { 10.0f, 0.0f, 2.5f, 90.0f, 2 },
    LineLoad { 25.5f, 3.0f, 9.6f, 180.0f, 1 }, LineLoad { 4.25f, 6.0f, 4.0f, 0.0f, 7 } };

// The old layouts: the wall of LegacyDimensions under the oldest anchor block, then the line
// loads in two lists (front, top) of value, position and load case.
Project LegacyWall(std::string_view title)
{
    Project p = MakeNewProject("Arial");
    p.ProjectTitle = std::string(title);
    Set(p, DimensionFields, LegacyDimensions);
    // Anchors (the oldest block has no shear stress: 960 stays), surcharge, seismic coefficient;
    // two anchor rows, surcharge case 1, Metric and the margins.
    Set<float, 10>(p, OtherFloatFields,
        { 2.0f, 2.5f, 0.75f, 2000.0f, p.AnchorShear, 2.5f, 20.0f, 1.5f, 0.2f, p.ReportFontSize });
    Set<int16_t, 8>(p, CountFields, { 2, 1, 0, 0, 15, 12, 10, 10 });
    return p;
}

} // namespace

std::vector<GoldenFile> GoldenFiles()
{
    Project reinUserSet = MakeNewProject("Arial");
    reinUserSet.ReinUserSet = true;
    reinUserSet.ReinDia = { 0, 16.0f, 19.0f, 22.0f, 25.0f, 13.0f, 10.0f };
    reinUserSet.ReinPitch = { 0, 0.25f, 0.2f, 0.15f, 0.3f, 0.125f, 0.1f };

    // Every field away from its default, with texts beyond ASCII: "ü" is 0xFC, "–" 0x96, "°"
    // 0xB0, "€" 0x80 and "‰" 0x89 in Windows-1252.
    Project full = EveryFieldChanged();
    full.PageFieldText = { "", "&Input – Stützmauer", "&Date € ‰", "Seite &Page" };
    full.ProjectTitle = "Mauer Süd – 2°";

    // The oldest anchor block: neither the marker -1 nor the shear stress, so the shear stress
    // of a new project stays.
    Project oldestAnchors = MakeNewProject("Arial");
    oldestAnchors.AnchorDia = 2.5f;
    oldestAnchors.AnchorE = 20.0f;
    oldestAnchors.LineLoadCount = 2;
    oldestAnchors.LineLoads[1] = { 3.0f, 2.0f, 10.0f, 180.0f, 2 };
    oldestAnchors.LineLoads[2] = { 1.5f, 0.0f, 5.0f, 90.0f, 1 };

    // Toe 1.0 wide and 1.0 high, wall top at 10, top 0.5 wide, back face 1.0 wide and 6.0 high,
    // so the shelf lies at 4. Front loads below y = 1 sit on the toe's front (x = 0), others on
    // the front face (x = 1); top loads take the height of the surface at their x. The file's
    // lists, as value, position, load case: front (4, 0.5, 2), (-3, 4, 1), (2, 1, 6) exactly at
    // the top of the toe; top (5, 2, 2) halfway down the back face, (-1, 0.5, 2) on the toe,
    // (2.5, 1, 1) at the front edge of the wall top, (1.25, 1.5, 5) at the top of the back face,
    // (3, 2.5, 3) at its foot, on the shelf.
    Project lineLoads = LegacyWall("Stützmauer – alt");
    lineLoads.LineLoadCount = 8;
    const LineLoad converted[] = { { 4.0f, 0.0f, 0.5f, 90.0f, 2 }, { 3.0f, 1.0f, 4.0f, 270.0f, 1 },
        { 2.0f, 1.0f, 1.0f, 90.0f, 6 }, { 5.0f, 2.0f, 7.0f, 180.0f, 2 },
        { 1.0f, 0.5f, 1.0f, 0.0f, 2 }, { 2.5f, 1.0f, 10.0f, 180.0f, 1 },
        { 1.25f, 1.5f, 10.0f, 180.0f, 5 }, { 3.0f, 2.5f, 4.0f, 180.0f, 3 } };
    std::copy(std::begin(converted), std::end(converted), lineLoads.LineLoads.begin() + 1);

    // Front (-2, 3, 3), top (-4, 7, 2), then the results block: Stable, 102 floats,
    // SlopeAdjusted, 272 floats, each float holding its own position 1..374 in the block.
    Project results = LegacyWall("Alte Datei");
    results.LineLoadCount = 2;
    results.LineLoads[1] = { 2.0f, 1.0f, 3.0f, 270.0f, 3 };
    results.LineLoads[2] = { 4.0f, 7.0f, 4.0f, 0.0f, 2 };

    std::vector<GoldenFile> files { { "new-default.pdi", {}, MakeNewProject("Arial") },
        { "rein-user-set.pdi", {}, reinUserSet }, { "full-project.pdi", {}, full },
        { "oldest-anchors.pdi", {}, oldestAnchors, true },
        { "legacy-line-loads.pdi", {}, lineLoads, true },
        { "legacy-results.pdi", {}, results, true } };
    for (GoldenFile& golden : files)
        golden.Bytes = ReadBinaryFile(GoldenPath(golden.Name));
    return files;
}

GoldenFile Golden(std::string_view name)
{
    for (GoldenFile& golden : GoldenFiles())
        if (golden.Name == name)
            return golden;
    throw std::invalid_argument("no golden file " + std::string(name));
}

std::filesystem::path GoldenPath(std::string_view name)
{
    return std::filesystem::path(PENDRAKE_TEST_DATA_DIR) / name;
}

std::vector<uint8_t> ReadBinaryFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

void WriteBinaryFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(
        reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> FileBytes(const Project& project)
{
    std::string problem;
    std::vector<uint8_t> bytes = ProjectFileBytes(project, &problem);
    EXPECT_FALSE(bytes.empty()) << problem;
    return bytes;
}

::testing::AssertionResult SameProject(const Project& expected, const Project& actual)
{
    std::string differences;
    const auto compare = [&differences](const std::string& name, const auto& a, const auto& b) {
        // Floats bit for bit: -0 is not 0, and a NaN must stay the very NaN.
        bool same = false;
        if constexpr (std::is_trivially_copyable_v<std::decay_t<decltype(a)>>)
            same = std::memcmp(&a, &b, sizeof a) == 0;
        else
            same = a == b;
        if (!same)
            differences += "  " + name + ": " + ::testing::PrintToString(a) + " vs "
                + ::testing::PrintToString(b) + "\n";
    };
    for (const Field<float>& f : FloatFields())
        compare(f.Name, expected.*f.Member, actual.*f.Member);
    for (const Field<int16_t>& f : CountFields)
        compare(f.Name, expected.*f.Member, actual.*f.Member);
    // Every slot, those above the count too: a read must not reach them.
    for (std::size_t i = 0; i < expected.LineLoads.size(); ++i) {
        const LineLoad& a = expected.LineLoads[i];
        const LineLoad& b = actual.LineLoads[i];
        const std::string slot = "LineLoads[" + std::to_string(i) + "]";
        compare(slot + ".Load X Y Direction", std::array { a.Load, a.X, a.Y, a.Direction },
            std::array { b.Load, b.X, b.Y, b.Direction });
        compare(slot + ".Type", a.Type, b.Type);
    }
    compare("ReinDia", expected.ReinDia, actual.ReinDia);
    compare("ReinPitch", expected.ReinPitch, actual.ReinPitch);
    compare("ReinUserSet", expected.ReinUserSet, actual.ReinUserSet);
    compare("ProjectTitle", expected.ProjectTitle, actual.ProjectTitle);
    compare("PageFieldText", expected.PageFieldText, actual.PageFieldText);
    compare("ReportFontName", expected.ReportFontName, actual.ReportFontName);
    if (differences.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "fields that differ (expected, actual):\n"
                                         << differences;
}

std::vector<std::pair<std::string, float>> FloatInputs(const Project& p)
{
    std::vector<std::pair<std::string, float>> inputs;
    for (const Field<float>& f : FloatFields())
        inputs.emplace_back(f.Name, p.*f.Member);
    for (int k = 1; k <= p.LineLoadCount; ++k) {
        const std::string slot = "LineLoads[" + std::to_string(k) + "].";
        const LineLoad& load = p.LineLoads[k];
        inputs.insert(inputs.end(),
            { { slot + "Load", load.Load }, { slot + "X", load.X }, { slot + "Y", load.Y } });
    }
    for (int row = 1; row <= ReinRowCount; ++row) {
        inputs.emplace_back("ReinDia[" + std::to_string(row) + "]", p.ReinDia[row]);
        inputs.emplace_back("ReinPitch[" + std::to_string(row) + "]", p.ReinPitch[row]);
    }
    return inputs;
}

Project EveryFieldChanged()
{
    Project p = MakeNewProject("Arial");
    p.PageFieldText = { "", "Left &Input", "Centre &Date", "Right &Page" };
    p.ReportFontName = "Courier New";
    p.ProjectTitle = "Wall W-7 at km 12.4";
    Set(p, DimensionFields, ChangedDimensions);
    Set(p, PropertyFields, ChangedProperties);
    // Anchors, surcharge, seismic coefficient, report font size; the counts and the margins.
    Set<float, 10>(p, OtherFloatFields,
        { 1.25f, 2.0f, 0.6f, 2500.0f, 1000.0f, 2.5f, 20.5f, 12.5f, 0.2f, 9.5f });
    Set<int16_t, 8>(p, CountFields, { 4, 5, 3, 1, 15, 12, 18, 22 });
    std::copy(ChangedLoads.begin(), ChangedLoads.end(), p.LineLoads.begin() + 1);
    p.ReinUserSet = true;
    p.ReinDia = { 0, 12.0f, 16.0f, 20.0f, 25.0f, 28.0f, 32.0f };
    p.ReinPitch = { 0, 0.1f, 0.125f, 0.15f, 0.2f, 0.25f, 0.3f };
    return p;
}

} // namespace pendrake::test
