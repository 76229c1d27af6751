#include "platform/AnsiText.h"

// Linux has no system code page of its own for Windows' 8-bit files; Windows-1252 is the one
// Western Windows systems, and most files written by older tools, use.
namespace orbisto::platform {

std::string ansiToUtf8(std::string_view ansi) {
    return windows1252ToUtf8(ansi);
}

std::string utf8ToAnsi(std::string_view utf8) {
    return utf8ToWindows1252(utf8);
}

} // namespace orbisto::platform
