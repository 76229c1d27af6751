#pragma once

#include "support/TempFolder.h"

#include <string>
#include <string_view>

// Wine prefixes for tests, laid out as Wine lays them out, with registry files in Wine's format.
namespace orbisto::test::wine {

// A registry file: Wine's signature line, then the keys as given.
inline std::string hive(std::string_view keys) {
    return "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n\n" +
           std::string(keys);
}

// The key of a game ("Football Manager 2006") under `root` ("Software", "Software\\Wow6432Node")
// with its "Path" written as Wine writes it (backslashes doubled; other escapes as given).
inline std::string gameKey(std::string_view game, std::string_view windowsPath, std::string_view root = "Software") {
    std::string path;
    for (const char c : windowsPath) {
        path += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    std::string rootWritten;
    for (const char c : root) {
        rootWritten += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    return "[" + rootWritten + "\\\\Sports Interactive Ltd\\\\Installs\\\\" + std::string(game) +
           "] 1796710508\n#time=1dd86db793697cc\n\"Path\"=\"" + path + "\"\n\n";
}

// A prefix in `folder` with the given user.reg (and system.reg when not empty), and the usual
// dosdevices links: c: to ../drive_c, z: to /.
inline void makePrefix(const fs::path& folder, std::string_view userReg, std::string_view systemReg = {}) {
    fs::create_directories(folder / "dosdevices");
    fs::create_directories(folder / "drive_c");
    fs::create_symlink("../drive_c", folder / "dosdevices/c:");
    fs::create_symlink("/", folder / "dosdevices/z:");
    writeFile(folder / "user.reg", userReg);
    if (!systemReg.empty()) {
        writeFile(folder / "system.reg", systemReg);
    }
}

} // namespace orbisto::test::wine
