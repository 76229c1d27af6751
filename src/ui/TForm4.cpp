#include "ui/TForm4.h"

#include "app/CoreText.h"
#include "app/Guard.h"
#include "app/TForm1.h"
#include "app/UserInterface.h"
#include "app/Widgets.h"
#include "i18n/LanguageFile.h"
#include "library/ProgramSettings.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>

namespace orbisto {

namespace {

} // namespace

TForm4::TForm4(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
    ctx_.forms.form4 = this;
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Settings"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    buildLayout();
    connectHandlers();
    guard([this] { FormCreate(); });
}

TForm4::~TForm4() {
    if (ctx_.forms.form4 == this) {
        ctx_.forms.form4 = nullptr;
    }
}

void TForm4::buildLayout() {
    GroupBox1 = place(new QGroupBox(QStringLiteral("Language"), this), "GroupBox1", 8, 8, 161, 129);
    ListBox1 = place(new PickList(GroupBox1), "ListBox1", 8, 20, 145, 73);
    JvXPButton1 = place(new QPushButton(QStringLiteral("Change"), GroupBox1), "JvXPButton1", 8, 98, 145, 23);

    GroupBox2 = place(new QGroupBox(QStringLiteral("Current language"), this), "GroupBox2", 176, 8, 169, 129);
    Label2 = captioned<QLabel>(GroupBox2, "Label2", "Language:", 8, 22, 153, 16);
    Label3 = captioned<QLabel>(GroupBox2, "Label3", "Label3", 8, 40, 153, 16);
    Label1 = captioned<QLabel>(GroupBox2, "Label1", "Author:", 8, 68, 153, 16);
    Label4 = captioned<QLabel>(GroupBox2, "Label4", "Label4", 8, 86, 153, 16);
    Label4->setWordWrap(true);
    Label4->resize(153, 34);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    GroupBox31 = place(new QGroupBox(QStringLiteral("Paths"), this), "GroupBox31", 8, 144, 337, 97);
    const struct {
        QLabel* TForm4::*caption;
        const char* captionName;
        const char* text;
        QLabel* TForm4::*folder;
        const char* folderName;
        QPushButton* TForm4::*chooser;
        const char* chooserName;
    } rows[] = {
        {&TForm4::Label5, "Label5", "FM 2005:", &TForm4::label11, "label11", &TForm4::JvXPButton2, "JvXPButton2"},
        {&TForm4::Label7, "Label7", "FM 2006:", &TForm4::label12, "label12", &TForm4::JvXPButton3, "JvXPButton3"},
        {&TForm4::Label9, "Label9", "FM 2007:", &TForm4::label13, "label13", &TForm4::JvXPButton4, "JvXPButton4"},
    };
    int top = 20;
    for (const auto& row : rows) {
        this->*row.caption = captioned<QLabel>(GroupBox31, row.captionName, row.text, 8, top + 3, 56, 16);
        this->*row.folder = captioned<QLabel>(GroupBox31, row.folderName, "", 64, top + 3, 232, 16);
        this->*row.chooser =
            place(new QPushButton(QStringLiteral("..."), GroupBox31), row.chooserName, 300, top, 29, 21);
        top += 24;
    }
    setFixedSize(353, 249);
}

void TForm4::connectHandlers() {
    // Emptying the list after a closing is no pick: SelectedLanguage keeps its value.
    connectPick(this, ListBox1, &TForm4::ListBox1Click);
    connectGuarded(this, ListBox1, &QListWidget::itemDoubleClicked, &TForm4::ListBox1DblClick);
    connectGuarded(this, JvXPButton1, &QPushButton::clicked, &TForm4::JvXPButton1Click);
    connectGuarded(this, JvXPButton2, &QPushButton::clicked, &TForm4::JvXPButton2Click);
    connectGuarded(this, JvXPButton3, &QPushButton::clicked, &TForm4::JvXPButton3Click);
    connectGuarded(this, JvXPButton4, &QPushButton::clicked, &TForm4::JvXPButton4Click);
}

bool TForm4::guard(const std::function<void()>& handler) {
    return runGuarded(ctx_.ui, this, handler);
}

std::string TForm4::currentLanguage() const {
    return ctx_.forms.form1->currentLanguage();
}

void TForm4::showLanguageInfo(const std::string& language) {
    // Set as they are, not resized to their text: Label4 wraps within its box.
    i18n::applyLanguageTexts(i18n::languageFile(ctx_.forms.form1->programFolder(), language),
                             i18n::windowTexts(i18n::TextWindow::LanguageInfo),
                             [this](const i18n::LanguageText& target, const std::string& text) {
                                 if (auto* label = findChild<QLabel*>(QString::fromUtf8(
                                         target.target.data(), static_cast<qsizetype>(target.target.size())))) {
                                     label->setText(shownText(text));
                                 }
                             });
}

void TForm4::FormCreate() {
    const SharedState& s = ctx_.state;
    label11->setText(shownText(s.Fm2005Folder));
    label12->setText(shownText(s.Fm2006Folder));
    label13->setText(shownText(s.Fm2007Folder));
    showLanguageInfo(currentLanguage());
}

void TForm4::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        guard([this] { FormShow(); });
    }
}

void TForm4::FormShow() {
    ctx_.forms.form1->lang4(currentLanguage());
    if (SelectedLanguage.empty()) {
        JvXPButton1->setEnabled(false);
    }
    lang();
}

void TForm4::lang() {
    for (const std::string& name : i18n::listLanguages(ctx_.fs, ctx_.forms.form1->programFolder())) {
        addCoreItem(*ListBox1, name);
    }
}

void TForm4::ListBox1Click() {
    SelectedLanguage.clear();
    if (const QListWidgetItem* picked = pickedItem(*ListBox1)) {
        SelectedLanguage = coreText(*picked);
    }
    if (!SelectedLanguage.empty()) {
        JvXPButton1->setEnabled(true);
    }
}

void TForm4::ListBox1DblClick() {
    // Nothing is applied until a language has been picked in this opening.
    if (pickedItem(*ListBox1) == nullptr || SelectedLanguage.empty()) {
        return;
    }
    TForm1& main = *ctx_.forms.form1;
    showLanguageInfo(SelectedLanguage);
    main.setCurrentLanguage(SelectedLanguage);
    main.lang0(SelectedLanguage);
    library::writeLanguage(ctx_.settings, SelectedLanguage);
    main.lang4(currentLanguage());
}

void TForm4::JvXPButton1Click() {
    ListBox1DblClick();
}

void TForm4::JvXPButton2Click() {
    changeFolder(0, label11);
}
void TForm4::JvXPButton3Click() {
    changeFolder(1, label12);
}
void TForm4::JvXPButton4Click() {
    changeFolder(2, label13);
}

void TForm4::changeFolder(std::size_t version, QLabel* folderLabel) {
    const std::optional<QString> chosen = ctx_.ui.chooseFolder(this);
    if (!chosen) {
        return;
    }
    library::writeVersionFolder(ctx_.settings, version, typedText(*chosen));
    std::string& folder = ctx_.state.versionFolder(version);
    folder = library::readVersionFolder(ctx_.settings, version);
    folderLabel->setText(shownText(folder));
    ctx_.ui.information(nullptr, shownText(ctx_.state.messages[i18n::Message::resmsg]));
    // The new folder is read at the next start.
    close();
    ctx_.forms.form1->closee();
}

} // namespace orbisto
