#pragma once

#include "i18n/LanguageTexts.h"

#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto::platform {
class FileSystem;
}

namespace orbisto::i18n {

// The language file of `language`: <programFolder>Languages/<language>.ini. The program folder ends
// in a separator; the name is used as it is.
std::filesystem::path languageFile(const std::string& programFolder, const std::string& language);

// One key of section "lang"; `fallback` when the file, the section or the key is missing.
std::string readLanguageText(const std::filesystem::path& file, std::string_view key, std::string_view fallback = {});

// Reads every text in order, each one afresh from the file, and hands it to `apply` right after
// reading it. A missing file, section or key gives the text's fallback, never the layout's text.
void applyLanguageTexts(const std::filesystem::path& file, std::span<const LanguageText> texts,
                        const std::function<void(const LanguageText&, const std::string&)>& apply);

// Names of the languages in <programFolder>Languages: every "*.ini" file (folders, hidden and system
// entries are skipped), in the listing's order, with only its last extension removed.
std::vector<std::string> listLanguages(const platform::FileSystem& fs, const std::string& programFolder);

} // namespace orbisto::i18n
