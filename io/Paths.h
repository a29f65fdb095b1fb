// File-name helpers for project files: the directory, base name and extension of a path.
#pragma once

#include <string>
#include <string_view>

namespace pendrake {

inline constexpr char PathSeparator = '/';

// The text before the last separator, without it, in its own case; empty when there is none.
std::string GetDirectory(std::string_view path);

// The file name between the last separator and the last "." after it (or the end), lower case.
std::string GetBaseName(std::string_view path);

// The text after the last "." of the file name, lower case; empty when the name holds no ".".
std::string GetExtension(std::string_view path);

} // namespace pendrake
