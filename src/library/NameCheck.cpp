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
    static const std::array<std::string_view, 4> plain{"CON", "PRN", "AUX", "NUL"};
    if (std::find(plain.begin(), plain.end(), stem) != plain.end()) {
        return true;
    }
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' &&
           stem[3] <= '9';
}

} // namespace

bool isValidLibraryName(std::string_view name) {
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

bool isForbiddenNameCharacter(char c) { return isForbidden(c); }

} // namespace orbisto::library
