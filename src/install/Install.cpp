#include "install/Install.h"

#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto::install {

namespace {

using platform::FileSystem;

// Hidden names (a leading "."), so no folder scan ever lists a frame that is not in place yet.
Path stagedName(const Path& target, const std::string& frame) {
    return target / platform::toPath("." + frame + ".orbisto-part");
}
Path backupName(const Path& target, const std::string& frame) {
    return target / platform::toPath("." + frame + ".orbisto-old");
}

Error copyFailure(const std::string& frame, const std::exception& reason) {
    return Error("Cannot copy \"" + frame + "\": " + reason.what());
}

// Clean-up on a path that already failed: the first failure is what the user is told about, and a
// leftover hidden file is replaced by the next install, so a second failure here is not reported.
void removeAfterFailure(FileSystem& fs, const Path& file) noexcept {
    try {
        fs.makeWritable(file);
        fs.removeFile(file);
    } catch (const std::exception&) {
    }
}

void restoreAfterFailure(FileSystem& fs, const Path& backup, const Path& frame) noexcept {
    try {
        fs.rename(backup, frame);
    } catch (const std::exception&) {
    }
}

std::vector<std::string> framesOf(const FileSystem& fs, const Path& source) {
    std::vector<std::string> frames;
    for (const auto& entry : fs.scanFolder(source, "*.png")) {
        if (!entry.isFolder) {
            frames.push_back(entry.name);
        }
    }
    return frames;
}

// Writes every frame beside its target under its staged name.
void stageFrames(FileSystem& fs, const Path& source, const Path& target, const std::vector<std::string>& frames,
                 const CopyProgress& progress) {
    std::size_t staged = 0;
    try {
        if (progress && !progress(0, frames.size())) {
            throw Error("The copy was cancelled");
        }
        for (const std::string& frame : frames) {
            // Counted before the copy: a failing copy may still leave its staged file.
            ++staged;
            try {
                fs.copyFile(source / platform::toPath(frame), stagedName(target, frame));
            } catch (const std::exception& e) {
                throw copyFailure(frame, e);
            }
            if (progress && !progress(staged, frames.size())) {
                throw Error("The copy was cancelled");
            }
        }
    } catch (const std::exception&) {
        for (std::size_t i = 0; i < staged; ++i) {
            removeAfterFailure(fs, stagedName(target, frames[i]));
        }
        throw;
    }
}

// Renames the staged frames into place. The frames they replace are kept under backup names until
// all are in place, so a failure puts every old frame back.
void commitFrames(FileSystem& fs, const Path& target, const std::vector<std::string>& frames) {
    std::vector<bool> hadOld(frames.size(), false);
    std::size_t placed = 0;
    std::size_t current = 0;
    try {
        for (; current < frames.size(); ++current) {
            const std::string& frame = frames[current];
            const Path final = target / platform::toPath(frame);
            if (fs.isPlainFile(final)) {
                fs.makeWritable(final);
                fs.rename(final, backupName(target, frame));
                hadOld[current] = true;
            }
            fs.rename(stagedName(target, frame), final);
            ++placed;
        }
    } catch (const std::exception& e) {
        for (std::size_t i = 0; i < frames.size(); ++i) {
            if (i < placed) {
                removeAfterFailure(fs, target / platform::toPath(frames[i]));
            } else {
                removeAfterFailure(fs, stagedName(target, frames[i]));
            }
            if (hadOld[i]) {
                restoreAfterFailure(fs, backupName(target, frames[i]), target / platform::toPath(frames[i]));
            }
        }
        throw copyFailure(frames[current], e);
    }
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (hadOld[i]) {
            removeAfterFailure(fs, backupName(target, frames[i]));
        }
    }
}

} // namespace

Path normalBallFolder(const Path& gameFolder) {
    return gameFolder / "data/graphics/pitch/balls";
}
Path winterBallFolder(const Path& gameFolder) {
    return normalBallFolder(gameFolder) / "winter";
}
Path skinFolder(const Path& gameFolder, const std::string& skin) {
    return gameFolder / "data/skins" / platform::toPath(skin);
}
Path skinNormalBallFolder(const Path& skin) {
    return skin / "graphics/pitch/balls";
}
Path skinWinterBallFolder(const Path& skin) {
    return skinNormalBallFolder(skin) / "winter";
}

void ResetFrameAttributes(FileSystem& fs, const Path& folder) {
    if (folder.empty()) {
        return;
    }
    for (const auto& entry : fs.scanFolder(folder, "*.png")) {
        if (!entry.isFolder) {
            fs.makeWritable(folder / platform::toPath(entry.name));
        }
    }
}

void CopyBallFrames(FileSystem& fs, const Path& source, const Path& target, const CopyProgress& progress) {
    if (source.empty() || target.empty()) {
        throw Error("No folder to copy the ball from or into");
    }
    const std::vector<std::string> frames = framesOf(fs, source);
    if (frames.empty()) {
        throw Error("The ball's folder \"" + platform::toText(source) + "\" holds no frames");
    }
    try {
        fs.createFolders(target);
    } catch (const std::exception& e) {
        throw Error("Cannot create the folder \"" + platform::toText(target) + "\": " + e.what());
    }
    stageFrames(fs, source, target, frames, progress);
    commitFrames(fs, target, frames);
}

bool createSkinBallFolders(FileSystem& fs, const Path& skin) {
    const std::array<Path, 4> folders{skin / "graphics", skin / "graphics/pitch", skinNormalBallFolder(skin),
                                      skinWinterBallFolder(skin)};
    bool winterCreated = false;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (fs.folderExists(folders[i])) {
            continue;
        }
        try {
            fs.createFolder(folders[i]);
        } catch (const std::exception& e) {
            throw Error("Cannot create the folder \"" + platform::toText(folders[i]) + "\": " + e.what());
        }
        winterCreated = i + 1 == folders.size();
    }
    return winterCreated;
}

} // namespace orbisto::install
