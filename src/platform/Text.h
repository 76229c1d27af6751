#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orbisto {

// Splits `text` into pieces. Before each piece, CR, LF and `blanks` are skipped; a piece runs up to
// the next separator, CR, LF or the end; a ' or " opens a stretch up to the next same quote in which
// nothing ends the piece (quotes stay in the piece); the character that ends a piece is dropped;
// empty pieces are not produced.
std::vector<std::string> SplitText(std::string_view text, std::string_view separators, std::string_view blanks = {});

// ASCII letters in lower case, every other byte as it is: for names the program itself defines
// (extensions, registry keys), where the user's locale must not matter.
constexpr char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string lowerAscii(std::string_view text);

// `text` without the `blanks` at its start, at its end, or at both.
std::string_view trimLeft(std::string_view text, std::string_view blanks = " \t");
std::string_view trimRight(std::string_view text, std::string_view blanks = " \t");
std::string_view trim(std::string_view text, std::string_view blanks = " \t");

// Lower-case / case-insensitive comparison of the system's text (UTF-8 on Linux, the ANSI code page
// on Windows) in the user's locale.
std::string toLowerLocale(std::string_view text);
bool equalsIgnoreCase(std::string_view a, std::string_view b);
// Ordering for sorted lists: the user's locale, ignoring case.
bool lessIgnoreCaseLocale(std::string_view a, std::string_view b);

// Every "|" of a ball tag replaced by a blank, for display.
std::string tagForDisplay(std::string_view tag);

} // namespace orbisto
