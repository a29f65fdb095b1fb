// Windows-1252 on disk against UTF-8 in memory: known code points of the code page, the five
// undefined bytes, every byte back to itself, and the texts a project file cannot hold. And the
// path helpers on a case-sensitive file system: directory kept as typed, base name and extension
// lower-cased.
#include "io/Codepage.h"
#include "io/Paths.h"

#include <gtest/gtest.h>

using namespace pendrake;

namespace {

// A text in memory and what the code page makes of it: its bytes on disk (from the published
// Windows-1252 table, and U+0081.. for the bytes it leaves undefined), or the refusal and where.
struct CodepageCase {
    const char* Name;
    std::string Utf8;
    std::string Disk;
    CodepageError Error = CodepageError::None;
    std::size_t Offset = 0;
    char32_t CodePoint = 0; // for Unrepresentable
};

const CodepageCase Cases[] = {
    { "EuroSign", "\u20AC", "\x80" }, { "UndefinedByte", "\u0081", "\x81" },
    { "LastUndefinedByte", "\u009D", "\x9D" }, { "PerMille", "\u2030", "\x89" },
    { "YWithDiaeresis", "\u0178", "\x9F" }, { "NoBreakSpace", "\u00A0", "\xA0" },
    // A mixed text keeps its order; an empty one stays empty.
    { "MixedText", "Mauer Süd – 2°\u0081!",
        "Mauer S\xFC"
        "d \x96 2\xB0\x81!" },
    { "Empty", "", "" },
    { "CheckMark", "ok \u2713", "", CodepageError::Unrepresentable, 3, 0x2713 },
    // U+0080 is a C1 control; the byte 0x80 is the euro sign, so it has no byte of its own.
    { "C1NotStandingForAByte", "a\u0080", "", CodepageError::Unrepresentable, 1, 0x80 },
    { "FourByteCharacter", "x\U0001F9F1", "", CodepageError::Unrepresentable, 1, 0x1F9F1 },
    { "AfterUndefinedByte", "\u0081\u2713", "", CodepageError::Unrepresentable, 2, 0x2713 },
    { "TruncatedSequence", "ab\xC3", "", CodepageError::InvalidUtf8, 2 },
    { "LoneContinuation", "\x80", "", CodepageError::InvalidUtf8, 0 },
    { "Overlong", "a\xC0\xAF", "", CodepageError::InvalidUtf8, 1 },
    { "Surrogate", "\xED\xA0\x80", "", CodepageError::InvalidUtf8, 0 },
    { "BeyondUnicode", "\xF4\x90\x80\x80", "", CodepageError::InvalidUtf8, 0 },
    { "Latin1Byte", "S\374d", "", CodepageError::InvalidUtf8, 1 }, // ü in Latin-1, 0xFC
};

TEST(Codepage, EncodesKnownTextsAndRefusesTheOthersSayingWhere)
{
    for (const CodepageCase& c : Cases) {
        SCOPED_TRACE(c.Name);
        const CodepageResult encoded = Utf8ToCp1252(c.Utf8);
        EXPECT_EQ(encoded.Error, c.Error);
        EXPECT_EQ(encoded.Text, c.Disk);
        if (c.Error == CodepageError::None) {
            const CodepageResult decoded = Cp1252ToUtf8(c.Disk);
            EXPECT_EQ(decoded.Error, CodepageError::None);
            EXPECT_EQ(decoded.Text, c.Utf8);
            continue;
        }
        EXPECT_EQ(encoded.Offset, c.Offset);
        if (c.Error == CodepageError::Unrepresentable) {
            EXPECT_EQ(encoded.CodePoint, c.CodePoint);
            EXPECT_EQ(encoded.Character, c.Utf8.substr(c.Offset, encoded.Character.size()));
        }
    }
}

TEST(Codepage, EveryByteRoundTripsInsideOneText)
{
    std::string all;
    for (int value = 0; value < 256; ++value)
        all += static_cast<char>(value);
    const CodepageResult decoded = Cp1252ToUtf8(all);
    ASSERT_EQ(decoded.Error, CodepageError::None);
    const CodepageResult encoded = Utf8ToCp1252(decoded.Text);
    ASSERT_EQ(encoded.Error, CodepageError::None);
    EXPECT_EQ(encoded.Text, all);
}

struct PathCase {
    const char* Path;
    const char* Directory;
    const char* BaseName;
    const char* Extension;
};

const PathCase PathCases[] = {
    { "/home/Eng/Walls/Wall A.PDI", "/home/Eng/Walls", "wall a", "pdi" },
    { "/walls/archive.tar.PDI", "/walls", "archive.tar", "pdi" },
    // A dot in a folder name belongs to the folder, not to the file.
    { "/walls/v1.2/Retain", "/walls/v1.2", "retain", "" },
    { "/walls/Süd.Pdi", "/walls", "süd", "pdi" },
    { "/a.pdi", "", "a", "pdi" },
    // A bare name is in the current folder.
    { "Wall.pdi", "", "wall", "pdi" },
    { "/walls/wall.", "/walls", "wall", "" },
    { "", "", "", "" },
};

TEST(Paths, SplitsThePath)
{
    for (const PathCase& c : PathCases) {
        SCOPED_TRACE(c.Path);
        EXPECT_EQ(GetDirectory(c.Path), c.Directory);
        EXPECT_EQ(GetBaseName(c.Path), c.BaseName);
        EXPECT_EQ(GetExtension(c.Path), c.Extension);
    }
}

} // namespace
