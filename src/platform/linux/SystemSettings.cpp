#include "platform/PathText.h"
#include "platform/SettingsStore.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace orbisto::platform {

std::filesystem::path defaultSettingsFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && *configHome) {
        return toPath(configHome) / "orbisto";
    }
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = ::getpwuid(::getuid());
        home = user ? user->pw_dir : "/";
    }
    return toPath(home) / ".config" / "orbisto";
}

std::unique_ptr<SettingsStore> makeSystemSettingsStore() {
    return makeRegistryFileStore(defaultSettingsFolder());
}

} // namespace orbisto::platform
