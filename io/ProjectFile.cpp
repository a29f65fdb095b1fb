// Writing and reading the project file byte for byte, little-endian on any host, with the
// conversion of the two legacy line-load lists and the skipping of the legacy results block.
#include "io/ProjectFile.h"

#include "io/AtomicFile.h"
#include "io/Codepage.h"
#include "model/Units.h"

#include <bit>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <limits>
#include <system_error>
#include <unistd.h>

namespace pendrake {

namespace {

static_assert(std::numeric_limits<float>::is_iec559, "the file holds IEEE 754 single floats");

// The header is a tagged value; the program writes it empty and skips whatever a file holds.
constexpr int16_t HeaderTagEmpty = 0;
constexpr int16_t HeaderTagText = 8;

// A negative f32 after the anchor yield stress marks the block that holds AnchorShear; the
// oldest files have the positive anchor diameter there instead.
constexpr float AnchorBlockMarker = -1.0f;
// A negative i16 before the line loads marks the current list; older files hold the count of
// their front loads there instead.
constexpr int16_t LineLoadListMarker = -1;

constexpr int16_t TrailerPlain = 0;
constexpr int16_t TrailerLegacyResults = -1;
constexpr int16_t TrailerUserReinforcement = -2;

constexpr std::size_t LineLoadRecordSize = 4 * 4 + 2;
constexpr std::size_t LegacyLoadRecordSize = 4 + 4 + 2;
constexpr std::size_t UserReinforcementSize = std::size_t { 2 } * ReinRowCount * 4;

// A text's length is an i16 on disk.
constexpr std::size_t MaxTextLength = std::numeric_limits<int16_t>::max();

// Directions of line loads in degrees: 0 straight up, then clockwise in the drawing.
constexpr float DirectionUp = 0.0f;
constexpr float DirectionTowardsBackfill = 90.0f;
constexpr float DirectionDown = 180.0f;
constexpr float DirectionTowardsFront = 270.0f;

struct FloatField {
    float Project::*Member;
    const char* Name;
};

// The dimensions in file order: 0 to 10, then 14 to 16, then 11 to 13.
constexpr FloatField DimensionFields[] = {
    { &Project::TopWidth, "top width" },
    { &Project::UpperBackOffset, "offset of the upper back face" },
    { &Project::ShelfWidth, "shelf width" },
    { &Project::ToeWidth, "toe width" },
    { &Project::BottomWidth, "width of the flat bottom" },
    { &Project::LowerSlopeWidth, "width of the lower sloping underside" },
    { &Project::FrontHeight, "height of the front face" },
    { &Project::ToeHeight, "toe height" },
    { &Project::UpperBackHeight, "height of the upper back face" },
    { &Project::RearStepHeight, "height of the rear step" },
    { &Project::RearSlopeHeight, "rise of the rear sloping underside" },
    { &Project::LowerSlopeHeight, "rise of the lower sloping underside" },
    { &Project::LowerFlatWidth, "width of the flat underside segment" },
    { &Project::RearSlopeWidth, "width of the rear sloping underside" },
    { &Project::BackfillSlope, "backfill slope" },
    { &Project::FrontWaterDepth, "water depth in front of the wall" },
    { &Project::BackWaterDepth, "water depth behind the wall" },
};

constexpr FloatField AnchorFieldsBeforeMarker[] = {
    { &Project::AnchorVPitch, "vertical pitch of the anchors" },
    { &Project::AnchorHPitch, "horizontal pitch of the anchors" },
    { &Project::AnchorEdgeDist, "edge distance of the anchors" },
    { &Project::AnchorYield, "yield stress of the anchors" },
};

constexpr FloatField AnchorShearField = { &Project::AnchorShear, "shear stress of the anchors" };
constexpr FloatField AnchorDiaField = { &Project::AnchorDia, "diameter of the anchors" };
constexpr FloatField AnchorEField = { &Project::AnchorE, "elasticity modulus of the anchors" };

constexpr FloatField PropertyFields[] = {
    { &Project::ConcUnitWeight, "unit weight of the concrete" },
    { &Project::ConcFc, "concrete strength f'c" },
    { &Project::ConcE, "elasticity modulus of the concrete" },
    { &Project::ConcPoisson, "Poisson's ratio of the concrete" },
    { &Project::RebarFy, "yield stress of the reinforcement" },
    { &Project::RebarE, "elasticity modulus of the reinforcement" },
    { &Project::ConcCover, "concrete cover" },
    { &Project::WaterUnitWeight, "unit weight of the water" },
    { &Project::FillUnitWeight, "unit weight of the backfill" },
    { &Project::FillDryDensity, "dry density of the backfill" },
    { &Project::FillSatDensity, "saturated density of the backfill" },
    { &Project::FillPhi, "friction angle of the backfill" },
    { &Project::FillCohesion, "cohesion of the backfill" },
    { &Project::BasePhi, "friction angle of the base" },
    { &Project::BaseCohesion, "cohesion of the base" },
    { &Project::BaseQd, "bearing capacity of the base" },
    { &Project::BaseE, "elasticity modulus of the base" },
    { &Project::DeltaEarth, "friction angle earth to earth" },
    { &Project::DeltaConcrete, "friction angle concrete to earth" },
};

constexpr FloatField ReportFontSizeField = { &Project::ReportFontSize, "report font size" };
constexpr FloatField SurchargeField = { &Project::Surcharge, "surcharge" };
constexpr FloatField SeismicCoefField = { &Project::SeismicCoef, "seismic coefficient" };
constexpr const char* SurchargeTypeName = "load case of the surcharge";

constexpr const char* PageFieldTextName[]
    = { "", "left footer text", "centre footer text", "right footer text" };

std::string Numbered(std::string_view what, int number)
{
    return std::string(what) + std::to_string(number);
}

std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

std::string SystemErrorText(int error)
{
    return std::generic_category().message(error);
}

std::string NonFiniteName(double value)
{
    return std::isnan(value) ? "NaN" : (value > 0 ? "infinity" : "minus infinity");
}

// The rules below hold for every project the reader accepts; the writer checks them too, so
// that no save can produce a file the program would then refuse to open.

// NaN or infinity in an input would run through every result of the analysis.
std::string NonFiniteProblem(const std::string& name, float value)
{
    return "the " + name + " is not a finite number (" + NonFiniteName(value) + ")";
}

// The unit labels are tables of three systems: any other number indexes past them.
bool IsUnitSystem(int16_t value)
{
    return value >= 0 && value < static_cast<int16_t>(UnitSystemName.size());
}

std::string UnitSystemProblem(int16_t value)
{
    return "the unit system is " + std::to_string(value)
        + "; only 0 (Metric), 1 (SI) and 2 (British) exist";
}

// The load factors and the case names are tables 1..7: any other number indexes past them.
bool IsLoadCase(int16_t value)
{
    return value >= 1 && value <= LoadCaseCount;
}

std::string LoadCaseProblem(const std::string& name, int16_t value)
{
    return "the " + name + " is " + std::to_string(value) + "; load cases are numbered 1 to "
        + std::to_string(LoadCaseCount);
}

std::string AnchorRowsProblem(int16_t value)
{
    return "the number of anchor rows is negative (" + std::to_string(value) + ")";
}

std::string LineLoadCountProblem(int count)
{
    return "the project holds " + std::to_string(count) + " line loads; a project has 0 to "
        + std::to_string(MaxLineLoads);
}

// ---------------------------------------------------------------------------------------------
// Writing

class ByteWriter {
public:
    void I16(int16_t value)
    {
        const auto bits = static_cast<uint16_t>(value);
        bytes_.push_back(static_cast<uint8_t>(bits & 0xFFu));
        bytes_.push_back(static_cast<uint8_t>(bits >> 8));
    }

    void F32(float value)
    {
        const auto bits = std::bit_cast<uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8)
            bytes_.push_back(static_cast<uint8_t>((bits >> shift) & 0xFFu));
    }

    // `cp1252` was checked against MaxTextLength when it was encoded.
    void Text(const std::string& cp1252)
    {
        I16(static_cast<int16_t>(cp1252.size()));
        bytes_.insert(bytes_.end(), cp1252.begin(), cp1252.end());
    }

    std::vector<uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

// The text in the file's code page, or the reason it cannot be stored.
std::optional<std::string> EncodeText(
    std::string_view utf8, std::string_view name, std::string* problem)
{
    CodepageResult encoded = Utf8ToCp1252(utf8);
    std::string why;
    switch (encoded.Error) {
    case CodepageError::None:
        if (encoded.Text.size() <= MaxTextLength)
            return std::move(encoded.Text);
        why = "the " + std::string(name) + " is longer than the " + std::to_string(MaxTextLength)
            + " characters a project file can store";
        break;
    case CodepageError::Unrepresentable: {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(encoded.CodePoint));
        why = "the " + std::string(name) + " holds the character " + Quoted(encoded.Character)
            + " (" + code + "), which a project file cannot store";
        break;
    }
    case CodepageError::InvalidUtf8:
        why = "the " + std::string(name) + " is not valid UTF-8 text (at byte "
            + std::to_string(encoded.Offset + 1) + ")";
        break;
    case CodepageError::NoConverter:
        why = "this system cannot convert texts to the Windows-1252 code page";
        break;
    }
    if (problem != nullptr)
        *problem = why;
    return std::nullopt;
}

// Why the record's numbers cannot be saved, or empty when they can.
std::string InputProblem(const Project& p)
{
    std::string problem;
    const auto finite = [&](float value, const std::string& name) {
        if (problem.empty() && !std::isfinite(value))
            problem = NonFiniteProblem(name, value);
    };
    const auto fields = [&](std::initializer_list<FloatField> list) {
        for (const FloatField& field : list)
            finite(p.*field.Member, field.Name);
    };
    finite(p.ReportFontSize, ReportFontSizeField.Name);
    if (problem.empty() && !IsUnitSystem(p.UnitSystem))
        problem = UnitSystemProblem(p.UnitSystem);
    for (const FloatField& field : DimensionFields)
        finite(p.*field.Member, field.Name);
    if (problem.empty() && p.AnchorRows < 0)
        problem = AnchorRowsProblem(p.AnchorRows);
    for (const FloatField& field : AnchorFieldsBeforeMarker)
        finite(p.*field.Member, field.Name);
    fields({ AnchorShearField, AnchorDiaField, AnchorEField });
    for (const FloatField& field : PropertyFields)
        finite(p.*field.Member, field.Name);
    fields({ SurchargeField, SeismicCoefField });
    if (problem.empty() && !IsLoadCase(p.SurchargeType))
        problem = LoadCaseProblem(SurchargeTypeName, p.SurchargeType);
    if (p.LineLoadCount < 0 || p.LineLoadCount > MaxLineLoads)
        return problem.empty() ? LineLoadCountProblem(p.LineLoadCount) : problem;
    for (int k = 1; k <= p.LineLoadCount; ++k) {
        const LineLoad& load = p.LineLoads[k];
        finite(load.Load, Numbered("load of line load ", k));
        finite(load.X, Numbered("x of line load ", k));
        finite(load.Y, Numbered("y of line load ", k));
        finite(load.Direction, Numbered("direction of line load ", k));
        if (problem.empty() && !IsLoadCase(load.Type))
            problem = LoadCaseProblem(Numbered("load case of line load ", k), load.Type);
    }
    for (int row = 1; p.ReinUserSet && row <= ReinRowCount; ++row)
        finite(p.ReinDia[row], Numbered("bar diameter of design row ", row));
    for (int row = 1; p.ReinUserSet && row <= ReinRowCount; ++row)
        finite(p.ReinPitch[row], Numbered("bar pitch of design row ", row));
    return problem;
}

// ---------------------------------------------------------------------------------------------
// Reading

// Why a file cannot be read; carried from deep inside the reader to ParseProjectFile.
struct ReadFailure {
    std::string Reason;
};

class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes)
        : bytes_(bytes)
    {
    }

    // Refuses, before anything of it is read, a field of `size` bytes that the file cannot hold.
    void Require(std::size_t size, std::string_view name) const
    {
        if (bytes_.size() - position_ >= size)
            return;
        const char* where = position_ == bytes_.size() ? "before" : "inside";
        throw ReadFailure { "the file ends " + std::string(where) + " the " + std::string(name)
            + "; it is damaged or not a project file" };
    }

    int16_t I16(std::string_view name)
    {
        Require(2, name);
        const auto bits = static_cast<uint16_t>(bytes_[position_] | (bytes_[position_ + 1] << 8));
        position_ += 2;
        return static_cast<int16_t>(bits);
    }

    // An f32 as stored, NaN and infinity included: for the markers and the results block.
    float RawF32(std::string_view name)
    {
        Require(4, name);
        uint32_t bits = 0;
        for (int i = 3; i >= 0; --i)
            bits = (bits << 8) | bytes_[position_ + static_cast<std::size_t>(i)];
        position_ += 4;
        return std::bit_cast<float>(bits);
    }

    // An input value, refused when it is not a finite number.
    float F32(const std::string& name)
    {
        const float value = RawF32(name);
        if (!std::isfinite(value))
            throw ReadFailure { NonFiniteProblem(name, value) };
        return value;
    }

    void F32Into(Project& p, const FloatField& field) { p.*field.Member = F32(field.Name); }

    // The bytes of a text, still in the file's code page.
    std::string_view TextBytes(std::string_view name)
    {
        const int16_t length = I16("length of the " + std::string(name));
        if (length < 0)
            throw ReadFailure { "the length of the " + std::string(name) + " is negative ("
                + std::to_string(length) + "); the file is damaged or not a project file" };
        const auto size = static_cast<std::size_t>(length);
        Require(size, name);
        const auto* first = reinterpret_cast<const char*>(bytes_.data() + position_);
        position_ += size;
        return { first, size };
    }

    std::string Text(std::string_view name)
    {
        CodepageResult decoded = Cp1252ToUtf8(TextBytes(name));
        if (decoded.Error != CodepageError::None)
            throw ReadFailure {
                "this system cannot convert texts from the Windows-1252 code page"
            };
        return std::move(decoded.Text);
    }

private:
    std::span<const uint8_t> bytes_;
    std::size_t position_ = 0;
};

int16_t ReadLoadCase(ByteReader& in, const std::string& name)
{
    const int16_t loadCase = in.I16(name);
    if (!IsLoadCase(loadCase))
        throw ReadFailure { LoadCaseProblem(name, loadCase) };
    return loadCase;
}

void SkipHeader(ByteReader& in)
{
    in.I16("header length");
    const int16_t tag = in.I16("header");
    if (tag == HeaderTagText)
        in.TextBytes("header text");
    else if (tag != HeaderTagEmpty)
        throw ReadFailure { "its header is of an unknown kind (tag " + std::to_string(tag)
            + "); it is damaged or not a project file" };
}

// Reads from the margins to the anchor yield stress (the fields every layout shares).
void ReadLeadingFields(ByteReader& in, Project& p)
{
    p.MarginLeft = in.I16("left margin");
    p.MarginRight = in.I16("right margin");
    p.MarginTop = in.I16("top margin");
    p.MarginBottom = in.I16("bottom margin");
    for (int i = 1; i <= 3; ++i)
        p.PageFieldText[i] = in.Text(PageFieldTextName[i]);
    p.ReportFontName = in.Text("report font name");
    in.F32Into(p, ReportFontSizeField);
    p.ProjectTitle = in.Text("project title");
    p.UnitSystem = in.I16("unit system");
    if (!IsUnitSystem(p.UnitSystem))
        throw ReadFailure { UnitSystemProblem(p.UnitSystem) };
    for (const FloatField& field : DimensionFields)
        in.F32Into(p, field);
    p.AnchorRows = in.I16("number of anchor rows");
    if (p.AnchorRows < 0)
        throw ReadFailure { AnchorRowsProblem(p.AnchorRows) };
    for (const FloatField& field : AnchorFieldsBeforeMarker)
        in.F32Into(p, field);
}

void ReadAnchorTail(ByteReader& in, Project& p)
{
    const float first = in.F32(AnchorDiaField.Name);
    if (first < 0) {
        in.F32Into(p, AnchorShearField);
        in.F32Into(p, AnchorDiaField);
    } else {
        p.AnchorDia = first; // the oldest layout: AnchorShear keeps the value it had
    }
    in.F32Into(p, AnchorEField);
}

void ReadLineLoadList(ByteReader& in, Project& p)
{
    const int16_t count = in.I16("number of line loads");
    if (count < 0 || count > MaxLineLoads)
        throw ReadFailure { LineLoadCountProblem(count) };
    in.Require(static_cast<std::size_t>(count) * LineLoadRecordSize, "line loads");
    for (int k = 1; k <= count; ++k) {
        LineLoad& load = p.LineLoads[k];
        load.Load = in.F32(Numbered("load of line load ", k));
        load.X = in.F32(Numbered("x of line load ", k));
        load.Y = in.F32(Numbered("y of line load ", k));
        load.Direction = in.F32(Numbered("direction of line load ", k));
        load.Type = ReadLoadCase(in, Numbered("load case of line load ", k));
    }
    p.LineLoadCount = count;
}

struct LegacyLoad {
    float Value; // signed: towards the backfill (front loads) or downwards (top loads)
    float Position; // y of a front load, x of a top load
    int16_t Type;
};

LegacyLoad ReadLegacyLoad(ByteReader& in, const std::string& list, int k)
{
    LegacyLoad load {};
    load.Value = in.F32(Numbered("value of " + list, k));
    load.Position = in.F32(Numbered("position of " + list, k));
    load.Type = ReadLoadCase(in, Numbered("load case of " + list, k));
    return load;
}

// A height formed from several dimensions may leave the float range even though each is finite.
float HeightAsFloat(double height, int k)
{
    if (!(std::fabs(height) <= std::numeric_limits<float>::max()))
        throw ReadFailure { "the wall's heights put top load " + std::to_string(k)
            + " beyond any number a project can hold" };
    return static_cast<float>(height);
}

// Y of the top surface at x, walking from the toe over the wall top and down the leaning back
// face onto the shelf.
float TopSurfaceY(const Project& p, double x, int k)
{
    const double toeEnd = p.ToeWidth;
    const double topEnd = toeEnd + p.TopWidth;
    const double backFaceEnd = topEnd + p.UpperBackOffset;
    const double yTop = double(p.FrontHeight) + p.ToeHeight;
    if (x < toeEnd)
        return p.ToeHeight;
    if (x < topEnd)
        return HeightAsFloat(yTop, k);
    if (x < backFaceEnd)
        return HeightAsFloat(
            yTop - (x - p.ToeWidth - p.TopWidth) / p.UpperBackOffset * p.UpperBackHeight, k);
    return HeightAsFloat(yTop - p.UpperBackHeight, k);
}

// The two lists of the oldest files: loads pushing on the front of the wall (list A) and loads
// standing on its top surfaces (list B), both with a signed value and one coordinate.
void ReadLegacyLineLoads(ByteReader& in, Project& p, int16_t frontCount)
{
    if (frontCount > MaxLineLoads)
        throw ReadFailure { "it holds " + std::to_string(frontCount)
            + " front loads; a project has 0 to " + std::to_string(MaxLineLoads) + " line loads" };
    in.Require(static_cast<std::size_t>(frontCount) * LegacyLoadRecordSize, "front loads");
    for (int k = 1; k <= frontCount; ++k) {
        const LegacyLoad legacy = ReadLegacyLoad(in, "front load ", k);
        LineLoad& load = p.LineLoads[k];
        load.Load = std::fabs(legacy.Value);
        // Below the top of the toe the load acts on the toe's front, above it on the front face.
        load.X = legacy.Position < p.ToeHeight ? 0.0f : p.ToeWidth;
        load.Y = legacy.Position;
        load.Direction = legacy.Value < 0 ? DirectionTowardsFront : DirectionTowardsBackfill;
        load.Type = legacy.Type;
    }

    const int16_t topCount = in.I16("number of top loads");
    if (topCount < 0)
        throw ReadFailure { "the number of top loads is negative (" + std::to_string(topCount)
            + ")" };
    if (frontCount + topCount > MaxLineLoads)
        throw ReadFailure { "it holds " + std::to_string(frontCount) + " front and "
            + std::to_string(topCount) + " top loads; a project has at most "
            + std::to_string(MaxLineLoads) + " line loads" };
    in.Require(static_cast<std::size_t>(topCount) * LegacyLoadRecordSize, "top loads");
    for (int k = 1; k <= topCount; ++k) {
        const LegacyLoad legacy = ReadLegacyLoad(in, "top load ", k);
        LineLoad& load = p.LineLoads[frontCount + k];
        load.Load = std::fabs(legacy.Value);
        load.X = legacy.Position;
        load.Y = TopSurfaceY(p, legacy.Position, k);
        load.Direction = legacy.Value < 0 ? DirectionUp : DirectionDown;
        load.Type = legacy.Type;
    }
    p.LineLoadCount = static_cast<int16_t>(frontCount + topCount);
}

template <std::size_t N>
void ReadRawTable(ByteReader& in, std::array<float, N>& table, std::size_t first, std::size_t last)
{
    for (std::size_t i = first; i <= last; ++i)
        table[i] = in.RawF32("block of old analysis results");
}

// Results are recomputed on every run, so the block is taken as stored, NaN included.
LegacyResults ReadLegacyResults(ByteReader& in)
{
    in.Require(LegacyResultsSize, "block of old analysis results");
    LegacyResults r;
    const auto floats = [&](auto& table, std::size_t last) { ReadRawTable(in, table, 1, last); };
    const auto single = [&](float& value) { value = in.RawF32("block of old analysis results"); };

    r.Stable = in.I16("block of old analysis results");
    floats(r.WaterPressure, 7);
    floats(r.WaterArm, 7);
    floats(r.WaterLevel, 7);
    single(r.WaterPressureMax);
    floats(r.DeadForce, 13);
    floats(r.DeadArm, 13);
    floats(r.SeismicForce, 18);
    floats(r.SeismicLevel, 18);
    floats(r.SeismicArm, 18);
    r.SlopeAdjusted = in.I16("block of old analysis results");
    floats(r.SoilPressure, 3);
    floats(r.SoilLevel, 3);
    floats(r.SoilArm, 3);
    single(r.KaStatic);
    single(r.KaeIncrement);
    single(r.KaeIncrementCopy);
    single(r.SoilPressureMax);
    floats(r.StabilitySums, 21);
    floats(r.SectionMoment, 3);
    floats(r.SectionShear, 3);
    floats(r.SectionNormal, 3);
    for (LegacyResults::ComboTable* table : { &r.ComboMoment, &r.ComboShear, &r.ComboNormal })
        for (std::size_t section = 1; section <= 3; ++section)
            floats((*table)[section], 12);
    for (auto* table : { &r.EnvMomentPos, &r.EnvMomentNeg, &r.EnvShear, &r.EnvNormalPos,
             &r.EnvNormalNeg, &r.EnvShearNormal, &r.EnvMomentZ, &r.EnvNormalZ })
        floats(*table, 3);
    single(r.UnnamedResult);
    for (auto* table : { &r.ReinHeight, &r.ReinDia, &r.ReinPitch, &r.ReinAs, &r.ReinAsReq,
             &r.ReinRho, &r.ReinRhoCopy, &r.ReinMoment })
        floats(*table, 6);
    floats(r.ReinShear, 3);
    floats(r.ReinShearNormal, 3);
    floats(r.ReinNormal, 6);
    floats(r.ReinMomentCap, 6);
    floats(r.ReinShearCap, 3);
    floats(r.ReinMomentZ, 6);
    floats(r.ReinNormalZ, 6);
    single(r.RhoBalanced);
    single(r.RhoMin);
    floats(r.ReinRhoReq43, 6);
    floats(r.ReinZ, 6);
    single(r.ZMax);
    return r;
}

void ReadTrailer(ByteReader& in, Project& p, std::optional<LegacyResults>& legacy)
{
    const int16_t marker = in.I16("trailer marker");
    // The marker alone says whether the engineer typed bars; none of the older files did.
    p.ReinUserSet = marker == TrailerUserReinforcement;
    if (marker == TrailerUserReinforcement) {
        in.Require(UserReinforcementSize, "table of the reinforcement typed by the user");
        for (int row = 1; row <= ReinRowCount; ++row)
            p.ReinDia[row] = in.F32(Numbered("bar diameter of design row ", row));
        for (int row = 1; row <= ReinRowCount; ++row)
            p.ReinPitch[row] = in.F32(Numbered("bar pitch of design row ", row));
    } else if (marker == TrailerLegacyResults) {
        legacy = ReadLegacyResults(in);
    }
    // Any other marker ends the file, as every program version has read it.
}

void ParseInto(ByteReader& in, Project& p, std::optional<LegacyResults>& legacy)
{
    SkipHeader(in);
    ReadLeadingFields(in, p);
    ReadAnchorTail(in, p);
    for (const FloatField& field : PropertyFields)
        in.F32Into(p, field);
    in.F32Into(p, SurchargeField);
    p.SurchargeType = ReadLoadCase(in, SurchargeTypeName);
    in.F32Into(p, SeismicCoefField);

    const int16_t listMarker = in.I16("line loads");
    if (listMarker < 0)
        ReadLineLoadList(in, p);
    else
        ReadLegacyLineLoads(in, p, listMarker);

    ReadTrailer(in, p, legacy);
}

// Reads a whole file of at most MaxProjectFileSize bytes.
FileStatus ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    const std::string prefix = "Cannot read " + Quoted(path) + ": ";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return { false, prefix + SystemErrorText(errno) + "." };
    // One byte more than the limit tells a file at the limit from a larger one.
    bytes.resize(MaxProjectFileSize + 1);
    std::size_t filled = 0;
    int error = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            error = errno;
        if (got <= 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    ::close(fd);
    if (error != 0)
        return { false, prefix + SystemErrorText(error) + "." };
    if (filled > MaxProjectFileSize)
        return { false,
            prefix + "the file is larger than any project file; it is not a project file." };
    bytes.resize(filled);
    return { true, {} };
}

} // namespace

std::vector<uint8_t> ProjectFileBytes(const Project& p, std::string* problem)
{
    std::array<std::string, 4> footer;
    for (int i = 1; i <= 3; ++i) {
        auto text = EncodeText(p.PageFieldText[i], PageFieldTextName[i], problem);
        if (!text)
            return {};
        footer[i] = std::move(*text);
    }
    const auto fontName = EncodeText(p.ReportFontName, "report font name", problem);
    if (!fontName)
        return {};
    const auto title = EncodeText(p.ProjectTitle, "project title", problem);
    if (!title)
        return {};

    if (const std::string invalid = InputProblem(p); !invalid.empty()) {
        if (problem != nullptr)
            *problem = invalid;
        return {};
    }

    ByteWriter out;
    out.I16(0); // header length
    out.I16(HeaderTagEmpty);
    out.I16(p.MarginLeft);
    out.I16(p.MarginRight);
    out.I16(p.MarginTop);
    out.I16(p.MarginBottom);
    for (int i = 1; i <= 3; ++i)
        out.Text(footer[i]);
    out.Text(*fontName);
    out.F32(p.ReportFontSize);
    out.Text(*title);
    out.I16(p.UnitSystem);
    for (const FloatField& field : DimensionFields)
        out.F32(p.*field.Member);
    out.I16(p.AnchorRows);
    for (const FloatField& field : AnchorFieldsBeforeMarker)
        out.F32(p.*field.Member);
    out.F32(AnchorBlockMarker);
    out.F32(p.AnchorShear);
    out.F32(p.AnchorDia);
    out.F32(p.AnchorE);
    for (const FloatField& field : PropertyFields)
        out.F32(p.*field.Member);
    out.F32(p.Surcharge);
    out.I16(p.SurchargeType);
    out.F32(p.SeismicCoef);
    out.I16(LineLoadListMarker);
    out.I16(p.LineLoadCount);
    for (int k = 1; k <= p.LineLoadCount; ++k) {
        const LineLoad& load = p.LineLoads[k];
        out.F32(load.Load);
        out.F32(load.X);
        out.F32(load.Y);
        out.F32(load.Direction);
        out.I16(load.Type);
    }
    out.I16(p.ReinUserSet ? TrailerUserReinforcement : TrailerPlain);
    if (p.ReinUserSet) {
        for (int row = 1; row <= ReinRowCount; ++row)
            out.F32(p.ReinDia[row]);
        for (int row = 1; row <= ReinRowCount; ++row)
            out.F32(p.ReinPitch[row]);
    }
    return out.Take();
}

FileStatus ParseProjectFile(std::span<const uint8_t> bytes, std::string_view fileName,
    Project& project, std::optional<LegacyResults>* legacy)
{
    Project fresh = project;
    std::optional<LegacyResults> block;
    try {
        ByteReader in(bytes);
        ParseInto(in, fresh, block);
    } catch (const ReadFailure& failure) {
        return { false, "Cannot read " + Quoted(fileName) + ": " + failure.Reason + "." };
    }
    project = std::move(fresh);
    if (legacy != nullptr)
        *legacy = block;
    return { true, {} };
}

FileStatus WriteProjectFile(const std::string& path, const Project& project)
{
    return WriteProjectFile(path, project, SystemWriteSteps());
}

FileStatus WriteProjectFile(const std::string& path, const Project& project, FileWriteSteps& steps)
{
    std::string problem;
    const std::vector<uint8_t> bytes = ProjectFileBytes(project, &problem);
    if (bytes.empty())
        return { false, "Cannot save " + Quoted(path) + ": " + problem + "." };
    return WriteFileAtomically(path, bytes, steps);
}

FileStatus ReadProjectFile(
    const std::string& path, Project& project, std::optional<LegacyResults>* legacy)
{
    std::vector<uint8_t> bytes;
    if (FileStatus status = ReadWholeFile(path, bytes); !status.Ok)
        return status;
    return ParseProjectFile(bytes, path, project, legacy);
}

} // namespace pendrake
