#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto::platform {
class FileSystem;
}

namespace orbisto::install {

using Path = std::filesystem::path;

// The library brand that keeps the balls an install found in the game, so they can be installed back.
inline constexpr std::string_view kOriginalBrand = "Original";

// Library name of the ball in a game's own folders: "<version> normal" or "<version> winter".
std::string gameOriginalName(std::string_view version, bool winter);
// Library name of the ball in a skin's folders: "<version> <skin folder> normal|winter". Characters
// no library name may hold, and dots (the ball list takes only names without one), become "_".
std::string skinOriginalName(std::string_view version, std::string_view skinFolder, bool winter);

// True when the folder holds at least one *.png file and none of them carries a ball tag: a ball
// Orbisto never installed. Stops at the first tagged frame. A missing folder holds none.
bool holdsUntaggedBall(const platform::FileSystem& fs, const Path& folder);

// A ball folder an install is about to write into, and the library name of the ball found there.
struct InstallTarget {
    Path folder;
    std::string originalName;
};

// The targets whose untagged ball keepOriginalBalls would keep now (none kept under its name yet).
// Only reads.
std::vector<InstallTarget> originalBallsToKeep(const platform::FileSystem& fs, const Path& appFolder,
                                               const std::vector<InstallTarget>& targets);

// Run before an install writes into `targets`: copies the untagged ball of each target folder into
// the library as brand "Original", ball `originalName`, each frame tagged "Original|<name>", brand and
// ball marked Auth "1". A ball of that name already in the brand is kept as it is. Everything is put
// together in a hidden folder of the library and renamed into place only when complete: when any ball
// cannot be kept, the library is left as it was, nothing is left behind, and Error says which ball and
// why. The target folders are only read. Returns the names of the balls kept now.
std::vector<std::string> keepOriginalBalls(platform::FileSystem& fs, const Path& appFolder,
                                           const std::vector<InstallTarget>& targets);

} // namespace orbisto::install
