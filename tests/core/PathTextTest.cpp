// The seam between the program's UTF-8 text and file names: names with letters of any language
// go to the file system and come back from its scans as the same text, on every layer.
#include "platform/PathText.h"

#include "platform/FileSystem.h"
#include "platform/IniProfile.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace orbisto::platform {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

// "Łódź", "Café", "Żubr", "Łoś", "Piłka nożna", "Ελλάδα" and a name beyond the BMP ("⚽" is in it, "𝄞" not).
const std::string kNames[] = {"\xC5\x81\xC3\xB3\x64\xC5\xBA",
                              "Caf\xC3\xA9",
                              "\xC5\xBBubr",
                              "\xC5\x81o\xC5\x9B",
                              "Pi\xC5\x82ka no\xC5\xBCna",
                              "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1",
                              "Ball \xE2\x9A\xBD \xF0\x9D\x84\x9E"};

TEST(PathText, namesOfAnyLanguageRoundTripThroughPathsAndTheFileSystem) {
    TempFolder temp;
    FileSystem& files = localFileSystem();
    for (const std::string& name : kNames) {
        EXPECT_EQ(toText(toPath(name)), name);
        // The path holds the characters, not the bytes read one by one.
        EXPECT_EQ(toPath(name).u8string().size(), name.size());

        const fs::path folder = temp.path() / toPath(name);
        files.createFolder(folder);
        files.writeNewFile(folder / toPath(name + ".png"), std::vector<std::uint8_t>{1, 2, 3});
        EXPECT_TRUE(files.isPlainFile(folder / toPath(name + ".png"))) << name;
        const auto entries = files.scanFolder(folder, "*.png");
        ASSERT_EQ(entries.size(), 1u) << name;
        EXPECT_EQ(entries[0].name, name + ".png");
        files.copyFile(folder / toPath(name + ".png"), folder / toPath(name + " 2.png"));
        files.rename(folder / toPath(name + " 2.png"), folder / toPath(name + " 3.png"));
        EXPECT_EQ(files.readFile(folder / toPath(name + " 3.png")), (std::vector<std::uint8_t>{1, 2, 3})) << name;

        writeProfileString(folder / "tst.ini", "Sys", "Name", name);
        EXPECT_EQ(readProfileString(folder / "tst.ini", "Sys", "Name"), name);
    }
    std::vector<std::string> listed;
    for (const FolderEntry& entry : files.scanFolder(temp.path(), "*.")) {
        listed.push_back(entry.name);
    }
    std::vector<std::string> expected(std::begin(kNames), std::end(kNames));
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
}

TEST(PathText, pathsLongerThan260CharactersWork) {
    TempFolder temp;
    FileSystem& files = localFileSystem();
    fs::path folder = temp.path();
    // Eight levels of 40 characters: far past the 260 characters of the old Windows limit.
    for (int level = 0; level < 8; ++level) {
        folder /= toPath(std::string(38, static_cast<char>('a' + level)) + "\xC3\xA9");
    }
    files.createFolders(folder);
    ASSERT_TRUE(files.folderExists(folder));
    ASSERT_GT(toText(folder).size(), 300u);
    const fs::path frame = folder / "ball_11.png";
    files.writeNewFile(frame, std::vector<std::uint8_t>{7, 8});
    files.copyFile(frame, folder / "ball_12.png");
    EXPECT_EQ(files.readFile(folder / "ball_12.png"), (std::vector<std::uint8_t>{7, 8}));
    EXPECT_EQ(files.scanFolder(folder, "*.png").size(), 2u);
    writeProfileString(folder / "tst.ini", "Sys", "Auth", "1");
    EXPECT_EQ(readProfileString(folder / "tst.ini", "Sys", "Auth"), "1");
    files.removeTree(temp.path() / toPath(std::string(38, 'a') + "\xC3\xA9"));
    EXPECT_FALSE(files.folderExists(folder));
}

// A folder from Qt's chooser comes with "/"; the settings store gets it the way the system writes it.
TEST(PlatformPathText, nativeSeparatorsAreTheSystemsAndKeepEverythingElse) {
    const std::string chosen = "C:/Gry/Mened\xC5\xBC"
                               "er 2006/data\\skins/";
    if constexpr (std::filesystem::path::preferred_separator == '\\') {
        EXPECT_EQ(withNativeSeparators(chosen), "C:\\Gry\\Mened\xC5\xBC"
                                                "er 2006\\data\\skins\\");
        EXPECT_EQ(withNativeSeparators("//server/share/FM"), "\\\\server\\share\\FM");
    } else {
        EXPECT_EQ(withNativeSeparators(chosen), chosen);
        EXPECT_EQ(withNativeSeparators("/home/gracz/Gry/FM 2006"), "/home/gracz/Gry/FM 2006");
    }
    EXPECT_EQ(withNativeSeparators(""), "");
}

} // namespace
} // namespace orbisto::platform
