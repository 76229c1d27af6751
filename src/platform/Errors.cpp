#include "platform/Errors.h"

#include <cerrno>

namespace orbisto {

IoError::IoError(int code) : Error(textFor(code)), code_(code) {}

std::string IoError::textFor(int code) {
    switch (code) {
    case 2:
        return "File not found";
    case 3:
        return "Invalid filename";
    case 4:
        return "Too many open files";
    case 5:
        return "File access denied";
    case 100:
        return "Read beyond end of file";
    case 101:
        return "Disk full";
    case 106:
        return "Invalid numeric input";
    default:
        return "I/O error " + std::to_string(code);
    }
}

int IoError::codeFromErrno(int err) noexcept {
    switch (err) {
    case ENOENT:
        return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
        return 5;
    case ENOSPC:
#ifdef EDQUOT // not in every C library's errno.h (mingw-w64 has none)
    case EDQUOT:
#endif
        return 101;
    case EEXIST:
        return 183;
    default:
        return err;
    }
}

ListIndexError::ListIndexError(long index) : Error("List index out of bounds (" + std::to_string(index) + ")") {}

IniWriteError::IniWriteError(const std::string& path) : Error("Unable to write to " + path) {}

SettingsWriteError::SettingsWriteError(std::string_view valueName)
    : Error("Failed to set data for '" + std::string(valueName) + "'") {}

SettingsTypeError::SettingsTypeError(std::string_view valueName)
    : Error("Invalid data type for '" + std::string(valueName) + "'") {}

ShellOpenError::ShellOpenError(std::string_view target, std::string_view reason)
    : Error("Cannot open \"" + std::string(target) + "\": " + std::string(reason)) {}

std::string errorBoxText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) {
        text += '.';
    }
    return text;
}

} // namespace orbisto
