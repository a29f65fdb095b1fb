// Windows-1252 on disk against UTF-8 in memory: known code points of the code page, the five
// undefined bytes, every byte back to itself, and the texts a project file cannot hold.
#include "io/Codepage.h"

#include <gtest/gtest.h>

using namespace pendrake;

namespace {

// Texts on disk and in memory, from the published Windows-1252 table (and U+0081.. for the
// bytes it leaves undefined).
const std::pair<std::string, std::string> KnownTexts[] = {
    { "A", "A" },
    { "\x80", "\u20AC" }, // euro sign
    { "\x81", "\u0081" }, // undefined in the code page
    { "\x89", "\u2030" }, // per mille sign
    { "\x8D", "\u008D" },
    { "\x8F", "\u008F" },
    { "\x90", "\u0090" },
    { "\x96", "\u2013" }, // en dash
    { "\x9D", "\u009D" },
    { "\x9F", "\u0178" }, // Y with diaeresis
    { "\xA0", "\u00A0" }, // no-break space
    { "\xB0", "\u00B0" }, // degree sign
    { "\xB2", "\u00B2" }, // superscript two, as in kg/cm²
    { "\xFC", "\u00FC" }, // u with diaeresis
    { "\xFF", "\u00FF" },
    // A mixed text keeps its order; an empty one stays empty.
    { "Mauer S\xFC"
      "d \x96 2\xB0\x81!",
        "Mauer Süd – 2°\u0081!" },
    { "", "" },
};

TEST(Codepage, KnownTextsDecodeAndEncodeBack)
{
    for (const auto& [disk, utf8] : KnownTexts) {
        SCOPED_TRACE(utf8);
        const CodepageResult decoded = Cp1252ToUtf8(disk);
        EXPECT_EQ(decoded.Error, CodepageError::None);
        EXPECT_EQ(decoded.Text, utf8);
        const CodepageResult encoded = Utf8ToCp1252(utf8);
        EXPECT_EQ(encoded.Error, CodepageError::None);
        EXPECT_EQ(encoded.Text, disk);
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

struct Refusal {
    const char* Name;
    std::string Utf8;
    CodepageError Error;
    std::size_t Offset;
    char32_t CodePoint; // for Unrepresentable
};

const Refusal Refusals[] = {
    { "CheckMark", "ok \u2713", CodepageError::Unrepresentable, 3, 0x2713 },
    { "Greek", "\u03C6 = 30", CodepageError::Unrepresentable, 0, 0x03C6 },
    // U+0080 is a C1 control; the byte 0x80 is the euro sign, so it has no byte of its own.
    { "C1NotStandingForAByte", "a\u0080", CodepageError::Unrepresentable, 1, 0x80 },
    { "FourByteCharacter", "x\U0001F9F1", CodepageError::Unrepresentable, 1, 0x1F9F1 },
    { "AfterUndefinedByte", "\u0081\u2713", CodepageError::Unrepresentable, 2, 0x2713 },
    { "TruncatedSequence", "ab\xC3", CodepageError::InvalidUtf8, 2, 0 },
    { "LoneContinuation", "\x80", CodepageError::InvalidUtf8, 0, 0 },
    { "Overlong", "a\xC0\xAF", CodepageError::InvalidUtf8, 1, 0 },
    { "Surrogate", "\xED\xA0\x80", CodepageError::InvalidUtf8, 0, 0 },
    { "BeyondUnicode", "\xF4\x90\x80\x80", CodepageError::InvalidUtf8, 0, 0 },
    { "Latin1Byte",
        "S\xFC"
        "d",
        CodepageError::InvalidUtf8, 1, 0 },
};

TEST(Codepage, RefusalsNameTheProblemAndWhere)
{
    for (const Refusal& r : Refusals) {
        SCOPED_TRACE(r.Name);
        const CodepageResult encoded = Utf8ToCp1252(r.Utf8);
        EXPECT_EQ(encoded.Error, r.Error);
        EXPECT_EQ(encoded.Offset, r.Offset);
        EXPECT_TRUE(encoded.Text.empty());
        if (r.Error == CodepageError::Unrepresentable) {
            EXPECT_EQ(encoded.CodePoint, r.CodePoint);
            EXPECT_EQ(encoded.Character, r.Utf8.substr(r.Offset, encoded.Character.size()));
        }
    }
}

} // namespace
