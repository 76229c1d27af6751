#include "library/VersionChoice.h"

namespace orbisto::library {

VersionChoice chooseVersion(const std::array<GameFolder, kVersionCount>& folders,
                            std::optional<std::size_t> storedChoice) {
    VersionChoice choice;
    choice.folders = folders;
    for (std::size_t i = 0; i < kVersionCount; ++i) {
        choice.enabled[i] = !folders[i].folder.empty();
        if (choice.enabled[i]) {
            choice.chosen = i;
            choice.gameFolder = folders[i].folder;
        }
    }
    if (storedChoice && *storedChoice < kVersionCount) {
        choice.chosen = *storedChoice;
        if (choice.enabled[*storedChoice]) {
            choice.gameFolder = folders[*storedChoice].folder;
        }
    }
    return choice;
}

VersionChoice chooseVersion(const platform::SettingsStore& settings, const platform::InstallRecords* records) {
    // The folders first: a store that cannot be read fails before the choice is looked at.
    const auto folders = findGameFolders(settings, records);
    return chooseVersion(folders, readChosenVersion(settings));
}

std::string versionNameOf(const std::array<std::string, kVersionCount>& folders, std::optional<std::size_t> checked,
                          std::string_view gameFolder) {
    if (checked && *checked < kVersionCount && folders[*checked] == gameFolder) {
        return gameVersions()[*checked].name;
    }
    for (std::size_t i = 0; i < kVersionCount; ++i) {
        if (folders[i] == gameFolder) {
            return gameVersions()[i].name;
        }
    }
    return "FM";
}

} // namespace orbisto::library
