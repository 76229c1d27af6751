#include "app/Application.h"

#include <QApplication>

#include "app/ProgramIcon.h"
#include "app/TForm1.h"
#include "app/UserInterface.h"
#include "install/TForm3.h"
#include "library/ArchiveImport.h"
#include "platform/FileSystem.h"
#include "platform/InstallRecords.h"
#include "platform/SettingsStore.h"
#include "ui/TForm2.h"
#include "ui/TForm4.h"
#include "ui/TForm6.h"
#include "ui/TForm7.h"

namespace orbisto {

Windows::Windows(AppContext& context) : ctx_(context) {
    useProgramIcon();
    // Archives unpacked by a run that crashed.
    library::removeStaleUnpackFolders(ctx_.fs, ctx_.tempFolder);
    // The main window's creation step runs while no other window exists yet.
    main_ = std::make_unique<TForm1>(ctx_);
    main_->FormCreate();
    // The dialogs are owned by the main window, so they close and go away with it.
    new TForm2(ctx_, main_.get());
    new TForm3(ctx_, main_.get());
    new TForm4(ctx_, main_.get());
    new TForm6(ctx_, main_.get());
    new TForm7(ctx_, main_.get());
}

Windows::~Windows() = default;

int runOrbisto(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orbisto"));
    // Lets the desktop match the windows to the menu entry orbisto.desktop.
    QApplication::setDesktopFileName(QStringLiteral("orbisto"));

    auto settings = platform::makeSystemSettingsStore();
    auto ui = makeQtUserInterface();
    AppContext context{*settings, platform::localFileSystem(), *ui, platform::executablePath(),
                       platform::workingFolder()};
    const auto installRecords = platform::makeInstallRecords();
    context.installRecords = installRecords.get();
    Windows windows(context);
    windows.main().show();
    return QApplication::exec();
}

} // namespace orbisto
