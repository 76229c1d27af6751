#include "platform/AnsiText.h"

#include "platform/Utf8.h"

#include <array>

namespace orbisto::platform {

namespace {

// Characters of the bytes 0x80-0x9F in Windows-1252; 0xA0-0xFF are the Latin-1 characters of the
// same value, and the undefined 0x81, 0x8D, 0x8F, 0x90 and 0x9D stand for themselves.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

std::string windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        utf8::append(out, byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char32_t{byte});
    }
    return out;
}

std::string utf8ToWindows1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t c = utf8::decodeNext(text, pos);
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += static_cast<char>(c);
            continue;
        }
        char replacement = '?';
        for (std::size_t i = 0; i < kHighControls.size(); ++i) {
            if (kHighControls[i] == c) {
                replacement = static_cast<char>(0x80 + i);
            }
        }
        out += replacement;
    }
    return out;
}

std::string displayText(std::string_view text) {
    return utf8::isValid(text) ? std::string(text) : ansiToUtf8(text);
}

} // namespace orbisto::platform
