#pragma once

#include <filesystem>

// The demo install of FM 2006 that scripts/run prepares when no game is configured, and the
// settings that point the program at it.
namespace orbisto::platform {
class InstallRecords;
}

namespace orbisto::sample {

namespace fs = std::filesystem;

// Creates the demo game in `gameFolder` when that folder does not exist yet: the game's own
// untagged normal and winter balls (21 frames each) in data/graphics/pitch/balls and its winter
// folder, so the first install keeps them in the library, and three skins in data/skins (one listed, one without the "hnfn" entry, one
// without a graphics folder). The game is built in a hidden folder beside it and renamed into
// place at the end, so a failure leaves no half-made game. Returns false, changing nothing, when
// the folder already exists.
bool prepareDemoGame(const fs::path& gameFolder);

// Writes the fall-back folder of FM 2006 (machine-wide key "\SOFTWARE\VESKO\zvk3\path\fm2006",
// value "Path") into the settings store kept in `settingsFolder`.
void pointSettingsAtGame(const fs::path& settingsFolder, const fs::path& gameFolder);

// True when the settings store in `settingsFolder` names a folder for any game version, through
// the game's own keys or the program's fall-back keys, or when `records` (a Wine prefix) know one.
bool hasConfiguredGame(const fs::path& settingsFolder, const platform::InstallRecords* records = nullptr);

} // namespace orbisto::sample
