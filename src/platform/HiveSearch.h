#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto::platform {

// Looks up one text value under a few keys of a registry file in Wine's format (user.reg,
// system.reg) in a single pass over its text, without building the hive: only the key lines are
// compared, and only the lines of a wanted key are decoded.
//
// `keyPaths` are key paths as the program names them ("Software\Vendor\Key", single backslashes,
// a leading one optional), matched case-insensitively; the first key of a name counts. For each of
// them the result holds the value's text (cut at its first NUL) or nothing: a missing key or value,
// a value of a non-text type, a garbled line, or a file without Wine's signature.
std::vector<std::optional<std::string>> findHiveTexts(std::string_view hive, std::span<const std::string> keyPaths,
                                                      std::string_view valueName);

} // namespace orbisto::platform
