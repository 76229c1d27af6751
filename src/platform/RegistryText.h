#pragma once

#include <optional>
#include <string>
#include <string_view>

// Names and values as Wine writes them in its registry files (user.reg, system.reg).
namespace orbisto::platform::registry {

bool isHexDigit(char c);

// A key path with its separators made plain: "\Software\\Vendor\" and "Software\Vendor" name the
// same key.
std::string normalizeKeyPath(std::string_view path);
int hexValue(char c);

// Reads an escaped name or text up to the unescaped `close` character and moves `pos` past it.
// Escapes follow Wine: C escapes, \x with up to four hex digits (a UTF-16 unit, surrogate pairs
// joined), octal, and a backslash before any other character standing for that character. Raw
// bytes are UTF-8. Nothing when the closing character is missing.
std::optional<std::string> parseEscaped(std::string_view line, std::size_t& pos, char close);

// Text of a value of type REG_SZ (1) or REG_EXPAND_SZ (2) from its data after the "=": "text",
// str(N):"text" or hex(N):bytes. Nothing for any other type.
std::optional<std::string> textOf(std::string_view data);

// Whether a value's data goes on over `nextLine`. Wine writes long hex data over indented lines, each
// but the last ending in a backslash. Only hex data, and only onto an indented line: garbled data that
// ends in a backslash must not swallow the key or value line after it.
bool continuesOnto(std::string_view data, std::string_view nextLine);
// Joins `nextLine` to `data`: the backslash and the line's indentation are dropped.
void joinContinuation(std::string& data, std::string_view nextLine);

} // namespace orbisto::platform::registry
