#pragma once

#include <string>
#include <string_view>

namespace orbisto::platform::utf8 {

// Decodes the code point at `pos` and moves `pos` past it. A byte that does not start a valid
// sequence is taken alone as the code point of the same value (so 8-bit text survives) and
// `valid` is set to false.
char32_t decodeNext(std::string_view text, std::size_t& pos, bool* valid = nullptr);
void append(std::string& out, char32_t codePoint);
// True when every byte belongs to a valid UTF-8 sequence.
bool isValid(std::string_view text);

// UTF-16 conversions for the registry files. Bytes that are not UTF-8 become the code points of
// the same value; unpaired surrogates become U+FFFD.
std::u16string toUtf16(std::string_view text);
std::string fromUtf16(std::u16string_view text);

} // namespace orbisto::platform::utf8
