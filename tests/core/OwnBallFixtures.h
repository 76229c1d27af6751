#pragma once

// Helpers shared by the library-authoring tests: source folders of frames, snapshots of folder
// trees, and a file system that fails on request.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "library/Library.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace orbisto::test {

// The 21 frame names as plain strings.
inline std::vector<std::string> frameNames() {
    return {library::kFrameNames.begin(), library::kFrameNames.end()};
}

// Untagged PNG files of distinct colours in `folder`, one per name.
inline void writeFrames(const fs::path& folder, const std::vector<std::string>& names) {
    std::uint32_t colour = 0x10203000u | 0xFFu;
    for (const std::string& name : names) {
        writeFile(folder / name, makePng(17, 17, colour));
        colour += 0x01000000u;
    }
}

inline std::vector<std::string> framesWithout(const std::string& missing) {
    std::vector<std::string> names = frameNames();
    std::erase(names, missing);
    return names;
}

// Every file and folder below `root` (relative path -> bytes; folders map to "<dir>").
using TreeSnapshot = std::map<std::string, std::string>;
inline TreeSnapshot snapshot(const fs::path& root) {
    TreeSnapshot tree;
    if (!fs::exists(root)) {
        return tree;
    }
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string key = fs::relative(entry.path(), root).generic_string();
        tree[key] = entry.is_directory() ? std::string("<dir>") : readText(entry.path());
    }
    return tree;
}

// The local file system, with copyFile failing (IoError `code`) on the copy number `failingCopy`.
class FailingCopyFileSystem : public platform::FileSystem {
public:
    using Path = platform::Path;
    FailingCopyFileSystem(int failingCopy, int code) : failingCopy_(failingCopy), code_(code) {}

    std::vector<platform::FolderEntry> scanFolder(const Path& folder, std::string_view pattern) const override {
        return local().scanFolder(folder, pattern);
    }
    bool isPlainFile(const Path& file) const override { return local().isPlainFile(file); }
    bool folderExists(const Path& folder) const override { return local().folderExists(folder); }
    bool exists(const Path& path) const override { return local().exists(path); }
    void createFolder(const Path& folder) override { local().createFolder(folder); }
    void createFolders(const Path& folder) override { local().createFolders(folder); }
    void copyFile(const Path& source, const Path& target) override {
        if (++copies == failingCopy_) {
            throw IoError(code_);
        }
        local().copyFile(source, target);
    }
    void rename(const Path& from, const Path& to) override { local().rename(from, to); }
    void removeFile(const Path& file) override { local().removeFile(file); }
    void removeTree(const Path& folder) override { local().removeTree(folder); }
    void makeWritable(const Path& file) noexcept override { local().makeWritable(file); }
    std::vector<std::uint8_t> readFile(const Path& file) const override { return local().readFile(file); }
    std::uintmax_t fileSize(const Path& file) const override { return local().fileSize(file); }

    int copies = 0;

private:
    static platform::FileSystem& local() { return platform::localFileSystem(); }
    int failingCopy_;
    int code_;
};

} // namespace orbisto::test
