#pragma once

#include "app/AppContext.h"
#include "install/InstallBall.h"

#include <filesystem>
#include <functional>
#include <string>

class QWidget;

namespace orbisto {

// What the main window and the install-to-skin window share when they install the chosen ball:
// taking the choice apart, keeping the game's own ball, the copy with its progress window, the refresh.

// Takes a ">New balls" entry in BallName apart into BrandName and BallName, through the brand and ball
// the library scan recorded for it.
void resolveChosenBall(SharedState& state);

using InstallFolders = install::BallFolders;

// The ball folders of GameFolder, or of the skin in `skinFolder` below it, named after the game version
// whose folder GameFolder is ("FM 2006 normal", "FM 2006 <skin> winter").
InstallFolders gameInstallFolders(const AppContext& context);
InstallFolders skinInstallFolders(const AppContext& context, const std::string& skinFolder);

// Installs the chosen ball from its library folder (SourceFolder) as the normal ball, the winter ball or
// both, as the main window's rbn / rbw / rbnaw choose, setting TargetFolder and WinterTargetFolder.
// First every folder written into, and the library when the game's own ball is kept there, is checked
// for writing: one refused is named with admmsg and nothing is done. Then the game's own ball in each
// folder written into is kept in the library (bakmsg tells so, and the brand box is refilled); when it
// cannot be kept nothing is installed. Then the folders' frames are made writable, the ball is copied
// into all folders at once (a frame another program holds is named with usemsg, and no folder
// changes), and redmsg is shown when the copy went through. Then `show` displays what the folders
// hold: also after a failure, whose error is raised afterwards (no redmsg).
void installChosenBall(AppContext& context, QWidget* owner, const InstallFolders& folders,
                       const std::function<void()>& show);

} // namespace orbisto
