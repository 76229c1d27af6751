#pragma once

#include <filesystem>
#include <string_view>

namespace orbisto::platform {

// Copies the files of `sourceFolder` whose names match `pattern` into `targetFolder` the way the
// shell's copy does: the target folder (with missing parents) is created first, existing targets
// are replaced (read-only ones too), nothing is asked, and a pattern that matches nothing copies
// nothing. With `progressWindow` the system shows its copy-progress window where it has one.
// Like the shell's copy, the outcome is not reported.
void shellCopy(const std::filesystem::path& sourceFolder, std::string_view pattern,
               const std::filesystem::path& targetFolder, bool progressWindow) noexcept;

} // namespace orbisto::platform
