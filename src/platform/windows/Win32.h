#pragma once

// Shared helpers of the Windows layer: UTF-8 text and paths for the wide functions, error codes.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <filesystem>
#include <string>
#include <string_view>
#include <windows.h>

namespace orbisto::platform::win32 {

// UTF-8 text as UTF-16 for the ...W functions, and back. These two are the only place where the
// Windows layer converts text; paths go through platform::toPath / toText and Path::native().
std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view wide);

// A path for the ...W functions. One of MAX_PATH characters or more (where CreateDirectoryW already
// stops) is made absolute and given the "\\?\" prefix, which lifts the limit of 260 characters;
// shorter ones are passed as they are, so relative paths keep meaning the working folder.
std::wstring native(const std::filesystem::path& path);
// A path the system gave back, without the "\\?\" prefix it may carry.
std::wstring withoutLongPrefix(std::wstring path);

// A path in the ANSI code page, for the ...A functions.
std::string ansi(const std::filesystem::path& path);
// A path from ANSI text the ...A functions gave.
std::filesystem::path fromAnsi(const std::string& text);

// The program's code for a failed file operation: the system's error code, with the codes that
// the RTL reports by their own texts mapped onto them (end of file 100, disk full 101, a bad name 3).
int ioCode(DWORD error) noexcept;
[[noreturn]] void throwIoError(DWORD error);
[[noreturn]] void throwLastError();

// Attributes of a path, or INVALID_FILE_ATTRIBUTES.
DWORD attributesOf(const std::filesystem::path& path);

} // namespace orbisto::platform::win32
