#include "library/GameFolders.h"
#include "platform/linux/HiveSearch.h"
#include "platform/InstallRecords.h"
#include "platform/SettingsStore.h"
#include "platform/linux/WinePrefixes.h"
#include "support/WinePrefixMaker.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

using namespace orbisto;
using namespace orbisto::test;
namespace wineprefix = orbisto::platform::wine;

namespace {

const fs::path kFixtures = fs::path(ORBISTO_SHARED_TESTDATA) / "wine";
const std::string kInstalls = "Software\\Sports Interactive Ltd\\Installs\\Football Manager ";
const std::string kPolishFolder = "C:\\Gry\\Menedżer Piłkarski 2005";
const std::string kFm2006Folder = "C:\\Program Files\\Sports Interactive\\Football Manager 2006";

using Texts = std::vector<std::optional<std::string>>;

Texts findTexts(std::string_view hive, const std::vector<std::string>& keys, std::string_view value = "Path") {
    return platform::findHiveTexts(hive, keys, value);
}

std::string real(const fs::path& folder) {
    return fs::canonical(folder).string() + "/";
}

} // namespace

TEST(HiveSearch, fixtureKeys_decodedWithWineEscapes_missingAndNonTextGiveNothing) {
    const std::string user = readText(kFixtures / "user.reg");
    const Texts texts =
        findTexts(user, {kInstalls + "2005", "\\SOFTWARE\\sports interactive ltd\\INSTALLS\\Football Manager 2006",
                         kInstalls + "2007", kInstalls + "2007 Gold Demo"});
    EXPECT_EQ(texts, (Texts{kPolishFolder, kFm2006Folder, "D:\\Games\\FM 2007", std::nullopt}));
    EXPECT_EQ(findTexts(user, {kInstalls + "2005"}, "version"), Texts{std::nullopt}); // a dword
    EXPECT_EQ(findTexts(user, {kInstalls + "2006"}, "PATH"), Texts{kFm2006Folder});

    // The machine hive of the same prefix: 1.7 MB, one key found among thousands, others missing.
    const std::string system = readText(kFixtures / "system.reg");
    EXPECT_EQ(findTexts(system, {kInstalls + "2006", "Software\\Borland\\Database Engine\\Settings\\SYSTEM\\INIT"},
                        "SHAREDMEMLOCATION"),
              (Texts{std::nullopt, "9000"}));
}

TEST(HiveSearch, valueForms_escapesAndKeyNames) {
    struct Case {
        const char* keys;
        const char* wanted;
        std::optional<std::string> text;
    } cases[] = {
        {"[Software\\\\A]\n\"Path\"=str(2):\"C:\\\\FM\"\n", "Software\\A", "C:\\FM"},
        {"[Software\\\\A]\n\"Path\"=\"say \\\"hi\\\"\"\n", "Software\\A", "say \"hi\""},
        // Four hex digits at most: the "e" after 017c is a letter.
        {"[Software\\\\A]\n\"Path\"=\"Mened\\x017cer\"\n", "Software\\A", "Menedżer"},
        {"[Software\\\\A]\n\"Path\"=\"\\xd83d\\xde00\"\n", "Software\\A", "\xF0\x9F\x98\x80"},
        {"[Software\\\\A]\n\"Path\"=hex(2):43,00,3a,00,\\\n  5c,00,00,00\n", "Software\\A", "C:\\"},
        {"[Software\\\\A]\n\"Path\"=\"a\\0b\"\n", "Software\\A", "a"},
        {"[Software\\\\A]\n\"Path\"=dword:00000001\n", "Software\\A", std::nullopt},
        {"[Software\\\\A]\n\"Path\"=\"unterminated\n", "Software\\A", std::nullopt},
        // Names written with escapes or in another case are decoded and compared without case.
        {"[Software\\\\Gry\\\\Mened\\x017cer]\n\"Path\"=\"x\"\n", "software\\GRY\\MENEDŻER", "x"},
        {"[\\\\Software\\\\A\\\\]\n\"Path\"=\"x\"\n", "Software\\A", "x"},
        {"[Software\\\\A\\\\B]\n\"Path\"=\"x\"\n", "Software\\A", std::nullopt},
        // The first key of a name counts; a value of the next key is not taken; "[" inside a value is no key.
        {"[Software\\\\A]\n\"Other\"=\"1\"\n\n[software\\\\a]\n\"Path\"=\"x\"\n", "Software\\A", std::nullopt},
        {"[Software\\\\A]\n\"Other\"=\"[Software\\\\B]\"\n\n[Software\\\\B]\n\"Path\"=\"b\"\n", "Software\\B", "b"},
        {"[Software\\\\A]\r\n\"Path\"=\"crlf\"\r\n", "Software\\A", "crlf"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(findTexts(wine::hive(c.keys), {c.wanted}), Texts{c.text}) << c.keys;
    }
    EXPECT_EQ(findTexts("not a registry\n[Software\\\\A]\n\"Path\"=\"x\"\n", {"Software\\A"}), Texts{std::nullopt});
    EXPECT_EQ(findTexts("", {"Software\\A"}), Texts{std::nullopt});
}

// Cut anywhere, the fixture gives each value whole or not at all.
TEST(HiveSearch, truncatedFile_givesWholeValuesOrNothing) {
    const std::string user = readText(kFixtures / "user.reg");
    const std::vector<std::string> keys{kInstalls + "2005", kInstalls + "2006", kInstalls + "2007"};
    const Texts whole = findTexts(user, keys);
    const std::size_t from = user.find("[Software\\\\Sports") - 40;
    const std::size_t to = user.find("[Software\\\\Wine\\\\AppDefaults]");
    for (std::size_t size = 0; size < user.size(); size += size >= from && size <= to ? 1 : 97) {
        const Texts texts = findTexts(std::string_view(user).substr(0, size), keys);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            ASSERT_TRUE(!texts[i] || texts[i] == whole[i]) << "cut at " << size;
        }
    }
}

// Only some blocks of a file are looked at: a key is found in any case wherever it stands, also
// close to the end of the file.
TEST(HiveSearch, keyFoundAtEveryOffset) {
    for (const std::size_t after : {0, 500}) {
        for (std::size_t pad = 0; pad < 80; ++pad) {
            const std::string hive = wine::hive(
                "[Software\\\\Filler]\n\"x\"=\"" + std::string(pad, 'v') +
                "\"\n\n[SOFTWARE\\\\SPORTS INTERACTIVE LTD\\\\INSTALLS\\\\FOOTBALL MANAGER 2006]\n\"Path\"=\"C:\"\n" +
                std::string(after, '\n'));
            EXPECT_EQ(findTexts(hive, {kInstalls + "2005", kInstalls + "2006"}), (Texts{std::nullopt, "C:"}))
                << "pad " << pad << ", after " << after;
        }
    }
}

TEST(WinePrefixPath, mapsThroughDosDevices_caseInsensitively_toTheRealFolder) {
    TempFolder temp;
    const fs::path prefix = temp / "prefix";
    wine::makePrefix(prefix, wine::hive(""));
    fs::create_directories(prefix / "drive_c/program files/SPORTS INTERACTIVE/football manager 2006");
    fs::create_directories(prefix / "drive_c/GRY/MENEDŻER PIŁKARSKI 2005");
    fs::create_directories(temp / "disk-d/Games/FM 2007");
    fs::create_directory_symlink(temp / "disk-d", prefix / "dosdevices/d:");
    fs::create_directory_symlink(temp / "nowhere", prefix / "dosdevices/e:");
    writeFile(prefix / "drive_c/a file", "x");

    const std::string fm2006 = real(prefix / "drive_c/program files/SPORTS INTERACTIVE/football manager 2006");
    const struct {
        std::string windowsPath;
        std::optional<std::string> folder;
    } cases[] = {
        {kFm2006Folder, fm2006},
        {"c:/Program Files/Sports Interactive/Football Manager 2006/", fm2006},
        {"C:\\Windows\\..\\Program Files\\.\\Sports Interactive\\\\Football Manager 2006\\", fm2006},
        {kPolishFolder, real(prefix / "drive_c/GRY/MENEDŻER PIŁKARSKI 2005")},
        {"D:\\games\\fm 2007", real(temp / "disk-d/Games/FM 2007")},
        {"C:", real(prefix / "drive_c")},
        {"E:\\Games", std::nullopt}, // a dangling link
        {"F:\\Games", std::nullopt}, // no such drive
        {"C:\\Program Files\\Sports Interactive\\Football Manager 2007", std::nullopt},
        {"C:\\a file", std::nullopt}, // not a folder
        {"\\\\server\\share\\FM 2006", std::nullopt},
        {"Games\\FM 2006", std::nullopt},
        {"C:Games", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wineprefix::folderOf(prefix, c.windowsPath), c.folder) << c.windowsPath;
    }

    // Without its link, c: is the prefix's drive_c.
    fs::remove(prefix / "dosdevices/c:");
    EXPECT_EQ(wineprefix::folderOf(prefix, kFm2006Folder), fm2006);
}

TEST(WinePrefixList, everyContainerInOrder_nameOrderInside_eachFolderOnce) {
    TempFolder temp;
    const fs::path home = temp / "home";
    const fs::path data = temp / "data";
    const auto prefix = [](const fs::path& folder) {
        wine::makePrefix(folder, wine::hive(""));
        return folder;
    };
    std::vector<fs::path> expected{
        prefix(temp / "custom"),
        prefix(home / ".wine"),
        prefix(data / "bottles/bottles/a-bottle"),
        prefix(data / "bottles/bottles/b-bottle"),
        prefix(home / ".var/app/com.usebottles.bottles/data/bottles/bottles/flatpak"),
        prefix(home / ".PlayOnLinux/wineprefix/FM2006"),
        prefix(home / ".cxoffice/crossover"),
        prefix(home / "Games/football-manager"),
    };
    fs::create_directories(home / ".cxoffice/not-a-prefix"); // no user.reg
    prefix(home / ".local/share/Steam/steamapps/compatdata/400/pfx");
    prefix(home / ".local/share/Steam/steamapps/compatdata/500/pfx");
    fs::create_directories(home / ".steam");
    fs::create_directory_symlink(home / ".local/share/Steam", home / ".steam/steam");
    expected.push_back(home / ".steam/steam/steamapps/compatdata/400/pfx");
    expected.push_back(home / ".steam/steam/steamapps/compatdata/500/pfx");
    writeFile(home / ".config/lutris/games/b.yml",
              "game:\r\n  exe: x.exe\r\n  prefix: ~/lutris/b # made by Lutris\r\n");
    writeFile(home / ".config/lutris/games/a.yml", "game:\n  prefix: '" + (temp / "elsewhere").string() + "'\n");
    writeFile(home / ".config/lutris/games/c.yml", "game:\n  prefix: ~/.wine\n"); // listed already
    writeFile(data / "lutris/games/d.yml", "game:\n  prefix: \"" + (temp / "lutris #d").string() + "\"\n");
    writeFile(data / "lutris/games/e.yaml.bak", "game:\n  prefix: " + (temp / "ignored").string() + "\n");
    expected.push_back(prefix(temp / "elsewhere"));
    expected.push_back(prefix(home / "lutris/b"));
    expected.push_back(prefix(temp / "lutris #d"));
    prefix(temp / "ignored");

    EXPECT_EQ(wineprefix::prefixes({home, data, temp / "custom"}), expected);
    // Without $WINEPREFIX the search starts at ~/.wine.
    EXPECT_EQ(wineprefix::prefixes({home, data, {}}).front(), home / ".wine");
}

namespace {

// Records which games were asked for and answers with a folder for each.
class RecordingInstallRecords : public platform::InstallRecords {
public:
    std::vector<std::optional<platform::RecordedFolder>> find(std::span<const std::vector<std::string>> keySets,
                                                              std::string_view) const override {
        asked.assign(keySets.begin(), keySets.end());
        std::vector<std::optional<platform::RecordedFolder>> found;
        for (const auto& keys : keySets) {
            found.push_back(platform::RecordedFolder{"/wine/" + keys.front().substr(keys.front().size() - 4) + "/",
                                                     "/home/player/.wine"});
        }
        return found;
    }
    mutable std::vector<std::vector<std::string>> asked;
};

} // namespace

TEST(GameFolders, ownStoreThenFallbackThenWine_wineAskedOnlyForTheRest) {
    TempFolder temp;
    auto store = platform::makeRegistryFileStore(temp / "settings");
    const auto& versions = library::gameVersions();
    RecordingInstallRecords records;
    using library::FolderOrigin;

    store->writeText(platform::Hive::CurrentUser, versions[0].gameKeys[0], "Path", "/games/fm2005");
    store->writeText(platform::Hive::LocalMachine, versions[1].fallbackKey, "Path", "/chosen/fm2006");
    auto folders = library::findGameFolders(*store, &records);
    const std::pair<std::string, FolderOrigin> expected[] = {{"/games/fm2005", FolderOrigin::Installer},
                                                             {"/chosen/fm2006", FolderOrigin::Settings},
                                                             {"/wine/2007/", FolderOrigin::WinePrefix}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(std::pair(folders[i].folder, folders[i].origin), expected[i]) << i;
    }
    EXPECT_EQ(folders[2].prefix, "/home/player/.wine");
    EXPECT_EQ(records.asked,
              std::vector<std::vector<std::string>>{versions[2].gameKeys}); // the full game's key, then the demo's

    // Nothing left to look for: no search at all; no search given: the versions stay empty.
    store->writeText(platform::Hive::LocalMachine, versions[2].fallbackKey, "Path", "/chosen/fm2007");
    records.asked = {{"not asked"}};
    library::findGameFolders(*store, &records);
    EXPECT_EQ(records.asked, (std::vector<std::vector<std::string>>{{"not asked"}}));
    folders = library::findGameFolders(*platform::makeRegistryFileStore(temp / "empty"), nullptr);
    EXPECT_EQ(folders[0].origin, FolderOrigin::None);
    EXPECT_EQ(folders[0].folder, "");
}

namespace {

struct PrefixHome {
    TempFolder temp;
    fs::path home = temp / "home";
    fs::path data = home / ".local/share";

    std::vector<std::optional<platform::RecordedFolder>> search(const fs::path& winePrefix = {}) const {
        std::vector<std::vector<std::string>> keySets;
        for (const auto& version : library::gameVersions()) {
            keySets.push_back(version.gameKeys);
        }
        return wineprefix::makePrefixSearch({home, data, winePrefix})->find(keySets, "Path");
    }
};

std::optional<std::string> folderIn(const std::optional<platform::RecordedFolder>& found, const fs::path& prefix) {
    if (!found) {
        return std::nullopt;
    }
    EXPECT_EQ(found->origin, prefix.string());
    return found->folder;
}

} // namespace

TEST(WinePrefixSearch, firstPrefixWhoseFolderExistsWins_userHiveBeforeMachineHive) {
    PrefixHome h;
    const fs::path custom = h.temp / "custom";
    const fs::path dotWine = h.home / ".wine";
    const fs::path bottle = h.data / "bottles/bottles/fm";
    const fs::path broken = h.home / ".PlayOnLinux/wineprefix/broken";
    // $WINEPREFIX: FM 2005 there; its FM 2006 folder is missing.
    wine::makePrefix(custom, wine::hive(wine::gameKey("Football Manager 2005", "C:\\FM5") +
                                        wine::gameKey("Football Manager 2006", "C:\\Gone")));
    fs::create_directories(custom / "drive_c/FM5");
    // ~/.wine: FM 2005 too (not taken: $WINEPREFIX comes first) and FM 2006.
    wine::makePrefix(dotWine, wine::hive(wine::gameKey("Football Manager 2005", "C:\\FM5") +
                                         wine::gameKey("Football Manager 2006", "C:\\FM6")));
    fs::create_directories(dotWine / "drive_c/FM5");
    fs::create_directories(dotWine / "drive_c/fm6");
    // A garbled prefix is passed over; then a bottle whose machine hive names the FM 2007 demo, and
    // the full game under Wow6432Node (the full game's key comes first).
    wine::makePrefix(broken, "garbage\n[Software\\\\Sports Interactive Ltd\\\\Installs\\\\Football Manager 2007]\n");
    wine::makePrefix(bottle, wine::hive(wine::gameKey("Football Manager 2006", "C:\\Other")),
                     wine::hive(wine::gameKey("Football Manager 2007 Gold Demo", "C:\\Demo") +
                                wine::gameKey("Football Manager 2007", "C:\\Full", "Software\\Wow6432Node")));
    fs::create_directories(bottle / "drive_c/Demo");
    fs::create_directories(bottle / "drive_c/Full");

    auto found = h.search(custom);
    EXPECT_EQ(folderIn(found[0], custom), real(custom / "drive_c/FM5"));
    EXPECT_EQ(folderIn(found[1], dotWine), real(dotWine / "drive_c/fm6"));
    EXPECT_EQ(folderIn(found[2], bottle), real(bottle / "drive_c/Full"));

    // The user hive is read first: even the demo's key there wins over the machine hive.
    writeFile(bottle / "user.reg", wine::hive(wine::gameKey("Football Manager 2007 Gold Demo", "C:\\Demo")));
    EXPECT_EQ(folderIn(h.search(custom)[2], bottle), real(bottle / "drive_c/Demo"));
    // Without its folders anywhere, nothing is found.
    fs::remove_all(bottle / "drive_c");
    EXPECT_FALSE(h.search(custom)[2]);
}

// Files are searched in pieces of 256 KiB as they are read: a key line across two of them is found
// all the same.
TEST(WinePrefixSearch, keyAcrossThePiecesReadIsFound) {
    PrefixHome h;
    const fs::path prefix = h.home / ".wine";
    const std::string key = wine::gameKey("Football Manager 2006", "C:\\FM6");
    for (const std::size_t before : {1, 20, 60, 100}) {
        std::string padding = wine::hive("[Software\\\\Pad]\n\"v\"=\"");
        padding.append(256 * 1024 - before - padding.size() - 4, 'x');
        padding += "\"\n\n";
        fs::remove_all(prefix);
        wine::makePrefix(prefix, padding + key);
        fs::create_directories(prefix / "drive_c/FM6");
        EXPECT_EQ(folderIn(h.search()[1], prefix), real(prefix / "drive_c/FM6")) << before;
    }
}
