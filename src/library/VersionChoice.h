#pragma once

#include "library/GameFolders.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orbisto::platform {
class InstallRecords;
class SettingsStore;
} // namespace orbisto::platform

namespace orbisto::library {

// The version checked before anything is known: FM 2006, as the main window's layout has it.
inline constexpr std::size_t kDefaultVersion = 1;

// What the main window's version buttons show at start, and the game folder it works in.
struct VersionChoice {
    // Each version's folder and where it came from.
    std::array<GameFolder, kVersionCount> folders{};
    // A version without a folder has its button disabled.
    std::array<bool, kVersionCount> enabled{};
    // The version whose button is checked: the stored choice whenever it names a version, also one
    // without a folder (its button is then checked but disabled); else the last version with a
    // folder; else kDefaultVersion.
    std::size_t chosen = kDefaultVersion;
    // The stored choice's folder when it has one, else the last version's with a folder, else empty.
    std::string gameFolder;
};

// The choice from the folders found and the stored choice.
VersionChoice chooseVersion(const std::array<GameFolder, kVersionCount>& folders,
                            std::optional<std::size_t> storedChoice);
// The same from what the settings store holds and the installers recorded (`records` may be null;
// see findGameFolders).
VersionChoice chooseVersion(const platform::SettingsStore& settings, const platform::InstallRecords* records);

// The name of the version whose folder `gameFolder` is: the checked one first (two versions may
// share a folder), else the first such version; "FM" when it is no version's folder.
std::string versionNameOf(const std::array<std::string, kVersionCount>& folders, std::optional<std::size_t> checked,
                          std::string_view gameFolder);

} // namespace orbisto::library
