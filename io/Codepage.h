// Texts of a project file: the Windows-1252 code page on disk, UTF-8 in memory, converted with
// iconv so that every byte a file holds comes back unchanged when the project is saved again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pendrake {

enum class CodepageError {
    None,
    Unrepresentable, // a valid character that Windows-1252 has no byte for
    InvalidUtf8, // the in-memory text is not well-formed UTF-8
    NoConverter, // the system's iconv cannot convert between the two code pages
};

struct CodepageResult {
    CodepageError Error = CodepageError::None;
    std::string Text; // the converted text when Error is None
    std::string Character; // Unrepresentable: the character as UTF-8
    char32_t CodePoint = 0; // Unrepresentable: its code point
    std::size_t Offset = 0; // Unrepresentable, InvalidUtf8: byte offset in the UTF-8 input
};

// Windows-1252 bytes to UTF-8. Never fails on content: the five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+0081, U+008D, U+008F, U+0090, U+009D.
CodepageResult Cp1252ToUtf8(std::string_view cp1252);

// UTF-8 to Windows-1252 bytes, the exact inverse of Cp1252ToUtf8; refuses malformed UTF-8 and
// characters the code page cannot hold, and says which.
CodepageResult Utf8ToCp1252(std::string_view utf8);

} // namespace pendrake
