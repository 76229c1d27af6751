#pragma once

#include <filesystem>

#include "app/SharedState.h"
#include "platform/FileSystem.h"

namespace orbisto {

namespace platform {
class FileSystem;
class InstallRecords;
class SettingsStore;
} // namespace platform

class UserInterface;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm6;
class TForm7;

// The single instance of each window; every window can reach every other one through here.
struct Forms {
    TForm1* form1 = nullptr;
    TForm2* form2 = nullptr;
    TForm3* form3 = nullptr;
    TForm4* form4 = nullptr;
    TForm6* form6 = nullptr;
    TForm7* form7 = nullptr;
};

// What the windows share: the platform services, the user-interface seam, where the program runs
// from, the shared state and the windows themselves. Tests build one over temporary folders.
struct AppContext {
    platform::SettingsStore& settings;
    platform::FileSystem& fs;
    UserInterface& ui;
    std::filesystem::path executablePath; // AppFolder is its folder
    std::filesystem::path workingFolder;  // where "logo.jpg" and "ReadMe.txt" are looked for first
    SharedState state{};
    Forms forms{};
    // Game folders recorded outside the settings store (Wine prefixes); none searched when null.
    const platform::InstallRecords* installRecords = nullptr;
    // Where archives are unpacked, each into a private folder of its own.
    std::filesystem::path tempFolder = platform::temporaryFolder();
};

} // namespace orbisto
