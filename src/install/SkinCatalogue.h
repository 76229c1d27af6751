#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace orbisto::platform {
class FileSystem;
}

namespace orbisto::install {

// One listed skin: its folder below data/skins and the name shown for it.
struct SkinEntry {
    std::string folder;
    std::string displayName;

    bool operator==(const SkinEntry&) const = default;
};

struct SkinCatalogue {
    // Listed skins in the reverse of the order in which the folder scan met them.
    std::vector<SkinEntry> skins;
    // One text per skin whose description could not be read; such a skin is not listed.
    std::vector<std::string> errors;
};

// Reads the skins of a game: every folder of data/skins without a dot in its name whose description
// <folder>/<folder>.xml has an element child with id "hnfn" and one with id "name" (the last one
// counts) whose value has text outside "[". The display name is that value up to its first "[" as
// SplitText cuts it (quotes protect a bracket; the blank before the bracket stays).
// An empty game folder gives an empty catalogue.
SkinCatalogue readSkinCatalogue(const platform::FileSystem& fs, const std::filesystem::path& gameFolder);

} // namespace orbisto::install
