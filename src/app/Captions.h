#pragma once

#include "i18n/LanguageTexts.h"

#include <filesystem>
#include <span>
#include <string>

class QWidget;

namespace orbisto {

// Puts a language text into a window: its title, or the caption of the button, group box or label
// whose objectName the text names (a label then sizes itself to its text). Windows the window owns
// are not searched, so a dialog's control never answers for one of its owner's.
void setCaption(QWidget& window, const i18n::LanguageText& target, const std::string& text);
// Reads `texts` from the language file one by one and puts each into `window` (none: nothing is read).
void applyCaptions(QWidget* window, const std::filesystem::path& file, std::span<const i18n::LanguageText> texts);

} // namespace orbisto
