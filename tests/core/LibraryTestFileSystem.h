#pragma once

#include "platform/FileSystem.h"

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace orbisto::test {

// The local file system, with files that count as hidden (Linux has no hidden flag for a name
// like tst.ini) and a count of the folder listings and file-exists tests asked for.
class HidingFileSystem : public platform::FileSystem {
public:
    using Path = platform::Path;

    std::set<Path> hiddenFiles;
    mutable int scans = 0;
    mutable int fileTests = 0;

    std::vector<platform::FolderEntry> scanFolder(const Path& folder, std::string_view pattern) const override {
        ++scans;
        return local().scanFolder(folder, pattern);
    }
    bool isPlainFile(const Path& file) const override {
        ++fileTests;
        return hiddenFiles.count(file) == 0 && local().isPlainFile(file);
    }
    bool folderExists(const Path& folder) const override { return local().folderExists(folder); }
    bool exists(const Path& path) const override { return local().exists(path); }
    void createFolder(const Path& folder) override { local().createFolder(folder); }
    void createFolders(const Path& folder) override { local().createFolders(folder); }
    void copyFile(const Path& source, const Path& target) override { local().copyFile(source, target); }
    void rename(const Path& from, const Path& to) override { local().rename(from, to); }
    void removeFile(const Path& file) override { local().removeFile(file); }
    void removeTree(const Path& folder) override { local().removeTree(folder); }
    void makeWritable(const Path& file) noexcept override { local().makeWritable(file); }
    std::vector<std::uint8_t> readFile(const Path& file) const override { return local().readFile(file); }
    std::uintmax_t fileSize(const Path& file) const override { return local().fileSize(file); }

private:
    static platform::FileSystem& local() { return platform::localFileSystem(); }
};

} // namespace orbisto::test
