#pragma once

#include "platform/Errors.h"
#include "platform/FileSystem.h"

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

    int copies = 0;
    int renames = 0;

    void copyFile(const platform::Path& source, const platform::Path& target) override {
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
        if (renames++ == failingRename) {
            throw IoError(5);
        }
        LocalFileSystem::rename(from, to);
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
