#include "platform/Text.h"

#include "platform/AnsiText.h"

#include <algorithm>

namespace orbisto {

std::vector<std::string> SplitText(std::string_view text, std::string_view separators, std::string_view blanks) {
    std::vector<std::string> pieces;
    const auto isLineEnd = [](char c) { return c == '\r' || c == '\n'; };
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && (isLineEnd(text[pos]) || blanks.find(text[pos]) != std::string_view::npos)) {
            ++pos;
        }
        const std::size_t start = pos;
        while (pos < text.size()) {
            const char c = text[pos];
            if (c == '\'' || c == '"') {
                const std::size_t close = text.find(c, pos + 1);
                pos = close == std::string_view::npos ? text.size() : close + 1;
            } else if (isLineEnd(c) || separators.find(c) != std::string_view::npos) {
                break;
            } else {
                ++pos;
            }
        }
        if (pos > start) {
            pieces.emplace_back(text.substr(start, pos - start));
        }
        ++pos; // the character that ended the piece is dropped
    }
    return pieces;
}

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return lowerAscii(c); });
    return lower;
}

std::string_view trimLeft(std::string_view text, std::string_view blanks) {
    const std::size_t first = text.find_first_not_of(blanks);
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view trimRight(std::string_view text, std::string_view blanks) {
    const std::size_t last = text.find_last_not_of(blanks);
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view trim(std::string_view text, std::string_view blanks) {
    return trimRight(trimLeft(text, blanks), blanks);
}

std::string tagForDisplay(std::string_view tag) {
    // Tags are UTF-8; one an older tool wrote in the ANSI code page is read in that code page.
    std::string out = platform::displayText(tag);
    std::replace(out.begin(), out.end(), '|', ' ');
    return out;
}

} // namespace orbisto
