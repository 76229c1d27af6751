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

namespace orbisto {

namespace {

constexpr const char* kNoBallFolder = "Error \"balls\" directory not found";

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
    const QListWidgetItem* item = pickedItem(*lista);
    if (item == nullptr) {
        throw ListIndexError(-1);
    }
    s.BallName = coreText(*item);
    resolveChosenBall(s);

    // Without a game folder nothing is touched: an empty folder never stands for the root.
    const InstallFolders folders = gameInstallFolders(ctx_);
    if (s.GameFolder.empty() || !ctx_.fs.folderExists(folders.normal)) {
        ctx_.ui.plainMessage(this, QString::fromLatin1(kNoBallFolder));
        current();
        return;
    }

    installChosenBall(ctx_, this, folders, [this] { current(); });
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
