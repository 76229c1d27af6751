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

// Lower-case / case-insensitive comparison of the system's text (UTF-8 on Linux, the ANSI code page
// on Windows) in the user's locale.
std::string toLowerLocale(std::string_view text);
bool equalsIgnoreCase(std::string_view a, std::string_view b);
// Ordering for sorted lists: the user's locale, ignoring case.
bool lessIgnoreCaseLocale(std::string_view a, std::string_view b);

// Every "|" of a ball tag replaced by a blank, for display.
std::string tagForDisplay(std::string_view tag);

} // namespace orbisto
