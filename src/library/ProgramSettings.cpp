#include "library/ProgramSettings.h"

#include "platform/PathText.h"
#include "platform/SettingsStore.h"

namespace orbisto::library {

namespace {

using platform::Hive;

constexpr const char* kInstalls = "\\Software\\Sports Interactive Ltd\\Installs\\";

// A key below the program's own keys (platform::kProgramKeys), as a key path.
std::string programKey(std::string_view below) {
    return "\\" + std::string(platform::kProgramKeys) + "\\" + std::string(below);
}

// The language key is spelled in capitals, as the settings window has always written it.
const std::string& languageKey() {
    static const std::string key = programKey("ZVK\\Lang");
    return key;
}
constexpr const char* kLanguageValue = "lang";
constexpr const char* kDefaultLanguage = "English";

const std::string& choiceKey() {
    static const std::string key = programKey("zvk3\\radio");
    return key;
}
constexpr const char* kChoiceValue = "value";

} // namespace

const std::array<GameVersion, kVersionCount>& gameVersions() {
    static const std::array<GameVersion, kVersionCount> table{{
        {"FM 2005",
         VersionButton::Fm2005,
         "2005",
         {std::string(kInstalls) + "Football Manager 2005"},
         programKey("zvk3\\path\\fm2005")},
        {"FM 2006",
         VersionButton::Fm2006,
         "2006",
         {std::string(kInstalls) + "Football Manager 2006"},
         programKey("zvk3\\path\\fm2006")},
        {"FM 2007",
         VersionButton::Fm2007,
         "2007",
         {std::string(kInstalls) + "Football Manager 2007", std::string(kInstalls) + "Football Manager 2007 Gold Demo"},
         programKey("zvk3\\path\\fm2007")},
    }};
    return table;
}

std::string readLanguage(const platform::SettingsStore& settings) {
    std::string language = settings.readText(Hive::LocalMachine, languageKey(), kLanguageValue);
    return language.empty() ? std::string(kDefaultLanguage) : language;
}

void writeLanguage(platform::SettingsStore& settings, std::string_view language) {
    settings.writeText(Hive::LocalMachine, languageKey(), kLanguageValue, language);
}

std::optional<std::size_t> readChosenVersion(const platform::SettingsStore& settings) {
    const std::string stored = settings.readText(Hive::LocalMachine, choiceKey(), kChoiceValue);
    for (std::size_t i = 0; i < kVersionCount; ++i) {
        if (stored == gameVersions()[i].storedText) {
            return i;
        }
    }
    return std::nullopt;
}

void writeChosenVersion(platform::SettingsStore& settings, std::optional<std::size_t> version) {
    const std::string text = version ? gameVersions().at(*version).storedText : std::string();
    settings.writeText(Hive::LocalMachine, choiceKey(), kChoiceValue, text);
}

std::string readVersionFolder(const platform::SettingsStore& settings, std::size_t version) {
    return settings.readText(Hive::LocalMachine, gameVersions().at(version).fallbackKey, kFolderValue);
}

void writeVersionFolder(platform::SettingsStore& settings, std::size_t version, std::string_view folder) {
    settings.writeText(Hive::LocalMachine, gameVersions().at(version).fallbackKey, kFolderValue,
                       platform::withNativeSeparators(folder));
}

} // namespace orbisto::library
