#include "platform/PathText.h"

namespace orbisto::platform {

std::filesystem::path toPath(std::string_view text) {
    // char8_t and char have the same size and representation, so the bytes go over unchanged; the
    // char8_t overload tells std::filesystem that they are UTF-8.
    std::u8string bytes(text.size(), u8'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[i] = static_cast<char8_t>(text[i]);
    }
    return std::filesystem::path(std::move(bytes));
}

std::string toText(const std::filesystem::path& path) {
    const std::u8string bytes = path.u8string();
    return std::string(bytes.begin(), bytes.end());
}

std::string withNativeSeparators(std::string_view text) {
    return toText(toPath(text).make_preferred());
}

} // namespace orbisto::platform
