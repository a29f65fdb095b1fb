// Conversion of project-file texts between Windows-1252 and UTF-8 through iconv, with the code
// page's five undefined bytes carried through as the C1 control characters of the same number.
#include "io/Codepage.h"

#include <cerrno>
#include <iconv.h>

namespace pendrake {

namespace {

constexpr const char* DiskCodepage = "WINDOWS-1252";
constexpr const char* MemoryCodepage = "UTF-8";

// iconv refuses these bytes, yet old files may hold them (typed on other code pages); each maps
// to the code point of its own value so that saving the project writes the same byte again.
bool IsUndefinedInCp1252(unsigned value)
{
    return value == 0x81 || value == 0x8D || value == 0x8F || value == 0x90 || value == 0x9D;
}

class Converter {
public:
    Converter(const char* to, const char* from)
        : handle_(iconv_open(to, from))
    {
    }
    ~Converter()
    {
        if (IsOpen())
            iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    [[nodiscard]] bool IsOpen() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Appends the conversion of `in` to `out`; returns how many input bytes were converted,
    // which is fewer than in.size() only when iconv met a character it cannot convert.
    std::size_t Convert(std::string_view in, std::string& out)
    {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        // POSIX declares the input as char** although iconv never writes through it.
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        while (inLeft > 0) {
            char buffer[256];
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t rc = iconv(handle_, &inPtr, &inLeft, &outPtr, &outLeft);
            const int error = errno;
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (rc == static_cast<std::size_t>(-1) && error != E2BIG)
                break;
        }
        return in.size() - inLeft;
    }

private:
    iconv_t handle_;
};

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence that starts `s`, with its code point; 0 when the
// sequence is malformed, overlong, a surrogate or beyond U+10FFFF.
std::size_t DecodeUtf8(std::string_view s, char32_t& codePoint)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
        if (lead == 0xE0)
            secondLow = 0xA0; // overlong below U+0800
        if (lead == 0xED)
            secondHigh = 0x9F; // surrogates U+D800..U+DFFF
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
        if (lead == 0xF0)
            secondLow = 0x90; // overlong below U+10000
        if (lead == 0xF4)
            secondHigh = 0x8F; // beyond U+10FFFF
    } else {
        return 0;
    }
    if (s.size() < length || byte(1) < secondLow || byte(1) > secondHigh)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(byte(i)))
            return 0;
        codePoint = (codePoint << 6) | (byte(i) & 0x3Fu);
    }
    return length;
}

} // namespace

CodepageResult Cp1252ToUtf8(std::string_view cp1252)
{
    CodepageResult result;
    Converter converter(MemoryCodepage, DiskCodepage);
    if (!converter.IsOpen()) {
        result.Error = CodepageError::NoConverter;
        return result;
    }
    std::size_t runStart = 0;
    const auto flushRun = [&](std::size_t runEnd) {
        const std::string_view run = cp1252.substr(runStart, runEnd - runStart);
        return converter.Convert(run, result.Text) == run.size();
    };
    for (std::size_t i = 0; i < cp1252.size(); ++i) {
        const auto value = static_cast<unsigned char>(cp1252[i]);
        if (!IsUndefinedInCp1252(value))
            continue;
        if (!flushRun(i)) {
            result.Error = CodepageError::NoConverter;
            return result;
        }
        // U+0080..U+00BF in UTF-8: the lead byte 0xC2, then the value itself.
        result.Text += '\xC2';
        result.Text += static_cast<char>(value);
        runStart = i + 1;
    }
    if (!flushRun(cp1252.size())) {
        // Every other byte is defined in the code page: an iconv that refuses one is unusable.
        result.Error = CodepageError::NoConverter;
        result.Text.clear();
    }
    return result;
}

CodepageResult Utf8ToCp1252(std::string_view utf8)
{
    CodepageResult result;
    Converter converter(DiskCodepage, MemoryCodepage);
    if (!converter.IsOpen()) {
        result.Error = CodepageError::NoConverter;
        return result;
    }
    // Runs of ordinary characters go to iconv; the five C1 characters standing for the code
    // page's undefined bytes are written as those bytes.
    std::size_t runStart = 0;
    const auto flushRun = [&](std::size_t runEnd) {
        const std::string_view run = utf8.substr(runStart, runEnd - runStart);
        const std::size_t converted = converter.Convert(run, result.Text);
        if (converted == run.size())
            return true;
        result.Offset = runStart + converted;
        const std::size_t length = DecodeUtf8(utf8.substr(result.Offset), result.CodePoint);
        result.Character = std::string(utf8.substr(result.Offset, length));
        result.Error = CodepageError::Unrepresentable;
        result.Text.clear();
        return false;
    };
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(utf8.substr(i), codePoint);
        if (length == 0) {
            result.Error = CodepageError::InvalidUtf8;
            result.Offset = i;
            result.Text.clear();
            return result;
        }
        if (codePoint <= 0xFF && IsUndefinedInCp1252(codePoint)) {
            if (!flushRun(i))
                return result;
            result.Text += static_cast<char>(codePoint);
            runStart = i + length;
        }
        i += length;
    }
    flushRun(utf8.size());
    return result;
}

} // namespace pendrake
