#pragma once

#include <cstddef>
#include <string_view>

namespace orbisto::library {

// The longest brand or ball name, in characters: with the library's own folders and a frame name it
// keeps a ball's paths short enough for any system the library travels to.
inline constexpr std::size_t kMaxLibraryNameLength = 100;

// True when `name` can name a file on every system the library travels to: not empty or blank;
// none of / \ : * ? " < > | and no control character; not "." or ".."; not starting with a dot (a
// hidden entry); not ending in a dot or a blank; no reserved device name in any case, also with an
// extension as in "con.txt": CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-COM9, LPT0-LPT9 and COM¹ COM²
// COM³ LPT¹ LPT² LPT³ (superscript digits, in UTF-8).
bool isValidFileName(std::string_view name);

// True when `name` can name a brand or ball folder of the library: a valid file name (above) without
// any dot, since the library lists only names without one, and at most kMaxLibraryNameLength
// characters (UTF-8 text).
bool isValidLibraryName(std::string_view name);

// True for a character no library name may hold: / \ : * ? " < > | and the control characters.
bool isForbiddenNameCharacter(char c);

} // namespace orbisto::library
