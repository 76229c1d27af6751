#pragma once

#include "platform/FileSystem.h"

#include <set>

namespace orbisto::test {

// The local file system, with files that count as hidden (Linux has no hidden flag for a name
// like tst.ini) and a count of the folder listings and file tests asked for.
class HidingFileSystem : public platform::LocalFileSystem {
public:
    using Path = platform::Path;

    std::set<Path> hiddenFiles;
    mutable int scans = 0;
    mutable int fileTests = 0;

    std::vector<platform::FolderEntry> scanFolder(const Path& folder, std::string_view pattern) const override {
        ++scans;
        return LocalFileSystem::scanFolder(folder, pattern);
    }
    bool isPlainFile(const Path& file) const override {
        ++fileTests;
        return hiddenFiles.count(file) == 0 && LocalFileSystem::isPlainFile(file);
    }
    // Both through isPlainFile above.
    std::optional<std::vector<std::uint8_t>> readPlainFile(const Path& file) const override {
        return FileSystem::readPlainFile(file);
    }
    platform::FileVersion readPlainFileVersion(const Path& file) const override {
        return FileSystem::readPlainFileVersion(file);
    }
};

} // namespace orbisto::test
