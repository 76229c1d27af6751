#include "library/GameFolders.h"

#include "platform/InstallRecords.h"
#include "platform/SettingsStore.h"

#include <vector>

namespace orbisto::library {

std::array<GameFolder, kVersionCount> findGameFolders(const platform::SettingsStore& settings,
                                                      const platform::InstallRecords* records) {
    using platform::Hive;
    std::array<GameFolder, kVersionCount> folders{};
    std::vector<std::vector<std::string>> missingKeys;
    std::vector<std::size_t> missing;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const GameVersion& version = gameVersions()[i];
        GameFolder& found = folders[i];
        for (const std::string& key : version.gameKeys) {
            if (found.folder.empty()) {
                found = {settings.readText(Hive::CurrentUser, key, kFolderValue), FolderOrigin::Installer, {}};
            }
        }
        if (found.folder.empty()) {
            found = {readVersionFolder(settings, i), FolderOrigin::Settings, {}};
        }
        if (found.folder.empty()) {
            found.origin = FolderOrigin::None;
            missingKeys.push_back(version.gameKeys);
            missing.push_back(i);
        }
    }
    if (records == nullptr || missing.empty()) {
        return folders;
    }
    const auto recorded = records->find(missingKeys, kFolderValue);
    for (std::size_t m = 0; m < missing.size() && m < recorded.size(); ++m) {
        if (recorded[m]) {
            folders[missing[m]] = {recorded[m]->folder, FolderOrigin::WinePrefix, recorded[m]->origin};
        }
    }
    return folders;
}

} // namespace orbisto::library
