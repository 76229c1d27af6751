#include "platform/Text.h"
#include "platform/windows/Win32.h"

// Case rules of 8-bit text in the system's ANSI code page and the user's locale.
namespace orbisto {

namespace {

int compareIgnoringCase(std::string_view a, std::string_view b) {
    return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                            static_cast<int>(b.size()));
}

} // namespace

std::string toLowerLocale(std::string_view text) {
    std::string out(text);
    if (!out.empty()) {
        ::CharLowerBuffA(out.data(), static_cast<DWORD>(out.size()));
    }
    return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return compareIgnoringCase(a, b) == CSTR_EQUAL;
}

bool lessIgnoreCaseLocale(std::string_view a, std::string_view b) {
    return compareIgnoringCase(a, b) == CSTR_LESS_THAN;
}

} // namespace orbisto
