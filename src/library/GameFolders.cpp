#include "library/GameFolders.h"

#include "platform/InstallRecords.h"
#include "platform/SettingsStore.h"

namespace orbisto::library {

namespace {

using platform::Hive;

constexpr const char* kInstalls = "\\Software\\Sports Interactive Ltd\\Installs\\";

} // namespace

const std::array<GameVersionKeys, 3>& gameVersions() {
    static const std::array<GameVersionKeys, 3> table{{
        {{std::string(kInstalls) + "Football Manager 2005"}, "\\SOFTWARE\\VESKO\\zvk3\\path\\fm2005", "2005"},
        {{std::string(kInstalls) + "Football Manager 2006"}, "\\SOFTWARE\\VESKO\\zvk3\\path\\fm2006", "2006"},
        {{std::string(kInstalls) + "Football Manager 2007", std::string(kInstalls) + "Football Manager 2007 Gold Demo"},
         "\\SOFTWARE\\VESKO\\zvk3\\path\\fm2007",
         "2007"},
    }};
    return table;
}

std::array<GameFolder, 3> findGameFolders(const platform::SettingsStore& settings,
                                          const platform::InstallRecords* records) {
    std::array<GameFolder, 3> folders{};
    std::vector<std::vector<std::string>> missingKeys;
    std::vector<std::size_t> missing;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const GameVersionKeys& version = gameVersions()[i];
        GameFolder& found = folders[i];
        for (const std::string& key : version.gameKeys) {
            if (found.folder.empty()) {
                found = {settings.readText(Hive::CurrentUser, key, kFolderValue), FolderOrigin::Installer, {}};
            }
        }
        if (found.folder.empty()) {
            found = {
                settings.readText(Hive::LocalMachine, version.fallbackKey, kFolderValue), FolderOrigin::Settings, {}};
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
