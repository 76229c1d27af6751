#include "platform/Text.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <locale>

// Case rules of UTF-8 text in the user's locale.
namespace orbisto {

namespace {

// The user's locale from the environment; the C locale maps only ASCII, so a UTF-8 one is
// preferred when the environment names none or an unknown one.
const std::locale& userLocale() {
    static const std::locale locale = [] {
        try {
            std::locale fromEnvironment("");
            if (fromEnvironment.name() != "C" && fromEnvironment.name() != "POSIX") {
                return fromEnvironment;
            }
        } catch (const std::runtime_error&) {
        }
        for (const char* name : {"C.UTF-8", "C.utf8"}) {
            try {
                return std::locale(name);
            } catch (const std::runtime_error&) {
            }
        }
        return std::locale::classic();
    }();
    return locale;
}

std::wstring toWide(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        out += static_cast<wchar_t>(platform::utf8::decodeNext(text, pos));
    }
    return out;
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

std::string toLowerLocale(std::string_view text) {
    if (isAscii(text)) {
        return lowerAscii(text);
    }
    const auto& ctype = std::use_facet<std::ctype<wchar_t>>(userLocale());
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        bool valid = true;
        const char32_t c = platform::utf8::decodeNext(text, pos, &valid);
        if (!valid) {
            out += static_cast<char>(c); // 8-bit text passes unchanged
        } else {
            platform::utf8::append(out, static_cast<char32_t>(ctype.tolower(static_cast<wchar_t>(c))));
        }
    }
    return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (isAscii(a) && isAscii(b)) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
    }
    return toLowerLocale(a) == toLowerLocale(b);
}

bool lessIgnoreCaseLocale(std::string_view a, std::string_view b) {
    const std::wstring left = toWide(toLowerLocale(a));
    const std::wstring right = toWide(toLowerLocale(b));
    const auto& collate = std::use_facet<std::collate<wchar_t>>(userLocale());
    return collate.compare(left.data(), left.data() + left.size(), right.data(), right.data() + right.size()) < 0;
}

} // namespace orbisto
