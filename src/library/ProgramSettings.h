#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto::platform {
class SettingsStore;
} // namespace orbisto::platform

namespace orbisto::library {

// The main window's version buttons, one per game version; the window maps each to its control.
enum class VersionButton { Fm2005, Fm2006, Fm2007 };

// One game version Orbisto installs into: how it is named and chosen, where its installer records
// its folder, and where the settings window keeps the folder chosen by hand.
struct GameVersion {
    std::string name; // "FM 2005": on its button and in the names of the game's own balls kept
    VersionButton button;
    std::string storedText; // what the stored version choice says for this version
    // Keys of the game's own setup (per-user hive), tried in order: the full FM 2007 before its demo.
    std::vector<std::string> gameKeys;
    std::string fallbackKey; // machine-wide
};

inline constexpr std::size_t kVersionCount = 3;

// FM 2005, FM 2006, FM 2007, in this order; a version is its index here.
const std::array<GameVersion, kVersionCount>& gameVersions();

// Value name of the folder under the game's and the fall-back keys.
inline constexpr const char* kFolderValue = "Path";

// The values Orbisto keeps in the settings store, each read and written only through here.
// A refused write raises the store's error; a value of a non-text type raises its error on reading.

// The language in use: the stored one, English when none is stored.
std::string readLanguage(const platform::SettingsStore& settings);
void writeLanguage(platform::SettingsStore& settings, std::string_view language);

// The version the stored choice names, or nothing when it names none (text that is not exactly a
// version's stored text names none).
std::optional<std::size_t> readChosenVersion(const platform::SettingsStore& settings);
// Stores the choice of `version`; no version stores the empty text.
void writeChosenVersion(platform::SettingsStore& settings, std::optional<std::size_t> version);

// The folder chosen for a version in the settings window (its fall-back key), as stored.
std::string readVersionFolder(const platform::SettingsStore& settings, std::size_t version);
// Stores it with this system's separators: the game and other programs read this value too.
void writeVersionFolder(platform::SettingsStore& settings, std::size_t version, std::string_view folder);

} // namespace orbisto::library
