#pragma once

#include "platform/FileSystem.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace orbisto::library {

// The frames that name the installed balls, below the game folder.
inline constexpr std::string_view kInstalledNormalFrame = "data/graphics/pitch/balls/ball_73.png";
inline constexpr std::string_view kInstalledWinterFrame = "data/graphics/pitch/balls/winter/ball_73.png";

// The installed frame `relativeFrame` of `gameFolder` when it is an existing plain file (not hidden).
// Without a game folder nothing is looked up.
std::optional<std::filesystem::path> installedFrame(const platform::FileSystem& fs, const std::string& gameFolder,
                                                    std::string_view relativeFrame);

// Name of an installed ball for display: its tag with every "|" as a blank (empty when untagged).
std::string installedBallName(const std::filesystem::path& frame);

} // namespace orbisto::library
