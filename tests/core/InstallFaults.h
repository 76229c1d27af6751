#pragma once

#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
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
    // The rename of this number (counted from 0) fails once with "File access denied" (never when negative).
    int failingRename = -1;
    // Nothing can be created, copied or renamed into this folder or below it: "File access denied".
    platform::Path unwritableFolder;

    int copies = 0;
    int renames = 0;

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
    void rename(const platform::Path& from, const platform::Path& to) override {
        refuseBelowUnwritable(to);
        if (renames++ == failingRename) {
            throw IoError(5);
        }
        LocalFileSystem::rename(from, to);
    }

private:
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
