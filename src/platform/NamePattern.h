#pragma once

#include <string_view>

namespace orbisto::platform {

// Whether a long file name matches a scan pattern by the Windows rules, ignoring case: "*" and
// "*.*" match every name, a pattern ending in "." only names without a dot, "*.png" names ending
// in ".png". Windows' matching of 8.3 short names ("*.png" finding "c.pngx") is left out.
bool matchesPattern(std::string_view pattern, std::string_view name);

} // namespace orbisto::platform
