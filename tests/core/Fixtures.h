#pragma once

// Helpers shared by the library and install tests: frames, snapshots of folder trees, and a file
// system that fails on request.

#include "library/Library.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <map>

namespace orbisto::test {

inline std::vector<std::string> frameNames() {
    return {library::kFrameNames.begin(), library::kFrameNames.end()};
}

// Untagged PNG files of distinct colours in `folder`, one per name.
inline void writeFrames(const fs::path& folder, const std::vector<std::string>& names = frameNames(),
                        std::uint32_t colour = 0x102030FFu) {
    for (const std::string& name : names) {
        writeFile(folder / name, makePng(17, 17, colour));
        colour += 0x01000000u;
    }
}

// Every file and folder below `root` (only the files in it when not `below`), hidden ones included,
// so a left-over temporary file shows: relative path -> bytes, "<dir>" for a folder.
using Tree = std::map<std::string, std::string>;
inline Tree snapshot(const fs::path& root, bool below = true) {
    Tree tree;
    if (!fs::exists(root)) {
        return tree;
    }
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        if (!below) {
            it.disable_recursion_pending();
        }
        if (below || !it->is_directory()) {
            tree[fs::relative(it->path(), root).generic_string()] = it->is_directory() ? "<dir>" : readText(it->path());
        }
    }
    return tree;
}

// The frames of a library ball as an install places them (its marker stays behind).
inline Tree ballFrames(const fs::path& ball) {
    Tree frames = snapshot(ball);
    frames.erase("tst.ini");
    return frames;
}

// The local file system with faults injected into copies and renames.
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

} // namespace orbisto::test
