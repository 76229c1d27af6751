#include "platform/IniProfile.h"

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/windows/Win32.h"

namespace orbisto::platform {

namespace {

// The profile functions look for a bare file name in the Windows folder; the program means the
// working folder, as for every other file.
std::string profilePath(const std::filesystem::path& file) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(file, error);
    return win32::ansi(error ? file : absolute);
}

// Section and key names without surrounding blanks, as the look-ups trim them: Wine would store
// " B " as "[B ]".
std::string trimmed(std::string_view name) {
    constexpr std::string_view blanks = " \t\r\n\v\f";
    const std::size_t first = name.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(name.substr(first, name.find_last_not_of(blanks) - first + 1));
}

} // namespace

std::string readProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                              std::string_view fallback) {
    // 2048 bytes with the terminator: values are cut at 2047 characters.
    char buffer[2048];
    const DWORD length =
        ::GetPrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                   std::string(fallback).c_str(), buffer, sizeof buffer, profilePath(file).c_str());
    return std::string(buffer, length);
}

void writeProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                        std::string_view value) {
    // A read-only file is refused here as well: under Wine the system leaves the flag to the file's
    // permissions, which do not stop the superuser.
    if (isReadOnlyFile(file) || !::WritePrivateProfileStringA(trimmed(section).c_str(), trimmed(key).c_str(),
                                                              std::string(value).c_str(), profilePath(file).c_str())) {
        throw IniWriteError(win32::ansi(file));
    }
}

} // namespace orbisto::platform
