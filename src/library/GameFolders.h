#pragma once

#include "library/ProgramSettings.h"

#include <array>
#include <string>

namespace orbisto::platform {
class InstallRecords;
class SettingsStore;
} // namespace orbisto::platform

namespace orbisto::library {

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
std::array<GameFolder, kVersionCount> findGameFolders(const platform::SettingsStore& settings,
                                                      const platform::InstallRecords* records);

} // namespace orbisto::library
