#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace orbisto::platform {

// INI profile functions with the rules of the Windows profile API: case-insensitive section and
// key names, trimmed keys and values, one pair of matching quotes removed, values cut at 2047
// characters, first matching section and key win, CR, LF and CRLF line ends.

// Value of `key` in `section`, or `fallback` when the file, section or key is missing.
std::string readProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                              std::string_view fallback = {});

// The same rules applied to the text of an INI file already read into memory.
std::string profileStringIn(std::string_view content, std::string_view section, std::string_view key,
                            std::string_view fallback = {});

// Writes `key`=`value` into `section`: an existing key is replaced in place, a missing key is added
// at the end of its section, a missing section is appended, a missing file is created (a missing
// folder is an error). The rest of the file keeps its bytes; the file is replaced atomically.
// A refused write raises IniWriteError ("Unable to write to %s").
void writeProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                        std::string_view value);

} // namespace orbisto::platform
