#include "platform/InstallRecords.h"

namespace orbisto::platform {

namespace {

// On Windows a game's installer writes its folder into the registry the settings store reads, so
// there is nowhere else to look.
class NoInstallRecords final : public InstallRecords {
public:
    std::vector<std::optional<RecordedFolder>> find(std::span<const std::vector<std::string>> keySets,
                                                    std::string_view) const override {
        return std::vector<std::optional<RecordedFolder>>(keySets.size());
    }
};

} // namespace

std::unique_ptr<InstallRecords> makeInstallRecords() {
    return std::make_unique<NoInstallRecords>();
}

} // namespace orbisto::platform
