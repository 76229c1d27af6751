#include "install/TForm3.h"

#include "app/CoreText.h"
#include "app/Guard.h"
#include "app/TForm1.h"
#include "app/UserInterface.h"
#include "app/Widgets.h"
#include "install/Install.h"
#include "app/InstallFlow.h"
#include "install/SkinCatalogue.h"
#include "library/BallTag.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Image.h"
#include "platform/PathText.h"
#include "platform/Text.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

namespace orbisto {

namespace {

using Path = std::filesystem::path;

void setLabelText(QLabel* target, const std::string& text) {
    target->setText(shownText(text));
    target->adjustSize();
}

// The name kept by a list's selected item; no selection is a list-index error, as reading item -1 would be.
std::string selectedText(const QListWidget& list) {
    const QListWidgetItem* item = pickedItem(list);
    if (item == nullptr) {
        throw ListIndexError(-1);
    }
    return coreText(*item);
}

} // namespace

TForm3::TForm3(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
    ctx_.forms.form3 = this;
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Install to skin"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    buildLayout();
}

TForm3::~TForm3() {
    if (ctx_.forms.form3 == this) {
        ctx_.forms.form3 = nullptr;
    }
}

void TForm3::buildLayout() {
    setFixedSize(249, 281);

    GroupBox311 = place(new QGroupBox(QStringLiteral("Install to skin"), this), "GroupBox311", 0, 0, 249, 193);
    intall2 = place(new QPushButton(QStringLiteral("Install"), GroupBox311), "intall2", 8, 16, 233, 33);
    lista = place(new PickList(GroupBox311), "lista", 8, 56, 233, 129);

    GroupBox123 =
        place(new QGroupBox(QStringLiteral("Currently installed normal ball"), this), "GroupBox123", 0, 192, 249, 41);
    Label1 = label(GroupBox123, "Label1", "", 8, 16);
    Image1 = place(new PictureBox(GroupBox123), "Image1", 224, 16, 17, 17);
    GroupBox23 =
        place(new QGroupBox(QStringLiteral("Currently installed winter ball"), this), "GroupBox23", 0, 240, 249, 41);
    Label2 = label(GroupBox23, "Label2", "", 8, 16);
    Image2 = place(new PictureBox(GroupBox23), "Image2", 224, 16, 17, 17);

    // The catalogue's work lists are never shown.
    lista2 = place(new QListWidget(this), "lista2", 0, 0, 10, 10);
    lista3 = place(new QListWidget(this), "lista3", 0, 0, 10, 10);
    lista10 = place(new QListWidget(this), "lista10", 0, 0, 10, 10);
    lista2->hide();
    lista3->hide();
    lista10->hide();

    connect(intall2, &QPushButton::clicked, this, [this] { guard([this] { intall2Click(); }); });
    // Only the player's pick chooses a skin: not the focus coming back to the list when the window reopens.
    connectPick(this, lista, &TForm3::listaClick);
}

bool TForm3::guard(const std::function<void()>& handler) {
    return runGuarded(ctx_.ui, this, handler);
}

void TForm3::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TForm3::FormShow() {
    SharedState& s = ctx_.state;
    // An unreadable skin is reported, and the window still gets its texts and its mode.
    guard([this] { wczytaj(); });
    ChosenSkinName.clear();
    ChosenSkinFolder.clear();
    guard([this] { ctx_.forms.form1->lang3(ctx_.forms.form1->currentLanguage()); });
    if (s.SkinPreviewMode == "a") {
        intall2->hide();
        lista->setGeometry(8, 15, 233, 169);
    } else {
        intall2->show();
        lista->setGeometry(8, 56, 233, 129);
    }
    s.SkinPreviewMode.clear();
}

void TForm3::wczytaj() {
    const install::SkinCatalogue catalogue =
        install::readSkinCatalogue(ctx_.fs, platform::toPath(ctx_.state.GameFolder));
    lista->clear();
    lista2->clear();
    lista3->clear();
    lista10->clear();
    // lista2 keeps the scan order; lista and lista3 hold the reverse, item by item paired.
    for (auto it = catalogue.skins.rbegin(); it != catalogue.skins.rend(); ++it) {
        addCoreItem(*lista2, it->folder);
    }
    for (const install::SkinEntry& skin : catalogue.skins) {
        addCoreItem(*lista3, skin.folder);
        addCoreItem(*lista10, skin.displayName);
        addCoreItem(*lista, skin.displayName);
    }
    if (!catalogue.errors.empty()) {
        std::string text;
        for (const std::string& error : catalogue.errors) {
            text += (text.empty() ? "" : "\n") + error;
        }
        throw Error(text);
    }
}

void TForm3::listaClick() {
    ChosenSkinName = selectedText(*lista);
    lista3->setCurrentRow(lista->row(pickedItem(*lista)));
    pod();
}

void TForm3::pod() {
    ChosenSkinFolder = selectedText(*lista3);
    setLabelText(Label1, "");
    setLabelText(Label2, "");
    const Path skin = install::skinFolder(platform::toPath(ctx_.state.GameFolder), ChosenSkinFolder);
    showSkinBall(install::skinNormalBallFolder(skin) / "ball_73.png", Label1, Image1);
    showSkinBall(install::skinWinterBallFolder(skin) / "ball_73.png", Label2, Image2);
}

void TForm3::showSkinBall(const Path& frame, QLabel* target, PictureBox* picture) {
    if (ctx_.fs.isPlainFile(frame)) {
        setLabelText(target, tagForDisplay(library::ReadBallTag(frame)));
        picture->setPicture(platform::decodePngFile(frame));
        picture->show();
    } else {
        picture->hide();
    }
    // "-" stands both for a missing frame and for a frame without a tag.
    if (target->text().isEmpty()) {
        setLabelText(target, "-");
    }
}

void TForm3::intall2Click() {
    SharedState& s = ctx_.state;
    TForm1& main = *ctx_.forms.form1;
    if (ChosenSkinName.empty()) {
        ctx_.ui.information(this, shownText(s.messages[i18n::Message::selmsg]));
        return;
    }
    s.BallName = main.pickedBall();
    ChosenSkinFolder = selectedText(*lista3);
    resolveChosenBall(s);
    const Path skin = install::skinFolder(platform::toPath(s.GameFolder), ChosenSkinFolder);
    if (install::createSkinBallFolders(ctx_.fs, skin)) {
        // A skin that had no winter ball gets both balls.
        main.setInstallMode(TForm1::InstallMode::NormalAndWinter);
    }
    installChosenBall(ctx_, this, skinInstallFolders(ctx_, ChosenSkinFolder), [this] { pod(); });
}

void TForm3::FormClose() {
    Image1->hide();
    Image2->hide();
    setLabelText(Label1, "");
    setLabelText(Label2, "");
    intall2->show();
}

void TForm3::done(int result) {
    // Every way of closing ends here: the close button, Esc, or the program closing the window.
    FormClose();
    QDialog::done(result);
}

} // namespace orbisto
