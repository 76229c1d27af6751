#include "install/OriginalBall.h"

#include "library/BallTag.h"
#include "library/Library.h"
#include "library/NameCheck.h"
#include "library/NewBallScan.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/IniProfile.h"
#include "platform/PathText.h"

namespace orbisto::install {

namespace {

using platform::FileSystem;

// Hidden, so no listing shows a ball that is still being put together.
constexpr std::string_view kStagingName = ".Original.keeping";

std::string sideName(bool winter) {
    return winter ? "winter" : "normal";
}

void writeAuthMarker(const Path& folder) {
    platform::writeProfileString(folder / platform::toPath(library::kMarkerFile), library::kMarkerSection,
                                 library::kAuthKey, "1");
}

// Clean-up after a failure that is already being reported: a second failure here would only hide it,
// and a left-over hidden folder is replaced by the next attempt.
void removeQuietly(FileSystem& fs, const Path& folder) noexcept {
    try {
        fs.removeTree(folder);
    } catch (const std::exception&) {
    }
}

// Copies the frames of `from` into the new folder `ball` and tags each copy.
void assembleBall(FileSystem& fs, const Path& from, const Path& ball, const std::string& tag) {
    fs.createFolder(ball);
    for (const std::string& frame : library::pngFiles(fs, from)) {
        try {
            fs.copyFile(from / platform::toPath(frame), ball / platform::toPath(frame));
            // A write-protected frame of the game keeps its flag in the copy; the tag must go in.
            fs.makeWritable(ball / platform::toPath(frame));
            library::SaveToExe(ball / platform::toPath(frame), tag);
        } catch (const std::exception& e) {
            throw Error("Cannot copy \"" + frame + "\": " + e.what());
        }
    }
    writeAuthMarker(ball);
}

// Moves the balls put together in `staging` into the existing brand folder and marks the brand.
// A failure takes out the balls already moved.
void placeIntoBrand(FileSystem& fs, const Path& staging, const Path& brand, const std::vector<std::string>& names) {
    std::vector<Path> placed;
    try {
        for (const std::string& name : names) {
            fs.rename(staging / platform::toPath(name), brand / platform::toPath(name));
            placed.push_back(brand / platform::toPath(name));
        }
        if (library::markerValue(fs, brand, library::kAuthKey) != "1") {
            writeAuthMarker(brand);
        }
    } catch (const std::exception&) {
        for (const Path& ball : placed) {
            removeQuietly(fs, ball);
        }
        throw;
    }
}

} // namespace

std::string gameOriginalName(std::string_view version, bool winter) {
    return std::string(version) + " " + sideName(winter);
}

std::string skinOriginalName(std::string_view version, std::string_view skinFolder, bool winter) {
    std::string skin(skinFolder);
    for (char& c : skin) {
        if (library::isForbiddenNameCharacter(c) || c == '.') {
            c = '_';
        }
    }
    return std::string(version) + " " + skin + " " + sideName(winter);
}

bool holdsUntaggedBall(const FileSystem& fs, const Path& folder) {
    const std::vector<std::string> frames = library::pngFiles(fs, folder);
    for (const std::string& frame : frames) {
        if (library::hasBallTag(folder / platform::toPath(frame))) {
            return false;
        }
    }
    return !frames.empty();
}

std::vector<InstallTarget> originalBallsToKeep(const FileSystem& fs, const Path& appFolder,
                                               const std::vector<InstallTarget>& targets) {
    const Path brand = library::ballsFolder(appFolder) / platform::toPath(kOriginalBrand);
    std::vector<InstallTarget> pending;
    for (const InstallTarget& target : targets) {
        if (!fs.exists(brand / platform::toPath(target.originalName)) && holdsUntaggedBall(fs, target.folder)) {
            pending.push_back(target);
        }
    }
    return pending;
}

std::vector<std::string> keepOriginalBalls(FileSystem& fs, const Path& appFolder,
                                           const std::vector<InstallTarget>& targets) {
    const Path library = library::ballsFolder(appFolder);
    const Path brand = library / platform::toPath(kOriginalBrand);
    const Path staging = library / platform::toPath(kStagingName);
    std::vector<std::string> kept;
    std::string current;
    bool libraryCreated = false;
    try {
        if (!targets.empty()) {
            current = targets.back().originalName; // what a failure while looking is reported against
        }
        const std::vector<InstallTarget> pending = originalBallsToKeep(fs, appFolder, targets);
        if (pending.empty()) {
            return kept;
        }
        if (appFolder.empty()) {
            throw Error("The program's folder is unknown");
        }
        current = pending.front().originalName;
        try {
            libraryCreated = !fs.folderExists(library);
            fs.createFolders(library);
            fs.removeTree(staging); // left over from an interrupted run
            fs.createFolder(staging);
        } catch (const std::exception& e) {
            throw Error("Cannot write into the library \"" + platform::toText(library) + "\": " + e.what());
        }
        for (const InstallTarget& target : pending) {
            current = target.originalName;
            assembleBall(fs, target.folder, staging / platform::toPath(target.originalName),
                         library::ballTagText(kOriginalBrand, target.originalName));
            kept.push_back(target.originalName);
        }
        if (fs.exists(brand)) {
            placeIntoBrand(fs, staging, brand, kept);
            removeQuietly(fs, staging);
        } else {
            // A new brand goes into place whole, its marker and balls with it.
            writeAuthMarker(staging);
            fs.rename(staging, brand);
        }
    } catch (const std::exception& e) {
        removeQuietly(fs, staging);
        if (libraryCreated) {
            removeQuietly(fs, library);
        }
        throw Error("The game's own ball \"" + current +
                    "\" could not be kept in the library, so nothing was installed: " + e.what());
    }
    return kept;
}

} // namespace orbisto::install
