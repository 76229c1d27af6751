#include "i18n/LanguageFile.h"

#include "platform/FileSystem.h"
#include "platform/IniProfile.h"
#include "platform/PathText.h"

namespace orbisto::i18n {

namespace {

constexpr std::string_view kSection = "lang";

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
        apply(text, readLanguageText(file, text.key, text.fallback));
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

} // namespace orbisto::i18n
