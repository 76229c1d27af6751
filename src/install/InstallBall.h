#pragma once

#include "install/Install.h"
#include "install/OriginalBall.h"

#include <functional>
#include <string>
#include <vector>

namespace orbisto::install {

// One install of a library ball, as the main window and the install-to-skin window start it.
struct InstallRequest {
    Path appFolder;                       // the program folder, whose library keeps the game's own balls
    Path source;                          // the library ball's folder
    std::vector<InstallTarget> targets;   // the ball folders written into, with their balls' library names
    std::vector<Path> attributeFolders;   // folders whose frames are made writable just before the copy
};

// Which of a game's (or skin's) ball folders an install writes into.
enum class InstallMode { Normal, Winter, NormalAndWinter };

// The normal and winter ball folders an install may write into, with the library names the balls
// found there get when they are kept ("FM 2006 normal", "FM 2006 <skin> winter").
struct BallFolders {
    Path normal;
    Path winter;
    std::string normalOriginal;
    std::string winterOriginal;
};

// The install of the library ball in `source` into the folders `mode` chooses. The frames of both
// folders are made writable, whichever the mode.
InstallRequest installRequest(const Path& appFolder, const Path& source, InstallMode mode, const BallFolders& folders);

// Called once the game's own balls were kept in the library, with their names, before the copy.
using KeptCallback = std::function<void(const std::vector<std::string>& kept)>;

// Installs the ball, in this order:
//  1. every target folder, and the library when a game's own ball is to be kept there, is checked
//     for writing: the first that refuses raises library::FolderNotWritable, with nothing changed
//     and nothing kept;
//  2. the game's own balls are kept (keepOriginalBalls) and `kept` is told of them;
//  3. the frames of `attributeFolders` are made writable;
//  4. CopyBallFrames copies the ball into all targets at once (FrameInUse when a frame stays held).
void installBall(platform::FileSystem& fs, const InstallRequest& request, const KeptCallback& kept,
                 const CopyProgress& progress, const Pause& pause = {});

} // namespace orbisto::install
