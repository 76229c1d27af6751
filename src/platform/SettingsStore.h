#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace orbisto::platform {

// The two hives of the settings store (the Windows registry).
enum class Hive { CurrentUser, LocalMachine };

// Typed settings store with case-insensitive key paths ("\Software\Vendor\Key", leading
// backslash optional) and value names. Only text values are read and written by the program.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Text of a value. A missing key or value gives the empty text and creates nothing.
    // A value of a non-text type raises SettingsTypeError ("Invalid data type for '%s'").
    virtual std::string readText(Hive hive, std::string_view keyPath, std::string_view valueName) const = 0;

    // Writes a text value, creating the key when missing. A refused write raises
    // SettingsWriteError ("Failed to set data for '%s'") and changes nothing.
    virtual void writeText(Hive hive, std::string_view keyPath, std::string_view valueName,
                           std::string_view value) = 0;
};

// Linux store: each hive is a file in Wine's registry format in `folder`
// (user.reg for CurrentUser, system.reg for LocalMachine), rewritten atomically on every write.
std::unique_ptr<SettingsStore> makeRegistryFileStore(const std::filesystem::path& folder);

// Linux: $XDG_CONFIG_HOME/orbisto, or ~/.config/orbisto when XDG_CONFIG_HOME is unset or empty.
// Windows: %APPDATA%\Orbisto.
std::filesystem::path defaultSettingsFolder();

// The settings store of this system: the registry on Windows, the file store in
// defaultSettingsFolder() on Linux.
std::unique_ptr<SettingsStore> makeSystemSettingsStore();

} // namespace orbisto::platform
