#include "library/NameCheck.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace orbisto::library {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isForbidden(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
        return true;
    }
    return std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
}

// Windows reserves these names whatever follows the first dot, and ignores blanks before it.
bool isDeviceName(std::string_view name) {
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && isBlank(stem.back())) {
        stem.pop_back();
    }
    std::transform(stem.begin(), stem.end(), stem.begin(),
                   [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    static const std::array<std::string_view, 6> plain{"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    if (std::find(plain.begin(), plain.end(), stem) != plain.end()) {
        return true;
    }
    if (!stem.starts_with("COM") && !stem.starts_with("LPT")) {
        return false;
    }
    const std::string_view number = std::string_view(stem).substr(3);
    // ¹ ² ³ (U+00B9, U+00B2, U+00B3) count as the digits 1 to 3.
    static const std::array<std::string_view, 3> superscripts{"\xC2\xB9", "\xC2\xB2", "\xC2\xB3"};
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') ||
           std::find(superscripts.begin(), superscripts.end(), number) != superscripts.end();
}

// Characters of UTF-8 text: every byte but the continuation bytes starts one.
std::size_t characterCount(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

} // namespace

bool isValidFileName(std::string_view name) {
    if (std::all_of(name.begin(), name.end(), isBlank)) {
        return false; // also the empty name
    }
    if (std::any_of(name.begin(), name.end(), isForbidden)) {
        return false;
    }
    if (name.back() == '.' || isBlank(name.back())) {
        return false; // also "." and ".."
    }
    if (name.front() == '.') {
        return false; // a hidden folder: never listed, and the form of our staging folders
    }
    return !isDeviceName(name);
}

bool isValidLibraryName(std::string_view name) {
    return isValidFileName(name) && name.find('.') == std::string_view::npos &&
           characterCount(name) <= kMaxLibraryNameLength;
}

bool isForbiddenNameCharacter(char c) { return isForbidden(c); }

} // namespace orbisto::library
