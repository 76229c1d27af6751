#include "platform/PathText.h"

#include "platform/AnsiText.h"
#include "platform/Utf8.h"

#include <type_traits>

namespace orbisto::platform {

namespace {

std::filesystem::path fromUtf8(std::string_view text) {
    // char8_t and char have the same size and representation, so the bytes go over unchanged; the
    // char8_t overload tells std::filesystem that they are UTF-8.
    std::u8string bytes(text.size(), u8'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[i] = static_cast<char8_t>(text[i]);
    }
    return std::filesystem::path(std::move(bytes));
}

} // namespace

std::filesystem::path toPath(std::string_view text) {
    // Paths of UTF-16 characters (Windows) cannot hold bytes that are not UTF-8, and the library
    // would refuse them; such text comes from an older tool and is read in the ANSI code page.
    // Paths of bytes (Linux) keep any bytes as the name they are.
    if constexpr (std::is_same_v<std::filesystem::path::value_type, wchar_t>) {
        if (!utf8::isValid(text)) {
            return fromUtf8(ansiToUtf8(text));
        }
    }
    return fromUtf8(text);
}

std::string toText(const std::filesystem::path& path) {
    const std::u8string bytes = path.u8string();
    return std::string(bytes.begin(), bytes.end());
}

std::string withNativeSeparators(std::string_view text) {
    return toText(toPath(text).make_preferred());
}

} // namespace orbisto::platform
