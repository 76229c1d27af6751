#include "i18n/LanguageFile.h"

#include "platform/FileSystem.h"
#include "platform/IniProfile.h"
#include "platform/PathText.h"

#include <array>

namespace orbisto::i18n {

namespace {

constexpr std::string_view kSection = "lang";

using enum TextKind;

constexpr std::array<LanguageText, 26> kMainWindow{{
    {"install", Control, "install"},
    {"add", Control, "add"},
    {"settings", Control, "settings"},
    {"about", Control, "about"},
    {"help", Control, "help"},
    {"prevs", Control, "prevs"},
    {"redmsg", Message, "redmsg"},
    {"selmsg", Message, "selmsg"},
    {"katmsg", Message, "katmsg"},
    {"dodmsg", Message, "dodmsg"},
    {"pusmsg", Message, "pusmsg"},
    {"istmsg", Message, "istmsg"},
    {"ist2msg", Message, "ist2msg"},
    {"resmsg", Message, "resmsg"},
    {"GroupBox1", Control, "GroupBox1"},
    {"GroupBox2", Control, "GroupBox2"},
    {"GroupBox3", Control, "GroupBox3"},
    {"GroupBox4", Control, "GroupBox4"},
    {"GroupBox5", Control, "GroupBox5"},
    {"GroupBox6", Control, "GroupBox6"},
    {"GroupBox8", Control, "GroupBox8"},
    {"Label2", Control, "Label2"},
    {"rbn", Control, "rbn"},
    {"rbw", Control, "rbw"},
    {"rbnaw", Control, "rbnaw"},
    {"cbinstall", Control, "cbinstall"},
}};

constexpr std::array<LanguageText, 2> kSettingsWindow{{
    {"GroupBox31", Control, "GroupBox31"},
    {"form4", Title, ""},
}};

constexpr std::array<LanguageText, 5> kSkinWindow{{
    {"intall2", Control, "intall2"},
    {"GroupBox311", Control, "GroupBox311"},
    {"GroupBox123", Control, "GroupBox123"},
    {"GroupBox23", Control, "GroupBox23"},
    {"form3", Title, ""},
}};

// In preview mode these replace what GroupBox311 and form3 have just set.
constexpr std::array<LanguageText, 2> kSkinPreview{{
    {"GroupBox311p", Control, "GroupBox311"},
    {"form3p", Title, ""},
}};

constexpr std::array<LanguageText, 10> kOwnBallWindow{{
    {"Group7Box1", Control, "Group7Box1"},
    {"Group7Box2", Control, "Group7Box2"},
    {"Group7Box3", Control, "Group7Box3"},
    {"Label71", Control, "Label71"},
    {"Label73", Control, "Label73"},
    {"Label72", Control, "Label72"},
    {"form7", Title, ""},
    {"JvXPButton72", Control, "JvXPButton72"},
    {"JvXPButton71", Control, "JvXPButton71"},
    {"JvXPButton73", Control, "JvXPButton73"},
}};

} // namespace

std::filesystem::path languageFile(const std::string& programFolder, const std::string& language) {
    return platform::toPath(programFolder + "Languages/" + language + ".ini");
}

std::string readLanguageText(const std::filesystem::path& file, std::string_view key, std::string_view fallback) {
    return platform::readProfileString(file, kSection, key, fallback);
}

void applyLanguageTexts(const std::filesystem::path& file, std::span<const LanguageText> texts,
                        const std::function<void(const LanguageText&, const std::string&)>& apply) {
    // Read key by key so that a file edited in between shows at once; nothing is cached.
    for (const LanguageText& text : texts) {
        apply(text, readLanguageText(file, text.key));
    }
}

std::vector<std::string> listLanguages(const platform::FileSystem& fs, const std::string& programFolder) {
    std::vector<std::string> names;
    if (programFolder.empty()) {
        return names; // without a program folder there is nothing to list
    }
    for (std::string& name : platform::fileNames(fs, platform::toPath(programFolder + "Languages"), "*.ini")) {
        const auto dot = name.rfind('.');
        names.push_back(dot == std::string::npos ? std::move(name) : name.substr(0, dot));
    }
    return names;
}

std::span<const LanguageText> mainWindowTexts() {
    return kMainWindow;
}
std::span<const LanguageText> settingsWindowTexts() {
    return kSettingsWindow;
}
std::span<const LanguageText> skinWindowTexts() {
    return kSkinWindow;
}
std::span<const LanguageText> skinPreviewTexts() {
    return kSkinPreview;
}
std::span<const LanguageText> ownBallWindowTexts() {
    return kOwnBallWindow;
}

} // namespace orbisto::i18n
