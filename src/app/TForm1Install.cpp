#include "app/TForm1.h"
#include "app/CoreText.h"
#include "app/UserInterface.h"
#include "app/InstallFlow.h"
#include "app/Widgets.h"
#include "install/Install.h"
#include "install/TForm3.h"
#include "library/Library.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <QCheckBox>
#include <QListWidget>
#include <QRadioButton>

namespace orbisto {

namespace {

constexpr const char* kNoBallFolder = "Error \"balls\" directory not found";

// Without a game folder nothing is touched: an empty folder never stands for the root.
bool gameBallFolderFound(const AppContext& context, const InstallFolders& folders) {
    return !context.state.GameFolder.empty() && context.fs.folderExists(folders.normal);
}

} // namespace

// Installs the chosen ball into the game's normal folder, winter folder or both; or, with
// "Install to skin" ticked, opens the install-to-skin window instead.
void TForm1::installClick() {
    SharedState& s = state();
    if (s.BallName.empty()) {
        ctx_.ui.information(this, shownText(s.messages[i18n::Message::selmsg]));
        return;
    }
    if (cbinstall->isChecked()) {
        ctx_.ui.showModal(*ctx_.forms.form3);
        return;
    }
    s.BallName = pickedBall();
    resolveChosenBall(s);
    const InstallFolders folders = gameInstallFolders(ctx_);
    if (!gameBallFolderFound(ctx_, folders)) {
        ctx_.ui.plainMessage(this, QString::fromLatin1(kNoBallFolder));
        current();
        return;
    }
    installChosenBall(ctx_, this, folders, [this] { current(); });
}

std::string TForm1::pickedBall() const {
    const QListWidgetItem* item = pickedItem(*lista);
    if (item == nullptr) {
        throw ListIndexError(-1);
    }
    return coreText(*item);
}

std::optional<TForm1::InstallMode> TForm1::installMode() const {
    if (rbn->isChecked()) {
        return InstallMode::Normal;
    }
    if (rbw->isChecked()) {
        return InstallMode::Winter;
    }
    if (rbnaw->isChecked()) {
        return InstallMode::NormalAndWinter;
    }
    return std::nullopt;
}

void TForm1::setInstallMode(InstallMode mode) {
    QRadioButton* button = mode == InstallMode::Normal ? rbn : mode == InstallMode::Winter ? rbw : rbnaw;
    button->setChecked(true);
}

void TForm1::listaDblClick() {
    installClick();
}

// Opens the install-to-skin window only to look at the balls of the skins.
void TForm1::prevsClick() {
    state().SkinPreviewMode = "a";
    ctx_.ui.showModal(*ctx_.forms.form3);
}

} // namespace orbisto
