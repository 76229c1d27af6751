#include "platform/Text.h"
#include "platform/windows/Win32.h"

// Case rules of UTF-8 text in the user's locale, through the wide functions.
namespace orbisto {

namespace {

int compareIgnoringCase(std::string_view a, std::string_view b) {
    const std::wstring left = platform::win32::wide(a);
    const std::wstring right = platform::win32::wide(b);
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, left.data(), static_cast<int>(left.size()),
                            right.data(), static_cast<int>(right.size()));
}

} // namespace

std::string toLowerLocale(std::string_view text) {
    std::wstring wide = platform::win32::wide(text);
    if (!wide.empty()) {
        ::CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    }
    return platform::win32::utf8(wide);
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return compareIgnoringCase(a, b) == CSTR_EQUAL;
}

bool lessIgnoreCaseLocale(std::string_view a, std::string_view b) {
    return compareIgnoringCase(a, b) == CSTR_LESS_THAN;
}

} // namespace orbisto
