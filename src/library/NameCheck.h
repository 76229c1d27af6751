#pragma once

#include <string_view>

namespace orbisto::library {

// True when `name` can name a brand or ball folder of the library on every system the library
// travels to: not empty or blank; none of / \ : * ? " < > | and no control character; not "." or
// ".."; not starting with a dot (a hidden folder); not ending in a dot or a blank; no reserved
// device name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, in any case, also as in "con.txt").
bool isValidLibraryName(std::string_view name);

// True for a character no library name may hold: / \ : * ? " < > | and the control characters.
bool isForbiddenNameCharacter(char c);

} // namespace orbisto::library
