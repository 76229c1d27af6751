#include "install/Install.h"

#include "library/Library.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"

#include <algorithm>
#include <array>
#include <string>
#include <thread>
#include <utility>
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

// One frame of one target folder on its way into place.
struct Placement {
    std::string frame;
    Path final;
    Path staged;
    Path backup;
    bool hadOld = false;
    bool placed = false;
};

std::vector<Placement> placementsOf(const std::vector<Path>& targets, const std::vector<std::string>& frames) {
    std::vector<Placement> placements;
    placements.reserve(targets.size() * frames.size());
    for (const Path& target : targets) {
        for (const std::string& frame : frames) {
            placements.push_back({frame, target / platform::toPath(frame), stagedName(target, frame), backupName(target, frame)});
        }
    }
    return placements;
}

// The codes Windows gives while another program holds a file: a sharing or lock violation, and
// "access denied" when a rename meets it (as the replaced file or its new name).
bool isInUse(const IoError& error, bool renaming) {
    return error.code() == 32 || error.code() == 33 || (renaming && error.code() == 5);
}

// Tries a step on a frame again while another program holds it, within one budget for the whole copy.
class InUseWait {
public:
    explicit InUseWait(const Pause& pause) : pause_(pause) {}

    template <typename Step> void attempt(const Path& file, bool renaming, Step step) {
        for (;;) {
            try {
                step();
                return;
            } catch (const IoError& e) {
                if (!isInUse(e, renaming)) {
                    throw;
                }
                if (waited_ >= kInUseWait) {
                    throw FrameInUse(file);
                }
            }
            if (pause_) {
                pause_(kInUseStep);
            } else {
                std::this_thread::sleep_for(kInUseStep);
            }
            waited_ += kInUseStep;
        }
    }

private:
    const Pause& pause_;
    std::chrono::milliseconds waited_{0};
};

// Writes every frame beside its target under its staged name, then makes them all durable at once.
void stageFrames(FileSystem& fs, const Path& source, std::vector<Placement>& placements, const CopyProgress& progress) {
    std::size_t staged = 0;
    try {
        if (progress && !progress(0, placements.size())) {
            throw Error("The copy was cancelled");
        }
        for (const Placement& placement : placements) {
            // Counted before the copy: a failing copy may still leave its staged file.
            ++staged;
            try {
                fs.copyFileUnflushed(source / platform::toPath(placement.frame), placement.staged);
            } catch (const std::exception& e) {
                throw copyFailure(placement.frame, e);
            }
            if (progress && !progress(staged, placements.size())) {
                throw Error("The copy was cancelled");
            }
        }
        std::vector<Path> files;
        files.reserve(placements.size());
        for (const Placement& placement : placements) {
            files.push_back(placement.staged);
        }
        try {
            fs.flushFiles(files);
        } catch (const std::exception& e) {
            throw copyFailure(placements.front().frame, e);
        }
    } catch (const std::exception&) {
        for (std::size_t i = 0; i < staged; ++i) {
            removeAfterFailure(fs, placements[i].staged);
        }
        throw;
    }
}

// Every frame to be replaced, in every folder, must be free before the first rename.
void checkReplaceable(FileSystem& fs, const std::vector<Placement>& placements, InUseWait& wait) {
    for (const Placement& placement : placements) {
        try {
            wait.attempt(placement.final, false, [&] { fs.checkReplaceable(placement.final); });
        } catch (const FrameInUse&) {
            throw;
        } catch (const std::exception& e) {
            throw copyFailure(placement.frame, e);
        }
    }
}

// Takes back whatever the commit did: new frames out, old frames back, staged files removed.
void undoCommit(FileSystem& fs, std::vector<Placement>& placements) noexcept {
    for (auto it = placements.rbegin(); it != placements.rend(); ++it) {
        if (it->placed) {
            removeAfterFailure(fs, it->final);
        } else {
            removeAfterFailure(fs, it->staged);
        }
        if (it->hadOld) {
            restoreAfterFailure(fs, it->backup, it->final);
        }
    }
}

// Renames the staged frames into place. The frames they replace are kept under backup names until
// all are in place in every folder, so a failure puts every old frame back.
void commitFrames(FileSystem& fs, std::vector<Placement>& placements, InUseWait& wait) {
    Placement* current = nullptr;
    try {
        for (Placement& placement : placements) {
            current = &placement;
            if (fs.isPlainFile(placement.final)) {
                fs.makeWritable(placement.final);
                wait.attempt(placement.final, true, [&] { fs.rename(placement.final, placement.backup); });
                placement.hadOld = true;
            }
            wait.attempt(placement.final, true, [&] { fs.rename(placement.staged, placement.final); });
            placement.placed = true;
        }
    } catch (const FrameInUse&) {
        undoCommit(fs, placements);
        throw;
    } catch (const std::exception& e) {
        undoCommit(fs, placements);
        throw copyFailure(current->frame, e);
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
    for (const std::string& frame : library::pngFiles(fs, folder)) {
        fs.makeWritable(folder / platform::toPath(frame));
    }
}

void CopyBallFrames(FileSystem& fs, const Path& source, const std::vector<Path>& targets, const CopyProgress& progress,
                    const Pause& pause) {
    if (source.empty() || targets.empty() ||
        std::any_of(targets.begin(), targets.end(), [](const Path& target) { return target.empty(); })) {
        throw Error("No folder to copy the ball from or into");
    }
    const std::vector<std::string> frames = library::pngFiles(fs, source);
    if (frames.empty()) {
        throw Error("The ball's folder \"" + platform::toText(source) + "\" holds no frames");
    }
    for (const Path& target : targets) {
        try {
            fs.createFolders(target);
        } catch (const std::exception& e) {
            throw Error("Cannot create the folder \"" + platform::toText(target) + "\": " + e.what());
        }
    }
    std::vector<Placement> placements = placementsOf(targets, frames);
    stageFrames(fs, source, placements, progress);
    InUseWait wait(pause);
    try {
        checkReplaceable(fs, placements, wait);
    } catch (const std::exception&) {
        for (const Placement& placement : placements) {
            removeAfterFailure(fs, placement.staged);
        }
        throw;
    }
    commitFrames(fs, placements, wait);
    for (const Path& target : targets) {
        fs.flushFolder(target);
    }
    // Only once every rename is durable: until then a power cut may still need an old frame. An old
    // frame an interrupted install kept aside goes too.
    for (const Placement& placement : placements) {
        removeAfterFailure(fs, placement.backup);
    }
}

void CopyBallFrames(FileSystem& fs, const Path& source, const Path& target, const CopyProgress& progress) {
    CopyBallFrames(fs, source, std::vector<Path>{target}, progress);
}

FrameInUse::FrameInUse(Path file)
    : Error("The file \"" + platform::toText(file) + "\" is held by another program"), file_(std::move(file)) {}

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
