#pragma once

#include "platform/InstallRecords.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Wine prefixes on a Linux desktop: where they are, and how a Windows path inside one maps to a
// Linux folder. Only reads: a running wineserver rewrites a prefix's registry files at any time.
namespace orbisto::platform::wine {

using Path = std::filesystem::path;

// The parts of the environment that say where prefixes live.
struct Environment {
    Path home;       // $HOME
    Path dataHome;   // $XDG_DATA_HOME, else ~/.local/share
    Path winePrefix; // $WINEPREFIX; empty when unset

    static Environment fromProcess();
};

// The `prefix:` of a Lutris game file (YAML), a leading "~" expanded with `home`; empty when none.
Path lutrisPrefix(std::string_view gameFile, const Path& home);

// Every prefix (a folder holding user.reg), in search order: $WINEPREFIX, ~/.wine, the bottles of
// Bottles (native, then Flatpak), PlayOnLinux, CrossOver, ~/Games, Steam's compatdata/<id>/pfx
// (~/.steam/steam, then ~/.local/share/Steam), then the prefixes named by Lutris game files
// (~/.config/lutris/games, then $XDG_DATA_HOME/lutris/games). Inside one container in name order;
// a folder reached twice (through a link, or named twice) is listed once.
std::vector<Path> prefixes(const Environment& environment);

// The Linux folder of a Windows path inside `prefix`: "X:\a\b" is <prefix>/dosdevices/x:/a/b, where
// c: falls back to <prefix>/drive_c when its link is missing, and each part matches exactly or else
// case-insensitively. The real path (links resolved), ending in "/"; nothing for a UNC or relative
// path or a folder that does not exist.
std::optional<std::string> folderOf(const Path& prefix, std::string_view windowsPath);

// The search of InstallRecords over the prefixes of `environment`: in each prefix user.reg, then
// system.reg under the same key and under Software\Wow6432Node; each file read at most once.
std::unique_ptr<InstallRecords> makePrefixSearch(Environment environment);

} // namespace orbisto::platform::wine
