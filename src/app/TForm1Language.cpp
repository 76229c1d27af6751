#include "app/Captions.h"
#include "app/CoreText.h"
#include "app/TForm1.h"
#include "i18n/LanguageFile.h"
#include "install/TForm3.h"
#include "ui/TForm4.h"
#include "ui/TForm7.h"

namespace orbisto {

namespace {

using i18n::LanguageText;
using i18n::TextKind;
using i18n::TextWindow;

} // namespace

std::string TForm1::currentLanguage() const {
    return coreText(*Label5);
}

void TForm1::setCurrentLanguage(const std::string& language) {
    showCoreText(*Label5, language);
}

void TForm1::lang0(const std::string& language) {
    i18n::applyLanguageTexts(i18n::languageFile(programFolder(), language), i18n::windowTexts(TextWindow::Main),
                             [this](const LanguageText& target, const std::string& text) {
                                 if (target.kind == TextKind::Message) {
                                     state().messages[target.message] = text;
                                 } else {
                                     setCaption(*this, target, text);
                                 }
                             });
    showFolderSources(); // the version buttons' tooltips name the folders' origins in this language
}

void TForm1::lang3(const std::string& language) {
    const auto file = i18n::languageFile(programFolder(), language);
    auto* window = static_cast<QWidget*>(ctx_.forms.form3);
    applyCaptions(window, file, i18n::windowTexts(TextWindow::Skin));
    if (state().SkinPreviewMode == "a") {
        applyCaptions(window, file, i18n::windowTexts(TextWindow::SkinPreview));
    }
}

void TForm1::lang4(const std::string& language) {
    applyCaptions(ctx_.forms.form4, i18n::languageFile(programFolder(), language),
                  i18n::windowTexts(TextWindow::Settings));
}

void TForm1::lang5(const std::string& language) {
    applyCaptions(ctx_.forms.form7, i18n::languageFile(programFolder(), language),
                  i18n::windowTexts(TextWindow::OwnBall));
}

} // namespace orbisto
