#include "app/Captions.h"

#include "app/CoreText.h"
#include "i18n/LanguageFile.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <deque>

namespace orbisto {

using i18n::LanguageText;
using i18n::TextKind;

namespace {

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

} // namespace

void setCaption(QWidget& window, const LanguageText& target, const std::string& text) {
    const QString caption = shownText(text);
    if (target.kind == TextKind::Title) {
        window.setWindowTitle(caption);
        return;
    }
    QWidget* control = findControl(&window, QString::fromUtf8(target.target.data(), qsizetype(target.target.size())));
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(caption);
    } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
        box->setTitle(caption);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(caption);
        label->adjustSize(); // labels size themselves to their text
    }
}

void applyCaptions(QWidget* window, const std::filesystem::path& file, std::span<const LanguageText> texts) {
    if (window == nullptr) {
        return;
    }
    i18n::applyLanguageTexts(file, texts, [window](const LanguageText& target, const std::string& text) {
        setCaption(*window, target, text);
    });
}

} // namespace orbisto
