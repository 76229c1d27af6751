#pragma once

#include "platform/Errors.h"

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

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

// Raised when a frame to be replaced stays held by another program (the game itself, a virus
// scanner) for the whole time an install waits for it; `file` is that frame. Nothing was changed.
class FrameInUse : public Error {
public:
    explicit FrameInUse(Path file);
    const Path& file() const noexcept { return file_; }

private:
    Path file_;
};

// Waits before another attempt at a frame another program holds: std::this_thread::sleep_for by
// default, replaced in tests.
using Pause = std::function<void(std::chrono::milliseconds)>;

// How long a copy waits in all for frames held by other programs, and the step between attempts.
inline constexpr std::chrono::milliseconds kInUseWait{1000};
inline constexpr std::chrono::milliseconds kInUseStep{50};

// Copies every *.png file of `source` into each folder of `targets`, creating a missing folder (with
// its parents). All frames are first written beside their targets under hidden temporary names and
// made durable together; then every target frame of every folder is checked for being replaceable;
// only then are the frames renamed into place, folder after folder, and each folder's entries made
// durable. A failure or a cancel at any step leaves every folder with the frames it held before and
// no temporary file behind: the folders change all together or not at all. A power cut at any step
// leaves no half-written or empty frame. A frame held by another program (Windows: 32, 33, or 5 on
// a replace) is tried again every kInUseStep, kInUseWait in all for the whole copy; one still held
// raises FrameInUse. Other failures raise orbisto::Error naming the file and the reason, saying
// that the source holds no frames, or that the copy was cancelled.
void CopyBallFrames(platform::FileSystem& fs, const Path& source, const std::vector<Path>& targets,
                    const CopyProgress& progress, const Pause& pause = {});
// The same for one target folder.
void CopyBallFrames(platform::FileSystem& fs, const Path& source, const Path& target, const CopyProgress& progress);

// Creates the skin's graphics, graphics/pitch, ball and winter ball folders where missing, in that order.
// Returns true when the winter folder had to be created.
bool createSkinBallFolders(platform::FileSystem& fs, const Path& skinFolder);

} // namespace orbisto::install
