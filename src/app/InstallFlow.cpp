#include "app/InstallFlow.h"

#include "app/CoreText.h"
#include "app/Guard.h"
#include "app/TForm1.h"
#include "app/UserInterface.h"
#include "install/Install.h"
#include "install/InstallBall.h"
#include "install/OriginalBall.h"
#include "library/Library.h"
#include "library/VersionChoice.h"
#include "library/WriteCheck.h"
#include "platform/PathText.h"

#include <exception>
#include <vector>

namespace orbisto {

using i18n::Message;

namespace {

using Path = std::filesystem::path;

// "FM 2005", "FM 2006" or "FM 2007": the version whose folder GameFolder is.
std::string gameVersionName(const AppContext& context) {
    const SharedState& s = context.state;
    return library::versionNameOf(s.versionFolders(), context.forms.form1->checkedVersion(), s.GameFolder);
}

// A folder as the shared state keeps it: its text with "/" between the names, as on every platform.
std::string folderText(const Path& folder) {
    return platform::toText(Path(folder.generic_u8string()));
}


// Tells the player which of the game's own balls were kept in the library, showing the new brand at once.
void tellKeptBalls(AppContext& context, QWidget* owner, const std::vector<std::string>& kept) {
    context.forms.form1->refreshLibrary(TForm1::LibraryRefresh::KeepShown);
    std::string text = context.state.messages[Message::bakmsg];
    for (const std::string& ball : kept) {
        text += "\n" + std::string(install::kOriginalBrand) + " " + ball;
    }
    context.ui.information(owner, shownText(text));
}

// Installs into the folders the radio buttons choose; false when none is chosen.
bool copyChosenBall(AppContext& context, QWidget* owner, const InstallFolders& folders) {
    SharedState& s = context.state;
    const std::optional<install::InstallMode> mode = context.forms.form1->installMode();
    if (!mode) {
        return false;
    }
    s.TargetFolder = folderText(*mode == install::InstallMode::Winter ? folders.winter : folders.normal);
    if (*mode == install::InstallMode::NormalAndWinter) {
        s.WinterTargetFolder = folderText(folders.winter);
    }
    const install::InstallRequest request =
        install::installRequest(platform::toPath(s.AppFolder), platform::toPath(s.SourceFolder), *mode, folders);
    // The progress window opens with the copy, after the checks and the message about kept balls.
    std::unique_ptr<CopyProgressWindow> window;
    install::installBall(
        context.fs, request, [&](const std::vector<std::string>& kept) { tellKeptBalls(context, owner, kept); },
        [&](std::size_t done, std::size_t total) {
            if (!window) {
                window = context.ui.openCopyProgress(owner);
            }
            return window->advance(done, total);
        });
    return true;
}

} // namespace

void resolveChosenBall(SharedState& s) {
    if (s.ChosenBrand == library::kNewBalls) {
        const library::BallRef ball = library::resolveNewBallEntry(s.BallName, s.newBalls);
        s.BrandName = ball.brand;
        s.BallName = ball.ball;
    }
}

InstallFolders gameInstallFolders(const AppContext& context) {
    const Path game = platform::toPath(context.state.GameFolder);
    const std::string version = gameVersionName(context);
    return {install::normalBallFolder(game), install::winterBallFolder(game), install::gameOriginalName(version, false),
            install::gameOriginalName(version, true)};
}

InstallFolders skinInstallFolders(const AppContext& context, const std::string& skinFolder) {
    const Path skin = install::skinFolder(platform::toPath(context.state.GameFolder), skinFolder);
    const std::string version = gameVersionName(context);
    return {install::skinNormalBallFolder(skin), install::skinWinterBallFolder(skin),
            install::skinOriginalName(version, skinFolder, false),
            install::skinOriginalName(version, skinFolder, true)};
}

void installChosenBall(AppContext& context, QWidget* owner, const InstallFolders& folders,
                       const std::function<void()>& show) {
    SharedState& s = context.state;
    s.SourceFolder = s.AppFolder + "balls/" + s.BrandName + "/" + s.BallName + "/";
    bool copied = false;
    try {
        copied = copyChosenBall(context, owner, folders);
    } catch (const library::FolderNotWritable& e) {
        // Nothing was changed: the player is told what to do instead of seeing an error.
        context.ui.information(owner, shownText(library::messageWithPath(s.messages[Message::admmsg], e.folder())));
    } catch (const install::FrameInUse& e) {
        context.ui.information(owner, shownText(library::messageWithPath(s.messages[Message::usemsg], e.file())));
    } catch (const std::exception&) {
        // The display follows the folders also after a failed copy; the copy's error comes after it.
        runGuarded(context.ui, owner, show);
        throw;
    }
    if (copied) {
        context.ui.information(owner, shownText(s.messages[Message::redmsg]));
    }
    show();
}

} // namespace orbisto
