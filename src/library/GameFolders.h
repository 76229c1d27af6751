#pragma once

#include <array>
#include <string>
#include <vector>

namespace orbisto::platform {
class InstallRecords;
class SettingsStore;
} // namespace orbisto::platform

namespace orbisto::library {

// One game version: where its installer records its folder, where the settings window keeps the
// folder chosen by hand, and the text that stores the choice of this version.
struct GameVersionKeys {
    // Keys of the game's own setup (per-user hive), tried in order: the full FM 2007 before its demo.
    std::vector<std::string> gameKeys;
    std::string fallbackKey; // machine-wide
    std::string storedText;
};

// FM 2005, FM 2006, FM 2007, in this order.
const std::array<GameVersionKeys, 3>& gameVersions();

// Value name of the folder under the game's and the fall-back keys.
inline constexpr const char* kFolderValue = "Path";

enum class FolderOrigin {
    None,       // no folder known
    Installer,  // the game's key in the program's settings store
    Settings,   // the fall-back key the settings window writes
    WinePrefix, // the game's key in the registry of a Wine prefix
};

struct GameFolder {
    std::string folder;
    FolderOrigin origin = FolderOrigin::None;
    std::string prefix; // the Wine prefix it was found in
};

// The folder of each version: the game's keys in the settings store, else the fall-back key (a folder
// chosen by hand beats a guess), else the installers' records elsewhere (`records` may be null),
// which are searched only for the versions still without a folder. A value of a non-text type in
// the settings store raises its error.
std::array<GameFolder, 3> findGameFolders(const platform::SettingsStore& settings,
                                          const platform::InstallRecords* records);

} // namespace orbisto::library
