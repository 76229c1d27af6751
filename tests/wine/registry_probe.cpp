// Reads or writes one text value through the settings store of this system, so that a script can
// check the store against the system's own registry tool (`wine reg query`, `wine reg add`):
//   registry_probe read HKCU|HKLM <key> <value name>           prints the text
//   registry_probe write HKCU|HKLM <key> <value name> <text>
// A failure prints the store's error text and exits with 1.
#include "platform/Errors.h"
#include "platform/SettingsStore.h"

#include <iostream>
#include <string_view>

int main(int argc, char** argv) {
    using orbisto::platform::Hive;
    const std::string_view action = argc > 1 ? argv[1] : "";
    const std::string_view hiveName = argc > 2 ? argv[2] : "";
    if (!((action == "read" && argc == 5) || (action == "write" && argc == 6)) ||
        (hiveName != "HKCU" && hiveName != "HKLM")) {
        std::cerr << "usage: registry_probe read|write HKCU|HKLM <key> <value name> [text]\n";
        return 2;
    }
    const Hive hive = hiveName == "HKCU" ? Hive::CurrentUser : Hive::LocalMachine;
    try {
        auto store = orbisto::platform::makeSystemSettingsStore();
        if (action == "read") {
            std::cout << store->readText(hive, argv[3], argv[4]) << std::endl;
        } else {
            store->writeText(hive, argv[3], argv[4], argv[5]);
        }
    } catch (const orbisto::Error& error) {
        std::cout << error.what() << std::endl;
        return 1;
    }
    return 0;
}
