#pragma once

// Helpers shared by the library-authoring tests: source folders of frames and snapshots of folder
// trees.

#include "library/Library.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace orbisto::test {

// The 21 frame names as plain strings.
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

} // namespace orbisto::test
