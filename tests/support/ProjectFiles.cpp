// The golden project files built byte by byte from the layout table, the projects they hold,
// and the helpers the project-file tests share.
#include "support/ProjectFiles.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace pendrake::test {

ByteBuilder& ByteBuilder::I16(int value)
{
    const auto bits = static_cast<uint16_t>(static_cast<int16_t>(value));
    bytes_.push_back(static_cast<uint8_t>(bits % 256));
    bytes_.push_back(static_cast<uint8_t>(bits / 256));
    return *this;
}

ByteBuilder& ByteBuilder::F32(float value)
{
    uint32_t bits = std::bit_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        bytes_.push_back(static_cast<uint8_t>(bits % 256));
        bits /= 256;
    }
    return *this;
}

ByteBuilder& ByteBuilder::F32s(std::initializer_list<float> values)
{
    for (float value : values)
        F32(value);
    return *this;
}

ByteBuilder& ByteBuilder::Raw(std::string_view bytes)
{
    for (char c : bytes)
        bytes_.push_back(static_cast<uint8_t>(c));
    return *this;
}

ByteBuilder& ByteBuilder::Text(std::string_view cp1252)
{
    I16(static_cast<int>(cp1252.size()));
    return Raw(cp1252);
}

ByteBuilder& ByteBuilder::Append(const std::vector<uint8_t>& bytes)
{
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

int16_t I16At(const std::vector<uint8_t>& bytes, std::size_t offset)
{
    return static_cast<int16_t>(bytes.at(offset) + 256 * bytes.at(offset + 1));
}

float F32At(const std::vector<uint8_t>& bytes, std::size_t offset)
{
    uint32_t bits = 0;
    for (int i = 3; i >= 0; --i)
        bits = bits * 256 + bytes.at(offset + static_cast<std::size_t>(i));
    return std::bit_cast<float>(bits);
}

namespace {

// --- Pieces of the layout, in file order ------------------------------------------------------

void HeaderAndDefaultPage(ByteBuilder& b)
{
    b.I16(0).I16(0); // header length, empty tagged header
    b.I16(25).I16(20).I16(20).I16(20); // margins
    b.Text("&Input").Text("&Date &Time").Text("Page &Page");
    b.Text("Arial").F32(10.0f);
    b.Text(""); // title
    b.I16(0); // Metric
}

// Dimensions 0..10, 14..16, 11..13.
void DefaultDimensions(ByteBuilder& b)
{
    b.F32s({ 0.5f, 0.9f, 5.9f, 1.0f, 3.0f, 1.4f, 9.0f, 1.0f, 6.0f, 0.0f, 2.0f });
    b.F32s({ 2.0f, 1.5f, 1.4f });
    b.F32s({ 0.0f, 1.5f, 1.5f });
}

void DefaultAnchorsCurrent(ByteBuilder& b)
{
    b.I16(3).F32s({ 1.5f, 1.5f, 0.5f, 2400.0f });
    b.F32(-1.0f).F32s({ 960.0f, 2.0f, 21.0f });
}

void DefaultProperties(ByteBuilder& b)
{
    b.F32s({ 2.4f, 300.0f, 1.4f, 0.17f, 4000.0f, 21.0f, 7.0f, 1.0f, 1.7f, 1.7f, 1.9f, 30.0f, 0.0f,
        30.0f, 18.0f, 10.0f, 1.0f, 30.0f, 15.0f });
}

void DefaultLoads(ByteBuilder& b)
{
    b.F32(1.0f).I16(2).F32(0.15f);
}

void LineLoadRecord(ByteBuilder& b, const LineLoad& load)
{
    b.F32s({ load.Load, load.X, load.Y, load.Direction }).I16(load.Type);
}

// The old files' wall: its widths and heights are sums of powers of two, so every converted
// line-load height is exact in single precision.
void LegacyPage(ByteBuilder& b, std::string_view titleCp1252)
{
    b.I16(0).I16(0);
    b.I16(15).I16(12).I16(10).I16(10);
    b.Text("&Input").Text("&Date &Time").Text("Page &Page");
    b.Text("Arial").F32(10.0f);
    b.Text(titleCp1252);
    b.I16(0);
    b.F32s({ 0.5f, 1.0f, 5.75f, 1.0f, 3.0f, 1.25f, 9.0f, 1.0f, 6.0f, 0.0f, 2.0f });
    b.F32s({ 2.0f, 1.5f, 1.5f });
    b.F32s({ 0.0f, 1.5f, 1.5f });
    b.I16(2).F32s({ 2.0f, 2.5f, 0.75f, 2000.0f });
}

void LegacyProjectFields(Project& p, std::string_view titleUtf8)
{
    p.MarginLeft = 15;
    p.MarginRight = 12;
    p.MarginTop = 10;
    p.MarginBottom = 10;
    p.ProjectTitle = std::string(titleUtf8);
    p.TopWidth = 0.5f;
    p.UpperBackOffset = 1.0f;
    p.ShelfWidth = 5.75f;
    p.ToeWidth = 1.0f;
    p.BottomWidth = 3.0f;
    p.LowerSlopeWidth = 1.25f;
    p.FrontHeight = 9.0f;
    p.ToeHeight = 1.0f;
    p.UpperBackHeight = 6.0f;
    p.RearStepHeight = 0.0f;
    p.RearSlopeHeight = 2.0f;
    p.LowerSlopeHeight = 2.0f;
    p.LowerFlatWidth = 1.5f;
    p.RearSlopeWidth = 1.5f;
    p.BackfillSlope = 0.0f;
    p.FrontWaterDepth = 1.5f;
    p.BackWaterDepth = 1.5f;
    p.AnchorRows = 2;
    p.AnchorVPitch = 2.0f;
    p.AnchorHPitch = 2.5f;
    p.AnchorEdgeDist = 0.75f;
    p.AnchorYield = 2000.0f;
    p.AnchorDia = 2.5f; // the oldest anchor block has no shear stress: 960 stays
    p.AnchorE = 20.0f;
    p.Surcharge = 1.5f;
    p.SurchargeType = 1;
    p.SeismicCoef = 0.2f;
}

// The old layouts' tail before the line loads: no anchor marker, default properties.
void LegacyAnchorTailAndProperties(ByteBuilder& b)
{
    b.F32(2.5f).F32(20.0f); // AnchorDia, AnchorE
    DefaultProperties(b);
    b.F32(1.5f).I16(1).F32(0.2f);
}

// The same project in the current layout, as the writer must put it.
std::vector<uint8_t> LegacyWrittenBack(std::string_view titleCp1252, const Project& expected)
{
    ByteBuilder b;
    LegacyPage(b, titleCp1252);
    b.F32(-1.0f).F32s({ 960.0f, 2.5f, 20.0f });
    DefaultProperties(b);
    b.F32(1.5f).I16(1).F32(0.2f);
    b.I16(-1).I16(expected.LineLoadCount);
    for (int k = 1; k <= expected.LineLoadCount; ++k)
        LineLoadRecord(b, expected.LineLoads[k]);
    b.I16(0);
    return b.Bytes();
}

GoldenFile NewDefault()
{
    ByteBuilder b;
    HeaderAndDefaultPage(b);
    DefaultDimensions(b);
    DefaultAnchorsCurrent(b);
    DefaultProperties(b);
    DefaultLoads(b);
    b.I16(-1).I16(0).I16(0);
    return { "new-default.pdi", b.Bytes(), MakeNewProject("Arial"), b.Bytes() };
}

GoldenFile ReinUserSet()
{
    ByteBuilder b;
    HeaderAndDefaultPage(b);
    DefaultDimensions(b);
    DefaultAnchorsCurrent(b);
    DefaultProperties(b);
    DefaultLoads(b);
    b.I16(-1).I16(0).I16(-2);
    b.F32s({ 16.0f, 19.0f, 22.0f, 25.0f, 13.0f, 10.0f });
    b.F32s({ 0.25f, 0.2f, 0.15f, 0.3f, 0.125f, 0.1f });
    Project p = MakeNewProject("Arial");
    p.ReinUserSet = true;
    p.ReinDia = { 0, 16.0f, 19.0f, 22.0f, 25.0f, 13.0f, 10.0f };
    p.ReinPitch = { 0, 0.25f, 0.2f, 0.15f, 0.3f, 0.125f, 0.1f };
    return { "rein-user-set.pdi", b.Bytes(), p, b.Bytes() };
}

// Every field away from its default, with texts beyond ASCII: "ü" is 0xFC, "–" 0x96, "°" 0xB0,
// "€" 0x80 and "‰" 0x89 in Windows-1252.
GoldenFile FullProject()
{
    ByteBuilder b;
    b.I16(0).I16(0);
    b.I16(15).I16(12).I16(18).I16(22);
    b.Text("&Input \x96 St\xFCtzmauer").Text("&Date \x80 \x89").Text("Seite &Page");
    b.Text("Courier New").F32(9.5f);
    b.Text("Mauer S\xFC"
           "d \x96 2\xB0");
    b.I16(1);
    b.F32s({ 0.6f, 1.1f, 4.8f, 1.2f, 2.5f, 1.6f, 8.5f, 1.1f, 5.2f, 0.4f, 1.8f });
    b.F32s({ 2.2f, 1.3f, 1.1f });
    b.F32s({ 2.5f, 2.2f, 3.3f });
    b.I16(4).F32s({ 1.25f, 2.0f, 0.6f, 2500.0f });
    b.F32(-1.0f).F32s({ 1000.0f, 2.5f, 20.5f });
    b.F32s({ 24.0f, 30.0f, 2.5f, 0.2f, 420.0f, 20.0f, 75.0f, 9.81f, 18.5f, 17.5f, 20.5f, 32.0f,
        5.0f, 35.0f, 20.0f, 400.0f, 0.5f, 28.0f, 17.0f });
    b.F32(12.5f).I16(5).F32(0.2f);
    b.I16(-1).I16(3);
    b.F32s({ 10.0f, 0.0f, 2.5f, 90.0f }).I16(2);
    b.F32s({ 25.5f, 3.0f, 9.6f, 180.0f }).I16(1);
    b.F32s({ 4.25f, 6.0f, 4.0f, 0.0f }).I16(7);
    b.I16(-2);
    b.F32s({ 12.0f, 16.0f, 20.0f, 25.0f, 28.0f, 32.0f });
    b.F32s({ 0.1f, 0.125f, 0.15f, 0.2f, 0.25f, 0.3f });

    Project p = EveryFieldChanged();
    p.PageFieldText = { "", "&Input – Stützmauer", "&Date € ‰", "Seite &Page" };
    p.ProjectTitle = "Mauer Süd – 2°";
    return { "full-project.pdi", b.Bytes(), p, b.Bytes() };
}

GoldenFile OldestAnchors()
{
    ByteBuilder b;
    HeaderAndDefaultPage(b);
    DefaultDimensions(b);
    b.I16(3).F32s({ 1.5f, 1.5f, 0.5f, 2400.0f });
    b.F32(2.5f).F32(20.0f); // AnchorDia, AnchorE: no marker, no shear stress
    DefaultProperties(b);
    DefaultLoads(b);
    b.I16(-1).I16(2);
    b.F32s({ 3.0f, 2.0f, 10.0f, 180.0f }).I16(2);
    b.F32s({ 1.5f, 0.0f, 5.0f, 90.0f }).I16(1);
    b.I16(0);
    const std::vector<uint8_t> file = b.Bytes();

    Project p = MakeNewProject("Arial");
    p.AnchorDia = 2.5f;
    p.AnchorE = 20.0f;
    p.LineLoadCount = 2;
    p.LineLoads[1] = { 3.0f, 2.0f, 10.0f, 180.0f, 2 };
    p.LineLoads[2] = { 1.5f, 0.0f, 5.0f, 90.0f, 1 };

    ByteBuilder back;
    HeaderAndDefaultPage(back);
    DefaultDimensions(back);
    back.I16(3).F32s({ 1.5f, 1.5f, 0.5f, 2400.0f });
    back.F32(-1.0f).F32s({ 960.0f, 2.5f, 20.0f });
    DefaultProperties(back);
    DefaultLoads(back);
    back.I16(-1).I16(2);
    back.F32s({ 3.0f, 2.0f, 10.0f, 180.0f }).I16(2);
    back.F32s({ 1.5f, 0.0f, 5.0f, 90.0f }).I16(1);
    back.I16(0);
    return { "oldest-anchors.pdi", file, p, back.Bytes() };
}

// Toe 1.0 wide and 1.0 high, wall top at 10, top 0.5 wide, back face 1.0 wide and 6.0 high, so
// the shelf lies at 4. Front loads below y = 1 sit on the toe's front (x = 0), others on the
// front face (x = 1); top loads take the height of the surface at their x.
GoldenFile LegacyLineLoads()
{
    ByteBuilder b;
    LegacyPage(b, "St\xFCtzmauer \x96 alt");
    LegacyAnchorTailAndProperties(b);
    b.I16(3);
    b.F32s({ 4.0f, 0.5f }).I16(2); // on the toe's front, towards the backfill
    b.F32s({ -3.0f, 4.0f }).I16(1); // on the front face, towards the front
    b.F32s({ 2.0f, 1.0f }).I16(6); // exactly at the top of the toe: front face
    b.I16(5);
    b.F32s({ 5.0f, 2.0f }).I16(2); // halfway down the back face
    b.F32s({ -1.0f, 0.5f }).I16(2); // on the toe, upwards
    b.F32s({ 2.5f, 1.0f }).I16(1); // at the front edge of the wall top
    b.F32s({ 1.25f, 1.5f }).I16(5); // at the top of the back face
    b.F32s({ 3.0f, 2.5f }).I16(3); // at the foot of the back face: on the shelf
    b.I16(0);

    Project p = MakeNewProject("Arial");
    LegacyProjectFields(p, "Stützmauer – alt");
    p.LineLoadCount = 8;
    p.LineLoads[1] = { 4.0f, 0.0f, 0.5f, 90.0f, 2 };
    p.LineLoads[2] = { 3.0f, 1.0f, 4.0f, 270.0f, 1 };
    p.LineLoads[3] = { 2.0f, 1.0f, 1.0f, 90.0f, 6 };
    p.LineLoads[4] = { 5.0f, 2.0f, 7.0f, 180.0f, 2 };
    p.LineLoads[5] = { 1.0f, 0.5f, 1.0f, 0.0f, 2 };
    p.LineLoads[6] = { 2.5f, 1.0f, 10.0f, 180.0f, 1 };
    p.LineLoads[7] = { 1.25f, 1.5f, 10.0f, 180.0f, 5 };
    p.LineLoads[8] = { 3.0f, 2.5f, 4.0f, 180.0f, 3 };
    return { "legacy-line-loads.pdi", b.Bytes(), p,
        LegacyWrittenBack("St\xFCtzmauer \x96 alt", p) };
}

GoldenFile LegacyResultsBlock()
{
    ByteBuilder b;
    LegacyPage(b, "Alte Datei");
    LegacyAnchorTailAndProperties(b);
    b.I16(1).F32s({ -2.0f, 3.0f }).I16(3);
    b.I16(1).F32s({ -4.0f, 7.0f }).I16(2);
    // The results block: Stable, 102 floats, SlopeAdjusted, 272 floats. Each float holds its
    // own position 1..374 in the block so that a test can tell where it was read from.
    b.I16(-1).I16(-1);
    for (int n = 1; n <= 102; ++n)
        b.F32(static_cast<float>(n));
    b.I16(1);
    for (int n = 103; n <= 374; ++n)
        b.F32(static_cast<float>(n));

    Project p = MakeNewProject("Arial");
    LegacyProjectFields(p, "Alte Datei");
    p.LineLoadCount = 2;
    p.LineLoads[1] = { 2.0f, 1.0f, 3.0f, 270.0f, 3 };
    p.LineLoads[2] = { 4.0f, 7.0f, 4.0f, 0.0f, 2 };
    return { "legacy-results.pdi", b.Bytes(), p, LegacyWrittenBack("Alte Datei", p) };
}

// --- Field-wise comparison --------------------------------------------------------------------

class Comparison {
public:
    void operator()(const char* name, float a, float b)
    {
        if (std::bit_cast<uint32_t>(a) != std::bit_cast<uint32_t>(b))
            Differ(name, ::testing::PrintToString(a), ::testing::PrintToString(b));
    }
    template <typename T>
    requires(!std::is_floating_point_v<T>) void operator()(const char* name, const T& a, const T& b)
    {
        if (!(a == b))
            Differ(name, ::testing::PrintToString(a), ::testing::PrintToString(b));
    }
    template <std::size_t N>
    void operator()(const char* name, const std::array<float, N>& a, const std::array<float, N>& b)
    {
        for (std::size_t i = 0; i < N; ++i)
            (*this)((std::string(name) + "[" + std::to_string(i) + "]").c_str(), a[i], b[i]);
    }
    void operator()(const char* name, const std::array<LineLoad, MaxLineLoads + 1>& a,
        const std::array<LineLoad, MaxLineLoads + 1>& b)
    {
        for (std::size_t i = 0; i < a.size(); ++i) {
            const std::string slot = std::string(name) + "[" + std::to_string(i) + "].";
            (*this)((slot + "Load").c_str(), a[i].Load, b[i].Load);
            (*this)((slot + "X").c_str(), a[i].X, b[i].X);
            (*this)((slot + "Y").c_str(), a[i].Y, b[i].Y);
            (*this)((slot + "Direction").c_str(), a[i].Direction, b[i].Direction);
            (*this)((slot + "Type").c_str(), a[i].Type, b[i].Type);
        }
    }

    ::testing::AssertionResult Result() const
    {
        if (differences_.empty())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "fields that differ (expected, actual):\n"
                                             << differences_;
    }

private:
    void Differ(const std::string& name, const std::string& a, const std::string& b)
    {
        differences_ += "  " + name + ": " + a + " vs " + b + "\n";
    }
    std::string differences_;
};

} // namespace

std::vector<GoldenFile> GoldenFiles()
{
    return { NewDefault(), ReinUserSet(), FullProject(), OldestAnchors(), LegacyLineLoads(),
        LegacyResultsBlock() };
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

#define PENDRAKE_COMPARE(field) compare(#field, expected.field, actual.field)

::testing::AssertionResult SameProject(const Project& expected, const Project& actual)
{
    Comparison compare;
    PENDRAKE_COMPARE(TopWidth);
    PENDRAKE_COMPARE(UpperBackOffset);
    PENDRAKE_COMPARE(ShelfWidth);
    PENDRAKE_COMPARE(ToeWidth);
    PENDRAKE_COMPARE(BottomWidth);
    PENDRAKE_COMPARE(LowerSlopeWidth);
    PENDRAKE_COMPARE(FrontHeight);
    PENDRAKE_COMPARE(ToeHeight);
    PENDRAKE_COMPARE(UpperBackHeight);
    PENDRAKE_COMPARE(RearStepHeight);
    PENDRAKE_COMPARE(RearSlopeHeight);
    PENDRAKE_COMPARE(BackfillSlope);
    PENDRAKE_COMPARE(FrontWaterDepth);
    PENDRAKE_COMPARE(BackWaterDepth);
    PENDRAKE_COMPARE(LowerSlopeHeight);
    PENDRAKE_COMPARE(LowerFlatWidth);
    PENDRAKE_COMPARE(RearSlopeWidth);
    PENDRAKE_COMPARE(ConcUnitWeight);
    PENDRAKE_COMPARE(ConcFc);
    PENDRAKE_COMPARE(ConcE);
    PENDRAKE_COMPARE(ConcPoisson);
    PENDRAKE_COMPARE(RebarFy);
    PENDRAKE_COMPARE(RebarE);
    PENDRAKE_COMPARE(ConcCover);
    PENDRAKE_COMPARE(WaterUnitWeight);
    PENDRAKE_COMPARE(DeltaEarth);
    PENDRAKE_COMPARE(DeltaConcrete);
    PENDRAKE_COMPARE(FillUnitWeight);
    PENDRAKE_COMPARE(FillDryDensity);
    PENDRAKE_COMPARE(FillSatDensity);
    PENDRAKE_COMPARE(FillPhi);
    PENDRAKE_COMPARE(FillCohesion);
    PENDRAKE_COMPARE(BasePhi);
    PENDRAKE_COMPARE(BaseCohesion);
    PENDRAKE_COMPARE(BaseQd);
    PENDRAKE_COMPARE(BaseE);
    PENDRAKE_COMPARE(AnchorRows);
    PENDRAKE_COMPARE(AnchorVPitch);
    PENDRAKE_COMPARE(AnchorHPitch);
    PENDRAKE_COMPARE(AnchorEdgeDist);
    PENDRAKE_COMPARE(AnchorYield);
    PENDRAKE_COMPARE(AnchorShear);
    PENDRAKE_COMPARE(AnchorDia);
    PENDRAKE_COMPARE(AnchorE);
    PENDRAKE_COMPARE(Surcharge);
    PENDRAKE_COMPARE(SurchargeType);
    PENDRAKE_COMPARE(SeismicCoef);
    PENDRAKE_COMPARE(LineLoadCount);
    PENDRAKE_COMPARE(LineLoads);
    PENDRAKE_COMPARE(ReinUserSet);
    PENDRAKE_COMPARE(ReinDia);
    PENDRAKE_COMPARE(ReinPitch);
    PENDRAKE_COMPARE(ProjectTitle);
    PENDRAKE_COMPARE(UnitSystem);
    PENDRAKE_COMPARE(MarginLeft);
    PENDRAKE_COMPARE(MarginRight);
    PENDRAKE_COMPARE(MarginTop);
    PENDRAKE_COMPARE(MarginBottom);
    PENDRAKE_COMPARE(PageFieldText);
    PENDRAKE_COMPARE(ReportFontName);
    PENDRAKE_COMPARE(ReportFontSize);
    return compare.Result();
}

#undef PENDRAKE_COMPARE

Project EveryFieldChanged()
{
    Project p = MakeNewProject("Arial");
    p.MarginLeft = 15;
    p.MarginRight = 12;
    p.MarginTop = 18;
    p.MarginBottom = 22;
    p.PageFieldText = { "", "Left &Input", "Centre &Date", "Right &Page" };
    p.ReportFontName = "Courier New";
    p.ReportFontSize = 9.5f;
    p.ProjectTitle = "Wall W-7 at km 12.4";
    p.UnitSystem = 1;
    p.TopWidth = 0.6f;
    p.UpperBackOffset = 1.1f;
    p.ShelfWidth = 4.8f;
    p.ToeWidth = 1.2f;
    p.BottomWidth = 2.5f;
    p.LowerSlopeWidth = 1.6f;
    p.FrontHeight = 8.5f;
    p.ToeHeight = 1.1f;
    p.UpperBackHeight = 5.2f;
    p.RearStepHeight = 0.4f;
    p.RearSlopeHeight = 1.8f;
    p.LowerSlopeHeight = 2.2f;
    p.LowerFlatWidth = 1.3f;
    p.RearSlopeWidth = 1.1f;
    p.BackfillSlope = 2.5f;
    p.FrontWaterDepth = 2.2f;
    p.BackWaterDepth = 3.3f;
    p.AnchorRows = 4;
    p.AnchorVPitch = 1.25f;
    p.AnchorHPitch = 2.0f;
    p.AnchorEdgeDist = 0.6f;
    p.AnchorYield = 2500.0f;
    p.AnchorShear = 1000.0f;
    p.AnchorDia = 2.5f;
    p.AnchorE = 20.5f;
    p.ConcUnitWeight = 24.0f;
    p.ConcFc = 30.0f;
    p.ConcE = 2.5f;
    p.ConcPoisson = 0.2f;
    p.RebarFy = 420.0f;
    p.RebarE = 20.0f;
    p.ConcCover = 75.0f;
    p.WaterUnitWeight = 9.81f;
    p.FillUnitWeight = 18.5f;
    p.FillDryDensity = 17.5f;
    p.FillSatDensity = 20.5f;
    p.FillPhi = 32.0f;
    p.FillCohesion = 5.0f;
    p.BasePhi = 35.0f;
    p.BaseCohesion = 20.0f;
    p.BaseQd = 400.0f;
    p.BaseE = 0.5f;
    p.DeltaEarth = 28.0f;
    p.DeltaConcrete = 17.0f;
    p.Surcharge = 12.5f;
    p.SurchargeType = 5;
    p.SeismicCoef = 0.2f;
    p.LineLoadCount = 3;
    p.LineLoads[1] = { 10.0f, 0.0f, 2.5f, 90.0f, 2 };
    p.LineLoads[2] = { 25.5f, 3.0f, 9.6f, 180.0f, 1 };
    p.LineLoads[3] = { 4.25f, 6.0f, 4.0f, 0.0f, 7 };
    p.ReinUserSet = true;
    p.ReinDia = { 0, 12.0f, 16.0f, 20.0f, 25.0f, 28.0f, 32.0f };
    p.ReinPitch = { 0, 0.1f, 0.125f, 0.15f, 0.2f, 0.25f, 0.3f };
    return p;
}

void TempDirTest::SetUp()
{
    std::string pattern
        = (std::filesystem::path(::testing::TempDir()) / "pendrake-io-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
}

std::vector<std::string> TempDirTest::FileNames() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void TempDirTest::TearDown()
{
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

} // namespace pendrake::test
