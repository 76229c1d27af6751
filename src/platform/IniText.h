#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orbisto::platform::ini {

// The text of an INI file after writing `key`=`value` into `section`, by the rules of
// writeProfileString; nothing when the key already holds that value (the file stays untouched).
std::optional<std::string> withValue(std::string_view content, std::string_view section, std::string_view key,
                                     std::string_view value);

} // namespace orbisto::platform::ini
