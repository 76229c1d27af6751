#pragma once

#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace orbisto::test {

// The local file system with faults injected into copies and renames, for install tests.
class FaultyFileSystem : public platform::LocalFileSystem {
public:
    // A copy from a source file of this name fails with "File access denied".
    std::string unreadableSource;
    // After this many successful copies every further copy fails with "Disk full" (never when negative).
    int copiesBeforeFull = -1;
    // The rename of this number (counted from 0) fails once with renameError (never when negative).
    int failingRename = -1;
    int renameError = 5;
    // Files another program holds open without sharing their deletion, as on Windows, each with the
    // number of attempts it still refuses (negative: until the test lets go): checkReplaceable and a
    // rename from the file fail with 32, a rename onto it with 5.
    mutable std::map<platform::Path, int> heldFiles;
    // The holds begin only with the rename of this number (0: before the first check).
    int holdsStartAtRename = 0;
    // flushFiles fails with "Disk full" on its call of this number (never when negative).
    int failingFlush = -1;
    // The rename of this number stops everything like a power cut: no clean-up code runs after it.
    int powerCutAtRename = -1;
    // Nothing can be created, copied or renamed into this folder or below it: "File access denied".
    platform::Path unwritableFolder;

    int copies = 0;
    int renames = 0;
    int flushes = 0;
    mutable int replaceChecks = 0;
    // Every file flushFiles made durable, and every staged file renamed into place before that.
    std::set<platform::Path> flushed;
    std::vector<platform::Path> renamedUnflushed;
    // What a test throws for a power cut: no std::exception, so no clean-up catches it.
    struct PowerCut {};

    void createFolder(const platform::Path& folder) override {
        refuseBelowUnwritable(folder);
        LocalFileSystem::createFolder(folder);
    }
    void createFolders(const platform::Path& folder) override {
        refuseBelowUnwritable(folder);
        LocalFileSystem::createFolders(folder);
    }
    void copyFile(const platform::Path& source, const platform::Path& target) override {
        refuseBelowUnwritable(target);
        if (source.filename() == unreadableSource) {
            throw IoError(5);
        }
        if (copiesBeforeFull >= 0 && copies >= copiesBeforeFull) {
            throw IoError(101);
        }
        LocalFileSystem::copyFile(source, target);
        ++copies;
    }
    void copyFileUnflushed(const platform::Path& source, const platform::Path& target) override {
        refuseBelowUnwritable(target);
        if (source.filename() == unreadableSource) {
            throw IoError(5);
        }
        if (copiesBeforeFull >= 0 && copies >= copiesBeforeFull) {
            throw IoError(101);
        }
        LocalFileSystem::copyFileUnflushed(source, target);
        flushed.erase(target);
        ++copies;
    }
    void rename(const platform::Path& from, const platform::Path& to) override {
        refuseBelowUnwritable(to);
        if (renames == powerCutAtRename) {
            throw PowerCut{};
        }
        if (renames++ == failingRename) {
            throw IoError(renameError);
        }
        if (stillHeld(from)) {
            throw IoError(32);
        }
        if (stillHeld(to)) {
            throw IoError(5);
        }
        if (from.filename().string().ends_with(".orbisto-part") && flushed.count(from) == 0) {
            renamedUnflushed.push_back(from);
        }
        LocalFileSystem::rename(from, to);
    }
    void flushFiles(std::span<const platform::Path> files) override {
        if (flushes++ == failingFlush) {
            throw IoError(101);
        }
        // Only recorded: a power cut cannot be had in a test, and waiting for the disk would only slow
        // the hundreds of installs the fault tests run.
        flushed.insert(files.begin(), files.end());
    }
    void flushFolder(const platform::Path&) noexcept override {}
    void checkWritableFolder(const platform::Path& folder) const override {
        refuseBelowUnwritable(folder);
        LocalFileSystem::checkWritableFolder(folder);
    }
    void checkReplaceable(const platform::Path& file) const override {
        ++replaceChecks;
        if (stillHeld(file)) {
            throw IoError(32);
        }
        LocalFileSystem::checkReplaceable(file);
    }

private:
    // True while `file` is held; each refusal counts down a finite hold.
    bool stillHeld(const platform::Path& file) const {
        const auto held = heldFiles.find(file);
        if (held == heldFiles.end() || held->second == 0 || renames < holdsStartAtRename) {
            return false;
        }
        if (held->second > 0) {
            --held->second;
        }
        return true;
    }

    void refuseBelowUnwritable(const platform::Path& path) const {
        if (!unwritableFolder.empty() &&
            std::mismatch(unwritableFolder.begin(), unwritableFolder.end(), path.begin(), path.end()).first ==
                unwritableFolder.end()) {
            throw IoError(5);
        }
    }
};

using FolderFiles = std::map<std::string, std::vector<std::uint8_t>>;

// Every file of a folder (hidden ones included, so a left-over temporary file shows, sub-folders not)
// with its bytes, to compare a folder before and after.
inline FolderFiles folderSnapshot(const std::filesystem::path& folder) {
    FolderFiles files;
    if (!std::filesystem::exists(folder)) {
        return files;
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            files[entry.path().filename().string()] = {std::istreambuf_iterator<char>(in),
                                                       std::istreambuf_iterator<char>()};
        }
    }
    return files;
}

// The frames of a library ball as an install places them (its marker file stays behind).
inline FolderFiles ballFrames(const std::filesystem::path& ball) {
    auto frames = folderSnapshot(ball);
    frames.erase("tst.ini");
    return frames;
}

} // namespace orbisto::test
