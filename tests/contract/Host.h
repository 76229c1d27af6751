#pragma once

// What the shared platform tests need from the system they run on, one implementation per
// system (linux/Host.cpp, windows/Host.cpp): ways to make hidden, system and read-only entries,
// and a settings store over a fresh, empty part of the system's settings.

#include "platform/SettingsStore.h"

#include <filesystem>
#include <memory>
#include <string>

namespace orbisto::test::host {

namespace fs = std::filesystem;

// "Linux" or "Windows"; printed with the number of shared cases.
const char* layerName();
// True for the Windows layer running under Wine.
bool underWine();

// Writes a file that scans skip as hidden (Linux: its name starts with "."; Windows: the hidden
// attribute) and returns its path.
fs::path makeHiddenFile(const fs::path& folder, const std::string& name);
// Makes an entry that stands for a system entry (Linux: a named pipe; Windows: a file with the
// system attribute).
void makeSystemEntry(const fs::path& path);
void makeReadOnly(const fs::path& file);
bool isReadOnly(const fs::path& file);
// Opens `file` the way a running game holds its frames, until the returned holder goes: Windows shares
// reading and writing but not deletion; Linux has no such hold and only keeps the file open.
std::shared_ptr<void> holdWithoutDeleteSharing(const fs::path& file);
// True where such a hold refuses renames of the file (Windows).
bool holdsRefuseRenames();

// A settings store whose keys below root() start out empty, cleared again at the end.
class Settings {
public:
    virtual ~Settings() = default;
    virtual platform::SettingsStore& store() = 0;
    // A new store over the same settings (what the next start of the program sees).
    virtual std::unique_ptr<platform::SettingsStore> reopened() = 0;
    // "Software\<unique name>"; every key the tests use lies below it.
    virtual const std::string& root() const = 0;
    // True once anything exists below root() in that hive.
    virtual bool anythingStored(platform::Hive hive) = 0;
    // Stores values of other types in `key`: "Count" (a number), "Binary" (bytes), "Multi" (a list
    // of texts) and "Expand" (expandable text "%TEMP%\x").
    virtual void storeTypedValues(platform::Hive hive, const std::string& key) = 0;
    // Makes every later write into keys below `key` fail.
    virtual void refuseWritesBelow(platform::Hive hive, const std::string& key) = 0;
};

std::unique_ptr<Settings> makeSettings();

} // namespace orbisto::test::host
