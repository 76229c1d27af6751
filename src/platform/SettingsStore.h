#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace orbisto::platform {

// The two hives of the settings store (the Windows registry).
enum class Hive { CurrentUser, LocalMachine };

// The program's own keys in the machine-wide hive, as a key path without its leading backslash.
// A standard user may not write HKEY_LOCAL_MACHINE, so the Windows store keeps these values per
// user as well: reads look first in HKEY_CURRENT_USER under the same path, then in the copies of
// registry virtualization, then in HKEY_LOCAL_MACHINE (its 32-bit view first); a write goes to both
// hives and fails only when both refuse it.
inline constexpr std::string_view kProgramKeys = "SOFTWARE\\VESKO";

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
    virtual void writeText(Hive hive, std::string_view keyPath, std::string_view valueName, std::string_view value) = 0;
};

// Linux store: each hive is a file in Wine's registry format in `folder`
// (user.reg for CurrentUser, system.reg for LocalMachine), rewritten atomically on every write.
std::unique_ptr<SettingsStore> makeRegistryFileStore(const std::filesystem::path& folder);

// Linux: $XDG_CONFIG_HOME/orbisto, or ~/.config/orbisto when XDG_CONFIG_HOME is unset or empty.
// Windows: %APPDATA%\Orbisto.
std::filesystem::path defaultSettingsFolder();

// The settings store of this system: the registry on Windows (with the per-user copy of
// kProgramKeys), the file store in defaultSettingsFolder() on Linux.
std::unique_ptr<SettingsStore> makeSystemSettingsStore();

} // namespace orbisto::platform
