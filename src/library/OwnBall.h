#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/Library.h"
#include "platform/FileSystem.h"

namespace orbisto::library {

// The brands the own-ball window offers: brand folders (names without a dot) marked Auth "1",
// sorted in the user's locale ignoring case.
std::vector<std::string> ownBallBrands(const platform::FileSystem& fs, const Path& appFolder);

enum class AddBrandOutcome { Added, EmptyName, InvalidName, AlreadyListed };

// Adds an empty brand `name` (used as typed) to the library and marks it Auth "1". Refuses an empty
// name, a name isValidLibraryName rejects, and a name equal to a listed brand ignoring case, creating
// nothing. A library that refuses new folders raises FolderNotWritable before anything is created. A
// folder or file of that name that is no listed brand raises IoError 183. When the marker cannot be
// written the new folder is removed again before the error goes on.
AddBrandOutcome addBrand(platform::FileSystem& fs, const Path& appFolder, const std::vector<std::string>& listedBrands,
                         const std::string& name);

// The PNG files of a folder chosen as a new ball, and how they compare with the 21 frame names.
// Only reads the folder.
struct SourceFolderCheck {
    std::vector<std::string> files;         // every PNG file (any case of ".png"), sorted ignoring case
    std::vector<std::string> missingFrames; // frame names not among `files` compared exactly, in frame order
    bool passed() const { return missingFrames.empty(); }
};
SourceFolderCheck checkSourceFolder(const platform::FileSystem& fs, const Path& folder);

// Brand of a new ball: the selected brand entry when there is one; otherwise the listed brand that the
// typed text names ignoring case, in its listed spelling; otherwise nothing.
std::optional<std::string> resolveBrand(const std::optional<std::string>& selected, std::string_view typed,
                                        const std::vector<std::string>& listedBrands);

enum class AddBallOutcome { Added, InvalidName, AlreadyExists };

// Called after each file copied into the new ball.
using FileCopiedCallback = std::function<void()>;

// Adds ball `name` under the existing brand folder `brand`: copies `files` from `sourceFolder`, tags
// each copy brand|name and marks the ball Auth "1". The ball is assembled in a hidden folder beside
// it and renamed into place only when all of that succeeded, so it enters the library whole or not
// at all: on failure the hidden folder is removed and the error goes on. Names isValidLibraryName
// rejects give InvalidName, a ball folder (or file) of that name AlreadyExists; both create nothing.
// A brand folder that refuses new files raises FolderNotWritable, also before anything is created.
AddBallOutcome addOwnBall(platform::FileSystem& fs, const Path& appFolder, const std::string& brand,
                          const std::string& name, const Path& sourceFolder, const std::vector<std::string>& files,
                          const FileCopiedCallback& onFileCopied = {});

} // namespace orbisto::library
