#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace orbisto::platform {

// INI profile functions with the reading rules of real Windows' profile API, the same on every
// platform: case-insensitive section and key names; a line whose first non-blank character is ";"
// is a comment; a section name runs to the first "]" (or the end of the line); trimmed keys and
// values; one pair of matching quotes removed; values cut at 2047 characters; the first matching
// section and key win; CR, LF and CRLF line ends. Files may be UTF-16 LE or UTF-8 with a byte-order
// mark, UTF-8 without one, or 8-bit text in the ANSI code page (see ini::decode); values are UTF-8.

// Value of `key` in `section`, or `fallback` when the file, section or key is missing.
std::string readProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                              std::string_view fallback = {});

// The same rules applied to the bytes of an INI file already read into memory.
std::string profileStringIn(std::string_view content, std::string_view section, std::string_view key,
                            std::string_view fallback = {});

// Writes `key`=`value` into `section`: an existing key is replaced in place, a missing key is added
// at the end of its section, a missing section is appended, a missing file is created (a missing
// folder is an error). The rest of the file keeps its bytes and the file its encoding; the file
// is replaced atomically.
// A refused write raises IniWriteError ("Unable to write to %s").
void writeProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                        std::string_view value);

} // namespace orbisto::platform
