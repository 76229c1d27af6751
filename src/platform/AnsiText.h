#pragma once

#include <string>
#include <string_view>

namespace orbisto::platform {

// 8-bit text in the ANSI code page, as older tools wrote tags and INI files: on Windows the
// system's code page, on Linux Windows-1252. Every byte maps to a character and back, so a file
// decoded and encoded again keeps its bytes; a character the code page lacks is written as "?".
std::string ansiToUtf8(std::string_view ansi);
std::string utf8ToAnsi(std::string_view utf8);

// Windows-1252 itself, on every platform (the ANSI code page of the Linux layer). The five bytes
// the code page leaves undefined stand for the control characters of the same value, as in
// Windows' own conversion tables.
std::string windows1252ToUtf8(std::string_view text);
std::string utf8ToWindows1252(std::string_view text);

// Text for showing: valid UTF-8 as it is, anything else read in the ANSI code page.
std::string displayText(std::string_view text);

} // namespace orbisto::platform
