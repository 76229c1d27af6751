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
class FailingCopyFileSystem : public platform::LocalFileSystem {
public:
    FailingCopyFileSystem(int failingCopy, int code) : failingCopy_(failingCopy), code_(code) {}

    void copyFile(const platform::Path& source, const platform::Path& target) override {
        if (++copies == failingCopy_) {
            throw IoError(code_);
        }
        LocalFileSystem::copyFile(source, target);
    }

    int copies = 0;

private:
    int failingCopy_;
    int code_;
};

} // namespace orbisto::test
