#include "i18n/LanguageFile.h"

#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

using namespace orbisto;
using namespace orbisto::test;

TEST(LanguageFileApply, eachKeyReadAfreshRightBeforeItIsApplied) {
    TempFolder temp;
    const fs::path file = i18n::languageFile((temp / "app").string() + "/", "English");
    writeFile(file, "[lang]\nGroupBox31=Paths\nform4=Settings\n");
    std::vector<std::pair<std::string, std::string>> applied;
    i18n::applyLanguageTexts(file, i18n::windowTexts(i18n::TextWindow::Settings),
                             [&](const i18n::LanguageText& text, const std::string& value) {
                                 applied.emplace_back(std::string(text.key), value);
                                 // An edit between two keys shows in the next key.
                                 writeFile(file, "[lang]\nGroupBox31=Folders\nform4=Options\n");
                             });
    const std::vector<std::pair<std::string, std::string>> expected{{"GroupBox31", "Paths"}, {"form4", "Options"}};
    EXPECT_EQ(applied, expected);
}

// The own-ball window's original keys have no fallback; its archive button, added since, has one.
TEST(LanguageFileApply, missingKeyGivesItsFallback_emptyValueStaysEmpty) {
    TempFolder temp;
    const fs::path file = i18n::languageFile((temp / "app").string() + "/", "English");
    const auto read = [&](const std::string& text) {
        writeFile(file, text);
        std::map<std::string, std::string> applied;
        i18n::applyLanguageTexts(
            file, i18n::windowTexts(i18n::TextWindow::OwnBall),
            [&](const i18n::LanguageText& row, const std::string& value) { applied[std::string(row.key)] = value; });
        return applied;
    };
    const auto missing = read("[lang]\nform7=My ball\n");
    EXPECT_EQ(missing.at("form7"), "My ball");
    EXPECT_EQ(missing.at("Group7Box1"), "");
    EXPECT_EQ(missing.at("JvXPButton74"), "Open archive with ball");
    EXPECT_EQ(read("[lang]\nJvXPButton74=\n").at("JvXPButton74"), "");
    EXPECT_EQ(read("[lang]\njvxpbutton74=Archiv\n").at("JvXPButton74"), "Archiv");
    EXPECT_EQ(read("[other]\nJvXPButton74=Archiv\n").at("JvXPButton74"), "Open archive with ball");
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
    const std::vector<std::string> names = i18n::listLanguages(platform::localFileSystem(), shipped);
    for (const char* expected : {"English", "Polski", "Deutsch"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
    }
    for (const std::string& name : names) {
        for (const i18n::LanguageText& text : i18n::languageTexts()) {
            EXPECT_NE(i18n::readLanguageText(i18n::languageFile(shipped, name), text.key), "")
                << name << ": " << text.key;
        }
    }
}

// Each shipped file holds one [lang] section with every key once: every key the program reads, and no other.
TEST(ShippedLanguages, oneSectionEveryKeyOnceAndNothingMissing) {
    const std::string shipped = std::string(ORBISTO_SOURCE_DIR) + "/data/";
    const std::vector<std::string> names = i18n::listLanguages(platform::localFileSystem(), shipped);
    ASSERT_GE(names.size(), 3u);
    for (const std::string& name : names) {
        const std::string text = readText(i18n::languageFile(shipped, name));
        // A byte-order mark only at the very start.
        EXPECT_EQ(text.find("\xEF\xBB\xBF", 1), std::string::npos) << name;
        std::vector<std::string> headers;
        std::vector<std::string> fileKeys;
        std::istringstream lines(text.substr(text.starts_with("\xEF\xBB\xBF") ? 3 : 0));
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (line.starts_with("[")) {
                headers.push_back(line);
            } else if (const auto equals = line.find('='); equals != std::string::npos) {
                std::string key = line.substr(0, equals);
                std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
                EXPECT_EQ(std::count(fileKeys.begin(), fileKeys.end(), key), 0) << name << ": " << key << " twice";
                EXPECT_NE(i18n::findLanguageText(key), nullptr) << name << ": " << key << " is read by no window";
                fileKeys.push_back(key);
            }
        }
        EXPECT_EQ(headers, std::vector<std::string>{"[lang]"}) << name;
        for (const i18n::LanguageText& row : i18n::languageTexts()) {
            EXPECT_NE(i18n::readLanguageText(i18n::languageFile(shipped, name), row.key), "")
                << name << ": " << row.key;
        }
    }
}

// The translations read as written, through the reader the Windows program uses too.
TEST(ShippedLanguages, accentedTextsReadAsWritten) {
    const std::string shipped = std::string(ORBISTO_SOURCE_DIR) + "/data/";
    EXPECT_EQ(i18n::readLanguageText(i18n::languageFile(shipped, "Deutsch"), "add"), "Hinzufügen");
    EXPECT_EQ(i18n::readLanguageText(i18n::languageFile(shipped, "Polski"), "prevs"), "Piłki w skórkach");
    EXPECT_EQ(i18n::readLanguageText(i18n::languageFile(shipped, "Polski"), "GroupBox1"),
              i18n::readLanguageText(i18n::languageFile(shipped, "Polski"), "groupbox1"));
}
