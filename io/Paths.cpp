// Splitting a project file's path into directory, base name and extension.
#include "io/Paths.h"

#include <algorithm>

namespace pendrake {

namespace {

// Only ASCII letters are folded: the names are compared as extensions like "pdi", and folding
// other UTF-8 bytes would corrupt the multi-byte characters.
std::string AsciiLower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
        [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

// The file-name part of path: everything after the last separator.
std::string_view FileNamePart(std::string_view path)
{
    const std::size_t separator = path.rfind(PathSeparator);
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

// The file name without its extension, in its own case.
std::string_view StemPart(std::string_view path)
{
    const std::string_view name = FileNamePart(path);
    return name.substr(0, std::min(name.rfind('.'), name.size()));
}

} // namespace

std::string GetDirectory(std::string_view path)
{
    const std::size_t separator = path.rfind(PathSeparator);
    return separator == std::string_view::npos ? std::string()
                                               : std::string(path.substr(0, separator));
}

std::string GetBaseName(std::string_view path)
{
    return AsciiLower(StemPart(path));
}

std::string GetExtension(std::string_view path)
{
    // A "." in a directory name ("/walls/v1.2/wall") is not the file's extension.
    const std::string_view name = FileNamePart(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : AsciiLower(name.substr(dot + 1));
}

} // namespace pendrake
