#include "library/VersionChoice.h"

#include "library/GameFolders.h"
#include "library/ProgramSettings.h"
#include "platform/InstallRecords.h"
#include "platform/PathText.h"
#include "platform/SettingsStore.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace orbisto::library {
namespace {

using platform::Hive;

// A settings store in memory: key paths and value names compared without case, as the real stores
// do, and every write kept with the spelling it was given.
class MemoryStore : public platform::SettingsStore {
public:
    using Place = std::tuple<Hive, std::string, std::string>;

    std::string readText(Hive hive, std::string_view keyPath, std::string_view valueName) const override {
        const auto found = values.find(placeOf(hive, keyPath, valueName));
        return found == values.end() ? std::string() : found->second;
    }
    void writeText(Hive hive, std::string_view keyPath, std::string_view valueName, std::string_view value) override {
        values[placeOf(hive, keyPath, valueName)] = std::string(value);
        written.emplace_back(hive, std::string(keyPath), std::string(valueName));
    }

    std::map<Place, std::string> values;
    std::vector<Place> written;

private:
    static Place placeOf(Hive hive, std::string_view keyPath, std::string_view valueName) {
        std::string key(keyPath);
        if (!key.starts_with('\\')) {
            key.insert(0, 1, '\\');
        }
        return {hive, lowered(key), lowered(valueName)};
    }
    static std::string lowered(std::string_view text) {
        std::string result(text);
        std::transform(result.begin(), result.end(), result.begin(),
                       [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c); });
        return result;
    }
};

// Answers every version asked for with a folder in a Wine prefix.
class WineRecords : public platform::InstallRecords {
public:
    std::vector<std::optional<platform::RecordedFolder>> find(std::span<const std::vector<std::string>> keySets,
                                                              std::string_view) const override {
        std::vector<std::optional<platform::RecordedFolder>> found;
        for (const auto& keys : keySets) {
            found.push_back(platform::RecordedFolder{"/wine/" + keys.front().substr(keys.front().size() - 4) + "/",
                                                     "/home/player/.wine"});
        }
        return found;
    }
};

std::array<GameFolder, kVersionCount> foldersOf(const std::array<std::string, kVersionCount>& texts) {
    std::array<GameFolder, kVersionCount> folders{};
    for (std::size_t i = 0; i < kVersionCount; ++i) {
        if (!texts[i].empty()) {
            folders[i] = {texts[i], FolderOrigin::Installer, {}};
        }
    }
    return folders;
}

// The choice as the main window shows it: each button (X checked, x checked but disabled, o enabled,
// - disabled), then the game folder.
std::string shown(const VersionChoice& choice) {
    std::string text;
    for (std::size_t i = 0; i < kVersionCount; ++i) {
        const bool checked = choice.chosen == i;
        text += checked ? (choice.enabled[i] ? 'X' : 'x') : (choice.enabled[i] ? 'o' : '-');
    }
    return text + " [" + choice.gameFolder + "]";
}

TEST(VersionChoice, foldersFoundAndStoredChoice_decideButtonsAndGameFolder) {
    const struct {
        std::array<std::string, kVersionCount> folders;
        std::optional<std::size_t> stored;
        std::string expected;
    } cases[] = {
        {{}, std::nullopt, "-x- []"},                   // nothing found: FM 2006 stays checked
        {{}, 2, "--x []"},                              // a stored choice is checked even so
        {{"/g/a", "", ""}, std::nullopt, "X-- [/g/a]"}, // the one found
        {{"", "/g/b", ""}, std::nullopt, "-X- [/g/b]"},
        {{"/g/a", "/g/b", "/g/c"}, std::nullopt, "ooX [/g/c]"}, // the last found
        {{"/g/a", "/g/b", "/g/c"}, 0, "Xoo [/g/a]"},            // the stored choice
        {{"/g/a", "/g/b", ""}, 2, "oox [/g/b]"},                // a stored version without a folder
        {{"", "/g/b", ""}, 0, "xo- [/g/b]"},
        {{"/g/same", "/g/same", ""}, 0, "Xo- [/g/same]"}, // two versions sharing a folder
    };
    for (const auto& c : cases) {
        const VersionChoice choice = chooseVersion(foldersOf(c.folders), c.stored);
        EXPECT_EQ(shown(choice), c.expected) << c.folders[0] << "|" << c.folders[1] << "|" << c.folders[2] << " stored "
                                             << (c.stored ? std::to_string(*c.stored) : std::string("none"));
        for (std::size_t i = 0; i < kVersionCount; ++i) {
            EXPECT_EQ(choice.folders[i].folder, c.folders[i]);
        }
    }
}

TEST(VersionChoice, fromTheStore_installerBeforeSettingsBeforeWine_storedTextMatchedExactly) {
    MemoryStore store;
    const WineRecords wine;
    const auto& versions = gameVersions();
    store.writeText(Hive::CurrentUser, versions[0].gameKeys[0], kFolderValue, "/games/fm2005");
    store.writeText(Hive::LocalMachine, versions[0].fallbackKey, kFolderValue, "/chosen/fm2005");
    writeVersionFolder(store, 1, "/chosen/fm2006");
    // Stored as the system writes paths.
    const std::string chosen = platform::withNativeSeparators("/chosen/fm2006");

    VersionChoice choice = chooseVersion(store, &wine);
    const std::tuple<std::string, FolderOrigin, std::string> expected[] = {
        {"/games/fm2005", FolderOrigin::Installer, ""},
        {chosen, FolderOrigin::Settings, ""},
        {"/wine/2007/", FolderOrigin::WinePrefix, "/home/player/.wine"}};
    for (std::size_t i = 0; i < kVersionCount; ++i) {
        const GameFolder& folder = choice.folders[i];
        EXPECT_EQ(std::tuple(folder.folder, folder.origin, folder.prefix), expected[i]) << i;
    }
    EXPECT_EQ(shown(choice), "ooX [/wine/2007/]");

    // Without the search FM 2007 has no folder; the stored choice counts only when it is a version's text.
    const std::pair<std::string, std::string> stored[] = {
        {"2005", "Xo- [/games/fm2005]"},      {"2006", "oX- [" + chosen + "]"},    {"2007", "oox [" + chosen + "]"},
        {"2005 ", "oX- [" + chosen + "]"}, {"FM 2005", "oX- [" + chosen + "]"}, {"", "oX- [" + chosen + "]"}};
    for (const auto& [text, expectedShown] : stored) {
        store.values[{Hive::LocalMachine, "\\software\\vesko\\zvk3\\radio", "value"}] = text;
        EXPECT_EQ(shown(chooseVersion(store, nullptr)), expectedShown) << "stored '" << text << "'";
    }
}

// Other programs and earlier versions of Orbisto read these values: their keys and names never change.
TEST(ProgramSettings, eachValueWrittenWhereItHasAlwaysBeen_andReadBack) {
    MemoryStore store;
    EXPECT_EQ(readLanguage(store), "English");
    EXPECT_EQ(readChosenVersion(store), std::nullopt);
    EXPECT_EQ(readVersionFolder(store, 2), "");

    writeLanguage(store, "Polski");
    writeChosenVersion(store, 0);
    writeVersionFolder(store, 0, "/g/a");
    writeVersionFolder(store, 1, "/g/b");
    writeVersionFolder(store, 2, "/g/c");
    writeChosenVersion(store, std::nullopt);
    const std::vector<MemoryStore::Place> expected = {
        {Hive::LocalMachine, "\\SOFTWARE\\VESKO\\ZVK\\Lang", "lang"},
        {Hive::LocalMachine, "\\SOFTWARE\\VESKO\\zvk3\\radio", "value"},
        {Hive::LocalMachine, "\\SOFTWARE\\VESKO\\zvk3\\path\\fm2005", "Path"},
        {Hive::LocalMachine, "\\SOFTWARE\\VESKO\\zvk3\\path\\fm2006", "Path"},
        {Hive::LocalMachine, "\\SOFTWARE\\VESKO\\zvk3\\path\\fm2007", "Path"},
        {Hive::LocalMachine, "\\SOFTWARE\\VESKO\\zvk3\\radio", "value"},
    };
    EXPECT_EQ(store.written, expected);
    EXPECT_EQ(readLanguage(store), "Polski");
    EXPECT_EQ(readVersionFolder(store, 1), platform::withNativeSeparators("/g/b"));
    // No version chosen stores the empty text.
    EXPECT_EQ(store.readText(Hive::LocalMachine, "\\SOFTWARE\\VESKO\\zvk3\\radio", "value"), "");
    for (std::size_t i = 0; i < kVersionCount; ++i) {
        writeChosenVersion(store, i);
        EXPECT_EQ(readChosenVersion(store), i);
    }
    EXPECT_EQ(store.readText(Hive::LocalMachine, "\\SOFTWARE\\VESKO\\zvk3\\radio", "value"), "2007");
}

TEST(VersionChoice, versionNameOfGameFolder_checkedVersionFirst) {
    const std::array<std::string, kVersionCount> folders{"/g/a", "/g/shared", "/g/shared"};
    EXPECT_EQ(versionNameOf(folders, std::nullopt, "/g/shared"), "FM 2006");
    EXPECT_EQ(versionNameOf(folders, 2, "/g/shared"), "FM 2007");
    EXPECT_EQ(versionNameOf(folders, 0, "/g/shared"), "FM 2006"); // the checked version is elsewhere
    EXPECT_EQ(versionNameOf(folders, 1, "/g/a"), "FM 2005");
    EXPECT_EQ(versionNameOf(folders, 0, "/g/other"), "FM");
}

} // namespace
} // namespace orbisto::library
