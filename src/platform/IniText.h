#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orbisto::platform::ini {

// How an INI file's bytes are text: a UTF-16 LE or UTF-8 byte-order mark says so; without one the
// file is UTF-8 when its bytes are valid UTF-8, else 8-bit text in the ANSI code page.
enum class Encoding { Utf8, Utf8Bom, Utf16Le, Ansi };

struct Decoded {
    std::string text; // UTF-8, without the byte-order mark
    Encoding encoding;
};

Decoded decode(std::string_view bytes);
// The file's bytes for `text` in `encoding`, with its byte-order mark.
std::string encode(std::string_view text, Encoding encoding);

// The UTF-8 text of an INI file after writing `key`=`value` into `section`, by the rules of
// writeProfileString; nothing when the key already holds that value (the file stays untouched).
std::optional<std::string> withValue(std::string_view text, std::string_view section, std::string_view key,
                                     std::string_view value);

} // namespace orbisto::platform::ini
