#include "platform/SettingsStore.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace orbisto::platform {

std::filesystem::path defaultSettingsFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && *configHome) {
        return std::filesystem::path(configHome) / "orbisto";
    }
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = ::getpwuid(::getuid());
        home = user ? user->pw_dir : "/";
    }
    return std::filesystem::path(home) / ".config" / "orbisto";
}

std::unique_ptr<SettingsStore> makeSystemSettingsStore() {
    return makeRegistryFileStore(defaultSettingsFolder());
}

} // namespace orbisto::platform
