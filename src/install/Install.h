#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

namespace orbisto::platform {
class FileSystem;
}

namespace orbisto::install {

using Path = std::filesystem::path;

// Called after each frame written beside its target (done of total); returning false cancels the copy.
using CopyProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Ball folders below a game folder or below a skin folder.
Path normalBallFolder(const Path& gameFolder);                    // data/graphics/pitch/balls
Path winterBallFolder(const Path& gameFolder);                    // data/graphics/pitch/balls/winter
Path skinFolder(const Path& gameFolder, const std::string& skin); // data/skins/<skin>
Path skinNormalBallFolder(const Path& skinFolder);                // graphics/pitch/balls
Path skinWinterBallFolder(const Path& skinFolder);                // graphics/pitch/balls/winter

// Makes every *.png plain file of the folder writable, so a write-protected frame can be replaced.
// A missing folder is left alone.
void ResetFrameAttributes(platform::FileSystem& fs, const Path& folder);

// Copies every *.png file of `source` into `target`, creating `target` (with its parents) when missing.
// All frames are first written beside their targets under hidden temporary names and only then renamed
// into place, so a failure or a cancel leaves the frames that were there before untouched and no
// temporary file behind. Raises orbisto::Error naming the file and the reason, saying that the source
// holds no frames, or that the copy was cancelled.
void CopyBallFrames(platform::FileSystem& fs, const Path& source, const Path& target, const CopyProgress& progress);

// Creates the skin's graphics, graphics/pitch, ball and winter ball folders where missing, in that order.
// Returns true when the winter folder had to be created.
bool createSkinBallFolders(platform::FileSystem& fs, const Path& skinFolder);

} // namespace orbisto::install
