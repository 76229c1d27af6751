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
class FaultyFileSystem : public platform::FileSystem {
public:
    using Path = platform::Path;

    // A copy from a source file of this name fails with "File access denied".
    std::string unreadableSource;
    // After this many successful copies every further copy fails with "Disk full" (never when negative).
    int copiesBeforeFull = -1;
    // The rename of this number (counted from 0) fails once with "File access denied" (never when negative).
    int failingRename = -1;

    int copies = 0;
    int renames = 0;

    std::vector<platform::FolderEntry> scanFolder(const Path& folder, std::string_view pattern) const override {
        return local().scanFolder(folder, pattern);
    }
    bool isPlainFile(const Path& file) const override { return local().isPlainFile(file); }
    bool folderExists(const Path& folder) const override { return local().folderExists(folder); }
    bool exists(const Path& path) const override { return local().exists(path); }
    void createFolder(const Path& folder) override { local().createFolder(folder); }
    void createFolders(const Path& folder) override { local().createFolders(folder); }
    void copyFile(const Path& source, const Path& target) override {
        if (source.filename() == unreadableSource) {
            throw IoError(5);
        }
        if (copiesBeforeFull >= 0 && copies >= copiesBeforeFull) {
            throw IoError(101);
        }
        local().copyFile(source, target);
        ++copies;
    }
    void rename(const Path& from, const Path& to) override {
        if (renames++ == failingRename) {
            throw IoError(5);
        }
        local().rename(from, to);
    }
    void removeFile(const Path& file) override { local().removeFile(file); }
    void removeTree(const Path& folder) override { local().removeTree(folder); }
    void makeWritable(const Path& file) noexcept override { local().makeWritable(file); }
    std::vector<std::uint8_t> readFile(const Path& file) const override { return local().readFile(file); }
    std::uintmax_t fileSize(const Path& file) const override { return local().fileSize(file); }

private:
    static platform::FileSystem& local() { return platform::localFileSystem(); }
};

// Every file of a folder (hidden ones included, sub-folders not) with its bytes, to compare a folder
// before and after.
inline std::map<std::string, std::vector<std::uint8_t>> folderSnapshot(const std::filesystem::path& folder) {
    std::map<std::string, std::vector<std::uint8_t>> files;
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

} // namespace orbisto::test
