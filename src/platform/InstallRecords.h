#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto::platform {

// A folder that a game's installer recorded outside the program's own settings store.
struct RecordedFolder {
    std::string folder; // the folder on this machine, ending in a separator
    std::string origin; // where the record was found (the Wine prefix's folder)
};

// Game folders recorded by installers in registries other than the settings store. On Linux these
// are the registries of the Wine prefixes the player's Windows games live in; on Windows the game's
// keys are in the settings store itself and this finds nothing. Never writes anything.
class InstallRecords {
public:
    virtual ~InstallRecords() = default;

    // For each entry of `keySets` (key paths of one game below HKEY_CURRENT_USER, tried in order,
    // e.g. "Software\Vendor\Installs\Game"), the first recorded folder that exists, or nothing.
    virtual std::vector<std::optional<RecordedFolder>> find(std::span<const std::vector<std::string>> keySets,
                                                            std::string_view valueName) const = 0;
};

// The search of this machine, looking where the process's environment says ($HOME and the like).
std::unique_ptr<InstallRecords> makeInstallRecords();

} // namespace orbisto::platform
