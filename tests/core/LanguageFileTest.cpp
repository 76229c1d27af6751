#include "i18n/LanguageFile.h"

#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace orbisto;
using namespace orbisto::test;

namespace {

std::string programFolder(const TempFolder& temp) {
    return (temp / "app").string() + "/";
}

fs::path writeLanguage(const TempFolder& temp, const std::string& name, std::string_view text) {
    const fs::path file = i18n::languageFile(programFolder(temp), name);
    writeFile(file, text);
    return file;
}

} // namespace

TEST(LanguageFileRead, missingFileOrKeyGivesFallback_emptyValueStaysEmpty) {
    TempFolder temp;
    const fs::path file = writeLanguage(temp, "English", "[lang]\nnamemsg=\n");
    EXPECT_EQ(file, fs::path(programFolder(temp) + "Languages/English.ini"));
    EXPECT_EQ(i18n::readLanguageText(file, i18n::kNameMessageKey, i18n::kDefaultNameMessage), "");
    EXPECT_EQ(i18n::readLanguageText(file, i18n::kCheckMessageKey, i18n::kDefaultCheckMessage),
              i18n::kDefaultCheckMessage);
    const fs::path missing = i18n::languageFile(programFolder(temp), "Klingon");
    EXPECT_EQ(i18n::readLanguageText(missing, i18n::kNameMessageKey, i18n::kDefaultNameMessage),
              i18n::kDefaultNameMessage);
    EXPECT_EQ(i18n::readLanguageText(missing, "install"), "");
}

TEST(LanguageFileApply, eachKeyReadAfreshRightBeforeItIsApplied) {
    TempFolder temp;
    const fs::path file = writeLanguage(temp, "English", "[lang]\nGroupBox31=Paths\nform4=Settings\n");
    std::vector<std::pair<std::string, std::string>> applied;
    i18n::applyLanguageTexts(file, i18n::settingsWindowTexts(),
                             [&](const i18n::LanguageText& text, const std::string& value) {
                                 applied.emplace_back(std::string(text.key), value);
                                 // An edit between two keys shows in the next key.
                                 writeFile(file, "[lang]\nGroupBox31=Folders\nform4=Options\n");
                             });
    const std::vector<std::pair<std::string, std::string>> expected{{"GroupBox31", "Paths"}, {"form4", "Options"}};
    EXPECT_EQ(applied, expected);
}

TEST(LanguageList, iniFilesOnly_lastExtensionRemoved) {
    TempFolder temp;
    const fs::path languages = temp / "app/Languages";
    writeFile(languages / "English.ini", "[lang]\n");
    writeFile(languages / "Deutsch.old.ini", "[lang]\n");
    writeFile(languages / "POLSKI.INI", "[lang]\n");
    writeFile(languages / ".Hidden.ini", "[lang]\n");
    writeFile(languages / "notes.txt", "x");
    fs::create_directories(languages / "Folder.ini");
    EXPECT_EQ(i18n::listLanguages(platform::localFileSystem(), programFolder(temp)),
              (std::vector<std::string>{"Deutsch.old", "English", "POLSKI"}));
}

TEST(LanguageList, missingFolderOrProgramFolder_emptyList) {
    TempFolder temp;
    EXPECT_TRUE(i18n::listLanguages(platform::localFileSystem(), programFolder(temp)).empty());
    EXPECT_TRUE(i18n::listLanguages(platform::localFileSystem(), "").empty());
}

TEST(ShippedLanguages, everyKeyPresentAndNonEmpty) {
    const std::string shipped = std::string(ORBISTO_SOURCE_DIR) + "/data/";
    std::vector<std::string_view> keys{i18n::kNameMessageKey, i18n::kCheckMessageKey, i18n::kLanguageNameKey,
                                       i18n::kAuthorKey};
    for (auto table : {i18n::mainWindowTexts(), i18n::settingsWindowTexts(), i18n::skinWindowTexts(),
                       i18n::skinPreviewTexts(), i18n::ownBallWindowTexts()}) {
        for (const i18n::LanguageText& text : table) {
            keys.push_back(text.key);
        }
    }
    const std::vector<std::string> names = i18n::listLanguages(platform::localFileSystem(), shipped);
    for (const char* expected : {"English", "Polski", "Deutsch"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
    }
    for (const std::string& name : names) {
        const fs::path file = i18n::languageFile(shipped, name);
        for (std::string_view key : keys) {
            EXPECT_NE(i18n::readLanguageText(file, key), "") << name << ": " << key;
        }
    }
}
