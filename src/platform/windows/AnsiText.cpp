#include "platform/AnsiText.h"

#include "platform/windows/Win32.h"

// The system's ANSI code page (1252 on Western, 1250 on Central European systems).
namespace orbisto::platform {

std::string ansiToUtf8(std::string_view ansi) {
    if (ansi.empty()) {
        return {};
    }
    const int size = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), size);
    return win32::utf8(wide);
}

std::string utf8ToAnsi(std::string_view utf8) {
    const std::wstring wide = win32::wide(utf8);
    if (wide.empty()) {
        return {};
    }
    // No best fit: a character the code page lacks becomes "?", never a look-alike letter.
    const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                          nullptr, nullptr);
    return text;
}

} // namespace orbisto::platform
