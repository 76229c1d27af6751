#include "app/CoreText.h"
#include "app/TForm1.h"
#include "app/UserInterface.h"
#include "app/Widgets.h"
#include "i18n/LanguageFile.h"
#include "install/TForm3.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "ui/TForm4.h"
#include "ui/TForm6.h"
#include "ui/TForm7.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <deque>

namespace orbisto {

namespace {

using i18n::LanguageText;
using i18n::TextKind;
using i18n::TextWindow;

// The control of `window` with that objectName. Other windows owned by it are not searched, so a
// dialog's control never answers for a control of the main window of the same name.
QWidget* findControl(QWidget* window, const QString& name) {
    std::deque<QObject*> pending(window->children().begin(), window->children().end());
    while (!pending.empty()) {
        QObject* object = pending.front();
        pending.pop_front();
        auto* widget = qobject_cast<QWidget*>(object);
        if (widget == nullptr || widget->isWindow()) {
            continue;
        }
        if (widget->objectName() == name) {
            return widget;
        }
        pending.insert(pending.end(), widget->children().begin(), widget->children().end());
    }
    return nullptr;
}

// Puts a text into a window: its title, or the caption of a button, group box or label.
void setCaption(QWidget* window, const LanguageText& target, const std::string& text) {
    const QString caption = shownText(text);
    if (target.kind == TextKind::Title) {
        window->setWindowTitle(caption);
        return;
    }
    QWidget* control = findControl(window, QString::fromUtf8(target.target.data(), qsizetype(target.target.size())));
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(caption);
    } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
        box->setTitle(caption);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(caption);
        label->adjustSize(); // labels size themselves to their text
    }
}

void applyToWindow(QWidget* window, const std::filesystem::path& file, std::span<const LanguageText> texts) {
    if (window == nullptr) {
        return;
    }
    i18n::applyLanguageTexts(file, texts, [window](const LanguageText& target, const std::string& text) {
        setCaption(window, target, text);
    });
}

} // namespace

void TForm1::lang0(const std::string& language) {
    i18n::applyLanguageTexts(i18n::languageFile(programFolder(), language), i18n::windowTexts(TextWindow::Main),
                             [this](const LanguageText& target, const std::string& text) {
                                 if (target.kind == TextKind::Message) {
                                     state().messages[target.message] = text;
                                 } else {
                                     setCaption(this, target, text);
                                 }
                             });
    showFolderSources(); // the version buttons' tooltips name the folders' origins in this language
}

void TForm1::lang3(const std::string& language) {
    const auto file = i18n::languageFile(programFolder(), language);
    auto* window = static_cast<QWidget*>(ctx_.forms.form3);
    applyToWindow(window, file, i18n::windowTexts(TextWindow::Skin));
    if (state().SkinPreviewMode == "a") {
        applyToWindow(window, file, i18n::windowTexts(TextWindow::SkinPreview));
    }
}

void TForm1::lang4(const std::string& language) {
    applyToWindow(ctx_.forms.form4, i18n::languageFile(programFolder(), language),
                  i18n::windowTexts(TextWindow::Settings));
}

void TForm1::lang5(const std::string& language) {
    applyToWindow(ctx_.forms.form7, i18n::languageFile(programFolder(), language),
                  i18n::windowTexts(TextWindow::OwnBall));
}

void TForm1::settingsClick() {
    TForm4* settingsWindow = ctx_.forms.form4;
    ctx_.ui.showModal(*settingsWindow);
    // The window fills its list at every opening and relies on it being emptied here.
    settingsWindow->ListBox1->clear();
    settingsWindow->JvXPButton1->setEnabled(false);
}

void TForm1::aboutClick() {
    ctx_.ui.showModal(*ctx_.forms.form6);
}

void TForm1::helpClick() {
    // The working folder first (as the shell would look), then beside the program, so that Help
    // also works when the program is started from a shortcut or a file manager.
    const std::filesystem::path name = "ReadMe.txt";
    for (const std::filesystem::path& folder : {ctx_.workingFolder, platform::toPath(programFolder())}) {
        const std::filesystem::path file = folder / name;
        if (!folder.empty() && ctx_.fs.isPlainFile(file)) {
            // A shell that cannot open it raises its reason, which the error box shows.
            ctx_.ui.shellOpen(platform::toText(file), false);
            return;
        }
    }
    // Found nowhere: reported here, the same on every platform (xdg-open would only fail after it
    // has started, out of sight).
    throw ShellOpenError(platform::toText(name), IoError::textFor(2));
}

} // namespace orbisto
