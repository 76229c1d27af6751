#include "platform/SettingsStore.h"

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Text.h"
#include "platform/linux/RegistryFile.h"
#include "platform/RegistryText.h"

#include <algorithm>
#include <optional>
#include <vector>

// The Linux settings store: each hive a file in Wine's registry format.
namespace orbisto::platform {

namespace {

using registry::escape;
using registry::normalizeKeyPath;
using registry::parseHive;
using registry::RegHive;
using registry::RegKey;
using registry::RegValue;
using registry::serialize;
using registry::stamp;
using registry::textOf;

const char* hiveFileName(Hive hive) {
    return hive == Hive::CurrentUser ? "user.reg" : "system.reg";
}

std::vector<std::string> newHeader(Hive hive) {
    return {hive == Hive::CurrentUser ? ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000"
                                      : ";; All keys relative to \\\\Machine"};
}

class RegistryFileStore final : public SettingsStore {
public:
    explicit RegistryFileStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

    std::string readText(Hive hive, std::string_view keyPath, std::string_view valueName) const override {
        const std::filesystem::path file = folder_ / toPath(hiveFileName(hive));
        if (!localFileSystem().isPlainFile(file)) {
            return {};
        }
        std::optional<RegHive> parsed;
        try {
            const auto bytes = localFileSystem().readFile(file);
            parsed = parseHive(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        } catch (const IoError&) {
            return {};
        }
        if (!parsed) {
            return {};
        }
        const std::string path = normalizeKeyPath(keyPath);
        for (const auto& key : parsed->keys) {
            if (!equalsIgnoreCase(key.path, path)) {
                continue;
            }
            for (const auto& value : key.values) {
                if (equalsIgnoreCase(value.name, valueName)) {
                    auto text = textOf(value.data);
                    if (!text) {
                        throw SettingsTypeError(valueName);
                    }
                    // Like the Windows call, the text ends at its first NUL.
                    return text->substr(0, text->find('\0'));
                }
            }
            return {}; // only the first key of that name counts
        }
        return {};
    }

    void writeText(Hive hive, std::string_view keyPath, std::string_view valueName, std::string_view value) override {
        FileSystem& fs = localFileSystem();
        const std::filesystem::path file = folder_ / toPath(hiveFileName(hive));
        std::vector<std::filesystem::path> createdFolders;
        try {
            RegHive parsed{newHeader(hive), {}};
            if (fs.exists(file)) {
                const auto bytes = fs.readFile(file);
                auto existing = parseHive(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
                if (!existing || isReadOnlyFile(file)) {
                    // A file we do not understand is kept as it is, not overwritten.
                    throw SettingsWriteError(valueName);
                }
                parsed = std::move(*existing);
            } else {
                createFolders(createdFolders);
            }
            const std::string path = normalizeKeyPath(keyPath);
            auto key = std::find_if(parsed.keys.begin(), parsed.keys.end(),
                                    [&](const RegKey& k) { return equalsIgnoreCase(k.path, path); });
            if (key == parsed.keys.end()) {
                parsed.keys.push_back({path, {}, {}, {}});
                key = std::prev(parsed.keys.end());
            }
            const std::string data = "\"" + escape(value, "\"") + "\"";
            auto existingValue = std::find_if(key->values.begin(), key->values.end(),
                                              [&](const RegValue& v) { return equalsIgnoreCase(v.name, valueName); });
            if (existingValue == key->values.end()) {
                key->values.push_back({std::string(valueName), {}, {}});
                existingValue = std::prev(key->values.end());
            } else if (existingValue->data == data) {
                return; // the store already says so
            }
            existingValue->data = data;
            existingValue->lines = {
                (existingValue->name.empty() ? "@" : "\"" + escape(existingValue->name, "\"") + "\"") + "=" + data};
            stamp(*key);
            const std::string content = serialize(parsed);
            replaceFileAtomically(file, {reinterpret_cast<const std::uint8_t*>(content.data()), content.size()});
        } catch (const SettingsWriteError&) {
            removeCreatedFolders(createdFolders);
            throw;
        } catch (const Error&) {
            removeCreatedFolders(createdFolders);
            throw SettingsWriteError(valueName);
        }
    }

private:
    // Creates the store's folder and its missing parents, noting each one so a refused write can
    // take them away again.
    void createFolders(std::vector<std::filesystem::path>& created) const {
        std::vector<std::filesystem::path> missing;
        for (std::filesystem::path folder = folder_; !folder.empty() && !localFileSystem().exists(folder);
             folder = folder.parent_path()) {
            missing.push_back(folder);
            if (folder == folder.parent_path()) {
                break;
            }
        }
        for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
            localFileSystem().createFolder(*it);
            created.push_back(*it);
        }
    }

    static void removeCreatedFolders(const std::vector<std::filesystem::path>& created) noexcept {
        for (auto it = created.rbegin(); it != created.rend(); ++it) {
            std::error_code ignored; // only an empty folder goes, like rmdir
            std::filesystem::remove(*it, ignored);
        }
    }

    std::filesystem::path folder_;
};

} // namespace

std::unique_ptr<SettingsStore> makeRegistryFileStore(const std::filesystem::path& folder) {
    return std::make_unique<RegistryFileStore>(folder);
}

} // namespace orbisto::platform
