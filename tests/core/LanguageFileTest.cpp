#include "i18n/LanguageFile.h"

#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace orbisto;
using namespace orbisto::test;

TEST(LanguageFileApply, eachKeyReadAfreshRightBeforeItIsApplied) {
    TempFolder temp;
    const fs::path file = i18n::languageFile((temp / "app").string() + "/", "English");
    writeFile(file, "[lang]\nGroupBox31=Paths\nform4=Settings\n");
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

TEST(LanguageList, iniFilesOnly_lastExtensionRemoved_emptyWithoutFolder) {
    TempFolder temp;
    const std::string program = (temp / "app").string() + "/";
    EXPECT_TRUE(i18n::listLanguages(platform::localFileSystem(), program).empty());
    EXPECT_TRUE(i18n::listLanguages(platform::localFileSystem(), "").empty());
    for (const char* name : {"English.ini", "Deutsch.old.ini", "POLSKI.INI", ".Hidden.ini", "notes.txt"}) {
        writeFile(temp / "app/Languages" / name, "[lang]\n");
    }
    fs::create_directories(temp / "app/Languages/Folder.ini");
    EXPECT_EQ(i18n::listLanguages(platform::localFileSystem(), program),
              (std::vector<std::string>{"Deutsch.old", "English", "POLSKI"}));
}

TEST(ShippedLanguages, everyKeyPresentAndNonEmpty) {
    const std::string shipped = std::string(ORBISTO_SOURCE_DIR) + "/data/";
    std::vector<std::string_view> keys{i18n::kNameMessageKey, i18n::kCheckMessageKey, i18n::kBackupMessageKey,
                                       i18n::kLanguageNameKey, i18n::kAuthorKey};
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
        for (std::string_view key : keys) {
            EXPECT_NE(i18n::readLanguageText(i18n::languageFile(shipped, name), key), "") << name << ": " << key;
        }
    }
}
