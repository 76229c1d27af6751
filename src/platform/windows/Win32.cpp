#include "platform/windows/Win32.h"

#include "platform/Errors.h"

namespace orbisto::platform::win32 {

std::wstring wide(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
    return text;
}

std::string utf8(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
    return text;
}

namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";
// CreateDirectoryW refuses a path of MAX_PATH - 12 characters already (room for an 8.3 name).
constexpr std::size_t kShortPathLimit = MAX_PATH - 12;

} // namespace

std::wstring native(const std::filesystem::path& path) {
    const std::wstring& text = path.native();
    if (text.size() < kShortPathLimit || text.starts_with(kLongPrefix)) {
        return text;
    }
    // The prefix turns off the system's own clean-up of the path: it must be absolute, with
    // backslashes only and without "." or ".." parts.
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    if (error) {
        return text;
    }
    const std::wstring absolute = full.lexically_normal().make_preferred().native();
    if (absolute.starts_with(L"\\\\")) {
        return std::wstring(kLongUncPrefix) + absolute.substr(2);
    }
    return std::wstring(kLongPrefix) + absolute;
}

std::wstring withoutLongPrefix(std::wstring path) {
    if (path.starts_with(kLongUncPrefix)) {
        return L"\\\\" + path.substr(kLongUncPrefix.size());
    }
    if (path.starts_with(kLongPrefix)) {
        return path.substr(kLongPrefix.size());
    }
    return path;
}

std::string ansi(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty()) {
        return {};
    }
    const int size =
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
    return text;
}

std::filesystem::path fromAnsi(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int size = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return std::filesystem::path(wide);
}

int ioCode(DWORD error) noexcept {
    switch (error) {
    case ERROR_HANDLE_EOF:
        return 100;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
        return 101;
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY:
    case ERROR_BAD_PATHNAME:
        return 3;
    case ERROR_FILE_EXISTS:
        return 183;
    case ERROR_FILENAME_EXCED_RANGE:
        return 3; // a name or path too long: "Invalid filename" rather than "I/O error 206"
    default:
        return static_cast<int>(error);
    }
}

void throwIoError(DWORD error) {
    throw IoError(ioCode(error));
}

void throwLastError() {
    throwIoError(::GetLastError());
}

DWORD attributesOf(const std::filesystem::path& path) {
    if (path.empty()) {
        return INVALID_FILE_ATTRIBUTES;
    }
    return ::GetFileAttributesW(native(path).c_str());
}

} // namespace orbisto::platform::win32
