#include "platform/NamePattern.h"

#include "platform/Text.h"

#include <string>

namespace orbisto::platform {

namespace {

// Case-insensitive wildcard match of `name` against `pattern` ('*' any run, '?' one character).
bool wildcardMatch(std::string_view pattern, std::string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p, ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++, starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1, n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

} // namespace

bool matchesPattern(std::string_view pattern, std::string_view name) {
    if (pattern == "*" || pattern == "*.*") {
        return true;
    }
    const std::string lowerPattern = toLowerLocale(pattern);
    const std::string lowerName = toLowerLocale(name);
    if (lowerPattern.size() > 1 && lowerPattern.back() == '.') {
        return lowerName.find('.') == std::string::npos &&
               wildcardMatch(std::string_view(lowerPattern).substr(0, lowerPattern.size() - 1), lowerName);
    }
    return wildcardMatch(lowerPattern, lowerName);
}

} // namespace orbisto::platform
