#include "install/InstallBall.h"

#include "library/Library.h"
#include "library/WriteCheck.h"
#include "platform/FileSystem.h"

namespace orbisto::install {

InstallRequest installRequest(const Path& appFolder, const Path& source, InstallMode mode, const BallFolders& folders) {
    InstallRequest request{appFolder, source, {}, {folders.normal, folders.winter}};
    if (mode != InstallMode::Winter) {
        request.targets.push_back({folders.normal, folders.normalOriginal});
    }
    if (mode != InstallMode::Normal) {
        request.targets.push_back({folders.winter, folders.winterOriginal});
    }
    return request;
}

void installBall(platform::FileSystem& fs, const InstallRequest& request, const KeptCallback& kept,
                 const CopyProgress& progress, const Pause& pause) {
    // Before anything changes: a folder refused halfway would leave a kept ball and a half-done install.
    for (const InstallTarget& target : request.targets) {
        library::requireWritableFolder(fs, target.folder);
    }
    if (!request.appFolder.empty() && !originalBallsToKeep(fs, request.appFolder, request.targets).empty()) {
        library::requireWritableFolder(fs, library::ballsFolder(request.appFolder));
    }
    const std::vector<std::string> keptNow = keepOriginalBalls(fs, request.appFolder, request.targets);
    if (!keptNow.empty() && kept) {
        kept(keptNow);
    }
    for (const Path& folder : request.attributeFolders) {
        ResetFrameAttributes(fs, folder);
    }
    std::vector<Path> folders;
    for (const InstallTarget& target : request.targets) {
        folders.push_back(target.folder);
    }
    CopyBallFrames(fs, request.source, folders, progress, pause);
}

} // namespace orbisto::install
